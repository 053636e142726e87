#include "standin/standin_client.h"
#include <cstring>

namespace {

// The stand-in tray that belongs to process id, or NULL.
HWND FindTrayOf(DWORD processId)
{
    for (HWND tray = ::FindWindowExA(nullptr, nullptr, kStandinTrayClass, nullptr); tray;
         tray = ::FindWindowExA(nullptr, tray, kStandinTrayClass, nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(tray, &owner);
        if (owner == processId &&
            reinterpret_cast<ULONG_PTR>(::GetPropA(tray, kStandinTrayProperty)) == kStandinTrayMagic)
            return tray;
    }
    return nullptr;
}

}  // namespace

CString ModuleRelativePath(LPCSTR relative)
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return CString(relative);
    char* slash = std::strrchr(path, '\\');
    CString result(path, slash ? static_cast<int>(slash - path + 1) : 0);
    for (const char* p = relative; *p; ++p)
        result += *p == '/' ? '\\' : *p;
    return result;
}

// ------------------------------------------------------------ CStandinClient

bool CStandinClient::Request(const char* name, WPARAM wParam, LPARAM lParam, LRESULT* result) const
{
    return StandinRequest(m_tray, name, wParam, lParam, result);
}

HWND CStandinClient::GetButtonHost() const
{
    HWND rebar = ::FindWindowExA(m_tray, nullptr, "RebarWindow32", nullptr);
    HWND switcher = ::FindWindowExA(rebar ? rebar : m_tray, nullptr, "MSTaskSwWClass", nullptr);
    if (HWND tabs = ::FindWindowExA(switcher, nullptr, "SysTabControl32", nullptr))
        return tabs;
    return ::FindWindowExA(switcher, nullptr, "ToolbarWindow32", nullptr);
}

int CStandinClient::GetButtonCount() const
{
    LRESULT count = 0;
    return Request(kStandinMsgButtonCount, 0, 0, &count) ? static_cast<int>(count) : -1;
}

HWND CStandinClient::GetButtonWindow(int index) const
{
    LRESULT window = 0;
    return Request(kStandinMsgButtonWindow, static_cast<WPARAM>(index), 0, &window) ? reinterpret_cast<HWND>(window)
                                                                                    : nullptr;
}

std::vector<HWND> CStandinClient::GetButtons() const
{
    std::vector<HWND> buttons;
    const int count = GetButtonCount();
    for (int i = 0; i < count; ++i)
        buttons.push_back(GetButtonWindow(i));
    return buttons;
}

std::vector<CStandinClient::CCall> CStandinClient::GetCalls() const
{
    std::vector<CCall> calls;
    LRESULT count = 0;
    if (!Request(kStandinMsgCallCount, 0, 0, &count))
        return calls;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT op = 0, window = 0, result = 0;
        const WPARAM index = static_cast<WPARAM>(i);
        Request(kStandinMsgCallOp, index, 0, &op);
        Request(kStandinMsgCallWindow, index, 0, &window);
        Request(kStandinMsgCallResult, index, 0, &result);
        calls.push_back(CCall{static_cast<StandinOp>(op), reinterpret_cast<HWND>(window), static_cast<HRESULT>(result)});
    }
    return calls;
}

int CStandinClient::GetCallCount() const
{
    LRESULT count = 0;
    return Request(kStandinMsgCallCount, 0, 0, &count) ? static_cast<int>(count) : -1;
}

LONG CStandinClient::GetHostQueries() const
{
    LRESULT count = 0;
    return Request(kStandinMsgHostQueries, 0, 0, &count) ? static_cast<LONG>(count) : -1;
}

void CStandinClient::ClearLog() const
{
    Request(kStandinMsgClearLog, 0, 0, nullptr);
}

void CStandinClient::FailActivate(HWND hWnd, bool fail) const
{
    Request(kStandinMsgFailActivate, reinterpret_cast<WPARAM>(hWnd), fail ? TRUE : FALSE, nullptr);
}

int CStandinClient::Rescan() const
{
    LRESULT count = 0;
    return Request(kStandinMsgRescan, 0, 0, &count) ? static_cast<int>(count) : -1;
}

std::vector<CStandinClient::CNotifyIcon> CStandinClient::GetNotifyIcons() const
{
    std::vector<CNotifyIcon> icons;
    LRESULT count = 0;
    if (!Request(kStandinMsgIconCount, 0, 0, &count))
        return icons;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT window = 0, owner = 0, id = 0;
        const WPARAM index = static_cast<WPARAM>(i);
        Request(kStandinMsgIconWindow, index, 0, &window);
        Request(kStandinMsgIconOwner, index, 0, &owner);
        Request(kStandinMsgIconId, index, 0, &id);
        // Read without a message, so that a hung stand-in cannot hang the caller.
        char tip[256] = {};
        ::GetWindowTextA(reinterpret_cast<HWND>(window), tip, sizeof tip);
        icons.push_back(CNotifyIcon{reinterpret_cast<HWND>(window), reinterpret_cast<HWND>(owner),
                                    static_cast<UINT>(id), tip});
    }
    return icons;
}

// ----------------------------------------------------------- CStandinProcess

bool CStandinProcess::Start(LPCSTR exe, LPCSTR arguments, DWORD timeoutMs)
{
    Stop();
    if (!m_process.Start(exe, arguments))
        return false;
    const DWORD start = ::GetTickCount();
    while (!(m_tray = FindTrayOf(m_process.GetId()))) {
        if (m_process.WaitForExit(20) || ::GetTickCount() - start > timeoutMs)
            return false;
    }
    return true;
}

DWORD CStandinProcess::Stop(DWORD timeoutMs)
{
    if (!m_process.GetProcess())
        return STILL_ACTIVE;
    if (m_tray && ::IsWindow(m_tray))
        ::PostMessageA(m_tray, WM_CLOSE, 0, 0);
    m_process.WaitForExit(timeoutMs);
    m_tray = nullptr;
    return m_process.Terminate();
}
