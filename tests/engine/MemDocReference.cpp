#include "tests/engine/MemDocReference.h"

#include "Shared/AppUtils_sharedText.h"
#include "varnak/include/tRegex.h"
#include "varnak/include/tString.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

namespace
{
wxString Strip(const wxString& sText)
{
    wxString s = tRegReplace(sText, "<ph.*?</ph>", wxString(), true);
    s = tRegReplace(s, "<bpt.*?</bpt>", wxString(), true);
    s = tRegReplace(s, "<ept.*?</ept>", wxString(), true);
    return tRegReplace(s, "<it.*?</it>", wxString(), true);
}
} // namespace

std::u16string CMemDocReference::Key(const wxString& sText)
{
    return tToU16(Strip(sText));
}

void CMemDocReference::AddText(Index& index, const std::u16string& sText)
{
    const std::u16string* pText = &*m_setPool.insert(sText).first;
    auto& apRecord = index.mapRecords[sText];
    apRecord.clear();
    for (size_t i = 0; i + 3 <= sText.size(); ++i)
    {
        auto& apList = index.mapLists[sText.substr(i, 3)];
        apList.push_back(pText);
        apRecord.push_back(&apList);
    }
}

void CMemDocReference::RemoveText(Index& index, const std::u16string& sText)
{
    const auto it = index.mapRecords.find(sText);
    if (it == index.mapRecords.end())
        return;
    for (auto* pList : it->second)
    {
        const auto itText =
            std::find_if(pList->begin(), pList->end(), [&](const std::u16string* p) { return *p == sText; });
        if (itText != pList->end())
            pList->erase(itText);
    }
    index.mapRecords.erase(it);
}

void CMemDocReference::IndexSeg(Index& index, Seg* pSeg)
{
    const std::u16string sKey = Key(pSeg->sText);
    AddText(index, sKey);
    index.mapExact.emplace(sKey, pSeg);
}

std::vector<std::pair<std::u16string, int>> CMemDocReference::Matches(Index& index, const wxString& sQuery)
{
    std::vector<std::pair<std::u16string, int>> aHits;
    const std::u16string q = tToU16(Strip(sQuery));
    std::set<std::u16string> setCandidates;
    for (size_t i = 0; i + 3 <= q.size(); ++i)
    {
        const auto it = index.mapLists.find(q.substr(i, 3));
        if (it != index.mapLists.end())
            for (const std::u16string* p : it->second)
                setCandidates.insert(*p);
    }
    for (const std::u16string& c : setCandidates)
    {
        const uint32_t d = tLevenshteinDistancePlain(c, q, 1, 1, 1);
        const uint32_t m = static_cast<uint32_t>(std::max(c.size(), q.size()));
        aHits.emplace_back(c, static_cast<int>(static_cast<float>(m - d) / static_cast<float>(m) * 100.0f));
    }
    return aHits;
}

std::vector<std::pair<wxString, int>> CMemDocReference::FindMatches(const wxString& sText, const wxString& sLanguage)
{
    std::vector<std::pair<wxString, int>> aOut;
    for (const auto& [sHit, nScore] : Matches(GetIndex(sLanguage), sText))
        aOut.emplace_back(tFromU16(sHit), nScore);
    return aOut;
}

std::vector<CMemDocReference::Index*> CMemDocReference::LookupIndexes(const wxString& sLanguage)
{
    const wxString sKey = sLanguage.Lower();
    const wxString sPrimary = sKey.BeforeFirst('-');
    std::vector<Index*> apIndexes;
    if (auto it = m_mapIndexes.find(sKey); it != m_mapIndexes.end() && !it->second.mapExact.empty())
        apIndexes.push_back(&it->second);
    if (sKey.empty())
        return apIndexes;
    for (auto& [sIndexKey, index] : m_mapIndexes)
        if (sIndexKey != sKey && !index.mapExact.empty() &&
            (sIndexKey == sPrimary || sIndexKey.StartsWith(sPrimary + "-")))
            apIndexes.push_back(&index);
    return apIndexes;
}

