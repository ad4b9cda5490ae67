// brinol.com and zeptra.com, the built programs, in temporary working folders.
#include "companions/common/WorkFolderLock.h"
#include "support/AsUser.h"
#include "support/Files.h"

#include <QtTest>

#include <sys/stat.h>

using namespace testing;

namespace {

const QByteArray kSecret = "outside the working folder\n";
const QByteArray kLongPath = QByteArray(1000, 'p'); // its day list is larger than the lock file
const QString kLock = "999999999\nbrinol.com\n\n";  // another user's lock, as an earlier version left it

QByteArray monday(const char *time, const QByteArray &program)
{
    return entryText(time, "/opt/" + program, "Normal", "Monday");
}

// How a path is now: "file:<bytes>", "link", "folder", "other" or "none".
QString state(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? "link"
           : !info.exists() ? "none"
           : info.isFile()  ? "file:" + QString::fromUtf8(readFile(path))
           : info.isDir()   ? "folder"
                            : "other";
}

// Temporary files of the schedule's writers, as a killed writer leaves them
// (the last changed a day ago), beside a new one and one of another name;
// the names that must go.
QStringList leaveTemporaries()
{
    const QStringList stale{"Mon2.dat.Ab12Cd", "datmon.dat.NgasqK", "rendaro.log.urByPY"};
    for (const QString &name : stale + QStringList{"datsun.dat.Xy34Zw", "notes.dat.Ab12Cd"}) {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || !file.setFileTime(QDateTime::currentDateTime().addDays(-stale.contains(name)), QFile::FileModificationTime))
            return {"cannot leave " + name};
    }
    return stale;
}

// A run of command in a folder of that mode, the ordinary user's (01777: root's, shared like /tmp), after the
// plant under name: link, dangling, pipe, folder, full, root's, a lock of that mode or nothing; its exit code,
// the state of name afterwards, and what standard error holds.
// clang-format off
struct Attack { QString command; int folderMode; QString name, plant; int exitCode; QString after, says; };
// clang-format on

} // namespace

class TestCompanions : public QObject
{
    Q_OBJECT
private slots:
    void gather();
    void clear_data();
    void clear();
    void attacks_data();
    void attacks();
    void lock();
};

