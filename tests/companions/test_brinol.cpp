// brinol.com, the built program, in a temporary working folder.
#include "schedule/EntryFile.h"
#include "support/Files.h"
#include "support/Run.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <QtTest>

using namespace testing;

namespace {

Finished brinol(const QStringList &arguments = {})
{
    return run(builtProgram("brinol.com"), arguments);
}

} // namespace

class TestBrinol : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFileInfo::exists(builtProgram("brinol.com")), "set VELLOMAR_BIN_DIR"); }
    void gathersEntryFilesIntoDayLists();
    void skipsBadEntryFiles_data();
    void skipsBadEntryFiles();
    void skipsUnreadableAndSpecialFiles();
    void arguments_data();
    void arguments();
    void failsWithoutTouchingListsWhenTheyCannotBeWritten();
    void dayListsAreWritableByTheOwnerOnly();
};

void TestBrinol::gathersEntryFilesIntoDayLists()
{
    WorkFolder dir;
    QVERIFY(dir.isValid());
    // Old lists of every day: each is replaced, by an empty one for a day without entries.
    for (const char *list : kDayLists)
        QVERIFY(writeFile(list, entryText("01:00", programPath("old"), "Normal", "Monday")));
    const QString sync = programPath("sync"), backup = programPath("backup");
    // Pick 2: Monday and Thursday, 19:30, Hide. Pick 3: Thursday and Sunday, 07:45, Min.
    QVERIFY(writeFile("Mon2.dat", entryText("19:30", sync, "Hide", "Monday")));
    QVERIFY(writeFile("Thu2.dat", entryText("19:30", sync, "Hide", "Thursday")));
    QVERIFY(writeFile("Thu3.dat", entryText("07:45", backup, "Min", "Thursday")));
    QVERIFY(writeFile("Sun3.dat", entryText("07:45", backup, "Min", "Sunday")));
    // By time, then by number as a number (9 before 10); midnight first.
    const QString a = programPath("a"), b = programPath("b"), c = programPath("c"), d = programPath("d");
    QVERIFY(writeFile("Wed10.dat", entryText("08:15", a, "Normal", "Wednesday")));
    QVERIFY(writeFile("Wed9.dat", entryText("08:15", b, "Max", "Wednesday")));
    QVERIFY(writeFile("Wed2.dat", entryText("23:45", c, "Normal", "Wednesday")));
    QVERIFY(writeFile("Wed11.dat", entryText("00:00", d, "Hide", "Wednesday")));
    // LF line ends and no end after the last line.
    QVERIFY(writeFile("Sat8.dat", "18:45\n" + programPath("lf").toLatin1() + "\nNormal\nSaturday"));
    // Names that are no entry files, and a folder with an entry file's name.
    QStringList decoys{"Mon02.dat", "Mon0.dat", "Mon.dat",  "Monday.dat", "Mon2.txt",
                       "Mon2.dat.bak", "Mon+2.dat", "xMon2.dat", "notes.dat"};
    if (schedule::fileNameCase() == Qt::CaseSensitive)
        decoys << "mon2.dat" << "Fri2.DAT"; // only where letter case tells file names apart
    for (const QString &name : decoys)
        QVERIFY(writeFile(name, entryText("10:00", programPath("decoy"), "Normal", "Friday")));
    QVERIFY(QDir().mkdir(QStringLiteral("Fri5.dat")));

    const QByteArray expected[7] = {
        entryText("19:30", sync, "Hide", "Monday"),
        "",
        entryText("00:00", d, "Hide", "Wednesday") + entryText("08:15", b, "Max", "Wednesday")
            + entryText("08:15", a, "Normal", "Wednesday") + entryText("23:45", c, "Normal", "Wednesday"),
        entryText("07:45", backup, "Min", "Thursday") + entryText("19:30", sync, "Hide", "Thursday"),
        "",
        entryText("18:45", programPath("lf"), "Normal", "Saturday"),
        entryText("07:45", backup, "Min", "Sunday"),
    };
    const QStringList names = dir.names();
    // A second run rebuilds the same lists from the same entry files.
    for (int round = 0; round < 2; ++round) {
        const Finished run = brinol();
        QVERIFY(run.ran);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        for (int i = 0; i < 7; ++i)
            QCOMPARE(readFile(kDayLists[i]), expected[i]);
        // The entry files are the source and stay; no temporary or lock file is left.
        QCOMPARE(dir.names(), names);
    }
}

