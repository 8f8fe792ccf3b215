#include "varnak/include/tcWork.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tcThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace
{
constexpr auto kTimeout = 10s;

// What the items of one test did, shared between the test and the queue's threads.
struct Journal
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> ran;
    std::vector<bool> ranOnMainThread;
    std::set<std::thread::id> threads;
    int deleted = 0;

    template <typename Pred> bool WaitFor(Pred pred)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, kTimeout, pred);
    }
};

enum class Outcome
{
    Succeed,
    Fail,
    ThrowStd,
    ThrowOther
};

class RecordingWork : public tcWork
{
public:
    RecordingWork(Journal& journal, int nId, Outcome outcome = Outcome::Succeed)
        : m_journal(journal), m_nId(nId), m_outcome(outcome)
    {
    }
    ~RecordingWork() override
    {
        std::lock_guard<std::mutex> lock(m_journal.mutex);
        ++m_journal.deleted;
        m_journal.changed.notify_all();
    }
    bool DoWork() override
    {
        {
            std::lock_guard<std::mutex> lock(m_journal.mutex);
            m_journal.ran.push_back(m_nId);
            m_journal.ranOnMainThread.push_back(tcThreads::IsMainThread());
            m_journal.threads.insert(std::this_thread::get_id());
            m_journal.changed.notify_all();
        }
        switch (m_outcome)
        {
        case Outcome::Fail:
            return false;
        case Outcome::ThrowStd:
            throw std::runtime_error("disk on fire");
        case Outcome::ThrowOther:
            throw 42;
        case Outcome::Succeed:
            break;
        }
        return true;
    }

private:
    Journal& m_journal;
    int m_nId;
    Outcome m_outcome;
};

// Holds the queue's thread inside DoWork until the test opens the gate (under the journal's lock).
class GateWork : public RecordingWork
{
public:
    GateWork(Journal& journal, int nId, const bool& bOpen)
        : RecordingWork(journal, nId), m_journal(journal), m_bOpen(bOpen)
    {
    }
    bool DoWork() override
    {
        RecordingWork::DoWork();
        std::unique_lock<std::mutex> lock(m_journal.mutex);
        return m_journal.changed.wait_for(lock, kTimeout, [this] { return m_bOpen; });
    }

private:
    Journal& m_journal;
    const bool& m_bOpen;
};

constexpr int kThreads = 4;

// Each of kThreads such items waits until all of them have started: possible only when the queue
// really runs them side by side.
class MeetingWork : public tcWork
{
public:
    MeetingWork(Journal& journal, int& nArrived) : m_journal(journal), m_nArrived(nArrived) {}
    bool DoWork() override
    {
        std::unique_lock<std::mutex> lock(m_journal.mutex);
        ++m_nArrived;
        m_journal.threads.insert(std::this_thread::get_id());
        m_journal.changed.notify_all();
        return m_journal.changed.wait_for(lock, kTimeout, [this] { return m_nArrived >= kThreads; });
    }

private:
    Journal& m_journal;
    int& m_nArrived;
};
} // namespace

