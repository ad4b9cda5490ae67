// The 8-bit text form of the schedule files. Reading them back (line ends)
// is tested with the viewer's line reader, the line kinds with the viewer.
#include "schedule/TextFile.h"

#include <QtTest>

using namespace schedule;

class TestTextLines : public QObject
{
    Q_OBJECT
private slots:
    void encodeLines_data();
    void encodeLines();
    void encodeRefuses_data();
    void encodeRefuses();
};

void TestTextLines::encodeLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("entry") << QStringList{"19:45", "D:\\Tools\\sync.exe", "Min", "Tuesday"}
                           << QByteArray("19:45\r\nD:\\Tools\\sync.exe\r\nMin\r\nTuesday\r\n");
    QTest::newRow("no lines") << QStringList{} << QByteArray();
    QTest::newRow("empty line") << QStringList{""} << QByteArray("\r\n");
    QTest::newRow("Latin-1 one byte each")
        << QStringList{QString::fromUtf8("C:\\Programme\\Größe\\é.exe")}
        << QByteArray("C:\\Programme\\Gr\xf6\xdf" "e\\\xe9.exe\r\n");
    QTest::newRow("top of Latin-1") << QStringList{QString(QChar(0xff))} << QByteArray("\xff\r\n");
    QTest::newRow("blanks kept") << QStringList{" a b "} << QByteArray(" a b \r\n");
}

void TestTextLines::encodeLines()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);
    const std::optional<QByteArray> encoded = schedule::encodeLines(lines);
    QVERIFY(encoded);
    QCOMPARE(*encoded, bytes);
    QVERIFY(!encoded->startsWith("\xef\xbb\xbf"));
    QCOMPARE(schedule::decodeLines(*encoded), lines);
}

void TestTextLines::encodeRefuses_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("bad");
#ifndef Q_OS_WIN // code page 1252 has it
    QTest::newRow("euro sign") << QStringList{"ok", QString::fromUtf8("C:\\€\\x.exe")} << QString::fromUtf8("€");
#endif
    QTest::newRow("first over 0xFF") << QStringList{QString::fromUtf8("/opt/ĀŁ")} << QString::fromUtf8("Ā");
    QTest::newRow("cyrillic") << QStringList{QString::fromUtf8("/home/Пётр/a")} << QString::fromUtf8("П");
    QTest::newRow("NUL") << QStringList{QString(QChar(0)) + "x"} << "NUL";
}

void TestTextLines::encodeRefuses()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, bad);
    QString found;
    QVERIFY(!schedule::encodeLines(lines, &found));
    QCOMPARE(found, bad);
}

QTEST_APPLESS_MAIN(TestTextLines)
#include "test_text_lines.moc"