void TestCompanions::gather()
{
    WorkFolder dir;
    for (const char *list : kDayLists) // each old list is replaced, by an empty one for a day without entries
        QVERIFY(writeFile(list, monday("01:00", "old")));
    // By time, then by number as a number (9 before 10); midnight first; LF lines become CR LF.
    // An entry file of 64 KiB is taken, one a byte larger skipped.
    auto tuesday = [](qsizetype size) { return entryText("09:00", "/" + QString(size - 27, u'x'), "Normal", "Tuesday"); };
    const QMap<QString, QByteArray> good{{"Mon2.dat", monday("19:30", "sync")},
                                         {"Tue10.dat", tuesday(64 * 1024)},
                                         {"Wed10.dat", entryText("08:15", "/a", "Normal", "Wednesday")},
                                         {"Wed9.dat", entryText("08:15", "/b", "Max", "Wednesday")},
                                         {"Wed11.dat", entryText("00:00", "/c", "Min", "Wednesday")},
                                         {"Sat8.dat", "18:45\n/lf\nNormal\nSaturday"}};
    // Entry files by name but not valid, each skipped with a warning.
    const std::pair<QString, QByteArray> bad[] = {{"Tue3.dat: 0 lines instead of 4", ""},
                                                  {"Tue4.dat: bad time line \"24:00\"", "24:00\r\n/x\r\nNormal\r\nTuesday\r\n"},
                                                  {"Tue5.dat: bad run style \"Minimize\"", "09:00\r\n/x\r\nMinimize\r\nTuesday\r\n"},
                                                  {"Tue6.dat: the day line \"Monday\" is not Tuesday", "09:00\r\n/x\r\nNormal\r\nMonday\r\n"},
                                                  {"Tue7.dat: contains a NUL byte", QByteArray("09:00\r\n/x\0\r\nNormal\r\nTuesday\r\n", 28)},
                                                  {"Tue8.dat: larger than 65536 bytes", tuesday(64 * 1024 + 1)},
                                                  {"Tue9.dat: 5 lines instead of 4", "09:00\r\n/x\r\nNormal\r\nTuesday\r\nMore\r\n"},
                                                  {"Wed3.dat: bad program path \"/x\\x1b[2J\\x85\"", "09:00\r\n/x\x1b[2J\xc2\x85\r\nNormal\r\nWednesday\r\n"}};
    QStringList warnedOf;
    for (auto it = good.cbegin(); it != good.cend(); ++it)
        QVERIFY(writeFile(it.key(), it.value()));
    for (const auto &[warning, bytes] : bad) {
        QVERIFY(writeFile(warning.section(':', 0, 0), bytes));
        warnedOf << "brinol.com: skipped " + warning;
    }
    QVERIFY(QDir().mkdir("Fri5.dat") && ::mkfifo("Fri6.dat", 0600) == 0); // a pipe would block a reader for good
    const QStringList stale = leaveTemporaries();
    QStringList names = dir.names();
    for (const QString &name : stale)
        QVERIFY(names.removeOne(name));
    const QByteArray expected[7] = {monday("19:30", "sync"),
                                    tuesday(64 * 1024),
                                    entryText("00:00", "/c", "Min", "Wednesday") + entryText("08:15", "/b", "Max", "Wednesday")
                                        + entryText("08:15", "/a", "Normal", "Wednesday"),
                                    "",
                                    "",
                                    entryText("18:45", "/lf", "Normal", "Saturday"),
                                    ""};
    // Under a group-friendly umask too, the day lists are the owner's alone:
    // the launcher refuses lists that others may change.
    const mode_t umask = ::umask(002);
    for (int round = 0; round < 2; ++round) { // a second run writes the same lists
        const Finished run = testing::run(builtProgram("brinol.com"));
        QCOMPARE(run.exitCode, 0);
        QStringList warnings = QString::fromUtf8(run.err).split(u'\n', Qt::SkipEmptyParts);
        warnings.sort();
        QCOMPARE(warnings, warnedOf);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(readFile(kDayLists[i]), expected[i]);
            QCOMPARE(QFileInfo(kDayLists[i]).permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
        }
        QCOMPARE(dir.names(), names + QStringList{"vellomar.lock"}); // entry files and the lock's file stay; no stale temporary
    }
    ::umask(umask);
}

// clang-format off
void TestCompanions::clear_data()
{
    QTest::addColumn<int>("removals"); // of schedule files before zeptra.com is killed; -1: not killed
    QTest::newRow("whole") << -1;
    for (int removals : {1, 2, 3})
        QTest::addRow("killed after %d removals", removals) << removals;
}
// clang-format on

