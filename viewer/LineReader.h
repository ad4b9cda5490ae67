#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QIODevice;

namespace viewer {

// Reads the lines of a day list file one at a time, a chunk at a time, and
// keeps only the first `keep` characters of each line: a file of any size,
// or a line of many megabytes, costs no more memory than one chunk and the
// kept part of one line.
class LineReader
{
public:
    LineReader(QIODevice &device, qsizetype keep);

    // The next line without its line end, cut to `keep` characters; nothing
    // at the end of the file or once a read has failed.
    std::optional<QString> next();

private:
    bool fill();

    QIODevice &m_device;
    qsizetype m_keep;
    QByteArray m_chunk;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

} // namespace viewer
