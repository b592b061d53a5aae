#include "app/gui_program.h"

#include "app/without_window.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace kd::sim {

QString guiProgramPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder = self.parent_path();
    const std::filesystem::path program =
        folder == KD_SIM_BUILD_DIR
            ? folder / "kundendisplay-sim-gui"
            : (folder / ".." / KD_SIM_GUI_INSTALL_DIR / "kundendisplay-sim-gui").lexically_normal();
    return QString::fromStdString(program.string());
}

int execGuiProgram(char **argv) {
    const QByteArray program = guiProgramPath().toLocal8Bit();
    // argv[0] stays as the user started it: the window system names the window's class after it,
    // which the desktop entry of kundendisplay-sim matches.
    std::vector<char *> arguments{argv[0]};
    for (char **argument = argv + 1; *argument; ++argument)
        arguments.push_back(*argument);
    arguments.push_back(nullptr);
    ::execv(program.constData(), arguments.data());
    fail(QStringLiteral("Das Fensterprogramm %1 lässt sich nicht starten: %2")
             .arg(QString::fromLocal8Bit(program), QString::fromLocal8Bit(std::strerror(errno))));
    return 1;
}

} // namespace kd::sim
