// The four ways the engine reaches the shell's taskbar: window look-up for the
// button host, and one TaskbarList object per call for the button operations.
#include "engine/task_button_list.h"
#include "framework/comptr.h"
#include <objbase.h>
#include <shobjidl.h>

namespace {

// The shell's TaskbarList class and its interface. Written out here rather than
// linked from libuuid: the program needs these two and nothing else of it.
constexpr CLSID kClsidTaskbarList = {0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
constexpr IID kIidTaskbarList = {0x56FDF342, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};

// Either context will do: the shell may serve TaskbarList in process or from
// its own process.
constexpr DWORD kTaskbarListContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;

// Runs one ITaskbarList operation on an object that lives for this call only,
// so that no reference to the shell outlives it (the shell may restart).
// A missing window or object is reported as a failure HRESULT.
template <class Operation>
HRESULT CallTaskbarList(HWND hWnd, Operation operation)
{
    if (!hWnd)
        return E_INVALIDARG;
    CComPtr<ITaskbarList> taskbar;
    const HRESULT created = taskbar.CoCreateInstance(kClsidTaskbarList, kTaskbarListContext, kIidTaskbarList);
    if (FAILED(created))
        return created;
    if (!taskbar)
        return E_POINTER;
    // The object is usable whatever HrInit answers; the operation's own result decides.
    taskbar->HrInit();
    return operation(*taskbar.Get(), hWnd);
}

}  // namespace

HWND CTaskButtonList::FindButtonHost()
{
    HWND tray = ::FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr);
    HWND rebar = ::FindWindowExA(tray, nullptr, "RebarWindow32", nullptr);
    // Some shells put the task switcher straight under the tray.
    HWND switcher = ::FindWindowExA(rebar ? rebar : tray, nullptr, "MSTaskSwWClass", nullptr);
    if (HWND tabs = ::FindWindowExA(switcher, nullptr, "SysTabControl32", nullptr))
        return tabs;
    return ::FindWindowExA(switcher, nullptr, "ToolbarWindow32", nullptr);
}

int CTaskButtonList::CountButtons(HWND host)
{
    char className[32] = {};
    ::GetClassNameA(host, className, sizeof className);
    UINT message = 0;
    if (lstrcmpiA(className, "SysTabControl32") == 0)
        message = TCM_GETITEMCOUNT;
    else if (lstrcmpiA(className, "ToolbarWindow32") == 0)
        message = TB_BUTTONCOUNT;
    else
        return -1;
    // The host belongs to the shell's process, which may be busy starting:
    // a hung shell is not waited for.
    DWORD_PTR count = 0;
    if (!::SendMessageTimeoutA(host, message, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 500, &count))
        return -1;
    return static_cast<int>(count);
}

bool CTaskButtonList::ActivateTab(HWND hWnd)
{
    return SUCCEEDED(CallTaskbarList(hWnd, [](ITaskbarList& taskbar, HWND h) { return taskbar.ActivateTab(h); }));
}

bool CTaskButtonList::AddTab(HWND hWnd)
{
    return SUCCEEDED(CallTaskbarList(hWnd, [](ITaskbarList& taskbar, HWND h) { return taskbar.AddTab(h); }));
}

bool CTaskButtonList::DeleteTab(HWND hWnd)
{
    return CallTaskbarList(hWnd, [](ITaskbarList& taskbar, HWND h) { return taskbar.DeleteTab(h); }) == S_OK;
}
