#include "inputs/port_map_entry.h"

#include "runtime/port_map.h"

namespace kd::sim {
namespace {

// How the tool names the port map entry of the virtual display.
constexpr char kPortOwner[] = "virtuelles Kundendisplay";

} // namespace

PortMapEntry::~PortMapEntry() {
    if (m_port != 0)
        leavePort(m_folder, m_port);
}

QString PortMapEntry::enter(int portNumber, const QString &terminalPath) {
    const Folder folder = portMapFolder(true);
    if (!folder.error.empty())
        return QStringLiteral("Portzuordnung nicht möglich: ") +
               QString::fromStdString(folder.error);
    const std::string refusal =
        enterPort(folder.path, portNumber, terminalPath.toStdString(), kPortOwner);
    if (!refusal.empty())
        return QString::fromStdString(refusal);
    m_folder = folder.path;
    m_port = portNumber;
    return {};
}

} // namespace kd::sim
