#pragma once

#include "model/emulation/interpreter.h"
#include "model/emulation/shared_commands.h"
#include "model/emulation/tool_frames.h"

#include <optional>

namespace kd::sim {

// The ESC/POS family: "epson" (the Epson customer-display set), "cd5220", and "standard", which is
// both together with the tool's own frames. Their single-byte controls agree and their multi-byte
// commands hardly overlap (US … against ESC …), so one interpreter serves the three, each with the
// command tables of its set. Fixed-length commands are rows of tables; the few of variable length
// (ESC &, ESC W, US (, ESC Q, the frames) have parsers of their own.
class EscPosInterpreter : public Interpreter {
  public:
    EscPosInterpreter(Context &context, Emulation dialect);
    void powerOn() override;
    PowerOn powerOnState() const override;
    // Runs of printable characters, the bulk of what a till sends, go to the screen in one call.
    void feed(std::string_view bytes) override;
    using Interpreter::feed;
    Emulation emulation() const override { return m_dialect; }

  protected:
    Parse parse(std::string_view pending) override;
    void pendingDropped() override { m_frames.forget(); }

  private:
    // The tables, by the set that has them (escpos.cpp, epson_commands.cpp, cd5220_commands.cpp).
    CommandTable sharedCommands();
    CommandTable epsonCommands();
    CommandTable cd5220Commands();
    // The variable-length commands.
    Parse userCharacters(std::string_view pending);
    Parse window(std::string_view pending);
    Parse epsonSettings(std::string_view pending);
    Parse cd5220Strings(std::string_view pending);
    Parse toPrinter(std::string_view pending);
    // The commands the sets share in meaning, under different bytes.
    FixedCommand brightnessCommand(std::string lead, std::string name);
    FixedCommand cursorPlacement(std::string lead, std::string name);
    // Epson's time counter: US T sets it, and it runs on with the clock; US U shows it.
    TimeOfDay timeCounter() const;
    void showTime(TimeOfDay time);

    Emulation m_dialect;
    std::vector<CommandTable> m_tables;
    ToolFrames m_frames;
    // Where the time counter was set, by the clock, and to what; unset it follows the clock.
    std::optional<TimeOfDay> m_counterSetTo;
    TimeOfDay m_counterSetAt;
};

// The power-on state of the ESC/POS sets: overwrite, no cursor, PC437; in `standard` Windows-1252,
// the code page the tool's own texts are sent in.
PowerOn escPosPowerOn(Emulation dialect);

} // namespace kd::sim
