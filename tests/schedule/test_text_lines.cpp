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
    void decodeEarlierLatin1_data();
    void decodeEarlierLatin1();
};

void TestTextLines::encodeLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("entry") << QStringList{"19:45", "D:\\Tools\\sync.exe", "Min", "Tuesday"}
                           << QByteArray("19:45\r\nD:\\Tools\\sync.exe\r\nMin\r\nTuesday\r\n");
    QTest::newRow("no lines") << QStringList{} << QByteArray();
    QTest::newRow("empty line") << QStringList{""} << QByteArray("\r\n");
#ifdef Q_OS_WIN
    QTest::newRow("code page one byte each")
        << QStringList{QString::fromUtf8("C:\\Programme\\Größe\\é.exe")}
        << QByteArray("C:\\Programme\\Gr\xf6\xdf" "e\\\xe9.exe\r\n");
#else
    QTest::newRow("UTF-8") << QStringList{QString::fromUtf8("/home/łukasz/日本/€")}
                           << QByteArray("/home/\xc5\x82ukasz/\xe6\x97\xa5\xe6\x9c\xac/\xe2\x82\xac\r\n");
    QTest::newRow("beyond 16 bits") << QStringList{QString::fromUtf8("/opt/𝄞")} << QByteArray("/opt/\xf0\x9d\x84\x9e\r\n");
#endif
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
#ifdef Q_OS_WIN
    QTest::newRow("first over 0xFF") << QStringList{QString::fromUtf8("/opt/ĀŁ")} << QString::fromUtf8("Ā");
    QTest::newRow("cyrillic") << QStringList{QString::fromUtf8("/home/Пётр/a")} << QString::fromUtf8("П");
#else
    QTest::newRow("half a pair") << QStringList{"ok", QString("/opt/") + QChar(0xd834) + "x"} << "U+D834";
#endif
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

void TestTextLines::decodeEarlierLatin1_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
#ifndef Q_OS_WIN
    // Files written as Latin-1 read as they did, line by line.
    QTest::newRow("Latin-1") << QByteArray("/opt/Gr\xf6\xdf" "e/caf\xe9\r\nMin\r\n")
                             << QStringList{QString::fromUtf8("/opt/Größe/café"), "Min"};
    QTest::newRow("beside UTF-8") << QByteArray("/opt/caf\xe9\r\n/opt/caf\xc3\xa9\r\n")
                                  << QStringList{QString::fromUtf8("/opt/café"), QString::fromUtf8("/opt/café")};
    QTest::newRow("overlong form") << QByteArray("/\xc0\xaf\r\n") << QStringList{QString::fromUtf8("/À¯")};
    QTest::newRow("cut character") << QByteArray("/opt/\xe6\x97") << QStringList{QString::fromUtf8("/opt/æ\u0097")};
#endif
}

void TestTextLines::decodeEarlierLatin1()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(schedule::decodeLines(bytes), lines);
}

QTEST_APPLESS_MAIN(TestTextLines)
#include "test_text_lines.moc"