TEST(WorkQueue, ItemsWaitForStartThenRunInOrderOffTheMainThread)
{
    Journal journal;
    tcWorkQueue queue;
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(queue.EnqueueWork(new RecordingWork(journal, i)));

    // No thread exists before Start, so nothing can have run.
    EXPECT_FALSE(queue.IsStarted());
    EXPECT_EQ(queue.GetNumPending(), 5u);
    EXPECT_TRUE(journal.ran.empty());

    ASSERT_TRUE(queue.Start(1, 0));
    ASSERT_TRUE(queue.WaitIdle(kTimeout));
    std::lock_guard<std::mutex> lock(journal.mutex);
    EXPECT_EQ(journal.ran, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(journal.deleted, 5);
    EXPECT_EQ(journal.threads.size(), 1u);
    EXPECT_EQ(journal.ranOnMainThread, std::vector<bool>(5, false));
    EXPECT_EQ(queue.GetNumPending(), 0u);
}

TEST(WorkQueue, ItemsQueuedAfterStartRun)
{
    Journal journal;
    tcWorkQueue queue;
    ASSERT_TRUE(queue.Start(1, 0));
    queue.EnqueueWork(new RecordingWork(journal, 7));
    ASSERT_TRUE(queue.WaitIdle(kTimeout));
    std::lock_guard<std::mutex> lock(journal.mutex);
    EXPECT_EQ(journal.ran, std::vector<int>{7});
    EXPECT_EQ(journal.deleted, 1);
}

// Destruction deletes the waiting items without running them, lets the running one finish, and
// does not return before that one is done.
TEST(WorkQueue, DestructionDeletesPendingItemsAndLetsTheRunningOneFinish)
{
    Journal journal;
    bool bGateOpen = false;
    auto pQueue = std::make_unique<tcWorkQueue>();
    pQueue->EnqueueWork(new GateWork(journal, 0, bGateOpen));
    for (int i = 1; i <= 3; ++i)
        pQueue->EnqueueWork(new RecordingWork(journal, i));
    ASSERT_TRUE(pQueue->Start(1, 0));
    ASSERT_TRUE(journal.WaitFor([&] { return journal.ran.size() == 1; }));

    std::atomic<bool> bDestroyed{false};
    std::thread destroyer(
        [&]
        {
            pQueue.reset();
            bDestroyed = true;
        });
    const bool bPendingDeleted = journal.WaitFor([&] { return journal.deleted == 3; });
    const bool bReturnedEarly = bDestroyed.load();
    {
        std::lock_guard<std::mutex> lock(journal.mutex);
        bGateOpen = true;
        journal.changed.notify_all();
    }
    destroyer.join();

    EXPECT_TRUE(bPendingDeleted);
    EXPECT_FALSE(bReturnedEarly) << "the destructor returned while an item was still running";
    std::lock_guard<std::mutex> lock(journal.mutex);
    EXPECT_EQ(journal.ran, std::vector<int>{0});
    EXPECT_EQ(journal.deleted, 4);
}

TEST(WorkQueue, UnstartedQueueDeletesItsItemsUnrun)
{
    Journal journal;
    {
        tcWorkQueue queue;
        for (int i = 0; i < 3; ++i)
            queue.EnqueueWork(new RecordingWork(journal, i));
        EXPECT_FALSE(queue.WaitIdle(20ms));
    }
    EXPECT_TRUE(journal.ran.empty());
    EXPECT_EQ(journal.deleted, 3);
}

TEST(WorkQueue, FailingItemsAreLoggedAndTheQueueGoesOn)
{
    struct Case
    {
        Outcome outcome;
        const char* logged;
    };
    const Case cases[] = {
        {Outcome::ThrowStd, "disk on fire"},
        {Outcome::ThrowOther, "unknown exception"},
        {Outcome::Fail, "failed"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.logged);
        tcLogCapture log;
        Journal journal;
        tcWorkQueue queue;
        queue.EnqueueWork(new RecordingWork(journal, 1, c.outcome));
        queue.EnqueueWork(new RecordingWork(journal, 2));
        ASSERT_TRUE(queue.Start(1, 0));
        ASSERT_TRUE(queue.WaitIdle(kTimeout));
        std::lock_guard<std::mutex> lock(journal.mutex);
        EXPECT_EQ(journal.ran, (std::vector<int>{1, 2}));
        EXPECT_EQ(journal.deleted, 2);
        EXPECT_TRUE(log.Contains(c.logged));
    }
}

TEST(WorkQueue, SeveralThreadsRunItemsAtTheSameTime)
{
    Journal journal;
    int nArrived = 0;
    tcWorkQueue queue;
    for (int i = 0; i < kThreads; ++i)
        queue.EnqueueWork(new MeetingWork(journal, nArrived));
    for (int i = 0; i < 100; ++i)
        queue.EnqueueWork(new RecordingWork(journal, i));
    ASSERT_TRUE(queue.Start(kThreads, 0));
    ASSERT_TRUE(queue.WaitIdle(kTimeout));

    std::lock_guard<std::mutex> lock(journal.mutex);
    EXPECT_EQ(nArrived, kThreads);
    EXPECT_EQ(journal.threads.size(), size_t(kThreads));
    EXPECT_EQ(journal.ran.size(), 100u);
    EXPECT_EQ(std::set<int>(journal.ran.begin(), journal.ran.end()).size(), 100u);
    EXPECT_EQ(journal.deleted, 100);
}

TEST(WorkQueue, RefusesMisuse)
{
    Journal journal;
    tcWorkQueue queue;
    EXPECT_FALSE(queue.EnqueueWork(nullptr));
    EXPECT_FALSE(queue.Start(0, 0));
    EXPECT_FALSE(queue.IsStarted());
    EXPECT_TRUE(queue.Start(1, 0));
    EXPECT_FALSE(queue.Start(1, 0));

    queue.Stop();
    queue.Stop();
    EXPECT_FALSE(queue.IsStarted());
    EXPECT_FALSE(queue.Start(1, 0));
    // A stopped queue must not keep an item it will never run.
    EXPECT_FALSE(queue.EnqueueWork(new RecordingWork(journal, 1)));
    EXPECT_EQ(journal.deleted, 1);
    EXPECT_TRUE(journal.ran.empty());
    EXPECT_TRUE(queue.WaitIdle(kTimeout));
}
