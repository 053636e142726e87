#include <gtest/gtest.h>
#include "framework/framework.h"
#include "framework_tests.h"
#include "tests/support/dialog_watcher.h"
#include <vector>

namespace {

CWinApp& TestApp()
{
    static CWinApp app;
    return app;
}

// A control that records what its parent reflected to it.
class CRecordingStatic : public CStatic {
public:
    int clicks = 0;
    int colours = 0;
    int presubclassed = 0;
    HBRUSH brush = nullptr;

protected:
    void PreSubclassWindow() override { ++presubclassed; }
    void OnClicked() { ++clicks; }
    HBRUSH CtlColor(CDC*, UINT) { ++colours; return brush; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CRecordingStatic, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, &CRecordingStatic::OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CBaseDlg : public CDialog {
public:
    CBaseDlg() : CDialog(IDD_FW_TEST) {}
    std::vector<std::string> calls;

protected:
    void OnSize(UINT, int, int) { calls.push_back("base size"); }
    void OnTimer(UINT_PTR) { calls.push_back("base timer"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBaseDlg, CDialog)
    ON_WM_SIZE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

class CDerivedDlg : public CBaseDlg {
public:
    CRecordingStatic label;
    int parentClicks = 0;
    int buttonClicks = 0;
    int initCount = 0;
    bool visibleDuringInit = true;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_FW_STATIC, label); }
    BOOL OnInitDialog() override
    {
        CBaseDlg::OnInitDialog();
        ++initCount;
        visibleDuringInit = IsWindowVisible() != FALSE;
        return TRUE;
    }
    void OnSize(UINT type, int cx, int cy)
    {
        CBaseDlg::OnSize(type, cx, cy);
        calls.push_back("derived size");
    }
    void OnButton() { ++buttonClicks; }
    void OnStaticClicked() { ++parentClicks; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDerivedDlg, CBaseDlg)
    ON_WM_SIZE()
    ON_BN_CLICKED(IDC_FW_BUTTON, &CDerivedDlg::OnButton)
    ON_CONTROL(STN_CLICKED, IDC_FW_STATIC, &CDerivedDlg::OnStaticClicked)
END_MESSAGE_MAP()

struct Framework : ::testing::Test {
    void SetUp() override { TestApp(); }
};

TEST_F(Framework, DerivedMapWinsAndChainsToBaseForTheRest)
{
    CDerivedDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.calls.clear();
    dlg.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    dlg.SendMessage(WM_TIMER, 7);
    EXPECT_EQ((std::vector<std::string>{"base size", "derived size", "base timer"}), dlg.calls);
    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST_F(Framework, ButtonCommandsReachTheDialogByIdAndCode)
{
    CDerivedDlg dlg;
    ASSERT_TRUE(dlg.Create());
    HWND button = dlg.GetDlgItem(IDC_FW_BUTTON);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FW_BUTTON, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FW_BUTTON, BN_SETFOCUS), reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(1, dlg.buttonClicks);
    dlg.DestroyWindow();
}

TEST_F(Framework, ReflectedNotificationIsEatenByTheControl)
{
    CDerivedDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(1, dlg.label.presubclassed);
    HWND label = dlg.GetDlgItem(IDC_FW_STATIC);
    EXPECT_EQ(&dlg.label, CWnd::FromHandlePermanent(label));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FW_STATIC, STN_CLICKED), reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(1, dlg.label.clicks);
    EXPECT_EQ(0, dlg.parentClicks);
    dlg.DestroyWindow();
    // The binding ends with the window.
    EXPECT_EQ(nullptr, dlg.label.m_hWnd);
}

TEST_F(Framework, CtlColorIsReflectedAndANullBrushFallsBackToTheDialog)
{
    CDerivedDlg dlg;
    ASSERT_TRUE(dlg.Create());
    HWND label = dlg.GetDlgItem(IDC_FW_STATIC);
    HDC dc = ::GetDC(label);
    dlg.label.brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.label.brush),
              dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
    dlg.label.brush = nullptr;
    // The dialog's own answer: a brush of the system's, never null.
    EXPECT_NE(0, dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
    EXPECT_EQ(2, dlg.label.colours);
    ::ReleaseDC(label, dc);
    dlg.DestroyWindow();
}

TEST_F(Framework, DialogIsHiddenDuringInitAndCentredOnTheScreen)
{
    CDerivedDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(1, dlg.initCount);
    EXPECT_FALSE(dlg.visibleDuringInit);
    CRect r;
    dlg.GetWindowRect(&r);
    CRect work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((work.left + work.right) / 2, (r.left + r.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (r.top + r.bottom) / 2, 1);
    dlg.DestroyWindow();
}

// Ends a modal dialog from inside its own loop, by a timer.
class CTimedDlg : public CDialog {
public:
    CTimedDlg(CWnd* parent, int result) : CDialog(IDD_FW_TEST, parent), m_result(result) {}
    HWND ownerSeen = nullptr;
    BOOL ownerEnabled = TRUE;
    int preTranslated = 0;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetTimer(1, 10);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_TIMER)
            ++preTranslated;
        return CDialog::PreTranslateMessage(msg);
    }
    void OnTimer(UINT_PTR)
    {
        KillTimer(1);
        ownerSeen = ::GetWindow(m_hWnd, GW_OWNER);
        ownerEnabled = ownerSeen ? ::IsWindowEnabled(ownerSeen) : TRUE;
        EndDialog(m_result);
    }
    DECLARE_MESSAGE_MAP()

private:
    int m_result;
};
BEGIN_MESSAGE_MAP(CTimedDlg, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST_F(Framework, DoModalDisablesTheOwnerAndReturnsTheEndCode)
{
    CDerivedDlg owner;
    ASSERT_TRUE(owner.Create());
    owner.ShowWindow(SW_SHOW);
    CTimedDlg modal(&owner, 42);
    EXPECT_EQ(42, modal.DoModal());
    EXPECT_EQ(owner.m_hWnd, modal.ownerSeen);
    EXPECT_FALSE(modal.ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    EXPECT_GE(modal.preTranslated, 1);
    EXPECT_EQ(nullptr, modal.m_hWnd);
    owner.DestroyWindow();
}

TEST_F(Framework, MessageBoxIsCaptionedWithTheExecutableNameAndWarns)
{
    CDialogWatcher closer;
    AfxMessageBox("Something happened.");
    AfxMessageBox("Asked.", MB_OK | MB_ICONQUESTION);
    ASSERT_EQ(2u, closer.Count());
    EXPECT_EQ("framework_tests", closer.Seen()[0].caption);
    EXPECT_EQ("Something happened.", closer.Seen()[0].text);
    EXPECT_TRUE(closer.Seen()[0].exclamationIcon);
    EXPECT_FALSE(closer.Seen()[1].exclamationIcon);
}

TEST_F(Framework, OwnersReleaseTheirHandlesExactlyOnce)
{
    HFONT font;
    {
        CFont owned;
        LOGFONTA lf{};
        lf.lfHeight = 12;
        ASSERT_TRUE(owned.CreateFontIndirect(&lf));
        font = owned;
        CFont moved(std::move(owned));
        EXPECT_EQ(nullptr, owned.GetSafeHandle());
        EXPECT_EQ(OBJ_FONT, static_cast<int>(::GetObjectType(moved)));
    }
    EXPECT_EQ(0u, ::GetObjectType(font));

    HIMAGELIST kept;
    {
        CImageList list;
        ASSERT_TRUE(list.Create(16, 16, ILC_COLOR32, 0, 10));
        kept = list.Detach();
    }
    // Detached: the list outlived its former owner and is still usable.
    EXPECT_EQ(0, ImageList_GetImageCount(kept));
    EXPECT_TRUE(ImageList_Destroy(kept));
}

TEST_F(Framework, OwnersReleaseWhatTheyHeldWhenGivenAnother)
{
    LOGFONTA lf{};
    lf.lfHeight = 12;
    CFont first, second;
    ASSERT_TRUE(first.CreateFontIndirect(&lf));
    ASSERT_TRUE(second.CreateFontIndirect(&lf));
    const HFONT firstFont = first, secondFont = second;
    // Move assignment releases the target's own object, never the moved one.
    first = std::move(second);
    EXPECT_EQ(0u, ::GetObjectType(firstFont));
    EXPECT_EQ(secondFont, first.GetSafeHandle());
    EXPECT_EQ(OBJ_FONT, static_cast<int>(::GetObjectType(secondFont)));
    // Attach releases what was held before.
    first.Attach(nullptr);
    EXPECT_EQ(0u, ::GetObjectType(secondFont));

    // A kernel handle's owner takes the platform's other "no handle" value
    // for empty, so it never closes INVALID_HANDLE_VALUE.
    CHandle none(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(none);
    CHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    const HANDLE raw = event.Get();
    event.Attach(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(event);
    EXPECT_FALSE(::SetEvent(raw));
}

}  // namespace
