#include "messages/content_commands.h"

#include "display/display_bytes.h"
#include "encoding/control_bytes.h"
#include "messages/payloads.h"

namespace kd {
namespace {

// The total as sent: "Gesamt:", CR, LF, the amount right-aligned to column 20.
std::u16string totalText() {
    std::u16string text = payload::kTotalLabel;
    text += char16_t{kCarriageReturn};
    text += char16_t{kLineFeed};
    text.append(payload::kLineWidth - payload::kTotalAmount.size(), u' ');
    return text + payload::kTotalAmount;
}

} // namespace

void ContentCommands::cmdClear_Click() {
    m_display.ClearDisplay();
}

void ContentCommands::cmdHello_Click() {
    if (m_state.usbSelected()) {
        writeFrame(payload::kGreetingFrame);
        writeFrame(payload::kGreetingSecondFrame);
    } else {
        m_serial.output(payload::kGreetingLine1);
        m_serial.output(payload::kGreetingLine2);
    }
    m_state.blnClearFirst = true;
}

void ContentCommands::writeFrame(const std::u16string &frame) {
    const int length = static_cast<int>(frame.size());
    for (int i = 0; i < length; ++i)
        m_vendoUsb.bytBuffer(i) = toWindows1252(frame[static_cast<std::size_t>(i)]);
    m_usb.writecd722usb(&m_vendoUsb.bytBuffer(0), length);
}

void ContentCommands::cmdText_Click() {
    if (m_state.blnClearFirst) {
        m_state.blnClearFirst = false;
        m_display.ClearDisplay();
    }
    m_state.strLine = payload::kItemLine;
    m_display.SendText(m_state.strLine);
}

void ContentCommands::cmdSumme_Click() {
    m_display.ClearDisplay();
    m_state.strLine = totalText();
    const std::u16string copy = m_state.strLine;
    m_display.SendText(copy);
    m_state.blnClearFirst = true;
}

void ContentCommands::cmdGivenandback_Click() {
    m_display.ClearDisplay();
    m_state.strLine = payload::kTenderedLine;
    if (m_state.usbSelected()) {
        writeLineBytewise();
        m_state.strLine = payload::kChangeLine;
        writeLineBytewise();
    } else {
        m_serial.output(m_state.strLine);
        m_state.strLine = payload::kChangeLine;
        m_serial.output(m_state.strLine);
    }
    m_state.blnClearFirst = true;
}

// Characters 1 to 20 of strLine, one write each; the bound is the line width, not the text.
void ContentCommands::writeLineBytewise() {
    for (m_state.intPos = 1; m_state.intPos <= static_cast<std::int16_t>(payload::kLineWidth);
         stepCounter(m_state.intPos)) {
        const std::size_t index = static_cast<std::size_t>(m_state.intPos) - 1;
        if (index >= m_state.strLine.size())
            raise(err::kInvalidCall, "Ungültiger Prozeduraufruf: Zeichen " +
                                         std::to_string(m_state.intPos) + " von strLine fehlt");
        m_display.writeUsbByte(toWindows1252(m_state.strLine[index]));
    }
}

} // namespace kd
