#include "standin/task_buttons.h"
#include <commctrl.h>
#include <psapi.h>
#include <iterator>
#include "framework/handles.h"

namespace {

constexpr int kIconSize = 16;
// Titles are read as the system keeps them, in this many characters at most.
constexpr int kTitleChars = 256;

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

}  // namespace

CTaskButtons::CTaskButtons(CButtonHost& host, DWORD ownProcess, bool grouping)
    : m_host(host), m_ownProcess(ownProcess), m_grouping(grouping)
{
    m_images.Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 8, 8);
    // A shared system icon: the image list copies it, nobody destroys it.
    HICON fallback = static_cast<HICON>(
        ::LoadImageA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */, IMAGE_ICON, kIconSize, kIconSize, LR_SHARED));
    ::ImageList_ReplaceIcon(m_images, -1, fallback);
    m_host.SetImageList(m_images);
}

CTaskButtons::~CTaskButtons()
{
    // The host may outlive the model for a moment; it must not draw from a
    // destroyed image list.
    if (::IsWindow(m_host.GetSafeHwnd()))
        m_host.SetImageList(nullptr);
}

bool CTaskButtons::IsTaskWindow(HWND hWnd)
{
    if (!hWnd || !::IsWindowVisible(hWnd))
        return false;
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_EXSTYLE));
    bool task;
    if (exStyle & WS_EX_APPWINDOW)
        task = true;
    else if (exStyle & WS_EX_TOOLWINDOW)
        task = false;
    else
        task = ::GetWindow(hWnd, GW_OWNER) == nullptr;
    return task && !ReadTitle(hWnd).IsEmpty();
}

HWND CTaskButtons::GetWindowAt(int index) const
{
    return index >= 0 && index < GetCount() ? m_buttons[static_cast<size_t>(index)].hWnd : nullptr;
}

int CTaskButtons::Find(HWND hWnd) const
{
    if (!hWnd)
        return -1;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].hWnd == hWnd)
            return static_cast<int>(i);
    }
    return -1;
}

bool CTaskButtons::IsOwnWindow(HWND hWnd) const
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(hWnd, &process);
    return m_ownProcess != 0 && process == m_ownProcess;
}

bool CTaskButtons::IsValidTarget(HWND hWnd) const
{
    return hWnd && ::IsWindow(hWnd) && !IsOwnWindow(hWnd);
}

bool CTaskButtons::HasButtonOrTakenOff(HWND hWnd) const
{
    return Find(hWnd) >= 0 || m_takenOff.count(hWnd) != 0;
}

HRESULT CTaskButtons::AddTab(HWND hWnd)
{
    if (!IsValidTarget(hWnd))
        return E_INVALIDARG;
    // Windows that appeared before this one and are not yet known come first,
    // as they would on a shell that hears of every window at once.
    if (!HasButtonOrTakenOff(hWnd))
        Scan();
    m_takenOff.erase(hWnd);
    if (Find(hWnd) < 0)
        Append(hWnd);
    return S_OK;
}

HRESULT CTaskButtons::DeleteTab(HWND hWnd)
{
    if (!IsValidTarget(hWnd))
        return E_INVALIDARG;
    m_takenOff.insert(hWnd);
    if (const int index = Find(hWnd); index >= 0)
        RemoveAt(index);
    return S_OK;
}

HRESULT CTaskButtons::ActivateTab(HWND hWnd)
{
    if (!IsValidTarget(hWnd))
        return E_INVALIDARG;
    if (m_failEveryActivate || m_failActivate.count(hWnd))
        return E_FAIL;
    if (!HasButtonOrTakenOff(hWnd))
        Scan();
    // A window without a button leaves no button active, so that a probe of
    // the focused position never finds another window's button there.
    m_active = Find(hWnd) >= 0 ? hWnd : nullptr;
    ShowActive();
    return S_OK;
}

void CTaskButtons::SetActivateFailure(HWND hWnd, bool fail)
{
    if (!fail) {
        m_failActivate.clear();
        m_failEveryActivate = false;
    } else if (hWnd) {
        m_failActivate.insert(hWnd);
    } else {
        m_failEveryActivate = true;
    }
}

void CTaskButtons::Scan()
{
    for (int i = GetCount() - 1; i >= 0; --i) {
        if (!::IsWindow(m_buttons[static_cast<size_t>(i)].hWnd))
            RemoveAt(i);
    }
    // A handle of a destroyed window may come back for a new one.
    for (auto* set : {&m_takenOff, &m_failActivate}) {
        for (auto it = set->begin(); it != set->end();)
            it = ::IsWindow(*it) ? std::next(it) : set->erase(it);
    }
    for (int i = 0; i < GetCount(); ++i) {
        if (Follow(i))
            m_host.UpdateButton(i, m_buttons[static_cast<size_t>(i)].title, m_buttons[static_cast<size_t>(i)].image);
    }

    const std::vector<HWND> windows = TopLevelWindows();
    // The enumeration runs from the top of the z-order down, and a new window
    // opens on top: the bottom-most new window is the one that appeared first.
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        AppendIfNew(*it);
}

