#pragma once
// The taskbar arrangement engine: keeps the task list in a list-view control
// and reorders the shell's taskbar buttons to match it.
#if !defined(NOCRYPT) && !defined(WIN32_LEAN_AND_MEAN)
// Without it windows.h brings in winioctl.h, whose own `Unknown` clashes with
// TaskbarKind's; the corvane_engine target passes it on to its users.
#error "Build with NOCRYPT defined (link corvane_engine through CMake)."
#endif
#include <windows.h>
#include "framework/controls.h"
#include "framework/imagelist.h"
#include "engine/program_order.h"
#include <string>
#include <vector>

enum TaskbarKind { Unknown = 0, TabControl = 1, Toolbar = 2 };

// What the per-user setting for grouping similar taskbar buttons holds.
struct TaskbarGlomming {
    bool found = false;     // the value exists
    DWORD type = REG_NONE;  // its registry type; REG_DWORD only when it holds four bytes
    DWORD value = 0;        // its number, when it is a REG_DWORD
};

// Implemented by the application object that owns the shared image of task
// icons; the engine finds it through AfxGetApp().
class CTaskImageSource {
public:
    virtual CImageList& GetTaskImageList() = 0;

protected:
    ~CTaskImageSource() = default;
};

class CTaskButtonList {
public:
    CTaskButtonList();
    virtual ~CTaskButtonList();

    // Shell and taskbar operations.
    static HWND FindButtonHost();
    static bool ActivateTab(HWND hWnd);
    static bool AddTab(HWND hWnd);
    static bool DeleteTab(HWND hWnd);

    // Task list.
    // Also marks the control's image lists as shared: the task icons belong to
    // the application object, which destroys them itself.
    void Attach(CListCtrl* pList);
    static bool IsTaskWindow(HWND hWnd);
    static BOOL CALLBACK EnumTaskWindowProc(HWND hWnd, LPARAM lParam);
    // Both return NULL and change nothing without a control or for an index
    // that names no entry.
    HWND MoveEntry(int from, int to);
    HWND GetWindowAt(int index);

    // Taskbar order probe and refresh.
    int FindEntryAtTab(int tab);
    // Rebuilds the list; the images of the entries it drops are reclaimed, so
    // the image list holds exactly the icons of the listed windows.
    void Refresh();

    // Button reordering.
    // Does nothing and returns NULL without a control or for an index that
    // names no entry.
    HWND MoveButton(int from, int to);
    void MoveUp();
    void MoveDown();
    // The selected entry to the first or the last place, selected there;
    // nothing without a selection or when it is there already.
    void MoveToTop();
    void MoveToBottom();
    // The index of the selected entry, -1 when none is (or no control is attached).
    int GetSelected() const;

    // Makes the taskbar follow the list: every listed window's button taken
    // off and added again, in list order, so that they end up last on the
    // taskbar in that order whatever order it had: one window at a time, or
    // on a grouping taskbar all off before all on again. Two shell calls per
    // entry and nothing else; entries whose window no longer exists leave the
    // list first, and the rest stay as they are, selection included.
    void ArrangeTaskbar();
    // Puts the entries in the order of their titles (the user's locale,
    // case-insensitive, equal titles in their present order), then arranges
    // the taskbar to match.
    void SortByTitle();
    // The number of buttons the host shows, or -1 when it is not a host this
    // engine knows or does not answer at once.
    static int CountButtons(HWND host);

    // Programs and the kept order. A window's program is the executable of
    // its process (program.h); the remembered order is a CProgramOrder.
    // The programs of the entries, in list order.
    std::vector<std::string> GetPrograms() const;
    // Regroups the entries stably: each moves up to just after the last entry
    // of its program above it, and programs keep the order of their first
    // entries; then arranges the taskbar as ArrangeTaskbar does.
    void GroupByProgram();
    // Puts the entries of the programs that the order knows first, in the
    // order of their programs there, and the rest after them, each in its
    // present order; then arranges the taskbar as ArrangeTaskbar does. The
    // programs it did not know are appended to the order, in list order;
    // true when there were any.
    bool ArrangeByProgramOrder(CProgramOrder& order);
    // One look for task windows that came or went, by the list's own test (a
    // task window with a title). An entry whose window is gone leaves the
    // list, without a shell call. A new task window gets an entry at the
    // place CProgramOrder::PlaceFor gives, and its button is moved there by
    // taking it and the buttons of the entries after it off the taskbar and
    // adding them again: two calls per button, none when its place is the end
    // where the shell put it. A program never seen before is appended to the
    // order; true when one was. Activates nothing and shows nothing.
    bool FollowTaskWindows(CProgramOrder& order);

    TaskbarKind GetKind() const { return static_cast<TaskbarKind>(m_kind); }
    // The kind rule on its own: ok is what GetVersionExA returned.
    static TaskbarKind KindFromVersion(BOOL ok, const OSVERSIONINFOA& version);

