#include <gtest/gtest.h>
#include "controls/link_label.h"
#include "framework/app.h"
#include "framework/dialog.h"
#include "link_label_tests.h"
#include "tests/support/ansi_text.h"
#include "tests/support/dialog_watcher.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/message_recorder.h"
#include "tests/support/pump.h"
#include <shellapi.h>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kLinkColor = RGB(0, 0, 238);
constexpr COLORREF kVisitedColor = RGB(85, 26, 139);
constexpr COLORREF kHoverColor = RGB(255, 0, 0);
constexpr char kErrorPrefix[] = "Unable to open hyperlink:\n\n";
// A scheme that no prefix associates with anything, so the shell always fails.
constexpr char kUnopenable[] = "corvane-no-such-scheme:page";

CWinApp& TestApp()
{
    static CWinApp app;
    return app;
}

// A label whose opening of targets the test decides, with its state in view.
class CProbeLabel : public CLinkLabel {
public:
    using CLinkLabel::m_handCursor;
    using CLinkLabel::m_mouseOver;
    using CLinkLabel::m_normalFont;
    using CLinkLabel::m_toolTip;
    using CLinkLabel::m_underlineFont;
    using CLinkLabel::m_underlineMode;
    using CLinkLabel::m_url;
    using CLinkLabel::m_visited;

    bool useShell = false;
    int openResult = SE_ERR_FNF;
    std::vector<std::string> opened;
    std::vector<int> showCommands;

    int OpenLink(LPCSTR target, int showCmd) override
    {
        opened.push_back(target);
        showCommands.push_back(showCmd);
        return useShell ? CLinkLabel::OpenLink(target, showCmd) : openResult;
    }
};

class CLinkTestDlg : public CDialog {
public:
    CLinkTestDlg() : CDialog(IDD_LINK_TEST) {}
    CProbeLabel left, right, center, middle, border, empty;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_LINK_LEFT, left);
        DDX_Control(pDX, IDC_LINK_RIGHT, right);
        DDX_Control(pDX, IDC_LINK_CENTER, center);
        DDX_Control(pDX, IDC_LINK_MIDDLE, middle);
        DDX_Control(pDX, IDC_LINK_BORDER, border);
        DDX_Control(pDX, IDC_LINK_EMPTY, empty);
    }
};

// Points this process's HKEY_CLASSES_ROOT at a volatile key of the test's own,
// so that the shell and the fallback read only what the test registers.
class CTestClassesRoot {
public:
    CTestClassesRoot()
    {
        ::RegCreateKeyExA(HKEY_CURRENT_USER, kPath, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          &m_root, nullptr);
        m_overridden = m_root && ::RegOverridePredefKey(HKEY_CLASSES_ROOT, m_root) == ERROR_SUCCESS;
    }
    ~CTestClassesRoot()
    {
        ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        for (auto it = m_created.rbegin(); it != m_created.rend(); ++it)
            ::RegDeleteKeyA(m_root, it->c_str());
        if (m_root) {
            ::RegCloseKey(m_root);
            ::RegDeleteKeyA(HKEY_CURRENT_USER, kPath);
        }
    }
    CTestClassesRoot(const CTestClassesRoot&) = delete;
    CTestClassesRoot& operator=(const CTestClassesRoot&) = delete;

    bool Overridden() const { return m_overridden; }

    // Creates subKey (each level volatile) with value as its default value.
    void Set(const std::string& subKey, const std::string& value)
    {
        size_t end = 0;
        do {
            end = subKey.find('\\', end + 1);
            const std::string level = subKey.substr(0, end);
            HKEY key = nullptr;
            DWORD disposition = 0;
            if (::RegCreateKeyExA(m_root, level.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                  &key, &disposition) != ERROR_SUCCESS)
                return;
            if (disposition == REG_CREATED_NEW_KEY)
                m_created.push_back(level);
            if (end == std::string::npos)
                ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
            ::RegCloseKey(key);
        } while (end != std::string::npos);
    }

private:
    static constexpr char kPath[] = "Software\\CorvaneLinkLabelTestClasses";
    HKEY m_root = nullptr;
    bool m_overridden = false;
    std::vector<std::string> m_created;
};

// A memory device context over a small bitmap of the screen's format.
class CMemoryCanvas {
public:
    CMemoryCanvas(int cx, int cy)
    {
        CClientDC screen(nullptr);
        m_dc = ::CreateCompatibleDC(screen);
        m_bitmap.Attach(::CreateCompatibleBitmap(screen, cx, cy));
        m_old = ::SelectObject(m_dc, m_bitmap);
        const RECT all{0, 0, cx, cy};
        CDC(m_dc).FillSolidRect(&all, RGB(0, 0, 0));
    }
    ~CMemoryCanvas()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteDC(m_dc);
    }
    CMemoryCanvas(const CMemoryCanvas&) = delete;
    CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;
    HDC dc() const { return m_dc; }

private:
    HDC m_dc = nullptr;
    CBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
};

HFONT FontOf(HWND window)
{
    return reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
}

LOGFONTA LogFontOf(HFONT font)
{
    LOGFONTA lf{};
    ::GetObjectA(font, sizeof lf, &lf);
    return lf;
}

