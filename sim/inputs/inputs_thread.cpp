#include "inputs/inputs_thread.h"

#include "inputs/display_service.h"

namespace kd::sim {

InputsThread::InputsThread(Emulation emulation) : m_service(new DisplayService(emulation)) {
    m_thread.setObjectName(QStringLiteral("inputs"));
    m_service->moveToThread(&m_thread);
    m_thread.start();
}

InputsThread::~InputsThread() {
    stop();
    onThread([this] { delete m_service; });
    m_thread.quit();
    m_thread.wait();
}

QString InputsThread::start(const InputsSettings &settings) {
    QString problems;
    onThread([&] {
        m_inputs = std::make_unique<Inputs>(*m_service, settings);
        problems = m_inputs->open();
        m_anotherRunning = m_inputs->anotherDisplayRunning();
    });
    return problems;
}

void InputsThread::run(const std::function<void(Inputs &)> &work) {
    onThread([&] {
        if (m_inputs)
            work(*m_inputs);
    });
}

void InputsThread::stop() {
    onThread([this] { m_inputs.reset(); });
}

void InputsThread::onThread(const std::function<void()> &work) {
    QMetaObject::invokeMethod(m_service, work, Qt::BlockingQueuedConnection);
}

} // namespace kd::sim
