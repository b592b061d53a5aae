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
    explicit DisplayModel(Emulation emulation = Emulation::Standard);
    DisplayModel(const DisplayModel &) = delete;
    DisplayModel &operator=(const DisplayModel &) = delete;

    // Chooses the command set; the display goes to that set's power-on state.
    void setEmulation(Emulation emulation);
    Emulation emulation() const { return m_emulation; }

    // Bytes as they arrived, in any split: a command cut between two calls is completed by the
    // next one.
    void feed(std::string_view bytes);
    // The sender went away: a command it left half-sent is dropped, so that the next sender's
    // bytes start afresh.
    void discardPartial();

    const Screen &screen() const { return m_screen; }
    // What the line shows, always 20 characters; row 0 is the top line.
    std::u16string line(int row) const { return m_screen.line(row); }
    // The set, code table, national set, mode, brightness, cursor and selected device, in German.
    std::string stateLine() const;
    // For `auto`: the set it locked on and why; otherwise empty.
    std::string detection() const;
    // For `auto`: the set it locked on, or Auto while it has not decided; otherwise the set.
    Emulation detected() const;

    // Advances the running texts by one step; true when anything changed.
    bool step() { return m_screen.step(); }
    // How often the running texts step, or 0 when none runs.
    int stepMs() const { return m_screen.marqueeStepMs(); }

    // What the commands since the last call meant, one entry a command or run of text.
    std::vector<LogEntry> takeLog();

  private:
    Emulation m_emulation;
    Screen m_screen;
    std::vector<LogEntry> m_log;
    Context m_context;
    std::unique_ptr<Interpreter> m_interpreter;
};

std::string writeModeName(WriteMode mode);

} // namespace kd::sim
