#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kd::sim {

// Sets whose commands stand behind an attention code and end with a CR (AEDEX "!#", UTC
// enhanced ESC u).

// The code as the state line and the log show it, in quotes: printable ASCII as it is, any other
// byte as <1B>.
std::string attentionText(std::string_view code);

// Where the pending bytes stand against a line command behind the attention code: not one (the
// first byte passes on as text), not yet complete, one whose CR did not come within maxData data
// bytes after its command byte (refused up to end), or one ending with its CR at end.
struct AttentionLine {
    enum Kind { NotAttention, Incomplete, WithoutCr, Complete };
    Kind kind = NotAttention;
    std::size_t end = 0;
};
AttentionLine findAttentionLine(std::string_view pending, std::string_view attention,
                                std::size_t maxData);

} // namespace kd::sim
