// Rendaro.exe, the built launcher, in temporary working folders; its wait in
// the process, against a clock the test moves.
#include "companions/rendaro/Launcher.h"
#include "companions/rendaro/Waiting.h"
#include "rendaro/LauncherRun.h"
#include "support/AsUser.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QRegularExpression>
#include <QtTest>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

using namespace std::chrono_literals;
using namespace testing;

namespace {

const QString kMonday = QStringLiteral("2026-12-07");

QStringList monday(const char *time, const QString &path, const char *style = "Normal")
{
    return {QString::fromLatin1(time), path, QString::fromLatin1(style), QStringLiteral("Monday")};
}

// A wall clock that each nap moves on by the time slept; on waking the test
// may move it further (a suspend, a clock set back) or change the world.
struct FakeClock : rendaro::Clock {
    explicit FakeClock(const QString &start)
        : at(QDateTime::fromString(start, Qt::ISODate))
    {
    }
    QDateTime now() override { return at; }
    void sleep(std::chrono::milliseconds span) override
    {
        naps.append(span);
        at = at.addMSecs(span.count());
        QVERIFY2(naps.size() < 100000, "the wait does not end");
        onWake();
    }
    QDateTime at;
    std::function<void()> onWake;
    QList<std::chrono::milliseconds> naps;
};

// Starts a D-Bus daemon of the test's own; its address.
QString startBus(QProcess &daemon, const QString &folder)
{
    writeFile(folder + "/bus.conf", "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
                                    "<policy context=\"default\"><allow own=\"*\"/><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                    "<allow eavesdrop=\"true\"/></policy></busconfig>");
    daemon.start("dbus-daemon", {"--nofork", "--print-address=1", "--config-file=" + folder + "/bus.conf"});
    return daemon.waitForReadyRead(10000) ? QString::fromUtf8(daemon.readLine()).trimmed() : QString();
}

// A session as logind names it in a user's Display property: its id and object path, "(so)".
struct SessionRef {
    QString id;
    QDBusObjectPath path;
};
QDBusArgument &operator<<(QDBusArgument &out, const SessionRef &s)
{
    return out.beginStructure(), out << s.id << s.path, out.endStructure(), out;
}
const QDBusArgument &operator>>(const QDBusArgument &in, SessionRef &s)
{
    return in.beginStructure(), in >> s.id >> s.path, in.endStructure(), in;
}

// logind's manager and the user's graphical session, for a launcher that is no process of any session (an
// autostart run as a unit of the user's service manager): systemd's logind (src/login/logind-dbus.c,
// logind-user-dbus.c) answers GetSessionByPID for it with NoSessionForPID, and names the session in the user's
// Display property.
class FakeLogind : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public slots:
    QDBusObjectPath GetSessionByPID(uint pid)
    {
        sendErrorReply("org.freedesktop.login1.NoSessionForPID", QString("PID %1 does not belong to any known session").arg(pid));
        return {};
    }
};
class FakeUser : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.User")
    Q_PROPERTY(SessionRef Display READ display)
public:
    SessionRef display() const { return asked = true, SessionRef{"1", QDBusObjectPath("/org/freedesktop/login1/session/_1")}; }
    mutable bool asked = false;
};
class FakeSession : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(QString State MEMBER state)
public:
    QString state = "active";
};

// What a refusals row makes of the world before the run, beside the modes it sets.
constexpr int Plain = 0, ListLarge = 1, LogLink = 2, LogLong = 4, FileSizeLimit = 8;
using Modes = QMap<QString, int>; // "list", "folder", "log": chmod after the files are given away

} // namespace

class TestRendaro : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("TZ", "Europe/Berlin"), tzset(); }
    void list_data();
    void list();
    void run();
    void refusals_data();
    void refusals();
    void notice();
    void session_data();
    void session();
    void midnight();
    void stops_data();
    void stops();
    void lock_data();
    void lock();
    void sessionRemoved();
};

// clang-format off
void TestRendaro::list_data()
{
    QTest::addColumn<QString>("at"); // the local time, in Europe/Berlin
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("entries"); // lines of Rendaro.desktop in "config" (the user's) or "dirs" (all users')
    QTest::addColumn<QString>("logon");       // %C, %D: those autostart folders; %L: the launcher

    // The fixture's fourth entry has a relative path and is skipped.
    QTest::newRow("noon") << kMonday + "T12:00"
                          << QStringList{"Monday 2026-12-07 12:00: datmon.dat, 4 entries",
                                         "07:00 Max /opt/apps/morning tool.exe: would start at once",
                                         "07:00 Min /opt/apps/second at seven.exe: would start at once",
                                         "12:00 Normal /opt/apps/noon.exe: would start at once",
                                         "19:30 Hide /opt/apps/evening.exe: would start at 19:30"} << 1
                          << QStringList() << "Not started at logon: no Rendaro.desktop in %C, %D";
    const QStringList thursday{"Thursday: no datthu.dat here, nothing to start today"};
    const QString own = "Not started at logon: your own entry %C/Rendaro.desktop ";
    QTest::newRow("no list") << "2026-12-10T08:00" << thursday << 0 << QStringList{"dirs Exec=%L", "dirs TryExec=%L", "dirs [Desktop Action x]", "dirs Hidden=true"}
                             << "At logon: %D/Rendaro.desktop starts %L";
    QTest::newRow("own hides") << "2026-12-10T08:00" << thursday << 0 << QStringList{"dirs Exec=%L", "config Hidden=true"}
                               << own + "switches it off (Hidden=true)";
    QTest::newRow("own starts another") << "2026-12-10T08:00" << thursday << 0 << QStringList{"config Exec=true", "dirs Exec=%L"}
                                        << own + "starts \"true\", not %L";
    QTest::newRow("TryExec gone") << "2026-12-10T08:00" << thursday << 0 << QStringList{"dirs Exec=%L", "dirs TryExec=/gone"}
                                  << "Not started at logon: %D/Rendaro.desktop switches it off (TryExec=/gone, which cannot be found)";
    QTest::newRow("other desktop") << "2026-12-10T08:00" << thursday << 0 << QStringList{"dirs Exec=%L", "dirs OnlyShowIn=KDE;"}
                                   << "Not started at logon: %D/Rendaro.desktop switches it off (OnlyShowIn=KDE;)";
    QTest::newRow("not this desktop") << "2026-12-10T08:00" << thursday << 0 << QStringList{"dirs Exec=%L", "dirs NotShowIn=KDE;GNOME"}
                                      << "Not started at logon: %D/Rendaro.desktop switches it off (NotShowIn=KDE;GNOME)";
}
// clang-format on

