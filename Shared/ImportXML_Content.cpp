// Element start inside an entry (references and nodes) and the element kinds grown from the data.

#include "Shared/ImportXML.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcStyles.h"

#include <xercesc/sax2/Attributes.hpp>

namespace
{
// Kinds of the dictionary vocabulary (and their Spanish names) keep fixed identifiers and classes.
struct FixedKind
{
    const wchar_t* szName;
    teNodeClass eClass;
    int nID;
};

const FixedKind s_aFixedKinds[] = {
    {L"Sense", NODE_NODE, 5},       {L"Acepción", NODE_NODE, 5},     {L"Example", NODE_NODE, 9},
    {L"Ejemplo", NODE_NODE, 9},     {L"Subentry", NODE_SUBENTRY, 7}, {L"Combination", NODE_SUBENTRY, 7},
    {L"Sublema", NODE_SUBENTRY, 7}, {L"Definition", NODE_NODE, 10},  {L"Definición", NODE_NODE, 10},
    {L"TE", NODE_NODE, 8},
};

// The value of an attribute of a reference part, null when it is missing.
const XMLCh* FindAttr(const xercesc::Attributes& attrs, const char16_t* szName)
{
    return attrs.getValue(szName);
}

// The value of an attribute a reference part must have; null, after a failed assertion naming
// szExpression, when it is missing.
const XMLCh* RequireAttr(const xercesc::Attributes& attrs, const char16_t* szName, const char* szExpression)
{
    const XMLCh* szValue = FindAttr(attrs, szName);
    if (!szValue)
        tAssert(__FILE__, __LINE__, szExpression);
    return szValue;
}

// An identifier in a reference part: the decimal value the text starts with, 0 when none.
int ReadRefID(const XMLCh* szValue)
{
    int nID = 0;
    tParseXMLDecimal(tXMLUnescapeString(szValue), nID);
    return nID;
}

// Adds a target to the group's last record; a target before any record is logged (szOrphan) and
// dropped.
void AddToLastRecord(CXMLRefGroup& group, CXMLRefTarget target, const wchar_t* szOrphan)
{
    if (group.lemmalist.empty())
    {
        kvLog(szOrphan);
        return;
    }
    group.lemmalist.back().aTargets.push_back(std::move(target));
}
} // namespace

// ---- Admission walk -------------------------------------------------------------------------------

void CXMLChildWalk::Reset()
{
    m_pNode = nullptr;
    m_pKind = nullptr;
    m_nChildrenWalked = 0;
    m_nCursor = 0;
}

bool CXMLChildWalk::Admits(const tcElement* pParentKind, const tcNode* pParentNode, const tcElement* pKind)
{
    if (!pParentKind || !pParentNode || !pKind)
        return false;
    const std::vector<tcNode*>& apChildren = pParentNode->GetChildren();
    if (m_pNode != pParentNode || m_pKind != pParentKind || m_nChildrenWalked > static_cast<int>(apChildren.size()))
    {
        Reset();
        m_pNode = pParentNode;
        m_pKind = pParentKind;
    }
    const int nRelations = pParentKind->GetNumChildren();
    // Stays on a relation to the kind, or moves forward to the next one; false off the end.
    auto step = [&](const tcElement* pChildKind, int& nCursor)
    {
        for (int j = nCursor; j < nRelations; ++j)
        {
            if (pParentKind->GetChildElement(j)->pElement == pChildKind)
            {
                nCursor = j;
                return true;
            }
        }
        return false;
    };
    for (int i = m_nChildrenWalked; i < static_cast<int>(apChildren.size()); ++i)
    {
        const tcElement* pChildKind = apChildren[i]->GetElement();
        if (pChildKind)
        {
            int nCursor = m_nCursor;
            if (!step(pChildKind, nCursor))
                return false;
            m_nCursor = nCursor;
        }
        m_nChildrenWalked = i + 1;
    }
    int nCursor = m_nCursor;
    return step(pKind, nCursor);
}

CXMLChildWalk* CXMLImporter::FindChildWalk(const tcNode* pParentNode)
{
    if (!m_aNodeStack.empty() && m_aNodeStack.back().pNode == pParentNode)
        return &m_aNodeStack.back().walk;
    if (pParentNode && pParentNode == m_pCurrentEntry)
        return &m_entryWalk;
    return nullptr;
}

void CXMLImporter::ResetChildWalks()
{
    for (CXMLNodeFrame& frame : m_aNodeStack)
        frame.walk.Reset();
    m_entryWalk.Reset();
}

// ---- Element kinds from the data ------------------------------------------------------------------

