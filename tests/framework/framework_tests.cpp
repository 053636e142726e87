#include <gtest/gtest.h>
#include "framework/framework.h"
#include "framework_tests.h"
#include "tests/support/dialog_watcher.h"
#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
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

// A modal dialog whose window dies without EndDialog, by a timer inside its
// own loop: destroyed itself, with its owner, or by a message sent from
// another thread while the loop waits.
class CDyingDlg : public CDialog {
public:
    enum How { Itself, WithOwner, FromAnotherThread };
    CDyingDlg(CWnd* owner, How how) : CDialog(IDD_FW_TEST, owner), m_how(how) {}
    ~CDyingDlg() override
    {
        if (m_sender.joinable())
            m_sender.join();
    }

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_how == FromAnotherThread) {
            const HWND self = m_hWnd;
            m_sender = std::thread([self] {
                ::Sleep(50);
                ::SendMessageA(self, WM_APP, 0, 0);
            });
        } else {
            SetTimer(1, 10);
        }
        return TRUE;
    }
    void OnTimer(UINT_PTR)
    {
        KillTimer(1);
        ::DestroyWindow(m_how == WithOwner ? ::GetWindow(m_hWnd, GW_OWNER) : m_hWnd);
    }
    LRESULT OnApp(WPARAM, LPARAM)
    {
        ::DestroyWindow(m_hWnd);
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    How m_how;
    std::thread m_sender;
};
BEGIN_MESSAGE_MAP(CDyingDlg, CDialog)
    ON_WM_TIMER()
    ON_MESSAGE(WM_APP, &CDyingDlg::OnApp)
END_MESSAGE_MAP()

// Set when the guard had to end a modal loop that did not end by itself.
std::atomic<bool> g_loopStuck{false};
void CALLBACK EndStuckLoop(HWND, UINT, UINT_PTR, DWORD)
{
    g_loopStuck = true;
    ::PostQuitMessage(0);
}

TEST_F(Framework, DoModalEndsWithMinusOneWhenItsWindowDiesWithoutEndDialog)
{
    for (CDyingDlg::How how : {CDyingDlg::Itself, CDyingDlg::WithOwner, CDyingDlg::FromAnotherThread}) {
        SCOPED_TRACE(how);
        CDerivedDlg owner;
        ASSERT_TRUE(owner.Create());
        owner.ShowWindow(SW_SHOW);
        g_loopStuck = false;
        const UINT_PTR guard = ::SetTimer(nullptr, 0, 3000, EndStuckLoop);
        INT_PTR result;
        {
            CDyingDlg modal(&owner, how);
            result = modal.DoModal();
            EXPECT_EQ(nullptr, modal.m_hWnd);
        }
        ::KillTimer(nullptr, guard);
        MSG quit;
        ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_FALSE(g_loopStuck) << "the modal loop went on after its window was destroyed";
        EXPECT_EQ(-1, result);
        if (how == CDyingDlg::WithOwner) {
            EXPECT_FALSE(::IsWindow(owner.m_hWnd));
        } else {
            EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
            owner.DestroyWindow();
        }
    }
}

// A window class whose own procedure answers WM_APP with 42.
LRESULT CALLBACK AnsweringProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_APP ? 42 : ::DefWindowProcA(hwnd, message, wParam, lParam);
}

class CAnsweringWindow {
public:
    CAnsweringWindow()
    {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = AnsweringProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "CorvaneFrameworkAnswering";
        m_class.Register(wc);
        m_hwnd = ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    }
    ~CAnsweringWindow() { ::DestroyWindow(m_hwnd); }
    CAnsweringWindow(const CAnsweringWindow&) = delete;
    CAnsweringWindow& operator=(const CAnsweringWindow&) = delete;
    operator HWND() const { return m_hwnd; }

private:
    CWindowClass m_class;
    HWND m_hwnd = nullptr;
};

// Subclassed after the framework: passes everything on.
WNDPROC g_laterSuper = nullptr;
LRESULT CALLBACK LaterSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcA(g_laterSuper, hwnd, message, wParam, lParam);
}

TEST_F(Framework, UnsubclassingIsRefusedWhileALaterSubclassSitsAbove)
{
    CAnsweringWindow window;
    ASSERT_NE(nullptr, static_cast<HWND>(window));
    CWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(window));
    g_laterSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterSubclass)));

    EXPECT_EQ(nullptr, wnd.UnsubclassWindow());
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(window));
    // The chain still ends in the window's own procedure.
    EXPECT_EQ(42, ::SendMessageA(window, WM_APP, 0, 0));

    // Once the later subclass is gone, the window gets its own procedure back.
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_laterSuper));
    EXPECT_EQ(static_cast<HWND>(window), wnd.UnsubclassWindow());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&AnsweringProc), ::GetWindowLongPtrA(window, GWLP_WNDPROC));
    EXPECT_EQ(42, ::SendMessageA(window, WM_APP, 0, 0));
}

