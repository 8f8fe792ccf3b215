#include "workspace/VRDocSplitter.h"

#include "Shared/Options.h"
#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "import/XLIFFImporter.h"
#include "tests/harness/AssertRecorder.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/TestFiles.h"
#include "tests/workspace/ProjectFixtures.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcLanguageDatabase.h"
#include "workspace/DlgMemDoc.h"
#include "workspace/DlgNewDoc.h"
#include "workspace/VRDocFrame.h"
#include "workspace/VRLoadProgress.h"
#include "Shared/FrmFileSelector.h"
#include "Shared/FrmLangSelector.h"

#include <wx/filefn.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/textctrl.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/weakref.h>

#include <filesystem>
#include <memory>
#include <string>

namespace
{
namespace fs = std::filesystem;

// A text convertor that presses Cancel in the progress dialog while it imports, as a user would.
class CancellingConvertor : public tcConvertorTXT
{
public:
    using tcConvertorTXT::tcConvertorTXT;
    bool Import(CSegmentDoc* pSegDoc, tcConvertorProgress* pProgress) override
    {
        if (auto* pDialog = dynamic_cast<VRLoadProgress*>(pProgress))
            ClickButton(dynamic_cast<wxButton*>(pDialog->FindWindow(wxID_CANCEL)));
        return tcConvertorTXT::Import(pSegDoc, pProgress);
    }
};

std::unique_ptr<tcConvertor> AllocateCancelling(tcDocument* pDoc, const wxString& sLanguage)
{
    return std::make_unique<CancellingConvertor>(pDoc, sLanguage);
}

class Notebook : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        Init_XLIFFImporter();
        Init_TMXImporter();
        Init_SRXImporter();
        g_LocEngine.Clear();
        tCreateConfigStore(HomePath("Lintrado.conf"), wxString());
        // The build copies the data beside the programs.
        const wxString sData =
            wxFileName(wxString(fs::read_symlink("/proc/self/exe").wstring())).GetPath() + "/../Data/";
        ASSERT_TRUE(tInitLanguageDatabase(sData + "LanguageRegistry"));
        m_pConvertors = std::make_unique<ConvertorsForTest>();
        m_pFrame = new wxFrame(nullptr, wxID_ANY, "notebook", wxPoint(0, 0), wxSize(800, 500));
        m_pFrame->Bind(
            wxEVT_CHOICE, [this](wxCommandEvent&) { ++m_nNotifications; }, 0);
        m_pNotebook = new CVRDocSplitter(m_pFrame);
        m_pFrame->Show();
    }
    void TearDown() override
    {
        if (m_pFrame)
            m_pFrame->Destroy();
        PumpUntil([this] { return !m_pFrame; });
        m_pConvertors.reset();
        tDoneLanguageDatabase();
        tDeleteConfigStore();
        GuiTest::TearDown();
    }

    // Opens sPath and lets the notifications arrive.
    void Open(const wxString& sPath)
    {
        m_pNotebook->OpenDoc(sPath);
        // A project counts as unchanged after opening, whatever the load left behind, so that
        // only what a test changes makes closing ask.
        VRDocFrame* pPage = m_pNotebook->GetCurrentDoc();
        if (pPage && pPage->GetDocument()->IsDirty())
            pPage->GetDocument()->ClearDirty();
        // The notifications of the opening arrive before the test goes on.
        PumpUntil([] { return !wxTheApp->HasPendingEvents(); });
        PumpEvents(10);
    }
    VRDocFrame* Page(int n) { return m_pNotebook->GetDocument(n); }
    wxString TabText(VRDocFrame* pPage)
    {
        return m_pNotebook->GetPageText(static_cast<size_t>(m_pNotebook->GetPageIndex(pPage)));
    }
    bool ContextNames(VRDocFrame* pPage)
    {
        return tApp()->GetCurrentDoc() == (pPage ? pPage->GetDocument() : nullptr) &&
               tApp()->GetCurrentIO() == (pPage ? pPage->GetIO() : nullptr);
    }

    static void SelectLanguage(CVRLangSelector* pSelector, const wxString& sKey)
    {
        const int n = pSelector->GetLanguageChoice()->FindString(sKey, true);
        ASSERT_GT(n, 0) << sKey.utf8_string();
        pSelector->SelectLanguage(n);
    }

    // "file|language" of every source row of the dialog.
    static std::vector<wxString> Rows(const CDlgNewDoc& dialog)
    {
        std::vector<wxString> as;
        for (const CVRSourceSelector* pRow : dialog.GetSourceRows())
            as.push_back(pRow->GetTextCtrl()->GetValue() + "|" + pRow->GetLanguageCode());
        return as;
    }

    // Fills the dialog as a user would: the files (";"-separated) in English, rules, German.
    static void Fill(CDlgNewDoc& dialog, const wxString& sFiles, const wxString& sRules)
    {
        SelectLanguage(dialog.GetSourceRows()[0]->GetLangSelector(), "en");
        dialog.GetSourceRows()[0]->SetFileName(sFiles);
        dialog.GetSRXSelector()->SetFileName(sRules);
        SelectLanguage(dialog.GetTargetSelector(), "de");
    }

    // Panes that count how often the page asks them to commit the editor's text.
    struct CountingPanes : VRDocFramePanes
    {
        void FlushCommit() override { ++nFlushes; }
        void ClearPreview() override {}
        void UnbindNodes() override {}
        int GetCurrentFile() const override { return 0; }
        void SetFiles(const std::vector<tcNode*>&) override {}
        int nFlushes = 0;
    };

    std::unique_ptr<ConvertorsForTest> m_pConvertors;
    // Outlives the pages, which close in TearDown.
    CountingPanes m_panes;
    wxWeakRef<wxFrame> m_pFrame;
    CVRDocSplitter* m_pNotebook = nullptr;
    int m_nNotifications = 0;
};

