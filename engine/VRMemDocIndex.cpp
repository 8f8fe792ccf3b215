#include "engine/VRMemDocIndex.h"

#include "engine/MemDocQuery.h"
#include "varnak/include/tRegex.h"
#include "varnak/include/tString.h"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>

namespace
{
// Slots of the table from text to id that hold no id.
constexpr uint32_t SLOT_EMPTY = 0xFFFFFFFF;
constexpr uint32_t SLOT_DELETED = 0xFFFFFFFE;

uint32_t HashText(std::u16string_view s)
{
    return static_cast<uint32_t>(std::hash<std::u16string_view>()(s));
}

uint64_t TrigramKey(const char16_t* p)
{
    return (uint64_t(p[0]) << 32) | (uint64_t(p[1]) << 16) | uint64_t(p[2]);
}

// The distinct trigrams of a text with the number of times each occurs, in key order. aKeys is
// scratch.
void CountTrigrams(std::u16string_view s, std::vector<std::pair<uint64_t, uint32_t>>& aOut,
                   std::vector<uint64_t>& aKeys)
{
    aOut.clear();
    aKeys.clear();
    if (s.size() < 3)
        return;
    for (size_t i = 0; i + 3 <= s.size(); ++i)
        aKeys.push_back(TrigramKey(s.data() + i));
    std::sort(aKeys.begin(), aKeys.end());
    for (size_t i = 0; i < aKeys.size();)
    {
        size_t j = i;
        while (j < aKeys.size() && aKeys[j] == aKeys[i])
            ++j;
        aOut.emplace_back(aKeys[i], static_cast<uint32_t>(j - i));
        i = j;
    }
}

void CountTrigrams(std::u16string_view s, std::vector<std::pair<uint64_t, uint32_t>>& aOut)
{
    std::vector<uint64_t> aKeys;
    CountTrigrams(s, aOut, aKeys);
}

// The distinct trigrams of a text with the number of times each occurs, in the order of their first
// occurrence (no sort: postings do not need key order). aTable is scratch.
void CountTrigramsUnordered(std::u16string_view s, std::vector<std::pair<uint64_t, uint32_t>>& aOut,
                            std::vector<uint32_t>& aTable)
{
    aOut.clear();
    if (s.size() < 3)
        return;
    const size_t n = s.size() - 2;
    int nBits = 6;
    while ((size_t(1) << nBits) < n * 2)
        ++nBits;
    constexpr uint32_t kEmpty = 0xFFFFFFFF;
    aTable.assign(size_t(1) << nBits, kEmpty);
    const size_t nMask = aTable.size() - 1;
    for (size_t i = 0; i < n; ++i)
    {
        const uint64_t nKey = TrigramKey(s.data() + i);
        for (size_t h = static_cast<size_t>((nKey * 0x9E3779B97F4A7C15ull) >> (64 - nBits));; h = (h + 1) & nMask)
        {
            uint32_t& nSlot = aTable[h];
            if (nSlot == kEmpty)
            {
                nSlot = static_cast<uint32_t>(aOut.size());
                aOut.emplace_back(nKey, 1);
                break;
            }
            if (aOut[nSlot].first == nKey)
            {
                ++aOut[nSlot].second;
                break;
            }
        }
    }
}

// The buffers of a query, kept by each thread from query to query so that a look-up neither
// allocates nor clears memory in proportion to the index. aShared is all zero between queries.
struct tsQueryScratch
{
    std::vector<uint32_t> aShared;          // by id: the trigram occurrences shared with the query
    std::vector<uint32_t> aCandidates;      // ids sharing a trigram, in id order
    std::vector<uint32_t> aCandidateShared; // by candidate: its trigram occurrences shared
    std::vector<uint8_t> aBound;            // by candidate: the best score it could reach
    std::vector<uint32_t> aByLength;        // candidate positions by length class
    std::vector<uint32_t> aOrdered;         // ids by bound (best first), then length, then id
    std::vector<uint32_t> aLengthStart;
    std::vector<std::pair<uint32_t, int>> aKept;
    std::vector<std::pair<uint64_t, uint32_t>> aTrigrams;
    std::vector<uint64_t> aKeys;
    // By length class, LANES places each: the candidates waiting for a full batch of one length.
    std::vector<uint32_t> aPending;
    std::vector<uint8_t> anPending; // by length class: how many wait
    // By length: what a text must have to reach the threshold nFor (-1: not known yet).
    struct tsLimit
    {
        int32_t nFor;
        int32_t nMaxDistance; // the most distance (-1: none reaches it)
        uint32_t nMinShared;  // the fewest trigram occurrences shared that the bounds allow
    };
    std::vector<tsLimit> aLimits;
};

tsQueryScratch& QueryScratch()
{
    thread_local tsQueryScratch scratch;
    return scratch;
}

constexpr uint32_t LENGTH_CLASSES = 512; // longer texts share the last class
// The texts the widest kernel scores side by side; a multiple of every kernel's lanes.
constexpr uint32_t LANES = 16;

// Whether FindBestMatches takes its shortcuts (see UseShortcuts).
std::atomic<bool> s_bShortcuts{true};

void PutVarint(std::vector<uint8_t>& a, uint64_t v)
{
    while (v >= 0x80)
    {
        a.push_back(static_cast<uint8_t>(v | 0x80));
        v >>= 7;
    }
    a.push_back(static_cast<uint8_t>(v));
}

uint64_t GetVarint(const uint8_t*& p)
{
    uint64_t v = 0;
    int nShift = 0;
    while (*p & 0x80)
    {
        v |= uint64_t(*p++ & 0x7F) << nShift;
        nShift += 7;
    }
    v |= uint64_t(*p++) << nShift;
    return v;
}

// A posting: the id as a zig-zag delta from the previous one, shifted left by one; the low bit says
// that a count (the occurrences in the text, when more than one) follows.
void PutPosting(std::vector<uint8_t>& a, uint32_t& nLast, uint32_t nID, uint32_t nCount)
{
    const int64_t nDelta = int64_t(nID) - int64_t(nLast);
    const uint64_t nZig = (uint64_t(nDelta) << 1) ^ uint64_t(nDelta >> 63);
    PutVarint(a, (nZig << 1) | (nCount > 1 ? 1 : 0));
    if (nCount > 1)
        PutVarint(a, nCount);
    nLast = nID;
}

template <typename Fn> void ForEachPosting(const std::vector<uint8_t>& a, Fn&& fn)
{
    const uint8_t* p = a.data();
    const uint8_t* pEnd = p + a.size();
    int64_t nID = 0;
    while (p < pEnd)
    {
        const uint64_t v = GetVarint(p);
        const uint64_t nZig = v >> 1;
        nID += static_cast<int64_t>(nZig >> 1) ^ -static_cast<int64_t>(nZig & 1);
        const uint32_t nCount = (v & 1) ? static_cast<uint32_t>(GetVarint(p)) : 1;
        fn(static_cast<uint32_t>(nID), nCount);
    }
}

// The lowest distance the trigram and length bounds allow, mapped to a score: no text can score
// more. Each edit destroys at most three of the longer text's m - 2 trigrams, so shared >= m - 2 - 3d.
int ScoreBound(size_t nQuery, size_t nText, uint32_t nShared)
{
    const size_t m = std::max(nQuery, nText);
    const size_t nLengthGap = m - std::min(nQuery, nText);
    const size_t nTrigrams = m - 2;
    const size_t nLost = nTrigrams > nShared ? nTrigrams - nShared : 0;
    const size_t d = std::max(nLengthGap, (nLost + 2) / 3);
    return CVRMemDocIndex::Score(static_cast<uint32_t>(d), static_cast<uint32_t>(m));
}

// The fewest trigram occurrences a text of nText units must share with a query of nQuery units for
// the trigram and length bounds (see ScoreBound) to allow a distance of nMaxDistance; UINT32_MAX where
// they allow none. Each edit destroys at most three trigrams, so a text within nMaxDistance keeps
// m - 2 - 3 nMaxDistance of them.
uint32_t MinShared(size_t nQuery, size_t nText, int32_t nMaxDistance)
{
    const int64_t m = static_cast<int64_t>(std::max(nQuery, nText));
    const int64_t nLengthGap = m - static_cast<int64_t>(std::min(nQuery, nText));
    if (nMaxDistance < 0 || nLengthGap > nMaxDistance)
        return UINT32_MAX;
    return static_cast<uint32_t>(std::max<int64_t>(0, m - 2 - 3 * int64_t(nMaxDistance)));
}

// The most distance at which a text of nText units still scores nThreshold or more against a query
// of nQuery units; -1 where none does. Score falls as the distance grows, so the edge is found
// from an estimate in a step or two.
int32_t MaxDistance(size_t nQuery, size_t nText, int nThreshold)
{
    const uint32_t m = static_cast<uint32_t>(std::max(nQuery, nText));
    int64_t d = int64_t(m) - (int64_t(nThreshold) * m + 99) / 100;
    d = std::clamp<int64_t>(d, 0, m);
    while (d >= 0 && CVRMemDocIndex::Score(static_cast<uint32_t>(d), m) < nThreshold)
        --d;
    while (d < int64_t(m) && CVRMemDocIndex::Score(static_cast<uint32_t>(d + 1), m) >= nThreshold)
        ++d;
    return static_cast<int32_t>(d);
}
} // namespace

