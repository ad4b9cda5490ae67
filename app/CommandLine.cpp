#include "app/CommandLine.h"

#include "Version.h"

std::optional<QString> commandLineAnswer(const QStringList &arguments)
{
    if (arguments.contains(u"--help") || arguments.contains(u"-h"))
        return QStringLiteral(
            "Usage: vellomar [--help | --version]\n"
            "Starts chosen programs at logon on chosen weekdays: tick the days, pick a time,\n"
            "a window style and a program, then deploy the launcher Rendaro, which starts\n"
            "them when you log on.\n"
            "The schedule lives in the current folder: entry files and the day lists\n"
            "datmon.dat ... datsun.dat.\n\n"
            "  --help     show this text\n"
            "  --version  show the version\n");
    if (arguments.contains(u"--version"))
        return QStringLiteral("vellomar %1\n").arg(QStringLiteral(VELLOMAR_VERSION));
    return std::nullopt;
}
