// Bringing the task list into the taskbar's order, and moving buttons. The
// shell can neither list its buttons in order nor move one: the order is found
// by activating windows and asking the tab control which tab took the focus,
// and a button is moved by taking a run of buttons off and adding them again.
#include "engine/task_button_list.h"
#include "framework/app.h"
#include <algorithm>
#include <climits>
#include <string>
#include <utility>

namespace {

// Each window's place in a wanted order, looked up by LVM_SORTITEMS's
// comparison, which is given the entries' item data: their windows.
class CWantedOrder {
public:
    explicit CWantedOrder(const std::vector<HWND>& order)
    {
        m_places.reserve(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            m_places.emplace_back(order[i], static_cast<int>(i));
        std::sort(m_places.begin(), m_places.end());
    }

    static int CALLBACK Compare(LPARAM a, LPARAM b, LPARAM order)
    {
        const auto* wanted = reinterpret_cast<const CWantedOrder*>(order);
        const int placeA = wanted->PlaceOf(reinterpret_cast<HWND>(a));
        const int placeB = wanted->PlaceOf(reinterpret_cast<HWND>(b));
        return placeA < placeB ? -1 : placeA > placeB ? 1 : 0;
    }

private:
    int PlaceOf(HWND hWnd) const
    {
        const auto it = std::lower_bound(m_places.begin(), m_places.end(), std::make_pair(hWnd, INT_MIN));
        return it != m_places.end() && it->first == hWnd ? it->second : INT_MAX;
    }

    std::vector<std::pair<HWND, int>> m_places;
};

}  // namespace

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
    std::vector<HWND> entries = ListedWindows();
    return ProbeTab(host, entries, tab);
}

int CTaskButtonList::ProbeTab(HWND host, std::vector<HWND>& entries, int tab)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!ActivateTab(entries[i])) {
            // The user sees the list as far as the probing has got.
            ArrangeEntries(entries);
            AfxMessageBox("Unable to Activate Tab.", MB_OK, 0);
            // The box's modal loop may have changed the list.
            entries = ListedWindows();
        }
        // Asked after a failed activation too: the focus may already be there.
        if (m_kind == TabControl && ::SendMessageA(host, TCM_GETCURFOCUS, 0, 0) == tab)
            return static_cast<int>(i);
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

    // Some n*n/2 activations in all: the windows are read from the list once
    // and the order is worked out on them, then the list is arranged in one
    // step, rather than asking the control at every activation and moving an
    // entry per step. The host is looked up once too; a taskbar that goes
    // away ends the probing.
    std::vector<HWND> entries = ListedWindows();
    // Before step i, entries 0 to i-1 already stand for tab positions 0 to i-1.
    for (size_t i = 0; i < entries.size() && ::IsWindow(host); ++i) {
        const int found = ProbeTab(host, entries, static_cast<int>(i));
        if (found > 0) {
            const HWND moved = entries[static_cast<size_t>(found)];
            entries.erase(entries.begin() + found);
            entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(i), moved);
        }
    }
    // A grouping taskbar keeps each program's buttons together, whatever
    // order the probe could find: so does the list.
    if (m_grouping)
        entries = GroupedByProgram(entries);
    ArrangeEntries(entries);
}

void CTaskButtonList::ArrangeEntries(const std::vector<HWND>& order)
{
    const CWantedOrder wanted(order);
    ::SendMessageA(m_pList->GetSafeHwnd(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&wanted),
                   reinterpret_cast<LPARAM>(&CWantedOrder::Compare));
}

HWND CTaskButtonList::MoveButton(int from, int to)
{
    const int count = EntryCount();
    if (!IsIndexIn(from, count) || !IsIndexIn(to, count))
        return nullptr;
    // The run that must stand after the moved button. Moving up, it contains the
    // moved window itself: its second DeleteTab and AddTab change nothing.
    const int tail = from < to ? to + 1 : to;

    // Every window is read from the list, once, before the list changes.
    std::vector<HWND> run{WindowOf(from)};
    for (int i = tail; i < count; ++i)
        run.push_back(WindowOf(i));
    ReAddButtons(run);
    m_buttonsReAdded = true;
    // The shell's results are not looked at: the list follows the user's move
    // even when the taskbar could not, and the next refresh reads it again.
    return MoveEntry(from, to);
}

