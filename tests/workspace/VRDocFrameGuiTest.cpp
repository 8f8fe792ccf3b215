// The project page as the notebook uses it: opening with a missing memory, closing questions,
// removing files, progress while a project is created.
#include "workspace/VRDocFrame.h"

#include "Shared/Localisation.h"
#include "Shared/ImportXML.h"
#include "engine/Convertor.h"
#include "engine/Convertor_txt.h"
#include "engine/VRMemDoc.h"
#include "engine/VRMemDocManager.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/workspace/PageGuiFixture.h"
#include "tests/workspace/ProjectFixtures.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"
#include "workspace/DlgMemDoc.h"
#include "workspace/VRLoadProgress.h"

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

namespace
{
// Panes that only keep a current file index and count what the page asked of them.
class FakePanes : public VRDocFramePanes
{
public:
    void FlushCommit() override { ++nFlushes; }
    void ClearPreview() override { ++nPreviewClears; }
    void UnbindNodes() override { ++nUnbinds; }
    int GetCurrentFile() const override { return nCurrent; }
    void SetFiles(const std::vector<tcNode*>& apFiles) override
    {
        nFiles = static_cast<int>(apFiles.size());
        nCurrent = std::min(nCurrent, nFiles - 1);
    }

    int nCurrent = 0;
    int nFiles = 0;
    int nFlushes = 0;
    int nPreviewClears = 0;
    int nUnbinds = 0;
};

class DocFrameGui : public PageGuiTest
{
protected:
    // The tests delete their pages themselves; each page gave its memories back.
    void TearDown() override
    {
        EXPECT_EQ(0u, m_manager.GetNumMemDocs());
        PageGuiTest::TearDown();
    }

    // A saved project of nFiles text files ("File N. Second."), with a memory file.
    wxString SavedProject(int nFiles)
    {
        wxArrayString asFiles, asLanguages;
        for (int i = 0; i < nFiles; ++i)
        {
            asFiles.push_back(WriteHomeFile("f" + std::to_string(i) + ".txt",
                                            "File " + std::to_string(i) + ". Second sentence."));
            asLanguages.push_back("en");
        }
        const wxString sPath = HomePath("project.xlf");
        VRProjectModel model(&m_manager);
        model.CreateNew(WriteRules("rules.srx", BlankGoes::WithNextSentence), MemoryFile(), asFiles, asLanguages, "de", -1,
                        nullptr);
        EXPECT_TRUE(model.Save(sPath));
        return sPath;
    }

    static void ExpectMemDocDialog(ModalDialogScript& dialogs, const wxString& sPath)
    {
        dialogs.Expect("memory dialog",
                       [sPath](wxDialog* pDialog)
                       {
                           if (sPath.empty())
                               return wxID_CANCEL;
                           dynamic_cast<wxTextCtrl*>(pDialog->FindWindow(CDlgMemDoc::ID_FILE))->SetValue(sPath);
                           ClickButton(dynamic_cast<wxButton*>(pDialog->FindWindow(CDlgMemDoc::ID_OK)));
                           return wxID_OK;
                       });
    }

