// The schedule files' text form and the day list reader. Entry files as Pick
// Program writes them are tested through the main window; as brinol.com reads
// them, through brinol.com.
#include "schedule/Entry.h"
#include "schedule/TextFile.h"

#include <QRandomGenerator>
#include <QtTest>

class TestSchedule : public QObject
{
    Q_OBJECT
private slots:
    void textForm_data();
    void textForm();
    void dayList_data();
    void dayList();
    void generatedDayLists();
};

void TestSchedule::textForm_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refused"); // the character named when the lines cannot be written

    QTest::newRow("entry") << QStringList{"19:45", "/opt/sync", "Min", "Tuesday"}
                           << QByteArray("19:45\r\n/opt/sync\r\nMin\r\nTuesday\r\n") << "";
    QTest::newRow("empty line, blanks kept") << QStringList{"", " a b "} << QByteArray("\r\n a b \r\n") << "";
    QTest::newRow("UTF-8") << QStringList{QString::fromUtf8("/home/łukasz/日本/𝄞")}
                           << QByteArray("/home/\xc5\x82ukasz/\xe6\x97\xa5\xe6\x9c\xac/\xf0\x9d\x84\x9e\r\n") << "";
    QTest::newRow("NUL") << QStringList{QString(QChar(0)) + "x"} << QByteArray() << "NUL";
    QTest::newRow("half a pair") << QStringList{QString("/opt/") + QChar(0xd834)} << QByteArray() << "U+D834";
}

void TestSchedule::textForm()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refused);
    QString bad;
    const std::optional<QByteArray> encoded = schedule::encodeLines(lines, &bad);
    QCOMPARE(encoded.value_or(QByteArray()), bytes);
    QCOMPARE(bad, refused);
    if (encoded)
        QCOMPARE(schedule::decodeLines(*encoded), lines);
}

void TestSchedule::dayList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");  // "time path style day", in start order
    QTest::addColumn<QStringList>("problems");

    const QByteArray a = "19:30\r\n/opt/a\r\nHide\r\nMonday\r\n", b = "07:00\n/opt/b\nMax\nMonday";
    QTest::newRow("two, LF, no end, by time") << a + b << QStringList{"07:00 /opt/b Max Monday", "19:30 /opt/a Hide Monday"}
                                              << QStringList{};
    QTest::newRow("empty") << QByteArray() << QStringList{} << QStringList{};
    // Files an earlier version wrote in Latin-1 read as they did, line by line.
    QTest::newRow("Latin-1 beside UTF-8")
        << QByteArray("00:15\r\n/caf\xe9\r\nMin\r\nMonday\r\n00:15\r\n/caf\xc3\xa9\r\nMin\r\nMonday\r\n")
        << QStringList{QString::fromUtf8("00:15 /café Min Monday"), QString::fromUtf8("00:15 /café Min Monday")}
        << QStringList{};
    // A bad group is skipped line by line and never hides the entry after it.
    QTest::newRow("bad lines between")
        << "24:00\r\n/x\r\n" + a + "12:00\r\nrelative\r\nHide\r\nMonday\r\n:/qt\r\n" + b
        << QStringList{"07:00 /opt/b Max Monday", "19:30 /opt/a Hide Monday"}
        << QStringList{"line 1: bad time line \"24:00\"", "line 7: bad program path \"relative\""};
    QTest::newRow("every field wrong")
        << QByteArray("09:10\r\n/x\r\nHide\r\nMonday\r\n09:00\r\n/x\r\nMinimize\r\nMonday\r\n09:00\r\n/x\r\nHide\r\nmonday\r\n")
        << QStringList{}
        << QStringList{"line 1: bad time line \"09:10\""};
    QTest::newRow("cut at the end") << a + "19:30\r\n/opt/a" << QStringList{"19:30 /opt/a Hide Monday"}
                                    << QStringList{"line 5: incomplete entry at the end"};
}

void TestSchedule::dayList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, problems);
    schedule::DayList list(bytes);
    list.sortByTime();
    QStringList found;
    for (qsizetype i = 0; i < list.size(); ++i)
        found.append(list.entry(i).lines().join(u' '));
    QCOMPARE(found, entries);
    QCOMPARE(list.problems(), problems);
    QCOMPARE(list.problemCount(), problems.size());
}

// Day lists made of valid entries and lines that can never start one, in
// random order: exactly the entries put in come out, and every run of bad
// lines is one problem, of which only the first few are kept.
void TestSchedule::generatedDayLists()
{
    const QStringList junk{"", "7:30", "24:00", "12:00", "relative/p", "/x", "Minimize", "Hide", "monday", "Max "};
    const QStringList styles{"Normal", "Hide", "Min", "Max"}, days{"Monday", "Sunday"};
    QRandomGenerator random(20261207);
    for (int round = 0; round < 300; ++round) {
        QStringList lines, expected;
        qsizetype runs = 0;
        bool inRun = false;
        for (int n = random.bounded(round % 10 ? 60 : 300); n > 0; --n) {
            if (random.bounded(3) == 0) {
                const QStringList entry{QStringLiteral("%1:%2").arg(random.bounded(24), 2, 10, QChar(u'0'))
                                            .arg(random.bounded(4) * 15, 2, 10, QChar(u'0')),
                                        "/p" + QString::number(n), styles[random.bounded(4)], days[random.bounded(2)]};
                lines += entry;
                expected.append(entry.join(u' '));
                inRun = false;
            } else {
                lines.append(junk[random.bounded(junk.size())]);
                runs += !inRun;
                inRun = true;
            }
        }
        const schedule::DayList list(*schedule::encodeLines(lines));
        QStringList found;
        for (qsizetype i = 0; i < list.size(); ++i)
            found.append(list.entry(i).lines().join(u' '));
        QCOMPARE(found, expected);
        QCOMPARE(list.problemCount(), runs);
        QCOMPARE(list.problems().size(), std::min(runs, schedule::DayList::kKeptProblems));
    }
}

QTEST_APPLESS_MAIN(TestSchedule)
#include "test_schedule.moc"
