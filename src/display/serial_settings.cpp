#include "display/serial_settings.h"

#include "core/error.h"

namespace kd {
namespace {

std::string reason(const LineSettingsFault &fault) {
    switch (fault.field) {
    case LineSettingsFault::FieldCount:
        return "erwartet werden 4 Felder \"Baudrate,Parität,Datenbits,Stoppbits\", gefunden " +
               fault.text;
    case LineSettingsFault::BaudRate:
        return "Baudrate \"" + fault.text + "\" ist keine Standard-Baudrate";
    case LineSettingsFault::Parity:
        return "Parität \"" + fault.text + "\" ist nicht N, E, O, M oder S";
    case LineSettingsFault::DataBits:
        return "Datenbits \"" + fault.text + "\" liegen nicht zwischen 5 und 8";
    case LineSettingsFault::StopBits:
        return "Stoppbits \"" + fault.text + "\" sind nicht 1, 1.5 oder 2";
    }
    return {};
}

} // namespace

LineSettings parseSettings(std::string_view text) {
    const ParsedLineSettings parsed = parseLineSettings(text);
    if (!parsed.settings)
        throwError(err::kInvalidPropertyValue, "Ungültiger Eigenschaftswert: Settings \"" +
                                                   std::string(text) +
                                                   "\": " + reason(parsed.fault));
    return *parsed.settings;
}

std::string formatSettings(const LineSettings &settings) {
    return formatLineSettings(settings);
}

} // namespace kd
