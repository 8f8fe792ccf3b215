#include "engine/MemDocLookupPool.h"

#include <algorithm>
#include <atomic>

namespace
{
std::atomic<int> s_nDefaultThreads{0};
}

CMemDocLookupPool::CMemDocLookupPool(const CVRMemDoc& memory, const wxString& sLanguage, int nThreads)
    : m_memory(memory), m_sLanguage(sLanguage)
{
    for (int i = 0; i < std::max(1, nThreads); ++i)
        m_aWorkers.emplace_back([this] { Work(); });
}

CMemDocLookupPool::~CMemDocLookupPool()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_cvWork.notify_all();
    for (std::thread& worker : m_aWorkers)
        worker.join();
}

void CMemDocLookupPool::Submit(const wxString& sText)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_aJobs.emplace_back();
        m_aJobs.back().sText = sText;
    }
    m_cvWork.notify_one();
}

std::vector<CVRMemDocMatch> CMemDocLookupPool::TakeNext()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cvDone.wait(lock, [this] { return m_aJobs.front().bDone; });
    tsJob job = std::move(m_aJobs.front());
    m_aJobs.pop_front();
    --m_nStarted;
    lock.unlock();
    if (job.pError)
        std::rethrow_exception(job.pError);
    return std::move(job.aMatches);
}

size_t CMemDocLookupPool::GetNumQueued() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_aJobs.size();
}

void CMemDocLookupPool::Work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        m_cvWork.wait(lock, [this] { return m_bStop || m_nStarted < m_aJobs.size(); });
        if (m_bStop)
            return;
        // Jobs stay where they are until taken (a deque keeps references to its elements while
        // only its ends change), so the worker fills its job in place.
        tsJob& job = m_aJobs[m_nStarted++];
        const wxString sText = job.sText;
        lock.unlock();
        std::vector<CVRMemDocMatch> aMatches;
        std::exception_ptr pError;
        try
        {
            aMatches = m_memory.LookupTranslations(sText, m_sLanguage);
        }
        catch (...)
        {
            pError = std::current_exception();
        }
        lock.lock();
        job.aMatches = std::move(aMatches);
        job.pError = pError;
        job.bDone = true;
        m_cvDone.notify_all();
    }
}

int CMemDocLookupPool::GetDefaultThreads()
{
    const int nSet = s_nDefaultThreads.load();
    if (nSet > 0)
        return nSet;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void CMemDocLookupPool::SetDefaultThreads(int nThreads)
{
    s_nDefaultThreads = std::max(0, nThreads);
}
