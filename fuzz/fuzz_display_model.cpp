// The virtual display's byte interpreter: whatever arrives, the screen stays 2 x 20 printable
// cells and the cursor stays on it.
#include "display_model.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(const kd::sim::DisplayModel &model) {
    if (model.cursorRow() < 0 || model.cursorRow() >= kd::sim::DisplayModel::kRows ||
        model.cursorColumn() < 0 || model.cursorColumn() >= kd::sim::DisplayModel::kColumns)
        std::abort();
    for (int row = 0; row < kd::sim::DisplayModel::kRows; ++row) {
        const std::u16string line = model.line(row);
        if (line.size() != static_cast<std::size_t>(kd::sim::DisplayModel::kColumns))
            std::abort();
        for (char16_t c : line) {
            if (c < 0x20 || (c >= 0x7F && c < 0xA0))
                std::abort();
        }
    }
    if (model.stepMs() <= 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    kd::sim::DisplayModel model;
    for (std::size_t i = 0; i < size; ++i) {
        model.feed(data[i]);
        if (data[i] == 0xFF)
            model.step();
        check(model);
    }
    model.takeNotices();
    return 0;
}
