// DTD, field designation, style, visibility and export routines of tDocRoutines.h.
#include "varnak/include/tDocRoutines.h"

#include "varnak/include/tAtomicFile.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tNotSupported.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcStyles.h"

#include <algorithm>

// ----- DTD ------------------------------------------------------------------------------------------

tcElement* CheckElementExists(tcDocument* pDoc, int nElementID)
{
    return pDoc ? pDoc->GetDTD()->GetElementByID(nElementID) : nullptr;
}

tcAttribute* CheckElementAndAttributeExist(tcDocument* pDoc, int nElementID, int nAttrID)
{
    const tcElement* pElement = CheckElementExists(pDoc, nElementID);
    return pElement ? pElement->FindAttributeByID(nAttrID) : nullptr;
}

tcAttribute* CheckElementAndAttributeExist(tcDocument* pDoc, const wxString& sElement, const wxString& sAttr)
{
    const tcElement* pElement = pDoc ? pDoc->GetDTD()->FindElementByName(sElement) : nullptr;
    return pElement ? pElement->FindAttributeByName(sAttr) : nullptr;
}

tcAttribute* tFindAttributeByName(const tcElement* pElement, const wxString& sName)
{
    for (int i = 0; pElement && i < pElement->GetNumAttributes(); ++i)
        if (pElement->GetAttribute(i)->GetName().IsSameAs(sName, false))
            return pElement->GetAttribute(i);
    return nullptr;
}

tcElement* tCreateElementType(tcDocument* pDoc, const wxString& sName, int eClass)
{
    if (!pDoc || sName.empty())
        return nullptr;
    if (tcElement* pElement = pDoc->GetDTD()->FindElementByName(sName))
        return pElement;
    return AddElement(pDoc, sName, eClass, -1, 0, true);
}

tcAttribute* tCreateAttribute2(tcDocument* pDoc, tcElement* pElement, const wxString& sName, int eType, int eDefault,
                               const wxString& sDefault)
{
    if (!pDoc || !pElement || sName.empty())
        return nullptr;
    if (tcAttribute* pAttr = pElement->FindAttributeByName(sName))
        return pAttr;
    return AddElementAttribute(pElement, sName, eType, eDefault, sDefault.empty() ? nullptr : sDefault.wc_str(), -1, 0,
                               true, true);
}

tcAttribute* InsertElementAttribute(tcElement* pElement, int nIndex, const wxString& sName, int eType, int eDefault)
{
    if (!pElement || sName.empty() || pElement->FindAttributeByName(sName))
        return nullptr;
    if (nIndex < 0 || nIndex > pElement->GetNumAttributes())
        nIndex = -1;
    return pElement->InsertAttribute(std::make_unique<tcAttribute>(sName, static_cast<teAttrType>(eType),
                                                                   static_cast<teDefaultType>(eDefault)),
                                     nIndex);
}

tcAttribute* AddElementListAttribute(tcDocument* pDoc, tcElement* pElement, const wxString& sName,
                                     const wxString& sListName, bool bMultiple)
{
    if (!pDoc || !pElement || sName.empty())
        return nullptr;
    if (tcAttribute* pAttr = pElement->FindAttributeByName(sName))
        return pAttr;
    tcAttribute* pAttr = AddElementAttribute(pElement, sName, bMultiple ? ATTR_LISTN : ATTR_LIST, ATTRDEF_IMPLIED,
                                             nullptr, -1, 0, true, true);
    const wxString sList = sListName.empty() ? pElement->GetName() + "_" + sName : sListName;
    pAttr->SetList(tEnsureListExists(pDoc->GetDTD(), sList));
    return pAttr;
}

tcAttribute* tCloneAttribute(tcElement* pTarget, const tcAttribute* pSource)
{
    if (!pTarget || !pSource)
        return nullptr;
    if (tcAttribute* pAttr = pTarget->FindAttributeByName(pSource->GetName()))
        return pAttr;
    tcAttribute* pAttr = pTarget->AddAttribute(pSource->GetName(), pSource->GetType(), pSource->GetDefaultType());
    pAttr->SetDefault(pSource->GetDefault());
    pAttr->SetFlags(pSource->GetFlags());
    // A list of another DTD cannot be shared: the target's list of the same name is used.
    if (const tcAttrList* pList = pSource->GetList())
        pAttr->SetList(pSource->GetOwnerElement()->GetDTD() == pTarget->GetDTD()
                           ? const_cast<tcAttrList*>(pList)
                           : tEnsureListExists(pTarget->GetDTD(), pList->GetName()));
    return pAttr;
}

bool tSetChildRelation(tcElement* pParent, tcElement* pChild, int eConstraint)
{
    if (!pParent || !pChild)
        return false;
    const auto eRelation = static_cast<teChildRelationConstraint>(eConstraint);
    if (pParent->SetChildRelationship(pChild->GetID(), eRelation))
        return true;
    return pParent->AddChildElement(pChild, eRelation);
}

