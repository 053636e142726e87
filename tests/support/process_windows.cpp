#include "process_windows.h"
#include <cstring>

namespace {

struct CWindowQuery {
    DWORD processId;
    bool visibleOnly;
    LPCSTR className;
    std::vector<HWND> found;
};

bool HasClass(HWND hWnd, LPCSTR className)
{
    char name[64] = {};
    ::GetClassNameA(hWnd, name, sizeof name);
    return std::strcmp(name, className) == 0;
}

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    auto* query = reinterpret_cast<CWindowQuery*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    if (owner == query->processId && (!query->visibleOnly || ::IsWindowVisible(hWnd)) &&
        (!query->className || HasClass(hWnd, query->className)))
        query->found.push_back(hWnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly, LPCSTR className)
{
    CWindowQuery query{processId, visibleOnly, className, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND FindTopLevel(DWORD processId, LPCSTR className, LPCSTR caption, bool visibleOnly)
{
    for (HWND hWnd : TopLevelWindows(processId, visibleOnly, className)) {
        // WM_GETTEXT is marshalled across processes by the system.
        char text[256] = {};
        ::GetWindowTextA(hWnd, text, sizeof text);
        if (!caption || std::strcmp(text, caption) == 0)
            return hWnd;
    }
    return nullptr;
}
