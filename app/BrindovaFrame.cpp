#include "app/BrindovaFrame.h"

#include "Shared/AppUtils_sharedMenu.h"
#include "Shared/UserPrompts.h"
#include "app/DlgAbout.h"
#include "app/StatisticsPages.h"
#include "engine/ConvertorRegistry.h"
#include "engine/Convertor_html.h"
#include "engine/Convertor_txt.h"
#include "engine/Convertor_word.h"
#include "engine/VRMemDocStatistics.h"
#include "import/XLIFFImporter.h"
#include "platform/WordAutomation.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "workspace/VRDocFrame.h"
#include "workspace/VRDocSplitter.h"

#include <wx/icon.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/time.h>

#include <cstdlib>
#include <exception>
#include <vector>

// clang-format off
wxBEGIN_EVENT_TABLE(BrindovaFrame, wxFrame)
    EVT_MENU(ID_PROJECT_NEW, BrindovaFrame::OnNew)
    EVT_MENU(ID_PROJECT_OPEN, BrindovaFrame::OnOpen)
    EVT_MENU(ID_PROJECT_ADDFILES, BrindovaFrame::OnAddFiles)
    EVT_MENU(ID_PROJECT_CLOSE, BrindovaFrame::OnClose)
    EVT_MENU(ID_PROJECT_SAVE, BrindovaFrame::OnSave)
    EVT_MENU(ID_PROJECT_EXIT, BrindovaFrame::OnQuit)
    EVT_MENU(ID_FILE_OUTPUTTRANSLATEDFILE, BrindovaFrame::OnOutputTranslatedFile)
    EVT_MENU(ID_FILE_REMOVEFILE, BrindovaFrame::OnRemoveFile)
    EVT_MENU(ID_STATISTICS_FULL, BrindovaFrame::OnOutputFullStatistics)
    EVT_MENU(ID_STATISTICS_PROJECT, BrindovaFrame::OnOutputProjectStatistics)
    EVT_MENU(ID_STATISTICS_FILE, BrindovaFrame::OnOutputFileStatistics)
    EVT_MENU(ID_LAYOUT_RESTOREDEFAULTVIEW, BrindovaFrame::OnLayoutRestoreDefaultView)
    EVT_MENU(ID_LAYOUT_SAVEVIEW, BrindovaFrame::OnLayoutSaveView)
    EVT_MENU_RANGE(ID_LAYOUT_LOADVIEW, ID_LAYOUT_LOADVIEW_LAST, BrindovaFrame::OnLayoutLoadView)
    EVT_MENU(ID_LAYOUT_SETDEFAULTVIEW, BrindovaFrame::OnLayoutSetDefaultView)
    EVT_MENU(ID_LAYOUT_LOADORIGINALDEFAULTVIEW, BrindovaFrame::OnLayoutRestoreOriginalDefaultView)
    EVT_MENU_RANGE(ID_LAYOUT_DELETEVIEW, ID_LAYOUT_DELETEVIEW_LAST, BrindovaFrame::OnLayoutDeleteView)
    EVT_MENU(ID_HELP_USERGUIDE, BrindovaFrame::OnHelpUserGuide)
    EVT_MENU(ID_HELP_FAQ, BrindovaFrame::OnHelpFAQ)
    EVT_MENU(ID_HELP_WEBSITE, BrindovaFrame::OnHelpWeb)
    EVT_MENU(ID_HELP_SUPPORT, BrindovaFrame::OnHelpSupport)
    EVT_MENU(ID_HELP_UPDATES, BrindovaFrame::OnHelpUpdate)
    EVT_MENU(ID_HELP_ABOUT, BrindovaFrame::OnHelpAbout)
    EVT_CHOICE(0, BrindovaFrame::OnSelectedDocumentChanged)
    EVT_IDLE(BrindovaFrame::OnIdle)
    EVT_CLOSE(BrindovaFrame::OnCloseWindow)
wxEND_EVENT_TABLE()
    // clang-format on

    namespace
{
    // The records of every file of a page, with the page's file name.
    tcProjectStatistics CollectStatistics(VRDocFrame * pPage)
    {
        tcProjectStatistics project;
        project.sFileName = pPage->GetFileName();
        for (int i = 0; i < pPage->GetNumFiles(); ++i)
        {
            CVRMemDocStatistics file;
            pPage->GetStatistics(&file, i);
            project.aFiles.push_back(file);
        }
        return project;
    }

