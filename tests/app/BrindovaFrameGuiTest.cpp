#include "app/BrindovaFrame.h"

#include "Shared/Options.h"
#include "app/DlgAbout.h"
#include "app/ViewLayouts.h"
#include "engine/Convertor.h"
#include "engine/ConvertorRegistry.h"
#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "import/XLIFFImporter.h"
#include "tests/app/HTMLTestComponents.h"
#include "tests/engine/FakeWord.h"
#include "tests/harness/AssertRecorder.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/harness/TestFiles.h"
#include "tests/workspace/ProjectFixtures.h"
#include "varnak/include/tShell.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "workspace/DlgNewDoc.h"
#include "workspace/VRDocFrame.h"
#include "Shared/FrmFileSelector.h"
#include "Shared/FrmLangSelector.h"
#include "varnak/include/tcLanguageDatabase.h"
#include "workspace/VRDocLayout.h"
#include "workspace/VRDocSplitter.h"
#include "workspace/VRPreviewPanel.h"

#include <wx/aui/aui.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/textdlg.h>
#include <wx/weakref.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace
{
class MainWindow : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        Init_XLIFFImporter();
        Init_TMXImporter();
        Init_SRXImporter();
        // Keys stand for their texts.
        g_LocEngine.Clear();
        tCreateConfigStore(HomePath("Lintrado.conf"), wxString());
    }
    void TearDown() override
    {
        if (m_pFrame)
            m_pFrame->Destroy();
        PumpUntil([this] { return !m_pFrame; });
        tDeleteConfigStore();
        GuiTest::TearDown();
    }

    BrindovaFrame* Frame()
    {
        if (!m_pFrame)
        {
            m_pFrame = new BrindovaFrame("Lintrado", wxPoint(0, 0), wxSize(900, 600));
            m_pFrame->Show();
        }
        return m_pFrame;
    }
    CVRDocSplitter* Notebook() { return Frame()->GetDocSplitter(); }

    void Command(int nID)
    {
        wxCommandEvent event(wxEVT_MENU, nID);
        event.SetEventObject(Frame());
        Frame()->ProcessWindowEvent(event);
    }

    // Opens the project through the Open command and waits until the window shows it.
    void Open(const wxString& sPath)
    {
        Prompts().AnswerFile(sPath);
        Command(ID_PROJECT_OPEN);
        ASSERT_TRUE(Notebook()->GetCurrentDoc());
        // A project counts as unchanged after opening, whatever the load left behind, so that
        // only what a test changes makes closing ask.
        if (Notebook()->GetCurrentDoc()->GetDocument()->IsDirty())
            Notebook()->GetCurrentDoc()->GetDocument()->ClearDirty();
        WaitForTitleOfCurrent();
    }

    void WaitForTitleOfCurrent()
    {
        VRDocFrame* pPage = Notebook()->GetCurrentDoc();
        const wxString sName = g_LocEngine.FindTranslation("APPLICATION_NAME");
        const wxString sTitle = pPage ? sName + " - " + pPage->GetTitle() : sName;
        EXPECT_TRUE(PumpUntil([&] { return Frame()->GetTitle() == sTitle; }))
            << Frame()->GetTitle().utf8_string() << " | " << sTitle.utf8_string();
    }

    bool Enabled(int nID) { return Frame()->GetMenuBar()->IsEnabled(nID); }
    bool TopEnabled(size_t nPos) { return Frame()->GetMenuBar()->IsEnabledTop(nPos); }

    // The labels of a layout submenu's items in order, each with its id.
    std::vector<std::pair<int, wxString>> Items(int nSubmenuID)
    {
        std::vector<std::pair<int, wxString>> aItems;
        wxMenuItem* pSubmenuItem = Frame()->GetMenuBar()->FindItem(nSubmenuID);
        if (!pSubmenuItem || !pSubmenuItem->GetSubMenu())
            return aItems;
        for (wxMenuItem* pItem : pSubmenuItem->GetSubMenu()->GetMenuItems())
            aItems.emplace_back(pItem->GetId(), pItem->GetItemLabel());
        return aItems;
    }

    // The next project dialog (new project or add files) gets one source file, the first languages
    // and the rules, and is confirmed.
    void ExpectProjectDialog(const char* szWhat, const wxString& sSource, const wxString& sRules)
    {
        Dialogs().Expect(szWhat,
                         [sSource, sRules](wxDialog* pDialog)
                         {
                             auto& dialog = *dynamic_cast<CDlgNewDoc*>(pDialog);
                             for (CVRLangSelector* pSelector :
                                  {dialog.GetSourceRows()[0]->GetLangSelector(), dialog.GetTargetSelector()})
                                 pSelector->SelectLanguage(1);
                             dialog.GetSourceRows()[0]->SetFileName(sSource);
                             dialog.GetSRXSelector()->SetFileName(sRules);
                             return wxID_OK;
                         });
    }

    static void StoreViews(const std::vector<wxString>& asNames)
    {
        for (const wxString& sName : asNames)
            g_pConfig->Write("/UserInterface/Views/" + sName, "1|layout of " + sName);
        g_pConfig->Flush();
    }

    wxWeakRef<BrindovaFrame> m_pFrame;
};

