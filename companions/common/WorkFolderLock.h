#pragma once

#include "base/Result.h"

#include <QLockFile>
#include <QString>

#include <chrono>
#include <memory>

namespace companion {

// The one lock of a working folder. Every companion program holds it for its
// whole run, so two of them never work on the entry files and day list files
// at the same time. A lock whose run ended, however it ended, is taken over
// at once, also in a folder that several users share.
class WorkFolderLock
{
public:
    // Lies in the working folder; matches neither an entry file nor a day
    // list file, so clearing the data leaves it alone.
    static constexpr const char *kFileName = "vellomar.lock";

    // How long a run waits for another one to finish.
    static constexpr std::chrono::milliseconds kDefaultWait{30'000};

    explicit WorkFolderLock(const QString &folder);
    ~WorkFolderLock();
    WorkFolderLock(const WorkFolderLock &) = delete;
    WorkFolderLock &operator=(const WorkFolderLock &) = delete;

    // Waits at most `wait` while another run holds the lock. A lock that
    // cannot be taken at all (its file may not be made or opened) fails at
    // once, saying why.
    base::Result<> acquire(std::chrono::milliseconds wait = kDefaultWait);

    QString fileName() const { return m_path; }

private:
    enum class Attempt { Taken, Held };
    // One try, without waiting: a file per platform.
    base::Result<Attempt> tryLock();
    QString nativePath() const;

    QString m_path;
#ifdef Q_OS_WIN
    std::unique_ptr<QLockFile> m_lock;
#else
    int m_fd = -1;
#endif
};

} // namespace companion
