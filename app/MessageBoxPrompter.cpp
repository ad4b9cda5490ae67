#include "app/MessageBoxPrompter.h"

#include <QApplication>
#include <QMessageBox>

qint16 MessageBoxPrompter::show(const QString &prompt, platform::Buttons buttons)
{
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), prompt, QMessageBox::NoButton,
                    QApplication::activeWindow());
    if (buttons == platform::Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return platform::AnswerOk;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return platform::AnswerYes;
    case QMessageBox::No:
        return platform::AnswerNo;
    default:
        return platform::AnswerCancel; // Cancel, Escape, the close button
    }
}
