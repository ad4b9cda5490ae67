// Many companion programs at once: 50 brinol.com and zeptra.com processes
// started together on one folder, round after round, while the test reads
// the day lists as a viewer would. Every day list ever seen is whole: a run
// of valid entries of its day, each one of the entries written.

#include "reliability/EntryOracle.h"
#include "reliability/FuzzInputs.h"
#include "reliability/Programs.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <set>
#include <vector>

using namespace reliability;

namespace {

constexpr int kRounds = 4;
constexpr int kProcesses = 50;
constexpr int kEntriesPerDay = 30;

} // namespace

class TestCompanionLoad : public QObject
{
    Q_OBJECT
private slots:
    void fiftyAtOnceKeepDayListsWhole();

private:
    // Checks one day list as read at any moment: absent, or whole.
    void checkWhole(const QString &folder, int day, const std::set<std::string> &known);
};

void TestCompanionLoad::checkWhole(const QString &folder, int day, const std::set<std::string> &known)
{
    const QString name = QString::fromLatin1(oracle::kListFiles[day].data());
    const QByteArray bytes = readFile(folder, name);
    if (bytes.isNull())
        return; // cleared by zeptra.com, or not gathered yet
    const std::string text = stdString(bytes);
    const std::vector<oracle::Entry> entries = oracle::dayList(text);
    std::string rebuilt;
    for (const oracle::Entry &e : entries) {
        QVERIFY2(known.count(oracle::joinCrLf(e)), qPrintable(name + QStringLiteral(": an entry never written")));
        QCOMPARE(e[3], std::string(oracle::kDayNames[day]));
        rebuilt += oracle::joinCrLf(e);
    }
    QVERIFY2(rebuilt == text, qPrintable(QStringLiteral("%1 is torn: %2 bytes, %3 of them whole entries")
                                             .arg(name)
                                             .arg(text.size())
                                             .arg(rebuilt.size())));
}

void TestCompanionLoad::fiftyAtOnceKeepDayListsWhole()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    fuzz::Inputs in(20261210);
    std::array<std::set<std::string>, 7> known;
    int reads = 0;
    int wholeLists = 0;

    for (int round = 0; round < kRounds; ++round) {
        // Fresh entry files each round: the zeptra.com runs of the last one
        // may have cleared them.
        for (int day = 0; day < 7; ++day) {
            for (int n = 0; n < kEntriesPerDay; ++n) {
                const std::string text = oracle::joinCrLf(in.entry(day));
                known[day].insert(text);
                const QString file = QString::fromLatin1(oracle::kDayCodes[day].data(), 3)
                    + QString::number(2 + round * kEntriesPerDay + n) + QStringLiteral(".dat");
                QVERIFY(writeFile(dir.path(), file, text));
            }
        }

        std::vector<std::unique_ptr<QProcess>> processes;
        for (int i = 0; i < kProcesses; ++i) {
            auto p = std::make_unique<QProcess>();
            p->setWorkingDirectory(dir.path());
            // Mostly gatherers, with a clearer now and then, in no fixed order.
            p->setProgram(program(in.chance(20) ? QStringLiteral("zeptra.com") : QStringLiteral("brinol.com")));
            processes.push_back(std::move(p));
        }
        for (auto &p : processes)
            p->start();

        // Read while they run, as the viewer may.
        for (auto &p : processes) {
            while (!p->waitForFinished(5)) {
                QVERIFY2(p->state() != QProcess::NotRunning || p->error() != QProcess::FailedToStart,
                         "a companion program did not start");
                for (int day = 0; day < 7; ++day)
                    checkWhole(dir.path(), day, known[day]);
                if (QTest::currentTestFailed())
                    return;
                ++reads;
            }
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
        }
        for (int day = 0; day < 7; ++day) {
            checkWhole(dir.path(), day, known[day]);
            wholeLists += !readFile(dir.path(), QString::fromLatin1(oracle::kListFiles[day].data())).isNull();
        }
        if (QTest::currentTestFailed())
            return;
    }
    qInfo("%d rounds of %d processes, %d readings while they ran, %d day lists left", kRounds, kProcesses, reads,
          wholeLists);

    // And after all that, one brinol.com run gathers what is there.
    const Ran ran = run(QStringLiteral("brinol.com"), dir.path());
    QVERIFY(ran.ended && ran.exitCode == 0);
    for (int day = 0; day < 7; ++day) {
        QVERIFY(!readFile(dir.path(), QString::fromLatin1(oracle::kListFiles[day].data())).isNull());
        checkWhole(dir.path(), day, known[day]);
    }
}

QTEST_GUILESS_MAIN(TestCompanionLoad)
#include "test_companion_load.moc"
