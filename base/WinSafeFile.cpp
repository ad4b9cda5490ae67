#include "base/SafeFile.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace base {

namespace {

// Qt's reason on Windows is a sentence of its own ("Access denied."); the
// reasons here go inside sentences, without their full stop.
QString reasonOf(const QFileDevice &file)
{
    QString reason = file.errorString().trimmed();
    while (reason.endsWith(u'.'))
        reason.chop(1);
    return reason;
}

} // namespace

base::Result<> replaceFile(const QString &path, const QByteArray &bytes, int mode)
{
    Q_UNUSED(mode) // the new file takes the folder's access list
    // Unbuffered, and written in a loop: with a buffer, a short final write
    // (disk full) is lost in commit(), which then reports success for a
    // cut-off file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return base::Failure{reasonOf(file)};
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString why = reasonOf(file);
            file.cancelWriting();
            return base::Failure{why};
        }
        done += n;
    }
    if (!file.commit())
        return base::Failure{reasonOf(file)};
    return {};
}

OpenedFile openForReading(QFile &file, const QString &path)
{
    file.setFileName(path);
    if (!QFileInfo::exists(path))
        return {OpenedFile::Missing, {}};
    if (!QFileInfo(path).isFile())
        return {OpenedFile::Refused, QStringLiteral("it is not a regular file")};
    if (!file.open(QIODevice::ReadOnly))
        return {OpenedFile::Refused, reasonOf(file)};
    return {OpenedFile::Opened, {}};
}

OpenedFile openForAppending(QFile &file, const QString &path, int newMode)
{
    Q_UNUSED(newMode)
    file.setFileName(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return {OpenedFile::Refused, reasonOf(file)};
    return {OpenedFile::Opened, {}};
}

base::Result<> appendBytes(QFile &file, const QByteArray &bytes)
{
    if (file.write(bytes) != bytes.size())
        return base::Failure{reasonOf(file)};
    return {};
}

int openFileMode(const QFile &)
{
    return -1;
}

FolderReader::FolderReader(const QString &folder)
    : m_folder(folder.endsWith(u'/') ? folder : folder + u'/')
{
}

FolderReader::~FolderReader() = default;

base::Result<> FolderReader::forEachFile(bool followLinks, const std::function<void(QStringView name)> &visit)
{
    if (!QFileInfo(m_folder).isDir())
        return base::Failure{QStringLiteral("it is not a folder")};
    QDirIterator it(m_folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot
                                  | (followLinks ? QDir::Filters() : QDir::NoSymLinks));
    while (it.hasNext()) {
        it.next();
        visit(it.fileName());
    }
    return {};
}

base::Result<qsizetype> FolderReader::read(QStringView name, char *buffer, qsizetype size)
{
    QFile file(QString(m_folder).append(name));
    // Unbuffered: the read goes straight into the buffer.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return base::Failure{reasonOf(file)};
    const qint64 n = file.read(buffer, size);
    if (n < 0)
        return base::Failure{reasonOf(file)};
    return qsizetype(n);
}

PrivateNewFiles::PrivateNewFiles() = default;
PrivateNewFiles::~PrivateNewFiles() = default;

} // namespace base
