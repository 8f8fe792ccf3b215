#include "varnak/include/tNodeHelpers.h"

#include "varnak/include/tGlobals.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"

#include <wx/datetime.h>
#include <wx/utils.h>

namespace
{
const tcNode* FindUpwards(const tcNode* pNode, teNodeClass eClass)
{
    for (const tcNode* p = pNode; p; p = p->GetParent())
        if (p->GetClassType() == eClass)
            return p;
    return nullptr;
}

wxString TextOfChildren(const tcNode* pNode)
{
    wxString sText;
    for (const tcNode* pChild : pNode->GetChildren())
    {
        if (pChild->IsClass(NODE_TEXTNODE))
            sText += static_cast<const tcText*>(pChild)->GetText();
        else if (pChild->IsClass(NODE_CDATA))
            sText += static_cast<const tcCDATA*>(pChild)->GetText();
    }
    return sText;
}
} // namespace

void tNodeModified(tcDocument* pDoc, tcNode* pNode, bool, bool bNotify)
{
    if (!pNode)
        return;
    if (!pDoc)
        pDoc = pNode->GetDoc();
    if (tcEntry* pEntry = tGetNodeEntry(pNode))
    {
        pEntry->SetChanged(true);
        const tcElement* pKind = pEntry->GetElement();
        for (int i = 0; pKind && !g_bAdminNoUpdateTimestamps && i < pKind->GetNumAttributes(); ++i)
        {
            const tcAttribute* pAttr = pKind->GetAttribute(i);
            if (pAttr->GetDefaultType() == ATTRDEF_DATECHANGED)
                pEntry->SetAttributeS(pAttr, wxDateTime::Now().Format("%Y-%m-%dT%H:%M:%SZ", wxDateTime::UTC));
            else if (pAttr->GetDefaultType() == ATTRDEF_USERCHANGED)
                pEntry->SetAttributeS(pAttr, wxGetUserId());
        }
    }
    if (pDoc)
        pDoc->SetDirty();
    if (bNotify)
        Evt_NodeModified.Trigger(pNode, pDoc);
}

tcDocument* tGetNodeDoc(const tcNode* pNode)
{
    return pNode ? pNode->GetDoc() : nullptr;
}

tcEntry* tGetNodeEntry(const tcNode* pNode)
{
    return const_cast<tcEntry*>(static_cast<const tcEntry*>(FindUpwards(pNode, NODE_ENTRY)));
}

tcLanguage* tGetNodeSection(const tcNode* pNode)
{
    return const_cast<tcLanguage*>(static_cast<const tcLanguage*>(FindUpwards(pNode, NODE_SECTION)));
}

tcDictionary* tGetNodeDictionary(const tcNode* pNode)
{
    return const_cast<tcDictionary*>(static_cast<const tcDictionary*>(FindUpwards(pNode, NODE_DICTIONARY)));
}

bool NodeIsEmpty(const tcNode* pNode)
{
    if (!pNode)
        return true;
    switch (pNode->GetClassType())
    {
    case NODE_TEXTNODE:
        return static_cast<const tcText*>(pNode)->GetText().empty();
    case NODE_CDATA:
        return static_cast<const tcCDATA*>(pNode)->GetText().empty();
    case NODE_ERROR:
        return false;
    default:
        break;
    }
    for (int i = 0; i < pNode->GetNumAttributes(); ++i)
        if (!pNode->GetAttributeSByIndex(i).empty())
            return false;
    return TextOfChildren(pNode).empty();
}

wxString tQuery(const tcNode* pNode, const wxString& sQuery)
{
    if (!pNode)
        return wxString();
    if (sQuery == "text()")
        return TextOfChildren(pNode);
    if (sQuery.StartsWith("@"))
        return pNode->GetAttributeSByName(sQuery.Mid(1));
    return wxString();
}

bool IsSenseNode(const tcNode* pNode, const tcLanguage* pSection)
{
    if (!pNode || !pNode->GetElement())
        return false;
    const int nID = pNode->GetElementTypeID();
    if (pSection && !pSection->m_aSenseDesc.empty())
    {
        for (const tcAttributeDesc& desc : pSection->m_aSenseDesc)
            if (desc.nElementID == nID)
                return true;
        return false;
    }
    return nID == ELEMENTID_SENSE;
}
