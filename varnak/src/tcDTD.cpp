#include "varnak/include/tcDTD.h"
#include "varnak/include/tObjectLife.h"

#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"

#include <algorithm>
#include <atomic>
#include <climits>

namespace
{
std::atomic<unsigned> s_nNextAttributeSerial{1};

template <typename T> bool InRange(const std::vector<T>& v, int nIndex)
{
    return nIndex >= 0 && static_cast<size_t>(nIndex) < v.size();
}

template <typename T> bool SwopIn(std::vector<T>& v, int nIndex1, int nIndex2)
{
    if (!InRange(v, nIndex1) || !InRange(v, nIndex2))
        return false;
    std::swap(v[nIndex1], v[nIndex2]);
    return true;
}

// One above every identifier in ids (nFirst at least). Identifiers are set freely (SetID), so one
// may be INT_MAX: then, rather than overflow, the lowest identifier from nFirst on that none has.
template <typename Range, typename GetID, typename Taken>
int NextFreeID(const Range& ids, int nFirst, GetID getID, Taken isTaken)
{
    long long nNext = nFirst;
    for (const auto& item : ids)
        nNext = std::max(nNext, static_cast<long long>(getID(item)) + 1);
    if (nNext <= INT_MAX)
        return static_cast<int>(nNext);
    int nID = nFirst;
    while (nID < INT_MAX && isTaken(nID))
        ++nID;
    return nID;
}
} // namespace

// ----- tcLabelSet -------------------------------------------------------------------------------------

int tcLabelSet::GetLabelIDFromIndex(int nIndex) const
{
    return InRange(m_aLabels, nIndex) ? m_aLabels[nIndex].nID : -1;
}

int tcLabelSet::GetIndexFromID(int nID) const
{
    for (size_t i = 0; i < m_aLabels.size(); ++i)
        if (m_aLabels[i].nID == nID)
            return static_cast<int>(i);
    return -1;
}

wxString tcLabelSet::GetLabelByID(int nID) const
{
    return GetLabelByIndex(GetIndexFromID(nID));
}

wxString tcLabelSet::GetLabelByIndex(int nIndex) const
{
    return InRange(m_aLabels, nIndex) ? m_aLabels[nIndex].sText : wxString();
}

void tcLabelSet::AddLabel(int nID, const wxString& sText)
{
    const int nIndex = GetIndexFromID(nID);
    if (nIndex >= 0)
        m_aLabels[nIndex].sText = sText;
    else
        m_aLabels.push_back(Label{nID, sText});
}

bool tcLabelSet::InsertLabel(int nIndex, int nID, const wxString& sText)
{
    if (nIndex < 0 || nIndex > GetNumLabels() || GetIndexFromID(nID) >= 0)
        return false;
    m_aLabels.insert(m_aLabels.begin() + nIndex, Label{nID, sText});
    return true;
}

bool tcLabelSet::RenameLabel(int nID, const wxString& sText)
{
    const int nIndex = GetIndexFromID(nID);
    if (nIndex < 0)
        return false;
    m_aLabels[nIndex].sText = sText;
    return true;
}

bool tcLabelSet::RemoveLabel(int nID)
{
    const int nIndex = GetIndexFromID(nID);
    if (nIndex < 0)
        return false;
    m_aLabels.erase(m_aLabels.begin() + nIndex);
    return true;
}

bool tcLabelSet::SwopLabels(int nIndex1, int nIndex2)
{
    return SwopIn(m_aLabels, nIndex1, nIndex2);
}

// ----- tcAttrList -------------------------------------------------------------------------------------

void tcAttrList::Destroy()
{
    m_aItems.clear();
    m_apLabelSets.clear();
}

int tcAttrList::AddListItem(int nID, const wxString& sText, bool bKeepID)
{
    if (!bKeepID || nID < 1 || GetIndexFromID(nID) >= 0)
        nID = NextFreeID(
            m_aItems, 1, [](const Item& item) { return item.nID; }, [this](int n) { return GetIndexFromID(n) >= 0; });
    m_aItems.push_back(Item{nID, sText});
    return nID;
}

int tcAttrList::InsertListItem(int nIndex, const wxString& sText)
{
    if (nIndex < 0 || nIndex > GetNumItems())
        return -1;
    const int nID = AddListItem(-1, sText, false);
    std::rotate(m_aItems.begin() + nIndex, m_aItems.end() - 1, m_aItems.end());
    return nID;
}

