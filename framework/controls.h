#pragma once
// Thin wrappers of common controls: they own nothing but their binding to the
// control's window, which belongs to the dialog that holds it.
#include "framework/wnd.h"
#include <commctrl.h>

class CStatic : public CWnd {
public:
    BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT nID)
    { return CreateEx(0, "STATIC", text, style, rect, parent->m_hWnd, nID); }
    HBITMAP SetBitmap(HBITMAP bitmap)
    { return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap))); }
};

class CListCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int GetNextItem(int start, UINT flags) const
    { return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0))); }
    BOOL GetItemRect(int item, LPRECT rect, UINT code) const
    {
        rect->left = static_cast<LONG>(code);
        return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)));
    }
    int HitTest(POINT point, UINT* flags = nullptr) const
    {
        LVHITTESTINFO info{};
        info.pt = point;
        const int item = static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
        if (flags)
            *flags = info.flags;
        return item;
    }
    BOOL SetItemState(int item, UINT state, UINT mask)
    {
        LVITEMA lvi{};
        lvi.stateMask = mask;
        lvi.state = state;
        return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi)));
    }
    UINT GetItemState(int item, UINT mask) const
    { return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask)); }
    HIMAGELIST GetImageList(int which) const
    { return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, static_cast<WPARAM>(which))); }
};
