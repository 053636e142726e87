#include "e2e_support.h"
#include <commctrl.h>
#include <cstring>
#include "standin/standin_client.h"
#include "tests/support/pump.h"

CString CorvaneExe()
{
    return ModuleRelativePath(CORVANE_RELATIVE_DIR "/corvane.exe");
}

CString StandinExe()
{
    return ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_standin.exe");
}

CString SamplesExe()
{
    return ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe");
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    return PumpMessagesUntil(cond, timeoutMs);
}

// -------------------------------------------------------------------- windows

namespace {

GUITHREADINFO ThreadInfoOf(HWND hWnd)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(hWnd, nullptr), &info))
        info = GUITHREADINFO{};
    return info;
}

}  // namespace

CString WindowText(HWND hWnd)
{
    // WM_GETTEXT is marshalled across processes by the system.
    char text[256] = {};
    ::GetWindowTextA(hWnd, text, sizeof text);
    return CString(text);
}

HWND FocusOfThread(HWND hWnd)
{
    return ThreadInfoOf(hWnd).hwndFocus;
}

HWND CaptureOfThread(HWND hWnd)
{
    return ThreadInfoOf(hWnd).hwndCapture;
}

HWND ActiveOfThread(HWND hWnd)
{
    return ThreadInfoOf(hWnd).hwndActive;
}

bool SendWithin(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs, LRESULT* result)
{
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(hWnd, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &answer))
        return false;
    if (result)
        *result = static_cast<LRESULT>(answer);
    return true;
}

namespace {

struct TextQuery {
    const CString* text;
    bool found;
};

BOOL CALLBACK FindStaticText(HWND hWnd, LPARAM lParam)
{
    auto* query = reinterpret_cast<TextQuery*>(lParam);
    char name[16] = {};
    ::GetClassNameA(hWnd, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0 && WindowText(hWnd) == *query->text) {
        query->found = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND PopupMenuOf(DWORD processId)
{
    for (HWND hWnd : TopLevelWindows(processId)) {
        char name[16] = {};
        ::GetClassNameA(hWnd, name, sizeof name);
        // The system's class of popup menu windows.
        if (std::strcmp(name, "#32768") == 0)
            return hWnd;
    }
    return nullptr;
}

std::vector<HWND> MessageBoxesOf(DWORD processId, const CString& text)
{
    std::vector<HWND> boxes;
    // Hidden ones too: a box exists a moment before it shows.
    for (HWND hWnd : TopLevelWindows(processId, false)) {
        char name[16] = {};
        ::GetClassNameA(hWnd, name, sizeof name);
        if (std::strcmp(name, "#32770") != 0)
            continue;
        TextQuery query{&text, false};
        ::EnumChildWindows(hWnd, FindStaticText, reinterpret_cast<LPARAM>(&query));
        if (query.found)
            boxes.push_back(hWnd);
    }
    return boxes;
}

// ------------------------------------------------------------ CRemoteListView

namespace {

constexpr SIZE_T kRemoteSize = 4096;
constexpr int kTextSize = 256;
// Long enough for any list message; a hung program fails the test instead of
// hanging it.
constexpr UINT kSendTimeoutMs = 5000;

// An item and room for its text, as one block in the other process.
struct RemoteItem {
    LVITEMA item;
    char text[kTextSize];
};
static_assert(sizeof(RemoteItem) <= kRemoteSize, "the remote buffer holds an item and its text");

bool SendBounded(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(hWnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer))
        return false;
    if (result)
        *result = static_cast<LRESULT>(answer);
    return true;
}

}  // namespace

CRemoteListView::CRemoteListView(HWND list) : m_list(list)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(list, &processId);
    m_process.Attach(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (m_process)
        m_remote = ::VirtualAllocEx(m_process.Get(), nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

CRemoteListView::~CRemoteListView()
{
    // The program may have ended already; its memory went with it then.
    if (m_remote)
        ::VirtualFreeEx(m_process.Get(), m_remote, 0, MEM_RELEASE);
}

bool CRemoteListView::Exchange(UINT message, WPARAM wParam, const void* in, size_t inSize, void* out, size_t outSize,
                               LRESULT* result) const
{
    if (!m_remote || inSize > kRemoteSize || outSize > kRemoteSize)
        return false;
    SIZE_T moved = 0;
    if (!::WriteProcessMemory(m_process.Get(), m_remote, in, inSize, &moved) || moved != inSize)
        return false;
    if (!SendBounded(m_list, message, wParam, reinterpret_cast<LPARAM>(m_remote), result))
        return false;
    return !out || (::ReadProcessMemory(m_process.Get(), m_remote, out, outSize, &moved) && moved == outSize);
}

int CRemoteListView::GetCount() const
{
    LRESULT count = -1;
    return SendBounded(m_list, LVM_GETITEMCOUNT, 0, 0, &count) ? static_cast<int>(count) : -1;
}

std::vector<HWND> CRemoteListView::GetWindows() const
{
    std::vector<HWND> windows;
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        LRESULT ok = FALSE;
        if (!Exchange(LVM_GETITEMA, 0, &item, sizeof item, &item, sizeof item, &ok) || !ok)
            windows.push_back(nullptr);
        else
            windows.push_back(reinterpret_cast<HWND>(item.lParam));
    }
    return windows;
}

CString CRemoteListView::GetText(int index) const
{
    RemoteItem block{};
    block.item.mask = LVIF_TEXT;
    block.item.iItem = index;
    block.item.pszText = reinterpret_cast<RemoteItem*>(m_remote)->text;
    block.item.cchTextMax = kTextSize;
    LRESULT ok = FALSE;
    if (!Exchange(LVM_GETITEMA, 0, &block, sizeof block, &block, sizeof block, &ok) || !ok)
        return CString();
    block.text[kTextSize - 1] = '\0';
    return CString(block.text);
}

int CRemoteListView::GetSelected() const
{
    LRESULT index = -1;
    return SendBounded(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED, &index)
               ? static_cast<int>(index)
               : -1;
}

int CRemoteListView::GetSelectedCount() const
{
    LRESULT count = -1;
    return SendBounded(m_list, LVM_GETSELECTEDCOUNT, 0, 0, &count) ? static_cast<int>(count) : -1;
}

bool CRemoteListView::Select(int index)
{
    LVITEMA clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    // Item -1 stands for every item.
    if (!Exchange(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), &clear, sizeof clear, nullptr, 0, nullptr))
        return false;
    LVITEMA set{};
    set.state = LVIS_SELECTED | LVIS_FOCUSED;
    set.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    LRESULT ok = FALSE;
    return Exchange(LVM_SETITEMSTATE, static_cast<WPARAM>(index), &set, sizeof set, nullptr, 0, &ok) && ok;
}

CPoint CRemoteListView::GetLabelCentre(int index) const
{
    RECT rect{};
    rect.left = LVIR_LABEL;
    LRESULT ok = FALSE;
    if (!Exchange(LVM_GETITEMRECT, static_cast<WPARAM>(index), &rect, sizeof rect, &rect, sizeof rect, &ok) || !ok)
        return CPoint(-1, -1);
    CPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::ClientToScreen(m_list, &centre);
    return centre;
}
