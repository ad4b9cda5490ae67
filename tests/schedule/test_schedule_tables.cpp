// The fixed tables of the schedule files: days, run style codes, the
// 24-hour time line and the entry file names.
#include "schedule/DayTable.h"
#include "schedule/EntryFile.h"
#include "schedule/RunStyle.h"
#include "schedule/Time24.h"

#include <QtTest>

using namespace schedule;

class TestScheduleTables : public QObject
{
    Q_OBJECT
private slots:
    void dayTable_data();
    void dayTable();
    void dayLookupIsExact_data();
    void dayLookupIsExact();
    void runStyleCodes_data();
    void runStyleCodes();
    void storedCodes_data();
    void storedCodes();
    void hour24_data();
    void hour24();
    void listChoices_data();
    void listChoices();
    void timeLine_data();
    void timeLine();
    void entryFileNames_data();
    void entryFileNames();
    void parseEntryFileName_data();
    void parseEntryFileName();
    void dayListFileNames_data();
    void dayListFileNames();
};

void TestScheduleTables::dayTable_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("listFile");
    QTest::newRow("0") << 0 << "Mon" << "Monday" << "datmon.dat";
    QTest::newRow("1") << 1 << "Tue" << "Tuesday" << "dattue.dat";
    QTest::newRow("2") << 2 << "Wed" << "Wednesday" << "datwed.dat";
    QTest::newRow("3") << 3 << "Thu" << "Thursday" << "datthu.dat";
    QTest::newRow("4") << 4 << "Fri" << "Friday" << "datfri.dat";
    QTest::newRow("5") << 5 << "Sat" << "Saturday" << "datsat.dat";
    QTest::newRow("6") << 6 << "Sun" << "Sunday" << "datsun.dat";
}

void TestScheduleTables::dayTable()
{
    QFETCH(int, index);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, listFile);
    const Day &d = day(index);
    QCOMPARE(d.index, index);
    QCOMPARE(QString(d.code), code);
    QCOMPARE(QString(d.name), name);
    QCOMPARE(QString(d.listFile), listFile);
    QCOMPARE(dayByCode(code), &d);
    QCOMPARE(dayByName(name), &d);
}

void TestScheduleTables::dayLookupIsExact_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("lower code") << "mon";
    QTest::newRow("upper code") << "MON";
    QTest::newRow("lower name") << "monday";
    QTest::newRow("trailing blank") << "Monday ";
    QTest::newRow("empty") << "";
    QTest::newRow("prefix") << "Wednes";
}

void TestScheduleTables::dayLookupIsExact()
{
    QFETCH(QString, text);
    QCOMPARE(dayByCode(text), nullptr);
    QCOMPARE(dayByName(text), nullptr);
}

void TestScheduleTables::runStyleCodes_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("code"); // empty: no code
    QTest::newRow("Normal") << "Normal" << "Normal";
    QTest::newRow("Hide") << "Hide" << "Hide";
    QTest::newRow("Minimize") << "Minimize" << "Min";
    QTest::newRow("Maximize") << "Maximize" << "Max";
    QTest::newRow("code is not a choice") << "Min" << "";
    QTest::newRow("lower case") << "minimize" << "";
    QTest::newRow("nothing chosen") << "" << "";
}

void TestScheduleTables::runStyleCodes()
{
    QFETCH(QString, choice);
    QFETCH(QString, code);
    QCOMPARE(runStyleCodeForChoice(choice).value_or(QString()), code);
}

void TestScheduleTables::storedCodes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("style");
    QTest::newRow("Normal") << "Normal" << true << int(RunStyle::Normal);
    QTest::newRow("Hide") << "Hide" << true << int(RunStyle::Hide);
    QTest::newRow("Min") << "Min" << true << int(RunStyle::Min);
    QTest::newRow("Max") << "Max" << true << int(RunStyle::Max);
    QTest::newRow("the list's word") << "Maximize" << false << 0;
    QTest::newRow("lower case") << "hide" << false << 0;
    QTest::newRow("blank after") << "Min " << false << 0;
}

void TestScheduleTables::storedCodes()
{
    QFETCH(QString, code);
    QFETCH(bool, valid);
    QFETCH(int, style);
    const std::optional<RunStyle> parsed = parseRunStyleCode(code);
    QCOMPARE(parsed.has_value(), valid);
    if (valid) {
        QCOMPARE(int(*parsed), style);
        QCOMPARE(runStyleCode(*parsed), code);
    }
}

void TestScheduleTables::hour24_data()
{
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("amPm");
    QTest::addColumn<QString>("written");
    QTest::newRow("12 AM") << "12" << "AM" << "00";
    QTest::newRow("01 AM") << "01" << "AM" << "01";
    QTest::newRow("09 AM") << "09" << "AM" << "09";
    QTest::newRow("11 AM") << "11" << "AM" << "11";
    QTest::newRow("12 PM") << "12" << "PM" << "12";
    QTest::newRow("01 PM") << "01" << "PM" << "13";
    QTest::newRow("07 PM") << "07" << "PM" << "19";
    QTest::newRow("11 PM") << "11" << "PM" << "23";
    for (int h = 1; h <= 11; ++h) {
        const QString hour = QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0'));
        QTest::addRow("AM %s", qPrintable(hour)) << hour << "AM" << hour;
        QTest::addRow("PM %s", qPrintable(hour)) << hour << "PM" << QString::number(h + 12);
    }
}

