#include "varnak/include/tcNode.h"
#include "varnak/include/tObjectLife.h"

#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"

#include <algorithm>
#include <cwchar>

namespace
{
bool IsLeafClass(teNodeClass eClass)
{
    return eClass == NODE_TEXTNODE || eClass == NODE_CDATA || eClass == NODE_ERROR;
}

// The fixed order of the children of an XLIFF unit; -1 for other kinds.
int UnitRank(const tcElement* pElement)
{
    static const wchar_t* const s_aszOrder[] = {L"source", L"seg-source", L"target", L"note", L"alt-trans"};
    if (!pElement)
        return -1;
    for (int i = 0; i < 5; ++i)
        if (pElement->GetName() == s_aszOrder[i])
            return i;
    return -1;
}

// First relation index >= nFrom that names pKind, -1 when none.
int NextRelation(const tcElement* pParent, const tcElement* pKind, int nFrom)
{
    for (int j = std::max(nFrom, 0); j < pParent->GetNumChildren(); ++j)
        if (pParent->GetChildElement(j)->pElement == pKind)
            return j;
    return -1;
}

// Last relation index <= nTo that names pKind, -1 when none.
int LastRelationUpTo(const tcElement* pParent, const tcElement* pKind, int nTo)
{
    for (int j = std::min(nTo, pParent->GetNumChildren() - 1); j >= 0; --j)
        if (pParent->GetChildElement(j)->pElement == pKind)
            return j;
    return -1;
}

int ParseLeadingInt(const wxString& s)
{
    const wchar_t* sz = s.wc_str();
    wchar_t* pEnd = nullptr;
    const long n = std::wcstol(sz, &pEnd, 10);
    return static_cast<int>(n);
}

// Visits the descendants of pRoot in document order (pRoot excluded) until fn returns true.
template <typename Fn> const tcNode* VisitDescendants(const tcNode* pRoot, Fn fn)
{
    std::vector<std::pair<const tcNode*, int>> stack;
    stack.emplace_back(pRoot, 0);
    while (!stack.empty())
    {
        auto& top = stack.back();
        if (top.second >= top.first->GetNumChildren())
        {
            stack.pop_back();
            continue;
        }
        const tcNode* pChild = top.first->GetChild(top.second++);
        if (fn(pChild))
            return pChild;
        if (pChild->GetNumChildren() > 0)
            stack.emplace_back(pChild, 0);
    }
    return nullptr;
}

template <typename Pred> tcNode* NthChild(const std::vector<tcNode*>& apChildren, int n, Pred pred)
{
    if (n < 0)
        return nullptr;
    for (tcNode* p : apChildren)
        if (pred(p) && n-- == 0)
            return p;
    return nullptr;
}

template <typename Pred> int CountChildren(const std::vector<tcNode*>& apChildren, Pred pred)
{
    return static_cast<int>(std::count_if(apChildren.begin(), apChildren.end(), pred));
}

template <typename Pred> tcNode* NthDescendant(const tcNode* pRoot, int n, Pred pred)
{
    if (n < 0)
        return nullptr;
    return const_cast<tcNode*>(VisitDescendants(pRoot, [&](const tcNode* p) { return pred(p) && n-- == 0; }));
}

template <typename Pred> int CollectDescendants(const tcNode* pRoot, std::vector<tcNode*>* pOut, Pred pred)
{
    int nCount = 0;
    VisitDescendants(pRoot,
                     [&](const tcNode* p)
                     {
                         if (pred(p))
                         {
                             ++nCount;
                             if (pOut)
                                 pOut->push_back(const_cast<tcNode*>(p));
                         }
                         return false;
                     });
    return nCount;
}

struct OfElement
{
    int nID;
    bool operator()(const tcNode* p) const { return p->GetElementTypeID() == nID && p->GetElement() != nullptr; }
};
struct OfClass
{
    int eClass;
    bool operator()(const tcNode* p) const { return p->GetClassType() == eClass; }
};
struct OfClassKind
{
    int eClass;
    bool operator()(const tcNode* p) const { return p->IsKindOfClass(eClass); }
};

bool IsExcludedKind(const tcCloneContext& ctx, const tcElement* pElement)
{
    for (const tcCloneContext::tcField& f : ctx.aIgnoreFields)
        if (f.pAttr == nullptr && f.pElem == pElement)
            return true;
    return false;
}

bool IsExcludedAttribute(const tcCloneContext* pCtx, const tcAttribute* pAttr)
{
    if (!pCtx)
        return false;
    for (const tcCloneContext::tcField& f : pCtx->aIgnoreFields)
        if (f.pAttr == pAttr)
            return true;
    return false;
}
} // namespace

