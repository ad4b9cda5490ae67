// The schedule files' text form and the day list reader. Entry files as Pick
// Program writes them are tested through the main window; as brinol.com reads
// them, through brinol.com.
#include "schedule/Entry.h"
#include "schedule/Pick.h"
#include "schedule/TextFile.h"

#include <QtTest>

class TestSchedule : public QObject
{
    Q_OBJECT
private slots:
    void textForm_data();
    void textForm();
    void dayList_data();
    void dayList();
};

// clang-format off
void TestSchedule::textForm_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refused"); // the character named when the lines cannot be written

    QTest::newRow("empty line, blanks, beyond 16 bits") << QStringList{"", " a b ", QString::fromUtf8("/日本/𝄞")}
        << QByteArray("\r\n a b \r\n/\xe6\x97\xa5\xe6\x9c\xac/\xf0\x9d\x84\x9e\r\n") << "";
    QTest::newRow("NUL") << QStringList{QString(QChar(0)) + "x"} << QByteArray() << "NUL";
    QTest::newRow("half a pair") << QStringList{QString("/opt/") + QChar(0xd834)} << QByteArray() << "U+D834";
}
// clang-format on

void TestSchedule::textForm()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refused);
    const base::Result<QByteArray> encoded = schedule::encodeLines(lines);
    QCOMPARE(encoded ? *encoded : QByteArray(), bytes);
    QCOMPARE(encoded.reason(), refused);
    if (encoded)
        QCOMPARE(schedule::decodeLines(*encoded), lines);
}

// clang-format off
void TestSchedule::dayList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries"); // "time path style day", in start order
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<int>("count");           // of problems, kept or not

    const QByteArray a = "19:30\r\n/opt/a\r\nHide\r\nMonday\r\n", b = "07:00\n/opt/b\nMax\nMonday";
    const QString aText = "19:30 /opt/a Hide Monday", bText = "07:00 /opt/b Max Monday";
    QTest::newRow("two, LF, no end, by time") << a + b << QStringList{bText, aText} << QStringList{} << 0;
    // A bad group is skipped line by line and never hides the entry after it.
    QTest::newRow("bad lines between")
        << "24:00\r\n/x\r\n" + a + "12:00\r\nrelative\r\nHide\r\nMonday\r\n:/qt\r\n" + b << QStringList{bText, aText}
        << QStringList{"line 1: bad time line \"24:00\"", "line 7: bad program path \"relative\""} << 2;
    QTest::newRow("every field wrong")
        << QByteArray("09:10\r\n/x\r\nHide\r\nMonday\r\n09:00\r\n/x\r\nMinimize\r\nMonday\r\n09:00\r\n/x\r\nHide\r\nmonday\r\n")
        << QStringList{} << QStringList{"line 1: bad time line \"09:10\""} << 1;
    QTest::newRow("cut at the end") << a + "19:30\r\n/opt/a" << QStringList{aText}
                                    << QStringList{"line 5: incomplete entry at the end"} << 1;
    // Only the first problems are kept, however many there are.
    QByteArray many;
    QStringList kept;
    const int n = schedule::DayList::kKeptProblems + 1;
    for (int i = 0; i < n; ++i) {
        many += "x\r\n" + a;
        kept.append(QString("line %1: bad time line \"x\"").arg(i * 5 + 1));
    }
    QTest::newRow("many problems") << many << QStringList(n, aText) << kept.mid(0, n - 1) << n;
    // One entry, by the path rule that a pick, an entry file and a day list share: the path is taken, or else shown so.
    auto one = [](const char *tag, const QByteArray &path, const QString &shown) {
        const bool taken = shown.isEmpty();
        QTest::newRow(tag) << "09:00\r\n" + path + "\r\nHide\r\nMonday\r\n" << QStringList(taken, "09:00 " + QString::fromUtf8(path) + " Hide Monday")
                           << QStringList(!taken, "line 1: bad program path \"" + shown) << int(!taken);
    };
    one("taken, beyond 16 bits", "/opt/\xf0\x9d\x84\x9e", "");
    one("empty", "", "\"");
    one("NUL", QByteArray("/opt/a\0b", 8), "/opt/a\\x00b\"");
    one("byte-order mark first", "\xef\xbb\xbf/opt/x", "\\ufeff/opt/x\"");
    one("not UTF-8", "/opt/caf\xe9", "/opt/caf\\xe9\" (not UTF-8)");
    // Invisible characters, direction marks and separators, of 16 bits and beyond.
    for (const char32_t c : {0x200b, 0x200f, 0x2060, 0xfeff, 0x061c, 0x2028, 0x202e, 0xe0001})
        one(qPrintable(QString("U+%1").arg(uint(c), 4, 16, QChar('0'))), ("/opt/a" + QStringView(QChar::fromUcs4(c)).toString() + "b").toUtf8(),
            QString(c > 0xffff ? "/opt/a\\U%1b\"" : "/opt/a\\u%1b\"").arg(uint(c), c > 0xffff ? 8 : 4, 16, QChar('0')));
}
// clang-format on

void TestSchedule::dayList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, problems);
    QFETCH(int, count);
    schedule::DayList list(bytes);
    list.sortByTime();
    QStringList found;
    for (qsizetype i = 0; i < list.size(); ++i)
        found.append(list.entry(i).lines().join(u' '));
    QCOMPARE(found, entries);
    QCOMPARE(list.problems(), problems);
    QCOMPARE(list.problemCount(), qsizetype(count));
    if (bytes.count('\n') != 4)
        return;
    // One entry: an entry file of these bytes is taken or refused alike.
    const QByteArray path = bytes.split('\n')[1].chopped(1);
    QCOMPARE(bool(schedule::parseEntryFile(bytes)), entries.size() == 1);
    // The system takes a name up to a NUL: a path that holds one names another file.
    QVERIFY(!path.contains('\0') || !schedule::isAbsoluteProgramPath(QString::fromUtf8(path)));
    if (QString::fromUtf8(path).toUtf8() != path) // a name picked in the window is text
        return;
    // A refused pick tells what to correct: the choice of a program, or its name.
    const base::Result<schedule::Entry> picked = schedule::pickEntry({{true}, QString::fromUtf8(path), "09", "00", "AM", "Hide"}, schedule::day(0));
    QVERIFY2(picked.ok() == (entries.size() == 1) && (picked || picked.reason().startsWith(path.isEmpty() ? "No program is chosen" : "The program path")),
             qPrintable(picked.reason()));
}

QTEST_APPLESS_MAIN(TestSchedule)
#include "test_schedule.moc"
