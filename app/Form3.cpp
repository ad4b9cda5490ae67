#include "app/Form3.h"

#include "widgets/Faces.h"
#include "widgets/Fit.h"
#include "widgets/Twips.h"

#include <QLabel>

Form3::Form3(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About this program"));
    resize(widgets::twips(7050), widgets::twips(3555));

    Label1 = new QLabel(aboutText(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(widgets::twips(360, 240, 6135, 2775));
    Label1->setFont(widgets::face("Arial", 12));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    widgets::fitTexts(this);
}

QString Form3::aboutText()
{
    return QStringLiteral("Vellomar runs on Windows and on Linux desktops and starts the programs you pick "
                          "when you log on, on the weekdays and after the times you choose. "
                          "It is free software: you may use, copy and change it under the terms in license.txt, "
                          "and it comes with no warranty of any kind; you use it at your own risk. "
                          "Questions, ideas and bug reports are welcome through the project's issue tracker. "
                          "Thank you for trying it. - The Vellomar developers, December 2026");
}