wxString tcAttrList::GetItemText(int nIndex) const
{
    return InRange(m_aItems, nIndex) ? m_aItems[nIndex].sText : wxString();
}

int tcAttrList::GetItemID(int nIndex) const
{
    return InRange(m_aItems, nIndex) ? m_aItems[nIndex].nID : -1;
}

wxString tcAttrList::GetTextFromID(int nID) const
{
    return GetItemText(GetIndexFromID(nID));
}

int tcAttrList::GetIndexFromID(int nID) const
{
    for (size_t i = 0; i < m_aItems.size(); ++i)
        if (m_aItems[i].nID == nID)
            return static_cast<int>(i);
    return -1;
}

int tcAttrList::FindByText(const wxString& sText) const
{
    for (size_t i = 0; i < m_aItems.size(); ++i)
        if (m_aItems[i].sText == sText)
            return static_cast<int>(i);
    return -1;
}

bool tcAttrList::RenameListItem(int nIndex, const wxString& sText)
{
    if (!InRange(m_aItems, nIndex))
        return false;
    m_aItems[nIndex].sText = sText;
    return true;
}

bool tcAttrList::RemoveListItem(int nIndex)
{
    if (!InRange(m_aItems, nIndex))
        return false;
    m_aItems.erase(m_aItems.begin() + nIndex);
    return true;
}

bool tcAttrList::SwopListItems(int nIndex1, int nIndex2)
{
    return SwopIn(m_aItems, nIndex1, nIndex2);
}

tcLabelSet* tcAttrList::GetLabelSet(int nIndex) const
{
    return InRange(m_apLabelSets, nIndex) ? m_apLabelSets[nIndex].get() : nullptr;
}

tcLabelSet* tcAttrList::AddLabelSet(std::unique_ptr<tcLabelSet> pSet)
{
    if (!pSet)
        return nullptr;
    pSet->m_pOwnerList = this;
    m_apLabelSets.push_back(std::move(pSet));
    return m_apLabelSets.back().get();
}

tcLabelSet* tcAttrList::AddLabelSet(const wxString& sName)
{
    return AddLabelSet(std::make_unique<tcLabelSet>(sName));
}

bool tcAttrList::DeleteLabelSet(int nIndex)
{
    if (!InRange(m_apLabelSets, nIndex))
        return false;
    m_apLabelSets.erase(m_apLabelSets.begin() + nIndex);
    return true;
}

// ----- tcRefLabelSet ----------------------------------------------------------------------------------

void tcRefLabelSet::AddLabel(int nTypeID, const wxString& sLabelS, const wxString& sLabelP)
{
    for (Label& label : m_aLabels)
        if (label.nID == nTypeID)
        {
            label.sLabelS = sLabelS;
            label.sLabelP = sLabelP;
            return;
        }
    m_aLabels.push_back(Label{nTypeID, sLabelS, sLabelP});
}

const tcRefLabelSet::Label* tcRefLabelSet::GetLabel(int nIndex) const
{
    return InRange(m_aLabels, nIndex) ? &m_aLabels[nIndex] : nullptr;
}

int tcRefLabelSet::GetLabelIDByIndex(int nIndex) const
{
    const Label* pLabel = GetLabel(nIndex);
    return pLabel ? pLabel->nID : -1;
}

wxString tcRefLabelSet::GetLabelByIndexS(int nIndex) const
{
    const Label* pLabel = GetLabel(nIndex);
    return pLabel ? pLabel->sLabelS : wxString();
}

wxString tcRefLabelSet::GetLabelByIndexP(int nIndex) const
{
    const Label* pLabel = GetLabel(nIndex);
    return pLabel ? pLabel->sLabelP : wxString();
}

bool tcRefLabelSet::RemoveLabel(int nTypeID)
{
    for (size_t i = 0; i < m_aLabels.size(); ++i)
        if (m_aLabels[i].nID == nTypeID)
        {
            m_aLabels.erase(m_aLabels.begin() + i);
            return true;
        }
    return false;
}

// ----- tcAttribute ------------------------------------------------------------------------------------

tcAttribute::tcAttribute(const wxString& sName, teAttrType eType, teDefaultType eDefault)
    : m_sName(sName), m_eType(eType), m_eDefaultType(eDefault), m_nSerial(s_nNextAttributeSerial++)
{
}

