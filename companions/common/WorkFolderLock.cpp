#include "companions/common/WorkFolderLock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include <algorithm>

namespace companion {

WorkFolderLock::WorkFolderLock(const QString &folder)
    : m_path(QDir(folder).filePath(QString::fromLatin1(kFileName)))
{
}

base::Result<> WorkFolderLock::acquire(std::chrono::milliseconds wait)
{
    // Runs are short: look again at a steady pace and take the lock soon
    // after it is let go.
    constexpr std::chrono::milliseconds kPollInterval{20};
    const QDeadlineTimer deadline(wait);
    for (;;) {
        const base::Result<Attempt> attempt = tryLock();
        if (!attempt)
            return attempt.failure();
        if (*attempt == Attempt::Taken)
            return {};
        if (deadline.hasExpired())
            return base::Failure{
                QStringLiteral("another program still works on this folder (lock file %1)").arg(nativePath())};
        QThread::msleep(ulong(std::min<qint64>(kPollInterval.count(), deadline.remainingTime())));
    }
}

QString WorkFolderLock::nativePath() const
{
    return QDir::toNativeSeparators(m_path);
}

} // namespace companion
