#include "messages/content_commands.h"

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
    m_display.OutputFrames({payload::kGreetingFrame, payload::kGreetingSecondFrame},
                           {payload::kGreetingLine1, payload::kGreetingLine2});
    m_state.blnClearFirst = true;
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
    m_display.SendText(m_state.strLine);
    m_state.blnClearFirst = true;
}

void ContentCommands::cmdGivenandback_Click() {
    m_display.ClearDisplay();
    m_state.strLine = payload::kTenderedLine;
    m_display.OutputLine();
    m_state.strLine = payload::kChangeLine;
    m_display.OutputLine();
    m_state.blnClearFirst = true;
}

} // namespace kd
