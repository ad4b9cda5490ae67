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

QStringList decodeLines(QByteArrayView bytes)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype end = bytes.indexOf('\n', start);
        qsizetype next;
        if (end < 0) {
            end = n;
            next = n;
        } else {
            next = end + 1;
            if (end > start && bytes[end - 1] == '\r')
                --end;
        }
        lines.append(fromBytes(bytes.sliced(start, end - start)));
        start = next;
    }
    return lines;
}

} // namespace schedule
