#include "companions/rendaro/Options.h"

#include "base/CommandLine.h"

#include <QCommandLineParser>

namespace rendaro {

Command readCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Starts the programs of the schedule in the working folder, each on its day at its time.\n"
                       "Without options it does its logon job and stays for the session: each day it reads\n"
                       "that day's list file (datmon.dat on Monday ... datsun.dat on Sunday) and starts each\n"
                       "entry once, after its time; what is due at logon, or on waking on a later day,\n"
                       "starts at once. A list that changes is read again; an entry put in after its time\n"
                       "waits for its next day. It ends with the session, or on SIGTERM or SIGHUP. One runs\n"
                       "per user and folder. What it does goes to rendaro.log in the working folder."));
    const QCommandLineOption once(
        QStringLiteral("once"),
        QStringLiteral("Start today's entries at their times, then end (at midnight at the latest)."));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("Print today's entries and what would be done; start nothing."));
    const QCommandLineOption at(
        QStringLiteral("at"),
        QStringLiteral("Act as if it were this local time (seconds optional); the clock runs on from there."),
        QStringLiteral("YYYY-MM-DDTHH:MM[:SS]"));
    const QCommandLineOption log(
        QStringLiteral("log"),
        QStringLiteral("Print the last 50 lines of rendaro.log, what the runs in this folder did."));
    const base::CommandLine read = base::readCommandLine(parser, {once, list, at, log}, arguments);

    Command command;
    command.text = read.text;
    switch (read.action) {
    case base::CommandLine::Action::Refuse:
        command.action = Command::Action::Refuse;
        command.text += u'\n' + parser.helpText();
        return command;
    case base::CommandLine::Action::PrintHelp:
        command.action = Command::Action::PrintHelp;
        command.paragraphs = parser.applicationDescription().replace(u'\n', u' ') + u'\n';
        for (const QCommandLineOption *option : {&base::helpOption(), &base::versionOption(), &once, &list, &at, &log})
            command.paragraphs += QStringLiteral("\n--") + option->names().constLast()
                                  + (option->valueName().isEmpty() ? QString() : u' ' + option->valueName())
                                  + QStringLiteral(": ") + option->description();
        return command;
    case base::CommandLine::Action::PrintVersion:
        command.action = Command::Action::PrintVersion;
        command.paragraphs = read.text;
        return command;
    case base::CommandLine::Action::Run:
        break;
    }
    command.options.list = parser.isSet(list);
    command.options.once = parser.isSet(once);
    command.options.log = parser.isSet(log);
    if (parser.isSet(at)) {
        command.options.at = parseAt(parser.value(at));
        if (!command.options.at) {
            command.action = Command::Action::Refuse;
            command.text =
                QStringLiteral("--at wants a local time as YYYY-MM-DDTHH:MM, not %1\n").arg(parser.value(at));
        }
    }
    return command;
}

std::optional<QDateTime> parseAt(const QString &text)
{
    for (const char *format : {"yyyy-MM-ddTHH:mm", "yyyy-MM-ddTHH:mm:ss"}) {
        const QDateTime at = QDateTime::fromString(text, QString::fromLatin1(format));
        if (at.isValid())
            return at;
    }
    return std::nullopt;
}

} // namespace rendaro
