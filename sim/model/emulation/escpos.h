#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// The ESC/POS family: "epson" (the Epson customer-display set), "cd5220", and "standard", which is
// both together with the tool's own frames. Their single-byte controls agree and their multi-byte
// commands hardly overlap (US … against ESC …), so one interpreter serves the three, each with the
// command tables of its set.
class EscPosInterpreter : public Interpreter {
  public:
    EscPosInterpreter(Context &context, Emulation dialect);
    void powerOn() override;
    // Runs of printable characters, the bulk of what a till sends, go to the screen in one call.
    void feed(std::string_view bytes) override;
    using Interpreter::feed;
    Emulation emulation() const override { return m_dialect; }

  protected:
    Step step(std::string_view pending) override;

  private:
    Step control(std::string_view pending);
    Step shared(std::string_view pending);
    Step toPrinter(std::string_view pending);

    Emulation m_dialect;
};

// The command tables, one per set; each knows only its own commands and answers NotMine for
// the rest. `standard` tells a table that it is part of the merged set.
Step epsonCommand(std::string_view pending, Context &context, Emulation dialect);
Step cd5220Command(std::string_view pending, Context &context, Emulation dialect);
Step toolFrame(std::string_view pending, Context &context);
// ESC W: the two sets give it different parameters; the dialect and the parameters decide.
Step windowCommand(std::string_view pending, Context &context, Emulation dialect);

// The power-on state of the ESC/POS sets: overwrite, no cursor, PC437; in `standard` Windows-1252,
// the code page the tool's own texts are sent in.
PowerOn escPosPowerOn(Emulation dialect);

// Brightness levels 1 to 4 of the ESC/POS sets, in percent.
int escPosBrightness(int level);

} // namespace kd::sim