CRect ScreenRectOf(HWND window)
{
    CRect r;
    ::GetWindowRect(window, &r);
    return r;
}

// A rectangle in the dialog's client coordinates.
CRect RectInDialog(HWND dialog, HWND control)
{
    CRect r = ScreenRectOf(control);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<LPPOINT>(&r), 2);
    return r;
}

// The controls' rectangles as the template lays them out, before any label fits them.
CRect TemplateRect(int id)
{
    CDialog plain(IDD_LINK_TEST);
    EXPECT_TRUE(plain.Create());
    const CRect r = RectInDialog(plain, plain.GetDlgItem(id));
    plain.DestroyWindow();
    return r;
}

CSize TextExtent(HWND control, HFONT font)
{
    char text[256] = {};
    const int length = ::GetWindowTextA(control, text, sizeof text);
    CClientDC dc(control);
    CSelectObject select(dc, font);
    return dc.GetTextExtent(text, length);
}

std::string WindowText(HWND window)
{
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

struct ColourAnswer {
    COLORREF text;
    int bkMode;
    LRESULT brush;
};

// What the label makes of the colour question its parent is asked.
ColourAnswer AskColours(CDialog& dlg, HWND label)
{
    CClientDC dc(label);
    ::SetTextColor(dc, RGB(1, 2, 3));
    ::SetBkMode(dc, OPAQUE);
    const LRESULT brush = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                          reinterpret_cast<LPARAM>(label));
    return {::GetTextColor(dc), ::GetBkMode(dc), brush};
}

COLORREF TextColourOf(CDialog& dlg, HWND label)
{
    return AskColours(dlg, label).text;
}

