// The state a failed load gives back: style sets, value lists and cross-reference settings.

#include "Shared/ImportXMLSnapshot.h"

#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcStyles.h"

#include <algorithm>
#include <functional>

namespace
{
typedef std::function<bool(const tcElement*)> ElementTest;
typedef std::function<bool(const tcAttribute*)> AttributeTest;

// A copy of the set holding only the styles and order items whose kinds and attributes pass the
// tests (the copy refers to the same kinds and attributes).
std::unique_ptr<tcStyles> CopyStyleSet(const tcStyles& set, const ElementTest& isLiveElement,
                                       const AttributeTest& isLiveAttribute)
{
    auto pCopy = std::make_unique<tcStyles>(set.GetName());
    for (int i = 0; i < set.GetNumStyles(); ++i)
    {
        const tcStyle* pStyle = set.GetStyle(i);
        if (pStyle->GetType() == STYLE_ELEMENT)
        {
            const auto* pElementStyle = static_cast<const tcStyleElement*>(pStyle);
            if (isLiveElement(pElementStyle->pElement))
                pCopy->AddStyle(std::make_unique<tcStyleElement>(*pElementStyle));
        }
        else if (pStyle->GetType() == STYLE_ATTRIBUTE)
        {
            const auto* pAttributeStyle = static_cast<const tcStyleAttribute*>(pStyle);
            if (isLiveElement(pAttributeStyle->pElement) && isLiveAttribute(pAttributeStyle->pAttribute))
                pCopy->AddStyle(std::make_unique<tcStyleAttribute>(*pAttributeStyle));
        }
    }
    const tcOrder* pOrder = set.GetOrder();
    auto pOrderCopy = std::make_unique<tcOrder>();
    for (int i = 0; i < pOrder->GetNumElements(); ++i)
    {
        const tcElementOrderItems* pItems = pOrder->GetOrderElementByIndex(i);
        tcElement* pElement = pItems->GetElement();
        if (!isLiveElement(pElement))
            continue;
        for (int j = 0; j < pItems->GetNumOrderItems(); ++j)
        {
            const tcOrderItem* pItem = pItems->GetOrderItem(j);
            switch (pItem->GetType())
            {
            case ORDER_PCDATA:
                pOrderCopy->AddElementOrderPCDATA(pElement, pItem->IsVisible());
                break;
            case ORDER_ELEMENT:
            {
                tcElement* pChild = static_cast<const tcOrderElement*>(pItem)->GetElement();
                if (isLiveElement(pChild))
                    pOrderCopy->AddElementOrderChild(pElement, pChild, pItem->IsVisible());
                break;
            }
            case ORDER_ATTRIBUTE:
            {
                tcAttribute* pAttr = static_cast<const tcOrderAttribute*>(pItem)->GetAttribute();
                if (isLiveAttribute(pAttr))
                    pOrderCopy->AddElementOrderAttribute(pElement, pAttr, pItem->IsVisible());
                break;
            }
            default:
                break;
            }
        }
    }
    pCopy->SetOrder(std::move(pOrderCopy));
    return pCopy;
}

void NoteOwner(std::map<const tcAttribute*, const tcElement*>& mapOwners, const tcAttribute* pAttr)
{
    if (pAttr)
        mapOwners[pAttr] = pAttr->GetOwnerElement();
}
} // namespace

namespace
{
template <typename T> bool Holds(const std::vector<T>& a, const T& value)
{
    return std::find(a.begin(), a.end(), value) != a.end();
}
} // namespace

