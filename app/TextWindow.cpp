#include "app/TextWindow.h"

#include "schedule/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>

base::Result<TextWindow *> TextWindow::open(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return base::Failure{file.errorString()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return base::Failure{file.errorString()};
    // The same text rules as the schedule files: the system's code page,
    // with a line that is not valid in it read as Latin-1.
    return new TextWindow(QFileInfo(path).fileName(), schedule::decodeLines(bytes).join(u'\n'));
}

TextWindow::TextWindow(const QString &title, const QString &text)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setPlainText(text);
    resize(640, 480);
}
