#include "import/TMXImporter.h"

#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcIO.h"

namespace
{
const CXMLFormat s_format = {
    L"tmx",
    L"tmxdoc",
    L"tmx",
    L"TMX",
    &OutputTMX,
    nullptr,
    nullptr,
    "CTMXImporter::Save",
    "CTMXImporter::SaveAs",
    &tIsTMXLayoutKind,
};
} // namespace

const tGUID& TMXImporterGUID()
{
    static const tGUID s_guid = []
    {
        tGUID guid;
        tStringToGUID(kszTMXImporterGUID, guid);
        return guid;
    }();
    return s_guid;
}

CTMXImporter::CTMXImporter() : CXMLFormatImporter(s_format)
{
    tcDebugInfo dbg("CTMXImporter::CTMXImporter");
    m_sSeparator = "%n%n";
}

CTMXImporter::~CTMXImporter()
{
    tcDebugInfo dbg("CTMXImporter::~CTMXImporter");
}

bool Init_TMXImporter()
{
    tcDebugInfo dbg("Init_TMXImporter");
    return g_pIORegistry->RegisterIO(TMXImporterGUID(), IOFLAG_SAVE | IOFLAG_SAVEAS | IOFLAG_OPEN, "TMXImporter",
                                     "TMX (Translation Memory eXchange) in TMX mode [beta]", &AllocateIO_TMXImporter,
                                     &SelectDataSource_TMXImporter);
}

void Done_TMXImporter()
{
    tcDebugInfo dbg("Done_TMXImporter");
    g_pIORegistry->Unregister(TMXImporterGUID());
}

std::unique_ptr<tcIO> AllocateIO_TMXImporter()
{
    tcDebugInfo dbg("AllocateIO_TMXImporter");
    return std::make_unique<CTMXImporter>();
}

bool SelectDataSource_TMXImporter(wchar_t* szBuffer, size_t nBufferSize)
{
    tcDebugInfo dbg("SelectDataSource_TMXImporter");
    return tSelectXMLFormatFile("TMX files (*.tmx)|*.tmx|All files (*.*)|*.*", szBuffer, nBufferSize);
}