TEST_F(Notebook, AProjectOpenUnderAnyFormOfItsPathOnlyGetsItsTabSelected)
{
    const wxString sOne = MakeSavedProject("one", 1);
    const wxString sTwo = MakeSavedProject("two", 1);
    fs::create_directory(fs::path(HomePath("sub").utf8_string()));
    fs::create_symlink(fs::path(sOne.utf8_string()), fs::path(HomePath("link.xlf").utf8_string()));
    fs::copy_file(fs::path(sOne.utf8_string()), fs::path(HomePath("ONE.xlf").utf8_string()));
    const wxString sCwd = wxGetCwd();
    wxSetWorkingDirectory(HomePath());

    Open(sOne);
    Open(sTwo);
    ASSERT_EQ(m_pNotebook->GetNumDocs(), 2);
    VRDocFrame* pOne = Page(0);

    for (const char* szForm : {"one.xlf", "./sub/../one.xlf", "link.xlf"})
    {
        m_pNotebook->SetSelection(static_cast<size_t>(m_pNotebook->GetPageIndex(Page(1))));
        Open(szForm);
        EXPECT_EQ(m_pNotebook->GetNumDocs(), 2) << szForm;
        EXPECT_EQ(m_pNotebook->GetCurrentDoc(), pOne) << szForm;
        EXPECT_EQ(m_pNotebook->GetSelection(), m_pNotebook->GetPageIndex(pOne)) << szForm;
    }
    // Another letter case is another file here.
    Open(HomePath("ONE.xlf"));
    EXPECT_EQ(m_pNotebook->GetNumDocs(), 3);
    wxSetWorkingDirectory(sCwd);
}

TEST_F(Notebook, TabShowsTheFileNameAndMarkWithThePathAsItsTip)
{
    const wxString sOne = MakeSavedProject("one", 1);
    m_pNotebook->OpenDoc(sOne);
    VRDocFrame* pPage = m_pNotebook->GetCurrentDoc();
    ASSERT_TRUE(pPage);
    const size_t nTab = static_cast<size_t>(m_pNotebook->GetPageIndex(pPage));
    EXPECT_EQ(TabText(pPage), "one.xlf");
    EXPECT_EQ(m_pNotebook->GetPageToolTip(nTab), sOne);
    EXPECT_TRUE(ContextNames(pPage));

    pPage->GetDocument()->ClearDirty();
    PumpUntil([] { return !wxTheApp->HasPendingEvents(); });
    m_nNotifications = 0;
    pPage->GetDocument()->SetDirty();
    ASSERT_TRUE(pPage->GetTitle().StartsWith(sOne + " (*"));
    EXPECT_EQ(TabText(pPage), "one.xlf" + pPage->GetTitle().Mid(sOne.length()));
    EXPECT_TRUE(PumpUntil([this] { return m_nNotifications >= 1; }));

    // Saved, the mark goes.
    EXPECT_TRUE(m_pNotebook->SaveCurrentDoc());
    EXPECT_EQ(TabText(pPage), "one.xlf");
}

