// Where a bare program name is looked for, how it is started, how the end of
// a watched program is reported, and which volumes the drive list offers.
#include "platform/SystemProgramStarter.h"
#include "platform/Volumes.h"
#include "support/Files.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void lookup_data();
    void lookup();
    void watchedEnd();
    void volumes_data();
    void volumes();
};

void TestPlatform::lookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("path"); // PATH; "W" stands for the working folder's name
    QTest::addColumn<QString>("found");   // "app", "path" or "" for none
    QTest::addColumn<bool>("bad");        // started in a folder whose name is not UTF-8

    // The application folder comes first: a program of this test's own name elsewhere is not taken.
    QTest::newRow("application folder first") << "test_platform" << QByteArray("/tmp/P") << "app" << false;
    QTest::newRow("on the PATH") << "probe" << QByteArray("/nonexistent:/tmp/P") << "path" << false;
    QTest::newRow("from a folder not UTF-8") << "probe" << QByteArray("/tmp/P") << "path" << true;
    // Empty, "." and relative PATH entries all mean the working folder.
    QTest::newRow("never the working folder") << "here" << QByteArray(":.:W:../W") << "" << false;
    QTest::newRow("nowhere") << "vellomar-no-such-program.com" << QByteArray("/tmp/P") << "" << false;
}

void TestPlatform::lookup()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, path);
    QFETCH(QString, found);
    QFETCH(bool, bad); // started there all the same
    QTemporaryDir onPath;
    testing::WorkFolder work;
    QVERIFY(!bad || (::mkdir("w\xff", 0700) == 0 && ::chdir("w\xff") == 0));
    // Shell programs that leave the file "ran" in their working folder.
    for (const QString &program : {onPath.filePath("probe"), onPath.filePath("test_platform"), work.filePath("here")})
        QVERIFY(testing::writeFile(program, "#!/bin/sh\necho ran > ran\n") && QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    const QByteArray saved = qgetenv("PATH");
    const auto restore = qScopeGuard([&saved] { qputenv("PATH", saved); });
    qputenv("PATH", path.replace("W", QFile::encodeName(QFileInfo(work.path()).fileName()))
                        .replace("/tmp/P", QFile::encodeName(onPath.path())));
    const QString expected = found == "app" ? QCoreApplication::applicationFilePath()
                                            : found == "path" ? onPath.filePath(name) : QString();
    QCOMPARE(platform::SystemProgramStarter::findProgram(name), expected);
    platform::SystemProgramStarter starter;
    // With -functions the test program itself only lists its tests, and starts no copy of itself in turn.
    const base::Result<qint64> started = starter.start(name, {"-functions"}, platform::WindowStyle::Hidden);
    QCOMPARE(started.ok(), !found.isEmpty());
    QCOMPARE(started.reason().isEmpty(), started.ok());
    if (found == "path") // not waited for; started in the working folder
        QTRY_COMPARE(testing::readFile("ran"), QByteArray("ran\n"));
    QVERIFY(!bad || (QFile::remove("ran") && ::chdir("..") == 0 && ::rmdir("w\xff") == 0));
}

// The end of a watched program is not waited for: it arrives through the event loop.
void TestPlatform::watchedEnd()
{
    platform::SystemProgramStarter starter;
    QStringList ends;
    for (const QString program : {"true", "false"})
        QVERIFY(starter.start(program, {}, platform::WindowStyle::NormalFocus,
                              [&ends, program](bool ok) { ends.append(program + (ok ? " ok" : " failed")); }).ok());
    QVERIFY(ends.isEmpty());
    QTRY_VERIFY(ends.size() == 2);
    ends.sort();
    QCOMPARE(ends, (QStringList{"false failed", "true ok"}));
}

void TestPlatform::volumes_data()
{
    QTest::addColumn<QString>("mounted"); // "where:type ..."
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("shown");   // the drive list, in order

    QTest::newRow("desktop") << "/run/media/ann/USB:vfat /:ext4 /boot:ext4 /boot/efi:vfat /proc:proc /sys:sysfs "
                                "/dev:devtmpfs /run/user/1000:tmpfs /media/cd:iso9660 /mnt/data:ext4 /home:ext4 /devel:xfs "
                                "/mnt/image:squashfs /data:fuse.portal /tmp:tmpfs /srv:overlay /data:ext4 /mnt/data:ext4"
                             << "/home/ann" << "/ /data /devel /home /media/cd /mnt/data /run/media/ann/USB";
    // The home folder's volume is shown whatever it is: the deepest mount that holds it.
    QTest::newRow("home on a system mount") << "/var:tmpfs /var/home:tmpfs /var/lib:ext4" << "/var/home/ann" << "/ /var/home";
    QTest::newRow("nothing mounted") << "" << "/home/ann" << "/";
}

void TestPlatform::volumes()
{
    QFETCH(QString, mounted);
    QFETCH(QString, home);
    QFETCH(QString, shown);
    QList<platform::Volume> volumes;
    for (const QString &volume : mounted.split(u' ', Qt::SkipEmptyParts))
        volumes.append({volume.section(u':', 0, 0), volume.section(u':', 1).toLatin1()});
    QCOMPARE(platform::browsableVolumes(volumes, home).join(u' '), shown);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
