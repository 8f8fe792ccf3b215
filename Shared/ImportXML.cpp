#include "Shared/ImportXML.h"

#include "Shared/XercesMemory.h"

#include "Shared/ErrorBoundary.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcStyles.h"

#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/framework/XMLPScanToken.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unordered_map>

namespace
{
tcXMLImportYieldFn s_pfnYield = nullptr;

wxString ToWx(const XMLCh* szText)
{
    return szText ? kvUTF16ToWString(szText) : wxString();
}

// Adds the parser's report as a load error; szKind ("Warning", "Error", "Fatal error") opens it.
void AddParseError(CXMLImporter& importer, const wchar_t* szKind, const xercesc::SAXParseException& exc)
{
    importer.AddLoadError(kvFormat(L"%s in file %s at line %lld , column %lld : %s", szKind, ToWx(exc.getSystemId()),
                                   static_cast<long long>(exc.getLineNumber()),
                                   static_cast<long long>(exc.getColumnNumber()), ToWx(exc.getMessage())));
}

// A list value holds item texts separated by ",", as the library keeps list values.
bool ListValueHas(const tcNode* pNode, const tcAttribute* pAttr, const wxString& sItem)
{
    for (const wxString& sPart : pNode->GetAttributeListN(pAttr))
    {
        if (sPart == sItem)
            return true;
    }
    return false;
}

void ListValueAdd(tcNode* pNode, const tcAttribute* pAttr, const wxString& sItem)
{
    if (ListValueHas(pNode, pAttr, sItem))
        return;
    const wxString sOld = pNode->GetAttributeS(pAttr);
    pNode->SetAttributeS(pAttr, sOld.empty() ? sItem : sOld + "," + sItem);
}

// The text of the item a list value names, adding an item for a text the list lacks. Identifiers
// are taken only when bByText is off; a missing non-zero identifier is reported and reads as 0
// (no item). Returns false when the value names no item.
bool ListItemFromXML(CXMLImporter* pImporter, tcDTD* pDTD, tcAttrList* pList, const tcAttribute* pAttr,
                     const wxString& sValue, bool bByText, bool bMissingIDIsEmpty, wxString& sItem)
{
    int nID = 0;
    if (!bByText && tParseXMLDecimal(sValue, nID))
    {
        if (nID != 0 && pList->GetIndexFromID(nID) < 0)
        {
            pImporter->AddLoadError(
                kvFormat(L"Attribute (%s)  has list item id (%d) that does not exist, it will be set to empty",
                         pAttr->GetName(), nID));
            nID = 0;
        }
        if (nID == 0)
        {
            sItem.clear();
            return bMissingIDIsEmpty;
        }
        sItem = pList->GetTextFromID(nID);
        return true;
    }
    if (pList->FindByText(sValue) < 0)
        Helper_AddListItem(pDTD, pList, sValue);
    sItem = sValue;
    return true;
}

// Real path of an existing file or folder, empty when it cannot be had.
std::filesystem::path RealPath(const std::filesystem::path& path)
{
    std::error_code ec;
    std::filesystem::path real = std::filesystem::canonical(path, ec);
    return ec ? std::filesystem::path() : real;
}

// True when pathFile lies inside pathFolder (both real paths).
bool IsInside(const std::filesystem::path& pathFile, const std::filesystem::path& pathFolder)
{
    if (pathFile.empty() || pathFolder.empty())
        return false;
    auto itFolder = pathFolder.begin();
    auto itFile = pathFile.begin();
    for (; itFolder != pathFolder.end(); ++itFolder, ++itFile)
    {
        if (itFile == pathFile.end() || *itFile != *itFolder)
            return false;
    }
    return itFile != pathFile.end();
}

// Where a file that reads as UTF-8 holds a byte sequence that is not UTF-8.
struct CXMLInvalidUTF8
{
    long long nLine = 1;
    long long nColumn = 1;
};

// True when the file is to be read as UTF-8: no UTF-16 or UTF-32 byte order or layout, and an XML
// declaration that names no other encoding.
bool ReadsAsUTF8(const std::string& sHead)
{
    if (sHead.size() >= 2 && (sHead[0] == '\0' || sHead[1] == '\0' || static_cast<unsigned char>(sHead[0]) >= 0xFE))
        return false;
    if (sHead.rfind("<?xml", 0) != 0)
        return true;
    const size_t nEnd = sHead.find("?>");
    const size_t nEncoding = sHead.find("encoding", 0);
    if (nEncoding == std::string::npos || nEncoding > nEnd)
        return true;
    const size_t nQuote = sHead.find_first_of("\"'", nEncoding);
    if (nQuote == std::string::npos || nQuote > nEnd)
        return true;
    const size_t nClose = sHead.find(sHead[nQuote], nQuote + 1);
    std::string sName = sHead.substr(nQuote + 1, nClose == std::string::npos ? 0 : nClose - nQuote - 1);
    for (char& c : sName)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return sName == L"utf-8" || sName == L"utf8";
}

// The parser reports a bad byte where it decoded the chunk holding it, which may be a thousand
// lines earlier; one pass over the bytes finds the place itself. Lines end at LF, CR LF or CR;
// columns count characters. Throws CXMLInvalidUTF8 at the first bad sequence.
void CheckUTF8(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return;
    std::string sChunk(1 << 16, '\0');
    in.read(sChunk.data(), static_cast<std::streamsize>(sChunk.size()));
    sChunk.resize(static_cast<size_t>(in.gcount()));
    size_t i = sChunk.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    if (!ReadsAsUTF8(sChunk.substr(i, 256)))
        return;
    CXMLInvalidUTF8 at;
    int nPending = 0;          // continuation bytes still expected
    unsigned char nLow = 0x80; // bounds of the next continuation byte
    unsigned char nHigh = 0xBF;
    bool bAfterCR = false;
    while (!sChunk.empty())
    {
        for (; i < sChunk.size(); ++i)
        {
            const unsigned char c = static_cast<unsigned char>(sChunk[i]);
            if (nPending > 0)
            {
                if (c < nLow || c > nHigh)
                    throw at;
                nLow = 0x80;
                nHigh = 0xBF;
                if (--nPending == 0)
                    ++at.nColumn;
                continue;
            }
            if (c < 0x80)
            {
                if (c == '\n' && bAfterCR)
                {
                    bAfterCR = false;
                    continue;
                }
                bAfterCR = c == '\r';
                if (c == '\n' || c == '\r')
                {
                    ++at.nLine;
                    at.nColumn = 1;
                }
                else
                {
                    ++at.nColumn;
                }
                continue;
            }
            bAfterCR = false;
            if (c >= 0xC2 && c <= 0xDF)
                nPending = 1;
            else if (c >= 0xE0 && c <= 0xEF)
            {
                nPending = 2;
                nLow = c == 0xE0 ? 0xA0 : 0x80;
                nHigh = c == 0xED ? 0x9F : 0xBF;
            }
            else if (c >= 0xF0 && c <= 0xF4)
            {
                nPending = 3;
                nLow = c == 0xF0 ? 0x90 : 0x80;
                nHigh = c == 0xF4 ? 0x8F : 0xBF;
            }
            else
                throw at;
        }
        sChunk.resize(1 << 16);
        in.read(sChunk.data(), static_cast<std::streamsize>(sChunk.size()));
        sChunk.resize(static_cast<size_t>(in.gcount()));
        i = 0;
    }
    if (nPending > 0)
        throw at;
}

bool IsRegularFile(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}
} // namespace

