#pragma once

#include "app/form.h"
#include "display/serial_link.h"
#include "display/usb_display_library.h"
#include "runtime/port_map.h"
#include "support/fakes.h"
#include "support/pseudo_terminal.h"
#include "support/recording_usb_library.h"

#include <memory>
#include <vector>

namespace kd::test {

// A device path that never exists.
inline std::string missingDevice(int number) {
    return "/nonexistent/ttyKD" + std::to_string(number);
}

// The tool's logic wired to real transports: the serial link on pseudo-terminals through the
// port table, the USB adapter on the recording fixture library. Started up like the window.
struct Rig {
    explicit Rig(PortTable table = {},
                 std::vector<std::string> usbDirs = {RecordingUsbLibrary::recordingDir()})
        : serial(std::move(table)), usb(std::move(usbDirs)),
          form(serial, usb, commPort, settings, messages) {
        form.Form_Load();
    }

    RecordingUsbLibrary recorder;
    SerialPortLink serial;
    UsbDisplayLibrary usb;
    FakeTextBox commPort{"0"};
    FakeTextBox settings{"9600,N,8,1"};
    RecordingMessageBox messages;
    Form form;
};

// A port table whose entry `number` (from 1) is the pseudo-terminal and every other entry up to
// 20 a missing device.
inline PortTable tableWith(int number, const PseudoTerminal &pty) {
    PortTable table;
    for (int i = 1; i <= 20; ++i)
        table.push_back(i == number ? pty.path() : missingDevice(i));
    return table;
}

} // namespace kd::test
