// Where nodes and their attribute values live: the node allocation hooks and the pool of shared
// attribute values.

#include "varnak/include/tcNode.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <string_view>
#include <unordered_map>

namespace
{
struct ValueHash
{
    size_t operator()(const wxString& s) const
    {
        return std::hash<std::wstring_view>()(std::wstring_view(s.wx_str(), s.length()));
    }
};

// Values by text, with the number of holders. The map's nodes never move, so a key's address is the
// shared copy handed out. Attribute values are written on the main thread, but nodes of documents
// that worker threads build (and free) take part too: one lock guards the pool.
struct ValuePool
{
    std::mutex mutex;
    std::unordered_map<wxString, size_t, ValueHash> mapValues;
};

ValuePool& Pool()
{
    // Never destroyed: nodes of static documents may still release values while the program ends.
    static ValuePool* s_pPool = new ValuePool;
    return *s_pPool;
}
} // namespace

const wxString* tcNode::ShareValue(const wxString& sValue)
{
    ValuePool& pool = Pool();
    std::lock_guard lock(pool.mutex);
    auto it = pool.mapValues.try_emplace(sValue, 0).first;
    ++it->second;
    return &it->first;
}

void tcNode::ReleaseValue(const wxString* pValue)
{
    if (!pValue)
        return;
    ValuePool& pool = Pool();
    std::lock_guard lock(pool.mutex);
    auto it = pool.mapValues.find(*pValue);
    if (it != pool.mapValues.end() && &it->first == pValue && --it->second == 0)
        pool.mapValues.erase(it);
}

void tcNode::ReleaseValues()
{
    for (const AttrValue& value : m_aValues)
        ReleaseValue(value.pValue);
    m_aValues.clear();
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define LINTRADO_SANITIZED_NODES 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define LINTRADO_SANITIZED_NODES 1
#endif

#ifdef LINTRADO_SANITIZED_NODES
// Sanitized builds allocate every node on its own, so that a use after free is still seen.
void* tcNode::operator new(std::size_t nSize)
{
    return ::operator new(nSize);
}

void tcNode::operator delete(void* p, std::size_t) noexcept
{
    ::operator delete(p);
}
#else
namespace
{
// Nodes by size class (multiples of 8 bytes up to kMaxPooled), cut from large blocks: no allocator
// header per node and no search for a fitting chunk, which a document of a million nodes feels
// both in loading and in memory. Freed nodes wait in their class for the next node of that size;
// the blocks stay with the process.
constexpr size_t kGrain = 8;
constexpr size_t kMaxPooled = 512;
constexpr size_t kBlockBytes = size_t(1) << 20;

struct FreeNode
{
    FreeNode* pNext;
};

struct NodePool
{
    std::mutex mutex;
    FreeNode* apFree[kMaxPooled / kGrain + 1] = {};
    char* pNext = nullptr;
    char* pEnd = nullptr;
};

NodePool& Nodes()
{
    static NodePool* s_pPool = new NodePool; // never destroyed, as the value pool
    return *s_pPool;
}
} // namespace

void* tcNode::operator new(std::size_t nSize)
{
    if (nSize == 0 || nSize > kMaxPooled)
        return ::operator new(nSize);
    const size_t nClass = (nSize + kGrain - 1) / kGrain;
    NodePool& pool = Nodes();
    std::lock_guard lock(pool.mutex);
    if (FreeNode* pFree = pool.apFree[nClass])
    {
        pool.apFree[nClass] = pFree->pNext;
        return pFree;
    }
    const size_t nBytes = nClass * kGrain;
    if (static_cast<size_t>(pool.pEnd - pool.pNext) < nBytes)
    {
        // The rest of the old block is too small for this class; it goes to the classes it fits.
        while (static_cast<size_t>(pool.pEnd - pool.pNext) >= kGrain)
        {
            const size_t nRestClass =
                std::min<size_t>(static_cast<size_t>(pool.pEnd - pool.pNext) / kGrain, kMaxPooled / kGrain);
            auto* pRest = reinterpret_cast<FreeNode*>(pool.pNext);
            pRest->pNext = pool.apFree[nRestClass];
            pool.apFree[nRestClass] = pRest;
            pool.pNext += nRestClass * kGrain;
        }
        pool.pNext = static_cast<char*>(::operator new(kBlockBytes));
        pool.pEnd = pool.pNext + kBlockBytes;
    }
    void* p = pool.pNext;
    pool.pNext += nBytes;
    return p;
}

void tcNode::operator delete(void* p, std::size_t nSize) noexcept
{
    if (!p)
        return;
    if (nSize == 0 || nSize > kMaxPooled)
    {
        // Unsized: clang only declares the sized form with -fsized-deallocation.
        ::operator delete(p);
        return;
    }
    const size_t nClass = (nSize + kGrain - 1) / kGrain;
    NodePool& pool = Nodes();
    std::lock_guard lock(pool.mutex);
    auto* pFree = static_cast<FreeNode*>(p);
    pFree->pNext = pool.apFree[nClass];
    pool.apFree[nClass] = pFree;
}
#endif
