#include "widgets/Fit.h"

#include "widgets/CaptionButton.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace widgets {

namespace {

// Room kept after a label's text.
constexpr int kLabelGap = 4;

// Room that a button keeps around its caption, as CaptionButton draws it.
constexpr QMargins kButtonMargins = CaptionButton::kCaptionMargins;

bool isControl(const QWidget *w)
{
    return w->isVisibleTo(w->parentWidget()) && !w->testAttribute(Qt::WA_TransparentForMouseEvents)
           && (qobject_cast<const QLabel *>(w) || qobject_cast<const QAbstractButton *>(w)
               || qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QComboBox *>(w));
}

// The box of control at the given width and height, and whether a
// neighbour or the window's edge is in the way.
bool freeAt(const QWidget *control, const QRect &box, const QList<QWidget *> &neighbours)
{
    if (!control->parentWidget()->rect().contains(box))
        return false;
    return std::none_of(neighbours.cbegin(), neighbours.cend(),
                        [&](const QWidget *n) { return n != control && n->geometry().intersects(box); });
}

// Makes room for box by moving the labels in its way a pixel to the right,
// where each has room to go and its text still fits.
bool pushRight(const QWidget *control, const QRect &box, const QList<QWidget *> &neighbours)
{
    QList<QWidget *> inWay;
    for (QWidget *n : neighbours)
        if (n != control && n->geometry().intersects(box)) {
            const QRect moved = n->geometry().translated(1, 0);
            if (!qobject_cast<QLabel *>(n) || !freeAt(n, moved, neighbours))
                return false;
            inWay << n;
        }
    for (QWidget *n : std::as_const(inWay))
        n->move(n->x() + 1, n->y());
    return !inWay.isEmpty();
}

} // namespace

QSize neededSize(const QWidget *control)
{
    const QFontMetrics metrics(control->font());
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        const QRect area = label->contentsRect();
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect text = metrics.boundingRect(QRect(0, 0, label->wordWrap() ? area.width() : 1 << 20, 1 << 20), flags,
                                                label->text());
        // A few pixels' room after the text, so that it does not run into the next control.
        return text.size() + (label->size() - area.size()) + QSize(kLabelGap, 0);
    }
    if (const auto *button = qobject_cast<const QPushButton *>(control)) {
        const QRect area = button->rect().marginsRemoved(kButtonMargins);
        return metrics.boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, button->text()).size().grownBy(kButtonMargins);
    }
    return control->size();
}

void fitTexts(QWidget *parent)
{
    QList<QWidget *> neighbours;
    for (QWidget *w : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (isControl(w))
            neighbours.append(w);
    for (QWidget *w : std::as_const(neighbours)) {
        auto *label = qobject_cast<QLabel *>(w);
        if (!label && !qobject_cast<QPushButton *>(w))
            continue;
        // A box that reaches into a neighbour where its text does not need the
        // room ends where the neighbour begins.
        QRect box = w->geometry();
        for (const QWidget *n : std::as_const(neighbours)) {
            const QRect other = n->geometry();
            if (n == w || !other.intersects(box))
                continue;
            if (other.left() > box.left() && other.left() - box.left() >= neededSize(w).width())
                box.setRight(other.left() - 1);
            else if (other.top() > box.top() && other.top() - box.top() >= neededSize(w).height())
                box.setBottom(other.top() - 1);
        }
        w->setGeometry(box);
        // Then wider, a pixel at a time, while the text wants more width;
        // taller while it wants more height; a wrapped label also wider for
        // fewer lines where it cannot grow taller.
        const bool wraps = label && label->wordWrap();
        for (;;) {
            const QSize need = neededSize(w);
            const QRect wider = box.adjusted(0, 0, 1, 0), taller = box.adjusted(0, 0, 0, 1);
            if (need.width() > box.width() && (freeAt(w, wider, neighbours) || pushRight(w, wider, neighbours)))
                box = wider;
            else if (need.height() > box.height() && freeAt(w, taller, neighbours))
                box = taller;
            else if (need.height() > box.height() && wraps && freeAt(w, wider, neighbours))
                box = wider;
            else
                break;
            w->setGeometry(box);
        }
    }
}

} // namespace widgets
