#pragma once

#include "core/error.h"

#include <cstdint>
#include <limits>
#include <string>

namespace kd {

// The state the commands share; it lives as long as the window.
struct FormState {
    // The text a test command composes and sends.
    std::u16string strLine;
    // Loop counter shared by the port scan and the per-character send loops. After a scan it holds
    // the port number that opened, or 21 when none did.
    std::int16_t intPos = 0;
    // "usb" selects the USB library; any other text the serial port.
    std::string strConnection;
    // When set, the item line clears the display before it sends.
    bool blnClearFirst = false;

    bool usbSelected() const { return strConnection == "usb"; }
};

// Steps a 16-bit counter; one past 32767 is an overflow error, not a wrap.
inline void stepCounter(std::int16_t &counter) {
    if (counter == std::numeric_limits<std::int16_t>::max())
        throwError(err::kOverflow, "Überlauf: Zähler über 32767");
    ++counter;
}

} // namespace kd