// ---- Shared routines ------------------------------------------------------------------------------

void tXMLUnescapeInPlace(std::wstring& sText)
{
    static const std::unordered_map<std::wstring, wchar_t> s_mapRefs = {
        {L"&gt;", L'>'}, {L"&lt;", L'<'}, {L"&amp;", L'&'}, {L"&apos;", L'\''}, {L"&quot;", L'"'}};
    const size_t nAmp = sText.find(L'&');
    if (nAmp == std::wstring::npos)
        return;
    std::wstring sOut = sText.substr(0, nAmp);
    sOut.reserve(sText.size());
    size_t i = nAmp;
    while (i < sText.size())
    {
        if (sText[i] == L'&')
        {
            const size_t nSemi = sText.find(L';', i);
            if (nSemi != std::wstring::npos && nSemi - i <= 5)
            {
                auto it = s_mapRefs.find(sText.substr(i, nSemi - i + 1));
                if (it != s_mapRefs.end())
                {
                    sOut += it->second;
                    i = nSemi + 1;
                    continue;
                }
            }
        }
        sOut += sText[i++];
    }
    sText.swap(sOut);
}

wxString tXMLUnescapeString(const wxString& sText)
{
    if (sText.find('&') == wxString::npos)
        return sText;
    wxString s = sText;
    s.Replace(L"&gt;", L">");
    s.Replace(L"&lt;", L"<");
    s.Replace(L"&amp;", L"&");
    s.Replace(L"&apos;", L"'");
    s.Replace(L"&quot;", L"\"");
    return s;
}

