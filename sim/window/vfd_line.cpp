#include "window/vfd_line.h"

#include <QFontDatabase>
#include <QPainter>

namespace kd::sim {
namespace {

constexpr int kCellWidth = 22;
constexpr int kCellHeight = 34;
constexpr int kGap = 3;
const QColor kGlass(0x06, 0x0d, 0x0c);
const QColor kCell(0x0c, 0x1c, 0x19);
const QColor kSegment(0x7d, 0xff, 0xe0);

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

VfdLine::VfdLine(QWidget *parent) : QLabel(parent) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(26);
    font.setBold(true);
    setFont(font);
    setAutoFillBackground(false);
}

QSize VfdLine::sizeHint() const {
    return {Screen::kColumns * (kCellWidth + kGap) + kGap, kCellHeight + 2 * kGap};
}

void VfdLine::show(const LineView &view) {
    QString text;
    for (const Cell &cell : view.cells)
        text += cell.user ? QChar(0x25A1) : QChar(cell.character);
    if (text != this->text())
        setText(text);
    if (view == m_view)
        return;
    m_view = view;
    update();
}

bool VfdLine::blinks() const {
    if (m_view.screenBlinks)
        return true;
    return std::any_of(m_view.cells.begin(), m_view.cells.end(),
                       [](const Cell &cell) { return cell.blink; });
}

void VfdLine::setBlinkPhase(bool on) {
    if (on == m_phase)
        return;
    m_phase = on;
    if (blinks())
        update();
}

void VfdLine::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(rect(), kGlass);
    const bool lit = m_view.displayOn && (!m_view.screenBlinks || m_phase);
    const QColor segment = glowing(m_view.brightness);
    const QColor halo = glowing(m_view.brightness, 30 + 60 * m_view.brightness / 100);
    for (int column = 0; column < Screen::kColumns; ++column) {
        const QRect cellRect(kGap + column * (kCellWidth + kGap), kGap, kCellWidth, kCellHeight);
        painter.fillRect(cellRect, kCell);
        if (!lit)
            continue;
        const Cell &cell = m_view.cells[static_cast<std::size_t>(column)];
        const bool cursorHere = column == m_view.cursorColumn;
        const bool block = cursorHere && m_view.cursorStyle == CursorStyle::Block;
        const bool inverted = cell.reverse != block;
        if (inverted)
            painter.fillRect(cellRect.adjusted(1, 1, -1, -1), segment);
        const QColor ink = inverted ? kCell : segment;
        if (!(cell.blink && !m_phase)) {
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
}

} // namespace kd::sim
