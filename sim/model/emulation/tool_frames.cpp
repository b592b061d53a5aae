// The frames of the tool's own USB library: STX ENQ <command> ... ETX.
#include "model/emulation/escpos.h"

#include "encoding/control_bytes.h"

#include <algorithm>

namespace kd::sim {
namespace {

// Bytes between STX and ETX a frame may hold.
constexpr std::size_t kMaxFrameLength = 128;
constexpr int kStepUnitMs = 25;
constexpr int kDefaultStepMs = 200;

} // namespace

// 'L' + line digit + text runs the text across that line; 'D' + one byte sets the running text's
// step time to that byte times 25 ms (0: 200 ms). A new STX or a clear inside a frame means its
// end byte was lost: the frame is dropped and the byte is read afresh.
Step toolFrame(std::string_view pending, Context &context) {
    if (static_cast<std::uint8_t>(pending[0]) != kStartOfText)
        return Step::notMine();
    if (pending.size() < 3) {
        context.frameSearched = 0; // a frame just begun
        return Step::incomplete();
    }
    Screen &screen = context.screen;
    // Where the frame ends: at its ETX, or where a new STX or a clear shows that it was lost.
    std::size_t end = std::max<std::size_t>(1, std::min(context.frameSearched, pending.size()));
    while (end < pending.size()) {
        const auto byte = static_cast<std::uint8_t>(pending[end]);
        if (byte == kEndOfText || byte == kStartOfText || byte == kFormFeed)
            break;
        ++end;
    }
    context.frameSearched = end == pending.size() ? end : 0;
    const bool known = static_cast<std::uint8_t>(pending[1]) == kEnquiry &&
                       (pending[2] == 'D' || pending[2] == 'L');
    if (!known) {
        if (end == pending.size())
            return Step::incomplete();
        const bool ended = static_cast<std::uint8_t>(pending[end]) == kEndOfText;
        return context.take(pending.substr(0, ended ? end + 1 : end),
                            static_cast<std::uint8_t>(pending[1]) != kEnquiry
                                ? "verworfen: Rahmen ohne ENQ"
                                : "verworfen: unbekannter Rahmen " + hexByte(pending[2]));
    }
    if (pending[2] == 'D') {
        if (pending.size() < 5)
            return Step::incomplete();
        if (static_cast<std::uint8_t>(pending[4]) != kEndOfText)
            return context.take(pending.substr(0, 4), "verworfen: Rahmen D ohne ETX");
        const int units = static_cast<std::uint8_t>(pending[3]);
        const int stepMs = units == 0 ? kDefaultStepMs : units * kStepUnitMs;
        for (int row = 0; row < Screen::kRows; ++row) {
            const Marquee &marquee = screen.marquee(row);
            if (marquee.active())
                screen.startMarquee(row, marquee.text, stepMs, false);
        }
        context.setFrameStepMs(stepMs);
        return context.take(pending.substr(0, 5),
                            "Rahmen D: Lauftext alle " + std::to_string(stepMs) + " ms");
    }
    if (end == pending.size())
        return Step::incomplete();
    if (static_cast<std::uint8_t>(pending[end]) != kEndOfText)
        return context.take(pending.substr(0, end), "verworfen: Rahmen ohne ETX");
    if (end - 2 > kMaxFrameLength)
        return context.take(pending.substr(0, end + 1), "verworfen: Rahmen länger als " +
                                                            std::to_string(kMaxFrameLength) +
                                                            " Bytes");
    if (end < 4 || (pending[3] != '1' && pending[3] != '2'))
        return context.take(pending.substr(0, end + 1), "verworfen: Rahmen L ohne Zeile 1 oder 2");
    const int row = pending[3] - '1';
    std::u16string text;
    for (std::size_t i = 4; i < end; ++i) {
        const auto byte = static_cast<std::uint8_t>(pending[i]);
        text.push_back(textGlyphOf(byte, CodeTable::Windows1252, NationalSet::Usa));
    }
    screen.startMarquee(row, text, context.frameStepMs(), false);
    return context.take(pending.substr(0, end + 1),
                        "Rahmen L: Lauftext in Zeile " + std::to_string(row + 1));
}

} // namespace kd::sim