wxString tXMLUnescapeString(const XMLCh* szText)
{
    return szText ? tXMLUnescapeString(kvUTF16ToWString(szText)) : wxString();
}

bool tParseXMLDecimal(const wxString& sText, int& nValue)
{
    const std::wstring s = sText.ToStdWstring();
    const wchar_t* szStart = s.c_str();
    wchar_t* szEnd = nullptr;
    errno = 0;
    const long long n = std::wcstoll(szStart, &szEnd, 10);
    if (n > INT_MAX)
        nValue = INT_MAX;
    else if (n < INT_MIN)
        nValue = INT_MIN;
    else
        nValue = static_cast<int>(n);
    return !s.empty() && szEnd != szStart && *szEnd == L'\0' && errno == 0 && n >= INT_MIN && n <= INT_MAX;
}

bool tParseBoolValue(const wxString& sText)
{
    if (sText == L"1" || sText == L"yes" || sText == L"y" || sText == L"true" || sText == L"t")
        return true;
    if (sText == L"0" || sText == L"no" || sText == L"n" || sText == L"false" || sText == L"f")
        return false;
    tAssert(__FILE__, __LINE__, "0");
    return false;
}

void tSetNodeAttributeFromXML(CXMLImporter* pImporter, tcNode* pNode, const wxString& sName, const wchar_t* szValue)
{
    if (!pImporter || !pNode || !pNode->GetElement())
        return;
    tcAttribute* pAttr = pNode->GetElement()->FindAttributeByName(sName);
    if (!pAttr)
        return;
    const wxString sValue = szValue ? wxString(szValue) : wxString();
    tcDTD* pDTD = pNode->GetElement()->GetDTD();
    tcAttrList* pList = pAttr->GetList();
    const bool bByText = pImporter->m_bListValuesByText;
    switch (pAttr->GetType())
    {
    case ATTR_CDATA:
    case ATTR_LUASCRIPT:
        pNode->SetAttributeS(pAttr, sValue);
        break;
    case ATTR_NDATA:
    {
        wxString sDigits = sValue;
        sDigits.Replace(",", "");
        int nValue = 0;
        tParseXMLDecimal(sDigits, nValue);
        pNode->SetAttributeI(pAttr, nValue);
        break;
    }
    case ATTR_LIST:
    {
        if (!pList || sValue.empty())
            break;
        wxString sItem;
        if (ListItemFromXML(pImporter, pDTD, pList, pAttr, sValue, bByText, true, sItem))
            pNode->SetAttributeS(pAttr, sItem);
        break;
    }
    case ATTR_LISTN:
    case ATTR_LISTNS:
    {
        if (!pList || sValue.empty())
            break;
        std::vector<wxString> asParts;
        tStrTok(sValue, "&brindova__list__seperator;", "", asParts);
        for (const wxString& sPart : asParts)
        {
            wxString sItem;
            if (ListItemFromXML(pImporter, pDTD, pList, pAttr, sPart, bByText, false, sItem))
                ListValueAdd(pNode, pAttr, sItem);
        }
        break;
    }
    default:
        break;
    }
}

