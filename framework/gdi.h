#pragma once
// Owners and borrowers of GDI resources. Owners are move-only and delete their
// object exactly once; CDC only borrows a device context somebody else holds.
#include <windows.h>
#include "framework/owner.h"
#include "framework/types.h"

// Owner of one GDI object (font, bitmap, brush, pen).
template <class H>
struct CGdiObjectTraits {
    using Handle = H;
    static BOOL Release(H h) { return ::DeleteObject(h); }
};

template <class H>
class CGdiObjectT : public CHandleOwner<CGdiObjectTraits<H>> {
public:
    BOOL DeleteObject() { return this->Free(); }
    operator H() const { return this->m_h; }
};

class CFont : public CGdiObjectT<HFONT> {
public:
    BOOL CreateFontIndirect(const LOGFONTA* lf) { return Attach(::CreateFontIndirectA(lf)); }
};

class CBitmap : public CGdiObjectT<HBITMAP> {
public:
    // A system bitmap (OBM_*), loaded with a NULL instance.
    BOOL LoadOEMBitmap(UINT id) { return Attach(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(id))); }
};

class CBrush : public CGdiObjectT<HBRUSH> {
public:
    BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
};

// A borrowed device context: it never releases m_hDC.
class CDC {
public:
    explicit CDC(HDC hdc = nullptr) : m_hDC(hdc) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() = default;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    int ExcludeClipRect(LPCRECT r) { return ::ExcludeClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    void FillSolidRect(LPCRECT r, COLORREF color);
    CSize GetTextExtent(LPCSTR text, int length) const;
    BOOL DrawFocusRect(LPCRECT r) { return ::DrawFocusRect(m_hDC, r); }

protected:
    HDC m_hDC;
};

// BeginPaint/EndPaint for the lifetime of the object.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = ::BeginPaint(hwnd, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// GetDC/ReleaseDC for the lifetime of the object.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = ::GetDC(hwnd); }
    ~CClientDC() override
    {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};

// Puts the previous object back into the DC when it goes out of scope.
class CSelectObject {
public:
    CSelectObject(HDC hdc, HGDIOBJ object) : m_hDC(hdc), m_old(::SelectObject(hdc, object)) {}
    ~CSelectObject()
    {
        if (m_old)
            ::SelectObject(m_hDC, m_old);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_old;
};
