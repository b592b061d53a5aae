#include "model/emulation/interpreter.h"

#include <algorithm>

namespace kd::sim {
namespace {

// A command that never completes (a lost end byte, a flood of parameters) is dropped after this
// many bytes, so that the display cannot fall silent.
constexpr std::size_t kMaxCommandLength = 512;

} // namespace

std::string emulationName(Emulation emulation) {
    switch (emulation) {
    case Emulation::Standard: return "standard";
    case Emulation::Epson: return "epson";
    case Emulation::Cd5220: return "cd5220";
    case Emulation::LogicControls: return "logic-controls";
    case Emulation::Aedex: return "aedex";
    case Emulation::Ba63: return "ba63";
    case Emulation::Dsp800: return "dsp800";
    case Emulation::UtcEnhanced: return "utc-enhanced";
    case Emulation::Iee: return "iee";
    case Emulation::Icd2002: return "icd2002";
    case Emulation::Adm787: return "adm787";
    case Emulation::Auto: return "auto";
    }
    return {};
}

std::string emulationTitle(Emulation emulation, Language language) {
    switch (emulation) {
    case Emulation::Standard: return say(language, Msg::TitleStandard);
    case Emulation::Epson: return "Epson ESC/POS";
    case Emulation::Cd5220: return "CD5220";
    case Emulation::LogicControls: return "Logic Controls";
    case Emulation::Aedex: return "AEDEX";
    case Emulation::Ba63: return "BA63/BA66";
    case Emulation::Dsp800: return "DSP-800";
    case Emulation::UtcEnhanced: return say(language, Msg::TitleUtcEnhanced);
    case Emulation::Iee: return "IEE";
    case Emulation::Icd2002: return "ICD-2002";
    case Emulation::Adm787: return "ADM-787/788";
    case Emulation::Auto: return say(language, Msg::TitleAuto);
    }
    return {};
}

const std::vector<Emulation> &allEmulations() {
    static const std::vector<Emulation> all = {
        Emulation::Standard, Emulation::Epson,   Emulation::Cd5220, Emulation::LogicControls,
        Emulation::Aedex,    Emulation::Ba63,    Emulation::Dsp800, Emulation::UtcEnhanced,
        Emulation::Iee,      Emulation::Icd2002, Emulation::Adm787, Emulation::Auto};
    return all;
}

std::optional<Emulation> emulationNamed(std::string_view name) {
    for (Emulation emulation : allEmulations()) {
        if (emulationName(emulation) == name)
            return emulation;
    }
    return std::nullopt;
}

std::string writeModeName(WriteMode mode, Language language) {
    switch (mode) {
    case WriteMode::Overwrite: return say(language, Msg::ModeOverwrite);
    case WriteMode::VerticalScroll: return say(language, Msg::ModeVerticalScroll);
    case WriteMode::HorizontalScroll: return say(language, Msg::ModeHorizontalScroll);
    }
    return {};
}

std::string peripheralName(Peripheral peripheral, Language language) {
    switch (peripheral) {
    case Peripheral::Display: return say(language, Msg::PeripheralDisplay);
    case Peripheral::Printer: return say(language, Msg::PeripheralPrinter);
    case Peripheral::Both: return say(language, Msg::PeripheralBoth);
    }
    return {};
}

void Context::command(std::string_view bytes, const std::string &meaning) {
    flushText();
    if (m_budget == 0) {
        ++m_skipped;
        return;
    }
    --m_budget;
    if (m_log)
        m_log({hexBytes(bytes), meaning});
}

Parse Context::refuse(std::string_view bytes, Msg why, Args args) {
    command(bytes, logging() ? say(Msg::Refused, {say(why, args)}) : std::string());
    return Parse::done(bytes.size());
}

Parse Context::refuse(std::string_view bytes, const std::string &why) {
    command(bytes, logging() ? say(Msg::Refused, {why}) : std::string());
    return Parse::done(bytes.size());
}

std::size_t Context::startBudget(std::size_t entries) {
    m_budget = entries;
    const std::size_t skipped = m_skipped;
    m_skipped = 0;
    return skipped;
}

void Context::text(std::uint8_t byte, bool shown) {
    if (m_textLength != 0 && shown != m_textShown)
        flushText();
    m_textShown = shown;
    if (m_textLength++ < m_limits.textBytesShown)
        m_textBytes.push_back(static_cast<char>(byte));
}

void Context::textRun(std::string_view bytes) {
    if (m_textLength != 0 && !m_textShown)
        flushText();
    m_textShown = true;
    if (m_textLength < m_limits.textBytesShown)
        m_textBytes.append(bytes.substr(0, m_limits.textBytesShown - m_textLength));
    m_textLength += bytes.size();
}

void Context::flushText() {
    if (m_textLength == 0)
        return;
    const std::size_t length = m_textLength;
    m_textLength = 0;
    if (m_budget == 0) {
        ++m_skipped;
        m_textBytes.clear();
        return;
    }
    --m_budget;
    // A long run is logged by its start and its length, so that a flood of text cannot flood
    // the log.
    std::string printableText;
    for (char byte : m_textBytes) {
        const auto value = static_cast<unsigned char>(byte);
        printableText += value >= 0x20 && value < 0x7F ? byte : '.';
    }
    std::string bytes = hexBytes(m_textBytes);
    std::string meaning;
    if (m_textBytes.size() < length) {
        meaning = say(m_textShown ? Msg::TextRunCut : Msg::PassedOnRunCut,
                      {printableText, std::to_string(length)});
        bytes += " …";
    } else {
        meaning = say(m_textShown ? Msg::TextRun : Msg::PassedOnRun, {printableText});
    }
    if (m_log)
        m_log({std::move(bytes), std::move(meaning)});
    m_textBytes.clear();
}

void Context::answer(std::string_view bytes) {
    command(bytes, logging() ? say(Msg::Answer, {hexBytes(bytes)}) : std::string());
    m_answers.append(bytes);
}

std::string Context::takeAnswers() {
    std::string answers;
    answers.swap(m_answers);
    return answers;
}

void logCommand(Context &context, std::string_view bytes, const std::string &name, Msg meaning,
                const FixedCommand::Values &values) {
    if (!context.logging()) {
        context.command(bytes, std::string());
        return;
    }
    std::string text = name + ": " + context.say(meaning);
    // The values replace {1}, {2} … of the text.
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string mark = "{" + std::to_string(i + 1) + "}";
        if (const std::size_t at = text.find(mark); at != std::string::npos)
            text.replace(at, mark.size(), values[i]);
    }
    context.command(bytes, text);
}

