#include "platform/Volumes.h"

#include <QDir>
#include <QStorageInfo>

namespace platform {

QStringList browsableVolumes(const QList<Volume> &mounted, const QString &homeFolder)
{
    QStringList roots = offeredVolumes(mounted, homeFolder);
    roots.sort();
    roots.removeDuplicates();
    const QString root = QDir::toNativeSeparators(QDir::rootPath());
    roots.removeAll(root);
    roots.prepend(root);
    return roots;
}

QList<Volume> mountedVolumes()
{
    QList<Volume> volumes;
    for (const QStorageInfo &storage : QStorageInfo::mountedVolumes())
        if (storage.isValid() && storage.isReady())
            volumes.append({storage.rootPath(), storage.fileSystemType()});
    return volumes;
}

} // namespace platform
