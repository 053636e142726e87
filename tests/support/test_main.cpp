#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

// Every suite runs on one GUI thread inside a single-threaded apartment, as the
// program does, with the common controls registered.
int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::CoInitialize(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
