#include "inputs/terminal_link.h"

#include "runtime/private_folder.h"

#include <QCoreApplication>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kd::sim {
namespace {

std::string linkTarget(const std::string &link) {
    return symbolicLinkTarget(link).value_or(std::string());
}

// "--serial-link: " and the text in the user's language, its %1, %2 … replaced by the values.
std::string refusal(const char *text, std::initializer_list<std::string> values) {
    QString message = QCoreApplication::translate("kd::sim::TerminalLink", text);
    for (const std::string &value : values)
        message = message.arg(QString::fromStdString(value));
    return "--serial-link: " + message.toStdString();
}

} // namespace

std::string makeTerminalLink(const std::string &link, const std::string &terminal) {
    struct stat info {};
    if (::lstat(link.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode))
            return refusal(
                QT_TRANSLATE_NOOP("kd::sim::TerminalLink", "%1 already exists and is no link"),
                {link});
        const std::string target = linkTarget(link);
        struct stat targetInfo {};
        const bool stale =
            target.rfind("/dev/pts/", 0) == 0 && ::stat(target.c_str(), &targetInfo) != 0;
        if (!stale)
            return refusal(QT_TRANSLATE_NOOP("kd::sim::TerminalLink",
                                             "%1 already leads to %2 and is not replaced"),
                           {link, target});
        ::unlink(link.c_str());
    }
    if (::symlink(terminal.c_str(), link.c_str()) != 0)
        return refusal(QT_TRANSLATE_NOOP("kd::sim::TerminalLink", "%1 cannot be created: %2"),
                       {link, std::strerror(errno)});
    return {};
}

void removeTerminalLink(const std::string &link, const std::string &terminal) {
    if (linkTarget(link) == terminal)
        ::unlink(link.c_str());
}

} // namespace kd::sim