CXMLLoadSnapshot::CXMLLoadSnapshot(const tcDocument& doc, bool bTreeAndKinds) : m_bTreeAndKinds(bTreeAndKinds)
{
    if (bTreeAndKinds)
    {
        const tcDTD* pKinds = doc.GetDTD();
        for (int i = 0; i < pKinds->GetNumElements(); ++i)
        {
            KindCopy copy;
            copy.pKind = pKinds->GetElement(i);
            copy.sName = copy.pKind->GetName();
            copy.nFlags = copy.pKind->GetFlags();
            for (int j = 0; j < copy.pKind->GetNumChildren(); ++j)
                copy.aRelations.push_back(*copy.pKind->GetChildElement(j));
            for (int j = 0; j < copy.pKind->GetNumAttributes(); ++j)
                copy.apAttributes.push_back(copy.pKind->GetAttribute(j));
            m_aKinds.push_back(std::move(copy));
        }
        m_nEntities = pKinds->GetNumEntities();
        m_pDictionary = doc.GetDictionary();
        std::vector<tcNode*> apLevels;
        if (m_pDictionary)
        {
            apLevels.push_back(doc.GetDictionary());
            for (tcNode* pSection : m_pDictionary->GetChildren())
                apLevels.push_back(pSection);
        }
        for (tcNode* pNode : apLevels)
        {
            NodeCopy copy;
            copy.pNode = pNode;
            copy.apChildren.assign(pNode->GetChildren().begin(), pNode->GetChildren().end());
            for (int i = 0; i < pNode->GetNumAttributes(); ++i)
            {
                const tcAttribute* pAttr = pNode->GetAttributeDescriptor(i);
                if (pNode->HasAttributeValue(pAttr))
                    copy.aValues.emplace_back(pAttr, pNode->GetAttributeS(pAttr));
                else
                    copy.aValues.emplace_back(pAttr, std::nullopt);
            }
            m_aNodes.push_back(std::move(copy));
        }
    }

    const auto always = [](const void*) { return true; };
    for (int i = 0; i < doc.GetNumStyleSets(); ++i)
    {
        const tcStyles* pSet = doc.GetStyleSet(i);
        m_apStyleSets.push_back(CopyStyleSet(*pSet, always, always));
        for (int j = 0; j < pSet->GetNumStyles(); ++j)
        {
            const tcStyle* pStyle = pSet->GetStyle(j);
            if (pStyle->GetType() == STYLE_ATTRIBUTE)
                NoteOwner(m_mapAttributeOwners, static_cast<const tcStyleAttribute*>(pStyle)->pAttribute);
        }
        const tcOrder* pOrder = pSet->GetOrder();
        for (int j = 0; j < pOrder->GetNumElements(); ++j)
        {
            const tcElementOrderItems* pItems = pOrder->GetOrderElementByIndex(j);
            for (int k = 0; k < pItems->GetNumOrderItems(); ++k)
            {
                const tcOrderItem* pItem = pItems->GetOrderItem(k);
                if (pItem->GetType() == ORDER_ATTRIBUTE)
                    NoteOwner(m_mapAttributeOwners, static_cast<const tcOrderAttribute*>(pItem)->GetAttribute());
            }
        }
    }
    m_nCurrentStyleSet = doc.GetCurrentStyleSet();

    const tcDTD* pDTD = doc.GetDTD();
    for (int i = 0; i < pDTD->GetNumLists(); ++i)
    {
        const tcAttrList* pList = pDTD->GetAttrList(i);
        ListCopy copy;
        copy.pList = pList;
        copy.sName = pList->GetName();
        copy.nID = pList->GetID();
        for (int j = 0; j < pList->GetNumItems(); ++j)
            copy.aItems.emplace_back(pList->GetItemID(j), pList->GetItemText(j));
        for (int j = 0; j < pList->GetNumLabelSets(); ++j)
        {
            const tcLabelSet* pSet = pList->GetLabelSet(j);
            ListCopy::LabelSet setCopy;
            setCopy.sName = pSet->GetName();
            for (int k = 0; k < pSet->GetNumLabels(); ++k)
                setCopy.aLabels.emplace_back(pSet->GetLabelIDFromIndex(k), pSet->GetLabelByIndex(k));
            copy.aLabelSets.push_back(std::move(setCopy));
        }
        m_aLists.push_back(std::move(copy));
    }
    m_nNextListID = pDTD->GetNextListID();
    for (int i = 0; i < pDTD->GetNumCrossRefTypes(); ++i)
    {
        const tcRefType* pType = pDTD->GetCrossRefTypeByIndex(i);
        m_aRefTypes.emplace_back(pType->GetID(), pType->GetName());
    }
    for (int i = 0; i < pDTD->GetNumRefLabelSets(); ++i)
    {
        const tcRefLabelSet* pSet = pDTD->GetRefLabelSet(i);
        RefLabelSetCopy copy;
        copy.sName = pSet->GetName();
        for (int j = 0; j < pSet->GetNumLabels(); ++j)
        {
            const tcRefLabelSet::Label* pLabel = pSet->GetLabel(j);
            copy.aLabels.push_back({pLabel->nID, pLabel->sLabelS, pLabel->sLabelP});
        }
        m_aRefLabelSets.push_back(std::move(copy));
    }
}

CXMLLoadSnapshot::~CXMLLoadSnapshot() = default;

