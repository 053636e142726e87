// Binding the control, the task-window filter, entries and the kind rule.
#include "engine_fixture.h"

using TaskList = EngineTest;

TEST_F(TaskList, AttachPreparesTheControlAndLeavesTheImagesToTheApplication)
{
    m_list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES);
    m_engine.Attach(&m_list);

    EXPECT_EQ(m_list.SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE), LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT);
    char text[32] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    ASSERT_TRUE(m_list.SendMessage(LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(text, "Task");
    CRect client;
    m_list.GetClientRect(&client);
    EXPECT_EQ(column.cx, client.Width());
    EXPECT_FALSE(m_list.SendMessage(LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(m_list.GetImageList(LVSIL_SMALL), Images());

    // A null pointer keeps the control that is attached.
    m_engine.Attach(nullptr);
    Append({AddWindow("kept")});
    EXPECT_EQ(m_engine.GetWindowAt(0), m_windows.back().Get());

    // The control goes with its window; the application's image list stays.
    ASSERT_EQ(ImageList_GetImageCount(Images()), 1);
    m_list.DestroyWindow();
    EXPECT_EQ(ImageList_GetImageCount(Images()), 1);
    EXPECT_EQ(ImageCentreColor(Images(), 0), kRed);
}

TEST_F(TaskList, FilterFollowsVisibilityAppWindowToolWindowAndOwner)
{
    m_engine.Attach(&m_list);
    HWND plain = AddWindow("plain");
    HWND hiddenApp = AddWindow("hidden app", kRed, WS_EX_APPWINDOW, nullptr, false);
    HWND ownedApp = AddWindow("owned app", kRed, WS_EX_APPWINDOW, plain);
    HWND toolApp = AddWindow("tool app", kRed, WS_EX_APPWINDOW | WS_EX_TOOLWINDOW);
    HWND tool = AddWindow("tool", kRed, WS_EX_TOOLWINDOW);
    HWND ownedTool = AddWindow("owned tool", kRed, WS_EX_TOOLWINDOW, plain);
    HWND owned = AddWindow("owned", kRed, 0, plain);
    HWND untitled = AddWindow("");

    EXPECT_FALSE(CTaskButtonList::IsTaskWindow(nullptr));
    EXPECT_TRUE(CTaskButtonList::IsTaskWindow(plain));
    EXPECT_FALSE(CTaskButtonList::IsTaskWindow(hiddenApp));
    EXPECT_TRUE(CTaskButtonList::IsTaskWindow(ownedApp));
    EXPECT_TRUE(CTaskButtonList::IsTaskWindow(toolApp));
    EXPECT_FALSE(CTaskButtonList::IsTaskWindow(tool));
    EXPECT_FALSE(CTaskButtonList::IsTaskWindow(ownedTool));
    EXPECT_FALSE(CTaskButtonList::IsTaskWindow(owned));
    // The title is the enumeration's test, not the filter's.
    EXPECT_TRUE(CTaskButtonList::IsTaskWindow(untitled));

    Append({plain, hiddenApp, ownedApp, toolApp, tool, ownedTool, owned, untitled});
    EXPECT_EQ(Entries(), (std::vector<HWND>{plain, ownedApp, toolApp}));
    EXPECT_EQ(TitleAt(1), "owned app");

    // Without a list to fill the enumeration stops at once.
    EXPECT_FALSE(CTaskButtonList::EnumTaskWindowProc(plain, 0));
    EXPECT_EQ(Count(), 3);
}

TEST_F(TaskList, LongTitleKeepsItsFirst254BytesThroughAMove)
{
    m_engine.Attach(&m_list);
    std::string title;
    while (title.size() < 300)
        title += "0123456789";
    title.resize(300);
    HWND longTitle = AddWindow(title);
    HWND other = AddWindow("other");
    Append({longTitle, other});

    EXPECT_EQ(TitleAt(0), title.substr(0, 254));
    EXPECT_EQ(m_engine.MoveEntry(0, 1), longTitle);
    EXPECT_EQ(Entries(), (std::vector<HWND>{other, longTitle}));
    EXPECT_EQ(TitleAt(1), title.substr(0, 254));
}

TEST_F(TaskList, EveryEntryGetsItsOwnCopyOfItsClassIcon)
{
    m_engine.Attach(&m_list);
    HWND first = AddWindow("first red");
    HWND second = AddWindow("second red");
    HWND blue = AddWindow("blue", kBlue);
    HWND bare = AddWindowOf(m_noIcon, "no icon");
    // Icons set on the window itself are not the class's and are not asked for.
    ::SendMessageA(bare, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_green.SmallIcon()));
    Append({first, second, blue, bare});

    ASSERT_EQ(Count(), 4);
    EXPECT_EQ(ImageList_GetImageCount(Images()), 3);
    EXPECT_NE(ImageAt(0), ImageAt(1));
    EXPECT_EQ(ImageCentreColor(Images(), ImageAt(0)), kRed);
    EXPECT_EQ(ImageCentreColor(Images(), ImageAt(1)), kRed);
    EXPECT_EQ(ImageCentreColor(Images(), ImageAt(2)), kBlue);
    EXPECT_EQ(ImageAt(3), -1);
    EXPECT_EQ(TitleAt(3), "no icon");
}

TEST_F(TaskList, WithoutAnImageSourceEntriesHaveNoIcon)
{
    m_engine.Attach(&m_list);
    HWND red = AddWindow("red");
    {
        // An application object that offers no image list is current meanwhile.
        CWinApp plain;
        Append({red});
    }
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(ImageAt(0), -1);
    EXPECT_EQ(ImageList_GetImageCount(Images()), 0);
}

TEST_F(TaskList, MoveEntryMovesTitleIconAndWindowAndDropsTheSelection)
{
    m_engine.Attach(&m_list);
    HWND a = AddWindow("A");
    HWND b = AddWindow("B", kGreen);
    HWND c = AddWindow("C", kBlue);
    HWND d = AddWindow("D");
    Append({a, b, c, d});

    EXPECT_EQ(m_engine.MoveEntry(0, 2), a);
    EXPECT_EQ(Entries(), (std::vector<HWND>{b, c, a, d}));
    EXPECT_EQ(TitleAt(0), "B");
    EXPECT_EQ(ImageCentreColor(Images(), ImageAt(0)), kGreen);
    EXPECT_EQ(ImageCentreColor(Images(), ImageAt(1)), kBlue);
    EXPECT_EQ(ImageList_GetImageCount(Images()), 4);

    EXPECT_EQ(m_engine.MoveEntry(3, 1), d);
    EXPECT_EQ(Entries(), (std::vector<HWND>{b, d, c, a}));

    Select(2);
    EXPECT_EQ(m_engine.MoveEntry(2, 2), c);
    EXPECT_EQ(Entries(), (std::vector<HWND>{b, d, c, a}));
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(TitleAt(2), "C");

    // Indexes that name no entry change nothing.
    EXPECT_EQ(m_engine.MoveEntry(-1, 0), nullptr);
    EXPECT_EQ(m_engine.MoveEntry(0, 4), nullptr);
    EXPECT_EQ(m_engine.MoveEntry(4, 0), nullptr);
    EXPECT_EQ(m_engine.GetWindowAt(4), nullptr);
    EXPECT_EQ(m_engine.GetWindowAt(-1), nullptr);
    EXPECT_EQ(m_engine.GetWindowAt(3), a);
    EXPECT_EQ(Entries(), (std::vector<HWND>{b, d, c, a}));
}

TEST_F(TaskList, NothingHappensBeforeAttach)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    HWND a = AddWindow("A");
    HWND b = AddWindow("B");
    Append({a, b});
    shell.SetButtons({a, b});

    EXPECT_EQ(m_engine.MoveEntry(0, 1), nullptr);
    EXPECT_EQ(m_engine.GetWindowAt(0), nullptr);
    EXPECT_EQ(m_engine.MoveButton(0, 1), nullptr);
    Select(1);
    m_engine.MoveUp();
    m_engine.MoveDown();
    EXPECT_EQ(m_engine.FindEntryAtTab(0), -1);
    m_engine.Refresh();

    EXPECT_EQ(Entries(), (std::vector<HWND>{a, b}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_TRUE(shell.Calls().empty());
}

TEST(TaskbarKindRule, EveryVersionRowAndAFailedQuery)
{
    struct Row {
        DWORD major, minor;
        TaskbarKind kind;
    };
    const Row rows[] = {{3, 51, TabControl}, {4, 0, TabControl}, {4, 10, TabControl}, {4, 90, TabControl},
                        {5, 0, TabControl},  {5, 1, Toolbar},    {5, 2, Toolbar},     {6, 0, TabControl},
                        {6, 1, Toolbar},     {6, 2, Toolbar},    {6, 3, Toolbar},     {10, 0, TabControl}};
    for (const Row& row : rows) {
        OSVERSIONINFOA version{};
        version.dwOSVersionInfoSize = sizeof version;
        version.dwMajorVersion = row.major;
        version.dwMinorVersion = row.minor;
        EXPECT_EQ(CTaskButtonList::KindFromVersion(TRUE, version), row.kind) << row.major << "." << row.minor;
        EXPECT_EQ(CTaskButtonList::KindFromVersion(FALSE, version), Unknown) << row.major << "." << row.minor;
    }
}

TEST(TaskbarKindRule, TheEngineTakesItsKindFromTheReportedVersion)
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    const BOOL ok = ::GetVersionExA(&version);
    CTaskButtonList engine;
    EXPECT_EQ(engine.GetKind(), CTaskButtonList::KindFromVersion(ok, version));
    EXPECT_NE(engine.GetKind(), Unknown);
}
