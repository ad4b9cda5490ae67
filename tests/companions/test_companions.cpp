// brinol.com and zeptra.com, the built programs, in temporary working folders.
#include "companions/common/WorkFolderLock.h"
#include "support/AsUser.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"

#include <QLockFile>
#include <QtTest>

#include <sys/stat.h>

using namespace testing;

namespace {

const QByteArray kSecret = "outside the working folder\n";

QByteArray monday(const char *time, const char *program)
{
    return entryText(time, programPath(program), "Normal", "Monday");
}

// How a path is now: "file:<bytes>", "link", "folder", "other" or "none".
QString state(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("link");
    if (info.isFile())
        return QStringLiteral("file:") + QString::fromLatin1(readFile(path));
    return info.isDir() ? QStringLiteral("folder") : info.exists() ? QStringLiteral("other") : QStringLiteral("none");
}

} // namespace

class TestCompanions : public QObject
{
    Q_OBJECT
private slots:
    void gather();
    void clear();
    void attacks_data();
    void attacks();
    void asOrdinaryUser_data();
    void asOrdinaryUser();
    void lock();
    void concurrentRunsNeverTearAList();
};

void TestCompanions::gather()
{
    WorkFolder dir;
    QVERIFY(dir.isValid());
    for (const char *list : kDayLists) // each old list is replaced, by an empty one for a day without entries
        QVERIFY(writeFile(list, monday("01:00", "old")));
    QVERIFY(writeFile("Mon2.dat", monday("19:30", "sync")));
    QVERIFY(writeFile("Thu2.dat", entryText("19:30", programPath("sync"), "Hide", "Thursday")));
    // By time, then by number as a number (9 before 10); midnight first.
    QVERIFY(writeFile("Wed10.dat", entryText("08:15", programPath("a"), "Normal", "Wednesday")));
    QVERIFY(writeFile("Wed9.dat", entryText("08:15", programPath("b"), "Max", "Wednesday")));
    QVERIFY(writeFile("Wed11.dat", entryText("00:00", programPath("c"), "Min", "Wednesday")));
    // LF line ends and no end after the last line become CR LF lines.
    QVERIFY(writeFile("Sat8.dat", "18:45\n" + programPath("lf").toUtf8() + "\nNormal\nSaturday"));
    // Not entry files by name: left alone.
    for (const char *name : {"Mon02.dat", "Mon.dat", "Monday.dat", "Mon2.dat.bak", "xMon2.dat", "mon3.dat"})
        QVERIFY(writeFile(name, monday("10:00", "decoy")));
    QVERIFY(QDir().mkdir("Fri5.dat"));
    QCOMPARE(::mkfifo("Fri6.dat", 0600), 0); // a pipe would block a reader for good
    // Entry files by name, but not valid: each skipped with a warning.
    const QMap<QString, QByteArray> bad{
        {"Tue3.dat", ""},
        {"Tue4.dat", "24:00\r\n/x\r\nNormal\r\nTuesday\r\n"},
        {"Tue5.dat", "09:00\r\n/x\r\nMinimize\r\nTuesday\r\n"},
        {"Tue6.dat", "09:00\r\n/x\r\nNormal\r\nMonday\r\n"},
        {"Tue7.dat", QByteArray("09:00\r\n/x\0\r\nNormal\r\nTuesday\r\n", 28)},
        {"Tue8.dat", "09:00\r\n/" + QByteArray(70'000, 'x') + "\r\nNormal\r\nTuesday\r\n"}};
    for (auto it = bad.cbegin(); it != bad.cend(); ++it)
        QVERIFY(writeFile(it.key(), it.value()));
    const QStringList names = dir.names();

    const QByteArray expected[7] = {
        monday("19:30", "sync"), "",
        entryText("00:00", programPath("c"), "Min", "Wednesday") + entryText("08:15", programPath("b"), "Max", "Wednesday")
            + entryText("08:15", programPath("a"), "Normal", "Wednesday"),
        entryText("19:30", programPath("sync"), "Hide", "Thursday"), "",
        entryText("18:45", programPath("lf"), "Normal", "Saturday"), ""};
    // Under a group-friendly umask too, the day lists are the owner's alone:
    // the launcher refuses lists that others may change.
    const mode_t umask = ::umask(002);
    for (int round = 0; round < 2; ++round) { // a second run writes the same lists
        const Finished run = testing::run(builtProgram("brinol.com"));
        QCOMPARE(run.exitCode, 0);
        QStringList warnings = QString::fromUtf8(run.err).split(u'\n', Qt::SkipEmptyParts);
        warnings.sort();
        QCOMPARE(warnings, (QStringList{"brinol.com: skipped Tue3.dat: 0 lines instead of 4",
                                        "brinol.com: skipped Tue4.dat: bad time line \"24:00\"",
                                        "brinol.com: skipped Tue5.dat: bad run style \"Minimize\"",
                                        "brinol.com: skipped Tue6.dat: the day line \"Monday\" is not Tuesday",
                                        "brinol.com: skipped Tue7.dat: contains a NUL byte",
                                        "brinol.com: skipped Tue8.dat: larger than 65536 bytes"}));
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(readFile(kDayLists[i]), expected[i]);
            QCOMPARE(QFileInfo(kDayLists[i]).permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
        }
        QCOMPARE(dir.names(), names); // entry files stay; no temporary or lock file is left
    }
    ::umask(umask);
}

void TestCompanions::clear()
{
    WorkFolder dir;
    QVERIFY(dir.isValid());
    QCOMPARE(run(builtProgram("zeptra.com")).exitCode, 0); // nothing to clear is no failure
    const QStringList data{"Mon2.dat", "Tue10.dat", "Sun123456789.dat", "Thu3.dat", "datmon.dat", "datsun.dat"};
    const QStringList kept{"notes.dat", "Mon01.dat", "Monday.dat", "datmon.dat.bak", "Mon0.dat", "xWed7.dat",
                           "Wed7.txt", "datmonday.dat", "mon2.dat", "DATMON.DAT", "readme.1st", "rendaro.log"};
    for (const QString &name : data + kept)
        QVERIFY(writeFile(name, "x"));
    QVERIFY(writeFile("sub/Mon2.dat", "in a subfolder"));
    QVERIFY(QDir().mkdir("Fri5.dat"));
    const Finished cleared = run(builtProgram("zeptra.com"));
    QCOMPARE(cleared.exitCode, 0);
    QCOMPARE(cleared.err, QByteArray());
    QStringList left = kept + QStringList{"Fri5.dat", "sub"};
    left.sort();
    QCOMPARE(dir.names(), left);
    QVERIFY(QFileInfo::exists("sub/Mon2.dat"));
}

void TestCompanions::attacks_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("name");   // what is planted under this name
    QTest::addColumn<QString>("plant");  // "link", "dangling", "pipe", "folder", "full" or nothing
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("after");  // the state of the name afterwards

    const QString gathered = "file:" + QString::fromLatin1(monday("06:00", "p"));
    QTest::newRow("brinol, day list links outside") << "brinol.com" << "datmon.dat" << "link" << 0 << gathered;
    QTest::newRow("brinol, day list dangles outside") << "brinol.com" << "datmon.dat" << "dangling" << 0 << gathered;
    QTest::newRow("brinol, day list is a pipe") << "brinol.com" << "datmon.dat" << "pipe" << 0 << gathered;
    QTest::newRow("brinol, day list is a folder") << "brinol.com" << "datmon.dat" << "folder" << 1 << "folder";
    // The disk full (a file size limit that holds for root too): the old list stays whole.
    QTest::newRow("brinol, disk full") << "brinol.com" << "datmon.dat" << "full" << 1 << "file:old";
    QTest::newRow("brinol, lock links outside") << "brinol.com" << "vellomar.lock" << "link" << 0 << "none";
    QTest::newRow("brinol, lock is a pipe") << "brinol.com" << "vellomar.lock" << "pipe" << 0 << "none";
    QTest::newRow("zeptra, lock dangles") << "zeptra.com" << "vellomar.lock" << "dangling" << 0 << "none";
    QTest::newRow("zeptra, entry file links outside") << "zeptra.com" << "Tue3.dat" << "link" << 0 << "none";
    QTest::newRow("zeptra, day list links outside") << "zeptra.com" << "datmon.dat" << "link" << 0 << "none";
    // No arguments: anything but --help and --version is refused, and no work done.
    QTest::newRow("brinol, an argument") << "brinol.com --all" << "datmon.dat" << "" << 2 << "none";
    QTest::newRow("zeptra, an argument") << "zeptra.com Mon2.dat" << "Mon2.dat" << "" << 2 << "file:" + gathered.mid(5);
}

void TestCompanions::attacks()
{
    QFETCH(QString, program);
    QFETCH(QString, name);
    QFETCH(QString, plant);
    QFETCH(int, exitCode);
    QFETCH(QString, after);

    QTemporaryDir outside;
    const QString target = outside.filePath("target"), missing = outside.filePath("profile");
    QVERIFY(writeFile(target, kSecret));
    WorkFolder dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile("Mon2.dat", monday("06:00", "p")));
    if (plant == "link" || plant == "dangling")
        QVERIFY(QFile::link(plant == "link" ? target : missing, name));
    else if (plant == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
    else if (plant == "folder")
        QVERIFY(QDir().mkdir(name));
    else if (plant == "full")
        QVERIFY(writeFile(name, "old"));

    std::optional<FileSizeLimit> full;
    if (plant == "full")
        full.emplace(10); // inherited by the program
    const QStringList command = program.split(u' ');
    const Finished run = testing::run(builtProgram(command[0]), command.mid(1), {}, QProcessEnvironment::systemEnvironment(), 20000);
    full.reset();
    QVERIFY2(run.ran, "the program did not end");
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(state(name), after);
    QCOMPARE(readFile(target), kSecret); // nothing outside is written, emptied or removed
    QCOMPARE(QDir(outside.path()).entryList(QDir::Files), QStringList{"target"});
    if (program == "brinol.com") { // the other days are written all the same
        QCOMPARE(readFile("datfri.dat"), QByteArray(""));
        QCOMPARE(QDir().entryList({"dat*.dat.*"}, QDir::Files), QStringList{}); // no temporary file left
    }
}

void TestCompanions::asOrdinaryUser_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<bool>("foreignEntry"); // Mon2.dat and the folder belong to root
    QTest::addColumn<QString>("says");

    // A run that fails before its work touches no file.
    QTest::newRow("brinol, folder cannot be listed") << "brinol.com" << 0300 << false << "cannot read the folder";
    QTest::newRow("zeptra, folder cannot be listed") << "zeptra.com" << 0300 << false << "cannot read the folder";
    QTest::newRow("brinol, no lock in a read-only folder") << "brinol.com" << 0500 << false << "permission denied";
    QTest::newRow("zeptra, no lock in a read-only folder") << "zeptra.com" << 0500 << false << "permission denied";
    // One that fails in its work does the rest of it: the day list goes.
    QTest::newRow("zeptra, a file it may not remove") << "zeptra.com" << 01777 << true << "cannot remove Mon2.dat";
}

void TestCompanions::asOrdinaryUser()
{
    QFETCH(QString, program);
    QFETCH(int, folderMode);
    QFETCH(bool, foreignEntry);
    QFETCH(QString, says);
    if (foreignEntry && !isRoot())
        QSKIP("a file of another user in a shared folder takes root to set up");

    QTemporaryDir dir;
    const QString list = dir.filePath("datmon.dat"), entry = dir.filePath("Mon2.dat");
    QVERIFY(writeFile(list, monday("01:00", "old")));
    QVERIFY(writeFile(entry, monday("06:00", "p")));
    QVERIFY(giveToOrdinary(dir.path()));
    if (foreignEntry) // a shared folder like /tmp: only a file's owner may remove it
        QVERIFY(::chown(QFile::encodeName(entry).constData(), 0, 0) == 0
                && ::chown(QFile::encodeName(dir.path()).constData(), 0, 0) == 0);
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), mode_t(folderMode)), 0);

    const Finished run = runAsOrdinary(program, {}, dir.path());
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(says.toUtf8()), run.err.constData());
    QCOMPARE(readFile(list), foreignEntry ? QByteArray() : monday("01:00", "old"));
    QVERIFY(QFileInfo::exists(entry));
}

