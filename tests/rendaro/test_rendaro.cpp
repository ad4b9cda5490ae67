// Rendaro.exe, the built launcher, in temporary working folders; its wait in
// the process, against a clock the test moves.
#include "Launcher.h"
#include "Waiting.h"
#include "LauncherRun.h"
#include "support/AsUser.h"

#include <QRegularExpression>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace std::chrono_literals;
using namespace testing;

namespace {

const QString kMonday = QStringLiteral("2026-12-07");

QStringList monday(const char *time, const QString &path, const char *style = "Normal")
{
    return {QString::fromLatin1(time), path, QString::fromLatin1(style), QStringLiteral("Monday")};
}

// A wall clock that each nap moves on by the time slept, plus a jump after
// the nth nap (a suspend, a clock set back).
struct FakeClock : rendaro::Clock {
    FakeClock(const QString &start, int after, qint64 seconds) : at(QDateTime::fromString(start, Qt::ISODate)), jumpAfter(after), jump(seconds) {}
    QDateTime now() override { return at; }
    void sleep(std::chrono::milliseconds span) override
    {
        naps.append(span);
        at = at.addMSecs(span.count() + (naps.size() == jumpAfter ? jump * 1000 : 0));
        QVERIFY2(naps.size() < 100000, "the wait does not end");
    }
    QDateTime at;
    int jumpAfter;
    qint64 jump;
    QList<std::chrono::milliseconds> naps;
};

} // namespace

class TestRendaro : public QObject
{
    Q_OBJECT
private slots:
    void list_data();
    void list();
    void run();
    void refusals_data();
    void refusals();
    void swappedLink();
    void notice();
    void waits_data();
    void waits();
};

void TestRendaro::list_data()
{
    QTest::addColumn<QString>("at"); // the local time, in Europe/Berlin
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<int>("exitCode");

    // The fixture's fourth entry has a relative path and is skipped.
    QTest::newRow("noon") << kMonday + "T12:00"
                          << QStringList{"Monday 2026-12-07 12:00: datmon.dat, 4 entries",
                                         "07:00 Max /opt/apps/morning tool.exe: would start at once",
                                         "07:00 Min /opt/apps/second at seven.exe: would start at once",
                                         "12:00 Normal /opt/apps/noon.exe: would start at once",
                                         "19:30 Hide /opt/apps/evening.exe: would start at 19:30"} << 1;
    QTest::newRow("no list") << "2026-12-10T08:00"
                             << QStringList{"Thursday: no datthu.dat here, nothing to start today"} << 0;
    // The clock skips 02:00 to 03:00: those times start when it resumes.
    QTest::newRow("spring forward") << "2026-03-29T00:10"
        << QStringList{"Sunday 2026-03-29 00:10: datsun.dat, 3 entries", "02:00 Normal /a: would start at 03:00 CEST",
                       "02:30 Normal /b: would start at 03:00 CEST", "03:15 Normal /c: would start at 03:15 CEST"} << 0;
    // The clock shows 02:00 to 03:00 twice: those times start the first time round.
    QTest::newRow("fall back") << "2026-10-25T01:50"
        << QStringList{"Sunday 2026-10-25 01:50: datsun.dat, 3 entries", "02:00 Normal /a: would start at 02:00 CEST",
                       "02:30 Normal /b: would start at 02:30 CEST", "03:15 Normal /c: would start at 03:15 CET"} << 0;
}