TEST_F(Notebook, AProjectThatOpensChangedShowsItsMarkOnTheTab)
{
    // Its memory is gone; the one chosen instead goes into the project, which so opens changed.
    const wxString sOne = MakeSavedProject("one", 1);
    ASSERT_TRUE(wxRenameFile(WriteMemory(), HomePath("moved.tmx")));
    Dialogs().Expect(
        "memory dialog",
        [](wxDialog* pDialog)
        {
            dynamic_cast<wxTextCtrl*>(pDialog->FindWindow(CDlgMemDoc::ID_FILE))->SetValue(HomePath("moved.tmx"));
            ClickButton(dynamic_cast<wxButton*>(pDialog->FindWindow(CDlgMemDoc::ID_OK)));
            return wxID_OK;
        });
    m_pNotebook->OpenDoc(sOne);
    VRDocFrame* pPage = m_pNotebook->GetCurrentDoc();
    ASSERT_TRUE(pPage);
    ASSERT_TRUE(pPage->GetDocument()->IsDirty());
    ASSERT_TRUE(pPage->GetTitle().StartsWith(sOne + " (*"));
    EXPECT_EQ(TabText(pPage), "one.xlf" + pPage->GetTitle().Mid(sOne.length()));
    Prompts().AnswerMessage(wxNO);
}

TEST_F(Notebook, ClosingTheCurrentOfTwoMakesTheOtherCurrentWithTheContext)
{
    Open(MakeSavedProject("one", 1));
    Open(MakeSavedProject("two", 2));
    VRDocFrame* pOne = Page(0);
    VRDocFrame* pTwo = Page(1);
    m_pNotebook->SetSelection(static_cast<size_t>(m_pNotebook->GetPageIndex(pOne)));
    ASSERT_EQ(m_pNotebook->GetCurrentDoc(), pOne);
    ASSERT_TRUE(ContextNames(pOne));

    m_pNotebook->CloseCurrentDoc();
    EXPECT_EQ(m_pNotebook->GetNumDocs(), 1);
    EXPECT_EQ(m_pNotebook->GetCurrentDoc(), pTwo);
    EXPECT_EQ(Page(0), pTwo);
    EXPECT_TRUE(ContextNames(pTwo));
}

TEST_F(Notebook, ClosingTheLastLeavesNoCurrentPageAndNotifiesOnce)
{
    Open(MakeSavedProject("one", 1));
    m_nNotifications = 0;
    m_pNotebook->CloseCurrentDoc();
    // Wait for the posted notification under any load, then give a second one the chance to come.
    ASSERT_TRUE(PumpUntil([this]() { return m_nNotifications >= 1; }));
    PumpEvents(30);
    EXPECT_EQ(m_nNotifications, 1);
    EXPECT_EQ(m_pNotebook->GetCurrentDoc(), nullptr);
    EXPECT_EQ(m_pNotebook->GetNumDocs(), 0);
    EXPECT_EQ(m_pNotebook->GetPageCount(), 0u);
    EXPECT_TRUE(ContextNames(nullptr));

    // With nothing open the commands have nothing to act on.
    EXPECT_TRUE(m_pNotebook->SaveCurrentDoc());
    m_pNotebook->CloseCurrentDoc();
    EXPECT_TRUE(Prompts().Calls().empty());
}

TEST_F(Notebook, AMovedTabThenASwitchMakesThatTabsProjectCurrent)
{
    Open(MakeSavedProject("one", 1));
    Open(MakeSavedProject("two", 1));
    Open(MakeSavedProject("three", 1));
    VRDocFrame* pOne = Page(0);
    VRDocFrame* pTwo = Page(1);
    VRDocFrame* pThree = Page(2);

    // The first tab moves to the end, as a drag would put it.
    const wxString sCaption = TabText(pOne);
    ASSERT_TRUE(m_pNotebook->RemovePage(static_cast<size_t>(m_pNotebook->GetPageIndex(pOne))));
    ASSERT_TRUE(m_pNotebook->AddPage(pOne, sCaption, false));
    ASSERT_EQ(m_pNotebook->GetPage(0), pTwo);

    for (VRDocFrame* pPage : {pTwo, pOne, pThree})
    {
        m_pNotebook->SetSelection(static_cast<size_t>(m_pNotebook->GetPageIndex(pPage)));
        EXPECT_EQ(m_pNotebook->GetCurrentDoc(), pPage);
        EXPECT_TRUE(ContextNames(pPage));
    }
    // The list follows the tabs.
    EXPECT_EQ(Page(0), pTwo);
    EXPECT_EQ(Page(1), pThree);
    EXPECT_EQ(Page(2), pOne);
}

