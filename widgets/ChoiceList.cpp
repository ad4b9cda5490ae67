#include "widgets/ChoiceList.h"

#include <QWheelEvent>

#include <algorithm>

namespace widgets {

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

} // namespace widgets
