// What a translator meets around the work, through the main window with the program's own texts: a
// file that is not a project, a large memory loading, closing and quitting with changes, the name
// proposed for a translated document. Screenshots go to artefacts/around-the-work of the build folder.
#include "Shared/FrmFileSelector.h"
#include "Shared/Localisation.h"
#include "engine/VRMemDoc.h"
#include "tests/gui/ProgramWindowTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/harness/TestFiles.h"
#include "tests/workspace/ProjectFixtures.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "workspace/DlgMemDoc.h"
#include "workspace/VRDocFrame.h"
#include "workspace/VRDocLayout.h"
#include "workspace/VRDocSplitter.h"
#include "workspace/VRFilesFrame.h"
#include "workspace/VRLoadProgress.h"
#include "workspace/VRTranslationFrame.h"

#include <wx/anybutton.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

const char* const kArtefacts = LINTRADO_ARTEFACTS_DIR;

// The progress windows shown now, by title.
std::vector<wxString> ShownProgress()
{
    std::vector<wxString> asTitles;
    for (wxWindow* pWindow : wxTopLevelWindows)
        if (dynamic_cast<VRLoadProgress*>(pWindow) && pWindow->IsShown())
            asTitles.push_back(pWindow->GetLabel());
    return asTitles;
}

bool AnyProgressAmong(const wxArrayString& asTitles)
{
    return std::any_of(asTitles.begin(), asTitles.end(),
                       [](const wxString& sTitle)
                       { return sTitle == "Opening project" || sTitle == CatalogText("TM_LOADING_TITLE"); });
}

class AroundTheWork : public ProgramWindowTest
{
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        std::error_code error;
        fs::create_directories(kArtefacts, error);
        ShowMainWindow();
    }

    void Open(const wxString& sPath)
    {
        Prompts().AnswerFile(sPath);
        Command(ID_PROJECT_OPEN);
    }
    CVRDocSplitter* Notebook() { return m_pFrame->GetDocSplitter(); }
    VRDocFrame* Page() { return Notebook()->GetCurrentDoc(); }
};

// --- A file that is not a project -----------------------------------------------------------------

TEST_F(AroundTheWork, AFileThatIsNoProjectIsCalledSoAboveEverything)
{
    struct Case
    {
        const char* szWhat;
        const char* szName;
        std::string sBytes;
    };
    const Case aCases[] = {
        {"an XHTML page", "page.xhtml",
         "<?xml version=\"1.0\"?><!DOCTYPE html [<!ENTITY c \"&#169;\">]><!-- made by hand -->"
         "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p>Hello.</p></body></html>"},
        {"a memory renamed .xlf", "memory.xlf",
         "<?xml version=\"1.0\"?><tmx version=\"1.4\"><header/><body><tu><tuv xml:lang=\"en\"><seg>Hi."
         "</seg></tuv></tu></body></tmx>"},
        {"plain text renamed .xlf", "notes.xlf", "Just some notes.\n"},
        {"an empty file", "empty.xlf", ""},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        const wxString sPath = WriteHomeFile(c.szName, c.sBytes);
        Prompts().AnswerFile(sPath);
        Prompts().AnswerMessage(wxOK);
        Command(ID_PROJECT_OPEN);
        ASSERT_EQ(Prompts().Calls().size(), 2u);
        const ScriptedUserPrompts::Call& message = Prompts().Calls()[1];
        EXPECT_EQ(message.sMessage.utf8_string(), tLocalisedWith("NOT_A_PROJECT", sPath).utf8_string());
        EXPECT_TRUE(message.nStyle & wxICON_ERROR);
        EXPECT_FALSE(AnyProgressAmong(message.asShownWindows));
        EXPECT_EQ(Notebook()->GetNumDocs(), 0);
        Prompts().VerifyAndClear();
    }
}

