// Where a bare program name is looked for, how it is started and how the end
// of a watched program is reported, which volumes the drive list offers, and
// the rules of the files the launcher and the companions trust, read and
// write.
#include "base/SafeFile.h"
#include "platform/SystemProgramStarter.h"
#include "platform/Trust.h"
#include "platform/Volumes.h"
#include "platform/XdgShortcutMaker.h"
#include "support/AsUser.h"
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
    void volumes_data();
    void volumes();
    void files_data();
    void files();
};

// clang-format off
void TestPlatform::lookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("path"); // PATH; "W" stands for the working folder's name
    QTest::addColumn<QString>("found");   // "app", "path" or "" for none
    QTest::addColumn<bool>("bad");        // started in a folder whose name is not UTF-8

    // The application folder comes first: a program of this test's own name elsewhere is not taken.
    QTest::newRow("application folder first") << "test_platform" << QByteArray("/tmp/P") << "app" << false;
    QTest::newRow("on the PATH") << "probe" << QByteArray("/nonexistent:/tmp/P") << "path" << false;
    QTest::newRow("failing at its end") << "fails" << QByteArray("/tmp/P") << "path" << false;
    QTest::newRow("from a folder not UTF-8") << "probe" << QByteArray("/tmp/P") << "path" << true;
    // Empty, "." and relative PATH entries all mean the working folder.
    QTest::newRow("never the working folder") << "here" << QByteArray(":.:W:../W") << "" << false;
    QTest::newRow("nowhere") << "vellomar-no-such-program.com" << QByteArray("/tmp/P") << "" << false;
}
// clang-format on

void TestPlatform::lookup()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, path);
    QFETCH(QString, found);
    QFETCH(bool, bad); // started there all the same
    QTemporaryDir onPath;
    testing::WorkFolder work;
    QVERIFY(!bad || (::mkdir("w\xff", 0700) == 0 && ::chdir("w\xff") == 0));
    // Shell programs that leave the file "ran" in their working folder; "fails" fails.
    for (const QString &program : {onPath.filePath("probe"), onPath.filePath("fails"), onPath.filePath("test_platform"), work.filePath("here")})
        QVERIFY(testing::writeFile(program, "#!/bin/sh\necho ran > ran\n[ \"${0##*/}\" != fails ]\n")
                && QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    const QByteArray saved = qgetenv("PATH");
    const auto restore = qScopeGuard([&saved] { qputenv("PATH", saved); });
    qputenv("PATH", path.replace("W", QFile::encodeName(QFileInfo(work.path()).fileName())).replace("/tmp/P", QFile::encodeName(onPath.path())));
    const QString expected = found == "app" ? QCoreApplication::applicationFilePath() : found == "path" ? onPath.filePath(name) : QString();
    QCOMPARE(platform::SystemProgramStarter::findProgram(name), expected);
    platform::SystemProgramStarter starter;
    // With -functions the test program itself only lists its tests, and starts no copy of itself in turn.
    const base::Result<qint64> started = starter.start(name, {"-functions"}, platform::WindowStyle::Hidden);
    QCOMPARE(started.ok(), !found.isEmpty());
    QCOMPARE(started.reason().isEmpty(), started.ok());
    if (found == "path") // not waited for; started in the working folder
        QTRY_COMPARE(testing::readFile("ran"), QByteArray("ran\n"));
    // Watched, its end arrives through the event loop, not before the start returns.
    QString end = "none";
    QCOMPARE(starter.start(name, {"-functions"}, platform::WindowStyle::NormalFocus, [&end](bool ok) { end = ok ? "ok" : "failed"; }).ok(), !found.isEmpty());
    QCOMPARE(end, "none");
    QTRY_COMPARE(end, found.isEmpty() ? "none" : name == "fails" ? "failed" : "ok");
    QVERIFY(!bad || (QFile::remove("ran") && ::chdir("..") == 0 && ::rmdir("w\xff") == 0));
}

// clang-format off
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
// clang-format on

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