CVRMemDocIndex::CVRMemDocIndex() = default;
CVRMemDocIndex::~CVRMemDocIndex() = default;

void CVRMemDocIndex::UseShortcuts(bool bUse)
{
    s_bShortcuts.store(bUse, std::memory_order_relaxed);
}

int CVRMemDocIndex::Score(uint32_t d, uint32_t m)
{
    // Single precision on purpose: the quotient is rounded to float before the multiplication
    // (m = 100, d = 41 gives 58, where double arithmetic gives 59).
    const float fRatio = static_cast<float>(m - d) / static_cast<float>(m);
    return static_cast<int>(fRatio * 100.0f);
}

wxString CVRMemDocIndex::StripCodes(const wxString& sText)
{
    if (sText.find('<') == wxString::npos)
        return sText;
    wxString s = tRegReplace(sText, "<ph.*?</ph>", wxString(), true);
    s = tRegReplace(s, "<bpt.*?</bpt>", wxString(), true);
    s = tRegReplace(s, "<ept.*?</ept>", wxString(), true);
    return tRegReplace(s, "<it.*?</it>", wxString(), true);
}

int64_t CVRMemDocIndex::FindID(std::u16string_view sText) const
{
    if (m_aSlots.empty())
        return -1;
    const uint32_t nHash = HashText(sText);
    const size_t nMask = m_aSlots.size() - 1;
    for (size_t i = nHash & nMask;; i = (i + 1) & nMask)
    {
        const uint32_t nID = m_aSlots[i];
        if (nID == SLOT_EMPTY)
            return -1;
        if (nID != SLOT_DELETED && m_aHash[nID] == nHash && Text(nID) == sText)
            return nID;
    }
}

