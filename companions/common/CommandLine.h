#pragma once

#include <QString>
#include <QStringList>

namespace companion {

// What a companion program says about itself.
struct ProgramInfo {
    QString name;    // "brinol.com"
    QString summary; // one line: what a run does
};

// A companion program takes no arguments. "--help" and "--version" alone
// only print; anything else is refused, so a mistyped option never runs.
struct CommandLine {
    enum class Action { Run, PrintHelp, PrintVersion, Refuse };
    Action action = Action::Run;
    QString text; // the help or version text, or why the arguments are refused
};

// arguments: without the program name (QCoreApplication::arguments().mid(1)).
CommandLine parseCommandLine(const QStringList &arguments, const ProgramInfo &info, const QString &version);

} // namespace companion
