#pragma once

#include <QPlainTextEdit>

// A plain read-only window that shows a text file, titled with the file's
// name: the Help menu's files where the desktop has no program to show them.
class TextWindow : public QPlainTextEdit
{
    Q_OBJECT
public:
    // The window for path, or nothing when the file cannot be read (*why
    // then says why).
    static TextWindow *open(const QString &path, QString *why);

private:
    TextWindow(const QString &title, const QString &text);
};
