#pragma once

#include <functional>

namespace kd::sim {

// A time of day to the minute, as the displays show it.
struct TimeOfDay {
    int hours = 0;
    int minutes = 0;

    int minuteOfDay() const { return hours * 60 + minutes; }
    static TimeOfDay fromMinuteOfDay(int minute);
    bool operator==(const TimeOfDay &) const = default;
};

// Where the model reads the time; tests set it, the program reads the wall clock.
using Clock = std::function<TimeOfDay()>;
TimeOfDay wallClock();

} // namespace kd::sim
