#pragma once

#include "connection/scan_report.h"
#include "core/controls.h"
#include "core/form_state.h"
#include "display/display_output.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kd {

inline constexpr int kOptionUsb = 0;
inline constexpr int kOptionCom = 1;
inline constexpr std::int16_t kHighestPort = 20;

// The text of the CommPort box as a 16-bit port number: optional spaces and sign around decimal
// digits. Anything else is a type mismatch, a number outside -32768..32767 an overflow.
std::int16_t toPortNumber(std::string_view text);

// "Kein " + the connection in upper case + "-Anschluss gefunden".
std::string noConnectionMessage(std::string_view connection);

// Choosing USB or COM and scanning port numbers 1 to 20 for the first one that opens.
class ConnectionSelection {
  public:
    ConnectionSelection(FormState &state, SerialLink &serial, UsbDisplayLibrary &usb,
                        DisplayOutput &display, TextBox &commPort, TextBox &settings,
                        MessageBox &messageBox)
        : m_state(state), m_serial(serial), m_usb(usb), m_display(display), m_commPort(commPort),
          m_settings(settings), m_messageBox(messageBox) {}

    // Click on an option button: 0 for "USB", 1 for "Com". Never raises.
    void Option_Click(int index);

    // One open attempt on the number in the CommPort box; true when every step went through. What
    // the attempt met is added to the scan's report.
    bool OpenPort();

    // What the last scan met, attempt by attempt.
    const ScanReport &lastScan() const { return m_lastScan; }
    // Called when a scan has made its last attempt, before its message, if any, is shown.
    void onScanFinished(std::function<void()> observer) { m_scanFinished = std::move(observer); }

  private:
    bool openUsb();
    std::string attemptTarget(std::int16_t portNumber) const;

    FormState &m_state;
    SerialLink &m_serial;
    UsbDisplayLibrary &m_usb;
    DisplayOutput &m_display;
    TextBox &m_commPort;
    TextBox &m_settings;
    MessageBox &m_messageBox;
    ScanReport m_lastScan;
    std::function<void()> m_scanFinished;
};

} // namespace kd
