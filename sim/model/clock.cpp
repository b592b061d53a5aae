#include "model/clock.h"

#include <ctime>

namespace kd::sim {

TimeOfDay TimeOfDay::fromMinuteOfDay(int minute) {
    constexpr int kMinutesPerDay = 24 * 60;
    minute = ((minute % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay;
    return {minute / 60, minute % 60};
}

TimeOfDay wallClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_hour, local.tm_min};
}

} // namespace kd::sim
