#pragma once

#include <string>
#include <utility>

namespace kd::sim {

// A value, or why there is none: the one shape the model uses for results that can be refused.
template <typename T> struct Expected {
    Expected() = default;
    Expected(T value) : value(std::move(value)) {}

    T value{};
    // Why there is no value, in the reader's language; empty when there is one.
    std::string error;

    bool ok() const { return error.empty(); }
    static Expected refused(std::string why) {
        Expected result;
        result.error = std::move(why);
        return result;
    }
};

} // namespace kd::sim
