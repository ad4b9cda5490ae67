// Entries as four lines: checking them, entry files and day list files.
#include "schedule/Entry.h"

#include <QtTest>

using namespace schedule;

namespace {

// An absolute program path on this platform.
QString programPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("D:\\Tools\\sync.exe");
#else
    return QStringLiteral("/opt/tools/sync");
#endif
}

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
    QTest::addColumn<bool>("valid");
    const QString p = programPath();
    QTest::newRow("good") << QStringList{"19:45", p, "Min", "Tuesday"} << true;
    QTest::newRow("midnight") << QStringList{"00:00", p, "Normal", "Sunday"} << true;
    QTest::newRow("three lines") << QStringList{"19:45", p, "Min"} << false;
    QTest::newRow("five lines") << QStringList{"19:45", p, "Min", "Tuesday", ""} << false;
    QTest::newRow("bad time") << QStringList{"7:45", p, "Min", "Tuesday"} << false;
    QTest::newRow("relative path") << QStringList{"19:45", "sync.exe", "Min", "Tuesday"} << false;
    QTest::newRow("empty path") << QStringList{"19:45", "", "Min", "Tuesday"} << false;
    QTest::newRow("NUL in path") << QStringList{"19:45", p + QChar(0), "Min", "Tuesday"} << false;
    QTest::newRow("list word for style") << QStringList{"19:45", p, "Minimize", "Tuesday"} << false;
    QTest::newRow("day code for day") << QStringList{"19:45", p, "Min", "Tue"} << false;
    QTest::newRow("lines swapped") << QStringList{p, "19:45", "Min", "Tuesday"} << false;
}

void TestEntry::validateEntry()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, valid);
    QString why;
    const std::optional<Entry> entry = schedule::validateEntry(lines, &why);
    QCOMPARE(entry.has_value(), valid);
    if (valid) {
        QCOMPARE(entry->lines(), lines);
        QVERIFY(why.isEmpty());
    } else {
        QVERIFY(!why.isEmpty());
    }
}

void TestEntry::parseEntryFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    const QStringList good{"19:45", programPath(), "Min", "Tuesday"};
    QTest::newRow("CR LF") << crlf(good) << true;
    QTest::newRow("LF only") << crlf(good).replace("\r\n", "\n") << true;
    QTest::newRow("last line without end") << crlf(good).chopped(2) << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("blank line after") << crlf(good) + "\r\n" << false;
    QTest::newRow("NUL byte") << crlf(good).insert(3, '\0') << false;
    QByteArray big = crlf(good);
    big.insert(big.indexOf("\r\n"), QByteArray(kMaxEntryFileSize, ' '));
    QTest::newRow("too large") << big << false;
}

void TestEntry::parseEntryFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QString why;
    const std::optional<Entry> entry = schedule::parseEntryFile(bytes, &why);
    QCOMPARE(entry.has_value(), valid);
    if (valid) {
        QCOMPARE(entry->time, QStringLiteral("19:45"));
        QCOMPARE(entry->minutes(), 19 * 60 + 45);
        QCOMPARE(entry->style(), RunStyle::Min);
    } else {
        QVERIFY(!why.isEmpty());
    }
}

void TestEntry::parseDayList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("times");   // of the entries found, in order
    QTest::addColumn<QStringList>("problems");
    const QString p = programPath();
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
