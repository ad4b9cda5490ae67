#pragma once

#include "schedule/DayTable.h"
#include "schedule/Entry.h"

#include <QDate>
#include <QDateTime>
#include <QList>

namespace rendaro {

// The day table's day of a date (Monday is index 0).
const schedule::Day &dayOf(QDate date);

// The entries in the order they start: by time, entries of the same time in
// file order.
QList<schedule::Entry> inStartOrder(QList<schedule::Entry> entries);

// When an entry starts on a date, in local time.
QDateTime startTime(QDate date, const schedule::Entry &entry);

} // namespace rendaro
