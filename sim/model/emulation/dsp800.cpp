#include "model/emulation/dsp800.h"

#include "encoding/control_bytes.h"

#include <algorithm>

namespace kd::sim {
namespace {

using Done = Expected<FixedCommand::Values>;

constexpr char kFrameStart = 0x04;
constexpr char kFrameSecond = 0x01;
constexpr char kFrameEnd = 0x17;
constexpr char kAck = 0x06;
constexpr char kNak = 0x15;
constexpr char kReplyStart = 0x01;
// 04 01 cmd p1 p2 17: a frame whose ETB has not come by then never gets one.
constexpr std::size_t kLongestFrame = 6;
constexpr int kDemoIntervalMs = 300;
constexpr int kDemoBlinkMs = 500;
// What the virtual display says it runs when asked for its firmware.
constexpr std::string_view kFirmware = "KD-SIM DSP-800 1.0";

// Positions 31..58 are 1..40: line 1 then line 2.
constexpr std::uint8_t kFirstPosition = 0x31;
constexpr std::uint8_t kLastPosition = 0x58;

// 42 n p: the speed by n, and 8N1, 7O1 or 7E1 by p.
std::optional<LineSettings> lineOf(std::uint8_t speed, std::uint8_t parity) {
    static constexpr int kSpeeds[] = {19200, 9600, 4800, 2400, 1200, 600, 38400};
    if (speed < 0x30 || speed > 0x36)
        return std::nullopt;
    LineSettings line;
    line.baudRate = kSpeeds[speed - 0x30];
    switch (parity) {
    case 'N': line.parity = Parity::None, line.dataBits = 8; break;
    case 'O': line.parity = Parity::Odd, line.dataBits = 7; break;
    case 'E': line.parity = Parity::Even, line.dataBits = 7; break;
    default: return std::nullopt;
    }
    return line;
}

} // namespace

Dsp800Interpreter::Dsp800Interpreter(Context &context)
    : Interpreter(context), m_commands(frameCommands()) {
    m_codes.fill(' ');
}

PowerOn Dsp800Interpreter::powerOnState() const {
    return PowerOn{WriteMode::Overwrite, CodeTable::Pc437, false, CursorStyle::Underline,
                   std::nullopt};
}

void Dsp800Interpreter::powerOn() {
    m_codes.fill(' ');
    m_adverts = {};
    m_demo = false;
    m_beforeDemo = {};
    m_advertRunsAtPowerOn = false;
    m_printer = false;
    Interpreter::powerOn();
}

std::string Dsp800Interpreter::stateNote() const {
    return m_demo ? m_context.say(Msg::Dsp800DemoRunning) : std::string();
}

std::vector<Dsp800Interpreter::FrameCommand> Dsp800Interpreter::frameCommands() {
    Context &context = m_context;
    const auto outside = [&context](std::uint8_t byte, const char *range) {
        return Done::refused(context.say(Msg::Dsp800OutOfRange, {hexByte(byte), range}));
    };
    const auto position = [](std::uint8_t byte) { return byte - kFirstPosition; };
    const auto isPosition = [](std::uint8_t byte) {
        return byte >= kFirstPosition && byte <= kLastPosition;
    };
    return {
        {'B', 2, "42", Msg::Dsp800Line,
         [this, outside](std::string_view p) {
             const auto line = lineOf(byteAt(p, 0), byteAt(p, 1));
             if (!line)
                 return byteAt(p, 0) < 0x30 || byteAt(p, 0) > 0x36
                            ? outside(byteAt(p, 0), "30..36")
                            : outside(byteAt(p, 1), "4E 45 4F (N E O)");
             m_lineAfterAnswer = line;
             return Done{{std::to_string(line->baudRate) + " " + shortLineSettings(*line)}};
         }},
        {'I', 1, "49", Msg::Dsp800NationalSet,
         [this, outside, &context](std::string_view p) {
             const std::uint8_t n = byteAt(p, 0);
             if (n >= 0x3B && n <= 0x3E)
                 return Done::refused(context.say(Msg::Dsp800SetMissing, {hexByte(n)}));
             if (n < 0x30 || n > 0x3A)
                 return outside(n, "30..3E");
             // 30..3A are USA … Denmark II in the order of NationalSet.
             const auto set = static_cast<NationalSet>(n - 0x30);
             screen().setNationalSet(set);
             return Done{{nationalSetName(set, context.language)}};
         }},
        {'S', 1, "53", Msg::Dsp800SaveAdvert,
         [this, outside](std::string_view p) {
             const std::uint8_t layer = byteAt(p, 0);
             if (layer < 0x31 || layer > 0x33)
                 return outside(layer, "31..33");
             m_adverts[layer - 0x31] = {screen().line(0), screen().line(1)};
             return Done{{std::string(1, static_cast<char>(layer))}};
         }},
        {'P', 1, "50", Msg::Dsp800CursorAt,
         [this, outside, position, isPosition](std::string_view p) {
             const std::uint8_t at = byteAt(p, 0);
             if (!isPosition(at))
                 return outside(at, "31..58");
             const int linear = position(at);
             screen().setCursor(linear / Screen::kColumns, linear % Screen::kColumns);
             return Done{{number(linear + 1), number(linear / Screen::kColumns + 1),
                          number(linear % Screen::kColumns + 1)}};
         }},
        {'C', 2, "43", Msg::Dsp800ClearRange,
         [this, outside, position, isPosition, &context](std::string_view p) {
             const std::uint8_t from = byteAt(p, 0);
             const std::uint8_t to = byteAt(p, 1);
             if (!isPosition(from))
                 return outside(from, "31..58");
             if (!isPosition(to))
                 return outside(to, "31..58");
             if (from > to)
                 return Done::refused(
                     context.say(Msg::Dsp800RangeBackwards, {hexByte(from), hexByte(to)}));
             screen().clearCells(position(from), position(to));
             std::fill(m_codes.begin() + position(from), m_codes.begin() + position(to) + 1, ' ');
             return Done{{number(position(from) + 1), number(position(to) + 1)}};
         }},
        {'D', 2, "44", Msg::Dsp800Demo,
         [this, outside, &context](std::string_view p) {
             const std::uint8_t layers = byteAt(p, 0);
             const std::uint8_t effects = byteAt(p, 1);
             if (layers < 0x31 || layers > 0x37)
                 return outside(layers, "31..37");
             if (effects < 0x31 || effects > 0x37)
                 return outside(effects, "31..37");
             // Every chosen layer runs across the display in turn; vertical scrolling is shown
             // as the same run, and blinking blinks the whole display while the demo lasts.
             std::array<std::u16string, Screen::kRows> runs;
             std::string names;
             for (int layer = 0; layer < 3; ++layer) {
                 if ((layers & (1 << layer)) == 0)
                     continue;
                 names += (names.empty() ? "" : "+") + number(layer + 1);
                 for (int row = 0; row < Screen::kRows; ++row) {
                     std::u16string line =
                         m_adverts[static_cast<std::size_t>(layer)][static_cast<std::size_t>(row)];
                     line.resize(Screen::kColumns, u' ');
                     runs[static_cast<std::size_t>(row)] += line;
                 }
             }
             m_beforeDemo = {screen().line(0), screen().line(1)};
             for (int row = 0; row < Screen::kRows; ++row)
                 screen().startMarquee(row,
                                       runs[static_cast<std::size_t>(row)] +
                                           std::u16string(Screen::kColumns, u' '),
                                       kDemoIntervalMs, false);
             if (effects & 4)
                 screen().setBlinkMs(kDemoBlinkMs);
             m_demo = true;
             std::string how;
             const Msg kEffects[] = {Msg::ModeHorizontalScroll, Msg::ModeVerticalScroll,
                                     Msg::Dsp800Blinking};
             for (int bit = 0; bit < 3; ++bit) {
                 if (effects & (1 << bit))
                     how += (how.empty() ? "" : ", ") + context.say(kEffects[bit]);
             }
             return Done{{names, how}};
         }},
        {'T', 0, "54", Msg::Dsp800ReadBack,
         [this](std::string_view) {
             m_reply = readBack();
             return Done{};
         }},
        {'V', 0, "56", Msg::Dsp800Firmware,
         [this](std::string_view) {
             m_reply =
                 std::string(1, kReplyStart) + std::string(kFirmware) + std::string(1, kFrameEnd);
             return Done{};
         }},
        {'O', 1, "4F", Msg::Dsp800PowerOnAdvert,
         [this, outside, &context](std::string_view p) {
             const std::uint8_t n = byteAt(p, 0);
             if (n != 0x30 && n != 0x31)
                 return outside(n, "30..31");
             m_advertRunsAtPowerOn = n == 0x31;
             return Done{{context.say(m_advertRunsAtPowerOn ? Msg::Dsp800AdvertRuns
                                                            : Msg::Dsp800AdvertStays)}};
         }},
    };
}

Parse Dsp800Interpreter::parse(std::string_view pending) {
    // Any data from the host ends a demo.
    if (m_demo)
        stopDemo();
    const std::uint8_t first = byteAt(pending, 0);
    if (first == kEscape)
        return escape(pending);
    if (m_printer) {
        m_context.text(first, false);
        return Parse::done(1);
    }
    if (first >= 0x20) {
        text(first);
        return Parse::done(1);
    }
    if (first == kFrameStart)
        return frame(pending);
    return refuse(pending.substr(0, 1), Msg::MeaninglessControlInSet,
                  {emulationTitle(Emulation::Dsp800)});
}

void Dsp800Interpreter::text(std::uint8_t byte) {
    m_codes[static_cast<std::size_t>(screen().cursorRow() * Screen::kColumns +
                                     screen().cursorColumn())] = byte;
    screen().putByte(byte);
    m_context.text(byte);
}

// ESC G and ESC S switch printer pass-through; while it is on, everything else is the printer's.
Parse Dsp800Interpreter::escape(std::string_view pending) {
    if (pending.size() < 2)
        return Parse::incomplete();
    const std::string_view bytes = pending.substr(0, 2);
    if (pending[1] == 'S') {
        m_printer = false;
        screen().setPeripheral(Peripheral::Display);
        return m_context.take(bytes, Msg::Dsp800PrinterOff);
    }
    if (m_printer) {
        m_context.text(byteAt(pending, 0), false);
        return Parse::done(1);
    }
    if (pending[1] == 'G') {
        m_printer = true;
        screen().setPeripheral(Peripheral::Printer);
        return m_context.take(bytes, Msg::Dsp800PrinterOn);
    }
    return refuse(bytes, Msg::UnknownCommandInSet, {emulationTitle(Emulation::Dsp800)});
}

// 04 01 cmd parameters 17. A frame is read up to the length its command has (six bytes for an
// unknown command); a new 04 inside it means its end was lost, and the byte where the 17 should
// have been is read again as what it is.
Parse Dsp800Interpreter::frame(std::string_view pending) {
    if (pending.size() < 2)
        return Parse::incomplete();
    if (pending[1] != kFrameSecond)
        return refuse(pending.substr(0, 1), Msg::Dsp800NotAFrame);
    if (pending.size() < 3)
        return Parse::incomplete();
    const char command = pending[2];
    if (command == kFrameEnd)
        return nak(pending.substr(0, 3), Msg::Dsp800NoCommand);
    if (command == kFrameStart)
        return nak(pending.substr(0, 2), Msg::Dsp800CutByFrame);
    const auto known =
        std::find_if(m_commands.begin(), m_commands.end(),
                     [command](const FrameCommand &c) { return c.command == command; });
    const std::size_t length = known != m_commands.end() ? 4 + known->parameters : kLongestFrame;
    for (std::size_t at = 3; at < length; ++at) {
        if (at == pending.size())
            return Parse::incomplete();
        const char byte = pending[at];
        if (byte == kFrameStart)
            return nak(pending.substr(0, at), Msg::Dsp800CutByFrame);
        if (byte != kFrameEnd)
            continue;
        const std::string_view bytes = pending.substr(0, at + 1);
        if (known == m_commands.end())
            return nak(bytes, Msg::Dsp800UnknownCommand,
                       {hexByte(static_cast<std::uint8_t>(command))});
        if (at != length - 1)
            return nak(bytes, known->name + ": " +
                                  m_context.say(Msg::Dsp800Length,
                                                {number(static_cast<int>(at - 3)),
                                                 number(static_cast<int>(known->parameters))}));
        return carryOut(*known, bytes);
    }
    return nak(pending.substr(0, length - 1), Msg::Dsp800WithoutEtb,
               {number(static_cast<int>(length))});
}

Parse Dsp800Interpreter::carryOut(const FrameCommand &command, std::string_view bytes) {
    m_reply.clear();
    m_lineAfterAnswer.reset();
    const Done done = command.action(bytes.substr(3, command.parameters));
    if (!done.ok())
        return nak(bytes, command.name + ": " + done.error);
    logCommand(m_context, bytes, command.name, command.meaning, done.value);
    m_context.answer(m_reply.empty() ? std::string(1, kAck) : m_reply);
    // The new line holds from the next byte on: the answer goes out at the old one.
    if (m_lineAfterAnswer)
        m_context.requestLine(*m_lineAfterAnswer);
    return Parse::done(bytes.size());
}

Parse Dsp800Interpreter::nak(std::string_view bytes, Msg why, Args args) {
    return nak(bytes, m_context.say(why, args));
}

Parse Dsp800Interpreter::nak(std::string_view bytes, const std::string &why) {
    const Parse taken = m_context.refuse(bytes, why);
    m_context.answer(std::string(1, kNak));
    return taken;
}

void Dsp800Interpreter::stopDemo() {
    m_demo = false;
    screen().stopMarquees();
    screen().setBlinkMs(0);
    for (int row = 0; row < Screen::kRows; ++row)
        screen().writeLine(row, m_beforeDemo[static_cast<std::size_t>(row)]);
    m_context.command({}, Msg::Dsp800DemoStopped);
}

std::string Dsp800Interpreter::readBack() const {
    std::string answer(1, kReplyStart);
    answer.append(m_codes.begin(), m_codes.end());
    answer.push_back(kFrameEnd);
    return answer;
}

} // namespace kd::sim
