// Nothing piles up over a long session: a thousand refreshes and a hundred
// openings of the About box leave the image list, the process's GDI objects,
// the link label's fonts and the thread's windows as they were, and the
// label's cursor copy goes with each box.
#include "app_fixture.h"
#include <cstdio>
#include "app/about_dlg.h"
#include "tests/support/dialog_watcher.h"
#include "tests/support/gdi_objects.h"

namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

int ThreadWindows()
{
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// What the About box held while it was open, read as it is activated; the
// watcher's handler then presses Enter on it.
struct HeldByAbout {
    int opened = 0;
    HFONT labelFont = nullptr;
    HCURSOR handCursor = nullptr;
};

bool ReadAbout(HWND box, HeldByAbout& held)
{
    HWND label = ::GetDlgItem(box, IDC_HOMEPAGE_LINK);
    if (!label)
        return false;
    ++held.opened;
    held.labelFont = reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0));
    // The label shows its own copy of the hand cursor over itself; without
    // the help program it has none, and the static control shows its class's.
    HCURSOR before = ::GetCursor();
    ::SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    HCURSOR shown = ::GetCursor();
    const auto classCursor = reinterpret_cast<HCURSOR>(::GetClassLongPtrA(label, GCLP_HCURSOR));
    held.handCursor = shown != before && shown != classCursor ? shown : nullptr;
    ::SetCursor(before);
    CDialogWatcher::PressEnter(box);
    return true;
}

}  // namespace

class LeakTest : public MainDlgTest {
protected:
    int ImageCount() const { return ::ImageList_GetImageCount(TestApp().m_imageList.GetSafeHandle()); }
    int EntryCount() const { return static_cast<int>(::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }
};

TEST_F(LeakTest, AThousandRefreshesKeepOneImagePerEntryAndNoGdiObjectMore)
{
    AddWindows(5);
    // Only the order matters here: a thousand refreshes' calls are not kept.
    m_shell->SetRecording(false);
    Open();
    ASSERT_EQ(m_handles, Listed());
    Click(IDC_REFRESH);
    const int images = ImageCount();
    const int gdi = LiveGdiObjects();
    ASSERT_GE(images, 5) << "every test window's class has an icon";
    ASSERT_LE(images, EntryCount());

    for (int i = 0; i < 1000; ++i) {
        Click(IDC_REFRESH);
        ASSERT_EQ(images, ImageCount()) << "after refresh " << i;
    }
    EXPECT_EQ(m_handles, Listed());
    if (gdi < 0)
        GTEST_SKIP() << "GDI objects cannot be counted here (no GDI handle table in the PEB): not checked";
    std::printf("GDI objects before and after 1000 refreshes: %d, %d\n", gdi, LiveGdiObjects());
    EXPECT_EQ(gdi, LiveGdiObjects()) << "GDI objects made by refreshes and not released";
}

TEST_F(LeakTest, AHundredAboutBoxesReleaseTheirFontsWindowsAndGdiObjects)
{
    AddWindows(2);
    Open();
    HeldByAbout held;
    const CDialogWatcher watcher([&held](HWND box) { return ReadAbout(box, held); });
    ASSERT_TRUE(watcher.IsHooked());

    // The first opening may load what the system keeps for good (the
    // dialog font's face, the help program's module): count from after it.
    Click(IDC_ABOUT);
    ASSERT_EQ(1, held.opened) << "the About box did not open";
    const int gdi = LiveGdiObjects();
    const int windows = ThreadWindows();
    const int images = ImageCount();

    for (int i = 0; i < 100; ++i) {
        held.labelFont = nullptr;
        Click(IDC_ABOUT);
        ASSERT_EQ(i + 2, held.opened) << "the About box did not open";
        // In use while the box was open, and gone with it.
        ASSERT_NE(nullptr, held.labelFont);
        EXPECT_EQ(0u, ::GetObjectType(held.labelFont)) << "the label's font outlived the box, opening " << i;
    }

    EXPECT_EQ(windows, ThreadWindows()) << "windows of the box left behind";
    EXPECT_EQ(images, ImageCount());
    EXPECT_TRUE(::IsWindowEnabled(m_dlg.m_hWnd));
    if (gdi < 0)
        GTEST_SKIP() << "GDI objects cannot be counted here (no GDI handle table in the PEB): not checked";
    std::printf("GDI objects before and after 100 About boxes: %d, %d\n", gdi, LiveGdiObjects());
    EXPECT_EQ(gdi, LiveGdiObjects()) << "GDI objects made by the box and not released";
}

TEST_F(LeakTest, TheLabelsCursorCopyGoesWithTheBox)
{
    Open();
    HeldByAbout held;
    const CDialogWatcher watcher([&held](HWND box) { return ReadAbout(box, held); });
    Click(IDC_ABOUT);
    ASSERT_EQ(1, held.opened) << "the About box did not open";
    if (!held.handCursor)
        GTEST_SKIP() << "the label made no cursor copy here (no help program with a hand cursor): not checked";
    ICONINFO info{};
    const BOOL cursorAlive = ::GetIconInfo(held.handCursor, &info);
    if (cursorAlive) {
        // GetIconInfo hands out bitmaps of its own.
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
    EXPECT_FALSE(cursorAlive) << "the label's cursor copy outlived the box";
}
