#pragma once

#include "schedule/RunStyle.h"

#include <QList>

#include <chrono>
#include <functional>

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
// quietly after patience, as soon as stopped() says so, and at once without
// a display or such a window manager, or with a display that does not
// answer within a few seconds. Returns how many programs had a window set.
int applyWindowStates(const QList<PendingWindows> &pending, const std::function<bool()> &stopped,
                      std::chrono::milliseconds patience = kWindowPatience);

} // namespace rendaro