tcAttribute::~tcAttribute()
{
    tNotifyDestroyed(this);
}

bool tcAttribute::SetID(int nID)
{
    if (m_pOwner)
    {
        const tcAttribute* pOther = m_pOwner->FindAttributeByID(nID);
        if (pOther && pOther != this)
            return false;
    }
    m_nID = nID;
    return true;
}

void tcAttribute::RenameAttribute(const wxString& sName)
{
    m_sName = sName;
    Evt_ElementAttributeRenamed.Trigger(this, m_pOwner);
}

int tcAttribute::GetAttributeIndex() const
{
    if (!m_pOwner)
        return -1;
    for (int i = 0; i < m_pOwner->GetNumAttributes(); ++i)
        if (m_pOwner->GetAttribute(i) == this)
            return i;
    return -1;
}

bool tcAttribute::SetAttributeIndex(int nIndex)
{
    const int nOld = GetAttributeIndex();
    if (nOld < 0 || nIndex < 0 || nIndex >= m_pOwner->GetNumAttributes())
        return false;
    auto& v = m_pOwner->m_apAttributes;
    std::unique_ptr<tcAttribute> p = std::move(v[nOld]);
    v.erase(v.begin() + nOld);
    v.insert(v.begin() + nIndex, std::move(p));
    return true;
}

// ----- Destruction notices ------------------------------------------------------------------------

tcLabelSet::~tcLabelSet()
{
    tNotifyDestroyed(this);
}

tcAttrList::~tcAttrList()
{
    tNotifyDestroyed(this);
}

tcEntity::~tcEntity()
{
    tNotifyDestroyed(this);
}

tcRefType::~tcRefType()
{
    tNotifyDestroyed(this);
}

tcChildRelation::~tcChildRelation()
{
    tNotifyDestroyed(this);
}

// ----- tcElement --------------------------------------------------------------------------------------

tcElement::tcElement(const wxString& sName, int nID, teNodeClass eClass) : m_sName(sName), m_nID(nID), m_eClass(eClass)
{
}

tcElement::~tcElement()
{
    tNotifyDestroyed(this);
}

bool tcElement::SetID(int nID)
{
    if (nID < 1)
        return false;
    if (m_pDTD)
    {
        const tcElement* pOther = m_pDTD->GetElementByID(nID);
        if (pOther && pOther != this)
            return false;
    }
    m_nID = nID;
    return true;
}

void tcElement::SetAllowPCDATA(bool b)
{
    if (b)
        m_nFlags |= ELEMENTFLAG_PCDATA;
    else
        m_nFlags &= ~ELEMENTFLAG_PCDATA;
}

const tcChildRelation* tcElement::GetChildElement(int nIndex) const
{
    return InRange(m_aChildren, nIndex) ? &m_aChildren[nIndex] : nullptr;
}

bool tcElement::AddChildElement(tcElement* pChild, teChildRelationConstraint eConstraint, int nFlags)
{
    return AddChildElementAt(GetNumChildren(), pChild, eConstraint, nFlags);
}

bool tcElement::AddChildElementAt(int nIndex, tcElement* pChild, teChildRelationConstraint eConstraint, int nFlags)
{
    if (!pChild || pChild->m_pDTD != m_pDTD || nIndex < 0 || nIndex > GetNumChildren())
        return false;
    tcChildRelation rel;
    rel.eConstraint = eConstraint;
    rel.pElement = pChild;
    rel.nFlags = nFlags;
    m_aChildren.insert(m_aChildren.begin() + nIndex, rel);
    return true;
}

bool tcElement::MoveElement(int nFrom, int nTo)
{
    if (!InRange(m_aChildren, nFrom) || !InRange(m_aChildren, nTo))
        return false;
    const tcChildRelation rel = m_aChildren[nFrom];
    m_aChildren.erase(m_aChildren.begin() + nFrom);
    m_aChildren.insert(m_aChildren.begin() + nTo, rel);
    return true;
}

const tcChildRelation* tcElement::FindChildByID(int nID) const
{
    return GetChildElement(GetChildIndexByID(nID));
}

