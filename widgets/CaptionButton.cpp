#include "widgets/CaptionButton.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace widgets {

namespace {

int ink(const QFont &font, qreal ratio)
{
    const QString sample = QStringLiteral("Wednesday");
    QImage picture(QFontMetrics(font).boundingRect(sample).size().grownBy({2, 2, 2, 2}) * ratio,
                   QImage::Format_Grayscale8);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setFont(font);
    painter.drawText(QRectF(QPointF(0, 0), picture.deviceIndependentSize()), Qt::AlignCenter, sample);
    painter.end();
    int dark = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (const uchar *pixel = picture.constScanLine(y), *end = pixel + picture.width(); pixel < end; ++pixel)
            dark += *pixel < 128;
    return dark;
}

// Whether font's bold is drawn heavier than its regular at a device pixel
// ratio. Some faces have no bold strokes at every size: Wine's Tahoma Bold
// is the regular outline set wider apart, bold only in its bitmap sizes.
bool boldIsHeavier(QFont font, qreal ratio)
{
    static QHash<QString, bool> known;
    const QString key = font.key() + QString::number(ratio);
    if (const auto found = known.constFind(key); found != known.cend())
        return *found;
    const int bold = ink(font, ratio);
    font.setBold(false);
    return known[key] = bold > ink(font, ratio) * 11 / 10;
}

} // namespace

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
    // A bold the face does not draw is made as Windows makes it for faces
    // without a bold: the caption again, a device pixel to the right.
    const qreal ratio = devicePixelRatioF();
    if (font().bold() && !boldIsHeavier(font(), ratio))
        painter.drawText(QRectF(area).translated(1 / ratio, 0), Qt::AlignCenter | Qt::TextWordWrap, caption);
}

} // namespace widgets
