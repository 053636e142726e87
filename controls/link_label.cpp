#include "controls/link_label.h"
#include "framework/app.h"
#include <shellapi.h>
#include <cstring>
#include <utility>

namespace {

constexpr UINT_PTR kToolId = 1;
constexpr UINT kHoverPollMs = 100;
// The hand cursor among the help program's resources.
constexpr WORD kHelpHandCursorId = 106;

// A module file mapped as data for one call only: none of its code runs and
// nothing it imports is loaded, so that a program of the other bitness, or
// one whose imports this system lacks, still gives its resources.
class CLoadedModule {
public:
    explicit CLoadedModule(LPCSTR path) : m_hModule(::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~CLoadedModule()
    {
        if (m_hModule)
            ::FreeLibrary(m_hModule);
    }
    CLoadedModule(const CLoadedModule&) = delete;
    CLoadedModule& operator=(const CLoadedModule&) = delete;
    operator HMODULE() const { return m_hModule; }

private:
    HMODULE m_hModule;
};

// A registry key opened for one call only.
class COpenKey {
public:
    COpenKey() = default;
    ~COpenKey()
    {
        if (m_hKey)
            ::RegCloseKey(m_hKey);
    }
    COpenKey(const COpenKey&) = delete;
    COpenKey& operator=(const COpenKey&) = delete;
    HKEY* Receive() { return &m_hKey; }
    operator HKEY() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

// The characters of text, a double-byte character of the ANSI code page as
// one: f(character, its length in bytes) for each.
template <class F>
void ForEachCharacter(const char* text, F f)
{
    for (const char* p = text; *p;) {
        const size_t length = (::IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1]) ? 2 : 1;
        f(p, length);
        p += length;
    }
}

// The first occurrence of token that starts on a character of text. Walking
// character by character keeps a trail byte of a double-byte character (in
// code page 936 it may be '%') from being taken for the start of the token.
const char* FindOnCharacter(const char* text, const char* token)
{
    const size_t length = std::strlen(token);
    const char* found = nullptr;
    ForEachCharacter(text, [&](const char* c, size_t) {
        if (!found && std::strncmp(c, token, length) == 0)
            found = c;
    });
    return found;
}

struct OpenErrorText {
    int code;
    const char* text;
};

constexpr OpenErrorText kOpenErrorTexts[] = {
    {0, "The operating system is out\nof memory or resources."},
    {SE_ERR_FNF, "The specified file was not found."},
    {SE_ERR_PNF, "The specified path was not found."},
    {SE_ERR_ACCESSDENIED, "The operating system denied\naccess to the specified file."},
    {SE_ERR_OOM, "There was not enough memory to complete the operation."},
    {ERROR_BAD_FORMAT, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {SE_ERR_SHARE, "A sharing violation occurred. "},
    {SE_ERR_ASSOCINCOMPLETE, "The filename association is\nincomplete or invalid."},
    {SE_ERR_DDETIMEOUT, "The DDE transaction could not\nbe completed because the request timed out."},
    {SE_ERR_DDEFAIL, "The DDE transaction failed."},
    {SE_ERR_DDEBUSY,
     "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
    {SE_ERR_NOASSOC, "There is no application associated\nwith the given filename extension."},
    {SE_ERR_DLLNOTFOUND, "The specified dynamic-link library was not found."},
};

}  // namespace

BEGIN_MESSAGE_MAP(CLinkLabel, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_CONTROL_REFLECT(STN_CLICKED, &CLinkLabel::OnClicked)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CLinkLabel::~CLinkLabel()
{
    // The window goes first, so that no font is deleted while it is still using it.
    if (m_hWnd)
        CLinkLabel::DestroyWindow();
}

void CLinkLabel::PreSubclassWindow()
{
    // A static control without SS_NOTIFY gets no mouse input and sends no STN_CLICKED.
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(GetStyle() | SS_NOTIFY));

    if (m_url.IsEmpty())
        m_url = GetWindowText();
    if (GetWindowText().IsEmpty())
        SetWindowText(m_url);

    HFONT source = GetFont();
    if (!source)
        source = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!source)
        source = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
    LOGFONTA lf{};
    if (source && ::GetObjectA(source, sizeof lf, &lf) != 0) {
        m_normalFont.CreateFontIndirect(&lf);
        lf.lfUnderline = TRUE;
        m_underlineFont.CreateFontIndirect(&lf);
    }

    FitToText();
    LoadHandCursor();
    SetUnderlineMode(UnderlineOnHover);

    CRect client;
    GetClientRect(&client);
    if (m_toolTip.Create(this))
        m_toolTip.AddTool(this, m_url, &client, kToolId);

    CStatic::PreSubclassWindow();
}

void CLinkLabel::FitToText()
{
    if (!HasWindow() || !m_fitToText)
        return;

    CRect window;
    GetWindowRect(&window);
    if (HWND parent = GetParent())
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&window), 2);
    CRect client;
    GetClientRect(&client);

