#include "inputs/replay.h"

#include "model/recording.h"

#include <QFile>
#include <QTimer>

namespace kd::sim {

Replay::Replay(Deliver deliver, QObject *parent) : QObject(parent), m_deliver(std::move(deliver)) {}

QString Replay::start(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Aufzeichnung %1 lässt sich nicht lesen: %2")
            .arg(path, file.errorString());
    const QByteArray content = file.readAll();
    const ReadRecording recording =
        readRecording(std::string_view(content.constData(), content.size()));
    if (!recording.error.empty())
        return path + QStringLiteral(": ") + QString::fromStdString(recording.error);
    for (const Arrival &arrival : recording.arrivals) {
        QTimer::singleShot(
            static_cast<int>(arrival.atMs), this,
            [this, source = QString::fromStdString(arrival.source),
             bytes = QByteArray::fromStdString(arrival.bytes)] { m_deliver(source, bytes); });
    }
    return {};
}

} // namespace kd::sim
