// The program's engine against the stand-in in another process: the order
// probe and the button moves, through the registered TaskbarList server and
// the stand-in's tab control.
#include "standin_test_support.h"
#include <commctrl.h>
#include "engine/task_button_list.h"
#include "framework/app.h"
#include "framework/controls.h"
#include "framework/imagelist.h"
#include "tests/support/dialog_watcher.h"

namespace {

// The one application object of this test program: it holds the image list
// the engine appends the task icons to.
class CEngineTestApp : public CWinApp, public CTaskImageSource {
public:
    CEngineTestApp() { m_images.Create(16, 16, ILC_COLOR32, 0, 10); }
    CImageList& GetTaskImageList() override { return m_images; }

private:
    CImageList m_images;
};

CEngineTestApp& TestApp()
{
    static CEngineTestApp app;
    return app;
}

// The engine as the program makes it where the taskbar is a tab control,
// whatever version this process is told it runs on.
class CTabTaskButtonList : public CTaskButtonList {
public:
    CTabTaskButtonList() { m_kind = TabControl; }
};

BOOL CALLBACK CollectTaskWindow(HWND hWnd, LPARAM lParam)
{
    if (CTaskButtonList::IsTaskWindow(hWnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

class StandinEngineTest : public StandinTest {
protected:
    void SetUp() override
    {
        StandinTest::SetUp();
        TestApp();
        // The list the program shows, in a hidden owner: report view, one
        // selection, no header, no sorting.
        ASSERT_TRUE(m_parent.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 300, 300), nullptr, 0));
        const DWORD style = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER;
        ASSERT_TRUE(m_list.CreateEx(0, WC_LISTVIEWA, "", style, CRect(0, 0, 300, 300), m_parent, 1002));
        m_engine.Attach(&m_list);
    }

    // Opens count task windows one after the other; each gets its button at
    // the end.
    void OpenWindows(int count)
    {
        for (int i = 0; i < count; ++i) {
            m_windows.push_back(OpenTaskWindow(("Task " + std::to_string(i)).c_str()));
            m_client.Rescan();
        }
    }

    HWND W(size_t i) { return *m_windows[i]; }

    std::vector<HWND> ListOrder()
    {
        std::vector<HWND> order;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            order.push_back(m_engine.GetWindowAt(i));
        return order;
    }

    std::vector<HWND> EnumerationOrder()
    {
        std::vector<HWND> order;
        ::EnumWindows(CollectTaskWindow, reinterpret_cast<LPARAM>(&order));
        return order;
    }

    std::vector<std::unique_ptr<CSampleWindow>> m_windows;
    CWnd m_parent;
    CListCtrl m_list;
    CTabTaskButtonList m_engine;
};

}  // namespace

TEST_F(StandinEngineTest, RefreshPutsAShuffledEnumerationIntoTheStandinsOrder)
{
    OpenWindows(6);
    // The taskbar's order is not the order of appearance...
    for (size_t i : {3u, 0u}) CallTaskbarList(StandinOpDeleteTab, W(i));
    for (size_t i : {0u, 3u}) CallTaskbarList(StandinOpAddTab, W(i));
    const std::vector<HWND> taskbar{W(1), W(2), W(4), W(5), W(0), W(3)};
    ASSERT_EQ(taskbar, m_client.GetButtons());
    // ...and the enumeration's is neither: the last window raised comes first.
    for (size_t i : {2u, 5u, 0u, 4u, 1u, 3u})
        ::SetWindowPos(W(i), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ((std::vector<HWND>{W(3), W(1), W(4), W(0), W(5), W(2)}), EnumerationOrder());

    CDialogWatcher boxes;
    m_engine.Refresh();
    EXPECT_EQ(taskbar, ListOrder());
    EXPECT_EQ(taskbar, m_client.GetButtons()) << "probing moves no button";
    EXPECT_EQ(0u, boxes.Count());
}

TEST_F(StandinEngineTest, MoveButtonLeavesTheStandinInListOrder)
{
    OpenWindows(5);
    m_engine.Refresh();
    ASSERT_EQ(m_client.GetButtons(), ListOrder());

    const std::vector<HWND> before = ListOrder();
    m_engine.MoveButton(4, 0);
    EXPECT_EQ((std::vector<HWND>{before[4], before[0], before[1], before[2], before[3]}), m_client.GetButtons());

    const std::pair<int, int> moves[] = {{0, 4}, {1, 3}, {3, 1}, {2, 2}, {4, 3}, {1, 0}, {0, 1}};
    for (const auto& [from, to] : moves) {
        m_engine.MoveButton(from, to);
        EXPECT_EQ(ListOrder(), m_client.GetButtons()) << "MoveButton(" << from << ", " << to << ")";
    }
}

TEST_F(StandinEngineTest, AFailedActivationIsReportedAndTheProbeGoesOn)
{
    OpenWindows(3);
    for (size_t i : {0u, 1u, 2u})
        ::SetWindowPos(W(i), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_client.FailActivate(W(1), true);
    CDialogWatcher boxes;
    m_engine.Refresh();
    // The list starts as W2, W1, W0. The probes of positions 0 and 1 reach
    // W1 and report it, once each; the probe of position 2 finds W2 first.
    ASSERT_EQ(2u, boxes.Count());
    for (const SeenMessageBox& box : boxes.Seen())
        EXPECT_EQ("Unable to Activate Tab.", box.text);
    EXPECT_EQ((std::vector<HWND>{W(0), W(1), W(2)}), ListOrder());
}
