// Rendaro.exe, the built launcher, in temporary working folders; its wait in
// the process, against a clock the test moves.
#include "Launcher.h"
#include "Waiting.h"
#include "LauncherRun.h"
#include "support/AsUser.h"

#include <QDBusConnection>
#include <QRegularExpression>
#include <QtTest>

#include <sys/stat.h>

using namespace std::chrono_literals;
using namespace testing;

namespace {

const QString kMonday = QStringLiteral("2026-12-07");

QStringList monday(const char *time, const QString &path, const char *style = "Normal")
{
    return {QString::fromLatin1(time), path, QString::fromLatin1(style), QStringLiteral("Monday")};
}

// A wall clock that every nap moves on by the time slept, plus a jump after
// the nth nap (a suspend, a clock set back).
class FakeClock : public rendaro::Clock
{
public:
    explicit FakeClock(const QString &start) : m_now(QDateTime::fromString(start, Qt::ISODate)) {}
    QDateTime now() override { return m_now; }
    void sleep(std::chrono::milliseconds span) override
    {
        naps.append(span);
        m_now = m_now.addMSecs(span.count() + (naps.size() == jumpAfter ? jumpSeconds * 1000 : 0));
        QVERIFY2(naps.size() < 100000, "the wait does not end");
    }
    QList<std::chrono::milliseconds> naps;
    qsizetype jumpAfter = 0;
    qint64 jumpSeconds = 0;

private:
    QDateTime m_now;
};

// A stand-in of the desktop's notification service that keeps what it is asked to show.
class Notifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public slots:
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &, int)
    {
        received.append(summary + u'|' + body);
        return uint(received.size());
    }

public:
    QStringList received;
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
    void logStaysBounded();
    void notice_data();
    void notice();
    void waits_data();
    void waits();
    void options_data();
    void options();
};

void TestRendaro::list_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("timeZone");
    QTest::addColumn<QString>("at");
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<int>("exitCode");

    auto fixture = [](const char *at, const char *seven, const char *noon) {
        return QStringList{QStringLiteral("Monday 2026-12-07 %1: datmon.dat, 4 entries").arg(at),
                           QStringLiteral("07:00 Max /opt/apps/morning tool.exe: would start %1").arg(seven),
                           QStringLiteral("07:00 Min /opt/apps/second at seven.exe: would start %1").arg(seven),
                           QStringLiteral("12:00 Normal /opt/apps/noon.exe: would start %1").arg(noon),
                           QStringLiteral("19:30 Hide /opt/apps/evening.exe: would start at 19:30")};
    };
    // The fixture's fourth entry has a relative path and is skipped.
    QTest::newRow("noon") << "datmon.dat" << "UTC" << kMonday + "T12:00" << fixture("12:00", "at once", "at once") << 1;
    QTest::newRow("before all") << "datmon.dat" << "UTC" << kMonday + "T06:59" << fixture("06:59", "at 07:00", "at 12:00")
                                << 1;
    QTest::newRow("Sunday, LF lines, last without end")
        << "datsun.dat" << "UTC" << "2026-12-13T23:50"
        << QStringList{"Sunday 2026-12-13 23:50: datsun.dat, 2 entries",
                       "00:00 Hide /opt/early/bird.exe: would start at once",
                       "23:45 Normal /opt/late/owl.exe: would start at once"} << 0;
    QTest::newRow("empty list") << "datwed.dat" << "UTC" << "2026-12-09T08:00"
                                << QStringList{"Wednesday 2026-12-09 08:00: datwed.dat, 0 entries"} << 0;
    QTest::newRow("no list") << "datmon.dat" << "UTC" << "2026-12-10T08:00"
                             << QStringList{"Thursday: no datthu.dat here, nothing to start today"} << 0;
    // The clock skips 02:00 to 03:00: those times start when it resumes.
    QTest::newRow("spring forward") << "dst" << "Europe/Berlin" << "2026-03-29T00:10"
                                    << QStringList{"Sunday 2026-03-29 00:10: datsun.dat, 3 entries",
                                                   "02:00 Normal /opt/a.exe: would start at 03:00 CEST",
                                                   "02:30 Normal /opt/b.exe: would start at 03:00 CEST",
                                                   "03:15 Normal /opt/c.exe: would start at 03:15 CEST"} << 0;
    // The clock shows 02:00 to 03:00 twice: those times start the first time round.
    QTest::newRow("fall back") << "dst" << "Europe/Berlin" << "2026-10-25T01:50"
                               << QStringList{"Sunday 2026-10-25 01:50: datsun.dat, 3 entries",
                                              "02:00 Normal /opt/a.exe: would start at 02:00 CEST",
                                              "02:30 Normal /opt/b.exe: would start at 02:30 CEST",
                                              "03:15 Normal /opt/c.exe: would start at 03:15 CET"} << 0;
}