POINT CentreOf(HWND window)
{
    const CRect r = ScreenRectOf(window);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A screen point well outside the dialog.
POINT OutsideOf(HWND dialog)
{
    const CRect r = ScreenRectOf(dialog);
    return {r.left > 40 ? r.left - 30 : r.right + 30, r.top > 40 ? r.top - 30 : r.bottom + 30};
}

// Runs the label's poll with the pointer at screen: a WM_TIMER taken from the
// queue carries the pointer position of its posting, and GetMessagePos reports
// that position to the handler.
void PollWithPointerAt(HWND label, POINT screen, UINT_PTR id = 100)
{
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageA(label, WM_TIMER, id, 0);
    PumpMessages();
}

void MoveMouseOver(HWND label)
{
    ::SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
}

// The button press and release of a click, as the pointer would give them.
void Click(HWND label)
{
    ::SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

bool CursorAlive(HCURSOR cursor)
{
    ICONINFO info{};
    if (!::GetIconInfo(cursor, &info))
        return false;
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    return true;
}

// Whether the help program of this system carries the hand cursor the label borrows.
bool HelpProgramHasHandCursor()
{
    char path[MAX_PATH] = {};
    ::GetWindowsDirectoryA(path, MAX_PATH);
    std::strcat(path, "\\winhlp32.exe");
    HMODULE module = ::LoadLibraryA(path);
    if (!module)
        return false;
    const bool found = ::LoadCursorA(module, MAKEINTRESOURCEA(106)) != nullptr;
    ::FreeLibrary(module);
    return found;
}

struct LinkLabel : ::testing::Test {
    void SetUp() override
    {
        TestApp();
        // The pointer starts away from every test window.
        ::SetCursorPos(0, 0);
    }
};

TEST_F(LinkLabel, AttachingTakesTheTextAsTargetOrShowsTheTargetAsText)
{
    CLinkTestDlg dlg;
    dlg.empty.SetLinkUrl("http://example.com/empty");
    dlg.right.SetLinkUrl("http://example.com/right");
    ASSERT_TRUE(dlg.Create());

    EXPECT_EQ("http://example.com/left", std::string(dlg.left.m_url));
    EXPECT_EQ("http://example.com/left", WindowText(dlg.left));
    // A target set before attaching stays, and the text stays too.
    EXPECT_EQ("http://example.com/right", std::string(dlg.right.m_url));
    EXPECT_EQ(AnsiText("右对齐的链接"), WindowText(dlg.right));
    // An empty text shows the target.
    EXPECT_EQ("http://example.com/empty", WindowText(dlg.empty));
    // The template has no SS_NOTIFY; the label needs it for mouse input.
    EXPECT_TRUE(dlg.left.GetStyle() & SS_NOTIFY);
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, FontsAreCopiesOfTheTemplateFontAndTheTemplateFontStaysUntilTheFirstHover)
{
    CLinkTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    const HFONT dialogFont = dlg.GetFont();
    ASSERT_NE(nullptr, dialogFont);
    const LOGFONTA original = LogFontOf(dialogFont);
    const LOGFONTA normal = LogFontOf(dlg.left.m_normalFont);
    const LOGFONTA underlined = LogFontOf(dlg.left.m_underlineFont);

    EXPECT_STREQ(original.lfFaceName, normal.lfFaceName);
    EXPECT_EQ(original.lfHeight, normal.lfHeight);
    EXPECT_EQ(original.lfWeight, normal.lfWeight);
    EXPECT_EQ(0, normal.lfUnderline);
    EXPECT_STREQ(original.lfFaceName, underlined.lfFaceName);
    EXPECT_EQ(original.lfHeight, underlined.lfHeight);
    EXPECT_EQ(1, underlined.lfUnderline);
    // Two new fonts, not the template's.
    EXPECT_NE(dialogFont, dlg.left.m_normalFont.GetSafeHandle());
    EXPECT_EQ(dialogFont, FontOf(dlg.left));
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, FittingKeepsTheEdgeOrCentreThatTheAlignmentNames)
{
    CLinkTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    struct Case {
        const char* name;
        int id;
        CProbeLabel& label;
    };
    for (const Case& c : {Case{"left", IDC_LINK_LEFT, dlg.left}, Case{"right", IDC_LINK_RIGHT, dlg.right},
                          Case{"centre", IDC_LINK_CENTER, dlg.center}, Case{"middle", IDC_LINK_MIDDLE, dlg.middle},
                          Case{"border", IDC_LINK_BORDER, dlg.border}}) {
        SCOPED_TRACE(c.name);
        const CRect before = TemplateRect(c.id);
        const CRect after = RectInDialog(dlg, c.label);
        CRect client;
        c.label.GetClientRect(&client);
        const CSize text = TextExtent(c.label, c.label.m_underlineFont);
        ASSERT_GT(text.cx, 0);
        // The template made every control larger than its text.
        ASSERT_GT(before.Width(), text.cx + 10);

        // The client area holds exactly the text (within the centring's odd pixel).
        EXPECT_NEAR(text.cx, client.Width(), c.id == IDC_LINK_CENTER ? 1 : 0);
        EXPECT_NEAR(text.cy, client.Height(), c.id == IDC_LINK_MIDDLE ? 1 : 0);
        switch (c.id) {
        case IDC_LINK_RIGHT:
            EXPECT_EQ(before.right, after.right);
            EXPECT_EQ(before.top, after.top);
            break;
        case IDC_LINK_CENTER:
            EXPECT_NEAR(before.left + before.right, after.left + after.right, 2);
            EXPECT_EQ(before.top, after.top);
            break;
        case IDC_LINK_MIDDLE:
            EXPECT_EQ(before.left, after.left);
            EXPECT_NEAR(before.top + before.bottom, after.top + after.bottom, 2);
            break;
        default:
            EXPECT_EQ(before.left, after.left);
            EXPECT_EQ(before.top, after.top);
            break;
        }
    }
    // The bordered control has its border outside the fitted text.
    CRect borderClient;
    dlg.border.GetClientRect(&borderClient);
    EXPECT_GT(ScreenRectOf(dlg.border).Width(), borderClient.Width());
    EXPECT_GT(ScreenRectOf(dlg.border).Height(), borderClient.Height());
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, TooltipHasOneToolOverTheFittedLabelShowingTheTarget)
{
    CLinkTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    const HWND tip = dlg.left.m_toolTip;
    ASSERT_TRUE(::IsWindow(tip));
    char cls[64] = {};
    ::GetClassNameA(tip, cls, sizeof cls);
    EXPECT_STREQ(TOOLTIPS_CLASSA, cls);
    EXPECT_TRUE(::GetWindowLongA(tip, GWL_STYLE) & WS_POPUP);
    // A popup made with a child as parent is owned by that child's top-level window.
    EXPECT_EQ(dlg.m_hWnd, ::GetWindow(tip, GW_OWNER));
    EXPECT_EQ(1, ::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));

    char text[512] = {};
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = dlg.left;
    info.uId = 1;
    info.lpszText = text;
    ASSERT_TRUE(::SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(0u, info.uFlags);
    CRect client;
    dlg.left.GetClientRect(&client);
    EXPECT_EQ(client, CRect(info.rect));
    EXPECT_STREQ("http://example.com/left", text);

    // A new target: the tip follows, the text stays, the size is fitted again.
    dlg.left.MoveWindow(CRect(0, 0, 400, 60));
    dlg.left.SetLinkUrl("http://example.com/elsewhere");
    std::memset(text, 0, sizeof text);
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ("http://example.com/elsewhere", text);
    EXPECT_EQ("http://example.com/left", WindowText(dlg.left));
    dlg.left.GetClientRect(&client);
    EXPECT_EQ(TextExtent(dlg.left, dlg.left.m_underlineFont).cx, client.Width());
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, HoverUnderlinesAndColoursAtOnceAndEndsAtThePollThatFindsThePointerOutside)
{
    CLinkTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    CProbeLabel& label = dlg.left;
    const ColourAnswer idle = AskColours(dlg, label);
    EXPECT_EQ(kLinkColor, idle.text);
    EXPECT_EQ(TRANSPARENT, idle.bkMode);
    EXPECT_EQ(reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)), idle.brush);

    MoveMouseOver(label);
    EXPECT_TRUE(label.m_mouseOver);
    EXPECT_EQ(label.m_underlineFont.GetSafeHandle(), FontOf(label));
    EXPECT_EQ(kHoverColor, TextColourOf(dlg, label));

    // While the pointer is inside, no poll changes anything, whatever its id.
    {
        CMessageRecorder record(label);
        for (UINT_PTR id : {UINT_PTR(100), UINT_PTR(1), UINT_PTR(0xBEEF)})
            PollWithPointerAt(label, CentreOf(label), id);
        EXPECT_TRUE(label.m_mouseOver);
        EXPECT_EQ(0, record.Count(WM_SETFONT));
        EXPECT_EQ(label.m_underlineFont.GetSafeHandle(), FontOf(label));
    }

    // A poll of any id with the pointer outside ends the hover and its timer.
    PollWithPointerAt(label, OutsideOf(dlg), 7);
    EXPECT_FALSE(label.m_mouseOver);
    EXPECT_EQ(label.m_normalFont.GetSafeHandle(), FontOf(label));
    EXPECT_EQ(kLinkColor, TextColourOf(dlg, label));
    EXPECT_FALSE(::KillTimer(label, 100));
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, RealPointerEntersAndLeavesTheVisibleLabel)
{
    CLinkTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.ShowWindow(SW_SHOW);
    PumpMessages();
    CProbeLabel& label = dlg.left;
    const POINT inside = CentreOf(label);
    ::SetCursorPos(inside.x, inside.y);
    ASSERT_TRUE(PumpMessagesUntil([&] { return label.m_mouseOver != FALSE; }, 10000));
    // Inside, the poll keeps the hover for as long as the pointer stays.
    PumpMessagesFor(300);
    EXPECT_TRUE(label.m_mouseOver);
    EXPECT_EQ(label.m_underlineFont.GetSafeHandle(), FontOf(label));

    const POINT outside = OutsideOf(dlg);
    // The next poll ends the hover: within 100 ms on an idle machine (make
    // bench times it); the limit only bounds a busy one.
    ::SetCursorPos(outside.x, outside.y);
    EXPECT_TRUE(PumpMessagesUntil([&] { return label.m_mouseOver == FALSE; }, 10000));
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, UnderlineAlwaysSurvivesHoverAndNeverOrAnyOtherValueStaysPlain)
{
    {
        CLinkTestDlg dlg;
        ASSERT_TRUE(dlg.Create());
        CProbeLabel& label = dlg.left;
        label.SetUnderlineMode(CLinkLabel::UnderlineAlways);
        EXPECT_EQ(label.m_underlineFont.GetSafeHandle(), FontOf(label));
        MoveMouseOver(label);
        EXPECT_EQ(label.m_underlineFont.GetSafeHandle(), FontOf(label));
        EXPECT_EQ(kHoverColor, TextColourOf(dlg, label));
        PollWithPointerAt(label, OutsideOf(dlg));
        EXPECT_FALSE(label.m_mouseOver);
        EXPECT_EQ(label.m_underlineFont.GetSafeHandle(), FontOf(label));
        EXPECT_EQ(kLinkColor, TextColourOf(dlg, label));
        dlg.DestroyWindow();
    }
    for (int mode : {int(CLinkLabel::UnderlineNever), 5}) {
        SCOPED_TRACE(mode);
        CLinkTestDlg dlg;
        ASSERT_TRUE(dlg.Create());
        CProbeLabel& label = dlg.left;
        label.SetUnderlineMode(mode);
        EXPECT_EQ(label.m_normalFont.GetSafeHandle(), FontOf(label));
        CMessageRecorder record(label);
        MoveMouseOver(label);
        EXPECT_EQ(0, record.Count(WM_SETFONT));
        EXPECT_EQ(kHoverColor, TextColourOf(dlg, label));
        // Leaving applies the plain font again.
        PollWithPointerAt(label, OutsideOf(dlg));
        ASSERT_EQ(1, record.Count(WM_SETFONT));
        EXPECT_EQ(label.m_normalFont.GetSafeHandle(), FontOf(label));
        dlg.DestroyWindow();
    }
}

