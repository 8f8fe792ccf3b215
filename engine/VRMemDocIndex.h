#pragma once

#include <wx/string.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class tcNode;

// The fuzzy index of one language of a translation memory. Texts are the memory's key texts (seg
// content as XML, inline codes left out), compared by UTF-16 code units.
//
// What it answers is that of a plain model: every text, each time it is added, is listed once under
// each of its three-unit substrings (trigrams), once per occurrence; removing a text takes one such
// listing set away, but only once per addition that is still recorded (adding a text again resets its
// record, so a text added twice and removed once stays listed, and removing it again changes
// nothing). Texts under three units are never listed. Exact entries lead from a text to the segs
// that hold it, in the order they were added.
//
// Built for memories of a million units: texts are stored once, side by side, under a 32-bit id;
// the listings are compressed postings per trigram with a count per text; dead postings are dropped
// in batches. FindBestMatches scores every candidate that its length and shared trigrams still allow
// to reach the best results, in the order of the text store, texts of one length side by side.
//
// Threads: FindMatches and FindBestMatches may run on several threads at once (each thread keeps its
// own query buffers, reused from query to query); every other member, and any change, needs the
// index to itself. The fnCount of FindBestMatches then runs on the calling thread.
class CVRMemDocIndex
{
public:
    // A scored memory text.
    struct tsHit
    {
        wxString sText;
        int nScore = 0;
        // The text's exact entries at the time of the query (FindBestMatches only; else null);
        // valid until the index changes.
        const std::vector<tcNode*>* pEntries = nullptr;
    };
    // For FindBestMatches: how many results the exact entries of one text give (0: none).
    typedef std::function<int(const std::vector<tcNode*>& apEntries)> tfnCountResults;

    CVRMemDocIndex();
    ~CVRMemDocIndex();
    CVRMemDocIndex(const CVRMemDocIndex&) = delete;
    CVRMemDocIndex& operator=(const CVRMemDocIndex&) = delete;

    // Lists the text once more under each of its trigrams and makes its record that single listing.
    void AddText(const wxString& sText);
    // Takes the recorded listing of the text away and forgets the record; nothing for a text
    // without a record.
    void RemoveText(const wxString& sText);

    // Every listed text sharing a trigram with the query (its inline codes ph, bpt, ept and it
    // stripped first), with its score, in ascending code-unit order of the texts. No threshold:
    // scores from 0 to 100. A query under three units has no matches. Cost grows with the number
    // of texts that share a trigram with the query; look-ups for users go through FindBestMatches.
    std::vector<tsHit> FindMatches(const wxString& sQuery) const;

    // The hits that can be among the nMaxResults best results of a look-up, in ascending text order.
    // A text's hit gives fnCount(its exact entries) results, all with its score; results are ranked
    // by score, equal scores by text order. Only listed texts with exact entries and a score of
    // nMinScore or more are returned; of the rest only those that a best result could come from.
    // nMaxResults <= 0 means no limit. Exactly the hits FindMatches gives, with their scores, as far
    // as those limits allow. What fnCount says of a text is kept until the index's entries change or
    // a call passes another nRevision: pass a new one whenever the results entries give may have
    // changed otherwise (the units around the segs were edited).
    std::vector<tsHit> FindBestMatches(const wxString& sQuery, int nMinScore, int nMaxResults,
                                       const tfnCountResults& fnCount, uint64_t nRevision = 0) const;

    // Exact entries: AddEntry appends pSeg after the entries of sText; RemoveEntry takes that
    // pair out (false when it is not there). FindEntries gives null when the text has none; the
    // vector stays valid until the index changes.
    void AddEntry(const wxString& sText, tcNode* pSeg);
    bool RemoveEntry(const wxString& sText, tcNode* pSeg);
    const std::vector<tcNode*>* FindEntries(const wxString& sText) const;
    // True while any text has an exact entry.
    bool HasEntries() const { return m_nEntries > 0; }

    // Dead postings (of texts no longer listed) are dropped in one pass once at least this many have
    // gathered and they outnumber the live ones. Lowering it only changes when memory is given back.
    void SetCompactThreshold(size_t nMinDeadPostings) { m_nCompactMinDead = nMinDeadPostings; }

