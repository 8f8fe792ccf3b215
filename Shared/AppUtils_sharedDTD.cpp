// The DTD routines of AppUtils_shared.h.
#include "Shared/AppUtils_shared.h"

#include "varnak/include/VarnakConst.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcStyles.h"

#include <array>

namespace
{
const int ENTRY_ELEMENT_ID = 4;
const int SECTION_ELEMENT_ID = 2;

// Localisation keys of the attribute default kinds, indexed by ATTRDEF_VALUE .. ATTRDEF_HYPERLINK.
const std::array<const char*, ATTRDEF_MAX> kDefaultTypeKeys = {
    "DTD_ATTRIBUTE_TYPE_NORMAL",      "DTD_ATTRIBUTE_TYPE_REQUIRED",    "DTD_ATTRIBUTE_TYPE_OPTIONAL",
    "DTD_ATTRIBUTE_TYPE_FIXED",       "DTD_ATTRIBUTE_TYPE_AUTONUMBER",  "DTD_ATTRIBUTE_TYPE_SOUND",
    "DTD_ATTRIBUTE_TYPE_IMAGE",       "DTD_ATTRIBUTE_TYPE_VIDEO",       "DTD_ATTRIBUTE_TYPE_USERCREATED",
    "DTD_ATTRIBUTE_TYPE_USERCHANGED", "DTD_ATTRIBUTE_TYPE_DATECREATED", "DTD_ATTRIBUTE_TYPE_DATECHANGED",
    "DTD_ATTRIBUTE_TYPE_HYPERLINK",
};

// An attribute of the default DTD: implied text, no default value.
tcAttribute* AddImpliedAttribute(tcElement* pElement, const wchar_t* szName, int eType, int nID, int nFlags)
{
    return AddElementAttribute(pElement, szName, eType, ATTRDEF_IMPLIED, nullptr, nID, nFlags, true, true);
}

// The attribute style of a change stamp: small grey text in brackets.
void AddStampStyle(tcDocument* pDoc, tcElement* pEntry, tcAttribute* pAttr, int nItalics)
{
    tAddStyleAttribute(pDoc, pEntry, pAttr, "", 9, STYLE_INHERIT, nItalics, STYLE_INHERIT, STYLE_INHERIT, STYLE_INHERIT,
                       " [", "]", "", "", "808080", "", "", "", "");
}
} // namespace

tcElement* tAddElement(tcDocument* pDoc, const wxString& sName, bool bNotify)
{
    if (!pDoc || sName.empty())
        return nullptr;
    tcDTD* pDTD = pDoc->GetDTD();
    if (tcElement* pExisting = pDTD->FindElementByName(sName))
        return pExisting;
    tcElement* pElement = AddElement(pDoc, sName, NODE_NODE, pDTD->AssignTypeID(), 0, false, nullptr);
    if (!pElement)
        return nullptr;
    tAddStyleElement(pDoc, pElement, "", STYLE_INHERIT, STYLE_INHERIT, STYLE_INHERIT, STYLE_INHERIT, STYLE_INHERIT,
                     STYLE_INHERIT, "", "", "", "", "", "", "", "", ",");
    tDTDStructureHasChanged(pDoc, bNotify, nullptr);
    return pElement;
}