TEST_F(LinkLabel, ModeSetBeforeAttachingIsReplacedByUnderlineOnHover)
{
    CLinkTestDlg dlg;
    dlg.left.SetUnderlineMode(CLinkLabel::UnderlineAlways);
    EXPECT_EQ(CLinkLabel::UnderlineAlways, dlg.left.m_underlineMode);
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(CLinkLabel::UnderlineOnHover, dlg.left.m_underlineMode);
    // Replacing it applied the plain copy, where an untouched label keeps the template's font.
    EXPECT_EQ(dlg.left.m_normalFont.GetSafeHandle(), FontOf(dlg.left));
    EXPECT_EQ(dlg.GetFont(), FontOf(dlg.right));
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, SettingTheCurrentModeNeitherSetsAFontNorRepaints)
{
    CLinkTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.ShowWindow(SW_SHOW);
    PumpMessages();
    CProbeLabel& label = dlg.left;
    ::ValidateRect(label, nullptr);
    CMessageRecorder record(label);

    label.SetUnderlineMode(CLinkLabel::UnderlineOnHover);
    EXPECT_EQ(0, record.Count(WM_SETFONT));
    EXPECT_FALSE(::GetUpdateRect(label, nullptr, FALSE));

    label.SetUnderlineMode(CLinkLabel::UnderlineAlways);
    ASSERT_EQ(1, record.Count(WM_SETFONT));
    label.SetUnderlineMode(CLinkLabel::UnderlineAlways);
    EXPECT_EQ(1, record.Count(WM_SETFONT));
    for (const CWPSTRUCT& m : record.Sent()) {
        if (m.message == WM_SETFONT) {
            EXPECT_EQ(reinterpret_cast<WPARAM>(label.m_underlineFont.GetSafeHandle()), m.wParam);
            EXPECT_EQ(TRUE, m.lParam);
        }
    }
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, ClickThatOpensShowsVisitedAtOnceAndAFailedClickReportsAndClearsIt)
{
    CLinkTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    CProbeLabel& label = dlg.left;
    CDialogWatcher closer;

    MoveMouseOver(label);
    label.openResult = 42;
    Click(label);
    ASSERT_EQ(1u, label.opened.size());
    EXPECT_EQ("http://example.com/left", label.opened[0]);
    EXPECT_EQ(SW_SHOW, label.showCommands[0]);
    EXPECT_TRUE(label.m_visited);
    // The pointer is still on it, yet the click shows the visited colour.
    EXPECT_EQ(kVisitedColor, TextColourOf(dlg, label));
    EXPECT_EQ(0u, closer.Count());
    MoveMouseOver(label);
    EXPECT_EQ(kHoverColor, TextColourOf(dlg, label));
    PollWithPointerAt(label, OutsideOf(dlg));
    EXPECT_EQ(kVisitedColor, TextColourOf(dlg, label));

    label.openResult = SE_ERR_FNF;
    Click(label);
    EXPECT_EQ(2u, label.opened.size());
    ASSERT_EQ(1u, closer.Count());
    EXPECT_EQ("controls_tests", closer.Seen()[0].caption);
    EXPECT_EQ(std::string(kErrorPrefix) + "The specified file was not found.", closer.Seen()[0].text);
    EXPECT_TRUE(closer.Seen()[0].exclamationIcon);
    EXPECT_FALSE(label.m_visited);
    EXPECT_EQ(kLinkColor, TextColourOf(dlg, label));
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, ErrorBoxNamesTheFailureByItsCode)
{
    CDialogWatcher closer;
    for (int code : {26, 1, 31, 0, -7})
        CLinkLabel::ShowOpenError(code);
    ASSERT_EQ(5u, closer.Count());
    const std::string prefix = kErrorPrefix;
    EXPECT_EQ(prefix + "A sharing violation occurred. ", closer.Seen()[0].text);
    EXPECT_EQ(prefix + "Unknown Error (1) occurred.", closer.Seen()[1].text);
    EXPECT_EQ(prefix + "There is no application associated\nwith the given filename extension.",
              closer.Seen()[2].text);
    EXPECT_EQ(prefix + "The operating system is out\nof memory or resources.", closer.Seen()[3].text);
    EXPECT_EQ(prefix + "Unknown Error (-7) occurred.", closer.Seen()[4].text);
    for (const SeenMessageBox& box : closer.Seen()) {
        EXPECT_EQ("controls_tests", box.caption);
        EXPECT_TRUE(box.exclamationIcon);
    }
}

