#include "import/XLIFFImporter.h"

#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{
const CXMLFormat s_format = {
    L"xliff", L"xliff", nullptr, L"XLIFF", &OutputXLIFF, nullptr, nullptr, nullptr, nullptr, nullptr,
};
} // namespace

const tGUID& XLIFFImporterGUID()
{
    static const tGUID s_guid = []
    {
        tGUID guid;
        tStringToGUID(kszXLIFFImporterGUID, guid);
        return guid;
    }();
    return s_guid;
}

CXLIFFImporter::CXLIFFImporter() : CXMLFormatImporter(s_format)
{
    tDebugContextEnter("ImportXLIFF");
}

CXLIFFImporter::~CXLIFFImporter()
{
    tDebugContextLeave("ImportXLIFF");
}

SExportOptions CXLIFFImporter::GetExportOptions() const
{
    SExportOptions options;
    options.bNotes = true;
    options.bTimestamps = false;
    options.bUsernames = false;
    options.bHyperlink = false;
    options.bIncompleteMarker = true;
    options.bFrequency = false;
    options.bExpandTildes = true;
    options.bEntities = true;
    options.bNoTransforms = false;
    options.bClickToSelect = false;
    options.mapSections[0] = {0, tcLSMap()};
    return options;
}

bool Init_XLIFFImporter()
{
    return g_pIORegistry->RegisterIO(XLIFFImporterGUID(), IOFLAG_OPEN, "XLIFFImporter",
                                     "XLIFF (XML Localisation Interchange File Format) in XLIFF mode [beta]",
                                     &AllocateIO_XLIFFImporter, &SelectDataSource_XLIFFImporter);
}

void Done_XLIFFImporter()
{
    g_pIORegistry->Unregister(XLIFFImporterGUID());
}

std::unique_ptr<tcIO> AllocateIO_XLIFFImporter()
{
    return std::make_unique<CXLIFFImporter>();
}

bool SelectDataSource_XLIFFImporter(wchar_t* szBuffer, size_t nBufferSize)
{
    tcDebugInfo dbg("SelectDataSource_XLIFFImporter");
    return tSelectXMLFormatFile("XLIFF files (*.xlf;*.xliff)|*.xlf;*.xliff|All files (*.*)|*.*", szBuffer, nBufferSize,
                                g_LocEngine.FindTranslation("OPEN_PROJECT_TITLE"));
}

bool tReadXMLRootName(const wxString& sPath, wxString& sRoot)
{
    sRoot.clear();
    std::ifstream file(std::filesystem::path(std::string(sPath.fn_str())), std::ios::binary);
    if (!file)
        return false;
    std::string sHead(64 * 1024, '\0');
    file.read(sHead.data(), static_cast<std::streamsize>(sHead.size()));
    sHead.resize(static_cast<size_t>(file.gcount()));
    if (file.bad())
        return false;

    size_t n = sHead.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    auto skipPast = [&](const char* szEnd)
    {
        const size_t nEnd = sHead.find(szEnd, n);
        n = nEnd == std::string::npos ? sHead.size() : nEnd + std::strlen(szEnd);
    };
    while (n < sHead.size())
    {
        if (std::isspace(static_cast<unsigned char>(sHead[n])))
            ++n;
        else if (sHead.compare(n, 2, "<?") == 0)
            skipPast("?>");
        else if (sHead.compare(n, 4, "<!--") == 0)
            skipPast("-->");
        else if (sHead.compare(n, 9, "<!DOCTYPE") == 0)
        {
            // An internal subset in brackets may hold ">" of its own declarations.
            const size_t nBracket = sHead.find('[', n);
            const size_t nClose = sHead.find('>', n);
            if (nBracket != std::string::npos && nBracket < nClose)
            {
                n = nBracket;
                skipPast("]");
            }
            skipPast(">");
        }
        else if (sHead[n] == '<')
        {
            size_t nEnd = n + 1;
            while (nEnd < sHead.size() && !std::isspace(static_cast<unsigned char>(sHead[nEnd])) &&
                   sHead[nEnd] != '>' && sHead[nEnd] != '/')
                ++nEnd;
            const wxString sName = wxString::FromUTF8(sHead.substr(n + 1, nEnd - n - 1));
            sRoot = sName.AfterLast(':');
            return true;
        }
        else
            return true;
    }
    return true;
}
