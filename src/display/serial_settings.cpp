#include "display/serial_settings.h"

#include "core/error.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace kd {
namespace {

constexpr std::array kStandardBaudRates = {110,  300,   600,   1200,  2400,   4800,
                                           9600, 19200, 38400, 57600, 115200, 230400};

[[noreturn]] void refuse(std::string_view text, const std::string &reason) {
    throwError(err::kInvalidPropertyValue,
          "Ungültiger Eigenschaftswert: Settings \"" + std::string(text) + "\": " + reason);
}

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

} // namespace

LineSettings parseSettings(std::string_view text) {
    const std::vector<std::string_view> fields = splitFields(text);
    if (fields.size() != 4)
        refuse(text,
               "erwartet werden 4 Felder \"Baudrate,Parität,Datenbits,Stoppbits\", gefunden " +
                   std::to_string(fields.size()));
    LineSettings settings;

    if (!parseNumber(fields[0], settings.baudRate) ||
        std::find(kStandardBaudRates.begin(), kStandardBaudRates.end(), settings.baudRate) ==
            kStandardBaudRates.end())
        refuse(text, "Baudrate \"" + std::string(fields[0]) + "\" ist keine Standard-Baudrate");

    const std::string_view parity = fields[1];
    const char letter = parity.size() == 1 ? static_cast<char>(parity[0] & ~0x20) : '\0';
    switch (letter) {
    case 'N': settings.parity = Parity::None; break;
    case 'E': settings.parity = Parity::Even; break;
    case 'O': settings.parity = Parity::Odd; break;
    case 'M': settings.parity = Parity::Mark; break;
    case 'S': settings.parity = Parity::Space; break;
    default: refuse(text, "Parität \"" + std::string(parity) + "\" ist nicht N, E, O, M oder S");
    }

    if (!parseNumber(fields[2], settings.dataBits) || settings.dataBits < 5 ||
        settings.dataBits > 8)
        refuse(text, "Datenbits \"" + std::string(fields[2]) + "\" liegen nicht zwischen 5 und 8");

    const std::string_view stop = fields[3];
    if (stop == "1")
        settings.stopBits = StopBits::One;
    else if (stop == "1.5")
        settings.stopBits = StopBits::OneAndHalf;
    else if (stop == "2")
        settings.stopBits = StopBits::Two;
    else
        refuse(text, "Stoppbits \"" + std::string(stop) + "\" sind nicht 1, 1.5 oder 2");
    return settings;
}

std::string formatSettings(const LineSettings &settings) {
    static constexpr char kParityLetters[] = "NEOMS";
    static constexpr const char *kStopTexts[] = {"1", "1.5", "2"};
    return std::to_string(settings.baudRate) + ',' +
           kParityLetters[static_cast<int>(settings.parity)] + ',' +
           std::to_string(settings.dataBits) + ',' +
           kStopTexts[static_cast<int>(settings.stopBits)];
}

} // namespace kd
