#include "app/Browser.h"
#include "app/Main.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Trust.h"
#include "schedule/Companions.h"
#include "schedule/DayTable.h"
#include "schedule/Pick.h"
#include "schedule/Time24.h"

#include <QCheckBox>
#include <QDir>
#include <QListWidget>

namespace {

bool ticked(const QCheckBox *box)
{
    return box->checkState() == Qt::Checked;
}

} // namespace

// Pick Program: one entry file in the working folder for every ticked day,
// all under one entry number, then the form is set for the next pick.
void Main::Command1_Click()
{
    // The counter rises once for every day up to the first ticked one.
    int first = -1;
    for (int i = 0; i < schedule::kDayCount && first < 0; ++i) {
        Text4->setText(QString::number(Text4->text().toLongLong() + 1));
        if (ticked(Check1[i]))
            first = i;
    }
    if (first < 0)
        return;

    if (File1->fileName().isEmpty()) {
        m_services.prompter.tell(QStringLiteral("You didn't select any file, please make a selection"));
        return;
    }

    schedule::Pick pick;
    for (int k = 0; k < schedule::kDayCount; ++k)
        pick.days[k] = ticked(Check1[k]);
    pick.path = platform::joinPath(Dir1->path(), File1->fileName());
    pick.hour = listText(List2);
    pick.minute = listText(List3);
    pick.amPm = listText(List1);
    pick.runStyle = listText(List4);
    Text1->setText(pick.path);
    Text3->setText(schedule::hour24(pick.hour, pick.amPm));

    // An entry the launcher would refuse at logon is never written: the user
    // learns why now, not by a program that silently does not start.
    if (const auto checked = platform::startableProgram(pick.path, schedule::ownPrograms()); !checked) {
        m_services.prompter.tell(
            QStringLiteral("Rendaro would not start %1 at logon: %2. Nothing was written for this pick.")
                .arg(pick.path, checked.reason()));
        return;
    }

    // Entry files of an earlier run keep their names: the counter moves up
    // past every number the pick would reuse.
    // By bare names in the working folder: its full name as text may not
    // lead back to it.
    const schedule::PickOutcome outcome = schedule::writePick(QDir(), pick, Text4->text().toLongLong());
    Text4->setText(QString::number(outcome.number));

    switch (outcome.status) {
    case schedule::PickOutcome::Written:
        break;
    case schedule::PickOutcome::Refused:
        m_services.prompter.tell(outcome.failure.reason);
        return;
    case schedule::PickOutcome::WriteFailed: {
        const QString done =
            outcome.written.isEmpty()
                ? QStringLiteral("No entry file of this pick was written.")
                : QStringLiteral("Already written for this pick: %1.").arg(schedule::dayNames(outcome.written));
        m_services.prompter.tell(QStringLiteral("The entry file %1 could not be written: %2.\n%3")
                                     .arg(outcome.failedFile, outcome.failure.reason, done));
        return;
    }
    }

    m_services.prompter.tell(QStringLiteral("Program Picked, Next one Please"));

    for (QCheckBox *box : Check1)
        box->setCheckState(Qt::Checked);
    setTimeAndStyle(QStringLiteral("AM"));
}
