#include "platform/Volumes.h"

#include <QDir>
#include <QStorageInfo>

namespace platform {

#ifndef Q_OS_WIN
namespace {

// path is folder itself or lies inside it.
bool within(const QString &path, const QString &folder)
{
    return folder == u"/" || path == folder || path.startsWith(folder + u'/');
}

bool systemMount(const Volume &volume)
{
    static const QByteArrayList kernelAndImages{
        "autofs",     "binfmt_misc", "bpf",      "cgroup",     "cgroup2",     "configfs",      "debugfs",
        "devpts",     "devtmpfs",    "efivarfs", "fuse.lxcfs", "fuse.portal", "fuse.snapfuse", "fusectl",
        "hugetlbfs",  "mqueue",      "nsfs",     "overlay",    "proc",        "pstore",        "ramfs",
        "rpc_pipefs", "securityfs",  "squashfs", "sysfs",      "tmpfs",       "tracefs"};
    static const QStringList systemFolders{"/bin",  "/boot", "/dev",  "/efi",  "/etc", "/lib", "/lib32", "/lib64",
                                           "/proc", "/run",  "/sbin", "/snap", "/sys", "/tmp", "/usr",   "/var"};
    if (kernelAndImages.contains(volume.fileSystemType))
        return true;
    // Removable media mounted by the desktop for the user.
    if (within(volume.rootPath, QStringLiteral("/run/media")))
        return false;
    for (const QString &folder : systemFolders)
        if (within(volume.rootPath, folder))
            return true;
    return false;
}

} // namespace
#endif

QStringList browsableVolumes(const QList<Volume> &mounted, const QString &homeFolder)
{
    QStringList roots;
#ifdef Q_OS_WIN
    Q_UNUSED(homeFolder);
    for (const Volume &volume : mounted)
        roots.append(QDir::toNativeSeparators(volume.rootPath));
#else
    // The volume of the home folder: the deepest mount that holds it.
    QString home = QStringLiteral("/");
    for (const Volume &volume : mounted)
        if (within(homeFolder, volume.rootPath) && volume.rootPath.size() > home.size())
            home = volume.rootPath;
    for (const Volume &volume : mounted)
        if (volume.rootPath == home || !systemMount(volume))
            roots.append(volume.rootPath);
#endif
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
