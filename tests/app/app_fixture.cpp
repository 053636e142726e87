#include "app_fixture.h"
#include "tests/support/ansi_text.h"
#include <shlwapi.h>
#include <algorithm>
#include <utility>

CMainApp& TestApp()
{
    static CMainApp app;
    if (!app.m_imageList.GetSafeHandle())
        app.m_imageList.Create(16, 16, ILC_COLOR32, 0, 10);
    return app;
}

void MainDlgTest::SetUp()
{
    ::SHDeleteKeyA(HKEY_CURRENT_USER, kTestKeysRoot);
    TestApp();
    m_shell = std::make_unique<CFakeShell>();
    ASSERT_TRUE(m_shell->IsReady());
}

void MainDlgTest::TearDown()
{
    if (m_dlg.m_hWnd)
        m_dlg.DestroyWindow();
    TestApp().m_pMainWnd = nullptr;
    m_windows.clear();
    m_shell.reset();
    ::SHDeleteKeyA(HKEY_CURRENT_USER, kTestKeysRoot);
}

void MainDlgTest::AddWindows(int n)
{
    for (int i = 0; i < n; ++i) {
        m_windows.push_back(CTestWindow::Create(m_class, AnsiText("任务窗口 ") + std::to_string(m_windows.size())));
        m_handles.push_back(m_windows.back());
    }
    m_shell->SetButtons(m_handles);
}

void MainDlgTest::Open()
{
    TestApp().m_pMainWnd = &m_dlg;
    ASSERT_TRUE(m_dlg.Create());
}

std::vector<HWND> MainDlgTest::Listed() const
{
    std::vector<HWND> result;
    const int n = static_cast<int>(::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        ::SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        HWND hWnd = reinterpret_cast<HWND>(item.lParam);
        if (std::find(m_handles.begin(), m_handles.end(), hWnd) != m_handles.end())
            result.push_back(hWnd);
    }
    return result;
}

std::vector<HWND> MainDlgTest::OnTaskbar() const
{
    std::vector<HWND> result;
    for (HWND hWnd : m_shell->Buttons()) {
        if (std::find(m_handles.begin(), m_handles.end(), hWnd) != m_handles.end())
            result.push_back(hWnd);
    }
    return result;
}

int MainDlgTest::IndexOf(HWND hWnd) const
{
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(hWnd);
    return static_cast<int>(::SendMessageA(List(), LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

int MainDlgTest::Selected() const
{
    return static_cast<int>(::SendMessageA(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void MainDlgTest::Select(int index)
{
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    ::SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void MainDlgTest::Click(int id)
{
    // What a button sends its parent when the user clicks it.
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(m_dlg.GetDlgItem(id)));
}

void MainDlgTest::TaskbarCreated()
{
    m_dlg.SendMessage(::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

bool MainDlgTest::ButtonsTouched() const
{
    return !m_shell->CallsOf(TaskbarOp::DeleteTab).empty() || !m_shell->CallsOf(TaskbarOp::AddTab).empty();
}

bool MainDlgTest::RestartShellNow()
{
    m_shell->ClearCalls();
    TaskbarCreated();
    m_dlg.LookAtTaskbar();
    m_dlg.LookAtTaskbar();
    return ButtonsTouched();
}

size_t MainDlgTest::ListCount() const
{
    return static_cast<size_t>(::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
}

namespace {

// What a test does inside a menu, from the menu's own modal loop.
std::function<void(HWND popup)>* t_pInMenu = nullptr;

void CALLBACK RunInOpenMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND popup = ::FindWindowA("#32768", nullptr);
    if (!popup || !::IsWindowVisible(popup) || !::SendMessageA(popup, MN_GETHMENU, 0, 0) || !t_pInMenu)
        return;
    (*t_pInMenu)(popup);
    t_pInMenu = nullptr;
    ::EndMenu();
}

}  // namespace

void InMenu(const std::function<void()>& open, std::function<void(HWND popup)> inMenu)
{
    t_pInMenu = &inMenu;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, RunInOpenMenu);
    open();
    ::KillTimer(nullptr, timer);
    t_pInMenu = nullptr;
}

void InListMenu(CWnd& dlg, HWND list, LPARAM lParam, std::function<void(HWND popup)> inMenu)
{
    InMenu([&] { dlg.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), lParam); }, std::move(inMenu));
}

std::vector<std::string> MenuTexts(HMENU menu)
{
    std::vector<std::string> texts;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        texts.push_back((::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) ? "-" : text);
    }
    return texts;
}

bool IsChecked(HMENU menu, UINT id)
{
    return (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}