TEST_F(Notebook, NewProjectWithBadRulesShowsWhyThenTheDialogAgainWithItsRows)
{
    const wxString sFiles = WriteSource("a.txt", 2) + ";" + WriteSource("b.txt", 3);
    const wxString sBadRules = WriteBadRules();
    const wxString sRules = WriteRules();
    int nShown = 0;
    Dialogs().Expect("new project",
                     [&](wxDialog* pDialog)
                     {
                         ++nShown;
                         Fill(*dynamic_cast<CDlgNewDoc*>(pDialog), sFiles, sBadRules);
                         return wxID_OK;
                     });
    Prompts().AnswerMessage(wxOK);
    Dialogs().Expect(
        "new project again",
        [&](wxDialog* pDialog)
        {
            ++nShown;
            auto& dialog = *dynamic_cast<CDlgNewDoc*>(pDialog);
            EXPECT_EQ(Rows(dialog), (std::vector<wxString>{HomePath("a.txt") + "|en", HomePath("b.txt") + "|en", "|"}));
            EXPECT_EQ(dialog.GetSRXFile(), sBadRules);
            dialog.GetSRXSelector()->SetFileName(sRules);
            return wxID_OK;
        });
    m_pNotebook->NewDoc();
    EXPECT_EQ(nShown, 2);
    ASSERT_EQ(Prompts().Calls().size(), 1u);
    EXPECT_EQ(Prompts().Calls()[0].sCaption, "Error opening the document");
    EXPECT_FALSE(Prompts().Calls()[0].sMessage.empty());

    ASSERT_EQ(m_pNotebook->GetNumDocs(), 1);
    VRDocFrame* pPage = m_pNotebook->GetCurrentDoc();
    ASSERT_TRUE(pPage);
    EXPECT_EQ(pPage->GetNumFiles(), 2) << "each file once";
    EXPECT_EQ(TabText(pPage), pPage->GetTitle());
    EXPECT_TRUE(ContextNames(pPage));

    // Saved, it shows its name as an opened project does, with the path as the tab's tip.
    const wxString sSaved = HomePath("new.xlf");
    Prompts().AnswerFile(sSaved);
    EXPECT_TRUE(m_pNotebook->SaveCurrentDoc());
    EXPECT_EQ(TabText(pPage), "new.xlf");
    EXPECT_EQ(m_pNotebook->GetPageToolTip(static_cast<size_t>(m_pNotebook->GetPageIndex(pPage))), sSaved);

    // A new project is unsaved work: closing it asks.
    pPage->GetDocument()->SetDirty();
    Prompts().AnswerMessage(wxNO);
    m_pNotebook->CloseCurrentDoc();
    EXPECT_EQ(Prompts().Calls().back().sMessage, "XLIFFDOC_UNSAVED_CHANGES_OF");
}

TEST_F(Notebook, NewProjectStoppedInItsProgressGoesBackToTheDialogWithoutAMessage)
{
    g_pConvertorRegistry->Register(9, "Cancelling", "*.cancel", "", 1.0f, AllocateCancelling);
    const wxString sStopped = WriteHomeFile("a.cancel", "One. Two.");
    const wxString sRules = WriteRules();
    Dialogs().Expect("new project",
                     [&](wxDialog* pDialog)
                     {
                         Fill(*dynamic_cast<CDlgNewDoc*>(pDialog), sStopped, sRules);
                         return wxID_OK;
                     });
    Dialogs().Expect("new project again",
                     [&](wxDialog* pDialog)
                     {
                         auto& dialog = *dynamic_cast<CDlgNewDoc*>(pDialog);
                         EXPECT_EQ(Rows(dialog), (std::vector<wxString>{sStopped + "|en", "|"}));
                         dialog.GetSourceRows()[0]->SetFileName(WriteSource("b.txt", 2));
                         return wxID_OK;
                     });
    m_pNotebook->NewDoc();
    EXPECT_TRUE(Prompts().Calls().empty());
    ASSERT_EQ(m_pNotebook->GetNumDocs(), 1);
    EXPECT_EQ(m_pNotebook->GetCurrentDoc()->GetNumFiles(), 1);
    Prompts().AnswerMessage(wxNO);
}

TEST_F(Notebook, NewProjectCancelledAddsNothing)
{
    Dialogs().Expect("new project", AnswerWith(wxID_CANCEL));
    m_pNotebook->NewDoc();
    EXPECT_EQ(m_pNotebook->GetNumDocs(), 0);
    EXPECT_TRUE(Prompts().Calls().empty());
}

