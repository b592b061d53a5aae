#include "display/port_info.h"

#include <QSerialPortInfo>

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace kd {

std::string describeAdapter(const UsbAdapter &adapter) {
    std::string text = "USB-Adapter";
    const auto add = [&text](const std::string &part) {
        text += (text == "USB-Adapter" ? " " : ", ") + part;
    };
    if (!adapter.description.empty())
        add(adapter.description);
    if (!adapter.manufacturer.empty())
        add("Hersteller " + adapter.manufacturer);
    char id[16];
    std::snprintf(id, sizeof id, "%04x:%04x", adapter.vendorId, adapter.productId);
    add(std::string("USB-ID ") + id);
    if (!adapter.serialNumber.empty())
        add("Seriennummer " + adapter.serialNumber);
    return text;
}

std::optional<UsbAdapter> QtPortInfo::usbAdapter(const std::string &device) const {
    // A link such as /dev/serial/by-id/… leads to the device node that Qt lists.
    char real[PATH_MAX];
    if (!::realpath(device.c_str(), real))
        return std::nullopt;
    const QString location = QString::fromLocal8Bit(real);
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
        if (port.systemLocation() != location || !port.hasVendorIdentifier())
            continue;
        return UsbAdapter{port.description().toStdString(), port.manufacturer().toStdString(),
                          port.vendorIdentifier(),
                          port.hasProductIdentifier() ? port.productIdentifier() : std::uint16_t{0},
                          port.serialNumber().toStdString()};
    }
    return std::nullopt;
}

} // namespace kd