    const CString text = GetWindowText();
    CSize extent;
    {
        CClientDC dc(m_hWnd);
        HFONT measure = m_underlineFont.GetSafeHandle() ? m_underlineFont.GetSafeHandle() : GetFont();
        CSelectObject select(dc, measure ? static_cast<HGDIOBJ>(measure) : ::GetCurrentObject(dc, OBJ_FONT));
        extent = dc.GetTextExtent(text, text.GetLength());
    }
    // The text's extent plus the non-client border.
    const int width = extent.cx + window.Width() - client.Width();
    const int height = extent.cy + window.Height() - client.Height();

    const DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE)
        window.InflateRect(0, -((window.Height() - height) / 2));
    else
        window.bottom = window.top + height;
    if (style & SS_CENTER)
        window.InflateRect(-((window.Width() - width) / 2), 0);
    else if (style & SS_RIGHT)
        window.left = window.right - width;
    else
        window.right = window.left + width;

    SetWindowPos(nullptr, window.left, window.top, window.Width(), window.Height(), SWP_NOZORDER);
}

void CLinkLabel::LoadHandCursor()
{
    if (m_handCursor)
        return;
    static const char kHelpProgram[] = "\\winhlp32.exe";
    char path[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length + sizeof kHelpProgram > sizeof path)
        return;
    std::strcat(path, kHelpProgram);
    m_handCursor = CopyModuleCursor(path, kHelpHandCursorId);
}

CCursor CLinkLabel::CopyModuleCursor(LPCSTR path, WORD id)
{
    CCursor copy;
    CLoadedModule module(path);
    if (!module)
        return copy;
    // The loaded cursor belongs to the module, which is freed on return.
    if (HCURSOR cursor = ::LoadCursorA(module, MAKEINTRESOURCEA(id)))
        copy.Attach(::CopyIcon(cursor));
    return copy;
}

void CLinkLabel::SetLinkUrl(CString url)
{
    m_url = std::move(url);
    if (HasWindow()) {
        FitToText();
        m_toolTip.UpdateTipText(m_url, this, kToolId);
    }
}

void CLinkLabel::SetVisited(BOOL visited)
{
    m_visited = visited;
    if (HasWindow())
        Invalidate(TRUE);
}

void CLinkLabel::SetUnderlineMode(int mode)
{
    if (mode == m_underlineMode)
        return;
    if (HasWindow()) {
        ApplyFont(mode == UnderlineAlways ? m_underlineFont : m_normalFont);
        Invalidate(TRUE);
    }
    m_underlineMode = mode;
}

void CLinkLabel::ApplyFont(const CFont& font)
{
    if (font.GetSafeHandle())
        SetFont(font, TRUE);
}

BOOL CLinkLabel::DestroyWindow()
{
    if (HasWindow())
        KillTimer(m_hoverTimerId);
    return CStatic::DestroyWindow();
}