// The menus as the open projects change: the state after each step of a session.
TEST_F(MainWindow, MenusFollowTheOpenProjects)
{
    const wxString sOne = MakeSavedProject("one", 1);
    const wxString sTwo = MakeSavedProject("two", 2);
    const wxString sThree = MakeSavedProject("three", 1);

    struct Expected
    {
        const char* szAfter;
        bool bProjectMenus; // File, Statistics, Layout; Add files, Close, Save
        bool bFull;         // 26009
        bool bProject;      // 26010
    };
    auto Check = [this](const Expected& e)
    {
        SCOPED_TRACE(e.szAfter);
        for (size_t nPos : {1u, 2u, 3u})
            EXPECT_EQ(TopEnabled(nPos), e.bProjectMenus) << "menu " << nPos;
        EXPECT_TRUE(TopEnabled(0));
        EXPECT_TRUE(TopEnabled(4));
        for (int nID : {ID_PROJECT_ADDFILES, ID_PROJECT_CLOSE, ID_PROJECT_SAVE})
            EXPECT_EQ(Enabled(nID), e.bProjectMenus) << nID;
        for (int nID : {ID_PROJECT_NEW, ID_PROJECT_OPEN, ID_PROJECT_EXIT})
            EXPECT_TRUE(Enabled(nID)) << nID;
        EXPECT_EQ(Enabled(ID_STATISTICS_FULL), e.bFull);
        EXPECT_EQ(Enabled(ID_STATISTICS_PROJECT), e.bProject);
    };

    Check({"construction", false, false, false});
    EXPECT_EQ(Frame()->GetTitle(), "APPLICATION_NAME");

    Open(sOne);
    Check({"opening a project of one file", true, false, false});
    EXPECT_EQ(Frame()->GetTitle(), "APPLICATION_NAME - " + sOne);

    Open(sTwo);
    Check({"opening a second project, of two files", true, true, true});
    EXPECT_EQ(Frame()->GetTitle(), "APPLICATION_NAME - " + sTwo);

    Open(sThree);
    Check({"opening a third project", true, true, false});

    Command(ID_PROJECT_CLOSE);
    WaitForTitleOfCurrent();
    EXPECT_EQ(Notebook()->GetNumDocs(), 2);
    Check({"closing one of three", true, false, Notebook()->GetCurrentDoc()->GetNumFiles() > 1});

    // Switching projects retitles the window and follows the current project's files.
    const int nTwo = Notebook()->GetPageIndex(Notebook()->GetDocument(1));
    Notebook()->SetSelection(static_cast<size_t>(nTwo));
    WaitForTitleOfCurrent();
    EXPECT_EQ(Frame()->GetTitle(), "APPLICATION_NAME - " + sTwo);
    EXPECT_TRUE(Enabled(ID_STATISTICS_PROJECT));

    // The unsaved mark reaches the title; saving takes it away again.
    Notebook()->GetCurrentDoc()->GetDocument()->SetDirty();
    WaitForTitleOfCurrent();
    EXPECT_NE(Frame()->GetTitle(), "APPLICATION_NAME - " + sTwo);
    Command(ID_PROJECT_SAVE);
    WaitForTitleOfCurrent();
    EXPECT_EQ(Frame()->GetTitle(), "APPLICATION_NAME - " + sTwo);

    Open(sThree);
    Check({"opening again with two open", true, true, false});

    Command(ID_PROJECT_CLOSE);
    Command(ID_PROJECT_CLOSE);
    WaitForTitleOfCurrent();
    Check({"closing to one", true, false, Notebook()->GetCurrentDoc()->GetNumFiles() > 1});

    Command(ID_PROJECT_CLOSE);
    WaitForTitleOfCurrent();
    EXPECT_EQ(Notebook()->GetNumDocs(), 0);
    Check({"closing the last", false, false, false});
    EXPECT_EQ(Frame()->GetTitle(), "APPLICATION_NAME");
}

