#include "schedule/EntryFile.h"

#include <QtTest>

// Entry file and day list file names where the file system ignores letter
// case, and where it does not.
class TestFileNameCase : public QObject
{
    Q_OBJECT
private slots:
    void entryFileNames_data();
    void entryFileNames();
    void dayListFileNames_data();
    void dayListFileNames();
};

void TestFileNameCase::entryFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<int>("dayIndex"); // -1: not an entry file name
    QTest::addColumn<qint64>("number");
    QTest::newRow("exact") << "Wed7.dat" << true << 2 << qint64(7);
    QTest::newRow("exact, either case") << "Sun123.dat" << false << 6 << qint64(123);
    QTest::newRow("upper case, exact") << "WED7.DAT" << true << -1 << qint64(0);
    QTest::newRow("upper case, ignoring case") << "WED7.DAT" << false << 2 << qint64(7);
    QTest::newRow("lower case, ignoring case") << "thu12.dat" << false << 3 << qint64(12);
    QTest::newRow("leading zero, ignoring case") << "mon02.dat" << false << -1 << qint64(0);
    QTest::newRow("day name, ignoring case") << "MONDAY.dat" << false << -1 << qint64(0);
    QTest::newRow("day list, ignoring case") << "DATMON.DAT" << false << -1 << qint64(0);
}

void TestFileNameCase::entryFileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, caseSensitive);
    QFETCH(int, dayIndex);
    QFETCH(qint64, number);
    const auto parsed = schedule::parseEntryFileName(name, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
    QCOMPARE(parsed.has_value(), dayIndex >= 0);
    if (parsed) {
        QCOMPARE(parsed->dayIndex, dayIndex);
        QCOMPARE(parsed->number, number);
    }
}

void TestFileNameCase::dayListFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<bool>("ignoringCase");
    QTest::newRow("lower case") << "datsun.dat" << true << true;
    QTest::newRow("upper case") << "DATSUN.DAT" << false << true;
    QTest::newRow("mixed case") << "DatMon.dat" << false << true;
    QTest::newRow("backup") << "datmon.dat.bak" << false << false;
    QTest::newRow("day name") << "datmonday.dat" << false << false;
    QTest::newRow("entry file") << "Mon2.dat" << false << false;
}

void TestFileNameCase::dayListFileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, exact);
    QFETCH(bool, ignoringCase);
    QCOMPARE(schedule::isDayListFileName(name), exact);
    QCOMPARE(schedule::isDayListFileName(name, Qt::CaseInsensitive), ignoringCase);
}

QTEST_GUILESS_MAIN(TestFileNameCase)
#include "test_file_name_case.moc"
