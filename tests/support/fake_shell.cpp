#include "fake_shell.h"
#include "framework/comptr.h"
#include <commctrl.h>
#include <algorithm>

namespace {

constexpr char kTrayClass[] = "Shell_TrayWnd";
constexpr char kSwitcherClass[] = "MSTaskSwWClass";

int OpIndex(TaskbarOp op)
{
    return static_cast<int>(op);
}

// Set on the tray while it refuses notification icons.
constexpr char kRefusesIconsProperty[] = "CorvaneFakeShell.RefusesIcons";

// The tray takes every notification icon it is sent, as a shell does, unless
// told to refuse them: Wine's Shell_NotifyIcon sends it WM_COPYDATA and gives
// its answer.
LRESULT CALLBACK TrayProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA)
        return ::GetPropA(hWnd, kRefusesIconsProperty) ? FALSE : TRUE;
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

// A plain class for one of the shell's own window classes. When the name is
// taken already, the owner stays empty: the class is not ours to unregister.
void RegisterPlainClass(CWindowClass& owner, HINSTANCE instance, LPCSTR name, WNDPROC procedure = ::DefWindowProcA)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    owner.Register(wc);
}

HWND CreateChild(LPCSTR className, DWORD style, HWND parent, int id)
{
    return ::CreateWindowExA(0, className, "", WS_CHILD | style, 0, 0, 400, 30, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

// One TaskbarList object: forwards every call to the fake shell that made it.
class CFakeShell::CTaskbarList final : public ITaskbarList {
public:
    explicit CTaskbarList(CFakeShell& shell) : m_shell(shell) { ++m_shell.m_live; }
    ~CTaskbarList() { --m_shell.m_live; }
    CTaskbarList(const CTaskbarList&) = delete;
    CTaskbarList& operator=(const CTaskbarList&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (::IsEqualIID(iid, IID_IUnknown) || ::IsEqualIID(iid, IID_ITaskbarList)) {
            *object = static_cast<ITaskbarList*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG refs = --m_refs;
        // A COM object ends its own life with its last reference.
        if (refs == 0)
            delete this;
        return refs;
    }
    HRESULT STDMETHODCALLTYPE HrInit() override
    {
        ++m_shell.m_hrInits;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddTab(HWND hWnd) override { return m_shell.OnAddTab(hWnd); }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND hWnd) override { return m_shell.OnDeleteTab(hWnd); }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND hWnd) override { return m_shell.OnActivateTab(hWnd); }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return S_OK; }

private:
    CFakeShell& m_shell;
    ULONG m_refs = 1;
};

// The class object registered for CLSID_TaskbarList. The fake shell owns it;
// COM's references only last while it is registered.
class CFakeShell::CClassFactory final : public IClassFactory {
public:
    explicit CClassFactory(CFakeShell& shell) : m_shell(shell) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (::IsEqualIID(iid, IID_IUnknown) || ::IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (m_shell.m_creationFails)
            return E_OUTOFMEMORY;
        // The new object's own reference goes with this owner; the caller keeps
        // the one QueryInterface gives.
        CComPtr<ITaskbarList> taskbar;
        taskbar.Attach(new CTaskbarList(m_shell));
        ++m_shell.m_created;
        return taskbar->QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    CFakeShell& m_shell;
    ULONG m_refs = 0;
};

CFakeShell::CFakeShell(const FakeTaskbarLayout& layout)
    : m_instance(::GetModuleHandleA(nullptr)), m_factory(std::make_unique<CClassFactory>(*this))
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&icc);

    bool windows = true;
    if (layout.tray) {
        RegisterPlainClass(m_trayClass, m_instance, kTrayClass, TrayProc);
        RegisterPlainClass(m_switcherClass, m_instance, kSwitcherClass);
        // Hidden, untitled and a tool window: never a task window itself.
        m_tray = ::CreateWindowExA(WS_EX_TOOLWINDOW, kTrayClass, "", WS_POPUP, 0, 770, 1280, 30,
                                   nullptr, nullptr, m_instance, nullptr);
        if (m_tray && layout.rebar)
            m_rebar = CreateChild(REBARCLASSNAMEA, CCS_NORESIZE | CCS_NODIVIDER, m_tray, 1);
        HWND switcherParent = layout.rebar ? m_rebar : m_tray;
        if (switcherParent)
            m_switcher = CreateChild(kSwitcherClass, 0, switcherParent, 2);
        if (m_switcher && layout.toolbar)
            m_toolbar = CreateChild(TOOLBARCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN, m_switcher, 3);
        if (m_switcher && layout.tabControl)
            m_tabs = CreateChild(WC_TABCONTROLA, TCS_BUTTONS, m_switcher, 4);
        windows = m_tray && (!layout.rebar || m_rebar) && m_switcher && (!layout.toolbar || m_toolbar) &&
                  (!layout.tabControl || m_tabs);
    }

    const HRESULT hr = ::CoRegisterClassObject(CLSID_TaskbarList, m_factory.get(), CLSCTX_INPROC_SERVER,
                                               REGCLS_MULTIPLEUSE, &m_cookie);
    m_ready = windows && SUCCEEDED(hr);
}

