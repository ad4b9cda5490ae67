#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace schedule {

// The schedule files are 8-bit text, one byte a character, with CR LF after
// every line and no byte-order mark. On Windows the bytes are the ANSI code
// page's. Elsewhere the locale's 8-bit encoding cannot be relied on (it is
// mostly UTF-8), so the bytes are Latin-1 there; every reader of the files
// decodes them here, the same way.

// The bytes of the lines, each followed by CR LF. Nothing when a character
// has no single-byte form: a wrong byte in a path would start the wrong
// program later, so the caller must refuse instead. *bad names the first
// character that does not fit.
std::optional<QByteArray> encodeLines(const QStringList &lines, QString *bad = nullptr);

// Splits text into lines. CR LF, a lone LF and a last line without an end
// all end a line; an empty text has no lines. A CR that is not followed by
// LF is kept as part of the line.
QStringList decodeLines(QByteArrayView bytes);

// The same lines one at a time, as views into the bytes, without their ends
// and without decoding them: a text of millions of lines costs nothing more.
class LineSplitter
{
public:
    explicit LineSplitter(QByteArrayView bytes) : m_bytes(bytes) {}
    std::optional<QByteArrayView> next();
    // Where the line that next() returns last starts in the bytes.
    qsizetype lineStart() const { return m_lineStart; }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    qsizetype m_lineStart = 0;
};

// One line's bytes as text.
QString decodeLine(QByteArrayView line);

} // namespace schedule
