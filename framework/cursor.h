#pragma once
// Owner of a cursor that the program made (a CopyIcon/CopyCursor copy or a
// cursor created at run time): destroys it exactly once. Shared cursors from
// LoadCursor must never be given to it, since they may not be destroyed.
#include <windows.h>
#include <utility>

class CCursor {
public:
    CCursor() = default;
    explicit CCursor(HCURSOR cursor) : m_hCursor(cursor) {}
    ~CCursor() { DestroyCursor(); }
    CCursor(const CCursor&) = delete;
    CCursor& operator=(const CCursor&) = delete;
    CCursor(CCursor&& other) noexcept : m_hCursor(std::exchange(other.m_hCursor, nullptr)) {}
    CCursor& operator=(CCursor&& other) noexcept
    {
        if (this != &other) {
            DestroyCursor();
            m_hCursor = std::exchange(other.m_hCursor, nullptr);
        }
        return *this;
    }

    // Takes ownership of cursor; whatever was held before is destroyed.
    BOOL Attach(HCURSOR cursor)
    {
        DestroyCursor();
        m_hCursor = cursor;
        return cursor != nullptr;
    }
    HCURSOR Detach() { return std::exchange(m_hCursor, nullptr); }
    BOOL DestroyCursor()
    {
        if (HCURSOR cursor = std::exchange(m_hCursor, nullptr))
            return ::DestroyCursor(cursor);
        return FALSE;
    }

    HCURSOR GetSafeHandle() const { return m_hCursor; }
    operator HCURSOR() const { return m_hCursor; }

private:
    HCURSOR m_hCursor = nullptr;
};
