// corvane_standin_taskbarlist.dll: the in-process server of CLSID_TaskbarList
// that the project's Wine prefix registers. Each call is handed on, at once
// and synchronously, to the running stand-in taskbar, and its result comes
// back unchanged. Without a running stand-in every call fails at once.
#include <windows.h>
#include <objbase.h>
#include <shobjidl.h>
#include <new>
#include "framework/comptr.h"
#include "standin/standin_protocol.h"

namespace {

// Hands request `name` for hWnd to the stand-in and gives back its answer.
HRESULT Forward(const char* name, HWND hWnd)
{
    // Looked up for every call: a stand-in may have stopped or started since.
    HWND tray = StandinFindTray();
    if (!tray)
        return kStandinNotRunning;
    LRESULT answer = 0;
    if (!StandinRequest(tray, name, reinterpret_cast<WPARAM>(hWnd), 0, &answer))
        return kStandinNoAnswer;
    return static_cast<HRESULT>(answer);
}

}  // namespace

// The DLL's one module object: counts what keeps the DLL loaded (live objects
// and server locks) and holds the class factory, which lives as long as the
// DLL does.
class CServerModule {
public:
    void Lock() { ::InterlockedIncrement(&m_locks); }
    void Unlock() { ::InterlockedDecrement(&m_locks); }
    bool CanUnload() const { return m_locks == 0; }
    IClassFactory* GetFactory() { return &m_factory; }

private:
    class CFactory : public IClassFactory {
    public:
        explicit CFactory(CServerModule& module) : m_module(module) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override { m_module.Lock(); return 2; }
        ULONG STDMETHODCALLTYPE Release() override { m_module.Unlock(); return 1; }
        HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
        HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
        {
            lock ? m_module.Lock() : m_module.Unlock();
            return S_OK;
        }

    private:
        CServerModule& m_module;
    };

    LONG m_locks = 0;
    CFactory m_factory{*this};
};

CServerModule theModule;

class CStandinTaskbarList final : public ITaskbarList {
public:
    CStandinTaskbarList() { theModule.Lock(); }
    ~CStandinTaskbarList() { theModule.Unlock(); }
    CStandinTaskbarList(const CStandinTaskbarList&) = delete;
    CStandinTaskbarList& operator=(const CStandinTaskbarList&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITaskbarList)) {
            *object = static_cast<ITaskbarList*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }

    // Succeeds when a stand-in is there to take the calls.
    HRESULT STDMETHODCALLTYPE HrInit() override { return StandinFindTray() ? S_OK : kStandinNotRunning; }
    HRESULT STDMETHODCALLTYPE AddTab(HWND hWnd) override { return Forward(kStandinMsgAddTab, hWnd); }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND hWnd) override { return Forward(kStandinMsgDeleteTab, hWnd); }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND hWnd) override { return Forward(kStandinMsgActivateTab, hWnd); }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return E_NOTIMPL; }

private:
    LONG m_refs = 1;
};

HRESULT STDMETHODCALLTYPE CServerModule::CFactory::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CServerModule::CFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    // The new object's own reference is the smart pointer's: it goes when the
    // pointer does, after the caller took the one it asked for.
    CComPtr<ITaskbarList> created;
    created.Attach(new (std::nothrow) CStandinTaskbarList);
    if (!created)
        return E_OUTOFMEMORY;
    return created->QueryInterface(iid, object);
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_TaskbarList))
        return CLASS_E_CLASSNOTAVAILABLE;
    return theModule.GetFactory()->QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow()
{
    return theModule.CanUnload() ? S_OK : S_FALSE;
}
