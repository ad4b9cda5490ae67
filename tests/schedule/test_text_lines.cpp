// The 8-bit text form of the schedule files and the line kinds a reader
// tells apart.
#include "schedule/LineKind.h"
#include "schedule/TextFile.h"

#include <QtTest>

using namespace schedule;

Q_DECLARE_METATYPE(schedule::LineKind)

class TestTextLines : public QObject
{
    Q_OBJECT
private slots:
    void encodeLines_data();
    void encodeLines();
    void encodeRefuses_data();
    void encodeRefuses();
    void decodeLines_data();
    void decodeLines();
    void classifyLine_data();
    void classifyLine();
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

void TestTextLines::decodeLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\r\n") << QStringList{"a", "b", "c"};
    QTest::newRow("last without end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("only an end") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("empty lines") << QByteArray("\r\n\r\nx\r\n") << QStringList{"", "", "x"};
    QTest::newRow("lone CR stays") << QByteArray("a\rb\r\n") << QStringList{"a\rb"};
    QTest::newRow("CR at the end") << QByteArray("a\r") << QStringList{"a\r"};
    QTest::newRow("high bytes") << QByteArray("\xe9\xff\r\n") << QStringList{QString::fromUtf8("éÿ")};
}

void TestTextLines::decodeLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(schedule::decodeLines(bytes), lines);
}

void TestTextLines::classifyLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<LineKind>("kind");
    QTest::newRow("time") << "19:30" << LineKind::Time;
    QTest::newRow("colon third, anything") << "ab:" << LineKind::Time;
    QTest::newRow("colon third wins over a path") << "C::\\x" << LineKind::Time;
    QTest::newRow("Hide") << "Hide" << LineKind::RunStyle;
    QTest::newRow("Max") << "Max" << LineKind::RunStyle;
    QTest::newRow("Min") << "Min" << LineKind::RunStyle;
    QTest::newRow("Normal") << "Normal" << LineKind::RunStyle;
    QTest::newRow("list word is a path") << "Minimize" << LineKind::Path;
    QTest::newRow("lower case style") << "hide" << LineKind::Path;
    QTest::newRow("Monday") << "Monday" << LineKind::Day;
    QTest::newRow("Sunday") << "Sunday" << LineKind::Day;
    QTest::newRow("day code") << "Mon" << LineKind::Path;
    QTest::newRow("lower day") << "friday" << LineKind::Path;
    QTest::newRow("windows path") << "C:\\setup.exe" << LineKind::Path;
    QTest::newRow("posix path") << "/usr/bin/x" << LineKind::Path;
    QTest::newRow("empty") << "" << LineKind::Path;
    QTest::newRow("short") << "ab" << LineKind::Path;
    QTest::newRow("blank after style") << "Hide " << LineKind::Path;
}

void TestTextLines::classifyLine()
{
    QFETCH(QString, line);
    QFETCH(LineKind, kind);
    QCOMPARE(schedule::classifyLine(line), kind);
}

QTEST_APPLESS_MAIN(TestTextLines)
#include "test_text_lines.moc"
