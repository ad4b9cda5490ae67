// zeptra.com: clears the collected data of the current folder.
#include "companions/common/ClearData.h"
#include "companions/common/CompanionMain.h"

int main(int argc, char *argv[])
{
    return companion::companionMain(
        argc, argv,
        {QStringLiteral("zeptra.com"),
         QStringLiteral("Removes the entry files (Mon2.dat ...) and the day list files datmon.dat ... datsun.dat.")},
        companion::clearData);
}
