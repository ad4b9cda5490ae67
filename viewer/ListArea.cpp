#include "viewer/ListArea.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

namespace viewer {

ListArea::ListArea(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ListArea"));
    setFocusPolicy(Qt::NoFocus);
}

int ListArea::lineSpacing() const
{
    return std::max(1, QFontMetrics(font()).lineSpacing());
}

void ListArea::clear()
{
    m_lines.clear();
    m_count = 0;
    update();
}

void ListArea::addLine(const QString &line)
{
    const int spacing = lineSpacing();
    const qsizetype top = m_count * spacing;
    ++m_count;
    if (top >= height())
        return;
    m_lines.append(line.left(kKeptCharacters));
    update(0, int(top), width(), spacing);
}

void ListArea::paintEvent(QPaintEvent *event)
{
    if (m_lines.isEmpty())
        return;
    QPainter painter(this);
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int spacing = lineSpacing();
    const QRect dirty = event->rect();
    const qsizetype first = std::max(0, dirty.top() / spacing);
    const qsizetype last = std::min(m_lines.size() - 1, qsizetype(dirty.bottom() / spacing));
    for (qsizetype i = first; i <= last; ++i)
        painter.drawText(0, int(i * spacing) + metrics.ascent(), m_lines[i]);
}

} // namespace viewer
