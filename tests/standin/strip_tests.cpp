// The strip's parts in this process: the button model over a real tab
// control or toolbar, with windows of this process (which the stand-in itself
// would leave out), and the sample windows.
#include "standin_test_support.h"
#include <commctrl.h>
#include <cstdlib>
#include <thread>
#include "framework/gdi.h"
#include "standin/button_host.h"
#include "standin/task_buttons.h"
#include "tests/support/pump.h"
#include "tests/support/task_windows.h"

namespace {

bool NearlyEqual(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 2 && std::abs(GetGValue(a) - GetGValue(b)) <= 2 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 2;
}

class StripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A hidden popup: no task window, and a parent like the switcher.
        ASSERT_TRUE(m_parent.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 800, 32), nullptr, 0));
        ASSERT_TRUE(m_tabs.Create(m_parent, CRect(0, 0, 800, 32)));
        m_buttons = std::make_unique<CTaskButtons>(m_tabs, 0);
    }

    std::string TabText(int index)
    {
        char text[256] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        m_tabs.SendMessage(TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return text;
    }

    COLORREF TabColour(int index)
    {
        TCITEMA item{};
        item.mask = TCIF_IMAGE;
        m_tabs.SendMessage(TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return ImageCentreColor(Images(), item.iImage);
    }

    HIMAGELIST Images() { return reinterpret_cast<HIMAGELIST>(m_tabs.SendMessage(TCM_GETIMAGELIST)); }

    std::vector<HWND> Buttons()
    {
        std::vector<HWND> buttons;
        for (int i = 0; i < m_buttons->GetCount(); ++i)
            buttons.push_back(m_buttons->GetWindowAt(i));
        return buttons;
    }

    CWnd m_parent;
    CTabButtonHost m_tabs;
    std::unique_ptr<CTaskButtons> m_buttons;
};

}  // namespace

