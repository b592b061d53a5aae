#include "support/sim_thread.h"

#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace kd::test {

PrivateRuntimeDir::PrivateRuntimeDir() {
    char pattern[] = "/tmp/kd-runtime-XXXXXX";
    if (!::mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
    if (const char *previous = std::getenv("XDG_RUNTIME_DIR")) {
        m_previous = previous;
        m_hadPrevious = true;
    }
    ::setenv("XDG_RUNTIME_DIR", m_path.c_str(), 1);
}

PrivateRuntimeDir::~PrivateRuntimeDir() {
    if (m_hadPrevious)
        ::setenv("XDG_RUNTIME_DIR", m_previous.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

SimThread::SimThread(const sim::InputsSettings &settings) : m_problems(m_inputs.start(settings)) {}

bool SimThread::waitForLines(const std::u16string &line1, const std::u16string &line2,
                             int timeoutMs) {
    return QTest::qWaitFor(
        [&] {
            const sim::Snapshot snapshot = service().snapshot();
            return snapshot.lines[0] == line1 && snapshot.lines[1] == line2;
        },
        timeoutMs);
}

} // namespace kd::test
