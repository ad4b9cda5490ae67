#include "app/Lines.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

namespace {

// The part of widget, in its own coordinates, that whole device pixels
// cover. At a fractional scale a widget may begin half a device pixel into
// one (its window places it at 21 logical pixels, 31.5 device pixels), and
// a line drawn on its very edge then falls outside what it may paint.
QRectF wholePixels(const QWidget *widget)
{
    const qreal scale = widget->devicePixelRatioF();
    const QPointF origin = widget->mapTo(widget->window(), QPointF(0, 0));
    const auto first = [scale](qreal at) { return std::ceil(at * scale - 1e-6) / scale - at; };
    const auto last = [scale](qreal at, qreal length) {
        return std::floor((at + length) * scale + 1e-6) / scale - 1 / scale - at;
    };
    return QRectF(QPointF(first(origin.x()), first(origin.y())),
                  QPointF(last(origin.x(), widget->width()), last(origin.y(), widget->height())));
}

} // namespace

void Rule::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    const QRectF line = wholePixels(this);
    painter.drawLine(line.topLeft(), line.topRight());
}

namespace {

// A see-through child that covers its parent and draws only the frame.
class Outline : public QWidget
{
public:
    explicit Outline(QWidget *framed)
        : QWidget(framed)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        framed->installEventFilter(this);
        setGeometry(framed->rect());
        raise();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return false;
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Dark), 0));
        painter.drawRect(wholePixels(this));
    }
};

} // namespace

void outline(QWidget *widget)
{
    new Outline(widget);
}
