#include "companions/common/ClearData.h"

#include "schedule/EntryFile.h"

#include <QDirIterator>
#include <QFile>

namespace companion {

Report clearData(const QString &folder)
{
    Report report;
    const Qt::CaseSensitivity cs = schedule::fileNameCase();
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    QStringList dayLists, entryFiles;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (schedule::isDayListFileName(name, cs))
            dayLists.append(name);
        else if (schedule::parseEntryFileName(name, cs))
            entryFiles.append(name);
    }
    // The launcher runs the day lists, not the entry files: they go first, so
    // a run killed part way never leaves a list whose entries are gone.
    for (const QString &name : dayLists + entryFiles) {
        QFile file(prefix + name);
        if (!file.remove())
            report.fail(QStringLiteral("cannot remove %1: %2").arg(name, file.errorString()));
    }
    return report;
}

} // namespace companion