void tSetXMLImportYieldHook(tcXMLImportYieldFn pfnYield)
{
    s_pfnYield = pfnYield;
}

tcXMLImportYieldFn tGetXMLImportYieldHook()
{
    return s_pfnYield;
}

namespace
{
bool s_bStopRequested = false;
double s_dLoadFraction = 0;
} // namespace

double tXMLImportFraction()
{
    return s_dLoadFraction;
}

void tSetXMLImportFraction(double dFraction)
{
    s_dLoadFraction = dFraction;
}

void tRequestXMLImportStop()
{
    s_bStopRequested = true;
}

bool tXMLImportStopRequested()
{
    return s_bStopRequested;
}

// ---- Entity resolver ------------------------------------------------------------------------------

xercesc::InputSource* CXMLEntityResolver::resolveEntity(const XMLCh* const publicId, const XMLCh* const systemId)
{
    tcDebugInfo dbg("xResE");
    try
    {
        wxString sId = tXMLUnescapeString(systemId);
        wxString sPathPart;
        if (sId.StartsWith("file://", &sPathPart))
            sId = sPathPart;
        namespace fs = std::filesystem;
        const fs::path pathId(sId.ToStdWstring());

        std::vector<fs::path> aSchemaFolders = {fs::path(tPathCombineW(g_sAppPath, "Data")),
                                                fs::path(tPathCombineW(g_sDataPath, "Schemas")),
                                                fs::path(tPathCombineW(g_sAppPath, "../LibraryData/Schemas"))};
        if (!g_sLibDataPath.empty())
        {
            const fs::path pathLib(tPathCombineW(g_sLibDataPath, "Schemas"));
            std::error_code ec;
            if (fs::is_directory(pathLib, ec))
                aSchemaFolders.push_back(pathLib);
        }
        std::vector<fs::path> aAllowed;
        for (const fs::path& folder : aSchemaFolders)
            aAllowed.push_back(RealPath(folder));

        // The document's own folder: a relative id names a file beside the document, as the parser
        // would resolve it.
        fs::path pathFound;
        if (!sId.empty())
        {
            fs::path pathDocFolder;
            if (m_pImporter && !m_pImporter->m_sDatasource.empty())
            {
                std::error_code ec;
                pathDocFolder =
                    RealPath(fs::absolute(fs::path(std::string(m_pImporter->m_sDatasource.fn_str())), ec).parent_path());
                aAllowed.push_back(pathDocFolder);
            }
            fs::path pathCandidate = pathId.is_absolute()    ? pathId
                                     : pathDocFolder.empty() ? fs::path()
                                                             : pathDocFolder / pathId;
            if (!pathCandidate.empty() && IsRegularFile(pathCandidate))
            {
                const fs::path real = RealPath(pathCandidate);
                for (const fs::path& folder : aAllowed)
                {
                    if (IsInside(real, folder))
                    {
                        pathFound = real;
                        break;
                    }
                }
            }
            for (size_t i = 0; pathFound.empty() && i < aSchemaFolders.size(); ++i)
            {
                const fs::path pathJoined(tPathCombineW(aSchemaFolders[i].wstring(), sId));
                if (IsRegularFile(pathJoined) && IsInside(RealPath(pathJoined), aAllowed[i]))
                    pathFound = RealPath(pathJoined);
            }
        }

        if (!pathFound.empty())
        {
            const wxString sFound(pathFound.wstring());
            kvLog(L"Loading XML schema [%s]", sFound);
            const std::u16string sFound16 = kvWStringToUTF16(sFound);
            auto* pSource = new xercesc::LocalFileInputSource(u"", sFound16.c_str());
            pSource->setPublicId(publicId);
            return pSource;
        }

        kvLog(L"Could not find XML schema in our own schema paths [%s]", sId);
        if (m_pImporter)
        {
            m_pImporter->AddLoadError(
                kvFormat(L"Warning: the external DTD or entity [%s] is not in the schema folders or the document's "
                         L"folder and was skipped",
                         sId));
        }
    }
    catch (...)
    {
        kvLog(L"Could not resolve an XML entity");
    }
    static const XMLByte s_abEmpty[1] = {0};
    auto* pEmpty = new xercesc::MemBufInputSource(s_abEmpty, 0, systemId ? systemId : u"", false);
    pEmpty->setPublicId(publicId);
    return pEmpty;
}

