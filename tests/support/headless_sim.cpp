#include "support/headless_sim.h"

#include "support/sim_program.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace kd::test {
namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    return static_cast<int>(std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
}

} // namespace

HeadlessSim::HeadlessSim(const std::vector<std::string> &arguments) {
    int out[2];
    if (::pipe(out) != 0)
        return;
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        // No window system at all: the headless display must need none.
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("QT_QPA_PLATFORM");
        std::vector<std::string> all{"--headless"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        execSimProgram(all);
    }
    ::close(out[1]);
    m_out = out[0];
}

HeadlessSim::~HeadlessSim() {
    if (m_pid > 0 && !m_ended)
        end(SIGKILL);
    if (m_out >= 0)
        ::close(m_out);
}

bool HeadlessSim::readSome(int timeoutMs) {
    pollfd watch{m_out, POLLIN, 0};
    if (::poll(&watch, 1, timeoutMs) <= 0)
        return true;
    char chunk[4096];
    const ssize_t count = ::read(m_out, chunk, sizeof chunk);
    if (count <= 0)
        return false;
    m_buffer.append(chunk, static_cast<std::size_t>(count));
    for (std::size_t end; (end = m_buffer.find('\n')) != std::string::npos;) {
        const QByteArray line = QByteArray::fromStdString(m_buffer.substr(0, end));
        m_buffer.erase(0, end + 1);
        m_events.push_back(QJsonDocument::fromJson(line).object());
    }
    return true;
}

QJsonObject HeadlessSim::waitFor(const std::function<bool(const QJsonObject &)> &test,
                                 int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        while (m_position < m_events.size()) {
            const QJsonObject &event = m_events[m_position++];
            if (test(event))
                return event;
        }
        if (m_out < 0 || remainingMs(deadline) == 0 || !readSome(remainingMs(deadline)))
            return {};
    }
}

QJsonObject HeadlessSim::ready(int timeoutMs) {
    return waitFor([](const QJsonObject &event) { return event["event"] == "ready"; }, timeoutMs);
}

QJsonObject HeadlessSim::waitForLines(const std::string &line1, const std::string &line2,
                                      int timeoutMs) {
    const auto padded = [](const std::string &text) {
        QString line = QString::fromStdString(text);
        return line.leftJustified(20);
    };
    return waitFor(
        [&](const QJsonObject &event) {
            const QJsonArray lines = event["lines"].toArray();
            return event["event"] == "screen" && lines.size() == 2 &&
                   lines[0].toString() == padded(line1) && lines[1].toString() == padded(line2);
        },
        timeoutMs);
}

int HeadlessSim::end(int signal) {
    if (m_pid <= 0)
        return -1;
    ::kill(m_pid, signal);
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
    while (m_out >= 0 && remainingMs(deadline) > 0 && readSome(remainingMs(deadline))) {
    }
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_ended = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int connectTcp(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

int portOf(const QJsonObject &ready) {
    const QString address = ready["tcp"].toString();
    return address.mid(address.lastIndexOf(QLatin1Char(':')) + 1).toInt();
}

bool sendAll(int fd, const std::string &bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0)
            return false;
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

} // namespace kd::test