// ----- Construction -----------------------------------------------------------------------------------

tcNode::tcNode(tcDocument* pDoc, tcElement* pElement) : m_pDoc(pDoc), m_pElement(pElement)
{
    if (m_pDoc)
        m_pDoc->AdoptOrphan(this);
}

tcNode::~tcNode()
{
    tNotifyDestroyed(this);
    ReleaseValues();
    if (m_pParent)
    {
        auto& siblings = m_pParent->m_apChildren;
        siblings.erase(std::find(siblings.begin(), siblings.end(), this));
    }
    else if (m_pDoc)
    {
        m_pDoc->OnNodeDestroyed(this);
    }
    // The descendants go with us, one at a time from an explicit list so that a deep tree cannot
    // exhaust the stack; each is deleted without links or children, which spares it the bookkeeping
    // above.
    std::vector<tcNode*> apPending;
    apPending.swap(m_apChildren);
    while (!apPending.empty())
    {
        tcNode* pNode = apPending.back();
        apPending.pop_back();
        apPending.insert(apPending.end(), pNode->m_apChildren.begin(), pNode->m_apChildren.end());
        pNode->m_apChildren.clear();
        pNode->m_pParent = nullptr;
        pNode->m_pDoc = nullptr;
        delete pNode;
    }
}

// ----- Kind -------------------------------------------------------------------------------------------

tcDTD* tcNode::GetDTD() const
{
    return m_pElement ? m_pElement->GetDTD() : nullptr;
}

wxString tcNode::GetElementName() const
{
    return m_pElement ? m_pElement->GetName() : wxString();
}

int tcNode::GetElementTypeID() const
{
    return m_pElement ? m_pElement->GetID() : -1;
}

int tcNode::GetNumAttributes() const
{
    return m_pElement ? m_pElement->GetNumAttributes() : 0;
}

tcAttribute* tcNode::GetAttributeDescriptor(int nIndex) const
{
    return m_pElement ? m_pElement->GetAttribute(nIndex) : nullptr;
}

teNodeClass tcElementNode::GetClassType() const
{
    const teNodeClass eClass = GetElement() ? GetElement()->GetClass() : NODE_NODE;
    switch (eClass)
    {
    case NODE_DICTIONARY:
    case NODE_SECTION:
    case NODE_ENTRY:
    case NODE_REFERENCES:
    case NODE_SUBENTRY:
    case NODE_TEXTNODE:
    case NODE_ERROR:
    case NODE_CDATA:
        return NODE_NODE;
    default:
        return eClass;
    }
}

// ----- Identity and place -----------------------------------------------------------------------------

void tcNode::SetID(tID nID)
{
    m_nID = nID;
    if (m_pDoc && m_pDoc->GetIDAssigner())
        m_pDoc->GetIDAssigner()->NoteUsedID(nID);
}

tcNode* tcNode::GetChild(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumChildren())
        return nullptr;
    return m_apChildren[nIndex];
}

tcNode* tcNode::GetPrevious() const
{
    return m_pParent ? m_pParent->GetChild(FindOurIndex() - 1) : nullptr;
}

