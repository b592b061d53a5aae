#pragma once

#include "core/error.h"

#include <array>
#include <cstdint>
#include <string>

namespace kd {

// The send buffer that carries a multi-byte frame to the USB library in one write.
class SendBuffer {
  public:
    static constexpr int kUpperBound = 2048;

    std::uint8_t &operator()(int index) {
        if (index < 0 || index > kUpperBound)
            throwError(err::kSubscriptOutOfRange, "Index außerhalb des gültigen Bereichs: bytBuffer(" +
                                                 std::to_string(index) + "), erlaubt 0 bis 2048");
        return m_bytes[static_cast<std::size_t>(index)];
    }

  private:
    std::array<std::uint8_t, kUpperBound + 1> m_bytes{};
};

// What the program keeps beside the USB library's entry points for the whole run.
struct VendoUSB {
    SendBuffer bytBuffer;
};

} // namespace kd