void TestRendaro::list()
{
    QFETCH(QString, at);
    QFETCH(QStringList, out);
    QFETCH(int, exitCode);
    QTemporaryDir work;
    QVERIFY(writeDayList(work.filePath("datsun.dat"), {"02:00", "/a", "Normal", "Sunday", "03:15", "/c", "Normal", "Sunday",
                                                       "02:30", "/b", "Normal", "Sunday"}));
    QVERIFY(QFile::copy(qEnvironmentVariable("VELLOMAR_SOURCE_DIR") + "/tests/rendaro/fixtures/datmon.dat", work.filePath("datmon.dat"))
            && QFile::setPermissions(work.filePath("datmon.dat"), QFile::ReadOwner | QFile::WriteOwner));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TZ", "Europe/Berlin");
    const Finished run = runLauncher(work.path(), {"--list", "--at", at}, {}, environment);
    QCOMPARE(QString::fromUtf8(run.out), out.join(u'\n') + u'\n');
    QCOMPARE(QString::fromUtf8(run.err), exitCode ? "Rendaro.exe: datmon.dat line 13: bad program path \"relative/not/allowed\": "
                                 "skipped, not started\n"
                               : QString());
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(!QFileInfo::exists(work.filePath("rendaro.log"))); // listing is no run
}

void TestRendaro::run()
{
    QTemporaryDir work;
    const QString log = work.filePath("started.txt");
    const QString early = work.filePath("early/recorder"), next = work.filePath("next/recorder");
    // Started as the path says, never through a shell.
    const QString odd = work.filePath("my programs; $(touch pwned)/it's `touch pwned2` & run;.exe");
    const QString notProgram = work.filePath("plain/recorder"), open = work.filePath("open/recorder");
    const QString missing = work.filePath("gone/recorder"), alias = work.filePath("alias.exe");
    for (const QString &program : {early, odd, next, notProgram, open})
        QVERIFY(copyRecorder(program));
    QVERIFY(QFile::setPermissions(notProgram, QFile::ReadOwner) && ::chmod(QFile::encodeName(open).constData(), 0775) == 0);
    // The launcher itself, by its path and by a link: it would start the list over and over.
    QVERIFY(QFile::link(kLauncher, alias));
    QVERIFY(writeDayList(work.filePath("datmon.dat"),
                         monday("07:15", next) + QStringList{"7:30"} + monday("07:00", early, "Hide") + monday("06:00", missing)
                             + monday("07:00", odd, "Hide") + monday("06:15", notProgram)
                             + monday("06:30", kLauncher) + monday("06:45", open) + monday("06:45", alias)
                             + monday("06:45", "/opt/\u2028tool\u202Eexe.txt")));

    // A log past its bound, which others may write.
    QByteArray old;
    for (int i = 0; old.size() <= 256 * 1024; ++i)
        old += "2026-12-06 08:00:00 old line \x1b[2J" + QByteArray::number(i) + '\n'; // --log shows the ESC, not sends it
    QVERIFY(writeFile(work.filePath("rendaro.log"), old)
            && QFile::setPermissions(work.filePath("rendaro.log"), QFileDevice::Permissions(0x6666)));

    // Two seconds before the last entry's time: what is past starts at once, in time order, then a real wait.
    const Finished run = runLauncher(work.path(), {"--at", kMonday + "T07:14:58"}, log);
    const QString own = "it is Rendaro.exe, one of Vellomar's own programs, which the launcher never starts";
    const QStringList troubles{
        "datmon.dat line 5: bad time line \"7:30\": skipped, not started",
        "datmon.dat line 34: bad program path \"/opt/\\u2028tool\\u202eexe.txt\": skipped, not started",
        "could not start " + missing + ": there is no such file",
        "could not start " + notProgram + ": the file is not a program",
        "refusing " + kLauncher + ": " + own + "; not started",
        "refusing " + open + ": the program file is not safe: other users may write to it (mode 0775); not started",
        "refusing " + alias + ": " + own + "; not started"};
    QCOMPARE(QString::fromUtf8(run.err), "Rendaro.exe: " + troubles.join("\nRendaro.exe: ") + "\n");
    QCOMPARE(run.exitCode, 1);
    const QStringList events = QStringList{"Monday 2026-12-07 07:14: datmon.dat, 8 entries"} + troubles
                               + QStringList{"started 07:00 Hide " + early + " (process N)",
                                             "started 07:00 Hide " + odd + " (process N)", "waiting until 07:15",
                                             "started 07:15 Normal " + next + " (process N)",
                                             "end of run: 3 started, 5 not started"};
    const QRegularExpression pid(" \\(process [1-9][0-9]*\\)$");
    QStringList out = QString::fromUtf8(run.out).split(u'\n');
    QCOMPARE(out.replaceInStrings(pid, " (process N)"), events.mid(0, 1) + events.mid(8) + QStringList{""});
    // The log's older half is gone, the newer is whole, others may no longer write it, and
    // this run's every event follows, each led by the local date and time. --log shows the last 50 lines.
    const QByteArray now = readFile(work.filePath("rendaro.log"));
    const qsizetype kept = now.indexOf("2026-12-07");
    QVERIFY(now.size() <= 256 * 1024 && now.size() > 128 * 1024);
    QVERIFY(now.startsWith("2026-12-06") && old.endsWith(now.left(kept)));
    QCOMPARE(QFileInfo(work.filePath("rendaro.log")).permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
    const QList<QByteArray> lines = now.split('\n');
    QCOMPARE(runLauncher(work.path(), {"--log"}).out, lines.mid(lines.size() - 51).join('\n').replace("\x1b", "\\x1b"));
    QStringList logged = QString::fromUtf8(now.mid(kept)).split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : logged) {
        QVERIFY2(QRegularExpression("^2026-12-07 07:1[45]:[0-9][0-9] ").match(line).hasMatch(), qPrintable(line));
        line = line.mid(20).replace(pid, " (process N)");
    }
    QCOMPARE(logged, events);

    QTRY_COMPARE(readRecords(log).size(), 3);
    for (const QStringList &record : readRecords(log)) { // Hide discards the output
        QVERIFY(QStringList({early, odd, next}).contains(record[0]));
        QCOMPARE(record.mid(1, 2), (QStringList{QFileInfo(record[0]).absolutePath(), "0"}));
        QCOMPARE(record[3] == "/dev/null", record[0] != next);
    }
    for (const QString &folder : {work.path(), QFileInfo(odd).absolutePath()})
        QVERIFY(!QFileInfo::exists(folder + "/pwned") && !QFileInfo::exists(folder + "/pwned2"));
    // Arguments it does not know start nothing.
    for (const QStringList &arguments : {QStringList{"--at", "2026-11-31T07:00"}, QStringList{"datmon.dat"}}) {
        const Finished asked = runLauncher(work.path(), arguments, log);
        QVERIFY2(asked.exitCode == 2 && !asked.out.contains("started"), asked.err.constData());
    }
}