void TestRendaro::list()
{
    QFETCH(QString, file);
    QFETCH(QString, timeZone);
    QFETCH(QString, at);
    QFETCH(QStringList, out);
    QFETCH(int, exitCode);

    QTemporaryDir work;
    if (file == "dst") {
        QVERIFY(writeDayList(work.filePath("datsun.dat"),
                             QStringList{"02:00", "/opt/a.exe", "Normal", "Sunday", "03:15", "/opt/c.exe", "Normal",
                                         "Sunday", "02:30", "/opt/b.exe", "Normal", "Sunday"}));
    } else {
        QVERIFY(QFile::copy(qEnvironmentVariable("VELLOMAR_SOURCE_DIR") + "/tests/rendaro/fixtures/" + file,
                            work.filePath(file)));
        QVERIFY(QFile::setPermissions(work.filePath(file), QFile::ReadOwner | QFile::WriteOwner));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TZ", timeZone);
    const RunResult run = runLauncher(work.path(), {"--list", "--at", at}, {}, environment);
    QCOMPARE(run.out, out.join(u'\n') + u'\n');
    QCOMPARE(run.err, exitCode ? "Rendaro.exe: datmon.dat line 13: bad program path \"relative/not/allowed\": "
                                 "skipped, not started\n"
                               : QString());
    QCOMPARE(run.exitCode, exitCode);
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
        QVERIFY(copyProgram("rendaro_recorder", program));
    QVERIFY(QFile::setPermissions(notProgram, QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(::chmod(QFile::encodeName(open).constData(), 0775), 0);
    // The launcher itself, by its path and by a link: it would start the list over and over.
    QVERIFY(QFile::link(launcherProgram(), alias));
    QVERIFY(writeDayList(work.filePath("datmon.dat"),
                         monday("07:15", next) + QStringList{"7:30"} + monday("07:00", early, "Hide") + monday("06:00", missing)
                             + monday("07:00", odd, "Hide") + monday("06:15", notProgram)
                             + monday("06:30", launcherProgram()) + monday("06:45", open) + monday("06:45", alias)));

    // Two seconds before the last entry's time: everything past starts at
    // once, in time order, then a short real wait.
    const RunResult run = runLauncher(work.path(), {"--at", kMonday + "T07:14:58"}, log);
    const QString own = "it is Rendaro.exe, one of Vellomar's own programs, which the launcher never starts";
    const QStringList troubles{
        "datmon.dat line 5: bad time line \"7:30\": skipped, not started",
        "could not start " + missing + ": there is no such file",
        "could not start " + notProgram + ": the file is not a program",
        "refusing " + launcherProgram() + ": " + own + "; not started",
        "refusing " + open + ": the program file is not safe: other users may write to it (mode 0775); not started",
        "refusing " + alias + ": " + own + "; not started"};
    QCOMPARE(run.err, "Rendaro.exe: " + troubles.join("\nRendaro.exe: ") + "\n");
    QCOMPARE(run.exitCode, 1);
    QRegularExpression pid(" \\(process [1-9][0-9]*\\)$");
    QStringList out = run.out.split(u'\n');
    out.replaceInStrings(pid, " (process N)");
    const QStringList events = QStringList{"Monday 2026-12-07 07:14: datmon.dat, 8 entries"} + troubles.mid(0, 1)
                               + troubles.mid(1) + QStringList{"started 07:00 Hide " + early + " (process N)",
                                                               "started 07:00 Hide " + odd + " (process N)",
                                                               "waiting until 07:15", "started 07:15 Normal " + next
                                                                   + " (process N)",
                                                               "end of run: 3 started, 5 not started"};
    QCOMPARE(out, QStringList{events[0]} + events.mid(7) + QStringList{""});
    // The log has every event, each led by the local date and time.
    QStringList logged = QString::fromUtf8(readFile(work.filePath("rendaro.log"))).split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : logged) {
        QVERIFY2(QRegularExpression("^2026-12-07 07:1[45]:[0-9][0-9] ").match(line).hasMatch(), qPrintable(line));
        line = line.mid(20).replace(pid, " (process N)");
    }
    QCOMPARE(logged, events);

    QTRY_COMPARE(readRecords(log).size(), 3);
    QList<Recorded> records = readRecords(log);
    if (records[0].program == odd) // the two at 07:00 start together; either may record first
        records.swapItemsAt(0, 1);
    const QStringList programs{early, odd, next};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(records[i].program, programs[i]);
        QCOMPARE(records[i].workingFolder, QFileInfo(programs[i]).absolutePath());
        QCOMPARE(records[i].argumentCount, 0);
        QCOMPARE(records[i].output == "/dev/null", i < 2); // Hide discards the output
    }
    for (const QString &folder : {work.path(), QFileInfo(odd).absolutePath()})
        QVERIFY(!QFileInfo::exists(folder + "/pwned") && !QFileInfo::exists(folder + "/pwned2"));
}

void TestRendaro::refusals_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QTest::addColumn<bool>("started");

    // An ordinary user's own files, as a login leaves them, are trusted.
    QTest::newRow("own files") << "" << 0 << "" << true;
    QTest::newRow("readable by all") << "list 0644, folder 0755" << 0 << "" << true;
    QTest::newRow("list group-writable") << "list 0620" << 1 << "refusing datmon.dat: other users may write to it (mode 0620)"
                                         << false;
    QTest::newRow("folder group-writable") << "folder 0775" << 1 << "refusing the working folder" << false;
    QTest::newRow("folder like /tmp") << "folder 1777" << 1 << "refusing the working folder" << false;
    QTest::newRow("list of another user") << "list owner" << 1 << "belongs to another user (uid 65533)" << false;
    QTest::newRow("list is a link") << "list link" << 1 << "refusing datmon.dat: it is a symbolic link" << false;
    QTest::newRow("list is a pipe") << "list pipe" << 1 << "refusing datmon.dat: it is not a regular file" << false;
    QTest::newRow("list too large") << "list large" << 1 << "it is too large to be a day list" << false;
    QTest::newRow("program folder open") << "program folder 0777" << 1 << "its folder" << false;
    QTest::newRow("program missing") << "program gone" << 1 << "there is no such file" << false;
    // A log that cannot be written is given up; the programs start all the same.
    QTest::newRow("log is a folder") << "log folder" << 0 << "" << true;
    QTest::newRow("log links elsewhere") << "log link" << 0 << "" << true;
}

