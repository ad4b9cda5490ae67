#include "schedule/TextFile.h"
#include "viewer/LineReader.h"

#include <QBuffer>
#include <QtTest>

namespace {

QStringList readAll(QIODevice &device, qsizetype keep, bool *failed = nullptr)
{
    viewer::LineReader reader(device, keep);
    QStringList lines;
    while (std::optional<QString> line = reader.next())
        lines.append(*line);
    if (failed)
        *failed = reader.failed();
    return lines;
}

QStringList readAll(const QByteArray &bytes, qsizetype keep)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readAll(buffer, keep);
}

// Hands out `good` bytes of a text, then fails the next read.
class FailingDevice : public QIODevice
{
public:
    FailingDevice(QByteArray bytes, qint64 good)
        : m_bytes(std::move(bytes))
        , m_good(good)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        if (m_pos >= m_good)
            return -1;
        const qint64 n = std::min(max, m_good - m_pos);
        memcpy(data, m_bytes.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_good;
    qint64 m_pos = 0;
};

} // namespace

class TestLineReader : public QObject
{
    Q_OBJECT
private slots:
    void lines_data(); // line ends, and long lines cut to what is kept
    void lines();
    void linesAcrossChunksReadAsWhole_data();
    void linesAcrossChunksReadAsWhole();
    void aReadErrorEndsTheLines();
};

void TestLineReader::lines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("keep");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty file") << QByteArray() << qsizetype(1024) << QStringList{};
    QTest::newRow("CR LF") << QByteArray("19:30\r\nC:\\a.exe\r\n") << qsizetype(1024) << QStringList{"19:30", "C:\\a.exe"};
    QTest::newRow("LF") << QByteArray("19:30\nC:\\a.exe\n") << qsizetype(1024) << QStringList{"19:30", "C:\\a.exe"};
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\r\n") << qsizetype(1024) << QStringList{"a", "b", "c"};
    QTest::newRow("last line without end") << QByteArray("Min\r\nMonday") << qsizetype(1024) << QStringList{"Min", "Monday"};
    QTest::newRow("one line end only") << QByteArray("\r\n") << qsizetype(1024) << QStringList{""};
    QTest::newRow("empty lines") << QByteArray("a\r\n\r\n\nb\r\n") << qsizetype(1024) << QStringList{"a", "", "", "b"};
    QTest::newRow("lone CR stays") << QByteArray("a\rb\r\n\r") << qsizetype(1024) << QStringList{"a\rb", "\r"};
    QTest::newRow("8-bit and NUL") << QByteArray("\xe9t\xe9\0x\r\n", 7)
                                  << qsizetype(1024) << QStringList{QString::fromLatin1("\xe9t\xe9\0x", 5)};
    // Kept: 4 characters.
    QTest::newRow("shorter") << QByteArray("abc\r\nx") << qsizetype(4) << QStringList{"abc", "x"};
    QTest::newRow("exactly kept, CR LF") << QByteArray("abcd\r\nx") << qsizetype(4) << QStringList{"abcd", "x"};
    QTest::newRow("exactly kept, LF") << QByteArray("abcd\nx") << qsizetype(4) << QStringList{"abcd", "x"};
    QTest::newRow("one more") << QByteArray("abcde\r\nx") << qsizetype(4) << QStringList{"abcd", "x"};
    QTest::newRow("CR after kept part") << QByteArray("abcd\rz\r\nx") << qsizetype(4) << QStringList{"abcd", "x"};
    QTest::newRow("long last line") << QByteArray("abcdefghij") << qsizetype(4) << QStringList{"abcd"};
    QTest::newRow("cut inside a character") << QByteArray("日日日日日日日日\r\nend\r\n") << qsizetype(4) << QStringList{"日日日日", "end"};
    QTest::newRow("megabyte line") << QByteArray(3 * 1024 * 1024, 'q') + "\r\nend\r\n" << qsizetype(4) << QStringList{"qqqq", "end"};
}

void TestLineReader::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, keep);
    QFETCH(QStringList, lines);
    QCOMPARE(readAll(bytes, keep), lines);
    // The same rules as every other reader of the schedule files.
    if (keep == 1024)
        QCOMPARE(schedule::decodeLines(bytes), lines);
}

void TestLineReader::linesAcrossChunksReadAsWhole_data()
{
    QTest::addColumn<qsizetype>("breakAt");
    // The reader takes the file in chunks of 64 KiB; a line end that falls
    // on the border, or is split by it, must still end one line.
    const qsizetype chunk = 64 * 1024;
    QTest::newRow("CR last byte of a chunk") << chunk - 1;
    QTest::newRow("LF first byte of a chunk") << chunk;
    QTest::newRow("LF last byte of a chunk") << chunk - 2;
    QTest::newRow("inside a chunk") << chunk / 2;
}

void TestLineReader::linesAcrossChunksReadAsWhole()
{
    QFETCH(qsizetype, breakAt);
    QByteArray bytes(breakAt, 'p');
    bytes += "\r\n";
    for (int i = 0; i < 20000; ++i)
        bytes += "C:\\Tools\\t" + QByteArray::number(i) + ".exe\r\n";
    bytes += "Sunday";
    const QStringList expected = schedule::decodeLines(bytes);
    QCOMPARE(readAll(bytes, bytes.size()), expected);

    // Cut to what is kept, the lines are the same lines.
    QStringList cut;
    for (const QString &line : expected)
        cut.append(line.left(10));
    QCOMPARE(readAll(bytes, 10), cut);
}

void TestLineReader::aReadErrorEndsTheLines()
{
    QByteArray bytes;
    for (int i = 0; i < 10000; ++i)
        bytes += "line " + QByteArray::number(i) + "\r\n";
    // The first chunk ends inside line 7000-something; the read after it fails.
    const qint64 good = 64 * 1024;
    FailingDevice device(bytes, good);
    bool failed = false;
    const QStringList lines = readAll(device, 1024, &failed);
    QVERIFY(failed);
    const QStringList whole = schedule::decodeLines(bytes.left(good));
    // Every complete line before the failure, and not the broken one.
    QCOMPARE(lines, whole.mid(0, whole.size() - 1));
}

QTEST_APPLESS_MAIN(TestLineReader)
#include "test_line_reader.moc"
