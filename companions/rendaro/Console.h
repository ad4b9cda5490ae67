#pragma once

#include <QString>

namespace rendaro {

// Where the launcher's answers (--help, --version) go: started from a
// console, or with its output sent somewhere, there; started on Windows
// without either, as from Explorer, in a message box, in paragraphs rather
// than the console's columns. A file per platform.
void attachConsole();
void answer(const QString &text, const QString &paragraphs);

} // namespace rendaro
