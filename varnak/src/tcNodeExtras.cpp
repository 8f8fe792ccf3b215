// List values, sibling moves, comparison and reordering of tcNode.
#include "varnak/include/tcNode.h"

#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"

#include <algorithm>

namespace
{

wxString JoinValues(const std::vector<wxString>& asValues)
{
    wxString s;
    for (size_t i = 0; i < asValues.size(); ++i)
        s += (i ? wxString(",") : wxString()) + asValues[i];
    return s;
}

// The item text of nID in the attribute's list; false without list or item.
bool ItemText(const tcAttribute* pAttr, int nID, wxString& sText)
{
    const tcAttrList* pList = pAttr ? pAttr->GetList() : nullptr;
    if (!pList || pList->GetIndexFromID(nID) < 0)
        return false;
    sText = pList->GetTextFromID(nID);
    return true;
}

} // namespace

bool tcNode::SetAttributeDeprecatedByString(const wxString& sAttrName, const wxString& sValue)
{
    const tcAttribute* pAttr = m_pElement ? m_pElement->FindAttributeByName(sAttrName) : nullptr;
    return SetAttributeS(pAttr, sValue);
}

void tcNode::PreDeleteFromDoc()
{
    Evt_NodeDeleteFromDoc.Trigger(m_pDoc, this);
}

// ----- List values ----------------------------------------------------------------------------------

int tcNode::GetAttributeListID(const tcAttribute* pAttr, int n) const
{
    const tcAttrList* pList = pAttr ? pAttr->GetList() : nullptr;
    if (!pList || n < 0)
        return -1;
    const std::vector<wxString> asValues = GetAttributeListN(pAttr);
    if (static_cast<size_t>(n) >= asValues.size())
        return -1;
    const int nIndex = pList->FindByText(asValues[static_cast<size_t>(n)]);
    return nIndex < 0 ? -1 : pList->GetItemID(nIndex);
}

int tcNode::GetAttributeListIDByIndex(int nAttrIndex, int n) const
{
    return GetAttributeListID(GetAttributeDescriptor(nAttrIndex), n);
}

int tcNode::GetAttributeSingleListID(const tcAttribute* pAttr) const
{
    return GetAttributeListN(pAttr).size() == 1 ? GetAttributeListID(pAttr, 0) : -1;
}

bool tcNode::SetAttributeListID(const tcAttribute* pAttr, int nID)
{
    wxString sText;
    return ItemText(pAttr, nID, sText) && SetAttributeS(pAttr, sText);
}

bool tcNode::HasAttributeListID(const tcAttribute* pAttr, int nID) const
{
    wxString sText;
    if (!ItemText(pAttr, nID, sText))
        return false;
    const std::vector<wxString> asValues = GetAttributeListN(pAttr);
    return std::find(asValues.begin(), asValues.end(), sText) != asValues.end();
}

bool tcNode::AddAttributeListID(const tcAttribute* pAttr, int nID)
{
    wxString sText;
    if (!ItemText(pAttr, nID, sText) || HasAttributeListID(pAttr, nID))
        return false;
    std::vector<wxString> asValues = GetAttributeListN(pAttr);
    asValues.push_back(sText);
    return SetAttributeS(pAttr, JoinValues(asValues));
}

bool tcNode::RemoveAttributeListID(const tcAttribute* pAttr, int nID)
{
    wxString sText;
    if (!ItemText(pAttr, nID, sText))
        return false;
    std::vector<wxString> asValues = GetAttributeListN(pAttr);
    auto itEnd = std::remove(asValues.begin(), asValues.end(), sText);
    if (itEnd == asValues.end())
        return false;
    asValues.erase(itEnd, asValues.end());
    return SetAttributeS(pAttr, JoinValues(asValues));
}

bool tcNode::ToggleAttributeListID(const tcAttribute* pAttr, int nID)
{
    if (HasAttributeListID(pAttr, nID))
    {
        RemoveAttributeListID(pAttr, nID);
        return false;
    }
    return AddAttributeListID(pAttr, nID);
}

bool tcNode::ToggleAttributeListItem(const tcAttribute* pAttr, const wxString& sItemText)
{
    const tcAttrList* pList = pAttr ? pAttr->GetList() : nullptr;
    const int nIndex = pList ? pList->FindByText(sItemText) : -1;
    return nIndex >= 0 && ToggleAttributeListID(pAttr, pList->GetItemID(nIndex));
}

bool tcNode::ReorderAttributeListItems(const tcAttribute* pAttr)
{
    const tcAttrList* pList = pAttr ? pAttr->GetList() : nullptr;
    if (!pList)
        return false;
    std::vector<wxString> asValues = GetAttributeListN(pAttr);
    auto fnRank = [pList](const wxString& s)
    {
        const int n = pList->FindByText(s);
        return n < 0 ? pList->GetNumItems() : n;
    };
    std::vector<wxString> asSorted = asValues;
    std::stable_sort(asSorted.begin(), asSorted.end(),
                     [&](const wxString& a, const wxString& b) { return fnRank(a) < fnRank(b); });
    if (asSorted == asValues)
        return false;
    return SetAttributeS(pAttr, JoinValues(asSorted));
}

// ----- Moving ---------------------------------------------------------------------------------------

bool tcNode::MoveNodeUp()
{
    const int nIndex = FindOurIndex();
    return nIndex > 0 && m_pParent->SwopChildren(nIndex, nIndex - 1);
}

bool tcNode::MoveNodeDown()
{
    const int nIndex = FindOurIndex();
    return nIndex >= 0 && nIndex + 1 < m_pParent->GetNumChildren() && m_pParent->SwopChildren(nIndex, nIndex + 1);
}