bool tRemoveChildRelation(tcElement* pParent, tcElement* pChild)
{
    return pParent && pChild && pParent->RemoveChildElementByID(pChild->GetID());
}

bool tRenameElementType(tcDocument* pDoc, tcElement* pElement, const wxString& sName)
{
    if (!pElement || sName.empty())
        return false;
    const tcElement* pOther = pElement->GetDTD() ? pElement->GetDTD()->FindElementByName(sName) : nullptr;
    if (pOther && pOther != pElement)
        return false;
    pElement->SetName(sName);
    tDTDStructureHasChanged(pDoc, false, nullptr);
    Evt_ElementRenamed.Trigger(pElement, nullptr);
    return true;
}

tcRefType* tCreateCrossRefType(tcDocument* pDoc, const wxString& sName)
{
    if (!pDoc || sName.empty())
        return nullptr;
    if (tcRefType* pType = pDoc->GetDTD()->GetCrossRefTypeByName(sName))
        return pType;
    return pDoc->GetDTD()->AddNewRefType(sName);
}

bool tHasListItem(const tcAttrList* pList, const wxString& sText)
{
    return pList && pList->FindByText(sText) >= 0;
}

wxString tGetErrorText(int eParseError)
{
    static const wchar_t* const s_aszTexts[] = {
        L"Unknown error",
        L"Invalid tag name",
        L"Missing attribute name and equals sign",
        L"Missing attribute name",
        L"Missing equals sign",
        L"Missing attribute value",
        L"Missing quotation mark before attribute value",
        L"Missing quotation mark after attribute value",
        L"Quotation mark within attribute value",
        L"Attribute repeated",
        L"Invalid ID",
        L"Invalid reference",
        L"Unknown attribute",
        L"Invalid attribute value",
        L"Invalid end tag",
        L"Unescaped '<'",
        L"Unescaped '>'",
        L"Unescaped '/>'",
        L"Missing tag name",
        L"Unmatched end tag",
        L"Unmatched tag",
        L"Invalid fixed attribute value",
        L"Unescaped '</'",
    };
    if (eParseError < 0 || static_cast<size_t>(eParseError) >= std::size(s_aszTexts))
        return s_aszTexts[0];
    return s_aszTexts[eParseError];
}

// ----- Field designations ---------------------------------------------------------------------------

bool tHasDesc(const std::vector<tcAttributeDesc>& aDesc, int nElementID, int nAttrID)
{
    return std::find(aDesc.begin(), aDesc.end(), tcAttributeDesc{nElementID, nAttrID}) != aDesc.end();
}

bool tRemoveDesc(std::vector<tcAttributeDesc>& aDesc, int nElementID, int nAttrID)
{
    return std::erase(aDesc, tcAttributeDesc{nElementID, nAttrID}) > 0;
}

bool tIsFreqDesc(const tcLanguage* pSection, int nElementID, int nAttrID)
{
    return pSection && pSection->m_FreqDesc == tcAttributeDesc{nElementID, nAttrID};
}

bool tIsNotesField(const tcLanguage* pSection, int nElementID, int nAttrID)
{
    return pSection && tHasDesc(pSection->m_aNotesDesc, nElementID, nAttrID);
}

bool tIsSpecialElement(const tcDocument* pDoc, int eSpecial, int nElementID)
{
    const tcSpecialType* pSpecial = pDoc ? pDoc->FindSpecial(eSpecial) : nullptr;
    return pSpecial && pSpecial->IsSelected(nElementID);
}

// ----- Styles ---------------------------------------------------------------------------------------

namespace
{
const tcStyle* StyleOf(const tcStyles* pStyles, const tcElement* pElement, const tcAttribute* pAttr)
{
    if (!pStyles || !pElement)
        return nullptr;
    return pAttr ? static_cast<const tcStyle*>(pStyles->FindAttributeStyle(pElement, pAttr))
                 : static_cast<const tcStyle*>(pStyles->FindElementStyle(pElement));
}

std::unique_ptr<tcOrder> CopyOrder(const tcOrder& source)
{
    auto pOrder = std::make_unique<tcOrder>();
    for (int i = 0; i < source.GetNumElements(); ++i)
    {
        const tcElementOrderItems* pItems = source.GetOrderElementByIndex(i);
        for (int j = 0; j < pItems->GetNumOrderItems(); ++j)
        {
            const tcOrderItem* pItem = pItems->GetOrderItem(j);
            switch (pItem->GetType())
            {
            case ORDER_ELEMENT:
                pOrder->AddElementOrderChild(pItems->GetElement(), static_cast<const tcOrderElement*>(pItem)->GetElement(),
                                             pItem->IsVisible());
                break;
            case ORDER_ATTRIBUTE:
                pOrder->AddElementOrderAttribute(pItems->GetElement(),
                                                 static_cast<const tcOrderAttribute*>(pItem)->GetAttribute(),
                                                 pItem->IsVisible());
                break;
            case ORDER_PCDATA:
                pOrder->AddElementOrderPCDATA(pItems->GetElement(), pItem->IsVisible());
                break;
            }
        }
    }
    return pOrder;
}
} // namespace

