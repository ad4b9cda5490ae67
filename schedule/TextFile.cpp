#include "schedule/TextFile.h"

namespace schedule {

namespace {

// The one byte that stands for c, or nothing.
std::optional<char> byteOf(QChar c)
{
    if (c.isNull())
        return std::nullopt;
#ifdef Q_OS_WIN
    // The ANSI code page: only a character that becomes one byte and comes
    // back as itself (no best-fit "A" for "Ā", no "?").
    const QString one(c);
    const QByteArray bytes = one.toLocal8Bit();
    if (bytes.size() != 1 || QString::fromLocal8Bit(bytes) != one)
        return std::nullopt;
    return bytes[0];
#else
    if (c.unicode() > 0xff)
        return std::nullopt;
    return char(c.unicode());
#endif
}

QString fromBytes(QByteArrayView bytes)
{
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(bytes);
#else
    return QString::fromLatin1(bytes);
#endif
}

} // namespace

std::optional<QByteArray> encodeLines(const QStringList &lines, QString *bad)
{
    QByteArray out;
    for (const QString &line : lines) {
        for (const QChar c : line) {
            const std::optional<char> byte = byteOf(c);
            if (!byte) {
                if (bad)
                    *bad = c.isNull() ? QStringLiteral("NUL") : QString(c);
                return std::nullopt;
            }
            out.append(*byte);
        }
        out.append("\r\n", 2);
    }
    return out;
}

std::optional<QByteArrayView> LineSplitter::next()
{
    const qsizetype n = m_bytes.size();
    if (m_pos >= n)
        return std::nullopt;
    m_lineStart = m_pos;
    qsizetype end = m_bytes.indexOf('\n', m_pos);
    if (end < 0) {
        end = n;
        m_pos = n;
    } else {
        m_pos = end + 1;
        if (end > m_lineStart && m_bytes[end - 1] == '\r')
            --end;
    }
    return m_bytes.sliced(m_lineStart, end - m_lineStart);
}

QString decodeLine(QByteArrayView line)
{
    return fromBytes(line);
}

QStringList decodeLines(QByteArrayView bytes)
{
    QStringList lines;
    LineSplitter splitter(bytes);
    while (const std::optional<QByteArrayView> line = splitter.next())
        lines.append(fromBytes(*line));
    return lines;
}

} // namespace schedule
