#include "engine_scene.h"
#include <commctrl.h>
#include <algorithm>
#include <random>

CEngineScene::CEngineScene(CBenchApp& app, const std::string& classPrefix, int n, const std::vector<COLORREF>& colours)
{
    for (size_t i = 0; i < colours.size(); ++i)
        m_classes.push_back(std::make_unique<CTestWindowClass>(classPrefix + std::to_string(i), colours[i]));
    for (int i = 0; i < n; ++i)
        m_windows.push_back(CTestWindow::Create(*m_classes[static_cast<size_t>(i) % m_classes.size()],
                                                "Task window " + std::to_string(i)));
    m_host.CreateEx(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, CRect(0, 0, 320, 240), nullptr, 0);
    m_list.CreateEx(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_NOCOLUMNHEADER,
                    CRect(0, 0, 300, 200), m_host, 1002);
    app.m_imageList.Create(16, 16, ILC_COLOR32, 0, 10);
    m_engine.Attach(&m_list);
}

void CEngineScene::ShuffleOnto(CFakeShell& shell)
{
    m_engine.SetKind(Unknown);
    m_engine.Refresh();
    std::vector<HWND> taskbar = ListEntryWindows(m_list.GetSafeHwnd());
    std::shuffle(taskbar.begin(), taskbar.end(), std::mt19937(20240607));
    shell.SetButtons(taskbar);
}
