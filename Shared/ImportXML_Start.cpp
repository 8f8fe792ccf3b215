// Element start: the parse states, and the dictionary, section and entry elements.

#include "Shared/ImportXML.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDocument.h"

#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax2/Attributes.hpp>

#include <algorithm>
#include <exception>

namespace
{
// Set while the yield hook runs, so that an element start reached from inside it (a nested load)
// never yields again.
bool s_bYielding = false;

void YieldToToolkit()
{
    tcXMLImportYieldFn pfnYield = tGetXMLImportYieldHook();
    if (!pfnYield || s_bYielding)
        return;
    s_bYielding = true;
    try
    {
        pfnYield();
    }
    catch (...)
    {
    }
    s_bYielding = false;
}

void DeclareOn(tcDocument* pDoc, tcElement* pKind, const wxString& sName)
{
    if (pKind)
        tCreateAttribute(pDoc, pKind, sName, ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
}

} // namespace

void CXMLImporter::WarnBadID(const wxString& sText)
{
    const int nMaxShown = 3;
    if (m_nBadIDWarnings < nMaxShown)
    {
        ++m_nBadIDWarnings;
        kvLogVisibleWarning(L"%s", sText);
    }
    else
    {
        kvLog(L"WARNING: %s", sText);
    }
}

wxString& CXMLImporter::CXMLAttrValues::operator[](const wxString& sName)
{
    for (auto& item : m_aValues)
        if (item.first == sName)
            return item.second;
    m_aValues.emplace_back(sName, wxString());
    return m_aValues.back().second;
}

wxString CXMLImporter::AttrName(const xercesc::Attributes& attrs, XMLSize_t i)
{
    return tXMLUnescapeString(attrs.getQName(i));
}

wxString CXMLImporter::AttrValue(const xercesc::Attributes& attrs, XMLSize_t i)
{
    return tXMLUnescapeString(attrs.getValue(i));
}

bool CXMLImporter::PushXmlSpace(const wxString& sValue)
{
    if (sValue != L"preserve" && sValue != L"default")
        return false;
    if (!m_abOpenedXmlSpace.empty())
    {
        // An element opens one scope at most (an attribute appears once).
        if (m_abOpenedXmlSpace.back())
            return false;
        m_abOpenedXmlSpace.back() = true;
    }
    // Without a value of its own the element is a format's root, whose scope lasts to the end.
    m_abXmlSpacePreserve.push_back(sValue == L"preserve");
    return true;
}

void CXMLImporter::KeepAttribute(CXMLAttrValues& mapAttrs, const wxString& sAttr, const wxString& sValue)
{
    mapAttrs[sAttr] = sValue;
    if (sAttr == L"xml:space")
        PushXmlSpace(sValue);
}

bool CXMLImporter::ReadAttributesAndID(const xercesc::Attributes& attrs, bool bUseID, CXMLAttrValues& mapAttrs,
                                       wxString& sID)
{
    bool bID = false;
    for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
    {
        const wxString sAttr = AttrName(attrs, i);
        const wxString sValue = AttrValue(attrs, i);
        if (bUseID && sAttr == m_sIdAttributeName)
        {
            sID = sValue;
            bID = true;
        }
        else
            KeepAttribute(mapAttrs, sAttr, sValue);
    }
    return bID;
}

void CXMLImporter::DeclareMapAttributes(CXMLAttrValues& mapAttrs, tcElement* pElement)
{
    if (!pElement)
        return;
    // A kind first met without some of its attributes declares them when a later tag has them. Each
    // new one goes before the earliest declared attribute that follows it in this tag, so the kind's
    // order (the order the writer uses) agrees with this tag as well as with the earlier ones: a
    // project whose first mrk carries only mid saves its later mtype-mid tags unchanged.
    auto indexOf = [pElement](const wxString& sName)
    {
        const tcAttribute* pAttr = pElement->FindAttributeByName(sName);
        for (int i = 0; pAttr && i < pElement->GetNumAttributes(); ++i)
            if (pElement->GetAttribute(i) == pAttr)
                return i;
        return -1;
    };
    for (auto it = mapAttrs.begin(); it != mapAttrs.end(); ++it)
    {
        if (indexOf(it->first) >= 0)
            continue;
        DeclareOn(m_pDoc, pElement, it->first);
        int nIndex = indexOf(it->first);
        int nTarget = -1;
        for (auto next = it + 1; next != mapAttrs.end(); ++next)
        {
            const int nNext = indexOf(next->first);
            if (nNext >= 0 && (nTarget < 0 || nNext < nTarget))
                nTarget = nNext;
        }
        for (; nIndex > 0 && nTarget >= 0 && nIndex > nTarget; --nIndex)
            pElement->SwopAttributes(nIndex - 1, nIndex);
    }
}

void CXMLImporter::StoreMapAttributes(CXMLAttrValues& mapAttrs, tcNode* pNode)
{
    for (const auto& item : mapAttrs)
        tSetNodeAttributeFromXML(this, pNode, item.first, item.second.wc_str());
    mapAttrs.clear();
}

tcNode* CXMLImporter::GetCurrentParent() const
{
    return m_aNodeStack.empty() ? m_pCurrentEntry : m_aNodeStack.back().pNode;
}

void CXMLImporter::startElement(const XMLCh* const, const XMLCh* const localname, const XMLCh* const,
                                const xercesc::Attributes& attrs)
{
    // One value per element start, whatever happens below: endElement pops one per element end.
    m_abOpenedXmlSpace.push_back(false);
    if (m_bStopParsing)
        return;
    if (m_abOpenedXmlSpace.size() > kMaxElementDepth)
    {
        const long long nLine = m_pLocator ? static_cast<long long>(m_pLocator->getLineNumber()) : 0;
        const long long nColumn = m_pLocator ? static_cast<long long>(m_pLocator->getColumnNumber()) : 0;
        StopWithError(tNestedTooDeepMessage(m_sDatasource, nLine, nColumn));
        return;
    }
    try
    {
        if (m_pReader && m_nDatasourceSize > 0)
            tSetXMLImportFraction(
                std::min(1.0, static_cast<double>(m_pReader->getSrcOffset()) / static_cast<double>(m_nDatasourceSize)));
        YieldToToolkit();
        if (tXMLImportStopRequested() && !m_bStopParsing)
            StopWithError("Loading was cancelled");
        if (m_bStopParsing || !m_pDoc)
            return;
        const wxString sName = tXMLUnescapeString(localname);

        if (m_bInStyleSet)
        {
            if (m_bLoadingDictionary)
                StartStyleSetContent(sName, attrs);
            return;
        }
        if (m_bInDTDSection)
        {
            if (m_bLoadingDictionary)
                StartDTDSectionContent(sName, attrs);
            return;
        }
        if ((m_dtd.IsNativeDocType() && !m_pDictionary) || !m_bLoadingDictionary)
        {
            if (sName == L"styleset")
            {
                StartStyleSet(attrs);
                return;
            }
            if (sName == L"dtd")
            {
                m_bInDTDSection = true;
                m_nSectionDepth = m_abOpenedXmlSpace.size();
                return;
            }
        }

        switch (m_eParseState)
        {
        case teXMLParseState::BeforeDictionary:
            StartDictionary(sName, attrs);
            break;
        case teXMLParseState::InDictionary:
            StartSection(sName, attrs);
            break;
        case teXMLParseState::InSection:
            StartEntry(sName, attrs);
            break;
        case teXMLParseState::InEntry:
        case teXMLParseState::InEntryContent:
            StartContent(sName, attrs);
            break;
        default:
            break;
        }
    }
    catch (const std::exception& e)
    {
        StopWithError(
            kvFormat(L"Internal error while reading an element, parsing abandoned: %s", kvFromUTF8(e.what())));
    }
    catch (...)
    {
        StopWithError("Internal error while reading an element, parsing abandoned");
    }
}

void CXMLImporter::StartDictionary(const wxString& sName, const xercesc::Attributes& attrs)
{
    if (sName == L"brindovaicon")
    {
        m_dtd.SetNativeDocType();
        return;
    }
    tcDTD* pDTD = m_pDoc->GetDTD();
    for (const CXMLPendingAttrList& pending : m_dtd.TakePendingAttrLists())
    {
        if (pending.pAttribute && !pending.pAttribute->GetList())
            pending.pAttribute->SetList(tEnsureListExists(pDTD, pending.sListName));
    }

    m_eParseState = teXMLParseState::InDictionary;
    tcElement* pKind = pDTD->GetElementByID(ELEMENTID_DICTIONARY);
    if (!m_psDictionaryElementName)
    {
        m_psDictionaryElementName = std::make_unique<wxString>(sName);
        if (pKind)
            pKind->SetName(sName);
    }
    else if (*m_psDictionaryElementName != sName)
    {
        StopWithError("ERROR: Dictionary has a different name in XML body than that of the DTD, the rest of the "
                      "document will not be parsed.");
        return;
    }

    static const wchar_t* const s_aszAside[] = {L"Name",      L"Description", L"CreatedBy",
                                                L"Copyright", L"URL",         L"SoundPath"};
    const int nAside = 6;
    wxString asAside[nAside];
    bool abAside[nAside] = {};
    CXMLAttrValues mapAttrs;
    wxString sRootID;
    bool bRootID = false;
    for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
    {
        const wxString sAttr = AttrName(attrs, i);
        const wxString sValue = AttrValue(attrs, i);
        int nAsideIndex = -1;
        for (int k = 0; k < nAside; ++k)
        {
            if (sAttr == s_aszAside[k])
                nAsideIndex = k;
        }
        if (nAsideIndex >= 0)
        {
            asAside[nAsideIndex] = sValue;
            abAside[nAsideIndex] = true;
        }
        else if (sAttr == m_sIdAttributeName)
        {
            sRootID = sValue;
            bRootID = true;
        }
        else
        {
            KeepAttribute(mapAttrs, sAttr, sValue);
        }
    }
    DeclareMapAttributes(mapAttrs, pKind);

    if (m_bLoadingDictionary)
    {
        tcNode* pNode = m_pDoc->AllocateElementByID(ELEMENTID_DICTIONARY, !bRootID, false);
        if (!pNode || pNode->GetClassType() != NODE_DICTIONARY)
        {
            StopWithError("Fatal internal error, no dictionary found, parsing abandoned");
            return;
        }
        m_pDictionary = static_cast<tcDictionary*>(pNode);
        if (bRootID)
        {
            int nID = 0;
            if (!tParseXMLDecimal(sRootID, nID))
                WarnBadID(kvFormat(L"Invalid rootnode ID (%s)", sRootID));
            m_pDictionary->SetID(nID);
        }
        m_pDoc->SetupDefaultSorting();
        m_pDoc->SetDictionary(m_pDictionary);
        m_pDictionary->SetDoc(m_pDoc);
        m_pDoc->CreateXMLPredefinedEntities();
        if (!m_dtd.IsNativeDocType())
            m_pDoc->CreateDefaultRefLabels();
    }
    else
    {
        m_pDictionary = m_pDoc->GetDictionary();
        if (!m_pDictionary)
        {
            StopWithError("Fatal internal error, no dictionary found, parsing abandoned");
            return;
        }
    }

    if (abAside[0])
        m_pDictionary->SetDatabaseName(asAside[0]);
    if (abAside[1])
        m_pDictionary->SetDescription(asAside[1]);
    if (abAside[2])
        m_pDictionary->SetCreatedBy(asAside[2]);
    if (abAside[3])
        m_pDictionary->SetCopyright(asAside[3]);
    if (abAside[4])
        m_pDictionary->SetURL(asAside[4]);
    if (abAside[5])
        m_pDictionary->SetSoundPath(asAside[5]);
    StoreMapAttributes(mapAttrs, m_pDictionary);
}

void CXMLImporter::StartSection(const wxString& sName, const xercesc::Attributes& attrs)
{
    m_eParseState = teXMLParseState::InSection;
    tcDTD* pDTD = m_pDoc->GetDTD();
    tcElement* pKind = pDTD->GetElementByID(ELEMENTID_SECTION);
    if (!m_psSectionElementName)
    {
        m_psSectionElementName = std::make_unique<wxString>(sName);
        if (pKind)
            pKind->SetName(sName);
    }
    else if (*m_psSectionElementName != sName)
    {
        StopWithError(kvFormat(L"Two language (section) elements with different type names [%s - %s] encountered, "
                               L"the rest of the document will not be parsed.",
                               sName, *m_psSectionElementName));
        return;
    }

    CXMLAttrValues mapAttrs;
    wxString sSectionName, sQuicklinks;
    bool bName = false, bQuicklinks = false;
    int nSectionID = 0;
    for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
    {
        const wxString sAttr = AttrName(attrs, i);
        const wxString sValue = AttrValue(attrs, i);
        if (sAttr == L"Name")
        {
            sSectionName = sValue;
            bName = true;
        }
        else if (sAttr == L"AlphabetQuicklinks")
        {
            sQuicklinks = sValue;
            bQuicklinks = true;
        }
        else if (sAttr == m_sIdAttributeName)
        {
            if (!tParseXMLDecimal(sValue, nSectionID))
                WarnBadID(kvFormat(L"Invalid ID for IDAttributeName (%s)", sValue));
        }
        else
        {
            KeepAttribute(mapAttrs, sAttr, sValue);
        }
    }

    if (!m_pDictionary)
    {
        StopWithError("Fatal internal error, no dictionary found, parsing abandoned");
        return;
    }

    tcLanguage* pSection = nullptr;
    if (bName && !sSectionName.empty())
    {
        for (int i = 0; i < m_pDictionary->GetNumSections(); ++i)
        {
            tcLanguage* pCandidate = m_pDictionary->GetLanguage(i);
            if (pCandidate->GetAttributeSByID(1) == sSectionName)
                pSection = pCandidate;
        }
    }
    else if (m_pDictionary->GetNumSections() > 0)
    {
        pSection = m_pDictionary->GetLanguage(0);
    }

    DeclareMapAttributes(mapAttrs, pKind);

    if (!pSection)
    {
        pSection = m_pDictionary->AddLanguage("", 0);
        if (!pSection)
        {
            StopWithError("Fatal internal error, no Language found, parsing abandoned");
            return;
        }
        if (nSectionID != -1)
        {
            if (nSectionID < 1 && m_pDoc->GetIDAssigner())
            {
                WarnBadID("Assigning section ID");
                pSection->SetID(m_pDoc->GetIDAssigner()->AssignID());
            }
            else
            {
                pSection->SetID(nSectionID);
            }
        }
    }

    m_pCurrentlanguage = pSection;
    if (bName)
        pSection->SetName(sSectionName);
    if (bQuicklinks)
        pSection->SetAlphabetQuicklinks(sQuicklinks);
    StoreMapAttributes(mapAttrs, pSection);
    ApplySpecialTypes(pSection);
    tDTDStructureHasChanged(m_pDoc, true, nullptr);
}

void CXMLImporter::ApplySpecialTypes(tcLanguage* pSection)
{
    tcDTD* pDTD = m_pDoc->GetDTD();
    for (const SpecialTypeRecord& record : m_aPendingSpecialTypes)
    {
        if (static_cast<tID>(record.nSectionID) != pSection->GetID())
            continue;
        tcElement* pKind = pDTD->FindElementByName(record.sElementName);
        if (!pKind)
            continue;
        tcAttributeDesc desc;
        desc.nElementID = pKind->GetID();
        if (record.nKind != SPECIAL_SENSE)
        {
            tcAttribute* pAttr = pKind->FindAttributeByName(record.sAttributeName);
            if (!pAttr)
                continue;
            desc.nAttributeID = pAttr->GetID();
        }
        std::vector<tcAttributeDesc>* paList = nullptr;
        switch (record.nKind)
        {
        case SPECIAL_TE:
            paList = &pSection->m_aTEDesc;
            break;
        case SPECIAL_SENSE:
            paList = &pSection->m_aSenseDesc;
            break;
        case SPECIAL_OUTPUTLEMMASIGN:
            paList = &pSection->m_aOutputLemmaSignDesc;
            break;
        case SPECIAL_NOTES:
            paList = &pSection->m_aNotesDesc;
            break;
        case SPECIAL_FREQ:
            pSection->m_FreqDesc = desc;
            break;
        default:
            break;
        }
        if (paList && std::find(paList->begin(), paList->end(), desc) == paList->end())
            paList->push_back(desc);
    }
}

bool CXMLImporter::KindHasNodes(const tcElement* pKind) const
{
    const tcNode* pRoot = m_pDictionary;
    if (!pRoot)
        return false;
    if (pRoot->GetElement() == pKind)
        return true;
    std::vector<tcNode*> apFound;
    return pRoot->FindDescendantsOfElementType(pKind->GetID(), apFound) > 0;
}

void CXMLImporter::StartEntry(const wxString& sName, const xercesc::Attributes& attrs)
{
    m_eParseState = teXMLParseState::InEntry;
    tcDTD* pDTD = m_pDoc->GetDTD();
    if (!m_psEntryElementName)
    {
        m_psEntryElementName = std::make_unique<wxString>(sName);
        tcElement* pKind4 = pDTD->GetElementByID(ELEMENTID_ENTRY);
        tcElement* pOld = pDTD->FindElementByName(sName);
        if (pOld && pKind4 && pOld != pKind4 && KindHasNodes(pOld))
        {
            // Deleting the other kind would delete its nodes with it, the open section among them.
            StopWithError(kvFormat(L"The entry elements (%s) have the name of an enclosing element, the rest of the "
                                   L"document will not be parsed.",
                                   sName));
            return;
        }
        if (pOld && pKind4 && pOld != pKind4)
        {
            // The name was declared (or met) as another kind: that kind becomes the entry kind.
            std::vector<tcChildRelation> aRelations;
            for (int i = 0; i < pOld->GetNumChildren(); ++i)
                aRelations.push_back(*pOld->GetChildElement(i));
            for (const tcChildRelation& relation : aRelations)
            {
                if (relation.pElement)
                    AddElementFromName(m_pDoc, relation.pElement->GetName(), pKind4, relation.eConstraint);
            }
            for (int i = 0; i < pOld->GetNumAttributes(); ++i)
            {
                const tcAttribute* pOldAttr = pOld->GetAttribute(i);
                tcAttribute* pAttr = tCreateAttribute(m_pDoc, pKind4, pOldAttr->GetName(), pOldAttr->GetDefaultType(),
                                                      pOldAttr->GetType(), false, 0);
                if (pAttr)
                {
                    pAttr->SetList(pOldAttr->GetList());
                    pAttr->SetDefault(pOldAttr->GetDefault());
                }
            }
            DeleteElementHelper(m_pDoc, pOld->GetID());
            ResetChildWalks();
        }
        if (pKind4)
            pKind4->SetName(sName);
    }
    else if (*m_psEntryElementName != sName)
    {
        StopWithError(kvFormat(L"Two lemma elements with different type names (%s, %s) encountered, the rest of the "
                               L"document will not be parsed.",
                               sName, *m_psEntryElementName));
        return;
    }

    if (!m_pCurrentlanguage)
    {
        StopWithError("Fatal internal error, no Language found, parsing abandoned");
        return;
    }

    wxString sLemmaAttr = "LemmaSign";
    if (tcElement* pKind4 = pDTD->GetElementByID(ELEMENTID_ENTRY))
    {
        if (tcAttribute* pAttr = pKind4->FindAttributeByID(1))
            sLemmaAttr = pAttr->GetName();
    }

    CXMLAttrValues mapAttrs;
    wxString sEntryID, sLemma, sIncomplete;
    bool bEntryID = false, bLemma = false, bIncomplete = false;
    for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
    {
        const wxString sAttr = AttrName(attrs, i);
        const wxString sValue = AttrValue(attrs, i);
        if (m_bUseIdAttribute && sAttr == m_sIdAttributeName)
        {
            sEntryID = sValue;
            bEntryID = true;
        }
        else if (sAttr == sLemmaAttr)
        {
            sLemma = sValue;
            bLemma = true;
        }
        else if (sAttr == L"Incomplete")
        {
            sIncomplete = sValue;
            bIncomplete = true;
        }
        else
        {
            KeepAttribute(mapAttrs, sAttr, sValue);
        }
    }

    tcElement* pEntryKind = pDTD->FindElementByName(*m_psEntryElementName);
    if (!pEntryKind)
    {
        StopWithError("Fatal internal error, unable to locate lemma element, parsing abandoned");
        return;
    }
    for (const auto& item : mapAttrs)
    {
        tcAttribute* pAttr = tCreateAttribute(m_pDoc, pEntryKind, item.first, ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
        if (pAttr && (item.first == L"HomonymNumber" || item.first == L"homónimo_nro"))
        {
            pAttr->SetID(6);
            pAttr->SetFlags(28);
        }
    }

    tcNode* pNode = m_pDoc->AllocateElementByID(ELEMENTID_ENTRY, true, false);
    if (!pNode || !pNode->IsKindOfClass(NODE_ENTRY))
    {
        StopWithError("Fatal internal error, unable to locate lemma element, parsing abandoned");
        return;
    }
    auto* pEntry = static_cast<tcEntry*>(pNode);
    m_pCurrentEntry = pEntry;
    m_entryWalk.Reset();

    if (bEntryID)
    {
        int nID = 0;
        if (!tParseXMLDecimal(sEntryID, nID))
            WarnBadID(kvFormat(L"Invalid entry ID (%s)", sEntryID));
        m_crossRefs.MapFileID(nID, static_cast<uint32_t>(pEntry->GetID()));
    }
    if (bLemma)
        pEntry->SetLemmaSign(sLemma);
    if (bIncomplete)
        pEntry->SetIncomplete(tParseBoolValue(sIncomplete));
    StoreMapAttributes(mapAttrs, pEntry);
    pEntry->SetChanged(true, true);
    pEntry->SetNew(true, true);
    m_pCurrentlanguage->InsertEntry(pEntry);
}
