#include "platform/XdgShortcutMaker.h"

#include "base/SafeFile.h"
#include "platform/DesktopEntry.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <sys/stat.h>

namespace platform {

namespace {

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

// A read-only file system is no want of rights: an administrator could not
// write there either, and is not the one to ask.
bool isPermissionError(int error)
{
    return error == EACCES || error == EPERM;
}

base::Failure systemReason(const QString &path, const QString &text, int error)
{
    return {QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), text), error, isPermissionError(error)};
}

// Creates folder and the folders on the way to it, as mkdir -p does,
// keeping the system's reason when one cannot be made.
base::Result<void> makeFolder(const QString &folder)
{
    QStringList missing;
    QString existing = QDir::cleanPath(folder);
    while (!QFileInfo::exists(existing)) {
        missing.prepend(existing);
        const QString parent = QFileInfo(existing).absolutePath();
        if (parent == existing)
            break;
        existing = parent;
    }
    if (QFileInfo::exists(existing) && !QFileInfo(existing).isDir())
        return base::Failure{QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(existing))};
    for (const QString &path : missing) {
        if (::mkdir(QFile::encodeName(path).constData(), 0755) != 0 && errno != EEXIST)
            return systemReason(path, base::systemErrorText(errno), errno);
    }
    return {};
}

} // namespace

QString XdgShortcutMaker::autostartFolder(ShortcutScope scope)
{
    const QString base = scope == ShortcutScope::CurrentUser
                             ? baseFolder("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"))
                             : firstConfigDir();
    return QDir::cleanPath(base + QStringLiteral("/autostart"));
}

base::Result<void> XdgShortcutMaker::create(const QString &folder, const QString &linkName, const QString &target,
                                            const QString &arguments, ShortcutScope scope, const QString &workingFolder)
{
    if (folder != QLatin1String("\\Startup"))
        return base::Failure{QStringLiteral("there is no shortcut folder \"%1\" here").arg(folder)};
    if (linkName.isEmpty() || linkName.contains(u'/') || linkName.startsWith(u'.'))
        return base::Failure{QStringLiteral("\"%1\" cannot be a shortcut name").arg(linkName)};

    const base::Result<QByteArray> entry =
        applicationEntry(linkName, target, QProcess::splitCommand(arguments), workingFolder);
    if (!entry)
        return entry.failure();

    const QString autostart = autostartFolder(scope);
    if (const base::Result<void> made = makeFolder(autostart); !made)
        return made;

    const QString path = autostart + u'/' + linkName + QStringLiteral(".desktop");
    // Replaced whole, never written through a link of that name. A desktop
    // entry is read by the session, not run; 0644 like any other.
    const base::Result<> written = base::replaceFile(path, *entry, 0644);
    if (!written)
        return systemReason(path, written.reason(), written.failure().code);
    return {};
}

} // namespace platform
