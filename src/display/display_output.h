#pragma once

#include "core/form_state.h"
#include "display/serial_link.h"
#include "display/usb_display_library.h"
#include "display/vendo_usb.h"
#include "encoding/control_bytes.h"

#include <initializer_list>
#include <string>

namespace kd {

// The display has 2 lines of this many columns.
inline constexpr std::int16_t kDisplayColumns = 20;

// Everything the commands put on the display, over whichever transport strConnection selects on
// each call. The only place that chooses between USB and serial, and the only one that talks to
// either transport on the commands' behalf.
class DisplayOutput {
  public:
    DisplayOutput(FormState &state, SerialLink &serial, UsbDisplayLibrary &usb, VendoUSB &vendoUsb)
        : m_state(state), m_serial(serial), m_usb(usb), m_vendoUsb(vendoUsb) {}

    // Blanks the display with 0x0C. Every error reaches the caller.
    void ClearDisplay();

    // Puts a text on the display. Over USB: one write per character, then 0x0D, no clear. Over
    // serial: open the port (an error there is skipped), 0x0C, then the text in one piece. Never
    // raises: each failing step is skipped.
    void SendText(const std::u16string &text);

    // Over USB: each frame in one library write, carried by the send buffer bytBuffer. Over serial:
    // each of the serial texts in one piece. The transports take different content, so the caller
    // gives both. Every error reaches the caller.
    void OutputFrames(std::initializer_list<std::u16string> usbFrames,
                      std::initializer_list<std::u16string> serialTexts);

    // A full line of the display, from strLine. Over USB: characters 1 to 20 of strLine, one write
    // each, counted in intPos, with no line end; a missing character is an invalid call. Over
    // serial: strLine in one piece. Every error reaches the caller.
    void OutputLine();

  private:
    void writeUsbByte(std::uint8_t byte);
    void writeUsbFrame(const std::u16string &frame);
    void sendTextUsb(const std::u16string &text);

    FormState &m_state;
    SerialLink &m_serial;
    UsbDisplayLibrary &m_usb;
    VendoUSB &m_vendoUsb;
};

} // namespace kd
