#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

// One line of the mount table.
struct Volume {
    QString rootPath;          // where it is mounted, "/" separated
    QByteArray fileSystemType; // "ext4", "squashfs", "fuse.portal" ...
};

// The places a user browses, as a file manager's side bar shows them: "/"
// first, the volume of the home folder, and the removable and data volumes
// (/media/..., /mnt/..., /run/media/..., /data, /home ...), in name order.
// Left out: the system's own mounts (/boot, /boot/efi, /proc, /sys, /dev,
// /run/..., /snap/..., /var/..., /usr/..., /etc/..., /tmp/...), memory and
// kernel file systems, container layers (overlay) and read-only images
// (squashfs). On Windows, every volume: the drive letters.
QStringList browsableVolumes(const QList<Volume> &mounted, const QString &homeFolder);

// The mount table now, of the volumes that are ready.
QList<Volume> mountedVolumes();

// What browsableVolumes() orders: the volumes this system offers, in
// UnixVolumes.cpp and WinVolumes.cpp.
QStringList offeredVolumes(const QList<Volume> &mounted, const QString &homeFolder);

} // namespace platform
