// The schedule files' text on Linux and other Unix systems: UTF-8.
#include "schedule/TextFile.h"

#include <QStringDecoder>

#include <algorithm>

namespace schedule {

namespace {

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

} // namespace

base::Result<QByteArray> encodeLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        if (const std::optional<QString> character = badForUtf8(line))
            return base::Failure{*character};
        out.append(line.toUtf8());
        out.append("\r\n", 2);
    }
    return out;
}

QString decodeLine(QByteArrayView line)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = utf8(line);
    return utf8.hasError() ? QString::fromLatin1(line) : text;
}

std::optional<QString> decodeExactLine(QByteArrayView line)
{
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
}

qsizetype wholeCharacters(QByteArrayView bytes)
{
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
}

} // namespace schedule
