#include "varnak/include/tDTDHelpers.h"

#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcStyles.h"

namespace
{
bool IsListType(int eType)
{
    return eType == ATTR_LIST || eType == ATTR_LISTN || eType == ATTR_LISTNS;
}

wxString DefaultListName(const tcElement* pElement, const tcAttribute* pAttr)
{
    return pElement->GetName() + "_" + pAttr->GetName();
}

void ApplyStyleSettings(tcStyle* pStyle, const wxString& sFont, float fSize, int nB, int nI, int nU, int nSup, int nSub,
                        const wxString& sBeforeI, const wxString& sAfterI, const wxString& sBeforeO,
                        const wxString& sAfterO, const wxString& sColourF, const wxString& sColourB,
                        const wxString& sBeforeG, const wxString& sAfterG, const wxString& sBetween)
{
    pStyle->sFont = sFont;
    pStyle->fSize = fSize;
    pStyle->nB = nB;
    pStyle->nI = nI;
    pStyle->nU = nU;
    pStyle->nSup = nSup;
    pStyle->nSub = nSub;
    pStyle->sBeforeI = sBeforeI;
    pStyle->sAfterI = sAfterI;
    pStyle->sBeforeO = sBeforeO;
    pStyle->sAfterO = sAfterO;
    pStyle->sColourF = sColourF;
    pStyle->sColourB = sColourB;
    pStyle->sBeforeG = sBeforeG;
    pStyle->sAfterG = sAfterG;
    pStyle->sBetween = sBetween;
}
} // namespace

tcElement* AddElement(tcDocument* pDoc, const wxString& sName, int eClass, int nID, int nFlags, bool bNotify,
                      tcDTD* pDTD)
{
    if (!pDTD)
        pDTD = pDoc ? pDoc->GetDTD() : nullptr;
    if (!pDTD)
        return nullptr;
    tcElement* pElement = pDTD->AddElement(std::make_unique<tcElement>(sName, nID, static_cast<teNodeClass>(eClass)));
    pElement->SetFlags(nFlags);
    if (bNotify)
        Evt_ElementAdded.Trigger(pDoc, pElement);
    return pElement;
}

bool AddElementChild(tcElement* pParent, tcElement* pChild, int eConstraint, int nFlags)
{
    return pParent && pParent->AddChildElement(pChild, static_cast<teChildRelationConstraint>(eConstraint), nFlags);
}

tcAttribute* AddElementAttribute(tcElement* pElement, const wxString& sName, int eType, int eDefault,
                                 const wchar_t* szDefault, int nID, int nFlags, bool bNotify, bool bAddToOrders)
{
    if (!pElement)
        return nullptr;
    tcAttribute* pAttr =
        pElement->AddAttribute(sName, static_cast<teAttrType>(eType), static_cast<teDefaultType>(eDefault), nID);
    if (szDefault)
        pAttr->SetDefault(szDefault);
    pAttr->SetFlags(nFlags);
    tcDocument* pDoc = pElement->GetDTD() ? pElement->GetDTD()->GetDocument() : nullptr;
    if (bAddToOrders && pDoc)
        for (int i = 0; i < pDoc->GetNumStyleSets(); ++i)
            pDoc->GetStyleSet(i)->GetOrder()->AddElementOrderAttribute(pElement, pAttr, true);
    if (bNotify)
        Evt_ElementAttributesChanged.Trigger(pElement, pAttr);
    return pAttr;
}

tcAttribute* tCreateAttribute(tcDocument*, tcElement* pElement, const wxString& sName, int eDefault, int eType,
                              bool bCreateList, int nFlags)
{
    if (!pElement)
        return nullptr;
    if (tcAttribute* pExisting = pElement->FindAttributeByName(sName))
        return pExisting;
    tcAttribute* pAttr =
        pElement->AddAttribute(sName, static_cast<teAttrType>(eType), static_cast<teDefaultType>(eDefault));
    pAttr->SetFlags(nFlags);
    if (bCreateList && IsListType(eType))
        pAttr->SetList(tEnsureListExists(pElement->GetDTD(), DefaultListName(pElement, pAttr)));
    return pAttr;
}

tcElement* tEnsureElementExists(tcDocument* pDoc, const wxString& sName, tcElement* pParent, bool bNotify,
                                int eConstraint)
{
    if (!pDoc || sName.empty())
        return nullptr;
    tcDTD* pDTD = pDoc->GetDTD();
    tcElement* pElement = pDTD->FindElementByName(sName);
    if (!pElement)
        pElement = AddElement(pDoc, sName, NODE_NODE, pDTD->AssignTypeID(), 0, bNotify);
    if (pParent && pParent->GetDTD() == pDTD && !pParent->FindChildByID(pElement->GetID()))
        pParent->AddChildElement(pElement, static_cast<teChildRelationConstraint>(eConstraint));
    return pElement;
}

bool tEnsureElementAllowsPCDATA(tcDocument*, tcElement* pElement)
{
    if (!pElement || pElement->AllowsPCDATA())
        return false;
    pElement->SetAllowPCDATA(true);
    return true;
}

bool tChangeAttributeType(tcDocument* pDoc, tcElement* pElement, tcAttribute* pAttr, int eNewType,
                          const wxString& sListName)
{
    if (!pElement || !pAttr || pAttr->GetOwnerElement() != pElement)
        return false;
    pAttr->SetType(static_cast<teAttrType>(eNewType));
    if (!IsListType(eNewType))
        return true;
    tcAttrList* pList = pAttr->GetList();
    if (!pList)
    {
        pList = tEnsureListExists(pElement->GetDTD(), sListName.empty() ? DefaultListName(pElement, pAttr) : sListName);
        pAttr->SetList(pList);
    }
    if (!pList || !pDoc || !pDoc->GetDictionary())
        return true;
    std::vector<tcNode*> apNodes{pDoc->GetDictionary()};
    pDoc->GetDictionary()->GetAllDescendants(apNodes);
    for (const tcNode* pNode : apNodes)
    {
        if (pNode->GetElement() != pElement)
            continue;
        const wxString sValue = pNode->GetAttributeS(pAttr);
        if (!sValue.empty())
            Helper_AddListItemIfNotAlreadyInList(pElement->GetDTD(), pList, sValue);
    }
    return true;
}