tcNode* tcNode::GetNext() const
{
    return m_pParent ? m_pParent->GetChild(FindOurIndex() + 1) : nullptr;
}

int tcNode::FindIndex(const tcNode* pChild) const
{
    const auto it = std::find(m_apChildren.begin(), m_apChildren.end(), pChild);
    return it == m_apChildren.end() ? -1 : static_cast<int>(it - m_apChildren.begin());
}

int tcNode::FindOurIndex() const
{
    return m_pParent ? m_pParent->FindIndex(this) : -1;
}

int tcNode::FindOurIndexOfSameType() const
{
    if (!m_pParent)
        return -1;
    int nIndex = 0;
    for (const tcNode* p : m_pParent->m_apChildren)
    {
        if (p == this)
            return nIndex;
        if (p->m_pElement == m_pElement && p->GetClassType() == GetClassType())
            ++nIndex;
    }
    return -1;
}

bool tcNode::IsDescendantOf(const tcNode* pAncestor) const
{
    if (!pAncestor)
        return false;
    for (const tcNode* p = m_pParent; p; p = p->m_pParent)
        if (p == pAncestor)
            return true;
    return false;
}

// ----- Attribute values -------------------------------------------------------------------------------

bool tcNode::OwnsAttribute(const tcAttribute* pAttr) const
{
    return pAttr && m_pElement && pAttr->GetOwnerElement() == m_pElement;
}

const tcNode::AttrValue* tcNode::FindValue(const tcAttribute* pAttr) const
{
    if (!OwnsAttribute(pAttr))
        return nullptr;
    for (const AttrValue& v : m_aValues)
        if (v.nSerial == pAttr->GetSerial())
            return &v;
    return nullptr;
}

bool tcNode::HasAttributeValue(const tcAttribute* pAttr) const
{
    return FindValue(pAttr) != nullptr;
}

bool tcNode::ResetAttributeValue(const tcAttribute* pAttr)
{
    const AttrValue* pValue = FindValue(pAttr);
    if (!pValue)
        return false;
    ReleaseValue(pValue->pValue);
    m_aValues.erase(m_aValues.begin() + (pValue - m_aValues.data()));
    return true;
}

bool tcNode::CreateDefaultAttrValue(const tcAttribute* pAttr)
{
    if (!OwnsAttribute(pAttr) || pAttr->GetDefault().empty())
        return false;
    return SetAttributeS(pAttr, pAttr->GetDefault());
}

wxString tcNode::GetAttributeS(const tcAttribute* pAttr) const
{
    const AttrValue* pValue = FindValue(pAttr);
    return pValue ? *pValue->pValue : wxString();
}

wxString tcNode::GetAttributeSByID(int nAttrID) const
{
    return m_pElement ? GetAttributeS(m_pElement->FindAttributeByID(nAttrID)) : wxString();
}

wxString tcNode::GetAttributeSByIndex(int nIndex) const
{
    return GetAttributeS(GetAttributeDescriptor(nIndex));
}

wxString tcNode::GetAttributeSByName(const wxString& sName) const
{
    return m_pElement ? GetAttributeS(m_pElement->FindAttributeByName(sName)) : wxString();
}

const wxString* tcNode::GetAttributePStrValue(const tcAttribute* pAttr) const
{
    const AttrValue* pValue = FindValue(pAttr);
    return pValue ? pValue->pValue : nullptr;
}

bool tcNode::SetAttributeS(const tcAttribute* pAttr, const wxString& sValue)
{
    if (!OwnsAttribute(pAttr))
        return false;
    const wxString* pShared = ShareValue(sValue);
    if (const AttrValue* pValue = FindValue(pAttr))
    {
        ReleaseValue(pValue->pValue);
        const_cast<AttrValue*>(pValue)->pValue = pShared;
    }
    else
        m_aValues.push_back(AttrValue{pAttr->GetSerial(), pShared});
    return true;
}

