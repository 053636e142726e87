// The task list by program: grouping the entries, arranging them by the
// remembered order, and keeping that order as windows come and go.
#include "engine/program.h"
#include "engine/task_button_list.h"
#include <algorithm>
#include <climits>
#include <map>
#include <utility>

namespace {

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

std::vector<std::string> ProgramsOf(const std::vector<HWND>& windows)
{
    CProgramNames names;
    std::vector<std::string> programs;
    programs.reserve(windows.size());
    for (HWND hWnd : windows)
        programs.push_back(names.Of(hWnd));
    return programs;
}

// The windows stably sorted by their ranks (one per window, same order).
std::vector<HWND> SortedByRank(const std::vector<HWND>& windows, const std::vector<int>& ranks)
{
    std::vector<size_t> indexes(windows.size());
    for (size_t i = 0; i < indexes.size(); ++i)
        indexes[i] = i;
    std::stable_sort(indexes.begin(), indexes.end(), [&ranks](size_t a, size_t b) { return ranks[a] < ranks[b]; });
    std::vector<HWND> sorted;
    sorted.reserve(windows.size());
    for (size_t i : indexes)
        sorted.push_back(windows[i]);
    return sorted;
}

}  // namespace

std::vector<std::string> CTaskButtonList::GetPrograms() const
{
    return ProgramsOf(ListedWindows());
}

std::vector<std::string> CTaskButtonList::ProgramKeys() const
{
    std::vector<std::string> keys = GetPrograms();
    for (std::string& key : keys)
        key = ProgramKey(key);
    return keys;
}

std::vector<HWND> CTaskButtonList::GroupedByProgram(const std::vector<HWND>& windows)
{
    const std::vector<std::string> programs = ProgramsOf(windows);
    // Each window ranks by the index of its program's first window: sorting
    // stably by that rank brings every window up behind the last one of its
    // program above it, and leaves the first windows in their order.
    std::map<std::string, int> firstEntries;
    std::vector<int> ranks;
    for (size_t i = 0; i < programs.size(); ++i)
        ranks.push_back(firstEntries.emplace(ProgramKey(programs[i]), static_cast<int>(i)).first->second);
    return SortedByRank(windows, ranks);
}

void CTaskButtonList::GroupByProgram()
{
    if (!m_pList)
        return;
    ArrangeEntries(GroupedByProgram(ListedWindows()));
    ArrangeTaskbar();
}

bool CTaskButtonList::ArrangeByProgramOrder(CProgramOrder& order)
{
    if (!m_pList)
        return false;
    const std::vector<HWND> windows = ListedWindows();
    const std::vector<std::string> programs = ProgramsOf(windows);
    std::vector<int> ranks;
    for (const std::string& program : programs) {
        const int place = order.Find(program);
        ranks.push_back(place >= 0 ? place : INT_MAX);
    }
    ArrangeEntries(SortedByRank(windows, ranks));
    ArrangeTaskbar();

    // The unknown ones in list order: the order they now stand in.
    bool appended = false;
    for (const std::string& program : programs)
        appended = order.Append(program) || appended;
    return appended;
}

bool CTaskButtonList::FollowTaskWindows(CProgramOrder& order)
{
    if (!m_pList)
        return false;
    const bool reAdded = std::exchange(m_buttonsReAdded, false);
    // From the end, so that the indexes still to be looked at stay valid.
    for (int i = EntryCount() - 1; i >= 0; --i) {
        if (!IsListable(WindowOf(i)))
            RemoveEntry(i);
    }

    std::vector<HWND> listed = ListedWindows();
    std::vector<HWND> known = listed;
    std::sort(known.begin(), known.end());
    std::vector<HWND> all;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> fresh;
    for (HWND hWnd : all) {
        if (!std::binary_search(known.begin(), known.end(), hWnd) && IsListable(hWnd))
            fresh.push_back(hWnd);
    }
    if (fresh.empty())
        return false;

    CProgramNames names;
    std::vector<std::string> programs;
    programs.reserve(listed.size() + fresh.size());
    for (HWND hWnd : listed)
        programs.push_back(names.Of(hWnd));
    // A window comes to the top when it is shown: from the bottom up is about
    // the order in which the shell gave the new windows their buttons.
    std::reverse(fresh.begin(), fresh.end());

    bool appended = false;
    // The shell appended the new windows' buttons, so the first new window
    // stands after every listed button already, unless listed buttons were
    // added again since. The others stand before the first one's, or before
    // a run that was added again: each of them is added again too, even at
    // the end.
    bool atEnd = !reAdded;
    for (HWND hWnd : fresh) {
        const std::string program = names.Of(hWnd);
        const size_t place = order.PlaceFor(program, programs);
        const auto at = static_cast<std::ptrdiff_t>(place);
        // The title is read again: the window may have lost it meanwhile.
        if (!InsertListable(static_cast<int>(place), hWnd))
            continue;
        appended = order.Append(program) || appended;

        std::vector<HWND> run{hWnd};
        run.insert(run.end(), listed.begin() + at, listed.end());
        if (run.size() > 1 || !atEnd)
            ReAddButtons(run);
        atEnd = false;
        listed.insert(listed.begin() + at, hWnd);
        programs.insert(programs.begin() + at, program);
    }
    return appended;
}
