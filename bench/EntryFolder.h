#pragma once

// Working folders filled with entry files, made once per size and kept for
// the whole run.

#include <QString>

namespace bench {

// A folder holding count valid entry files spread evenly over the seven
// days (Mon2.dat, Tue2.dat, ... Sun2.dat, Mon3.dat, ...), with varied times
// and paths, always the same for the same count.
QString entryFolder(int count);

// A folder holding only the day list file "datmon.dat" with count entries.
QString dayListFolder(int count);

// An empty working folder of its own, for the given purpose.
QString emptyFolder(const QString &purpose);

} // namespace bench
