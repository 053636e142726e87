#pragma once
// Owner of an image list: destroys it exactly once, unless it was detached.
#include <windows.h>
#include <commctrl.h>
#include <utility>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    CImageList(CImageList&& other) noexcept : m_hImageList(std::exchange(other.m_hImageList, nullptr)) {}
    CImageList& operator=(CImageList&& other) noexcept
    {
        if (this != &other) {
            DeleteImageList();
            m_hImageList = std::exchange(other.m_hImageList, nullptr);
        }
        return *this;
    }

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow)
    { return Attach(ImageList_Create(cx, cy, flags, initial, grow)); }
    BOOL Attach(HIMAGELIST list)
    {
        DeleteImageList();
        m_hImageList = list;
        return list != nullptr;
    }
    // Gives up ownership: the caller (or a control) destroys the list.
    HIMAGELIST Detach() { return std::exchange(m_hImageList, nullptr); }
    BOOL DeleteImageList()
    {
        if (HIMAGELIST list = std::exchange(m_hImageList, nullptr))
            return ImageList_Destroy(list);
        return FALSE;
    }

    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }
    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }

private:
    HIMAGELIST m_hImageList = nullptr;
};
