// brinol.com when things go wrong around it: killed with SIGKILL at any
// point of its run, every day list is still the old one or the new one; the
// lock file a killed run leaves behind does not stop the next run.

#include "reliability/EntryOracle.h"
#include "reliability/FuzzInputs.h"
#include "reliability/Programs.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>

using namespace reliability;

namespace {

constexpr int kKillRounds = 25;
constexpr const char *kLockFile = "vellomar.lock";

std::uint64_t seed()
{
    bool ok = false;
    const auto fromEnv = qEnvironmentVariable("VELLOMAR_FUZZ_SEED").toULongLong(&ok);
    return ok ? fromEnv : 20261209;
}

using Week = std::array<QByteArray, 7>;

// Writes `count` valid entry files per day, numbered from `first`, each on
// a later quarter hour than the one before, and adds their text to `lists`
// (so each day's list is in number order, as brinol orders it).
void writeEntries(const QString &folder, int first, int count, Week &lists, fuzz::Inputs &in)
{
    for (int n = first; n < first + count; ++n) {
        const int quarter = n % 96;
        const std::string time = std::string{char('0' + quarter / 4 / 10), char('0' + quarter / 4 % 10), ':'}
            + std::array<const char *, 4>{"00", "15", "30", "45"}[quarter % 4];
        const std::string path = in.programPath(30);
        for (int d = 0; d < 7; ++d) {
            const std::string text = oracle::joinCrLf({time, path, "Normal", std::string(oracle::kDayNames[d])});
            const QString name = QString::fromLatin1(oracle::kDayCodes[d].data(), 3) + QString::number(n) + ".dat";
            QVERIFY(writeFile(folder, name, text));
            lists[d] += QByteArray(text.data(), qsizetype(text.size()));
        }
    }
}

// Kills brinol.com runs while they hold the folder's lock until one leaves
// its lock file behind, as a crash or a power cut would.
bool leaveStaleLock(const QString &folder)
{
    const QString lockPath = QDir(folder).filePath(QString::fromLatin1(kLockFile));
    for (int attempt = 0; attempt < 20; ++attempt) {
        QProcess brinol;
        brinol.setWorkingDirectory(folder);
        brinol.start(program(QStringLiteral("brinol.com")));
        if (!brinol.waitForStarted(kHangMs))
            return false;
        while (!QFileInfo::exists(lockPath) && !brinol.waitForFinished(0))
            QThread::usleep(200);
        ::kill(pid_t(brinol.processId()), SIGKILL);
        brinol.waitForFinished(kHangMs);
        if (brinol.exitStatus() == QProcess::CrashExit && QFileInfo::exists(lockPath))
            return true;
    }
    return false;
}

QString listName(int day) { return QString::fromLatin1(oracle::kListFiles[day].data()); }

} // namespace

class TestGatherFaults : public QObject
{
    Q_OBJECT
private slots:
    void killedAtAnyPointLeavesOldOrNewLists();
    void staleLockOfAKilledRunIsTakenOver();
    void emptyLockFileIsTakenOver();
};

