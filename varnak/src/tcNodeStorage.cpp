// Where nodes and their attribute values live: the node allocation hooks and the pool of shared
// attribute values.

#include "varnak/include/tcNode.h"

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

void* tcNode::operator new(std::size_t nSize)
{
    return ::operator new(nSize);
}

void tcNode::operator delete(void* p, std::size_t nSize) noexcept
{
    ::operator delete(p, nSize);
}
