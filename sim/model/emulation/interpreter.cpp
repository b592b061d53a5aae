#include "model/emulation/interpreter.h"

#include "model/emulation/aedex.h"
#include "model/emulation/auto_detect.h"
#include "model/emulation/escpos.h"
#include "model/emulation/logic_controls.h"

namespace kd::sim {
namespace {

// A command that never completes (a lost end byte, a flood of parameters) is dropped after this
// many bytes, so that the display cannot fall silent.
constexpr std::size_t kMaxCommandLength = 512;
// How much of a run of text the log shows.
constexpr std::size_t kLoggedTextBytes = 32;

} // namespace

std::string emulationName(Emulation emulation) {
    switch (emulation) {
    case Emulation::Standard: return "standard";
    case Emulation::Epson: return "epson";
    case Emulation::Cd5220: return "cd5220";
    case Emulation::LogicControls: return "logic-controls";
    case Emulation::Aedex: return "aedex";
    case Emulation::Auto: return "auto";
    }
    return {};
}

std::string emulationTitle(Emulation emulation) {
    switch (emulation) {
    case Emulation::Standard: return "Standard";
    case Emulation::Epson: return "Epson ESC/POS";
    case Emulation::Cd5220: return "CD5220";
    case Emulation::LogicControls: return "Logic Controls";
    case Emulation::Aedex: return "AEDEX";
    case Emulation::Auto: return "automatisch";
    }
    return {};
}

const std::vector<Emulation> &allEmulations() {
    static const std::vector<Emulation> all = {Emulation::Standard, Emulation::Epson,
                                               Emulation::Cd5220,   Emulation::LogicControls,
                                               Emulation::Aedex,    Emulation::Auto};
    return all;
}

std::optional<Emulation> emulationNamed(std::string_view name) {
    for (Emulation emulation : allEmulations()) {
        if (emulationName(emulation) == name)
            return emulation;
    }
    return std::nullopt;
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
    if (m_textLength++ < kLoggedTextBytes)
        m_textBytes.push_back(static_cast<char>(byte));
}

void Context::textRun(std::string_view bytes) {
    if (m_textLength != 0 && !m_textShown)
        flushText();
    m_textShown = true;
    if (m_textLength < kLoggedTextBytes)
        m_textBytes.append(bytes.substr(0, kLoggedTextBytes - m_textLength));
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
    std::string meaning = (m_textShown ? "Text \"" : "durchgereicht \"") + printableText + "\"";
    std::string bytes = hexBytes(m_textBytes);
    if (m_textBytes.size() < length) {
        meaning += " … (" + std::to_string(length) + " Bytes)";
        bytes += " …";
    }
    if (m_log)
        m_log({std::move(bytes), std::move(meaning)});
    m_textBytes.clear();
}

void Interpreter::feed(std::string_view bytes) {
    for (char byte : bytes)
        feed(static_cast<std::uint8_t>(byte));
}

void Interpreter::feed(std::uint8_t byte) {
    // Most bytes are a whole command or character by themselves: taken without queueing.
    if (m_pending.empty()) {
        const char single = static_cast<char>(byte);
        const Step result = step(std::string_view(&single, 1));
        if (result.kind == Step::Done)
            return;
        if (result.kind == Step::NotMine) {
            refuse(std::string_view(&single, 1), "unbekannt");
            return;
        }
    }
    m_pending.push_back(static_cast<char>(byte));
    while (!m_pending.empty()) {
        Step result = step(m_pending);
        if (result.kind == Step::Incomplete) {
            if (m_pending.size() < kMaxCommandLength)
                return;
            m_context.frameSearched = 0;
            result = refuse(m_pending, "Befehl ohne Ende nach " +
                                           std::to_string(kMaxCommandLength) + " Bytes verworfen");
        }
        if (result.kind == Step::NotMine)
            result = refuse(m_pending.substr(0, 1), "unbekannt");
        m_pending.erase(0, std::max<std::size_t>(result.length, 1));
    }
}

void Interpreter::discardPending() {
    if (m_pending.empty())
        return;
    m_context.command(m_pending, "verworfen: unvollständig, der Sender ist fort");
    m_pending.clear();
    m_context.frameSearched = 0;
}

Step Interpreter::refuse(std::string_view bytes, const std::string &why) {
    m_context.command(bytes, m_context.logging() ? "verworfen: " + why : std::string());
    return Step::done(bytes.size());
}

std::string hexByte(std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0xF]};
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

bool printable(std::uint8_t byte) {
    return byte >= 0x20 && byte != 0x7F;
}

std::unique_ptr<Interpreter> makeInterpreter(Emulation emulation, Context &context) {
    switch (emulation) {
    case Emulation::Standard:
    case Emulation::Epson:
    case Emulation::Cd5220: return std::make_unique<EscPosInterpreter>(context, emulation);
    case Emulation::LogicControls: return std::make_unique<LogicControlsInterpreter>(context);
    case Emulation::Aedex: return std::make_unique<AedexInterpreter>(context);
    case Emulation::Auto: return std::make_unique<AutoInterpreter>(context);
    }
    return nullptr;
}

} // namespace kd::sim
