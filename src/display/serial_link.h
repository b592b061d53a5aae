#pragma once

#include "display/port_info.h"
#include "display/serial_settings.h"
#include "runtime/private_folder.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QSerialPort;

namespace kd {

// The serial transport: the four properties the tool assigns. Every assignment either succeeds or
// raises a RuntimeError. Abstract so that the display output can be tested with a recording fake;
// the real implementation is SerialPortLink.
class SerialLink {
  public:
    virtual ~SerialLink() = default;

    // Selects the port that the next open uses.
    virtual void setCommPort(std::int16_t portNumber) = 0;
    // Sets the line parameters, e.g. "9600,N,8,1"; applied at once when the port is open.
    virtual void setSettings(std::string_view settings) = 0;
    // true opens the selected port, false closes it.
    virtual void setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    // Transmits the text, one Windows-1252 byte per character, in order.
    virtual void output(std::u16string_view text) = 0;
    // The device a port number leads to, for the operator; an empty text when it leads nowhere.
    virtual std::string portDevice(std::int16_t portNumber) const = 0;
    // Why the user's port map is not used although it is there (a folder open to others, of
    // another user, …); empty when it is used or there is none.
    virtual std::string portMapRefusal() const { return {}; }
};

// Port numbers to devices: entry 0 is port 1. An empty entry or a number past the end has no
// device.
using PortTable = std::vector<std::string>;

// 1-4 /dev/ttyS0-3, 5-12 /dev/ttyUSB0-7, 13-20 /dev/ttyACM0-7.
PortTable defaultPortTable();

// The device of a port number, or an empty text when the table has none.
std::string deviceForPort(const PortTable &table, int portNumber);

// Where the user's port map is, asked on every use, so that entries made while the tool runs
// count. Without one, only the table counts.
using PortMapSource = std::function<Folder()>;

// The serial link on a real device through QSerialPort, which opens, configures and locks the
// device against a second program. Output is synchronous: it returns when every byte has been
// handed to the driver, or raises an error after a bound of twice the bytes' time on the wire plus
// one second.
class SerialPortLink : public SerialLink {
  public:
    // A port number leads to the port map's entry for it, when there is one, else to its device in
    // the table. The port info tells the USB adapter behind a device, for the operator.
    explicit SerialPortLink(
        PortTable table = defaultPortTable(), PortMapSource portMap = {},
        std::shared_ptr<const PortInfo> portInfo = std::make_shared<QtPortInfo>());
    ~SerialPortLink() override;

    void setCommPort(std::int16_t portNumber) override;
    void setSettings(std::string_view settings) override;
    void setPortOpen(bool open) override;
    bool portOpen() const override;
    void output(std::u16string_view text) override;
    std::string portDevice(std::int16_t portNumber) const override;
    std::string portMapRefusal() const override;

    std::int16_t commPort() const { return m_portNumber; }
    const LineSettings &lineSettings() const { return m_settings; }
    // The line settings the open device reports back.
    LineSettings deviceLineSettings() const;

  private:
    struct Route {
        std::string device; // what is opened
        std::string via;    // the port map entry or program it comes from, empty for the table
    };
    Route route(int portNumber) const;
    void open();
    void close();
    void applySettings(const LineSettings &settings);
    [[noreturn]] void raiseWriteError(const std::string &what);

    PortTable m_table;
    PortMapSource m_portMap;
    std::shared_ptr<const PortInfo> m_portInfo;
    std::int16_t m_portNumber = 1;
    LineSettings m_settings;
    std::string m_device;
    std::unique_ptr<QSerialPort> m_port;
};

} // namespace kd