bool tcNode::MoveUpRel()
{
    const int nIndex = FindOurIndex();
    for (int i = nIndex - 1; i >= 0; --i)
        if (m_pParent->GetChild(i)->GetElement() == m_pElement)
            return m_pParent->MoveChild(nIndex, i);
    return false;
}

bool tcNode::MoveDownRel()
{
    const int nIndex = FindOurIndex();
    if (nIndex < 0)
        return false;
    for (int i = nIndex + 1; i < m_pParent->GetNumChildren(); ++i)
        if (m_pParent->GetChild(i)->GetElement() == m_pElement)
            return m_pParent->MoveChild(nIndex, i);
    return false;
}

bool tcNode::MoveNode(tcNode* pNewParent, int nIndex)
{
    if (!pNewParent)
        return false;
    if (nIndex < 0)
        return pNewParent->AddChildOrdered(this);
    // An index among the new parent's children as they stand before the move.
    if (m_pParent == pNewParent && nIndex > FindOurIndex())
        --nIndex;
    if (!pNewParent->CanAdopt(this))
        return false;
    TakeOut(this);
    if (nIndex > pNewParent->GetNumChildren())
        nIndex = pNewParent->GetNumChildren();
    pNewParent->LinkChild(this, nIndex);
    return true;
}

tcNode* tcNode::FindDescendant(const tcElement* pElement) const
{
    if (!pElement)
        return nullptr;
    std::vector<const tcNode*> stack(m_apChildren.rbegin(), m_apChildren.rend());
    while (!stack.empty())
    {
        const tcNode* p = stack.back();
        stack.pop_back();
        if (p->m_pElement == pElement)
            return const_cast<tcNode*>(p);
        stack.insert(stack.end(), p->m_apChildren.rbegin(), p->m_apChildren.rend());
    }
    return nullptr;
}

// ----- Comparing ------------------------------------------------------------------------------------

bool tcNode::CompareNode(const tcNode* pOther) const
{
    if (!pOther || pOther->GetClassType() != GetClassType() || pOther->GetElementName() != GetElementName())
        return false;
    if (pOther->GetNumAttributes() != GetNumAttributes())
        return false;
    for (int i = 0; i < GetNumAttributes(); ++i)
    {
        const tcAttribute* pAttr = GetAttributeDescriptor(i);
        const tcAttribute* pOtherAttr = pOther->m_pElement->FindAttributeByName(pAttr->GetName());
        if (!pOtherAttr || pOther->HasAttributeValue(pOtherAttr) != HasAttributeValue(pAttr) ||
            pOther->GetAttributeS(pOtherAttr) != GetAttributeS(pAttr))
            return false;
    }
    return true;
}

bool tcNode::CompareTree(const tcNode* pOther) const
{
    if (!CompareNode(pOther) || pOther->GetNumChildren() != GetNumChildren())
        return false;
    for (int i = 0; i < GetNumChildren(); ++i)
        if (!GetChild(i)->CompareTree(pOther->GetChild(i)))
            return false;
    return true;
}

bool tcText::CompareNode(const tcNode* pOther) const
{
    return pOther && pOther->GetClassType() == NODE_TEXTNODE && static_cast<const tcText*>(pOther)->m_sText == m_sText;
}

bool tcCDATA::CompareNode(const tcNode* pOther) const
{
    return pOther && pOther->GetClassType() == NODE_CDATA && static_cast<const tcCDATA*>(pOther)->m_sText == m_sText;
}

bool tcErrorNode::CompareNode(const tcNode* pOther) const
{
    if (!pOther || pOther->GetClassType() != NODE_ERROR)
        return false;
    const auto* p = static_cast<const tcErrorNode*>(pOther);
    return p->m_eType == m_eType && p->m_sText == m_sText && p->m_sSuggestion == m_sSuggestion;
}

bool tcNode::ChangeAttributeType(const tcAttribute* pAttr, int) const
{
    return OwnsAttribute(pAttr);
}

// ----- Children -------------------------------------------------------------------------------------

void tcNode::ReorderChildren()
{
    if (!m_pElement || m_pElement->AllowsPCDATA())
        return;
    // Each child goes back, in its old order, to where the content model puts it among those
    // already back; the children stay attached to this node throughout.
    const std::vector<tcNode*> apChildren = std::move(m_apChildren);
    m_apChildren.clear();
    for (tcNode* pChild : apChildren)
        LinkChild(pChild, OrderedPosition(pChild));
}

void tcNode::ReserveSpaceForChildren(int nCount)
{
    // A hint only: a count no document reaches would take gigabytes for nothing.
    constexpr int kMostReserved = 1 << 20;
    if (nCount > 0)
        m_apChildren.reserve(static_cast<size_t>(std::min(nCount, kMostReserved)));
}

bool tcNode::SetChildAt(int nIndex, tcNode* pChild)
{
    tcNode* pOld = GetChild(nIndex);
    return pOld && ReplaceChild(pOld, pChild);
}

wxString tGetAttributePStrValue(const tcNode* pNode, const tcAttribute* pAttr)
{
    const wxString* psValue = pNode ? pNode->GetAttributePStrValue(pAttr) : nullptr;
    return psValue ? *psValue : wxString();
}

namespace
{
template <typename T> void SetTextWithLenLimited(T* pNode, const wxString& sText, size_t nLen)
{
    const std::wstring s = sText.ToStdWstring();
    pNode->SetTextWithLen(s.c_str(), std::min(nLen, s.length()));
}
} // namespace

void tSetTextWithLen(tcText* pNode, const wxString& sText, size_t nLen)
{
    SetTextWithLenLimited(pNode, sText, nLen);
}

void tSetTextWithLen(tcCDATA* pNode, const wxString& sText, size_t nLen)
{
    SetTextWithLenLimited(pNode, sText, nLen);
}
