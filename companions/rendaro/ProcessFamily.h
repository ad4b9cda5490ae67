#pragma once

#include <QSet>
#include <QtGlobal>

namespace rendaro {

// The session a process runs in, 0 once it has ended.
qint64 sessionOf(qint64 pid);

// The processes of a started program as they are now: the process itself,
// its descendants, and, where it was started in a session of its own (its
// session as sessionOf() gave it at the start, not the launcher's), every
// process still in that session, also one whose parent has ended.
QSet<qint64> processFamily(qint64 pid, qint64 session);

} // namespace rendaro
