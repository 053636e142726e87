// The task list: one list-view item per window that owns a taskbar button,
// kept in the order the engine believes the taskbar's buttons to have. The
// control is the only store; every question is asked of it.
#include "engine/task_button_list.h"
#include "framework/app.h"

namespace {

// Titles travel through a zero-filled buffer of this size, NUL included.
constexpr int kTitleBufferSize = 255;
// Title, icon and window travel together, always.
constexpr UINT kEntryMask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
// Full-row selection, and hovering selects.
constexpr LPARAM kListExtendedStyle = LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT;

// The length of the title without a lead byte that lost its trail byte: a
// window of another process answers GetWindowTextA under Wine with as many
// bytes as fit, so a cut title may end in the first half of a double-byte
// character, which would show as a wrong character.
int WholeCharacters(char* title, int length)
{
    int i = 0;
    while (i < length) {
        if (!::IsDBCSLeadByte(static_cast<BYTE>(title[i]))) {
            ++i;
        } else if (i + 1 < length) {
            i += 2;
        } else {
            title[i] = '\0';
            return i;
        }
    }
    return length;
}

// The title as the list takes it: through the zero-filled buffer of
// kTitleBufferSize bytes, without a cut character at its end. Gives its length.
int ReadTitle(HWND hWnd, char* title)
{
    return WholeCharacters(title, ::GetWindowTextA(hWnd, title, kTitleBufferSize));
}

}  // namespace

CTaskButtonList::CTaskButtonList() : m_kind(Unknown), m_pList(nullptr), m_grouping(TaskbarGroups())
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query expects the classic structure");
    const BOOL ok = ::GetVersionExA(&version);
    m_kind = KindFromVersion(ok, version);
}

CTaskButtonList::~CTaskButtonList() = default;

HIMAGELIST CTaskButtonList::TaskImageList()
{
    if (auto* source = dynamic_cast<CTaskImageSource*>(AfxGetApp()))
        return source->GetTaskImageList().GetSafeHandle();
    return nullptr;
}

int CTaskButtonList::EntryCount() const
{
    return m_pList ? m_pList->GetItemCount() : 0;
}

HWND CTaskButtonList::WindowOf(int index) const
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    ::SendMessageA(m_pList->GetSafeHwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return reinterpret_cast<HWND>(item.lParam);
}

std::string CTaskButtonList::TitleOf(int index) const
{
    char title[kTitleBufferSize] = {};
    LVITEMA item{};
    item.pszText = title;
    item.cchTextMax = kTitleBufferSize;
    ::SendMessageA(m_pList->GetSafeHwnd(), LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return title;
}

std::vector<HWND> CTaskButtonList::ListedWindows() const
{
    std::vector<HWND> windows;
    const int count = EntryCount();
    windows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        windows.push_back(WindowOf(i));
    return windows;
}

void CTaskButtonList::Attach(CListCtrl* pList)
{
    if (!pList)
        return;
    m_pList = pList;
    HWND list = pList->GetSafeHwnd();

    RECT client{};
    ::GetClientRect(list, &client);
    // A mask of 0 lets the value replace every extended style bit.
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExtendedStyle);

    char heading[] = "Task";
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = client.right;
    column.pszText = heading;
    ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));

    if (HIMAGELIST images = TaskImageList()) {
        // Without LVS_SHAREIMAGELISTS the control destroys its image lists
        // when its window goes, and the application object would destroy this
        // one a second time. The control reads the style when it is destroyed.
        const LONG style = ::GetWindowLongA(list, GWL_STYLE);
        if (!(style & LVS_SHAREIMAGELISTS))
            ::SetWindowLongA(list, GWL_STYLE, style | LVS_SHAREIMAGELISTS);
        ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    }
}

bool CTaskButtonList::IsTaskWindow(HWND hWnd)
{
    if (!hWnd)
        return false;
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_EXSTYLE));
    if (!::IsWindowVisible(hWnd))
        return false;
    // The shell gives an app window a button even when it is owned or a tool window.
    if (exStyle & WS_EX_APPWINDOW)
        return true;
    if (exStyle & WS_EX_TOOLWINDOW)
        return false;
    return ::GetWindow(hWnd, GW_OWNER) == nullptr;
}