    std::string FirstSegmentText(VRDocFrame& page)
    {
        std::vector<tcNode*> apSegments;
        page.CollectSegments(apSegments);
        return apSegments.empty() ? std::string() : apSegments[0]->GenerateXMLChildren(true, true).utf8_string();
    }

};

TEST_F(DocFrameGui, MissingMemoryCancelledThenChosen)
{
    const wxString sProject = SavedProject(1);
    ASSERT_TRUE(wxRemoveFile(HomePath("memory.tmx")));
    const std::string sBytes = ReadBytes(sProject);

    ExpectMemDocDialog(Dialogs(), wxString());
    try
    {
        new VRDocFrame(m_pFrame, sProject, &m_manager);
        ADD_FAILURE() << "a page without memory";
    }
    catch (const TextFailure& e)
    {
        EXPECT_EQ(g_LocEngine.FindTranslation("SELECT_TM_CANCELLED"), e.GetText());
    }
    EXPECT_TRUE(m_pFrame->GetChildren().empty());
    EXPECT_EQ(nullptr, tApp()->GetCurrentDoc());

    const wxString sOther = MemoryFile("other.tmx");
    ExpectMemDocDialog(Dialogs(), sOther);
    auto* pPage = new VRDocFrame(m_pFrame, sProject, &m_manager);
    EXPECT_EQ(sOther, pPage->GetModel().GetMemDocsPath());
    EXPECT_TRUE(pPage->GetDocument()->IsDirty());
    EXPECT_EQ(pPage->GetDocument(), tApp()->GetCurrentDoc());
    Prompts().AnswerMessage(wxNO);
    delete pPage;
    EXPECT_EQ(sBytes, ReadBytes(sProject));
}

TEST_F(DocFrameGui, ClosingAsksOnlyAboutChanges)
{
    const wxString sProject = SavedProject(1);
    const std::string sBytes = ReadBytes(sProject);

    // Unchanged: no question at all (the scripted prompts fail on any).
    delete new VRDocFrame(m_pFrame, sProject, &m_manager);
    EXPECT_TRUE(Prompts().Calls().empty());

    // Changed, No: logged, file untouched.
    {
        auto* pPage = new VRDocFrame(m_pFrame, sProject, &m_manager);
        pPage->GetDocument()->SetDirty();
        tcLogCapture log;
        Prompts().AnswerMessage(wxNO);
        delete pPage;
        EXPECT_TRUE(log.Contains("Save: Cancelled by user"));
        EXPECT_EQ(sBytes, ReadBytes(sProject));
        ASSERT_EQ(1u, Prompts().Calls().size());
        EXPECT_EQ(tLocalisedWith("XLIFFDOC_UNSAVED_CHANGES_OF", sProject), Prompts().Calls()[0].sMessage);
        EXPECT_EQ(long(wxYES_NO), Prompts().Calls()[0].nStyle & (wxYES_NO | wxCANCEL));
        Prompts().VerifyAndClear();
    }

    // Changed, Yes with failing saves: asked again each time; a failed save makes the next one ask for a
    // file, so the translator could save elsewhere; here everything fails and No ends it.
    {
        auto* pPage = new VRDocFrame(m_pFrame, sProject, &m_manager);
        pPage->GetDocument()->SetDirty();
        Prompts().AnswerMessage(wxYES);
        Prompts().AnswerMessage(wxOK); // the failure, with path and reason
        Prompts().AnswerMessage(wxYES);
        Prompts().AnswerFile(HomePath("elsewhere.xlf"));
        Prompts().AnswerMessage(wxOK);
        Prompts().AnswerMessage(wxNO);
        {
            FileSizeLimit limit(64);
            ASSERT_TRUE(limit.IsSet());
            delete pPage;
        }
        int nQuestions = 0;
        for (const auto& call : Prompts().Calls())
            nQuestions += call.eKind == ScriptedUserPrompts::Kind::Message;
        EXPECT_EQ(5, nQuestions);
        EXPECT_NE(wxString::npos, Prompts().Calls()[1].sMessage.find(sProject)) << Prompts().Calls()[1].sMessage;
        EXPECT_EQ(sBytes, ReadBytes(sProject)) << "a failed save leaves the file as it was";
        EXPECT_FALSE(wxFileName::Exists(HomePath("elsewhere.xlf")));
    }
}

TEST_F(DocFrameGui, NewMemorySavedAtClosingThenTheProjectIsAskedAbout)
{
    const wxString sProject = SavedProject(1);
    wxArrayString asFiles, asLanguages;
    asFiles.push_back(WriteHomeFile("a.txt", "One. Two."));
    asLanguages.push_back("en");
    auto* pPage = new VRDocFrame(m_pFrame, WriteRules("rules.srx", BlankGoes::WithNextSentence), &m_manager,
                                 VRProjectModel::NewEmptyMemoryChoice(), asFiles, asLanguages, "de", -1);
    Prompts().AnswerFile(sProject);
    ASSERT_TRUE(pPage->Save());
    EXPECT_EQ(sProject, pPage->GetFileName());
    pPage->GetMemDoc()->AddTranslation("One.", "Eins.", "en", "de");
    Prompts().VerifyAndClear();

    Prompts().AnswerMessage(wxYES);                     // save the memory
    Prompts().AnswerFile(HomePath("new-memory.tmx"));   // under this name
    Prompts().AnswerMessage(wxYES);                     // and the project, now naming it
    delete pPage;
    ASSERT_EQ(3u, Prompts().Calls().size());
    EXPECT_EQ(tLocalisedWith("MEMDOC_UNSAVED_CHANGES_OF", sProject), Prompts().Calls()[0].sMessage);
    EXPECT_EQ(tLocalisedWith("XLIFFDOC_UNSAVED_CHANGES_OF", sProject), Prompts().Calls()[2].sMessage);
    // One notice while the memory is written, one while the project is.
    EXPECT_EQ(2u, Prompts().BusyNotices().size());
    EXPECT_TRUE(wxFileName::FileExists(HomePath("new-memory.tmx")));

    // Reopened, the project finds its memory without asking.
    auto* pReopened = new VRDocFrame(m_pFrame, sProject, &m_manager);
    ASSERT_TRUE(pReopened->GetMemDoc());
    EXPECT_EQ(HomePath("new-memory.tmx"), pReopened->GetMemDoc()->GetFileName());
    delete pReopened;
}

TEST_F(DocFrameGui, RemovingFiles)
{
    const wxString sProject = SavedProject(3);
    auto* pPage = new VRDocFrame(m_pFrame, sProject, &m_manager);
    FakePanes panes;
    panes.nFiles = 3;
    pPage->SetPanes(&panes);

    // Cancel changes nothing.
    Prompts().AnswerMessage(wxCANCEL);
    pPage->RemoveCurrentFile();
    EXPECT_EQ(3, pPage->GetNumFiles());
    EXPECT_FALSE(pPage->GetDocument()->IsDirty());

    // The last file of the list: the one before it becomes current. The question names the file.
    panes.nCurrent = 2;
    Prompts().AnswerMessage(wxOK);
    const wxString sThird = pPage->GetModel().GetFileNodes()[2]->GetAttributeDisplayAsString(
        pPage->GetModel().GetXLIFFDTD().m_pFileOriginalAttr);
    pPage->RemoveCurrentFile();
    EXPECT_EQ("The file " + sThird + " and its translations will be removed from the project. Continue?",
              Prompts().Calls().back().sMessage);
    EXPECT_EQ(2, pPage->GetNumFiles());
    EXPECT_EQ(1, panes.nCurrent);
    EXPECT_EQ("File 1.", FirstSegmentText(*pPage));
    EXPECT_TRUE(pPage->GetDocument()->IsDirty());
    EXPECT_GE(panes.nFlushes, 1);
    EXPECT_GE(panes.nPreviewClears, 1);

    // One of two: the other one shows.
    panes.nCurrent = 0;
    Prompts().AnswerMessage(wxOK);
    pPage->RemoveCurrentFile();
    EXPECT_EQ(1, pPage->GetNumFiles());
    EXPECT_EQ("File 1.", FirstSegmentText(*pPage));

    // The last one stays, with the error message.
    Prompts().AnswerMessage(wxOK);
    pPage->RemoveCurrentFile();
    EXPECT_EQ(1, pPage->GetNumFiles());
    EXPECT_EQ(g_LocEngine.FindTranslation("CANNOT_REMOVE_LAST_FILE"), Prompts().Calls().back().sMessage);

    Prompts().AnswerMessage(wxNO);
    delete pPage;
    EXPECT_EQ(1, panes.nUnbinds);
}

// A text convertor that presses the progress dialog's Cancel while it imports, and notes whether
// the main window could be used meanwhile.
bool g_bFrameEnabledDuringImport = true;
wxFrame* g_pFrameToWatch = nullptr;

class CancellingConvertor : public tcConvertorTXT
{
public:
    using tcConvertorTXT::tcConvertorTXT;
    bool Import(CSegmentDoc* pSegDoc, tcConvertorProgress* pProgress) override
    {
        g_bFrameEnabledDuringImport = g_pFrameToWatch && g_pFrameToWatch->IsEnabled();
        if (auto* pDialog = dynamic_cast<VRLoadProgress*>(pProgress))
            ClickButton(dynamic_cast<wxButton*>(pDialog->FindWindow(wxID_CANCEL)));
        return tcConvertorTXT::Import(pSegDoc, pProgress);
    }
};

std::unique_ptr<tcConvertor> AllocateCancelling(tcDocument* pDoc, const wxString& sLanguage)
{
    return std::make_unique<CancellingConvertor>(pDoc, sLanguage);
}

TEST_F(DocFrameGui, CancelDuringCreationLeavesNothing)
{
    m_pEnvironment->Registry().Register(9, L"Cancelling", L"*.cancel", L"test", 1.0f, AllocateCancelling);
    g_pFrameToWatch = m_pFrame;
    wxArrayString asFiles, asLanguages;
    asFiles.push_back(WriteHomeFile("a.cancel", "One. Two."));
    asFiles.push_back(WriteHomeFile("b.txt", "Three."));
    asLanguages.push_back("en");
    asLanguages.push_back("en");
    EXPECT_THROW(new VRDocFrame(m_pFrame, WriteRules("rules.srx", BlankGoes::WithNextSentence), &m_manager,
                                VRProjectModel::NewEmptyMemoryChoice(), asFiles, asLanguages, "de", -1),
                 VRProjectCancelled);
    g_pFrameToWatch = nullptr;
    EXPECT_FALSE(g_bFrameEnabledDuringImport);
    EXPECT_TRUE(m_pFrame->IsEnabled());
    EXPECT_TRUE(m_pFrame->GetChildren().empty());
    EXPECT_EQ(nullptr, tApp()->GetCurrentDoc());
    EXPECT_TRUE(PumpUntil([] { return wxTopLevelWindows.GetCount() == 1; })) << "the progress dialog is gone";
}

// Presses Cancel of the opening progress dialog from the importer's yield, as a user would.
void PressCancelWhileLoading()
{
    g_bFrameEnabledDuringImport = g_pFrameToWatch && g_pFrameToWatch->IsEnabled();
    for (wxWindow* pWindow : wxTopLevelWindows)
        if (auto* pProgress = dynamic_cast<VRLoadProgress*>(pWindow))
            if (!pProgress->WasCancelled())
                ClickButton(dynamic_cast<wxButton*>(pProgress->FindWindow(wxID_CANCEL)));
}

TEST_F(DocFrameGui, CancelDuringOpeningLeavesNothing)
{
    const wxString sProject = SavedProject(6);
    g_pFrameToWatch = m_pFrame;
    g_bFrameEnabledDuringImport = true;
    tSetXMLImportYieldHook(&PressCancelWhileLoading);
    EXPECT_THROW(new VRDocFrame(m_pFrame, sProject, &m_manager), VRProjectCancelled);
    tSetXMLImportYieldHook(nullptr);
    g_pFrameToWatch = nullptr;
    EXPECT_FALSE(g_bFrameEnabledDuringImport);
    EXPECT_TRUE(m_pFrame->IsEnabled());
    EXPECT_TRUE(m_pFrame->GetChildren().empty());
    EXPECT_EQ(nullptr, tApp()->GetCurrentDoc());

    // Nothing of the stop request is left for the next opening.
    auto* pPage = new VRDocFrame(m_pFrame, sProject, &m_manager);
    EXPECT_EQ(6, pPage->GetNumFiles());
    delete pPage;
}

TEST_F(DocFrameGui, NewProjectPage)
{
    wxArrayString asFiles, asLanguages;
    asFiles.push_back(WriteHomeFile("a.txt", "One. Two."));
    asFiles.push_back(WriteHomeFile("b.txt", "Three."));
    asLanguages.push_back("en");
    asLanguages.push_back("en");
    auto* pPage = new VRDocFrame(m_pFrame, WriteRules("rules.srx", BlankGoes::WithNextSentence), &m_manager,
                                 VRProjectModel::NewEmptyMemoryChoice(), asFiles, asLanguages, "de", -1);
    m_pFrame->GetSizer()->Add(pPage, 1, wxEXPAND);
    m_pFrame->Layout();
    EXPECT_EQ(2, pPage->GetNumFiles());
    EXPECT_EQ(g_LocEngine.FindTranslation("DOC_WINDOWTITLE_UNTITLED") + " (*" +
                  g_LocEngine.FindTranslation("DOC_WINDOWTITLE_UNSAVED_CHANGES") + ")",
              pPage->GetTitle());
    EXPECT_TRUE(ScreenshotIfAsked("page-just-created"));
    // Closing: no memory question (nothing was added to it), then the project question.
    Prompts().AnswerMessage(wxNO);
    delete pPage;
}
} // namespace
