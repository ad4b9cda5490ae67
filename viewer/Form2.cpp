#include "viewer/Form2.h"

Form2::Form2(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Program to be Run"));
}