void TestCompanions::lock()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(companion::WorkFolderLock::kFileName);
    auto leave = [&path](const QByteArray &contents, int minutesAgo) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.flush()
               && file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo), QFile::FileModificationTime);
    };
    auto acquire = [&dir](int waitMs) {
        return companion::WorkFolderLock(dir.path()).acquire(std::chrono::milliseconds(waitMs));
    };
    {
        QLockFile held(path); // a lock in use keeps others out until their wait runs out
        QVERIFY(held.tryLock(0));
        companion::WorkFolderLock other(dir.path());
        QVERIFY(!other.acquire(std::chrono::milliseconds(100)));
        QVERIFY2(other.errorString().contains("vellomar.lock"), qPrintable(other.errorString()));
    }
    // A lock whose owner cannot be asked (another host on a shared folder)
    // counts as left behind only after ten minutes.
    QVERIFY(leave("4242\nbrinol.com\nanother-host\n", 2));
    QVERIFY(!acquire(100) && readFile(path).contains("another-host"));
    QVERIFY(leave("4242\nbrinol.com\nanother-host\n", 11));
    QVERIFY(acquire(0));
    // The lock of a process that no longer runs, and an empty lock file left
    // by one killed before it wrote its number, are taken over at once.
    for (const QByteArray &leftOver : {QByteArray("999999999\nbrinol.com\n\n"), QByteArray()}) {
        QVERIFY(leave(leftOver, 1));
        QVERIFY(acquire(0));
    }
}

