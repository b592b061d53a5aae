// One command set's interpreter (chosen at build time): whatever arrives, split however, the
// screen stays 2 x 20 printable cells and the cursor stays on it.
#include "model/display_model.h"

#include <cstdint>
#include <cstdlib>

#ifndef KD_FUZZ_EMULATION
#define KD_FUZZ_EMULATION Standard
#endif

namespace {

void check(const kd::sim::DisplayModel &model) {
    const kd::sim::Screen &screen = model.screen();
    if (screen.cursorRow() < 0 || screen.cursorRow() >= kd::sim::Screen::kRows ||
        screen.cursorColumn() < 0 || screen.cursorColumn() >= kd::sim::Screen::kColumns)
        std::abort();
    for (int row = 0; row < kd::sim::Screen::kRows; ++row) {
        const std::u16string line = model.line(row);
        if (line.size() != static_cast<std::size_t>(kd::sim::Screen::kColumns))
            std::abort();
        for (char16_t c : line) {
            if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xFFFD)
                std::abort();
        }
    }
    if (model.tickIntervalMs() < 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    kd::sim::DisplayModel model(kd::sim::Emulation::KD_FUZZ_EMULATION);
    // Bytes arrive in chunks: a byte FE ends a chunk and moves the running texts on.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0xFE) {
            model.feed(std::string_view(reinterpret_cast<const char *>(data + start), i - start));
            model.tick();
            check(model);
            start = i + 1;
        }
    }
    model.takeLog();
    return 0;
}
