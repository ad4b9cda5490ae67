// The lock's folder and the working folder's name, as Windows gives them.
#include "companions/rendaro/session/SingleInstance.h"

#include <QDir>

namespace rendaro {

// Its name, in whatever case it is written.
QByteArray SingleInstance::workingFolderKey()
{
    return QDir::currentPath().toLower().toUtf8();
}

// The user's own temporary folder.
base::Result<QString> SingleInstance::lockFolder()
{
    return QDir::tempPath();
}

} // namespace rendaro