// Answers WM_APP itself, declines it, or throws, as told.
class CAnswerTaker : public CWnd {
public:
    enum Mode { Take, Decline, Throw } mode = Take;

protected:
    LRESULT OnApp(WPARAM, LPARAM)
    {
        if (mode == Throw)
            throw std::runtime_error("out of cheese");
        SetMsgHandled(mode == Take);
        return 7;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CAnswerTaker, CWnd)
    ON_MESSAGE(WM_APP, &CAnswerTaker::OnApp)
END_MESSAGE_MAP()

TEST_F(Framework, AHandlerThatDeclinesLeavesTheMessageToTheDefaultProcessing)
{
    CAnsweringWindow window;
    CAnswerTaker taker;
    ASSERT_TRUE(taker.SubclassWindow(window));
    EXPECT_EQ(7, ::SendMessageA(window, WM_APP, 0, 0));
    taker.mode = CAnswerTaker::Decline;
    EXPECT_EQ(42, ::SendMessageA(window, WM_APP, 0, 0));
    taker.UnsubclassWindow();
}

// Collects what this process writes with OutputDebugStringA while it lives:
// the call raises DBG_PRINTEXCEPTION_C, which a vectored handler sees first.
class CDebugOutput {
public:
    CDebugOutput() : m_handler(::AddVectoredExceptionHandler(1, &CDebugOutput::Handler)) { s_active = this; }
    ~CDebugOutput()
    {
        s_active = nullptr;
        ::RemoveVectoredExceptionHandler(m_handler);
    }
    CDebugOutput(const CDebugOutput&) = delete;
    CDebugOutput& operator=(const CDebugOutput&) = delete;
    const std::string& Text() const { return m_text; }

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info)
    {
        constexpr DWORD kDebugPrint = 0x40010006;  // DBG_PRINTEXCEPTION_C
        const EXCEPTION_RECORD* record = info->ExceptionRecord;
        if (s_active && record->ExceptionCode == kDebugPrint && record->NumberParameters >= 2)
            s_active->m_text += reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    static inline CDebugOutput* s_active = nullptr;
    PVOID m_handler;
    std::string m_text;
};

TEST_F(Framework, AnExceptionStopsAtTheWindowProcedureAndIsReported)
{
    CAnsweringWindow window;
    CAnswerTaker taker;
    ASSERT_TRUE(taker.SubclassWindow(window));
    taker.mode = CAnswerTaker::Throw;
    CDebugOutput output;
    EXPECT_EQ(0, ::SendMessageA(window, WM_APP, 0, 0));
    EXPECT_NE(std::string::npos, output.Text().find("out of cheese")) << output.Text();
    EXPECT_NE(std::string::npos, output.Text().find("CorvaneFrameworkAnswering")) << output.Text();
    EXPECT_NE(std::string::npos, output.Text().find("0x8000")) << output.Text();
    // The window goes on working.
    // cppcheck-suppress redundantAssignment ; the handler read the mode during SendMessage
    taker.mode = CAnswerTaker::Take;
    EXPECT_EQ(7, ::SendMessageA(window, WM_APP, 0, 0));
    taker.UnsubclassWindow();
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

    // The same through an out-parameter: a callee's "no handle" leaves the
    // owner empty, a handle it writes is owned.
    CHandle slot(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const auto reportsNone = [](HANDLE* out) { *out = INVALID_HANDLE_VALUE; };
    reportsNone(slot.Put());
    EXPECT_FALSE(slot);
    EXPECT_EQ(nullptr, slot.Get());
    HANDLE made = nullptr;
    {
        CHandle owner;
        const auto makes = [](HANDLE* out) { *out = ::CreateEventA(nullptr, TRUE, FALSE, nullptr); };
        makes(owner.Put());
        ASSERT_TRUE(owner);
        made = owner.Get();
        EXPECT_TRUE(::SetEvent(made));
    }
    EXPECT_FALSE(::SetEvent(made));
}

TEST(CommonControls, OnlyVersion6IsAskedForTheStandardClassesAndTheProgramStartsWithWhatIsLoaded)
{
    EXPECT_EQ(static_cast<DWORD>(ICC_WIN95_CLASSES), CommonControlClasses(0));
    EXPECT_EQ(static_cast<DWORD>(ICC_WIN95_CLASSES), CommonControlClasses(5));
    EXPECT_EQ(static_cast<DWORD>(ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES), CommonControlClasses(6));
    const DWORD version = LoadedCommonControlsVersion();
    EXPECT_TRUE(version == 5 || version == 6) << version;

    // The registration succeeds with the classes chosen for that version,
    // and the start goes on to the application's own.
    struct CStartedApp : CWinApp {
        int ExitInstance() override { return 7; }
    } app;
    EXPECT_EQ(7, AfxWinMain(::GetModuleHandleA(nullptr)));
}

}  // namespace
