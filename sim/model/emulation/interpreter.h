#pragma once

#include "encoding/hex.h"
#include "encoding/line_settings.h"
#include "model/clock.h"
#include "model/expected.h"
#include "model/messages.h"
#include "model/screen.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kd::sim {

// The command sets the virtual display speaks.
enum class Emulation {
    Standard,
    Epson,
    Cd5220,
    LogicControls,
    Aedex,
    Ba63,
    Dsp800,
    UtcEnhanced,
    Iee,
    Icd2002,
    Adm787,
    Auto,
};

// "standard", "epson", "cd5220", "logic-controls", "aedex", "ba63", "dsp800", "utc-enhanced",
// "iee", "icd2002", "adm787", "auto": the names on the command line.
std::string emulationName(Emulation emulation);
// "Standard", "Epson ESC/POS", "CD5220", "Logic Controls", "AEDEX", "BA63/BA66", "DSP-800",
// "UTC enhanced", "IEE", "ICD-2002", "ADM-787/788", "automatic": what people read.
std::string emulationTitle(Emulation emulation, Language language = Language::English);
std::optional<Emulation> emulationNamed(std::string_view name);
const std::vector<Emulation> &allEmulations();

// One line of the log: the bytes of a command, or of a run of text, and what they meant.
struct LogEntry {
    std::string bytes;
    std::string meaning;
};
using LogSink = std::function<void(const LogEntry &)>;

// How much the log takes, so that a flood cannot flood it.
struct LogLimits {
    // Entries one arrival of bytes may make; the rest are counted, and the count is logged.
    std::size_t entriesPerArrival = 64;
    // How much of a run of text an entry shows; the run's length is logged beside it.
    std::size_t textBytesShown = 32;
};

// What a command set made of the bytes waiting at the front of its input.
struct Parse {
    enum Kind {
        Incomplete, // the command has not all arrived yet
        Done,       // length bytes were a command (or were dropped as malformed) and are taken
        NotMine,    // this table does not know the command; another may
    };
    Kind kind = NotMine;
    std::size_t length = 0;

    static Parse incomplete() { return {Incomplete, 0}; }
    static Parse done(std::size_t length) { return {Done, length}; }
    static Parse notMine() { return {NotMine, 0}; }
};

using Args = std::initializer_list<std::string>;

// Choices a real display makes on its switches or in its firmware where the manuals leave the
// behaviour open.
struct SetOptions {
    // BA63: a character written at column 20 leaves the cursor waiting there; the next printable
    // character goes to column 1 of the next line (true), or overwrites column 20 (false).
    bool pendingWrap = true;
    // What the display sends back when the host asks who it is (BA63 ESC [ 0 c, IEE ESC 05 I); the
    // set's own answer when not given, none when empty.
    std::optional<std::string> identification;
};

// Where a command set's commands write: the screen, the log (in the reader's language) and the
// clock.
class Context {
  public:
    Context(Screen &screen, LogSink log, LogLimits limits = {})
        : screen(screen), m_log(std::move(log)), m_limits(limits) {}

    Screen &screen;
    Language language = Language::English;
    Clock clock = wallClock;
    SetOptions options;

    // The message in the reader's language.
    std::string say(Msg id, Args args = {}) const { return kd::sim::say(language, id, args); }
    // Logs the command's bytes with its meaning, after any text that came before it.
    void command(std::string_view bytes, const std::string &meaning);
    void command(std::string_view bytes, Msg id, Args args = {}) {
        command(bytes, logging() ? say(id, args) : std::string());
    }
    // Logs the bytes as a whole command that was taken.
    Parse take(std::string_view bytes, Msg id, Args args = {}) {
        command(bytes, id, args);
        return Parse::done(bytes.size());
    }
    // Logs the bytes as a command that is unknown or malformed, with why: taken, never drawn.
    Parse refuse(std::string_view bytes, Msg why, Args args = {});
    Parse refuse(std::string_view bytes, const std::string &why);
    // Whether the log takes more entries now. A flood fills the budget of one arrival; what comes
    // after it is counted, not logged, and the count is logged instead.
    bool logging() const { return m_budget > 0; }
    // Starts an arrival's budget of log entries; returns how many were counted but not logged
    // since the last call.
    std::size_t startBudget(std::size_t entries);
    const LogLimits &limits() const { return m_limits; }
    // A printable character of a run of text, shown on the screen or (when shown is false) passed
    // on to the device behind the display; runs are logged as one line.
    void text(std::uint8_t byte, bool shown = true);
    // A run of printable characters shown on the screen, as text() one by one would log it.
    void textRun(std::string_view bytes);
    void flushText();
    // Bytes the display sends back to the host (an acknowledgement, an identification, a
    // read-back): logged like a command, after any text before them, and kept for takeAnswers().
    void answer(std::string_view bytes);
    // The answers since the last call, in the order they were made.
    std::string takeAnswers();
    // A command set the display's own serial line (DSP-800 04 01 42): it holds from the next
    // byte on; the answer to the command itself still goes out at the old line.
    void requestLine(const LineSettings &line) { m_lineRequest = line; }
    // The line asked for since the last call, if any.
    std::optional<LineSettings> takeLineRequest() { return std::exchange(m_lineRequest, {}); }

