#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A unit of background work. Made on any thread, handed to a tcWorkQueue, which runs it once on
// one of its threads and then deletes it.
class tcWork
{
public:
    virtual ~tcWork() = default;
    // Does the work on the queue's thread. Returns false when the work could not be done; the
    // queue logs that and deletes the item all the same (it is never retried). An exception
    // thrown here is caught and logged by the queue.
    virtual bool DoWork() = 0;
};

// Runs work items on threads of its own, in the order they were queued (strictly one after the
// other with one thread). Items wait until Start. Destroying the queue stops it: a running item
// finishes, the threads are joined and items never run are deleted without running.
//
// EnqueueWork, Start, WaitIdle and the queries may be called from any thread except the queue's
// own; Stop and the destructor must not be called from a work item.
class tcWorkQueue
{
public:
    tcWorkQueue();
    ~tcWorkQueue();
    tcWorkQueue(const tcWorkQueue&) = delete;
    tcWorkQueue& operator=(const tcWorkQueue&) = delete;

    // Takes ownership of pWork and queues it. A null item is ignored (false); a queue that has
    // been stopped deletes the item at once without running it (false).
    bool EnqueueWork(tcWork* pWork);

    // Starts nThreads worker threads. No flags are defined in this library: nFlags is accepted
    // and ignored. Returns false, starting nothing, when nThreads is below 1, when the queue
    // runs already or when it has been stopped.
    bool Start(int nThreads, int nFlags);

    // Stops the queue as the destructor does; later items are refused. Safe to call twice.
    void Stop();

    // Waits until no item is queued or running; false when timeout passes first (an unstarted
    // queue with items never gets idle).
    bool WaitIdle(std::chrono::milliseconds timeout);

    bool IsStarted() const;
    // Items queued and not yet taken by a thread.
    size_t GetNumPending() const;

private:
    void WorkerLoop();
    static void RunItem(std::unique_ptr<tcWork> pWork);

    mutable std::mutex m_mutex;
    std::condition_variable m_cvWork; // an item was queued, or the queue stops
    std::condition_variable m_cvIdle; // an item finished
    std::deque<std::unique_ptr<tcWork>> m_aPending;
    std::vector<std::thread> m_aThreads;
    size_t m_nRunning = 0;
    bool m_bStarted = false;
    bool m_bStopping = false;
};
