#include "companions/rendaro/RunReport.h"

#include "schedule/Companions.h"

#include <QDir>

namespace rendaro {

namespace {

// A trouble as the first sentence of a notice: a leading word of letters
// gets its capital ("could not start" -> "Could not start"); a text that
// begins with a name ("datmon.dat line 9: ...") keeps it as it is.
QString sentence(const QString &text)
{
    qsizetype letters = 0;
    while (letters < text.size() && text[letters].isLetter())
        ++letters;
    const bool word = letters > 0 && (letters == text.size() || text[letters] == u' ' || text[letters] == u':');
    return word ? text[0].toUpper() + text.sliced(1) : text;
}

} // namespace

RunReport::RunReport(Clock &clock, QTextStream &out, QTextStream &err, bool quiet)
    : m_clock(clock)
    , m_out(out)
    , m_err(err)
{
    if (!quiet) {
        m_log.emplace(QStringLiteral("."));
        m_notice.emplace();
    }
}

void RunReport::info(const QString &text)
{
    const QMutexLocker lock(&m_mutex);
    m_out << text << Qt::endl;
    if (m_log)
        m_log->write(m_clock.now(), text);
}

void RunReport::trouble(const QString &text)
{
    const QMutexLocker lock(&m_mutex);
    m_err << "Rendaro.exe: " << text << Qt::endl;
    if (m_log)
        m_log->write(m_clock.now(), text);
    ++m_troubles;
    if (m_untold++ == 0)
        m_firstUntold = text;
}

void RunReport::reopenLog()
{
    const QMutexLocker lock(&m_mutex);
    if (m_log)
        m_log.emplace(QStringLiteral("."));
}

void RunReport::tellTroubles()
{
    const QMutexLocker lock(&m_mutex);
    if (m_untold == 0)
        return;
    const QString first = sentence(m_firstUntold);
    QString text = m_untold > 1 ? QStringLiteral("%1 (and %2 more)").arg(first).arg(m_untold - 1) : first;
    if (m_log && m_log->kept())
        text += u'\n'
                + QStringLiteral("See %1 in %2.")
                      .arg(QString(schedule::kLauncherLog), QDir::toNativeSeparators(QDir::currentPath()));
    m_untold = 0;
    if (m_notice)
        m_notice->show(QStringLiteral("Rendaro"), text);
}

} // namespace rendaro
