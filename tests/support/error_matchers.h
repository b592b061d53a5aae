#pragma once

#include "core/error.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace kd::test {

// Runs the statement and checks that it raised the error number with a description that
// contains the given text.
inline ::testing::AssertionResult raisesError(const std::function<void()> &statement, int number,
                                              const std::string &mentions = {}) {
    try {
        statement();
    } catch (const RuntimeError &error) {
        if (error.error().number != number)
            return ::testing::AssertionFailure()
                   << "raised " << error.error().number << " (" << error.error().description
                   << "), expected " << number;
        if (error.error().description.find(mentions) == std::string::npos)
            return ::testing::AssertionFailure() << "description \"" << error.error().description
                                                 << "\" lacks \"" << mentions << "\"";
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "no error raised, expected " << number;
}

} // namespace kd::test
