#pragma once

#include "base/Result.h"

#include <QPlainTextEdit>

// A plain read-only window that shows a text file, titled with the file's
// name: the Help menu's files where the desktop has no program to show them.
class TextWindow : public QPlainTextEdit
{
    Q_OBJECT
public:
    // The window for path, or a failure saying why the file cannot be read.
    static base::Result<TextWindow *> open(const QString &path);

private:
    TextWindow(const QString &title, const QString &text);
};
