// What does not depend on the code page; encoding and decoding are in
// UnixTextFile.cpp (UTF-8) and WinTextFile.cpp (the ANSI code page).
#include "schedule/TextFile.h"

namespace schedule {

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
        lines.append(decodeLine(*line));
    return lines;
}

} // namespace schedule
