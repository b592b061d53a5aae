#include "display/usb_display_library.h"

#include "core/error.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string_view>

#ifndef KD_LIBRARY_ARCHITECTURE
#define KD_LIBRARY_ARCHITECTURE ""
#endif

namespace kd {
namespace {

using OpenFunction = std::uint8_t (*)();
using WriteFunction = std::int32_t (*)(const std::uint8_t *, std::int32_t);
using CloseFunction = std::int16_t (*)();

void addSystemDirs(std::vector<std::string> &dirs) {
    const std::string arch = KD_LIBRARY_ARCHITECTURE;
    dirs.push_back("/usr/local/lib");
    if (!arch.empty())
        dirs.push_back("/usr/lib/" + arch);
    dirs.push_back("/usr/lib");
    if (!arch.empty())
        dirs.push_back("/lib/" + arch);
    dirs.push_back("/lib");
}

} // namespace

std::vector<std::string> usbLibrarySearchDirs(const char *ldLibraryPath,
                                              const std::string &executableDir) {
    std::vector<std::string> dirs;
    std::string_view rest = ldLibraryPath ? ldLibraryPath : "";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view entry = rest.substr(0, colon);
        if (!entry.empty() && entry.front() == '/')
            dirs.emplace_back(entry);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    if (!executableDir.empty() && executableDir.front() == '/') {
        dirs.push_back(executableDir);
        dirs.push_back(executableDir + "/../lib/kundendisplay");
    }
    addSystemDirs(dirs);
    return dirs;
}

std::string executableDir() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    const std::string exe(path, static_cast<std::size_t>(length));
    return exe.substr(0, exe.rfind('/'));
}

UsbDisplayLibrary::UsbDisplayLibrary(std::vector<std::string> searchDirs)
    : m_searchDirs(std::move(searchDirs)) {}

UsbDisplayLibrary::~UsbDisplayLibrary() {
    if (m_handle)
        ::dlclose(m_handle);
}

void *UsbDisplayLibrary::entryPoint(const char *name) {
    if (!m_handle) {
        std::string reason = "in keinem Suchordner vorhanden";
        for (const std::string &dir : m_searchDirs) {
            const std::string path = dir + '/' + kUsbLibraryFileName;
            if (::access(path.c_str(), F_OK) != 0)
                continue;
            if (void *handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
                m_handle = handle;
                m_path = path;
                break;
            }
            reason = ::dlerror();
        }
        if (!m_handle)
            raise(err::kFileNotFound, std::string("Datei nicht gefunden: ") + kUsbLibraryFileName +
                                          " (" + reason + ")");
    }
    ::dlerror();
    void *function = ::dlsym(m_handle, name);
    if (!function)
        raise(err::kEntryPointNotFound,
              std::string("Einsprungpunkt ") + name + " in " + m_path + " nicht gefunden");
    return function;
}

std::uint8_t UsbDisplayLibrary::opencd722usb() {
    return reinterpret_cast<OpenFunction>(entryPoint("opencd722usb"))();
}

std::int32_t UsbDisplayLibrary::writecd722usb(const std::uint8_t *first, std::int32_t count) {
    return reinterpret_cast<WriteFunction>(entryPoint("writecd722usb"))(first, count);
}

std::int16_t UsbDisplayLibrary::closecd722usb() {
    return reinterpret_cast<CloseFunction>(entryPoint("closecd722usb"))();
}

} // namespace kd
