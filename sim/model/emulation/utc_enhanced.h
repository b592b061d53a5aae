#pragma once

#include "model/emulation/interpreter.h"
#include "model/emulation/logic_controls.h"

namespace kd::sim {

// UTC enhanced ("pass-through" mode): line commands behind an attention code, ESC u at power-on,
// each ended by CR: A line 1, B line 2, I both lines, D line 1 running continuously, F line 1
// running once, E the time on line 2, H a new attention code. Everything else passes through to
// the device behind the display and is not shown. ESC RS and ESC 0F CR switch to UTC standard
// ("direct to pole"), which is the Logic Controls set; ESC d there switches back.
class UtcEnhancedInterpreter : public Interpreter {
  public:
    explicit UtcEnhancedInterpreter(Context &context);
    void powerOn() override;
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::UtcEnhanced; }
    std::string stateNote() const override;
    void discardPending() override;

  protected:
    Parse parse(std::string_view pending) override;

  private:
    Parse direct(std::string_view pending);
    Parse escape(std::string_view pending);
    Parse lineCommand(std::string_view pending, std::size_t end);
    std::string commandName(char letter) const;
    void toDirect(std::string_view bytes);

    // The direct-to-pole mode's interpreter, fed while that mode is on.
    LogicControlsInterpreter m_standard;
    bool m_direct = false;
    std::string m_attention;
};

} // namespace kd::sim
