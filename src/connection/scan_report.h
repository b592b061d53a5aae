#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kd {

// One open attempt of a port scan: the number, where it led (the device, or for USB the library
// file) and what it met, in German.
struct ScanAttempt {
    std::int16_t portNumber = 0;
    std::string target;
    std::string outcome;
};

// What the last scan met, for the operator who wants to know why nothing was found.
struct ScanReport {
    // "usb" or "com", as the scan's message names it.
    std::string connection;
    std::vector<ScanAttempt> attempts;
};

// One line per run of numbers that met the same: "Port 2–4 (/dev/ttyS1 … /dev/ttyS3): Gerät
// nicht vorhanden", under a heading that names the connection. Empty before the first scan.
std::string formatScanReport(const ScanReport &report);

} // namespace kd
