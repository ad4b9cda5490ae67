#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

QChar separator()
{
    return QDir::separator();
}

QString withTrailingSeparator(const QString &folder)
{
    return withTrailingSeparator(folder, separator());
}

QString withTrailingSeparator(const QString &folder, QChar separator)
{
    if (folder.endsWith(separator))
        return folder;
    return folder + separator;
}

QString joinPath(const QString &folder, const QString &name)
{
    return withTrailingSeparator(folder) + name;
}

QString nativeFolder(const QString &folder)
{
    return QDir::toNativeSeparators(folder);
}

QString applicationFolder()
{
    return withTrailingSeparator(nativeFolder(QCoreApplication::applicationDirPath()));
}

QString programsFolder()
{
#ifdef Q_OS_WIN
    const QString windowsFolder = QStringLiteral("C:\\PROGRAM FILES");
    if (QFileInfo(windowsFolder).isDir())
        return windowsFolder;
    return nativeFolder(QDir::rootPath());
#else
    for (const char *candidate : {"/usr/bin", "/bin"})
        if (QFileInfo(QString::fromLatin1(candidate)).isReadable())
            return QString::fromLatin1(candidate);
    return QDir::rootPath();
#endif
}

QString textEditor()
{
#ifdef Q_OS_WIN
    return QStringLiteral("notepad.exe");
#else
    return QStringLiteral("xdg-open");
#endif
}

bool textEditorMayFail()
{
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

} // namespace platform
