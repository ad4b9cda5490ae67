#pragma once

// The files of the schedule, the log, the lock and the autostart entry are
// written and read here only: a name is replaced, never written through; a
// link or pipe of that name is never followed or waited on; nobody but the
// owner may write a new file.

#include "base/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

class QFile;

namespace base {

// The system's description of an error number (errno).
QString systemErrorText(int error);

// Writes a file whole or not at all: a new file beside the old one, then
// renamed over the name, so the old file (if any) stays until the new one is
// complete on disk. The name itself is replaced, never followed: a link or
// pipe of that name gives way to a regular file and whatever it pointed at
// stays as it was. mode is the new file's permission bits; by default those
// of the umask, less write access for group and others. A failed write
// removes its new file.
base::Result<> replaceFile(const QString &path, const QByteArray &bytes, int mode = -1);

// A shape of its own rather than a Result: a missing file is no failure.
struct OpenedFile {
    enum Status {
        Opened,  // the file is open
        Missing, // there is no file of that name
        Refused, // it must not or cannot be opened; why says which
    };
    Status status = Missing;
    QString why;
};

// Opens path for reading: not through a link of that name, not waiting on a
// pipe, a regular file only.
OpenedFile openForReading(QFile &file, const QString &path);

// Opens path for appending, made with newMode when missing (this process's
// umask applies): not through a link, not into a pipe, a regular file of
// this user's, which the group and others lose any right to write. The file
// is open for reading as well, so that it can be read back from the open
// file rather than by name.
OpenedFile openForAppending(QFile &file, const QString &path, int newMode = 0644);

// Writes bytes whole to an open file; a write past the file size limit or
// the disk's end fails rather than ending the process.
base::Result<> appendBytes(QFile &file, const QByteArray &bytes);

// The permission bits of an open file; -1 where the system has none.
int openFileMode(const QFile &file);

// Lists the regular files of a folder and reads them, at most size bytes
// each into a caller's buffer, without waiting on a pipe. Opens the folder
// once for the listing and every read.
class FolderReader
{
public:
    explicit FolderReader(const QString &folder);
    ~FolderReader();
    FolderReader(const FolderReader &) = delete;
    FolderReader &operator=(const FolderReader &) = delete;

    // Calls visit with the name of each regular file of the folder, in the
    // listing's order. The listing's own file type decides, without a
    // status call per file where the file system gives one: no folder,
    // pipe or device, and a link only when followLinks and it leads to a
    // regular file. The name is valid during the call only. The failure
    // when the folder cannot be listed.
    base::Result<> forEachFile(bool followLinks, const std::function<void(QStringView name)> &visit);

    // The number of bytes read, or why the file cannot be read. Up to size
    // bytes in one read, which for a regular file is all of it when it is
    // shorter; of a larger file the first size bytes.
    base::Result<qsizetype> read(QStringView name, char *buffer, qsizetype size);

private:
    QString m_folder;
    int m_folderFd = -1;
    int m_folderError = 0; // why the folder could not be opened
#ifdef Q_OS_UNIX
    QByteArray m_nativeName; // the name of the file at hand, encoded for the system
    const char *nativeName(QStringView name);
#endif
};

// Whether name is a temporary file of replaceFile's for a file whose name
// isOwn accepts: that name, a dot, six letters or digits.
bool isTemporaryOf(QStringView name, const std::function<bool(QStringView)> &isOwn);

// Removes the temporary files that replaceFile left in folder for names
// that isOwn accepts, when a writer was killed before it could: those not
// changed for olderThan, so that a write in progress keeps its own. Returns
// the names it could not remove, with the reason.
std::vector<QString> removeStaleTemporaries(const QString &folder, const std::function<bool(QStringView)> &isOwn,
                                            std::chrono::seconds olderThan);

// While it lives, files this process creates are not writable by the group
// and others whatever the umask (for files made by code that takes no mode,
// such as a lock file).
class PrivateNewFiles
{
public:
    PrivateNewFiles();
    ~PrivateNewFiles();
    PrivateNewFiles(const PrivateNewFiles &) = delete;
    PrivateNewFiles &operator=(const PrivateNewFiles &) = delete;

private:
    unsigned m_previous = 0;
};

} // namespace base