void TestRendaro::list()
{
    QFETCH(QString, at);
    QFETCH(QStringList, out);
    QFETCH(int, exitCode);
    QFETCH(QStringList, entries);
    QFETCH(QString, logon);
    QTemporaryDir work, xdg;
    const QString launcher = QFileInfo(kLauncher).canonicalFilePath();
    for (const QString &entry : entries) {
        QFile file(xdg.filePath(entry.section(u' ', 0, 0) + "/autostart/Rendaro.desktop"));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::Append));
        file.write((file.size() ? "" : "[Desktop Entry]\nType=Application\n") + entry.section(u' ', 1).replace("%L", launcher).toUtf8() + "\n");
    }
    QVERIFY(QFile::copy(qEnvironmentVariable("VELLOMAR_SOURCE_DIR") + "/tests/rendaro/fixtures/datmon.dat", work.filePath("datmon.dat"))
            && QFile::setPermissions(work.filePath("datmon.dat"), QFile::ReadOwner | QFile::WriteOwner));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TZ", "Europe/Berlin");
    environment.insert("XDG_CONFIG_HOME", xdg.filePath("config")), environment.insert("XDG_CONFIG_DIRS", "rel:" + xdg.filePath("dirs"));
    environment.insert("XDG_CURRENT_DESKTOP", "X-Cinnamon:GNOME");
    for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"})
        environment.remove(display);
    const Finished run = runLauncher(work.path(), {"--list", "--at", at}, {}, environment);
    out.append(logon.replace("%C", xdg.filePath("config/autostart")).replace("%D", xdg.filePath("dirs/autostart")).replace("%L", launcher));
    out.append("Hide in this session: started with no terminal and its output discarded; without a display it shows no window");
    out.append("Min in this session: not applied: there is no display");
    out.append("Max in this session: not applied: there is no display");
    out.append("Started without --once, Rendaro.exe stays for the session and starts each day's entries on that day.");
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
    const QString notProgram = work.filePath("plain/recorder"), missing = work.filePath("gone/recorder");
    for (const QString &program : {early, odd, next, notProgram})
        QVERIFY(copyRecorder(program));
    // Started by its real path, as checked, not through the link its entry names, which may point elsewhere by then.
    const QString viaLink = work.filePath("via/recorder");
    QVERIFY(QFile::setPermissions(notProgram, QFile::ReadOwner) && QFile::link(QFileInfo(next).absolutePath(), work.filePath("via")));
    // The launcher itself would start the list over and over.
    QVERIFY(writeDayList(work.filePath("datmon.dat"), monday("07:15", viaLink) + QStringList{"7:30"} + monday("07:00", early, "Hide") + monday("06:00", missing)
                                                          + monday("07:00", odd, "Hide") + monday("06:15", notProgram) + monday("06:30", kLauncher)
                                                          + monday("06:45", "/opt/\u2028tool\u202Eexe.txt")));

    // Two seconds before the last entry's time: what is past starts at once, in time order, then a real wait.
    const Finished run = runLauncher(work.path(), {"--once", "--at", kMonday + "T07:14:58"}, log);
    const QStringList troubles{"datmon.dat line 5: bad time line \"7:30\": skipped, not started",
                               "datmon.dat line 26: bad program path \"/opt/\\u2028tool\\u202eexe.txt\": skipped, not started",
                               "could not start " + missing + ": there is no such file", "could not start " + notProgram + ": the file is not a program",
                               "refusing " + kLauncher + ": it is Rendaro.exe, one of Vellomar's own programs, which the launcher never starts; not started"};
    QCOMPARE(QString::fromUtf8(run.err), "Rendaro.exe: " + troubles.join("\nRendaro.exe: ") + "\n");
    QCOMPARE(run.exitCode, 1);
    const QStringList events =
        QStringList{"Monday 2026-12-07 07:14: datmon.dat, 6 entries"} + troubles
        + QStringList{"started 07:00 Hide " + early + " (process N)", "started 07:00 Hide " + odd + " (process N)", "waiting until 07:15",
                      "started 07:15 Normal " + viaLink + ", which is " + next + " (process N)", "end of run: 3 started, 3 not started"};
    const QRegularExpression pid(" \\(process [1-9][0-9]*\\)$");
    QStringList out = QString::fromUtf8(run.out).split(u'\n');
    QCOMPARE(out.replaceInStrings(pid, " (process N)"), events.mid(0, 1) + events.mid(1 + troubles.size()) + QStringList{""});
    // The run's every event is in the log, each led by the local date and time.
    QStringList logged = QString::fromUtf8(readFile(work.filePath("rendaro.log"))).split(u'\n', Qt::SkipEmptyParts);
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
    // A date that does not exist is a usage error, and nothing starts (the package test tries an unknown option).
    QCOMPARE(runLauncher(work.path(), {"--at", "2026-11-31T07:00"}, log).exitCode, 2);
}

