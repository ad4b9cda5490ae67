// The volumes offered on Windows: every drive that is mounted.
#include "platform/Volumes.h"

#include <QDir>

namespace platform {

QStringList offeredVolumes(const QList<Volume> &mounted, const QString &)
{
    QStringList roots;
    for (const Volume &volume : mounted)
        roots.append(QDir::toNativeSeparators(volume.rootPath));
    return roots;
}

} // namespace platform
