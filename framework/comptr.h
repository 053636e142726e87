#pragma once
// Owning COM interface pointer: releases its reference exactly once, in its
// destructor or when it is reset. Move-only, so ownership is never duplicated.
#include <windows.h>
#include <objbase.h>
#include <utility>

template <class T>
class CComPtr {
public:
    CComPtr() = default;
    ~CComPtr() { Reset(); }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    CComPtr(CComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    // Creates an object of the class through the COM runtime; the HRESULT is
    // the caller's to judge. On failure the pointer stays empty.
    HRESULT CoCreateInstance(REFCLSID clsid, DWORD context, REFIID iid)
    {
        Reset();
        void* raw = nullptr;
        const HRESULT hr = ::CoCreateInstance(clsid, nullptr, context, iid, &raw);
        if (SUCCEEDED(hr))
            m_p = static_cast<T*>(raw);
        return hr;
    }

    // Takes over a reference the caller already holds.
    void Attach(T* p) { Reset(); m_p = p; }
    T* Detach() { return std::exchange(m_p, nullptr); }
    void Reset()
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    // For out-parameters: releases what is held and lends the slot.
    T** Put() { Reset(); return &m_p; }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};