TEST_F(MainWindow, NewProjectsEnableTheProjectMenusAndFromTheSecondTheFullStatistics)
{
    const wxString sData =
        wxFileName(wxString(std::filesystem::read_symlink("/proc/self/exe").wstring())).GetPath() + "/../Data/";
    ASSERT_TRUE(tInitLanguageDatabase(sData + "LanguageRegistry"));
    const wxString sRules = WriteRules();
    Frame();
    for (const char* szFile : {"a.txt", "b.txt"})
    {
        const wxString sSource = WriteSource(szFile, 2);
        ExpectProjectDialog("new project", sSource, sRules);
        Command(ID_PROJECT_NEW);
    }
    ASSERT_EQ(Notebook()->GetNumDocs(), 2);
    for (size_t nPos : {1u, 2u, 3u})
        EXPECT_TRUE(TopEnabled(nPos));
    EXPECT_TRUE(Enabled(ID_PROJECT_CLOSE));
    EXPECT_TRUE(Enabled(ID_STATISTICS_FULL));
    WaitForTitleOfCurrent();

    // Both projects are new: closing the window asks about each.
    Prompts().AnswerMessage(wxNO);
    Prompts().AnswerMessage(wxNO);
    Command(ID_PROJECT_EXIT);
    EXPECT_TRUE(PumpUntil([this] { return !m_pFrame; }));
    tDoneLanguageDatabase();
}

TEST_F(MainWindow, ProjectStatisticsFollowAddedAndRemovedFilesOfAChangedProject)
{
    const wxString sData =
        wxFileName(wxString(std::filesystem::read_symlink("/proc/self/exe").wstring())).GetPath() + "/../Data/";
    ASSERT_TRUE(tInitLanguageDatabase(sData + "LanguageRegistry"));
    const wxString sRules = WriteRules();
    Open(MakeSavedProject("one", 1));
    // Changed already: adding or removing a file changes no state the window hears about.
    Notebook()->GetCurrentDoc()->GetDocument()->SetDirty();
    WaitForTitleOfCurrent();
    EXPECT_FALSE(Enabled(ID_STATISTICS_PROJECT));

    const wxString sSource = WriteSource("added.txt", 2);
    ExpectProjectDialog("add files", sSource, sRules);
    Command(ID_PROJECT_ADDFILES);
    ASSERT_EQ(Notebook()->GetCurrentDoc()->GetNumFiles(), 2);
    EXPECT_TRUE(PumpUntil([this] { return Enabled(ID_STATISTICS_PROJECT); }));

    Prompts().AnswerMessage(wxOK);
    Command(ID_FILE_REMOVEFILE);
    ASSERT_EQ(Notebook()->GetCurrentDoc()->GetNumFiles(), 1);
    EXPECT_TRUE(PumpUntil([this] { return !Enabled(ID_STATISTICS_PROJECT); }));

    Prompts().AnswerMessage(wxNO);
    Command(ID_PROJECT_EXIT);
    EXPECT_TRUE(PumpUntil([this] { return !m_pFrame; }));
    tDoneLanguageDatabase();
}

TEST_F(MainWindow, StatisticsCommandsRunOverOpenProjectsWithoutQuestions)
{
    AssertRecorder asserts;
    Open(MakeSavedProject("one", 1));
    Open(MakeSavedProject("two", 2));
    for (int nID : {ID_STATISTICS_FULL, ID_STATISTICS_PROJECT, ID_STATISTICS_FILE})
        Command(nID);
    EXPECT_TRUE(asserts.asExpressions.empty());
    EXPECT_EQ(Prompts().Calls().size(), 2u) << "only the two file choosers of Open";
}

