#pragma once

#include "companions/common/Report.h"

#include <QString>

namespace companion {

// Rebuilds the seven day list files of a folder from its entry files.
//
// Every entry file whose name and contents make a valid entry of its day
// (the day line must be the day of the name) goes into that day's list,
// ordered by start time and then by entry number, which is the order the
// launcher starts them in. All seven day lists are written on every run,
// empty for a day without entries, each replaced whole or not at all.
// Entry files are kept, so a second run writes the same lists.
//
// A file that is not a valid entry is skipped and named in a warning; it
// never stops the others. A day list that cannot be written keeps its old
// contents and fails the run. The folder is listed once and every entry
// file read once.
Report gatherDayLists(const QString &folder);

} // namespace companion
