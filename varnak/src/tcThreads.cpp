#include "varnak/include/tcThreads.h"

#include "varnak/include/tcAppContext.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace
{
std::atomic<std::thread::id>& MainThreadId()
{
    static std::atomic<std::thread::id> s_id{std::this_thread::get_id()};
    return s_id;
}

// Records the thread running static initialisation even when the first real query comes from a
// worker thread.
[[maybe_unused]] const bool s_bMainThreadRecorded = (MainThreadId(), true);

std::atomic<int> s_nTimerPeriod{0};
} // namespace

void tcThreads::SetMainThread()
{
    MainThreadId() = std::this_thread::get_id();
}

bool tcThreads::IsMainThread()
{
    return MainThreadId().load() == std::this_thread::get_id();
}

tcBackgroundProcessingLocker::tcBackgroundProcessingLocker()
{
    tApp()->PreventBackgroundProcess();
}

tcBackgroundProcessingLocker::~tcBackgroundProcessingLocker()
{
    tApp()->AllowBackgroundProcess();
}

bool tcTimers::SetTimerPeriod(int nMillis)
{
    if (nMillis < 1)
        return false;
    s_nTimerPeriod = nMillis;
    return true;
}

bool tcTimers::DoneTimerPeriod()
{
    s_nTimerPeriod = 0;
    return true;
}

int tcTimers::GetTimerPeriod()
{
    return s_nTimerPeriod;
}

void tcSleep::Sleep(int nSeconds)
{
    if (nSeconds > 0)
        std::this_thread::sleep_for(std::chrono::seconds(nSeconds));
}

void tcSleep::MilliSleep(int nMillis)
{
    if (nMillis > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(nMillis));
}
