#pragma once

#include <stdexcept>
#include <string>

namespace kd {

// A run-time error as the window reports it: a number and a German description. The cause is
// the reason alone, without the device or library it concerns, for the scan's report; an empty
// cause means the description says it.
struct Error {
    int number = 0;
    std::string description;
    std::string cause;

    const std::string &reason() const { return cause.empty() ? description : cause; }
};

// Error numbers the tool raises. The serial numbers follow the usual serial control numbering so
// that a technician who knows them recognises them.
namespace err {
inline constexpr int kInvalidCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kLibraryLoadFailed = 48;
inline constexpr int kFileNotFound = 53;
inline constexpr int kInvalidPropertyValue = 380;
inline constexpr int kEntryPointNotFound = 453;
inline constexpr int kInvalidPortNumber = 8002;
inline constexpr int kPortAlreadyOpen = 8005;
inline constexpr int kPortInUse = 8010;
inline constexpr int kSetLineFailed = 8015;
inline constexpr int kPortNotOpen = 8018;
inline constexpr int kWriteFailed = 8021;
} // namespace err

// Thrown by every transport call and conversion that fails; the caller's error policy decides
// whether it is trapped, skipped or reported.
class RuntimeError : public std::runtime_error {
  public:
    explicit RuntimeError(Error error);
    const Error &error() const noexcept { return m_error; }

  private:
    Error m_error;
};

// Throws the RuntimeError; not named raise, which would hide the C library's ::raise(signal).
[[noreturn]] void throwError(int number, std::string description, std::string cause = {});

// The text the window shows for an error that left a command: "Laufzeitfehler '8018':" over the
// description.
std::string errorMessageText(const Error &error);

} // namespace kd

namespace kd {

// Runs one statement under the skipping policy: a failure is dropped and the caller goes on.
// Returns whether the statement completed.
template <typename Statement> bool skipOnError(Statement &&statement) {
    try {
        statement();
        return true;
    } catch (const RuntimeError &) {
        return false;
    }
}

} // namespace kd
