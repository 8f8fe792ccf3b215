#pragma once

#include "engine/VRMemDoc.h"

#include <wx/string.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// Looks texts up in a translation memory on worker threads while the asking thread goes on with its
// own work; the asking thread takes the answers in the order it asked. The answers are exactly those
// of CVRMemDoc::LookupTranslations on the asking thread.
//
// One asking thread (Submit and TakeNext); the memory must not change while the pool lives.
class CMemDocLookupPool
{
public:
    // Starts nThreads workers (at least one) that ask memory in sLanguage.
    CMemDocLookupPool(const CVRMemDoc& memory, const wxString& sLanguage, int nThreads);
    // Drops the look-ups no worker has begun and waits for those running.
    ~CMemDocLookupPool();
    CMemDocLookupPool(const CMemDocLookupPool&) = delete;
    CMemDocLookupPool& operator=(const CMemDocLookupPool&) = delete;

    // Queues a look-up of sText (XML content, as LookupTranslations takes it).
    void Submit(const wxString& sText);
    // The answer of the earliest look-up not yet taken; waits for it. Rethrows what the look-up threw.
    // There must be one queued.
    std::vector<CVRMemDocMatch> TakeNext();
    // Look-ups queued and not yet taken.
    size_t GetNumQueued() const;

    // The workers a pool for project creation gets: SetDefaultThreads' number, or (0, the default)
    // as many as the machine runs at once; at least one. For the main thread.
    static int GetDefaultThreads();
    static void SetDefaultThreads(int nThreads);

private:
    struct tsJob
    {
        wxString sText;
        std::vector<CVRMemDocMatch> aMatches;
        std::exception_ptr pError;
        bool bDone = false;
    };
    void Work();

    const CVRMemDoc& m_memory;
    const wxString m_sLanguage;
    mutable std::mutex m_mutex;
    std::condition_variable m_cvWork;
    std::condition_variable m_cvDone;
    // Queued jobs, the earliest not taken first; m_nStarted of them have been handed to workers.
    std::deque<tsJob> m_aJobs;
    size_t m_nStarted = 0;
    bool m_bStop = false;
    std::vector<std::thread> m_aWorkers;
};
