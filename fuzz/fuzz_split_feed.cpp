// Differential: the same bytes fed whole and in chunks of random sizes must leave the same screen
// (every cell, the cursor, the running texts and the state line) in every command set, however
// the bytes were cut on the way.
#include "model/display_model.h"

#include <cstdint>
#include <cstdlib>

namespace {

using kd::sim::DisplayModel;
using kd::sim::Screen;

bool sameScreen(const DisplayModel &a, const DisplayModel &b) {
    const Screen &x = a.screen();
    const Screen &y = b.screen();
    if (x.cursorRow() != y.cursorRow() || x.cursorColumn() != y.cursorColumn() ||
        a.stateLine() != b.stateLine() || a.tickIntervalMs() != b.tickIntervalMs())
        return false;
    for (int row = 0; row < Screen::kRows; ++row) {
        if (x.marquee(row).text != y.marquee(row).text)
            return false;
        for (int column = 0; column < Screen::kColumns; ++column) {
            if (!(x.cell(row, column) == y.cell(row, column)))
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // The first byte chooses the set, the second seeds the chunk sizes; the rest are the bytes.
    if (size < 2)
        return 0;
    const auto &sets = kd::sim::allEmulations();
    const kd::sim::Emulation emulation = sets[data[0] % sets.size()];
    unsigned seed = data[1];
    const std::string_view bytes(reinterpret_cast<const char *>(data + 2), size - 2);
    const kd::sim::Clock fixed = [] { return kd::sim::TimeOfDay{12, 34}; };

    DisplayModel whole(emulation);
    whole.setClock(fixed);
    whole.feed(bytes);

    DisplayModel chunked(emulation);
    chunked.setClock(fixed);
    std::size_t at = 0;
    while (at < bytes.size()) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t length = 1 + (seed >> 16) % 17;
        chunked.feed(bytes.substr(at, length));
        at += length;
    }
    if (!sameScreen(whole, chunked))
        std::abort();
    whole.takeLog();
    chunked.takeLog();
    return 0;
}