bool tcNode::SetAttributeSByID(int nAttrID, const wxString& sValue)
{
    return m_pElement && SetAttributeS(m_pElement->FindAttributeByID(nAttrID), sValue);
}

int tcNode::GetAttributeI(const tcAttribute* pAttr) const
{
    const AttrValue* pValue = FindValue(pAttr);
    return pValue ? ParseLeadingInt(*pValue->pValue) : 0;
}

int tcNode::GetAttributeIByID(int nAttrID) const
{
    return m_pElement ? GetAttributeI(m_pElement->FindAttributeByID(nAttrID)) : 0;
}

int tcNode::GetAttributeIByIndex(int nIndex) const
{
    return GetAttributeI(GetAttributeDescriptor(nIndex));
}

bool tcNode::SetAttributeI(const tcAttribute* pAttr, int nValue)
{
    return SetAttributeS(pAttr, wxString::Format("%d", nValue));
}

bool tcNode::SetAttributeIByID(int nAttrID, int nValue)
{
    return m_pElement && SetAttributeI(m_pElement->FindAttributeByID(nAttrID), nValue);
}

wxString tcNode::GetAttributeDisplayAsString(const tcAttribute* pAttr, const wxString&) const
{
    return GetAttributeS(pAttr);
}

wxString tcNode::GetAttributeDisplayAsStringByIndex(int nIndex, const wxString&) const
{
    return GetAttributeSByIndex(nIndex);
}

wxString tcNode::GetAttributeRawAsString(const tcAttribute* pAttr, const wxString&) const
{
    return GetAttributeS(pAttr);
}

bool tcNode::SetAttributeDisplayByString(const tcAttribute* pAttr, const wxString& sValue, bool bNotify,
                                         const wxString&)
{
    if (!SetAttributeS(pAttr, sValue))
        return false;
    if (bNotify)
        Evt_AttributeModified.Trigger(this, const_cast<tcAttribute*>(pAttr));
    return true;
}

bool tcNode::SetAttributeDisplayByString(const wxString& sAttrName, const wxString& sValue, bool bNotify,
                                         const wxString& sListSep)
{
    return m_pElement &&
           SetAttributeDisplayByString(m_pElement->FindAttributeByName(sAttrName), sValue, bNotify, sListSep);
}

bool tcNode::SetAttributeRawByString(const tcAttribute* pAttr, const wxString& sValue, bool bNotify,
                                     const wxString& sListSep)
{
    return SetAttributeDisplayByString(pAttr, sValue, bNotify, sListSep);
}

bool tcNode::SetAttributeRawByString(const wxString& sAttrName, const wxString& sValue, bool bNotify,
                                     const wxString& sListSep)
{
    return SetAttributeDisplayByString(sAttrName, sValue, bNotify, sListSep);
}

