#include "varnak/include/tcDictionary.h"

#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tObjectLife.h"

#include <algorithm>
#include <map>

// ----- tcDictionary -----------------------------------------------------------------------------------

tcLanguage* tcDictionary::AddLanguage(const wxString& sName, int nOptions)
{
    tcDocument* pDoc = GetDoc();
    if (!pDoc)
        return nullptr;
    const tcElement* pKind = pDoc->GetDTD()->GetElementByID(ELEMENTID_SECTION);
    if (!pKind || pKind->GetClass() != NODE_SECTION)
        return nullptr;
    auto* pSection = static_cast<tcLanguage*>(pDoc->AllocateElementByID(ELEMENTID_SECTION, true, false));
    if (!AddChildLast(pSection))
    {
        pDoc->DeleteTreeFromMem(pSection);
        return nullptr;
    }
    if (!sName.empty())
        pSection->SetName(sName);
    if (nOptions != 0)
        pSection->SetOptions(nOptions);
    return pSection;
}

bool tcDictionary::InsertLanguage(tcLanguage* pSection, int nIndex)
{
    return pSection && InsertChild(pSection, nIndex);
}

tcLanguage* tcDictionary::GetSection(int nIndex) const
{
    return static_cast<tcLanguage*>(GetNthChildOfClassType(NODE_SECTION, nIndex));
}

// ----- tcLanguage -------------------------------------------------------------------------------------

bool tcLanguage::InsertEntry(tcEntry* pEntry)
{
    return pEntry && AddChildLast(pEntry);
}

tcEntry* tcLanguage::GetEntry(int nIndex) const
{
    return static_cast<tcEntry*>(GetNthChildOfClassKind(NODE_ENTRY, nIndex));
}

bool tcLanguage::EntryExists(const tcEntry* pEntry) const
{
    return pEntry && pEntry->GetParent() == this;
}

bool tcLanguage::RemoveLemma(tcEntry* pEntry)
{
    return EntryExists(pEntry) && RemoveChild(pEntry);
}

int tcLanguage::FindEntries(const wxString& sLemma, std::vector<tcEntry*>& apOut, bool bCaseSensitive) const
{
    int nFound = 0;
    for (tcNode* pChild : GetChildren())
    {
        if (!pChild->IsKindOfClass(NODE_ENTRY))
            continue;
        auto* pEntry = static_cast<tcEntry*>(pChild);
        if (pEntry->GetLemmaSign().IsSameAs(sLemma, bCaseSensitive))
        {
            apOut.push_back(pEntry);
            ++nFound;
        }
    }
    return nFound;
}

tcEntry* tcLanguage::FindEntryByID(tID nID) const
{
    if (nID == idNULL)
        return nullptr;
    for (tcNode* pChild : GetChildren())
        if (pChild->IsKindOfClass(NODE_ENTRY) && pChild->GetID() == nID)
            return static_cast<tcEntry*>(pChild);
    return nullptr;
}

int tcLanguage::FixHomonymNumbers(std::vector<tcEntry*>& apChanged)
{
    std::vector<tcEntry*> apEntries;
    std::map<wxString, int> mapCount;
    for (tcNode* pChild : GetChildren())
    {
        if (!pChild->IsKindOfClass(NODE_ENTRY))
            continue;
        auto* pEntry = static_cast<tcEntry*>(pChild);
        if (!pEntry->HasHomNumAttribute())
            continue;
        apEntries.push_back(pEntry);
        ++mapCount[pEntry->GetLemmaSign()];
    }
    std::map<wxString, int> mapNext;
    int nChanged = 0;
    for (tcEntry* pEntry : apEntries)
    {
        const wxString sLemma = pEntry->GetLemmaSign();
        const int nWanted = mapCount[sLemma] > 1 ? ++mapNext[sLemma] : 0;
        if (pEntry->GetHomNum() == nWanted)
            continue;
        pEntry->SetHomNum(nWanted);
        apChanged.push_back(pEntry);
        ++nChanged;
    }
    return nChanged;
}

tcDictionary* tcLanguage::GetDictionary() const
{
    tcNode* pParent = GetParent();
    return pParent && pParent->IsClass(NODE_DICTIONARY) ? static_cast<tcDictionary*>(pParent) : nullptr;
}

// ----- tcEntry ----------------------------------------------------------------------------------------

