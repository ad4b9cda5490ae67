#include "app/Main.h"

void Main::Command1_Click()
{
}
