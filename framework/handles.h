#pragma once
// Owners of kernel and user handles that the GDI owners do not cover: icons,
// kernel objects and registered window classes. Move-only; each releases its
// handle exactly once, in its destructor or when given another.
#include <windows.h>
#include <utility>

// Owner of an icon made at run time (CreateIconIndirect, CopyIcon). Icons
// loaded as shared resources are never destroyed and must not be owned.
class CIcon {
public:
    CIcon() = default;
    explicit CIcon(HICON icon) : m_hIcon(icon) {}
    ~CIcon() { DestroyIcon(); }
    CIcon(const CIcon&) = delete;
    CIcon& operator=(const CIcon&) = delete;
    CIcon(CIcon&& other) noexcept : m_hIcon(std::exchange(other.m_hIcon, nullptr)) {}
    CIcon& operator=(CIcon&& other) noexcept
    {
        if (this != &other) {
            DestroyIcon();
            m_hIcon = std::exchange(other.m_hIcon, nullptr);
        }
        return *this;
    }

    BOOL Attach(HICON icon)
    {
        DestroyIcon();
        m_hIcon = icon;
        return icon != nullptr;
    }
    HICON Detach() { return std::exchange(m_hIcon, nullptr); }
    BOOL DestroyIcon()
    {
        if (HICON icon = std::exchange(m_hIcon, nullptr))
            return ::DestroyIcon(icon);
        return FALSE;
    }
    HICON GetSafeHandle() const { return m_hIcon; }
    operator HICON() const { return m_hIcon; }

private:
    HICON m_hIcon = nullptr;
};

// Owner of a kernel object handle (process, thread, mutex, event, pipe).
// Both "no handle" values of the platform, NULL and INVALID_HANDLE_VALUE,
// count as empty.
class CHandle {
public:
    CHandle() = default;
    explicit CHandle(HANDLE handle) : m_h(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~CHandle() { Close(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    CHandle(CHandle&& other) noexcept : m_h(std::exchange(other.m_h, nullptr)) {}
    CHandle& operator=(CHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_h = std::exchange(other.m_h, nullptr);
        }
        return *this;
    }

    BOOL Attach(HANDLE handle)
    {
        Close();
        m_h = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
        return m_h != nullptr;
    }
    HANDLE Detach() { return std::exchange(m_h, nullptr); }
    BOOL Close()
    {
        if (HANDLE h = std::exchange(m_h, nullptr))
            return ::CloseHandle(h);
        return FALSE;
    }
    HANDLE Get() const { return m_h; }
    // For out-parameters: closes what is held and lends the slot.
    HANDLE* Put() { Close(); return &m_h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    HANDLE m_h = nullptr;
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
