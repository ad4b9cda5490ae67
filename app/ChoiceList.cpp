#include "app/ChoiceList.h"

#include "viewer/Faces.h"

#include <QApplication>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>

namespace {

// The item's text from the glyphs' outlines where the system's glyph images
// would lose parts of it (viewer::textFromOutlines); the rest as the style
// draws it.
class OutlineText : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (!viewer::textFromOutlines())
            return QStyledItemDelegate::paint(painter, option, index);
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        const QStyle *style = item.widget ? item.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        const QRectF area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget).adjusted(2, 0, 0, 0);
        const QFontMetricsF metrics(item.font);
        painter->save();
        painter->setClipRect(area);
        painter->setFont(item.font);
        // Windows' item views write a selected item in the text colour on a light highlight.
        painter->setPen(item.palette.color(QPalette::Text));
        viewer::drawText(*painter, {area.left(), area.center().y() + (metrics.ascent() - metrics.descent()) / 2}, text);
        painter->restore();
    }
};

} // namespace

ChoiceList::ChoiceList(QWidget *parent)
    : QListWidget(parent)
{
    setItemDelegate(new OutlineText(this));
}

QItemSelectionModel::SelectionFlags ChoiceList::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    const QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
    // Nothing under the pointer, or a command that would leave no item
    // selected: the selection stays as it is.
    if (!index.isValid() || flags.testAnyFlags(QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::NoUpdate;
    return flags;
}

void ChoiceList::wheelEvent(QWheelEvent *event)
{
    // A notch is 120; touchpads send smaller steps, which add up.
    m_wheel += event->angleDelta().y();
    const int steps = m_wheel / 120;
    m_wheel -= steps * 120;
    event->accept();
    if (steps == 0 || count() == 0)
        return;
    const int row = std::clamp(currentRow() - steps, 0, count() - 1);
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(row), QAbstractItemView::PositionAtTop);
}