// Each statistics command shows its page in the current project's preview panel, at the front of
// its notebook: the file page names the current file only, the project page both files and the
// project, the full page both projects.
TEST_F(MainWindow, StatisticsCommandsShowTheirPageInTheCurrentProjectsPreview)
{
    const wxString sOne = MakeSavedProject("one", 1);
    const wxString sTwo = MakeSavedProject("two", 2);
    Open(sOne);
    Open(sTwo);
    VRDocFrame* pPage = Notebook()->GetCurrentDoc();
    ASSERT_TRUE(pPage && pPage->GetLayout());
    VRDocLayout* pLayout = pPage->GetLayout();
    struct SCase
    {
        int nID;
        std::vector<std::string> asShown;
        std::vector<std::string> asNotShown;
    };
    const SCase aCases[] = {
        {ID_STATISTICS_FILE, {"two-1.txt"}, {"two-2.txt", "one-1.txt"}},
        {ID_STATISTICS_PROJECT, {"two-1.txt", "two-2.txt", "two.xlf"}, {"one-1.txt"}},
        {ID_STATISTICS_FULL, {"one.xlf", "two.xlf", "one-1.txt", "two-2.txt"}, {}},
    };
    {
        RecordingViews views;
        for (const SCase& c : aCases)
        {
            SCOPED_TRACE(c.nID);
            pLayout->GetNotebook(2)->SetSelection(0);
            const size_t nBefore = views.aRecords.size();
            Command(c.nID);
            ASSERT_EQ(views.aRecords.size(), nBefore + 1);
            const auto& pRecord = views.aRecords.back();
            EXPECT_EQ(pRecord->pParent, pLayout->GetPreviewPanel());
            ASSERT_EQ(pRecord->aPages.size(), 1u);
            for (const std::string& sPart : c.asShown)
                EXPECT_NE(pRecord->aPages[0].find(sPart), std::string::npos) << sPart;
            for (const std::string& sPart : c.asNotShown)
                EXPECT_EQ(pRecord->aPages[0].find(sPart), std::string::npos) << sPart;
            EXPECT_EQ(pLayout->GetNotebook(2)->GetSelection(),
                      pLayout->GetNotebook(2)->GetPageIndex(pLayout->GetPreviewPanel()));
        }
        // The recording views go before their component does.
        Command(ID_STATISTICS_FILE);
        pLayout->ShowPreviewWindow(nullptr);
    }
    // The real view, for the picture.
    Command(ID_STATISTICS_FILE);
    PumpEvents(100);
    ASSERT_TRUE(pLayout->GetPreviewPanel()->GetPreviewWindow());
    EXPECT_TRUE(pLayout->GetPreviewPanel()->GetPreviewWindow()->IsShownOnScreen());
    EXPECT_TRUE(ScreenshotIfAsked("main-window-file-statistics"));
}

// The layout items act on the current page: a saved layout comes back through its load item, and
// its delete item removes it from the store and the menus.
TEST_F(MainWindow, LayoutItemsLoadAndDeleteOnTheCurrentPage)
{
    Open(MakeSavedProject("one", 1));
    VRDocFrame* pPage = Notebook()->GetCurrentDoc();
    ASSERT_TRUE(pPage && pPage->GetLayout());
    wxAuiManager* pManager = pPage->GetLayout()->GetManager();
    ASSERT_TRUE(PumpUntil([] { return g_pConfig->HasEntry("/UserInterface/Views/DefaultView"); }));
    const wxString sDefault = pManager->SavePerspective();

    pManager->GetPane("topleft").BestSize(wxSize(160, -1));
    pManager->Update();
    const wxString sNarrow = pManager->SavePerspective();
    ASSERT_NE(sNarrow, sDefault);
    Dialogs().Expect("layout name",
                     [](wxDialog* pDialog)
                     {
                         dynamic_cast<wxTextEntryDialog*>(pDialog)->SetValue("Narrow");
                         return wxID_OK;
                     });
    Command(ID_LAYOUT_SAVEVIEW);
    using List = std::vector<std::pair<int, wxString>>;
    EXPECT_EQ(Items(ID_LAYOUT_LOADVIEW), (List{{ID_LAYOUT_LOADVIEW + 1, "Narrow"}}));

    Command(ID_LAYOUT_RESTOREDEFAULTVIEW);
    EXPECT_EQ(pManager->SavePerspective(), sDefault);
    Command(ID_LAYOUT_LOADVIEW + 1);
    EXPECT_EQ(pManager->SavePerspective(), sNarrow);

    Command(ID_LAYOUT_DELETEVIEW + 1);
    EXPECT_FALSE(g_pConfig->HasEntry("/UserInterface/Views/Narrow"));
    EXPECT_TRUE(Items(ID_LAYOUT_LOADVIEW).empty());
    EXPECT_TRUE(Items(ID_LAYOUT_DELETEVIEW).empty());
    EXPECT_FALSE(Enabled(ID_LAYOUT_LOADVIEW));
    // The page keeps the layout it shows.
    EXPECT_EQ(pManager->SavePerspective(), sNarrow);
}

