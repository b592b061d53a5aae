#pragma once

#include <string>

namespace kd::test {

// A pseudo-terminal standing in for a serial device: the tool opens the slave by its path, the
// test reads what arrived at the master.
class PseudoTerminal {
  public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    const std::string &path() const { return m_path; }

    // Everything that has arrived, waiting up to waitMs for the first byte and a little for more.
    std::string read(int waitMs = 200);

    // Exactly count bytes, or fewer when they have not all arrived within timeoutMs.
    std::string readExactly(std::size_t count, int timeoutMs = 2000);

    // The other end goes away, as when the device is unplugged.
    void closeMaster();

  private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

// Bytes as upper-case hex pairs separated by spaces: "0C 48 61".
std::string hex(const std::string &bytes);

} // namespace kd::test
