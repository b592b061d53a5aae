#include "core/error.h"

namespace kd {

RuntimeError::RuntimeError(Error error)
    : std::runtime_error(std::to_string(error.number) + ": " + error.description),
      m_error(std::move(error)) {}

void throwError(int number, std::string description, std::string cause) {
    throw RuntimeError(Error{number, std::move(description), std::move(cause)});
}

std::string errorMessageText(const Error &error) {
    return "Laufzeitfehler '" + std::to_string(error.number) + "':\n\n" + error.description;
}

} // namespace kd
