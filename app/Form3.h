#pragma once

#include <QWidget>

class QLabel;

// The About window: one paragraph about the program.
class Form3 : public QWidget
{
    Q_OBJECT
public:
    explicit Form3(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;

    static QString aboutText();
};
