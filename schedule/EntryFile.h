#pragma once

#include "base/SafeFile.h"
#include "schedule/DayTable.h"
#include "schedule/Entry.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace schedule {

// "Wed7.dat": the day code, the entry number in plain decimal, ".dat".
QString entryFileName(const Day &day, qint64 number);

struct EntryFileName {
    int dayIndex;
    qint64 number;
};

// How file names of the working folder compare: without regard to letter
// case where the file system does so (Windows, macOS), exactly elsewhere.
Qt::CaseSensitivity fileNameCase();

// The day and number of an entry file name: a day code as the day table
// spells it, a decimal number without leading zeros, ".dat". The letters
// compare as cs says; the digits always exactly.
std::optional<EntryFileName> parseEntryFileName(QStringView name, Qt::CaseSensitivity cs = Qt::CaseSensitive);

// Day list file names, "datmon.dat" .. "datsun.dat", compared as cs says.
bool isDayListFileName(QStringView name, Qt::CaseSensitivity cs = Qt::CaseSensitive);

// Writes an entry file in its text form, whole or not at all (see
// base::replaceFile). Refuses an entry that cannot be written faithfully
// as 8-bit text.
base::Result<> writeEntryFile(const QString &path, const Entry &entry);

} // namespace schedule
