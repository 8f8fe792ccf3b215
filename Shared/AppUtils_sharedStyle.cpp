#include "Shared/AppUtils_sharedStyle.h"

#include "Shared/AppUtils_shared.h"
#include "Shared/Options.h"
#include "varnak/include/VarnakConst.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcNode.h"
#include "varnak/include/tcStyles.h"
#include "varnak/include/tcThreads.h"

bool g_bInRequestLoad = false;

namespace
{

// Parent lookups stop after this many steps, so a DTD whose kinds list each other ends the walk.
const int MAX_PARENT_STEPS = 10;
const wchar_t* const REENTRY_WARNING = L"tRequestLoad[All] re-entry occurred in tRequestLoad";

// The style of one kind (nAttrID < 0) or of one of its attributes in g_pDoc's DTD; null when any
// part is missing.
const tcStyle* FindStyle(const tcStyles* pStyles, int nElementID, int nAttrID)
{
    if (!pStyles || !g_pDoc)
        return nullptr;
    const tcElement* pElement = g_pDoc->GetDTD()->GetElementByID(nElementID);
    if (!pElement)
        return nullptr;
    if (nAttrID < 0)
        return pStyles->FindElementStyle(pElement);
    const tcAttribute* pAttr = pElement->FindAttributeByID(nAttrID);
    return pAttr ? pStyles->FindAttributeStyle(pElement, pAttr) : nullptr;
}

bool FontInstalled(const wxString& sFace)
{
    if (sFace.empty())
        return false;
    const tFontExistsFn pfnExists = tGetFontExistsCheck();
    return !pfnExists || pfnExists(sFace);
}

// Sets g_bInRequestLoad for one load and clears it however the load ends.
class RequestLoadScope
{
public:
    RequestLoadScope() { g_bInRequestLoad = true; }
    ~RequestLoadScope() { g_bInRequestLoad = false; }
    RequestLoadScope(const RequestLoadScope&) = delete;
    RequestLoadScope& operator=(const RequestLoadScope&) = delete;

private:
    tcBackgroundProcessingLocker m_locker;
};

// One guarded LoadEntry; false (with a warning) when another load runs.
bool GuardedLoadEntry(tcIO* pIO, tcNode* pNode, bool bForce, bool& bError)
{
    bError = false;
    if (g_bInRequestLoad)
    {
        kvLogVisibleWarning(REENTRY_WARNING);
        bError = true;
        return false;
    }
    RequestLoadScope scope;
    return pIO->LoadEntry(pNode, bError, bForce);
}

// Applies fnChange to every child item of pChild in the order of pParent (null: every kind), then
// announces the change.
template <typename Change>
void ChangeElementItems(const tcElement* pParent, const tcElement* pChild, tcDocument* pDoc, void* pSender,
                        Change fnChange)
{
    tcOrder* pOrder = pDoc ? pDoc->GetCurrentOrder() : nullptr;
    if (!pOrder)
        return;
    for (int i = 0; i < pOrder->GetNumElements(); ++i)
    {
        tcElementOrderItems* pItems = pOrder->GetOrderElementByIndex(i);
        if (pParent && pItems->GetElement() != pParent)
            continue;
        for (int j = 0; j < pItems->GetNumOrderItems(); ++j)
        {
            tcOrderItem* pItem = pItems->GetOrderItem(j);
            if (pItem->GetType() == ORDER_ELEMENT && static_cast<tcOrderElement*>(pItem)->GetElement() == pChild)
                fnChange(pItem);
        }
    }
    tStyleSetsChanged(pDoc, true, false);
    if (pSender)
        Evt_OutputOrderChanged.Trigger(pSender, nullptr);
}

} // namespace

// ----- Style lookups --------------------------------------------------------------------------------

std::string GetStyleColourHelper(tcStyles* pStyles, int nElementID, int nAttrID, bool bForeground)
{
    const tcStyle* pStyle = FindStyle(pStyles, nElementID, nAttrID);
    if (!pStyle)
        return std::string();
    const wxString& sColour = bForeground ? pStyle->sColourF : pStyle->sColourB;
    return sColour.length() == 6 ? tToUTF8(sColour) : std::string();
}

std::string GetStyleColour(tcStyles* pStyles, int nElementID, int nAttrID, const std::string& sFallback,
                           bool bForeground)
{
    if (!pStyles)
        return std::string();
    std::string sColour = GetStyleColourHelper(pStyles, nElementID, nAttrID, bForeground);
    if (sColour.empty() && nAttrID >= 0)
        sColour = GetStyleColourHelper(pStyles, nElementID, -1, bForeground);
    int nLastID = nElementID;
    for (int nStep = 0; sColour.empty() && nStep < MAX_PARENT_STEPS; ++nStep)
    {
        const int nParentID = GetParentID(nLastID); // -1 also without g_pDoc
        if (nParentID < 0)
            break;
        nLastID = nParentID;
        sColour = GetStyleColourHelper(pStyles, nLastID, nAttrID, bForeground);
    }
    if (sColour.empty() && nLastID != ELEMENTID_ENTRY)
        sColour = GetStyleColourHelper(pStyles, ELEMENTID_ENTRY, -1, bForeground);
    return sColour.empty() ? sFallback : sColour;
}

std::string GetStyleFontHelper(tcStyles* pStyles, int nElementID, int nAttrID)
{
    const tcStyle* pStyle = FindStyle(pStyles, nElementID, nAttrID);
    return pStyle && FontInstalled(pStyle->sFont) ? tToUTF8(pStyle->sFont) : std::string();
}

