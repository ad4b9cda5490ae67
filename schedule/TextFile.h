#pragma once

#include "base/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace schedule {

// The schedule files are 8-bit text in the system's code page, with CR LF
// after every line and no byte-order mark. On Windows that is the ANSI code
// page, one byte a character. Elsewhere it is UTF-8. Every reader of the
// files decodes them here: what is only shown (the viewer, a text window)
// reads a line that is not valid UTF-8 as Latin-1, as earlier versions wrote
// it; what is run takes only exact text (decodeExactLine).

// The bytes of the lines, each followed by CR LF. Nothing when a character
// has no form in the code page (or is NUL, or half of a surrogate pair): a
// wrong byte in a path would start the wrong program later, so the caller
// must refuse instead. The failure's reason is the first character that
// does not fit ("NUL" for NUL).
base::Result<QByteArray> encodeLines(const QStringList &lines);

// Splits text into lines. CR LF, a lone LF and a last line without an end
// all end a line; an empty text has no lines. A CR that is not followed by
// LF is kept as part of the line.
QStringList decodeLines(QByteArrayView bytes);

// The same lines one at a time, as views into the bytes, without their ends
// and without decoding them: a text of millions of lines costs nothing more.
class LineSplitter
{
public:
    explicit LineSplitter(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }
    std::optional<QByteArrayView> next();
    // Where the line that next() returns last starts in the bytes.
    qsizetype lineStart() const { return m_lineStart; }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    qsizetype m_lineStart = 0;
};

// One line's bytes as text, for showing it.
QString decodeLine(QByteArrayView line);

// One line's bytes as text only when they are text of the code page: on
// Linux bytes that are not UTF-8 give nothing. A program path read any other
// way ("caf\xe9" as "café") names another file than the one the bytes name.
std::optional<QString> decodeExactLine(QByteArrayView line);

// The bytes with every byte outside printable ASCII shown as \xNN, for a
// message about a line that is not text.
QString visibleBytes(QByteArrayView bytes);

// For text cut short at a byte count: how many of the bytes end on a whole
// character, leaving out a UTF-8 character cut in two.
qsizetype wholeCharacters(QByteArrayView bytes);

} // namespace schedule