void TestGatherFaults::killedAtAnyPointLeavesOldOrNewLists()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    fuzz::Inputs in(seed());

    // The old lists: what brinol makes of the first entries (numbers 2..).
    Week oldLists;
    writeEntries(dir.path(), 2, 40, oldLists, in);
    QVERIFY(!QTest::currentTestFailed());
    Ran ran = run(QStringLiteral("brinol.com"), dir.path());
    QVERIFY(ran.ended && ran.exitCode == 0);
    for (int d = 0; d < 7; ++d)
        QCOMPARE(readFile(dir.path(), listName(d)), oldLists[d]);

    // The new lists: with many more entries, so a run takes long enough to
    // be cut anywhere (numbers 42.. come later in each day's list: their
    // quarter hours run on from where the first ones stopped).
    Week newLists = oldLists;
    writeEntries(dir.path(), 42, 50, newLists, in);
    QVERIFY(!QTest::currentTestFailed());

    // How long a whole run takes here, to spread the kills over it.
    QElapsedTimer timer;
    timer.start();
    ran = run(QStringLiteral("brinol.com"), dir.path());
    const qint64 runMs = std::max<qint64>(timer.elapsed(), 5);
    QVERIFY(ran.ended && ran.exitCode == 0);
    for (int d = 0; d < 7; ++d)
        QCOMPARE(readFile(dir.path(), listName(d)), newLists[d]);

    int sawOld = 0;
    int sawNew = 0;
    for (int round = 0; round < kKillRounds; ++round) {
        for (int d = 0; d < 7; ++d)
            QVERIFY(writeFile(dir.path(), listName(d), oldLists[d]));
        // Each round starts free; taking over what a kill left is the next
        // test's subject, and the last run below.
        if (round > 0)
            QFile::remove(dir.filePath(QString::fromLatin1(kLockFile)));
        QProcess brinol;
        brinol.setWorkingDirectory(dir.path());
        brinol.start(program(QStringLiteral("brinol.com")));
        QVERIFY(brinol.waitForStarted(kHangMs));
        const int delayUs = in.below(int(runMs * 1200));
        QThread::usleep(ulong(delayUs));
        ::kill(pid_t(brinol.processId()), SIGKILL);
        QVERIFY(brinol.waitForFinished(kHangMs));

        for (int d = 0; d < 7; ++d) {
            const QByteArray list = readFile(dir.path(), listName(d));
            const bool isOld = list == oldLists[d];
            const bool isNew = list == newLists[d];
            QVERIFY2(isOld || isNew, qPrintable(QStringLiteral("%1 torn after a kill at %2 us: %3 bytes")
                                                    .arg(listName(d))
                                                    .arg(delayUs)
                                                    .arg(list.size())));
            sawOld += isOld;
            sawNew += isNew;
        }
    }
    qInfo("%d kills over a run of %lld ms: %d old lists, %d new lists", kKillRounds, qlonglong(runMs), sawOld,
          sawNew);

    // A later run, over the lock file and the pieces of killed runs, makes
    // the new lists whole.
    ran = run(QStringLiteral("brinol.com"), dir.path());
    QVERIFY2(ran.ended && ran.exitCode == 0, ran.err.constData());
    for (int d = 0; d < 7; ++d)
        QCOMPARE(readFile(dir.path(), listName(d)), newLists[d]);
}

void TestGatherFaults::staleLockOfAKilledRunIsTakenOver()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    fuzz::Inputs in(seed() + 1);
    Week lists;
    writeEntries(dir.path(), 2, 90, lists, in);
    QVERIFY(!QTest::currentTestFailed());

    QVERIFY(leaveStaleLock(dir.path()));

    // The next brinol.com takes the lock over and gathers; so does zeptra.com
    // after another killed run, and it clears the data.
    Ran ran = run(QStringLiteral("brinol.com"), dir.path());
    QVERIFY2(ran.ended && ran.exitCode == 0, ran.err.constData());
    for (int d = 0; d < 7; ++d)
        QCOMPARE(readFile(dir.path(), listName(d)), lists[d]);

    QVERIFY(leaveStaleLock(dir.path()));
    ran = run(QStringLiteral("zeptra.com"), dir.path());
    QVERIFY2(ran.ended && ran.exitCode == 0, ran.err.constData());
    for (int d = 0; d < 7; ++d)
        QVERIFY(!QFileInfo::exists(dir.filePath(listName(d))));
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.dat")}, QDir::Files), QStringList());
}

void TestGatherFaults::emptyLockFileIsTakenOver()
{
    // A run killed between creating the lock file and writing its process
    // id into it leaves the file empty; QLockFile alone would keep everyone
    // out for its stale time (minutes).
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    fuzz::Inputs in(seed() + 2);
    Week lists;
    writeEntries(dir.path(), 2, 5, lists, in);
    QVERIFY(!QTest::currentTestFailed());
    QFile lock(dir.filePath(QString::fromLatin1(kLockFile)));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    lock.close();

    const Ran ran = run(QStringLiteral("brinol.com"), dir.path());
    QVERIFY2(ran.ended && ran.exitCode == 0, ran.err.constData());
    for (int d = 0; d < 7; ++d)
        QCOMPARE(readFile(dir.path(), listName(d)), lists[d]);
    QVERIFY(!QFileInfo::exists(lock.fileName()));
}

QTEST_GUILESS_MAIN(TestGatherFaults)
#include "test_gather_faults.moc"
