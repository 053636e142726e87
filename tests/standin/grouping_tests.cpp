// A stand-in that groups similar buttons, as the taskbars of XP, Server 2003
// and Vista do by default: the button model in this process with windows of
// several programs (this test program, the samples program and a copy of it
// under another name), and the executable's switch through its TaskbarList
// server.
#include "standin_test_support.h"
#include <commctrl.h>
#include "standin/button_host.h"
#include "standin/task_buttons.h"

namespace {

using Buttons = std::vector<HWND>;

std::string TabText(HWND tabs, int index)
{
    char text[256] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

}  // namespace

TEST(GroupingStripTest, ANewButtonGoesAfterTheLastButtonOfItsProgram)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 800, 32), nullptr, 0));
    CTabButtonHost tabs;
    ASSERT_TRUE(tabs.Create(parent, CRect(0, 0, 800, 32)));
    CTaskButtons model(tabs, 0, true);
    const auto buttons = [&model] {
        Buttons order;
        for (int i = 0; i < model.GetCount(); ++i)
            order.push_back(model.GetWindowAt(i));
        return order;
    };
    CForeignWindows foreign;
    const CString other = foreign.Copy("corvane_other.exe");

    // Windows that appear: each scan finds the one that opened last.
    auto own1 = OpenTaskWindow("Own 1");
    model.Scan();
    HWND a1 = foreign.Open(SamplesExe(), "A 1");
    model.Scan();
    auto own2 = OpenTaskWindow("Own 2");
    model.Scan();
    HWND b1 = foreign.Open(other, "B 1");
    model.Scan();
    // Another process of A's executable is the same program.
    HWND a2 = foreign.Open(SamplesExe(), "A 2");
    model.Scan();
    ASSERT_TRUE(a1 && a2 && b1);
    EXPECT_EQ((Buttons{*own1, *own2, a1, a2, b1}), buttons());
    EXPECT_EQ("Own 2", TabText(tabs, 1));
    EXPECT_EQ("A 2", TabText(tabs, 3));
    EXPECT_EQ("B 1", TabText(tabs, 4));

    // AddTab joins the program's buttons wherever they stand; a program whose
    // every button was taken off starts again at the end, so that a run taken
    // off and added back stands together in its new order.
    model.DeleteTab(*own1);
    model.AddTab(*own1);
    EXPECT_EQ((Buttons{*own2, *own1, a1, a2, b1}), buttons());
    model.DeleteTab(a1);
    model.DeleteTab(a2);
    model.AddTab(a2);
    EXPECT_EQ((Buttons{*own2, *own1, b1, a2}), buttons());
    model.AddTab(a1);
    EXPECT_EQ((Buttons{*own2, *own1, b1, a2, a1}), buttons());
    EXPECT_EQ("A 1", TabText(tabs, 4));
}

TEST_F(StandinTest, TheGroupSwitchPutsNewButtonsWithTheirPrograms)
{
    CForeignWindows foreign;
    auto own1 = OpenTaskWindow("Own 1");
    HWND a1 = foreign.Open(SamplesExe(), "A 1");
    ASSERT_TRUE(a1);
    for (LPCSTR arguments : {"", "--group", "--toolbar --group"}) {
        SCOPED_TRACE(*arguments ? arguments : "no switch");
        Restart(arguments);
        m_client.Rescan();
        ASSERT_EQ(2u, m_client.GetButtons().size());
        // The started stand-in gave the windows their buttons in enumeration
        // order: bring this program's button before A's.
        CallTaskbarList(StandinOpDeleteTab, a1);
        CallTaskbarList(StandinOpAddTab, a1);
        ASSERT_EQ((Buttons{*own1, a1}), m_client.GetButtons());

        auto own2 = OpenTaskWindow("Own 2");
        EXPECT_EQ(S_OK, CallTaskbarList(StandinOpAddTab, *own2));
        const bool grouping = std::string(arguments).find("--group") != std::string::npos;
        const Buttons expected = grouping ? Buttons{*own1, *own2, a1} : Buttons{*own1, a1, *own2};
        EXPECT_EQ(expected, m_client.GetButtons());
    }
}
