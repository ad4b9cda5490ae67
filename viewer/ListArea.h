#pragma once

#include <QStringList>
#include <QWidget>

namespace viewer {

// The surface the list renderer draws on: text lines from the top-left
// corner downwards in the widget's font, one below the other, never wrapped
// or scrolled, cut at the right and bottom edges. It keeps what it has drawn,
// so a covered window repaints, and paints only the lines that are visible.
class ListArea : public QWidget
{
    Q_OBJECT
public:
    // No more characters of a line are kept than can ever be seen across the
    // area; the rest of a longer line lies beyond the right edge.
    static constexpr qsizetype kKeptCharacters = 1024;

    explicit ListArea(QWidget *parent = nullptr);

    // Erases everything drawn and moves the drawing position to the top.
    void clear();
    // Draws one display line at the drawing position and moves the position
    // one text line lower.
    void addLine(const QString &line);

    // The display lines drawn since the last clear, in order, as far as
    // they reach into the area; the lines below its bottom edge can never
    // be seen and are only counted.
    const QStringList &lines() const { return m_lines; }
    qsizetype lineCount() const { return m_count; }
    // The distance from one display line to the next in the current font.
    int lineSpacing() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList m_lines;
    qsizetype m_count = 0;
};

} // namespace viewer
