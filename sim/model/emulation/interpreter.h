#pragma once

#include "model/screen.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kd::sim {

// The command sets the virtual display speaks.
enum class Emulation { Standard, Epson, Cd5220, LogicControls, Aedex, Auto };

// "standard", "epson", "cd5220", "logic-controls", "aedex", "auto".
std::string emulationName(Emulation emulation);
// "Standard", "Epson ESC/POS", "CD5220", "Logic Controls", "AEDEX", "automatisch".
std::string emulationTitle(Emulation emulation);
std::optional<Emulation> emulationNamed(std::string_view name);
const std::vector<Emulation> &allEmulations();

// One line of the log: the bytes of a command, or of a run of text, and what they meant.
struct LogEntry {
    std::string bytes;
    std::string meaning;
};
using LogSink = std::function<void(const LogEntry &)>;

// What a command set made of the bytes waiting at the front of its input.
struct Step {
    enum Kind {
        Incomplete, // the command has not all arrived yet
        Done,       // length bytes were a command (or were dropped as malformed) and are taken
        NotMine,    // this table does not know the command; another may
    };
    Kind kind = NotMine;
    std::size_t length = 0;

    static Step incomplete() { return {Incomplete, 0}; }
    static Step done(std::size_t length) { return {Done, length}; }
    static Step notMine() { return {NotMine, 0}; }
};

// Where a command set's commands write: the screen and the log.
class Context {
  public:
    Context(Screen &screen, LogSink log) : screen(screen), m_log(std::move(log)) {}

    Screen &screen;
    // Logs the command's bytes with its meaning, after any text that came before it.
    void command(std::string_view bytes, const std::string &meaning);
    // Whether the log takes more entries now. A flood fills the budget of one arrival; what comes
    // after it is counted, not logged, and the count is logged instead.
    bool logging() const { return m_budget > 0; }
    // Starts an arrival's budget of log entries; returns how many were counted but not logged
    // since the last call.
    std::size_t startBudget(std::size_t entries);
    // Logs the bytes as a whole command that was taken (done or refused with its reason).
    Step take(std::string_view bytes, const std::string &meaning) {
        command(bytes, meaning);
        return Step::done(bytes.size());
    }
    // A printable character of a run of text, shown on the screen or (when shown is false) passed
    // on to the device behind the display; runs are logged as one line.
    void text(std::uint8_t byte, bool shown = true);
    // A run of printable characters shown on the screen, as text() one by one would log it.
    void textRun(std::string_view bytes);
    void flushText();

    // The step time of the tool's running texts, which its 'D' frame sets.
    int frameStepMs() const { return m_frameStepMs; }
    // How much of a frame still waiting for its end has been searched for it, so that each new
    // byte is looked at once.
    std::size_t frameSearched = 0;
    void setFrameStepMs(int stepMs) { m_frameStepMs = stepMs; }

  private:
    LogSink m_log;
    int m_frameStepMs = 200;
    std::size_t m_budget = SIZE_MAX;
    std::size_t m_skipped = 0;
    // The start of the current run of text, and its whole length.
    std::string m_textBytes;
    std::size_t m_textLength = 0;
    bool m_textShown = true;
};

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
    // The set's power-on state, as after a reset.
    virtual void powerOn() = 0;
    virtual Emulation emulation() const = 0;
    // For the state line: what the set adds to the screen's state ("IBM-Modus", an attention
    // code), or an empty text.
    virtual std::string stateNote() const { return {}; }

  protected:
    // Looks at the bytes waiting at the front of the input (never empty).
    virtual Step step(std::string_view pending) = 0;
    // A command of the given bytes that the set does not know or that is malformed: logged, not
    // drawn.
    Step refuse(std::string_view bytes, const std::string &why);

    Context &m_context;
    Screen &screen() { return m_context.screen; }

  private:
    std::string m_pending;
};

// Bytes as hex pairs, "1B 74 13".
std::string hexBytes(std::string_view bytes);
std::string hexByte(std::uint8_t byte);
bool printable(std::uint8_t byte);
// The byte at the index as a number 0..255.
inline int byteAt(std::string_view bytes, std::size_t index) {
    return static_cast<std::uint8_t>(bytes[index]);
}

// A command set's interpreter over the screen.
std::unique_ptr<Interpreter> makeInterpreter(Emulation emulation, Context &context);

} // namespace kd::sim