void TestCompanions::clear()
{
    QFETCH(int, removals);
    WorkFolder dir;
    QCOMPARE(run(builtProgram("zeptra.com")).exitCode, 0); // nothing to clear is no failure
    const QStringList kept{"DATMON.DAT", "Mon01.dat",        "Monday.dat", "datmon.dat.bak", "datmonday.dat", "datsun.dat.Xy34Zw", "mon2.dat",
                           "notes.dat",  "notes.dat.Ab12Cd", "readme.1st", "rendaro.log",    "sub",           "xWed7.dat"};
    const QStringList cleared{"Mon2.dat", "Sun123456789.dat", "Thu3.dat", "datmon.dat", "datsun.dat"};
    for (const QString &name : kept + cleared)
        QVERIFY(writeFile(name == "sub" ? "sub/Mon2.dat" : name, "x"));
    QCOMPARE(leaveTemporaries().size(), 3);
    if (removals >= 0) { // strace kills it as it asks to remove one file more, the 3 stale temporary files gone
        const Finished killed = run("strace", {"-qq", "-o", "/dev/null", "-e", "trace=unlink,unlinkat", "-e",
                                               QString("inject=unlink,unlinkat:signal=KILL:when=%1").arg(removals + 4), builtProgram("zeptra.com")});
        QVERIFY2(killed.exitCode != 0 && !killed.err.contains("strace:"), killed.err.constData());
        const QStringList left = dir.names().filter(QRegularExpression("^(" + cleared.join('|') + ")$"));
        QCOMPARE(left.size(), 5 - removals); // and no day list outlives an entry file:
        QVERIFY2(left.filter(QRegularExpression("^dat")).isEmpty() || left.filter(QRegularExpression("^[A-Z]")).size() == 3, qPrintable(left.join(' ')));
    }
    // A killed run's lock keeps nobody out.
    const Finished run = testing::run(builtProgram("zeptra.com"));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QStringList after = dir.names();
    QVERIFY(after.removeOne(companion::WorkFolderLock::kFileName));
    QCOMPARE(after, kept);
    QVERIFY(QFileInfo::exists("sub/Mon2.dat"));
}

// clang-format off
void TestCompanions::attacks_data()
{
    QTest::addColumn<Attack>("row");
    const QString gathered = "file:" + QString::fromUtf8(monday("06:00", kLongPath)), old = "file:old";
    QTest::newRow("brinol, day list links outside") << Attack{"brinol.com", 0700, "datmon.dat", "link", 0, gathered, ""};
    QTest::newRow("brinol, day list dangles outside") << Attack{"brinol.com", 0700, "datmon.dat", "dangling", 0, gathered, ""};
    QTest::newRow("brinol, day list is a pipe") << Attack{"brinol.com", 0700, "datmon.dat", "pipe", 0, gathered, ""};
    QTest::newRow("brinol, day list is a folder") << Attack{"brinol.com", 0700, "datmon.dat", "folder", 1, "folder", ""};
    // The disk full (a file size limit that holds for root too): the old list stays whole.
    QTest::newRow("brinol, disk full") << Attack{"brinol.com", 0700, "datmon.dat", "full", 1, old, "File too large"};
    QTest::newRow("brinol, lock links outside") << Attack{"brinol.com", 0700, "vellomar.lock", "link", 0, "file:", ""};
    QTest::newRow("zeptra, entry file links outside") << Attack{"zeptra.com", 0700, "Tue3.dat", "link", 0, "none", ""};
    QTest::newRow("zeptra, day list links outside") << Attack{"zeptra.com", 0700, "datmon.dat", "link", 0, "none", ""};
    // No arguments: anything but --help and --version is refused, and no work done.
    QTest::newRow("zeptra, an argument") << Attack{"zeptra.com Mon2.dat", 0700, "datmon.dat", "", 2, old, ""};
    // A run that fails before its work touches no file.
    QTest::newRow("brinol, folder cannot be listed") << Attack{"brinol.com", 0300, "datmon.dat", "", 1, old, "cannot read the folder"};
    QTest::newRow("brinol, no lock in a read-only folder") << Attack{"brinol.com", 0500, "datmon.dat", "", 1, old, "permission denied"};
    // In a shared folder like /tmp only a file's owner may remove it; the rest goes.
    QTest::newRow("zeptra, a file of root's") << Attack{"zeptra.com", 01777, "Mon2.dat", "root's", 1, gathered, "cannot remove Mon2.dat"};
    // There another user's lock, left by a run that ended, is taken in turn;
    // one that may not even be read is refused at once, not after the wait.
    QTest::newRow("brinol, another user's lock left") << Attack{"brinol.com", 01777, "vellomar.lock", "0644", 0, "file:" + kLock, ""};
    QTest::newRow("brinol, another user's lock unreadable")
        << Attack{"brinol.com", 01777, "vellomar.lock", "0600", 1, "file:" + kLock, "cannot open the lock file"};
}
// clang-format on

