#pragma once

#include "encoding/line_settings.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QSocketNotifier;
class QTimer;

namespace kd::sim {

// Serial: a pseudo-terminal for serial software, whose path (/dev/pts/N) the window shows.
//
// Threads: created, used and destroyed on the inputs thread.
class TerminalInput : public QObject {
  public:
    using Deliver = std::function<void(const QString &source, const QByteArray &bytes)>;

    explicit TerminalInput(Deliver deliver, QObject *parent = nullptr);
    ~TerminalInput() override;

    // Opens the terminal; an empty text, or why it could not. With holdOpen the display holds the
    // terminal's other end open itself, which keeps it alive between clients.
    // The terminal starts with the given line, which a program that never sets one uses.
    QString open(bool holdOpen = true, const LineSettings &line = {});
    QString path() const { return m_path; }
    // The speed and stop bits the program on the terminal set, as its wire would carry them; the
    // kernel reports every pseudo-terminal as 8 data bits without parity.
    std::optional<LineSettings> senderLine() const;
    // Sends the display's answer to the program on the terminal, without waiting: what the
    // terminal's buffer does not take (a program that never reads) is not sent. The bytes sent.
    qint64 answer(const QByteArray &bytes);
    // How often the terminal woke the display up, for checking that it does not spin.
    qint64 wakeups() const { return m_wakeups; }

  private:
    void readTerminal();

    Deliver m_deliver;
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
    // Wakes the notifier again after the terminal had no other end for a while.
    QTimer *m_retryTimer = nullptr;
    qint64 m_wakeups = 0;
};

} // namespace kd::sim
