#include "app/main_app.h"

// The program's one application object; the framework's entry point runs it.
CMainApp theApp;