void TestRendaro::refusals_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");

    // An ordinary user's own files, as a login leaves them, are trusted.
    QTest::newRow("own files") << "" << 0 << "";
    QTest::newRow("readable by all") << "list 0644,folder 0755" << 0 << "";
    QTest::newRow("list group-writable") << "list 0620" << 1 << "refusing datmon.dat: other users may write to it (mode 0620)";
    QTest::newRow("folder group-writable") << "folder 0775" << 1 << "refusing the working folder";
    QTest::newRow("folder like /tmp") << "folder 1777" << 1 << "refusing the working folder";
    QTest::newRow("list of another user") << "list owner,list 0644" << 1 << "belongs to another user (uid 65533)";
    QTest::newRow("list is a link") << "list link" << 1 << "refusing datmon.dat: it is a symbolic link";
    QTest::newRow("list is a pipe") << "list pipe" << 1 << "refusing datmon.dat: it is not a regular file";
    QTest::newRow("list too large") << "list large" << 1 << "it is too large to be a day list";
    QTest::newRow("program folder open") << "programs 0777" << 1 << "its folder";
    QTest::newRow("program's folder in an open one") << "pub 0777" << 1 << "pub is not safe: other users may write to it (mode 0777)";
    // A log that cannot be written is given up; the programs start all the same.
    QTest::newRow("log is a folder") << "log folder" << 0 << "";
    QTest::newRow("log links elsewhere") << "log link" << 0 << "";
    QTest::newRow("log is a pipe") << "log pipe" << 0 << "";
    QTest::newRow("log past a file size limit") << "log long,log limit" << 0 << "";
    // Past its bound the log is shortened, keeping its mode; where it cannot be, it grows and says so once.
    QTest::newRow("log 0600 past its bound") << "log long,log 0600" << 0 << "";
    QTest::newRow("log past its bound, folder read-only") << "folder 0500,log long" << 0 << "";
}