wxString tGetColourF(const tcStyles* pStyles, const tcElement* pElement, const tcAttribute* pAttr)
{
    const tcStyle* pStyle = StyleOf(pStyles, pElement, pAttr);
    return pStyle ? pStyle->sColourF : wxString();
}

wxString tGetColourB(const tcStyles* pStyles, const tcElement* pElement, const tcAttribute* pAttr)
{
    const tcStyle* pStyle = StyleOf(pStyles, pElement, pAttr);
    return pStyle ? pStyle->sColourB : wxString();
}

void tStyleChanged(tcDocument* pDoc, void* pStyle)
{
    if (!pDoc)
        return;
    pDoc->m_bStylesChanged = true;
    Evt_StylesChanged.Trigger(pDoc, pStyle);
}

tcStyles* tCloneStyleSet(tcDocument* pDoc, const tcStyles* pSource, const wxString& sName)
{
    if (!pDoc || pDoc->GetStyleSetIndex(pSource) < 0)
        return nullptr;
    auto pSet = std::make_unique<tcStyles>(sName);
    for (int i = 0; i < pSource->GetNumStyles(); ++i)
    {
        const tcStyle* pStyle = pSource->GetStyle(i);
        if (pStyle->GetType() == STYLE_ELEMENT)
            pSet->AddStyle(std::make_unique<tcStyleElement>(*static_cast<const tcStyleElement*>(pStyle)));
        else
            pSet->AddStyle(std::make_unique<tcStyleAttribute>(*static_cast<const tcStyleAttribute*>(pStyle)));
    }
    pSet->SetOrder(CopyOrder(*pSource->GetOrder()));
    pDoc->m_bStylesChanged = true;
    return pDoc->AddStyleSet(std::move(pSet));
}

void tSetStyleOrderToDTDOrder(tcDocument* pDoc, tcStyles* pStyles)
{
    if (!pDoc || !pStyles)
        return;
    auto pOrder = std::make_unique<tcOrder>();
    const tcDTD* pDTD = pDoc->GetDTD();
    for (int i = 0; i < pDTD->GetNumElements(); ++i)
    {
        tcElement* pElement = pDTD->GetElement(i);
        for (int j = 0; j < pElement->GetNumChildren(); ++j)
            pOrder->AddElementOrderChild(pElement, pElement->GetChildElement(j)->pElement);
        for (int j = 0; j < pElement->GetNumAttributes(); ++j)
            pOrder->AddElementOrderAttribute(pElement, pElement->GetAttribute(j));
        if (pElement->AllowsPCDATA())
            pOrder->AddElementOrderPCDATA(pElement);
    }
    pStyles->SetOrder(std::move(pOrder));
    tStyleSetsChanged(pDoc, true, true);
}

bool tLoadColours(const wxString&)
{
    return false;
}

bool tSaveColours(const wxString&)
{
    return false;
}

void tMasksChanged(tcDocument*)
{
    throw tcNotSupported("tMasksChanged");
}

// ----- Visibility through the output order ----------------------------------------------------------

namespace
{
const tcOrder* CurrentOrder(const tcNode* pNode)
{
    return pNode && pNode->GetDoc() ? pNode->GetDoc()->GetCurrentOrder() : nullptr;
}
} // namespace

bool tIsVisible(const tcNode* pNode)
{
    return tIsVisible(pNode, CurrentOrder(pNode));
}

bool tIsVisible(const tcNode* pNode, const tcOrder* pOrder)
{
    if (!pNode)
        return false;
    const tcNode* pParent = pNode->GetParent();
    const tcElementOrderItems* pItems =
        pOrder && pParent ? pOrder->GetOrderElement(pParent->GetElement()) : nullptr;
    if (!pItems)
        return true;
    int nIndex = -1;
    if (pNode->IsClass(NODE_TEXTNODE) || pNode->IsClass(NODE_CDATA))
        nIndex = pItems->FindIndexPCDATA();
    else if (pNode->GetElement())
        nIndex = pItems->FindIndexElement(pNode->GetElement());
    return nIndex >= 0 && pItems->GetOrderItem(nIndex)->IsVisible();
}

bool tIsAttributeVisible(const tcNode* pNode, const tcAttribute* pAttr)
{
    return tIsAttributeVisible(pNode, pAttr, CurrentOrder(pNode));
}