bool tcElement::SetChildRelationship(int nID, teChildRelationConstraint eConstraint)
{
    bool bFound = false;
    for (tcChildRelation& rel : m_aChildren)
        if (rel.pElement->GetID() == nID)
        {
            rel.eConstraint = eConstraint;
            bFound = true;
        }
    return bFound;
}

bool tcElement::RemoveChildElement(int nIndex)
{
    if (!InRange(m_aChildren, nIndex))
        return false;
    m_aChildren.erase(m_aChildren.begin() + nIndex);
    return true;
}

bool tcElement::RemoveChildElementByID(int nID)
{
    const size_t nBefore = m_aChildren.size();
    std::erase_if(m_aChildren, [nID](const tcChildRelation& rel) { return rel.pElement->GetID() == nID; });
    return m_aChildren.size() != nBefore;
}

int tcElement::GetChildIndexByID(int nID) const
{
    for (size_t i = 0; i < m_aChildren.size(); ++i)
        if (m_aChildren[i].pElement->GetID() == nID)
            return static_cast<int>(i);
    return -1;
}

int tcElement::GetChildIndexByName(const wxString& sName) const
{
    for (size_t i = 0; i < m_aChildren.size(); ++i)
        if (m_aChildren[i].pElement->GetName() == sName)
            return static_cast<int>(i);
    return -1;
}

int tcElement::GetChildFlags(int nIndex) const
{
    return InRange(m_aChildren, nIndex) ? m_aChildren[nIndex].nFlags : 0;
}

bool tcElement::SetChildFlags(int nIndex, int nFlags)
{
    if (!InRange(m_aChildren, nIndex))
        return false;
    m_aChildren[nIndex].nFlags = nFlags;
    return true;
}

bool tcElement::SwopChildElements(int nIndex1, int nIndex2)
{
    return SwopIn(m_aChildren, nIndex1, nIndex2);
}

tcAttribute* tcElement::GetAttribute(int nIndex) const
{
    return InRange(m_apAttributes, nIndex) ? m_apAttributes[nIndex].get() : nullptr;
}

tcAttribute* tcElement::AddAttribute(const wxString& sName, teAttrType eType, teDefaultType eDefault, int nID)
{
    auto pAttr = std::make_unique<tcAttribute>(sName, eType, eDefault);
    pAttr->m_nID = nID;
    return InsertAttribute(std::move(pAttr), -1);
}

tcAttribute* tcElement::InsertAttribute(std::unique_ptr<tcAttribute> pAttr, int nIndex)
{
    if (!pAttr || pAttr->m_pOwner)
        return nullptr;
    if (nIndex == -1)
        nIndex = GetNumAttributes();
    if (nIndex < 0 || nIndex > GetNumAttributes())
        return nullptr;
    if (pAttr->m_nID < 1 || FindAttributeByID(pAttr->m_nID))
        pAttr->m_nID = GetNextAttributeID();
    pAttr->m_pOwner = this;
    tcAttribute* pRaw = pAttr.get();
    m_apAttributes.insert(m_apAttributes.begin() + nIndex, std::move(pAttr));
    return pRaw;
}

bool tcElement::DeleteAttribute(int nIndex)
{
    tcAttribute* pAttr = GetAttribute(nIndex);
    if (!pAttr)
        return false;
    if (m_pDTD && m_pDTD->GetDocument())
        m_pDTD->GetDocument()->OnAttributeDeleting(pAttr);
    Evt_ElementAttributeDeleted.Trigger(this, pAttr);
    // The handlers may have changed the list; find the attribute again.
    const int nNow = pAttr->GetAttributeIndex();
    if (nNow < 0)
        return false;
    m_apAttributes.erase(m_apAttributes.begin() + nNow);
    return true;
}

tcAttribute* tcElement::FindAttributeByName(const wxString& sName) const
{
    for (const auto& p : m_apAttributes)
        if (p->GetName() == sName)
            return p.get();
    return nullptr;
}

tcAttribute* tcElement::FindAttributeByID(int nID) const
{
    for (const auto& p : m_apAttributes)
        if (p->GetID() == nID)
            return p.get();
    return nullptr;
}

bool tcElement::SwopAttributes(int nIndex1, int nIndex2)
{
    return SwopIn(m_apAttributes, nIndex1, nIndex2);
}

