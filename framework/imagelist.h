#pragma once
// Owner of an image list: destroys it exactly once, unless it was detached
// (a control given the list without LVS_SHAREIMAGELISTS destroys it itself).
#include <windows.h>
#include <commctrl.h>
#include "framework/owner.h"

struct CImageListTraits {
    using Handle = HIMAGELIST;
    static BOOL Release(HIMAGELIST list) { return ImageList_Destroy(list); }
};

class CImageList : public CHandleOwner<CImageListTraits> {
public:
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow)
    { return Attach(ImageList_Create(cx, cy, flags, initial, grow)); }
    BOOL DeleteImageList() { return Free(); }

    operator HIMAGELIST() const { return m_h; }
    int GetImageCount() const { return m_h ? ImageList_GetImageCount(m_h) : 0; }
};
