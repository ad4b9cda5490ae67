#include "LauncherRun.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

QString fixture(const QString &name)
{
    return qEnvironmentVariable("VELLOMAR_SOURCE_DIR") + QStringLiteral("/tests/rendaro/fixtures/") + name;
}

// A Monday, so that "datmon.dat" is today's list.
const QString kMonday = QStringLiteral("2026-12-07");

QStringList entryLines(const char *time, const QString &path, const char *style)
{
    return {QString::fromLatin1(time), path, QString::fromLatin1(style), QStringLiteral("Monday")};
}

} // namespace

class TestRendaro : public QObject
{
    Q_OBJECT
private slots:
    void listFixtures_data();
    void listFixtures();
    void startsPastAtOnceAndWaitsForTheNext();
    void skipsInvalidEntriesAndMissingPrograms();
    void refusesWhatOthersMayWrite_data();
    void refusesWhatOthersMayWrite();
    void options_data();
    void options();
};

void TestRendaro::listFixtures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("at");
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("exitCode");

    const QString badLine = "Rendaro.exe: datmon.dat line 13: bad program path \"relative/not/allowed\": skipped, not started\n";
    auto monday = [](const char *at, const char *seven, const char *noon) {
        return QStringList{QStringLiteral("Monday 2026-12-07 %1: datmon.dat, 4 entries").arg(at),
                           QStringLiteral("07:00 Max /opt/apps/morning tool.exe: would start %1").arg(seven),
                           QStringLiteral("07:00 Min /opt/apps/second at seven.exe: would start %1").arg(seven),
                           QStringLiteral("12:00 Normal /opt/apps/noon.exe: would start %1").arg(noon),
                           QStringLiteral("19:30 Hide /opt/apps/evening.exe: would start at 19:30")};
    };
    QTest::newRow("Monday noon") << "datmon.dat" << kMonday + "T12:00" << monday("12:00", "at once", "at once")
                                 << badLine << 1;
    QTest::newRow("Monday before all") << "datmon.dat" << kMonday + "T06:59" << monday("06:59", "at 07:00", "at 12:00")
                                       << badLine << 1;
    QTest::newRow("Sunday, LF lines, last without end")
        << "datsun.dat" << "2026-12-13T23:50"
        << QStringList{"Sunday 2026-12-13 23:50: datsun.dat, 2 entries",
                       "00:00 Hide /opt/early/bird.exe: would start at once",
                       "23:45 Normal /opt/late/owl.exe: would start at once"}
        << QString() << 0;
    QTest::newRow("Wednesday, empty list") << "datwed.dat" << "2026-12-09T08:00"
                                           << QStringList{"Wednesday 2026-12-09 08:00: datwed.dat, 0 entries"}
                                           << QString() << 0;
    // Only Monday's file lies in the folder on a Thursday.
    QTest::newRow("Thursday, no list") << "datmon.dat" << "2026-12-10T08:00"
                                       << QStringList{"Thursday: no datthu.dat here, nothing to start today"}
                                       << QString() << 0;
}

void TestRendaro::listFixtures()
{
    QFETCH(QString, file);
    QFETCH(QString, at);
    QFETCH(QStringList, out);
    QFETCH(QString, err);
    QFETCH(int, exitCode);

    QTemporaryDir work;
    const QString copy = work.filePath(file);
    QVERIFY(QFile::copy(fixture(file), copy));
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner));

    const RunResult run = runLauncher(work.path(), {QStringLiteral("--list"), QStringLiteral("--at"), at});
    QCOMPARE(run.out, out.join(u'\n') + u'\n');
    QCOMPARE(run.err, err);
    QCOMPARE(run.exitCode, exitCode);
}

void TestRendaro::startsPastAtOnceAndWaitsForTheNext()
{
    QTemporaryDir work;
    const QString log = work.filePath(QStringLiteral("log.txt"));
    const QString early = work.filePath(QStringLiteral("early/recorder"));
    // Started as the path says, never through a shell.
    const QString odd = work.filePath(QStringLiteral("my programs; $(touch pwned)/it's `touch pwned2` & run;.exe"));
    const QString next = work.filePath(QStringLiteral("next/recorder"));
    for (const QString &program : {early, odd, next})
        QVERIFY(copyProgram("rendaro_recorder", program));
    QVERIFY(writeDayList(work.filePath(QStringLiteral("datmon.dat")),
                         entryLines("07:15", next, "Normal") + entryLines("07:00", early, "Hide")
                             + entryLines("07:00", odd, "Hide")));

    // Two seconds before the last entry's time: a short real wait.
    const RunResult run = runLauncher(work.path(), {QStringLiteral("--at"), kMonday + QStringLiteral("T07:14:58")}, log);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("Monday 2026-12-07 07:14: datmon.dat, 3 entries\n"
                                     "started 07:00 Hide %1\n"
                                     "started 07:00 Hide %2\n"
                                     "waiting until 07:15\n"
                                     "started 07:15 Normal %3\n")
                          .arg(early, odd, next));

    QTRY_COMPARE(readRecords(log).size(), 3);
    QList<Recorded> records = readRecords(log);
    // The two at 07:00 are started one after the other without waiting; either may record first.
    if (records[0].program == odd)
        records.swapItemsAt(0, 1);
    const QStringList programs{early, odd, next};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(records[i].program, programs[i]);
        QCOMPARE(records[i].workingFolder, QFileInfo(programs[i]).absolutePath());
        QCOMPARE(records[i].argumentCount, 0);
    }
    QCOMPARE(records[0].output, QStringLiteral("/dev/null")); // Hide discards the output
    QVERIFY(records[2].output != QStringLiteral("/dev/null"));
    for (const QString &folder : {work.path(), QFileInfo(odd).absolutePath()})
        for (const char *name : {"pwned", "pwned2"})
            QVERIFY(!QFileInfo::exists(folder + u'/' + QString::fromLatin1(name)));
}

