#pragma once
// Owner of a cursor that the program made (a CopyIcon/CopyCursor copy or a
// cursor created at run time): destroys it exactly once. Shared cursors from
// LoadCursor must never be given to it, since they may not be destroyed.
#include "framework/owner.h"

struct CCursorTraits {
    using Handle = HCURSOR;
    static BOOL Release(HCURSOR cursor) { return ::DestroyCursor(cursor); }
};

class CCursor : public CHandleOwner<CCursorTraits> {
public:
    using CHandleOwner::CHandleOwner;
    BOOL DestroyCursor() { return Free(); }
    operator HCURSOR() const { return m_h; }
};