// ---- Importer frame -------------------------------------------------------------------------------

namespace
{
// The parser's platform starts once for the process and is never shut down. Shutting it down when
// the last importer goes and starting it again for the next load left the parser writing into
// memory the shutdown had freed (a corrupted heap, found under AddressSanitizer across many loads);
// what it keeps meanwhile is small and stays reachable.
struct SParserPlatform
{
    bool bStarted = false;
    wxString sError;
};

const SParserPlatform& StartParserPlatform()
{
    static const SParserPlatform s_platform = []
    {
        SParserPlatform platform;
        try
        {
            xercesc::XMLPlatformUtils::Initialize(xercesc::XMLUni::fgXercescDefaultLocale, nullptr, nullptr,
                                                  tXercesMemoryManager());
            platform.bStarted = true;
        }
        catch (const xercesc::XMLException& e)
        {
            platform.sError = tXMLUnescapeString(e.getMessage());
        }
        catch (...)
        {
            platform.sError = "unknown exception";
        }
        return platform;
    }();
    return s_platform;
}
} // namespace

CXMLImporter::CXMLImporter()
{
    tDebugContextEnter("XMLImporter");
    const SParserPlatform& platform = StartParserPlatform();
    m_bInitFailed = !platform.bStarted;
    m_sInitError = platform.sError;
}

CXMLImporter::~CXMLImporter()
{
    m_psDictionaryElementName.reset();
    m_psSectionElementName.reset();
    m_psEntryElementName.reset();
    m_pReader.reset();
    tDebugContextLeave("XMLImporter");
}

bool CXMLImporter::OpenDatasource(const wxString& sPath)
{
    m_sDatasource = sPath;
    return true;
}

wxString CXMLImporter::GetDatasource() const
{
    return m_sDatasource;
}

int CXMLImporter::LoadDictionary(int& nProgress, void* pBuffer)
{
    tcDebugInfo dbg("xL");
    if (GetDictionary() != nullptr)
        tAssert(__FILE__, __LINE__, "GetDictionary()==NULL");
    if (!m_pDoc)
    {
        tAssert(__FILE__, __LINE__, "m_pDoc");
        AddLoadError("No document to load into");
        return -1;
    }
    kvLog(L"XMLImporter:Load:sizeof(XMLCh)=%d", static_cast<int>(sizeof(XMLCh)));

    m_pSnapshot = std::make_unique<CXMLLoadSnapshot>(*m_pDoc);
    m_pDoc->CreateEmptyOvraDTD();
    if (tcElement* pLemma = m_pDoc->GetDTD()->FindElementByName("Lemma"))
    {
        tAddStyleElement(m_pDoc, pLemma, "", -1.0f, 0, 0, 0, 0, 0, "", "", "", "", "000000", "FFFFFF", "", "", "");
        if (tcAttribute* pLemmaSign = pLemma->FindAttributeByName("LemmaSign"))
        {
            for (int i = 0; i < m_pDoc->GetNumStyleSets(); ++i)
            {
                if (tcOrder* pOrder = m_pDoc->GetStyleSet(i)->GetOrder())
                    pOrder->AddElementOrderAttribute(pLemma, pLemmaSign, true);
            }
        }
    }

    m_bLoadingDictionary = true;
    return LoadMerge(nProgress, pBuffer);
}

