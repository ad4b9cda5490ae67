#pragma once

#include "base/Result.h"
#include "schedule/DayTable.h"
#include "schedule/Entry.h"

#include <QDir>
#include <QList>
#include <QString>

#include <array>

namespace schedule {

// The choices of one pick, as the main window's controls give them.
struct Pick {
    std::array<bool, kDayCount> days{}; // Monday .. Sunday ticked
    QString path;                       // the program's full path
    QString hour;                       // "01" .. "12"
    QString minute;                     // "00", "15", "30", "45"
    QString amPm;                       // "AM" or "PM"
    QString runStyle;                   // "Normal", "Hide", "Minimize", "Maximize"
};

// The entry the pick writes for one day, or a failure whose reason tells the
// user what to correct (no hour chosen, a path that has no 8-bit form, ...).
base::Result<Entry> pickEntry(const Pick &pick, const Day &day);

// The first number, from `from` upwards, for which none of the pick's entry
// file names exists in folder. An entry file of an earlier run is never
// replaced this way.
qint64 freeEntryNumber(const QDir &folder, const Pick &pick, qint64 from);

struct PickOutcome {
    enum Status {
        Written,     // one file per ticked day
        Refused,     // nothing written: the pick cannot be stored faithfully
        WriteFailed, // stopped at failedFile; the days in written stay
    };
    Status status = Written;
    qint64 number = 0;     // the number the files carry
    QList<int> written;    // day indexes written, in day order
    QString failedFile;    // the file that could not be written (full path)
    base::Failure failure; // why not Written: the refusal, or the system's reason

    bool ok() const { return status == Written; }
};

// Writes the entry files of a pick into folder: all under one number, the
// first free one from `from` (see freeEntryNumber), each file whole or not at
// all, stopping at the first failure. A pick without a ticked day writes
// nothing and succeeds.
PickOutcome writePick(const QDir &folder, const Pick &pick, qint64 from);

// The day names of written, "Monday, Thursday".
QString dayNames(const QList<int> &dayIndexes);

} // namespace schedule
