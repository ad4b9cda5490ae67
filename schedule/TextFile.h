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

} // namespace schedule