// clang-format off
void TestRendaro::refusals_data()
{
    QTest::addColumn<int>("setup");
    QTest::addColumn<Modes>("modes");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");

    // An ordinary user's own files, as a login leaves them, are trusted.
    QTest::newRow("own files") << Plain << Modes{} << 0 << "";
    QTest::newRow("readable by all") << Plain << Modes{{"list", 0644}, {"folder", 0755}} << 0 << "";
    QTest::newRow("list group-writable") << Plain << Modes{{"list", 0620}} << 1 << "refusing datmon.dat: other users may write to it (mode 0620)";
    QTest::newRow("folder group-writable") << Plain << Modes{{"folder", 0775}} << 1 << "refusing the working folder";
    QTest::newRow("folder like /tmp") << Plain << Modes{{"folder", 01777}} << 1 << "refusing the working folder";
    QTest::newRow("list too large") << ListLarge << Modes{} << 1 << "it is too large to be a day list";
    // A log that cannot be written is given up; the programs start all the same.
    QTest::newRow("log links elsewhere") << LogLink << Modes{} << 0 << "";
    QTest::newRow("log past a file size limit") << (LogLong | FileSizeLimit) << Modes{} << 0 << "";
    // Past its bound the log is shortened, keeping its mode less others' write rights; where it cannot be,
    // it grows and says so once.
    QTest::newRow("log 0600 past its bound") << LogLong << Modes{{"log", 0600}} << 0 << "";
    QTest::newRow("log others may write, past its bound") << LogLong << Modes{{"log", 0666}} << 0 << "";
    QTest::newRow("log past its bound, folder read-only") << LogLong << Modes{{"folder", 0500}} << 0 << "";
}
// clang-format on

void TestRendaro::refusals()
{
    QFETCH(int, setup);
    QFETCH(Modes, modes);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    QTemporaryDir work;
    const QString list = work.filePath("datmon.dat"), program = work.filePath("p/recorder"), log = work.filePath("log");
    const QString ownLog = work.filePath("rendaro.log");
    QVERIFY(copyRecorder(program) && writeDayList(list, monday("00:00", program)) && writeFile(log));
    const QMap<QString, QString> paths{{"list", list}, {"folder", work.path()}, {"log", ownLog}};
    if (setup & LogLink) // to the recorders' file
        QVERIFY(QFile::link(log, ownLog));
    const QByteArray old = QByteArray("2026-12-06 08:00:00 old line \x1b[2J\n").repeated(9000); // --log shows the ESC, not sends it
    QVERIFY(!(setup & LogLong) || writeFile(ownLog, old));
    QVERIFY(!(setup & ListLarge) || QFile(list).resize(16 * 1024 * 1024 + 1));
    QVERIFY(giveToOrdinary(work.path()));
    for (auto [name, mode] : modes.asKeyValueRange())
        QCOMPARE(::chmod(QFile::encodeName(paths[name]).constData(), mode_t(mode)), 0);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("RENDARO_TEST_LOG", log);
    const Finished run = runAsOrdinary("Rendaro.exe", {"--once", "--at", kMonday + "T12:00"}, work.path(), environment,
                                       setup & FileSizeLimit ? QStringList{"prlimit", "--fsize=65536", "--"} : QStringList{});
    const Finished shown = runAsOrdinary("Rendaro.exe", {"--log"}, work.path());
    ::chmod(QFile::encodeName(work.path()).constData(), 0700);
    QVERIFY2(run.ran && shown.ran, "the launcher did not end");
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(says.toUtf8()), run.err.constData());
    QCOMPARE(run.out.contains("started 00:00"), exitCode == 0);
    if (exitCode == 0)
        QTRY_COMPARE(readRecords(log).size(), 1);
    QVERIFY(!readFile(log).contains("end of run")); // never written through a link
    const QFileInfo logInfo(ownLog);
    const QByteArray logged = logInfo.isFile() ? readFile(logInfo.filePath()) : QByteArray();
    if (!(setup & (LogLink | LogLong)) || modes.contains("folder")) // the run's end is in the log,
                                                                    // kept only in a folder nobody else may change
        QCOMPARE(logged.contains("end of run: " + QByteArray(exitCode ? "0" : "1")), !says.contains("working folder"));
    if (setup & LogLong) {
        QCOMPARE(logInfo.size() < 256 * 1024, modes.contains("log"));
        QCOMPARE_GT(logInfo.size(), 128 * 1024);
        QVERIFY(logged.startsWith("2026-12-06 08:00:00 old line")); // the older lines go whole, the newer stay whole
        QVERIFY(old.endsWith(logged.left(logged.indexOf("2026-12-07"))));
        QCOMPARE(int(logInfo.permissions() & (QFile::ReadGroup | QFile::ReadOther)), modes.value("log") == 0600 ? 0 : 0x44);
        QCOMPARE(int(logInfo.permissions() & (QFile::WriteGroup | QFile::WriteOther)), 0);
        QCOMPARE(logged.count("cannot be shortened"), modes.value("folder") == 0500 ? 1 : 0);
        const QList<QByteArray> lines = logged.split('\n'); // --log shows the last 50 lines
        QCOMPARE(shown.out, lines.mid(lines.size() - 51).join('\n').replace("\x1b", "\\x1b"));
    }
}

