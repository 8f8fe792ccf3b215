// The main window's Layout and Help commands.
#include "app/BrindovaFrame.h"

#include "Shared/Options.h"
#include "Shared/UserPrompts.h"
#include "app/ViewLayouts.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tShell.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "workspace/VRDocFrame.h"
#include "workspace/VRDocSplitter.h"

#include <wx/menu.h>
#include <wx/textdlg.h>

#include <limits>

namespace
{
void ShowInfo(const wxString& sText)
{
    tUserPrompts().ShowMessage(sText, g_LocEngine.FindTranslation("APPLICATION_NAME"), wxOK | wxICON_INFORMATION,
                               nullptr);
}

// A layout name as a menu label: "&" would otherwise mark a mnemonic and vanish.
wxString MenuLabel(const wxString& sName)
{
    wxString s = sName;
    s.Replace("&", "&&");
    return s;
}
} // namespace

void BrindovaFrame::ReInitializeViewMenus()
{
    for (; m_nNumViews > 0; --m_nNumViews)
    {
        m_pLoadViewMenu->Destroy(ID_LAYOUT_LOADVIEW + m_nNumViews);
        m_pDeleteViewMenu->Destroy(ID_LAYOUT_DELETEVIEW + m_nNumViews);
    }
    // At most as many as the identifier ranges hold, so no item takes the id of another command.
    for (const wxString& sName : tListSavedViews(g_pConfig))
    {
        ++m_nNumViews;
        m_pLoadViewMenu->Append(ID_LAYOUT_LOADVIEW + m_nNumViews, MenuLabel(sName), sName);
        m_pDeleteViewMenu->Append(ID_LAYOUT_DELETEVIEW + m_nNumViews, MenuLabel(sName), sName);
    }
    m_pLayoutMenu->Enable(ID_LAYOUT_LOADVIEW, m_nNumViews > 0);
    m_pLayoutMenu->Enable(ID_LAYOUT_DELETEVIEW, m_nNumViews > 0);
}

void BrindovaFrame::OnLayoutLoadView(wxCommandEvent& event)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnLayoutLoadView");
    VRDocFrame* pPage = CurrentPage();
    const int n = event.GetId() - ID_LAYOUT_LOADVIEW;
    if (!pPage || n < 1)
        return;
    // Listed again, in the order that built the menu: the store may have been used meanwhile.
    const std::vector<wxString> asNames = tListSavedViews(g_pConfig);
    if (static_cast<size_t>(n) <= asNames.size())
        pPage->LoadView(asNames[static_cast<size_t>(n) - 1]);
}

void BrindovaFrame::OnLayoutDeleteView(wxCommandEvent& event)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnLayoutDeleteView");
    VRDocFrame* pPage = CurrentPage();
    const int n = event.GetId() - ID_LAYOUT_DELETEVIEW;
    if (!pPage || n < 1)
        return;
    const std::vector<wxString> asNames = tListSavedViews(g_pConfig);
    if (static_cast<size_t>(n) > asNames.size())
        return;
    pPage->DeleteView(asNames[static_cast<size_t>(n) - 1]);
    ReInitializeViewMenus();
}

void BrindovaFrame::OnLayoutSaveView(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnLayoutSaveView");
    VRDocFrame* pPage = CurrentPage();
    if (!pPage)
        return;
    const wxString sName = wxGetTextFromUser(g_LocEngine.FindTranslation("ENTER_VIEW_NAME_MESSAGE"),
                                             g_LocEngine.FindTranslation("ENTER_VIEW_NAME_TITLE"), wxString(), nullptr,
                                             wxDefaultCoord, wxDefaultCoord, true);
    // Blanks alone are no name: the same as cancelling.
    if (wxString(sName).Strip(wxString::both).empty())
        return;
    const std::vector<wxString> asSaved = tListSavedViews(g_pConfig, std::numeric_limits<size_t>::max());
    const wxString sRefusal = tCheckViewName(sName, asSaved);
    if (!sRefusal.empty())
    {
        tUserPrompts().ShowMessage(g_LocEngine.FindTranslation(sRefusal),
                                   g_LocEngine.FindTranslation("ENTER_VIEW_NAME_TITLE"), wxOK | wxICON_WARNING, this);
        return;
    }
    const wxString sExisting = tFindViewName(sName, asSaved);
    if (!sExisting.empty() &&
        tUserPrompts().ShowMessage(g_LocEngine.FindTranslation("VIEW_NAME_EXISTS") + "\n\n" + sExisting,
                                   g_LocEngine.FindTranslation("ENTER_VIEW_NAME_TITLE"), wxYES_NO | wxICON_QUESTION,
                                   this) != wxYES)
        return;
    pPage->SaveView(sName);
    ReInitializeViewMenus();
}

void BrindovaFrame::OnLayoutRestoreDefaultView(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnLayoutRestoreDefaultView");
    if (VRDocFrame* pPage = CurrentPage())
        pPage->RestoreDefaultView();
}

void BrindovaFrame::OnLayoutSetDefaultView(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnLayoutSetDefaultView");
    if (VRDocFrame* pPage = CurrentPage())
        pPage->SetDefaultView();
}

void BrindovaFrame::OnLayoutRestoreOriginalDefaultView(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnLayoutRestoreOriginalDefaultView");
    if (VRDocFrame* pPage = CurrentPage())
        pPage->RestoreOriginalDefaultView();
}

void BrindovaFrame::OnHelpUserGuide(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnHelpUserGuide");
    tcDebugInfo innerInfo("tOnUserGuide");
    ShellOpen(tPathCombine(g_sAppPath, "Documentation/Lintrado User Guide.pdf"));
}

void BrindovaFrame::OnHelpFAQ(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnHelpFAQ");
    tcDebugInfo innerInfo("tOnFAQ");
    OpenWebPage("/faq.html");
}

void BrindovaFrame::OnHelpWeb(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnHelpWeb");
    OpenWebPage("/");
}

void BrindovaFrame::OnHelpSupport(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnHelpSupport");
    tcDebugInfo innerInfo("tOnSupport");
    OpenWebPage("/support/");
}

void BrindovaFrame::OnHelpUpdate(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnHelpUpdate");
    // Nothing is fetched: this version has no update service to ask.
    ShowInfo(g_LocEngine.FindTranslation("HELP_UPDATES_NOT_CHECKED"));
}

void BrindovaFrame::OpenWebPage(const wxString& sPath)
{
    wxString sBase;
    if (g_pConfig)
        g_pConfig->Read("/App/WebSite", &sBase);
    sBase.Trim(true).Trim(false);
    while (sBase.EndsWith("/"))
        sBase.RemoveLast();
    if (sBase.empty())
    {
        ShowInfo(g_LocEngine.FindTranslation("HELP_NO_WEBSITE"));
        return;
    }
    ShellOpen(sBase + sPath);
}

void BrindovaFrame::ShellOpen(const wxString& sTarget)
{
    kvLog(L"Opening %s", sTarget);
    if (tShellExecute(sTarget))
        return;
    wxString sText = g_LocEngine.FindTranslation("HELP_OPEN_FAILED");
    sText.Replace("%1", sTarget);
    tUserPrompts().ShowMessage(sText, g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR, this);
}
