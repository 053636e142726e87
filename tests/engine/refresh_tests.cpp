// Rebuilding the list and probing the taskbar for its order.
#include "engine_fixture.h"
#include "framework/gdi.h"
#include "tests/support/dialog_watcher.h"
#include <algorithm>
#include <set>

namespace {

// The activations of n probes that each visit the first k(p) entries.
std::vector<HWND> Probes(const std::vector<HWND>& entries, const std::vector<size_t>& visited)
{
    std::vector<std::vector<HWND>> parts;
    for (size_t count : visited)
        parts.emplace_back(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(count));
    return Concat(parts);
}

}  // namespace

class Refresh : public EngineTest {
protected:
    // Lists the current task windows in enumeration order, untouched by any probe.
    std::vector<HWND> Enumerate()
    {
        m_engine.SetKind(Unknown);
        m_engine.Refresh();
        return Entries();
    }
};

TEST_F(Refresh, TabControlTaskbarPutsTheEnumerationIntoTaskbarOrder)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    m_engine.Attach(&m_list);
    std::vector<std::pair<HWND, COLORREF>> colours;
    for (const char* title : {"one", "two", "three", "four", "five"}) {
        const COLORREF colour = title[1] == 'w' ? kGreen : kBlue;
        colours.emplace_back(AddWindow(title, colour), colour);
    }
    const std::vector<HWND> enumerated = Enumerate();
    const size_t n = enumerated.size();
    ASSERT_GE(n, 5u);

    // A rotation of the enumeration: no window keeps its place.
    std::vector<HWND> taskbar = enumerated;
    std::rotate(taskbar.begin(), taskbar.begin() + 2, taskbar.end());
    std::reverse(taskbar.begin(), taskbar.end());
    shell.SetButtons(taskbar);
    shell.ClearCalls();

    CDialogWatcher boxes;
    m_engine.SetKind(TabControl);
    m_engine.Refresh();

    EXPECT_EQ(Entries(), taskbar);
    const size_t activations = shell.CallsOf(TaskbarOp::ActivateTab).size();
    EXPECT_GE(activations, n * (n + 1) / 2);
    EXPECT_LE(activations, n * n);
    EXPECT_EQ(shell.Calls().size(), activations);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(shell.Buttons(), taskbar);
    // Icons travelled with their windows.
    const std::vector<HWND> entries = Entries();
    for (const auto& [hWnd, colour] : colours) {
        const int index = static_cast<int>(std::find(entries.begin(), entries.end(), hWnd) - entries.begin());
        EXPECT_EQ(ImageCentreColor(Images(), ImageAt(index)), colour);
    }
}

TEST_F(Refresh, OtherKindsKeepTheEnumerationOrderAndActivateEveryEntryInEveryProbe)
{
    m_engine.Attach(&m_list);
    AddWindow("one");
    AddWindow("two");
    AddWindow("three");
    for (TaskbarKind kind : {Toolbar, Unknown}) {
        SCOPED_TRACE(kind);
        // The kind decides, whatever host the look-up finds.
        CFakeShell shell(kind == Toolbar ? FakeTaskbarLayout::Toolbar() : FakeTaskbarLayout::Tabs());
        ASSERT_TRUE(shell.IsReady());
        const std::vector<HWND> enumerated = Enumerate();
        std::vector<HWND> taskbar(enumerated.rbegin(), enumerated.rend());
        shell.SetButtons(taskbar);
        shell.ClearCalls();

        m_engine.SetKind(kind);
        m_engine.Refresh();

        EXPECT_EQ(Entries(), enumerated);
        const std::vector<size_t> everyEntry(enumerated.size(), enumerated.size());
        EXPECT_EQ(shell.CallsOf(TaskbarOp::ActivateTab), Probes(enumerated, everyEntry));
        EXPECT_EQ(shell.Calls().size(), enumerated.size() * enumerated.size());
    }
}

TEST_F(Refresh, TaskbarAlreadyInOrderActivatesOneMoreEntryPerProbe)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    m_engine.Attach(&m_list);
    AddWindow("one");
    AddWindow("two");
    AddWindow("three");
    AddWindow("four");
    const std::vector<HWND> enumerated = Enumerate();
    shell.SetButtons(enumerated);
    shell.ClearCalls();

    m_engine.SetKind(TabControl);
    m_engine.Refresh();

    EXPECT_EQ(Entries(), enumerated);
    std::vector<size_t> prefixes;
    for (size_t i = 1; i <= enumerated.size(); ++i)
        prefixes.push_back(i);
    EXPECT_EQ(shell.CallsOf(TaskbarOp::ActivateTab), Probes(enumerated, prefixes));
}

TEST_F(Refresh, ButtonWithoutEntryShiftsThePositions)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    m_engine.Attach(&m_list);
    AddWindow("A");
    AddWindow("B");
    HWND x = AddWindow("");  // has a button but no entry
    const std::vector<HWND> enumerated = Enumerate();
    ASSERT_EQ(ForeignTaskWindows().size(), 0u) << "positions are absolute: other task windows would shift them";
    ASSERT_EQ(enumerated.size(), 2u);
    // Buttons X, A, B with the enumeration giving B, A.
    shell.SetButtons({x, enumerated[1], enumerated[0]});

    m_engine.SetKind(TabControl);
    m_engine.Refresh();
    EXPECT_EQ(Entries(), enumerated);
}

