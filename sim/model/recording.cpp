#include "model/recording.h"

#include <charconv>

namespace kd::sim {
namespace {

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

} // namespace

std::string recordLine(const Arrival &arrival) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line = std::to_string(arrival.atMs) + ' ' + arrival.source + ' ';
    for (std::size_t i = 0; i < arrival.bytes.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(arrival.bytes[i]);
        if (i)
            line += ' ';
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0xF];
    }
    return line + '\n';
}

std::optional<Arrival> parseRecordingLine(std::string_view line) {
    Arrival arrival;
    const auto [afterTime, ec] =
        std::from_chars(line.data(), line.data() + line.size(), arrival.atMs);
    const std::size_t timeLength = static_cast<std::size_t>(afterTime - line.data());
    const std::size_t sourceEnd = line.find(' ', timeLength + 1);
    const std::optional<std::string> bytes =
        sourceEnd == std::string_view::npos ? std::nullopt : fromHex(line.substr(sourceEnd + 1));
    if (ec != std::errc() || timeLength >= line.size() || line[timeLength] != ' ' || !bytes)
        return std::nullopt;
    arrival.source = std::string(line.substr(timeLength + 1, sourceEnd - timeLength - 1));
    arrival.bytes = *bytes;
    return arrival;
}

std::string malformedRecordingLine(int number) {
    return "Zeile " + std::to_string(number) + " der Aufzeichnung ist fehlerhaft";
}

ReadRecording readRecording(std::string_view content) {
    ReadRecording result;
    if (content.substr(0, kRecordingHeader.size()) != kRecordingHeader) {
        result.arrivals.push_back({0, "Datei", std::string(content)});
        return result;
    }
    std::size_t start = 0;
    int number = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos)
            end = content.size();
        const std::string_view line = content.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.empty() || line.front() == '#')
            continue;
        std::optional<Arrival> arrival = parseRecordingLine(line);
        if (!arrival) {
            result.error = malformedRecordingLine(number);
            result.arrivals.clear();
            return result;
        }
        result.arrivals.push_back(std::move(*arrival));
    }
    return result;
}

} // namespace kd::sim
