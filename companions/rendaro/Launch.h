#pragma once

#include "schedule/RunStyle.h"

#include <QString>

namespace rendaro {

struct Launched {
    bool ok = false;
    qint64 pid = 0;
    QString error; // why not, when !ok
    bool refused = false; // not started on purpose: it is not safe to start
};

// Starts a program directly by its path, never through a shell, without
// arguments, detached, with its own folder as its working folder. Hide
// starts it with no terminal and its output discarded; the other styles
// start it as it is (Min and Max are applied to its windows afterwards).
// Refuses Vellomar's own programs and programs that others may change.
Launched launchProgram(const QString &path, schedule::RunStyle style);

} // namespace rendaro
