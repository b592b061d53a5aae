#include "model/emulation/tool_frames.h"

#include "encoding/control_bytes.h"

#include <algorithm>

namespace kd::sim {
namespace {

// Bytes between STX and ETX a frame may hold.
constexpr std::size_t kMaxFrameLength = 128;
constexpr int kIntervalUnitMs = 25;
constexpr int kDefaultIntervalMs = 200;

} // namespace

Parse ToolFrames::parse(std::string_view pending) {
    if (byteAt(pending, 0) != kStartOfText)
        return Parse::notMine();
    if (pending.size() < 3) {
        m_searched = 0; // a frame just begun
        return Parse::incomplete();
    }
    Screen &screen = m_context.screen;
    // Where the frame ends: at its ETX, or where a new STX or a clear shows that it was lost.
    std::size_t end = std::max<std::size_t>(1, std::min(m_searched, pending.size()));
    while (end < pending.size()) {
        const int byte = byteAt(pending, end);
        if (byte == kEndOfText || byte == kStartOfText || byte == kFormFeed)
            break;
        ++end;
    }
    m_searched = end == pending.size() ? end : 0;
    const bool ended = end < pending.size() && byteAt(pending, end) == kEndOfText;
    const bool known = byteAt(pending, 1) == kEnquiry && (pending[2] == 'D' || pending[2] == 'L');
    if (!known) {
        if (end == pending.size())
            return Parse::incomplete();
        const std::string_view bytes = pending.substr(0, ended ? end + 1 : end);
        return byteAt(pending, 1) != kEnquiry
                   ? m_context.refuse(bytes, Msg::FrameWithoutEnq)
                   : m_context.refuse(bytes, Msg::UnknownFrame, {hexByte(byteAt(pending, 2))});
    }
    if (pending[2] == 'D') {
        if (pending.size() < 5)
            return Parse::incomplete();
        if (byteAt(pending, 4) != kEndOfText)
            return m_context.refuse(pending.substr(0, 4), Msg::FrameWithoutEtx, {"D"});
        const int units = byteAt(pending, 3);
        const int intervalMs = units == 0 ? kDefaultIntervalMs : units * kIntervalUnitMs;
        for (int row = 0; row < Screen::kRows; ++row) {
            const Marquee &marquee = screen.marquee(row);
            if (marquee.active())
                screen.startMarquee(row, marquee.text, intervalMs, false);
        }
        m_intervalMs = intervalMs;
        return m_context.take(pending.substr(0, 5), Msg::FrameInterval, {number(intervalMs)});
    }
    if (end == pending.size())
        return Parse::incomplete();
    if (!ended)
        return m_context.refuse(pending.substr(0, end), Msg::FrameWithoutEtx, {"L"});
    if (end - 2 > kMaxFrameLength)
        return m_context.refuse(pending.substr(0, end + 1), Msg::FrameTooLong,
                                {std::to_string(kMaxFrameLength)});
    if (end < 4 || (pending[3] != '1' && pending[3] != '2'))
        return m_context.refuse(pending.substr(0, end + 1), Msg::FrameWithoutLine);
    const int row = pending[3] - '1';
    std::u16string text;
    for (std::size_t i = 4; i < end; ++i)
        text.push_back(textGlyphOf(byteAt(pending, i), CodeTable::Windows1252, NationalSet::Usa));
    screen.startMarquee(row, text, m_intervalMs, false);
    return m_context.take(pending.substr(0, end + 1), Msg::FrameRunningText, {number(row + 1)});
}

} // namespace kd::sim