int tcElement::GetNextAttributeID() const
{
    return NextFreeID(
        m_apAttributes, ATTRID_LASTRESERVED + 1, [](const auto& p) { return p->GetID(); },
        [this](int n) { return FindAttributeByID(n) != nullptr; });
}

// ----- tcDTD ------------------------------------------------------------------------------------------

tcDTD::tcDTD() = default;

tcDTD::~tcDTD()
{
    tNotifyDestroyed(this);
}

void tcDTD::Destroy()
{
    while (!m_apElements.empty())
        DeleteElement(m_apElements.back().get());
    m_apLists.clear();
    m_apEntities.clear();
    m_apRefTypes.clear();
    m_apRefLabelSets.clear();
    m_nNextTypeID = ELEMENTID_LASTRESERVED + 1;
    m_nNextListID = 1;
}

bool tcDTD::IsElementIDUsed(int nID) const
{
    return GetElementByID(nID) != nullptr;
}

int tcDTD::AssignTypeID()
{
    const int nID = GetNextTypeID();
    // After INT_MAX the counter starts again above the reserved identifiers, skipping used ones.
    m_nNextTypeID = nID < INT_MAX ? nID + 1 : ELEMENTID_LASTRESERVED + 1;
    return nID;
}

int tcDTD::GetNextTypeID() const
{
    int nID = std::max(m_nNextTypeID, ELEMENTID_LASTRESERVED + 1);
    while (IsElementIDUsed(nID) && nID < INT_MAX)
        ++nID;
    if (IsElementIDUsed(nID))
    {
        nID = ELEMENTID_LASTRESERVED + 1;
        while (IsElementIDUsed(nID) && nID < INT_MAX)
            ++nID;
    }
    return nID;
}

void tcDTD::SetNextTypeID(int nID)
{
    m_nNextTypeID = std::max(nID, ELEMENTID_LASTRESERVED + 1);
}

int tcDTD::AssignListID()
{
    // The counter is set freely (SetNextListID): after INT_MAX it starts again at 1.
    const auto advance = [this]() { m_nNextListID = m_nNextListID < INT_MAX ? m_nNextListID + 1 : 1; };
    for (long long nTried = 0; FindListByID(m_nNextListID) && nTried <= INT_MAX; ++nTried)
        advance();
    const int nID = m_nNextListID;
    advance();
    return nID;
}

void tcDTD::CalculateNextListID()
{
    m_nNextListID = NextFreeID(
        m_apLists, 1, [](const auto& p) { return p->GetID(); }, [this](int n) { return FindListByID(n) != nullptr; });
}

tcElement* tcDTD::FindElementByName(const wxString& sName) const
{
    for (const auto& p : m_apElements)
        if (p->GetName() == sName)
            return p.get();
    return nullptr;
}

tcElement* tcDTD::GetElementByID(int nID) const
{
    for (const auto& p : m_apElements)
        if (p->GetID() == nID)
            return p.get();
    return nullptr;
}

tcElement* tcDTD::AddElement(std::unique_ptr<tcElement> pElement)
{
    if (!pElement || pElement->m_pDTD)
        return nullptr;
    if (pElement->m_nID < 1 || IsElementIDUsed(pElement->m_nID))
        pElement->m_nID = AssignTypeID();
    pElement->m_pDTD = this;
    m_apElements.push_back(std::move(pElement));
    return m_apElements.back().get();
}

tcElement* tcDTD::AddElement(tcElement* pElement)
{
    if (!pElement || pElement->m_pDTD)
        return nullptr;
    return AddElement(std::unique_ptr<tcElement>(pElement));
}

bool tcDTD::DeleteElement(tcElement* pElement)
{
    if (GetElementIndex(pElement) < 0)
        return false;
    if (m_pDoc)
        m_pDoc->OnElementDeleting(pElement);
    for (const auto& p : m_apElements)
        std::erase_if(p->m_aChildren, [pElement](const tcChildRelation& rel) { return rel.pElement == pElement; });
    Evt_ElementDeleted.Trigger(pElement, m_pDoc);
    const int nIndex = GetElementIndex(pElement);
    if (nIndex < 0)
        return false;
    m_apElements.erase(m_apElements.begin() + nIndex);
    return true;
}

bool tcDTD::SwopElements(int nIndex1, int nIndex2)
{
    return SwopIn(m_apElements, nIndex1, nIndex2);
}

