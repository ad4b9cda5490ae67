#include "viewer/LineReader.h"

#include "schedule/TextFile.h"

#include <QIODevice>

namespace viewer {

namespace {
constexpr qsizetype kChunkSize = 64 * 1024;
}

LineReader::LineReader(QIODevice &device, qsizetype keep)
    : m_device(device)
    , m_keep(keep)
{
}

bool LineReader::fill()
{
    m_chunk.resize(kChunkSize);
    const qint64 got = m_device.read(m_chunk.data(), kChunkSize);
    if (got < 0)
        m_failed = true;
    m_chunk.resize(got > 0 ? got : 0);
    m_pos = 0;
    return got > 0;
}

std::optional<QString> LineReader::next()
{
    if (m_failed)
        return std::nullopt;
    // The raw bytes of the line with its end: room for `keep` characters of
    // up to three bytes each (UTF-8; four for a pair of two), and two bytes
    // more, so that a CR LF or LF after a line of up to `keep` characters is
    // still seen as its end.
    const qsizetype cap = 3 * m_keep + 2;
    QByteArray raw;
    bool ended = false;
    bool cut = false;
    while (!ended) {
        if (m_pos == m_chunk.size() && !fill()) {
            if (m_failed || raw.isEmpty())
                return std::nullopt;
            break; // a last line without a line end
        }
        const qsizetype newline = m_chunk.indexOf('\n', m_pos);
        const qsizetype end = newline < 0 ? m_chunk.size() : newline + 1;
        const qsizetype take = std::min(end - m_pos, std::max<qsizetype>(cap - raw.size(), 0));
        raw.append(m_chunk.constData() + m_pos, take);
        cut = cut || take < end - m_pos;
        m_pos = end;
        ended = newline >= 0;
    }
    // A line cut short may end inside a character; that character lies past
    // what is kept anyway.
    if (cut)
        raw.truncate(schedule::wholeCharacters(raw));
    // The text rules (which bytes end a line, how bytes become characters)
    // are the schedule's; `raw` holds at most one line end, at its end.
    const QStringList lines = schedule::decodeLines(raw);
    QString line = lines.isEmpty() ? QString() : lines.first();
    line.truncate(m_keep);
    return line;
}

} // namespace viewer