int CXMLImporter::LoadMerge(int&, void*)
{
    tcDebugInfo dbg("xM");
    if (m_bInitFailed)
    {
        AddLoadError(kvFormat(L"Error during initialization! : Exception message is: %s", m_sInitError));
        return -1;
    }
    if (!m_pDoc)
    {
        AddLoadError("No document to load into");
        return -1;
    }
    if (m_pReader)
    {
        // Only reachable from inside this importer's own parse (an event handler during a yield).
        AddLoadError("The file is already being read");
        return -1;
    }
    kvLog(L"XMLImporter:LoadMerge:sizeof(XMLCh)=%d", static_cast<int>(sizeof(XMLCh)));
    if (!m_pSnapshot)
        m_pSnapshot = std::make_unique<CXMLLoadSnapshot>(*m_pDoc, true);
    s_bStopRequested = false;
    {
        std::error_code error;
        const auto nSize =
            std::filesystem::file_size(std::filesystem::path(std::string(m_sDatasource.fn_str())), error);
        m_nDatasourceSize = error ? 0 : static_cast<unsigned long long>(nSize);
    }

    CXMLEntityResolver resolver(this);
    xercesc::SecurityManager security;
    security.setEntityExpansionLimit(static_cast<XMLSize_t>(m_nEntityExpansionLimit));
    try
    {
        using xercesc::XMLUni;
        m_pReader.reset(xercesc::XMLReaderFactory::createXMLReader(xercesc::XMLPlatformUtils::fgMemoryManager));
        m_pReader->setEntityResolver(&resolver);
        m_pReader->setFeature(XMLUni::fgSAX2CoreNameSpaces, true);
        m_pReader->setFeature(XMLUni::fgXercesSchema, false);
        m_pReader->setFeature(XMLUni::fgXercesSchemaFullChecking, false);
        m_pReader->setFeature(XMLUni::fgXercesIdentityConstraintChecking, false);
        m_pReader->setFeature(XMLUni::fgSAX2CoreNameSpacePrefixes, true);
        m_pReader->setFeature(XMLUni::fgXercesCalculateSrcOfs, true);
        m_pReader->setProperty(XMLUni::fgXercesSecurityManager, &security);
        m_pReader->setContentHandler(this);
        m_pReader->setErrorHandler(this);
        m_pReader->setDTDHandler(this);
        m_pReader->setLexicalHandler(this);
        m_pReader->setDeclarationHandler(this);

        // The file system takes the name as bytes; a wide path would go through the C++ locale.
        CheckUTF8(std::filesystem::path(std::string(m_sDatasource.fn_str())));
        // A local file source, so that the path is never read as a URL.
        const std::u16string sPath16 = kvWStringToUTF16(m_sDatasource);
        xercesc::LocalFileInputSource source(sPath16.c_str());
        // Token by token, so that a load that has failed stops reading at once: the rest of a
        // hostile file (say, ever deeper elements, which the parser handles in quadratic time)
        // would only cost time.
        xercesc::XMLPScanToken token;
        bool bMore = false;
        try
        {
            bMore = m_pReader->parseFirst(source, token);
        }
        catch (const xercesc::XMLException& e)
        {
            // A file that cannot be opened, reported as a whole parse reports it.
            fatalError(xercesc::SAXParseException(e.getMessage(), u"", source.getSystemId(), 0, 0));
        }
        while (bMore && !m_bLoadFailed)
            bMore = m_pReader->parseNext(token);
        if (bMore)
        {
            m_pReader->parseReset(token);
            endDocument();
        }
    }
    catch (const CXMLInvalidUTF8& at)
    {
        StopWithError(kvFormat(L"Fatal error in file %s at line %lld , column %lld : invalid UTF-8 byte sequence",
                               m_sDatasource, at.nLine, at.nColumn));
    }
    catch (const xercesc::OutOfMemoryException&)
    {
        StopWithError(kvFormat(L"Fatal error in file %s : out of memory", m_sDatasource));
    }
    catch (const xercesc::XMLException& e)
    {
        StopWithError(kvFormat(L"Fatal error in file %s : %s", m_sDatasource, ToWx(e.getMessage())));
    }
    catch (const xercesc::SAXException& e)
    {
        StopWithError(kvFormat(L"Fatal error in file %s : %s", m_sDatasource, ToWx(e.getMessage())));
    }
    catch (const std::exception& e)
    {
        StopWithError(kvFormat(L"Fatal error in file %s : %s", m_sDatasource, kvFromUTF8(e.what())));
    }
    catch (...)
    {
        StopWithError(kvFormat(L"Fatal error in file %s : unknown exception", m_sDatasource));
    }
    m_pReader.reset();
    m_pLocator = nullptr;
    tSetXMLImportFraction(0);

    if (m_pDictionary && !m_bLoadFailed)
    {
        FinishNativeLoad(true);
        return 0;
    }
    FinishNativeLoad(false);
    if (m_pDictionary && m_bLoadingDictionary && m_pDoc->GetDictionary() == m_pDictionary)
    {
        // Never hand on half a document: a later save would write it over the file.
        m_pDoc->SetDictionary(nullptr);
        m_pDoc->DeleteTreeFromMem(m_pDictionary);
    }
    m_pDictionary = nullptr;
    m_pCurrentlanguage = nullptr;
    m_pCurrentEntry = nullptr;
    m_aNodeStack.clear();
    m_crossRefs.Clear();
    return -1;
}

