// The main window follows the taskbar's grouping setting as the taskbar's
// properties change it.
#include "app_fixture.h"

TEST_F(MainDlgTest, ASettingChangeReadsWhetherTheTaskbarGroupsAgain)
{
    AddWindows(2);
    Open();
    // As the engine would start on a taskbar that groups.
    m_dlg.TaskButtons().SetGrouping(true);
    m_dlg.SendMessage(WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("TraySettings"));
    // These tests run as Windows 2000, whose taskbar never groups.
    EXPECT_FALSE(m_dlg.TaskButtons().IsGrouping());
    EXPECT_EQ(Listed(), m_handles);
}
