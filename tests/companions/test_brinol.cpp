#include "companions/CompanionProcess.h"
#include "schedule/EntryFile.h"

#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <QtTest>

using namespace testing;

namespace {

const char *const kDayLists[] = {"datmon.dat", "dattue.dat", "datwed.dat", "datthu.dat",
                                 "datfri.dat", "datsat.dat", "datsun.dat"};

} // namespace

class TestBrinol : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFileInfo::exists(companionProgram("brinol.com")), "set VELLOMAR_BIN_DIR"); }
    void gathersPicksIntoDayLists();
    void ordersByTimeThenEntryNumber();
    void secondRunWritesTheSameLists();
    void replacesOldListsAndWritesEmptyOnes();
    void skipsBadEntryFiles_data();
    void skipsBadEntryFiles();
    void ignoresNamesThatAreNoEntryFiles_data();
    void ignoresNamesThatAreNoEntryFiles();
    void acceptsEntryFilesWithoutCrLf();
    void skipsUnreadableAndSpecialFiles();
    void arguments_data();
    void arguments();
    void failsWithoutTouchingListsWhenTheyCannotBeWritten();
    void dayListsAreWritableByTheOwnerOnly();
};

void TestBrinol::dayListsAreWritableByTheOwnerOnly()
{
#ifdef Q_OS_UNIX
    // Under a group-friendly umask the launcher would refuse the day lists.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.path(), "Mon2.dat", entryText("19:30", programPath(QStringLiteral("sync")), "Hide", "Monday")));
    const mode_t old = ::umask(002);
    const Finished run = runCompanion("brinol.com", dir.path());
    ::umask(old);
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, 0);
    const QFileDevice::Permissions perms = QFileInfo(dir.filePath(QStringLiteral("datmon.dat"))).permissions();
    QVERIFY(perms & QFileDevice::WriteOwner);
    QVERIFY(!(perms & (QFileDevice::WriteGroup | QFileDevice::WriteOther)));
#else
    QSKIP("file modes are a Unix matter");
#endif
}

void TestBrinol::gathersPicksIntoDayLists()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString sync = programPath(QStringLiteral("sync"));
    const QString backup = programPath(QStringLiteral("backup"));
    // Pick 2: Monday and Thursday, 19:30, Hide. Pick 3: Thursday and Sunday, 07:45, Min.
    QVERIFY(writeBytes(dir.path(), "Mon2.dat", entryText("19:30", sync, "Hide", "Monday")));
    QVERIFY(writeBytes(dir.path(), "Thu2.dat", entryText("19:30", sync, "Hide", "Thursday")));
    QVERIFY(writeBytes(dir.path(), "Thu3.dat", entryText("07:45", backup, "Min", "Thursday")));
    QVERIFY(writeBytes(dir.path(), "Sun3.dat", entryText("07:45", backup, "Min", "Sunday")));

    const Finished run = runCompanion("brinol.com", dir.path());
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());

    QCOMPARE(readBytes(dir.path(), "datmon.dat"), entryText("19:30", sync, "Hide", "Monday"));
    QCOMPARE(readBytes(dir.path(), "datthu.dat"),
             entryText("07:45", backup, "Min", "Thursday") + entryText("19:30", sync, "Hide", "Thursday"));
    QCOMPARE(readBytes(dir.path(), "datsun.dat"), entryText("07:45", backup, "Min", "Sunday"));
    for (const char *empty : {"dattue.dat", "datwed.dat", "datfri.dat", "datsat.dat"})
        QCOMPARE(readBytes(dir.path(), empty), QByteArray(""));
    // The entry files are the source and stay.
    for (const char *kept : {"Mon2.dat", "Thu2.dat", "Thu3.dat", "Sun3.dat"})
        QVERIFY2(exists(dir.path(), kept), kept);
}

void TestBrinol::ordersByTimeThenEntryNumber()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString a = programPath("a"), b = programPath("b"), c = programPath("c"), d = programPath("d");
    // Numbers compare as numbers (9 before 10), the time before the number,
    // and midnight (00:00) first.
    QVERIFY(writeBytes(dir.path(), "Wed10.dat", entryText("08:15", a, "Normal", "Wednesday")));
    QVERIFY(writeBytes(dir.path(), "Wed9.dat", entryText("08:15", b, "Max", "Wednesday")));
    QVERIFY(writeBytes(dir.path(), "Wed2.dat", entryText("23:45", c, "Normal", "Wednesday")));
    QVERIFY(writeBytes(dir.path(), "Wed11.dat", entryText("00:00", d, "Hide", "Wednesday")));

    const Finished run = runCompanion("brinol.com", dir.path());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readBytes(dir.path(), "datwed.dat"),
             entryText("00:00", d, "Hide", "Wednesday") + entryText("08:15", b, "Max", "Wednesday")
                 + entryText("08:15", a, "Normal", "Wednesday") + entryText("23:45", c, "Normal", "Wednesday"));
}

