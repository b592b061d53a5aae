#include "app/form.h"

namespace kd {

Form::Form(SerialLink &serial, UsbDisplayLibrary &usb, TextBox &commPort, TextBox &settings,
           MessageBox &messageBox)
    : m_serial(serial), m_usb(usb), m_messageBox(messageBox),
      m_display(m_state, serial, usb, m_vendoUsb),
      m_connection(m_state, serial, usb, m_display, commPort, settings, messageBox),
      m_messages(m_state, m_display) {}

void Form::Form_Load() {
    m_state.strConnection = "usb";
    skipOnError([&] { m_usb.closecd722usb(); });
    m_state.blnClearFirst = true;
}

void Form::cmdEnd_Click() {
    skipOnError([&] { m_usb.closecd722usb(); });
    skipOnError([&] { m_serial.setPortOpen(false); });
}

std::string Form::commPortTip(const std::string &commPortText) const {
    std::string tip;
    try {
        const std::string device = m_serial.portDevice(toPortNumber(commPortText));
        tip = device.empty() ? std::string("Kein Gerät für diese Portnummer") : device;
    } catch (const RuntimeError &error) {
        tip = error.error().description;
    }
    // Without a word the fixed table would stand in for a map the technician set up.
    if (const std::string refusal = m_serial.portMapRefusal(); !refusal.empty())
        tip += "\nPortzuordnung nicht verwendet: " + refusal;
    const std::string report = lastScanReport();
    if (!report.empty())
        tip += "\n\n" + report;
    return tip;
}

void Form::untrapped(void (ContentCommands::*command)()) {
    try {
        (m_messages.*command)();
    } catch (const RuntimeError &error) {
        m_messageBox.showError(error.error());
    }
}

} // namespace kd