std::vector<wxString> tcNode::GetAttributeListN(const tcAttribute* pAttr) const
{
    std::vector<wxString> asParts;
    const wxString sValue = GetAttributeS(pAttr);
    size_t nStart = 0;
    while (nStart <= sValue.length())
    {
        size_t nEnd = sValue.find(',', nStart);
        if (nEnd == wxString::npos)
            nEnd = sValue.length();
        if (nEnd > nStart)
            asParts.push_back(sValue.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    return asParts;
}

// ----- Children ---------------------------------------------------------------------------------------

bool tcNode::CanAdopt(const tcNode* pChild) const
{
    if (!pChild || IsLeafClass(GetClassType()) || pChild == this)
        return false;
    return !IsDescendantOf(pChild);
}

void tcNode::SetDocRecursive(tcDocument* pDoc)
{
    std::vector<tcNode*> stack{this};
    while (!stack.empty())
    {
        tcNode* p = stack.back();
        stack.pop_back();
        p->m_pDoc = pDoc;
        stack.insert(stack.end(), p->m_apChildren.begin(), p->m_apChildren.end());
    }
}

void tcNode::TakeOut(tcNode* pChild)
{
    if (pChild->m_pParent)
    {
        auto& siblings = pChild->m_pParent->m_apChildren;
        siblings.erase(std::find(siblings.begin(), siblings.end(), pChild));
        pChild->m_pParent = nullptr;
    }
    else if (pChild->m_pDoc)
    {
        pChild->m_pDoc->ForgetOrphan(pChild);
    }
}

void tcNode::LinkChild(tcNode* pChild, int nIndex)
{
    m_apChildren.insert(m_apChildren.begin() + nIndex, pChild);
    pChild->m_pParent = this;
    if (pChild->m_pDoc != m_pDoc)
        pChild->SetDocRecursive(m_pDoc);
}

bool tcNode::AddChildOrdered(tcNode* pChild)
{
    if (!CanAdopt(pChild))
        return false;
    TakeOut(pChild);
    LinkChild(pChild, OrderedPosition(pChild));
    return true;
}

bool tcNode::AddChildLast(tcNode* pChild)
{
    if (!CanAdopt(pChild))
        return false;
    TakeOut(pChild);
    LinkChild(pChild, GetNumChildren());
    return true;
}

bool tcNode::InsertChild(tcNode* pChild, int nIndex)
{
    if (!CanAdopt(pChild) || nIndex < 0 || nIndex > GetNumChildren())
        return false;
    if (pChild->m_pParent == this && FindIndex(pChild) < nIndex)
        --nIndex;
    TakeOut(pChild);
    LinkChild(pChild, nIndex);
    return true;
}

bool tcNode::ReplaceChild(tcNode* pOld, tcNode* pNew)
{
    if (!pOld || pOld->m_pParent != this || pOld == pNew || !CanAdopt(pNew))
        return false;
    TakeOut(pNew);
    const int nIndex = FindIndex(pOld);
    RemoveChild(pOld);
    LinkChild(pNew, nIndex);
    return true;
}

bool tcNode::RemoveChild(tcNode* pChild)
{
    if (!pChild || pChild->m_pParent != this)
        return false;
    TakeOut(pChild);
    if (pChild->m_pDoc)
        pChild->m_pDoc->AdoptOrphan(pChild);
    return true;
}

tcNode* tcNode::RemoveChildByIndex(int nIndex)
{
    tcNode* pChild = GetChild(nIndex);
    return RemoveChild(pChild) ? pChild : nullptr;
}

bool tcNode::RemoveNode()
{
    return m_pParent && m_pParent->RemoveChild(this);
}

bool tcNode::SwopChildren(int nIndex1, int nIndex2)
{
    if (!GetChild(nIndex1) || !GetChild(nIndex2))
        return false;
    std::swap(m_apChildren[nIndex1], m_apChildren[nIndex2]);
    return true;
}

bool tcNode::MoveChild(int nFrom, int nTo)
{
    if (!GetChild(nFrom) || !GetChild(nTo))
        return false;
    tcNode* pChild = m_apChildren[nFrom];
    m_apChildren.erase(m_apChildren.begin() + nFrom);
    m_apChildren.insert(m_apChildren.begin() + nTo, pChild);
    return true;
}

int tcNode::OrderedPosition(const tcNode* pChild) const
{
    const int n = GetNumChildren();
    const tcElement* pKind = pChild->m_pElement;
    if (!m_pElement || !pKind)
        return n;
    // After a last child of the same kind is what the walk below finds (a kind that is declared then
    // fits there, and the fallback also goes after it): a long list of one kind, such as a memory's
    // units, grows without a walk over all of it. Unit kinds have their own clamp, so they walk.
    if (n > 0 && m_apChildren.back()->m_pElement == pKind && UnitRank(pKind) < 0)
        return n;

    const tcElement* pParentKind = m_pElement;
    const bool bDeclared = NextRelation(pParentKind, pKind, 0) >= 0;
    int nPos = n;
    if (bDeclared)
    {
        auto declared = [&](const tcNode* p)
        { return p->m_pElement && NextRelation(pParentKind, p->m_pElement, 0) >= 0; };
        // cursor[i]: the relation the walk stands on after the first i children (-1: they do not fit).
        std::vector<int> cursor(n + 1, 0);
        for (int i = 0; i < n; ++i)
        {
            const tcNode* p = m_apChildren[i];
            cursor[i + 1] =
                cursor[i] < 0 || !declared(p) ? cursor[i] : NextRelation(pParentKind, p->m_pElement, cursor[i]);
        }
        // maxStart[i]: the highest relation from which children i.. still fit (-1: from none).
        std::vector<int> maxStart(n + 1, pParentKind->GetNumChildren() - 1);
        for (int i = n - 1; i >= 0; --i)
        {
            const tcNode* p = m_apChildren[i];
            maxStart[i] = !declared(p) || maxStart[i + 1] < 0
                              ? maxStart[i + 1]
                              : LastRelationUpTo(pParentKind, p->m_pElement, maxStart[i + 1]);
        }
        nPos = -1;
        for (int i = n; i >= 0 && nPos < 0; --i)
        {
            if (cursor[i] < 0 || maxStart[i] < 0)
                continue;
            const int j = NextRelation(pParentKind, pKind, cursor[i]);
            if (j >= 0 && j <= maxStart[i])
                nPos = i;
        }
        if (nPos < 0)
        {
            // The children already break the order: go after the last one whose kind comes first.
            const int nRank = NextRelation(pParentKind, pKind, 0);
            nPos = 0;
            for (int i = 0; i < n; ++i)
            {
                const tcNode* p = m_apChildren[i];
                if (declared(p) && NextRelation(pParentKind, p->m_pElement, 0) <= nRank)
                    nPos = i + 1;
            }
        }
    }

    const int nUnitRank = UnitRank(pKind);
    if (nUnitRank >= 0)
    {
        int nLow = 0;
        int nHigh = n;
        for (int i = 0; i < n; ++i)
        {
            const int nRank = UnitRank(m_apChildren[i]->m_pElement);
            if (nRank < 0)
                continue;
            if (nRank <= nUnitRank)
                nLow = i + 1;
            else if (nHigh == n)
                nHigh = i;
        }
        nPos = std::min(std::max(nPos, nLow), nHigh);
    }
    return nPos;
}

// ----- Searching --------------------------------------------------------------------------------------

int tcNode::GetNumChildrenOfElementType(int nElementID) const
{
    return CountChildren(m_apChildren, OfElement{nElementID});
}

int tcNode::GetNumChildrenOfClassType(int eClass) const
{
    return CountChildren(m_apChildren, OfClass{eClass});
}

int tcNode::GetNumChildrenOfClassKind(int eClass) const
{
    return CountChildren(m_apChildren, OfClassKind{eClass});
}

tcNode* tcNode::GetNthChildOfElementType(int nElementID, int n) const
{
    return NthChild(m_apChildren, n, OfElement{nElementID});
}

tcNode* tcNode::GetNthChildOfClassType(int eClass, int n) const
{
    return NthChild(m_apChildren, n, OfClass{eClass});
}

tcNode* tcNode::GetNthChildOfClassKind(int eClass, int n) const
{
    return NthChild(m_apChildren, n, OfClassKind{eClass});
}

tcNode* tcNode::GetNthDescendantOfElementType(int nElementID, int n) const
{
    return NthDescendant(this, n, OfElement{nElementID});
}

tcNode* tcNode::GetNthDescendantOfClassType(int eClass, int n) const
{
    return NthDescendant(this, n, OfClass{eClass});
}

tcNode* tcNode::GetNthDescendantOfClassKind(int eClass, int n) const
{
    return NthDescendant(this, n, OfClassKind{eClass});
}

tcNode* tcNode::GetNthDescendant(int n) const
{
    return NthDescendant(this, n, [](const tcNode*) { return true; });
}

int tcNode::GetNumDescendantsOfElementType(int nElementID) const
{
    return CollectDescendants(this, nullptr, OfElement{nElementID});
}

int tcNode::GetNumDescendantsOfClassType(int eClass) const
{
    return CollectDescendants(this, nullptr, OfClass{eClass});
}

int tcNode::GetNumDescendantsOfClassKind(int eClass) const
{
    return CollectDescendants(this, nullptr, OfClassKind{eClass});
}

int tcNode::GetNumDescendants() const
{
    return CollectDescendants(this, nullptr, [](const tcNode*) { return true; });
}

int tcNode::FindDescendantsOfElementType(int nElementID, std::vector<tcNode*>& apOut) const
{
    return CollectDescendants(this, &apOut, OfElement{nElementID});
}

int tcNode::FindDescendantsOfClassType(int eClass, std::vector<tcNode*>& apOut) const
{
    return CollectDescendants(this, &apOut, OfClass{eClass});
}

int tcNode::FindDescendantsOfClassKind(int eClass, std::vector<tcNode*>& apOut) const
{
    return CollectDescendants(this, &apOut, OfClassKind{eClass});
}

int tcNode::GetAllDescendants(std::vector<tcNode*>& apOut) const
{
    return CollectDescendants(this, &apOut, [](const tcNode*) { return true; });
}

tcNode* tcNode::FindDescendantByID(tID nID) const
{
    if (nID == idNULL)
        return nullptr;
    if (m_nID == nID)
        return const_cast<tcNode*>(this);
    return const_cast<tcNode*>(VisitDescendants(this, [nID](const tcNode* p) { return p->GetID() == nID; }));
}

tcNode* tcNode::FindDescendantByMemoryAddress(const tcNode* pNode) const
{
    if (!pNode)
        return nullptr;
    return pNode == this || pNode->IsDescendantOf(this) ? const_cast<tcNode*>(pNode) : nullptr;
}

tcNode* tcNode::FindChildElementInChildNodes(const tcElement* pElement) const
{
    if (!pElement)
        return nullptr;
    for (tcNode* p : m_apChildren)
        if (p->m_pElement == pElement)
            return p;
    return nullptr;
}

// ----- Copying ----------------------------------------------------------------------------------------

tcNode* tcNode::Clone(tcDocument* pTargetDoc) const
{
    if (!m_pElement)
        return nullptr;
    if (!pTargetDoc)
        pTargetDoc = m_pDoc;
    tcElement* pElement = m_pElement;
    if (pTargetDoc && pTargetDoc->GetDTD() != m_pElement->GetDTD())
        pElement = pTargetDoc->GetDTD()->FindElementByName(m_pElement->GetName());
    if (!pElement)
        return nullptr;
    tcNode* pCopy = pTargetDoc ? pTargetDoc->AllocateElement(pElement, true, false)
                               : tcDocument::NewNodeForElement(nullptr, pElement);
    if (pCopy)
        pCopy->CopyAttributesFrom(this, nullptr);
    return pCopy;
}

void tcNode::CopyAttributesFrom(const tcNode* pSource, const tcCloneContext* pContext)
{
    if (!m_pElement || !pSource || !pSource->m_pElement)
        return;
    const bool bOverwrite = pContext ? pContext->bOverwriteAttributes : true;
    const bool bMerge = pContext && pContext->bMergeDTDs;
    const tcElement* pSourceKind = pSource->m_pElement;
    for (int i = 0; i < pSourceKind->GetNumAttributes(); ++i)
    {
        const tcAttribute* pAttr = pSourceKind->GetAttribute(i);
        const AttrValue* pValue = pSource->FindValue(pAttr);
        if (!pValue || pAttr->TestFlag(ATTRFLAG_NOCLONE) || IsExcludedAttribute(pContext, pAttr))
            continue;
        const tcAttribute* pTarget =
            pSourceKind == m_pElement ? pAttr : m_pElement->FindAttributeByName(pAttr->GetName());
        if (!pTarget && bMerge && m_pDoc)
            pTarget = tCreateAttribute(m_pDoc, m_pElement, pAttr->GetName(), pAttr->GetDefaultType(), pAttr->GetType(),
                                       false, pAttr->GetFlags());
        if (!pTarget || (!bOverwrite && HasAttributeValue(pTarget)))
            continue;
        SetAttributeS(pTarget, *pValue->pValue);
    }
}

void tcNode::CloneChildrenFrom(const tcNode* pSource, tcCloneContext& context)
{
    for (const tcNode* pChild : pSource->m_apChildren)
    {
        const tcElement* pKind = pChild->m_pElement;
        if (pKind && IsExcludedKind(context, pKind))
            continue;
        tcNode* pCopy = pChild->Clone(context.pTargetDoc);
        if (!pCopy && pKind && context.bMergeDTDs && context.pTargetDoc)
        {
            tEnsureElementExists(context.pTargetDoc, pKind->GetName(), m_pElement, false, CHILD_ZEROORMORE);
            pCopy = pChild->Clone(context.pTargetDoc);
        }
        if (!pCopy)
            continue;
        if (pKind)
        {
            for (const tcCloneContext::tcField& f : context.aIgnoreFields)
                if (f.pAttr && f.pAttr->GetOwnerElement() == pKind && pCopy->m_pElement)
                    pCopy->ResetAttributeValue(pCopy->m_pElement == pKind
                                                   ? f.pAttr
                                                   : pCopy->m_pElement->FindAttributeByName(f.pAttr->GetName()));
            if (context.bMergeDTDs && pCopy->m_pElement != pKind)
            {
                tcCloneContext overwrite = context;
                overwrite.bOverwriteAttributes = true;
                pCopy->CopyAttributesFrom(pChild, &overwrite);
            }
            if (pKind->AllowsPCDATA() && pCopy->m_pElement && !pCopy->m_pElement->AllowsPCDATA())
                tEnsureElementAllowsPCDATA(context.pTargetDoc, pCopy->m_pElement);
            pCopy->CloneChildrenFrom(pChild, context);
        }
        AddChildLast(pCopy);
    }
}

bool tcNode::CloneTree(const tcNode* pSource, tcCloneContext* pContext)
{
    if (!pSource || pSource == this || IsDescendantOf(pSource) || IsLeafClass(GetClassType()))
        return false;
    tcCloneContext context = pContext ? *pContext : tcCloneContext();
    if (!context.pTargetDoc)
        context.pTargetDoc = m_pDoc;
    if (!context.pSourceDoc)
        context.pSourceDoc = pSource->m_pDoc;
    CopyAttributesFrom(pSource, &context);
    CloneChildrenFrom(pSource, context);
    return true;
}

// ----- Leaves -----------------------------------------------------------------------------------------

void tcText::SetTextWithLen(const wchar_t* szText, size_t nLen)
{
    m_sText = szText ? wxString(szText, nLen) : wxString();
}

tcNode* tcText::Clone(tcDocument* pTargetDoc) const
{
    return new tcText(m_sText, pTargetDoc ? pTargetDoc : GetDoc());
}

void tcCDATA::SetTextWithLen(const wchar_t* szText, size_t nLen)
{
    m_sText = szText ? wxString(szText, nLen) : wxString();
}

tcNode* tcCDATA::Clone(tcDocument* pTargetDoc) const
{
    return new tcCDATA(m_sText, pTargetDoc ? pTargetDoc : GetDoc());
}

tcNode* tcErrorNode::Clone(tcDocument* pTargetDoc) const
{
    return new tcErrorNode(m_eType, m_sText, m_sSuggestion, pTargetDoc ? pTargetDoc : GetDoc());
}
