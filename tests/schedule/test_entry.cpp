// Entries as four lines: checking them, entry files and day list files.
#include "schedule/Entry.h"
#include "support/Files.h"

#include <QtTest>

using namespace schedule;

namespace {

QByteArray crlf(const QStringList &lines)
{
    QByteArray out;
    for (const QString &l : lines)
        out += l.toLatin1() + "\r\n";
    return out;
}

} // namespace

class TestEntry : public QObject
{
    Q_OBJECT
private slots:
    void validateEntry_data();
    void validateEntry();
    void parseEntryFile_data();
    void parseEntryFile();
    void parseDayList_data();
    void parseDayList();
};

void TestEntry::validateEntry_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("why"); // empty: valid
    const QString p = testing::programPath("sync");
    QTest::newRow("good") << QStringList{"19:45", p, "Min", "Tuesday"} << "";
    QTest::newRow("midnight") << QStringList{"00:00", p, "Normal", "Sunday"} << "";
    QTest::newRow("three lines") << QStringList{"19:45", p, "Min"} << "3 lines";
    QTest::newRow("five lines") << QStringList{"19:45", p, "Min", "Tuesday", ""} << "5 lines";
    QTest::newRow("bad time") << QStringList{"7:45", p, "Min", "Tuesday"} << "bad time line";
    QTest::newRow("relative path") << QStringList{"19:45", "sync.exe", "Min", "Tuesday"} << "bad program path";
    QTest::newRow("empty path") << QStringList{"19:45", "", "Min", "Tuesday"} << "bad program path";
    QTest::newRow("NUL in path") << QStringList{"19:45", p + QChar(0), "Min", "Tuesday"} << "bad program path";
    QTest::newRow("list word for style") << QStringList{"19:45", p, "Minimize", "Tuesday"} << "bad run style";
    QTest::newRow("style in lower case") << QStringList{"19:45", p, "hide", "Tuesday"} << "bad run style";
    QTest::newRow("day code for day") << QStringList{"19:45", p, "Min", "Tue"} << "bad day line";
    QTest::newRow("lines swapped") << QStringList{p, "19:45", "Min", "Tuesday"} << "bad time line";
}

void TestEntry::validateEntry()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, why);
    QString found;
    const std::optional<Entry> entry = schedule::validateEntry(lines, &found);
    QCOMPARE(entry.has_value(), why.isEmpty());
    if (entry)
        QCOMPARE(entry->lines(), lines);
    QVERIFY2(why.isEmpty() ? found.isEmpty() : found.contains(why), qPrintable(found));
}

void TestEntry::parseEntryFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why"); // empty: valid
    const QStringList good{"19:45", testing::programPath("sync"), "Min", "Tuesday"};
    QTest::newRow("CR LF") << crlf(good) << "";
    QTest::newRow("LF only") << crlf(good).replace("\r\n", "\n") << "";
    QTest::newRow("last line without end") << crlf(good).chopped(2) << "";
    QTest::newRow("empty") << QByteArray() << "0 lines";
    QTest::newRow("blank line after") << crlf(good) + "\r\n" << "5 lines";
    QTest::newRow("NUL byte") << crlf(good).insert(3, '\0') << "NUL";
    QByteArray big = crlf(good);
    big.insert(big.indexOf("\r\n"), QByteArray(kMaxEntryFileSize, ' '));
    QTest::newRow("too large") << big << "larger";
}

void TestEntry::parseEntryFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    QString found;
    const std::optional<Entry> entry = schedule::parseEntryFile(bytes, &found);
    QCOMPARE(entry.has_value(), why.isEmpty());
    if (entry) {
        QCOMPARE(entry->time, QStringLiteral("19:45"));
        QCOMPARE(entry->minutes(), 19 * 60 + 45);
        QCOMPARE(entry->style(), RunStyle::Min);
    } else {
        QVERIFY2(found.contains(why), qPrintable(found));
    }
}

void TestEntry::parseDayList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("times");   // of the entries found, in order
    QTest::addColumn<QStringList>("problems");
    const QString p = testing::programPath("sync");
    const QStringList a{"08:00", p, "Hide", "Monday"};
    const QStringList b{"19:30", p, "Max", "Monday"};
    QTest::newRow("empty") << QByteArray() << QStringList{} << QStringList{};
    QTest::newRow("two entries, eight lines") << crlf(a + b) << QStringList{"08:00", "19:30"} << QStringList{};
    QTest::newRow("garbage before")
        << crlf(QStringList{"junk"} + a) << QStringList{"08:00"} << QStringList{"line 1: bad time line \"junk\""};
    QTest::newRow("broken entry between")
        << crlf(a + QStringList{"25:00", p, "Hide", "Monday"} + b) << QStringList{"08:00", "19:30"}
        << QStringList{"line 5: bad time line \"25:00\""};
    QTest::newRow("incomplete at the end")
        << crlf(a + QStringList{"09:00", p}) << QStringList{"08:00"}
        << QStringList{"line 5: incomplete entry at the end"};
}

void TestEntry::parseDayList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, times);
    QFETCH(QStringList, problems);
    QStringList found;
    QStringList seenTimes;
    for (const Entry &e : schedule::parseDayList(bytes, &found))
        seenTimes.append(e.time);
    QCOMPARE(seenTimes, times);
    QCOMPARE(found, problems);
}

QTEST_APPLESS_MAIN(TestEntry)
#include "test_entry.moc"
