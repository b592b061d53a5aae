#include "model/display_model.h"

#include "model/emulation/auto_detect.h"

namespace kd::sim {
namespace {

// How many log entries one arrival of bytes may make; a flood is counted, not logged line by line.
constexpr std::size_t kLogEntriesPerArrival = 64;

} // namespace

std::string writeModeName(WriteMode mode) {
    switch (mode) {
    case WriteMode::Overwrite: return "Überschreiben";
    case WriteMode::VerticalScroll: return "vertikal rollen";
    case WriteMode::HorizontalScroll: return "horizontal rollen";
    }
    return {};
}

DisplayModel::DisplayModel(Emulation emulation)
    : m_emulation(emulation),
      m_context(m_screen, [this](const LogEntry &entry) { m_log.push_back(entry); }) {
    setEmulation(emulation);
}

void DisplayModel::setEmulation(Emulation emulation) {
    m_context.flushText();
    m_emulation = emulation;
    m_context.setFrameStepMs(200);
    m_interpreter = makeInterpreter(emulation, m_context);
    m_interpreter->powerOn();
}

void DisplayModel::feed(std::string_view bytes) {
    m_context.startBudget(kLogEntriesPerArrival);
    m_interpreter->feed(bytes);
    m_context.flushText();
    if (const std::size_t skipped = m_context.startBudget(0); skipped > 0)
        m_log.push_back({{},
                         "… " + std::to_string(skipped) +
                             " weitere Einträge dieser Ankunft nicht protokolliert"});
    m_context.startBudget(SIZE_MAX);
}

void DisplayModel::discardPartial() {
    m_interpreter->discardPending();
    m_context.flushText();
}

std::vector<LogEntry> DisplayModel::takeLog() {
    std::vector<LogEntry> log;
    log.swap(m_log);
    return log;
}

std::string DisplayModel::detection() const {
    if (const auto *detector = dynamic_cast<const AutoInterpreter *>(m_interpreter.get()))
        return detector->reason();
    return {};
}

Emulation DisplayModel::detected() const {
    if (const auto *detector = dynamic_cast<const AutoInterpreter *>(m_interpreter.get()))
        return detector->detected();
    return m_emulation;
}

std::string DisplayModel::stateLine() const {
    std::string peripheral;
    switch (m_screen.peripheral()) {
    case Peripheral::Display: peripheral = "Display"; break;
    case Peripheral::Printer: peripheral = "Drucker"; break;
    case Peripheral::Both: peripheral = "Drucker und Display"; break;
    }
    std::string state = "Befehlssatz " + emulationTitle(m_emulation);
    const std::string note = m_interpreter->stateNote();
    if (!note.empty())
        state += " (" + note + ")";
    state +=
        " · Codetabelle " + codeTableName(m_screen.codeTable()) + " · Zeichensatz " +
        nationalSetName(m_screen.nationalSet()) + " · " + writeModeName(m_screen.mode()) +
        " · Helligkeit " + std::to_string(m_screen.brightness()) + " %" +
        (m_screen.displayOn() ? "" : " (aus)") +
        (m_screen.blinkMs() ? " · blinkt alle " + std::to_string(m_screen.blinkMs()) + " ms" : "") +
        " · Cursor " + (m_screen.cursorVisible() ? "an" : "aus") + " · Gerät " + peripheral;
    return state;
}

} // namespace kd::sim
