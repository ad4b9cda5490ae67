#pragma once

#include "Clock.h"
#include "Options.h"

#include <QTextStream>

namespace rendaro {

// The day's job in the working folder: read today's day list file, refuse it
// when others may change it, and start its entries in time order, each when
// its time has come, until all are started or the day is over. Every event
// goes to the console and to rendaro.log, and a run with trouble shows a
// notice on the desktop. With options.list it only tells what it would do.
// Returns the exit status: 0 when every entry was started (or listed), 1
// when something was refused, skipped or failed.
int runToday(const Options &options, Clock &clock, QTextStream &out, QTextStream &err);

} // namespace rendaro