    // Runs a page command; a failure is shown instead of leaving the event handler.
    template <typename Fn> void Guarded(Fn fn)
    {
        try
        {
            fn();
        }
        catch (const std::exception& e)
        {
            tUserPrompts().ShowMessage(wxString::FromUTF8(e.what()), g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"),
                                       wxOK | wxICON_ERROR, nullptr);
        }
        catch (...)
        {
            tUserPrompts().ShowMessage(g_LocEngine.FindTranslation("UNKNOWN_ERROR"),
                                       g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR, nullptr);
        }
    }
} // namespace

BrindovaFrame::BrindovaFrame(const wxString& sTitle, const wxPoint& pos, const wxSize& size)
    : wxFrame(nullptr, wxID_ANY, sTitle, pos, size, wxDEFAULT_FRAME_STYLE)
{
    std::srand(static_cast<unsigned>(wxGetLocalTimeMillis().GetLo()));

    // Our own icon; without the file the toolkit's default stays.
    const wxString sIcon = g_sAppDataPath + "/Images/Lintrado.png";
    if (wxFileExists(sIcon))
    {
        wxLogNull noToolkitLog;
        wxIcon icon;
        if (icon.LoadFile(sIcon, wxBITMAP_TYPE_PNG) && icon.IsOk())
            SetIcon(icon);
    }

    BuildMenus();
    m_pDocSplitter = new CVRDocSplitter(this);
    SetTitle(g_LocEngine.FindTranslation("APPLICATION_NAME"));
    RegisterConvertors();
}

BrindovaFrame::~BrindovaFrame()
{
    if (g_pConvertorRegistry)
    {
        delete g_pConvertorRegistry;
        g_pConvertorRegistry = nullptr;
    }
    delete m_pDocSplitter;
    m_pDocSplitter = nullptr;
}