void CVRMemDocIndex::Rehash(size_t nSlots)
{
    std::vector<uint32_t> aSlots(nSlots, SLOT_EMPTY);
    const size_t nMask = nSlots - 1;
    m_nSlotsUsed = 0;
    for (uint32_t nID : m_aSlots)
    {
        if (nID == SLOT_EMPTY || nID == SLOT_DELETED)
            continue;
        size_t i = m_aHash[nID] & nMask;
        while (aSlots[i] != SLOT_EMPTY)
            i = (i + 1) & nMask;
        aSlots[i] = nID;
        ++m_nSlotsUsed;
    }
    m_aSlots = std::move(aSlots);
}

uint32_t CVRMemDocIndex::Intern(std::u16string_view sText)
{
    const int64_t nFound = FindID(sText);
    if (nFound >= 0)
        return static_cast<uint32_t>(nFound);
    uint32_t nID;
    if (!m_aFreeIDs.empty())
    {
        nID = m_aFreeIDs.back();
        m_aFreeIDs.pop_back();
    }
    else
    {
        nID = static_cast<uint32_t>(m_aStart.size());
        m_aStart.push_back(0);
        m_aLength.push_back(0);
        m_aHash.push_back(0);
        m_aFlags.push_back(0);
        m_aListed.push_back(0);
        m_aEntries.emplace_back();
        m_aCountCache.push_back(0);
        m_aCountStamp.push_back(0);
    }
    m_aCountStamp[nID] = 0;
    m_aStart[nID] = m_aArena.size();
    m_aArena.insert(m_aArena.end(), sText.begin(), sText.end());
    m_aLength[nID] = static_cast<uint32_t>(sText.size());
    m_aHash[nID] = HashText(sText);
    m_aFlags[nID] = TEXT_USED;
    m_aListed[nID] = 0;

    if ((m_nSlotsUsed + 1) * 2 > m_aSlots.size())
        Rehash(std::max<size_t>(64, std::bit_ceil((m_aStart.size() - m_aFreeIDs.size()) * 4)));
    const size_t nMask = m_aSlots.size() - 1;
    size_t i = m_aHash[nID] & nMask;
    while (m_aSlots[i] != SLOT_EMPTY && m_aSlots[i] != SLOT_DELETED)
        i = (i + 1) & nMask;
    if (m_aSlots[i] == SLOT_EMPTY)
        ++m_nSlotsUsed;
    m_aSlots[i] = nID;
    return nID;
}

void CVRMemDocIndex::MaybeFree(uint32_t nID)
{
    if (m_aFlags[nID] != TEXT_USED)
        return; // listed, recorded, posted or with entries
    const size_t nMask = m_aSlots.size() - 1;
    size_t i = m_aHash[nID] & nMask;
    while (m_aSlots[i] != nID)
        i = (i + 1) & nMask;
    m_aSlots[i] = SLOT_DELETED;
    m_nArenaGarbage += m_aLength[nID];
    m_aLength[nID] = 0;
    m_aFlags[nID] = 0;
    m_aEntries[nID] = std::vector<tcNode*>();
    m_aFreeIDs.push_back(nID);
}