void CXMLImporter::ReportCallbackFailure(const wchar_t* szWhat) noexcept
{
    // The stop comes first: it cannot fail, and the load must fail even when nothing else works.
    m_bStopParsing = true;
    m_bLoadFailed = true;
    try
    {
        const wxString sReason = tDescribeCurrentException();
        kvLogError(L"EXCEPTION in the XML importer (%s): %s", szWhat, sReason);
        AddLoadError(kvFormat(L"Internal error while %s, parsing abandoned: %s", szWhat, sReason));
    }
    catch (...)
    {
    }
}

void CXMLImporter::setDocumentLocator(const xercesc::Locator* const pLocator)
{
    m_pLocator = pLocator;
}

void CXMLImporter::warning(const xercesc::SAXParseException& exc)
{
    GuardCallback(L"reporting a warning", [&] { AddParseError(*this, L"Warning", exc); });
}

void CXMLImporter::error(const xercesc::SAXParseException& exc)
{
    GuardCallback(L"reporting an error", [&] { AddParseError(*this, L"Error", exc); });
}

void CXMLImporter::fatalError(const xercesc::SAXParseException& exc)
{
    m_bStopParsing = true;
    m_bLoadFailed = true;
    GuardCallback(L"reporting a fatal error", [&] { AddParseError(*this, L"Fatal error", exc); });
}

// The parser's declaration callbacks belong to the document type.
void CXMLImporter::startDTD(const XMLCh* const name, const XMLCh* const, const XMLCh* const)
{
    m_dtd.StartDTD(name);
}

void CXMLImporter::internalEntityDecl(const XMLCh* const name, const XMLCh* const value)
{
    m_dtd.InternalEntityDecl(name, value);
}

void CXMLImporter::elementDecl(const XMLCh* const name, const XMLCh* const model)
{
    m_dtd.ElementDecl(name, model);
}

void CXMLImporter::attributeDecl(const XMLCh* const eName, const XMLCh* const aName, const XMLCh* const type,
                                 const XMLCh* const mode, const XMLCh* const value)
{
    m_dtd.AttributeDecl(eName, aName, type, mode, value);
}

void CXMLImporter::StopWithError(const wxString& sError)
{
    AddLoadError(sError);
    m_bStopParsing = true;
    m_bLoadFailed = true;
}

void CXMLImporter::FinishNativeLoad(bool bSucceeded)
{
    if (bSucceeded)
    {
        const int nReplaced = m_pReplacedStyleSet ? m_pDoc->GetStyleSetIndex(m_pReplacedStyleSet) : -1;
        if (nReplaced >= 0)
            m_pDoc->DeleteStyleSet(nReplaced);
    }
    else if (m_pSnapshot)
    {
        m_pSnapshot->Restore(*m_pDoc);
    }
    m_pSnapshot.reset();
    m_pReplacedStyleSet = nullptr;
    m_pCurrentStyleSet = nullptr;
    m_pCurrentOrder = nullptr;
    m_pCurrentOrderElement = nullptr;
    m_pCurrentAttributeStyle = nullptr;
    m_pCurrentList = nullptr;
    m_pCurrentLabelSet = nullptr;
    m_pCurrentRefLabelSet = nullptr;
}
