#pragma once
// The top-level windows of another process, as tests and benches look for
// what it opened.
#include <windows.h>
#include <vector>

// The top-level windows of a process in Z order, visible ones only unless
// asked, of this class only when one is named.
std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly = true, LPCSTR className = nullptr);
// The first of them with this class and caption (null: any), among its visible
// ones unless asked; null when there is none.
HWND FindTopLevel(DWORD processId, LPCSTR className, LPCSTR caption, bool visibleOnly = true);
