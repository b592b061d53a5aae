#pragma once

#include "headless/json_lines.h"

#include <QElapsedTimer>
#include <QObject>

#include <string>

class QTimer;

namespace kd::sim {

class DisplayService;

// --headless: writes the display's events as JSON Lines to a descriptor (standard output), each
// line written at once: the ready event, a screen event after every change of what the display
// shows (at most about 60 a second under a flood, and the last screen always), and with commands
// on, a command event for each command before the screen it led to.
//
// Threads: lives on the main thread; it touches nothing of the inputs but the service.
class HeadlessStream : public QObject {
  public:
    HeadlessStream(DisplayService &service, int fd, bool commands, QObject *parent = nullptr);

    void writeReady(const ReadyFacts &facts);
    // Writes what is waiting now: the commands, then the screen if it changed since the last
    // one written. Called once more at the end, so that the last screen is never lost.
    void flush();
    // The reader went away (the pipe is closed): nothing more is written.
    bool readerGone() const { return m_readerGone; }

  private:
    void changed();
    void writeLine(std::string line);

    DisplayService &m_service;
    int m_fd;
    bool m_commands;
    bool m_readerGone = false;
    // Nothing but the ready event comes first: changes before it wait for it.
    bool m_readyWritten = false;
    std::string m_lastScreen;
    QElapsedTimer m_sinceScreen;
    QTimer *m_pending = nullptr;
};

} // namespace kd::sim
