#include "platform/XdgShortcutMaker.h"

#include "platform/DesktopEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace platform {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("platform", text);
}

// An environment folder as the XDG base directory rules read it: set,
// not empty and absolute, or else the default.
QString baseFolder(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return !value.isEmpty() && QDir::isAbsolutePath(value) ? value : fallback;
}

QString firstConfigDir()
{
    const QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    for (const QString &dir : dirs.split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))
            return dir;
    return QStringLiteral("/etc/xdg");
}

bool isPermissionError(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

struct Why {
    QString text;
    bool permission = false;
};

// Why a file cannot be made in folder: the first folder on the way that is
// not a folder, or the system's reason for the nearest one that exists.
Why whyNotWritable(const QString &folder)
{
    QString existing = folder;
    while (!QFileInfo::exists(existing) && QFileInfo(existing).absolutePath() != existing)
        existing = QFileInfo(existing).absolutePath();
    if (!QFileInfo(existing).isDir())
        return {tr("%1 is not a folder").arg(QDir::toNativeSeparators(existing)), false};
    if (::access(QFile::encodeName(existing).constData(), W_OK | X_OK) != 0) {
        const int error = errno;
        return {QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(existing),
                                             QString::fromLocal8Bit(std::strerror(error))),
                isPermissionError(error)};
    }
    return {};
}

ShortcutResult failure(const Why &why, const QString &fallback, ShortcutScope scope)
{
    const QString text = why.text.isEmpty() ? fallback : why.text;
    return {false, text, why.permission && scope == ShortcutScope::AllUsers};
}

} // namespace

QString XdgShortcutMaker::autostartFolder(ShortcutScope scope)
{
    const QString base = scope == ShortcutScope::CurrentUser
                             ? baseFolder("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"))
                             : firstConfigDir();
    return QDir::cleanPath(base + QStringLiteral("/autostart"));
}

ShortcutResult XdgShortcutMaker::create(const QString &folder, const QString &linkName, const QString &target,
                                        const QString &arguments, ShortcutScope scope,
                                        const QString &workingFolder)
{
    if (folder != QLatin1String("\\Startup"))
        return {false, tr("there is no shortcut folder \"%1\" here").arg(folder), false};
    if (linkName.isEmpty() || linkName.contains(u'/') || linkName.startsWith(u'.'))
        return {false, tr("\"%1\" cannot be a shortcut name").arg(linkName), false};

    QString why;
    const auto entry = applicationEntry(linkName, target, QProcess::splitCommand(arguments), workingFolder, &why);
    if (!entry)
        return {false, why, false};

    const QString autostart = autostartFolder(scope);
    if (!QDir().mkpath(autostart))
        return failure(whyNotWritable(autostart), tr("%1 cannot be created").arg(autostart), scope);

    const QString path = autostart + u'/' + linkName + QStringLiteral(".desktop");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(whyNotWritable(autostart), file.errorString(), scope);
    if (file.write(*entry) != entry->size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return failure({}, error, scope);
    }
    if (!file.commit())
        return failure(whyNotWritable(autostart), file.errorString(), scope);
    // A desktop entry is read by the session, not run; 0644 like any other.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return {true, {}, false};
}

} // namespace platform
