#include "display/usb_display_library.h"

#include "core/error.h"
#include "runtime/private_folder.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>

#ifndef KD_LIBRARY_ARCHITECTURE
#define KD_LIBRARY_ARCHITECTURE ""
#endif
#ifndef KD_INSTALL_LIBRARY_DIR
#define KD_INSTALL_LIBRARY_DIR "lib/kundendisplay/usb"
#endif
#ifndef KD_BUILD_TREE_MARKER
#define KD_BUILD_TREE_MARKER "kundendisplay-build-tree"
#endif

namespace kd {
namespace {

using OpenFunction = std::uint8_t (*)();
using WriteFunction = std::int32_t (*)(const std::uint8_t *, std::int32_t);
using CloseFunction = std::int16_t (*)();

std::string joined(const std::vector<std::string> &dirs) {
    std::string text;
    for (const std::string &dir : dirs)
        text += (text.empty() ? "" : ", ") + dir;
    return text;
}

} // namespace

std::vector<std::string> systemLibraryDirs() {
    const std::string arch = KD_LIBRARY_ARCHITECTURE;
    std::vector<std::string> dirs{"/usr/local/lib"};
    if (!arch.empty())
        dirs.push_back("/usr/lib/" + arch);
    dirs.push_back("/usr/lib");
    if (!arch.empty())
        dirs.push_back("/lib/" + arch);
    dirs.push_back("/lib");
    return dirs;
}

std::string toolLibraryDir(const std::string &executableDir) {
    if (executableDir.empty() || executableDir.front() != '/')
        return {};
    // The build tree is told by the marker file its build writes beside the executables; nothing
    // of the folder where the program was built is compiled in, so that a package is the same
    // wherever it was built.
    if (::access((executableDir + "/" KD_BUILD_TREE_MARKER).c_str(), F_OK) == 0)
        return executableDir;
    return std::filesystem::path(executableDir + "/../" KD_INSTALL_LIBRARY_DIR).lexically_normal();
}

std::vector<std::string> usbLibrarySearchDirs(const char *ldLibraryPath,
                                              const std::vector<std::string> &systemDirs,
                                              const std::string &toolLibraryDir) {
    std::vector<std::string> dirs;
    const auto addAbsolute = [&dirs](std::string_view dir) {
        if (!dir.empty() && dir.front() == '/')
            dirs.emplace_back(dir);
    };
    std::string_view rest = ldLibraryPath ? ldLibraryPath : "";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view entry = rest.substr(0, colon);
        addAbsolute(entry);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    for (const std::string &dir : systemDirs)
        addAbsolute(dir);
    addAbsolute(toolLibraryDir);
    return dirs;
}

std::string executableDir() {
    const std::string exe = symbolicLinkTarget("/proc/self/exe").value_or(std::string());
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
        std::string failedPath;
        std::string failure;
        for (const std::string &dir : m_searchDirs) {
            const std::string path = dir + '/' + kUsbLibraryFileName;
            if (::access(path.c_str(), F_OK) != 0)
                continue;
            if (void *handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
                m_handle = handle;
                m_path = path;
                break;
            }
            // A file that is there but does not load (another architecture, a missing
            // dependency) is named with the loader's reason; a later folder may still have one.
            if (failedPath.empty()) {
                failedPath = path;
                failure = ::dlerror();
            }
        }
        if (!m_handle && !failedPath.empty())
            throwError(err::kLibraryLoadFailed,
                       "Fehler beim Laden der Bibliothek " + failedPath + ": " + failure,
                       failedPath + " lässt sich nicht laden: " + failure);
        if (!m_handle)
            throwError(err::kFileNotFound,
                       std::string("Datei nicht gefunden: ") + kUsbLibraryFileName +
                           " (gesucht in " + joined(m_searchDirs) + ")",
                       "nicht gefunden in " + joined(m_searchDirs));
    }
    ::dlerror();
    void *function = ::dlsym(m_handle, name);
    if (!function)
        throwError(err::kEntryPointNotFound,
                   std::string("Einsprungpunkt ") + name + " in " + m_path + " nicht gefunden",
                   std::string("Einsprungpunkt ") + name + " fehlt");
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
