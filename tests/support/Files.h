#pragma once

// Files in a test's temporary folders, and schedule text written out by hand
// rather than through the code under test.

#include <QDir>
#include <QTemporaryDir>

namespace testing {

// Writes bytes to path, making its folders; false when that fails.
inline bool writeFile(const QString &path, const QByteArray &bytes = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A file's bytes: null when it cannot be read, empty (not null) when empty.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QByteArray("") + file.readAll() : QByteArray();
}

// A temporary folder that is the working folder while the object lives.
class WorkFolder
{
public:
    WorkFolder() { QDir::setCurrent(m_dir.path()); }
    ~WorkFolder() { QDir::setCurrent(m_previous); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Every name in the folder, hidden ones too, sorted.
    QStringList names() const { return QDir(path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name); }

private:
    QString m_previous = QDir::currentPath();
    QTemporaryDir m_dir;
};

inline const char *const kDayCodes[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
inline const char *const kDayNames[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
inline const char *const kDayLists[] = {"datmon.dat", "dattue.dat", "datwed.dat", "datthu.dat", "datfri.dat", "datsat.dat", "datsun.dat"};

// An entry's four lines as CR LF text.
inline QByteArray entryText(const QString &time, const QString &path, const QString &style, const QString &day)
{
    return (time + "\r\n" + path + "\r\n" + style + "\r\n" + day + "\r\n").toUtf8();
}

} // namespace testing