TEST_F(LinkLabel, ClickOnATargetTheShellCannotOpenReportsTheShellsCode)
{
    CTestClassesRoot classes;
    ASSERT_TRUE(classes.Overridden());
    const int shell = static_cast<int>(reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", kUnopenable, nullptr, nullptr, SW_SHOW)));
    ASSERT_EQ(SE_ERR_NOASSOC, shell);

    CLinkTestDlg dlg;
    dlg.left.useShell = true;
    dlg.left.SetLinkUrl(kUnopenable);
    ASSERT_TRUE(dlg.Create());
    CDialogWatcher closer;
    Click(dlg.left);
    ASSERT_EQ(1u, closer.Count());
    EXPECT_EQ(std::string(kErrorPrefix) + "There is no application associated\nwith the given filename extension.",
              closer.Seen()[0].text);
    EXPECT_FALSE(dlg.left.m_visited);
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, FallbackRunsTheRegisteredHtmCommandOrReportsTheShellsCode)
{
    CTestClassesRoot classes;
    ASSERT_TRUE(classes.Overridden());
    CLinkLabel label;
    const int shell = static_cast<int>(reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", kUnopenable, nullptr, nullptr, SW_HIDE)));
    ASSERT_LE(shell, 32);

    // No .htm type, then a type without an open command: the shell's code.
    EXPECT_EQ(shell, label.OpenLink(kUnopenable, SW_HIDE));
    classes.Set(".htm", "corvanetestfile");
    EXPECT_EQ(shell, label.OpenLink(kUnopenable, SW_HIDE));

    // With a command, WinExec's code: here that of a program that is missing.
    const std::string program = "C:\\corvane-missing\\browser.exe";
    classes.Set("corvanetestfile\\shell\\open\\command", program + " \"%1\" -new");
    const int winExec = static_cast<int>(::WinExec((program + "  \"" + kUnopenable + "\"").c_str(), SW_HIDE));
    ASSERT_NE(shell, winExec);
    EXPECT_EQ(winExec, label.OpenLink(kUnopenable, SW_HIDE));

    // A URL that would not stay one argument runs nothing either: a click on
    // it reports the shell's code.
    for (const std::string& odd : {std::string(kUnopenable) + "\" -evil", std::string(kUnopenable) + "\r-evil"}) {
        CLinkTestDlg dlg;
        dlg.left.useShell = true;
        dlg.left.SetLinkUrl(odd.c_str());
        ASSERT_TRUE(dlg.Create());
        CDialogWatcher closer;
        Click(dlg.left);
        ASSERT_EQ(1u, closer.Count());
        const int oddShell = static_cast<int>(reinterpret_cast<INT_PTR>(
            ::ShellExecuteA(nullptr, "open", odd.c_str(), nullptr, nullptr, SW_HIDE)));
        ASSERT_NE(winExec, oddShell);
        EXPECT_EQ(oddShell, label.OpenLink(odd.c_str(), SW_HIDE));
        EXPECT_FALSE(dlg.left.m_visited);
        dlg.DestroyWindow();
    }

    // A command line that would not fit runs nothing: the shell's code again.
    const std::string longTarget = std::string(kUnopenable) + std::string(300, 'x');
    const int longShell = static_cast<int>(reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", longTarget.c_str(), nullptr, nullptr, SW_HIDE)));
    ASSERT_NE(winExec, longShell);
    classes.Set("corvanetestfile\\shell\\open\\command", program + std::string(220, 'a') + " %1");
    EXPECT_EQ(longShell, label.OpenLink(longTarget.c_str(), SW_HIDE));
}

TEST_F(LinkLabel, RegistryReaderCopiesOnlyAfterOpeningAndOnlyWhatFits)
{
    CTestClassesRoot classes;
    ASSERT_TRUE(classes.Overridden());
    classes.Set(".htm", "corvanetestfile");
    classes.Set("corvanetestfile\\shell\\open\\command", "browser.exe \"%1\"");
    classes.Set("corvanelongvalue", std::string(300, 'v'));

    char buffer[CLinkLabel::kCommandLineSize] = {};
    EXPECT_EQ(ERROR_SUCCESS, CLinkLabel::ReadDefaultValue(HKEY_CLASSES_ROOT, ".htm", buffer));
    EXPECT_STREQ("corvanetestfile", buffer);
    // The output may be the buffer that names the key.
    std::strcpy(buffer, "corvanetestfile\\shell\\open\\command");
    EXPECT_EQ(ERROR_SUCCESS, CLinkLabel::ReadDefaultValue(HKEY_CLASSES_ROOT, buffer, buffer));
    EXPECT_STREQ("browser.exe \"%1\"", buffer);

    std::strcpy(buffer, "untouched");
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, CLinkLabel::ReadDefaultValue(HKEY_CLASSES_ROOT, "corvane-no-such-key", buffer));
    EXPECT_STREQ("untouched", buffer);
    // A value longer than the reader's buffer is a failure, not a cut copy.
    EXPECT_NE(ERROR_SUCCESS, CLinkLabel::ReadDefaultValue(HKEY_CLASSES_ROOT, "corvanelongvalue", buffer));
    EXPECT_STREQ("untouched", buffer);
}

std::string Fallback(const char* registered, const char* url, bool* fits = nullptr)
{
    char out[CLinkLabel::kCommandLineSize];
    std::memset(out, '#', sizeof out);
    const bool ok = CLinkLabel::BuildFallbackCommand(registered, url, out);
    if (fits)
        *fits = ok;
    return out;
}

TEST_F(LinkLabel, FallbackCommandIsCutAtThePlaceholderAndGetsABlankAndTheQuotedUrl)
{
    const char* url = "http://example.com/";
    // The blank before a quoted placeholder stays: two blanks before the URL.
    EXPECT_EQ("\"C:\\Web\\browser.exe\"  \"http://example.com/\"",
              Fallback("\"C:\\Web\\browser.exe\" \"%1\" -new -tab", url));
    EXPECT_EQ("C:\\Web\\browser.exe  \"http://example.com/\"", Fallback("C:\\Web\\browser.exe %1 -new", url));
    EXPECT_EQ("C:\\Web\\browser.exe -nohome \"http://example.com/\"",
              Fallback("C:\\Web\\browser.exe -nohome", url));
    // A quoted placeholder wins over an earlier bare one.
    EXPECT_EQ("browser.exe -x%1 -y  \"http://example.com/\"", Fallback("browser.exe -x%1 -y \"%1\" -z", url));
}

// The arguments a program started with command finds, split by the rule
// that programs use (CommandLineToArgvW's).
std::vector<std::wstring> ArgumentsOf(const std::string& command)
{
    const std::wstring wide(command.begin(), command.end());
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(wide.c_str(), &count);
    std::vector<std::wstring> arguments(argv, argv + (argv ? count : 0));
    ::LocalFree(argv);
    return arguments;
}

TEST_F(LinkLabel, FallbackCommandHandsTheUrlOverAsOneArgumentOrRefusesIt)
{
    for (const char* url : {"http://a/b c -d", "http://a/x y\\", "http://a/\\\\", "http://a/%1 \\q"}) {
        SCOPED_TRACE(url);
        bool fits = false;
        const std::vector<std::wstring> arguments = ArgumentsOf(Fallback("browser.exe \"%1\" -new", url, &fits));
        EXPECT_TRUE(fits);
        const std::string text(url);
        EXPECT_EQ((std::vector<std::wstring>{L"browser.exe", std::wstring(text.begin(), text.end())}), arguments);
    }
    // A quote would end the argument early, and a control character has no
    // safe quoting: both are refused, the command left empty, also right
    // after a lead byte of code page 936, where neither is a trail byte.
    for (const char* url : {"http://a/\" -evil", "http://a/\"", "http://a/\tb", "http://a/\nb", "http://a/\x7F",
                            "http://a/\x81\" -evil", "http://a/\x81\x09" "b"}) {
        SCOPED_TRACE(url);
        bool fits = true;
        EXPECT_EQ("", Fallback("browser.exe %1", url, &fits));
        EXPECT_FALSE(fits);
    }
    // A double-byte character whose trail byte is a backslash is no backslash.
    EXPECT_EQ("b.exe \"http://a/\x81\x5C\"", Fallback("b.exe", "http://a/\x81\x5C"));
}

TEST_F(LinkLabel, FallbackCommandNeverMatchesInsideADoubleByteCharacter)
{
    // In code page 936, 0x81 0x25 is one character whose trail byte is '%'.
    ASSERT_TRUE(::IsDBCSLeadByte(0x81));
    EXPECT_EQ("C:\\\x81\x25" "1\\browser.exe \"http://a/\"",
              Fallback("C:\\\x81\x25" "1\\browser.exe", "http://a/"));
    EXPECT_EQ("C:\\\x81\x25" "1\\browser.exe  \"http://a/\"",
              Fallback("C:\\\x81\x25" "1\\browser.exe \"%1\"", "http://a/"));
    EXPECT_EQ("C:\\\x81\x25" "1\\browser.exe  \"http://a/\"",
              Fallback("C:\\\x81\x25" "1\\browser.exe %1", "http://a/"));
}

TEST_F(LinkLabel, FallbackCommandThatWouldNotFitIsRefusedWhole)
{
    // The longest value the reader returns with the longest URL that always fits.
    std::string command(259, 'c');
    const std::string url(257, 'u');
    bool fits = false;
    EXPECT_EQ(command + " \"" + url + "\"", Fallback(command.c_str(), url.c_str(), &fits));
    EXPECT_TRUE(fits);
    const std::string longer = url + "u";
    EXPECT_EQ("", Fallback(command.c_str(), longer.c_str(), &fits));
    EXPECT_FALSE(fits);
    // A doubled backslash before the closing quote counts too.
    const std::string backslashed = url.substr(1) + "\\";
    EXPECT_EQ("", Fallback(command.c_str(), backslashed.c_str(), &fits));
    EXPECT_FALSE(fits);
    // Only what is kept of the command counts, the blank before the placeholder included.
    command.pop_back();
    const std::string cut = command + " \"%1\" " + std::string(100, 'd');
    EXPECT_EQ(command + "  \"" + url + "\"", Fallback(cut.c_str(), url.c_str(), &fits));
    EXPECT_TRUE(fits);

    // In place: the output may be the registered command's own buffer.
    char buffer[CLinkLabel::kCommandLineSize] = "browser.exe \"%1\"";
    EXPECT_TRUE(CLinkLabel::BuildFallbackCommand(buffer, "http://b/", buffer));
    EXPECT_STREQ("browser.exe  \"http://b/\"", buffer);
}

TEST_F(LinkLabel, CursorIsTheHelpProgramsHandWhenItHasOneAndOnlyThenIsSet)
{
    CLinkTestDlg dlg;
    // A cursor the label already has is kept, not replaced by the loader.
    const HCURSOR given = ::CopyIcon(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32515)));  // IDC_CROSS
    ASSERT_NE(nullptr, given);
    dlg.right.m_handCursor.Attach(given);
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(HelpProgramHasHandCursor(), dlg.left.m_handCursor.GetSafeHandle() != nullptr);
    EXPECT_EQ(given, dlg.right.m_handCursor.GetSafeHandle());

    const HCURSOR arrow = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    const HCURSOR cross = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));  // IDC_CROSS
    const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    ::SetCursor(arrow);
    EXPECT_EQ(TRUE, dlg.right.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(dlg.right.m_hWnd), hit));
    EXPECT_EQ(given, ::GetCursor());
    // Without a cursor of its own the label leaves the message to the static
    // control, which shows its class's arrow.
    dlg.left.m_handCursor.DestroyCursor();
    ::SetCursor(cross);
    dlg.left.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(dlg.left.m_hWnd), hit);
    EXPECT_EQ(arrow, ::GetCursor());
    dlg.DestroyWindow();
    ::SetCursor(arrow);
}