TEST_F(StripTest, OnlyTaskWindowsGetButtons)
{
    auto plain = OpenTaskWindow("Plain");
    auto hidden = OpenWindow("Hidden", WS_OVERLAPPEDWINDOW, 0);
    auto tool = OpenWindow("Tool", WS_POPUP | WS_CAPTION | WS_VISIBLE, WS_EX_TOOLWINDOW);
    auto owned = OpenWindow("Owned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, *plain);
    auto untitled = OpenWindow("", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0);
    auto app = OpenWindow("App", WS_POPUP | WS_CAPTION | WS_VISIBLE, WS_EX_APPWINDOW | WS_EX_TOOLWINDOW, *plain);
    m_buttons->Scan();

    EXPECT_EQ((std::vector<HWND>{*plain, *app}), Buttons());
    EXPECT_EQ(2, m_tabs.SendMessage(TCM_GETITEMCOUNT));
    EXPECT_EQ("Plain", TabText(0));
    EXPECT_EQ("App", TabText(1));

    // The stand-in's own process: none of its windows, whatever they are.
    CTaskButtons own(m_tabs, ::GetCurrentProcessId());
    own.Scan();
    EXPECT_EQ(0, own.GetCount());
    EXPECT_EQ(E_INVALIDARG, own.AddTab(*plain));
}

TEST_F(StripTest, TitlesAndIconsFollowTheirWindows)
{
    auto first = OpenTaskWindow("First");
    auto second = OpenTaskWindow("Second");
    m_buttons->Scan();
    ASSERT_EQ(2, m_buttons->GetCount());
    EXPECT_TRUE(NearlyEqual(first->GetColour(), TabColour(0)));
    EXPECT_TRUE(NearlyEqual(second->GetColour(), TabColour(1)));

    second->SetWindowText("Second, renamed");
    m_buttons->Scan();
    EXPECT_EQ("Second, renamed", TabText(1));

    // Another class icon: the button's picture changes with it.
    const COLORREF purple = RGB(128, 0, 160);
    CIcon replacement = MakeSampleIcon(purple, 16);
    const LONG_PTR previous = ::SetClassLongPtrA(*second, GCLP_HICONSM, reinterpret_cast<LONG_PTR>(replacement.GetSafeHandle()));
    m_buttons->Scan();
    EXPECT_TRUE(NearlyEqual(purple, TabColour(1)));
    ::SetClassLongPtrA(*second, GCLP_HICONSM, previous);

    // The first button's image goes with its window; the other keeps its own
    // picture although its image moved in the list.
    const int images = ::ImageList_GetImageCount(Images());
    first.reset();
    m_buttons->Scan();
    ASSERT_EQ(1, m_buttons->GetCount());
    EXPECT_EQ(images - 1, ::ImageList_GetImageCount(Images()));
    EXPECT_TRUE(NearlyEqual(second->GetColour(), TabColour(0)));
}

TEST_F(StripTest, TheToolbarHostChecksOnlyTheActiveButtonAndShowsTitles)
{
    CToolbarButtonHost toolbar;
    ASSERT_TRUE(toolbar.Create(m_parent, CRect(0, 0, 800, 32)));
    toolbar.InsertButton(0, "One", 0);
    toolbar.InsertButton(1, "Two", 0);
    toolbar.InsertButton(2, "Three", 0);
    toolbar.UpdateButton(2, "Three, renamed", 0);

    auto checked = [&toolbar] {
        std::vector<bool> states;
        for (int i = 0; i < 3; ++i) {
            TBBUTTON button{};
            toolbar.SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
            states.push_back((button.fsState & TBSTATE_CHECKED) != 0);
        }
        return states;
    };
    toolbar.ShowActive(1);
    EXPECT_EQ((std::vector<bool>{false, true, false}), checked());
    toolbar.ShowActive(2);
    EXPECT_EQ((std::vector<bool>{false, false, true}), checked());
    toolbar.ShowActive(-1);
    EXPECT_EQ((std::vector<bool>{false, false, false}), checked());

    TBBUTTON third{};
    toolbar.SendMessage(TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&third));
    char text[64] = {};
    toolbar.SendMessage(TB_GETBUTTONTEXTA, static_cast<WPARAM>(third.idCommand), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("Three, renamed", text);
}

TEST_F(StripTest, ABurstOfChangesIsLaidOutAndDrawnOnceItEnds)
{
    m_tabs.MoveWindow(CRect(0, 0, 400, 32));
    auto rect = [this](int index) {
        RECT rect{};
        m_tabs.SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        return rect;
    };
    auto width = [&rect] { return rect(0).right - rect(0).left; };
    m_tabs.InsertButton(0, "One", 0);
    const int alone = width();

    m_tabs.HoldRedraw();
    for (int i = 1; i < 4; ++i)
        m_tabs.InsertButton(i, "More", 0);
    EXPECT_EQ(alone, width()) << "not laid out while held";
    m_tabs.ReleaseRedraw();
    // Four buttons share the row, gaps and the control's margins included: a
    // wider row would scroll and hide the first buttons behind the arrows.
    const int gap = rect(1).left - rect(0).right;
    EXPECT_LE(width(), (400 - 3 * gap) / 4);
    EXPECT_GE(width(), (400 - 3 * gap) / 4 - 4) << "the row is used";
    EXPECT_TRUE(::GetWindowLongA(m_tabs, GWL_STYLE) & WS_VISIBLE) << "drawn again";
    // Whatever the rounding leaves over, the row fits without scroll arrows.
    for (int client = 400; client < 408; ++client) {
        m_tabs.MoveWindow(CRect(0, 0, client, 32));
        HWND arrows = ::FindWindowExA(m_tabs, nullptr, UPDOWN_CLASSA, nullptr);
        EXPECT_FALSE(arrows && ::IsWindowVisible(arrows)) << client << " pixels: the row scrolls";
        EXPECT_LE(rect(3).right, client);
    }
}

TEST_F(StripTest, OnlyMessagesFromOtherThreadsCountAsProbes)
{
    m_tabs.InsertButton(0, "One", 0);
    m_tabs.ShowActive(0);
    EXPECT_EQ(0, m_tabs.GetForeignMessages());

    HWND tabs = m_tabs;
    std::thread probe([tabs] {
        for (int i = 0; i < 3; ++i)
            ::SendMessageA(tabs, TCM_GETCURFOCUS, 0, 0);
    });
    // The probe's messages are answered while this thread waits for them.
    const DWORD start = ::GetTickCount();
    while (m_tabs.GetForeignMessages() < 3 && ::GetTickCount() - start < 5000)
        PumpMessagesFor(10);
    probe.join();
    EXPECT_EQ(3, m_tabs.GetForeignMessages());
    m_tabs.ResetForeignMessages();
    EXPECT_EQ(0, m_tabs.GetForeignMessages());
}

TEST(SampleWindowsTest, EachWindowHasItsOwnIconsAndGivesThemBack)
{
    HICON small[3] = {};
    HICON large[3] = {};
    CString className;
    {
        CSampleWindows windows;
        ASSERT_TRUE(windows.Open(3, "Sample"));
        ASSERT_EQ(3, windows.GetOpenCount());
        for (size_t i = 0; i < 3; ++i) {
            CSampleWindow& window = windows[i];
            EXPECT_EQ("Sample " + std::to_string(i + 1), window.GetWindowText().str());
            EXPECT_TRUE(CTaskButtons::IsTaskWindow(window));
            small[i] = window.GetSmallIcon();
            large[i] = window.GetLargeIcon();
            EXPECT_EQ(small[i], reinterpret_cast<HICON>(::GetClassLongPtrA(window, GCLP_HICONSM)));
            EXPECT_EQ(large[i], reinterpret_cast<HICON>(::GetClassLongPtrA(window, GCLP_HICON)));
        }
        EXPECT_NE(windows[0].GetColour(), windows[1].GetColour());
        EXPECT_NE(windows[1].GetColour(), windows[2].GetColour());
        EXPECT_NE(windows[0].GetColour(), windows[2].GetColour());
        char name[64] = {};
        ::GetClassNameA(windows[0], name, sizeof name);
        className = name;

        ::SendMessageA(windows[1], WM_CLOSE, 0, 0);
        EXPECT_EQ(2, windows.GetOpenCount());
    }
    // Windows, classes and icons are gone with their owner.
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    EXPECT_FALSE(::GetClassInfoExA(::GetModuleHandleA(nullptr), className, &wc));
    for (int i = 0; i < 3; ++i) {
        ICONINFO info{};
        EXPECT_FALSE(::GetIconInfo(small[i], &info)) << i;
        EXPECT_FALSE(::GetIconInfo(large[i], &info)) << i;
    }
}
