#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kd::test {

// The recording fixture library, opened by the test itself so that it reads the same instance
// that the tool's USB adapter loads.
class RecordingUsbLibrary {
  public:
    RecordingUsbLibrary();
    ~RecordingUsbLibrary();
    RecordingUsbLibrary(const RecordingUsbLibrary &) = delete;
    RecordingUsbLibrary &operator=(const RecordingUsbLibrary &) = delete;

    // The folders holding the fixture libraries, each as libcd722dusb.so.
    static std::string recordingDir();
    static std::string noOpenDir();
    static std::string noWriteDir();

    // Every call so far: "open", "close", or "write" and the bytes in hex ("write 0C").
    std::vector<std::string> calls() const;
    // Only the write calls, as above.
    std::vector<std::string> writes() const;
    void clear();
    void setOpenStatus(std::uint8_t status);

  private:
    void *m_handle = nullptr;
};

} // namespace kd::test
