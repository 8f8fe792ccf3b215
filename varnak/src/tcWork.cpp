#include "varnak/include/tcWork.h"

#include "varnak/include/kvLog.h"

#include <exception>

tcWorkQueue::tcWorkQueue() = default;

tcWorkQueue::~tcWorkQueue()
{
    Stop();
}

bool tcWorkQueue::EnqueueWork(tcWork* pWork)
{
    std::unique_ptr<tcWork> pOwned(pWork);
    if (!pOwned)
        return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_bStopping)
        {
            m_aPending.push_back(std::move(pOwned));
            m_cvWork.notify_one();
            return true;
        }
    }
    kvLogError(L"tcWorkQueue: work item queued after the queue stopped; dropped");
    return false; // the item is deleted here, outside the lock: its destructor may be slow
}

bool tcWorkQueue::Start(int nThreads, int /*nFlags*/)
{
    if (nThreads < 1)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bStarted || m_bStopping)
        return false;
    m_bStarted = true;
    for (int i = 0; i < nThreads; ++i)
        m_aThreads.emplace_back(&tcWorkQueue::WorkerLoop, this);
    return true;
}

void tcWorkQueue::Stop()
{
    std::deque<std::unique_ptr<tcWork>> aNeverRun;
    std::vector<std::thread> aThreads;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStopping = true;
        aNeverRun.swap(m_aPending);
        aThreads.swap(m_aThreads);
    }
    m_cvWork.notify_all();
    // Items that never ran go at once, without waiting for a running item to finish.
    aNeverRun.clear();
    for (std::thread& thread : aThreads)
        thread.join();
    m_cvIdle.notify_all();
}

bool tcWorkQueue::WaitIdle(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cvIdle.wait_for(lock, timeout, [this] { return m_aPending.empty() && m_nRunning == 0; });
}

bool tcWorkQueue::IsStarted() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bStarted && !m_bStopping;
}

size_t tcWorkQueue::GetNumPending() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_aPending.size();
}

void tcWorkQueue::WorkerLoop()
{
    for (;;)
    {
        std::unique_ptr<tcWork> pWork;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cvWork.wait(lock, [this] { return m_bStopping || !m_aPending.empty(); });
            if (m_bStopping)
                return;
            pWork = std::move(m_aPending.front());
            m_aPending.pop_front();
            ++m_nRunning;
        }
        // The item is deleted inside RunItem, so a caller of WaitIdle sees its destructor done.
        RunItem(std::move(pWork));
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            --m_nRunning;
        }
        m_cvIdle.notify_all();
    }
}

void tcWorkQueue::RunItem(std::unique_ptr<tcWork> pWork)
{
    // Nothing may leave the worker thread: an escaping exception would end the process.
    try
    {
        if (!pWork->DoWork())
            kvLogError(L"tcWorkQueue: work item failed");
    }
    catch (const std::exception& e)
    {
        kvLogError(L"tcWorkQueue: work item threw: %S", e.what());
    }
    catch (...)
    {
        kvLogError(L"tcWorkQueue: work item threw an unknown exception");
    }
}
