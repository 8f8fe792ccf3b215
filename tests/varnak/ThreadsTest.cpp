#include "varnak/include/tcThreads.h"

#include "varnak/include/tcAppContext.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(Threads, MainThreadIsTheStartUpThreadUntilSetOtherwise)
{
    EXPECT_TRUE(tcThreads::IsMainThread());
    bool bWorkerIsMain = true;
    std::thread([&] { bWorkerIsMain = tcThreads::IsMainThread(); }).join();
    EXPECT_FALSE(bWorkerIsMain);

    // A program whose user-interface thread is not the one that ran static initialisation.
    bool bWorkerBecameMain = false;
    std::thread(
        [&]
        {
            tcThreads::SetMainThread();
            bWorkerBecameMain = tcThreads::IsMainThread();
        })
        .join();
    const bool bTestThreadStillMain = tcThreads::IsMainThread();
    tcThreads::SetMainThread();
    EXPECT_TRUE(bWorkerBecameMain);
    EXPECT_FALSE(bTestThreadStillMain);
    EXPECT_TRUE(tcThreads::IsMainThread());
}

TEST(Threads, BackgroundProcessingLockersNest)
{
    ASSERT_TRUE(tApp()->CanBackgroundProcess());
    {
        tcBackgroundProcessingLocker outer;
        EXPECT_FALSE(tApp()->CanBackgroundProcess());
        {
            tcBackgroundProcessingLocker inner;
            EXPECT_FALSE(tApp()->CanBackgroundProcess());
        }
        EXPECT_FALSE(tApp()->CanBackgroundProcess()) << "the inner locker released the outer one's hold";
    }
    EXPECT_TRUE(tApp()->CanBackgroundProcess());
}

TEST(Threads, TimerPeriodKeepsValidRequests)
{
    EXPECT_TRUE(tcTimers::SetTimerPeriod(1));
    EXPECT_EQ(tcTimers::GetTimerPeriod(), 1);
    EXPECT_FALSE(tcTimers::SetTimerPeriod(0));
    EXPECT_FALSE(tcTimers::SetTimerPeriod(-5));
    EXPECT_EQ(tcTimers::GetTimerPeriod(), 1);
    EXPECT_TRUE(tcTimers::DoneTimerPeriod());
    EXPECT_EQ(tcTimers::GetTimerPeriod(), 0);
}

TEST(Threads, SleepsReturnAndNegativeDurationsDoNotBlockForEver)
{
    tcSleep::MilliSleep(0);
    tcSleep::MilliSleep(1);
    // A negative duration converted to an unsigned one would block for ever; reaching the end of
    // this test is the check.
    tcSleep::MilliSleep(-1);
    tcSleep::Sleep(-1);
}

TEST(Threads, SleepsEndAtTheScriptTimeLimit)
{
    // With no time left an hour's sleep returns at once; reaching the end of this test is the check.
    int nAsked = 0;
    tcSleep::SetTimeLeftSource(
        [&nAsked]
        {
            ++nAsked;
            return 0LL;
        });
    tcSleep::Sleep(3600);
    tcSleep::MilliSleep(3600 * 1000);
    tcSleep::SetTimeLeftSource({});
    EXPECT_EQ(2, nAsked);
}
