#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What "vellomar --help" and "vellomar --version" print. Both are answered
// before the window system is reached, so they work without a display.
// Nothing for any other command line, which opens the window (Qt's own
// options, such as -platform, pass on to it).
//   arguments: without the program name
std::optional<QString> commandLineAnswer(const QStringList &arguments);