void TestRendaro::refusals()
{
    QFETCH(QString, change);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    if (change.contains("owner") && !isRoot())
        QSKIP("a day list of another user takes root to set up");
    QTemporaryDir work;
    const QString list = work.filePath("datmon.dat"), program = work.filePath("pub/p/recorder"), log = work.filePath("log");
    QVERIFY(copyRecorder(program) && writeDayList(list, monday("00:00", program)) && writeFile(log));
    const QMap<QString, QString> paths{{"list", list}, {"folder", work.path()}, {"programs", QFileInfo(program).absolutePath()}, {"pub", work.filePath("pub")},
                                       {"log", work.filePath("rendaro.log")}};
    const QStringList changes = change.split(u',', Qt::SkipEmptyParts);
    for (const QString &step : changes) { // made before the files are given to the ordinary account
        const QString how = step.section(u' ', 1), path = paths.value(step.section(u' ', 0, 0));
        if (how == "link") // the list to a copy of itself, the log to the recorders' file
            QVERIFY(path == list ? QFile::rename(list, list + ".real") && QFile::link(list + ".real", list) : QFile::link(log, path));
        QVERIFY(how != "pipe" || (QFile::remove(path), ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0));
        QVERIFY(how != "long" || writeFile(path, QByteArray("2026-12-06 08:00:00 old line\n").repeated(10000)));
        QVERIFY(how != "large" || QFile(path).resize(16 * 1024 * 1024 + 1));
        QVERIFY(how != "folder" || QDir().mkdir(path));
    }
    QVERIFY(giveToOrdinary(work.path()));
    for (const QString &step : changes) {
        const QString how = step.section(u' ', 1), path = paths.value(step.section(u' ', 0, 0));
        QVERIFY(how != "owner" || ::chown(QFile::encodeName(path).constData(), 65533, 65533) == 0);
        QVERIFY(!how[0].isDigit() || ::chmod(QFile::encodeName(path).constData(), mode_t(how.toInt(nullptr, 8))) == 0);
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("RENDARO_TEST_LOG", log);
    struct rlimit unlimited {}, limited {64 * 1024, RLIM_INFINITY}; // the launcher inherits the limit
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &unlimited) == 0 && (!change.contains("limit") || ::setrlimit(RLIMIT_FSIZE, &limited) == 0));
    const Finished run = runAsOrdinary("Rendaro.exe", {"--at", kMonday + "T12:00"}, work.path(), environment);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &unlimited) == 0);
    const Finished shown = runAsOrdinary("Rendaro.exe", {"--log"}, work.path()); // never waits on a pipe
    ::chmod(QFile::encodeName(work.path()).constData(), 0700);
    QVERIFY2(run.ran && shown.ran, "the launcher did not end");
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(says.toUtf8()), run.err.constData());
    QCOMPARE(run.out.contains("started 00:00"), exitCode == 0);
    if (exitCode == 0)
        QTRY_COMPARE(readRecords(log).size(), 1);
    QVERIFY(!readFile(log).contains("end of run")); // never written through a link
    const QFileInfo logInfo(work.filePath("rendaro.log"));
    const QByteArray logged = logInfo.isFile() ? readFile(logInfo.filePath()) : QByteArray();
    if (!change.startsWith("log")) // the run's end is in the log, kept only in a folder nobody else may change
        QCOMPARE(logged.contains("end of run: " + QByteArray(exitCode ? "0" : "1")), !says.contains("working folder"));
    if (change.contains("long")) {
        QCOMPARE(logInfo.size() < 256 * 1024, change.contains("0600"));
        QCOMPARE(int(logInfo.permissions() & (QFile::ReadGroup | QFile::ReadOther)), change.contains("0600") ? 0 : 0x44);
        QCOMPARE(logged.count("cannot be shortened"), change.contains("0500") ? 1 : 0);
    }
}

