#include "app/Main.h"

void Main::Command5_Click()
{
}