TEST_F(MainWindow, CommandsThatNeedAProjectDoNothingWithoutOne)
{
    AssertRecorder asserts;
    for (int nID : std::initializer_list<int>{ID_PROJECT_ADDFILES, ID_PROJECT_CLOSE, ID_PROJECT_SAVE,
                                              ID_FILE_OUTPUTTRANSLATEDFILE, ID_FILE_REMOVEFILE, ID_STATISTICS_FULL,
                                              ID_STATISTICS_PROJECT, ID_STATISTICS_FILE, ID_LAYOUT_RESTOREDEFAULTVIEW,
                                              ID_LAYOUT_SAVEVIEW, ID_LAYOUT_LOADVIEW + 1, ID_LAYOUT_SETDEFAULTVIEW,
                                              ID_LAYOUT_LOADORIGINALDEFAULTVIEW, ID_LAYOUT_DELETEVIEW + 1})
        Command(nID);
    PumpEvents(20);
    EXPECT_TRUE(asserts.asExpressions.empty());
    EXPECT_TRUE(Prompts().Calls().empty());
    EXPECT_EQ(Notebook()->GetNumDocs(), 0);
}

TEST_F(MainWindow, RegistersTheThreeDocumentKindsWhileItLives)
{
    Frame();
    ASSERT_TRUE(g_pConvertorRegistry);
    struct Row
    {
        const char* szName;
        const char* szExtensions;
        const char* szDescription;
    };
    const Row aRows[] = {
        {"Text documents", "*.txt", "Add plain text documents into XLIFF projects"},
        {"HTML documents", "*.html;*.htm;*.xhtml;*.shtml", "Add HTML documents into XLIFF projects"},
        {"XML documents", "*.xml", "Add XML documents into XLIFF projects"},
    };
    ASSERT_EQ(g_pConvertorRegistry->GetNumConvertors(), 3);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(g_pConvertorRegistry->GetName(i), aRows[i].szName);
        EXPECT_EQ(g_pConvertorRegistry->GetExtensions(i), aRows[i].szExtensions);
        EXPECT_EQ(g_pConvertorRegistry->GetDescription(i), aRows[i].szDescription);
        EXPECT_EQ(g_pConvertorRegistry->GetWeight(i), 1.0f);
        EXPECT_EQ(g_pConvertorRegistry->GetID(i), 0);
    }
    EXPECT_EQ(g_pConvertorRegistry->FindConvertor(".shtml"), 1);
    EXPECT_EQ(g_pConvertorRegistry->FindConvertor(".doc"), -1);

    m_pFrame->Destroy();
    ASSERT_TRUE(PumpUntil([this] { return !m_pFrame; }));
    EXPECT_FALSE(g_pConvertorRegistry);
}

TEST_F(MainWindow, OffersWordDocumentsOnlyWhenWordCanBeReached)
{
    CFakeWordProvider word;
    word.m_bAvailable = false;
    Frame();
    EXPECT_EQ(g_pConvertorRegistry->GetNumConvertors(), 3);
    m_pFrame->Destroy();
    ASSERT_TRUE(PumpUntil([this] { return !m_pFrame; }));

    word.m_bAvailable = true;
    Frame();
    ASSERT_EQ(g_pConvertorRegistry->GetNumConvertors(), 4);
    EXPECT_EQ(g_pConvertorRegistry->GetName(3), "Microsoft Word documents");
    EXPECT_EQ(g_pConvertorRegistry->GetExtensions(3), "*.doc;*.docx;*.rtf");
    EXPECT_EQ(g_pConvertorRegistry->GetDescription(3), "Add Microsoft Word documents into XLIFF projects");
    EXPECT_EQ(g_pConvertorRegistry->GetWeight(3), 30.0f);
    EXPECT_EQ(g_pConvertorRegistry->FindConvertor(".docx"), 3);
    std::unique_ptr<tcConvertor> pConvertor = g_pConvertorRegistry->CreateConvertor(".rtf", nullptr, L"en");
    ASSERT_TRUE(pConvertor);
    EXPECT_EQ(pConvertor->GetTypeName(), "doc");
    pConvertor.reset();
    m_pFrame->Destroy();
    ASSERT_TRUE(PumpUntil([this] { return !m_pFrame; }));
}

