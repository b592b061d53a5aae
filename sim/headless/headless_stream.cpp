#include "headless/headless_stream.h"

#include "inputs/display_service.h"

#include <QTimer>

#include <unistd.h>

#include <cerrno>

namespace kd::sim {
namespace {

// About 60 screen events a second at most.
constexpr qint64 kScreenIntervalMs = 16;

} // namespace

HeadlessStream::HeadlessStream(DisplayService &service, int fd, bool commands, QObject *parent)
    : QObject(parent), m_service(service), m_fd(fd), m_commands(commands),
      m_pending(new QTimer(this)) {
    m_pending->setSingleShot(true);
    connect(m_pending, &QTimer::timeout, this, &HeadlessStream::flush);
    connect(&m_service, &DisplayService::changed, this, &HeadlessStream::changed);
}

void HeadlessStream::writeReady(const ReadyFacts &facts) {
    writeLine(readyEvent(facts));
    m_readyWritten = true;
    // The power-on screen, so that a reader knows what the display shows before any byte.
    flush();
}

// A change is written at once when the last screen event is old enough, so that a single command
// is seen without delay; under a flood the changes in between are gathered into one event.
void HeadlessStream::changed() {
    if (m_pending->isActive() || !m_readyWritten)
        return;
    const qint64 since = m_sinceScreen.isValid() ? m_sinceScreen.elapsed() : kScreenIntervalMs;
    if (since >= kScreenIntervalMs)
        flush();
    else
        m_pending->start(static_cast<int>(kScreenIntervalMs - since));
}

void HeadlessStream::flush() {
    m_pending->stop();
    if (!m_readyWritten)
        return;
    if (m_commands) {
        const CommandBatch batch = m_service.takeCommands();
        if (batch.dropped > 0)
            writeLine(commandsDroppedEvent(batch.dropped));
        for (const CommandEntry &command : batch.commands)
            writeLine(commandEvent(command.source.toStdString(), command.bytes, command.meaning));
    }
    const Snapshot snapshot = m_service.snapshot();
    LineFacts line;
    line.display = formatLineSettings(snapshot.line.display);
    if (snapshot.line.sender)
        line.sender = formatLineSettings(*snapshot.line.sender);
    line.framingErrors = snapshot.line.framingErrors;
    line.parityErrors = snapshot.line.parityErrors;
    line.answersDropped = snapshot.line.answersDropped;
    line.description = DisplayService::describeLine(snapshot.line).toStdString();
    std::string screen = screenEvent({snapshot.screen, snapshot.emulation, snapshot.detected,
                                      snapshot.detection, snapshot.state, line});
    if (screen == m_lastScreen)
        return;
    m_lastScreen = screen;
    m_sinceScreen.start();
    writeLine(std::move(screen));
}

void HeadlessStream::writeLine(std::string line) {
    if (m_readerGone)
        return;
    line += '\n';
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t count = ::write(m_fd, line.data() + written, line.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            m_readerGone = true;
            return;
        }
        written += static_cast<std::size_t>(count);
    }
}

} // namespace kd::sim
