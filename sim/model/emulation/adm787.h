#pragma once

#include "model/emulation/interpreter.h"

#include <array>

namespace kd::sim {

// The ADM-787/788 set: text at the cursor, wrapping as the Epson set's overwrite mode; 0C clears,
// 0D goes to the line start, 0E/1E clear line 1 and 0F/1F line 2 with the cursor at its start,
// 10 n puts a period n places from the right end of line 1, 11 n / 12 n start and stop blinking
// line n.
class Adm787Interpreter : public Interpreter {
  public:
    explicit Adm787Interpreter(Context &context);
    void powerOn() override;
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Adm787; }

  protected:
    Parse parse(std::string_view pending) override;

  private:
    CommandTable commands();

    CommandTable m_commands;
    // Lines set blinking: what is written there later blinks too.
    std::array<bool, Screen::kRows> m_blinking{};
};

} // namespace kd::sim
