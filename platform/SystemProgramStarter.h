#pragma once

#include "platform/ProgramStarter.h"

namespace platform {

class SystemProgramStarter : public ProgramStarter
{
public:
    base::Result<qint64> start(const QString &program, const QStringList &arguments, WindowStyle style,
                               std::function<void(bool succeeded)> ended = {}) override;

    // The full path a bare program name resolves to, or empty.
    static QString findProgram(const QString &name);
};

// Starts the program file path itself, the way every program of Vellomar's
// is started: with arguments as they are, in workingFolder (empty: this
// process's), in the window style, detached unless ended is given (as for
// ProgramStarter::start), with the variables ("NAME=value") added to its
// environment (on Linux). Gives the started process's id.
base::Result<qint64> startProgram(const QString &path, const QStringList &arguments, WindowStyle style,
                                  const QString &workingFolder = {}, std::function<void(bool succeeded)> ended = {},
                                  const QStringList &variables = {});

} // namespace platform
