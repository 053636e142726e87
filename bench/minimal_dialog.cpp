// The start-up bench's baselines.
//
// Without arguments: the least a Win32 program with a dialog does, one modal
// dialog from a template, with no application framework, no common controls
// and no COM.
//
// With --activations N --queries Q --windows W1,W2,... (window handles in
// hexadecimal): before its dialog shows, it also makes the taskbar calls that
// corvane.exe cannot avoid at its start, made the way it makes them: COM
// initialised, then N times a TaskbarList object created, initialised, asked
// to activate the next of the windows (cycling through them) and released,
// each followed, while fewer than Q have been sent, by TCM_GETCURFOCUS to the
// taskbar's button host. startup_bench times both against corvane.exe.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shobjidl.h>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>
#include "framework/comptr.h"
#include "framework/owner.h"

namespace {

constexpr int kDialogId = 100;

// The calls asked for on the command line; none for the bare baseline.
struct CShellWork {
    int activations = 0;
    int queries = 0;
    std::vector<HWND> windows;

    bool Any() const { return (activations > 0 && !windows.empty()) || queries > 0; }
};

// The next blank-separated word of the command line, or an empty one at its end.
std::string NextWord(const char*& p)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    const char* start = p;
    while (*p && *p != ' ' && *p != '\t')
        ++p;
    return std::string(start, p);
}

int Count(const std::string& word)
{
    const long value = std::strtol(word.c_str(), nullptr, 10);
    return value > 0 && value < 1000000 ? static_cast<int>(value) : 0;
}

std::vector<HWND> Windows(const std::string& word)
{
    std::vector<HWND> windows;
    for (const char* p = word.c_str(); *p;) {
        char* end = nullptr;
        const unsigned long long value = std::strtoull(p, &end, 16);
        if (end == p)
            break;
        if (value)
            windows.push_back(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(value)));
        p = *end == ',' ? end + 1 : end;
    }
    return windows;
}

CShellWork ParseCommandLine(const char* commandLine)
{
    CShellWork work;
    for (const char* p = commandLine ? commandLine : "";;) {
        const std::string option = NextWord(p);
        if (option.empty())
            break;
        if (option == "--activations")
            work.activations = Count(NextWord(p));
        else if (option == "--queries")
            work.queries = Count(NextWord(p));
        else if (option == "--windows")
            work.windows = Windows(NextWord(p));
    }
    return work;
}

struct CModuleTraits {
    using Handle = HMODULE;
    static BOOL Release(HMODULE module) { return ::FreeLibrary(module); }
};

// The COM runtime, initialised on this thread for the object's life. ole32 is
// loaded here rather than imported, so that the bare baseline loads no more
// DLLs than it ever did; corvane.exe imports it, so its load belongs to the
// unavoidable work.
class CComRuntime {
public:
    CComRuntime() : m_ole32(::LoadLibraryA("ole32.dll"))
    {
        using InitializeFn = HRESULT(WINAPI*)(LPVOID);
        const auto initialize = Proc<InitializeFn>("CoInitialize");
        m_uninitialize = Proc<UninitializeFn>("CoUninitialize");
        m_create = Proc<CreateFn>("CoCreateInstance");
        m_initialized = initialize && m_uninitialize && SUCCEEDED(initialize(nullptr));
    }
    ~CComRuntime()
    {
        if (m_initialized)
            m_uninitialize();
    }
    CComRuntime(const CComRuntime&) = delete;
    CComRuntime& operator=(const CComRuntime&) = delete;

    // One TaskbarList object, from whichever server the system offers, as
    // corvane.exe asks for it.
    HRESULT CreateTaskbarList(CComPtr<ITaskbarList>& taskbar) const
    {
        if (!m_initialized || !m_create)
            return CO_E_NOTINITIALIZED;
        return m_create(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_ITaskbarList,
                        reinterpret_cast<void**>(taskbar.Put()));
    }

private:
    using UninitializeFn = void(WINAPI*)();
    using CreateFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);

    // GetProcAddress gives one generic function type; the export's own type is
    // the platform's documented one.
    template <class Function>
    Function Proc(const char* name) const
    {
        HMODULE module = m_ole32.GetSafeHandle();
        FARPROC proc = module ? ::GetProcAddress(module, name) : nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
    }

    CHandleOwner<CModuleTraits> m_ole32;
    UninitializeFn m_uninitialize = nullptr;
    CreateFn m_create = nullptr;
    bool m_initialized = false;
};

// The taskbar's button host, found as corvane.exe finds it.
HWND FindButtonHost()
{
    HWND tray = ::FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr);
    HWND rebar = ::FindWindowExA(tray, nullptr, "RebarWindow32", nullptr);
    HWND switcher = ::FindWindowExA(rebar ? rebar : tray, nullptr, "MSTaskSwWClass", nullptr);
    if (HWND tabs = ::FindWindowExA(switcher, nullptr, "SysTabControl32", nullptr))
        return tabs;
    return ::FindWindowExA(switcher, nullptr, "ToolbarWindow32", nullptr);
}

void MakeShellCalls(const CComRuntime& com, const CShellWork& work)
{
    HWND host = FindButtonHost();
    const int activations = work.windows.empty() ? 0 : work.activations;
    for (int i = 0; i < activations || i < work.queries; ++i) {
        if (i < activations) {
            CComPtr<ITaskbarList> taskbar;
            if (SUCCEEDED(com.CreateTaskbarList(taskbar)) && taskbar) {
                taskbar->HrInit();
                taskbar->ActivateTab(work.windows[static_cast<size_t>(i) % work.windows.size()]);
            }
        }
        if (i < work.queries)
            ::SendMessageA(host, TCM_GETCURFOCUS, 0, 0);
    }
}

// What the dialog does before it shows; COM stays up until the program ends,
// as it does in corvane.exe.
struct CBaseline {
    CShellWork work;
    std::optional<CComRuntime> com;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* baseline = reinterpret_cast<CBaseline*>(lParam);
        if (baseline->work.Any()) {
            baseline->com.emplace();
            MakeShellCalls(*baseline->com, baseline->work);
        }
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    CBaseline baseline{ParseCommandLine(commandLine), std::nullopt};
    return static_cast<int>(::DialogBoxParamA(instance, MAKEINTRESOURCEA(kDialogId), nullptr, DialogProc,
                                              reinterpret_cast<LPARAM>(&baseline)));
}
