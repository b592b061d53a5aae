#include "display/serial_link.h"

#include "core/error.h"
#include "display/display_bytes.h"
#include "runtime/port_map.h"

#include <QDeadlineTimer>
#include <QSerialPort>

#include <dirent.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <optional>

namespace kd {
namespace {

QSerialPort::Parity toQt(Parity parity) {
    switch (parity) {
    case Parity::Even: return QSerialPort::EvenParity;
    case Parity::Odd: return QSerialPort::OddParity;
    case Parity::Mark: return QSerialPort::MarkParity;
    case Parity::Space: return QSerialPort::SpaceParity;
    case Parity::None: break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(StopBits stopBits) {
    switch (stopBits) {
    case StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
    case StopBits::Two: return QSerialPort::TwoStop;
    case StopBits::One: break;
    }
    return QSerialPort::OneStop;
}

// A write may take this long: twice the bytes' time on the wire plus one second for the driver.
std::int64_t writeBoundMs(std::int64_t bytes, int baudRate) {
    return 1000 + bytes * 10 * 1000 * 2 / baudRate;
}

// The group a device belongs to, when the user may not open it for writing; nothing otherwise.
std::optional<std::string> deniedGroup(const std::string &device) {
    if (::access(device.c_str(), R_OK | W_OK) == 0 || (errno != EACCES && errno != EPERM))
        return std::nullopt;
    struct stat info {};
    if (::stat(device.c_str(), &info) == 0) {
        if (const group *entry = ::getgrgid(info.st_gid))
            return std::string("Gruppe \"") + entry->gr_name + "\"";
    }
    return std::string("Gruppe des Geräts");
}

// "minicom (PID 1234)": the name of a running process.
std::string processName(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return (name.empty() ? std::string("PID ") : name + " (PID ") + std::to_string(pid) +
           (name.empty() ? "" : ")");
}

std::string resolved(const std::string &path) {
    char real[PATH_MAX];
    return ::realpath(path.c_str(), real) ? std::string(real) : path;
}

// Which program holds the device, as far as the system tells: the process id in a serial lock
// file (QSerialPort and most serial programs write one), or else a process of the user that has
// the device open. An empty text when neither tells.
std::string deviceHolder(const std::string &device) {
    const std::string real = resolved(device);
    const std::string base = real.substr(real.rfind('/') + 1);
    for (const char *dir :
         {"/var/lock", "/run/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp", "/tmp"}) {
        std::ifstream lock(std::string(dir) + "/LCK.." + base);
        long pid = 0;
        if (lock >> pid && pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0)
            return processName(pid);
    }
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return {};
    std::string holder;
    while (const dirent *process = ::readdir(proc)) {
        const long pid = std::strtol(process->d_name, nullptr, 10);
        if (pid <= 0)
            continue;
        const std::string fds = "/proc/" + std::string(process->d_name) + "/fd";
        DIR *fdDir = ::opendir(fds.c_str());
        if (!fdDir)
            continue;
        while (const dirent *fd = ::readdir(fdDir)) {
            if (symbolicLinkTarget(fds + '/' + fd->d_name) == real) {
                holder = processName(pid);
                break;
            }
        }
        ::closedir(fdDir);
        if (!holder.empty())
            break;
    }
    ::closedir(proc);
    return holder;
}

[[noreturn]] void refusePort(int portNumber, const std::string &reason, const std::string &cause) {
    throwError(err::kInvalidPortNumber,
               "Ungültige Portnummer " + std::to_string(portNumber) + reason, cause);
}

} // namespace

PortTable defaultPortTable() {
    PortTable table;
    for (int i = 0; i < 4; ++i)
        table.push_back("/dev/ttyS" + std::to_string(i));
    for (int i = 0; i < 8; ++i)
        table.push_back("/dev/ttyUSB" + std::to_string(i));
    for (int i = 0; i < 8; ++i)
        table.push_back("/dev/ttyACM" + std::to_string(i));
    return table;
}

std::string deviceForPort(const PortTable &table, int portNumber) {
    if (portNumber < 1 || static_cast<std::size_t>(portNumber) > table.size())
        return {};
    return table[static_cast<std::size_t>(portNumber) - 1];
}

SerialPortLink::SerialPortLink(PortTable table, PortMapSource portMap,
                               std::shared_ptr<const PortInfo> portInfo)
    : m_table(std::move(table)), m_portMap(std::move(portMap)), m_portInfo(std::move(portInfo)) {}

SerialPortLink::Route SerialPortLink::route(int portNumber) const {
    if (m_portMap) {
        const Folder folder = m_portMap();
        if (folder.error.empty()) {
            if (const std::optional<PortMapEntry> entry =
                    readPortMapEntry(folder.path, portNumber)) {
                const std::string device = entry->target.front() == '/'
                                               ? entry->target
                                               : folder.path + '/' + entry->target;
                return {device, entry->owner.empty()
                                    ? "Portzuordnung COM" + std::to_string(portNumber)
                                    : entry->owner};
            }
        }
    }
    return {deviceForPort(m_table, portNumber), {}};
}

std::string SerialPortLink::portDevice(std::int16_t portNumber) const {
    const Route way = route(portNumber);
    std::vector<std::string> notes;
    if (!way.via.empty())
        notes.push_back(way.via);
    struct stat node {};
    if (m_portInfo && !way.device.empty() && ::stat(way.device.c_str(), &node) == 0) {
        if (const std::optional<UsbAdapter> adapter = m_portInfo->usbAdapter(way.device))
            notes.push_back(describeAdapter(*adapter));
    }
    std::string shown = way.device;
    for (std::size_t i = 0; i < notes.size(); ++i)
        shown += (i == 0 ? " (" : "; ") + notes[i];
    return notes.empty() ? shown : shown + ")";
}

std::string SerialPortLink::portMapRefusal() const {
    if (!m_portMap)
        return {};
    const Folder folder = m_portMap();
    return folder.absent ? std::string() : folder.error;
}

SerialPortLink::~SerialPortLink() {
    close();
}

void SerialPortLink::setCommPort(std::int16_t portNumber) {
    if (portNumber < 1 || portNumber > 255)
        refusePort(portNumber, " (erlaubt sind 1 bis 255)", "");
    if (portOpen() && portNumber != m_portNumber)
        throwError(err::kPortAlreadyOpen, "Anschluss bereits geöffnet: Port " +
                                              std::to_string(m_portNumber) + " (" + m_device +
                                              ") muss vor dem Wechsel auf Port " +
                                              std::to_string(portNumber) + " geschlossen werden");
    m_portNumber = portNumber;
}

void SerialPortLink::setSettings(std::string_view settings) {
    const LineSettings wanted = parseSettings(settings);
    if (portOpen()) {
        try {
            applySettings(wanted);
        } catch (const RuntimeError &) {
            // All or nothing: the device goes back to the line it had, and the link keeps it.
            skipOnError([&] { applySettings(m_settings); });
            throw;
        }
    }
    m_settings = wanted;
}

void SerialPortLink::setPortOpen(bool open) {
    if (open)
        this->open();
    else
        close();
}

bool SerialPortLink::portOpen() const {
    return m_port && m_port->isOpen();
}

void SerialPortLink::open() {
    if (portOpen())
        return; // the selected port is already open: nothing changes
    const std::string device = route(m_portNumber).device;
    if (device.empty())
        refusePort(m_portNumber, ": kein Gerät zugeordnet", "keinem Gerät zugeordnet");
    // A device node that is not there fails at once, before QSerialPort takes a lock file for it.
    struct stat node {};
    if (::stat(device.c_str(), &node) != 0) {
        const int error = errno;
        refusePort(m_portNumber,
                   ": " + device + " lässt sich nicht öffnen (" + std::strerror(error) + ")",
                   error == ENOENT
                       ? std::string("Gerät nicht vorhanden")
                       : "lässt sich nicht öffnen (" + std::string(std::strerror(error)) + ")");
    }
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(device));
    if (!port->open(QIODevice::WriteOnly)) {
        const std::string reason = port->errorString().toStdString();
        if (port->error() == QSerialPort::PermissionError) {
            if (const std::optional<std::string> group = deniedGroup(device))
                throwError(err::kInvalidPortNumber,
                           "Zugriff verweigert auf " + device + " (Port " +
                               std::to_string(m_portNumber) + "): der Benutzer muss Mitglied der " +
                               *group + " sein",
                           "Zugriff verweigert: der Benutzer ist nicht in der " + *group);
            const std::string holder = deviceHolder(device);
            throwError(err::kPortInUse,
                       "Gerät " + device + " wird von einem anderen Programm verwendet" +
                           (holder.empty() ? " (" + reason + ")" : ": " + holder),
                       holder.empty() ? "von einem anderen Programm belegt"
                                      : "belegt von " + holder);
        }
        refusePort(m_portNumber, ": " + device + " lässt sich nicht öffnen (" + reason + ")",
                   "lässt sich nicht öffnen (" + reason + ")");
    }
    m_port = std::move(port);
    m_device = device;
    try {
        applySettings(m_settings);
    } catch (const RuntimeError &) {
        m_port->close();
        m_port.reset();
        throw;
    }
}

void SerialPortLink::applySettings(const LineSettings &settings) {
    const bool applied =
        m_port->setBaudRate(settings.baudRate) && m_port->setParity(toQt(settings.parity)) &&
        m_port->setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) &&
        m_port->setStopBits(toQt(settings.stopBits)) &&
        m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!applied) {
        const std::string reason = m_port->errorString().toStdString();
        throwError(err::kSetLineFailed,
                   "Leitungseinstellungen " + formatSettings(settings) + " lassen sich auf " +
                       m_device + " nicht setzen (" + reason + ")",
                   "Leitungseinstellungen " + formatSettings(settings) + " abgelehnt (" + reason +
                       ")");
    }
}