tcElement* tcDTD::GetElement(int nIndex) const
{
    return InRange(m_apElements, nIndex) ? m_apElements[nIndex].get() : nullptr;
}

int tcDTD::GetElementIndex(const tcElement* pElement) const
{
    for (size_t i = 0; i < m_apElements.size(); ++i)
        if (m_apElements[i].get() == pElement)
            return static_cast<int>(i);
    return -1;
}

tcAttrList* tcDTD::AddAttrList(std::unique_ptr<tcAttrList> pList)
{
    if (!pList)
        return nullptr;
    pList->m_pOwnerDTD = this;
    m_apLists.push_back(std::move(pList));
    return m_apLists.back().get();
}

tcAttrList* tcDTD::AddAttrList(const wxString& sName)
{
    return AddAttrList(std::make_unique<tcAttrList>(sName, AssignListID()));
}

tcAttrList* tcDTD::GetAttrList(int nIndex) const
{
    return InRange(m_apLists, nIndex) ? m_apLists[nIndex].get() : nullptr;
}

int tcDTD::GetListIndex(const tcAttrList* pList) const
{
    for (size_t i = 0; i < m_apLists.size(); ++i)
        if (m_apLists[i].get() == pList)
            return static_cast<int>(i);
    return -1;
}

bool tcDTD::DeleteList(int nIndex)
{
    tcAttrList* pList = GetAttrList(nIndex);
    if (!pList)
        return false;
    for (const auto& pElement : m_apElements)
        for (int i = 0; i < pElement->GetNumAttributes(); ++i)
            if (pElement->GetAttribute(i)->GetList() == pList)
                pElement->GetAttribute(i)->SetList(nullptr);
    m_apLists.erase(m_apLists.begin() + nIndex);
    return true;
}

bool tcDTD::SwopLists(int nIndex1, int nIndex2)
{
    return SwopIn(m_apLists, nIndex1, nIndex2);
}

tcAttrList* tcDTD::FindListByName(const wxString& sName) const
{
    for (const auto& p : m_apLists)
        if (p->GetName() == sName)
            return p.get();
    return nullptr;
}

tcAttrList* tcDTD::FindListByID(int nID) const
{
    for (const auto& p : m_apLists)
        if (p->GetID() == nID)
            return p.get();
    return nullptr;
}

tcEntity* tcDTD::GetEntity(int nIndex) const
{
    return InRange(m_apEntities, nIndex) ? m_apEntities[nIndex].get() : nullptr;
}

tcEntity* tcDTD::FindEntity(const wxString& sName) const
{
    for (const auto& p : m_apEntities)
        if (p->GetEntity() == sName)
            return p.get();
    return nullptr;
}

tcEntity* tcDTD::AddEntity(const wxString& sName, const wxString& sValue)
{
    if (tcEntity* pExisting = FindEntity(sName))
    {
        pExisting->SetValue(sValue);
        return pExisting;
    }
    m_apEntities.push_back(std::make_unique<tcEntity>(sName, sValue));
    m_apEntities.back()->m_pOwnerDTD = this;
    return m_apEntities.back().get();
}

bool tcDTD::DeleteEntity(int nIndex)
{
    if (!InRange(m_apEntities, nIndex))
        return false;
    m_apEntities.erase(m_apEntities.begin() + nIndex);
    return true;
}

tcRefType* tcDTD::GetCrossRefTypeByIndex(int nIndex) const
{
    return InRange(m_apRefTypes, nIndex) ? m_apRefTypes[nIndex].get() : nullptr;
}

tcRefType* tcDTD::GetCrossRefTypeByID(int nID) const
{
    for (const auto& p : m_apRefTypes)
        if (p->GetID() == nID)
            return p.get();
    return nullptr;
}

tcRefType* tcDTD::GetCrossRefTypeByName(const wxString& sName) const
{
    for (const auto& p : m_apRefTypes)
        if (p->GetName() == sName)
            return p.get();
    return nullptr;
}

tcRefType* tcDTD::AddCrossRefType(std::unique_ptr<tcRefType> pType)
{
    if (!pType)
        return nullptr;
    if (tcRefType* pExisting = GetCrossRefTypeByID(pType->GetID()))
    {
        pExisting->SetName(pType->GetName());
        return pExisting;
    }
    pType->m_pOwnerDTD = this;
    m_apRefTypes.push_back(std::move(pType));
    return m_apRefTypes.back().get();
}

