#include "model/emulation/auto_detect.h"

#include "encoding/control_bytes.h"

#include <algorithm>

namespace kd::sim {
namespace {

// Second bytes of the Epson US commands; a US followed by anything else is Logic Controls' reset
// followed by that byte.
bool usCommandByte(int byte) {
    static constexpr int kCommands[] = {0x01, 0x02, 0x03, 0x0A, 0x0D, 0x23, 0x24, 0x28, 0x2C, 0x2E,
                                        0x3B, 0x40, 0x42, 0x43, 0x45, 0x54, 0x55, 0x58, 0x72, 0x76};
    return std::find(std::begin(kCommands), std::end(kCommands), byte) != std::end(kCommands);
}

// The longest AEDEX line command looked for: the attention code, the command, data and CR.
constexpr std::size_t kLongestAedexCommand = 64;
constexpr std::string_view kAedexCommands = "1245689A";

} // namespace

AutoInterpreter::AutoInterpreter(Context &context, InterpreterFactory factory)
    : Interpreter(context), m_factory(std::move(factory)),
      m_standard(m_factory(Emulation::Standard, context)) {}

PowerOn AutoInterpreter::powerOnState() const {
    return m_standard->powerOnState();
}

void AutoInterpreter::powerOn() {
    m_locked.reset();
    m_reason.clear();
    m_offset = 0;
    m_candidate.clear();
    m_beforeCandidate.reset();
    m_standard = m_factory(Emulation::Standard, m_context);
    m_standard->powerOn();
}

void AutoInterpreter::discardPending() {
    Interpreter::discardPending();
    m_candidate.clear();
    m_beforeCandidate.reset();
    (m_locked ? m_locked : m_standard)->discardPending();
}

std::string AutoInterpreter::stateNote() const {
    if (m_locked) {
        const std::string note = m_locked->stateNote();
        return m_reason + (note.empty() ? "" : ", " + note);
    }
    return m_context.say(Msg::NotYetDetected);
}

void AutoInterpreter::lock(Emulation emulation, std::string_view signature, std::uint64_t at) {
    m_reason = m_context.say(Msg::Detected, {emulationTitle(emulation, m_context.language),
                                             hexBytes(signature), std::to_string(at)});
    m_context.command({}, m_reason);
    m_locked = m_factory(emulation, m_context);
    screen().adoptSettings(m_locked->powerOnState());
    m_candidate.clear();
    m_beforeCandidate.reset();
}

bool AutoInterpreter::followAedexCandidate(std::uint8_t byte) {
    if (!m_candidate.empty()) {
        const std::size_t at = m_candidate.size();
        const bool fits =
            (at == 1 && byte == '#') ||
            (at == 2 && kAedexCommands.find(static_cast<char>(byte)) != std::string_view::npos) ||
            (at > 2 && at < kLongestAedexCommand && (byte >= 0x20 || byte == kCarriageReturn));
        if (fits && at > 2 && byte == kCarriageReturn) {
            // It was a line command: the display returns to what it showed before it.
            const std::string command = m_candidate + static_cast<char>(byte);
            screen() = *m_beforeCandidate;
            lock(Emulation::Aedex, std::string_view(command).substr(0, 3), m_candidateOffset);
            m_locked->feed(command);
            return true;
        }
        if (fits) {
            m_candidate.push_back(static_cast<char>(byte));
            return false;
        }
        m_candidate.clear();
        m_beforeCandidate.reset();
    }
    if (byte == '!' && m_standard->idle()) {
        m_candidate = "!";
        m_candidateOffset = m_offset;
        m_beforeCandidate = screen();
    }
    return false;
}

Parse AutoInterpreter::parse(std::string_view pending) {
    if (m_locked) {
        m_locked->feed(byteAt(pending, 0));
        ++m_offset;
        return Parse::done(1);
    }
    // Signatures are looked for only where a command may start.
    const Decision decision =
        m_standard->idle() ? decide(pending) : Decision{Decision::Undecided, {}, 0};
    if (decision.kind == Decision::NeedMore)
        return Parse::incomplete();
    if (decision.kind == Decision::Decided) {
        lock(decision.emulation, pending.substr(0, decision.signature), m_offset);
        // The chosen set reads on from the deciding command.
        m_locked->feed(pending);
        m_offset += pending.size();
        return Parse::done(pending.size());
    }
    const auto byte = byteAt(pending, 0);
    if (!followAedexCandidate(byte))
        m_standard->feed(byte);
    ++m_offset;
    return Parse::done(1);
}

AutoInterpreter::Decision AutoInterpreter::decide(std::string_view p) {
    const auto need = [&](std::size_t length) { return p.size() < length; };
    const Decision more{Decision::NeedMore, {}, 0};
    const Decision none{Decision::Undecided, {}, 0};
    const auto decided = [](Emulation emulation, std::size_t signature) {
        return Decision{Decision::Decided, emulation, signature};
    };
    switch (byteAt(p, 0)) {
    case kUnitSeparator: {
        if (need(2))
            return more;
        const std::uint8_t command = byteAt(p, 1);
        if (command == 0x01 || command == 0x02 || command == 0x03)
            return decided(Emulation::Epson, 2);
        if (command == 0x43) {
            if (need(3))
                return more;
            const int n = byteAt(p, 2);
            return n == 0 || n == 1 || n == '0' || n == '1' ? decided(Emulation::Epson, 3) : none;
        }
        if (command == 0x58) {
            if (need(3))
                return more;
            return byteAt(p, 2) >= 1 && byteAt(p, 2) <= 4 ? decided(Emulation::Epson, 3) : none;
        }
        if (command == 0x24) {
            if (need(4))
                return more;
            const int x = byteAt(p, 2);
            const int y = byteAt(p, 3);
            return x >= 1 && x <= Screen::kColumns && (y == 1 || y == 2)
                       ? decided(Emulation::Epson, 4)
                       : none;
        }
        if ((command >= 0x10 && command <= 0x14) || (printable(command) && !usCommandByte(command)))
            return decided(Emulation::LogicControls, 2);
        return none;
    }
    case kEscape: {
        if (need(2))
            return more;
        const auto third = [&](std::initializer_list<int> bytes, Emulation emulation) {
            if (need(3))
                return more;
            const int byte = byteAt(p, 2);
            return std::find(bytes.begin(), bytes.end(), byte) != bytes.end()
                       ? decided(emulation, 3)
                       : none;
        };
        switch (byteAt(p, 1)) {
        case 't': return decided(Emulation::Epson, 2);
        case '[': {
            // A number after ESC [ is the BA63's (clear, position, erase, identification); a
            // letter is a CD5220 cursor move. ESC [ H is home in both: it does not decide.
            if (need(3))
                return more;
            const int byte = byteAt(p, 2);
            if (byte >= '0' && byte <= '9')
                return decided(Emulation::Ba63, 3);
            return byte == 'H' ? none : decided(Emulation::Cd5220, 2);
        }
        case 'R':
            // ESC R with a code-page number 30–37 (Epson's national sets are 00–0D).
            return third({0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37}, Emulation::Ba63);
        case 'u': return third({'A', 'B', 'D', 'E', 'F', 'H', 'I'}, Emulation::UtcEnhanced);
        case 0x05: return third({'I'}, Emulation::Iee);
        case 'U':
        case 'D': return decided(Emulation::Icd2002, 2);
        case 'C': return third({'U', 'D'}, Emulation::Icd2002);
        case 'E': return third({'X', 'U', 'D'}, Emulation::Icd2002);
        case 'A': return third({'D', 'E'}, Emulation::Icd2002);
        case '=':
            if (need(3))
                return more;
            return byteAt(p, 2) == 2 ? decided(Emulation::Epson, 3) : none;
        case 'Q':
            if (need(3))
                return more;
            return p[2] == 'A' || p[2] == 'B' || p[2] == 'D' ? decided(Emulation::Cd5220, 3) : none;
        case 'l':
        case '_':
        case '*':
        case 0x11:
        case 0x12:
        case 0x13: return decided(Emulation::Cd5220, 2);
        default: return none;
        }
    }
    case kDataLinkEscape: {
        if (need(2))
            return more;
        const int position = byteAt(p, 1);
        // 10 31–37: the ADM-787's period on the last places of line 1; no position of the others.
        if (position >= 0x31 && position <= 0x37)
            return decided(Emulation::Adm787, 2);
        if (position > 0x27 || position == 0x04 || position == 0x05 || position == 0x14)
            return none;
        if (need(3))
            return more;
        return printable(byteAt(p, 2)) ? decided(Emulation::LogicControls, 2) : none;
    }
    case 0x04: {
        if (need(2))
            return more;
        const int level = byteAt(p, 1);
        // 04 01 starts a DSP-800 frame; it is never a brightness.
        if (level == 0x01)
            return decided(Emulation::Dsp800, 2);
        return level == 0x20 || level == 0x40 || level == 0x60 || level == 0xFF
                   ? decided(Emulation::LogicControls, 2)
                   : none;
    }
    case 0x00: {
        if (need(2))
            return more;
        return byteAt(p, 1) <= 1 ? decided(Emulation::LogicControls, 2) : none;
    }
    default: return none;
    }
}

} // namespace kd::sim
