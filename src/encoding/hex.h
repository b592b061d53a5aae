#pragma once

#include <string>
#include <string_view>

namespace kd {

// Bytes as manuals print them: upper-case hex pairs separated by spaces, "0C 48 61"; an empty text
// for no bytes. For logs and tests of the tool and of the virtual display.
std::string hexBytes(std::string_view bytes);

} // namespace kd
