#pragma once

#include "encoding/line_settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kd::sim {

// The display's side of a Telnet connection with the COM port control option (RFC 2217): it takes
// the bytes a client sends, answers the option negotiation and the set and query commands as an
// access server does, and hands on the data bytes (with IAC IAC turned back into one FF). Without
// Qt, so that tests and the fuzzer feed it directly.
class Rfc2217Session {
  public:
    // What the session noticed, for the log; the inputs word it.
    struct Note {
        enum Kind {
            OptionAgreed,         // the client will control the line
            LineChanged,          // speed, data bits, parity or stop bits set; line() tells
            LineQueried,          // the client asked for a value
            Control,              // flow control, break, DTR, RTS, purge, masks: answered
            BrokenSubnegotiation, // refused: detail holds its bytes in hex and why
            Refused,              // a value out of range: answered with the current one
        };
        Kind kind;
        std::string detail;
    };
    struct Result {
        std::string data;  // for the display
        std::string reply; // to send back to the client, already escaped
        std::vector<Note> notes;
    };

    explicit Rfc2217Session(LineSettings line) : m_line(line) {}

    Result feed(std::string_view bytes);
    // The display's answer to the host, as data on the Telnet connection: FF doubled.
    static std::string escapeData(std::string_view data);
    // How many bytes of the data the first `sent` bytes of its escaped form carry whole: an FF
    // counts once both its bytes went.
    static std::size_t dataBytesSent(std::string_view data, std::size_t sent);

    // The line the client set, starting from the display's own.
    const LineSettings &line() const { return m_line; }
    // Whether the client agreed to the COM port control option.
    bool negotiated() const { return m_negotiated; }

    // Telnet bytes, for tests.
    static constexpr std::uint8_t kIac = 0xFF, kDont = 0xFE, kDo = 0xFD, kWont = 0xFC, kWill = 0xFB,
                                  kSb = 0xFA, kSe = 0xF0, kComPortOption = 44;

  private:
    enum class State { Data, Iac, Option, Subnegotiation, SubnegotiationIac };

    bool take(std::uint8_t byte, Result &result);
    void negotiate(std::uint8_t verb, std::uint8_t option, Result &result);
    void subnegotiation(Result &result);
    void comPortCommand(std::uint8_t command, std::string_view value, Result &result);
    void answer(std::uint8_t command, std::string_view value, Result &result);

    LineSettings m_line;
    bool m_negotiated = false;
    State m_state = State::Data;
    std::uint8_t m_verb = 0;
    std::string m_subnegotiation;
    // Options already agreed, so that a repeated request gets no second answer (no loops).
    std::vector<std::uint8_t> m_weWill, m_theyWill;
};

} // namespace kd::sim
