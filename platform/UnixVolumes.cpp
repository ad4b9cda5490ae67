// The volumes offered on Linux: the home folder's and those the user
// mounted, none of the system's own mounts.
#include "platform/Volumes.h"

namespace platform {

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

QStringList offeredVolumes(const QList<Volume> &mounted, const QString &homeFolder)
{
    QStringList roots;
    // The volume of the home folder: the deepest mount that holds it.
    QString home = QStringLiteral("/");
    for (const Volume &volume : mounted)
        if (within(homeFolder, volume.rootPath) && volume.rootPath.size() > home.size())
            home = volume.rootPath;
    for (const Volume &volume : mounted)
        if (volume.rootPath == home || !systemMount(volume))
            roots.append(volume.rootPath);
    return roots;
}

} // namespace platform
