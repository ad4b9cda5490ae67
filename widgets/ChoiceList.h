#pragma once

#include <QListWidget>

namespace widgets {

// A list of fixed choices that, once one is selected, always keeps exactly
// one selected, as the platform's single-selection list boxes do: Ctrl+click
// or Ctrl+Space on the selected item does not clear it. A click and the
// arrow keys move the selection, and so does the wheel, one item a notch, so
// that the item in view is always the one selected.
class ChoiceList : public QListWidget
{
    Q_OBJECT
public:
    using QListWidget::QListWidget;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    void wheelEvent(QWheelEvent *event) override;

private:
    int m_wheel = 0; // eighths of a degree not yet turned into a step
};

} // namespace widgets