namespace {

// The files of the rows below, "path kind owner mode": kind f (a file holding
// "text"), d (a folder), p (a pipe) or ->target (a link); owner me (the
// ordinary user), they (a second one) or root.
const char *const kFiles[] = {"own d me 0755",       "own/p f me 0755",   "own/w f me 0757",       "own/t f they 0666",   "own/pipe p me 0600",
                              "own/l ->p me",        "own/x ->p they",    "own/rendaro f me 0755", "own/r ->rendaro me",  "open d me 0775",
                              "open/p f me 0755",    "open/in d me 0755", "open/in/p f me 0755",   "sticky d root 01777", "sticky/p f me 0755",
                              "theirs d they 01777", "theirs/p f me 0755"};

// What the ordinary user gets doing words[0] with the path words[1] (and a mode, words[2]).
QString act(const QStringList &words)
{
    const QString &path = words[1];
    if (words[0] == "start") { // own/rendaro stands for one of the launcher's own programs
        const base::Result<QString> program = platform::startableProgram(path, {QDir::current().filePath("own/rendaro")});
        return program ? *program : program.reason();
    }
    if (words[0] == "list") {
        QStringList names;
        const base::Result<> listed = base::FolderReader(path).forEachFile(words.size() > 2, [&names](QStringView name) { names << name.toString(); });
        names.sort();
        return listed ? names.join(u' ') : listed.reason();
    }
    if (words[0] == "shortcut") { // an autostart entry in own/autostart, named by the rest
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(QDir::current().filePath("own")));
        const QString name = words.mid(1).join(u' ');
        const base::Result<> made = platform::XdgShortcutMaker().create("\\Startup", name, "/usr/bin/true", {}, platform::ShortcutScope::CurrentUser, "/");
        return made ? QString(testing::readFile("own/autostart/" + name + ".desktop")).section(u'\n', 2, 2) : made.reason();
    }
    if (words[0] == "replace") {
        ::umask(002);
        const base::Result<> replaced = base::replaceFile(path, "new", words.value(2, "-1").toInt(nullptr, 8));
        // clang-format off
        struct stat info = {};
        // clang-format on
        return !replaced ? replaced.reason()
                         : QString("%1, mode %2; own/p: %3")
                               .arg(QString(testing::readFile(path)))
                               .arg(::lstat(QFile::encodeName(path), &info) ? -1 : info.st_mode & 07777, 4, 8, QChar('0'))
                               .arg(QString(testing::readFile("own/p")));
    }
    QFile file;
    const base::OpenedFile opened = words[0] == "read" ? base::openForReading(file, path) : base::openForAppending(file, path);
    if (opened.status != base::OpenedFile::Opened)
        return opened.status == base::OpenedFile::Missing ? "missing" : "refused: " + opened.why;
    if (words[0] == "append")
        return QString("opened, mode %1").arg(base::openFileMode(file), 4, 8, QChar('0'));
    const QString got = "opened: " + QString::fromUtf8(file.readAll());
    const base::Result<> safe = platform::checkTrust(file);
    return safe ? got : got + "; not safe: " + safe.reason();
}

} // namespace

