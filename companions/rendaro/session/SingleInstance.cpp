#include "companions/rendaro/session/SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace rendaro {

namespace {

// A lock file that names no holder (its holder died between making it and
// writing it, or it was cut short) and is older than this is taken over,
// once nobody holds it open.
constexpr qint64 kNamelessAfterMs = 5000;

} // namespace

SingleInstance::SingleInstance(const QString &program)
{
    const base::Result<QString> found = lockFolder();
    if (!found) {
        m_problem = found.reason();
        return;
    }
    const QString &folder = *found;
    const QByteArray digest = QCryptographicHash::hash(workingFolderKey(), QCryptographicHash::Sha256).toHex().left(16);
    m_lock = std::make_unique<QLockFile>(QDir(folder).filePath(program + u'-' + QString::fromLatin1(digest) + ".lock"));
    // Held for as long as the program runs, however long: never stale by age,
    // only when its holder is gone.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        m_state = Alone;
        return;
    }
    if (m_lock->error() == QLockFile::LockFailedError) {
        QString host, application;
        const bool named = m_lock->getLockInfo(&m_holder, &host, &application) && m_holder > 0;
        // A holder of this process's own id is gone: its id was given again
        // (as Wine does soon), and this process holds nothing yet.
        const bool gone = named && m_holder == QCoreApplication::applicationPid();
        const QDateTime made = QFileInfo(m_lock->fileName()).lastModified();
        const bool old = made.isValid() && qAbs(made.msecsTo(QDateTime::currentDateTime())) > kNamelessAfterMs;
        // Qt takes the stale one away only while nobody holds it open.
        if ((gone || (!named && old)) && m_lock->removeStaleLockFile() && m_lock->tryLock(0)) {
            m_state = Alone;
            return;
        }
        if (m_lock->error() == QLockFile::LockFailedError) {
            m_state = Running;
            return;
        }
    }
    m_problem = QStringLiteral("cannot make the lock file %1").arg(QDir::toNativeSeparators(m_lock->fileName()));
}

} // namespace rendaro