void CVRMemDocIndex::Post(uint32_t nID)
{
    // Kept from text to text: a memory posts every one of its texts while it loads.
    thread_local std::vector<std::pair<uint64_t, uint32_t>> aTrigrams;
    thread_local std::vector<uint32_t> aTable;
    CountTrigramsUnordered(Text(nID), aTrigrams, aTable);
    for (const auto& [nKey, nCount] : aTrigrams)
    {
        tsPosting& posting = m_mapPostings[nKey];
        PutPosting(posting.aBytes, posting.nLastID, nID, nCount);
    }
    m_aFlags[nID] |= TEXT_POSTED;
    m_nLivePostings += aTrigrams.size();
}

void CVRMemDocIndex::SetListed(uint32_t nID, bool bListed)
{
    if (bListed)
    {
        m_aFlags[nID] |= TEXT_LISTED;
        ++m_nListedTexts;
    }
    else
    {
        m_aFlags[nID] &= ~TEXT_LISTED;
        --m_nListedTexts;
    }
    if (m_aFlags[nID] & TEXT_POSTED)
    {
        // The postings stay; they only count as live or dead.
        std::vector<std::pair<uint64_t, uint32_t>> aTrigrams;
        CountTrigrams(Text(nID), aTrigrams);
        const size_t n = aTrigrams.size();
        m_nLivePostings += bListed ? n : -n;
        m_nDeadPostings += bListed ? -n : n;
    }
}

void CVRMemDocIndex::AddText(const wxString& sText)
{
    const uint32_t nID = Intern(tToU16(sText));
    m_aFlags[nID] |= TEXT_RECORD;
    if (++m_aListed[nID] == 1)
    {
        SetListed(nID, true);
        if (!(m_aFlags[nID] & TEXT_POSTED) && m_aLength[nID] >= 3)
            Post(nID);
    }
}

void CVRMemDocIndex::RemoveText(const wxString& sText)
{
    const int64_t nFound = FindID(tToU16(sText));
    if (nFound < 0)
        return;
    const uint32_t nID = static_cast<uint32_t>(nFound);
    if (!(m_aFlags[nID] & TEXT_RECORD))
        return;
    m_aFlags[nID] &= ~TEXT_RECORD;
    if (--m_aListed[nID] == 0)
    {
        SetListed(nID, false);
        MaybeFree(nID);
    }
    if (m_nDeadPostings >= m_nCompactMinDead && m_nDeadPostings > m_nLivePostings)
        Compact();
}

void CVRMemDocIndex::Compact()
{
    for (auto it = m_mapPostings.begin(); it != m_mapPostings.end();)
    {
        tsPosting compacted;
        ForEachPosting(it->second.aBytes,
                       [&](uint32_t nID, uint32_t nCount)
                       {
                           if (m_aFlags[nID] & TEXT_LISTED)
                               PutPosting(compacted.aBytes, compacted.nLastID, nID, nCount);
                       });
        if (compacted.aBytes.empty())
            it = m_mapPostings.erase(it);
        else
        {
            compacted.aBytes.shrink_to_fit();
            it->second = std::move(compacted);
            ++it;
        }
    }
    m_nDeadPostings = 0;
    for (uint32_t nID = 0; nID < m_aFlags.size(); ++nID)
        if ((m_aFlags[nID] & TEXT_POSTED) && !(m_aFlags[nID] & TEXT_LISTED))
        {
            m_aFlags[nID] &= ~TEXT_POSTED;
            MaybeFree(nID);
        }
    if (m_nArenaGarbage > m_aArena.size() / 2)
    {
        std::vector<char16_t> aArena;
        aArena.reserve(m_aArena.size() - m_nArenaGarbage);
        for (uint32_t nID = 0; nID < m_aFlags.size(); ++nID)
        {
            const std::u16string_view s = Text(nID);
            m_aStart[nID] = aArena.size();
            aArena.insert(aArena.end(), s.begin(), s.end());
        }
        m_aArena = std::move(aArena);
        m_nArenaGarbage = 0;
    }
}

void CVRMemDocIndex::ForgetCounts()
{
    if (m_nCountEpoch.fetch_add(1) + 1 == 0)
    {
        std::fill(m_aCountStamp.begin(), m_aCountStamp.end(), 0);
        m_nCountEpoch = 1;
    }
}