void TestRendaro::refusals()
{
    QFETCH(QString, change);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    QFETCH(bool, started);
    if (change == "list owner" && !isRoot())
        QSKIP("a day list of another user takes root to set up");

    QTemporaryDir work;
    const QString list = work.filePath("datmon.dat"), program = work.filePath("p/recorder");
    const QString log = work.filePath("started.txt");
    QVERIFY(copyProgram("rendaro_recorder", program));
    QVERIFY(writeDayList(list, monday("00:00", program)));
    auto mode = [](const QString &path, int bits) { return ::chmod(QFile::encodeName(path).constData(), mode_t(bits)) == 0; };
    if (change == "list link") {
        QVERIFY(QFile::rename(list, work.filePath("real.dat")) && QFile::link(work.filePath("real.dat"), list));
    } else if (change == "list pipe") {
        QVERIFY(QFile::remove(list) && ::mkfifo(QFile::encodeName(list).constData(), 0600) == 0);
    } else if (change == "list large") {
        QFile file(list);
        QVERIFY(file.open(QIODevice::Append) && file.resize(16 * 1024 * 1024 + 1));
    } else if (change == "program gone") {
        QVERIFY(QFile::remove(program));
    } else if (change == "log folder") {
        QVERIFY(QDir(work.path()).mkdir("rendaro.log"));
    } else if (change == "log link") {
        QVERIFY(QFile::link(log, work.filePath("rendaro.log")));
    }
    QVERIFY(giveToOrdinary(work.path()));
    if (change == "list owner")
        QVERIFY(::chown(QFile::encodeName(list).constData(), 65533, 65533) == 0 && mode(list, 0644));
    else if (change == "program folder 0777")
        QVERIFY(mode(QFileInfo(program).absolutePath(), 0777));
    else if (change.startsWith("list 0"))
        QVERIFY(mode(list, change.mid(5, 4).toInt(nullptr, 8)));
    if (change.contains("folder 0755") || change.startsWith("folder "))
        QVERIFY(mode(work.path(), change.right(4).toInt(nullptr, 8)));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("RENDARO_TEST_LOG", log);
    const testing::Finished run = runAsOrdinary("Rendaro.exe", {"--at", kMonday + "T12:00"}, work.path(), environment);
    QVERIFY2(run.ran, "the launcher did not end");
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(says.toUtf8()), run.err.constData());
    QCOMPARE(run.out.contains("started 00:00"), started);
    if (started)
        QTRY_COMPARE(readRecords(log).size(), 1);
    else
        QVERIFY(readRecords(log).isEmpty());
    if (!change.startsWith("log")) // the run's end is in the log
        QVERIFY(readFile(work.filePath("rendaro.log")).contains("end of run: " + QByteArray(started ? "1" : "0")));
}

