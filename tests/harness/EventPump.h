#pragma once

#include <functional>

// Both run a nested event loop of the toolkit (timers, idle processing, pending events and
// delayed window destruction all happen in it); neither sleeps. Main thread only; callable from
// inside event handlers and dialog scripts.

// Processes events for about nMs milliseconds.
void PumpEvents(int nMs);

// Processes events until fnCondition holds or nTimeoutMs have passed; returns whether it holds.
// fnCondition is checked at once and then every few milliseconds; an exception from it fails the
// test and ends the wait with false.
bool PumpUntil(std::function<bool()> fnCondition, int nTimeoutMs = 5000);
