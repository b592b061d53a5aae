#pragma once

#include "model/emulation/interpreter.h"
#include "model/screen.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kd::sim {

// The events of --headless, one JSON object a line. The stream is read by other programs: fields
// are added, never renamed. Without Qt, so that tests check the text directly.

// A JSON string literal of UTF-8 text, with quotes.
std::string jsonString(std::string_view utf8);

// Where the display can be reached; an input it did not open is null.
struct ReadyFacts {
    long pid = 0;
    std::optional<std::string> pty;
    std::optional<std::string> tcp;
    std::optional<std::string> rfc2217;
    std::optional<std::string> socket;
    std::optional<int> com;
    std::optional<std::string> serialLink;
    Emulation emulation = Emulation::Standard;
    // Inputs that could not be opened without that being fatal (the port map, say).
    std::vector<std::string> problems;
};
std::string readyEvent(const ReadyFacts &facts);

// What the display shows: the two lines (20 characters each, UTF-8), the cursor (1-based), the
// set, and what a test needs to assert about the glass.
// The serial line: the display's ("9600,N,8,1"), the sender's when its input tells it, the
// characters read with framing and parity errors, and the line as the state line names it.
struct LineFacts {
    std::string display;
    std::optional<std::string> sender;
    unsigned long long framingErrors = 0;
    unsigned long long parityErrors = 0;
    // Answer bytes that could not go back to the sender.
    unsigned long long answersDropped = 0;
    std::string description;
};
struct ScreenFacts {
    const Screen &screen;
    Emulation emulation;
    // For auto: the set it locked on (Auto while undecided) and why.
    Emulation detected;
    std::string detection;
    std::string state;
    LineFacts line;
};
std::string screenEvent(const ScreenFacts &facts);

// One command as the window's log names it; bytes in hex ("1F 24 01 02"), empty for a note.
std::string commandEvent(std::string_view source, std::string_view bytes, std::string_view name);
// The reader fell behind and this many command events were dropped.
std::string commandsDroppedEvent(long long count);

} // namespace kd::sim