bool tcEntry::SetHomNum(int n)
{
    if (!HasHomNumAttribute())
        return false;
    const tcAttribute* pAttr = GetElement()->FindAttributeByID(6);
    if (n == 0)
    {
        ResetAttributeValue(pAttr);
        return true;
    }
    return SetAttributeI(pAttr, n);
}

bool tcEntry::HasHomNumAttribute() const
{
    return GetElement() && GetElement()->FindAttributeByID(6) != nullptr;
}

// ----- tcReferences -----------------------------------------------------------------------------------

namespace
{
tcNode* FindInDocument(const tcNode* pFrom, tID nID)
{
    if (nID == idNULL)
        return nullptr;
    const tcNode* pRoot = pFrom;
    while (pRoot->GetParent())
        pRoot = pRoot->GetParent();
    if (pFrom->GetDoc() && pFrom->GetDoc()->GetDictionary())
        pRoot = pFrom->GetDoc()->GetDictionary();
    return pRoot->FindDescendantByID(nID);
}
} // namespace

int tcReferences::FindRef(tID idEntry) const
{
    for (size_t i = 0; i < m_aRefs.size(); ++i)
        if (m_aRefs[i].idEntry == idEntry)
            return static_cast<int>(i);
    return -1;
}

int tcReferences::AddRefEntry(tID idEntry, int idType)
{
    const int nExisting = FindRef(idEntry);
    if (nExisting >= 0)
        return nExisting;
    tcRef ref;
    ref.idRefType = idType;
    ref.idEntry = idEntry;
    m_aRefs.push_back(ref);
    return GetNumRefEntries() - 1;
}

int tcReferences::AddRefEntry(const tcEntry* pEntry, int idType)
{
    return pEntry ? AddRefEntry(pEntry->GetID(), idType) : -1;
}

bool tcReferences::AddRefSense(tID idEntry, tID idSense, int idType)
{
    tcRef& ref = m_aRefs[AddRefEntry(idEntry, idType)];
    if (std::find(ref.aidSenses.begin(), ref.aidSenses.end(), idSense) != ref.aidSenses.end())
        return false;
    ref.aidSenses.push_back(idSense);
    return true;
}

bool tcReferences::RemoveRefEntry(tID idEntry)
{
    return RemoveRefEntryByIndex(FindRef(idEntry));
}

bool tcReferences::RemoveRefEntryByIndex(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetNumRefEntries())
        return false;
    m_aRefs.erase(m_aRefs.begin() + nIndex);
    return true;
}

bool tcReferences::RemoveRefSense(tID idEntry, tID idSense)
{
    const int nRef = FindRef(idEntry);
    if (nRef < 0)
        return false;
    auto& senses = m_aRefs[nRef].aidSenses;
    const auto it = std::find(senses.begin(), senses.end(), idSense);
    if (it == senses.end())
        return false;
    senses.erase(it);
    return true;
}

bool tcReferences::RemoveRefSenseByIndex(int nRefIndex, int nSenseIndex)
{
    if (nRefIndex < 0 || nRefIndex >= GetNumRefEntries() || nSenseIndex < 0 ||
        nSenseIndex >= GetNumRefSenses(nRefIndex))
        return false;
    auto& senses = m_aRefs[nRefIndex].aidSenses;
    senses.erase(senses.begin() + nSenseIndex);
    return true;
}

bool tcReferences::MoveU(int nIndex)
{
    if (nIndex < 1 || nIndex >= GetNumRefEntries())
        return false;
    std::swap(m_aRefs[nIndex], m_aRefs[nIndex - 1]);
    return true;
}

bool tcReferences::MoveD(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetNumRefEntries() - 1)
        return false;
    std::swap(m_aRefs[nIndex], m_aRefs[nIndex + 1]);
    return true;
}

bool tcReferences::HasRefEntry(tID idEntry) const
{
    return FindRef(idEntry) >= 0;
}

bool tcReferences::HasRefSense(tID idSense) const
{
    return GetRefEntryIDFromSenseID(idSense) != idNULL;
}

tcEntry* tcReferences::GetRefEntry(int nIndex) const
{
    tcNode* pNode = FindInDocument(this, GetRefEntryID(nIndex));
    return pNode && pNode->IsKindOfClass(NODE_ENTRY) ? static_cast<tcEntry*>(pNode) : nullptr;
}

