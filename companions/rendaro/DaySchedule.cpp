#include "companions/rendaro/DaySchedule.h"

#include "companions/rendaro/DayListFile.h"

#include "platform/Trust.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace rendaro {

namespace {

QString describe(const schedule::Entry &entry)
{
    return QStringLiteral("%1 %2 %3").arg(entry.time, entry.styleCode, entry.path);
}

Signature signatureOf(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch(), info.metadataChangeTime().toMSecsSinceEpoch()};
}

} // namespace

DaySchedule::DaySchedule(QDate date)
    : m_date(date)
    , m_starts(date)
{
}

void DaySchedule::troubleOnce(const QString &text, RunReport &report)
{
    if (text != m_trouble)
        report.trouble(text);
    m_trouble = text;
}

bool DaySchedule::look(const QDateTime &now, RunReport &report)
{
    if (const base::Result<> safe = platform::checkTrust(QStringLiteral(".")); !safe) {
        troubleOnce(QStringLiteral("refusing the working folder %1: %2; nothing is started")
                        .arg(QDir::toNativeSeparators(QDir::currentPath()), safe.reason()),
                    report);
        m_trusted = false;
        return false;
    }
    const Signature signature = signatureOf(QString(dayOf(m_date).listFile));
    if (!m_trusted || signature != m_signature) {
        m_signature = signature;
        m_trusted = read(now, report);
    }
    // A refused list was not looked at: what it holds is not known.
    if (m_trusted)
        m_lastLook = now;
    return m_trusted;
}

bool DaySchedule::read(const QDateTime &now, RunReport &report)
{
    const schedule::Day &weekday = dayOf(m_date);
    const QString fileName = QString(weekday.listFile);
    const bool first = !m_lastLook;
    const bool mended = !m_trouble.isEmpty();
    m_list = schedule::DayList(QByteArray());
    m_ids.clear();
    DayListFile file = readDayListFile(fileName);
    if (file.status == DayListFile::Refused) {
        troubleOnce(QStringLiteral("refusing %1: %2; nothing is started").arg(fileName, file.why), report);
        return false;
    }
    m_trouble.clear();
    if (file.status == DayListFile::Missing) {
        if (first)
            report.info(QStringLiteral("%1: no %2 here, nothing to start today").arg(QString(weekday.name), fileName));
        else if (!m_seen.isEmpty())
            report.info(QStringLiteral("%1 is gone: nothing more starts today").arg(fileName));
        m_seen.clear();
        return true;
    }
    m_list = schedule::DayList(std::move(file.bytes));
    m_list.sortByTime();
    if (first)
        report.info(QStringLiteral("%1 %2: %3, %4 entries")
                        .arg(QString(weekday.name), now.toString(QStringLiteral("yyyy-MM-dd HH:mm")), fileName,
                             QString::number(m_list.size())));
    else
        report.info((mended ? QStringLiteral("%1 read again: %2 entries") : QStringLiteral("%1 changed: %2 entries"))
                        .arg(fileName)
                        .arg(m_list.size()));
    for (const QString &problem : m_list.problems())
        report.trouble(QStringLiteral("%1 %2: skipped, not started").arg(fileName, problem));
    if (m_list.problemCount() > m_list.problems().size())
        report.trouble(QStringLiteral("%1: %2 more groups of lines skipped, not started")
                           .arg(fileName)
                           .arg(m_list.problemCount() - m_list.problems().size()));

    // Equal entries are told apart by their order among themselves.
    QHash<size_t, int> equal;
    m_seen.clear();
    m_ids.reserve(m_list.size());
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        const schedule::Entry entry = m_list.entry(i);
        const size_t lines = qHashMulti(0, entry.time, entry.styleCode, entry.path);
        const size_t id = qHashMulti(0, lines, equal[lines]++);
        m_ids.append(id);
        m_seen.insert(id);
        // Put in after its time had passed: it waits for its next day rather
        // than starting the moment it is recorded. An entry that was in the
        // list before (a list written again, or missing for a moment) is
        // not new.
        if (!first && !m_everSeen.contains(id) && !m_done.contains(id)
            && m_starts.at(m_list.minutes(i)) <= *m_lastLook) {
            m_done.insert(id);
            report.info(QStringLiteral("added after its time, waits for next %1: %2")
                            .arg(QString(weekday.name), describe(entry)));
        }
    }
    m_everSeen.unite(m_seen);
    return true;
}

void DaySchedule::startDue(const QDateTime &now, const LaunchFunction &launch, const std::function<bool()> &stopped,
                           RunReport &report, Counts &counts, QList<PendingWindows> &windows)
{
    if (!m_trusted)
        return;
    for (qsizetype i = 0; i < m_list.size() && m_starts.at(m_list.minutes(i)) <= now; ++i) {
        if (m_done.contains(m_ids[i]))
            continue;
        if (stopped())
            return;
        m_done.insert(m_ids[i]);
        const schedule::Entry entry = m_list.entry(i);
        const base::Result<Launched> launched = launch(entry.path, entry.style());
        if (!launched) {
            ++counts.notStarted;
            report.trouble((launched.failure().denied ? QStringLiteral("refusing %1: %2; not started")
                                                      : QStringLiteral("could not start %1: %2"))
                               .arg(entry.path, launched.reason()));
            continue;
        }
        ++counts.started;
        // A path that leads elsewhere through links is named with where it leads.
        const QString leadsTo = QDir::cleanPath(entry.path) == launched->program
                                    ? QString()
                                    : QStringLiteral(", which is %1").arg(launched->program);
        report.info(QStringLiteral("started %1%2 (process %3)").arg(describe(entry), leadsTo).arg(launched->pid));
        if (entry.style() != schedule::RunStyle::Normal)
            windows.append({launched->pid, entry.style(), describe(entry), launched->session});
    }
}

std::optional<QDateTime> DaySchedule::next(const QDateTime &now)
{
    if (!m_trusted)
        return std::nullopt;
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        const QDateTime start = m_starts.at(m_list.minutes(i));
        if (start > now && !m_done.contains(m_ids[i]))
            return start;
    }
    return std::nullopt;
}

qsizetype DaySchedule::close()
{
    qsizetype count = 0;
    if (m_trusted)
        for (size_t id : std::as_const(m_ids))
            if (!m_done.contains(id)) {
                m_done.insert(id);
                ++count;
            }
    // What a date remembers once it is over: what it started and saw. Its
    // list is read again should the clock be set back to it.
    m_list = schedule::DayList(QByteArray());
    m_ids.clear();
    m_trusted = false;
    return count;
}

void DaySchedule::tell(const QDateTime &now, QTextStream &out)
{
    if (!m_trusted)
        return;
    // On the night the clock changes, a time alone may name two moments.
    const bool clockChanges = m_date.startOfDay().offsetFromUtc() != m_date.addDays(1).startOfDay().offsetFromUtc();
    const QString format = clockChanges ? QStringLiteral("HH:mm t") : QStringLiteral("HH:mm");
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        const QDateTime start = m_starts.at(m_list.minutes(i));
        out << describe(m_list.entry(i)) << ": "
            << (start <= now ? QStringLiteral("would start at once")
                             : QStringLiteral("would start at %1").arg(start.toString(format)))
            << Qt::endl;
    }
}

} // namespace rendaro
