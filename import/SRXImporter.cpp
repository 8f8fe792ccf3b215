#include "import/SRXImporter.h"

#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcIO.h"

namespace
{
const CXMLFormat s_format = {
    L"srx",
    L"srxdoc",
    L"srx",
    nullptr,
    &OutputSRX,
    "CSRXImporter::startElement",
    "CSRXImporter::endElement",
    "CSRXImporter::Save",
    "CSRXImporter::SaveAs",
    nullptr,
};
} // namespace

const tGUID& SRXImporterGUID()
{
    static const tGUID s_guid = []
    {
        tGUID guid;
        tStringToGUID(kszSRXImporterGUID, guid);
        return guid;
    }();
    return s_guid;
}

CSRXImporter::CSRXImporter() : CXMLFormatImporter(s_format)
{
    tcDebugInfo dbg("CSRXImporter::CSRXImporter");
}

CSRXImporter::~CSRXImporter()
{
    tcDebugInfo dbg("CSRXImporter::~CSRXImporter");
}

bool Init_SRXImporter()
{
    tcDebugInfo dbg("Init_SRXImporter");
    return g_pIORegistry->RegisterIO(SRXImporterGUID(), IOFLAG_SAVE | IOFLAG_SAVEAS | IOFLAG_OPEN, "SRXImporter",
                                     "SRX (Segmentation Rules eXchange)", &AllocateIO_SRXImporter,
                                     &SelectDataSource_SRXImporter);
}

void Done_SRXImporter()
{
    tcDebugInfo dbg("Done_SRXImporter");
    g_pIORegistry->Unregister(SRXImporterGUID());
}

std::unique_ptr<tcIO> AllocateIO_SRXImporter()
{
    tcDebugInfo dbg("AllocateIO_SRXImporter");
    return std::make_unique<CSRXImporter>();
}

bool SelectDataSource_SRXImporter(wchar_t* szBuffer, size_t nBufferSize)
{
    tcDebugInfo dbg("SelectDataSource_SRXImporter");
    return tSelectXMLFormatFile("SRX files (*.srx)|*.srx|All files (*.*)|*.*", szBuffer, nBufferSize);
}
