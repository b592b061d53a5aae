#include "model/emulation/attention_code.h"

#include "encoding/control_bytes.h"
#include "model/emulation/interpreter.h"

#include <algorithm>

namespace kd::sim {

std::string attentionText(std::string_view code) {
    std::string text;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const std::uint8_t byte = byteAt(code, i);
        text += byte >= 0x20 && byte < 0x7F ? std::string(1, code[i]) : "<" + hexByte(byte) + ">";
    }
    return "\"" + text + "\"";
}

AttentionLine findAttentionLine(std::string_view pending, std::string_view attention,
                                std::size_t maxData) {
    // Is this the attention code, or could it still become it?
    const std::size_t compare = std::min(pending.size(), attention.size());
    if (pending.substr(0, compare) != attention.substr(0, compare))
        return {AttentionLine::NotAttention, 0};
    if (pending.size() <= attention.size())
        return {AttentionLine::Incomplete, 0};
    std::size_t end = attention.size();
    while (end < pending.size() && byteAt(pending, end) != kCarriageReturn &&
           end - attention.size() <= maxData + 1)
        ++end;
    if (end - attention.size() > maxData + 1)
        return {AttentionLine::WithoutCr, end};
    if (end == pending.size())
        return {AttentionLine::Incomplete, 0};
    return {AttentionLine::Complete, end};
}

} // namespace kd::sim