TEST_F(MainWindow, HelpOpensTheGuideAndTheWebPagesUnderTheConfiguredAddress)
{
    const wxString sAppPath = g_sAppPath;
    g_sAppPath = "/opt/lintrado";
    g_pConfig->Write("/App/WebSite", "https://lintrado.example/");
    std::vector<wxString> aTargets;
    tcShellExecuteHook fnPrevious = tSetShellExecuteHook(
        [&](const wxString& sTarget, const wxString&)
        {
            aTargets.push_back(sTarget);
            return true;
        });

    struct Case
    {
        int nID;
        const char* szTarget;
    };
    for (const Case& c :
         {Case{ID_HELP_USERGUIDE, "/opt/lintrado/Documentation/Lintrado User Guide.pdf"},
          Case{ID_HELP_FAQ, "https://lintrado.example/faq.html"}, Case{ID_HELP_WEBSITE, "https://lintrado.example/"},
          Case{ID_HELP_SUPPORT, "https://lintrado.example/support/"}})
    {
        aTargets.clear();
        Command(c.nID);
        ASSERT_EQ(aTargets.size(), 1u) << c.szTarget;
        EXPECT_EQ(aTargets[0], c.szTarget);
    }
    EXPECT_TRUE(Prompts().Calls().empty());

    // Without an address the web commands say so and open nothing.
    g_pConfig->DeleteEntry("/App/WebSite");
    aTargets.clear();
    for (int nID : {ID_HELP_FAQ, ID_HELP_WEBSITE, ID_HELP_SUPPORT})
    {
        Prompts().AnswerMessage(wxOK);
        Command(nID);
        ASSERT_FALSE(Prompts().Calls().empty());
        EXPECT_EQ(Prompts().Calls().back().sMessage, "HELP_NO_WEBSITE");
    }
    EXPECT_TRUE(aTargets.empty());

    // A desktop that cannot open the guide: a message instead of silence.
    tSetShellExecuteHook([](const wxString&, const wxString&) { return false; });
    Prompts().AnswerMessage(wxOK);
    Command(ID_HELP_USERGUIDE);
    EXPECT_EQ(Prompts().Calls().back().sMessage, "HELP_OPEN_FAILED");
    EXPECT_TRUE(Prompts().Calls().back().nStyle & wxICON_ERROR);

    // Updates are not looked for: the user is told so.
    Prompts().AnswerMessage(wxOK);
    Command(ID_HELP_UPDATES);
    EXPECT_EQ(Prompts().Calls().back().sMessage, "HELP_UPDATES_NOT_CHECKED");

    tSetShellExecuteHook(fnPrevious);
    g_sAppPath = sAppPath;
}

TEST_F(MainWindow, AboutTwiceLeavesOneBox)
{
    Command(ID_HELP_ABOUT);
    wxWeakRef<CDlgAbout> pFirst = Frame()->GetAboutDialog();
    ASSERT_TRUE(pFirst);
    EXPECT_TRUE(pFirst->IsShown());
    EXPECT_FALSE(pFirst->IsModal());
    EXPECT_EQ(pFirst->GetSize(), wxSize(720, 500));

    Command(ID_HELP_ABOUT);
    EXPECT_TRUE(PumpUntil([&] { return !pFirst; }));
    int nBoxes = 0;
    for (wxWindow* pWindow : wxTopLevelWindows)
        nBoxes += dynamic_cast<CDlgAbout*>(pWindow) ? 1 : 0;
    EXPECT_EQ(nBoxes, 1);
    ASSERT_TRUE(Frame()->GetAboutDialog());
    EXPECT_TRUE(Frame()->GetAboutDialog()->IsShown());
}

TEST_F(MainWindow, LayoutSubmenusListTheStoredLayoutsInStoreOrder)
{
    StoreViews({"DefaultView", "Zeta", "OriginalDefaultView", "Alpha"});
    ASSERT_EQ(Frame()->GetNumListedViews(), 2);
    using List = std::vector<std::pair<int, wxString>>;
    // The file store keeps its entries sorted by name.
    EXPECT_EQ(Items(ID_LAYOUT_LOADVIEW), (List{{26015, "Alpha"}, {26016, "Zeta"}}));
    EXPECT_EQ(Items(ID_LAYOUT_DELETEVIEW), (List{{26145, "Alpha"}, {26146, "Zeta"}}));
    EXPECT_TRUE(Enabled(ID_LAYOUT_LOADVIEW));
    EXPECT_TRUE(Enabled(ID_LAYOUT_DELETEVIEW));

    // The first is gone from the store: the second moves up to the first place.
    g_pConfig->DeleteEntry("/UserInterface/Views/Alpha");
    Frame()->ReInitializeViewMenus();
    EXPECT_EQ(Items(ID_LAYOUT_LOADVIEW), (List{{26015, "Zeta"}}));
    EXPECT_EQ(Items(ID_LAYOUT_DELETEVIEW), (List{{26145, "Zeta"}}));

    g_pConfig->DeleteEntry("/UserInterface/Views/Zeta");
    Frame()->ReInitializeViewMenus();
    EXPECT_TRUE(Items(ID_LAYOUT_LOADVIEW).empty());
    EXPECT_FALSE(Enabled(ID_LAYOUT_LOADVIEW));
    EXPECT_FALSE(Enabled(ID_LAYOUT_DELETEVIEW));
}

