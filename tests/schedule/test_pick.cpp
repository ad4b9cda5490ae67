// Writing the entry files of a pick into a folder: the number that never
// replaces a file, and what is refused. What is written, and a write that
// fails half-way, are tested through Pick Program on the main window.
#include "schedule/EntryFile.h"
#include "schedule/Pick.h"
#include "support/Files.h"

#include <QtTest>

using namespace schedule;

namespace {

Pick pickOf(std::initializer_list<int> dayIndexes)
{
    Pick pick;
    for (int i : dayIndexes)
        pick.days[i] = true;
    pick.path = testing::programPath("sync");
    pick.hour = QStringLiteral("07");
    pick.minute = QStringLiteral("45");
    pick.amPm = QStringLiteral("PM");
    pick.runStyle = QStringLiteral("Minimize");
    return pick;
}

} // namespace

class TestPick : public QObject
{
    Q_OBJECT
private slots:
    void freeNumber_data();
    void freeNumber();
    void refused_data();
    void refused();
    void missingFolder();
};

void TestPick::freeNumber_data()
{
    QTest::addColumn<QStringList>("existing"); // a trailing "/" makes a folder
    QTest::addColumn<QList<int>>("pickDays");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("number");
    QTest::newRow("nothing there") << QStringList{} << QList<int>{0, 3} << qint64(5) << qint64(5);
    QTest::newRow("taken by the pick's day") << QStringList{"Mon5.dat"} << QList<int>{0} << qint64(5) << qint64(6);
    QTest::newRow("another day's name is free") << QStringList{"Mon5.dat"} << QList<int>{1} << qint64(5) << qint64(5);
    QTest::newRow("any day of the pick") << QStringList{"Thu5.dat", "Mon6.dat"} << QList<int>{0, 3} << qint64(5) << qint64(7);
    QTest::newRow("gap is used") << QStringList{"Sun8.dat", "Sun10.dat"} << QList<int>{6} << qint64(8) << qint64(9);
    QTest::newRow("never lower") << QStringList{"Mon4.dat"} << QList<int>{0} << qint64(5) << qint64(5);
    QTest::newRow("a folder of that name") << QStringList{"Wed2.dat/"} << QList<int>{2} << qint64(2) << qint64(3);
    QTest::newRow("other files") << QStringList{"datmon.dat", "Mon5.txt", "Mon05.dat"} << QList<int>{0} << qint64(5)
                                 << qint64(5);
}

void TestPick::freeNumber()
{
    QFETCH(QStringList, existing);
    QFETCH(QList<int>, pickDays);
    QFETCH(qint64, from);
    QFETCH(qint64, number);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QDir dir(tmp.path());
    for (const QString &name : existing) {
        QVERIFY(name.endsWith(u'/') ? dir.mkdir(name.chopped(1)) : testing::writeFile(dir.filePath(name), "old\r\n"));
    }
    Pick pick = pickOf({});
    for (int i : pickDays)
        pick.days[i] = true;
    QCOMPARE(freeEntryNumber(dir, pick, from), number);
}

void TestPick::refused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("path without an 8-bit form")
        << "path" << testing::programPath("sync") + QChar(0xd800) << "U+D800";
    QTest::newRow("no run style") << "runStyle" << "" << "run style";
    QTest::newRow("unknown run style") << "runStyle" << "Min" << "run style";
    QTest::newRow("no AM or PM") << "amPm" << "" << "AM or PM";
    QTest::newRow("no hour") << "hour" << "" << "hour";
    QTest::newRow("no minute") << "minute" << "" << "minute";
    QTest::newRow("no program") << "path" << "" << "program";
}

void TestPick::refused()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, mentions);
    Pick pick = pickOf({0, 6});
    QString *fields[] = {&pick.path, &pick.runStyle, &pick.amPm, &pick.hour, &pick.minute};
    const char *names[] = {"path", "runStyle", "amPm", "hour", "minute"};
    for (int i = 0; i < 5; ++i)
        if (field == QLatin1String(names[i]))
            *fields[i] = value;

    QTemporaryDir tmp;
    QDir dir(tmp.path());
    const PickOutcome outcome = writePick(dir, pick, 3);
    QCOMPARE(outcome.status, PickOutcome::Refused);
    QVERIFY2(outcome.error.contains(mentions), qPrintable(outcome.error));
    QVERIFY(outcome.written.isEmpty());
    QVERIFY(dir.entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestPick::missingFolder()
{
    QTemporaryDir tmp;
    QDir dir(tmp.filePath("gone"));
    const PickOutcome outcome = writePick(dir, pickOf({3}), 1);
    QCOMPARE(outcome.status, PickOutcome::WriteFailed);
    QVERIFY(outcome.written.isEmpty());
    QVERIFY(outcome.failedFile.endsWith(QDir::toNativeSeparators("gone/Thu1.dat")));
    QVERIFY(!outcome.error.isEmpty());
    QVERIFY(!QFileInfo::exists(dir.path()));
}

QTEST_APPLESS_MAIN(TestPick)
#include "test_pick.moc"
