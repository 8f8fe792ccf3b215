// Text, CDATA, metadata comments, element end, document end and cross references of the XML
// importer.

#include "Shared/ImportXML.h"

#include "varnak/include/kvFormat.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace
{
const wchar_t kZWSP = L'\u200B';

bool IsReferencePart(const wxString& sName)
{
    return sName == "reference" || sName == "reflemma" || sName == "refsense" || sName == "reftypegroup";
}

// The parent's last child when it is of the node class eClass, else null.
tcNode* LastChildOfClass(const tcNode* pParent, teNodeClass eClass)
{
    const int n = pParent->GetNumChildren();
    tcNode* pLast = n > 0 ? pParent->GetChild(n - 1) : nullptr;
    return pLast && pLast->GetClassType() == eClass ? pLast : nullptr;
}

// Reads the decimal value at the start of sText; text that is no number gives 0.
int LeadingNumber(const wxString& sText)
{
    int n = 0;
    tParseXMLDecimal(sText, n);
    return n;
}

// A sense reference part holds blanks, ":", digits and "-" only; anything else is read as well as
// it can be, with a warning.
bool IsPlainSenseRange(const wxString& sPart)
{
    for (wxUniChar c : sPart)
    {
        if (!(c == ' ' || c == ':' || c == '-' || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// "1-3", "2", "x:2-4": the first and last sense numbers (first at least 1, last at least first).
void ReadSenseRange(const wxString& sPart, int& nFirst, int& nLast)
{
    wxString sRange = sPart;
    const size_t nColon = sPart.length() > 1 ? sPart.find(':', 1) : wxString::npos;
    if (nColon != wxString::npos)
        sRange = sPart.substr(nColon + 1);
    const size_t nDash = sRange.find('-');
    if (nDash != wxString::npos)
    {
        nFirst = LeadingNumber(sRange.substr(0, nDash).Strip(wxString::both));
        nLast = LeadingNumber(sRange.substr(nDash + 1).Strip(wxString::both));
    }
    else
        nFirst = nLast = LeadingNumber(sRange.Strip(wxString::both));
    nFirst = std::max(nFirst, 1);
    nLast = std::max(nLast, nFirst);
}
} // namespace

// ---- Text and CDATA -------------------------------------------------------------------------------
//
// Text nodes hold decoded text: the text exactly as the parser delivered it (it has already
// resolved the references), less the line feeds and tabs an xml:space "default" scope drops and
// the zero-width spaces of native files. Nothing is unescaped a second time or escaped again, so a
// text reads the same here as through tcNode::ParseXML and serialises to the same markup (the
// writers escape). m_bReescapeText therefore changes nothing in what is stored.

void CXMLImporter::characters(const XMLCh* const chars, const XMLSize_t length)
{
    if (m_bStopParsing || m_bInStyleSet || m_bInDTDSection || !m_pDoc)
        return;
    if (m_nParseState != 3 && m_nParseState != 4)
        return;
    try
    {
        // The parser passes the length; the buffer need not end with a NUL.
        const wxString sText = chars ? tFromU16(chars, static_cast<size_t>(length)) : wxString();
        if (!m_bInCDATA)
        {
            AddTextToParent(sText);
            return;
        }
        tcNode* pParent = GetCurrentParent();
        if (!pParent)
        {
            tAssert(__FILE__, __LINE__, "pParent");
            return;
        }
        // startCDATA made (or reused) the section's node; one section arrives in several pieces.
        if (tcNode* pLast = LastChildOfClass(pParent, NODE_CDATA))
            static_cast<tcCDATA*>(pLast)->AppendText(sText);
        else
            pParent->AddChildLast(m_pDoc->AllocateCDataNode(sText));
        tEnsureElementAllowsPCDATA(m_pDoc, pParent->GetElement());
    }
    catch (const std::exception& e)
    {
        StopWithError(kvFormat(L"Internal error while reading text, parsing abandoned: %s", kvFromUTF8(e.what())));
    }
    catch (...)
    {
        StopWithError("Internal error while reading text, parsing abandoned");
    }
}

void CXMLImporter::AddTextToParent(const wxString& sDelivered)
{
    tcNode* pParent = GetCurrentParent();
    if (!pParent)
        return;
    wxString sText = sDelivered;
    if (m_abXmlSpacePreserve.empty() || !m_abXmlSpacePreserve.back())
    {
        sText.Replace("\n", "");
        sText.Replace("\t", "");
    }

    tcText* pLastText = static_cast<tcText*>(LastChildOfClass(pParent, NODE_TEXTNODE));
    bool bHoldZWSP = false;
    if (m_bZeroWidthSpaces)
    {
        // One U+200B goes at each end of the whole text, not of each piece the parser delivers.
        if (pLastText && pLastText == m_pZWSPHeldText)
            sText.insert(0, 1, kZWSP);
        else if (!pLastText && !sText.empty() && sText[0] == kZWSP)
            sText.erase(0, 1);
        m_pZWSPHeldText = nullptr;
        if (!sText.empty() && sText.Last() == kZWSP)
        {
            sText.RemoveLast();
            bHoldZWSP = true;
        }
    }
    if (sText.empty())
    {
        if (bHoldZWSP)
            m_pZWSPHeldText = pLastText;
        return;
    }

    if (pLastText)
        pLastText->AppendText(sText);
    else
    {
        pLastText = m_pDoc->AllocateTextNode(sText);
        pParent->AddChildLast(pLastText);
    }
    if (bHoldZWSP)
        m_pZWSPHeldText = pLastText;
    tEnsureElementAllowsPCDATA(m_pDoc, pParent->GetElement());
}

void CXMLImporter::ignorableWhitespace(const XMLCh* const, const XMLSize_t)
{
    // White space the DTD declares insignificant (element-only content) is not content.
}

void CXMLImporter::startCDATA()
{
    if (!m_bCaptureCDATA)
        return;
    m_bInCDATA = true;
    if (m_bStopParsing || m_bInStyleSet || m_bInDTDSection || !m_pDoc || (m_nParseState != 3 && m_nParseState != 4))
        return;
    try
    {
        tcNode* pParent = GetCurrentParent();
        if (!pParent)
        {
            tAssert(__FILE__, __LINE__, "pParent");
            return;
        }
        // The node exists from the start, so an empty section is kept. Sections that follow each
        // other directly are one text (writers split "]]>" over two), as tcNode::ParseXML reads them.
        if (!LastChildOfClass(pParent, NODE_CDATA))
            pParent->AddChildLast(m_pDoc->AllocateCDataNode());
        tEnsureElementAllowsPCDATA(m_pDoc, pParent->GetElement());
    }
    catch (...)
    {
        StopWithError("Internal error while reading a CDATA section, parsing abandoned");
    }
}

void CXMLImporter::endCDATA()
{
    if (m_bCaptureCDATA)
        m_bInCDATA = false;
}

// ---- Metadata comments ----------------------------------------------------------------------------

void CXMLImporter::DiscardPendingAttr()
{
    m_pnPendingAttrType.reset();
    m_pnPendingAttrDefault.reset();
    m_pbPendingAttrRTL.reset();
    m_psPendingAttrListName.reset();
}

void CXMLImporter::comment(const XMLCh* const chars, const XMLSize_t length)
{
    tcDebugInfo dbg("xC");
    try
    {
        const wxString sDelivered = chars ? tFromU16(chars, static_cast<size_t>(length)) : wxString();
        const wxString sText = tXMLUnescapeString(sDelivered);
        if (sText.Contains("ExportListValuesByText: ON"))
        {
            m_bListValuesByText = true;
            return;
        }
        if (sText.Contains("UseZeroWidthSpacesToPreventConversionOfPCDataToElements: ON"))
        {
            m_bZeroWidthSpaces = true;
            return;
        }
        if (!sText.Contains("ATTDATA"))
            return;

        // "ATTDATA type, list name, default kind, orientation" announces the next attribute
        // declaration. Quotes group a part holding commas; the file writes them as "&quot;", which
        // the unescaping above has turned into plain double quotes.
        DiscardPendingAttr();
        wxString sTrimmed = sText;
        sTrimmed.Trim(true).Trim(false);
        std::vector<wxString> asParts;
        tStrTok(sTrimmed, ",", "\"", asParts);
        if (asParts.size() != 4)
        {
            AddLoadError(kvFormat(L"ATTLIST Metadata with too many or too few values '%s' - ignored.", sDelivered));
            return;
        }

        static const struct
        {
            const wchar_t* szName;
            teAttrType eType;
        } s_aTypes[] = {{L"CDATA", ATTR_CDATA},    {L"LDATA", ATTR_LIST},  {L"LNDATA", ATTR_LISTN},
                        {L"LNSDATA", ATTR_LISTNS}, {L"NDATA", ATTR_NDATA}, {L"LUASCRIPTDATA", ATTR_LUASCRIPT}};
        for (const auto& type : s_aTypes)
        {
            if (asParts[0].Contains(type.szName))
            {
                m_pnPendingAttrType = std::make_unique<int32_t>(type.eType);
                break;
            }
        }
        if (!m_pnPendingAttrType)
        {
            AddLoadError(kvFormat(L"ATTLIST Metadata with Invalid Data type '%s'- ignored.", sDelivered));
            DiscardPendingAttr();
            return;
        }

        m_psPendingAttrListName = std::make_unique<wxString>(asParts[1] == "NONE" ? wxString() : asParts[1]);

        static const struct
        {
            const wchar_t* szName;
            teDefaultType eDefault;
        } s_aDefaults[] = {{L"#NORMAL", ATTRDEF_VALUE},
                           {L"#REQUIRED", ATTRDEF_REQUIRED},
                           {L"#IMPLIED", ATTRDEF_IMPLIED},
                           {L"#FIXED", ATTRDEF_FIXED},
                           {L"#AUTONUMBER", ATTRDEF_AUTONUMBER},
                           {L"#SOUNDFILE", ATTRDEF_SOUNDFILE},
                           {L"#IMAGEFILE", ATTRDEF_IMAGEFILE},
                           {L"#VIDEOFILE", ATTRDEF_VIDEOFILE},
                           {L"#USERCREATED", ATTRDEF_USERCREATED},
                           {L"#USERCHANGED", ATTRDEF_USERCHANGED},
                           {L"#DATECREATED", ATTRDEF_DATECREATED},
                           {L"#DATECHANGED", ATTRDEF_DATECHANGED},
                           {L"#HYPERLINK", ATTRDEF_HYPERLINK}};
        for (const auto& def : s_aDefaults)
        {
            if (asParts[2].Contains(def.szName))
            {
                m_pnPendingAttrDefault = std::make_unique<int32_t>(def.eDefault);
                break;
            }
        }
        if (!m_pnPendingAttrDefault)
        {
            AddLoadError(kvFormat(L"ATTLIST Metadata with Invalid type '%s' - ignored.", sDelivered));
            DiscardPendingAttr();
            return;
        }

        if (asParts[3].Contains("ltr"))
            m_pbPendingAttrRTL = std::make_unique<bool>(false);
        else if (asParts[3].Contains("rtl"))
            m_pbPendingAttrRTL = std::make_unique<bool>(true);
        else
        {
            AddLoadError(kvFormat(L"ATTLIST Metadata with Invalid text orientation value '%s'- ignored.", sDelivered));
            DiscardPendingAttr();
        }
    }
    catch (...)
    {
        DiscardPendingAttr();
        kvLog(L"Could not read an XML comment");
    }
}

// ---- Element end ----------------------------------------------------------------------------------

void CXMLImporter::endElement(const XMLCh* const, const XMLCh* const localname, const XMLCh* const)
{
    // Every element start pushed one value: drop it, and the xml:space scope it opened.
    if (!m_abOpenedXmlSpace.empty())
    {
        if (m_abOpenedXmlSpace.back() && !m_abXmlSpacePreserve.empty())
            m_abXmlSpacePreserve.pop_back();
        m_abOpenedXmlSpace.pop_back();
    }
    // Elements after a stop were not built; their ends, and the ends of those still open, change
    // nothing (a failed load announces no node).
    if (m_bStopParsing)
        return;
    try
    {
        const wxString sName = tXMLUnescapeString(localname);
        if (sName == "specialtypes")
            m_bInSpecialTypes = false;
        // Inside the native sections nothing was built; only their own end matters.
        if (m_bInStyleSet)
        {
            if (sName == "styleset")
                m_bInStyleSet = false;
            return;
        }
        if (m_bInDTDSection)
        {
            if (sName == "dtd")
                m_bInDTDSection = false;
            return;
        }

        // Inside an entry every element pushed its node (reference parts excepted), so an open
        // node ends here whatever its name: a nested element named like the entry, section or
        // dictionary element is a node, not the end of one of those.
        if (m_nParseState >= 3 && !m_aNodeStack.empty())
        {
            if (m_bInReferences)
            {
                if (IsReferencePart(sName))
                    return;
                const CXMLNodeFrame& top = m_aNodeStack.back();
                const tcReferences* pGroupNode = m_aReflist.empty() ? nullptr : m_aReflist.back()->pReferences;
                const bool bSectionEnd =
                    sName == m_sReferencesElementName && (pGroupNode ? top.pNode == pGroupNode : true);
                m_aNodeStack.pop_back();
                if (bSectionEnd)
                    m_bInReferences = false;
                return;
            }
            tcNode* pNode = m_aNodeStack.back().pNode;
            Evt_NodeInserted.Trigger(static_cast<tcIO*>(this), pNode);
            m_aNodeStack.pop_back();
            return;
        }

        if (m_psSectionElementName && sName == *m_psSectionElementName)
            m_nParseState = 1;
        else if (m_psEntryElementName && sName == *m_psEntryElementName)
            m_nParseState = 2;
        else if (m_psDictionaryElementName && sName == *m_psDictionaryElementName)
        {
            m_nParseState = 0;
            m_bStopParsing = true;
        }
        else if (m_nParseState == 4)
            m_nParseState = 3;
    }
    catch (const std::exception& e)
    {
        StopWithError(
            kvFormat(L"Internal error at the end of an element, parsing abandoned: %s", kvFromUTF8(e.what())));
    }
    catch (...)
    {
        StopWithError("Internal error at the end of an element, parsing abandoned");
    }
}

// ---- Document end and cross references ------------------------------------------------------------

void CXMLImporter::endDocument()
{
    tcDebugInfo dbg("xEnd");
    try
    {
        // A failed load is discarded: there is nothing to resolve in it.
        if (m_bLoadFailed)
            m_aReflist.clear();
        else
            ResolveCrossReferences();
    }
    catch (const std::exception& e)
    {
        m_aReflist.clear();
        AddLoadError(kvFormat(L"Cross references could not be resolved: %s", kvFromUTF8(e.what())));
    }
    catch (...)
    {
        m_aReflist.clear();
        AddLoadError("Cross references could not be resolved");
    }
}

void CXMLImporter::ResolveCrossReferences()
{
    tcDebugInfo dbg("xCR");
    for (std::unique_ptr<CXMLRefGroup>& pGroup : m_aReflist)
    {
        for (CXMLRefRecord& record : pGroup->lemmalist)
        {
            if (record.nTargetEntryID != -1)
                ResolveReferenceByID(*pGroup, record);
            else
                ResolveReferenceByText(*pGroup, record);
        }
    }
    m_aReflist.clear();
}

void CXMLImporter::ResolveReferenceByID(CXMLRefGroup& group, CXMLRefRecord& record)
{
    tcDebugInfo dbg("xCRID");
    const int nType = LeadingNumber(record.sRefType);
    const auto FileToNode = [this](int nFileID) -> tID
    {
        const auto it = m_mapFileIdToNodeId.find(nFileID);
        return it == m_mapFileIdToNodeId.end() ? idNULL : static_cast<tID>(it->second);
    };
    const tID idEntry = FileToNode(record.nTargetEntryID);
    if (!m_pCurrentlanguage)
        tAssert(__FILE__, __LINE__, "m_pCurrentlanguage != NULL");

    tcNode* pEntry = idEntry != idNULL && m_pDictionary ? m_pDictionary->FindDescendantByID(idEntry) : nullptr;
    if (!pEntry || pEntry->GetClassType() != NODE_ENTRY)
    {
        AddLoadError(kvFormat(L"Unable to create cross reference to lemma #%d , as no such lemma exists.",
                              static_cast<int>(idEntry)));
        return;
    }
    if (group.pReferences)
        group.pReferences->AddRefEntry(idEntry, nType);

    for (const CXMLRefTarget& target : record.aTargets)
    {
        const tID idSense = FileToNode(target.nSenseID);
        const tcNode* pSense = idSense != idNULL ? pEntry->FindDescendantByID(idSense) : nullptr;
        if (pSense && IsSenseNode(pSense, nullptr))
        {
            if (group.pReferences)
                group.pReferences->AddRefSense(idEntry, idSense, nType);
        }
        else if (pSense)
        {
            AddLoadError(
                kvFormat(L"Unable to create cross-reference to sense #%d of entry #%d, The entry has a child of "
                         L"this ID, but it is not of type 'sense'.",
                         static_cast<int>(idSense), static_cast<int>(idEntry)));
        }
        else
        {
            AddLoadError(kvFormat(L"Unable to create cross-reference to sense Id #%d of entry #%d, as no such sense "
                                  L"exists under this entry.",
                                  static_cast<int>(idSense), static_cast<int>(idEntry)));
        }
    }
    record.aTargets.clear();
}

void CXMLImporter::ResolveReferenceByText(CXMLRefGroup& group, CXMLRefRecord& record)
{
    tcDebugInfo dbg("xCRFT");
    // The type is named by one of the labels of the DTD's reference label sets.
    tcDTD* pDTD = m_pDoc ? m_pDoc->GetDTD() : nullptr;
    bool bTypeFound = false;
    int nType = 0;
    for (int nSet = 0; pDTD && !bTypeFound && nSet < pDTD->GetNumRefLabelSets(); ++nSet)
    {
        const tcRefLabelSet* pSet = pDTD->GetRefLabelSet(nSet);
        for (int i = 0; pSet && i < pSet->GetNumLabels(); ++i)
        {
            const int nID = pSet->GetLabelIDByIndex(i);
            if (nID == -1)
                break;
            if (pSet->GetLabelByIndexS(i) == record.sRefType)
            {
                nType = nID;
                bTypeFound = true;
                break;
            }
        }
    }
    if (!bTypeFound)
    {
        AddLoadError(kvFormat(L"Unable to create cross reference invalid type provided [%s]", record.sRefType));
        return;
    }

    for (const CXMLRefTarget& target : record.aTargets)
    {
        tcEntry* pEntry = nullptr;
        if (target.pSection)
        {
            std::vector<tcEntry*> apFound;
            target.pSection->FindEntries(target.sLemma, apFound);
            for (tcEntry* pCandidate : apFound)
            {
                if (target.nHomonym == -1 || pCandidate->GetAttributeIByID(6) == target.nHomonym)
                {
                    pEntry = pCandidate;
                    break;
                }
            }
        }
        if (pEntry)
        {
            if (group.pReferences)
                group.pReferences->AddRefEntry(pEntry->GetID(), nType);
        }
        else if (target.nHomonym != -1)
        {
            AddLoadError(kvFormat(L"Unable to create cross reference to lemma #%s with homonym number #%d , as no such "
                                  L"lemma exists.",
                                  target.sLemma, target.nHomonym));
        }
        else
        {
            AddLoadError(
                kvFormat(L"Unable to create cross reference to lemma #%s , as no such lemma exists.", target.sLemma));
        }

        const int nEntryID = pEntry ? static_cast<int>(pEntry->GetID()) : 0;
        const tcNode* pFirstSense = pEntry ? pEntry->GetNthDescendantOfElementType(ELEMENTID_SENSE, 0) : nullptr;
        const tcNode* pSenseParent = pFirstSense ? pFirstSense->GetParent() : nullptr;
        const int nSenses = pSenseParent ? pSenseParent->GetNumChildrenOfElementType(ELEMENTID_SENSE) : 0;

        std::vector<wxString> asParts;
        tStrTok(target.sSenses, ",", "", asParts);
        for (const wxString& sPart : asParts)
        {
            if (!IsPlainSenseRange(sPart))
            {
                kvLogVisibleWarning(
                    L"Possibly unhandled sensereference string (%s). You should ideally try use node IDs "
                    L"to resolve sensereferences more reliably on import.",
                    sPart);
            }
            int nFirst = 1;
            int nLast = 1;
            ReadSenseRange(sPart, nFirst, nLast);
            if (!pSenseParent)
            {
                AddLoadError(kvFormat(L"Unable to create cross reference to sense range %d-%d of entry id %d. No such "
                                      L"sense exists...",
                                      nFirst, nLast, nEntryID));
                continue;
            }
            // Numbers beyond the senses there are get one report, so a huge range costs nothing.
            for (int n = nFirst; n <= std::min(nLast, nSenses); ++n)
            {
                const tcNode* pSense = pSenseParent->GetNthChildOfElementType(ELEMENTID_SENSE, n - 1);
                if (pSense && group.pReferences)
                    group.pReferences->AddRefSense(pEntry->GetID(), pSense->GetID(), nType);
            }
            if (nLast > nSenses)
            {
                const int nMissingFirst = std::max(nFirst, nSenses + 1);
                if (nMissingFirst == nLast)
                {
                    AddLoadError(kvFormat(L"Unable to create cross reference to sense number #%d of entry id %d. No "
                                          L"such sense exists...",
                                          nLast, nEntryID));
                }
                else
                {
                    AddLoadError(kvFormat(L"Unable to create cross reference to sense range %d-%d of entry id %d. No "
                                          L"such sense exists...",
                                          nMissingFirst, nLast, nEntryID));
                }
            }
        }
    }
    record.aTargets.clear();
}
