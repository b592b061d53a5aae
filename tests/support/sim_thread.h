#pragma once

#include "inputs/display_service.h"
#include "inputs/inputs_thread.h"

#include <string>

namespace kd::test {

// A private folder set as XDG_RUNTIME_DIR while it lives, so that the virtual display and the
// stand-in library meet there and nowhere else.
class PrivateRuntimeDir {
  public:
    PrivateRuntimeDir();
    ~PrivateRuntimeDir();
    const std::string &path() const { return m_path; }

  private:
    std::string m_path;
    std::string m_previous;
    bool m_hadPrevious = false;
};

// The virtual display running on a thread of its own, as it would in its own process: the tool's
// synchronous library calls on the test's thread then meet a display that answers.
class SimThread {
  public:
    explicit SimThread(const sim::InputsSettings &settings = {});
    SimThread(const SimThread &) = delete;
    SimThread &operator=(const SimThread &) = delete;

    sim::DisplayService &service() { return m_inputs.service(); }
    sim::InputsThread &inputs() { return m_inputs; }
    const QString &problems() const { return m_problems; }
    QString socketPath() { return service().places().socketPath; }
    QString terminalPath() { return service().places().terminalPath; }
    // Stops the display, as when its program ends.
    void stop() { m_inputs.stop(); }

    // Waits until both lines show the given texts; false after the timeout.
    bool waitForLines(const std::u16string &line1, const std::u16string &line2,
                      int timeoutMs = 3000);

  private:
    sim::InputsThread m_inputs;
    QString m_problems;
};

} // namespace kd::test
