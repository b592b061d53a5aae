#include "display_model.h"

#include "encoding/control_bytes.h"
#include "encoding/windows1252.h"

namespace kd::sim {
namespace {

constexpr std::uint8_t kStx = kStartOfText;
constexpr std::uint8_t kEnq = kEnquiry;
constexpr std::uint8_t kEtx = kEndOfText;

bool printable(std::uint8_t byte) {
    if (byte < 0x20 || byte == 0x7F)
        return false;
    const char16_t character = fromWindows1252(byte);
    return !(character >= 0x80 && character < 0xA0); // unassigned bytes map to C1 controls
}

std::string hexByte(std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0xF]};
}

} // namespace

DisplayModel::DisplayModel() {
    clear();
}

void DisplayModel::clear() {
    for (int row = 0; row < kRows; ++row) {
        m_cells[static_cast<std::size_t>(row)].assign(kColumns, u' ');
        m_runningText[static_cast<std::size_t>(row)].clear();
    }
    m_row = 0;
    m_column = 0;
}

void DisplayModel::feed(std::string_view bytes) {
    for (char byte : bytes)
        feed(static_cast<std::uint8_t>(byte));
}

void DisplayModel::feed(std::uint8_t byte) {
    switch (m_state) {
    case State::Frame:
        if (byte == kEtx) {
            endFrame();
        } else if (m_frame.size() == kMaxFrameLength) {
            m_notices.push_back("Rahmen länger als " + std::to_string(kMaxFrameLength) +
                                " Bytes verworfen");
            m_state = State::Discard;
        } else {
            m_frame.push_back(static_cast<char>(byte));
        }
        return;
    case State::Discard:
        // The rest of an over-long frame is dropped up to its ETX; a clear ends it too, so that
        // a lost ETX does not silence the display.
        if (byte == kEtx) {
            m_state = State::Text;
        } else if (byte == kFormFeed) {
            m_state = State::Text;
            clear();
        }
        return;
    case State::Text: break;
    }
    if (byte == kStx) {
        m_state = State::Frame;
        m_frame.clear();
    } else if (printable(byte)) {
        write(fromWindows1252(byte));
    } else {
        control(byte);
    }
}

void DisplayModel::control(std::uint8_t byte) {
    switch (byte) {
    case kFormFeed: clear(); break;
    case kCarriageReturn: m_column = 0; break;
    case kLineFeed: m_row = (m_row + 1) % kRows; break;
    default: m_notices.push_back("Steuerbyte " + hexByte(byte) + " ignoriert"); break;
    }
}

void DisplayModel::write(char16_t character) {
    stopRunning(m_row);
    m_cells[static_cast<std::size_t>(m_row)][static_cast<std::size_t>(m_column)] = character;
    if (++m_column == kColumns) {
        m_column = 0;
        m_row = (m_row + 1) % kRows;
    }
}

void DisplayModel::endFrame() {
    m_state = State::Text;
    const std::string frame = m_frame;
    if (frame.size() >= 3 && frame[0] == kEnq && frame[1] == 'L' &&
        (frame[2] == '1' || frame[2] == '2')) {
        const int row = frame[2] - '1';
        std::u16string text;
        for (std::size_t i = 3; i < frame.size(); ++i) {
            const auto byte = static_cast<std::uint8_t>(frame[i]);
            text.push_back(printable(byte) ? fromWindows1252(byte) : u' ');
        }
        stopRunning(row);
        m_runningText[static_cast<std::size_t>(row)] = text;
        m_offset[static_cast<std::size_t>(row)] = 0;
        if (text.empty())
            m_cells[static_cast<std::size_t>(row)].assign(kColumns, u' ');
        return;
    }
    if (frame.size() == 3 && frame[0] == kEnq && frame[1] == 'D') {
        const int units = static_cast<std::uint8_t>(frame[2]);
        m_stepMs = units == 0 ? kDefaultStepMs : units * kStepUnitMs;
        return;
    }
    m_notices.push_back("Unbekannter Rahmen verworfen: " + hexBytes(frame));
}

std::u16string DisplayModel::line(int row) const {
    const auto index = static_cast<std::size_t>(row);
    const std::u16string &text = m_runningText[index];
    if (text.empty())
        return m_cells[index];
    std::u16string view;
    if (text.size() <= static_cast<std::size_t>(kColumns)) {
        view = text;
        view.resize(kColumns, u' ');
        return view;
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(kColumns); ++i)
        view.push_back(text[(m_offset[index] + i) % text.size()]);
    return view;
}

void DisplayModel::stopRunning(int row) {
    const auto index = static_cast<std::size_t>(row);
    if (m_runningText[index].empty())
        return;
    m_cells[index] = line(row); // the running text stands still where it was
    m_runningText[index].clear();
}

void DisplayModel::step() {
    for (std::size_t row = 0; row < kRows; ++row) {
        if (m_runningText[row].size() > static_cast<std::size_t>(kColumns))
            m_offset[row] = (m_offset[row] + 1) % m_runningText[row].size();
    }
}

std::vector<std::string> DisplayModel::takeNotices() {
    std::vector<std::string> notices;
    notices.swap(m_notices);
    return notices;
}

std::string hexBytes(std::string_view bytes) {
    std::string text;
    for (char byte : bytes) {
        if (!text.empty())
            text += ' ';
        text += hexByte(static_cast<std::uint8_t>(byte));
    }
    return text;
}

std::string printableBytes(std::string_view bytes) {
    std::string text;
    for (char byte : bytes) {
        const auto value = static_cast<std::uint8_t>(byte);
        text += value >= 0x20 && value < 0x7F ? byte : '.';
    }
    return text;
}

} // namespace kd::sim