void TestBrinol::secondRunWritesTheSameLists()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.path(), "Fri4.dat", entryText("12:00", programPath("x"), "Normal", "Friday")));
    QVERIFY(writeBytes(dir.path(), "Sat4.dat", entryText("12:00", programPath("x"), "Normal", "Saturday")));
    QCOMPARE(runCompanion("brinol.com", dir.path()).exitCode, 0);
    QList<QByteArray> first;
    for (const char *list : kDayLists)
        first.append(readBytes(dir.path(), list));

    QCOMPARE(runCompanion("brinol.com", dir.path()).exitCode, 0);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(readBytes(dir.path(), kDayLists[i]), first[i]);
    QCOMPARE(first[4], entryText("12:00", programPath("x"), "Normal", "Friday"));
}

void TestBrinol::replacesOldListsAndWritesEmptyOnes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char *list : kDayLists)
        QVERIFY(writeBytes(dir.path(), list, entryText("01:00", programPath("old"), "Normal", "Monday")));
    QVERIFY(writeBytes(dir.path(), "Tue7.dat", entryText("13:15", programPath("new"), "Min", "Tuesday")));

    QCOMPARE(runCompanion("brinol.com", dir.path()).exitCode, 0);
    QCOMPARE(readBytes(dir.path(), "dattue.dat"), entryText("13:15", programPath("new"), "Min", "Tuesday"));
    for (const char *list : kDayLists)
        if (qstrcmp(list, "dattue.dat") != 0)
            QCOMPARE(readBytes(dir.path(), list), QByteArray(""));
    // Nothing but the lists and the entry file: no temporary or lock file left.
    QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(names.size(), 8);
}

void TestBrinol::skipsBadEntryFiles_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QByteArray>("reason");
    const QByteArray path = programPath("bad").toLatin1();
    QTest::newRow("three lines") << QByteArray("09:00\r\n" + path + "\r\nNormal\r\n") << QByteArray("3 lines");
    QTest::newRow("five lines") << QByteArray("09:00\r\n" + path + "\r\nNormal\r\nMonday\r\nx\r\n")
                                << QByteArray("5 lines");
    QTest::newRow("empty") << QByteArray("") << QByteArray("0 lines");
    QTest::newRow("hour 24") << QByteArray("24:00\r\n" + path + "\r\nNormal\r\nMonday\r\n") << QByteArray("time");
    QTest::newRow("minute 10") << QByteArray("09:10\r\n" + path + "\r\nNormal\r\nMonday\r\n") << QByteArray("time");
    QTest::newRow("run style word") << QByteArray("09:00\r\n" + path + "\r\nMinimize\r\nMonday\r\n")
                                    << QByteArray("run style");
    QTest::newRow("run style case") << QByteArray("09:00\r\n" + path + "\r\nhide\r\nMonday\r\n")
                                    << QByteArray("run style");
    QTest::newRow("other day") << QByteArray("09:00\r\n" + path + "\r\nNormal\r\nTuesday\r\n")
                               << QByteArray("Tuesday");
    QTest::newRow("no day") << QByteArray("09:00\r\n" + path + "\r\nNormal\r\nMon\r\n") << QByteArray("day");
    QTest::newRow("relative path") << QByteArray("09:00\r\ntools\\x.exe\r\nNormal\r\nMonday\r\n")
                                   << QByteArray("path");
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
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // The bad file sorts between the good ones by name and by number.
    QVERIFY(writeBytes(dir.path(), "Mon2.dat", entryText("06:00", programPath("first"), "Normal", "Monday")));
    QVERIFY(writeBytes(dir.path(), "Mon3.dat", contents));
    QVERIFY(writeBytes(dir.path(), "Mon4.dat", entryText("06:00", programPath("last"), "Hide", "Monday")));
    QVERIFY(writeBytes(dir.path(), "Tue3.dat", entryText("21:30", programPath("other"), "Max", "Tuesday")));

    const Finished run = runCompanion("brinol.com", dir.path());
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> lines = run.err.trimmed().split('\n');
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].contains("Mon3.dat") && lines[0].contains(reason), run.err.constData());

    QCOMPARE(readBytes(dir.path(), "datmon.dat"),
             entryText("06:00", programPath("first"), "Normal", "Monday")
                 + entryText("06:00", programPath("last"), "Hide", "Monday"));
    QCOMPARE(readBytes(dir.path(), "dattue.dat"), entryText("21:30", programPath("other"), "Max", "Tuesday"));
    QCOMPARE(readBytes(dir.path(), "Mon3.dat"), contents);
}