// Each run is the ordinary user's, as is everything in its folder and outside but what the row gives others.
void TestCompanions::attacks()
{
    QFETCH(Attack, row);
    const auto &[command, folderMode, name, plant, exitCode, after, says] = row;
    if (folderMode == 01777 && !isRoot())
        QSKIP("files of other users in a shared folder take root to set up");
    QTemporaryDir outside, dir;
    const QString target = outside.filePath("target"), path = dir.filePath(name), list = dir.filePath("datmon.dat");
    const QByteArray file = QFile::encodeName(path), folder = QFile::encodeName(dir.path());
    QVERIFY(writeFile(target, kSecret) && writeFile(list, "old") && writeFile(dir.filePath("Mon2.dat"), monday("06:00", kLongPath)));
    if (plant == "link" || plant == "dangling")
        QVERIFY(QFile::remove(path) | QFile::link(plant == "link" ? target : outside.filePath("profile"), path));
    if (plant == "pipe" || plant == "folder")
        QVERIFY(QFile::remove(path) && (plant == "pipe" ? ::mkfifo(file, 0600) == 0 : QDir().mkdir(path)));
    QVERIFY(giveToOrdinary(dir.path()) && giveToOrdinary(outside.path()));
    QVERIFY(plant != "root's" || ::chown(file, 0, 0) == 0);
    if (plant.startsWith('0')) // of a process long gone, and of a second ordinary user
        QVERIFY(writeFile(path, kLock.toUtf8()) && ::chown(file, 65533, 65533) == 0 && ::chmod(file, plant.toUInt(nullptr, 8)) == 0);
    QVERIFY(::chmod(folder, mode_t(folderMode)) == 0 && (folderMode != 01777 || ::chown(folder, 0, 0) == 0));
    const QStringList words = command.split(u' ');
    const QDeadlineTimer prompt(10'000); // writes past 600 bytes fail, for root too
    const Finished run = runAsOrdinary(words[0], words.mid(1), dir.path(), QProcessEnvironment::systemEnvironment(),
                                       plant == "full" ? QStringList{"prlimit", "--fsize=600", "--"} : QStringList{});
    QVERIFY2(!prompt.hasExpired(), "the run waited for a lock it could not take");
    ::chmod(folder, 0700);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(says.toUtf8()), run.err.constData());
    QCOMPARE(state(path), after);
    QCOMPARE(readFile(target), kSecret); // nothing outside is written, emptied or removed
    QCOMPARE(QDir(outside.path()).entryList(QDir::Files), QStringList{"target"});
    if (command == "brinol.com") { // every day list or none written, and no temporary file left
        QCOMPARE(state(list), name == "datmon.dat" ? after : exitCode ? "file:old" : "file:" + QString::fromUtf8(monday("06:00", kLongPath)));
        QCOMPARE(readFile(dir.filePath("datfri.dat")), exitCode ? QByteArray() : QByteArray(""));
        QCOMPARE(QDir(dir.path()).entryList({"dat*.dat.*"}, QDir::Files), QStringList{});
    }
}

void TestCompanions::lock()
{
    QTemporaryDir dir;
    const mode_t umask = ::umask(027);
    companion::WorkFolderLock held(dir.path());
    QVERIFY(held.acquire(std::chrono::milliseconds(0)));
    ::umask(umask);
    // Whatever the umask, others may read the lock (to take it in turn) but not write it.
    QCOMPARE(QFileInfo(held.fileName()).permissions() & (QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther), QFile::ReadOther);
    const QDeadlineTimer waited(100); // a lock in use keeps others out until their wait runs out
    const base::Result<> refused = companion::WorkFolderLock(dir.path()).acquire(std::chrono::milliseconds(100));
    QVERIFY2(!refused && waited.hasExpired() && refused.reason().contains("vellomar.lock"), qPrintable(refused.reason()));
}

QTEST_GUILESS_MAIN(TestCompanions)
#include "test_companions.moc"