void BrindovaFrame::BuildMenus()
{
    m_pProjectMenu = new wxMenu;
    AppendMenuItem(m_pProjectMenu, ID_PROJECT_NEW, g_LocEngine.FindTranslation("MENU_PROJECT_NEW"),
                   g_LocEngine.FindTranslation("MENU_PROJECT_NEW2"), "NewDocument.png");
    AppendMenuItem(m_pProjectMenu, ID_PROJECT_OPEN, g_LocEngine.FindTranslation("MENU_PROJECT_OPEN"),
                   g_LocEngine.FindTranslation("MENU_PROJECT_OPEN2"), "OpenDocument.png");
    AppendMenuItem(m_pProjectMenu, ID_PROJECT_ADDFILES, g_LocEngine.FindTranslation("MENU_PROJECT_ADDFILES"),
                   g_LocEngine.FindTranslation("MENU_PROJECT_ADDFILES"));
    AppendMenuItem(m_pProjectMenu, ID_PROJECT_CLOSE, g_LocEngine.FindTranslation("MENU_PROJECT_CLOSE"),
                   g_LocEngine.FindTranslation("MENU_PROJECT_CLOSE2"));
    m_pProjectMenu->AppendSeparator();
    AppendMenuItem(m_pProjectMenu, ID_PROJECT_SAVE, g_LocEngine.FindTranslation("MENU_PROJECT_SAVE"),
                   g_LocEngine.FindTranslation("MENU_PROJECT_SAVE"), "Save.png");
    m_pProjectMenu->AppendSeparator();
    AppendMenuItem(m_pProjectMenu, ID_PROJECT_EXIT, g_LocEngine.FindTranslation("MENU_PROJECT_EXIT"),
                   g_LocEngine.FindTranslation("MENU_PROJECT_EXIT2"), "Exit.png");

    m_pFileMenu = new wxMenu;
    AppendMenuItem(m_pFileMenu, ID_FILE_OUTPUTTRANSLATEDFILE,
                   g_LocEngine.FindTranslation("MENU_FILE_OUTPUTTRANSLATEDFILE"),
                   g_LocEngine.FindTranslation("MENU_FILE_OUTPUTTRANSLATEDFILE2"));
    AppendMenuItem(m_pFileMenu, ID_FILE_REMOVEFILE, g_LocEngine.FindTranslation("MENU_FILE_REMOVEFILE"),
                   g_LocEngine.FindTranslation("MENU_FILE_REMOVEFILE2"));

    m_pStatisticsMenu = new wxMenu;
    AppendMenuItem(m_pStatisticsMenu, ID_STATISTICS_FULL,
                   g_LocEngine.FindTranslation("MENU_STATISTICS_OUTPUTFULLSTATISTICS"),
                   g_LocEngine.FindTranslation("MENU_STATISTICS_OUTPUTFULLSTATISTICS2"), "Statistics.png");
    AppendMenuItem(m_pStatisticsMenu, ID_STATISTICS_PROJECT,
                   g_LocEngine.FindTranslation("MENU_STATISTICS_OUTPUTPROJECTSTATISTICS"),
                   g_LocEngine.FindTranslation("MENU_STATISTICS_OUTPUTFULLSTATISTICS2"));
    AppendMenuItem(m_pStatisticsMenu, ID_STATISTICS_FILE,
                   g_LocEngine.FindTranslation("MENU_STATISTICS_OUTPUTFILESTATISTICS"),
                   g_LocEngine.FindTranslation("MENU_STATISTICS_OUTPUTFILESTATISTICS2"));
    m_pStatisticsMenu->Enable(ID_STATISTICS_FULL, false);
    m_pStatisticsMenu->Enable(ID_STATISTICS_PROJECT, false);

    m_pLayoutMenu = new wxMenu;
    m_pLoadViewMenu = new wxMenu;
    m_pDeleteViewMenu = new wxMenu;
    AppendMenuItem(m_pLayoutMenu, ID_LAYOUT_RESTOREDEFAULTVIEW,
                   g_LocEngine.FindTranslation("MENU_LAYOUT_RESTOREDEFAULTVIEW"),
                   g_LocEngine.FindTranslation("MENU_STATISTICS_RESTOREDEFAULTVIEW2"));
    AppendMenuItem(m_pLayoutMenu, ID_LAYOUT_SAVEVIEW, g_LocEngine.FindTranslation("MENU_LAYOUT_SAVEVIEW"),
                   g_LocEngine.FindTranslation("MENU_STATISTICS_SAVEVIEW2"));
    m_pLayoutMenu->Append(ID_LAYOUT_LOADVIEW, g_LocEngine.FindTranslation("MENU_LAYOUT_LOADVIEW"), m_pLoadViewMenu,
                          g_LocEngine.FindTranslation("MENU_LAYOUT_LOADVIEW2"));
    AppendMenuItem(m_pLayoutMenu, ID_LAYOUT_SETDEFAULTVIEW, g_LocEngine.FindTranslation("MENU_LAYOUT_SETASDEFAULTVIEW"),
                   g_LocEngine.FindTranslation("MENU_STATISTICS_SETASDEFAULTVIEW2"));
    AppendMenuItem(m_pLayoutMenu, ID_LAYOUT_LOADORIGINALDEFAULTVIEW,
                   g_LocEngine.FindTranslation("MENU_LAYOUT_LOADORIGINALDEFAULTVIEW"),
                   g_LocEngine.FindTranslation("MENU_STATISTICS_LOADORIGINALDEFAULTVIEW2"));
    m_pLayoutMenu->Append(ID_LAYOUT_DELETEVIEW, g_LocEngine.FindTranslation("MENU_LAYOUT_DELETEVIEW"),
                          m_pDeleteViewMenu, g_LocEngine.FindTranslation("MENU_LAYOUT_DELETEVIEW2"));
    m_pLayoutMenu->Enable(ID_LAYOUT_LOADVIEW, false);
    m_pLayoutMenu->Enable(ID_LAYOUT_DELETEVIEW, false);
    ReInitializeViewMenus();

    m_pHelpMenu = new wxMenu;
    AppendMenuItem(m_pHelpMenu, ID_HELP_USERGUIDE, g_LocEngine.FindTranslation("MENU_HELP_USERGUIDE"),
                   g_LocEngine.FindTranslation("MENU_HELP_USERGUIDE2"), "Help.png");
    AppendMenuItem(m_pHelpMenu, ID_HELP_FAQ, g_LocEngine.FindTranslation("MENU_HELP_FAQ"),
                   g_LocEngine.FindTranslation("MENU_HELP_FAQ2"));
    m_pHelpMenu->AppendSeparator();
    AppendMenuItem(m_pHelpMenu, ID_HELP_WEBSITE, g_LocEngine.FindTranslation("MENU_HELP_WEBSITE"),
                   g_LocEngine.FindTranslation("MENU_HELP_WEBSITE2"), "Website.png");
    AppendMenuItem(m_pHelpMenu, ID_HELP_SUPPORT, g_LocEngine.FindTranslation("MENU_HELP_SUPPORT"),
                   g_LocEngine.FindTranslation("MENU_HELP_SUPPORT2"));
    m_pHelpMenu->AppendSeparator();
    AppendMenuItem(m_pHelpMenu, ID_HELP_UPDATES, g_LocEngine.FindTranslation("MENU_HELP_UPDATES"),
                   g_LocEngine.FindTranslation("MENU_HELP_UPDATES2"));
    m_pHelpMenu->AppendSeparator();
    AppendMenuItem(m_pHelpMenu, ID_HELP_ABOUT,
                   wxString::Format("%s: %s", g_LocEngine.FindTranslation("MENU_HELP_ABOUT"), g_sAppName),
                   g_LocEngine.FindTranslation("MENU_HELP_ABOUT2"));

    auto* pMenuBar = new wxMenuBar;
    pMenuBar->Append(m_pProjectMenu, g_LocEngine.FindTranslation("MENU_PROJECT"));
    pMenuBar->Append(m_pFileMenu, g_LocEngine.FindTranslation("MENU_FILE"));
    pMenuBar->Append(m_pStatisticsMenu, g_LocEngine.FindTranslation("MENU_STATISTICS"));
    pMenuBar->Append(m_pLayoutMenu, g_LocEngine.FindTranslation("MENU_LAYOUT"));
    pMenuBar->Append(m_pHelpMenu, g_LocEngine.FindTranslation("MENU_HELP"));
    SetMenuBar(pMenuBar);
    DisableProjectMenus();
}