std::vector<CVRMemDocMatch> CMemDocReference::LookupTranslations(const wxString& sText, const wxString& sLanguage)
{
    // The hits of the asked tag's own index first, in text order; then those of its relatives
    // together in text order (equal texts in index key order).
    struct Hit
    {
        Index* pIndex;
        std::u16string sText;
        int nScore;
    };
    std::vector<Hit> aHits;
    const std::vector<Index*> apIndexes = LookupIndexes(sLanguage);
    const bool bExact = !apIndexes.empty() && apIndexes.front() == &GetIndex(sLanguage);
    size_t nExactHits = 0;
    for (Index* pIndex : apIndexes)
    {
        for (auto& [sHit, nScore] : Matches(*pIndex, sText))
            aHits.push_back(Hit{pIndex, std::move(sHit), nScore});
        if (bExact && pIndex == apIndexes.front())
            nExactHits = aHits.size();
    }
    std::stable_sort(aHits.begin() + static_cast<std::ptrdiff_t>(nExactHits), aHits.end(),
                     [](const Hit& a, const Hit& b) { return a.sText < b.sText; });

    std::vector<CVRMemDocMatch> aMatches;
    for (const auto& [pIndex, sHit, nScore] : aHits)
    {
        const auto range = pIndex->mapExact.equal_range(sHit);
        for (auto it = range.first; it != range.second; ++it)
            for (const auto& pOther : it->second->pUnit->apSegs)
                if (pOther->bAlive && pOther.get() != it->second)
                {
                    CVRMemDocMatch match;
                    match.m_sSource = tFromU16(sHit);
                    match.m_sTarget = pOther->sText;
                    match.m_sLanguage = pOther->sLanguage;
                    match.m_nScore = nScore;
                    aMatches.push_back(match);
                }
    }
    return aMatches;
}

void CMemDocReference::AddTranslation(const wxString& sSource, const wxString& sTarget, const wxString& sSourceLang,
                                      const wxString& sTargetLang)
{
    Index& sourceIndex = GetIndex(sSourceLang);
    const auto it = sourceIndex.mapExact.find(Key(sSource));
    Unit* pUnit;
    if (it == sourceIndex.mapExact.end())
    {
        m_apUnits.push_back(std::make_unique<Unit>());
        pUnit = m_apUnits.back().get();
        pUnit->apSegs.push_back(std::make_unique<Seg>(Seg{pUnit, sSourceLang, sSource}));
        IndexSeg(sourceIndex, pUnit->apSegs.back().get());
    }
    else
        pUnit = it->second->pUnit;
    pUnit->apSegs.push_back(std::make_unique<Seg>(Seg{pUnit, sTargetLang, sTarget}));
    IndexSeg(GetIndex(sTargetLang), pUnit->apSegs.back().get());
}

void CMemDocReference::AddUnit(const std::vector<std::pair<wxString, wxString>>& aVariants)
{
    m_apUnits.push_back(std::make_unique<Unit>());
    Unit* pUnit = m_apUnits.back().get();
    for (const auto& [sLanguage, sText] : aVariants)
    {
        pUnit->apSegs.push_back(std::make_unique<Seg>(Seg{pUnit, sLanguage, sText}));
        IndexSeg(GetIndex(sLanguage), pUnit->apSegs.back().get());
    }
}

void CMemDocReference::RemoveTranslation(const wxString& sSource, const wxString& sTarget, const wxString& sSourceLang,
                                         const wxString& sTargetLang)
{
    Index& sourceIndex = GetIndex(sSourceLang);
    Index& targetIndex = GetIndex(sTargetLang);
    const std::u16string sSourceKey = Key(sSource);
    const std::u16string sTargetKey = Key(sTarget);
    std::set<const Unit*> setUnits;
    std::set<const Seg*> setSources;
    const auto sources = sourceIndex.mapExact.equal_range(sSourceKey);
    for (auto it = sources.first; it != sources.second; ++it)
    {
        setUnits.insert(it->second->pUnit);
        setSources.insert(it->second);
    }
    auto itFound = targetIndex.mapExact.end();
    const auto targets = targetIndex.mapExact.equal_range(sTargetKey);
    for (auto it = targets.first; it != targets.second; ++it)
    {
        if (!setUnits.count(it->second->pUnit))
            continue;
        if (!setSources.count(it->second))
        {
            itFound = it;
            break;
        }
        if (itFound == targetIndex.mapExact.end())
            itFound = it;
    }
    if (itFound == targetIndex.mapExact.end())
        return;
    Seg* pSeg = itFound->second;
    targetIndex.mapExact.erase(itFound);
    RemoveText(targetIndex, tToU16(Strip(tFromU16(sTargetKey))));
    pSeg->bAlive = false;
}

std::vector<CVRMemDocMatch> CMemDocReference::Bounded(const std::vector<CVRMemDocMatch>& aAll, int nMinScore, int nMax)
{
    std::vector<size_t> aOrder;
    for (size_t i = 0; i < aAll.size(); ++i)
        if (aAll[i].m_nScore >= nMinScore)
            aOrder.push_back(i);
    std::stable_sort(aOrder.begin(), aOrder.end(),
                     [&](size_t a, size_t b) { return aAll[a].m_nScore > aAll[b].m_nScore; });
    if (nMax > 0 && aOrder.size() > static_cast<size_t>(nMax))
        aOrder.resize(nMax);
    std::sort(aOrder.begin(), aOrder.end());
    std::vector<CVRMemDocMatch> aOut;
    for (size_t i : aOrder)
        aOut.push_back(aAll[i]);
    return aOut;
}
