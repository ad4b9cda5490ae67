#include "companions/common/CommandLine.h"

namespace companion {

CommandLine parseCommandLine(const QStringList &arguments, const ProgramInfo &info, const QString &version)
{
    if (arguments.isEmpty())
        return {CommandLine::Action::Run, {}};
    if (arguments.size() == 1 && arguments[0] == u"--help")
        return {CommandLine::Action::PrintHelp,
                QStringLiteral("Usage: %1\n%2\n"
                               "It works on the current folder and takes no arguments.\n\n"
                               "  --help     show this text\n"
                               "  --version  show the version\n")
                    .arg(info.name, info.summary)};
    if (arguments.size() == 1 && arguments[0] == u"--version")
        return {CommandLine::Action::PrintVersion, QStringLiteral("%1 %2\n").arg(info.name, version)};
    return {CommandLine::Action::Refuse,
            QStringLiteral("unexpected argument \"%1\" (%2 takes no arguments; see --help)")
                .arg(arguments.size() == 1 || (arguments[0] != u"--help" && arguments[0] != u"--version")
                         ? arguments[0]
                         : arguments[1],
                     info.name)};
}

} // namespace companion
