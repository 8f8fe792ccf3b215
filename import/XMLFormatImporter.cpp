#include "import/XMLFormatImporter.h"

#include "Shared/UserPrompts.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcProperties.h"

#include <xercesc/sax2/Attributes.hpp>


#include <exception>
#include <optional>

namespace
{
// Element names of the three formats are ASCII, so the parser's name is compared unit by unit
// without a conversion per element.
bool SameName(const XMLCh* szName, const wchar_t* szExpected)
{
    if (!szName || !szExpected)
        return false;
    while (*szName && *szExpected)
    {
        if (static_cast<wchar_t>(*szName) != *szExpected)
            return false;
        ++szName;
        ++szExpected;
    }
    return *szName == 0 && *szExpected == 0;
}

wxString FromXMLCh(const XMLCh* szText)
{
    return szText ? kvUTF16ToWString(szText) : wxString();
}

void RenameKind(tcDocument* pDoc, int nElementID, const wchar_t* szName)
{
    if (tcElement* pElement = pDoc->GetDTD()->GetElementByID(nElementID))
        pElement->SetName(szName);
}
} // namespace

CXMLFormatImporter::CXMLFormatImporter(const CXMLFormat& format) : m_format(format)
{
    m_bUseIdAttribute = false;
    m_bCaptureCDATA = true;
    // Text nodes hold decoded text and the writers escape it: text re-escaped on reading would be
    // escaped twice on saving ("<ph>&lt;b&gt;</ph>" would come back as "&amp;lt;b&amp;gt;").
    m_bReescapeText = false;
}

SExportOptions CXMLFormatImporter::GetExportOptions() const
{
    return SExportOptions();
}

void CXMLFormatImporter::startDocument()
{
    // A parse that stopped at a fatal error leaves elements open; the next one starts afresh.
    m_nDepth = 0;
    m_bOwnRoot = false;
    m_bForeignRoot = false;
    CXMLImporter::startDocument();
}

void CXMLFormatImporter::startElement(const XMLCh* const uri, const XMLCh* const localname, const XMLCh* const qname,
                                      const xercesc::Attributes& attrs)
{
    std::optional<tcDebugInfo> dbg;
    if (m_format.szScopeStart)
        dbg.emplace(m_format.szScopeStart);
    const bool bDocumentElement = m_nDepth == 0;
    ++m_nDepth;
    if (bDocumentElement && !m_bStopParsing && m_pDoc && SameName(localname, m_format.szRoot))
    {
        m_bOwnRoot = true;
        try
        {
            StartRoot(attrs);
        }
        catch (const std::exception& e)
        {
            StopWithError(kvFormat(L"Could not read the root element of %s: %S", m_sDatasource, e.what()));
        }
        catch (...)
        {
            StopWithError(kvFormat(L"Could not read the root element of %s", m_sDatasource));
        }
        return;
    }
    if (bDocumentElement)
        m_bForeignRoot = true;
    else
        DropLayout();
    CXMLImporter::startElement(uri, localname, qname, attrs);
}

void CXMLFormatImporter::DropLayout()
{
    if (!m_format.pfnIsLayoutKind || m_bStopParsing || !m_pDoc)
        return;
    tcNode* pParent = GetCurrentParent();
    const int nChildren = pParent ? pParent->GetNumChildren() : 0;
    tcNode* pLast = nChildren > 0 ? pParent->GetChild(nChildren - 1) : nullptr;
    if (!pLast || !pLast->IsClass(NODE_TEXTNODE) || !pParent->GetElement())
        return;
    const wxString& sText = static_cast<const tcText*>(pLast)->GetText();
    if (sText.find_first_not_of(L" \t\r\n") != wxString::npos ||
        !m_format.pfnIsLayoutKind(pParent->GetElement()->GetName()))
        return;
    pLast->RemoveNode();
    m_pDoc->DeleteTreeFromMem(pLast);
}

void CXMLFormatImporter::endElement(const XMLCh* const uri, const XMLCh* const localname, const XMLCh* const qname)
{
    std::optional<tcDebugInfo> dbg;
    if (m_format.szScopeEnd)
        dbg.emplace(m_format.szScopeEnd);
    if (m_nDepth > 0)
        --m_nDepth;
    if (m_bOwnRoot || m_nDepth > 0)
        DropLayout();
    if (m_bOwnRoot && m_nDepth == 0)
    {
        // The root's start went around the generic frame, so its end does too.
        m_eParseState = teXMLParseState::BeforeDictionary;
        m_bStopParsing = true;
        return;
    }
    CXMLImporter::endElement(uri, localname, qname);
}