void TestRendaro::skipsInvalidEntriesAndMissingPrograms()
{
    QTemporaryDir work;
    const QString log = work.filePath(QStringLiteral("log.txt"));
    const QString good = work.filePath(QStringLiteral("good/recorder"));
    const QString badStyle = work.filePath(QStringLiteral("bad/recorder"));
    const QString notExecutable = work.filePath(QStringLiteral("plain/recorder"));
    QVERIFY(copyProgram("rendaro_recorder", good));
    QVERIFY(copyProgram("rendaro_recorder", badStyle));
    QVERIFY(copyProgram("rendaro_recorder", notExecutable));
    QVERIFY(QFile::setPermissions(notExecutable, QFile::ReadOwner | QFile::WriteOwner));
    const QString missing = work.filePath(QStringLiteral("gone/recorder"));

    QVERIFY(writeDayList(work.filePath(QStringLiteral("datmon.dat")),
                         entryLines("06:00", missing, "Normal")
                             + entryLines("06:15", badStyle, "Maximize")
                             + entryLines("06:30", notExecutable, "Normal")
                             + entryLines("06:45", good, "Hide")));

    const RunResult run = runLauncher(work.path(), {QStringLiteral("--at"), kMonday + QStringLiteral("T07:00")}, log);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QStringLiteral("Rendaro.exe: datmon.dat line 5: bad run style \"Maximize\": skipped, not started\n"
                                     "Rendaro.exe: could not start %1: there is no such file\n"
                                     "Rendaro.exe: could not start %2: the file is not a program\n")
                          .arg(missing, notExecutable));
    QVERIFY(run.out.contains(QStringLiteral("started 06:45 Hide ") + good));

    QTRY_COMPARE(readRecords(log).size(), 1);
    QCOMPARE(readRecords(log).first().program, good);
}

void TestRendaro::refusesWhatOthersMayWrite_data()
{
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<QString>("refused");

    // Which modes are trusted is in the unit tests; here, what a refusal does.
    QTest::newRow("day list world-writable") << 0666 << 0700 << QStringLiteral("refusing datmon.dat");
    QTest::newRow("folder world-writable") << 0600 << 0777 << QStringLiteral("refusing the working folder");
}

void TestRendaro::refusesWhatOthersMayWrite()
{
    QFETCH(int, fileMode);
    QFETCH(int, folderMode);
    QFETCH(QString, refused);

    QTemporaryDir work;
    const QString log = work.filePath(QStringLiteral("log.txt"));
    const QString program = work.filePath(QStringLiteral("p/recorder"));
    QVERIFY(copyProgram("rendaro_recorder", program));
    const QString dayList = work.filePath(QStringLiteral("datmon.dat"));
    QVERIFY(writeDayList(dayList, entryLines("00:00", program, "Normal")));
    QCOMPARE(::chmod(QFile::encodeName(dayList).constData(), mode_t(fileMode)), 0);
    QCOMPARE(::chmod(QFile::encodeName(work.path()).constData(), mode_t(folderMode)), 0);

    for (const QStringList &arguments : {QStringList{QStringLiteral("--at"), kMonday + QStringLiteral("T12:00")},
                                         QStringList{QStringLiteral("--list"), QStringLiteral("--at"),
                                                     kMonday + QStringLiteral("T12:00")}}) {
        const RunResult run = runLauncher(work.path(), arguments, log);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(refused), qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("nothing is started")), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }
    // Nothing started: a program would have written its line by now, as the
    // runs above show for an accepted list.
    ::chmod(QFile::encodeName(work.path()).constData(), 0700);
    ::chmod(QFile::encodeName(dayList).constData(), 0600);
    const RunResult accepted = runLauncher(work.path(), {QStringLiteral("--at"), kMonday + QStringLiteral("T12:00")}, log);
    QCOMPARE(accepted.exitCode, 0);
    QTRY_COMPARE(readRecords(log).size(), 1);
}

void TestRendaro::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");

    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0 << QStringLiteral("--list");
    QTest::newRow("bad --at") << QStringList{QStringLiteral("--at"), QStringLiteral("tomorrow")} << 2
                              << QStringLiteral("YYYY-MM-DDTHH:MM");
    QTest::newRow("argument") << QStringList{QStringLiteral("datmon.dat")} << 2 << QStringLiteral("unexpected argument");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--now")} << 1 << QStringLiteral("now");
}

void TestRendaro::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, says);

    QTemporaryDir work;
    const RunResult run = runLauncher(work.path(), arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((run.out + run.err).contains(says), qPrintable(run.out + run.err));
}

QTEST_GUILESS_MAIN(TestRendaro)
#include "test_rendaro.moc"
