#include "app_fixture.h"
#include "app/about_dlg.h"
#include "controls/link_label.h"
#include "tests/support/ansi_text.h"
#include "tests/support/dialog_watcher.h"
#include "tests/support/pump.h"

namespace {

// What the About box looked like while it ran, read as it was activated;
// the watcher's handler then presses Enter on it.
struct SeenAbout {
    int opened = 0;
    HWND owner = nullptr;
    BOOL ownerEnabled = TRUE;
    bool labelAttached = false;
    bool underlined = false;
    COLORREF colour = CLR_INVALID;
    int labelWidth = 0;
    int templateWidth = 0;
    HWND focus = nullptr;
    HWND okButton = nullptr;
};

// Should the watcher miss the box, a test must fail, not hang: after a few
// seconds every About box still open is cancelled.
BOOL CALLBACK CancelIfAbout(HWND hWnd, LPARAM)
{
    if (::GetDlgItem(hWnd, IDC_HOMEPAGE_LINK)) {
        ADD_FAILURE() << "About box left open";
        ::PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
}

void CALLBACK CancelStrayAbout(HWND, UINT, UINT_PTR, DWORD)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), CancelIfAbout, 0);
}

bool ReadAbout(HWND box, SeenAbout& s)
{
    char caption[64] = {};
    ::GetWindowTextA(box, caption, sizeof caption);
    if (caption != AnsiText("关于 Corvane"))
        return false;
    ++s.opened;
    s.owner = ::GetWindow(box, GW_OWNER);
    s.ownerEnabled = ::IsWindowEnabled(s.owner);
    HWND label = ::GetDlgItem(box, IDC_HOMEPAGE_LINK);
    s.labelAttached = dynamic_cast<CLinkLabel*>(CWnd::FromHandlePermanent(label)) != nullptr;
    LOGFONTA lf{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    s.underlined = lf.lfUnderline != 0;
    HDC dc = ::GetDC(label);
    ::SendMessageA(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    s.colour = ::GetTextColor(dc);
    ::ReleaseDC(label, dc);
    RECT r;
    ::GetWindowRect(label, &r);
    s.labelWidth = r.right - r.left;
    RECT units{0, 0, 72, 8};
    ::MapDialogRect(box, &units);
    s.templateWidth = units.right;
    s.okButton = ::GetDlgItem(box, IDOK);
    CDialogWatcher::PressEnter(box);
    return true;
}

class AboutTest : public MainDlgTest {
protected:
    void SetUp() override
    {
        MainDlgTest::SetUp();
        m_guard = ::SetTimer(nullptr, 0, 5000, CancelStrayAbout);
    }
    void TearDown() override
    {
        ::KillTimer(nullptr, m_guard);
        MainDlgTest::TearDown();
    }
    SeenAbout m_seen;
    CDialogWatcher m_watcher{[this](HWND box) { return ReadAbout(box, m_seen); }};
    UINT_PTR m_guard = 0;
};

TEST_F(AboutTest, ButtonAndSystemMenuOpenTheSameModalBoxOwnedByTheMainWindow)
{
    Open();
    Click(IDC_ABOUT);
    EXPECT_EQ(1, m_seen.opened);
    EXPECT_EQ(m_dlg.m_hWnd, m_seen.owner);
    EXPECT_FALSE(m_seen.ownerEnabled);
    const SeenAbout fromButton = m_seen;

    m_dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    EXPECT_EQ(2, m_seen.opened);
    EXPECT_EQ(m_dlg.m_hWnd, m_seen.owner);
    EXPECT_EQ(fromButton.labelWidth, m_seen.labelWidth);

    // Enter closed it each time and gave the main window back.
    EXPECT_TRUE(::IsWindowEnabled(m_dlg.m_hWnd));
    EXPECT_TRUE(::IsWindow(m_dlg.m_hWnd));
}

TEST_F(AboutTest, LinkIsAttachedAlwaysUnderlinedUnvisitedAndFittedToItsText)
{
    Open();
    for (int i = 0; i < 2; ++i)
        Click(IDC_ABOUT);
    ASSERT_EQ(2, m_seen.opened);
    EXPECT_TRUE(m_seen.labelAttached);
    EXPECT_TRUE(m_seen.underlined);
    EXPECT_EQ(RGB(0, 0, 238), m_seen.colour);
    // Fitted to the URL in the dialog font, not the template's 72 units.
    EXPECT_NE(m_seen.templateWidth, m_seen.labelWidth);
    EXPECT_GT(m_seen.labelWidth, 0);
}

TEST_F(AboutTest, OtherSystemCommandsGetTheDefaultProcessing)
{
    Open();
    m_dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    // The close command became IDCANCEL, which ends the (modeless) dialog.
    EXPECT_EQ(0, m_seen.opened);
    EXPECT_EQ(nullptr, m_dlg.m_hWnd);
}

}  // namespace
