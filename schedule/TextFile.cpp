#include "schedule/TextFile.h"

#include <QStringDecoder>

#include <algorithm>

namespace schedule {

namespace {

#ifdef Q_OS_WIN
// The one byte that stands for c, or nothing.
std::optional<char> byteOf(QChar c)
{
    if (c.isNull())
        return std::nullopt;
    // The ANSI code page: only a character that becomes one byte and comes
    // back as itself (no best-fit "A" for "Ā", no "?").
    const QString one(c);
    const QByteArray bytes = one.toLocal8Bit();
    if (bytes.size() != 1 || QString::fromLocal8Bit(bytes) != one)
        return std::nullopt;
    return bytes[0];
}
#else
// The first character of line that UTF-8 cannot carry back as itself: NUL,
// or half of a surrogate pair. Nothing when every one fits.
std::optional<QString> badForUtf8(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c.isNull())
            return QStringLiteral("NUL");
        if (c.isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    }
    return std::nullopt;
}
#endif

QString fromBytes(QByteArrayView bytes)
{
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(bytes);
#else
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
#endif
}

} // namespace

base::Result<QByteArray> encodeLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
#ifndef Q_OS_WIN
        if (const std::optional<QString> character = badForUtf8(line))
            return base::Failure{*character};
        out.append(line.toUtf8());
#else
        for (const QChar c : line) {
            const std::optional<char> byte = byteOf(c);
            if (!byte)
                return base::Failure{c.isNull() ? QStringLiteral("NUL") : QString(c)};
            out.append(*byte);
        }
#endif
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

std::optional<QString> decodeExactLine(QByteArrayView line)
{
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(line);
#else
    // ASCII is the same in UTF-8 and Latin-1, whose conversion is the
    // cheaper; most lines are ASCII.
    if (std::all_of(line.begin(), line.end(), [](char byte) { return uchar(byte) < 0x80; }))
        return QString::fromLatin1(line);
    // A byte-order mark stays a character (one a path may not hold), never
    // silently dropped: the bytes with it name another file.
    QStringDecoder exact(QStringDecoder::Utf8,
                         QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = exact(line);
    if (exact.hasError())
        return std::nullopt;
    return text;
#endif
}

QString visibleBytes(QByteArrayView bytes)
{
    QString out;
    for (const char byte : bytes) {
        const auto b = uchar(byte);
        out += b >= 0x20 && b < 0x7f ? QString(QChar(b)) : QStringLiteral("\\x%1").arg(b, 2, 16, QLatin1Char('0'));
    }
    return out;
}

QStringList decodeLines(QByteArrayView bytes)
{
    QStringList lines;
    LineSplitter splitter(bytes);
    while (const std::optional<QByteArrayView> line = splitter.next())
        lines.append(fromBytes(*line));
    return lines;
}

qsizetype wholeCharacters(QByteArrayView bytes)
{
#ifdef Q_OS_WIN
    return bytes.size();
#else
    // Back over at most three continuation bytes (10xxxxxx) to the byte
    // that starts the last character, and keep that character only when
    // all of its bytes are there.
    const qsizetype n = bytes.size();
    for (qsizetype start = n - 1; start >= 0 && start >= n - 4; --start) {
        const auto byte = uchar(bytes[start]);
        if ((byte & 0xc0) == 0x80)
            continue;
        const qsizetype length = byte < 0x80 ? 1 : byte >= 0xf0 ? 4 : byte >= 0xe0 ? 3 : byte >= 0xc0 ? 2 : 1;
        return start + length <= n ? n : start;
    }
    return n;
#endif
}

} // namespace schedule
