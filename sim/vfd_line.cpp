#include "vfd_line.h"

#include "display_model.h"

#include <QFontDatabase>
#include <QPainter>

namespace kd::sim {
namespace {

constexpr int kCellWidth = 22;
constexpr int kCellHeight = 34;
constexpr int kGap = 3;
const QColor kGlass(0x06, 0x0d, 0x0c);
const QColor kCell(0x0c, 0x1c, 0x19);
const QColor kGlow(0x4d, 0xff, 0xd2, 70);
const QColor kSegment(0x7d, 0xff, 0xe0);

} // namespace

VfdLine::VfdLine(QWidget *parent) : QLabel(parent) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(26);
    font.setBold(true);
    setFont(font);
    setAutoFillBackground(false);
}

QSize VfdLine::sizeHint() const {
    return {DisplayModel::kColumns * (kCellWidth + kGap) + kGap, kCellHeight + 2 * kGap};
}

void VfdLine::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(rect(), kGlass);
    const QString content = text().leftJustified(DisplayModel::kColumns, QLatin1Char(' '));
    for (int column = 0; column < DisplayModel::kColumns; ++column) {
        const QRect cell(kGap + column * (kCellWidth + kGap), kGap, kCellWidth, kCellHeight);
        painter.fillRect(cell, kCell);
        const QString character = content.mid(column, 1);
        if (character == QLatin1String(" "))
            continue;
        // A soft halo under the bright character, as the phosphor glows.
        painter.setPen(kGlow);
        for (const QPoint offset : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
            painter.drawText(cell.translated(offset), Qt::AlignCenter, character);
        painter.setPen(kSegment);
        painter.drawText(cell, Qt::AlignCenter, character);
    }
}

} // namespace kd::sim