Parse matchFixed(const CommandTable &table, std::string_view pending, Context &context) {
    bool mayBecomeOne = false;
    for (const FixedCommand &command : table) {
        const std::string_view lead = command.lead;
        const std::size_t compared = std::min(pending.size(), lead.size());
        if (pending.substr(0, compared) != lead.substr(0, compared))
            continue;
        const std::size_t length = command.lead.size() + command.parameters;
        if (pending.size() < length) {
            mayBecomeOne = true;
            continue;
        }
        const std::string_view bytes = pending.substr(0, length);
        const Expected<FixedCommand::Values> done =
            command.action(bytes.substr(command.lead.size()));
        if (!done.ok()) {
            if (command.refusalTakesLeadOnly)
                return context.refuse(bytes.substr(0, command.lead.size()),
                                      command.name + ": " + done.error);
            return context.refuse(bytes, command.name + ": " + done.error);
        }
        logCommand(context, bytes, command.name, command.meaning, done.value);
        return Parse::done(length);
    }
    return mayBecomeOne ? Parse::incomplete() : Parse::notMine();
}

void Interpreter::feed(std::string_view bytes) {
    for (char byte : bytes)
        feed(static_cast<std::uint8_t>(byte));
}

void Interpreter::feed(std::uint8_t byte) {
    // Most bytes are a whole command or character by themselves: taken without queueing.
    if (m_pending.empty()) {
        const char single = static_cast<char>(byte);
        const Parse result = parse(std::string_view(&single, 1));
        if (result.kind == Parse::Done)
            return;
        if (result.kind == Parse::NotMine) {
            refuse(std::string_view(&single, 1), Msg::Unknown);
            return;
        }
    }
    m_pending.push_back(static_cast<char>(byte));
    while (!m_pending.empty()) {
        Parse result = parse(m_pending);
        if (result.kind == Parse::Incomplete) {
            if (m_pending.size() < kMaxCommandLength)
                return;
            pendingDropped();
            result = refuse(m_pending, Msg::NeverEnds, {std::to_string(kMaxCommandLength)});
        }
        if (result.kind == Parse::NotMine)
            result = refuse(m_pending.substr(0, 1), Msg::Unknown);
        m_pending.erase(0, std::max<std::size_t>(result.length, 1));
    }
}

void Interpreter::discardPending() {
    if (m_pending.empty())
        return;
    m_context.command(m_pending, Msg::SenderGone);
    m_pending.clear();
    pendingDropped();
}

std::string hexByte(std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0xF]};
}

bool printable(std::uint8_t byte) {
    return byte >= 0x20 && byte != 0x7F;
}

std::string number(int value) {
    return std::to_string(value);
}

} // namespace kd::sim