void TestBrinol::skipsBadEntryFiles_data()
{
    // Every way an entry can be wrong is in the tests of the entries; these
    // are the kinds brinol.com sees as files.
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QByteArray>("reason");
    const QByteArray path = programPath("bad").toLatin1();
    QTest::newRow("empty") << QByteArray("") << QByteArray("0 lines");
    QTest::newRow("hour 24") << QByteArray("24:00\r\n" + path + "\r\nNormal\r\nMonday\r\n") << QByteArray("time");
    QTest::newRow("run style word") << QByteArray("09:00\r\n" + path + "\r\nMinimize\r\nMonday\r\n")
                                    << QByteArray("run style");
    QTest::newRow("other day") << QByteArray("09:00\r\n" + path + "\r\nNormal\r\nTuesday\r\n")
                               << QByteArray("Tuesday");
    QByteArray withNul = "09:00\r\n" + path + "\r\nNormal\r\nMonday\r\n";
    withNul[2] = '\0';
    QTest::newRow("NUL byte") << withNul << QByteArray("NUL");
    QTest::newRow("over 64 KiB") << QByteArray("09:00\r\n" + path + QByteArray(70'000, 'x') + "\r\nNormal\r\nMonday\r\n")
                                 << QByteArray("larger");
}

void TestBrinol::skipsBadEntryFiles()
{
    QFETCH(QByteArray, contents);
    QFETCH(QByteArray, reason);
    WorkFolder dir;
    QVERIFY(dir.isValid());
    // The bad file sorts between the good ones by name and by number.
    QVERIFY(writeFile("Mon2.dat", entryText("06:00", programPath("first"), "Normal", "Monday")));
    QVERIFY(writeFile("Mon3.dat", contents));
    QVERIFY(writeFile("Mon4.dat", entryText("06:00", programPath("last"), "Hide", "Monday")));
    QVERIFY(writeFile("Tue3.dat", entryText("21:30", programPath("other"), "Max", "Tuesday")));

    const Finished run = brinol();
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> lines = run.err.trimmed().split('\n');
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].contains("Mon3.dat") && lines[0].contains(reason), run.err.constData());

    QCOMPARE(readFile("datmon.dat"), entryText("06:00", programPath("first"), "Normal", "Monday")
                                         + entryText("06:00", programPath("last"), "Hide", "Monday"));
    QCOMPARE(readFile("dattue.dat"), entryText("21:30", programPath("other"), "Max", "Tuesday"));
    QCOMPARE(readFile("Mon3.dat"), contents);
}

void TestBrinol::skipsUnreadableAndSpecialFiles()
{
#ifndef Q_OS_UNIX
    QSKIP("needs POSIX permissions and named pipes");
#else
    WorkFolder dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile("Sun2.dat", entryText("08:00", programPath("ok"), "Normal", "Sunday")));
    // A named pipe would block a reader for ever.
    QVERIFY(::mkfifo("Sun3.dat", 0600) == 0);
    QVERIFY(writeFile("Sun4.dat", entryText("09:00", programPath("locked"), "Normal", "Sunday")));
    QVERIFY(QFile::setPermissions("Sun4.dat", QFileDevice::WriteOwner));
    const bool readable = QFile("Sun4.dat").open(QIODevice::ReadOnly); // so for root

    const Finished run = brinol();
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(!run.err.contains("Sun3.dat"), run.err.constData());
    QByteArray expected = entryText("08:00", programPath("ok"), "Normal", "Sunday");
    if (readable)
        expected += entryText("09:00", programPath("locked"), "Normal", "Sunday");
    else
        QVERIFY2(run.err.contains("skipped Sun4.dat"), run.err.constData());
    QCOMPARE(readFile("datsun.dat"), expected);
#endif
}

void TestBrinol::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output");
    QTest::newRow("help") << QStringList{"--help"} << 0 << QByteArray("brinol.com");
    QTest::newRow("unknown") << QStringList{"--all"} << 2 << QByteArray();
    QTest::newRow("file name") << QStringList{"Mon2.dat"} << 2 << QByteArray();
    QTest::newRow("help and more") << QStringList{"--help", "x"} << 2 << QByteArray();
    QTest::newRow("empty") << QStringList{""} << 2 << QByteArray();
}

void TestBrinol::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, output);
    WorkFolder dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile("Mon2.dat", entryText("06:00", programPath("x"), "Normal", "Monday")));

    const Finished run = brinol(arguments);
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 0)
        QVERIFY2(run.out.startsWith(output) || run.out.contains("Usage: " + output), run.out.constData());
    else
        QVERIFY2(run.err.startsWith("brinol.com: "), run.err.constData());
    // Neither printing nor refusing does the work.
    QVERIFY(!QFileInfo::exists("datmon.dat"));
}

void TestBrinol::failsWithoutTouchingListsWhenTheyCannotBeWritten()
{
    WorkFolder dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile("datfri.dat", entryText("05:00", programPath("old"), "Normal", "Friday")));
    QVERIFY(writeFile("Fri2.dat", entryText("05:15", programPath("new"), "Normal", "Friday")));
    // A folder where datthu.dat should go cannot be replaced by a file.
    QVERIFY(QDir().mkdir(QStringLiteral("datthu.dat")));

    const Finished run = brinol();
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("datthu.dat"), run.err.constData());
    // The other days are written all the same.
    QCOMPARE(readFile("datfri.dat"), entryText("05:15", programPath("new"), "Normal", "Friday"));
    QCOMPARE(readFile("datmon.dat"), QByteArray(""));
}

void TestBrinol::dayListsAreWritableByTheOwnerOnly()
{
#ifndef Q_OS_UNIX
    QSKIP("file modes are a Unix matter");
#else
    // Under a group-friendly umask the launcher would refuse the day lists.
    WorkFolder dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile("Mon2.dat", entryText("19:30", programPath("sync"), "Hide", "Monday")));
    const mode_t old = ::umask(002);
    const Finished run = brinol();
    ::umask(old);
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, 0);
    const QFileDevice::Permissions perms = QFileInfo("datmon.dat").permissions();
    QVERIFY(perms & QFileDevice::WriteOwner);
    QVERIFY(!(perms & (QFileDevice::WriteGroup | QFileDevice::WriteOther)));
#endif
}

QTEST_GUILESS_MAIN(TestBrinol)
#include "test_brinol.moc"
