#pragma once

#include "base/Result.h"
#include "schedule/RunStyle.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace rendaro {

// Starts a program directly by its path, never through a shell, without
// arguments, detached, with its own folder as its working folder, and gives
// its process id and the file it runs, with the variables ("NAME=value")
// added to its environment. Hide starts it with no terminal and its output
// discarded; the other styles start it as it is (on Windows the start itself
// carries the style; elsewhere a WindowStyler applies it to its windows).
// Refuses, as denied, Vellomar's own programs and programs that others may
// change.
struct Launched {
    qint64 pid;
    QString program;  // the file it runs: the path with its links resolved
    qint64 session{}; // the session it was started in, read at once (0: unknown)
};
base::Result<Launched> launchProgram(const QString &path, schedule::RunStyle style, const QStringList &variables = {});

// The way the launcher starts a program: launchProgram, or a test's own.
using LaunchFunction = std::function<base::Result<Launched>(const QString &path, schedule::RunStyle style)>;

} // namespace rendaro