int tcReferences::GetNumRefEntriesOfType(int idType) const
{
    return static_cast<int>(
        std::count_if(m_aRefs.begin(), m_aRefs.end(), [idType](const tcRef& r) { return r.idRefType == idType; }));
}

tcEntry* tcReferences::GetRefEntryOfType(int idType, int n) const
{
    if (n < 0)
        return nullptr;
    for (int i = 0; i < GetNumRefEntries(); ++i)
        if (m_aRefs[i].idRefType == idType && n-- == 0)
            return GetRefEntry(i);
    return nullptr;
}

tID tcReferences::GetRefEntryID(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumRefEntries())
        return idNULL;
    return m_aRefs[nIndex].idEntry;
}

tID tcReferences::GetRefEntryIDFromSenseID(tID idSense) const
{
    for (const tcRef& ref : m_aRefs)
        if (std::find(ref.aidSenses.begin(), ref.aidSenses.end(), idSense) != ref.aidSenses.end())
            return ref.idEntry;
    return idNULL;
}

int tcReferences::GetNumRefSenses(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumRefEntries())
        return 0;
    return static_cast<int>(m_aRefs[nIndex].aidSenses.size());
}

tcNode* tcReferences::GetRefSense(int nIndex, int nSense) const
{
    const tcEntry* pEntry = GetRefEntry(nIndex);
    const tID idSense = GetRefSenseID(nIndex, nSense);
    if (!pEntry || idSense == idNULL)
        return nullptr;
    tcNode* pSense = pEntry->FindDescendantByID(idSense);
    return pSense == pEntry ? nullptr : pSense;
}

tID tcReferences::GetRefSenseID(int nIndex, int nSense) const
{
    if (nSense < 0 || nSense >= GetNumRefSenses(nIndex))
        return idNULL;
    return m_aRefs[nIndex].aidSenses[nSense];
}

bool tcReferences::SetRefSenseID(int nIndex, int nSense, tID idSense)
{
    if (nSense < 0 || nSense >= GetNumRefSenses(nIndex))
        return false;
    m_aRefs[nIndex].aidSenses[nSense] = idSense;
    return true;
}

int tcReferences::GetRefType(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumRefEntries())
        return 0;
    return m_aRefs[nIndex].idRefType;
}

int tcReferences::GetRefTypeByEntry(tID idEntry) const
{
    return GetRefType(FindRef(idEntry));
}

int tcReferences::GetRefTypeBySense(tID idSense) const
{
    return GetRefTypeByEntry(GetRefEntryIDFromSenseID(idSense));
}

bool tcReferences::SetRefType(tID idEntry, int idType)
{
    return SetRefTypeByIndex(FindRef(idEntry), idType);
}

bool tcReferences::SetRefTypeByIndex(int nIndex, int idType)
{
    if (nIndex < 0 || nIndex >= GetNumRefEntries())
        return false;
    m_aRefs[nIndex].idRefType = idType;
    return true;
}

tcNode* tcReferences::Clone(tcDocument* pTargetDoc) const
{
    tcNode* pCopy = tcElementNode::Clone(pTargetDoc);
    if (pCopy && pCopy->IsClass(NODE_REFERENCES))
        static_cast<tcReferences*>(pCopy)->m_aRefs = m_aRefs;
    return pCopy;
}

int LemmaFindReferrers(const tcEntry* pEntry, std::vector<tcNode*>& apOut)
{
    if (!pEntry || pEntry->GetID() == idNULL)
        return 0;
    const tcNode* pRoot = pEntry->GetDoc() ? pEntry->GetDoc()->GetDictionary() : nullptr;
    if (!pRoot || !pEntry->IsDescendantOf(pRoot))
        return 0;
    std::vector<tcNode*> apRefs;
    pRoot->FindDescendantsOfClassType(NODE_REFERENCES, apRefs);
    int nFound = 0;
    for (tcNode* p : apRefs)
        if (static_cast<tcReferences*>(p)->HasRefEntry(pEntry->GetID()))
        {
            apOut.push_back(p);
            ++nFound;
        }
    return nFound;
}

// ----- Records and the root's reset ------------------------------------------------------------------

tcAttributeDesc::~tcAttributeDesc()
{
    tNotifyDestroyed(this);
}

tcRef::~tcRef()
{
    tNotifyDestroyed(this);
}

void tcDictionary::Destroy()
{
    while (GetNumChildren() > 0)
        delete GetChild(GetNumChildren() - 1); // each detaches itself and frees its subtree
}
