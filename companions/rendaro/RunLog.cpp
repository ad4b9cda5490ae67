#include "companions/rendaro/RunLog.h"

#include "base/SafeFile.h"
#include "platform/Trust.h"
#include "schedule/Companions.h"
#include "schedule/Entry.h"

#include <QDir>

namespace rendaro {

namespace {

#ifdef Q_OS_WIN
constexpr const char *kLineEnd = "\r\n";
#else
constexpr const char *kLineEnd = "\n";
#endif

// What a log of kBound bytes or more is cut down to: from the first whole
// line of its newer half, and at most kBound bytes when it grew far larger.
qint64 keptFrom(qint64 size)
{
    return size > 2 * RunLog::kBound ? size - RunLog::kBound : size / 2;
}

} // namespace

RunLog::RunLog(const QString &folder)
    : m_path(QDir(folder).filePath(QString(schedule::kLauncherLog)))
{
    // In a folder that others may change, the name rendaro.log may be theirs
    // to swap at any moment: no log there at all.
    if (platform::checkTrust(folder))
        open();
}

bool RunLog::open()
{
    m_file.close();
    return base::openForAppending(m_file, m_path).status == base::OpenedFile::Opened;
}

void RunLog::append(const QDateTime &when, const QString &text)
{
    // One line an event, whatever its text holds, and nothing a terminal
    // would act on.
    const QByteArray line = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")).toLocal8Bit()
                            + schedule::visibleText(text).toLocal8Bit() + kLineEnd;
    if (!base::appendBytes(m_file, line))
        m_file.close();
}

void RunLog::write(const QDateTime &when, const QString &text)
{
    if (!m_file.isOpen())
        return;
    append(when, text);
    if (m_file.isOpen() && !m_keepsAll && m_file.size() > kBound)
        dropOlderHalf(when);
}

void RunLog::dropOlderHalf(const QDateTime &when)
{
    // Read from the file this log has open, never again by name, and written
    // as a new file that replaces the log in one step: a reader sees the old
    // log or the shorter one, never a cut line.
    const qint64 size = m_file.size();
    QByteArray kept;
    if (m_file.seek(keptFrom(size)))
        kept = m_file.read(size);
    const qsizetype cut = kept.indexOf('\n');
    const base::Result<> replaced = cut < 0 ? base::Result<>(base::Failure{QStringLiteral("it holds no whole line")})
                                            : base::replaceFile(m_path, kept.mid(cut + 1), base::openFileMode(m_file));
    if (replaced) {
        open();
        return;
    }
    m_keepsAll = true;
    append(when, QStringLiteral("%1 cannot be shortened: %2").arg(QString(schedule::kLauncherLog), replaced.reason()));
}

QByteArray RunLog::tail(const QString &folder, int lines)
{
    QFile file;
    if (base::openForReading(file, QDir(folder).filePath(QString(schedule::kLauncherLog))).status
        != base::OpenedFile::Opened)
        return {};
    const qint64 size = file.size();
    file.seek(size > 2 * kBound ? size - 2 * kBound : 0);
    const QByteArray all = file.read(2 * kBound);
    qsizetype from = all.size();
    for (int seen = 0; from > 0; --from)
        if (all[from - 1] == '\n' && from < all.size() && ++seen == lines)
            break;
    // Control characters that an older log holds are shown, not sent to the terminal.
    QList<QByteArray> shown = all.mid(from).split('\n');
    for (QByteArray &line : shown) {
        const bool cr = line.endsWith('\r');
        line =
            schedule::visibleText(QString::fromLocal8Bit(cr ? line.chopped(1) : line)).toLocal8Bit() + (cr ? "\r" : "");
    }
    return shown.join('\n');
}

} // namespace rendaro
