#include "app/ProgramServices.h"

#include "Shared/HTMLPreview.h"
#include "Shared/ImportXML.h"
#include "Shared/Localisation.h"
#include "Shared/Options.h"
#include "engine/ConvertorPreviewWx.h"
#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "import/XLIFFImporter.h"
#include "varnak/include/kvFont.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLanguageDatabase.h"

#include <wx/evtloop.h>
#include <wx/image.h>

namespace
{
bool s_bImportersRegistered = false;
bool s_bOptionsLoaded = false;

void RegisterImporters()
{
    // Long imports let the toolkit repaint and run timers, but take no user input, so no command
    // can start in the middle of a load.
    tSetXMLImportYieldHook(
        []
        {
            if (wxEventLoopBase* pLoop = wxEventLoopBase::GetActive())
                pLoop->YieldFor(wxEVT_CATEGORY_ALL & ~wxEVT_CATEGORY_USER_INPUT);
        });
    Init_XLIFFImporter();
    Init_TMXImporter();
    Init_SRXImporter();
    s_bImportersRegistered = true;
}

void UnregisterImporters()
{
    if (!s_bImportersRegistered)
        return;
    Done_XLIFFImporter();
    Done_TMXImporter();
    Done_SRXImporter();
    tSetXMLImportYieldHook(nullptr);
    s_bImportersRegistered = false;
}
} // namespace

bool tStartProgramServices(const std::function<void()>& fnBeforeSlowLoads)
{
    RegisterImporters();
    tCreateConfigStore();
    if (!tLocalisationLoadCatalogs())
        return false;

    tInitWebLayoutEngineSelection();
    wxInitAllImageHandlers();
    tInstallConvertorPreviewWindows();
    if (fnBeforeSlowLoads)
        fnBeforeSlowLoads();

    tInitLanguageDatabase(tPathCombine(g_sLibDataPath, "LanguageRegistry"));
    tSetFontExistsCheck(kvFontExists);
    LoadOptions();
    s_bOptionsLoaded = true;
    return true;
}

void tStopProgramServices()
{
    UnregisterImporters();

    if (s_bOptionsLoaded)
    {
        SaveOptions();
        kvLog(L"Shutdown: options saved");
    }
    else
        kvLog(L"Shutdown: options were never loaded, not saved");
    s_bOptionsLoaded = false;

    tDoneLanguageDatabase();
    tLocalisationDone();

    tDeleteConfigStore();
    kvLog(L"Shutdown: configuration store closed");
}
