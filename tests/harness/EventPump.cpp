#include "tests/harness/EventPump.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/timer.h>

#include <algorithm>
#include <chrono>
#include <exception>

namespace
{
// How often a waiting pump looks at its condition and clock.
constexpr int kTickMs = 5;
} // namespace

bool PumpUntil(std::function<bool()> fnCondition, int nTimeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(nTimeoutMs, 0));
    bool bHolds = false;
    bool bBroken = false;
    auto check = [&]()
    {
        try
        {
            bHolds = fnCondition && fnCondition();
        }
        catch (const std::exception& e)
        {
            ADD_FAILURE() << "The condition of PumpUntil threw: " << e.what();
            bBroken = true;
        }
        catch (...)
        {
            ADD_FAILURE() << "The condition of PumpUntil threw an unknown exception";
            bBroken = true;
        }
        return bHolds || bBroken || Clock::now() >= deadline;
    };
    if (check())
        return bHolds;

    wxGUIEventLoop loop;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER,
               [&](wxTimerEvent&)
               {
                   if (check())
                       loop.Exit();
                   else
                       wxWakeUpIdle(); // a timer alone does not always bring an idle round (and deletions) on GTK
               });
    timer.Start(kTickMs);
    loop.Run();
    timer.Stop();
    return bHolds;
}

void PumpEvents(int nMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(nMs, 1));
    PumpUntil([&]() { return Clock::now() >= deadline; }, std::max(nMs, 1) + 1000);
    // Posted events wait for an idle round, which a loaded machine may not reach within the pump:
    // whatever was posted before the pump ended is delivered before the caller looks.
    if (wxTheApp)
        wxTheApp->ProcessPendingEvents();
}
