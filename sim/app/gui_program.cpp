#include "app/gui_program.h"

#include "app/without_window.h"

#include <QCoreApplication>

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
    // In the build tree the window program is beside this one, which a marker file there tells;
    // installed, it is in the private program folder.
    const std::filesystem::path program =
        std::filesystem::exists(folder / KD_BUILD_TREE_MARKER, error)
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
    fail(QCoreApplication::translate("kd::sim::GuiProgram",
                                     "The window program %1 cannot be started: %2")
             .arg(QString::fromLocal8Bit(program), QString::fromLocal8Bit(std::strerror(errno))));
    return 1;
}

} // namespace kd::sim
