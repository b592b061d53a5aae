#pragma once

#include "app/main_window.h"
#include "support/rig.h"

namespace kd::test {

// The real window on real transports: the serial link with the pseudo-terminal as the given port
// number, the USB adapter on the recording fixture.
struct WindowRig {
    explicit WindowRig(int ptyPort)
        : serial(tableWith(ptyPort, pty)), window(serial, usb, messages) {}

    PseudoTerminal pty;
    RecordingUsbLibrary recorder;
    SerialPortLink serial;
    UsbDisplayLibrary usb{{RecordingUsbLibrary::recordingDir()}};
    RecordingMessageBox messages;
    MainWindow window;
};

} // namespace kd::test
