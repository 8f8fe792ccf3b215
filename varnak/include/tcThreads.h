#pragma once

#include <functional>

// Threads, background-processing guard, timer period and sleeping.

class tcThreads
{
public:
    // Records the calling thread as the main thread. The program calls it once at start-up from
    // the user-interface thread; until then the main thread is the one that ran static
    // initialisation.
    static void SetMainThread();
    // True on the main thread. Any thread.
    static bool IsMainThread();
};

// Holds the library's idle-time processing back while it lives (tApp()->PreventBackgroundProcess
// and AllowBackgroundProcess); lockers nest.
class tcBackgroundProcessingLocker
{
public:
    tcBackgroundProcessingLocker();
    ~tcBackgroundProcessingLocker();
    tcBackgroundProcessingLocker(const tcBackgroundProcessingLocker&) = delete;
    tcBackgroundProcessingLocker& operator=(const tcBackgroundProcessingLocker&) = delete;
};

// The system timer period. Linux has no process-wide timer resolution to set (its timers are
// already fine-grained), so these only keep the requested value for GetTimerPeriod.
class tcTimers
{
public:
    // Keeps nMillis as the period; returns false (and keeps nothing) for a value below 1.
    static bool SetTimerPeriod(int nMillis);
    // Forgets the period; always true.
    static bool DoneTimerPeriod();
    // The period kept by SetTimerPeriod, 0 when none.
    static int GetTimerPeriod();
};

// Blocks the calling thread. Negative durations return at once.
class tcSleep
{
public:
    static void Sleep(int nSeconds);
    static void MilliSleep(int nMillis);

    // A script must not sleep past its time limit: the script runtime installs a source of the
    // milliseconds the running script has left (negative: no limit), and a sleep on the main
    // thread lasts no longer than that. An empty function removes the source. Main thread.
    static void SetTimeLeftSource(std::function<long long()> fnTimeLeft);
};
