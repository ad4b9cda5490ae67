#pragma once

#include "schedule/RunStyle.h"

#include <QList>

#include <chrono>

namespace rendaro {

struct PendingWindows {
    qint64 pid;
    schedule::RunStyle style; // Min or Max
};

// How long the windows of a started program are looked for: at logon a
// program may take its time to show one.
inline constexpr std::chrono::milliseconds kWindowPatience{30000};

// Minimizes or maximizes the windows of started programs, found by their
// _NET_WM_PID, once they appear, under X11 with an EWMH window manager, and
// asks again until a window of each program shows its state. Gives up
// quietly after patience, and at once without a display or such a window
// manager. Returns how many programs had a window set.
int applyWindowStates(const QList<PendingWindows> &pending,
                      std::chrono::milliseconds patience = kWindowPatience);

} // namespace rendaro
