#pragma once

#include "core/form_state.h"
#include "display/display_output.h"

namespace kd {

// The five content commands. Each lets an error from the display output leave it; the window
// reports it. They compose what is sent; which transport carries it is the display output's affair.
class ContentCommands {
  public:
    ContentCommands(FormState &state, DisplayOutput &display)
        : m_state(state), m_display(display) {}

    void cmdClear_Click();
    void cmdHello_Click();
    void cmdText_Click();
    void cmdSumme_Click();
    void cmdGivenandback_Click();

  private:
    FormState &m_state;
    DisplayOutput &m_display;
};

} // namespace kd
