#pragma once

// The command line of every program of Vellomar's, read by
// QCommandLineParser: each takes --help (-h) and --version (-v) beside its
// own options, and a command line it refuses ends it with one exit status.

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

namespace base {

// The exit status of a program whose command line is refused; the reason
// goes to standard error.
constexpr int kUsageError = 2;

struct CommandLine {
    enum class Action { Run, PrintHelp, PrintVersion, Refuse };
    Action action = Action::Run;
    QString text; // the help text, the version line, or why the command line is refused
};

const QCommandLineOption &helpOption();
const QCommandLineOption &versionOption();

// Reads arguments (the program's name first) with parser, which holds the
// program's description; adds helpOption(), versionOption() and then
// options. The version line is the application's name and version. No
// program takes arguments beside its options: one is refused.
CommandLine readCommandLine(QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                            const QStringList &arguments);

} // namespace base