void BrindovaFrame::RegisterConvertors()
{
    delete g_pConvertorRegistry;
    g_pConvertorRegistry = new ConvertorRegistry;
    g_pConvertorRegistry->Register(0, "Text documents", "*.txt", "Add plain text documents into XLIFF projects", 1.0f,
                                   AllocateConvertor_TXT);
    g_pConvertorRegistry->Register(0, "HTML documents", "*.html;*.htm;*.xhtml;*.shtml",
                                   "Add HTML documents into XLIFF projects", 1.0f, AllocateConvertor_HTML);
    g_pConvertorRegistry->Register(0, "XML documents", "*.xml", "Add XML documents into XLIFF projects", 1.0f,
                                   AllocateConvertor_XML);
    RegisterWordConvertor();
}

void BrindovaFrame::RegisterWordConvertor()
{
    // Only a Word automation provider makes Word documents readable; this platform has none.
    if (IsWordAvailable())
        g_pConvertorRegistry->Register(0, "Microsoft Word documents", "*.doc;*.docx;*.rtf",
                                       "Add Microsoft Word documents into XLIFF projects", 30.0f,
                                       AllocateConvertor_WORD);
}

void BrindovaFrame::EnableProjectMenus()
{
    SetProjectMenus(true);
}

void BrindovaFrame::DisableProjectMenus()
{
    SetProjectMenus(false);
}

void BrindovaFrame::SetProjectMenus(bool bEnable)
{
    if (wxMenuBar* pMenuBar = GetMenuBar())
    {
        for (size_t nPos = 1; nPos <= 3; ++nPos)
            pMenuBar->EnableTop(nPos, bEnable);
    }
    else
        tAssert(__FILE__, __LINE__, "pMenuBar");
    for (int nID : {ID_PROJECT_ADDFILES, ID_PROJECT_CLOSE, ID_PROJECT_SAVE})
        m_pProjectMenu->Enable(nID, bEnable);
}

VRDocFrame* BrindovaFrame::CurrentPage() const
{
    return m_pDocSplitter ? m_pDocSplitter->GetCurrentDoc() : nullptr;
}

void BrindovaFrame::AfterProjectAdded()
{
    const int nDocs = m_pDocSplitter->GetNumDocs();
    if (nDocs > 0)
        EnableProjectMenus();
    if (nDocs >= 2)
        m_pStatisticsMenu->Enable(ID_STATISTICS_FULL, true);
}

void BrindovaFrame::OnNew(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnNew");
    tcLog::Log("BrindovaFrame::OnNew");
    m_pDocSplitter->NewDoc();
    AfterProjectAdded();
}

void BrindovaFrame::OnOpen(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnOpen");
    tcLog::Log("BrindovaFrame::OnOpen");
    std::vector<wchar_t> szPath(65536, L'\0');
    if (!g_pIORegistry->SelectDatasource(XLIFFImporterGUID(), szPath.data(), szPath.size()))
        return;
    const wxString sPath(szPath.data());
    if (sPath.empty())
        return;
    m_pDocSplitter->OpenDoc(sPath);
    AfterProjectAdded();
}

