#pragma once

#include "app/controls.h"
#include "app/form_state.h"
#include "connection/connection_selection.h"
#include "display/display_output.h"
#include "display/vendo_usb.h"
#include "messages/test_messages.h"

namespace kd {

// The window's logic without the widgets: the shared state, start-up, quit and the routing of
// each control event to its command.
class Form {
  public:
    Form(SerialLink &serial, UsbDisplay &usb, TextBox &commPort, TextBox &settings,
         MessageBox &messageBox);

    // Start-up: USB mode, the USB library closed, the clear-first flag set. Nothing is opened. A
    // library that cannot be reached does not stop the tool: the serial path stays usable.
    void Form_Load();

    void Option_Click(int index) { m_connection.Option_Click(index); }
    void cmdClear_Click() { untrapped(&TestMessages::cmdClear_Click); }
    void cmdHello_Click() { untrapped(&TestMessages::cmdHello_Click); }
    void cmdText_Click() { untrapped(&TestMessages::cmdText_Click); }
    void cmdSumme_Click() { untrapped(&TestMessages::cmdSumme_Click); }
    void cmdGivenandback_Click() { untrapped(&TestMessages::cmdGivenandback_Click); }

    // Closes the USB library and the serial port, each failure skipped. The caller then ends the
    // program.
    void cmdEnd_Click();

    FormState &state() { return m_state; }
    const FormState &state() const { return m_state; }
    DisplayOutput &display() { return m_display; }

  private:
    // An error that leaves a command is shown with its number and description; the window keeps
    // running.
    void untrapped(void (TestMessages::*command)());

    SerialLink &m_serial;
    UsbDisplay &m_usb;
    MessageBox &m_messageBox;
    FormState m_state;
    VendoUSB m_vendoUsb;
    DisplayOutput m_display;
    ConnectionSelection m_connection;
    TestMessages m_messages;
};

} // namespace kd
