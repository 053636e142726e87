#include "framework/app.h"

// Linked into the program only: test executables bring their own main.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(instance);
}