TEST_F(MainWindow, OnlyReservedLayoutsLeaveBothSubmenusEmptyAndOff)
{
    StoreViews({"DefaultView", "OriginalDefaultView"});
    EXPECT_EQ(Frame()->GetNumListedViews(), 0);
    EXPECT_TRUE(Items(ID_LAYOUT_LOADVIEW).empty());
    EXPECT_TRUE(Items(ID_LAYOUT_DELETEVIEW).empty());
    EXPECT_FALSE(Enabled(ID_LAYOUT_LOADVIEW));
    EXPECT_FALSE(Enabled(ID_LAYOUT_DELETEVIEW));
}

TEST_F(MainWindow, MoreLayoutsThanTheMenusHoldListTheFirst127)
{
    std::vector<wxString> asNames;
    for (int i = 1; i <= 130; ++i)
        asNames.push_back(wxString::Format("Layout %03d", i));
    StoreViews(asNames);

    EXPECT_EQ(Frame()->GetNumListedViews(), 127);
    for (int nSubmenu : {ID_LAYOUT_LOADVIEW, ID_LAYOUT_DELETEVIEW})
    {
        const auto aItems = Items(nSubmenu);
        ASSERT_EQ(aItems.size(), 127u);
        EXPECT_EQ(aItems.front().second, "Layout 001");
        EXPECT_EQ(aItems.back().second, "Layout 127");
        EXPECT_EQ(aItems.back().first, nSubmenu + 127);
    }
    // The commands after the ranges keep their own items.
    EXPECT_EQ(Frame()->GetMenuBar()->FindItem(ID_LAYOUT_SETDEFAULTVIEW)->GetItemLabel(),
              "MENU_LAYOUT_SETASDEFAULTVIEW");
    EXPECT_EQ(Frame()->GetMenuBar()->FindItem(ID_HELP_UPDATES)->GetItemLabel(), "MENU_HELP_UPDATES");
}

TEST_F(MainWindow, LayoutNamesWithBlanksEqualsAndAccentsComeBackFromTheStoreFile)
{
    const std::vector<wxString> asNames{"My layout", "a=b", wxString::FromUTF8("Übersetzung größer"), "Tom & Jerry"};
    StoreViews(asNames);
    // Read back from the file, not from the store's memory.
    tCreateConfigStore(HomePath("Lintrado.conf"), wxString());
    Frame();
    std::set<wxString> asShown;
    for (const auto& item : Items(ID_LAYOUT_LOADVIEW))
    {
        const wxMenuItem* pItem = Frame()->GetMenuBar()->FindItem(item.first);
        asShown.insert(pItem->GetItemLabelText());
        EXPECT_EQ(pItem->GetHelp(), pItem->GetItemLabelText());
    }
    EXPECT_EQ(asShown, std::set<wxString>(asNames.begin(), asNames.end()));
}

TEST_F(MainWindow, SavingALayoutAsksForANameAndRefusesNamesItCannotKeep)
{
    std::vector<wxString> asNames;
    for (int i = 1; i <= 127; ++i)
        asNames.push_back(wxString::Format("Layout %03d", i));
    StoreViews(asNames);
    Open(MakeSavedProject("one", 1));

    // The store matches names without regard to case: a name it holds in any case is replaced
    // only when the user says so.
    struct Case
    {
        const char* szAnswer;
        int nButton;
        const char* szMessage; // null: no message
        int nReply;
    };
    const Case aCases[] = {
        {"", wxID_OK, nullptr, 0},
        {"   ", wxID_OK, nullptr, 0},
        {"Mine", wxID_CANCEL, nullptr, 0},
        {"a/b", wxID_OK, "VIEW_NAME_INVALID", wxOK},
        {".", wxID_OK, "VIEW_NAME_INVALID", wxOK},
        {"..", wxID_OK, "VIEW_NAME_INVALID", wxOK},
        {"Layout 128", wxID_OK, "VIEW_LIMIT_REACHED", wxOK},
        {"Layout 005", wxID_OK, "VIEW_NAME_EXISTS\n\nLayout 005", wxYES},
        {"layout 005", wxID_OK, "VIEW_NAME_EXISTS\n\nLayout 005", wxNO},
        {"LAYOUT 006", wxID_OK, "VIEW_NAME_EXISTS\n\nLayout 006", wxYES},
        {"defaultview", wxID_OK, "VIEW_NAME_EXISTS\n\nDefaultView", wxNO},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szAnswer);
        Dialogs().Expect("layout name",
                         [&c](wxDialog* pDialog)
                         {
                             auto* pEntry = dynamic_cast<wxTextEntryDialog*>(pDialog);
                             EXPECT_TRUE(pEntry);
                             if (pEntry)
                             {
                                 EXPECT_EQ(pEntry->GetTitle(), "ENTER_VIEW_NAME_TITLE");
                                 pEntry->SetValue(c.szAnswer);
                             }
                             return c.nButton;
                         });
        if (c.szMessage)
            Prompts().AnswerMessage(c.nReply);
        const size_t nCallsBefore = Prompts().Calls().size();
        Command(ID_LAYOUT_SAVEVIEW);
        EXPECT_EQ(Dialogs().Pending(), 0u);
        if (c.szMessage)
        {
            ASSERT_EQ(Prompts().Calls().size(), nCallsBefore + 1);
            EXPECT_EQ(Prompts().Calls().back().sMessage, c.szMessage);
        }
        else
            EXPECT_EQ(Prompts().Calls().size(), nCallsBefore);
        EXPECT_EQ(Frame()->GetNumListedViews(), 127);
    }
    EXPECT_EQ(tListSavedViews(g_pConfig, 1000), asNames);
}

