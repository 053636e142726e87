#include "engine_fixture.h"
#include <algorithm>

CEngineTestApp::CEngineTestApp()
{
    // As the program makes it: 16 x 16, 32-bit colour, no mask, grows by 10.
    m_imageList.Create(16, 16, ILC_COLOR32, 0, 10);
}

CEngineTestApp& TestApp()
{
    static CEngineTestApp app;
    return app;
}

namespace {
BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string ClassName(const char* colour)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("CorvaneEngineTest_") + colour + "_" + (test ? test->name() : "none");
}
}  // namespace

EngineTest::EngineTest()
    : m_red(ClassName("red"), kRed), m_green(ClassName("green"), kGreen), m_blue(ClassName("blue"), kBlue),
      m_noIcon(ClassName("plain"))
{
}

void EngineTest::SetUp()
{
    TestApp();
    ::ImageList_Remove(Images(), -1);
    ASSERT_TRUE(m_red.IsRegistered() && m_green.IsRegistered() && m_blue.IsRegistered() && m_noIcon.IsRegistered());
    // A hidden tool window, so that the host itself is never listed.
    ASSERT_TRUE(m_host.CreateEx(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, CRect(0, 0, 320, 240), nullptr, 0));
    ASSERT_TRUE(m_list.CreateEx(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                    LVS_NOCOLUMNHEADER,
                                CRect(0, 0, 300, 200), m_host, 1002));
}

HWND EngineTest::AddWindow(const std::string& title, COLORREF color, DWORD exStyle, HWND owner, bool visible)
{
    const CTestWindowClass& cls = color == kGreen ? m_green : color == kBlue ? m_blue : m_red;
    return AddWindowOf(cls, title, exStyle, owner, visible);
}

HWND EngineTest::AddWindowOf(const CTestWindowClass& cls, const std::string& title, DWORD exStyle, HWND owner,
                             bool visible)
{
    m_windows.push_back(CTestWindow::Create(cls, title, exStyle, owner, visible));
    EXPECT_NE(m_windows.back().Get(), nullptr);
    return m_windows.back();
}

bool EngineTest::IsOwn(HWND hWnd) const
{
    return std::any_of(m_windows.begin(), m_windows.end(), [hWnd](const CTestWindow& w) { return w.Get() == hWnd; });
}

void EngineTest::Append(const std::vector<HWND>& windows)
{
    for (HWND hWnd : windows)
        CTaskButtonList::EnumTaskWindowProc(hWnd, reinterpret_cast<LPARAM>(&m_list));
}

std::vector<HWND> EngineTest::ForeignTaskWindows() const
{
    std::vector<HWND> foreign;
    for (HWND hWnd : TopLevelWindows()) {
        if (!IsOwn(hWnd) && CTaskButtonList::IsTaskWindow(hWnd) && ::GetWindowTextLengthA(hWnd) > 0)
            foreign.push_back(hWnd);
    }
    return foreign;
}

std::vector<HWND> EngineTest::Entries() const
{
    return ListEntryWindows(m_list.GetSafeHwnd());
}

std::vector<HWND> EngineTest::OwnEntries() const
{
    std::vector<HWND> own;
    for (HWND hWnd : Entries()) {
        if (IsOwn(hWnd))
            own.push_back(hWnd);
    }
    return own;
}

std::string EngineTest::TitleAt(int index) const
{
    char text[512] = {};
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    m_list.SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.pszText ? item.pszText : "";
}

int EngineTest::ImageAt(int index) const
{
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    m_list.SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

std::vector<HWND> Only(const std::vector<HWND>& order, const std::vector<HWND>& windows)
{
    std::vector<HWND> kept;
    for (HWND hWnd : order) {
        if (std::find(windows.begin(), windows.end(), hWnd) != windows.end())
            kept.push_back(hWnd);
    }
    return kept;
}

std::vector<HWND> Concat(const std::vector<std::vector<HWND>>& parts)
{
    std::vector<HWND> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
