// Generated and mutated schedule files fed to the built programs: brinol.com
// gathers exactly the valid entry files into the day lists, and Rendaro.exe
// --list lists exactly the valid entries of today's day list. Neither
// crashes or hangs.

#include "reliability/EntryOracle.h"
#include "reliability/FuzzInputs.h"
#include "reliability/Programs.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <algorithm>
#include <set>

using namespace reliability;

namespace {

// Rounds per program; each loop also stops after its share of the time, so
// a slow machine runs fewer rounds, never longer.
constexpr int kRounds = 60;
constexpr qint64 kBudgetMs = 4000;

std::uint64_t seed()
{
    bool ok = false;
    const auto fromEnv = qEnvironmentVariable("VELLOMAR_FUZZ_SEED").toULongLong(&ok);
    return ok ? fromEnv : 20261207;
}

struct Gathered {
    int minutes;
    long long number;
    std::string text;
};

int minutesOf(const oracle::Entry &e)
{
    return ((e[0][0] - '0') * 10 + (e[0][1] - '0')) * 60 + (e[0][3] - '0') * 10 + (e[0][4] - '0');
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.left(200).toPercentEncoding());
}

} // namespace

class TestProgramFuzz : public QObject
{
    Q_OBJECT
private slots:
    void brinolGathersOnlyValidEntryFiles();
    void launcherListsOnlyValidEntries();
};

void TestProgramFuzz::brinolGathersOnlyValidEntryFiles()
{
    fuzz::Inputs in(seed());
    QElapsedTimer clock;
    clock.start();
    int rounds = 0;
    int gathered = 0;
    int skipped = 0;
    for (; rounds < kRounds && clock.elapsed() < kBudgetMs; ++rounds) {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::array<std::vector<Gathered>, 7> expected;
        std::set<std::string> names;
        const int files = 1 + in.below(25);
        for (int f = 0; f < files; ++f) {
            const int day = in.below(7);
            const long long number = 1 + in.below(40);
            const std::string name = std::string(oracle::kDayCodes[day]) + std::to_string(number) + ".dat";
            if (!names.insert(name).second)
                continue;
            std::string bytes;
            switch (in.below(7)) {
            case 0:
            case 1:
                bytes = oracle::joinCrLf(in.entry(day));
                break;
            case 2: // a valid entry of another day: not this file's day
                bytes = oracle::joinCrLf(in.entry((day + 1 + in.below(6)) % 7));
                break;
            case 3:
            case 4:
                bytes = in.mutate(oracle::joinCrLf(in.entry(day)));
                break;
            case 5:
                bytes = in.randomBytes(60);
                break;
            case 6:
                bytes = in.chance(20) ? in.hugeLine() : in.dayList(day, 3, false);
                break;
            }
            QVERIFY(writeFile(dir.path(), QString::fromStdString(name), bytes));
            const auto entry = oracle::entryFile(bytes);
            if (entry && oracle::dayIndexOfName((*entry)[3]) == day)
                // Gathered as it reads: an entry file in Latin-1 becomes UTF-8.
                expected[day].push_back({minutesOf(*entry), number, oracle::joinCrLf(oracle::asUtf8(*entry))});
            else
                ++skipped;
        }
        // Names that are not entry files, holding valid entries: never gathered.
        const std::string decoy = oracle::joinCrLf(in.entry(0));
        for (const char *name : {"Mon01.dat", "mon5.dat", "Monday.dat", "Mon5.dat.bak", "MON6.dat", "Mon.dat"})
            QVERIFY(writeFile(dir.path(), QString::fromLatin1(name), decoy));
        // Entry file names on things that are no files: skipped, and the
        // pipe must not block the run.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Tue77.dat")));
#ifdef Q_OS_UNIX
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("Wed78.dat"))).constData(), 0600) == 0);
#endif
        // An old day list with junk is replaced.
        QVERIFY(writeFile(dir.path(), QStringLiteral("datmon.dat"), in.randomBytes(40)));

        const Ran ran = run(QStringLiteral("brinol.com"), dir.path());
        QVERIFY2(ran.ended, qPrintable(QStringLiteral("brinol.com crashed or hung, round %1 (seed %2)")
                                           .arg(rounds)
                                           .arg(seed())));
        for (int day = 0; day < 7; ++day) {
            std::vector<Gathered> &list = expected[day];
            std::sort(list.begin(), list.end(), [](const Gathered &a, const Gathered &b) {
                return a.minutes != b.minutes ? a.minutes < b.minutes : a.number < b.number;
            });
            std::string want;
            for (const Gathered &g : list)
                want += g.text;
            const QByteArray got = readFile(dir.path(), QString::fromLatin1(oracle::kListFiles[day].data()));
            // Compared as it reads: a Latin-1 line may be kept as it is.
            std::string read;
            for (const oracle::Line &line : oracle::splitLines(stdString(got)))
                read += oracle::asUtf8(line) + "\r\n";
            QVERIFY2(read == want && got.count("\r\n") == got.count('\n') && (got.isEmpty() || got.endsWith('\n')),
                     qPrintable(QStringLiteral("%1, round %2 (seed %3): got %4")
                                    .arg(QString::fromLatin1(oracle::kListFiles[day].data()))
                                    .arg(rounds)
                                    .arg(seed())
                                    .arg(hex(got))));
            gathered += int(list.size());
        }
    }
    qInfo("%d brinol.com runs, %d entry files gathered, %d skipped", rounds, gathered, skipped);
    QVERIFY(gathered > 0 && skipped > 0);
}

