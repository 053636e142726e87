#include "standin/sample_windows.h"
#include <algorithm>
#include <cmath>
#include "framework/cstring.h"

namespace {

constexpr int kCascadeStep = 32;
constexpr int kWindowWidth = 360;
constexpr int kWindowHeight = 200;

// h in degrees, s and v in 0..1.
COLORREF FromHsv(double h, double s, double v)
{
    const double c = v * s;
    const double x = c * (1 - std::fabs(std::fmod(h / 60.0, 2.0) - 1));
    const double m = v - c;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(h / 60.0) % 6) {
    case 0: r = c; g = x; break;
    case 1: r = x; g = c; break;
    case 2: g = c; b = x; break;
    case 3: g = x; b = c; break;
    case 4: r = x; b = c; break;
    default: r = c; b = x; break;
    }
    auto byte = [m](double part) { return static_cast<BYTE>(std::lround((part + m) * 255)); };
    return RGB(byte(r), byte(g), byte(b));
}

COLORREF Scale(COLORREF colour, double factor)
{
    auto part = [factor](BYTE value) { return static_cast<BYTE>(std::min(255.0, value * factor)); };
    return RGB(part(GetRValue(colour)), part(GetGValue(colour)), part(GetBValue(colour)));
}

COLORREF Lighten(COLORREF colour)
{
    auto part = [](BYTE value) { return static_cast<BYTE>(value + (255 - value) * 3 / 4); };
    return RGB(part(GetRValue(colour)), part(GetGValue(colour)), part(GetBValue(colour)));
}

}  // namespace

COLORREF SampleColour(int number)
{
    // Steps of the golden angle keep any run of hues well apart.
    return FromHsv(std::fmod(number * 137.508, 360.0), 0.7, 0.9);
}

CIcon MakeSampleIcon(COLORREF colour, int size)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CBitmap image;
    image.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!image.GetSafeHandle() || !bits)
        return CIcon();

    const COLORREF frame = Scale(colour, 0.55);
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool edge = x == 0 || y == 0 || x == size - 1 || y == size - 1;
            const COLORREF c = edge ? frame : colour;
            // A DIB pixel is blue, green, red, alpha from the lowest byte up.
            pixels[y * size + x] = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    // An all-zero mask: every pixel of the colour image is shown.
    const int stride = (size + 15) / 16 * 2;
    std::vector<BYTE> maskBits(static_cast<size_t>(stride * size), 0);
    CBitmap mask;
    mask.Attach(::CreateBitmap(size, size, 1, 1, maskBits.data()));

    // The icon gets copies of both bitmaps; the owners above delete ours.
    ICONINFO icon{TRUE, 0, 0, mask, image};
    return CIcon(::CreateIconIndirect(&icon));
}

// -------------------------------------------------------------- CSampleWindow

BEGIN_MESSAGE_MAP(CSampleWindow, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CSampleWindow::~CSampleWindow()
{
    // The window must go while its class, icons and brush are still there.
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CSampleWindow::Create(LPCSTR title, COLORREF colour, const RECT& rect)
{
    m_colour = colour;
    m_smallIcon = MakeSampleIcon(colour, ::GetSystemMetrics(SM_CXSMICON));
    m_largeIcon = MakeSampleIcon(colour, ::GetSystemMetrics(SM_CXICON));
    m_background.CreateSolidBrush(Lighten(colour));

    // A class of its own, named after this object, so that every window has
    // its own class icons and two sets of samples never share a class.
    CString name;
    name.Format("CorvaneSample.%p", static_cast<void*>(this));
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hIcon = m_largeIcon;
    wc.hIconSm = m_smallIcon;
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = m_background;
    wc.lpszClassName = name;
    if (!m_smallIcon.GetSafeHandle() || !m_largeIcon.GetSafeHandle() || !m_class.Register(wc))
        return FALSE;
    if (!CreateEx(0, m_class.GetName(), title, WS_OVERLAPPEDWINDOW, rect, nullptr, 0))
        return FALSE;
    // Shown without the activation: a sample that opens never takes the
    // keyboard from the window the user (or a test) is working in.
    ShowWindow(SW_SHOWNOACTIVATE);
    return TRUE;
}

void CSampleWindow::OnPaint()
{
    CPaintDC dc(m_hWnd);
    CRect client;
    GetClientRect(&client);
    CSelectObject font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(Scale(m_colour, 0.45));
    const CString title = GetWindowText();
    ::DrawTextA(dc, title, title.GetLength(), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ------------------------------------------------------------- CSampleWindows

bool CSampleWindows::Open(int count, LPCSTR prefix)
{
    for (int i = 0; i < count; ++i) {
        CString title;
        title.Format("%s %d", prefix, i + 1);
        const int offset = kCascadeStep * (i % 10);
        const CRect rect(40 + offset, 40 + offset, 40 + offset + kWindowWidth, 40 + offset + kWindowHeight);
        auto window = std::make_unique<CSampleWindow>();
        if (!window->Create(title, SampleColour(i), rect))
            return false;
        m_windows.push_back(std::move(window));
    }
    return true;
}

int CSampleWindows::GetOpenCount() const
{
    return static_cast<int>(std::count_if(m_windows.begin(), m_windows.end(),
                                          [](const auto& window) { return window->IsOpen(); }));
}