TEST_F(MainWindow, ShowsTheCatalogsTextsAndOneTabPerProject)
{
    // The build copies the data beside the programs.
    const wxString sData =
        wxFileName(wxString(std::filesystem::read_symlink("/proc/self/exe").wstring())).GetPath() + "/../Data/";
    ASSERT_TRUE(g_LocEngine.LoadLocStrings(sData + "Lintrado/Languages/English.lang", true, true));
    const wxString sAppName = g_sAppName;
    const wxString sAppDataPath = g_sAppDataPath;
    g_sAppName = "Lintrado";
    g_sAppDataPath = sData + "Lintrado";
    // As the program's start-up does.
    wxInitAllImageHandlers();
    const wxString sOne = MakeSavedProject("one", 1);
    const wxString sTwo = MakeSavedProject("two", 2);
    Open(sOne);
    Open(sTwo);
    Notebook()->GetDocument(0)->GetDocument()->SetDirty();
    WaitForTitleOfCurrent();

    EXPECT_EQ(Frame()->GetTitle(), "Lintrado - " + sTwo);
    ASSERT_EQ(Frame()->GetIcons().GetIconCount(), 1u);
    EXPECT_EQ(Frame()->GetIcons().GetIconByIndex(0).GetWidth(), 64);
    const char* aszMenus[] = {"Project", "File", "Statistics", "Layout", "Help"};
    for (size_t nPos = 0; nPos < 5; ++nPos)
        EXPECT_EQ(Frame()->GetMenuBar()->GetMenuLabelText(nPos), aszMenus[nPos]);
    EXPECT_EQ(Frame()->GetMenuBar()->FindItem(ID_HELP_ABOUT)->GetItemLabelText(), "About: Lintrado");
    ASSERT_EQ(Notebook()->GetPageCount(), 2u);
    EXPECT_EQ(Notebook()->GetPageText(1), "two.xlf");
    EXPECT_EQ(Notebook()->GetPageText(0), "one.xlf (*unsaved changes)");
    PumpEvents(100);
    EXPECT_TRUE(ScreenshotIfAsked("main-window-two-projects"));

    Prompts().AnswerMessage(wxNO);
    Command(ID_PROJECT_EXIT);
    EXPECT_TRUE(PumpUntil([this] { return !m_pFrame; }));
    g_LocEngine.Clear();
    g_sAppName = sAppName;
    g_sAppDataPath = sAppDataPath;
}

TEST_F(MainWindow, ExitClosesEveryChangedProjectWithItsQuestions)
{
    AssertRecorder asserts;
    Open(MakeSavedProject("one", 1));
    Open(MakeSavedProject("two", 2));
    for (int n = 0; n < 2; ++n)
        Notebook()->GetDocument(n)->GetDocument()->SetDirty();
    PumpEvents(20);

    Prompts().AnswerMessage(wxNO);
    Prompts().AnswerMessage(wxNO);
    Command(ID_PROJECT_EXIT);
    EXPECT_TRUE(PumpUntil([this] { return !m_pFrame; }));
    int nQuestions = 0;
    for (const ScriptedUserPrompts::Call& call : Prompts().Calls())
    {
        if (call.eKind != ScriptedUserPrompts::Kind::Message)
            continue;
        ++nQuestions;
        EXPECT_EQ(call.sMessage, "XLIFFDOC_UNSAVED_CHANGES_OF");
    }
    EXPECT_EQ(nQuestions, 2);
    EXPECT_FALSE(g_pConvertorRegistry);
    EXPECT_EQ(tApp()->GetCurrentDoc(), nullptr);
    EXPECT_TRUE(asserts.asExpressions.empty());
}
} // namespace
