#pragma once

#include "inputs/display_lock.h"
#include "inputs/port_map_entry.h"
#include "inputs/recorder.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace kd::sim {

class DisplayService;
class RaiseListener;
class Replay;
class TcpInput;
class TerminalInput;
class UsbSocketInput;

// How the inputs are set up; the defaults are the program's.
struct InputsSettings {
    // The port number the pseudo-terminal is entered as in the user's port map; 0: none.
    int comPort = 1;
    // Whether the display offers the USB socket. Without it and without a port map entry it
    // enters nothing per-user and takes no per-user lock, so that any number run side by side.
    bool usbSocket = true;
    // Whether the display holds its pseudo-terminal's other end open between clients.
    bool holdTerminalOpen = true;
    // A USB client that has sent nothing this long after connecting is dropped.
    int silentClientTimeoutMs = 5000;
};

// Every input of the virtual display around its service: the per-user lock, the USB socket, the
// pseudo-terminal with its port map entry and --serial-link, the recorder and the replay. Each
// arrival is recorded, then fed to the service. Destroying the inputs closes them all and removes
// what they entered (socket, port map entry, link).
//
// Threads: created, used and destroyed on the inputs thread (see InputsThread), which is also
// where every input object it makes lives.
class Inputs {
    Q_DECLARE_TR_FUNCTIONS(kd::sim::Inputs)

  public:
    Inputs(DisplayService &service, const InputsSettings &settings);
    ~Inputs();
    Inputs(const Inputs &) = delete;
    Inputs &operator=(const Inputs &) = delete;

    // Opens the socket and the terminal and enters the terminal in the port map. Returns an empty
    // text, or why an input could not be opened; the service's places say the same.
    QString open();
    // Another virtual display of the user already serves: these inputs serve nothing.
    bool anotherDisplayRunning() const { return m_anotherRunning; }
    // When another display runs: asks it to bring its window to the front. An empty text, or why
    // it did not answer.
    QString handOver();

    // Makes a symbolic link at the path to the pseudo-terminal; an empty text, or why not.
    QString linkTerminalTo(const QString &path);
    // Listens for one TCP client at a time at the host and port (0: the system chooses); an empty
    // text, or which address could not be opened and why.
    QString listenTcp(const QString &host, quint16 port);
    // Listens for RFC 2217 clients at the host and port: a sender that sets its line over the
    // network as on a real port. An empty text, or why not.
    QString listenRfc2217(const QString &host, quint16 port);
    // Writes every byte received from now on to the file; an empty text, or why it cannot.
    QString recordTo(const QString &path);
    // Plays a recording into the display at its pace; an empty text, or why it cannot.
    QString replay(const QString &path);

    // An arrival from the given source: recorded, then fed to the display. Returns what the
    // display answers to it.
    QByteArray receive(const QString &source, const QByteArray &bytes);

    const TerminalInput *terminal() const { return m_terminal.get(); }
    TcpInput *tcp() const { return m_tcp.get(); }

  private:
    using Send = std::function<qint64(const QByteArray &)>;
    // An arrival from an input with a way back: the display's answers go back through send; what
    // it does not take is counted as dropped.
    void receiveAndAnswer(const QString &source, const QByteArray &bytes, const Send &send);
    // An arrival from an input without a way back: answers are counted as dropped, saying why.
    void receiveOneWay(const QString &source, const QByteArray &bytes, const QString &why);
    void publishPlaces();

    DisplayService &m_service;
    InputsSettings m_settings;
    bool m_anotherRunning = false;
    // The private folder of the lock, the socket and the raise socket.
    QString m_folder;
    DisplayLock m_lock;
    std::unique_ptr<RaiseListener> m_raiseListener;
    Recorder m_recorder;
    std::unique_ptr<UsbSocketInput> m_usb;
    std::unique_ptr<TerminalInput> m_terminal;
    std::unique_ptr<TcpInput> m_tcp;
    std::unique_ptr<TcpInput> m_rfc2217;
    QStringList m_problems;
    PortMapEntry m_portMapEntry;
    QString m_terminalLink;
    std::unique_ptr<Replay> m_replay;
};

} // namespace kd::sim
