// Thousands of generated and mutated schedule files fed to the readers of
// schedule/: no crash, and exactly the entries the independent oracle finds
// valid are accepted.

#include "reliability/EntryOracle.h"
#include "reliability/FuzzInputs.h"
#include "schedule/Entry.h"
#include "schedule/LineKind.h"
#include "schedule/TextFile.h"

#include <QElapsedTimer>
#include <QtTest>

using schedule::LineKind;

namespace {

// Cases per kind of input; each loop also stops after its share of the time
// budget, so a slow machine (or a sanitizer build) runs fewer, never longer.
constexpr int kCases = 4000;
constexpr qint64 kBudgetMs = 1500;

std::uint64_t seed()
{
    bool ok = false;
    const auto fromEnv = qEnvironmentVariable("VELLOMAR_FUZZ_SEED").toULongLong(&ok);
    return ok ? fromEnv : 20261206;
}

QByteArray bytesOf(const std::string &s) { return QByteArray(s.data(), qsizetype(s.size())); }
QString text(const oracle::Line &l) { return QString::fromStdString(oracle::asUtf8(l)); }

QString describe(const std::string &input, int index)
{
    return QStringLiteral("case %1 (seed %2), %3 bytes: %4")
        .arg(index)
        .arg(seed())
        .arg(input.size())
        .arg(QString::fromLatin1(bytesOf(input.substr(0, 120)).toPercentEncoding()));
}

bool sameEntry(const schedule::Entry &e, const oracle::Entry &o)
{
    return e.time == text(o[0]) && e.path == text(o[1]) && e.styleCode == text(o[2])
        && e.dayName == text(o[3]);
}

// The line kinds of a valid entry's lines, as the viewer tells them apart.
bool kindsMatch(const oracle::Entry &o)
{
    return schedule::classifyLine(text(o[0])) == LineKind::Time
        && schedule::classifyLine(text(o[2])) == LineKind::RunStyle
        && schedule::classifyLine(text(o[3])) == LineKind::Day;
}

} // namespace

class TestScheduleFuzz : public QObject
{
    Q_OBJECT
private slots:
    void entryFileEdgeCases_data();
    void entryFileEdgeCases();
    void entryFilesGeneratedAndMutated();
    void dayListsGeneratedAndMutated();
    void linesSplitLikeTheOracle();
    void writtenEntriesReadBack();

private:
    void checkEntryFile(const std::string &input, int index);
};

void TestScheduleFuzz::entryFileEdgeCases_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");

    const QByteArray ok = "19:30\r\n/usr/bin/true\r\nHide\r\nMonday\r\n";
    QTest::newRow("valid") << ok << true;
    QTest::newRow("LF only") << QByteArray("19:30\n/usr/bin/true\nHide\nMonday\n") << true;
    QTest::newRow("last line without end") << QByteArray(ok).chopped(2) << true;
    QTest::newRow("CR only is one line") << QByteArray("19:30\r/usr/bin/true\rHide\rMonday\r") << false;
    QTest::newRow("blank line after") << ok + "\r\n" << false;
    QTest::newRow("NUL at the end") << ok + '\0' << false;
    QTest::newRow("truncated in the day") << ok.left(ok.size() - 4) << false;
    QTest::newRow("day in lower case") << QByteArray("19:30\r\n/a\r\nHide\r\nmonday\r\n") << false;
    QTest::newRow("24:00") << QByteArray("24:00\r\n/a\r\nHide\r\nMonday\r\n") << false;
    QTest::newRow("minute 10") << QByteArray("19:10\r\n/a\r\nHide\r\nMonday\r\n") << false;
    QTest::newRow("signed hour") << QByteArray("+9:30\r\n/a\r\nHide\r\nMonday\r\n") << false;
    QTest::newRow("relative path") << QByteArray("19:30\r\nbin/true\r\nHide\r\nMonday\r\n") << false;
    // A leading colon names a Qt resource, not a file: started as it
    // stands it would run a program of the working folder.
    QTest::newRow("resource-style path") << QByteArray("19:30\r\n:/true\r\nHide\r\nMonday\r\n") << false;
    QTest::newRow("colon path") << QByteArray("19:30\r\n:true\r\nHide\r\nMonday\r\n") << false;
    QTest::newRow("empty path") << QByteArray("19:30\r\n\r\nHide\r\nMonday\r\n") << false;
    QTest::newRow("style Minimize") << QByteArray("19:30\r\n/a\r\nMinimize\r\nMonday\r\n") << false;
    QTest::newRow("trailing space style") << QByteArray("19:30\r\n/a\r\nHide \r\nMonday\r\n") << false;

    const QByteArray head = "19:30\r\n/";
    const QByteArray tail = "\r\nHide\r\nMonday\r\n";
    const qsizetype room = oracle::kMaxEntryFileSize - head.size() - tail.size();
    QTest::newRow("exactly 64 KiB") << head + QByteArray(room, 'a') + tail << true;
    QTest::newRow("64 KiB and one byte") << head + QByteArray(room + 1, 'a') + tail << false;
    QTest::newRow("1 MB path") << head + QByteArray(1024 * 1024, 'a') + tail << false;
}

void TestScheduleFuzz::entryFileEdgeCases()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    const std::string input(bytes.constData(), std::size_t(bytes.size()));
    QCOMPARE(oracle::entryFile(input).has_value(), valid);
    QString why;
    const auto parsed = schedule::parseEntryFile(bytes, &why);
    QCOMPARE(parsed.has_value(), valid);
    QCOMPARE(why.isEmpty(), valid);
}

