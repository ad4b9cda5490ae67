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

// Whether control may take in strip, the row or column of pixels beside its
// box: the strip lies in the window and meets no other control. A box that
// the form lets meet its neighbour keeps meeting it and reaches no further.
bool freeStrip(const QWidget *control, const QRect &strip, const QList<QWidget *> &neighbours)
{
    if (!control->parentWidget()->rect().contains(strip))
        return false;
    return std::none_of(neighbours.cbegin(), neighbours.cend(),
                        [&](const QWidget *n) { return n != control && n->geometry().intersects(strip); });
}

// Makes room for strip by moving the labels in its way a pixel to the right,
// where each has a free strip to go to and its text still fits.
bool pushRight(const QWidget *control, const QRect &strip, const QList<QWidget *> &neighbours)
{
    QList<QWidget *> inWay;
    for (QWidget *n : neighbours)
        if (n != control && n->geometry().intersects(strip)) {
            const QRect box = n->geometry();
            if (!qobject_cast<QLabel *>(n)
                || !freeStrip(n, QRect(box.right() + 1, box.top(), 1, box.height()), neighbours))
                return false;
            inWay << n;
        }
    for (QWidget *n : std::as_const(inWay))
        n->move(n->x() + 1, n->y());
    return !inWay.isEmpty();
}

constexpr char kFormGeometry[] = "formGeometry";

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
        return metrics.boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, button->text())
            .size()
            .grownBy(kButtonMargins);
    }
    return control->size();
}

void fitTexts(QWidget *parent)
{
    QList<QWidget *> neighbours;
    for (QWidget *w : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (isControl(w)) {
            neighbours.append(w);
            w->setProperty(kFormGeometry, w->geometry());
        }
    for (QWidget *w : std::as_const(neighbours)) {
        auto *label = qobject_cast<QLabel *>(w);
        if (!label && !qobject_cast<QPushButton *>(w))
            continue;
        // Wider, a pixel at a time, while the text wants more width; taller
        // while it wants more height; a wrapped label also wider for fewer
        // lines where it cannot grow taller.
        const bool wraps = label && label->wordWrap();
        for (;;) {
            const QSize need = neededSize(w);
            const QRect box = w->geometry();
            const QRect right(box.right() + 1, box.top(), 1, box.height());
            const QRect below(box.left(), box.bottom() + 1, box.width(), 1);
            if (need.width() > box.width() && (freeStrip(w, right, neighbours) || pushRight(w, right, neighbours)))
                w->setGeometry(box.united(right));
            else if (need.height() > box.height() && freeStrip(w, below, neighbours))
                w->setGeometry(box.united(below));
            else if (need.height() > box.height() && wraps && freeStrip(w, right, neighbours))
                w->setGeometry(box.united(right));
            else
                break;
        }
    }
}

QRect formGeometry(const QWidget *control)
{
    return control->property(kFormGeometry).toRect();
}

} // namespace widgets
