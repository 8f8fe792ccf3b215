#pragma once

#include <wx/frame.h>

class CDlgAbout;
class CVRDocSplitter;
class VRDocFrame;
class wxMenu;

// Command identifiers of the main window's menus.
enum
{
    ID_PROJECT_EXIT = 26000,
    ID_PROJECT_NEW = 26001,
    ID_PROJECT_OPEN = 26002,
    ID_PROJECT_ADDFILES = 26003,
    ID_PROJECT_CLOSE = 26004,
    ID_PROJECT_SAVE = 26005,
    ID_FILE_OUTPUTTRANSLATEDFILE = 26006,
    ID_FILE_REMOVEFILE = 26007,
    ID_STATISTICS_FULL = 26009,
    ID_STATISTICS_PROJECT = 26010,
    ID_STATISTICS_FILE = 26011,
    ID_LAYOUT_RESTOREDEFAULTVIEW = 26012,
    ID_LAYOUT_SAVEVIEW = 26013,
    // The load submenu; its k-th layout (from 1) is ID_LAYOUT_LOADVIEW + k, up to 26141.
    ID_LAYOUT_LOADVIEW = 26014,
    ID_LAYOUT_LOADVIEW_LAST = 26141,
    ID_LAYOUT_SETDEFAULTVIEW = 26142,
    ID_LAYOUT_LOADORIGINALDEFAULTVIEW = 26143,
    // The delete submenu; its k-th layout is ID_LAYOUT_DELETEVIEW + k, up to 26271.
    ID_LAYOUT_DELETEVIEW = 26144,
    ID_LAYOUT_DELETEVIEW_LAST = 26271,
    ID_HELP_UPDATES = 26272,
    ID_HELP_ABOUT = 26273,
    ID_HELP_USERGUIDE = 26274,
    ID_HELP_FAQ = 26275,
    ID_HELP_WEBSITE = 26276,
    ID_HELP_SUPPORT = 26277,
};

// The program's one top-level window: the menus (Project, File, Statistics, Layout, Help), the
// notebook of open projects, the convertor registry (g_pConvertorRegistry, from construction to
// destruction), the statistics pages and the saved window layouts.
//
// Every command that needs a project does nothing without a current one: a command can arrive
// by shortcut or script while its menu is off. Closing the window (Exit or the close box) first
// closes the open projects one by one, each with its questions. Main thread only.
class BrindovaFrame : public wxFrame
{
public:
    BrindovaFrame(const wxString& sTitle, const wxPoint& pos, const wxSize& size);
    ~BrindovaFrame() override;

    // Enable or disable the File, Statistics and Layout menus and Add files, Close and Save.
    void EnableProjectMenus();
    void DisableProjectMenus();
    // Rebuilds the load and delete submenus from the saved layouts.
    void ReInitializeViewMenus();

    CVRDocSplitter* GetDocSplitter() const { return m_pDocSplitter; }
    // The last about box opened; null before the first.
    CDlgAbout* GetAboutDialog() const { return m_pDlgAbout; }
    int GetNumListedViews() const { return m_nNumViews; }

private:
    void BuildMenus();
    void RegisterConvertors();
    // The Word row: added only when a Word automation provider reports itself available, and
    // this platform has none.
    void RegisterWordConvertor();
    // The current project page; null (and nothing is to be done) without one.
    VRDocFrame* CurrentPage() const;
    void SetProjectMenus(bool bEnable);
    void AfterProjectAdded();

    void OnNew(wxCommandEvent& event);
    void OnOpen(wxCommandEvent& event);
    void OnAddFiles(wxCommandEvent& event);
    void OnClose(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnOutputTranslatedFile(wxCommandEvent& event);
    void OnRemoveFile(wxCommandEvent& event);
    void OnOutputFullStatistics(wxCommandEvent& event);
    void OnOutputProjectStatistics(wxCommandEvent& event);
    void OnOutputFileStatistics(wxCommandEvent& event);
    void OnSelectedDocumentChanged(wxCommandEvent& event);
    void OnIdle(wxIdleEvent& event);

    void OnLayoutLoadView(wxCommandEvent& event);
    void OnLayoutDeleteView(wxCommandEvent& event);
    void OnLayoutSaveView(wxCommandEvent& event);
    void OnLayoutRestoreDefaultView(wxCommandEvent& event);
    void OnLayoutSetDefaultView(wxCommandEvent& event);
    void OnLayoutRestoreOriginalDefaultView(wxCommandEvent& event);

    void OnHelpUserGuide(wxCommandEvent& event);
    void OnHelpFAQ(wxCommandEvent& event);
    void OnHelpWeb(wxCommandEvent& event);
    void OnHelpSupport(wxCommandEvent& event);
    void OnHelpUpdate(wxCommandEvent& event);
    void OnHelpAbout(wxCommandEvent& event);

    // Opens sPath under the vendor's web address, or says why it cannot.
    void OpenWebPage(const wxString& sPath);
    // Opens sTarget with the desktop, or says that it could not.
    void ShellOpen(const wxString& sTarget);

    wxMenu* m_pProjectMenu = nullptr;
    wxMenu* m_pFileMenu = nullptr;
    wxMenu* m_pStatisticsMenu = nullptr;
    wxMenu* m_pLayoutMenu = nullptr;
    wxMenu* m_pLoadViewMenu = nullptr;
    wxMenu* m_pDeleteViewMenu = nullptr;
    wxMenu* m_pHelpMenu = nullptr;
    int m_nNumViews = 0;
    CDlgAbout* m_pDlgAbout = nullptr;
    CVRDocSplitter* m_pDocSplitter = nullptr;

    wxDECLARE_EVENT_TABLE();
};