void CXMLLoadSnapshot::RestoreTreeAndKinds(tcDocument& doc) const
{
    // New nodes first, so that deleting new kinds finds no node of theirs.
    if (doc.GetDictionary() == m_pDictionary)
    {
        for (const NodeCopy& copy : m_aNodes)
        {
            const std::vector<tcNode*> apNow = copy.pNode->GetChildren();
            for (tcNode* pChild : apNow)
            {
                if (!Holds(copy.apChildren, static_cast<const tcNode*>(pChild)))
                    doc.DeleteTreeFromMem(pChild);
            }
        }
    }
    tcDTD* pDTD = doc.GetDTD();
    for (int i = pDTD->GetNumElements() - 1; i >= 0; --i)
    {
        tcElement* pKind = pDTD->GetElement(i);
        if (std::none_of(m_aKinds.begin(), m_aKinds.end(),
                         [pKind](const KindCopy& copy) { return copy.pKind == pKind; }))
            pDTD->DeleteElement(pKind);
    }
    for (const KindCopy& copy : m_aKinds)
    {
        // A kind the load deleted (an unused one renamed to the entry kind) stays deleted.
        if (pDTD->GetElementIndex(copy.pKind) < 0)
            continue;
        tcElement* pKind = copy.pKind;
        for (int i = pKind->GetNumAttributes() - 1; i >= 0; --i)
        {
            if (!Holds(copy.apAttributes, static_cast<const tcAttribute*>(pKind->GetAttribute(i))))
                pKind->DeleteAttribute(i);
        }
        pKind->SetName(copy.sName);
        pKind->SetFlags(copy.nFlags);
        while (pKind->GetNumChildren() > 0)
            pKind->RemoveChildElement(pKind->GetNumChildren() - 1);
        for (const tcChildRelation& relation : copy.aRelations)
        {
            if (pDTD->GetElementIndex(relation.pElement) >= 0)
                pKind->AddChildElement(relation.pElement, relation.eConstraint, relation.nFlags);
        }
    }
    while (pDTD->GetNumEntities() > m_nEntities)
        pDTD->DeleteEntity(pDTD->GetNumEntities() - 1);
    if (doc.GetDictionary() != m_pDictionary)
        return;
    // Saved attributes are compared with the live ones, never followed, until known to be live.
    std::vector<const tcAttribute*> apLive;
    for (int i = 0; i < pDTD->GetNumElements(); ++i)
        for (int j = 0; j < pDTD->GetElement(i)->GetNumAttributes(); ++j)
            apLive.push_back(pDTD->GetElement(i)->GetAttribute(j));
    for (const NodeCopy& copy : m_aNodes)
    {
        for (int i = 0; i < copy.pNode->GetNumAttributes(); ++i)
            copy.pNode->ResetAttributeValue(copy.pNode->GetAttributeDescriptor(i));
        for (const auto& value : copy.aValues)
        {
            if (value.second && Holds(apLive, value.first))
                copy.pNode->SetAttributeS(value.first, *value.second);
        }
    }
}

void CXMLLoadSnapshot::Restore(tcDocument& doc) const
{
    if (m_bTreeAndKinds)
        RestoreTreeAndKinds(doc);
    tcDTD* pDTD = doc.GetDTD();
    // Pointers of the copies are compared with what the DTD holds now, never followed, until they
    // are known to be live.
    const ElementTest isLiveElement = [pDTD](const tcElement* pElement)
    { return pElement && pDTD->GetElementIndex(pElement) >= 0; };
    const AttributeTest isLiveAttribute = [&](const tcAttribute* pAttr)
    {
        auto it = m_mapAttributeOwners.find(pAttr);
        if (it == m_mapAttributeOwners.end() || !isLiveElement(it->second))
            return false;
        for (int i = 0; i < it->second->GetNumAttributes(); ++i)
            if (it->second->GetAttribute(i) == pAttr)
                return true;
        return false;
    };

    while (doc.GetNumStyleSets() > 0)
        doc.DeleteStyleSet(doc.GetNumStyleSets() - 1);
    for (const auto& pSet : m_apStyleSets)
        doc.AddStyleSet(CopyStyleSet(*pSet, isLiveElement, isLiveAttribute));
    doc.SetCurrentStyleSet(m_nCurrentStyleSet);

    // Lists the load added go (their attributes lose them); lists that were there get their
    // content back in place, so the attributes using them keep them.
    for (int i = pDTD->GetNumLists() - 1; i >= 0; --i)
    {
        const tcAttrList* pList = pDTD->GetAttrList(i);
        bool bKnown = false;
        for (const ListCopy& copy : m_aLists)
            bKnown = bKnown || copy.pList == pList;
        if (!bKnown)
            pDTD->DeleteList(i);
    }
    for (const ListCopy& copy : m_aLists)
    {
        tcAttrList* pList = nullptr;
        for (int i = 0; i < pDTD->GetNumLists() && !pList; ++i)
            if (pDTD->GetAttrList(i) == copy.pList)
                pList = pDTD->GetAttrList(i);
        if (!pList)
            pList = pDTD->AddAttrList(std::make_unique<tcAttrList>(copy.sName, copy.nID));
        pList->Destroy();
        pList->RenameList(copy.sName);
        pList->SetID(copy.nID);
        for (const auto& item : copy.aItems)
            pList->AddListItem(item.first, item.second, true);
        for (const ListCopy::LabelSet& setCopy : copy.aLabelSets)
        {
            tcLabelSet* pSet = pList->AddLabelSet(setCopy.sName);
            for (const auto& label : setCopy.aLabels)
                pSet->AddLabel(label.first, label.second);
        }
    }
    pDTD->SetNextListID(m_nNextListID);

    while (pDTD->GetNumCrossRefTypes() > 0)
        pDTD->DeleteCrossRefType(pDTD->GetCrossRefTypeByIndex(0)->GetID());
    for (const auto& type : m_aRefTypes)
        pDTD->AddCrossRefType(type.first, type.second);
    while (pDTD->GetNumRefLabelSets() > 0)
        pDTD->DeleteRefLabelSet(0);
    for (const RefLabelSetCopy& copy : m_aRefLabelSets)
    {
        tcRefLabelSet* pSet = pDTD->AddRefLabelSet(std::make_unique<tcRefLabelSet>(copy.sName));
        for (const RefLabelSetCopy::Label& label : copy.aLabels)
            pSet->AddLabel(label.nID, label.sLabelS, label.sLabelP);
    }
}
