#pragma once
// Owners of kernel and user handles that the GDI owners do not cover: icons,
// kernel objects and registered window classes. Move-only; each releases its
// handle exactly once, in its destructor or when given another.
#include <windows.h>
#include <utility>
#include "framework/owner.h"

// Owner of an icon made at run time (CreateIconIndirect, CopyIcon). Icons
// loaded as shared resources are never destroyed and must not be owned.
struct CIconTraits {
    using Handle = HICON;
    static BOOL Release(HICON icon) { return ::DestroyIcon(icon); }
};

class CIcon : public CHandleOwner<CIconTraits> {
public:
    using CHandleOwner::CHandleOwner;
    BOOL DestroyIcon() { return Free(); }
    operator HICON() const { return m_h; }
};

// Owner of a kernel object handle (process, thread, mutex, event, pipe).
// Both "no handle" values of the platform, NULL and INVALID_HANDLE_VALUE,
// count as empty.
struct CKernelHandleTraits {
    using Handle = HANDLE;
    static BOOL Release(HANDLE handle) { return ::CloseHandle(handle); }
};

class CHandle : public CHandleOwner<CKernelHandleTraits> {
public:
    CHandle() = default;
    explicit CHandle(HANDLE handle) : CHandleOwner(NullIfInvalid(handle)) {}

    BOOL Attach(HANDLE handle) { return CHandleOwner::Attach(NullIfInvalid(handle)); }
    BOOL Close() { return Free(); }
    HANDLE Get() const { return m_h; }
    // For out-parameters: closes what is held and lends a slot to the callee.
    // At the end of the full expression the owner takes what was written,
    // INVALID_HANDLE_VALUE as empty like everywhere else.
    class CPutSlot {
    public:
        explicit CPutSlot(CHandle& owner) : m_owner(owner) {}
        ~CPutSlot() { m_owner.Attach(m_value); }
        CPutSlot(const CPutSlot&) = delete;
        CPutSlot& operator=(const CPutSlot&) = delete;
        operator HANDLE*() { return &m_value; }

    private:
        CHandle& m_owner;
        HANDLE m_value = nullptr;
    };
    CPutSlot Put()
    {
        Free();
        return CPutSlot(*this);
    }
    explicit operator bool() const { return m_h != nullptr; }

private:
    static HANDLE NullIfInvalid(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
};

// Owner of a window class registered by the program. The class must outlive
// its windows; anything the class refers to (icons, brushes) must outlive it.
class CWindowClass {
public:
    CWindowClass() = default;
    ~CWindowClass() { Unregister(); }
    CWindowClass(const CWindowClass&) = delete;
    CWindowClass& operator=(const CWindowClass&) = delete;
    CWindowClass(CWindowClass&& other) noexcept
        : m_atom(std::exchange(other.m_atom, 0)), m_hInstance(other.m_hInstance) {}
    CWindowClass& operator=(CWindowClass&& other) noexcept
    {
        if (this != &other) {
            Unregister();
            m_atom = std::exchange(other.m_atom, 0);
            m_hInstance = other.m_hInstance;
        }
        return *this;
    }

    // FALSE when the class could not be registered (a class of that name
    // already exists in the module, for instance).
    BOOL Register(const WNDCLASSEXA& wc)
    {
        Unregister();
        m_atom = ::RegisterClassExA(&wc);
        m_hInstance = wc.hInstance;
        return m_atom != 0;
    }
    BOOL Unregister()
    {
        if (ATOM atom = std::exchange(m_atom, 0))
            return ::UnregisterClassA(MAKEINTATOM(atom), m_hInstance);
        return FALSE;
    }
    ATOM GetAtom() const { return m_atom; }
    LPCSTR GetName() const { return MAKEINTATOM(m_atom); }

private:
    ATOM m_atom = 0;
    HINSTANCE m_hInstance = nullptr;
};