tcRefType* tcDTD::AddCrossRefType(int nID, const wxString& sName)
{
    return AddCrossRefType(std::make_unique<tcRefType>(nID, sName));
}

tcRefType* tcDTD::AddNewRefType(const wxString& sName)
{
    return AddCrossRefType(GetUnusedCrossRefTypeID(), sName);
}

bool tcDTD::DeleteCrossRefType(int nID)
{
    for (size_t i = 0; i < m_apRefTypes.size(); ++i)
        if (m_apRefTypes[i]->GetID() == nID)
        {
            m_apRefTypes.erase(m_apRefTypes.begin() + i);
            return true;
        }
    return false;
}

int tcDTD::GetUnusedCrossRefTypeID() const
{
    int nID = 1;
    while (GetCrossRefTypeByID(nID))
        ++nID;
    return nID;
}

bool tcDTD::SwopCrossRefTypes(int nIndex1, int nIndex2)
{
    return SwopIn(m_apRefTypes, nIndex1, nIndex2);
}

tcRefLabelSet* tcDTD::AddRefLabelSet(std::unique_ptr<tcRefLabelSet> pSet)
{
    if (!pSet)
        return nullptr;
    m_apRefLabelSets.push_back(std::move(pSet));
    return m_apRefLabelSets.back().get();
}

tcRefLabelSet* tcDTD::AddRefLabelSet(const wxString& sName)
{
    return AddRefLabelSet(std::make_unique<tcRefLabelSet>(sName));
}

tcRefLabelSet* tcDTD::GetRefLabelSet(int nIndex) const
{
    return InRange(m_apRefLabelSets, nIndex) ? m_apRefLabelSets[nIndex].get() : nullptr;
}

bool tcDTD::DeleteRefLabelSet(int nIndex)
{
    if (!InRange(m_apRefLabelSets, nIndex))
        return false;
    m_apRefLabelSets.erase(m_apRefLabelSets.begin() + nIndex);
    return true;
}

// ----- Removal from the owner --------------------------------------------------------------------

namespace
{
template <typename T> int IndexOfOwned(const std::vector<std::unique_ptr<T>>& v, const T* p)
{
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i].get() == p)
            return static_cast<int>(i);
    return -1;
}
} // namespace

bool tRemoveFromOwner(tcElement* pElement)
{
    return pElement && pElement->GetDTD() && pElement->GetDTD()->DeleteElement(pElement);
}

bool tRemoveFromOwner(tcAttribute* pAttr)
{
    return pAttr && pAttr->GetOwnerElement() && pAttr->GetOwnerElement()->DeleteAttribute(pAttr->GetAttributeIndex());
}

bool tRemoveFromOwner(tcAttrList* pList)
{
    return pList && pList->GetOwnerDTD() && pList->GetOwnerDTD()->DeleteList(pList->GetOwnerDTD()->GetListIndex(pList));
}

bool tRemoveFromOwner(tcEntity* pEntity)
{
    tcDTD* pDTD = pEntity ? pEntity->GetOwnerDTD() : nullptr;
    return pDTD && pDTD->DeleteEntity(IndexOfOwned(pDTD->m_apEntities, pEntity));
}

bool tRemoveFromOwner(tcRefType* pType)
{
    tcDTD* pDTD = pType ? pType->GetOwnerDTD() : nullptr;
    if (!pDTD)
        return false;
    const int nIndex = IndexOfOwned(pDTD->m_apRefTypes, pType);
    if (nIndex < 0)
        return false;
    pDTD->m_apRefTypes.erase(pDTD->m_apRefTypes.begin() + nIndex);
    return true;
}

bool tRemoveFromOwner(tcLabelSet* pSet)
{
    tcAttrList* pList = pSet ? pSet->GetOwnerList() : nullptr;
    return pList && pList->DeleteLabelSet(IndexOfOwned(pList->m_apLabelSets, pSet));
}

tcAttribute* tInsertAttribute(tcElement* pElement, tcAttribute* pAttr, int nIndex)
{
    if (!pElement || !pAttr || pAttr->GetOwnerElement() || nIndex < -1 || nIndex > pElement->GetNumAttributes())
        return nullptr;
    return pElement->InsertAttribute(std::unique_ptr<tcAttribute>(pAttr), nIndex);
}
