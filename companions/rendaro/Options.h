#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace rendaro {

// What the launcher's command line asks of it.
struct Options {
    bool list = false;           // --list: tell what today would do, start nothing
    bool once = false;           // --once: today's entries, then end
    bool log = false;            // --log: print the log's last lines
    std::optional<QDateTime> at; // --at: act as if it were this local time
};

// The command line read: a run with its options, or an answer to print
// (help, version), or why it is refused (with the help text after it).
struct Command {
    enum class Action { Run, PrintHelp, PrintVersion, Refuse };
    Action action = Action::Run;
    QString text;       // the answer or the refusal, as a console shows it
    QString paragraphs; // the help as a message box shows it: a paragraph per option
    Options options;
};

// Reads the arguments (the program's name first).
Command readCommand(const QStringList &arguments);

// "YYYY-MM-DDTHH:MM", optionally with ":SS", as a local time.
std::optional<QDateTime> parseAt(const QString &text);

} // namespace rendaro
