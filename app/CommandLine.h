#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What "vellomar --help" and "vellomar --version" print, and why any other
// command line but Qt's own options (such as -platform, which pass on to the
// window) is refused. Answered before the window system is reached, so they
// work without a display; a QCoreApplication named vellomar is needed.
// Nothing for a command line that opens the window.
//   arguments: with the program name first
struct CommandLineAnswer {
    int status = 0;
    QString out, err;
};
std::optional<CommandLineAnswer> commandLineAnswer(const QStringList &arguments);