// The memory dialog and the question after it come while the opening's progress lives: each shows
// with no progress window over it, and the progress comes back for the rest of the load.
TEST_F(AroundTheWork, QuestionsWhileAProjectOpensShowAboveItsProgress)
{
    const wxString sProject = WriteHomeFile("lost.xlf", ProjectXML("<body><trans-unit id=\"1\"><source>One.</source>"
                                                                   "</trans-unit></body>",
                                                                   HomePath("gone.tmx").utf8_string()));
    const wxString sNewMemory = HomePath("new.tmx");
    std::vector<wxString> asProgressAtDialog{"(not asked)"};
    Prompts().AnswerFile(sProject);
    Dialogs().Expect("memory dialog",
                     [&](wxDialog* pDialog)
                     {
                         asProgressAtDialog = ShownProgress();
                         // Shown for a moment as the user sees it, for the screenshot.
                         pDialog->CentreOnParent();
                         pDialog->Show();
                         PumpEvents(300);
                         EXPECT_TRUE(TakeScreenshot(Artefact("memory-dialog-while-opening.png")));
                         pDialog->Hide();
                         static_cast<wxTextCtrl*>(pDialog->FindWindow(CDlgMemDoc::ID_FILE))->SetValue(sNewMemory);
                         ClickButton(static_cast<wxAnyButton*>(pDialog->FindWindow(CDlgMemDoc::ID_OK)));
                         return wxID_OK;
                     });
    Prompts().AnswerMessage(wxYES); // create the new memory there
    Command(ID_PROJECT_OPEN);
    EXPECT_TRUE(asProgressAtDialog.empty()) << asProgressAtDialog.size();
    ASSERT_EQ(Prompts().Calls().size(), 2u);
    EXPECT_EQ(Prompts().Calls()[1].sMessage, tLocalisedWith("SELECT_TM_CREATE_NEW", sNewMemory));
    EXPECT_FALSE(AnyProgressAmong(Prompts().Calls()[1].asShownWindows));
    ASSERT_TRUE(Page());
    EXPECT_EQ(Page()->GetMemDoc()->GetFileName(), sNewMemory);
    EXPECT_TRUE(ShownProgress().empty());
    Prompts().AnswerMessage(wxNO); // the memory chosen anew is a change of the project
}

// --- A large memory loading -----------------------------------------------------------------------

// A memory of nUnits English-German pairs.
wxString WriteLargeMemory(const std::string& sName, int nUnits)
{
    std::string sTMX = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><tmx version=\"1.4\"><header creationtool=\"t\" "
                       "creationtoolversion=\"1\" segtype=\"sentence\" o-tmf=\"none\" adminlang=\"en\" srclang=\"en\" "
                       "datatype=\"plaintext\"/><body>";
    for (int i = 1; i <= nUnits; ++i)
    {
        const std::string sNumber = std::to_string(i);
        sTMX += "<tu><tuv xml:lang=\"en\"><seg>Sentence number " + sNumber +
                " of the large memory.</seg></tuv><tuv xml:lang=\"de\"><seg>Satz Nummer " + sNumber +
                " des großen Speichers.</seg></tuv></tu>";
    }
    return WriteHomeFile(sName, sTMX + "</body></tmx>");
}

// What the memory's progress showed while the importer read, watched from the importer's yield.
struct LoadWatch
{
    bool bCancelHalfway = false;
    wxString sScreenshot;
    wxWindow* pFrame = nullptr;
    int nHighest = -1;
    int nSteps = 0;
    bool bFrameEnabled = false;
    bool bOpeningShownMeanwhile = false;
};
LoadWatch* s_pWatch = nullptr;

