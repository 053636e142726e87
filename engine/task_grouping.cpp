// The task list on a taskbar that groups similar buttons. Such a taskbar
// puts an added button right after the last button of the same program, so
// AddTab appends only for a program without buttons. Re-adding a run of
// buttons in list order still gives the list's order, provided every
// program's entries stand together in the list: the commands here keep them
// so, by moving whole runs (the block of one program's entries).
#include "engine/task_button_list.h"
#include "framework/reg_key.h"
#include <algorithm>
#include <map>

namespace {

constexpr char kAdvancedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
constexpr char kGlommingValue[] = "TaskbarGlomming";

struct Run {
    int begin;
    int end;  // one past the last entry
};

// The block of entries of the same program around `index`.
Run RunAt(const std::vector<std::string>& keys, int index)
{
    const auto same = [&](int other) { return keys[static_cast<size_t>(other)] == keys[static_cast<size_t>(index)]; };
    Run run{index, index + 1};
    while (run.begin > 0 && same(run.begin - 1))
        --run.begin;
    while (run.end < static_cast<int>(keys.size()) && same(run.end))
        ++run.end;
    return run;
}

// Puts the block [middle, last) of `items` before the block [first, middle),
// each keeping its order (std::rotate by indexes).
template <class T>
void Rotate(std::vector<T>& items, int first, int middle, int last)
{
    std::rotate(items.begin() + first, items.begin() + middle, items.begin() + last);
}

}  // namespace

bool CTaskButtonList::GroupsFromVersion(BOOL ok, const OSVERSIONINFOA& version, const TaskbarGlomming& setting)
{
    if (!ok)
        return false;
    // Windows 2000's taskbar never groups; XP introduced it, and Windows 7
    // replaced it with a taskbar that combines buttons in another way.
    const DWORD major = version.dwMajorVersion;
    const DWORD minor = version.dwMinorVersion;
    const bool groupingShell = (major == 5 && (minor == 1 || minor == 2)) || (major == 6 && minor == 0);
    if (!groupingShell)
        return false;
    // On unless the user turned it off: the shell's default is on, and it
    // reads only a REG_DWORD as the user's choice.
    return !(setting.found && setting.type == REG_DWORD && setting.value == 0);
}

TaskbarGlomming CTaskButtonList::ReadTaskbarGlomming()
{
    TaskbarGlomming setting;
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, kAdvancedKey, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return setting;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    const LONG result = key.QueryValue(kGlommingValue, type, data, sizeof(DWORD));
    // A value too large to read exists all the same.
    setting.found = result == ERROR_SUCCESS || result == ERROR_MORE_DATA;
    setting.type = setting.found ? type : REG_NONE;
    if (result == ERROR_SUCCESS && type == REG_DWORD && data.size() == sizeof(DWORD)) {
        CopyMemory(&setting.value, data.data(), sizeof(DWORD));
    } else if (setting.type == REG_DWORD) {
        // A REG_DWORD that does not hold four bytes gives no number: it
        // counts as a value of another type.
        setting.type = REG_BINARY;
    }
    return setting;
}

bool CTaskButtonList::TaskbarGroups()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    const BOOL ok = ::GetVersionExA(&version);
    return GroupsFromVersion(ok, version, ReadTaskbarGlomming());
}

void CTaskButtonList::SetGrouping(bool on)
{
    m_grouping = on;
    if (!on || !m_pList)
        return;
    // The taskbar has already brought each program's buttons together.
    const std::vector<HWND> listed = ListedWindows();
    const std::vector<HWND> grouped = GroupedByProgram(listed);
    if (grouped != listed)
        ArrangeEntries(grouped);
}

void CTaskButtonList::ArrangeFrom(const std::vector<HWND>& order)
{
    const std::vector<HWND> listed = ListedWindows();
    const auto changed = std::mismatch(listed.begin(), listed.end(), order.begin(), order.end());
    if (changed.second == order.end())
        return;
    // The buttons before the first change stay; every later one is taken off
    // and added again, and a grouping taskbar adds each after the last button
    // of its program, which the list has just before it.
    ReAddButtons(std::vector<HWND>(changed.second, order.end()));
    m_buttonsReAdded = true;
    ArrangeEntries(order);
}

bool CTaskButtonList::MoveAcrossRuns(int from, int to)
{
    const std::vector<std::string> keys = ProgramKeys();
    if (keys[static_cast<size_t>(from)] == keys[static_cast<size_t>(to)])
        return false;
    const Run moved = RunAt(keys, from);
    const Run target = RunAt(keys, to);
    std::vector<HWND> order = ListedWindows();
    if (to < from)
        Rotate(order, target.begin, moved.begin, moved.end);
    else
        Rotate(order, moved.begin, moved.end, target.end);
    ArrangeFrom(order);
    return true;
}

void CTaskButtonList::MoveToEndOfRuns(int selected, bool top)
{
    const Run run = RunAt(ProgramKeys(), selected);
    std::vector<HWND> order = ListedWindows();
    if (top) {
        Rotate(order, run.begin, selected, selected + 1);
        Rotate(order, 0, run.begin, run.end);
    } else {
        Rotate(order, selected, selected + 1, run.end);
        Rotate(order, run.begin, run.end, static_cast<int>(order.size()));
    }
    ArrangeFrom(order);
}

HWND CTaskButtonList::DragButton(int from, int to)
{
    if (!IsEntryIndex(from) || !IsEntryIndex(to))
        return nullptr;
    const HWND dragged = WindowOf(from);
    if (m_grouping && MoveAcrossRuns(from, to))
        return dragged;
    return MoveButton(from, to);
}

void CTaskButtonList::SortRunsByTitle()
{
    DropClosedWindows();
    const std::vector<std::string> keys = ProgramKeys();
    struct Titled {
        std::string title;
        HWND hWnd;
    };
    // The runs in list order; a program's entries are gathered even where
    // they do not stand together.
    std::vector<std::vector<Titled>> runs;
    std::map<std::string, size_t> runOfProgram;
    for (size_t i = 0; i < keys.size(); ++i) {
        const size_t run = runOfProgram.emplace(keys[i], runs.size()).first->second;
        if (run == runs.size())
            runs.emplace_back();
        const int index = static_cast<int>(i);
        runs[run].push_back({TitleOf(index), WindowOf(index)});
    }
    // Stable sorts: equal titles keep their order, and so do runs whose first
    // titles are equal.
    for (std::vector<Titled>& run : runs) {
        std::stable_sort(run.begin(), run.end(),
                         [](const Titled& a, const Titled& b) { return TitleBefore(a.title, b.title); });
    }
    std::stable_sort(runs.begin(), runs.end(), [](const std::vector<Titled>& a, const std::vector<Titled>& b) {
        return TitleBefore(a.front().title, b.front().title);
    });

    std::vector<HWND> order;
    order.reserve(keys.size());
    for (const std::vector<Titled>& run : runs) {
        for (const Titled& entry : run)
            order.push_back(entry.hWnd);
    }
    ArrangeFrom(order);
}
