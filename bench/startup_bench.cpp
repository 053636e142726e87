// Start-up time: from CreateProcess to the main window shown, for corvane.exe
// with 10 task windows on the stand-in taskbar, against a minimal Win32
// dialog program (minimal_dialog.exe) started the same way. Each is started
// N times (default 10, or the first argument), alternately, after one start
// each that is not counted; the medians and their ratio are printed.
//
// "Shown" is what a user sees: a visible top-level dialog of the new process
// with the program's caption, polled for every millisecond from here. Corvane
// fills its list before it shows the window, so the figure includes the
// enumeration and, on the tab-control taskbar, the probe of the taskbar's
// order.
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "framework/cstring.h"
#include "framework/handles.h"
#include "res/resource.h"
#include "standin/standin_client.h"

namespace {

constexpr int kTaskWindows = 10;
constexpr DWORD kShowTimeoutMs = 20000;

double Now()
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// A started program, in a job that ends it when this process ends, however
// this one ends: no bench leaves programs behind.
class CLaunched {
public:
    CLaunched() = default;
    ~CLaunched() { End(); }
    CLaunched(const CLaunched&) = delete;
    CLaunched& operator=(const CLaunched&) = delete;

    bool Start(const CString& exe, const CString& arguments)
    {
        End();
        CString commandLine;
        commandLine.Format("\"%s\" %s", static_cast<LPCSTR>(exe), static_cast<LPCSTR>(arguments));
        // CreateProcessA may write into the command line.
        std::string writable = commandLine.str();
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!::CreateProcessA(exe, writable.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                              &startup, &info))
            return false;
        m_process.Attach(info.hProcess);
        CHandle thread(info.hThread);
        m_processId = info.dwProcessId;
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        m_job.Attach(::CreateJobObjectA(nullptr, nullptr));
        if (!m_job ||
            !::SetInformationJobObject(m_job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
            !::AssignProcessToJobObject(m_job.Get(), m_process.Get()))
            m_job.Close();
        ::ResumeThread(thread.Get());
        return true;
    }

    bool HasEnded() const { return !m_process || ::WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0; }
    bool WaitForEnd(DWORD timeoutMs) const
    {
        return !m_process || ::WaitForSingleObject(m_process.Get(), timeoutMs) == WAIT_OBJECT_0;
    }
    DWORD GetId() const { return m_processId; }

    void End()
    {
        if (!HasEnded()) {
            ::TerminateProcess(m_process.Get(), 1);
            ::WaitForSingleObject(m_process.Get(), 5000);
        }
        m_process.Close();
        m_job.Close();
        m_processId = 0;
    }

private:
    CHandle m_job;
    CHandle m_process;
    DWORD m_processId = 0;
};

struct CShownQuery {
    DWORD processId;
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindShownProc(HWND hWnd, LPARAM lParam)
{
    auto* query = reinterpret_cast<CShownQuery*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    if (owner != query->processId || !::IsWindowVisible(hWnd))
        return TRUE;
    // Another process's text is read without a message to it.
    char text[64] = {};
    ::GetWindowTextA(hWnd, text, sizeof text);
    char className[16] = {};
    ::GetClassNameA(hWnd, className, sizeof className);
    if (std::string(text) == query->caption && std::string(className) == "#32770") {
        query->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindShown(DWORD processId, const char* caption)
{
    CShownQuery query{processId, caption, nullptr};
    ::EnumWindows(FindShownProc, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

struct CProgram {
    const char* name;
    CString exe;
    const char* caption;
    std::vector<double> times;
    int listed = -1;   // entries in the main window's list, where it has one
};

// One start: the time to the shown dialog, or a negative value when it did not
// show; then the dialog is cancelled and the process waited for.
double StartOnce(CProgram& program)
{
    CLaunched process;
    const double start = Now();
    if (!process.Start(program.exe, ""))
        return -1;
    HWND shown = nullptr;
    while (!(shown = FindShown(process.GetId(), program.caption))) {
        if (process.HasEnded() || Now() - start > kShowTimeoutMs)
            return -1;
        ::Sleep(1);
    }
    const double elapsed = Now() - start;

    if (HWND list = ::GetDlgItem(shown, IDC_TASK_LIST)) {
        DWORD_PTR count = 0;
        if (::SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count))
            program.listed = static_cast<int>(count);
    }
    ::PostMessageA(shown, WM_COMMAND, IDCANCEL, 0);
    process.WaitForEnd(10000);
    return elapsed;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The Windows version Wine reports to corvane.exe in this prefix, which
// chooses its taskbar kind.
std::string CorvaneVersion()
{
    char value[32] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\corvane.exe", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return "of the prefix";
    const LONG status = ::RegQueryValueExA(key, "Version", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? value : "of the prefix";
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    CStandinProcess standin;
    if (!standin.Start(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_standin.exe"), "")) {
        std::printf("startup_bench: the stand-in did not start\n");
        return 1;
    }
    const CStandinClient client(standin.GetTray());
    CString samplesArguments;
    samplesArguments.Format("--count %d --prefix \"Task window\"", kTaskWindows);
    CLaunched samples;
    if (!samples.Start(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe"), samplesArguments)) {
        std::printf("startup_bench: the sample windows did not start\n");
        return 1;
    }
    const double waitStart = Now();
    while (client.Rescan() != kTaskWindows) {
        if (Now() - waitStart > 10000) {
            std::printf("startup_bench: the stand-in shows %d buttons, not %d\n", client.GetButtonCount(),
                        kTaskWindows);
            return 1;
        }
        ::Sleep(20);
    }

    CProgram programs[] = {
        {"corvane.exe", ModuleRelativePath(CORVANE_RELATIVE_DIR "/corvane.exe"), "Corvane", {}},
        {"minimal_dialog.exe", ModuleRelativePath(MINIMAL_RELATIVE_DIR "/minimal_dialog.exe"), "Minimal dialog", {}},
    };
    std::printf("process start to main window shown, %d starts each, alternating, after one start each not counted;\n"
                "%d task windows on the stand-in's tab-control taskbar, corvane.exe as Windows version %s\n",
                runs, kTaskWindows, CorvaneVersion().c_str());
    std::fflush(stdout);

    for (int round = -1; round < runs; ++round) {
        for (CProgram& program : programs) {
            const double ms = StartOnce(program);
            if (ms < 0) {
                std::printf("startup_bench: %s showed no \"%s\" window\n", program.name, program.caption);
                return 1;
            }
            if (round >= 0)
                program.times.push_back(ms);
            // The stand-in redraws its buttons once a burst of calls pauses:
            // let it, so that every start finds it idle.
            ::Sleep(200);
        }
    }

    for (const CProgram& program : programs) {
        const auto [low, high] = std::minmax_element(program.times.begin(), program.times.end());
        std::printf("  %-22s n=%3d  median %9.3f ms  min %9.3f ms  max %9.3f ms", program.name, runs,
                    Median(program.times), *low, *high);
        if (program.listed >= 0)
            std::printf("  (%d listed)", program.listed);
        std::printf("\n");
    }
    const double corvane = Median(programs[0].times);
    const double baseline = Median(programs[1].times);
    std::printf("ratio startup %.2f  (corvane.exe median / minimal_dialog.exe median)\n",
                baseline > 0 ? corvane / baseline : 0.0);
    std::fflush(stdout);
    return programs[0].listed == kTaskWindows ? 0 : 1;
}
