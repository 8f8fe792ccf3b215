#include "Shared/Options.h"

#include "platform/ConfigStore.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tNumber.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tcAppContext.h"

#include <wx/stdpaths.h>

#include <memory>

wxConfigBase* g_pConfig = nullptr;
COptions g_Options;

namespace
{
std::unique_ptr<ConfigStore> s_pStore;
tFontExistsFn s_pfnFontExists = nullptr;

// Property groups are absolute in the store whatever the declaring code wrote; a relative one
// would land under whichever group the thread had set last.
wxString AbsoluteGroup(const wxString& sPath)
{
    return sPath.StartsWith(L"/") ? sPath : L"/" + sPath;
}
} // namespace

void tCreateConfigStore()
{
    tCreateConfigStore(ConfigStore::DefaultLocalFile(), ConfigStore::DefaultGlobalFile());
}

void tCreateConfigStore(const wxString& sLocalFile, const wxString& sGlobalFile)
{
    tDeleteConfigStore();
    s_pStore = std::make_unique<ConfigStore>(sLocalFile, sGlobalFile);
    g_pConfig = s_pStore.get();
}

void tDeleteConfigStore()
{
    g_pConfig = nullptr;
    s_pStore.reset();
}

void tSetFontExistsCheck(tFontExistsFn pfnCheck)
{
    s_pfnFontExists = pfnCheck;
}

tFontExistsFn tGetFontExistsCheck()
{
    return s_pfnFontExists;
}

tcOptions* tGetOptions()
{
    static tcOptions s_Options;
    return &s_Options;
}

tcProperties* tGetAppProperties()
{
    static tcProperties s_AppProperties;
    return &s_AppProperties;
}

wxString GetDefaultAppDocumentsFolder()
{
    wxString sFolder = wxStandardPaths::Get().GetDocumentsDir();
    if (sFolder.empty())
        return tPathCombine(g_sAppPath, L"Projects");
    const wxString sSub = tGetAppProperties()->GetString(wxString(), L"DefaultUserDocumentsFolder", wxString());
    if (!sSub.empty())
        tStrPathAppend(sFolder, sSub);
    return sFolder;
}

void LoadOptions()
{
    if (!g_pConfig)
        return;
    COptions& opt = g_Options;
    wxConfigBase& cfg = *g_pConfig;

    wxString sText;
    cfg.SetPath(L"/Projects");
    if (!cfg.Read(L"ProjectFolder", &sText) || sText.empty())
        sText = GetDefaultAppDocumentsFolder();
    opt.m_sProjectFolder = sText;

    cfg.SetPath(L"/Backups");
    sText.clear();
    if (!cfg.Read(L"BackupFolder", &sText) || sText.empty())
        sText = tPathCombine(GetDefaultAppDocumentsFolder(), L"Backups");
    opt.m_sBackupFolder = sText;
    cfg.Read(L"DoAutomaticBackups", &opt.m_bDoAutomaticBackups);
    long nInterval = 3600;
    cfg.Read(L"AutomaticBackupInterval", &nInterval, 3600L);
    opt.m_nAutomaticBackupInterval = (nInterval >= 60 && nInterval <= 86400) ? static_cast<int>(nInterval) : 3600;

    cfg.SetPath(L"/UserInterface");
    cfg.Read(L"UseColoursInAttributesWindow", &opt.m_bUseColoursInAttributesWindow);
    cfg.Read(L"WideToolsWindow", &opt.m_bWideToolsWindow);
    cfg.Read(L"TreeViewDragAndDrop", &opt.m_bTreeViewDragAndDrop);
    opt.m_bPreviewSelectedSubtree = false;
    cfg.Read(L"PreviewSelectedOnly", &opt.m_bPreviewSelectedOnly, false);
    cfg.Read(L"UnderlineLinks", &opt.m_bUnderlineLinks, true);
    cfg.Read(L"PreviewAllStyleSets", &opt.m_bPreviewAllStyleSets, true);
    cfg.Read(L"HighlightSelected", &opt.m_bHighlightSelected, true);
    cfg.Read(L"ClickToSelect", &opt.m_bClickToSelect, true);

    cfg.SetPath(L"/ReplaceAsYouType");
    cfg.Read(L"EnableRAYT", &opt.m_bEnableRAYT);

    opt.LoadKeyboardSettingsFromConfig();

    const wxString sDefaultFont =
        (s_pfnFontExists && s_pfnFontExists(L"Arial Unicode MS")) ? L"Arial Unicode MS" : L"Arial";
    kvLog(L"Default UI font: %s", sDefaultFont.wc_str());
    opt.ClearUIItems();
    opt.AddDefaultUIItems(sDefaultFont);
    opt.LoadFontSettings();

    opt.LoadRAYTFiles();
}

