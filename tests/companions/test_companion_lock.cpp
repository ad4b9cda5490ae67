// The working folder's lock: many brinol.com and zeptra.com runs at once,
// and a lock left behind by a killed process.
#include "companions/common/WorkFolderLock.h"
#include "support/Files.h"
#include "support/Run.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>
#include <string_view>
#include <vector>

using namespace testing;

namespace {

// Starts the lock holder in folder and waits until it holds the lock.
std::unique_ptr<QProcess> holdLock(const QString &folder)
{
    std::unique_ptr<QProcess> holder(startProgram(testHelper("lock_holder"), {}, folder));
    if (!holder->waitForStarted(-1))
        return nullptr;
    while (!holder->canReadLine())
        if (!holder->waitForReadyRead(-1))
            return nullptr;
    if (holder->readLine() != "locked\n")
        return nullptr;
    return holder;
}

// Entry files for every day, numbers 2.. count+1, each time on the quarter
// hour so that a day's list is in number order. Returns each day's list as
// brinol must write it.
QList<QByteArray> writeWeek(const QString &folder, int count)
{
    QList<QByteArray> lists(7);
    for (int n = 2; n < count + 2; ++n) {
        const QByteArray time = QStringLiteral("%1:%2")
                                    .arg(n / 4 % 24, 2, 10, QLatin1Char('0'))
                                    .arg(n % 4 * 15, 2, 10, QLatin1Char('0'))
                                    .toLatin1();
        const QString path = programPath(QStringLiteral("program-number-%1-with-a-long-name").arg(n));
        for (int d = 0; d < 7; ++d) {
            const QByteArray text = entryText(time.constData(), path, "Normal", kDayNames[d]);
            writeFile(QDir(folder).filePath(kDayCodes[d] + QString::number(n) + ".dat"), text);
            lists[d] += text;
        }
    }
    return lists;
}

int entryFileCount(const QString &folder)
{
    int n = 0;
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        if (name.size() > 3 && name.at(3).isDigit() && name.endsWith(QStringLiteral(".dat")))
            ++n;
    return n;
}

} // namespace

class TestCompanionLock : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFileInfo::exists(builtProgram("brinol.com")), "set VELLOMAR_BIN_DIR"); }
    void aHeldLockKeepsOthersOut();
    void aLockOfAKilledProcessIsTakenOver();
    void concurrentRunsNeverTearADayList();
    void brinolThenZeptraLeavesTheDataCleared();
};

void TestCompanionLock::aHeldLockKeepsOthersOut()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    std::unique_ptr<QProcess> holder = holdLock(dir.path());
    QVERIFY(holder);

    companion::WorkFolderLock lock(dir.path());
    QVERIFY(!lock.acquire(std::chrono::milliseconds(50)));
    QVERIFY2(lock.errorString().contains(QStringLiteral("vellomar.lock")), qPrintable(lock.errorString()));

    holder->closeWriteChannel(); // the holder ends normally and lets go
    QVERIFY(holder->waitForFinished(-1));
    QCOMPARE(holder->exitCode(), 0);
    QVERIFY(lock.acquire(std::chrono::milliseconds(0)));
}

void TestCompanionLock::aLockOfAKilledProcessIsTakenOver()
{
    WorkFolder dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile("Mon2.dat", entryText("10:00", programPath("x"), "Normal", "Monday")));
    for (const char *program : {"brinol.com", "zeptra.com"}) {
        std::unique_ptr<QProcess> holder = holdLock(dir.path());
        QVERIFY(holder);
        holder->kill();
        QVERIFY(holder->waitForFinished(-1));
        QVERIFY(QFileInfo::exists("vellomar.lock")); // left behind
        QCOMPARE(run(builtProgram(program)).exitCode, 0);
        QVERIFY(!QFileInfo::exists("vellomar.lock"));
        if (program == std::string_view("brinol.com"))
            QCOMPARE(readFile("datmon.dat"), entryText("10:00", programPath("x"), "Normal", "Monday"));
    }
    QVERIFY(!QFileInfo::exists("Mon2.dat"));
}

void TestCompanionLock::concurrentRunsNeverTearADayList()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QList<QByteArray> full = writeWeek(dir.path(), 40);

    // Round one: brinols only, each writing the same lists. Round two:
    // brinols and zeptras together; once a zeptra has run, brinols write
    // empty lists.
    for (int round = 0; round < 2; ++round) {
        std::vector<std::unique_ptr<QProcess>> running;
        for (int i = 0; i < 12; ++i) {
            const bool zeptra = round == 1 && i % 2 == 1;
            running.emplace_back(startProgram(builtProgram(zeptra ? "zeptra.com" : "brinol.com"), {}, dir.path()));
        }
        auto anyRunning = [&] {
            for (const auto &p : running)
                if (p->state() != QProcess::NotRunning)
                    return true;
            return false;
        };
        // Read the lists as the viewer does while the programs run: every
        // read sees a whole list, never part of one.
        do {
            QCoreApplication::processEvents();
            for (int d = 0; d < 7; ++d) {
                const QByteArray seen = readFile(dir.filePath(kDayLists[d]));
                const bool whole = seen.isNull() || seen == full[d] || (round == 1 && seen.isEmpty());
                QVERIFY2(whole, qPrintable(QStringLiteral("round %1, %2: %3 bytes of a list of %4")
                                               .arg(round)
                                               .arg(kDayLists[d])
                                               .arg(seen.size())
                                               .arg(full[d].size())));
            }
            QThread::msleep(1);
        } while (anyRunning());
        for (const auto &p : running) {
            const Finished f = finish(*p);
            QVERIFY(f.ran);
            QVERIFY2(f.exitCode == 0, f.err.constData());
        }
        for (int d = 0; d < 7; ++d) {
            const QByteArray last = readFile(dir.filePath(kDayLists[d]));
            if (round == 0)
                QCOMPARE(last, full[d]);
            else
                QVERIFY(last.isNull() || last.isEmpty() || last == full[d]);
        }
    }
    QCOMPARE(entryFileCount(dir.path()), 0);
}

void TestCompanionLock::brinolThenZeptraLeavesTheDataCleared()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (int round = 0; round < 4; ++round) {
        writeWeek(dir.path(), 10);
        std::unique_ptr<QProcess> brinol(startProgram(builtProgram("brinol.com"), {}, dir.path()));
        std::unique_ptr<QProcess> zeptra(startProgram(builtProgram("zeptra.com"), {}, dir.path()));
        QCOMPARE(finish(*brinol).exitCode, 0);
        QCOMPARE(finish(*zeptra).exitCode, 0);
        // Whichever took the lock first, nothing stays scheduled.
        QCOMPARE(entryFileCount(dir.path()), 0);
        for (const char *list : kDayLists)
            QVERIFY2(readFile(dir.filePath(list)).isEmpty(), list);
    }
}

QTEST_GUILESS_MAIN(TestCompanionLock)
#include "test_companion_lock.moc"
