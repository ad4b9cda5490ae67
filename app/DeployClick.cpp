#include "app/Main.h"

void Main::Command3_Click()
{
}
