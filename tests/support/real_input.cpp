#include "real_input.h"

namespace RealInput {

namespace {

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
}

void SendKey(WORD vk, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof input);
}

// Absolute coordinates are in 65536ths of the primary screen; rounding up
// makes the system's truncating conversion land on the wanted pixel.
LONG Normalise(LONG pixel, int extent)
{
    return static_cast<LONG>((static_cast<LONGLONG>(pixel) * 65536 + extent - 1) / extent);
}

// A button event where the pointer is moved to in the same input, so that
// nothing can move it in between.
void SendMouseAt(DWORD flags, POINT screen)
{
    SendMouse(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalise(screen.x, ::GetSystemMetrics(SM_CXSCREEN)),
              Normalise(screen.y, ::GetSystemMetrics(SM_CYSCREEN)));
}

}  // namespace

void MoveTo(POINT screen)
{
    SendMouseAt(0, screen);
}

void LeftDown()
{
    SendMouse(MOUSEEVENTF_LEFTDOWN);
}

void LeftUp()
{
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void RightClick()
{
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
}

void Key(WORD vk)
{
    SendKey(vk, false);
    SendKey(vk, true);
}

bool PointerAt(POINT screen)
{
    POINT now{};
    return ::GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
}

void Drag(POINT from, POINT to, int steps, const std::function<bool()>& started)
{
    SendMouseAt(MOUSEEVENTF_LEFTDOWN, from);
    for (int wait = 0; started && wait < 1000 && !started(); ++wait)
        ::Sleep(10);
    for (int i = 1; i <= steps; ++i) {
        const POINT step{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        MoveTo(step);
        for (int wait = 0; wait < 100 && !PointerAt(step); ++wait)
            ::Sleep(10);
    }
    SendMouseAt(MOUSEEVENTF_LEFTUP, to);
}

bool InMoveSizeLoop(DWORD threadId)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(threadId, &info) && (info.flags & GUI_INMOVESIZE);
}

void Chord(WORD held, WORD vk)
{
    SendKey(held, false);
    Key(vk);
    SendKey(held, true);
}

}  // namespace RealInput
