#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kd {

inline constexpr char kUsbLibraryFileName[] = "libcd722dusb.so";

// Where the library is looked for, in order: each absolute folder of LD_LIBRARY_PATH, then the
// system library folders, then the tool's own library folder, last, where the bundled stand-in
// lies: a vendor library installed the usual way wins over it. Relative and empty entries are
// dropped, so nothing is ever loaded from the current directory.
std::vector<std::string> usbLibrarySearchDirs(const char *ldLibraryPath,
                                              const std::vector<std::string> &systemDirs,
                                              const std::string &toolLibraryDir);

// /usr/local/lib, the multiarch and plain /usr/lib and /lib folders, in the loader's order.
std::vector<std::string> systemLibraryDirs();

// The tool's own library folder for an executable in the given folder: the folder itself in the
// build tree, which the marker file kundendisplay-build-tree beside the executable tells,
// lib/kundendisplay/usb beside bin/ in an installed tree (never bin/ itself).
std::string toolLibraryDir(const std::string &executableDir);

// The folder of the running executable.
std::string executableDir();

// The display maker's USB library, with its three entry points. It is loaded by absolute path on
// the first call and kept loaded; a failed load or lookup is not remembered: the next call tries
// again. There is no interface above it: tests load small fixture libraries through this adapter.
class UsbDisplayLibrary {
  public:
    explicit UsbDisplayLibrary(std::vector<std::string> searchDirs);
    ~UsbDisplayLibrary();
    UsbDisplayLibrary(const UsbDisplayLibrary &) = delete;
    UsbDisplayLibrary &operator=(const UsbDisplayLibrary &) = delete;

    // Nonzero when a display was opened, 0 when none was.
    std::uint8_t opencd722usb();
    std::int32_t writecd722usb(const std::uint8_t *first, std::int32_t count);
    std::int16_t closecd722usb();

    // The file that was loaded, or an empty text before the first successful load.
    const std::string &loadedPath() const { return m_path; }
    const std::vector<std::string> &searchDirs() const { return m_searchDirs; }

  private:
    void *entryPoint(const char *name);

    std::vector<std::string> m_searchDirs;
    void *m_handle = nullptr;
    std::string m_path;
};

} // namespace kd