void TestScheduleTables::hour24()
{
    QFETCH(QString, hour);
    QFETCH(QString, amPm);
    QFETCH(QString, written);
    QCOMPARE(schedule::hour24(hour, amPm), written);
}

void TestScheduleTables::listChoices_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hour");
    QTest::addColumn<bool>("minute");
    QTest::newRow("01") << "01" << true << false;
    QTest::newRow("12") << "12" << true << false;
    QTest::newRow("00") << "00" << false << true;
    QTest::newRow("13") << "13" << false << false;
    QTest::newRow("15") << "15" << false << true;
    QTest::newRow("45") << "45" << false << true;
    QTest::newRow("no leading zero") << "1" << false << false;
    QTest::newRow("blank") << " 1" << false << false;
    QTest::newRow("sign") << "+1" << false << false;
    QTest::newRow("empty") << "" << false << false;
}

void TestScheduleTables::listChoices()
{
    QFETCH(QString, text);
    QFETCH(bool, hour);
    QFETCH(bool, minute);
    QCOMPARE(isHourChoice(text), hour);
    QCOMPARE(isMinuteChoice(text), minute);
}

void TestScheduleTables::timeLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("minutes"); // -1: not a time line
    QTest::newRow("midnight") << "00:30" << 30;
    QTest::newRow("noon") << "12:00" << 720;
    QTest::newRow("1 PM") << "13:15" << 795;
    QTest::newRow("9 AM") << "09:45" << 585;
    QTest::newRow("last") << "23:45" << 23 * 60 + 45;
    QTest::newRow("hour 24") << "24:00" << -1;
    QTest::newRow("odd minute") << "10:10" << -1;
    QTest::newRow("one-digit hour") << "9:45" << -1;
    QTest::newRow("blank") << " 9:45" << -1;
    QTest::newRow("seconds") << "09:45:00" << -1;
    QTest::newRow("sign") << "+9:45" << -1;
    QTest::newRow("path") << "C:\\x" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestScheduleTables::timeLine()
{
    QFETCH(QString, line);
    QFETCH(int, minutes);
    QCOMPARE(parseTimeLine(line).value_or(-1), minutes);
    if (minutes >= 0)
        QCOMPARE(schedule::timeLine(line.left(2), line.mid(3)), line);
}

void TestScheduleTables::entryFileNames_data()
{
    QTest::addColumn<int>("dayIndex");
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("Wed7") << 2 << qint64(7) << "Wed7.dat";
    QTest::newRow("Sun8") << 6 << qint64(8) << "Sun8.dat";
    QTest::newRow("Tue4") << 1 << qint64(4) << "Tue4.dat";
    QTest::newRow("Mon10") << 0 << qint64(10) << "Mon10.dat";
    QTest::newRow("Fri large") << 4 << qint64(1234567) << "Fri1234567.dat";
}

void TestScheduleTables::entryFileNames()
{
    QFETCH(int, dayIndex);
    QFETCH(qint64, number);
    QFETCH(QString, name);
    QCOMPARE(entryFileName(day(dayIndex), number), name);
    const std::optional<EntryFileName> parsed = schedule::parseEntryFileName(name);
    QVERIFY(parsed);
    QCOMPARE(parsed->dayIndex, dayIndex);
    QCOMPARE(parsed->number, number);
}

void TestScheduleTables::parseEntryFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("leading zero") << "Mon01.dat";
    QTest::newRow("zero") << "Mon0.dat";
    QTest::newRow("lower-case code") << "mon2.dat";
    QTest::newRow("day name") << "Monday.dat";
    QTest::newRow("no number") << "Mon.dat";
    QTest::newRow("day list file") << "datmon.dat";
    QTest::newRow("other extension") << "Mon2.txt";
    QTest::newRow("upper-case extension") << "Mon2.DAT";
    QTest::newRow("sign") << "Mon+2.dat";
    QTest::newRow("blank") << "Mon 2.dat";
    QTest::newRow("letters after") << "Mon2a.dat";
    QTest::newRow("temporary copy") << "Mon2.dat.aB3xYz";
    QTest::newRow("with folder") << "x/Mon2.dat";
    QTest::newRow("too many digits") << "Mon1234567890123456789.dat";
    QTest::newRow("empty") << "";
}

void TestScheduleTables::parseEntryFileName()
{
    QFETCH(QString, name);
    QVERIFY(!schedule::parseEntryFileName(name));
}

void TestScheduleTables::dayListFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isDayList");
    for (const Day &d : days())
        QTest::addRow("%s", d.listFile.data()) << QString(d.listFile) << true;
    QTest::newRow("capital") << "datMon.dat" << false;
    QTest::newRow("entry file") << "Mon2.dat" << false;
    QTest::newRow("no extension") << "datmon" << false;
}

void TestScheduleTables::dayListFileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, isDayList);
    QCOMPARE(isDayListFileName(name), isDayList);
}

QTEST_APPLESS_MAIN(TestScheduleTables)
#include "test_schedule_tables.moc"
