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

namespace
{
std::function<long long()>& TimeLeftSource()
{
    static std::function<long long()> s_fnTimeLeft;
    return s_fnTimeLeft;
}

void SleepFor(long long nMillis)
{
    if (tcThreads::IsMainThread() && TimeLeftSource())
    {
        const long long nLeft = TimeLeftSource()();
        if (nLeft >= 0 && nLeft < nMillis)
            nMillis = nLeft;
    }
    if (nMillis > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(nMillis));
}
} // namespace

void tcSleep::Sleep(int nSeconds)
{
    SleepFor(static_cast<long long>(nSeconds) * 1000);
}

void tcSleep::MilliSleep(int nMillis)
{
    SleepFor(nMillis);
}

void tcSleep::SetTimeLeftSource(std::function<long long()> fnTimeLeft)
{
    TimeLeftSource() = std::move(fnTimeLeft);
}
