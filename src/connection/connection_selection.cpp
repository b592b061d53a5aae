#include "connection/connection_selection.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace kd {

std::int16_t toPortNumber(std::string_view text) {
    const auto mismatch = [&]() -> void {
        throwError(err::kTypeMismatch, "Typen unverträglich: Portnummer \"" + std::string(text) +
                                           "\" ist keine ganze Zahl");
    };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    std::string_view number = text.substr(begin, end - begin);
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    if (number.empty())
        mismatch();
    for (char digit : number) {
        if (!std::isdigit(static_cast<unsigned char>(digit)))
            mismatch();
    }
    long value = 0;
    // More digits than a long holds are out of range whatever the sign.
    const bool outOfRange =
        std::from_chars(number.data(), number.data() + number.size(), value).ec ==
        std::errc::result_out_of_range;
    if (negative)
        value = -value;
    if (outOfRange || value < -32768 || value > 32767)
        throwError(err::kOverflow, "Überlauf: Portnummer \"" + std::string(text) +
                                       "\" liegt nicht zwischen -32768 und 32767");
    return static_cast<std::int16_t>(value);
}

std::string noConnectionMessage(std::string_view connection) {
    std::string upper(connection);
    for (char &c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "Kein " + upper + "-Anschluss gefunden";
}

void ConnectionSelection::Option_Click(int index) {
    if (index == kOptionUsb) {
        m_state.strConnection = "usb";
        skipOnError([&] { m_serial.setPortOpen(false); });
    } else if (index == kOptionCom) {
        m_state.strConnection = "com";
        skipOnError([&] { m_usb.closecd722usb(); });
    } else {
        return;
    }

    m_lastScan = {m_state.strConnection, {}};
    m_state.intPos = 1;
    while (m_state.intPos <= kHighestPort) {
        m_commPort.setText(std::to_string(m_state.intPos));
        if (OpenPort())
            break;
        ++m_state.intPos;
    }
    if (m_scanFinished)
        m_scanFinished();
    if (m_state.intPos == kHighestPort + 1)
        m_messageBox.showMessage(noConnectionMessage(m_state.strConnection));
}

bool ConnectionSelection::OpenPort() {
    // Every reason is trapped here; the report keeps it for the operator.
    ScanAttempt attempt{m_state.intPos, {}, {}};
    const auto finish = [&](std::string outcome, bool opened) {
        attempt.target = attemptTarget(attempt.portNumber);
        attempt.outcome = std::move(outcome);
        m_lastScan.attempts.push_back(std::move(attempt));
        return opened;
    };
    try {
        attempt.portNumber = toPortNumber(m_commPort.text());
        m_serial.setCommPort(attempt.portNumber);
        m_serial.setSettings(m_settings.text());
        if (m_state.usbSelected()) {
            if (!openUsb())
                return finish("kein Display angeschlossen (opencd722usb meldet 0)", false);
        } else {
            m_serial.setPortOpen(true);
        }
        // A port whose clear fails is closed by the link itself, so it blocks no later number.
        m_display.ClearDisplay();
        return finish("geöffnet, Display gelöscht", true);
    } catch (const RuntimeError &error) {
        return finish(error.error().reason(), false);
    }
}

std::string ConnectionSelection::attemptTarget(std::int16_t portNumber) const {
    if (!m_state.usbSelected())
        return m_serial.portDevice(portNumber);
    return m_usb.loadedPath().empty() ? std::string(kUsbLibraryFileName) : m_usb.loadedPath();
}

bool ConnectionSelection::openUsb() {
    // The library reports 0 when it found no display; that attempt has not opened anything.
    return m_usb.opencd722usb() != 0;
}

} // namespace kd
