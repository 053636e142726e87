// The start-up bench's baseline: the least a Win32 program with a dialog does,
// one modal dialog from a template, with no application framework, no common
// controls and no COM. startup_bench times its start against corvane.exe's.
#include <windows.h>

namespace {

constexpr int kDialogId = 100;

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return static_cast<int>(::DialogBoxParamA(instance, MAKEINTRESOURCEA(kDialogId), nullptr, DialogProc, 0));
}
