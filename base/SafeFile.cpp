#include "base/SafeFile.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstring>

// What is the same on every system; the rest is in UnixSafeFile.cpp and
// WinSafeFile.cpp.

namespace base {

QString systemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isTemporaryOf(QStringView name, const std::function<bool(QStringView)> &isOwn)
{
    // mkostemp's six letters or digits; QSaveFile's likewise.
    constexpr qsizetype kSuffix = 7;
    if (name.size() <= kSuffix || name[name.size() - kSuffix] != u'.')
        return false;
    for (QChar c : name.last(kSuffix - 1))
        if (c.unicode() > 0x7f || !c.isLetterOrNumber())
            return false;
    return isOwn(name.first(name.size() - kSuffix));
}

std::vector<QString> removeStaleTemporaries(const QString &folder, const std::function<bool(QStringView)> &isOwn,
                                            std::chrono::seconds olderThan)
{
    // The listing names every file of the folder; only the few temporary
    // ones are looked at further.
    // A folder that cannot be listed has none to remove; its reader says so.
    std::vector<QString> temporaries;
    const base::Result<> listed = FolderReader(folder).forEachFile(false, [&](QStringView name) {
        if (isTemporaryOf(name, isOwn))
            temporaries.push_back(name.toString());
    });
    Q_UNUSED(listed)
    std::vector<QString> failures;
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-olderThan.count());
    const QDir dir(folder);
    for (const QString &name : temporaries) {
        const QFileInfo info(dir.filePath(name));
        if (info.isSymLink() || !info.isFile() || info.lastModified().toUTC() > before)
            continue;
        QFile file(info.filePath());
        if (!file.remove())
            failures.push_back(QStringLiteral("%1: %2").arg(name, file.errorString()));
    }
    return failures;
}

} // namespace base
