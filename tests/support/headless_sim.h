#pragma once

#include <QJsonObject>

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace kd::test {

// The virtual display's program started with --headless and the arguments, its standard output
// read as the JSON Lines stream a till program's test suite reads.
class HeadlessSim {
  public:
    explicit HeadlessSim(const std::vector<std::string> &arguments);
    // Kills the program if it still runs.
    ~HeadlessSim();
    HeadlessSim(const HeadlessSim &) = delete;
    HeadlessSim &operator=(const HeadlessSim &) = delete;

    // The ready event, waiting for it; empty when the program wrote none within the timeout.
    QJsonObject ready(int timeoutMs = 10000);
    // The first event from the current read position on that satisfies the test, waiting for it;
    // every event before it is consumed. Empty after the timeout or the stream's end.
    QJsonObject waitFor(const std::function<bool(const QJsonObject &)> &test, int timeoutMs = 5000);
    // The first screen event whose two lines are the texts (each padded to 20 characters).
    QJsonObject waitForLines(const std::string &line1, const std::string &line2,
                             int timeoutMs = 5000);
    // Every event read so far, in order.
    const std::vector<QJsonObject> &events() const { return m_events; }

    // Sends the signal, reads the stream to its end and returns the exit status (128 + signal
    // when it died of one).
    int end(int signal);
    pid_t pid() const { return m_pid; }

  private:
    // Reads what arrived within the time; false at the stream's end.
    bool readSome(int timeoutMs);

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_buffer;
    std::vector<QJsonObject> m_events;
    std::size_t m_position = 0;
    bool m_ended = false;
};

// A TCP connection to 127.0.0.1 at the port, or -1.
int connectTcp(int port);
// The port of a "HOST:PORT" address.
int portOf(const QJsonObject &ready);
// Sends every byte; false when the connection failed.
bool sendAll(int fd, const std::string &bytes);

} // namespace kd::test
