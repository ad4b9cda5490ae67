#pragma once

#include <QWidget>

// The day list viewer, "Program to be Run".
class Form2 : public QWidget
{
    Q_OBJECT
public:
    explicit Form2(QWidget *parent = nullptr);
};