void WatchTheLoad()
{
    LoadWatch& watch = *s_pWatch;
    VRLoadProgress* pMemoryProgress = nullptr;
    bool bOtherShown = false;
    for (wxWindow* pWindow : wxTopLevelWindows)
    {
        if (auto* pProgress = dynamic_cast<VRLoadProgress*>(pWindow))
        {
            if (pProgress->GetTitle() == CatalogText("TM_LOADING_TITLE"))
                pMemoryProgress = pProgress;
            else
                bOtherShown = bOtherShown || pProgress->IsShown();
        }
    }
    if (!pMemoryProgress)
        return;
    watch.bOpeningShownMeanwhile = watch.bOpeningShownMeanwhile || bOtherShown;
    const int nValue = pMemoryProgress->GetValue();
    if (nValue > watch.nHighest)
        ++watch.nSteps;
    watch.nHighest = std::max(watch.nHighest, nValue);
    watch.bFrameEnabled = watch.bFrameEnabled || watch.pFrame->IsEnabled();
    if (!watch.sScreenshot.empty() && nValue > 3000)
    {
        EXPECT_TRUE(TakeScreenshot(watch.sScreenshot));
        watch.sScreenshot.clear();
    }
    if (watch.bCancelHalfway && nValue >= 5000 && !pMemoryProgress->WasCancelled())
        ClickButton(dynamic_cast<wxButton*>(pMemoryProgress->FindWindow(wxID_CANCEL)));
}

// New and opened projects alike: the memory's progress moves through the load with the rest of the
// program disabled; Cancel stops the load and leaves no page and no memory.
TEST_F(AroundTheWork, ALargeMemoryShowsItsLoadAndCancelLeavesNoPage)
{
    const wxString sMemory = WriteLargeMemory("large.tmx", 100000);
    const wxString sProject = WriteHomeFile(
        "p.xlf", ProjectXML("<body><trans-unit id=\"1\"><source>Sentence number 7 of the large memory.</source>"
                            "</trans-unit></body>",
                            sMemory.utf8_string()));
    wxArrayString asFiles, asLanguages;
    asFiles.push_back(WriteHomeFile("a.txt", "Sentence number 12 of the large memory.\n"));
    asLanguages.push_back("en");
    const wxString sRules = WriteRules();

    struct Case
    {
        const char* szWhat;
        bool bNew;
        bool bCancel;
        const char* szScreenshot;
    };
    const Case aCases[] = {
        {"opened, loaded", false, false, "memory-load-progress"},
        {"opened, cancelled", false, true, nullptr},
        {"new, loaded", true, false, nullptr},
        {"new, cancelled", true, true, nullptr},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        LoadWatch watch;
        watch.bCancelHalfway = c.bCancel;
        watch.pFrame = m_pFrame;
        if (c.szScreenshot)
            watch.sScreenshot = Artefact(std::string(c.szScreenshot) + ".png");
        s_pWatch = &watch;
        const tcXMLImportYieldFn pfnBefore = tGetXMLImportYieldHook();
        tSetXMLImportYieldHook(&WatchTheLoad);
        VRDocFrame* pNewPage = nullptr;
        if (c.bNew)
        {
            try
            {
                pNewPage = new VRDocFrame(Notebook(), sRules, &Notebook()->GetMemDocManager(), sMemory, asFiles,
                                          asLanguages, "de", -1);
            }
            catch (const VRProjectCancelled&)
            {
            }
        }
        else
            Open(sProject);
        tSetXMLImportYieldHook(pfnBefore);
        s_pWatch = nullptr;

        EXPECT_GT(watch.nSteps, 10) << "the gauge moves along the file";
        EXPECT_FALSE(watch.bFrameEnabled);
        EXPECT_FALSE(watch.bOpeningShownMeanwhile) << "one progress at a time";
        EXPECT_TRUE(m_pFrame->IsEnabled());
        EXPECT_TRUE(ShownProgress().empty());
        if (c.bCancel)
        {
            EXPECT_LT(watch.nHighest, 9000);
            EXPECT_FALSE(pNewPage);
            EXPECT_EQ(Notebook()->GetNumDocs(), 0);
            EXPECT_EQ(Notebook()->GetMemDocManager().GetNumMemDocs(), 0u);
            EXPECT_TRUE(Prompts().Calls().size() == (c.bNew ? 0u : 1u)) << "no message after a cancel";
        }
        else
        {
            EXPECT_GT(watch.nHighest, 9000);
            VRDocFrame* pPage = c.bNew ? pNewPage : Page();
            ASSERT_TRUE(pPage);
            ASSERT_TRUE(pPage->GetMemDoc());
            const auto aMatches =
                pPage->GetMemDoc()->LookupTranslations("Sentence number 99999 of the large memory.", "en");
            EXPECT_FALSE(aMatches.empty());
            if (c.bNew)
            {
                Prompts().AnswerMessage(wxNO); // the new project is not kept
                delete pNewPage;
            }
            else
                Command(ID_PROJECT_CLOSE);
            EXPECT_EQ(Notebook()->GetMemDocManager().GetNumMemDocs(), 0u);
        }
        Prompts().VerifyAndClear();
    }
}
} // namespace