void CTaskButtons::AddExisting()
{
    // A shell that starts knows nothing of when the windows opened: it gives
    // them their buttons in the order the system lists them.
    for (HWND hWnd : TopLevelWindows())
        AppendIfNew(hWnd);
}

std::vector<HWND> CTaskButtons::TopLevelWindows()
{
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void CTaskButtons::AppendIfNew(HWND hWnd)
{
    if (!HasButtonOrTakenOff(hWnd) && !IsOwnWindow(hWnd) && IsTaskWindow(hWnd))
        Append(hWnd);
}

void CTaskButtons::Append(HWND hWnd)
{
    CString program = m_grouping ? ProgramOf(hWnd) : CString();
    const int index = PlaceFor(program);
    m_buttons.insert(m_buttons.begin() + index, CButton{hWnd, CString(), nullptr, kDefaultImage, program});
    Follow(index);
    const CButton& added = m_buttons[static_cast<size_t>(index)];
    m_host.InsertButton(index, added.title, added.image);
    ShowActive();
}

int CTaskButtons::PlaceFor(const CString& program) const
{
    // A taskbar that groups similar buttons keeps the buttons of one program
    // together: a new one goes right after the last button of its program,
    // and a program's first one at the end. It does so for every button it
    // adds, whether for a window that opened or for AddTab, so that a run of
    // buttons taken off and added back lands at the end of its program's
    // buttons, not of the taskbar. (Where a group collapses into one button
    // the order of the groups and inside each stays; the stand-in never
    // collapses.)
    if (!program.IsEmpty()) {
        for (int i = GetCount() - 1; i >= 0; --i) {
            if (m_buttons[static_cast<size_t>(i)].program == program)
                return i + 1;
        }
    }
    return GetCount();
}

CString CTaskButtons::ProgramOf(HWND hWnd)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    const CHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    char path[MAX_PATH] = {};
    const DWORD length = process ? ::GetModuleFileNameExA(process.Get(), nullptr, path, MAX_PATH) : 0;
    if (length == 0 || length >= MAX_PATH)
        return CString();
    ::CharLowerBuffA(path, length);
    return CString(path, static_cast<int>(length));
}

void CTaskButtons::RemoveAt(int index)
{
    const CButton removed = m_buttons[static_cast<size_t>(index)];
    m_buttons.erase(m_buttons.begin() + index);
    m_host.DeleteButton(index);
    ReleaseImage(removed.image);
    if (removed.hWnd == m_active)
        m_active = nullptr;
    ShowActive();
}

bool CTaskButtons::Follow(int index)
{
    CButton& button = m_buttons[static_cast<size_t>(index)];
    bool changed = false;
    if (CString title = ReadTitle(button.hWnd); title != button.title) {
        button.title = title;
        changed = true;
    }
    HICON icon = ReadIcon(button.hWnd);
    if (icon != button.iconSource) {
        button.iconSource = icon;
        // Replacing in place keeps every other button's image index valid.
        const int slot = button.image == kDefaultImage ? -1 : button.image;
        const int image = icon ? ::ImageList_ReplaceIcon(m_images, slot, icon) : -1;
        if (image >= 0) {
            button.image = image;
        } else {
            ReleaseImage(button.image);
            button.image = kDefaultImage;
        }
        changed = true;
    }
    return changed;
}

void CTaskButtons::ReleaseImage(int image)
{
    if (image == kDefaultImage || image < 0)
        return;
    ::ImageList_Remove(m_images, image);
    // The images after it moved down one place.
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        CButton& button = m_buttons[i];
        if (button.image == image) {
            button.image = kDefaultImage;
        } else if (button.image > image) {
            --button.image;
            m_host.UpdateButton(static_cast<int>(i), button.title, button.image);
        }
    }
}

void CTaskButtons::ShowActive()
{
    m_host.ShowActive(Find(m_active));
}

CString CTaskButtons::ReadTitle(HWND hWnd)
{
    // InternalGetWindowText reads the title the system keeps without sending
    // a message, so that a busy or hung window cannot stall the taskbar.
    WCHAR wide[kTitleChars] = {};
    const int length = ::InternalGetWindowText(hWnd, wide, kTitleChars);
    if (length <= 0)
        return CString();
    char text[kTitleChars * 2] = {};
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide, length, text, sizeof text - 1, nullptr, nullptr);
    return CString(text, bytes > 0 ? bytes : 0);
}

HICON CTaskButtons::ReadIcon(HWND hWnd)
{
    // The class's icons are read without a message for the same reason. Under
    // Wine neither a class of another process nor its icons can be read: such
    // windows show the fallback image.
    if (auto small = static_cast<ULONG_PTR>(::GetClassLongPtrA(hWnd, GCLP_HICONSM)))
        return reinterpret_cast<HICON>(small);
    return reinterpret_cast<HICON>(static_cast<ULONG_PTR>(::GetClassLongPtrA(hWnd, GCLP_HICON)));
}