int CVRMemDocIndex::CountResults(uint32_t nID, const tfnCountResults& fnCount) const
{
    // Threads querying at once may both compute a text's answer; they store the same value, and the
    // stamp is stored after the answer, so a fresh stamp never comes with a stale answer.
    const uint32_t nEpoch = m_nCountEpoch.load(std::memory_order_relaxed);
    if (std::atomic_ref<uint32_t>(m_aCountStamp[nID]).load(std::memory_order_acquire) == nEpoch)
        return std::atomic_ref<int32_t>(m_aCountCache[nID]).load(std::memory_order_relaxed);
    const std::vector<tcNode*>& apEntries = m_aEntries[nID];
    const int nResults = fnCount ? fnCount(apEntries) : static_cast<int>(apEntries.size());
    std::atomic_ref<int32_t>(m_aCountCache[nID]).store(nResults, std::memory_order_relaxed);
    std::atomic_ref<uint32_t>(m_aCountStamp[nID]).store(nEpoch, std::memory_order_release);
    return nResults;
}

void CVRMemDocIndex::AddEntry(const wxString& sText, tcNode* pSeg)
{
    const uint32_t nID = Intern(tToU16(sText));
    m_aEntries[nID].push_back(pSeg);
    ++m_nEntries;
    m_aFlags[nID] |= TEXT_ENTRIES;
    ForgetCounts();
}

bool CVRMemDocIndex::RemoveEntry(const wxString& sText, tcNode* pSeg)
{
    const int64_t nFound = FindID(tToU16(sText));
    if (nFound < 0)
        return false;
    const uint32_t nID = static_cast<uint32_t>(nFound);
    std::vector<tcNode*>& apEntries = m_aEntries[nID];
    const auto it = std::find(apEntries.begin(), apEntries.end(), pSeg);
    if (it == apEntries.end())
        return false;
    apEntries.erase(it);
    --m_nEntries;
    ForgetCounts();
    if (apEntries.empty())
    {
        apEntries = std::vector<tcNode*>();
        m_aFlags[nID] &= ~TEXT_ENTRIES;
        MaybeFree(nID);
    }
    return true;
}

const std::vector<tcNode*>* CVRMemDocIndex::FindEntries(const wxString& sText) const
{
    const int64_t nFound = FindID(tToU16(sText));
    if (nFound < 0 || m_aEntries[nFound].empty())
        return nullptr;
    return &m_aEntries[nFound];
}

namespace
{
// Calls fn(nID, nShared) for each posting of each trigram of q: the text and the occurrences of that
// trigram it shares with q (at least 1).
template <typename Postings, typename Fn>
void ForEachSharedTrigram(const Postings& mapPostings, std::u16string_view q, tsQueryScratch& scratch, Fn&& fn)
{
    CountTrigrams(q, scratch.aTrigrams, scratch.aKeys);
    for (const auto& [nKey, nInQuery] : scratch.aTrigrams)
    {
        const auto it = mapPostings.find(nKey);
        if (it == mapPostings.end())
            continue;
        ForEachPosting(it->second.aBytes, [&, nInQuery = nInQuery](uint32_t nID, uint32_t nInText)
                       { fn(nID, std::min(nInQuery, nInText)); });
    }
}

// Fills scratch.aCandidates, in id order, with the ids sharing a trigram with q whose flags hold
// nNeed, and leaves the trigram occurrences each shares in scratch.aShared (the caller clears them).
template <typename Postings>
void GatherCandidates(const Postings& mapPostings, const std::vector<uint8_t>& aFlags, uint8_t nNeed,
                      std::u16string_view q, tsQueryScratch& scratch)
{
    scratch.aCandidates.clear();
    const size_t nIDs = aFlags.size();
    if (scratch.aShared.size() < nIDs)
        scratch.aShared.resize(nIDs, 0);
    const uint8_t* pFlags = aFlags.data();
    uint32_t* pShared = scratch.aShared.data();
    size_t nFound = 0;
    ForEachSharedTrigram(mapPostings, q, scratch,
                         [&](uint32_t nID, uint32_t nShared)
                         {
                             if ((pFlags[nID] & nNeed) != nNeed)
                                 return;
                             nFound += pShared[nID] == 0;
                             pShared[nID] += nShared;
                         });
    scratch.aCandidates.reserve(nFound);
    for (uint32_t nID = 0; nID < nIDs && scratch.aCandidates.size() < nFound; ++nID)
        if (pShared[nID] != 0)
            scratch.aCandidates.push_back(nID);
}
} // namespace

