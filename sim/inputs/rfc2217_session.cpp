#include "inputs/rfc2217_session.h"

#include "encoding/hex.h"

#include <algorithm>

namespace kd::sim {
namespace {

constexpr std::uint8_t kBinary = 0, kSuppressGoAhead = 3;
// Client commands of the COM port option; the server answers each with the code plus 100.
enum : std::uint8_t {
    kSetBaudRate = 1,
    kSetDataSize = 2,
    kSetParity = 3,
    kSetStopSize = 4,
    kSetControl = 5,
    kFlowControlSuspend = 8,
    kFlowControlResume = 9,
    kSetLineStateMask = 10,
    kSetModemStateMask = 11,
    kPurgeData = 12,
    kServerOffset = 100,
};
// Longer subnegotiations are not COM port commands; the session stops collecting and refuses.
constexpr std::size_t kLongestSubnegotiation = 64;

bool contains(const std::vector<std::uint8_t> &options, std::uint8_t option) {
    return std::find(options.begin(), options.end(), option) != options.end();
}

// RFC 2217's parity and stop-size codes.
constexpr Parity kParities[] = {Parity::None, Parity::Odd, Parity::Even, Parity::Mark,
                                Parity::Space};
std::uint8_t parityCode(Parity parity) {
    return static_cast<std::uint8_t>(std::find(std::begin(kParities), std::end(kParities), parity) -
                                     std::begin(kParities) + 1);
}
std::uint8_t stopCode(StopBits stop) {
    switch (stop) {
    case StopBits::Two: return 2;
    case StopBits::OneAndHalf: return 3;
    case StopBits::One: break;
    }
    return 1;
}

} // namespace

std::string Rfc2217Session::escapeData(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (const char c : data) {
        out.push_back(c);
        if (static_cast<std::uint8_t>(c) == kIac)
            out.push_back(c);
    }
    return out;
}

std::size_t Rfc2217Session::dataBytesSent(std::string_view data, std::size_t sent) {
    std::size_t carried = 0;
    for (const char c : data) {
        const std::size_t width = static_cast<std::uint8_t>(c) == kIac ? 2 : 1;
        if (width > sent)
            break;
        sent -= width;
        ++carried;
    }
    return carried;
}

Rfc2217Session::Result Rfc2217Session::feed(std::string_view bytes) {
    Result result;
    for (const char c : bytes)
        while (!take(static_cast<std::uint8_t>(c), result)) {
        }
    return result;
}

bool Rfc2217Session::take(std::uint8_t byte, Result &result) {
    const char c = static_cast<char>(byte);
    switch (m_state) {
    case State::Data:
        if (byte == kIac)
            m_state = State::Iac;
        else
            result.data.push_back(c);
        return true;
    case State::Iac:
        m_state = State::Data;
        if (byte == kIac) {
            result.data.push_back(c);
        } else if (byte >= kWill && byte <= kDont) {
            m_verb = byte;
            m_state = State::Option;
        } else if (byte == kSb) {
            m_subnegotiation.clear();
            m_state = State::Subnegotiation;
        } // NOP, GA, AYT and the other two-byte commands carry nothing for the display
        return true;
    case State::Option:
        m_state = State::Data;
        negotiate(m_verb, byte, result);
        return true;
    case State::Subnegotiation:
        if (byte == kIac)
            m_state = State::SubnegotiationIac;
        else if (m_subnegotiation.size() < kLongestSubnegotiation)
            m_subnegotiation.push_back(c);
        return true;
    case State::SubnegotiationIac:
        if (byte == kIac) {
            m_state = State::Subnegotiation;
            if (m_subnegotiation.size() < kLongestSubnegotiation)
                m_subnegotiation.push_back(c);
        } else if (byte == kSe) {
            m_state = State::Data;
            subnegotiation(result);
        } else {
            // IAC and anything but IAC or SE: the client broke the subnegotiation off. What it
            // sent is refused, and the byte is read again as the command it starts.
            result.notes.push_back(
                {Note::BrokenSubnegotiation, hexBytes(m_subnegotiation) + ": IAC " +
                                                 hexBytes(std::string(1, c)) + " before IAC SE"});
            m_state = State::Iac;
            return false;
        }
        return true;
    }
    return true;
}

void Rfc2217Session::negotiate(std::uint8_t verb, std::uint8_t option, Result &result) {
    const auto send = [&](std::uint8_t answer) {
        result.reply += static_cast<char>(kIac);
        result.reply += static_cast<char>(answer);
        result.reply += static_cast<char>(option);
    };
    // The display agrees to binary data, no go-ahead and the COM port option, in both directions;
    // it refuses the rest (echo among them). An option already agreed gets no second answer, so
    // that two sides never answer each other for ever.
    const bool supported =
        option == kBinary || option == kSuppressGoAhead || option == kComPortOption;
    const bool asksUs = verb == kDo || verb == kDont;
    std::vector<std::uint8_t> &agreed = asksUs ? m_weWill : m_theyWill;
    const bool wasAgreed = contains(agreed, option);
    if (verb == kWill || verb == kDo) {
        if (!supported) {
            send(asksUs ? kWont : kDont);
            return;
        }
        if (wasAgreed)
            return;
        agreed.push_back(option);
        send(asksUs ? kWill : kDo);
        if (option == kComPortOption && !m_negotiated) {
            m_negotiated = true;
            result.notes.push_back({Note::OptionAgreed, {}});
        }
    } else if (wasAgreed) {
        std::erase(agreed, option);
        send(asksUs ? kWont : kDont);
    }
}

void Rfc2217Session::subnegotiation(Result &result) {
    const std::string_view body = m_subnegotiation;
    if (body.empty() || static_cast<std::uint8_t>(body[0]) != kComPortOption)
        return; // another option's subnegotiation: nothing for the display
    if (body.size() < 2) {
        result.notes.push_back({Note::BrokenSubnegotiation, hexBytes(body) + ": no command"});
        return;
    }
    comPortCommand(static_cast<std::uint8_t>(body[1]), body.substr(2), result);
}

void Rfc2217Session::answer(std::uint8_t command, std::string_view value, Result &result) {
    result.reply += static_cast<char>(kIac);
    result.reply += static_cast<char>(kSb);
    result.reply += static_cast<char>(kComPortOption);
    result.reply += static_cast<char>(command + kServerOffset);
    result.reply += escapeData(value);
    result.reply += static_cast<char>(kIac);
    result.reply += static_cast<char>(kSe);
}

void Rfc2217Session::comPortCommand(std::uint8_t command, std::string_view value, Result &result) {
    const std::string raw = std::string(1, static_cast<char>(kComPortOption)) +
                            static_cast<char>(command) + std::string(value);
    const auto broken = [&](const std::string &why) {
        result.notes.push_back({Note::BrokenSubnegotiation, hexBytes(raw) + ": " + why});
    };
    const std::size_t expected = command == kSetBaudRate ? 4
                                 : (command == kFlowControlSuspend || command == kFlowControlResume)
                                     ? 0
                                     : 1;
    if (command == 0 || command > kPurgeData || command == 6 || command == 7) {
        broken("unknown command " + std::to_string(command));
        return;
    }
    if (value.size() != expected) {
        broken(std::to_string(value.size()) + " value bytes, expected " + std::to_string(expected));
        return;
    }
    const auto code = expected == 1 ? static_cast<std::uint8_t>(value[0]) : std::uint8_t{0};
    const auto changed = [&] {
        result.notes.push_back({Note::LineChanged, formatLineSettings(m_line)});
    };
    const auto refused = [&](const std::string &what) {
        result.notes.push_back({Note::Refused, what});
    };
    switch (command) {
    case kSetBaudRate: {
        std::uint32_t baud = 0;
        for (const char c : value)
            baud = (baud << 8) | static_cast<std::uint8_t>(c);
        if (baud == 0)
            result.notes.push_back({Note::LineQueried, "baud rate"});
        else if (baud < 50 || baud > 4'000'000)
            refused("baud rate " + std::to_string(baud));
        else if (static_cast<int>(baud) != m_line.baudRate) {
            m_line.baudRate = static_cast<int>(baud);
            changed();
        }
        const auto current = static_cast<std::uint32_t>(m_line.baudRate);
        const char bytes[] = {static_cast<char>(current >> 24), static_cast<char>(current >> 16),
                              static_cast<char>(current >> 8), static_cast<char>(current)};
        answer(command, std::string_view(bytes, 4), result);
        return;
    }
    case kSetDataSize:
        if (code == 0)
            result.notes.push_back({Note::LineQueried, "data size"});
        else if (code < 5 || code > 8)
            refused("data size " + std::to_string(code));
        else if (code != m_line.dataBits) {
            m_line.dataBits = code;
            changed();
        }
        answer(command, std::string(1, static_cast<char>(m_line.dataBits)), result);
        return;
    case kSetParity:
        if (code == 0)
            result.notes.push_back({Note::LineQueried, "parity"});
        else if (code > 5)
            refused("parity " + std::to_string(code));
        else if (kParities[code - 1] != m_line.parity) {
            m_line.parity = kParities[code - 1];
            changed();
        }
        answer(command, std::string(1, static_cast<char>(parityCode(m_line.parity))), result);
        return;
    case kSetStopSize: {
        constexpr StopBits kStops[] = {StopBits::One, StopBits::Two, StopBits::OneAndHalf};
        if (code == 0)
            result.notes.push_back({Note::LineQueried, "stop size"});
        else if (code > 3)
            refused("stop size " + std::to_string(code));
        else if (kStops[code - 1] != m_line.stopBits) {
            m_line.stopBits = kStops[code - 1];
            changed();
        }
        answer(command, std::string(1, static_cast<char>(stopCode(m_line.stopBits))), result);
        return;
    }
    case kSetControl: {
        // Queries get the display's fixed state: no flow control, no break, DTR and RTS on.
        std::uint8_t state = code;
        switch (code) {
        case 0: state = 1; break;
        case 4: state = 6; break;
        case 7: state = 8; break;
        case 10: state = 11; break;
        case 13: state = 14; break;
        default: break;
        }
        result.notes.push_back({Note::Control, "control " + std::to_string(code)});
        answer(command, std::string(1, static_cast<char>(state)), result);
        return;
    }
    default:
        result.notes.push_back({Note::Control, hexBytes(raw)});
        answer(command, value, result);
        return;
    }
}

} // namespace kd::sim
