#include "encoding/line_settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace kd {
namespace {

constexpr std::array kStandardBaudRates = {110,  300,   600,   1200,  2400,   4800,
                                           9600, 19200, 38400, 57600, 115200, 230400};
constexpr char kParityLetters[] = "NEOMS";
constexpr const char *kStopTexts[] = {"1", "1.5", "2"};

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(
            text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

bool parseNumber(std::string_view field, int &value) {
    if (field.empty() || field.size() > 9)
        return false;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    return ec == std::errc() && end == field.data() + field.size();
}

ParsedLineSettings refused(LineSettingsFault::Field field, std::string_view text) {
    return {std::nullopt, {field, std::string(text)}};
}

} // namespace

ParsedLineSettings parseLineSettings(std::string_view text) {
    const std::vector<std::string_view> fields = splitFields(text);
    if (fields.size() != 4)
        return refused(LineSettingsFault::FieldCount, std::to_string(fields.size()));
    LineSettings settings;

    if (!parseNumber(fields[0], settings.baudRate) ||
        std::find(kStandardBaudRates.begin(), kStandardBaudRates.end(), settings.baudRate) ==
            kStandardBaudRates.end())
        return refused(LineSettingsFault::BaudRate, fields[0]);

    const std::string_view parity = fields[1];
    const char letter = parity.size() == 1 ? static_cast<char>(parity[0] & ~0x20) : '\0';
    const char *found = letter ? std::find(kParityLetters, kParityLetters + 5, letter) : nullptr;
    if (!found || found == kParityLetters + 5)
        return refused(LineSettingsFault::Parity, parity);
    settings.parity = static_cast<Parity>(found - kParityLetters);

    if (!parseNumber(fields[2], settings.dataBits) || settings.dataBits < 5 ||
        settings.dataBits > 8)
        return refused(LineSettingsFault::DataBits, fields[2]);

    const std::string_view stop = fields[3];
    const auto stopText = std::find(std::begin(kStopTexts), std::end(kStopTexts), stop);
    if (stopText == std::end(kStopTexts))
        return refused(LineSettingsFault::StopBits, stop);
    settings.stopBits = static_cast<StopBits>(stopText - std::begin(kStopTexts));
    return {settings, {}};
}

std::string formatLineSettings(const LineSettings &settings) {
    return std::to_string(settings.baudRate) + ',' +
           kParityLetters[static_cast<int>(settings.parity)] + ',' +
           std::to_string(settings.dataBits) + ',' +
           kStopTexts[static_cast<int>(settings.stopBits)];
}

std::string shortLineSettings(const LineSettings &settings) {
    return std::to_string(settings.baudRate) + ' ' + std::to_string(settings.dataBits) +
           kParityLetters[static_cast<int>(settings.parity)] +
           kStopTexts[static_cast<int>(settings.stopBits)];
}

} // namespace kd