std::vector<CVRMemDocIndex::tsHit> CVRMemDocIndex::FindMatches(const wxString& sQuery) const
{
    std::vector<tsHit> aHits;
    const std::u16string q = tToU16(StripCodes(sQuery));
    if (q.size() < 3)
        return aHits;
    tsQueryScratch& scratch = QueryScratch();
    GatherCandidates(m_mapPostings, m_aFlags, TEXT_LISTED, q, scratch);
    std::vector<uint32_t> aCandidates = scratch.aCandidates;
    for (uint32_t nID : aCandidates)
        scratch.aShared[nID] = 0;
    std::sort(aCandidates.begin(), aCandidates.end(), [this](uint32_t a, uint32_t b) { return Text(a) < Text(b); });
    CMemDocQuery query(q);
    aHits.reserve(aCandidates.size());
    for (uint32_t nID : aCandidates)
    {
        const std::u16string_view c = Text(nID);
        const uint32_t m = static_cast<uint32_t>(std::max(c.size(), q.size()));
        aHits.push_back(tsHit{tFromU16(c.data(), c.size()), Score(query.Distance(c), m), nullptr});
    }
    return aHits;
}

std::vector<CVRMemDocIndex::tsHit> CVRMemDocIndex::FindBestMatches(const wxString& sQuery, int nMinScore,
                                                                   int nMaxResults, const tfnCountResults& fnCount,
                                                                   uint64_t nRevision) const
{
    std::vector<tsHit> aHits;
    const std::u16string q = tToU16(StripCodes(sQuery));
    if (q.size() < 3)
        return aHits;
    nMinScore = std::clamp(nMinScore, 0, 100);
    if (nRevision != m_nCountRevision.load(std::memory_order_acquire))
    {
        // The first query of a new revision makes the kept answers stale; the others wait for it.
        std::lock_guard<std::mutex> lock(m_revisionMutex);
        if (nRevision != m_nCountRevision.load(std::memory_order_relaxed))
        {
            const_cast<CVRMemDocIndex*>(this)->ForgetCounts();
            m_nCountRevision.store(nRevision, std::memory_order_release);
        }
    }
    tsQueryScratch& scratch = QueryScratch();
    const bool bShortcuts = s_bShortcuts.load(std::memory_order_relaxed);
    CMemDocQuery query(q);
    // nThreshold: the lowest score that can still be among the best nMaxResults results.
    // nAtOrAbove counts the results scored so far at or above it. aKept: the texts scored at or above
    // the threshold of their time.
    std::array<int64_t, 101> aResultsAt{};
    int nThreshold = nMinScore;
    int64_t nAtOrAbove = 0;
    tsQueryScratch fresh;
    std::vector<std::pair<uint32_t, int>>& aKept = (bShortcuts ? scratch : fresh).aKept;
    aKept.clear();
    auto Consider = [&](uint32_t nID, uint32_t d)
    {
        const int nScore = Score(d, static_cast<uint32_t>(std::max<size_t>(m_aLength[nID], q.size())));
        if (nScore < nThreshold)
            return;
        const int nResults = CountResults(nID, fnCount);
        if (nResults <= 0)
            return;
        aKept.emplace_back(nID, nScore);
        aResultsAt[nScore] += nResults;
        nAtOrAbove += nResults;
        if (nMaxResults > 0)
            while (nThreshold < 100 && nAtOrAbove - aResultsAt[nThreshold] >= nMaxResults)
                nAtOrAbove -= aResultsAt[nThreshold++];
    };
    if (bShortcuts)
    {
        // Every candidate is scored unless its bound falls short of the threshold, and most are: the
        // hundredth best score is low where the query is far from most texts. So the candidates are
        // taken in id order, the order of the text store, each put with those of its length; a length
        // that has LANES waiting is scored at once, its texts fetched into the cache as they came.
        // Lanes of one length finish together, and the texts lie near each other in the store.
        const size_t nIDs = m_aFlags.size();
        if (scratch.aShared.size() < nIDs)
            scratch.aShared.resize(nIDs, 0);
        uint32_t* pShared = scratch.aShared.data();
        // Flags are checked once a text below, not once a posting.
        ForEachSharedTrigram(m_mapPostings, q, scratch, [pShared](uint32_t nID, uint32_t nShared) { pShared[nID] += nShared; });
        // The counts move to the candidates, and the ids' are all zero again before any scoring
        // (whatever fnCount does, the next query finds them clean).
        std::vector<uint32_t>& aCandidates = scratch.aCandidates;
        if (aCandidates.size() < nIDs)
            aCandidates.resize(nIDs);
        if (scratch.aCandidateShared.size() < nIDs)
            scratch.aCandidateShared.resize(nIDs);
        uint32_t* pCandidates = aCandidates.data();
        uint32_t* pCandidateShared = scratch.aCandidateShared.data();
        size_t nCandidates = 0;
        for (uint32_t nID = 0; nID < nIDs; ++nID)
        {
            const uint32_t nShared = pShared[nID];
            pShared[nID] = 0;
            pCandidates[nCandidates] = nID;
            pCandidateShared[nCandidates] = nShared;
            nCandidates += nShared != 0;
        }
        scratch.aPending.resize(size_t(LENGTH_CLASSES) * LANES);
        scratch.anPending.assign(LENGTH_CLASSES, 0);
        uint32_t* pPending = scratch.aPending.data();
        uint8_t* pnPending = scratch.anPending.data();
        // Bounds and scores are compared as distances: the most each length may have at the
        // threshold is kept until the threshold moves.
        scratch.aLimits.assign(LENGTH_CLASSES, tsQueryScratch::tsLimit{-1, 0, 0});
        tsQueryScratch::tsLimit* pLimits = scratch.aLimits.data();
        tsQueryScratch::tsLimit longLimit; // for the texts past the last class, computed each time
        auto LimitAt = [&](uint32_t nLength) -> const tsQueryScratch::tsLimit&
        {
            tsQueryScratch::tsLimit& limit = nLength < LENGTH_CLASSES ? pLimits[nLength] : longLimit;
            if (limit.nFor != nThreshold || nLength >= LENGTH_CLASSES)
            {
                limit.nFor = nThreshold;
                limit.nMaxDistance = MaxDistance(q.size(), nLength, nThreshold);
                limit.nMinShared = MinShared(q.size(), nLength, limit.nMaxDistance);
            }
            return limit;
        };
        std::u16string_view aTexts[LANES * 4];
        uint32_t aDistances[LANES * 4];
        auto ScoreBatch = [&](const uint32_t* pIDs, uint32_t n)
        {
            for (uint32_t i = 0; i < n; ++i)
                aTexts[i] = Text(pIDs[i]);
            query.DistanceBatch(aTexts, n, aDistances);
            for (uint32_t i = 0; i < n; ++i)
                if (int64_t(aDistances[i]) <= LimitAt(m_aLength[pIDs[i]]).nMaxDistance)
                    Consider(pIDs[i], aDistances[i]);
        };
        const char16_t* pArena = m_aArena.data();
        const uint8_t* pFlags = m_aFlags.data();
        for (size_t i = 0; i < nCandidates; ++i)
        {
            const uint32_t nID = pCandidates[i];
            const uint32_t nShared = pCandidateShared[i];
            if ((pFlags[nID] & (TEXT_LISTED | TEXT_ENTRIES)) != (TEXT_LISTED | TEXT_ENTRIES))
                continue;
            const uint32_t nLength = m_aLength[nID];
            if (nShared < LimitAt(nLength).nMinShared)
                continue;
            const uint32_t nClass = std::min(nLength, LENGTH_CLASSES - 1);
            uint32_t* pClass = pPending + size_t(nClass) * LANES;
            pClass[pnPending[nClass]++] = nID;
            // Three lines hold most texts; fetching by a loop over the length costs more than it
            // saves, and a fetch past the end never faults.
            const uintptr_t nText = reinterpret_cast<uintptr_t>(pArena + m_aStart[nID]);
            __builtin_prefetch(reinterpret_cast<const void*>(nText));
            __builtin_prefetch(reinterpret_cast<const void*>(nText + 64));
            __builtin_prefetch(reinterpret_cast<const void*>(nText + 128));
            if (pnPending[nClass] == LANES)
            {
                pnPending[nClass] = 0;
                ScoreBatch(pClass, LANES);
            }
        }
        // What waits: by length, a few lengths to a batch.
        uint32_t aBatch[LANES * 4];
        uint32_t n = 0;
        for (uint32_t nClass = 0; nClass < LENGTH_CLASSES; ++nClass)
        {
            for (uint32_t k = 0; k < pnPending[nClass]; ++k)
            {
                aBatch[n++] = pPending[size_t(nClass) * LANES + k];
                if (n == LANES * 4)
                {
                    ScoreBatch(aBatch, n);
                    n = 0;
                }
            }
            pnPending[nClass] = 0;
        }
        if (n > 0)
            ScoreBatch(aBatch, n);
    }
    else
    {
        // Without the shortcuts: the candidates in buckets by the best score they could reach, so that
        // the best are scored first and the rest can be left once they cannot reach the results;
        // within a bucket by length (texts of one length are scored side by side), then by id (the
        // order of the text store); each bucket in batches of its own, in new, zeroed buffers per
        // query, as the index first did. The bounds are taken while the shared counts are cleared for
        // the next query.
        GatherCandidates(m_mapPostings, m_aFlags, TEXT_LISTED | TEXT_ENTRIES, q, scratch);
        tsQueryScratch& buffers = fresh;
        const std::vector<uint32_t>& aCandidates = scratch.aCandidates;
        const size_t nCandidates = aCandidates.size();
        std::array<uint32_t, 102> aBucketStart{};
        std::vector<uint8_t>& aBound = buffers.aBound;
        aBound.resize(nCandidates);
        std::vector<uint32_t>& aLengthStart = buffers.aLengthStart;
        aLengthStart.assign(LENGTH_CLASSES + 1, 0);
        uint32_t* pShared = scratch.aShared.data();
        for (size_t i = 0; i < nCandidates; ++i)
        {
            const uint32_t nID = aCandidates[i];
            const uint32_t nLength = m_aLength[nID];
            aBound[i] = static_cast<uint8_t>(ScoreBound(q.size(), nLength, pShared[nID]));
            pShared[nID] = 0;
            ++aBucketStart[aBound[i] + 1];
            ++aLengthStart[std::min(nLength, LENGTH_CLASSES - 1) + 1];
        }
        for (size_t b = 1; b < aBucketStart.size(); ++b)
            aBucketStart[b] += aBucketStart[b - 1];
        std::vector<uint32_t>& aByLength = buffers.aByLength; // candidate positions
        aByLength.resize(nCandidates);
        for (size_t c = 1; c < aLengthStart.size(); ++c)
            aLengthStart[c] += aLengthStart[c - 1];
        for (uint32_t i = 0; i < nCandidates; ++i)
            aByLength[aLengthStart[std::min(m_aLength[aCandidates[i]], LENGTH_CLASSES - 1)]++] = i;
        std::vector<uint32_t>& aOrdered = buffers.aOrdered;
        aOrdered.resize(nCandidates);
        {
            std::array<uint32_t, 102> aFill = aBucketStart;
            for (uint32_t i : aByLength)
                aOrdered[aFill[aBound[i]]++] = aCandidates[i];
        }
        // Scored in batches, best bound first; the threshold is checked between them (a text scored
        // beyond it only costs time, never changes the results).
        constexpr uint32_t BATCH = 64;
        std::u16string_view aTexts[BATCH];
        uint32_t aBatch[BATCH];
        uint32_t aDistances[BATCH];
        int nBound = 100;
        for (uint32_t nLeft = static_cast<uint32_t>(nCandidates); nLeft > 0;)
        {
            uint32_t n = 0;
            int nBatchBound = -1; // a batch keeps to one bucket
            while (n < BATCH && nLeft > 0)
            {
                while (nBound > 0 && aBucketStart[nBound] >= nLeft)
                    --nBound; // the bucket of position nLeft - 1
                if (nBound < nThreshold || (n > 0 && nBound != nBatchBound))
                    break;
                nBatchBound = nBound;
                aBatch[n++] = aOrdered[--nLeft];
            }
            if (n == 0)
                break;
            for (uint32_t i = 0; i < n; ++i)
                aTexts[i] = Text(aBatch[i]);
            query.DistanceBatch(aTexts, n, aDistances);
            for (uint32_t i = 0; i < n; ++i)
                Consider(aBatch[i], aDistances[i]);
        }
    }

    std::erase_if(aKept, [nThreshold](const std::pair<uint32_t, int>& kept) { return kept.second < nThreshold; });
    std::sort(aKept.begin(), aKept.end(),
              [this](const auto& a, const auto& b) { return Text(a.first) < Text(b.first); });
    aHits.reserve(aKept.size());
    for (const auto& [nID, nScore] : aKept)
        aHits.push_back(tsHit{tFromU16(Text(nID).data(), Text(nID).size()), nScore, &m_aEntries[nID]});
    return aHits;
}

size_t CVRMemDocIndex::GetMemoryUsage() const
{
    size_t n = sizeof(*this);
    n += m_aArena.capacity() * sizeof(char16_t) + m_aStart.capacity() * sizeof(uint64_t) +
         m_aLength.capacity() * sizeof(uint32_t) + m_aHash.capacity() * sizeof(uint32_t) + m_aFlags.capacity() +
         m_aListed.capacity() * sizeof(uint32_t) + m_aFreeIDs.capacity() * sizeof(uint32_t) +
         m_aSlots.capacity() * sizeof(uint32_t);
    n += m_aEntries.capacity() * sizeof(std::vector<tcNode*>);
    for (const std::vector<tcNode*>& apEntries : m_aEntries)
        n += apEntries.capacity() * sizeof(tcNode*);
    // The posting table: a node per trigram (key, posting, next pointer, cached hash) and buckets.
    for (const auto& [nKey, posting] : m_mapPostings)
        n += sizeof(nKey) + sizeof(posting) + 2 * sizeof(void*) + posting.aBytes.capacity();
    n += m_mapPostings.bucket_count() * sizeof(void*);
    n += m_aCountCache.capacity() * sizeof(int32_t) + m_aCountStamp.capacity() * sizeof(uint32_t);
    return n;
}