bool DeleteElementHelper(tcDocument* pDoc, int nElementID)
{
    if (!pDoc)
        return false;
    tcElement* pElement = pDoc->GetDTD()->GetElementByID(nElementID);
    return pElement && pDoc->GetDTD()->DeleteElement(pElement);
}

bool DeleteAttributeHelper(tcDocument*, tcElement* pElement, tcAttribute* pAttr)
{
    if (!pElement || !pAttr || pAttr->GetOwnerElement() != pElement)
        return false;
    return pElement->DeleteAttribute(pAttr->GetAttributeIndex());
}

tcAttrList* tEnsureListExists(tcDTD* pDTD, const wxString& sName)
{
    if (!pDTD || sName.empty())
        return nullptr;
    if (tcAttrList* pList = pDTD->FindListByName(sName))
        return pList;
    return pDTD->AddAttrList(std::make_unique<tcAttrList>(sName, pDTD->AssignListID()));
}

int Helper_AddListItem(tcDTD*, tcAttrList* pList, const wxString& sText)
{
    return pList ? pList->AddListItem(-1, sText, false) : -1;
}

int Helper_AddListItemIfNotAlreadyInList(tcDTD* pDTD, tcAttrList* pList, const wxString& sText)
{
    if (!pList)
        return -1;
    const int nIndex = pList->FindByText(sText);
    return nIndex >= 0 ? pList->GetItemID(nIndex) : Helper_AddListItem(pDTD, pList, sText);
}

void tDTDStructureHasChanged(tcDocument* pDoc, bool bNotify, void* pSender)
{
    if (!pDoc)
        return;
    pDoc->m_bDTDChanged = true;
    if (bNotify)
        Evt_DTDStructureHasChanged.Trigger(pDoc, pSender);
}

void tStyleSetsChanged(tcDocument* pDoc, bool bNotify, bool)
{
    if (!pDoc)
        return;
    pDoc->m_bStylesChanged = true;
    if (bNotify)
        Evt_StylesChanged.Trigger(pDoc, nullptr);
}

tcAttribute* CheckAttributeExists(tcElement* pElement, int nAttrID, int eType)
{
    tcAttribute* pAttr = pElement ? pElement->FindAttributeByID(nAttrID) : nullptr;
    if (pAttr && eType >= 0 && pAttr->GetType() != eType)
        return nullptr;
    return pAttr;
}

tcStyleElement* tAddStyleElement(tcDocument* pDoc, tcElement* pElement, const wxString& sFont, float fSize, int nB,
                                 int nI, int nU, int nSup, int nSub, const wxString& sBeforeI, const wxString& sAfterI,
                                 const wxString& sBeforeO, const wxString& sAfterO, const wxString& sColourF,
                                 const wxString& sColourB, const wxString& sBeforeG, const wxString& sAfterG,
                                 const wxString& sBetween)
{
    if (!pDoc || !pElement)
        return nullptr;
    for (int i = 0; i < pDoc->GetNumStyleSets(); ++i)
    {
        tcStyles* pStyles = pDoc->GetStyleSet(i);
        tcStyle* pStyle = pStyles->FindElementStyle(pElement);
        if (!pStyle)
            pStyle = pStyles->AddStyle(std::make_unique<tcStyleElement>(pElement));
        ApplyStyleSettings(pStyle, sFont, fSize, nB, nI, nU, nSup, nSub, sBeforeI, sAfterI, sBeforeO, sAfterO, sColourF,
                           sColourB, sBeforeG, sAfterG, sBetween);
    }
    const tcStyles* pCurrent = pDoc->GetCurrentStyles();
    return pCurrent ? pCurrent->FindElementStyle(pElement) : nullptr;
}

tcStyleAttribute* tAddStyleAttribute(tcDocument* pDoc, tcElement* pElement, tcAttribute* pAttr, const wxString& sFont,
                                     float fSize, int nB, int nI, int nU, int nSup, int nSub, const wxString& sBeforeI,
                                     const wxString& sAfterI, const wxString& sBeforeO, const wxString& sAfterO,
                                     const wxString& sColourF, const wxString& sColourB, const wxString& sBeforeG,
                                     const wxString& sAfterG, const wxString& sBetween)
{
    if (!pDoc || !pElement || !pAttr)
        return nullptr;
    for (int i = 0; i < pDoc->GetNumStyleSets(); ++i)
    {
        tcStyles* pStyles = pDoc->GetStyleSet(i);
        tcStyle* pStyle = pStyles->FindAttributeStyle(pElement, pAttr);
        if (!pStyle)
            pStyle = pStyles->AddStyle(std::make_unique<tcStyleAttribute>(pElement, pAttr));
        ApplyStyleSettings(pStyle, sFont, fSize, nB, nI, nU, nSup, nSub, sBeforeI, sAfterI, sBeforeO, sAfterO, sColourF,
                           sColourB, sBeforeG, sAfterG, sBetween);
    }
    const tcStyles* pCurrent = pDoc->GetCurrentStyles();
    return pCurrent ? pCurrent->FindAttributeStyle(pElement, pAttr) : nullptr;
}
