#pragma once
// Owning COM interface pointer: releases its reference exactly once, in its
// destructor or when it is reset. Move-only, so ownership is never duplicated.
#include <windows.h>
#include <objbase.h>
#include "framework/owner.h"

template <class T>
struct CComPtrTraits {
    using Handle = T*;
    static BOOL Release(T* p)
    {
        p->Release();
        return TRUE;
    }
};

template <class T>
class CComPtr : public CHandleOwner<CComPtrTraits<T>> {
public:
    // Creates an object of the class through the COM runtime; the HRESULT is
    // the caller's to judge. On failure the pointer stays empty.
    HRESULT CoCreateInstance(REFCLSID clsid, DWORD context, REFIID iid)
    {
        Reset();
        void* raw = nullptr;
        const HRESULT hr = ::CoCreateInstance(clsid, nullptr, context, iid, &raw);
        if (SUCCEEDED(hr))
            this->m_h = static_cast<T*>(raw);
        return hr;
    }

    void Reset() { this->Free(); }
    // For out-parameters: releases what is held and lends the slot.
    T** Put() { Reset(); return &this->m_h; }

    T* Get() const { return this->m_h; }
    T* operator->() const { return this->m_h; }
    explicit operator bool() const { return this->m_h != nullptr; }
};
