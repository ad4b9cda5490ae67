#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

QString withTrailingSeparator(const QString &folder)
{
    if (folder.endsWith(QDir::separator()))
        return folder;
    return folder + QDir::separator();
}

QString joinPath(const QString &folder, const QString &name)
{
    return withTrailingSeparator(folder) + name;
}

QString applicationFolder()
{
    return withTrailingSeparator(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

QString programsFolder()
{
#ifdef Q_OS_WIN
    const QString windowsFolder = QStringLiteral("C:\\PROGRAM FILES");
    if (QFileInfo(windowsFolder).isDir())
        return windowsFolder;
    return QDir::toNativeSeparators(QDir::rootPath());
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
