#include "app/form.h"

namespace kd {

Form::Form(SerialLink &serial, UsbDisplayLibrary &usb, TextBox &commPort, TextBox &settings,
           MessageBox &messageBox)
    : m_serial(serial), m_usb(usb), m_messageBox(messageBox), m_display(m_state, serial, usb),
      m_connection(m_state, serial, usb, m_display, commPort, settings, messageBox),
      m_messages(m_state, m_display, serial, usb, m_vendoUsb) {}

void Form::Form_Load() {
    m_state.strConnection = "usb";
    skipOnError([&] { m_usb.closecd722usb(); });
    m_state.blnClearFirst = true;
}

void Form::cmdEnd_Click() {
    skipOnError([&] { m_usb.closecd722usb(); });
    skipOnError([&] { m_serial.setPortOpen(false); });
}

void Form::untrapped(void (ContentCommands::*command)()) {
    try {
        (m_messages.*command)();
    } catch (const RuntimeError &error) {
        m_messageBox.showError(error.error());
    }
}

} // namespace kd
