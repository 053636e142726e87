#pragma once
// The application object: starts COM and the shared image list, runs the main
// window modally and ends the program when it closes.
#include "engine/task_button_list.h"
#include "framework/app.h"
#include "framework/imagelist.h"

class CMainApp : public CWinApp, public CTaskImageSource {
public:
    CMainApp();
    ~CMainApp() override;

    BOOL InitInstance() override;
    CImageList& GetTaskImageList() override { return m_imageList; }

    // Task icons, 16 x 16; shown by the main window's list, which only borrows it.
    CImageList m_imageList;
};

// Whether a command line (the program's path first, as GetCommandLineA gives
// it) asks to start in the notification area: an argument "/tray", case
// ignored.
bool IsTrayStart(LPCSTR commandLine);
