// brinol.com: gathers the entry files of the current folder into its seven
// day list files.
#include "companions/common/CompanionMain.h"
#include "companions/common/GatherDayLists.h"
#include "schedule/Companions.h"

int main(int argc, char *argv[])
{
    return companion::companionMain(
        argc, argv,
        {schedule::kGatherProgram,
         QStringLiteral("Gathers the entry files (Mon2.dat ...) into the day list files datmon.dat ... datsun.dat.")},
        companion::gatherDayLists);
}
