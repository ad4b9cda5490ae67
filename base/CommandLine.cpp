#include "base/CommandLine.h"

#include <QCoreApplication>

namespace base {

const QCommandLineOption &helpOption()
{
    static const QCommandLineOption option(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                           QStringLiteral("Displays this help."));
    return option;
}

const QCommandLineOption &versionOption()
{
    static const QCommandLineOption option(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Displays version information."));
    return option;
}

CommandLine readCommandLine(QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                            const QStringList &arguments)
{
    parser.addOption(helpOption());
    parser.addOption(versionOption());
    parser.addOptions(options);
    if (!parser.parse(arguments))
        return {CommandLine::Action::Refuse, parser.errorText()};
    if (parser.isSet(helpOption()))
        return {CommandLine::Action::PrintHelp, parser.helpText()};
    if (parser.isSet(versionOption()))
        return {
            CommandLine::Action::PrintVersion,
            QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion())};
    if (!parser.positionalArguments().isEmpty())
        return {CommandLine::Action::Refuse,
                QStringLiteral("unexpected argument \"%1\" (%2 takes no arguments; see --help)")
                    .arg(parser.positionalArguments().constFirst(), QCoreApplication::applicationName())};
    return {CommandLine::Action::Run, {}};
}

} // namespace base