void TestScheduleFuzz::checkEntryFile(const std::string &input, int index)
{
    const auto expected = oracle::entryFile(input);
    QString why;
    const auto parsed = schedule::parseEntryFile(bytesOf(input), &why);
    if (parsed.has_value() != expected.has_value())
        QFAIL(qPrintable((expected ? QStringLiteral("valid entry refused (%1): ").arg(why)
                                   : QStringLiteral("invalid entry accepted: "))
                         + describe(input, index)));
    if (expected) {
        QVERIFY2(sameEntry(*parsed, *expected), qPrintable(describe(input, index)));
        QVERIFY2(kindsMatch(*expected), qPrintable(describe(input, index)));
    } else {
        QVERIFY2(!why.isEmpty(), qPrintable(describe(input, index)));
    }
}

void TestScheduleFuzz::entryFilesGeneratedAndMutated()
{
    fuzz::Inputs in(seed());
    QElapsedTimer clock;
    clock.start();
    int valid = 0;
    int cases = 0;
    for (; cases < kCases && clock.elapsed() < kBudgetMs; ++cases) {
        std::string input;
        switch (in.below(6)) {
        case 0:
            input = oracle::joinCrLf(in.entry());
            break;
        case 1:
        case 2:
            input = in.mutate(oracle::joinCrLf(in.entry()));
            break;
        case 3:
            input = in.mutate(in.mutate(oracle::joinCrLf(in.entry())));
            break;
        case 4:
            input = in.randomBytes(80);
            break;
        case 5:
            input = in.chance(3) ? in.hugeLine() : in.dayList(in.below(7), 2, false);
            break;
        }
        checkEntryFile(input, cases);
        if (QTest::currentTestFailed())
            return;
        valid += oracle::entryFile(input).has_value();
    }
    qInfo("%d entry files, %d of them valid", cases, valid);
    // Both sides of the rule must have been exercised.
    QVERIFY(valid > 0);
    QVERIFY(valid < cases);
}

void TestScheduleFuzz::dayListsGeneratedAndMutated()
{
    fuzz::Inputs in(seed() + 1);
    QElapsedTimer clock;
    clock.start();
    int cases = 0;
    qsizetype found = 0;
    for (; cases < kCases && clock.elapsed() < kBudgetMs; ++cases) {
        std::string input = in.dayList(in.below(7), 12, true);
        if (in.chance(30))
            input = in.mutate(input);
        if (in.chance(10))
            input += in.randomBytes(20); // a cut or foreign tail

        const auto expected = oracle::dayList(input);
        QStringList problems;
        const QList<schedule::Entry> parsed = schedule::parseDayList(bytesOf(input), &problems);
        QVERIFY2(parsed.size() == qsizetype(expected.size()),
                 qPrintable(QStringLiteral("%1 entries instead of %2: ")
                                .arg(parsed.size())
                                .arg(expected.size())
                            + describe(input, cases)));
        for (std::size_t i = 0; i < expected.size(); ++i)
            QVERIFY2(sameEntry(parsed[qsizetype(i)], expected[i]), qPrintable(describe(input, cases)));
        // Lines left over are always reported, never silently dropped.
        std::size_t used = 4 * expected.size();
        if (oracle::splitLines(input).size() > used)
            QVERIFY2(!problems.isEmpty(), qPrintable(describe(input, cases)));
        found += parsed.size();
    }
    qInfo("%d day lists, %lld entries", cases, qlonglong(found));
    QVERIFY(found > 0);
}

void TestScheduleFuzz::linesSplitLikeTheOracle()
{
    fuzz::Inputs in(seed() + 2);
    QElapsedTimer clock;
    clock.start();
    int cases = 0;
    for (; cases < kCases && clock.elapsed() < kBudgetMs; ++cases) {
        std::string input = in.randomBytes(60);
        if (in.chance(50))
            input = in.mutate(in.dayList(in.below(7), 3, false));
        const auto expected = oracle::splitLines(input);
        const QStringList lines = schedule::decodeLines(bytesOf(input));
        QVERIFY2(lines.size() == qsizetype(expected.size()), qPrintable(describe(input, cases)));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QVERIFY2(lines[qsizetype(i)] == text(expected[i]), qPrintable(describe(input, cases)));
            // Any line at all gets a kind; a time line is one that has a
            // colon third, whatever else it holds.
            const LineKind kind = schedule::classifyLine(lines[qsizetype(i)]);
            const QString read = text(expected[i]);
            QCOMPARE(kind == LineKind::Time, read.size() >= 3 && read[2] == u':');
        }
    }
    qInfo("%d texts split", cases);
}

void TestScheduleFuzz::writtenEntriesReadBack()
{
    // What the writer produces is what the readers accept, field for field.
    fuzz::Inputs in(seed() + 3);
    for (int i = 0; i < 500; ++i) {
        const oracle::Entry o = in.entry();
        const schedule::Entry e{text(o[0]), text(o[1]), text(o[2]), text(o[3])};
        const auto bytes = schedule::encodeLines(e.lines());
        QVERIFY(bytes);
        QCOMPARE(*bytes, bytesOf(oracle::joinCrLf(oracle::asUtf8(o))));
        const auto back = schedule::parseEntryFile(*bytes);
        QVERIFY(back);
        QCOMPARE(*back, e);
    }
}

QTEST_GUILESS_MAIN(TestScheduleFuzz)
#include "test_schedule_fuzz.moc"