void tCreateDefaultDTDMendrasi(tcDocument* pDoc)
{
    if (!pDoc)
        return;
    tcDTD* pDTD = pDoc->GetDTD();
    for (int nID : {1, SECTION_ELEMENT_ID, ENTRY_ELEMENT_ID})
    {
        if (pDTD->GetElementByID(nID))
        {
            kvLog(L"tCreateDefaultDTDMendrasi: the DTD already declares element %d; nothing was created", nID);
            return;
        }
    }

    pDoc->AddStyleSet("Default styles");

    tcElement* pDatabase = AddElement(pDoc, "Database", NODE_DICTIONARY, 1, 15, false, nullptr);
    tcElement* pSection = AddElement(pDoc, "Section", NODE_SECTION, SECTION_ELEMENT_ID, 15, false, nullptr);
    tcElement* pEntry = AddElement(pDoc, "Entry", NODE_ENTRY, ENTRY_ELEMENT_ID, 3, false, nullptr);
    if (!pDatabase || !pSection || !pEntry)
        return;

    AddElementChild(pDatabase, pSection, CHILD_ONEORMORE, 1);
    AddElementChild(pSection, pEntry, CHILD_ZEROORMORE, 1);

    tcAttribute* pName =
        AddElementAttribute(pEntry, "Name", ATTR_CDATA, ATTRDEF_IMPLIED, L"", 1, ATTRFLAG_READONLY, true, true);
    AddImpliedAttribute(pDatabase, L"Name", ATTR_CDATA, 1, 1);
    AddImpliedAttribute(pDatabase, L"Description", ATTR_CDATA, 2, 1);
    AddImpliedAttribute(pDatabase, L"CreatedBy", ATTR_CDATA, 3, 1);
    AddImpliedAttribute(pDatabase, L"Copyright", ATTR_CDATA, 4, 1);
    AddImpliedAttribute(pDatabase, L"URL", ATTR_CDATA, 5, 1);
    AddImpliedAttribute(pDatabase, L"SoundPath", ATTR_CDATA, 8, 1);
    AddImpliedAttribute(pSection, L"Name", ATTR_CDATA, 1, 1);
    AddImpliedAttribute(pSection, L"Options", ATTR_NDATA, 2, 1);
    tcAttribute* pModified = AddElementAttribute(pEntry, "Modified", ATTR_CDATA, ATTRDEF_DATECHANGED, nullptr,
                                                 pEntry->GetNextAttributeID(), 0, true, true);
    tcAttribute* pCreated = AddElementAttribute(pEntry, "Created", ATTR_CDATA, ATTRDEF_DATECREATED, nullptr,
                                                pEntry->GetNextAttributeID(), 0, true, true);

    tAddStyleElement(pDoc, pEntry, "Arial", 10, STYLE_INHERIT, STYLE_INHERIT, STYLE_INHERIT, STYLE_INHERIT,
                     STYLE_INHERIT, "", "", "", "", "000000", "FFFFFF", "", "", "");
    tAddStyleAttribute(pDoc, pEntry, pName, "", STYLE_INHERIT, STYLE_ON, STYLE_INHERIT, STYLE_INHERIT, STYLE_INHERIT,
                       STYLE_INHERIT, "", "", "", "", "000080", "", "", "", "");
    AddStampStyle(pDoc, pEntry, pModified, STYLE_INHERIT);
    AddStampStyle(pDoc, pEntry, pCreated, STYLE_ON);

    for (int i = 0; i < pDoc->GetNumStyleSets(); ++i)
    {
        if (tcStyleElement* pStyle = pDoc->GetStyleSet(i)->FindElementStyleByID(ENTRY_ELEMENT_ID))
            pStyle->SetParagraph(true);
    }
}

wxString tGetAttrDefaultTypeString(int eDefaultType)
{
    if (eDefaultType < 0 || eDefaultType >= static_cast<int>(kDefaultTypeKeys.size()))
        return "?";
    return g_LocEngine.FindTranslation(kDefaultTypeKeys[static_cast<size_t>(eDefaultType)]);
}

int GetParentID(int nElementID)
{
    if (!g_pDoc)
        return -1;
    const tcDTD* pDTD = g_pDoc->GetDTD();
    if (!pDTD->GetElementByID(nElementID))
        return -1;
    for (int i = 0; i < pDTD->GetNumElements(); ++i)
    {
        const tcElement* pElement = pDTD->GetElement(i);
        const tcChildRelation* pRelation = pElement->FindChildByID(nElementID);
        if (!pRelation)
            continue;
        if (pRelation->pElement->GetID() == SECTION_ELEMENT_ID)
            return -1;
        return pElement->GetID();
    }
    return -1;
}