    // Texts currently listed, and the bytes the index holds (texts, records, postings, tables).
    int GetNumListedTexts() const { return m_nListedTexts; }
    size_t GetMemoryUsage() const;

    // The query with every "<ph.*?</ph>", then "<bpt.*?</bpt>", "<ept.*?</ept>" and "<it.*?</it>"
    // removed, in that order ("." also matches line breaks).
    static wxString StripCodes(const wxString& sText);
    // The score of an edit distance d between texts whose longer one has m units: (m - d) / m * 100
    // in single precision, truncated. m must be above 0 and d at most m.
    static int Score(uint32_t d, uint32_t m);

    // Whether FindBestMatches takes the shortcuts that leave its results as they are (candidates
    // taken in store order, batched by length and fetched into the cache while they wait; bounds
    // and scores compared as distances; the thread's buffers kept from query to query); without them
    // it orders the candidates into buckets by the best score they could reach and scores them
    // bucket by bucket, in new buffers, as the index first did. The results are the same either way;
    // measurements and tests compare the two. For every index of the process; set it while no
    // look-up runs.
    static void UseShortcuts(bool bUse);

private:
    // Per-id flags.
    enum : uint8_t
    {
        TEXT_USED = 1,    // the id holds a text
        TEXT_RECORD = 2,  // the text has a record
        TEXT_POSTED = 4,  // the postings hold the text (once, whatever its listing count)
        TEXT_LISTED = 8,  // the listing count is above 0
        TEXT_ENTRIES = 16 // the text has exact entries
    };
    struct tsPosting
    {
        std::vector<uint8_t> aBytes;
        uint32_t nLastID = 0;
    };

    std::u16string_view Text(uint32_t nID) const
    {
        return std::u16string_view(m_aArena.data() + m_aStart[nID], m_aLength[nID]);
    }
    uint32_t Intern(std::u16string_view sText);
    // -1 when the text is unknown.
    int64_t FindID(std::u16string_view sText) const;
    // The slot of m_aSlots that holds the text's id, or the empty slot where it would go.
    size_t FindSlot(std::u16string_view sText, uint32_t nHash) const;
    void Rehash(size_t nSlots);
    void Post(uint32_t nID);
    void SetListed(uint32_t nID, bool bListed);
    // Drops the postings of texts no longer listed, frees the ids nobody refers to and packs the
    // text store.
    void Compact();
    void MaybeFree(uint32_t nID);
    // Makes every kept fnCount answer stale.
    void ForgetCounts();
    // The number of results fnCount gives for the text, from the kept answers where they are fresh.
    int CountResults(uint32_t nID, const tfnCountResults& fnCount) const;

    // Texts by id: contiguous in one store, so that scoring runs through memory in order.
    std::vector<char16_t> m_aArena;
    size_t m_nArenaGarbage = 0;
    std::vector<uint64_t> m_aStart;
    std::vector<uint32_t> m_aLength;
    std::vector<uint32_t> m_aHash;
    std::vector<uint8_t> m_aFlags;
    std::vector<uint32_t> m_aListed;
    std::vector<std::vector<tcNode*>> m_aEntries;
    size_t m_nEntries = 0;
    std::vector<uint32_t> m_aFreeIDs;
    // Open addressing from text to id.
    std::vector<uint32_t> m_aSlots;
    size_t m_nSlotsUsed = 0; // ids and tombstones

    std::unordered_map<uint64_t, tsPosting> m_mapPostings;
    int m_nListedTexts = 0;
    size_t m_nLivePostings = 0;
    size_t m_nDeadPostings = 0;
    size_t m_nCompactMinDead = size_t(1) << 20;

    // fnCount's answers by id, valid where their stamp is m_nCountEpoch. Queries of several threads
    // fill them at once (atomically; they all compute the same answer); they are sized with the ids.
    mutable std::vector<int32_t> m_aCountCache;
    mutable std::vector<uint32_t> m_aCountStamp;
    mutable std::atomic<uint32_t> m_nCountEpoch{1};
    mutable std::atomic<uint64_t> m_nCountRevision{0};
    // Taken by the query that notices a new revision first.
    mutable std::mutex m_revisionMutex;
};
