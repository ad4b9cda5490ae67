#pragma once

#include <QRect>

class QWidget;

namespace widgets {

// Makes the texts of a window's labels and buttons fit their boxes with the
// faces this system has: a box too small for its text grows to the right,
// then down, just enough and never further over a neighbour or past the
// window's edge (a label in the way moves right where it has room). A box
// whose text fits stays where the form puts it, also where it meets or
// overlaps a neighbour. Call it once the controls of parent are placed and
// have their fonts.
void fitTexts(QWidget *parent);

// Where the form put control, before fitTexts(its parent) fitted it.
QRect formGeometry(const QWidget *control);

// The size the text of a label or button needs at the width it has.
QSize neededSize(const QWidget *control);

} // namespace widgets