void BrindovaFrame::OnAddFiles(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnAddFiles");
    tcLog::Log("BrindovaFrame::OnAddFiles");
    if (CurrentPage())
        m_pDocSplitter->AddFiles();
}

void BrindovaFrame::OnClose(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnClose");
    tcLog::Log("BrindovaFrame::OnClose");
    if (!CurrentPage())
        return;
    if (!m_pDocSplitter->CloseCurrentDoc())
        return;
    if (m_pDocSplitter->GetNumDocs() == 0)
        DisableProjectMenus();
    m_pStatisticsMenu->Enable(ID_STATISTICS_FULL, false);
}

void BrindovaFrame::OnSave(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnSave");
    tcLog::Log("BrindovaFrame::OnSave");
    if (CurrentPage())
        m_pDocSplitter->SaveCurrentDoc();
}

void BrindovaFrame::OnQuit(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnQuit");
    tcLog::Log("BrindovaFrame::OnQuit");
    // The projects' questions may cancel the quit.
    Close();
}

void BrindovaFrame::OnCloseWindow(wxCloseEvent& event)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnCloseWindow");
    // Each project asks its own questions while every window still exists; Cancel on any of them
    // keeps the program running with the projects not yet closed, unless the system insists.
    if (m_pDocSplitter && !m_pDocSplitter->CloseAllDocs() && event.CanVeto())
    {
        event.Veto();
        m_pStatisticsMenu->Enable(ID_STATISTICS_FULL, false);
        return;
    }
    Destroy();
}

void BrindovaFrame::OnOutputTranslatedFile(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnOutputTranslatedFile");
    if (VRDocFrame* pPage = CurrentPage())
        Guarded([pPage] { pPage->OutputTranslatedFile(wxString(), wxString()); });
}

void BrindovaFrame::OnRemoveFile(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnRemoveFile");
    if (VRDocFrame* pPage = CurrentPage())
    {
        Guarded([pPage] { pPage->RemoveCurrentFile(); });
        // The statistics commands follow the number of files.
        m_pDocSplitter->PostSelectionNotification();
    }
}

void BrindovaFrame::OnOutputFullStatistics(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnOutputFullStatistics");
    VRDocFrame* pPage = CurrentPage();
    if (!pPage)
        return;
    Guarded(
        [this, pPage]
        {
            std::vector<tcProjectStatistics> aProjects;
            for (int n = 0; n < m_pDocSplitter->GetNumDocs(); ++n)
                aProjects.push_back(CollectStatistics(m_pDocSplitter->GetDocument(n)));
            pPage->ShowHTMLPreview(tMakeFullStatisticsPage(aProjects));
        });
}

void BrindovaFrame::OnOutputProjectStatistics(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnOutputProjectStatistics");
    if (VRDocFrame* pPage = CurrentPage())
        Guarded([pPage] { pPage->ShowHTMLPreview(tMakeProjectStatisticsPage(CollectStatistics(pPage))); });
}

void BrindovaFrame::OnOutputFileStatistics(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnOutputFileStatistics");
    VRDocFrame* pPage = CurrentPage();
    // A project without files has no current file to count.
    if (!pPage || pPage->GetNumFiles() == 0)
        return;
    Guarded(
        [pPage]
        {
            CVRMemDocStatistics file;
            pPage->GetStatistics(&file, -1);
            pPage->ShowHTMLPreview(tMakeFileStatisticsPage(file));
        });
}

void BrindovaFrame::OnSelectedDocumentChanged(wxCommandEvent&)
{
    VRDocFrame* pPage = CurrentPage();
    if (pPage)
        SetTitle(g_LocEngine.FindTranslation("APPLICATION_NAME") + " - " + pPage->GetTitle());
    else
        SetTitle(g_LocEngine.FindTranslation("APPLICATION_NAME"));
    m_pStatisticsMenu->Enable(ID_STATISTICS_PROJECT, pPage && pPage->GetNumFiles() > 1);
}

void BrindovaFrame::OnIdle(wxIdleEvent& event)
{
    event.Skip();
}

void BrindovaFrame::OnHelpAbout(wxCommandEvent&)
{
    tcDebugInfo debugInfo("BrindovaFrame::OnHelpAbout");
    if (m_pDlgAbout)
        m_pDlgAbout->Destroy();
    m_pDlgAbout = new CDlgAbout(this, 720, 500);
    m_pDlgAbout->Show();
}
