#pragma once

#include "app/controls.h"

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

} // namespace kd::test

#include "display/serial_link.h"

#include <set>

namespace kd::test {

// A serial link that records each assignment and fails where it is told to: ports not in
// `openable` cannot be opened, and output fails while `outputFails` is set.
class ScriptedSerialLink : public SerialLink {
  public:
    void setCommPort(std::int16_t portNumber) override {
        log.push_back("CommPort=" + std::to_string(portNumber));
        if (m_open && portNumber != m_port)
            raise(err::kPortAlreadyOpen, "port already open");
        m_port = portNumber;
    }
    void setSettings(std::string_view settings) override {
        log.push_back("Settings=" + std::string(settings));
    }
    void setPortOpen(bool open) override {
        log.push_back(open ? "PortOpen=true" : "PortOpen=false");
        if (open && !openable.contains(m_port))
            raise(err::kInvalidPortNumber, "cannot open");
        m_open = open;
    }
    bool portOpen() const override { return m_open; }
    void output(std::u16string_view text) override {
        log.push_back("Output[" + std::to_string(text.size()) + "]");
        if (outputFails || !m_open)
            raise(err::kWriteFailed, "write failed");
    }

    std::set<int> openable;
    bool outputFails = false;
    std::vector<std::string> log;

  private:
    std::int16_t m_port = 1;
    bool m_open = false;
};

} // namespace kd::test
