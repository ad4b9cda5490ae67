#pragma once

#include <QSet>
#include <QtGlobal>

#include <optional>

namespace rendaro {

// A running process's parent and session, as Linux's /proc tells them;
// nothing elsewhere, or once the process has gone.
struct ProcessLinks {
    qint64 parent = 0;
    qint64 session = 0;
};
std::optional<ProcessLinks> processLinks(qint64 pid);

// The two below are built beside the /proc reader only, not on Windows,
// where a start carries its window's state and nothing looks for windows.

// Whether process is a started program or one it started: the program
// itself, a process whose parents lead to it, or one in the session the
// program was started in (session, read as it started; 0 when unknown). A
// detached start (QProcess::startDetached) puts the program in a session of
// its own, led by the helper process that started it and ended at once, so
// the session's id is not the program's. The processes the program starts
// stay in that session after it has ended, as a wrapper script that starts
// its program in the background and exits does at once.
bool startedBy(qint64 process, qint64 program, qint64 session);

// Every running process that startedBy() counts as the program's.
QSet<qint64> processFamily(qint64 program, qint64 session);

} // namespace rendaro
