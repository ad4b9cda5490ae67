#pragma once

#include <QFrame>

// Lines one device pixel wide at every scale. At a fractional scale (150 %)
// a line one logical pixel wide may fall between device pixels and vanish,
// as the style's own rules and list frames do; these are drawn with a
// cosmetic pen instead.

// A horizontal rule along the top of its box.
class Rule : public QFrame
{
    Q_OBJECT
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Draws a frame around widget, over whatever the widget draws itself.
void outline(QWidget *widget);
