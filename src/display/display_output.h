#pragma once

#include "core/form_state.h"
#include "display/serial_link.h"
#include "display/usb_display_library.h"
#include "encoding/control_bytes.h"

#include <string>

namespace kd {

// Clearing the display and sending a text, over whichever transport strConnection selects on
// each call.
class DisplayOutput {
  public:
    DisplayOutput(FormState &state, SerialLink &serial, UsbDisplayLibrary &usb)
        : m_state(state), m_serial(serial), m_usb(usb) {}

    // Blanks the display with 0x0C. Every error reaches the caller.
    void ClearDisplay();

    // Puts a text on the display. Over USB: one write per character, then 0x0D, no clear. Over
    // serial: open the port (an error there is skipped), 0x0C, then the text in one piece. Never
    // raises: each failing step is skipped.
    void SendText(const std::u16string &text);

    // Writes one byte through the USB library.
    void writeUsbByte(std::uint8_t byte);

  private:
    void sendTextUsb(const std::u16string &text);

    FormState &m_state;
    SerialLink &m_serial;
    UsbDisplayLibrary &m_usb;
};

} // namespace kd
