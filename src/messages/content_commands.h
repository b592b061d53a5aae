#pragma once

#include "core/form_state.h"
#include "display/display_output.h"
#include "display/vendo_usb.h"

namespace kd {

// The five content commands. Each lets an error from the transport leave it; the window reports
// it.
class ContentCommands {
  public:
    ContentCommands(FormState &state, DisplayOutput &display, SerialLink &serial,
                    UsbDisplayLibrary &usb, VendoUSB &vendoUsb)
        : m_state(state), m_display(display), m_serial(serial), m_usb(usb), m_vendoUsb(vendoUsb) {}

    void cmdClear_Click();
    void cmdHello_Click();
    void cmdText_Click();
    void cmdSumme_Click();
    void cmdGivenandback_Click();

  private:
    void writeFrame(const std::u16string &frame);
    void writeLineBytewise();

    FormState &m_state;
    DisplayOutput &m_display;
    SerialLink &m_serial;
    UsbDisplayLibrary &m_usb;
    VendoUSB &m_vendoUsb;
};

} // namespace kd
