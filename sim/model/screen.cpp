#include "model/screen.h"

#include <algorithm>

namespace kd::sim {
namespace {

constexpr int kLastColumn = Screen::kColumns - 1;
constexpr char16_t kUserCharacterText = u'\u25A1';

std::u16string marqueeView(const Marquee &marquee) {
    const std::u16string &text = marquee.text;
    std::u16string view;
    if (marquee.once) {
        // The text comes in from the right and moves left until its end reaches the last column.
        const std::u16string track = std::u16string(Screen::kColumns, u' ') + text;
        view = track.substr(std::min(marquee.offset, track.size()), Screen::kColumns);
    } else if (text.size() <= static_cast<std::size_t>(Screen::kColumns)) {
        view = text;
    } else {
        for (std::size_t i = 0; i < static_cast<std::size_t>(Screen::kColumns); ++i)
            view.push_back(text[(marquee.offset + i) % text.size()]);
    }
    view.resize(Screen::kColumns, u' ');
    return view;
}

} // namespace

Screen::Screen() {
    powerOn(PowerOn{});
}

void Screen::powerOn(const PowerOn &state) {
    for (auto &row : m_cells)
        row.fill(Cell{});
    for (Marquee &marquee : m_marquees)
        marquee = Marquee{};
    m_row = 0;
    m_column = 0;
    m_parked = false;
    m_mode = state.mode;
    m_cursorVisible = state.cursorVisible;
    m_cursorStyle = state.cursorStyle;
    m_brightness = 100;
    m_displayOn = true;
    m_blinkMs = 0;
    m_reverse = false;
    m_blinkingText = false;
    m_codeTable = state.codeTable;
    m_nationalSet = state.nationalSet.value_or(NationalSet::Usa);
    m_peripheral = Peripheral::Display;
    m_userCharacters.clear();
    m_userSelected = false;
}

void Screen::adoptSettings(const PowerOn &state) {
    m_mode = state.mode;
    m_codeTable = state.codeTable;
    m_cursorVisible = state.cursorVisible;
    m_cursorStyle = state.cursorStyle;
    if (state.nationalSet)
        m_nationalSet = *state.nationalSet;
    m_parked = false;
}

Cell &Screen::at(int row, int column) {
    return m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

Cell Screen::cell(int row, int column) const {
    const Marquee &marquee = m_marquees[static_cast<std::size_t>(row)];
    if (marquee.active())
        return Cell{marqueeView(marquee)[static_cast<std::size_t>(column)]};
    return m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

std::u16string Screen::line(int row) const {
    std::u16string text;
    for (int column = 0; column < kColumns; ++column) {
        const Cell shown = cell(row, column);
        text.push_back(shown.user ? kUserCharacterText : shown.character);
    }
    return text;
}

void Screen::putByte(std::uint8_t byte) {
    const char16_t character = textGlyphOf(byte, m_codeTable, m_nationalSet);
    if (m_userSelected) {
        if (const auto glyph = m_userCharacters.find(byte); glyph != m_userCharacters.end()) {
            put(character, &glyph->second);
            return;
        }
    }
    put(character);
}

void Screen::putBytes(std::string_view bytes) {
    for (char byte : bytes)
        putByte(static_cast<std::uint8_t>(byte));
}

void Screen::put(char16_t character, const Glyph *glyph) {
    if (m_marquees[static_cast<std::size_t>(m_row)].active())
        stopMarquee(m_row);
    Cell written;
    written.character = character;
    written.reverse = m_reverse;
    written.blink = m_blinkingText;
    if (glyph) {
        written.user = true;
        written.glyph = *glyph;
    }
    if (m_mode == WriteMode::HorizontalScroll) {
        if (m_parked)
            shiftLineLeft(m_row);
        at(m_row, m_column) = written;
        if (m_column == kLastColumn)
            m_parked = true;
        else
            ++m_column;
        return;
    }
    at(m_row, m_column) = written;
    if (m_column < kLastColumn)
        ++m_column;
    else if (m_row == 0)
        m_row = 1, m_column = 0;
    else if (m_mode == WriteMode::VerticalScroll)
        scrollUp(), m_column = 0;
    else
        m_row = 0, m_column = 0;
}

void Screen::cursorRight() {
    m_parked = false;
    if (m_column < kLastColumn) {
        ++m_column;
    } else if (m_mode == WriteMode::HorizontalScroll) {
        shiftLineLeft(m_row);
    } else if (m_row == 0) {
        m_row = 1, m_column = 0;
    } else if (m_mode == WriteMode::VerticalScroll) {
        scrollUp(), m_column = 0;
    } else {
        m_row = 0, m_column = 0;
    }
}

void Screen::cursorLeft() {
    m_parked = false;
    if (m_column > 0) {
        --m_column;
    } else if (m_mode == WriteMode::HorizontalScroll) {
        shiftLineRight(m_row);
    } else if (m_row == 1) {
        m_row = 0, m_column = kLastColumn;
    } else if (m_mode == WriteMode::VerticalScroll) {
        scrollDown(), m_column = kLastColumn;
    } else {
        m_row = 1, m_column = kLastColumn;
    }
}

void Screen::backspace() {
    cursorLeft();
    stopMarquee(m_row);
    at(m_row, m_column) = Cell{};
}

void Screen::cursorDown() {
    m_parked = false;
    if (m_row == 0)
        m_row = 1;
    else if (m_mode == WriteMode::VerticalScroll)
        scrollUp();
    else if (m_mode == WriteMode::Overwrite)
        m_row = 0;
}

void Screen::cursorUp() {
    m_parked = false;
    if (m_row == 1)
        m_row = 0;
    else if (m_mode == WriteMode::VerticalScroll)
        scrollDown();
    else if (m_mode == WriteMode::Overwrite)
        m_row = 1;
}

void Screen::carriageReturn() {
    m_parked = false;
    m_column = 0;
}

void Screen::lineEnd() {
    m_parked = false;
    m_column = kLastColumn;
}

void Screen::home() {
    setCursor(0, 0);
}

void Screen::bottomLeft() {
    setCursor(1, 0);
}

bool Screen::setCursor(int row, int column) {
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns)
        return false;
    m_parked = false;
    m_row = row;
    m_column = column;
    return true;
}

void Screen::clear() {
    for (auto &row : m_cells)
        row.fill(Cell{});
    for (Marquee &marquee : m_marquees)
        marquee = Marquee{};
    m_row = 0;
    m_column = 0;
    m_parked = false;
}

void Screen::clearLine(int row) {
    m_marquees[static_cast<std::size_t>(row)] = Marquee{};
    m_cells[static_cast<std::size_t>(row)].fill(Cell{});
    m_row = row;
    m_column = 0;
    m_parked = false;
}

void Screen::clearToEndOfLine() {
    stopMarquee(m_row);
    for (int column = m_column; column < kColumns; ++column)
        at(m_row, column) = Cell{};
}

void Screen::writeLine(int row, const std::u16string &text) {
    m_marquees[static_cast<std::size_t>(row)] = Marquee{};
    auto &cells = m_cells[static_cast<std::size_t>(row)];
    cells.fill(Cell{});
    for (std::size_t i = 0; i < text.size() && i < cells.size(); ++i)
        cells[i].character = text[i];
}

void Screen::scrollUp() {
    stopMarquees();
    m_cells[0] = m_cells[1];
    m_cells[1].fill(Cell{});
}

void Screen::scrollDown() {
    stopMarquees();
    m_cells[1] = m_cells[0];
    m_cells[0].fill(Cell{});
}

void Screen::shiftLineLeft(int row) {
    auto &cells = m_cells[static_cast<std::size_t>(row)];
    std::rotate(cells.begin(), cells.begin() + 1, cells.end());
    cells.back() = Cell{};
}

void Screen::shiftLineRight(int row) {
    auto &cells = m_cells[static_cast<std::size_t>(row)];
    std::rotate(cells.rbegin(), cells.rbegin() + 1, cells.rend());
    cells.front() = Cell{};
}

void Screen::startMarquee(int row, const std::u16string &text, int intervalMs, bool once,
                          bool endsOnCommand) {
    auto &marquee = m_marquees[static_cast<std::size_t>(row)];
    marquee = Marquee{text, 0, intervalMs, once, endsOnCommand};
    if (text.empty())
        m_cells[static_cast<std::size_t>(row)].fill(Cell{});
}

void Screen::stopMarquee(int row) {
    auto &marquee = m_marquees[static_cast<std::size_t>(row)];
    if (!marquee.active())
        return;
    // The running text stands still where it was.
    const std::u16string view = marqueeView(marquee);
    auto &cells = m_cells[static_cast<std::size_t>(row)];
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells[i] = Cell{view[i]};
    marquee = Marquee{};
}

void Screen::stopMarquees() {
    for (int row = 0; row < kRows; ++row)
        stopMarquee(row);
}

bool Screen::tick() {
    bool changed = false;
    for (int row = 0; row < kRows; ++row) {
        Marquee &marquee = m_marquees[static_cast<std::size_t>(row)];
        if (!marquee.active())
            continue;
        if (marquee.once) {
            ++marquee.offset;
            if (marquee.offset >= marquee.text.size())
                stopMarquee(row);
            changed = true;
        } else if (marquee.text.size() > static_cast<std::size_t>(kColumns)) {
            marquee.offset = (marquee.offset + 1) % marquee.text.size();
            changed = true;
        }
    }
    return changed;
}

int Screen::tickIntervalMs() const {
    int intervalMs = 0;
    for (const Marquee &marquee : m_marquees) {
        if (marquee.active() && (intervalMs == 0 || marquee.intervalMs < intervalMs))
            intervalMs = marquee.intervalMs;
    }
    return intervalMs;
}

// Lines of some displays take text like a calculator: new characters come in at the right.
void Screen::shiftInAtRight(int row, std::uint8_t byte) {
    stopMarquee(row);
    shiftLineLeft(row);
    Cell &written = at(row, kLastColumn);
    written.character = textGlyphOf(byte, m_codeTable, m_nationalSet);
    written.reverse = m_reverse;
    written.blink = m_blinkingText;
    if (m_userSelected) {
        if (const auto glyph = m_userCharacters.find(byte); glyph != m_userCharacters.end()) {
            written.user = true;
            written.glyph = glyph->second;
        }
    }
}

void Screen::clearCells(int from, int to) {
    for (int position = std::max(from, 0); position <= std::min(to, kRows * kColumns - 1);
         ++position) {
        const int row = position / kColumns;
        stopMarquee(row);
        at(row, position % kColumns) = Cell{};
    }
}

void Screen::setLineBlinking(int row, bool blink) {
    stopMarquee(row);
    for (Cell &cell : m_cells[static_cast<std::size_t>(row)])
        cell.blink = blink;
}

} // namespace kd::sim
