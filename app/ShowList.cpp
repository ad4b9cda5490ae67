#include "app/Main.h"

void Main::Command2_Click()
{
}