void TestRendaro::logStaysBounded()
{
    QTemporaryDir work;
    const QString log = work.filePath("rendaro.log");
    QByteArray old;
    for (int i = 0; old.size() <= 256 * 1024; ++i)
        old += "2026-12-06 08:00:00 old line " + QByteArray::number(i) + '\n';
    QVERIFY(writeFile(log, old) && QFile::setPermissions(log, QFileDevice::Permissions(0x6666)));
    QVERIFY(writeDayList(work.filePath("datmon.dat"), monday("00:00", "/nonexistent/x")));

    QCOMPARE(runLauncher(work.path(), {"--at", kMonday + "T08:00"}).exitCode, 1);
    // The older half is gone, the newer is whole, this run follows it.
    const QByteArray now = readFile(log);
    QVERIFY(now.size() <= 256 * 1024 && now.size() > 128 * 1024);
    QVERIFY(old.endsWith(now.left(now.indexOf("2026-12-07"))));
    QVERIFY(now.startsWith("2026-12-06 08:00:00 old line "));
    QVERIFY(now.endsWith("end of run: 0 started, 1 not started\n"));
    QCOMPARE(QFileInfo(log).permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
    // --log shows its last 50 lines.
    const RunResult tail = runLauncher(work.path(), {"--log"});
    QCOMPARE(tail.out.toUtf8(), now.mid(now.size() - (now.split('\n').mid(now.count('\n') - 50).join('\n').size())));
    QCOMPARE(tail.out.count(u'\n'), 50);
}

void TestRendaro::notice_data()
{
    QTest::addColumn<QString>("bus"); // "service", "no service" or "no bus"
    QTest::newRow("notification service") << "service";
    QTest::newRow("no notification service") << "no service";
    QTest::newRow("no session bus") << "no bus";
}

void TestRendaro::notice()
{
    QFETCH(QString, bus);
    QTemporaryDir work;
    QVERIFY(writeFile(work.filePath("bus.conf"), "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                                                 "<auth>EXTERNAL</auth><policy context=\"default\"><allow own=\"*\"/>"
                                                 "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                                 "<allow eavesdrop=\"true\"/></policy></busconfig>"));
    QProcess daemon;
    daemon.start("dbus-daemon", {"--nofork", "--print-address=1", "--config-file=" + work.filePath("bus.conf")});
    QVERIFY2(daemon.waitForReadyRead(10000), "dbus-daemon does not start");
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    auto stop = qScopeGuard([&daemon] { daemon.kill(); daemon.waitForFinished(); });
    Notifications service;
    QDBusConnection connection = QDBusConnection::connectToBus(address, bus);
    if (bus == "service")
        QVERIFY(connection.registerService("org.freedesktop.Notifications")
                && connection.registerObject("/org/freedesktop/Notifications", &service,
                                             QDBusConnection::ExportAllSlots));

    const QString missing = work.filePath("gone/tool");
    QVERIFY(writeDayList(work.filePath("datmon.dat"), monday("06:00", missing) + monday("06:15", "/gone/too")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", bus == "no bus" ? "unix:path=" + work.filePath("none") : address);
    std::unique_ptr<QProcess> launcher(testing::startProgram(launcherProgram(), {"--at", kMonday + "T12:00"},
                                                             work.path(), environment));
    QTRY_VERIFY_WITH_TIMEOUT(launcher->state() == QProcess::NotRunning, 60000); // never hangs on the bus
    QCOMPARE(launcher->exitCode(), 1);
    connection.unregisterService("org.freedesktop.Notifications");
    QDBusConnection::disconnectFromBus(bus);
    QCOMPARE(service.received, bus == "service" ? QStringList{"Rendaro|Could not start " + missing
                                                              + ": there is no such file (and 1 more)\nSee rendaro.log in "
                                                              + work.path() + "."}
                                                : QStringList{});
}

void TestRendaro::waits_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("jumpAfter");
    QTest::addColumn<qint64>("jumpSeconds");
    QTest::addColumn<bool>("due"); // else the day ended at midnight
    QTest::addColumn<int>("naps");
    QTest::addColumn<QString>("end");

    // Naps of at most a minute, with a look at the clock after each.
    QTest::newRow("an hour") << "2026-12-07T07:00:30" << "2026-12-07T08:00:00" << 0 << qint64(0) << true << 60
                             << "2026-12-07T08:00:00";
    QTest::newRow("suspended three hours") << "2026-12-07T07:00:00" << "2026-12-07T08:00:00" << 3 << qint64(3 * 3600)
                                           << true << 3 << "2026-12-07T10:03:00";
    QTest::newRow("clock set back") << "2026-12-07T07:58:00" << "2026-12-07T08:00:00" << 1 << qint64(-3600) << true << 62
                                    << "2026-12-07T08:00:00";
    QTest::newRow("already due") << "2026-12-07T09:00:00" << "2026-12-07T08:00:00" << 0 << qint64(0) << true << 0
                                 << "2026-12-07T09:00:00";
    QTest::newRow("target after midnight") << "2026-12-07T23:58:30" << "2026-12-08T00:30:00" << 0 << qint64(0) << false
                                           << 2 << "2026-12-08T00:00:30";
    QTest::newRow("woken the next morning") << "2026-12-07T22:00:00" << "2026-12-07T23:45:00" << 1 << qint64(5 * 3600)
                                            << false << 1 << "2026-12-08T03:01:00";
}

void TestRendaro::waits()
{
    QFETCH(QString, start);
    QFETCH(QString, target);
    QFETCH(int, jumpAfter);
    QFETCH(qint64, jumpSeconds);
    QFETCH(bool, due);
    QFETCH(int, naps);
    QFETCH(QString, end);

    FakeClock clock(start);
    clock.jumpAfter = jumpAfter;
    clock.jumpSeconds = jumpSeconds;
    QCOMPARE(rendaro::waitUntil(clock, QDateTime::fromString(target, Qt::ISODate), QDate(2026, 12, 7)),
             due ? rendaro::WaitOutcome::Due : rendaro::WaitOutcome::Midnight);
    QCOMPARE(clock.now(), QDateTime::fromString(end, Qt::ISODate));
    QCOMPARE(clock.naps.size(), naps);
    for (auto nap : clock.naps)
        QVERIFY(nap > 0ms && nap <= 60s);

    // A whole run that sleeps into the next day starts nothing late.
    if (!due && jumpAfter) {
        testing::WorkFolder folder;
        QVERIFY(writeDayList("datmon.dat", monday("23:45", "/nonexistent/late.exe")));
        FakeClock night(start);
        night.jumpAfter = jumpAfter;
        night.jumpSeconds = jumpSeconds;
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        QCOMPARE(rendaro::runToday({}, night, outStream, errStream), 0);
        QCOMPARE(out, "Monday 2026-12-07 22:00: datmon.dat, 1 entries\nwaiting until 23:45\n"
                      "midnight: 1 entries not started today\nend of run: 0 started, 1 not started\n");
        QCOMPARE(err, QString());
    }
}

void TestRendaro::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "--list";
    QTest::newRow("bad --at") << QStringList{"--at", "2026-11-31T07:00"} << 2 << "YYYY-MM-DDTHH:MM";
    QTest::newRow("argument") << QStringList{"datmon.dat"} << 2 << "unexpected argument";
    QTest::newRow("unknown option") << QStringList{"--now"} << 1 << "now";
}

void TestRendaro::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    QTemporaryDir work;
    QVERIFY(writeDayList(work.filePath("datmon.dat"), monday("00:00", "/nonexistent")));
    const RunResult run = runLauncher(work.path(), arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((run.out + run.err).contains(says), qPrintable(run.out + run.err));
    QVERIFY(!run.err.contains("could not start"));
}

QTEST_GUILESS_MAIN(TestRendaro)
#include "test_rendaro.moc"
