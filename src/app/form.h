#pragma once

#include "connection/connection_selection.h"
#include "core/controls.h"
#include "core/form_state.h"
#include "display/display_output.h"
#include "display/vendo_usb.h"
#include "messages/content_commands.h"

namespace kd {

// The window's logic without the widgets: the shared state, start-up, quit and the routing of
// each control event to its command.
class Form {
  public:
    Form(SerialLink &serial, UsbDisplayLibrary &usb, TextBox &commPort, TextBox &settings,
         MessageBox &messageBox);

    // Start-up: USB mode, the USB library closed, the clear-first flag set. Nothing is opened. A
    // library that cannot be reached does not stop the tool: the serial path stays usable.
    void Form_Load();

    void Option_Click(int index) { m_connection.Option_Click(index); }
    void cmdClear_Click() { untrapped(&ContentCommands::cmdClear_Click); }
    void cmdHello_Click() { untrapped(&ContentCommands::cmdHello_Click); }
    void cmdText_Click() { untrapped(&ContentCommands::cmdText_Click); }
    void cmdSumme_Click() { untrapped(&ContentCommands::cmdSumme_Click); }
    void cmdGivenandback_Click() { untrapped(&ContentCommands::cmdGivenandback_Click); }

    // Closes the USB library and the serial port, each failure skipped. The caller then ends the
    // program.
    void cmdEnd_Click();

    void onScanFinished(std::function<void()> observer) {
        m_connection.onScanFinished(std::move(observer));
    }
    // What the last scan met, attempt by attempt, as the operator reads it; empty before one.
    std::string lastScanReport() const { return formatScanReport(m_connection.lastScan()); }

    // The Com-Port box's tooltip for the text in the box: where the number leads, then, until the
    // next scan, what each attempt of the last scan met.
    std::string commPortTip(const std::string &commPortText) const;

    FormState &state() { return m_state; }
    const FormState &state() const { return m_state; }
    DisplayOutput &display() { return m_display; }

  private:
    // An error that leaves a command is shown with its number and description; the window keeps
    // running.
    void untrapped(void (ContentCommands::*command)());

    SerialLink &m_serial;
    UsbDisplayLibrary &m_usb;
    MessageBox &m_messageBox;
    FormState m_state;
    VendoUSB m_vendoUsb;
    DisplayOutput m_display;
    ConnectionSelection m_connection;
    ContentCommands m_messages;
};

} // namespace kd
