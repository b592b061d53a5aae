#include "inputs/recorder.h"

#include "model/recording.h"

namespace kd::sim {

QString Recorder::open(const QString &path) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("Aufzeichnung %1 lässt sich nicht schreiben: %2")
            .arg(path, m_file.errorString());
    m_file.write(QByteArray::fromStdString(std::string(kRecordingHeader) + "\n"));
    m_file.flush();
    m_clock.start();
    return {};
}

void Recorder::write(const QString &source, const QByteArray &bytes) {
    if (!m_file.isOpen())
        return;
    m_file.write(QByteArray::fromStdString(
        recordLine({m_clock.elapsed(), source.toStdString(), bytes.toStdString()})));
    m_file.flush();
}

} // namespace kd::sim
