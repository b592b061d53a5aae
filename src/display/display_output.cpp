#include "display/display_output.h"

#include "display/display_bytes.h"

#include <limits>

namespace kd {
void DisplayOutput::writeUsbByte(std::uint8_t byte) {
    const std::uint8_t buffer[1] = {byte};
    m_usb.writecd722usb(buffer, 1);
}

void DisplayOutput::writeUsbFrame(const std::u16string &frame) {
    const int length = static_cast<int>(frame.size());
    for (int i = 0; i < length; ++i)
        m_vendoUsb.bytBuffer(i) = toWindows1252(frame[static_cast<std::size_t>(i)]);
    m_usb.writecd722usb(&m_vendoUsb.bytBuffer(0), length);
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

void DisplayOutput::OutputFrames(std::initializer_list<std::u16string> usbFrames,
                                 std::initializer_list<std::u16string> serialTexts) {
    if (m_state.usbSelected()) {
        for (const std::u16string &frame : usbFrames)
            writeUsbFrame(frame);
    } else {
        for (const std::u16string &text : serialTexts)
            m_serial.output(text);
    }
}

void DisplayOutput::OutputLine() {
    if (!m_state.usbSelected()) {
        m_serial.output(m_state.strLine);
        return;
    }
    // The bound is the line width, not the text's length.
    for (m_state.intPos = 1; m_state.intPos <= kDisplayColumns; stepCounter(m_state.intPos)) {
        const std::size_t index = static_cast<std::size_t>(m_state.intPos) - 1;
        if (index >= m_state.strLine.size())
            throwError(err::kInvalidCall, "Ungültiger Prozeduraufruf: Zeichen " +
                                              std::to_string(m_state.intPos) +
                                              " von strLine fehlt");
        writeUsbByte(toWindows1252(m_state.strLine[index]));
    }
}

void DisplayOutput::sendTextUsb(const std::u16string &text) {
    std::int16_t length = 0;
    skipOnError([&] {
        if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()))
            throwError(err::kOverflow, "Überlauf: Text mit " + std::to_string(text.size()) +
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
