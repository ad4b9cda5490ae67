#pragma once

#include "companions/common/Report.h"

#include <QString>

namespace companion {

// Removes the collected data of a folder: its entry files ("Wed7.dat") and
// its day list files ("datmon.dat" .. "datsun.dat"), and nothing else. Only
// names of exactly those forms go; "notes.dat", "Mon01.dat", "Monday.dat",
// "datmon.dat.bak" and every folder stay. A file that cannot be removed is
// named and fails the run; the others are removed all the same. The day
// lists go before the entry files: the launcher runs only the lists, so a run
// killed part way never leaves a list that still starts an entry whose file
// is gone.
Report clearData(const QString &folder);

} // namespace companion