void TestRendaro::notice()
{
    // A session bus of the test's own, watched for calls to the desktop's notification service.
    QTemporaryDir work;
    QProcess daemon, monitor;
    auto stop = qScopeGuard([&] { monitor.kill(), daemon.kill(), monitor.waitForFinished(), daemon.waitForFinished(); });
    const QString address = startBus(daemon, work.path());
    QVERIFY2(!address.isEmpty(), "dbus-daemon does not start");
    monitor.start("dbus-monitor", {"--address", address, "interface='org.freedesktop.Notifications'"});
    QByteArray seen;
    QTRY_VERIFY((seen += monitor.readAllStandardOutput()).contains("NameLost")); // watching now

    // The folder's name is shown as text, never read as markup.
    const QString folder = work.filePath("R&D <b>tools</b>"), missing = work.filePath("gone/tool");
    const QString program = work.filePath("p/recorder"), log = work.filePath("log");
    QVERIFY(copyRecorder(program) && writeDayList(folder + "/datmon.dat", monday("06:00", missing) + monday("06:15", "/gone/too") + monday("06:30", program)));
    // A bus that takes the connection and never answers.
    const int silent = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un name{AF_UNIX, {}};
    std::strcpy(name.sun_path, QFile::encodeName(work.filePath("silent")).constData());
    QVERIFY(::bind(silent, reinterpret_cast<sockaddr *>(&name), sizeof name) == 0 && ::listen(silent, 8) == 0);
    // No notification service on the bus, no bus at all, or a bus that never answers: the
    // programs start first and the run ends all the same.
    for (const QString &bus : {address, "unix:path=" + work.filePath("none"), "unix:path=" + work.filePath("silent")}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", bus);
        const Finished run = runLauncher(folder, {"--once", "--at", kMonday + "T12:00"}, log, environment);
        QVERIFY(run.ran && run.exitCode == 1);
    }
    ::close(silent);
    QCOMPARE(readRecords(log).size(), 3);
    // A trouble that begins with a file name keeps the name as it is.
    const QString lists = work.filePath("lists");
    QVERIFY(writeDayList(lists + "/datmon.dat", monday("06:00", "tools/relative")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
    QCOMPARE(runLauncher(lists, {"--once", "--at", kMonday + "T12:00"}, log, environment).exitCode, 1);
    // One notice a run, naming its first trouble; a signal of the test's own marks the end of what was sent.
    QCOMPARE(testing::run("dbus-send", {"--bus=" + address, "/", "org.freedesktop.Notifications.End"}).exitCode, 0);
    QTRY_VERIFY((seen += monitor.readAllStandardOutput()).contains("member=End"));
    const QByteArray notice = "string \"Rendaro\"\n   string \"Could not start " + QFile::encodeName(missing)
                              + ": there is no such file (and 1 more)\nSee rendaro.log in " + QFile::encodeName(work.path())
                              + "/R&amp;D &lt;b&gt;tools&lt;/b&gt;.\"";
    QVERIFY2(seen.contains(notice), seen.constData());
    QVERIFY2(seen.contains("string \"datmon.dat line 1: bad program path \"tools/relative\": skipped, not started\nSee rendaro.log in "
                           + QFile::encodeName(lists) + ".\""),
             seen.constData());
    QCOMPARE(seen.count("member=Notify"), 2);
}

// clang-format off
void TestRendaro::session_data()
{
    QTest::addColumn<QString>("start");      // Monday 2026-12-07, or a night the clock changes (Europe/Berlin)
    QTest::addColumn<QStringList>("entries"); // "<day> HH:MM <program>" in that day's list
    QTest::addColumn<QStringList>("events");  // "<when> jump <to>", "<when> list|remake <day> HH:MM <program>...", "<when> remove <day>",
                                              // "<when> mode <octal>" (of the working folder), "<when> stop"
    QTest::addColumn<QStringList>("starts");  // "<day> HH:MM <program>" as they happened

    const QStringList week{"mon 23:45 /a", "tue 00:00 /b", "tue 08:00 /c", "wed 09:00 /d", "thu 07:00 /e", "thu 12:00 /f"};
    // What is due at logon starts at once, the rest at its time; after midnight the next day's list.
    QTest::newRow("days roll over") << "2026-12-07T23:40" << week << QStringList{"2026-12-10T11:00 stop"}
        << QStringList{"mon 23:45 /a", "tue 00:00 /b", "tue 08:00 /c", "wed 09:00 /d", "thu 07:00 /e"};
    // A wake on a later day is a logon: that day's due entries start at once; days slept through are not caught up.
    QTest::newRow("asleep one day") << "2026-12-07T23:00" << week << QStringList{"2026-12-07T23:10 jump 2026-12-08T09:30", "2026-12-08T10:00 stop"}
        << QStringList{"tue 09:30 /b", "tue 09:30 /c"};
    QTest::newRow("asleep three days") << "2026-12-07T23:00" << week
        << QStringList{"2026-12-07T23:10 jump 2026-12-10T09:30", "2026-12-10T13:00 stop"} << QStringList{"thu 09:30 /e", "thu 12:00 /f"};
    // The clock set back, within the day and across midnight: nothing starts twice on one date.
    QTest::newRow("clock set back") << "2026-12-07T23:40" << week
        << QStringList{"2026-12-07T23:46 jump 2026-12-07T22:00", "2026-12-08T00:01 jump 2026-12-07T23:30", "2026-12-08T01:00 stop"}
        << QStringList{"mon 23:45 /a", "tue 00:00 /b"};
    // An entry taken out does not start; one put in starts at its time if that is still ahead, else next week.
    QTest::newRow("list changed") << "2026-12-08T07:00" << week
        << QStringList{"2026-12-08T07:30 list tue 07:15 /late 07:45 /new 09:00 /d", "2026-12-08T10:00 stop"}
        << QStringList{"tue 07:00 /b", "tue 07:45 /new", "tue 09:00 /d"};
    // A trouble mended is noticed at the next wake: a folder others could change for a while, a list missing for a
    // moment around an entry's time (an editor's save), a list cut short and written again.
    QTest::newRow("folder refused a while") << "2026-12-08T10:00" << QStringList{"tue 10:15 /x", "tue 10:30 /y"}
        << QStringList{"2026-12-08T10:01 mode 0775", "2026-12-08T10:20 mode 0700", "2026-12-08T11:00 stop"}
        << QStringList{"tue 10:20 /x", "tue 10:30 /y"};
    QTest::newRow("list missing a moment") << "2026-12-08T08:50" << week
        << QStringList{"2026-12-08T08:59 remove tue", "2026-12-08T09:00 list tue 00:00 /b 08:00 /c 09:00 /g", "2026-12-08T10:00 stop"}
        << QStringList{"tue 08:50 /b", "tue 08:50 /c", "tue 09:00 /g"};
    QTest::newRow("folder made anew") << "2026-12-08T08:50" << QStringList{"tue 09:00 /g"}
        << QStringList{"2026-12-08T08:55 remake tue 09:00 /g", "2026-12-08T10:00 stop"} << QStringList{"tue 09:00 /g"};
    QTest::newRow("list cut short") << "2026-12-08T08:50" << QStringList{"tue 09:00 /g"}
        << QStringList{"2026-12-08T08:59 list tue", "2026-12-08T09:01 list tue 09:00 /g", "2026-12-08T10:00 stop"}
        << QStringList{"tue 09:01 /g"};
    // Dates are remembered as dates: a clock moved forward more than a week and back starts nothing twice.
    QTest::newRow("clock forward and back") << "2026-12-08T07:50" << week
        << QStringList{"2026-12-08T08:01 jump 2026-12-17T06:59", "2026-12-17T07:01 jump 2026-12-08T08:30", "2026-12-08T09:30 stop"}
        << QStringList{"tue 07:50 /b", "tue 08:00 /c", "thu 07:00 /e"};
    // The session ends: nothing starts after it.
    QTest::newRow("session ends") << "2026-12-08T07:00" << week << QStringList{"2026-12-08T07:59 stop"} << QStringList{"tue 07:00 /b"};
    // Spring forward: times in the skipped hour start when the clock resumes. Fall back: the first time round, once.
    QTest::newRow("spring forward") << "2026-03-29T01:00" << QStringList{"sun 02:30 /a", "sun 03:15 /b"}
        << QStringList{"2026-03-29T04:00 stop"} << QStringList{"sun 03:00 /a", "sun 03:15 /b"};
    QTest::newRow("fall back") << "2026-10-25T01:00" << QStringList{"sun 02:30 /a", "sun 03:15 /b"}
        << QStringList{"2026-10-25T04:00 stop"} << QStringList{"sun 02:30 /a", "sun 03:15 /b"};
}
// clang-format on

void TestRendaro::session()
{
    QFETCH(QString, start);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, events);
    QFETCH(QStringList, starts);
    const bool late = events.join(u' ').contains("07:15 /late"), refused = events.join(u' ').contains(" mode 0775");
    WorkFolder folder;
    const auto writeLists = [](const QStringList &lines) {
        QMap<QString, QStringList> lists;
        for (const QString &line : lines) {
            const QStringList parts = line.split(u' ');
            const QString day = QString::fromLatin1(kDayNames[QStringList{"mon", "tue", "wed", "thu", "fri", "sat", "sun"}.indexOf(parts[0])]);
            for (qsizetype i = 1; i + 1 < parts.size(); i += 2)
                lists[parts[0]] += QStringList{parts[i], parts[i + 1], "Normal", day};
        }
        for (auto list = lists.cbegin(); list != lists.cend(); ++list)
            QVERIFY(writeDayList("dat" + list.key() + ".dat", *list));
    };
    writeLists(entries);
    QString stop;
    QStringList started;
    FakeClock clock(start);
    const qsizetype eventCount = events.size();
    clock.onWake = [&] {
        while (!events.isEmpty() && QDateTime::fromString(events[0].section(u' ', 0, 0), Qt::ISODate) <= clock.at) {
            const QString what = events[0].section(u' ', 1, 1), rest = events.takeFirst().section(u' ', 2);
            if (what == "jump")
                clock.at = QDateTime::fromString(rest, Qt::ISODate);
            else if (what == "list" && !rest.contains(u' '))
                QVERIFY(writeFile("dat" + rest + ".dat")); // cut short, not yet written again
            else if (what == "list")
                writeLists({rest});
            else if (what == "remake") { // deleted and made again, the launcher still in the deleted one
                const int deleted = ::open(".", O_RDONLY);
                QVERIFY(QDir(folder.path()).removeRecursively() && QDir().mkdir(folder.path()) && QDir::setCurrent(folder.path()));
                writeLists({rest});
                QVERIFY(::fchdir(deleted) == 0 && ::close(deleted) == 0);
            } else if (what == "remove")
                QVERIFY(QFile::remove("dat" + rest + ".dat"));
            else if (what == "mode")
                QCOMPARE(::chmod(".", mode_t(rest.toInt(nullptr, 8))), 0);
            else
                stop = "the test ended it";
        }
    };
    const rendaro::Services services{clock,
                                     [&](const QString &path, schedule::RunStyle) {
                                         started.append(clock.at.toString("ddd HH:mm ").toLower() + path);
                                         return base::Result<rendaro::Launched>(rendaro::Launched{1, path});
                                     },
                                     [&] { return stop; }, nullptr};
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QCOMPARE(rendaro::runSchedule({}, services, outStream, errStream), refused ? 1 : 0);
    QCOMPARE(err.count("refusing the working folder"), refused ? 1 : 0); // told once while it lasts
    QCOMPARE(started, starts);
    QVERIFY2(out.contains(QString("end of session (the test ended it): %1 started, %2 not started\n")
                              .arg(starts.size())
                              .arg(out.contains("Monday ended: 1 entries") ? 1 : 0)),
             qPrintable(out));
    QCOMPARE(out.contains("added after its time, waits for next Tuesday: 07:15 Normal /late"), late);
    // No busy waiting: naps of a minute, shorter only to meet a start, midnight or a change of the test's.
    for (auto nap : clock.naps)
        QVERIFY(nap > 0ms && nap <= 60s);
    const qsizetype shortNaps = std::count_if(clock.naps.cbegin(), clock.naps.cend(), [](auto nap) { return nap < 60s; });
    QVERIFY2(shortNaps <= starts.size() + 2 * eventCount + 4, qPrintable(QString::number(shortNaps)));
}

void TestRendaro::midnight()
{
    // The built launcher across midnight as an ordinary user, its clock sped up: a quarter hour in 7.5 s.
    const QString faketime = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1";
    QVERIFY2(QFileInfo::exists(faketime), "libfaketime is not installed");
    QTemporaryDir work;
    const QString log = work.filePath("started.txt"), mon = work.filePath("mon/recorder"), tue = work.filePath("tue/recorder");
    // A copy of the launcher in its own list, in the same folder: it must not run the schedule a second time.
    const QString copy = work.filePath("Rendaro.exe");
    QVERIFY(copyRecorder(mon) && copyRecorder(tue) && QFile::copy(kLauncher, copy));
    QVERIFY(writeDayList(work.filePath("datmon.dat"), monday("23:45", mon) + monday("23:45", copy))
            && writeDayList(work.filePath("dattue.dat"), {"00:00", tue, "Normal", "Tuesday"}) && giveToOrdinary(work.path()));
    const auto start = [&](QProcess &launcher) {
        // The fake time set up by the ordinary account itself: its shared state is that account's.
        const QStringList command = asOrdinary("Rendaro.exe", {"LD_PRELOAD=" + faketime, "FAKETIME=@2026-12-07 23:44:00 x120", "RENDARO_TEST_LOG=" + log});
        launcher.setWorkingDirectory(work.path());
        launcher.start(command.first(), command.mid(1));
        QByteArray seen;
        QTRY_VERIFY2((seen += launcher.readAllStandardOutput()).contains("waiting until 23:45"), seen + launcher.readAllStandardError());
    };
    QProcess launcher;
    auto end = qScopeGuard([&] { launcher.kill(), launcher.waitForFinished(); });
    start(launcher);
    QTRY_COMPARE_WITH_TIMEOUT(readRecords(log).size(), 2, 30000);
    // Another user's launcher in the same folder is one of its own.
    QVERIFY(!isRoot() || !runLauncher(work.path(), {"--once", "--at", kMonday + "T23:59:59"}).out.contains("already runs"));
    const qint64 pid = launcher.processId();
    QCOMPARE(QStringList({readRecords(log)[0][0], readRecords(log)[1][0]}), QStringList({mon, tue}));
    const QString events = QString::fromUtf8(readFile(work.filePath("rendaro.log")));
    for (const QString &event : {"2026-12-07 23:45:.. started 23:45 Normal " + QRegularExpression::escape(copy) + " \\(process [0-9]+\\)",
                                 QString("2026-12-07 23:4.:.. Rendaro.exe already runs for this folder \\(process %1\\); "
                                         "this one starts nothing")
                                     .arg(pid),
                                 QString("2026-12-08 00:00:.. Tuesday 2026-12-08 00:00: dattue.dat, 1 entries")})
        QVERIFY2(QRegularExpression(event).match(events).hasMatch(), qPrintable(event + "\n" + events));
}

// The launcher of the session started as the ordinary account in folder, with env's arguments; it has
// looked at its list once it waits.
static bool startResident(QProcess &launcher, const QString &folder, const QStringList &environment = {})
{
    const QStringList command = asOrdinary("Rendaro.exe", environment) + QStringList{"--at", kMonday + "T12:00"};
    launcher.setWorkingDirectory(folder);
    launcher.start(command.first(), command.mid(1));
    return launcher.waitForStarted();
}

// clang-format off
void TestRendaro::stops_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("due");      // entries due at once, the third of them the one that signals
    QTest::addColumn<bool>("hungDisplay"); // DISPLAY is a server that takes connections and never answers
    QTest::addColumn<QString>("style");

    QTest::newRow("SIGTERM amid 200 starts") << int(SIGTERM) << 200 << false << "Normal";
    QTest::newRow("SIGHUP") << int(SIGHUP) << 3 << false << "Normal";
    QTest::newRow("a display that never answers") << int(SIGTERM) << 3 << true << "Max";
}
// clang-format on

