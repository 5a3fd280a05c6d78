// Entry point. The start-up sequence (relaunch, single instance, launcher)
// is being built; until then the program ends at once.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
