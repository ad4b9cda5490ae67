// zeptra.com: clears the collected data of the current folder.
#include "companions/common/ClearData.h"
#include "companions/common/CompanionMain.h"
#include "schedule/Companions.h"

int main(int argc, char *argv[])
{
    return companion::companionMain(
        argc, argv,
        {schedule::kClearProgram,
         QStringLiteral("Removes the entry files (Mon2.dat ...) and the day list files datmon.dat ... datsun.dat.")},
        companion::clearData);
}
