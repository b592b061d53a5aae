#include "model/recording.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace kd::sim {
namespace {

// The longest line a reader accepts: a full line of kMostBytesPerLine bytes with room to spare.
constexpr std::size_t kLongestLine = 4 * kMostBytesPerLine;
constexpr std::size_t kReadSize = 64 * 1024;

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::string> fromHex(std::string_view text) {
    std::string bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size())
            return std::nullopt;
        const int high = hexValue(text[i]);
        const int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return bytes;
}

// One arrival line, "<time> <source> <hex>", or why it is malformed.
std::optional<Arrival> parseLine(std::string_view line, int number, std::string &error,
                                 Language language) {
    Arrival arrival;
    const auto [afterTime, ec] =
        std::from_chars(line.data(), line.data() + line.size(), arrival.atMs);
    const std::size_t timeLength = static_cast<std::size_t>(afterTime - line.data());
    if (ec == std::errc::result_out_of_range ||
        (ec == std::errc() && (arrival.atMs < 0 || arrival.atMs > kLatestArrivalMs))) {
        error = say(language, Msg::RecordingTimeOutOfRange,
                    {std::to_string(number), std::to_string(kLatestArrivalMs),
                     std::string(line.substr(0, timeLength))});
        return std::nullopt;
    }
    const std::size_t sourceEnd = line.find(' ', timeLength + 1);
    const std::optional<std::string> bytes =
        sourceEnd == std::string_view::npos ? std::nullopt : fromHex(line.substr(sourceEnd + 1));
    if (ec != std::errc() || timeLength >= line.size() || line[timeLength] != ' ' || !bytes) {
        error = say(language, Msg::RecordingLineMalformed, {std::to_string(number)});
        return std::nullopt;
    }
    arrival.source = std::string(line.substr(timeLength + 1, sourceEnd - timeLength - 1));
    arrival.bytes = *bytes;
    return arrival;
}

} // namespace

std::string recordLine(const Arrival &arrival) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line = std::to_string(arrival.atMs) + ' ' + arrival.source + ' ';
    line.reserve(line.size() + arrival.bytes.size() * 3 + 1);
    for (std::size_t i = 0; i < arrival.bytes.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(arrival.bytes[i]);
        if (i)
            line += ' ';
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0xF];
    }
    return line + '\n';
}

RecordingReader::RecordingReader(Read read, Language language)
    : m_read(std::move(read)), m_language(language) {}

bool RecordingReader::fill() {
    if (m_atEnd)
        return false;
    // What was read already goes, so that the buffer holds at most a line and a read.
    m_buffer.erase(0, m_position);
    m_position = 0;
    const std::size_t size = m_buffer.size();
    m_buffer.resize(size + kReadSize);
    std::ptrdiff_t count = -1;
    do {
        count = m_read(m_buffer.data() + size, kReadSize);
    } while (count < 0 && errno == EINTR);
    m_buffer.resize(size + static_cast<std::size_t>(std::max<std::ptrdiff_t>(count, 0)));
    if (count < 0) {
        m_readError = errno;
        m_error = say(m_language, Msg::RecordingUnreadable, {std::strerror(errno)});
        m_atEnd = true;
        return false;
    }
    if (count == 0)
        m_atEnd = true;
    return count > 0;
}

std::optional<Arrival> RecordingReader::fail(const std::string &error) {
    m_error = error;
    m_atEnd = true;
    m_buffer.clear();
    m_position = 0;
    return std::nullopt;
}

std::optional<Arrival> RecordingReader::nextRaw() {
    if (m_position == m_buffer.size() && !fill())
        return std::nullopt;
    Arrival arrival{0, say(m_language, Msg::SourceFile), m_buffer.substr(m_position)};
    m_position = m_buffer.size();
    return arrival;
}

std::optional<Arrival> RecordingReader::next() {
    if (!m_error.empty())
        return std::nullopt;
    if (!m_started) {
        m_started = true;
        while (m_buffer.size() < kRecordingHeader.size() && fill()) {
        }
        if (!m_error.empty())
            return std::nullopt;
        m_raw = std::string_view(m_buffer).substr(0, kRecordingHeader.size()) != kRecordingHeader;
    }
    if (m_raw)
        return nextRaw();
    for (;;) {
        std::size_t end = m_buffer.find('\n', m_position);
        while (end == std::string::npos) {
            if (m_buffer.size() - m_position > kLongestLine)
                return fail(
                    say(m_language, Msg::RecordingLineTooLong, {std::to_string(m_lineNumber + 1)}));
            const std::size_t searched = m_buffer.size() - m_position;
            if (!fill()) {
                if (!m_error.empty())
                    return std::nullopt;
                end = m_buffer.size(); // the last line may lack its line end
                break;
            }
            end = m_buffer.find('\n', m_position + searched);
        }
        if (m_position >= m_buffer.size())
            return std::nullopt;
        const std::string_view line(m_buffer.data() + m_position, end - m_position);
        m_position = std::min(end + 1, m_buffer.size());
        ++m_lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        std::string error;
        std::optional<Arrival> arrival = parseLine(line, m_lineNumber, error, m_language);
        if (!arrival)
            return fail(error);
        return arrival;
    }
}

ReadRecording readRecording(std::string_view content, Language language) {
    ReadRecording result;
    RecordingReader reader(
        [&content](char *buffer, std::size_t size) {
            const std::size_t count = std::min(size, content.size());
            content.copy(buffer, count);
            content.remove_prefix(count);
            return static_cast<std::ptrdiff_t>(count);
        },
        language);
    while (std::optional<Arrival> arrival = reader.next())
        result.arrivals.push_back(std::move(*arrival));
    if (!reader.error().empty()) {
        result.error = reader.error();
        result.arrivals.clear();
    }
    return result;
}

} // namespace kd::sim