TEST_F(Refresh, NoTaskbarLeavesTheListAsItWas)
{
    CFakeShell shell(FakeTaskbarLayout::NoTray());
    ASSERT_TRUE(shell.IsReady());
    m_engine.Attach(&m_list);
    CDialogWatcher boxes;
    m_engine.SetKind(TabControl);

    // The first refresh leaves the list empty.
    AddWindow("one");
    m_engine.Refresh();
    EXPECT_EQ(Count(), 0);

    HWND a = AddWindow("A");
    HWND b = AddWindow("B", kBlue);
    Append({a, b});
    const int images = ImageList_GetImageCount(Images());
    m_engine.Refresh();
    EXPECT_EQ(Entries(), (std::vector<HWND>{a, b}));
    EXPECT_EQ(ImageList_GetImageCount(Images()), images);
    EXPECT_EQ(ImageCentreColor(Images(), ImageAt(1)), kBlue);
    EXPECT_EQ(m_engine.FindEntryAtTab(0), -1);

    EXPECT_TRUE(shell.Calls().empty());
    EXPECT_EQ(shell.ObjectsCreated(), 0);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(Refresh, EmptyEnumerationRunsNoProbe)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    ASSERT_EQ(ForeignTaskWindows().size(), 0u) << "needs a desktop without task windows";
    m_engine.Attach(&m_list);
    Append({AddWindow("gone")});
    m_windows.clear();
    m_engine.SetKind(TabControl);
    m_engine.Refresh();
    EXPECT_EQ(Count(), 0);
    EXPECT_TRUE(shell.Calls().empty());
}

TEST_F(Refresh, FailedActivationShowsOneBoxPerProbeThatReachesIt)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    m_engine.Attach(&m_list);
    AddWindow("one");
    AddWindow("two");
    AddWindow("three");
    const std::vector<HWND> enumerated = Enumerate();
    const size_t n = enumerated.size();
    shell.SetButtons(enumerated);

    // Every probe reaches every entry on a toolbar taskbar: n boxes, and the
    // probe goes on after each one.
    {
        shell.ClearCalls();
        shell.SetActivateFailsFor(enumerated[1]);
        CDialogWatcher boxes;
        m_engine.SetKind(Toolbar);
        m_engine.Refresh();
        EXPECT_EQ(boxes.Count(), n);
        for (const SeenMessageBox& box : boxes.Seen()) {
            EXPECT_EQ(box.text, "Unable to Activate Tab.");
            EXPECT_EQ(box.caption, TestApp().GetTitle());
            EXPECT_TRUE(box.exclamationIcon);
        }
        EXPECT_EQ(shell.CallsOf(TaskbarOp::ActivateTab), Probes(enumerated, std::vector<size_t>(n, n)));
        EXPECT_EQ(Entries(), enumerated);
    }
    // In taskbar order probe 0 stops before entry 1. Entry 1 never takes the
    // focus, so probe 1 runs to the end without a match; probes 1 to n-1 each
    // show one box and go on with the next entry.
    {
        shell.ClearCalls();
        CDialogWatcher boxes;
        m_engine.SetKind(TabControl);
        m_engine.Refresh();
        EXPECT_EQ(boxes.Count(), n - 1);
        EXPECT_EQ(Entries(), enumerated);
        std::vector<size_t> visited{1, n};
        for (size_t p = 2; p < n; ++p)
            visited.push_back(p + 1);
        EXPECT_EQ(shell.CallsOf(TaskbarOp::ActivateTab), Probes(enumerated, visited));
    }
}

TEST_F(Refresh, ImagesOfDroppedEntriesAreReclaimedOverAThousandRefreshes)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    shell.SetRecording(false);
    m_engine.Attach(&m_list);
    HWND red1 = AddWindow("red one");
    HWND red2 = AddWindow("red two");
    HWND blue = AddWindow("blue", kBlue);
    HWND bare = AddWindowOf(m_noIcon, "no icon");
    m_engine.SetKind(Toolbar);

    for (int i = 0; i < 1000; ++i)
        m_engine.Refresh();

    std::set<int> images;
    for (int i = 0; i < Count(); ++i) {
        if (ImageAt(i) >= 0)
            images.insert(ImageAt(i));
        const HWND hWnd = Entries()[static_cast<size_t>(i)];
        if (hWnd == red1 || hWnd == red2) {
            EXPECT_EQ(ImageCentreColor(Images(), ImageAt(i)), kRed);
        } else if (hWnd == blue) {
            EXPECT_EQ(ImageCentreColor(Images(), ImageAt(i)), kBlue);
        } else if (hWnd == bare) {
            EXPECT_EQ(ImageAt(i), -1);
        }
    }
    EXPECT_EQ(OwnEntries().size(), 4u);
    // One image per listed window with a class icon, each its own.
    EXPECT_EQ(ImageList_GetImageCount(Images()), static_cast<int>(images.size()));
    EXPECT_GE(images.size(), 3u);
    EXPECT_EQ(*images.rbegin(), static_cast<int>(images.size()) - 1);
    EXPECT_EQ(shell.LiveObjects(), 0);

    // The class icons were copied, never taken: they are still alive.
    for (HICON icon : {m_red.SmallIcon(), m_blue.SmallIcon()}) {
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        CBitmap mask, colour;
        mask.Attach(info.hbmMask);
        colour.Attach(info.hbmColor);
    }
}