BOOL CALLBACK CTaskButtonList::EnumTaskWindowProc(HWND hWnd, LPARAM lParam)
{
    auto* list = reinterpret_cast<CListCtrl*>(lParam);
    if (!list)
        return FALSE;

    char title[kTitleBufferSize] = {};
    const int length = ReadTitle(hWnd, title);
    if (!IsTaskWindow(hWnd) || length <= 0)
        return TRUE;

    HWND control = list->GetSafeHwnd();
    InsertTaskEntry(control, static_cast<int>(::SendMessageA(control, LVM_GETITEMCOUNT, 0, 0)), hWnd, title);
    return TRUE;
}

bool CTaskButtonList::IsListable(HWND hWnd)
{
    char title[kTitleBufferSize] = {};
    return IsTaskWindow(hWnd) && ReadTitle(hWnd, title) > 0;
}

bool CTaskButtonList::InsertListable(int index, HWND hWnd)
{
    char title[kTitleBufferSize] = {};
    if (!IsTaskWindow(hWnd) || ReadTitle(hWnd, title) <= 0)
        return false;
    InsertTaskEntry(m_pList->GetSafeHwnd(), index, hWnd, title);
    return true;
}

void CTaskButtonList::InsertTaskEntry(HWND list, int index, HWND hWnd, char* title)
{
    // The icon belongs to the window class: the image list keeps a copy of its
    // picture, and the handle itself is neither kept nor destroyed.
    HICON icon = reinterpret_cast<HICON>(::GetClassLongPtrA(hWnd, GCLP_HICONSM));
    int image = -1;
    if (HIMAGELIST images = TaskImageList(); images && icon)
        image = ::ImageList_ReplaceIcon(images, -1, icon);

    LVITEMA item{};
    item.mask = kEntryMask;
    item.iItem = index;
    item.pszText = title;
    item.cchTextMax = kTitleBufferSize;
    item.iImage = image;
    item.lParam = reinterpret_cast<LPARAM>(hWnd);
    ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void CTaskButtonList::RemoveEntry(int index)
{
    HWND list = m_pList->GetSafeHwnd();
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    ::SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    // Entries come and go for as long as the order is kept: an image left
    // behind for each would grow the image list without end.
    HIMAGELIST images = TaskImageList();
    if (item.iImage < 0 || !images || !::ImageList_Remove(images, item.iImage))
        return;
    const int count = EntryCount();
    for (int i = 0; i < count; ++i) {
        LVITEMA other{};
        other.mask = LVIF_IMAGE;
        other.iItem = i;
        ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&other));
        if (other.iImage > item.iImage) {
            --other.iImage;
            ::SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&other));
        }
    }
}

HWND CTaskButtonList::MoveEntry(int from, int to)
{
    // One count for both indexes: every question to the list costs a message.
    const int count = EntryCount();
    if (!IsIndexIn(from, count) || !IsIndexIn(to, count))
        return nullptr;
    HWND list = m_pList->GetSafeHwnd();

    char title[kTitleBufferSize] = {};
    LVITEMA item{};
    item.mask = kEntryMask;
    item.iItem = from;
    item.pszText = title;
    item.cchTextMax = kTitleBufferSize;
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    // A list view may answer with a pointer to its own copy of the text, which
    // the deletion below frees: keep the text in our buffer.
    if (item.pszText != title) {
        // The copy is bounded by our buffer's size and always terminated; the
        // source is the control's own NUL-terminated text.
        if (item.pszText && item.pszText != LPSTR_TEXTCALLBACKA)
            ::lstrcpynA(title, item.pszText, kTitleBufferSize);  // cppcheck-suppress lstrcpynACalled
        item.pszText = title;
    }

    ::SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(from), 0);
    // The state is not carried over: the entry comes back unselected.
    item.iItem = to;
    ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return reinterpret_cast<HWND>(item.lParam);
}

HWND CTaskButtonList::GetWindowAt(int index)
{
    return IsEntryIndex(index) ? WindowOf(index) : nullptr;
}