std::string GetStyleFont(tcStyles* pStyles, int nElementID, int nAttrID)
{
    // A kind the DTD does not have gets no font at all, not even the entry kind's.
    if (!g_pDoc || !g_pDoc->GetDTD()->GetElementByID(nElementID))
        return "Arial";
    std::string sFont = GetStyleFontHelper(pStyles, nElementID, nAttrID);
    if (sFont.empty() && nAttrID >= 0)
        sFont = GetStyleFontHelper(pStyles, nElementID, -1);
    if (sFont.empty() && nElementID != ELEMENTID_ENTRY)
        sFont = GetStyleFontHelper(pStyles, ELEMENTID_ENTRY, -1);
    return sFont.empty() ? std::string("Arial") : sFont;
}

// ----- Output-order visibility ----------------------------------------------------------------------

void tSetAttributeStyleVisibility(tcElement* pElement, tcAttribute* pAttr, tcDocument* pDoc, bool bVisible,
                                  void* pSender)
{
    tcOrder* pOrder = pDoc ? pDoc->GetCurrentOrder() : nullptr;
    if (!pOrder)
        return;
    if (tcElementOrderItems* pItems = pOrder->GetOrderElement(pElement))
    {
        for (int i = 0; i < pItems->GetNumOrderItems(); ++i)
        {
            tcOrderItem* pItem = pItems->GetOrderItem(i);
            if (pItem->GetType() == ORDER_ATTRIBUTE && static_cast<tcOrderAttribute*>(pItem)->GetAttribute() == pAttr)
                pItem->SetVisible(bVisible);
        }
    }
    tStyleSetsChanged(pDoc, true, false);
    if (pSender)
        Evt_OutputOrderChanged.Trigger(pSender, nullptr);
}

void tSetElementStyleVisibility(tcElement* pElement, tcDocument* pDoc, bool bVisible, void* pSender)
{
    ChangeElementItems(nullptr, pElement, pDoc, pSender, [bVisible](tcOrderItem* pItem) { pItem->SetVisible(bVisible); });
}

void tSetElementStyleVisibility(tcElement* pParent, tcElement* pChild, tcDocument* pDoc, bool bVisible, void* pSender)
{
    // Without a parent there is no parent's order to change (a null parent must not widen the
    // change to every kind).
    if (!pParent)
        return;
    ChangeElementItems(pParent, pChild, pDoc, pSender, [bVisible](tcOrderItem* pItem) { pItem->SetVisible(bVisible); });
}

void tToggleElementStyleVisibility(tcElement* pElement, tcDocument* pDoc, void* pSender)
{
    ChangeElementItems(nullptr, pElement, pDoc, pSender,
                       [](tcOrderItem* pItem) { pItem->SetVisible(!pItem->IsVisible()); });
}

// ----- Attributes and on-demand loading -------------------------------------------------------------

wxString tGetAttributeAsStringByName(tcNode* pNode, const wxString& sName)
{
    if (!pNode)
        return wxString();
    if (pNode->GetElementTypeID() == ELEMENTID_ENTRY)
    {
        if (tcIO* pIO = tApp()->GetCurrentIO())
        {
            bool bError = false;
            GuardedLoadEntry(pIO, pNode, true, bError); // the value is read whether or not it loaded
        }
    }
    for (int i = 0; i < pNode->GetNumAttributes(); ++i)
    {
        const tcAttribute* pAttr = pNode->GetAttributeDescriptor(i);
        if (pAttr && teStrcmp(pAttr->GetName(), sName) == 0)
            return pNode->GetAttributeDeprecatedAsStringByIndex(i);
    }
    return wxString();
}

bool tRequestLoad(tcNode* pNode)
{
    if (!pNode)
        return false;
    tcIO* pIO = tApp()->GetCurrentIO();
    if (!pIO)
        return true;
    bool bError = false;
    const bool bLoaded = GuardedLoadEntry(pIO, pNode, true, bError);
    return bLoaded && !bError;
}

bool tRequestLoadSafe(tcNode* pNode)
{
    if (!pNode)
        return false;
    tcIO* pIO = tApp()->GetCurrentIO();
    if (!pIO)
        return true;
    for (const tcSection& section : tApp()->aSections)
    {
        if (section.pSelectedEntry && static_cast<const tcNode*>(section.pSelectedEntry) == pNode)
            return true;
    }
    if (g_bInRequestLoad)
    {
        kvLogVisibleWarning(REENTRY_WARNING);
        return false;
    }
    bool bError = false;
    const bool bLoaded = GuardedLoadEntry(pIO, pNode, false, bError);
    if (bError)
    {
        kvLogVisibleWarning(L"Entry invalidated inside 'tRequestLoadSafe' - This is dangerous and should not happen, "
                            L"please notify an administrator immediately");
        return false;
    }
    return bLoaded;
}

int tRequestLoadAll(tcLanguage* pSection, bool bFlag, tcNode* pNode, bool& bResult)
{
    tcIO* pIO = tApp()->GetCurrentIO();
    if (!pIO)
        return 1;
    if (g_bInRequestLoad)
    {
        kvLogVisibleWarning(L"tRequestLoad[All] re-entry occurred");
        return -1;
    }
    bool bError = false;
    bool bLoaded = false;
    {
        RequestLoadScope scope;
        bLoaded = pIO->LoadAll(pSection, bFlag, pNode, bError, bResult);
    }
    if (bError)
        return 0;
    return bLoaded ? 1 : -1;
}