CFakeShell::~CFakeShell()
{
    if (m_cookie)
        ::CoRevokeClassObject(m_cookie);
    // Destroying the tray destroys the chain under it; the classes go after.
    if (m_tray) {
        SetTakesIcons(true);
        ::DestroyWindow(m_tray);
    }
}

void CFakeShell::SetButtons(const std::vector<HWND>& buttons)
{
    m_buttons = buttons;
    if (m_tabs) {
        ::SendMessageA(m_tabs, TCM_DELETEALLITEMS, 0, 0);
        for (size_t i = 0; i < m_buttons.size(); ++i)
            InsertTab(static_cast<int>(i), m_buttons[i]);
    }
}

std::vector<HWND> CFakeShell::TabOrder() const
{
    std::vector<HWND> order;
    if (!m_tabs)
        return order;
    const int count = static_cast<int>(::SendMessageA(m_tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TCITEMA item{};
        item.mask = TCIF_PARAM;
        ::SendMessageA(m_tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        order.push_back(reinterpret_cast<HWND>(item.lParam));
    }
    return order;
}

std::vector<HWND> CFakeShell::CallsOf(TaskbarOp op) const
{
    std::vector<HWND> windows;
    for (const TaskbarCall& call : m_calls) {
        if (call.op == op)
            windows.push_back(call.hWnd);
    }
    return windows;
}

void CFakeShell::SetResult(TaskbarOp op, HRESULT result)
{
    m_results[OpIndex(op)] = result;
}

void CFakeShell::Record(TaskbarOp op, HWND hWnd)
{
    if (m_recording)
        m_calls.push_back({op, hWnd});
}

int CFakeShell::PositionOf(HWND hWnd) const
{
    const auto it = std::find(m_buttons.begin(), m_buttons.end(), hWnd);
    return it == m_buttons.end() ? -1 : static_cast<int>(it - m_buttons.begin());
}

void CFakeShell::InsertTab(int position, HWND hWnd)
{
    char title[256] = {};
    ::GetWindowTextA(hWnd, title, sizeof title);
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = title;
    item.lParam = reinterpret_cast<LPARAM>(hWnd);
    ::SendMessageA(m_tabs, TCM_INSERTITEMA, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item));
}

int CFakeShell::AddedPosition(HWND hWnd) const
{
    if (m_programOf) {
        const std::string program = m_programOf(hWnd);
        for (size_t i = m_buttons.size(); i-- > 0;) {
            if (m_programOf(m_buttons[i]) == program)
                return static_cast<int>(i) + 1;
        }
    }
    return static_cast<int>(m_buttons.size());
}

// A shell adds a button for a window without one, at the end or, grouping,
// after its program's last button; it leaves an existing button where it is.
HRESULT CFakeShell::OnAddTab(HWND hWnd)
{
    Record(TaskbarOp::AddTab, hWnd);
    const HRESULT result = m_results[OpIndex(TaskbarOp::AddTab)];
    if (SUCCEEDED(result) && hWnd && PositionOf(hWnd) < 0) {
        const int position = AddedPosition(hWnd);
        m_buttons.insert(m_buttons.begin() + position, hWnd);
        if (m_tabs)
            InsertTab(position, hWnd);
    }
    return result;
}

// Removes the window's button; a window without one changes nothing.
HRESULT CFakeShell::OnDeleteTab(HWND hWnd)
{
    Record(TaskbarOp::DeleteTab, hWnd);
    const HRESULT result = m_results[OpIndex(TaskbarOp::DeleteTab)];
    const int position = PositionOf(hWnd);
    if (SUCCEEDED(result) && position >= 0) {
        m_buttons.erase(m_buttons.begin() + position);
        if (m_tabs)
            ::SendMessageA(m_tabs, TCM_DELETEITEM, static_cast<WPARAM>(position), 0);
    }
    return result;
}

// Shows the window's button as the active one: the tab control's focus moves
// to its tab, so that TCM_GETCURFOCUS answers the button's position.
HRESULT CFakeShell::OnActivateTab(HWND hWnd)
{
    Record(TaskbarOp::ActivateTab, hWnd);
    if (hWnd && hWnd == m_activateFailsFor)
        return E_FAIL;
    const HRESULT result = m_results[OpIndex(TaskbarOp::ActivateTab)];
    const int position = PositionOf(hWnd);
    if (SUCCEEDED(result) && position >= 0 && m_tabs)
        ::SendMessageA(m_tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(position), 0);
    return result;
}

void CFakeShell::SetTakesIcons(bool takes)
{
    if (takes)
        ::RemovePropA(m_tray, kRefusesIconsProperty);
    else
        ::SetPropA(m_tray, kRefusesIconsProperty, reinterpret_cast<HANDLE>(1));
}
