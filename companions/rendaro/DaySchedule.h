#pragma once

#include "companions/rendaro/Launch.h"
#include "companions/rendaro/RunReport.h"
#include "companions/rendaro/Today.h"
#include "companions/rendaro/session/WindowState.h"

#include "schedule/Entry.h"

#include <QDateTime>
#include <QList>
#include <QSet>

#include <functional>
#include <optional>

namespace rendaro {

// What tells that a day list file changed: it is small, but a week of
// looking at it every minute is no reason to read it each time.
struct Signature {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0;
    qint64 changed = 0;
    friend bool operator==(const Signature &, const Signature &) = default;
};

// One date's schedule: that weekday's list as last read, ordered by time,
// with an identity for each entry (its lines, and which of equal entries),
// and which entries this date has started (or failed, or left for next
// week) and has ever seen in its list.
class DaySchedule
{
public:
    explicit DaySchedule(QDate date);

    QDate date() const { return m_date; }

    // Looks at the working folder and the day's list, and reads the list
    // again when it changed since the last look or could not be trusted
    // then: a trouble mended is noticed at the next look. An entry that was
    // never in the list at an earlier look of this date and whose time had
    // passed by then waits for its next day. Returns false while the folder
    // or the list is refused; a trouble is told when it first comes up.
    bool look(const QDateTime &now, RunReport &report);

    // Starts the entries due by now that have not started on this date, one
    // after the other, until stopped() says the launcher is to end. Min and
    // Max entries are added to windows.
    struct Counts {
        int started = 0;
        qsizetype notStarted = 0;
    };
    void startDue(const QDateTime &now, const LaunchFunction &launch, const std::function<bool()> &stopped,
                  RunReport &report, Counts &counts, QList<PendingWindows> &windows);

    // When the next entry not yet started is due, after now.
    std::optional<QDateTime> next(const QDateTime &now);

    // Closes the date, which the clock has gone past: its entries not
    // started by now never start on it (the machine slept through their
    // time). Returns how many those are.
    qsizetype close();

    // Tells what the date would do at now, starting nothing (--list).
    void tell(const QDateTime &now, QTextStream &out);

private:
    bool read(const QDateTime &now, RunReport &report);
    void troubleOnce(const QString &text, RunReport &report);

    QDate m_date;
    StartTimes m_starts;
    schedule::DayList m_list{QByteArray()};
    QList<size_t> m_ids;
    Signature m_signature;
    bool m_trusted = false; // the last look read the list or found it missing, and the date is not closed
    QSet<size_t> m_done;
    QSet<size_t> m_everSeen;
    QSet<size_t> m_seen; // at the last look
    std::optional<QDateTime> m_lastLook;
    QString m_trouble; // the trouble of the last look, told once
};

} // namespace rendaro
