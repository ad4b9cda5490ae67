// The schedule files' text on Windows: the ANSI code page, one byte a
// character.
#include "schedule/TextFile.h"

namespace schedule {

namespace {

// The one byte that stands for c, or nothing.
std::optional<char> byteOf(QChar c)
{
    if (c.isNull())
        return std::nullopt;
    // Only a character that becomes one byte and comes back as itself (no
    // best-fit "A" for "Ā", no "?").
    const QString one(c);
    const QByteArray bytes = one.toLocal8Bit();
    if (bytes.size() != 1 || QString::fromLocal8Bit(bytes) != one)
        return std::nullopt;
    return bytes[0];
}

} // namespace

base::Result<QByteArray> encodeLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        for (const QChar c : line) {
            const std::optional<char> byte = byteOf(c);
            if (!byte)
                return base::Failure{c.isNull() ? QStringLiteral("NUL") : QString(c)};
            out.append(*byte);
        }
        out.append("\r\n", 2);
    }
    return out;
}

QString decodeLine(QByteArrayView line)
{
    return QString::fromLocal8Bit(line);
}

std::optional<QString> decodeExactLine(QByteArrayView line)
{
    return QString::fromLocal8Bit(line);
}

qsizetype wholeCharacters(QByteArrayView bytes)
{
    return bytes.size();
}

} // namespace schedule