TEST_F(Notebook, AddFilesWithBadRulesAddsNothingAndKeepsTheRulesThenAddsAndMarksTheProject)
{
    Open(MakeSavedProject("one", 1));
    VRDocFrame* pPage = m_pNotebook->GetCurrentDoc();
    ASSERT_TRUE(pPage);
    pPage->LoadSRX(WriteRules("own.srx"));
    const CVRSRXDoc* pRules = pPage->GetModel().GetRules();
    ASSERT_TRUE(pRules);

    const wxString sFiles = WriteSource("c.txt", 2) + ";" + WriteSource("d.txt", 2);
    Dialogs().Expect("add files",
                     [&](wxDialog* pDialog)
                     {
                         auto& dialog = *dynamic_cast<CDlgNewDoc*>(pDialog);
                         EXPECT_EQ(dialog.GetTMSelector(), nullptr);
                         Fill(dialog, sFiles, WriteBadRules());
                         return wxID_OK;
                     });
    Prompts().AnswerMessage(wxOK);
    m_pNotebook->AddFiles();
    ASSERT_EQ(Prompts().Calls().size(), 1u);
    EXPECT_TRUE(Prompts().Calls()[0].nStyle & wxICON_ERROR);
    EXPECT_EQ(pPage->GetNumFiles(), 1);
    EXPECT_EQ(pPage->GetModel().GetRules(), pRules);
    EXPECT_FALSE(pPage->GetDocument()->IsDirty());

    Dialogs().Expect("add files",
                     [&](wxDialog* pDialog)
                     {
                         Fill(*dynamic_cast<CDlgNewDoc*>(pDialog), sFiles, WriteRules());
                         return wxID_OK;
                     });
    m_pNotebook->AddFiles();
    EXPECT_EQ(pPage->GetNumFiles(), 3);
    EXPECT_TRUE(pPage->GetDocument()->IsDirty());
    EXPECT_TRUE(TabText(pPage).EndsWith(")")) << TabText(pPage).utf8_string();

    Prompts().AnswerMessage(wxNO);
}

TEST_F(Notebook, SwitchingProjectsCommitsTheTextOfThePageLeft)
{
    Open(MakeSavedProject("one", 1));
    Open(MakeSavedProject("two", 1));
    VRDocFrame* pOne = Page(0);
    VRDocFrame* pTwo = Page(1);
    ASSERT_EQ(m_pNotebook->GetCurrentDoc(), pTwo);
    pTwo->SetPanes(&m_panes);

    m_pNotebook->SetSelection(static_cast<size_t>(m_pNotebook->GetPageIndex(pOne)));
    ASSERT_EQ(m_pNotebook->GetCurrentDoc(), pOne);
    EXPECT_GE(m_panes.nFlushes, 1);
}

TEST_F(Notebook, AnIndexOutOfRangeIsReportedAndGivesNoPage)
{
    AssertRecorder asserts;
    EXPECT_EQ(m_pNotebook->GetDocument(-1), nullptr);
    EXPECT_EQ(m_pNotebook->GetDocument(0), nullptr);
    EXPECT_EQ(asserts.asExpressions, (std::vector<std::string>{"nNum>=0", "nNum<m_apDocuments.size()"}));
}

TEST_F(Notebook, AProjectThatCannotBeOpenedIsReportedAndAddsNoTab)
{
    WriteHomeFile("broken.xlf", "<xliff version=\"1.2\"><file");
    Prompts().AnswerMessage(wxOK);
    Open(HomePath("broken.xlf"));
    ASSERT_EQ(Prompts().Calls().size(), 1u);
    EXPECT_EQ(Prompts().Calls()[0].sCaption, "Error opening the document");
    EXPECT_TRUE(Prompts().Calls()[0].nStyle & wxICON_ERROR);
    EXPECT_EQ(m_pNotebook->GetNumDocs(), 0);
    EXPECT_EQ(m_pNotebook->GetPageCount(), 0u);
    EXPECT_EQ(m_pNotebook->GetCurrentDoc(), nullptr);
}

TEST_F(Notebook, PagesStillOpenWhenTheNotebookGoesCloseWithTheirQuestions)
{
    AssertRecorder asserts;
    Open(MakeSavedProject("one", 1));
    Open(MakeSavedProject("two", 1));
    Page(0)->GetDocument()->SetDirty();
    Prompts().AnswerMessage(wxNO);
    m_pFrame->Destroy();
    EXPECT_TRUE(PumpUntil([this] { return !m_pFrame; }));
    ASSERT_EQ(Prompts().Calls().size(), 1u);
    EXPECT_EQ(Prompts().Calls()[0].sMessage, "XLIFFDOC_UNSAVED_CHANGES_OF");
    EXPECT_TRUE(asserts.asExpressions.empty());
    EXPECT_TRUE(ContextNames(nullptr));
}
} // namespace