BOOL CLinkLabel::PreTranslateMessage(MSG* pMsg)
{
    m_toolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

HBRUSH CLinkLabel::CtlColor(CDC* pDC, UINT)
{
    if (m_mouseOver)
        pDC->SetTextColor(m_hoverColor);
    else
        pDC->SetTextColor(m_visited ? m_visitedColor : m_linkColor);
    pDC->SetBkMode(TRANSPARENT);
    // The static control paints no background of its own: OnEraseBkgnd did.
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CLinkLabel::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(client, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

BOOL CLinkLabel::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!m_handCursor) {
        // The static control's own processing asks the parent, then shows the class cursor.
        SetMsgHandled(FALSE);
        return FALSE;
    }
    ::SetCursor(m_handCursor);
    return TRUE;
}

void CLinkLabel::OnMouseMove(UINT, CPoint)
{
    if (!m_mouseOver) {
        m_mouseOver = TRUE;
        if (m_underlineMode == UnderlineOnHover)
            ApplyFont(m_underlineFont);
        Invalidate(TRUE);
        // No capture and no leave notification: this poll alone ends the hover.
        SetTimer(m_hoverTimerId, kHoverPollMs);
    }
    Default();
}

void CLinkLabel::OnTimer(UINT_PTR)
{
    // Where the pointer was when this message was posted. Each half is signed:
    // screens left of or above the primary one have negative coordinates.
    const DWORD pos = ::GetMessagePos();
    CPoint point(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
    ScreenToClient(&point);
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
        m_mouseOver = FALSE;
        KillTimer(m_hoverTimerId);
        if (m_underlineMode != UnderlineAlways)
            ApplyFont(m_normalFont);
        Invalidate(TRUE);
    }
    Default();
}

void CLinkLabel::OnClicked()
{
    // The timer keeps running: the next poll or mouse move settles the hover state.
    m_mouseOver = FALSE;
    const int result = OpenLink(m_url, SW_SHOW);
    m_visited = result > 32;
    if (m_visited) {
        SetVisited(TRUE);
    } else {
        ::MessageBeep(MB_ICONEXCLAMATION);
        ShowOpenError(result);
    }
}

int CLinkLabel::OpenLink(LPCSTR target, int showCmd)
{
    const int shellResult = static_cast<int>(reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", target, nullptr, nullptr, showCmd)));
    if (shellResult > 32)
        return shellResult;

    char command[kCommandLineSize];
    if (ReadDefaultValue(HKEY_CLASSES_ROOT, ".htm", command) != ERROR_SUCCESS)
        return shellResult;
    // The file type read is shorter than MAX_PATH, so the key name fits.
    std::strcat(command, "\\shell\\open\\command");
    if (ReadDefaultValue(HKEY_CLASSES_ROOT, command, command) != ERROR_SUCCESS)
        return shellResult;
    // A command line cut to fit, or a URL that would not stay one argument,
    // would run something else than what was asked: the shell's own failure
    // is reported instead.
    if (!BuildFallbackCommand(command, target, command))
        return shellResult;
    return static_cast<int>(::WinExec(command, static_cast<UINT>(showCmd)));
}

LONG CLinkLabel::ReadDefaultValue(HKEY root, LPCSTR subKey, LPSTR out)
{
    COpenKey key;
    LONG status = ::RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, key.Receive());
    if (status != ERROR_SUCCESS)
        return status;
    char value[MAX_PATH];
    LONG size = sizeof value;
    status = ::RegQueryValueA(key, nullptr, value, &size);
    if (status != ERROR_SUCCESS)
        return status;
    // A value stored without its terminator must not lead the copy past the buffer.
    value[sizeof value - 1] = '\0';
    // Only now: out may be the buffer that held subKey.
    lstrcpyA(out, value);
    return ERROR_SUCCESS;
}

bool CLinkLabel::BuildFallbackCommand(LPCSTR registered, LPCSTR url, char (&out)[kCommandLineSize])
{
    // Inside quotes only a quote ends the argument, and no quoting carries a
    // control character safely: a URL with either is refused, not mended.
    // Backslashes right before the closing quote would escape it, so those
    // are doubled (the rule by which programs split their command line).
    // Neither is ever a trail byte of a double-byte character: each byte is
    // looked at, so that a lead byte cannot hide the one after it.
    bool safe = true;
    for (const char* p = url; *p; ++p) {
        const auto byte = static_cast<BYTE>(*p);
        if (byte == '"' || byte < 0x20 || byte == 0x7F)
            safe = false;
    }
    size_t trailingBackslashes = 0;
    ForEachCharacter(url, [&](const char* c, size_t length) {
        trailingBackslashes = length == 1 && *c == '\\' ? trailingBackslashes + 1 : 0;
    });
    const char* placeholder = FindOnCharacter(registered, "\"%1\"");
    if (!placeholder)
        placeholder = FindOnCharacter(registered, "%1");
    const size_t kept = placeholder ? static_cast<size_t>(placeholder - registered) : std::strlen(registered);
    const size_t urlLength = std::strlen(url);
    // The kept command, a blank, the quoted URL and the terminator.
    if (!safe || kept + 1 + 1 + urlLength + trailingBackslashes + 1 + 1 > sizeof out) {
        out[0] = '\0';
        return false;
    }
    // registered may be out itself.
    std::memmove(out, registered, kept);
    char* p = out + kept;
    *p++ = ' ';
    *p++ = '"';
    std::memcpy(p, url, urlLength);
    p += urlLength;
    std::memset(p, '\\', trailingBackslashes);
    p += trailingBackslashes;
    *p++ = '"';
    *p = '\0';
    return true;
}

void CLinkLabel::ShowOpenError(int code)
{
    CString text;
    for (const OpenErrorText& entry : kOpenErrorTexts) {
        if (entry.code == code)
            text = entry.text;
    }
    if (text.IsEmpty())
        text.Format("Unknown Error (%d) occurred.", code);
    AfxMessageBox("Unable to open hyperlink:\n\n" + text, MB_ICONEXCLAMATION);
}