void CXMLFormatImporter::StartRoot(const xercesc::Attributes& attrs)
{
    m_psDictionaryElementName = std::make_unique<wxString>("xml");
    m_psSectionElementName = std::make_unique<wxString>(m_format.szSectionName);
    if (m_format.szEntryName)
        m_psEntryElementName = std::make_unique<wxString>(m_format.szEntryName);

    RenameKind(m_pDoc, ELEMENTID_DICTIONARY, L"xml");
    RenameKind(m_pDoc, ELEMENTID_SECTION, m_format.szSectionName);
    if (m_format.szEntryName)
        RenameKind(m_pDoc, ELEMENTID_ENTRY, m_format.szEntryName);
    if (m_format.szDocumentType)
        m_pDoc->GetProperties().SetProperty("Document", "Type", m_format.szDocumentType, tTYPE_STRING);

    tcNode* pRoot = m_pDoc->AllocateElementByID(ELEMENTID_DICTIONARY, true, false);
    if (!pRoot || !pRoot->IsClass(NODE_DICTIONARY))
    {
        StopWithError(kvFormat(L"Could not create the dictionary for %s", m_sDatasource));
        return;
    }
    m_pDictionary = static_cast<tcDictionary*>(pRoot);
    m_pDoc->SetupDefaultSorting();
    m_pDoc->SetDictionary(m_pDictionary);
    m_pDictionary->SetDoc(m_pDoc);

    m_pCurrentlanguage = m_pDictionary->AddLanguage("", 0);
    if (!m_pCurrentlanguage)
    {
        StopWithError(kvFormat(L"Could not create the section for %s", m_sDatasource));
        return;
    }

    tcNode* pAttributeOwner = m_pCurrentlanguage;
    if (m_format.szEntryName)
    {
        m_eParseState = teXMLParseState::InEntry;
        m_pCurrentEntry = m_pDoc->AllocateElementByID(ELEMENTID_ENTRY, true, false);
        if (!m_pCurrentEntry || !m_pCurrentlanguage->AddChildOrdered(m_pCurrentEntry))
        {
            StopWithError(kvFormat(L"Could not create the root entry for %s", m_sDatasource));
            return;
        }
        m_entryWalk.Reset();
        pAttributeOwner = m_pCurrentEntry;
    }
    else
    {
        m_eParseState = teXMLParseState::InSection;
    }

    // Root attributes keep their qualified names and the values exactly as the parser gives them:
    // namespace declarations and xml:space are written back as they came.
    tcElement* pKind = pAttributeOwner->GetElement();
    for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
    {
        const wxString sName = FromXMLCh(attrs.getQName(i));
        const wxString sValue = FromXMLCh(attrs.getValue(i));
        tcAttribute* pAttr = tCreateAttribute(m_pDoc, pKind, sName, ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
        if (!pAttr)
        {
            AddLoadError(kvFormat(L"Could not add attribute %s to %s", sName, m_format.szRoot));
            continue;
        }
        pAttributeOwner->SetAttributeS(pAttr, sValue);
        if (sName == L"xml:space")
            PushXmlSpace(sValue);
    }
}

int CXMLFormatImporter::Save(const std::vector<tcEntry*>&)
{
    std::optional<tcDebugInfo> dbg;
    if (m_format.szScopeSave)
        dbg.emplace(m_format.szScopeSave);
    try
    {
        if (!m_pDoc)
        {
            kvLog(L"Cannot save %s: no document", m_sDatasource);
            return -1;
        }
        if (m_sDatasource.empty())
        {
            kvLog(L"Cannot save a %s document without a file name", m_format.szRoot);
            return -1;
        }
        if (m_bForeignRoot)
        {
            // The writer would keep only the part of it that fits the format, and drop the rest.
            kvLog(L"Cannot save %s as a %s file: it was read from a file of another kind", m_sDatasource,
                  m_format.szRoot);
            return -1;
        }
        // The writer replaces the file atomically and keeps its permissions, so a failure leaves
        // the old file whole.
        return m_format.pfnWrite(m_pDoc, m_pDoc->GetDictionary(), m_sDatasource, GetExportOptions(),
                                 tsXMLExportOptions());
    }
    catch (const std::exception& e)
    {
        kvLog(L"Could not save %s: %S", m_sDatasource, e.what());
    }
    catch (...)
    {
        kvLog(L"Could not save %s", m_sDatasource);
    }
    return -1;
}

int CXMLFormatImporter::SaveAs(const wxString& sPath, tcProgress*)
{
    std::optional<tcDebugInfo> dbg;
    if (m_format.szScopeSaveAs)
        dbg.emplace(m_format.szScopeSaveAs);
    m_sDatasource = sPath;
    return Save(std::vector<tcEntry*>());
}

bool tSelectXMLFormatFile(const wxString& sFilter, wchar_t* szBuffer, size_t nBufferSize, const wxString& sTitle)
{
    if (!szBuffer || nBufferSize == 0)
        return false;
    const wxString sPath = tUserPrompts().ChooseFile(sTitle, wxString(), wxString(), sFilter,
                                                     PROMPT_FILE_OPEN | PROMPT_FILE_MUST_EXIST, nullptr);
    if (sPath.empty())
        return false;
    return teStrcpy(szBuffer, nBufferSize, sPath);
}
