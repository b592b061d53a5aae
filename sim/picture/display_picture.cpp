#include "picture/display_picture.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace kd::sim {
namespace {

constexpr int kCellWidth = 22;
constexpr int kCellHeight = 34;
constexpr int kGap = 3;
constexpr int kBezelBorder = 6;
constexpr int kBezelMargin = 14;
constexpr int kLineSpacing = 4;
const QColor kGlass(0x06, 0x0d, 0x0c);
const QColor kCell(0x0c, 0x1c, 0x19);
const QColor kSegment(0x7d, 0xff, 0xe0);
const QColor kBezel(0x1b, 0x1d, 0x1f);
const QColor kBezelEdge(0x2b, 0x2e, 0x31);

// The phosphor's colour at a brightness: dimmer displays glow less and look darker.
QColor glowing(int brightness, int alpha = 255) {
    const double level = 0.25 + 0.75 * std::clamp(brightness, 0, 100) / 100.0;
    const auto mix = [&](int bright, int dark) {
        return static_cast<int>(dark + (bright - dark) * level);
    };
    return QColor(mix(kSegment.red(), kCell.red()), mix(kSegment.green(), kCell.green()),
                  mix(kSegment.blue(), kCell.blue()), alpha);
}

void drawGlyph(QPainter &painter, const QRect &cell, const Glyph &glyph, const QColor &color) {
    const int dot = std::min(cell.width() / 6, cell.height() / 8);
    const int left = cell.left() + (cell.width() - 5 * dot) / 2;
    const int top = cell.top() + (cell.height() - 7 * dot) / 2;
    for (int column = 0; column < 5; ++column) {
        for (int row = 0; row < 7; ++row) {
            if (glyph[static_cast<std::size_t>(column)] & (1 << row))
                painter.fillRect(left + column * dot, top + row * dot, dot - 1, dot - 1, color);
        }
    }
}

} // namespace

QFont displayFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(26);
    font.setBold(true);
    return font;
}

LineView lineView(const Screen &screen, int row) {
    LineView view;
    for (int column = 0; column < Screen::kColumns; ++column)
        view.cells[static_cast<std::size_t>(column)] = screen.cell(row, column);
    view.cursorColumn =
        screen.cursorVisible() && screen.cursorRow() == row ? screen.cursorColumn() : -1;
    view.cursorStyle = screen.cursorStyle();
    view.brightness = screen.brightness();
    view.displayOn = screen.displayOn();
    view.screenBlinks = screen.blinkMs() > 0;
    return view;
}

QSize lineSize() {
    return {Screen::kColumns * (kCellWidth + kGap) + kGap, kCellHeight + 2 * kGap};
}

void paintLine(QPainter &painter, const QRect &rect, const LineView &view, bool phase) {
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(rect, kGlass);
    const bool lit = view.displayOn && (!view.screenBlinks || phase);
    const QColor segment = glowing(view.brightness);
    const QColor halo = glowing(view.brightness, 30 + 60 * view.brightness / 100);
    for (int column = 0; column < Screen::kColumns; ++column) {
        const QRect cellRect(rect.left() + kGap + column * (kCellWidth + kGap), rect.top() + kGap,
                             kCellWidth, kCellHeight);
        painter.fillRect(cellRect, kCell);
        if (!lit)
            continue;
        const Cell &cell = view.cells[static_cast<std::size_t>(column)];
        const bool cursorHere = column == view.cursorColumn;
        const bool block = cursorHere && view.cursorStyle == CursorStyle::Block;
        const bool inverted = cell.reverse != block;
        if (inverted)
            painter.fillRect(cellRect.adjusted(1, 1, -1, -1), segment);
        const QColor ink = inverted ? kCell : segment;
        if (!(cell.blink && !phase)) {
            if (cell.user) {
                drawGlyph(painter, cellRect, cell.glyph, ink);
            } else if (cell.character != u' ') {
                const QString character(QChar(cell.character));
                if (!inverted) {
                    // A soft halo under the bright character, as the phosphor glows.
                    painter.setPen(halo);
                    for (const QPoint offset :
                         {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
                        painter.drawText(cellRect.translated(offset), Qt::AlignCenter, character);
                }
                painter.setPen(ink);
                painter.drawText(cellRect, Qt::AlignCenter, character);
            }
        }
        if (cursorHere && !block)
            painter.fillRect(cellRect.left() + 2, cellRect.bottom() - 3, cellRect.width() - 4, 3,
                             segment);
    }
    painter.restore();
}

QImage displayPicture(const Screen &screen) {
    const QSize line = lineSize();
    const int inset = kBezelBorder + kBezelMargin;
    QImage image(line.width() + 2 * inset, Screen::kRows * line.height() + kLineSpacing + 2 * inset,
                 QImage::Format_RGB32);
    image.fill(kBezelEdge);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath bezel;
    bezel.addRoundedRect(QRectF(image.rect())
                             .adjusted(kBezelBorder / 2.0, kBezelBorder / 2.0, -kBezelBorder / 2.0,
                                       -kBezelBorder / 2.0),
                         8, 8);
    painter.setPen(QPen(kBezelEdge, kBezelBorder));
    painter.setBrush(kBezel);
    painter.drawPath(bezel);
    painter.setFont(displayFont());
    for (int row = 0; row < Screen::kRows; ++row)
        paintLine(painter, QRect(QPoint(inset, inset + row * (line.height() + kLineSpacing)), line),
                  lineView(screen, row), true);
    return image;
}

QString saveDisplayPicture(const Screen &screen, const QString &path) {
    QImageWriter writer(path, "png");
    if (!writer.write(displayPicture(screen)))
        return QCoreApplication::translate("kd::sim::DisplayPicture",
                                           "Picture %1 cannot be written: %2")
            .arg(path, writer.errorString());
    return {};
}

} // namespace kd::sim
