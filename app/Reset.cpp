#include "app/Main.h"
#include "schedule/Companions.h"

#include <QCheckBox>

// Reset/Clear List: unticks the seven day boxes, puts the time and run style
// lists back, then has zeptra.com clear the collected data. The entry
// counter, the program of the last pick and the browser keep their state, so
// entry numbers carry on after a reset.
void Main::Command5_Click()
{
    for (qint16 i = 0; i <= 6; ++i) {
        Check1[size_t(i)]->setChecked(false);
        // The lists are set again in each of the seven passes, on purpose: the same end state as once after.
        setTimeAndStyle(QStringLiteral("AM"));
    }
    startHidden(schedule::kClearProgram);
}
