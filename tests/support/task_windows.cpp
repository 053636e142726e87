#include "task_windows.h"
#include "framework/gdi.h"
#include <commctrl.h>

namespace {

constexpr int kIconSize = 16;

// Owner of a memory device context.
class CMemoryDC {
public:
    CMemoryDC() : m_hDC(::CreateCompatibleDC(nullptr)) {}
    ~CMemoryDC()
    {
        if (m_hDC)
            ::DeleteDC(m_hDC);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HDC m_hDC;
};

// A top-down 32-bit DIB section of the icon size; bits points at its pixels.
HBITMAP CreatePixels(DWORD** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kIconSize;
    info.bmiHeader.biHeight = -kIconSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    *bits = static_cast<DWORD*>(raw);
    return bitmap;
}

DWORD ToPixel(COLORREF color)
{
    return 0xFF000000u | (DWORD(GetRValue(color)) << 16) | (DWORD(GetGValue(color)) << 8) | GetBValue(color);
}

}  // namespace

CIcon SolidIcon(COLORREF color)
{
    CIcon icon;
    DWORD* bits = nullptr;
    CBitmap colour;
    if (!colour.Attach(CreatePixels(&bits)))
        return icon;
    for (int i = 0; i < kIconSize * kIconSize; ++i)
        bits[i] = ToPixel(color);
    // An all-zero mask: every pixel is opaque.
    const WORD maskBits[kIconSize] = {};
    CBitmap mask;
    mask.Attach(::CreateBitmap(kIconSize, kIconSize, 1, 1, maskBits));

    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = colour;
    // The icon gets copies of both bitmaps; ours go with their owners.
    icon.Attach(::CreateIconIndirect(&info));
    return icon;
}

CTestWindowClass::CTestWindowClass(const std::string& name) : m_name(name)
{
    Register();
}

CTestWindowClass::CTestWindowClass(const std::string& name, COLORREF color) : m_name(name), m_icon(SolidIcon(color))
{
    if (m_icon)
        Register();
}

void CTestWindowClass::Register()
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = m_name.c_str();
    // Both icons or none, so that the system derives no small icon of its own.
    wc.hIcon = m_icon;
    wc.hIconSm = m_icon;
    m_class.Register(wc);
}

CTestWindow CTestWindow::Create(const CTestWindowClass& cls, const std::string& title, DWORD exStyle, HWND owner,
                                bool visible)
{
    CTestWindow window;
    window.Attach(::CreateWindowExA(exStyle, cls.Name(), title.c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 240, 120,
                                  owner, nullptr, ::GetModuleHandleA(nullptr), nullptr));
    if (window && visible)
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

std::vector<HWND> ListEntryWindows(HWND list)
{
    std::vector<HWND> entries;
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        entries.push_back(reinterpret_cast<HWND>(item.lParam));
    }
    return entries;
}

COLORREF ImageCentreColor(HIMAGELIST images, int index)
{
    DWORD* bits = nullptr;
    CBitmap canvas;
    if (!canvas.Attach(CreatePixels(&bits)))
        return CLR_INVALID;
    for (int i = 0; i < kIconSize * kIconSize; ++i)
        bits[i] = 0xFFFFFFFFu;
    CMemoryDC dc;
    {
        CSelectObject selected(dc, canvas);
        if (!::ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL))
            return CLR_INVALID;
        ::GdiFlush();
    }
    const DWORD pixel = bits[(kIconSize / 2) * kIconSize + kIconSize / 2];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}
