#pragma once
// Drives this thread's queue from a test: timers, posted messages and input
// are delivered as the program's own loop would deliver them.
#include <windows.h>

// Pumps this thread's queue until it is empty (sent and posted messages alike).
void PumpMessages();
// Pumps messages for about ms milliseconds (for timers and input to arrive).
void PumpMessagesFor(DWORD ms);
