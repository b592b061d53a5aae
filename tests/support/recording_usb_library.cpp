#include "support/recording_usb_library.h"

#include "fixtures/usb_fixture.h"
#include "support/pseudo_terminal.h"

#include <dlfcn.h>

#include <stdexcept>

namespace kd::test {
namespace {

template <typename Function> Function lookup(void *handle, const char *name) {
    void *symbol = ::dlsym(handle, name);
    if (!symbol)
        throw std::runtime_error(std::string("fixture lacks ") + name);
    return reinterpret_cast<Function>(symbol);
}

} // namespace

std::string RecordingUsbLibrary::recordingDir() {
    return KD_RECORDING_USB_DIR;
}

std::string RecordingUsbLibrary::noOpenDir() {
    return KD_NO_OPEN_USB_DIR;
}

std::string RecordingUsbLibrary::noWriteDir() {
    return KD_NO_WRITE_USB_DIR;
}

RecordingUsbLibrary::RecordingUsbLibrary() {
    const std::string path = recordingDir() + "/libcd722dusb.so";
    m_handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle)
        throw std::runtime_error("cannot load " + path + ": " + ::dlerror());
    clear();
    setOpenStatus(1);
}

RecordingUsbLibrary::~RecordingUsbLibrary() {
    ::dlclose(m_handle);
}

std::vector<std::string> RecordingUsbLibrary::calls() const {
    std::vector<std::string> calls;
    for (const UsbFixtureCall &call :
         *lookup<UsbFixtureCallsFunction>(m_handle, "usb_fixture_calls")()) {
        switch (call.kind) {
        case 'o': calls.push_back("open"); break;
        case 'c': calls.push_back("close"); break;
        default: calls.push_back("write " + hex(std::string(call.bytes.begin(), call.bytes.end())));
        }
    }
    return calls;
}

std::vector<std::string> RecordingUsbLibrary::writes() const {
    std::vector<std::string> writes;
    for (const std::string &call : calls()) {
        if (call.starts_with("write"))
            writes.push_back(call);
    }
    return writes;
}

void RecordingUsbLibrary::clear() {
    lookup<UsbFixtureCallsFunction>(m_handle, "usb_fixture_calls")()->clear();
}

void RecordingUsbLibrary::setOpenStatus(std::uint8_t status) {
    lookup<UsbFixtureSetOpenStatusFunction>(m_handle, "usb_fixture_set_open_status")(status);
}

} // namespace kd::test
