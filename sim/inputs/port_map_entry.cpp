#include "inputs/port_map_entry.h"

#include "runtime/port_map.h"

#include <QCoreApplication>

namespace kd::sim {
namespace {

// How the tool names the port map entry of the virtual display: in the tool's language, German.
constexpr char kPortOwner[] = "virtuelles Kundendisplay";

} // namespace

PortMapEntry::~PortMapEntry() {
    if (m_port != 0)
        leavePort(m_folder, m_port);
}

QString PortMapEntry::enter(int portNumber, const QString &terminalPath) {
    const Folder folder = portMapFolder(true);
    if (!folder.error.empty())
        return QCoreApplication::translate("kd::sim::PortMapEntry",
                                           "No port map entry possible: ") +
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
