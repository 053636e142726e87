#pragma once
// Drives this thread's queue from a test: timers, posted messages and input
// are delivered as the program's own loop would deliver them.
#include <windows.h>
#include <functional>

// Pumps this thread's queue until it is empty (sent and posted messages alike).
void PumpMessages();
// Pumps messages for about ms milliseconds (for timers and input to arrive).
void PumpMessagesFor(DWORD ms);
// Pumps messages until done() holds, looking after every wake-up and at least
// every 20 ms; false when limitMs passed first. For a state change whose time
// a busy machine stretches: the limit is a generous bound, not a measure.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD limitMs);
