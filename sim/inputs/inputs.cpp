#include "inputs/inputs.h"

#include "inputs/rfc2217_session.h"

#include "inputs/display_service.h"
#include "inputs/hand_over.h"
#include "inputs/replay.h"
#include "inputs/tcp_input.h"
#include "inputs/terminal_input.h"
#include "inputs/terminal_link.h"
#include "inputs/usb_socket_input.h"
#include "runtime/sim_socket_path.h"

#include <QCoreApplication>

#include <memory>

namespace kd::sim {
namespace {

// A note of an RFC 2217 session as the log says it.
QString describeRfc2217Note(const Rfc2217Session::Note &note, const LineSettings &line) {
    const QString detail = QString::fromStdString(note.detail);
    switch (note.kind) {
    case Rfc2217Session::Note::OptionAgreed:
        return QCoreApplication::translate("kd::sim::Inputs", "COM port control option agreed");
    case Rfc2217Session::Note::LineChanged:
        return QCoreApplication::translate("kd::sim::Inputs", "the sender sets its line to %1")
            .arg(QString::fromStdString(shortLineSettings(line)));
    case Rfc2217Session::Note::LineQueried:
        return QCoreApplication::translate("kd::sim::Inputs", "the sender asks for the %1")
            .arg(detail);
    case Rfc2217Session::Note::Control:
        return QCoreApplication::translate("kd::sim::Inputs", "answered: %1").arg(detail);
    case Rfc2217Session::Note::BrokenSubnegotiation:
        return QCoreApplication::translate("kd::sim::Inputs", "broken subnegotiation refused: %1")
            .arg(detail);
    case Rfc2217Session::Note::Refused:
        return QCoreApplication::translate("kd::sim::Inputs",
                                           "refused, the line stays as it is: %1")
            .arg(detail);
    }
    return detail;
}

} // namespace

Inputs::Inputs(DisplayService &service, const InputsSettings &settings)
    : m_service(service), m_settings(settings) {}

Inputs::~Inputs() {
    m_replay.reset();
    m_tcp.reset();
    m_rfc2217.reset();
    if (!m_terminalLink.isEmpty() && m_terminal)
        removeTerminalLink(m_terminalLink.toStdString(), m_terminal->path().toStdString());
}

QString Inputs::open() {
    const auto deliver = [this](const QString &source, const QByteArray &bytes) {
        receiveOneWay(source, bytes, tr("the USB socket has no way back"));
    };
    QStringList &problems = m_problems;
    // The lock guards what is per-user: the socket and the port map entry. A display with neither
    // takes no lock, so that any number of them run side by side.
    if (m_settings.usbSocket || m_settings.comPort != 0) {
        const SocketPath socket = resolveSocketPath(true);
        if (!socket.error.empty()) {
            problems << QString::fromStdString(socket.error);
        } else {
            const std::string folder = socket.path.substr(0, socket.path.rfind('/'));
            m_folder = QString::fromStdString(folder);
            const DisplayLock::Result locked = m_lock.take(folder);
            if (locked == DisplayLock::Result::HeldByAnother) {
                // The other display serves the socket and the port map.
                m_anotherRunning = true;
                return QString::fromStdString(m_lock.error());
            }
            if (locked == DisplayLock::Result::Refused) {
                problems << QString::fromStdString(m_lock.error());
            } else {
                auto raise = std::make_unique<RaiseListener>([this] { m_service.requestRaise(); });
                if (const QString refusal = raise->listen(m_folder); !refusal.isEmpty())
                    problems << refusal;
                else
                    m_raiseListener = std::move(raise);
            }
            if (locked == DisplayLock::Result::Held && m_settings.usbSocket) {
                auto usb = std::make_unique<UsbSocketInput>(m_service, deliver);
                usb->setSilentClientTimeoutMs(m_settings.silentClientTimeoutMs);
                if (const QString refusal = usb->listen(QString::fromStdString(socket.path));
                    !refusal.isEmpty())
                    problems << refusal;
                else
                    m_usb = std::move(usb);
            }
        }
    }

    // The terminal tells the line its program set; it is read again with every arrival, so that
    // the display follows a program that changes its speed while it runs.
    auto terminal =
        std::make_unique<TerminalInput>([this](const QString &source, const QByteArray &bytes) {
            // A pseudo-terminal carries the speed and the stop bits a program set, but always
            // reports 8 data bits and no parity: on those two the sender is taken to match, so
            // that a program that sets a BA63's 8O1 is understood.
            std::optional<LineSettings> line = m_terminal ? m_terminal->senderLine() : std::nullopt;
            if (line) {
                const LineSettings display = m_service.displayLine();
                line->dataBits = display.dataBits;
                line->parity = display.parity;
            }
            m_service.setSenderLine(source, line);
            receiveAndAnswer(source, bytes, [this](const QByteArray &answer) {
                return m_terminal ? m_terminal->answer(answer) : 0;
            });
        });
    if (const QString refusal =
            terminal->open(m_settings.holdTerminalOpen, m_service.snapshot().line.display);
        !refusal.isEmpty()) {
        problems << refusal;
    } else {
        m_terminal = std::move(terminal);
        if (m_settings.comPort != 0) {
            const QString refusal = m_portMapEntry.enter(m_settings.comPort, m_terminal->path());
            if (!refusal.isEmpty())
                problems << refusal;
        }
    }
    publishPlaces();
    return problems.join(QLatin1Char('\n'));
}

void Inputs::publishPlaces() {
    InputPlaces places;
    places.socketPath = m_usb ? m_usb->path() : QString();
    places.terminalPath = m_terminal ? m_terminal->path() : QString();
    places.enteredPort = m_portMapEntry.port();
    places.tcpAddress = m_tcp ? m_tcp->address() : QString();
    places.rfc2217Address = m_rfc2217 ? m_rfc2217->address() : QString();
    places.terminalLink = m_terminalLink;
    places.problems = m_problems;
    m_service.setPlaces(places);
}

QString Inputs::handOver() {
    return askRunningDisplayToRaise(m_folder);
}

QString Inputs::listenRfc2217(const QString &host, quint16 port) {
    const QString source = QStringLiteral("RFC 2217");
    auto input = std::make_unique<TcpInput>(
        m_service,
        [this](const QString &from, const QByteArray &bytes) {
            // An answer's FF goes as IAC IAC on the Telnet connection.
            receiveAndAnswer(from, bytes, [this](const QByteArray &answer) -> qint64 {
                const std::string_view data(answer.constData(),
                                            static_cast<std::size_t>(answer.size()));
                const qint64 sent = m_rfc2217 ? m_rfc2217->answer(QByteArray::fromStdString(
                                                    Rfc2217Session::escapeData(data)))
                                              : 0;
                return static_cast<qint64>(
                    Rfc2217Session::dataBytesSent(data, static_cast<std::size_t>(sent)));
            });
        },
        source);
    input->setSilentClientTimeoutMs(m_settings.silentClientTimeoutMs);
    // Each client starts a session of its own: its line is unknown until it sets one.
    input->setFilter([this, source]() -> SingleClient::Filter {
        m_service.setSenderLine(source, std::nullopt);
        auto session = std::make_shared<Rfc2217Session>(m_service.snapshot().line.display);
        auto warned = std::make_shared<bool>(false);
        return [this, source, session, warned](const QByteArray &received, QByteArray &reply) {
            const Rfc2217Session::Result result = session->feed(
                std::string_view(received.constData(), static_cast<std::size_t>(received.size())));
            reply = QByteArray::fromStdString(result.reply);
            for (const Rfc2217Session::Note &note : result.notes)
                m_service.log(source, describeRfc2217Note(note, session->line()));
            if (session->negotiated()) {
                m_service.setSenderLine(source, session->line());
            } else if (!result.data.empty() && !*warned) {
                *warned = true;
                m_service.log(source, QCoreApplication::translate(
                                          "kd::sim::Inputs",
                                          "data without the COM port option: the sender's line is "
                                          "unknown, a match is assumed"));
            }
            return QByteArray::fromStdString(result.data);
        };
    });
    if (const QString refusal = input->listen(host, port); !refusal.isEmpty())
        return refusal;
    m_rfc2217 = std::move(input);
    publishPlaces();
    return {};
}

QString Inputs::listenTcp(const QString &host, quint16 port) {
    auto tcp = std::make_unique<TcpInput>(
        m_service, [this](const QString &source, const QByteArray &bytes) {
            receiveAndAnswer(source, bytes, [this](const QByteArray &answer) {
                return m_tcp ? m_tcp->answer(answer) : 0;
            });
        });
    tcp->setSilentClientTimeoutMs(m_settings.silentClientTimeoutMs);
    if (const QString refusal = tcp->listen(host, port); !refusal.isEmpty())
        return refusal;
    m_tcp = std::move(tcp);
    publishPlaces();
    return {};
}

QString Inputs::linkTerminalTo(const QString &path) {
    if (!m_terminal)
        return tr("No pseudo-terminal for --serial-link %1").arg(path);
    const std::string refusal =
        makeTerminalLink(path.toStdString(), m_terminal->path().toStdString());
    if (!refusal.empty())
        return QString::fromStdString(refusal);
    m_terminalLink = path;
    publishPlaces();
    return {};
}

QString Inputs::recordTo(const QString &path) {
    return m_recorder.open(path);
}

QString Inputs::replay(const QString &path) {
    auto replay = std::make_unique<Replay>(
        [this](const QString &source, const QByteArray &bytes) {
            receiveOneWay(source, bytes, tr("a replay has no way back"));
        },
        [this](const QString &problem) { m_service.reportProblem(problem); });
    if (const QString refusal = replay->start(path, m_service.language()); !refusal.isEmpty())
        return refusal;
    m_replay = std::move(replay);
    return {};
}

QByteArray Inputs::receive(const QString &source, const QByteArray &bytes) {
    if (const QString problem = m_recorder.write(source, bytes); !problem.isEmpty())
        m_service.reportProblem(problem);
    return m_service.receive(source, bytes);
}

void Inputs::receiveAndAnswer(const QString &source, const QByteArray &bytes, const Send &send) {
    const QByteArray answers = receive(source, bytes);
    if (answers.isEmpty())
        return;
    const qint64 sent = send(answers);
    m_service.answersDropped(source, answers.size() - sent,
                             tr("the sender does not read what the display answers"));
}

void Inputs::receiveOneWay(const QString &source, const QByteArray &bytes, const QString &why) {
    const QByteArray answers = receive(source, bytes);
    m_service.answersDropped(source, answers.size(), why);
}

} // namespace kd::sim
