// Sorting, homonym and lookup members of sections, and the further dictionary members.
#include "varnak/include/tcDictionary.h"

#include "varnak/include/tTextRoutines.h"

#include <algorithm>

tcLanguage* tcDictionary::CreateMonolingual(const wxString& sSectionName)
{
    if (tcLanguage* pSection = GetSection(0))
        return pSection;
    return AddLanguage(sSectionName);
}

wxString tcDictionary::GetDocumentSoundPath() const
{
    wxString sPath = GetSoundPath();
    if (!sPath.empty() && !sPath.EndsWith("/"))
        sPath += "/";
    return sPath;
}

int tcLanguage::CmpLemmaSigns(const tcEntry* pA, const tcEntry* pB) const
{
    if (!pA || !pB)
        return (pA ? 1 : 0) - (pB ? 1 : 0);
    return CmpLemmaSignsSS(pA->GetLemmaSign(), pB->GetLemmaSign());
}

int tcLanguage::CmpLemmaSignsAndHomNum(const tcEntry* pA, const tcEntry* pB) const
{
    const int n = CmpLemmaSigns(pA, pB);
    if (n != 0 || !pA || !pB)
        return n;
    return (pA->GetHomNum() > pB->GetHomNum()) - (pA->GetHomNum() < pB->GetHomNum());
}

int tcLanguage::CmpLemmaSignsAndHomNumInsert(const tcEntry* pA, const tcEntry* pB) const
{
    const int n = CmpLemmaSigns(pA, pB);
    if (n != 0 || !pA || !pB)
        return n;
    // Unnumbered counts as highest.
    const long long nA = pA->GetHomNum() > 0 ? pA->GetHomNum() : (1LL << 40);
    const long long nB = pB->GetHomNum() > 0 ? pB->GetHomNum() : (1LL << 40);
    return (nA > nB) - (nA < nB);
}

void tcLanguage::OnLemmaSignChanged(tcEntry*)
{
    std::vector<tcEntry*> apChanged;
    FixHomonymNumbers(apChanged);
}

void tcLanguage::ResortEntries()
{
    std::vector<tcEntry*> apEntries;
    for (tcNode* pChild : GetChildren())
        if (pChild->IsKindOfClass(NODE_ENTRY))
            apEntries.push_back(static_cast<tcEntry*>(pChild));
    std::stable_sort(apEntries.begin(), apEntries.end(),
                     [this](const tcEntry* a, const tcEntry* b) { return CmpLemmaSignsAndHomNum(a, b) < 0; });
    // Moving each to the end in sorted order leaves the other children in front.
    for (tcEntry* pEntry : apEntries)
        MoveChild(FindIndex(pEntry), GetNumChildren() - 1);
}

int tcLanguage::FindEntriesInexact(const wxString& sLemma, std::vector<tcEntry*>& apOut) const
{
    const wxString sKey = tStripDiacritics(sLemma).Lower();
    int nFound = 0;
    for (tcNode* pChild : GetChildren())
    {
        if (!pChild->IsKindOfClass(NODE_ENTRY))
            continue;
        auto* pEntry = static_cast<tcEntry*>(pChild);
        if (tStripDiacritics(pEntry->GetLemmaSign()).Lower() == sKey)
        {
            apOut.push_back(pEntry);
            ++nFound;
        }
    }
    return nFound;
}

int tcLanguage::FindAllExactHomonyms(const wxString& sLemma, std::vector<tcEntry*>& apOut) const
{
    return FindEntries(sLemma, apOut, true);
}

int tcLanguage::GetNumExactHomonyms(const wxString& sLemma) const
{
    std::vector<tcEntry*> apFound;
    return FindEntries(sLemma, apFound, true);
}

void tcLanguage::RebuildRefCache()
{
    m_apRefCache.clear();
    FindDescendantsOfClassType(NODE_REFERENCES, m_apRefCache);
    m_bRebuildRefCache = false;
}