// --- Closing and quitting with changes ------------------------------------------------------------

// The scripted prompts, with the first question also put on the screen as a message box over its
// parent, for a screenshot of what the user sees.
class QuestionOnScreen : public tcUserPrompts
{
public:
    QuestionOnScreen(ScriptedUserPrompts& inner, const wxString& sScreenshot)
        : m_inner(inner), m_sScreenshot(sScreenshot)
    {
    }
    int ShowMessage(const wxString& sText, const wxString& sCaption, long nStyle, wxWindow* pParent) override
    {
        if (!m_sScreenshot.empty())
        {
            // The toolkit's own message box makes its window only when shown modally; this one
            // has the same caption, text and buttons.
            wxDialog dialog(pParent, wxID_ANY, sCaption);
            auto* pSizer = new wxBoxSizer(wxVERTICAL);
            pSizer->Add(new wxStaticText(&dialog, wxID_ANY, sText), 0, wxALL, 15);
            pSizer->Add(dialog.CreateStdDialogButtonSizer(nStyle & (wxYES_NO | wxCANCEL)), 0, wxEXPAND | wxALL, 10);
            dialog.SetSizerAndFit(pSizer);
            dialog.CentreOnParent();
            dialog.Show();
            PumpEvents(300);
            EXPECT_TRUE(TakeScreenshot(m_sScreenshot));
            dialog.Hide();
            m_sScreenshot.clear();
        }
        return m_inner.ShowMessage(sText, sCaption, nStyle, pParent);
    }
    wxString ChooseFile(const wxString& sMessage, const wxString& sDefaultDir, const wxString& sDefaultFile,
                        const wxString& sWildcard, long nStyle, wxWindow* pParent) override
    {
        return m_inner.ChooseFile(sMessage, sDefaultDir, sDefaultFile, sWildcard, nStyle, pParent);
    }
    wxString ChooseDirectory(const wxString& sMessage, const wxString& sDefaultPath, wxWindow* pParent) override
    {
        return m_inner.ChooseDirectory(sMessage, sDefaultPath, pParent);
    }

private:
    ScriptedUserPrompts& m_inner;
    wxString m_sScreenshot;
};