// clang-format off
void TestPlatform::files_data()
{
    QTest::addColumn<QString>("act");  // on the files of kFiles
    QTest::addColumn<QString>("gets"); // T: their folder
    // What the launcher may start at logon: the program's real path, or why not.
    QTest::newRow("start own") << "start own/p" << "T/own/p";
    QTest::newRow("start through own link") << "start own/l" << "T/own/p";
    QTest::newRow("start, others may write it") << "start own/w" << "the program file is not safe: other users may write to it (mode 0757)";
    QTest::newRow("start another user's") << "start own/t" << "the program file is not safe: it belongs to another user (uid 65533)";
    QTest::newRow("start through another user's link") << "start own/x" << "the link T/own/x on its path belongs to another user (uid 65533)";
    QTest::newRow("start its own") << "start own/r" << "it is T/own/rendaro, one of Vellomar's own programs, which the launcher never starts";
    QTest::newRow("start nothing") << "start own/none" << "there is no such file";
    const QString open = "its folder T/open is not safe: other users may write to it (mode 0775)";
    QTest::newRow("start, the group may write its folder") << "start open/p" << open;
    QTest::newRow("start, the group may write a folder above") << "start open/in/p" << open;
    QTest::newRow("start in root's sticky folder") << "start sticky/p" << "T/sticky/p";
    QTest::newRow("start in another's sticky folder") << "start theirs/p" << "its folder T/theirs is not safe: it belongs to another user (uid 65533)";
    // Reading: never through a link, never waiting on a pipe, a regular file only; then whether it is safe.
    QTest::newRow("read") << "read own/p" << "opened: text";
    QTest::newRow("read a link") << "read own/l" << "refused: it is a symbolic link";
    QTest::newRow("read a pipe") << "read own/pipe" << "refused: it is not a regular file";
    QTest::newRow("read a folder") << "read own" << "refused: it is not a regular file";
    QTest::newRow("read nothing") << "read own/none" << "missing";
    QTest::newRow("read another user's") << "read own/t" << "opened: text; not safe: it belongs to another user (uid 65533)";
    QTest::newRow("read one others may write") << "read own/w" << "opened: text; not safe: other users may write to it (mode 0757)";
    QTest::newRow("list") << "list own" << "p rendaro t w";
    QTest::newRow("list, links followed") << "list own links" << "l p r rendaro t w x";
    // Appending: to the user's own regular file only, which others lose the right to write.
    QTest::newRow("append") << "append own/w" << "opened, mode 0755";
    QTest::newRow("append to a link") << "append own/l" << "refused: it is a symbolic link";
    QTest::newRow("append to a pipe") << "append own/pipe" << "refused: it is not a regular file";
    QTest::newRow("append to another user's") << "append own/t" << "refused: it belongs to another user (uid 65533)";
    // Replacing: a new file takes the name, never written through a link; by default the umask's mode, less group and other write.
    QTest::newRow("replace") << "replace own/p" << "new, mode 0644; own/p: new";
    QTest::newRow("replace a link") << "replace own/l 0600" << "new, mode 0600; own/p: text";
    // An autostart entry: a reader trims blanks after "=", and a hidden file or one in another folder is no entry.
    QTest::newRow("shortcut with a leading blank") << "shortcut  Rendaro" << "Name=\\sRendaro";
    QTest::newRow("shortcut with a leading dot") << "shortcut .Rendaro" << "\".Rendaro\" cannot be a shortcut name";
    QTest::newRow("shortcut with a slash") << "shortcut a/Rendaro" << "\"a/Rendaro\" cannot be a shortcut name";
}
// clang-format on

void TestPlatform::files()
{
    QFETCH(QString, act);
    QFETCH(QString, gets);
    if (!testing::isRoot())
        QSKIP("files of another user and of root take root to set up");
    QTemporaryDir root;
    QVERIFY(QFile::setPermissions(root.path(), QFile::Permissions(0x7755)));
    for (const QString line : kFiles) {
        const QStringList f = line.split(u' ');
        const QString path = root.filePath(f[0]);
        const QByteArray name = QFile::encodeName(path);
        const uid_t owner = f[2] == "me" ? 65534 : f[2] == "they" ? 65533 : 0;
        QVERIFY2((f[1] == "f"   ? testing::writeFile(path, "text")
                  : f[1] == "d" ? QDir().mkdir(path)
                  : f[1] == "p" ? ::mkfifo(name, 0600) == 0
                                : QFile::link(f[1].mid(2), path))
                     && ::lchown(name, owner, owner) == 0 && (f.size() < 4 || ::chmod(name, f[3].toUInt(nullptr, 8)) == 0),
                 qPrintable(line));
    }
    const QString got = testing::inChildAsOrdinary([&] { return QDir::setCurrent(root.path()) ? ::act(act.split(u' ')) : "no folder"; });
    QCOMPARE(QString(got).replace(root.path(), "T"), gets);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
