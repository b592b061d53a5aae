#pragma once

#include "inputs/inputs.h"
#include "model/emulation/interpreter.h"

#include <QString>
#include <QThread>

#include <functional>
#include <memory>

namespace kd::sim {

class DisplayService;

// The inputs thread and what lives on it: the display service (made here, then handed to the
// thread) and the inputs, which are made, used and destroyed on that thread only. The program and
// the tests start and stop the virtual display through this one class.
//
// Threads: every member is called from the thread that made the InputsThread (the window's); the
// service it hands out may be used from any thread.
class InputsThread {
  public:
    explicit InputsThread(Emulation emulation = Emulation::Standard);
    // Stops the inputs, destroys the service on its thread and ends the thread.
    ~InputsThread();
    InputsThread(const InputsThread &) = delete;
    InputsThread &operator=(const InputsThread &) = delete;

    DisplayService &service() const { return *m_service; }

    // Makes and opens the inputs on their thread. Returns an empty text, or why an input could
    // not be opened.
    QString start(const InputsSettings &settings = {});
    // Another virtual display of the user already serves: these inputs serve nothing.
    bool anotherDisplayRunning() const { return m_anotherRunning; }
    // Runs the work with the inputs on their thread and waits for it; nothing while stopped.
    void run(const std::function<void(Inputs &)> &work);
    // Destroys the inputs on their thread: the socket, the port map entry and the link are gone.
    void stop();

  private:
    // Runs the work on the inputs thread and waits for it.
    void onThread(const std::function<void()> &work);

    QThread m_thread;
    DisplayService *m_service = nullptr;
    std::unique_ptr<Inputs> m_inputs;
    bool m_anotherRunning = false;
};

} // namespace kd::sim