void CTaskButtonList::ReAddButtons(const std::vector<HWND>& run)
{
    for (HWND hWnd : run)
        DeleteTab(hWnd);
    // AddTab appends, so the run comes back at the end in this order.
    for (HWND hWnd : run)
        AddTab(hWnd);
}

void CTaskButtonList::MoveUp()
{
    if (!m_pList)
        return;
    const int selected = m_pList->GetNextItem(-1, LVNI_SELECTED);
    if (selected <= 0)
        return;
    // The first entry of a run takes its whole run above the run before it.
    if (m_grouping && MoveAcrossRuns(selected, selected - 1))
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
    if (m_grouping && MoveAcrossRuns(selected, selected + 1))
        return;
    MoveButton(selected, selected + 1);
    m_pList->SetItemState(selected + 1, LVIS_SELECTED, LVIS_SELECTED);
}

int CTaskButtonList::GetSelected() const
{
    return m_pList ? m_pList->GetNextItem(-1, LVNI_SELECTED) : -1;
}

void CTaskButtonList::MoveToTop()
{
    const int selected = GetSelected();
    if (selected <= 0)
        return;
    if (m_grouping) {
        MoveToEndOfRuns(selected, true);
        return;
    }
    MoveButton(selected, 0);
    m_pList->SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
}

void CTaskButtonList::MoveToBottom()
{
    const int selected = GetSelected();
    const int last = EntryCount() - 1;
    if (selected < 0 || selected >= last)
        return;
    if (m_grouping) {
        MoveToEndOfRuns(selected, false);
        return;
    }
    MoveButton(selected, last);
    m_pList->SetItemState(last, LVIS_SELECTED, LVIS_SELECTED);
}

void CTaskButtonList::DropClosedWindows()
{
    // From the end, so that the indexes still to be looked at stay valid.
    for (int i = EntryCount() - 1; i >= 0; --i) {
        if (!::IsWindow(WindowOf(i)))
            m_pList->SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(i));
    }
}

void CTaskButtonList::ArrangeTaskbar()
{
    if (!m_pList)
        return;
    DropClosedWindows();
    m_buttonsReAdded = true;
    // A grouping taskbar adds a button after the last one of its program, so
    // one button taken off and added again would only rejoin its program where
    // that stands. With every listed button off first, each program's first
    // one comes back at the end, and the rest join it there.
    if (m_grouping) {
        ReAddButtons(ListedWindows());
        return;
    }
    // One window at a time, so that the taskbar never misses more than one
    // of the buttons: each taken off and appended again, the run of listed
    // buttons builds up at the end in list order. Neither the taskbar's
    // present order (a toolbar cannot tell it) nor the results matter.
    for (HWND hWnd : ListedWindows()) {
        DeleteTab(hWnd);
        AddTab(hWnd);
    }
}

bool CTaskButtonList::TitleBefore(const std::string& a, const std::string& b)
{
    // The comparison the user's own shell sorts names with: the user's
    // locale, case ignored.
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
}

void CTaskButtonList::SortByTitle()
{
    if (!m_pList)
        return;
    if (m_grouping) {
        SortRunsByTitle();
        return;
    }
    struct Titled {
        std::string title;
        HWND hWnd;
    };
    std::vector<Titled> entries;
    const int count = EntryCount();
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back({TitleOf(i), WindowOf(i)});
    // Ties keep the order the user gave them.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Titled& a, const Titled& b) { return TitleBefore(a.title, b.title); });
    std::vector<HWND> order;
    order.reserve(entries.size());
    for (const Titled& entry : entries)
        order.push_back(entry.hWnd);
    ArrangeEntries(order);
    ArrangeTaskbar();
}
