// Text, CDATA, metadata comments, element end and document end of the XML importer.

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
    return sName == L"reference" || sName == L"reflemma" || sName == L"refsense" || sName == L"reftypegroup";
}

// Appends sText to pLastText (the parent's last child when that is a text node, else null) or to a
// new text node last under pParent; returns that node.
tcText* AppendTextNode(tcDocument* pDoc, tcNode* pParent, tcText* pLastText, const wxString& sText)
{
    if (pLastText)
        pLastText->AppendText(sText);
    else
    {
        pLastText = pDoc->AllocateTextNode(sText);
        pParent->AddChildLast(pLastText);
    }
    tEnsureElementAllowsPCDATA(pDoc, pParent->GetElement());
    return pLastText;
}

// The parent's last child when it is of the node class eClass, else null.
tcNode* LastChildOfClass(const tcNode* pParent, teNodeClass eClass)
{
    const int n = pParent->GetNumChildren();
    tcNode* pLast = n > 0 ? pParent->GetChild(n - 1) : nullptr;
    return pLast && pLast->GetClassType() == eClass ? pLast : nullptr;
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
    if (m_eParseState != teXMLParseState::InEntry && m_eParseState != teXMLParseState::InEntryContent)
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
    const bool bStrip = (m_abXmlSpacePreserve.empty() || !m_abXmlSpacePreserve.back()) &&
                        sDelivered.find_first_of(L"\n\t") != wxString::npos;
    tcText* pLastText = static_cast<tcText*>(LastChildOfClass(pParent, NODE_TEXTNODE));
    if (!bStrip && !m_bZeroWidthSpaces)
    {
        // The common case: the text as delivered, without a working copy.
        if (sDelivered.empty())
            return;
        AppendTextNode(m_pDoc, pParent, pLastText, sDelivered);
        return;
    }

    wxString sText = sDelivered;
    if (bStrip)
    {
        sText.Replace(L"\n", wxString());
        sText.Replace(L"\t", wxString());
    }
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

    pLastText = AppendTextNode(m_pDoc, pParent, pLastText, sText);
    if (bHoldZWSP)
        m_pZWSPHeldText = pLastText;
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
    if (m_bStopParsing || m_bInStyleSet || m_bInDTDSection || !m_pDoc || (m_eParseState != teXMLParseState::InEntry && m_eParseState != teXMLParseState::InEntryContent))
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

        m_dtd.ReadAttributeAnnouncement(sText, sDelivered);
    }
    catch (...)
    {
        m_dtd.DiscardAnnouncement();
        kvLog(L"Could not read an XML comment");
    }
}

// ---- Element end ----------------------------------------------------------------------------------

void CXMLImporter::endElement(const XMLCh* const, const XMLCh* const localname, const XMLCh* const)
{
    // The depth of the element ending: a native section ends with the element that opened it.
    const size_t nDepth = m_abOpenedXmlSpace.size();
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
        if (sName == L"specialtypes")
            m_bInSpecialTypes = false;
        // Inside the native sections nothing was built; only their own end matters.
        if (m_bInStyleSet)
        {
            if (nDepth == m_nSectionDepth)
                m_bInStyleSet = false;
            return;
        }
        if (m_bInDTDSection)
        {
            if (nDepth == m_nSectionDepth)
                m_bInDTDSection = false;
            return;
        }

        // Inside an entry every element pushed its node (reference parts excepted), so an open
        // node ends here whatever its name: a nested element named like the entry, section or
        // dictionary element is a node, not the end of one of those.
        if (m_eParseState >= teXMLParseState::InEntry && !m_aNodeStack.empty())
        {
            if (m_bInReferences)
            {
                if (IsReferencePart(sName))
                    return;
                const CXMLNodeFrame& top = m_aNodeStack.back();
                const CXMLRefGroup* pGroup = m_crossRefs.LastGroup();
                const tcReferences* pGroupNode = pGroup ? pGroup->pReferences : nullptr;
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
            m_eParseState = teXMLParseState::InDictionary;
        else if (m_psEntryElementName && sName == *m_psEntryElementName)
            m_eParseState = teXMLParseState::InSection;
        else if (m_psDictionaryElementName && sName == *m_psDictionaryElementName)
        {
            m_eParseState = teXMLParseState::BeforeDictionary;
            m_bStopParsing = true;
        }
        else if (m_eParseState == teXMLParseState::InEntryContent)
            m_eParseState = teXMLParseState::InEntry;
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
            m_crossRefs.Clear();
        else
            m_crossRefs.Resolve(m_pDoc, m_pDictionary, m_pCurrentlanguage);
    }
    catch (const std::exception& e)
    {
        m_crossRefs.Clear();
        AddLoadError(kvFormat(L"Cross references could not be resolved: %s", kvFromUTF8(e.what())));
    }
    catch (...)
    {
        m_crossRefs.Clear();
        AddLoadError("Cross references could not be resolved");
    }
}