void TestRendaro::swappedLink()
{
    // A link in a folder that all may write, pointed back and forth by another user while the launcher
    // starts it 300 times: what starts is what the link led to when it was checked, never the other user's.
    if (!isRoot())
        QSKIP("another user's program takes root to set up");
    QTemporaryDir work;
    const QString log = work.filePath("log"), open = work.filePath("open"), good = work.filePath("good/recorder");
    const QString evil = work.filePath("evil/recorder");
    QVERIFY(copyRecorder(good) && writeFile(log) && QDir().mkdir(open) && QFile::link(good, open + "/alias"));
    QVERIFY(writeFile(evil, "#!/bin/sh\necho evil >>\"$RENDARO_TEST_LOG\"\n")
            && writeFile(work.filePath("datmon.dat"), entryText("00:00", open + "/alias", "Normal", "Monday").repeated(300)));
    QVERIFY(giveToOrdinary(work.path()) && testing::run("chown", {"-R", "65533:65533", QFileInfo(evil).absolutePath()}).exitCode == 0);
    QVERIFY(::chmod(QFile::encodeName(open).constData(), 0777) == 0 && ::chmod(QFile::encodeName(evil).constData(), 0755) == 0);
    QProcess swapper;
    swapper.start("setpriv", {"--reuid=65533", "--regid=65533", "--clear-groups", "sh", "-c",
                              "cd '" + open + "' && while :; do for p in '" + evil + "' '" + good + "'; do ln -sfn \"$p\" new && mv -T new alias; done; done"});
    QVERIFY(swapper.waitForStarted());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("RENDARO_TEST_LOG", log);
    const Finished run = runAsOrdinary("Rendaro.exe", {"--at", kMonday + "T12:00"}, work.path(), environment);
    swapper.kill(), swapper.waitForFinished();
    const qsizetype started = run.out.count("started 00:00");
    QVERIFY2(started > 0 && started + run.err.count("belongs to another user") == 300, run.err.constData());
    QTRY_COMPARE(readRecords(log).size(), started);
    for (const QStringList &record : readRecords(log))
        QCOMPARE(record[0], good);
}

void TestRendaro::notice()
{
    // A session bus of the test's own, watched for calls to the desktop's notification service.
    QTemporaryDir work;
    QVERIFY(writeFile(work.filePath("bus.conf"), "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>"
                      "EXTERNAL</auth><policy context=\"default\"><allow own=\"*\"/><allow send_destination=\"*\" "
                      "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/></policy></busconfig>"));
    QProcess daemon, monitor;
    auto stop = qScopeGuard([&] { monitor.kill(), daemon.kill(), monitor.waitForFinished(), daemon.waitForFinished(); });
    daemon.start("dbus-daemon", {"--nofork", "--print-address=1", "--config-file=" + work.filePath("bus.conf")});
    QVERIFY2(daemon.waitForReadyRead(10000), "dbus-daemon does not start");
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    monitor.start("dbus-monitor", {"--address", address, "interface='org.freedesktop.Notifications'"});
    QByteArray seen;
    QTRY_VERIFY((seen += monitor.readAllStandardOutput()).contains("NameLost")); // watching now

    // The folder's name is shown as text, never read as markup.
    const QString folder = work.filePath("R&D <b>tools</b>"), missing = work.filePath("gone/tool");
    QVERIFY(writeDayList(folder + "/datmon.dat", monday("06:00", missing) + monday("06:15", "/gone/too")));
    // No notification service on the bus, or no bus at all: the run ends all the same.
    for (const QString &bus : {address, "unix:path=" + work.filePath("none")}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", bus);
        QCOMPARE(runLauncher(folder, {"--at", kMonday + "T12:00"}, {}, environment).exitCode, 1);
    }
    // One notice for the run, naming its first trouble; a signal of the test's own marks the end of what was sent.
    QCOMPARE(testing::run("dbus-send", {"--bus=" + address, "/", "org.freedesktop.Notifications.End"}).exitCode, 0);
    QTRY_VERIFY((seen += monitor.readAllStandardOutput()).contains("member=End"));
    const QByteArray notice = "string \"Rendaro\"\n   string \"Could not start " + QFile::encodeName(missing)
                              + ": there is no such file (and 1 more)\nSee rendaro.log in " + QFile::encodeName(work.path())
                              + "/R&amp;D &lt;b&gt;tools&lt;/b&gt;.\"";
    QVERIFY2(seen.contains(notice), seen.constData());
    QCOMPARE(seen.count("member=Notify"), 1);
}