void SaveOptions()
{
    if (!g_pConfig)
        return;
    COptions& opt = g_Options;
    wxConfigBase& cfg = *g_pConfig;

    cfg.SetPath(L"/Projects");
    cfg.Write(L"ProjectFolder", opt.m_sProjectFolder);

    cfg.SetPath(L"/Backups");
    cfg.Write(L"BackupFolder", opt.m_sBackupFolder);
    cfg.Write(L"DoAutomaticBackups", opt.m_bDoAutomaticBackups);
    cfg.Write(L"AutomaticBackupInterval", static_cast<long>(opt.m_nAutomaticBackupInterval));

    cfg.SetPath(L"/UserInterface");
    cfg.Write(L"UseColoursInAttributesWindow", opt.m_bUseColoursInAttributesWindow);
    cfg.Write(L"WideToolsWindow", opt.m_bWideToolsWindow);
    cfg.Write(L"TreeViewDragAndDrop", opt.m_bTreeViewDragAndDrop);
    cfg.Write(L"PreviewSelectedOnly", opt.m_bPreviewSelectedOnly);
    cfg.Write(L"PreviewSelectedSubtree", opt.m_bPreviewSelectedSubtree);
    cfg.Write(L"UnderlineLinks", opt.m_bUnderlineLinks);
    cfg.Write(L"PreviewAllStyleSets", opt.m_bPreviewAllStyleSets);
    cfg.Write(L"HighlightSelected", opt.m_bHighlightSelected);
    cfg.Write(L"ClickToSelect", opt.m_bClickToSelect);

    cfg.SetPath(L"/ReplaceAsYouType");
    cfg.Write(L"EnableRAYT", opt.m_bEnableRAYT);

    cfg.Flush();

    opt.SaveKeyboardSettingsToConfig();
    opt.SaveFontSettings();
}

void tcOptions::OnPropertyAdded(int nIndex)
{
    tcProperties::OnPropertyAdded(nIndex);
    const tcVar* pVar = GetPropertyVar(nIndex);
    if (!g_pConfig || !pVar)
        return;
    wxConfigBase& cfg = *g_pConfig;
    cfg.SetPath(AbsoluteGroup(pVar->GetPath()));

    bool bFound = false;
    wxString sValue;
    switch (pVar->GetType())
    {
    case tTYPE_BOOL:
    {
        bool bValue = false;
        bFound = cfg.Read(pVar->GetName(), &bValue);
        sValue = bValue ? L"true" : L"false";
        break;
    }
    case tTYPE_INTEGER:
    {
        long nValue = 0;
        bFound = cfg.Read(pVar->GetName(), &nValue);
        sValue = tIntToString(nValue);
        break;
    }
    case tTYPE_STRING:
        bFound = cfg.Read(pVar->GetName(), &sValue);
        break;
    case tTYPE_DOUBLE:
    {
        double dValue = 0.0;
        bFound = cfg.Read(pVar->GetName(), &dValue);
        sValue = tDoubleToString(dValue, 6);
        break;
    }
    }

    if (bFound)
    {
        // The stored value is what the store holds already: no write back (which would also
        // round a double to six decimals).
        m_bLoading = true;
        SetPropertyValue(nIndex, sValue);
        m_bLoading = false;
    }
    else
    {
        OnPropertyValueChanged(nIndex);
    }
}

void tcOptions::OnPropertyValueChanged(int nIndex)
{
    tcProperties::OnPropertyValueChanged(nIndex);
    const tcVar* pVar = GetPropertyVar(nIndex);
    if (m_bLoading || !g_pConfig || !pVar)
        return;
    wxConfigBase& cfg = *g_pConfig;
    const wxString sValue = GetPropertyValue(nIndex);
    cfg.SetPath(AbsoluteGroup(pVar->GetPath()));
    switch (pVar->GetType())
    {
    case tTYPE_BOOL:
        cfg.Write(pVar->GetName(), tStrIsTrueHelper(sValue));
        break;
    case tTYPE_INTEGER:
        cfg.Write(pVar->GetName(), tStringToLong(sValue));
        break;
    case tTYPE_STRING:
        cfg.Write(pVar->GetName(), sValue);
        break;
    case tTYPE_DOUBLE:
        cfg.Write(pVar->GetName(), tStringToDouble(sValue));
        break;
    }
    cfg.Flush();
}
