#pragma once

#include <QString>

#include <string>

namespace kd::sim {

// The pseudo-terminal entered in the user's port map as COM<n> while the display runs, so that
// the tool's Com scan reaches it by a number; removed again when the display ends.
// Used on the inputs thread.
class PortMapEntry {
  public:
    PortMapEntry() = default;
    ~PortMapEntry();
    PortMapEntry(const PortMapEntry &) = delete;
    PortMapEntry &operator=(const PortMapEntry &) = delete;

    // Enters the terminal as the port number; an empty text, or why not.
    QString enter(int portNumber, const QString &terminalPath);
    // The port number entered, or 0.
    int port() const { return m_port; }

  private:
    std::string m_folder;
    int m_port = 0;
};

} // namespace kd::sim