void TestCompanions::concurrentRunsNeverTearAList()
{
    QTemporaryDir dir;
    QByteArray full;
    for (int n = 2; n < 60; ++n) {
        const QByteArray text = entryText(QStringLiteral("%1:00").arg(n / 3 % 24, 2, 10, QLatin1Char('0')),
                                          programPath(QStringLiteral("program-%1").arg(n)), "Normal", "Monday");
        QVERIFY(writeFile(dir.filePath(QStringLiteral("Mon%1.dat").arg(n)), text));
        full += text;
    }
    QList<QProcess *> running;
    for (int i = 0; i < 12; ++i)
        running.append(startProgram(builtProgram(i % 3 == 2 ? "zeptra.com" : "brinol.com"), {}, dir.path()));
    // Read as the viewer does while they run: a whole list or none, never part.
    for (bool any = true; any;) {
        const QByteArray seen = readFile(dir.filePath("datmon.dat"));
        QVERIFY2(seen.isNull() || seen.isEmpty() || seen == full, qPrintable(QString::number(seen.size())));
        any = false;
        for (QProcess *p : running) {
            p->waitForFinished(0);
            any = any || p->state() != QProcess::NotRunning;
        }
    }
    for (QProcess *p : running) {
        QCOMPARE(finish(*p).exitCode, 0);
        delete p;
    }
}

QTEST_GUILESS_MAIN(TestCompanions)
#include "test_companions.moc"
