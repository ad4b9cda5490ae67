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
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!schedule::parseEntryFileName(name, cs) && !schedule::isDayListFileName(name, cs))
            continue;
        QFile file(prefix + name);
        if (!file.remove())
            report.fail(QStringLiteral("cannot remove %1: %2").arg(name, file.errorString()));
    }
    return report;
}

} // namespace companion