tcAttribute* CXMLImporter::CreateAttributeIfMissing(const wxString& sName, tcElement* pElement)
{
    tcDebugInfo dbg("xCAIL");
    return tCreateAttribute(m_pDoc, pElement, sName, ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
}

tcElement* CXMLImporter::AddElementFromName(tcDocument* pDoc, const wxString& sName, tcElement* pParentKind,
                                            teChildRelationConstraint eConstraint)
{
    if (sName.empty())
        return nullptr;
    return AddElementFromInstance(pDoc, sName, pParentKind, nullptr, eConstraint);
}

tcElement* CXMLImporter::AddElementFromInstance(tcDocument* pDoc, const wxString& sName, tcElement* pParentKind,
                                                tcNode* pParentNode, teChildRelationConstraint eConstraint)
{
    if (!pDoc)
        return nullptr;
    tcDTD* pDTD = pDoc->GetDTD();
    tcElement* pKind = pDTD->FindElementByName(sName);
    if (!pKind)
    {
        int eClass = NODE_NODE;
        int nID = 0;
        if (pDTD->GetNumElements() == 0)
        {
            eClass = NODE_DICTIONARY;
            nID = ELEMENTID_DICTIONARY;
        }
        else
        {
            for (const FixedKind& fixed : s_aFixedKinds)
            {
                if (sName == fixed.szName)
                {
                    eClass = fixed.eClass;
                    nID = fixed.nID;
                }
            }
            if (nID == 0)
                nID = pDTD->AssignTypeID();
        }
        pKind = AddElement(pDoc, sName, eClass, nID, 0, false, nullptr);
        if (!pKind)
            return nullptr;
        tAddStyleElement(pDoc, pKind, "", -1.0f, -1, -1, -1, -1, -1, "", "", "", "", "", "", "", "", m_sSeparator);
    }

    if (pParentKind)
    {
        bool bAdmitted = false;
        if (pParentNode && !pParentKind->AllowsPCDATA())
        {
            if (CXMLChildWalk* pWalk = FindChildWalk(pParentNode))
            {
                bAdmitted = pWalk->Admits(pParentKind, pParentNode, pKind);
            }
            else
            {
                CXMLChildWalk walk;
                bAdmitted = walk.Admits(pParentKind, pParentNode, pKind);
            }
        }
        else
        {
            bAdmitted = pParentKind->FindChildByID(pKind->GetID()) != nullptr;
        }
        if (!bAdmitted)
        {
            pParentKind->AddChildElement(pKind, eConstraint, 0);
            for (int i = 0; i < pDoc->GetNumStyleSets(); ++i)
            {
                if (tcOrder* pOrder = pDoc->GetStyleSet(i)->GetOrder())
                    pOrder->AddElementOrderChild(pParentKind, pKind, true);
            }
        }
    }
    return pKind;
}

// ---- Entry content --------------------------------------------------------------------------------

void CXMLImporter::StartContent(const wxString& sName, const xercesc::Attributes& attrs)
{
    m_eParseState = teXMLParseState::InEntryContent;
    if (!m_bInReferences)
    {
        if (sName == m_sReferencesElementName)
            StartReferences(sName, attrs);
        else
            StartNode(sName, attrs);
    }
    else if (sName == L"reftypegroup" || sName == L"reference" || sName == L"reflemma" || sName == L"refsense")
    {
        StartReferencePart(sName, attrs);
    }
    else
    {
        StartNode(sName, attrs);
    }
}

void CXMLImporter::StartReferences(const wxString& sName, const xercesc::Attributes& attrs)
{
    m_bInReferences = true;
    CXMLAttrValues mapAttrs;
    wxString sID;
    // The references element always takes its identifier, also where other elements keep "id".
    const bool bID = ReadAttributesAndID(attrs, true, mapAttrs, sID);

    tcElement* pKind = m_pDoc->GetDTD()->GetElementByID(ELEMENTID_REFERENCES);
    if (!pKind)
    {
        StopWithError("Fatal internal error, unable to locate reference node element, parsing abandoned");
        return;
    }
    tcNode* pParent = GetCurrentParent();
    if (!pParent)
    {
        StopWithError("Fatal internal error, no entry found, parsing abandoned");
        return;
    }
    DeclareMapAttributes(mapAttrs, pKind);
    tcNode* pNode = m_pDoc->AllocateElementByID(ELEMENTID_REFERENCES, true, false);
    if (!pNode)
    {
        StopWithError("Fatal internal error, unable to locate reference node element, parsing abandoned");
        return;
    }
    if (bID)
    {
        int nID = 0;
        tParseXMLDecimal(sID, nID);
        m_crossRefs.MapFileID(nID, static_cast<uint32_t>(pNode->GetID()));
    }
    StoreMapAttributes(mapAttrs, pNode);
    pParent->AddChildLast(pNode);

    // Only a node of the references class can hold references; resolution skips a group without.
    m_crossRefs.OpenGroup(pNode->GetClassType() == NODE_REFERENCES ? static_cast<tcReferences*>(pNode) : nullptr);

    CXMLNodeFrame frame;
    frame.pNode = pNode;
    frame.sElementName = sName;
    m_aNodeStack.push_back(std::move(frame));
}

void CXMLImporter::StartReferencePart(const wxString& sName, const xercesc::Attributes& attrs)
{
    CXMLRefGroup* pGroup = m_crossRefs.LastGroup();
    if (!pGroup)
        return;
    CXMLRefGroup& group = *pGroup;
    if (sName == L"reftypegroup")
    {
        const XMLCh* szType = RequireAttr(attrs, u"reftype", "psRefType!=NULL");
        if (!szType)
            return;
        group.lemmalist.push_back(CXMLRefRecord{-1, tXMLUnescapeString(szType), {}});
    }
    else if (sName == L"reflemma")
    {
        const XMLCh* szLemmaID = RequireAttr(attrs, u"lemmaid", "psReflemmaid !=NULL");
        if (!szLemmaID)
            return;
        const XMLCh* szType = RequireAttr(attrs, u"type", "psReflemmatype !=NULL");
        if (!szType)
            return;
        group.lemmalist.push_back(CXMLRefRecord{ReadRefID(szLemmaID), tXMLUnescapeString(szType), {}});
    }
    else if (sName == L"reference")
    {
        const XMLCh* szTarget = RequireAttr(attrs, u"target", "psTarget!=NULL");
        if (!szTarget)
            return;
        CXMLRefTarget target;
        target.nSenseID = -1;
        target.sLemma = tXMLUnescapeString(szTarget);
        if (const XMLCh* szHomonym = FindAttr(attrs, u"homonym"))
            tParseXMLDecimal(tXMLUnescapeString(szHomonym), target.nHomonym);
        if (const XMLCh* szSenses = FindAttr(attrs, u"senses"))
            target.sSenses = tXMLUnescapeString(szSenses);
        target.pSection = m_pCurrentlanguage;
        AddToLastRecord(group, std::move(target), L"A cross reference without a reference type group was ignored");
    }
    else if (sName == L"refsense")
    {
        const XMLCh* szSenseID = RequireAttr(attrs, u"senseid", "psRefsenseid !=NULL");
        if (!szSenseID)
            return;
        CXMLRefTarget target;
        target.nSenseID = ReadRefID(szSenseID);
        target.pSection = m_pCurrentlanguage;
        AddToLastRecord(group, std::move(target), L"A sense reference without a referenced entry was ignored");
    }
}

void CXMLImporter::StartNode(const wxString& sName, const xercesc::Attributes& attrs)
{
    CXMLAttrValues mapAttrs;
    wxString sID;
    const bool bID = ReadAttributesAndID(attrs, m_bUseIdAttribute, mapAttrs, sID);

    tcNode* pParent = nullptr;
    wxString sParentName;
    if (!m_aNodeStack.empty())
    {
        pParent = m_aNodeStack.back().pNode;
        sParentName = m_aNodeStack.back().sElementName;
    }
    else
    {
        pParent = m_pCurrentEntry;
        if (m_psEntryElementName)
            sParentName = *m_psEntryElementName;
    }
    if (!pParent)
    {
        StopWithError("Fatal internal error, no entry found, parsing abandoned");
        return;
    }
    tcElement* pParentKind = m_pDoc->GetDTD()->FindElementByName(sParentName);
    tcElement* pKind = AddElementFromInstance(m_pDoc, sName, pParentKind, pParent, CHILD_ZEROORMORE);
    if (pKind)
        DeclareMapAttributes(mapAttrs, pKind);
    tcNode* pNode = pKind ? m_pDoc->AllocateElement(pKind, true, false) : nullptr;
    if (!pNode)
    {
        StopWithError(kvFormat(L"Error, unable to locate '%s' node element, parsing abandoned", sName));
        return;
    }

    if (bID)
    {
        int nID = 0;
        if (!tParseXMLDecimal(sID, nID))
            WarnBadID(
                kvFormat(L"Invalid node ID (%s, element %s) (Ovra IDs should be numerical)", sID, pKind->GetName()));
        m_crossRefs.MapFileID(nID, static_cast<uint32_t>(pNode->GetID()));
    }
    StoreMapAttributes(mapAttrs, pNode);
    pParent->AddChildLast(pNode);

    CXMLNodeFrame frame;
    frame.pNode = pNode;
    frame.sElementName = sName;
    m_aNodeStack.push_back(std::move(frame));
}