TEST_F(LinkLabel, TheCursorIsReadFromTheModuleFileWithoutRunningAnyOfIt)
{
    // cursor_module.dll, beside this program, refuses to be loaded as code.
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, "cursor_module.dll");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(path)) << path;
    ASSERT_EQ(nullptr, ::LoadLibraryA(path));

    const CCursor cursor = CLinkLabel::CopyModuleCursor(path, 106);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(cursor, &info));
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(5u, info.xHotspot);
    EXPECT_EQ(1u, info.yHotspot);

    EXPECT_EQ(nullptr, CLinkLabel::CopyModuleCursor(path, 107).GetSafeHandle()) << "no such cursor";
    std::strcpy(std::strrchr(path, '\\') + 1, "no_such_module.dll");
    EXPECT_EQ(nullptr, CLinkLabel::CopyModuleCursor(path, 106).GetSafeHandle()) << "no such file";
}

TEST_F(LinkLabel, ErasingFillsTheClientAreaWithTheButtonFaceColour)
{
    CLinkTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    CRect client;
    dlg.left.GetClientRect(&client);
    CMemoryCanvas canvas(client.Width(), client.Height());
    EXPECT_EQ(TRUE, dlg.left.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc())));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), ::GetPixel(canvas.dc(), 0, 0));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), ::GetPixel(canvas.dc(), client.Width() - 1, client.Height() - 1));
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, ModalLoopRelaysTheLabelsMessagesToItsTooltip)
{
    // Posts a mouse move to the label from inside the modal loop, then ends it.
    class CModalDlg : public CLinkTestDlg {
    public:
        HWND label = nullptr;
        std::vector<MSG> relayed;

    protected:
        BOOL OnInitDialog() override
        {
            CLinkTestDlg::OnInitDialog();
            label = left;
            m_record = std::make_unique<CMessageRecorder>(left.m_toolTip);
            left.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
            PostMessage(WM_COMMAND, IDCANCEL);
            return TRUE;
        }
        void OnCancel() override
        {
            relayed = m_record->Relayed();
            m_record.reset();
            CLinkTestDlg::OnCancel();
        }

    private:
        std::unique_ptr<CMessageRecorder> m_record;
    };

    CModalDlg dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    bool relayedMove = false;
    for (const MSG& m : dlg.relayed)
        relayedMove |= m.message == WM_MOUSEMOVE && m.hwnd == dlg.label;
    EXPECT_TRUE(relayedMove);
    EXPECT_TRUE(dlg.left.m_mouseOver);
}

