#include "Shared/XercesMemory.h"

#include <xercesc/framework/MemoryManager.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>

#include <atomic>
#include <cstdlib>

namespace
{
std::atomic<long> s_nLiveBlocks{0};
} // namespace

void* CXercesMemoryManager::allocate(XMLSize_t nSize)
{
    void* p = std::malloc(nSize ? nSize : 1);
    if (!p)
        throw xercesc::OutOfMemoryException();
    s_nLiveBlocks.fetch_add(1, std::memory_order_relaxed);
    return p;
}

void CXercesMemoryManager::deallocate(void* p)
{
    if (!p)
        return;
    s_nLiveBlocks.fetch_sub(1, std::memory_order_relaxed);
    std::free(p);
}

CXercesMemoryManager* tXercesMemoryManager()
{
    // Never destroyed: the parser may give blocks back after static destruction has begun.
    static CXercesMemoryManager* s_pManager = new CXercesMemoryManager;
    return s_pManager;
}

long tXercesLiveBlocks()
{
    return s_nLiveBlocks.load(std::memory_order_relaxed);
}
