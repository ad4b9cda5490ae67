// The drive list's places, from a mount table such as a desktop machine
// with a container engine, snaps and removable media has.
#include "platform/Volumes.h"

#include <QtTest>

class TestVolumes : public QObject
{
    Q_OBJECT
private slots:
    void browsable_data();
    void browsable();
};

void TestVolumes::browsable_data()
{
    QTest::addColumn<QString>("home");
    QTest::addColumn<QStringList>("shown");
    const QStringList shown{"/", "/data", "/home", "/home/ann/cloud", "/media/ann/USB DISK", "/mnt/data",
                            "/run/media/ann/STICK"};
    QTest::newRow("home on its own volume") << "/home/ann" << shown;
    QTest::newRow("home under /var") << "/var/home/ann" << shown + QStringList{"/var/home"};
    QTest::newRow("home on the root") << "/root" << shown;
}

void TestVolumes::browsable()
{
    QFETCH(QString, home);
    QFETCH(QStringList, shown);
    const QList<platform::Volume> table{
        {"/proc", "proc"}, {"/sys", "sysfs"}, {"/dev", "devtmpfs"}, {"/dev/shm", "tmpfs"},
        {"/media/ann/USB DISK", "vfat"}, {"/", "ext4"}, {"/boot", "ext4"}, {"/boot/efi", "vfat"},
        {"/run", "tmpfs"}, {"/run/user/1000/doc", "fuse.portal"}, {"/run/media/ann/STICK", "exfat"},
        {"/run/user/1000/gvfs", "fuse.gvfsd-fuse"}, {"/snap/core22/1033", "squashfs"}, {"/opt/image", "squashfs"},
        {"/var/lib/docker/overlay2/5e1f/merged", "overlay"}, {"/var/home", "btrfs"}, {"/home", "ext4"},
        {"/mnt/data", "xfs"}, {"/data", "ext4"}, {"/etc/hosts", "ext4"}, {"/tmp", "tmpfs"},
        {"/home/ann/cloud", "fuse.rclone"}, {"/usr/local", "ext4"}, {"/mnt/data", "xfs"}};
    QCOMPARE(platform::browsableVolumes(table, home), shown);
}

QTEST_APPLESS_MAIN(TestVolumes)
#include "test_volumes.moc"
