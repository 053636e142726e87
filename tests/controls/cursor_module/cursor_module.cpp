// A module whose code refuses to be loaded, carrying the hand cursor's
// resource id: the link label must read the cursor from the file without
// running anything in it, as it must from a help program of the other
// bitness or one whose imports this system lacks.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
}
