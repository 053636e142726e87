#pragma once
// What every owner of a Win32 handle has in common: it is move-only, holds one
// handle, and releases it exactly once (when destroyed, when given another,
// or when told to), unless the handle was detached from it. Traits names the
// handle type and the call that releases it; each owner gives that release
// its usual name (DeleteObject, DestroyIcon, Close...).
#include <windows.h>
#include <utility>

template <class Traits>
class CHandleOwner {
public:
    using Handle = typename Traits::Handle;

    CHandleOwner() = default;
    explicit CHandleOwner(Handle h) : m_h(h) {}
    ~CHandleOwner() { Free(); }
    CHandleOwner(const CHandleOwner&) = delete;
    CHandleOwner& operator=(const CHandleOwner&) = delete;
    CHandleOwner(CHandleOwner&& other) noexcept : m_h(std::exchange(other.m_h, Handle())) {}
    CHandleOwner& operator=(CHandleOwner&& other) noexcept
    {
        if (this != &other) {
            Free();
            m_h = std::exchange(other.m_h, Handle());
        }
        return *this;
    }

    // Takes ownership of h; whatever was held before is released.
    BOOL Attach(Handle h)
    {
        Free();
        m_h = h;
        return h != Handle();
    }
    // Gives up ownership: the caller releases the handle.
    Handle Detach() { return std::exchange(m_h, Handle()); }
    Handle GetSafeHandle() const { return m_h; }

protected:
    BOOL Free()
    {
        if (Handle h = std::exchange(m_h, Handle()))
            return Traits::Release(h);
        return FALSE;
    }

    Handle m_h{};
};
