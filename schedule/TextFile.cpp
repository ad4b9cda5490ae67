#include "schedule/TextFile.h"

namespace schedule {

std::optional<QByteArray> encodeLines(const QStringList &lines, QString *bad)
{
    QByteArray out;
    for (const QString &line : lines) {
        for (const QChar c : line) {
            if (c.unicode() > 0xff || c.isNull()) {
                if (bad)
                    *bad = c.isNull() ? QStringLiteral("NUL") : QString(c);
                return std::nullopt;
            }
            out.append(char(c.unicode()));
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
        lines.append(QString::fromLatin1(bytes.sliced(start, end - start)));
        start = next;
    }
    return lines;
}

} // namespace schedule