// Two changed projects, "one" and "two" (current); Close asks about the current one, Quit about each
// in tab order. Each question names its project, shows over its page and offers Cancel, which stops
// there: what was not closed yet stays open and unchanged.
TEST_F(AroundTheWork, ClosingAndQuittingAskPerProjectAndCancelStops)
{
    struct Row
    {
        const char* szWhat;
        int nCommand;
        std::vector<int> anAnswers;
        std::vector<std::string> asAskedAbout;
        std::vector<std::string> asLeftOpen;
        std::vector<std::string> asSaved;
    };
    // The last row ends the program.
    const Row aRows[] = {
        {"close, Cancel", ID_PROJECT_CLOSE, {wxCANCEL}, {"two"}, {"one", "two"}, {}},
        {"close, No", ID_PROJECT_CLOSE, {wxNO}, {"two"}, {"one"}, {}},
        {"close, Yes", ID_PROJECT_CLOSE, {wxYES}, {"two"}, {"one"}, {"two"}},
        {"quit, Cancel", ID_PROJECT_EXIT, {wxCANCEL}, {"one"}, {"one", "two"}, {}},
        {"quit, No then Cancel", ID_PROJECT_EXIT, {wxNO, wxCANCEL}, {"one", "two"}, {"two"}, {}},
        {"quit, Yes then No", ID_PROJECT_EXIT, {wxYES, wxNO}, {"one", "two"}, {}, {"one"}},
    };
    int nRow = 0;
    for (const Row& row : aRows)
    {
        SCOPED_TRACE(row.szWhat);
        ASSERT_TRUE(m_pFrame);
        std::map<std::string, wxString> mapPath;
        std::map<std::string, std::string> mapBytes;
        for (const std::string sName : {"one", "two"})
        {
            mapPath[sName] = MakeSavedProject(sName + std::to_string(nRow), 1);
            mapBytes[sName] = ReadBytes(mapPath[sName]);
            Prompts().AnswerFile(mapPath[sName]);
            Command(ID_PROJECT_OPEN);
            ASSERT_TRUE(Page());
            Page()->GetLayout()->GetTranslationFrame()->SetTargetText("Satz eins von " + sName + ".");
            Page()->FlushCommit();
            ASSERT_TRUE(Page()->GetDocument()->IsDirty());
        }
        ++nRow;
        Prompts().VerifyAndClear();

        for (int nAnswer : row.anAnswers)
            Prompts().AnswerMessage(nAnswer);
        QuestionOnScreen onScreen(Prompts(), Artefact("close-question.png"));
        if (row.asLeftOpen.empty())
            tSetUserPrompts(&onScreen);
        Command(row.nCommand);
        tSetUserPrompts(&Prompts());
        PumpEvents(50);

        ASSERT_EQ(Prompts().Calls().size(), row.asAskedAbout.size());
        for (size_t i = 0; i < row.asAskedAbout.size(); ++i)
        {
            const ScriptedUserPrompts::Call& call = Prompts().Calls()[i];
            EXPECT_EQ(call.sMessage, tLocalisedWith("XLIFFDOC_UNSAVED_CHANGES_OF", mapPath[row.asAskedAbout[i]]));
            EXPECT_TRUE(call.nStyle & wxCANCEL);
            EXPECT_TRUE(call.bParentShown) << "the page of " << row.asAskedAbout[i] << " is shown first";
        }
        for (const std::string sName : {"one", "two"})
        {
            const bool bSaved = std::count(row.asSaved.begin(), row.asSaved.end(), sName) > 0;
            const std::string sBytes = ReadBytes(mapPath[sName]);
            EXPECT_EQ(bSaved, sBytes.find("Satz eins von " + sName) != std::string::npos) << sName;
            EXPECT_EQ(bSaved, sBytes != mapBytes[sName]) << sName;
        }
        if (row.asLeftOpen.empty())
        {
            EXPECT_TRUE(PumpUntil([this] { return !m_pFrame; })) << "the program ends";
            break;
        }
        ASSERT_TRUE(m_pFrame) << "the program goes on";
        EXPECT_FALSE(wxPendingDelete.Member(m_pFrame.get()));
        ASSERT_EQ(Notebook()->GetNumDocs(), static_cast<int>(row.asLeftOpen.size()));
        for (size_t i = 0; i < row.asLeftOpen.size(); ++i)
        {
            VRDocFrame* pPage = Notebook()->GetDocument(static_cast<int>(i));
            EXPECT_EQ(pPage->GetFileName(), mapPath[row.asLeftOpen[i]]);
            EXPECT_TRUE(pPage->GetDocument()->IsDirty()) << "left as it was";
        }
        Prompts().VerifyAndClear();
        // Out of the way for the next row, without keeping anything.
        while (Notebook()->GetNumDocs() > 0)
        {
            Prompts().AnswerMessage(wxNO);
            Command(ID_PROJECT_CLOSE);
        }
        Prompts().VerifyAndClear();
    }
}

// --- The name proposed for a translated document --------------------------------------------------