LineSettings SerialPortLink::deviceLineSettings() const {
    LineSettings reported;
    if (!portOpen())
        return reported;
    reported.baudRate = m_port->baudRate(QSerialPort::Output);
    reported.dataBits = m_port->dataBits();
    switch (m_port->parity()) {
    case QSerialPort::EvenParity: reported.parity = Parity::Even; break;
    case QSerialPort::OddParity: reported.parity = Parity::Odd; break;
    case QSerialPort::MarkParity: reported.parity = Parity::Mark; break;
    case QSerialPort::SpaceParity: reported.parity = Parity::Space; break;
    default: reported.parity = Parity::None; break;
    }
    switch (m_port->stopBits()) {
    case QSerialPort::OneAndHalfStop: reported.stopBits = StopBits::OneAndHalf; break;
    case QSerialPort::TwoStop: reported.stopBits = StopBits::Two; break;
    default: reported.stopBits = StopBits::One; break;
    }
    return reported;
}

void SerialPortLink::close() {
    if (m_port && m_port->isOpen())
        m_port->close(); // output never waits in QSerialPort's buffer: see output()
    m_port.reset();
}

void SerialPortLink::output(std::u16string_view text) {
    if (!portOpen())
        throwError(err::kPortNotOpen, "Operation nur bei geöffnetem Anschluss zulässig: Port " +
                                          std::to_string(m_portNumber) + " ist nicht geöffnet");
    const std::string bytes = toWindows1252(text);
    // The bytes go straight to the driver rather than through QSerialPort's write buffer, so
    // that output returns only when every byte has been handed over, and closing cannot drop any.
    const int fd = m_port->handle();
    const QDeadlineTimer deadline(
        writeBoundMs(static_cast<std::int64_t>(bytes.size()), m_settings.baudRate));
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + sent, bytes.size() - sent);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN)
            raiseWriteError(std::strerror(errno));
        pollfd writable{fd, POLLOUT, 0};
        const int ready = ::poll(&writable, 1, static_cast<int>(deadline.remainingTime()));
        if (ready == 0 || deadline.hasExpired())
            raiseWriteError("Zeitüberschreitung: das Gerät nimmt keine Daten an (" +
                            std::to_string(sent) + " von " + std::to_string(bytes.size()) +
                            " Bytes übergeben)");
        if (ready < 0 && errno != EINTR)
            raiseWriteError(std::strerror(errno));
    }
}

void SerialPortLink::raiseWriteError(const std::string &what) {
    const std::string device = m_device;
    // A device that failed a write (unplugged, stuck, gone) is closed, so that one fault gives one
    // message and a new scan can open it again.
    m_port.reset();
    throwError(err::kWriteFailed, "Schreiben auf " + device + " fehlgeschlagen: " + what,
               "Schreiben fehlgeschlagen: " + what);
}

} // namespace kd