// Every fitting measures the text on a device context of the label's own,
// which goes back to the system each time.
TEST_F(LinkLabel, FittingAgainAndAgainLeavesNoGdiObjectBehind)
{
    CLinkTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    const auto fit = [&dlg](int times) {
        for (int i = 0; i < times; ++i)
            dlg.left.SetLinkUrl(i % 2 ? "https://a.example/" : "https://bb.example/");
    };
    // The system keeps a few device contexts for reuse, made when first asked for.
    fit(10);
    const int before = LiveGdiObjects();
    if (before < 0)
        GTEST_SKIP() << "GDI objects cannot be counted here (no GDI handle table in the PEB): not checked";
    fit(300);
    EXPECT_EQ(before, LiveGdiObjects());
    dlg.DestroyWindow();
}

TEST_F(LinkLabel, NoFontCursorOrTooltipOutlivesTheLabel)
{
    // The dialog's window first, or the label object while its window still lives.
    for (bool windowFirst : {true, false}) {
        SCOPED_TRACE(windowFirst);
        HFONT fonts[2];
        HCURSOR cursor;
        HWND tip;
        HWND labelWindow;
        // Whether the label's fonts were still alive when its window was told
        // it goes: a window must never be left drawing with a deleted font.
        // The recorder outlives the dialog, to see the label go with it.
        bool fontsAliveAtDestroy = false;
        std::optional<CMessageRecorder> destroy;
        {
            CLinkTestDlg dlg;
            dlg.left.m_handCursor.Attach(::CopyIcon(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32515))));
            ASSERT_TRUE(dlg.Create());
            fonts[0] = dlg.left.m_normalFont;
            fonts[1] = dlg.left.m_underlineFont;
            cursor = dlg.left.m_handCursor;
            tip = dlg.left.m_toolTip;
            labelWindow = dlg.left;
            MoveMouseOver(dlg.left);
            ASSERT_EQ(static_cast<DWORD>(OBJ_FONT), ::GetObjectType(fonts[0]));
            ASSERT_EQ(static_cast<DWORD>(OBJ_FONT), ::GetObjectType(fonts[1]));
            ASSERT_TRUE(CursorAlive(cursor));
            ASSERT_TRUE(::IsWindow(tip));
            destroy.emplace(labelWindow);
            destroy->OnSent([&](const CWPSTRUCT& m) {
                if (m.message == WM_DESTROY)
                    fontsAliveAtDestroy = ::GetObjectType(fonts[0]) == OBJ_FONT && ::GetObjectType(fonts[1]) == OBJ_FONT;
            });
            if (windowFirst)
                dlg.DestroyWindow();
        }
        EXPECT_EQ(1, destroy->Count(WM_DESTROY));
        EXPECT_TRUE(fontsAliveAtDestroy);
        destroy.reset();
        EXPECT_FALSE(::IsWindow(labelWindow));
        EXPECT_FALSE(::IsWindow(tip));
        EXPECT_EQ(0u, ::GetObjectType(fonts[0]));
        EXPECT_EQ(0u, ::GetObjectType(fonts[1]));
        EXPECT_FALSE(CursorAlive(cursor));
    }
}

}  // namespace