// For html, txt and xml sources: the source's name with the output language before the extension,
// following the language while the name is untouched; the source itself is asked about as such and
// stays as it was after No.
TEST_F(AroundTheWork, OutputProposesTheSourcesNameInTheOutputLanguage)
{
    struct Case
    {
        const char* szSource;
        std::string sBytes;
        const char* szProposed;
        const char* szProposedInSourceLanguage;
    };
    const Case aCases[] = {
        {"ch08.en.html", "<html><body><p>Hello world.</p></body></html>", "ch08.de.html", "ch08.en.html"},
        {"readme.txt", "Hello world.\n", "readme.de.txt", "readme.en.txt"},
        {"manual.xml", "<?xml version=\"1.0\"?><doc><p>Hello world.</p></doc>", "manual.de.xml", "manual.en.xml"},
    };
    wxArrayString asFiles, asLanguages;
    for (const Case& c : aCases)
    {
        asFiles.push_back(WriteHomeFile(c.szSource, c.sBytes));
        asLanguages.push_back("en");
    }
    auto* pPage = new VRDocFrame(Notebook(), WriteRules(), &Notebook()->GetMemDocManager(),
                                 VRProjectModel::NewEmptyMemoryChoice(), asFiles, asLanguages, "de", -1);
    ASSERT_EQ(pPage->GetNumFiles(), 3);
    for (int i = 0; i < 3; ++i)
    {
        const Case& c = aCases[i];
        SCOPED_TRACE(c.szSource);
        if (i > 0)
        {
            VRFilesFrame* pFiles = pPage->GetLayout()->GetFilesFrame();
            ClickButton(dynamic_cast<wxAnyButton*>(pFiles->FindWindow(VRFilesFrame::ID_NEXT)));
            ASSERT_TRUE(PumpUntil([pPage, i] { return pPage->GetCurrentFile() == i; }));
        }
        const wxString sSource = HomePath(c.szSource);
        const wxString sProposed = HomePath(c.szProposed);

        // First the proposal, which follows the language, and is written.
        Dialogs().Expect("output dialog",
                         [&](wxDialog* pDialog)
                         {
                             auto* pSelector = FindChild<CVRFileSelector>(pDialog, VRDocFrame::kszOutputFileName);
                             auto* pChoice = FindChild<wxChoice>(pDialog, VRDocFrame::kszOutputLanguageName);
                             EXPECT_EQ(pSelector->GetFileName(0), sProposed);
                             for (int nLanguage : {1, 0})
                             {
                                 pChoice->SetSelection(nLanguage);
                                 wxCommandEvent event(wxEVT_CHOICE, pChoice->GetId());
                                 event.SetEventObject(pChoice);
                                 event.SetInt(nLanguage);
                                 pChoice->GetEventHandler()->ProcessEvent(event);
                                 EXPECT_EQ(pSelector->GetFileName(0),
                                           nLanguage == 1 ? HomePath(c.szProposedInSourceLanguage) : sProposed);
                             }
                             return wxID_OK;
                         });
        EXPECT_TRUE(pPage->OutputTranslatedFile(wxString(), wxString()));
        EXPECT_TRUE(wxFileExists(sProposed));
        EXPECT_TRUE(Prompts().Calls().empty()) << "a new file is written without a question";

        // Then the source document itself: named as such; No leaves it and shows the dialog again.
        Dialogs().Expect("output dialog, the source chosen",
                         [&](wxDialog* pDialog)
                         {
                             FindChild<CVRFileSelector>(pDialog, VRDocFrame::kszOutputFileName)->SetFileName(sSource);
                             return wxID_OK;
                         });
        Prompts().AnswerMessage(wxNO);
        Dialogs().Expect("output dialog, cancelled", AnswerWith(wxID_CANCEL));
        EXPECT_FALSE(pPage->OutputTranslatedFile(wxString(), wxString()));
        ASSERT_EQ(Prompts().Calls().size(), 1u);
        EXPECT_EQ(Prompts().Calls()[0].sMessage, tLocalisedWith("OUTPUT_FILE_IS_SOURCE", sSource));
        EXPECT_TRUE(Prompts().Calls()[0].nStyle & wxNO_DEFAULT);
        EXPECT_EQ(ReadBytes(sSource), c.sBytes);
        Prompts().VerifyAndClear();
    }
    Prompts().AnswerMessage(wxNO); // the new project, not kept
    delete pPage;
}
