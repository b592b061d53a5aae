#pragma once

#include "inputs/sim_display.h"

#include <QThread>

#include <functional>

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
    // The display may be set up before it starts.
    explicit SimThread(const std::function<void(sim::SimDisplay &)> &configure = {});
    ~SimThread();
    SimThread(const SimThread &) = delete;
    SimThread &operator=(const SimThread &) = delete;

    sim::SimDisplay &display() { return *m_display; }
    const QString &problems() const { return m_problems; }
    // Stops the display, as when its program ends.
    void stop();

    // Waits until both lines show the given texts; false after the timeout.
    bool waitForLines(const std::u16string &line1, const std::u16string &line2,
                      int timeoutMs = 3000);

  private:
    QThread m_thread;
    sim::SimDisplay *m_display = nullptr;
    QString m_problems;
};

} // namespace kd::test
