#include "display/display_output.h"

#include "display/display_bytes.h"

#include <limits>

namespace kd {

void DisplayOutput::writeUsbByte(std::uint8_t byte) {
    const std::uint8_t buffer[1] = {byte};
    m_usb.writecd722usb(buffer, 1);
}

void DisplayOutput::ClearDisplay() {
    if (m_state.usbSelected())
        writeUsbByte(kFormFeed);
    else
        m_serial.output(std::u16string(1, char16_t{kFormFeed}));
}

void DisplayOutput::SendText(const std::u16string &text) {
    if (m_state.usbSelected()) {
        sendTextUsb(text);
        return;
    }
    skipOnError([&] { m_serial.setPortOpen(true); });
    skipOnError([&] { m_serial.output(std::u16string(1, char16_t{kFormFeed})); });
    skipOnError([&] { m_serial.output(text); });
}

void DisplayOutput::sendTextUsb(const std::u16string &text) {
    std::int16_t length = 0;
    skipOnError([&] {
        if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()))
            raise(err::kOverflow, "Überlauf: Text mit " + std::to_string(text.size()) +
                                      " Zeichen ist länger als 32767");
        length = static_cast<std::int16_t>(text.size());
    });
    m_state.intPos = 1;
    while (m_state.intPos <= length) {
        // A character without a byte is skipped, not replaced by the previous one.
        skipOnError([&] {
            writeUsbByte(toWindows1252(text[static_cast<std::size_t>(m_state.intPos) - 1]));
        });
        // The counter cannot step past 32767; the loop ends there instead of running forever.
        if (!skipOnError([&] { stepCounter(m_state.intPos); }))
            break;
    }
    skipOnError([&] { writeUsbByte(kCarriageReturn); });
}

} // namespace kd
