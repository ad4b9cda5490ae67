#include "platform/LogonEntry.h"

#include "platform/DesktopEntry.h"
#include "platform/Trust.h"
#include "platform/XdgShortcutMaker.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace platform {

namespace {

// The autostart folders, most important first: the user's, then one in
// each folder of $XDG_CONFIG_DIRS (default /etc/xdg).
QStringList autostartFolders()
{
    QStringList folders;
    for (const QString &dir : qEnvironmentVariable("XDG_CONFIG_DIRS").split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))
            folders.append(QDir::cleanPath(dir + QStringLiteral("/autostart")));
    if (folders.isEmpty())
        folders.append(QStringLiteral("/etc/xdg/autostart"));
    return QStringList{XdgShortcutMaker::autostartFolder(ShortcutScope::CurrentUser)} + folders;
}

// Whether a list value ("GNOME;KDE;") names one of the desktops of this session.
bool namesThisDesktop(const QString &list)
{
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    for (const QString &name : list.split(u';', Qt::SkipEmptyParts))
        if (desktops.contains(name))
            return true;
    return false;
}

// The key=value that keeps a desktop from starting the entry at logon, if any.
QString switchedOffBy(const QHash<QString, QString> &keys)
{
    const auto is = [&keys](const char *key, const char *value) {
        return keys.value(QLatin1String(key)) == QLatin1String(value);
    };
    const auto setting = [&keys](const QString &key) { return key + u'=' + keys.value(key); };
    if (is("Hidden", "true"))
        return QStringLiteral("Hidden=true");
    if (is("X-GNOME-Autostart-enabled", "false"))
        return QStringLiteral("X-GNOME-Autostart-enabled=false");
    if (keys.contains(QStringLiteral("OnlyShowIn")) && !namesThisDesktop(keys.value(QStringLiteral("OnlyShowIn"))))
        return setting(QStringLiteral("OnlyShowIn"));
    if (namesThisDesktop(keys.value(QStringLiteral("NotShowIn"))))
        return setting(QStringLiteral("NotShowIn"));
    const QString tryExec = keys.value(QStringLiteral("TryExec"));
    if (!tryExec.isEmpty() && QStandardPaths::findExecutable(tryExec).isEmpty())
        return setting(QStringLiteral("TryExec")) + QStringLiteral(", which cannot be found");
    return {};
}

} // namespace

// Of the entries of that name the most important one alone counts: the
// user's own replaces the system's, and hides it where it is switched off.
LogonEntry judgeLogonEntry(const QString &linkName, const QString &program)
{
    const QStringList folders = autostartFolders();
    for (const QString &folder : folders) {
        const QString path = folder + u'/' + linkName + QStringLiteral(".desktop");
        QFile file(path);
        if (!file.exists())
            continue;
        if (!file.open(QIODevice::ReadOnly))
            return {false, QStringLiteral("%1 cannot be read").arg(path)};
        const QHash<QString, QString> keys = readDesktopEntry(file.read(64 * 1024));
        const QString own = folder == folders.first() ? QStringLiteral("your own entry ") : QString();
        if (const QString off = switchedOffBy(keys); !off.isEmpty())
            return {false, QStringLiteral("%1%2 switches it off (%3)").arg(own, path, off)};
        const std::optional<QStringList> exec = splitExecValue(keys.value(QStringLiteral("Exec")));
        const QString starts = exec && !exec->isEmpty() ? exec->first() : QString();
        if (starts.isEmpty() || !sameFile(QStandardPaths::findExecutable(starts), program))
            return {false, QStringLiteral("%1%2 starts \"%3\", not %4").arg(own, path, starts, program)};
        return {true, QStringLiteral("%1 starts %2").arg(path, program)};
    }
    return {false, QStringLiteral("no %1.desktop in %2").arg(linkName, folders.join(QStringLiteral(", ")))};
}

// The user's own entry was just written whole, switch and all; an entry for
// all users that the user's own hides stays hidden: that file is the user's
// to remove, and only they are told.
base::Result<void> switchOnLogonEntry(ShortcutScope, const QString &linkName, const QString &program)
{
    const LogonEntry entry = judgeLogonEntry(linkName, program);
    if (!entry.starts)
        return base::Failure{entry.what};
    return {};
}

} // namespace platform
