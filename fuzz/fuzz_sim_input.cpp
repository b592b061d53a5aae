// The virtual display's socket input: what a client sends arrives in chunks of any size; the
// display counts every byte and its screen stays whole.
#include "inputs/display_service.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    kd::sim::DisplayService display;
    qint64 sent = 0;
    // The first byte of each chunk gives its length.
    for (std::size_t i = 0; i < size;) {
        const std::size_t length = std::min<std::size_t>(data[i] % 64 + 1, size - i - 1);
        display.receive(QStringLiteral("USB"),
                        QByteArray(reinterpret_cast<const char *>(data + i + 1),
                                   static_cast<qsizetype>(length)));
        sent += static_cast<qint64>(length);
        i += length + 1;
    }
    const kd::sim::Snapshot snapshot = display.snapshot();
    if (display.receivedBytes() != sent || snapshot.lines[0].size() != 20 ||
        snapshot.lines[1].size() != 20 || snapshot.screen.cursorRow() < 0 ||
        snapshot.screen.cursorRow() > 1 || snapshot.screen.cursorColumn() < 0 ||
        snapshot.screen.cursorColumn() > 19)
        std::abort();
    return 0;
}
