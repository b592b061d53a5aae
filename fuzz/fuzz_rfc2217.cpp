// The display's RFC 2217 side: whatever a client sends, in one piece or byte by byte, gives the same
// data, the same answers and the same line, and the line stays one the UART model can run.
#include "inputs/rfc2217_session.h"
#include "model/serial_line.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view sent(reinterpret_cast<const char *>(data), size);
    const kd::LineSettings display;
    kd::sim::Rfc2217Session whole(display), pieces(display);
    const auto all = whole.feed(sent);
    std::string bytes, reply;
    for (const char c : sent) {
        const auto part = pieces.feed(std::string_view(&c, 1));
        bytes += part.data;
        reply += part.reply;
    }
    if (bytes != all.data || reply != all.reply || !(whole.line() == pieces.line()))
        std::abort();
    const kd::LineSettings line = whole.line();
    if (line.baudRate < 50 || line.baudRate > 4'000'000 || line.dataBits < 5 || line.dataBits > 8)
        std::abort();
    kd::sim::receiveOverLine(all.data.substr(0, 64), line, display);
    return 0;
}