void TestProgramFuzz::launcherListsOnlyValidEntries()
{
    fuzz::Inputs in(seed() + 1);
    QElapsedTimer clock;
    clock.start();
    int rounds = 0;
    int listed = 0;
    for (; rounds < kRounds && clock.elapsed() < kBudgetMs; ++rounds) {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::string bytes = in.dayList(0, 10, true);
        if (in.chance(30))
            bytes = in.mutate(bytes);
        QVERIFY(writeFile(dir.path(), QStringLiteral("datmon.dat"), bytes));

        // 2026-12-07 is a Monday: the launcher reads datmon.dat.
        const Ran ran = run(QStringLiteral("Rendaro.exe"), dir.path(),
                            {QStringLiteral("--list"), QStringLiteral("--at"), QStringLiteral("2026-12-07T12:00")});
        QVERIFY2(ran.ended, qPrintable(QStringLiteral("Rendaro.exe crashed or hung, round %1 (seed %2)")
                                           .arg(rounds)
                                           .arg(seed())));

        // What it would start, in its start order: by time, file order kept.
        std::vector<oracle::Entry> entries = oracle::dayList(bytes);
        std::stable_sort(entries.begin(), entries.end(),
                         [](const oracle::Entry &a, const oracle::Entry &b) { return minutesOf(a) < minutesOf(b); });
        QStringList want;
        for (const oracle::Entry &e : entries) {
            auto text = [](const std::string &s) { return QString::fromStdString(oracle::asUtf8(s)); };
            want.append(text(e[0]) + u' ' + text(e[2]) + u' ' + text(e[1]));
        }
        QStringList got;
        const QStringList lines = QString::fromUtf8(ran.out).split(u'\n');
        for (const QString &line : lines) {
            const qsizetype at = line.lastIndexOf(QStringLiteral(": would start"));
            if (at >= 0)
                got.append(line.left(at));
        }
        QVERIFY2(got == want, qPrintable(QStringLiteral("round %1 (seed %2): listed %3 instead of %4 from %5")
                                             .arg(rounds)
                                             .arg(seed())
                                             .arg(got.size())
                                             .arg(want.size())
                                             .arg(hex(QByteArray(bytes.data(), qsizetype(bytes.size()))))));
        listed += int(got.size());
    }
    qInfo("%d Rendaro.exe --list runs, %d entries listed", rounds, listed);
    QVERIFY(listed > 0);
}

QTEST_GUILESS_MAIN(TestProgramFuzz)
#include "test_program_fuzz.moc"
