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
    void runStyleCodes_data();
    void runStyleCodes();
    void hour24_data();
    void hour24();
    void listChoices_data();
    void listChoices();
    void timeLine_data();
    void timeLine();
    void entryFileNames_data();
    void entryFileNames();
    void dayListFileNames_data();
    void dayListFileNames();
};

void TestScheduleTables::dayTable_data()
{
    QTest::addColumn<int>("index"); // -1: no day has this code or name
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
    // The lookups are exact.
    QTest::newRow("lower case") << -1 << "mon" << "monday" << "";
    QTest::newRow("upper case") << -1 << "MON" << "MONDAY" << "";
    QTest::newRow("trailing blank") << -1 << "Mon " << "Monday " << "";
    QTest::newRow("empty") << -1 << "" << "" << "";
    QTest::newRow("prefix") << -1 << "Mo" << "Wednes" << "";
    QTest::newRow("code for name") << -1 << "Monday" << "Mon" << "";
}

void TestScheduleTables::dayTable()
{
    QFETCH(int, index);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, listFile);
    if (index < 0) {
        QCOMPARE(dayByCode(code), nullptr);
        QCOMPARE(dayByName(name), nullptr);
        return;
    }
    const Day &d = day(index);
    QCOMPARE(d.index, index);
    QCOMPARE(QString(d.code), code);
    QCOMPARE(QString(d.name), name);
    QCOMPARE(QString(d.listFile), listFile);
    QCOMPARE(dayByCode(code), &d);
    QCOMPARE(dayByName(name), &d);
}

void TestScheduleTables::runStyleCodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("codeOfChoice"); // as a word of the run style list; empty: not one
    QTest::addColumn<int>("storedStyle");      // as the code of an entry; -1: not one
    QTest::newRow("Normal") << "Normal" << "Normal" << int(RunStyle::Normal);
    QTest::newRow("Hide") << "Hide" << "Hide" << int(RunStyle::Hide);
    QTest::newRow("Minimize") << "Minimize" << "Min" << -1;
    QTest::newRow("Maximize") << "Maximize" << "Max" << -1;
    QTest::newRow("Min") << "Min" << "" << int(RunStyle::Min);
    QTest::newRow("Max") << "Max" << "" << int(RunStyle::Max);
    QTest::newRow("lower-case word") << "minimize" << "" << -1;
    QTest::newRow("lower-case code") << "hide" << "" << -1;
    QTest::newRow("blank after") << "Min " << "" << -1;
    QTest::newRow("empty") << "" << "" << -1;
}

void TestScheduleTables::runStyleCodes()
{
    QFETCH(QString, text);
    QFETCH(QString, codeOfChoice);
    QFETCH(int, storedStyle);
    QCOMPARE(runStyleCodeForChoice(text).value_or(QString()), codeOfChoice);
    const std::optional<RunStyle> parsed = parseRunStyleCode(text);
    QCOMPARE(parsed ? int(*parsed) : -1, storedStyle);
    if (parsed)
        QCOMPARE(runStyleCode(*parsed), text);
}

void TestScheduleTables::hour24_data()
{
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("amPm");
    QTest::addColumn<QString>("written");
    QTest::newRow("12 AM") << "12" << "AM" << "00";
    QTest::newRow("12 PM") << "12" << "PM" << "12";
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
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("caseSensitive"); // as the working folder's file system compares names
    QTest::addColumn<int>("dayIndex");       // -1: not an entry file name
    QTest::addColumn<qint64>("number");
    auto row = [](const char *tag, const char *name, bool cs, int day = -1, qint64 number = 0) {
        QTest::newRow(tag) << QString::fromLatin1(name) << cs << day << number;
    };
    row("Wed7", "Wed7.dat", true, 2, 7);
    row("Mon10", "Mon10.dat", true, 0, 10);
    row("Fri large", "Fri1234567.dat", true, 4, 1234567);
    row("exact, either case", "Sun123.dat", false, 6, 123);
    row("upper case, ignoring case", "WED7.DAT", false, 2, 7);
    row("lower case, ignoring case", "thu12.dat", false, 3, 12);
    row("upper case, exact", "WED7.DAT", true);
    row("lower-case code", "mon2.dat", true);
    row("upper-case extension", "Mon2.DAT", true);
    row("leading zero", "Mon01.dat", true);
    row("leading zero, ignoring case", "mon02.dat", false);
    row("zero", "Mon0.dat", true);
    row("day name", "Monday.dat", true);
    row("day name, ignoring case", "MONDAY.dat", false);
    row("no number", "Mon.dat", true);
    row("day list file", "datmon.dat", true);
    row("day list, ignoring case", "DATMON.DAT", false);
    row("other extension", "Mon2.txt", true);
    row("sign", "Mon+2.dat", true);
    row("blank", "Mon 2.dat", true);
    row("letters after", "Mon2a.dat", true);
    row("temporary copy", "Mon2.dat.aB3xYz", true);
    row("with folder", "x/Mon2.dat", true);
    row("too many digits", "Mon1234567890123456789.dat", true);
    row("empty", "", true);
}

void TestScheduleTables::entryFileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, caseSensitive);
    QFETCH(int, dayIndex);
    QFETCH(qint64, number);
    const auto parsed = schedule::parseEntryFileName(name, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
    QCOMPARE(parsed.has_value(), dayIndex >= 0);
    if (!parsed)
        return;
    QCOMPARE(parsed->dayIndex, dayIndex);
    QCOMPARE(parsed->number, number);
    if (caseSensitive)
        QCOMPARE(entryFileName(day(dayIndex), number), name);
}

void TestScheduleTables::dayListFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<bool>("ignoringCase");
    QTest::newRow("datmon.dat") << "datmon.dat" << true << true;
    QTest::newRow("datsun.dat") << "datsun.dat" << true << true;
    QTest::newRow("upper case") << "DATSUN.DAT" << false << true;
    QTest::newRow("mixed case") << "DatMon.dat" << false << true;
    QTest::newRow("capital") << "datMon.dat" << false << true;
    QTest::newRow("backup") << "datmon.dat.bak" << false << false;
    QTest::newRow("day name") << "datmonday.dat" << false << false;
    QTest::newRow("entry file") << "Mon2.dat" << false << false;
    QTest::newRow("no extension") << "datmon" << false << false;
}

void TestScheduleTables::dayListFileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, exact);
    QFETCH(bool, ignoringCase);
    QCOMPARE(isDayListFileName(name), exact);
    QCOMPARE(isDayListFileName(name, Qt::CaseInsensitive), ignoringCase);
}

QTEST_APPLESS_MAIN(TestScheduleTables)
#include "test_schedule_tables.moc"
