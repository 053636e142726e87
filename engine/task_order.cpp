// Bringing the task list into the taskbar's order, and moving buttons. The
// shell can neither list its buttons in order nor move one: the order is found
// by activating windows and asking the tab control which tab took the focus,
// and a button is moved by taking a run of buttons off and adding them again.
#include "engine/task_button_list.h"
#include "framework/app.h"

TaskbarKind CTaskButtonList::KindFromVersion(BOOL ok, const OSVERSIONINFOA& version)
{
    if (!ok)
        return Unknown;
    // Decided from the version numbers alone, never from the host that the
    // look-up happens to find. Both fields are unsigned.
    if (version.dwMajorVersion > 4 && version.dwMinorVersion != 0)
        return Toolbar;
    return TabControl;
}

int CTaskButtonList::FindEntryAtTab(int tab)
{
    HWND host = FindButtonHost();
    if (!m_pList || !host)
        return -1;
    // The count is read anew each step: a message box's modal loop runs between steps.
    for (int i = 0; i < m_pList->GetItemCount(); ++i) {
        if (!ActivateTab(GetWindowAt(i)))
            AfxMessageBox("Unable to Activate Tab.", MB_OK, 0);
        // Asked after a failed activation too: the focus may already be there.
        if (m_kind == TabControl && ::SendMessageA(host, TCM_GETCURFOCUS, 0, 0) == tab)
            return i;
    }
    return -1;
}

void CTaskButtonList::Refresh()
{
    HWND host = FindButtonHost();
    if (!m_pList || !host)
        return;

    m_pList->SendMessage(LVM_DELETEALLITEMS);
    // No entry refers to an image any more; without this every refresh would
    // leave one orphaned image per listed window for the life of the process.
    if (HIMAGELIST images = TaskImageList())
        ::ImageList_Remove(images, -1);

    ::EnumWindows(&CTaskButtonList::EnumTaskWindowProc, reinterpret_cast<LPARAM>(m_pList));

    // Before step i, entries 0 to i-1 already stand for tab positions 0 to i-1.
    for (int i = 0; i < m_pList->GetItemCount(); ++i) {
        const int found = FindEntryAtTab(i);
        if (found > 0)
            MoveEntry(found, i);
    }
}

HWND CTaskButtonList::MoveButton(int from, int to)
{
    if (!IsEntryIndex(from) || !IsEntryIndex(to))
        return nullptr;
    const int count = m_pList->GetItemCount();
    // The run that must stand after the moved button. Moving up, it contains the
    // moved window itself: its second DeleteTab and AddTab change nothing.
    const int tail = from < to ? to + 1 : to;

    // Every window is read from the list before the list changes.
    DeleteTab(GetWindowAt(from));
    for (int i = tail; i < count; ++i)
        DeleteTab(GetWindowAt(i));
    // AddTab appends, so the run comes back at the end in this order.
    AddTab(GetWindowAt(from));
    for (int i = tail; i < count; ++i)
        AddTab(GetWindowAt(i));
    // The shell's results are not looked at: the list follows the user's move
    // even when the taskbar could not, and the next refresh reads it again.
    return MoveEntry(from, to);
}

void CTaskButtonList::MoveUp()
{
    if (!m_pList)
        return;
    const int selected = m_pList->GetNextItem(-1, LVNI_SELECTED);
    if (selected <= 0)
        return;
    MoveButton(selected, selected - 1);
    m_pList->SetItemState(selected - 1, LVIS_SELECTED, LVIS_SELECTED);
}

void CTaskButtonList::MoveDown()
{
    if (!m_pList)
        return;
    const int selected = m_pList->GetNextItem(-1, LVNI_SELECTED);
    if (selected < 0 || selected >= m_pList->GetItemCount() - 1)
        return;
    MoveButton(selected, selected + 1);
    m_pList->SetItemState(selected + 1, LVIS_SELECTED, LVIS_SELECTED);
}