void TestRendaro::stops()
{
    // A stop is obeyed at once: no start after it but those already under way, and the process ends within two
    // seconds of it, whatever the display does, with its last line in the log.
    QFETCH(int, signal);
    QFETCH(int, due);
    QFETCH(bool, hungDisplay);
    QFETCH(QString, style);
    QTemporaryDir work;
    const QString program = work.filePath("p/recorder"), stopper = work.filePath("p/stopper"), pidFile = work.filePath("pid");
    QVERIFY(copyRecorder(program) && copyRecorder(stopper)
            && writeFile(stopper, QString("#!/bin/sh\nkill -%1 $(cat '%2') && date +%s%3N >'%2.stopped'\n").arg(signal).arg(pidFile).toUtf8()));
    QStringList lines;
    for (int i = 0; i < due; ++i)
        lines += monday("00:00", i == 2 ? stopper : program, qPrintable(style));
    QVERIFY(writeDayList(work.filePath("datmon.dat"), lines) && giveToOrdinary(work.path()));
    // A display that takes connections into its backlog and never answers them.
    const QString display = QString::number(800 + ::getpid() % 100);
    const int silent = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un name{AF_UNIX, {}};
    std::strcpy(name.sun_path, qPrintable("/tmp/.X11-unix/X" + display));
    auto closeSilent = qScopeGuard([&] { ::close(silent), ::unlink(name.sun_path); });
    QVERIFY(!hungDisplay
            || (QDir().mkpath("/tmp/.X11-unix") && (::unlink(name.sun_path), true) && ::bind(silent, reinterpret_cast<sockaddr *>(&name), sizeof name) == 0
                && ::listen(silent, 64) == 0 && ::chmod(name.sun_path, 0777) == 0));
    QProcess launcher;
    auto end = qScopeGuard([&] { launcher.kill(), launcher.waitForFinished(); });
    QVERIFY(startResident(launcher, work.path(),
                          {"RENDARO_TEST_LOG=" + work.filePath("log"), "DISPLAY=" + (hungDisplay ? ":" + display : QString()),
                           "WAYLAND_DISPLAY=", "DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + work.filePath("none")}));
    QVERIFY(writeFile(pidFile, QByteArray::number(launcher.processId())) && launcher.waitForFinished(30000));
    const qint64 endedAt = QDateTime::currentMSecsSinceEpoch();
    QCOMPARE(launcher.exitStatus(), QProcess::NormalExit);
    QTRY_VERIFY(!readFile(pidFile + ".stopped").trimmed().isEmpty());
    const qint64 took = endedAt - readFile(pidFile + ".stopped").trimmed().toLongLong();
    QVERIFY2(took < 2000, qPrintable(QString::number(took)));
    const QStringList started = QString::fromUtf8(launcher.readAllStandardOutput()).split(u'\n').filter(QRegularExpression("^started "));
    const qsizetype stopperAt = started.indexOf(QRegularExpression(".* " + QRegularExpression::escape(stopper) + " .*"));
    QVERIFY2(stopperAt == 2 && started.size() - 3 <= 3, qPrintable(started.join(u'\n')));
    QVERIFY(readFile(work.filePath("rendaro.log"))
                .contains(QString("end of session (%1): %2 started").arg(signal == SIGHUP ? "SIGHUP" : "SIGTERM").arg(started.size()).toUtf8()));
}

// clang-format off
void TestRendaro::lock_data()
{
    QTest::addColumn<int>("runtimeMode");   // of XDG_RUNTIME_DIR, the ordinary account's; 0: none set
    QTest::addColumn<bool>("tmpOfAnother"); // another user made /tmp/vellomar-<uid> first
    QTest::addColumn<QString>("lockFile");  // what becomes of the first launcher's lock: "", "aged", "crashed empty"
    QTest::addColumn<bool>("secondRuns");

    QTest::newRow("private runtime folder") << 0700 << false << "" << false;
    QTest::newRow("runtime folder not writable") << 0500 << false << "" << false;
    QTest::newRow("runtime folder others may enter") << 0711 << false << "" << false;
    QTest::newRow("no runtime folder, /tmp name taken") << 0 << true << "" << false;
    QTest::newRow("a running launcher's lock, a minute old") << 0700 << false << "aged" << false;
    QTest::newRow("an empty lock of a crashed launcher") << 0700 << false << "crashed empty" << true;
}
// clang-format on

void TestRendaro::lock()
{
    // One launcher per user and folder whatever others did first: a second one starts nothing and says which
    // process runs; a lock left empty by a crash does not keep the next one out.
    QFETCH(int, runtimeMode);
    QFETCH(bool, tmpOfAnother);
    QFETCH(QString, lockFile);
    QFETCH(bool, secondRuns);
    QTemporaryDir work, runtime, home;
    const QString log = work.filePath("log"), program = work.filePath("p/recorder");
    QVERIFY(copyRecorder(program) && writeDayList(work.filePath("datmon.dat"), monday("00:00", program)) && writeFile(log));
    QVERIFY(giveToOrdinary(work.path()) && giveToOrdinary(runtime.path()) && giveToOrdinary(home.path()));
    QVERIFY(::chmod(QFile::encodeName(runtime.path()).constData(), mode_t(runtimeMode ? runtimeMode : 0700)) == 0);
    const QString tmpName = QString("/tmp/vellomar-%1").arg(isRoot() ? 65534 : ::getuid());
    if (tmpOfAnother) {
        if (!isRoot())
            QSKIP("another user's folder takes root to set up");
        QDir(tmpName).removeRecursively(); // as earlier versions left it
        QVERIFY(QDir().mkdir(tmpName) && ::chown(QFile::encodeName(tmpName).constData(), 65533, 65533) == 0
                && ::chmod(QFile::encodeName(tmpName).constData(), 0777) == 0);
    }
    auto removeTmp = qScopeGuard([&] {
        if (tmpOfAnother)
            QDir(tmpName).removeRecursively();
    });
    const QStringList environment{runtimeMode ? "XDG_RUNTIME_DIR=" + runtime.path() : "XDG_RUNTIME_DIR=", "HOME=" + home.path(),
                                  "XDG_CACHE_HOME=", "RENDARO_TEST_LOG=" + log};
    QProcess first;
    auto end = qScopeGuard([&] { first.kill(), first.waitForFinished(); });
    QVERIFY(startResident(first, work.path(), environment));
    QTRY_COMPARE(readRecords(log).size(), 1);
    // Only in a folder nobody else may enter, write to, or have made first.
    const QString lockFolder = runtimeMode == 0700 ? runtime.path() : home.path() + "/.cache/vellomar";
    const QStringList locks = QDir(lockFolder).entryList({"*.lock"}).replaceInStrings(QRegularExpression("^"), lockFolder + "/");
    QCOMPARE(locks.size(), 1);
    QVERIFY(QDir(runtime.path()).isEmpty() || runtimeMode == 0700);
    QVERIFY(!QFileInfo::exists(tmpName) || QDir(tmpName).isEmpty());
    if (lockFile == "crashed empty")
        QVERIFY((first.kill(), first.waitForFinished()) && QFile(locks[0]).resize(0));
    if (!lockFile.isEmpty())
        QCOMPARE(testing::run("touch", {"-d", "2026-12-07 11:00", locks[0]}).exitCode, 0);
    const QStringList command = asOrdinary("Rendaro.exe", environment) + QStringList{"--once", "--at", kMonday + "T12:00"};
    const Finished second = testing::run(command.first(), command.mid(1), work.path());
    QVERIFY2(second.ran, second.err.constData());
    QCOMPARE(second.out.contains("already runs for this folder (process " + QByteArray::number(first.processId()) + ")"), !secondRuns);
    QCOMPARE(second.out.contains("started 00:00"), secondRuns);
    QTRY_COMPARE(readRecords(log).size(), secondRuns ? 2 : 1);
}

void TestRendaro::sessionRemoved()
{
    // A logind of the test's own that behaves as systemd's does (src/login/logind-session-dbus.c, logind-dbus.c):
    // SessionRemoved comes once the session is gone, and then the session's object is unknown. A launcher outside
    // the session's scope, which finds the session through the user's Display, outlives it so. A logout with the
    // launcher inside, where the session stays "closing" unannounced, is test_real_logind's, against systemd itself.
    QTemporaryDir work;
    QProcess daemon, launcher;
    auto stop = qScopeGuard([&] { launcher.kill(), daemon.kill(), launcher.waitForFinished(), daemon.waitForFinished(); });
    const QString address = startBus(daemon, work.path());
    QDBusConnection bus = QDBusConnection::connectToBus(address, "logind");
    auto disconnect = qScopeGuard([] { QDBusConnection::disconnectFromBus("logind"); });
    FakeLogind logind;
    FakeUser user;
    FakeSession session;
    const QString path = "/org/freedesktop/login1/session/_1";
    qDBusRegisterMetaType<SessionRef>();
    QVERIFY(bus.registerService("org.freedesktop.login1") && bus.registerObject("/org/freedesktop/login1", &logind, QDBusConnection::ExportAllSlots)
            && bus.registerObject("/org/freedesktop/login1/user/self", &user, QDBusConnection::ExportAllProperties)
            && bus.registerObject(path, &session, QDBusConnection::ExportAllProperties));
    QVERIFY(writeDayList(work.filePath("datmon.dat"), monday("23:00", "/nowhere/late")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", address);
    launcher.setProcessEnvironment(environment);
    launcher.setWorkingDirectory(work.path());
    launcher.start(kLauncher, {"--at", kMonday + "T12:00"});
    QTRY_VERIFY(user.asked);
    QTest::qWait(500); // its first look has seen the session active
    bus.unregisterObject(path);
    QVERIFY(bus.send(QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "SessionRemoved")
                     << "1" << QVariant::fromValue(QDBusObjectPath(path))));
    QTRY_COMPARE_WITH_TIMEOUT(launcher.state(), QProcess::NotRunning, 2000);
    QCOMPARE(launcher.exitCode(), 0);
    QVERIFY(readFile(work.filePath("rendaro.log")).contains("end of session (the session ended): 0 started, 0 not started"));
}

QTEST_GUILESS_MAIN(TestRendaro)
#include "test_rendaro.moc"
