#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kd {

// What the system knows of a USB serial adapter, so that a technician can tell which of several
// adapters a port number leads to.
struct UsbAdapter {
    std::string description;
    std::string manufacturer;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string serialNumber;
};

// "USB-Adapter FT232R USB UART, Hersteller FTDI, USB-ID 0403:6001, Seriennummer A1B2C3"; fields
// the system does not know are left out.
std::string describeAdapter(const UsbAdapter &adapter);

// Looks up the USB adapter behind a serial device. Abstract so that tests need no adapter; the
// real implementation is QtPortInfo.
class PortInfo {
  public:
    virtual ~PortInfo() = default;
    // The adapter behind the device (a link to it counts as the device), or nothing when the
    // device is no USB adapter or not there.
    virtual std::optional<UsbAdapter> usbAdapter(const std::string &device) const = 0;
};

// The adapters as QSerialPortInfo lists them.
class QtPortInfo : public PortInfo {
  public:
    std::optional<UsbAdapter> usbAdapter(const std::string &device) const override;
};

} // namespace kd
