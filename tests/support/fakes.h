#pragma once

#include "core/controls.h"
#include "display/port_info.h"

#include <map>

#include <string>
#include <vector>

namespace kd::test {

class FakeTextBox : public TextBox {
  public:
    explicit FakeTextBox(std::string text) : m_text(std::move(text)) {}
    std::string text() const override { return m_text; }
    void setText(const std::string &text) override {
        m_text = text;
        history.push_back(text);
    }
    // Every text written into the box, in order.
    std::vector<std::string> history;

  private:
    std::string m_text;
};

// Records what would have been shown instead of opening a modal dialog.
class RecordingMessageBox : public MessageBox {
  public:
    void showMessage(const std::string &text) override { messages.push_back(text); }
    void showError(const Error &error) override { errors.push_back(error); }

    std::vector<std::string> messages;
    std::vector<Error> errors;
};

// USB adapters by device path, as the test sets them up; every other device is none.
class FakePortInfo : public PortInfo {
  public:
    std::optional<UsbAdapter> usbAdapter(const std::string &device) const override {
        const auto found = adapters.find(device);
        return found == adapters.end() ? std::nullopt : std::optional(found->second);
    }
    std::map<std::string, UsbAdapter> adapters;
};

} // namespace kd::test

#include "display/serial_link.h"

#include <set>

namespace kd::test {

// A serial link that records each assignment and fails where it is told to, by the real link's
// rules: ports not in `openable` cannot be opened (8002); settings in `refused` are refused by the
// device (8015), at open or while open, and then the previous settings stay; output on a closed
// port is 8018; while `outputFails` is set output fails (8021) and the port is closed.
class ScriptedSerialLink : public SerialLink {
  public:
    void setCommPort(std::int16_t portNumber) override {
        log.push_back("CommPort=" + std::to_string(portNumber));
        if (m_open && portNumber != m_port)
            throwError(err::kPortAlreadyOpen, "port already open");
        m_port = portNumber;
    }
    void setSettings(std::string_view settings) override {
        log.push_back("Settings=" + std::string(settings));
        if (m_open && refused.contains(std::string(settings)))
            throwError(err::kSetLineFailed, "settings refused");
        m_settings = settings;
    }
    void setPortOpen(bool open) override {
        log.push_back(open ? "PortOpen=true" : "PortOpen=false");
        if (open && !m_open && !openable.contains(m_port))
            throwError(err::kInvalidPortNumber, "cannot open");
        if (open && !m_open && refused.contains(m_settings))
            throwError(err::kSetLineFailed, "settings refused");
        m_open = open;
    }
    bool portOpen() const override { return m_open; }
    void output(std::u16string_view text) override {
        log.push_back("Output[" + std::to_string(text.size()) + "]");
        if (!m_open)
            throwError(err::kPortNotOpen, "port not open");
        if (outputFails) {
            m_open = false;
            throwError(err::kWriteFailed, "write failed");
        }
    }
    std::string portDevice(std::int16_t portNumber) const override {
        return "/dev/fake" + std::to_string(portNumber);
    }
    const std::string &settings() const { return m_settings; }

    std::set<int> openable;
    std::set<std::string> refused;
    bool outputFails = false;
    std::vector<std::string> log;

  private:
    std::int16_t m_port = 1;
    std::string m_settings = "9600,N,8,1";
    bool m_open = false;
};

} // namespace kd::test