    // Grouping taskbars (XP, Server 2003 and Vista unless the user turned it
    // off) put an added button after the last button of the same program, not
    // at the end. On one, the list keeps every program's entries together, so
    // that re-adding a run of buttons in list order gives the list's order.
    // The rule on its own: ok is what GetVersionExA returned.
    static bool GroupsFromVersion(BOOL ok, const OSVERSIONINFOA& version, const TaskbarGlomming& setting);
    // This user's setting, as the registry holds it.
    static TaskbarGlomming ReadTaskbarGlomming();
    // The rule applied to this system and this user's setting.
    static bool TaskbarGroups();
    bool IsGrouping() const { return m_grouping; }
    // Turned on, the entries are brought together by program at once, without
    // a shell call: the taskbar regroups its own buttons.
    void SetGrouping(bool on);
    // Reads the setting again (the taskbar's properties broadcast a change).
    void UpdateGrouping() { SetGrouping(TaskbarGroups()); }
    // A completed drag of the entry at `from` onto the entry at `to`. Without
    // grouping, or onto an entry of the same program, it is MoveButton. Onto
    // another program on a grouping taskbar, the dragged entry's whole run
    // moves, in its order: upwards to just before the target's run, downwards
    // to just after it. Gives the dragged window, NULL for an index that names
    // no entry.
    HWND DragButton(int from, int to);

protected:
    LONG m_kind;
    CListCtrl* m_pList;
    // Whether the taskbar groups the buttons of a program (TaskbarGroups()).
    bool m_grouping;

private:
    // The application object's image list of task icons, or NULL when the
    // application offers none (entries are then listed without icons).
    static HIMAGELIST TaskImageList();
    // True when a control is attached and index names one of its entries.
    bool IsEntryIndex(int index) const { return IsIndexIn(index, EntryCount()); }
    static bool IsIndexIn(int index, int count) { return index >= 0 && index < count; }
    // The entry count, 0 without a control.
    int EntryCount() const;
    // The window of an entry that is known to exist: one message to the list.
    HWND WindowOf(int index) const;
    // The title of an entry that is known to exist.
    std::string TitleOf(int index) const;
    // The order of titles for sorting: true when a comes before b.
    static bool TitleBefore(const std::string& a, const std::string& b);
    // The windows of all entries, in list order.
    std::vector<HWND> ListedWindows() const;
    // The list's test for a window: a task window whose title is not empty.
    static bool IsListable(HWND hWnd);
    // An entry for hWnd at index, made as the enumeration makes one: the
    // title already read into `title` (a buffer of the title size) and a
    // copy of its class's small icon.
    static void InsertTaskEntry(HWND list, int index, HWND hWnd, char* title);
    // An entry for hWnd at index when the window passes the list's test;
    // false, and nothing inserted, when it does not.
    bool InsertListable(int index, HWND hWnd);
    // Deletes an entry and the image of its icon; the entries whose images
    // came after it are pointed at their images' new places.
    void RemoveEntry(int index);
    // Takes the buttons of `run` off the taskbar and adds them again in that
    // order, so that they stand last in it: two calls per window.
    static void ReAddButtons(const std::vector<HWND>& run);
    // Deletes the entries whose window has been destroyed.
    void DropClosedWindows();
    // FindEntryAtTab's probe over the entries' windows in the order wanted
    // so far. Before a message box the list is put in that order, and after it
    // the windows are read again, since the box's modal loop ran meanwhile.
    int ProbeTab(HWND host, std::vector<HWND>& entries, int tab);
    // Puts the entries in the order of their windows in `order`; each entry
    // keeps its title, icon and state.
    void ArrangeEntries(const std::vector<HWND>& order);

    // The windows regrouped stably by program: each moves up to just after
    // the last window of its program before it.
    static std::vector<HWND> GroupedByProgram(const std::vector<HWND>& windows);
    // The program keys of the entries, in list order.
    std::vector<std::string> ProgramKeys() const;
    // Puts list and taskbar into `order` (the listed windows, rearranged):
    // from the first place whose window changes on, the buttons are taken off
    // and added again in the new order. On a grouping taskbar that gives the
    // list's order as long as every program's entries stand together. No call
    // when nothing changes; entries keep their state (selection included).
    void ArrangeFrom(const std::vector<HWND>& order);
    // On a grouping taskbar, when the entries at `from` and `to` belong to
    // different programs: moves the run of `from` next to the run of `to`,
    // before it when `to` is above, after it when below. False, and nothing
    // done, for the same program.
    bool MoveAcrossRuns(int from, int to);
    // On a grouping taskbar: the entry first in its run and its run first
    // (top), or last and last.
    void MoveToEndOfRuns(int selected, bool top);
    // On a grouping taskbar: each program's entries by title, then the runs
    // by the title of their first entry.
    void SortRunsByTitle();

    // Listed buttons were taken off and added again since the last look for
    // new task windows: a window that came meanwhile has its button before
    // them now, no longer at the end where the shell put it.
    bool m_buttonsReAdded = false;
};