void TestRendaro::waits_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("jumpAfter");
    QTest::addColumn<qint64>("jumpSeconds");
    QTest::addColumn<QString>("end"); // and whether the target was reached (else the day ended)

    // Naps of at most a minute, with a look at the clock after each.
    QTest::newRow("an hour") << "2026-12-07T07:00:30" << "2026-12-07T08:00:00" << 0 << qint64(0) << "08:00:00 due 60";
    QTest::newRow("suspended three hours") << "2026-12-07T07:00:00" << "2026-12-07T08:00:00" << 3 << qint64(3 * 3600)
                                           << "10:03:00 due 3";
    QTest::newRow("clock set back") << "2026-12-07T07:58:00" << "2026-12-07T08:00:00" << 1 << qint64(-3600)
                                    << "08:00:00 due 62";
    QTest::newRow("already due") << "2026-12-07T09:00:00" << "2026-12-07T08:00:00" << 0 << qint64(0) << "09:00:00 due 0";
    QTest::newRow("target after midnight") << "2026-12-07T23:58:30" << "2026-12-08T00:30:00" << 0 << qint64(0)
                                           << "00:00:30 midnight 2";
    QTest::newRow("woken the next morning") << "2026-12-07T22:00:00" << "2026-12-07T23:45:00" << 1 << qint64(5 * 3600)
                                            << "03:01:00 midnight 1";
}

void TestRendaro::waits()
{
    QFETCH(QString, start);
    QFETCH(QString, target);
    QFETCH(int, jumpAfter);
    QFETCH(qint64, jumpSeconds);
    QFETCH(QString, end);
    FakeClock clock(start, jumpAfter, jumpSeconds);
    const bool due = rendaro::waitUntil(clock, QDateTime::fromString(target, Qt::ISODate), QDate(2026, 12, 7))
                     == rendaro::WaitOutcome::Due;
    QCOMPARE(QStringList({clock.now().toString("HH:mm:ss"), due ? "due" : "midnight", QString::number(clock.naps.size())}),
             end.split(u' '));
    for (auto nap : clock.naps)
        QVERIFY(nap > 0ms && nap <= 60s);
    if (due || !jumpAfter)
        return;
    // A whole run that sleeps into the next day starts nothing late.
    WorkFolder folder;
    QVERIFY(writeDayList("datmon.dat", monday("23:45", "/nonexistent/late.exe")));
    FakeClock night(start, jumpAfter, jumpSeconds);
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QCOMPARE(rendaro::runToday({}, night, outStream, errStream), 0);
    QCOMPARE(out, "Monday 2026-12-07 22:00: datmon.dat, 1 entries\nwaiting until 23:45\n"
                  "midnight: 1 entries not started today\nend of run: 0 started, 1 not started\n");
    QCOMPARE(err, QString());
}

QTEST_GUILESS_MAIN(TestRendaro)
#include "test_rendaro.moc"