  private:
    std::string m_answers;
    std::optional<LineSettings> m_lineRequest;
    LogSink m_log;
    LogLimits m_limits;
    std::size_t m_budget = SIZE_MAX;
    std::size_t m_skipped = 0;
    // The start of the current run of text, and its whole length.
    std::string m_textBytes;
    std::size_t m_textLength = 0;
    bool m_textShown = true;
};

// A command's lead of one byte, as a table row names it.
inline std::string leadByte(std::uint8_t byte) {
    return std::string(1, static_cast<char>(byte));
}

// The byte at the index, 00..FF.
inline std::uint8_t byteAt(std::string_view bytes, std::size_t index) {
    return static_cast<std::uint8_t>(bytes[index]);
}

// A command of fixed length: its leading bytes, how many parameter bytes follow them, its name as
// the manuals write it, what it means and what it does. The action carries the command out and
// returns the values the meaning names as {1}, {2} …, or why the parameters are refused (then
// nothing is carried out). The log reads "<name>: <meaning>".
struct FixedCommand {
    using Values = std::vector<std::string>;
    std::string lead;
    std::size_t parameters = 0;
    std::string name;
    Msg meaning;
    std::function<Expected<Values>(std::string_view parameters)> action;
    // When the action refuses the parameters: whether only the lead is taken, so that the
    // parameter bytes are read again as what they are. For a lead that is a command only under a
    // condition (IBM mode) and otherwise one of the control bytes the set ignores.
    bool refusalTakesLeadOnly = false;
};
using CommandTable = std::vector<FixedCommand>;

// Logs a command of a table as "<name>: <meaning>", the values in place of {1}, {2} … of the
// meaning.
void logCommand(Context &context, std::string_view bytes, const std::string &name, Msg meaning,
                const FixedCommand::Values &values);

// Where the pending bytes stand against a table: a command of it not yet complete, one done (its
// action run and logged, or its parameters refused), or none of its commands.
Parse matchFixed(const CommandTable &table, std::string_view pending, Context &context);

// One command set's interpreter: it takes bytes one at a time, however they were split on the
// way, and turns each complete command into calls on the screen. Unknown and malformed commands
// are logged by name and hex and never drawn.
class Interpreter {
  public:
    explicit Interpreter(Context &context) : m_context(context) {}
    virtual ~Interpreter() = default;
    Interpreter(const Interpreter &) = delete;
    Interpreter &operator=(const Interpreter &) = delete;

    void feed(std::uint8_t byte);
    virtual void feed(std::string_view bytes);
    // No command is waiting for more bytes.
    bool idle() const { return m_pending.empty(); }
    // Drops a command that has only partly arrived (its sender went away), saying so.
    virtual void discardPending();
    // The set's power-on state: what a reset and a change of command set return to.
    virtual PowerOn powerOnState() const = 0;
    // Goes to the power-on state, as after a reset; a set with state of its own resets it too.
    virtual void powerOn() { screen().powerOn(powerOnState()); }
    virtual Emulation emulation() const = 0;
    // For the state line: what the set adds to the screen's state (the IBM mode, an attention
    // code), or an empty text.
    virtual std::string stateNote() const { return {}; }
    // For `auto`: the set it locked on and why; empty for the others and before the decision.
    virtual std::string detection() const { return {}; }
    // The set whose meaning the bytes have now: the set itself, or for `auto` the set it locked
    // on (Auto while undecided).
    virtual Emulation detected() const { return emulation(); }

  protected:
    // Looks at the bytes waiting at the front of the input (never empty).
    virtual Parse parse(std::string_view pending) = 0;
    // The input was cut off or dropped: a parser that keeps notes on the pending bytes forgets
    // them.
    virtual void pendingDropped() {}
    Parse refuse(std::string_view bytes, Msg why, Args args = {}) {
        return m_context.refuse(bytes, why, args);
    }

    Context &m_context;
    Screen &screen() { return m_context.screen; }
    const Screen &screen() const { return m_context.screen; }

  private:
    std::string m_pending;
};

// Makes the interpreter of a command set over the context; `auto` gets one to make the set it
// locks on.
using InterpreterFactory = std::function<std::unique_ptr<Interpreter>(Emulation, Context &)>;

// What people read for the screen's settings.
std::string writeModeName(WriteMode mode, Language language);
std::string peripheralName(Peripheral peripheral, Language language);

// One byte as a hex pair, "1B".
std::string hexByte(std::uint8_t byte);
bool printable(std::uint8_t byte);
std::string number(int value);

} // namespace kd::sim
