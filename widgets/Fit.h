#pragma once

#include <QSize>

class QWidget;

namespace widgets {

// Makes the texts of a window's labels and buttons fit their boxes with the
// faces this system has: a box too small for its text grows to the right,
// then down, just enough and never over a neighbour or past the window's
// edge (a label in the way moves right where it has room); a box that
// reaches into a neighbour, with room to spare for its text, ends where that
// neighbour begins. Call it once the controls of parent are placed and have
// their fonts.
void fitTexts(QWidget *parent);

// The size the text of a label or button needs at the width it has.
QSize neededSize(const QWidget *control);

} // namespace widgets
