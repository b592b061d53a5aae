#pragma once

#include "model/emulation/interpreter.h"
#include "model/screen.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kd::sim {

// The virtual customer display without its window: the screen, the interpreter of the chosen
// command set and the log of what each command meant.
class DisplayModel {
  public:
    explicit DisplayModel(Emulation emulation = Emulation::Standard, LogLimits limits = {});
    DisplayModel(const DisplayModel &) = delete;
    DisplayModel &operator=(const DisplayModel &) = delete;

    // Chooses the command set; the display goes to that set's power-on state.
    void setEmulation(Emulation emulation);
    Emulation emulation() const { return m_emulation; }
    // The language of the state line and of the log from now on (English unless chosen).
    void setLanguage(Language language) { m_context.language = language; }
    Language language() const { return m_context.language; }
    // Where commands that show the time read it; the wall clock unless set.
    void setClock(Clock clock) { m_context.clock = std::move(clock); }
    // Choices of the display's switches that the manuals leave open (a BA63's wrap, an
    // identification); they hold from the next byte on.
    void setOptions(const SetOptions &options) { m_context.options = options; }
    const SetOptions &options() const { return m_context.options; }

    // Bytes as they arrived, in any split: a command cut between two calls is completed by the
    // next one.
    void feed(std::string_view bytes);
    // The sender went away: a command it left half-sent is dropped, so that the next sender's
    // bytes start afresh.
    void discardPartial();

    const Screen &screen() const { return m_screen; }
    // What the line shows, always 20 characters; row 0 is the top line.
    std::u16string line(int row) const { return m_screen.line(row); }
    // The set, code table, national set, mode, brightness, cursor and selected device.
    std::string stateLine() const;
    // For `auto`: the set it locked on and why; otherwise empty.
    std::string detection() const;
    // For `auto`: the set it locked on, or Auto while it has not decided; otherwise the set.
    Emulation detected() const;

    // Moves the running texts on by one character; true when anything changed.
    bool tick() { return m_screen.tick(); }
    // How often the running texts move on, or 0 when none runs.
    int tickIntervalMs() const { return m_screen.tickIntervalMs(); }

    // What the commands since the last call meant, one entry a command or run of text.
    std::vector<LogEntry> takeLog();
    // What the display sent back to the host since the last call (acknowledgements,
    // identifications, read-backs), in order; each is in the log too.
    std::string takeAnswers() { return m_context.takeAnswers(); }
    // The serial line a command asked the display to use from now on, if one did since the last
    // call.
    std::optional<LineSettings> takeLineRequest() { return m_context.takeLineRequest(); }

  private:
    Emulation m_emulation;
    Screen m_screen;
    std::vector<LogEntry> m_log;
    Context m_context;
    std::unique_ptr<Interpreter> m_interpreter;
};

} // namespace kd::sim
