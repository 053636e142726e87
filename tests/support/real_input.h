#pragma once
#include <windows.h>
#include <functional>

// Real input through the system's input queue, as a hand gives it: it goes to
// the window under the pointer (or the one that captured the mouse) and to the
// foreground window's focus.
namespace RealInput {
void MoveTo(POINT screen);
void LeftDown();
void LeftUp();
void RightClick();
void Key(WORD vk);
// A key pressed while another is held, Alt+R for instance.
void Chord(WORD held, WORD vk);
// Whether the pointer stands on this screen point.
bool PointerAt(POINT screen);
// A drag with the left button from `from` to `to` in `steps` moves, each once
// the pointer is where the one before put it (waited for within a bound, since
// a sizing or tracking loop may move the pointer itself). It blocks, so it is
// given from a thread other than the one whose loop it drives. When `started`
// is given, the moves wait until it holds after the press (within 10 s): a
// loop that starts after the button is up again ends at once.
void Drag(POINT from, POINT to, int steps, const std::function<bool()>& started = nullptr);
// Whether the thread runs the system's loop that moves or sizes a window.
bool InMoveSizeLoop(DWORD threadId);
}  // namespace RealInput
