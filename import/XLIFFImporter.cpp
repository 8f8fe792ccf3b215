#include "import/XLIFFImporter.h"

#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcLocalisationEngine.h"

namespace
{
const CXMLFormat s_format = {
    L"xliff", L"xliff", nullptr, L"XLIFF", &OutputXLIFF, nullptr, nullptr, nullptr, nullptr,
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
