#include "app/CommandLine.h"

#include "base/CommandLine.h"

namespace {

// The options every Qt GUI program takes, which QApplication reads.
QList<QCommandLineOption> qtOptions()
{
    QList<QCommandLineOption> options;
    for (const char *name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger", "qwindowgeometry",
          "qwindowicon", "qwindowtitle", "session", "display", "geometry", "style", "stylesheet"})
        options.append(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb"})
        options.append(QCommandLineOption(QString::fromLatin1(name)));
    for (QCommandLineOption &option : options)
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    return options;
}

} // namespace

std::optional<CommandLineAnswer> commandLineAnswer(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Qt's options are single words after one dash: -platform offscreen.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Starts chosen programs at logon on chosen weekdays: tick the days, pick a time,\n"
                       "a window style and a program, then deploy the launcher Rendaro, which starts\n"
                       "them when you log on.\n"
                       "The schedule lives in the current folder: entry files and the day lists\n"
                       "datmon.dat ... datsun.dat."));
    const base::CommandLine command = base::readCommandLine(parser, qtOptions(), arguments);
    switch (command.action) {
    case base::CommandLine::Action::PrintHelp:
    case base::CommandLine::Action::PrintVersion:
        return CommandLineAnswer{0, command.text, {}};
    case base::CommandLine::Action::Refuse:
        return CommandLineAnswer{base::kUsageError, {}, QStringLiteral("vellomar: %1\n").arg(command.text)};
    case base::CommandLine::Action::Run:
        break;
    }
    return std::nullopt;
}
