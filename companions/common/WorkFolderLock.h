#pragma once

#include <QLockFile>
#include <QString>

#include <chrono>

namespace companion {

// The one lock of a working folder. Every companion program holds it for its
// whole run, so two of them never work on the entry files and day list files
// at the same time. A lock left by a process that was killed is taken over.
class WorkFolderLock
{
public:
    // Lies in the working folder; matches neither an entry file nor a day
    // list file, so clearing the data leaves it alone.
    static constexpr const char *kFileName = "vellomar.lock";

    // How long a run waits for another one to finish.
    static constexpr std::chrono::milliseconds kDefaultWait{30'000};
    // A lock older than this is taken over even when its process still
    // seems to live (a reused process id, another host on a shared folder).
    // No run comes near it: gathering 100,000 entries takes seconds.
    static constexpr std::chrono::milliseconds kStaleAfter{10 * 60'000};
    // A lock file that is still empty after this was left by a run killed
    // between creating it and writing its process id into it, which QLockFile
    // would otherwise honour for kStaleAfter. A live run writes the id at
    // once.
    static constexpr std::chrono::milliseconds kEmptyStaleAfter{2'000};

    explicit WorkFolderLock(const QString &folder);

    // Waits at most `wait` for the lock. On failure errorString() says why.
    bool acquire(std::chrono::milliseconds wait = kDefaultWait);
    QString errorString() const { return m_error; }

    QString fileName() const { return m_path; }

private:
    static constexpr std::chrono::milliseconds kPollInterval{20};
    bool fail();
    bool removeForeignFile();
    bool removeEmptyStaleLock();

    QString m_path;
    QLockFile m_lock;
    QString m_error;
};

} // namespace companion
