#include "viewer/CaptionButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace viewer {

void CaptionButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    // The frame, background and focus mark as the style draws them; the
    // caption is drawn here, wrapped at word breaks to fit the button.
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect area = rect().marginsRemoved(kCaptionMargins);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, caption);
}

} // namespace viewer