void TestBrinol::ignoresNamesThatAreNoEntryFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("leading zero") << "Mon02.dat";
    QTest::newRow("zero") << "Mon0.dat";
    QTest::newRow("no number") << "Mon.dat";
    QTest::newRow("day name") << "Monday.dat";
    QTest::newRow("other suffix") << "Mon2.txt";
    QTest::newRow("suffix added") << "Mon2.dat.bak";
    QTest::newRow("sign") << "Mon+2.dat";
    QTest::newRow("prefix") << "xMon2.dat";
    QTest::newRow("notes") << "notes.dat";
    if (schedule::fileNameCase() == Qt::CaseSensitive) {
        // Only where letter case tells file names apart.
        QTest::newRow("lower case day") << "mon2.dat";
        QTest::newRow("upper case suffix") << "Mon2.DAT";
    }
}

void TestBrinol::ignoresNamesThatAreNoEntryFiles()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.path(), name, entryText("10:00", programPath("decoy"), "Normal", "Monday")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Mon5.dat"))); // a folder is no entry file either

    const Finished run = runCompanion("brinol.com", dir.path());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(readBytes(dir.path(), "datmon.dat"), QByteArray(""));
}

void TestBrinol::acceptsEntryFilesWithoutCrLf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray path = programPath("lf").toLatin1();
    QVERIFY(writeBytes(dir.path(), "Sat8.dat", "18:45\n" + path + "\nNormal\nSaturday"));
    QCOMPARE(runCompanion("brinol.com", dir.path()).exitCode, 0);
    QCOMPARE(readBytes(dir.path(), "datsat.dat"), entryText("18:45", programPath("lf"), "Normal", "Saturday"));
}

void TestBrinol::skipsUnreadableAndSpecialFiles()
{
#ifndef Q_OS_UNIX
    QSKIP("needs POSIX permissions and named pipes");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.path(), "Sun2.dat", entryText("08:00", programPath("ok"), "Normal", "Sunday")));
    // A named pipe would block a reader for ever.
    QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("Sun3.dat")).constData(), 0600) == 0);
    QVERIFY(writeBytes(dir.path(), "Sun4.dat", entryText("09:00", programPath("locked"), "Normal", "Sunday")));
    QVERIFY(QFile::setPermissions(dir.filePath("Sun4.dat"), QFileDevice::WriteOwner));
    const bool readable = QFile(dir.filePath("Sun4.dat")).open(QIODevice::ReadOnly); // so for root

    const Finished run = runCompanion("brinol.com", dir.path());
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(!run.err.contains("Sun3.dat"), run.err.constData());
    QByteArray expected = entryText("08:00", programPath("ok"), "Normal", "Sunday");
    if (readable) {
        expected += entryText("09:00", programPath("locked"), "Normal", "Sunday");
    } else {
        QVERIFY2(run.err.contains("skipped Sun4.dat"), run.err.constData());
    }
    QCOMPARE(readBytes(dir.path(), "datsun.dat"), expected);
#endif
}

void TestBrinol::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output");
    QTest::newRow("help") << QStringList{"--help"} << 0 << QByteArray("brinol.com");
    QTest::newRow("version") << QStringList{"--version"} << 0 << QByteArray("brinol.com 1.");
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
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.path(), "Mon2.dat", entryText("06:00", programPath("x"), "Normal", "Monday")));

    const Finished run = runCompanion("brinol.com", dir.path(), arguments);
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 0)
        QVERIFY2(run.out.startsWith(output) || run.out.contains("Usage: " + output), run.out.constData());
    else
        QVERIFY2(run.err.startsWith("brinol.com: "), run.err.constData());
    // Neither printing nor refusing does the work.
    QVERIFY(!exists(dir.path(), "datmon.dat"));
}

void TestBrinol::failsWithoutTouchingListsWhenTheyCannotBeWritten()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.path(), "datfri.dat", entryText("05:00", programPath("old"), "Normal", "Friday")));
    QVERIFY(writeBytes(dir.path(), "Fri2.dat", entryText("05:15", programPath("new"), "Normal", "Friday")));
    // A folder where datthu.dat should go cannot be replaced by a file.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("datthu.dat")));

    const Finished run = runCompanion("brinol.com", dir.path());
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("datthu.dat"), run.err.constData());
    // The other days are written all the same.
    QCOMPARE(readBytes(dir.path(), "datfri.dat"), entryText("05:15", programPath("new"), "Normal", "Friday"));
    QCOMPARE(readBytes(dir.path(), "datmon.dat"), QByteArray(""));
}

QTEST_GUILESS_MAIN(TestBrinol)
#include "test_brinol.moc"
