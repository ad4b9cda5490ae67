#pragma once

#include "companions/rendaro/Clock.h"
#include "companions/rendaro/Launch.h"
#include "companions/rendaro/Options.h"
#include "companions/rendaro/session/WindowState.h"

#include <QTextStream>

#include <functional>
#include <memory>

namespace rendaro {

// What the launcher acts through: the clock it plans and sleeps by, the way
// it starts a program, the word that it is to end (the session is over, or
// it was signalled), empty while it is not, and the way the desktop lets it
// give started programs' windows their style (none: left to the programs).
struct Services {
    Clock &clock;
    LaunchFunction launch;
    std::function<QString()> stopReason;
    std::shared_ptr<WindowStyler> styler;

    QString stopWord() const { return stopReason ? stopReason() : QString(); }
    bool stopped() const { return !stopWord().isEmpty(); }
};

// The schedule of the working folder, kept for as long as the session
// lasts: each day it reads that day's list file (datmon.dat on Monday ...),
// refuses it when others may change it, and starts each of its entries once
// that day, after its time. What is due when a day is first looked at (at
// logon, or on waking on a later day) starts at once; the rest at their
// times. The list is read again whenever it changes, and a refused folder or
// list is looked at again at each wake: an entry taken out does not start,
// and one put in with its time already past waits for its next day. With
// options.once it ends after today's entries or at midnight; with
// options.list it only tells what today would do. Every event goes to the
// console and to rendaro.log, and troubles also to the desktop.
// Returns the exit status: 0 when nothing was refused, skipped or failed.
int runSchedule(const Options &options, const Services &services, QTextStream &out, QTextStream &err);

} // namespace rendaro