bool tIsAttributeVisible(const tcNode* pNode, const tcAttribute* pAttr, const tcOrder* pOrder)
{
    if (!pNode || !pAttr)
        return false;
    const tcElementOrderItems* pItems = pOrder ? pOrder->GetOrderElement(pNode->GetElement()) : nullptr;
    if (!pItems)
        return true;
    const int nIndex = pItems->FindIndexAttribute(pAttr);
    return nIndex >= 0 && pItems->GetOrderItem(nIndex)->IsVisible();
}

bool tHasVisibleAttributes(const tcNode* pNode)
{
    for (int i = 0; pNode && i < pNode->GetNumAttributes(); ++i)
    {
        const tcAttribute* pAttr = pNode->GetAttributeDescriptor(i);
        if (!pNode->GetAttributeS(pAttr).empty() && tIsAttributeVisible(pNode, pAttr))
            return true;
    }
    return false;
}

tcNode* tGetNextVisibleSibling(const tcNode* pNode)
{
    for (tcNode* p = pNode ? pNode->GetNext() : nullptr; p; p = p->GetNext())
        if (tIsVisible(p))
            return p;
    return nullptr;
}

tcNode* tGetPreviousVisibleSibling(const tcNode* pNode)
{
    for (tcNode* p = pNode ? pNode->GetPrevious() : nullptr; p; p = p->GetPrevious())
        if (tIsVisible(p))
            return p;
    return nullptr;
}

bool tIsMasked(const tcNode*)
{
    return false;
}

tcNode* tGetNextMaskedSibling(const tcNode*)
{
    return nullptr;
}

tcNode* tGetPreviousMaskedSibling(const tcNode*)
{
    return nullptr;
}

tcNode* tGetNextUnmaskedSibling(const tcNode* pNode)
{
    return pNode ? pNode->GetNext() : nullptr;
}

tcNode* tGetPreviousUnmaskedSibling(const tcNode* pNode)
{
    return pNode ? pNode->GetPrevious() : nullptr;
}

// ----- Auto-numbering and export (not supported) ----------------------------------------------------

void CalculateAutoNumbering(tcDocument*)
{
    throw tcNotSupported("CalculateAutoNumbering");
}

void CalculateAutoNumberingForElement(tcDocument*, tcElement*)
{
    throw tcNotSupported("CalculateAutoNumberingForElement");
}

void tFixAutoNumbering(tcDocument*)
{
    throw tcNotSupported("tFixAutoNumbering");
}

void tFixAutoNumbering(tcNode*)
{
    throw tcNotSupported("tFixAutoNumbering");
}

wxString tGetAutoNumberString(const tcNode*, const tcAttribute*)
{
    return wxString();
}

wxString tGetAutoNumberStringOverrideNumber(const tcNode*, const tcAttribute*, int)
{
    return wxString();
}

wxString tGetAutoNumbersString(const tcNode*)
{
    return wxString();
}

wxString AutoNumberHelper_GetString(int, int)
{
    return wxString();
}

tcExportInfo* tGetExportInfo()
{
    return nullptr;
}

void Test_ExportRTF(tcDocument*, const wxString&)
{
    throw tcNotSupported("Test_ExportRTF");
}

void Test_ExportHTML(tcDocument*, const wxString&)
{
    throw tcNotSupported("Test_ExportHTML");
}

bool Test_ExportXML(tcDocument* pDoc, const wxString& sPath)
{
    const tcDictionary* pRoot = pDoc ? pDoc->GetDictionary() : nullptr;
    return pRoot && tWriteFileAtomically(sPath, tToUTF8(pRoot->GenerateXML()));
}

// ----- Further forms for scripts --------------------------------------------------------------------

bool tChangeAttributeType(tcDocument* pDoc, tcElement* pElement, tcAttribute* pAttr, int eNewType)
{
    return tChangeAttributeType(pDoc, pElement, pAttr, eNewType, wxString());
}

tcStyleAttribute* tAddStyleAttribute(tcDocument* pDoc, int nElementID, int nAttrID, const wxString& sFont, float fSize,
                                     int nB, int nI, int nU, int nSup, int nSub, const wxString& sBeforeI,
                                     const wxString& sAfterI, const wxString& sBeforeO, const wxString& sAfterO,
                                     const wxString& sColourF, const wxString& sColourB, const wxString& sBeforeG,
                                     const wxString& sAfterG, const wxString& sBetween)
{
    tcElement* pElement = CheckElementExists(pDoc, nElementID);
    tcAttribute* pAttr = pElement ? pElement->FindAttributeByID(nAttrID) : nullptr;
    if (!pAttr)
        return nullptr;
    return tAddStyleAttribute(pDoc, pElement, pAttr, sFont, fSize, nB, nI, nU, nSup, nSub, sBeforeI, sAfterI, sBeforeO,
                              sAfterO, sColourF, sColourB, sBeforeG, sAfterG, sBetween);
}
