// The main road of the program, driven through its real windows from a new project to exit: the
// program's own start-up services, the main window's commands, the project page's panes, the
// dialogs (scripted) and the questions (scripted prompts). Each step checks what the translator
// would see and leaves a screenshot, the project, the output and the memories in
// artefacts/main-road of the build folder.
#include "Shared/FrmFileSelector.h"
#include "Shared/FrmLangSelector.h"
#include "Shared/HTMLPreview.h"
#include "Shared/Localisation.h"
#include "app/AppPaths.h"
#include "app/BrindovaFrame.h"
#include "app/WindowGeometry.h"
#include "Shared/Options.h"
#include "engine/InlineMarkup.h"
#include "engine/VRMemDoc.h"
#include "engine/VRMemDocStatistics.h"
#include "tests/gui/ProgramWindowTest.h"
#include "tests/harness/AssertRecorder.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/harness/TestFiles.h"
#include "tests/gui/ProgramWindowTest.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"
#include "workspace/DlgMemDoc.h"
#include "workspace/DlgNewDoc.h"
#include "workspace/SegmentXML.h"
#include "workspace/VRAttributeSelector.h"
#include "workspace/VRDocFrame.h"
#include "workspace/VRDocLayout.h"
#include "workspace/VRDocSplitter.h"
#include "workspace/VRFilesFrame.h"
#include "workspace/VRGrid.h"
#include "workspace/VRPreviewPanel.h"
#include "workspace/VRSegmentEditor.h"
#include "workspace/VRSourceFrame.h"
#include "workspace/VRSuggestedTranslationFrame.h"
#include "workspace/VRTranslationFrame.h"

#include <wx/anybutton.h>
#include <wx/aui/auibook.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/display.h>
#include <wx/filename.h>
#include <wx/html/htmlwin.h>
#include <wx/menu.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include <array>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

const char* const kFixtures = LINTRADO_FIXTURES_DIR "/main-road";
const char* const kArtefacts = LINTRADO_ARTEFACTS_DIR;

class MainRoad : public ProgramWindowTest
{
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;

        std::error_code error;
        fs::remove_all(kArtefacts, error);
        fs::create_directories(kArtefacts);
        for (const char* szName : {"a.txt", "b.html", "mem.tmx"})
            fs::copy_file(fs::path(kFixtures) / szName, fs::path(kArtefacts) / szName);

        const tcWindowGeometry geometry =
            ClampWindowGeometry(ReadWindowGeometry(g_pConfig), wxGetClientDisplayRect().GetSize());
        m_pFrame =
            new BrindovaFrame(g_sAppName, wxPoint(geometry.x, geometry.y), wxSize(geometry.nWidth, geometry.nHeight));
        m_pFrame->Show();
        if (geometry.bMaximized)
            m_pFrame->Maximize();
        PumpEvents(100);
        // Without a window manager nothing maximises; the window takes the screen as it would.
        if (geometry.bMaximized && m_pFrame->GetSize() != wxGetClientDisplayRect().GetSize())
            m_pFrame->SetSize(wxGetClientDisplayRect());
        PumpEvents(100);
    }

    // --- What the translator does ----------------------------------------------------------------

    // Clicks the button nID of a pane (identifiers are unique per pane only).
    static void Click(wxWindow* pPane, int nID)
    {
        auto* pButton = dynamic_cast<wxAnyButton*>(pPane->FindWindow(nID));
        ASSERT_TRUE(pButton) << "button " << nID;
        ASSERT_TRUE(pButton->IsEnabled()) << "button " << nID;
        ClickButton(pButton);
    }

    // Goes to segment nIndex (from 0) with the source pane's segment spin.
    void GoToSegment(int nIndex)
    {
        wxSpinCtrl* pSpin = Source()->GetSpin();
        pSpin->SetValue(nIndex + 1);
        wxSpinEvent event(wxEVT_SPINCTRL, VRSourceFrame::ID_SPIN);
        event.SetEventObject(pSpin);
        event.SetPosition(nIndex + 1);
        pSpin->GetEventHandler()->ProcessEvent(event);
        ASSERT_TRUE(PumpUntil([&] { return Layout()->GetShownSegment() == nIndex; })) << "segment " << nIndex;
    }

    void Shot(const std::string& sName) { EXPECT_TRUE(TakeScreenshot(Artefact(sName + ".png"))) << sName; }

    // Fills the new-project dialog as the translator does: sFiles (";"-separated) in English into
    // German with the shipped rules; sMemory (empty: the dialog's new empty memory) and auto-fill.
    static void FillNewProject(CDlgNewDoc& dialog, const wxString& sFiles, const wxString& sMemory, int nPercent)
    {
        SelectLanguage(dialog.GetSourceRows()[0]->GetLangSelector(), "en");
        dialog.GetSourceRows()[0]->SetFileName(sFiles);
        SelectLanguage(dialog.GetTargetSelector(), "de");
        EXPECT_EQ(dialog.GetSRXFile(), g_sDataPath + "/Default.srx");
        if (!sMemory.empty())
            dialog.GetTMSelector()->SetFileName(sMemory);
        else
            EXPECT_EQ(dialog.GetTMFile(), CatalogText("DOCUMENT_CREATE_NEW_EMPTY"));
        dialog.GetAutoConvertBox()->SetValue(nPercent >= 0);
        wxCommandEvent check(wxEVT_CHECKBOX, CDlgNewDoc::ID_AUTOCONVERT);
        check.SetEventObject(dialog.GetAutoConvertBox());
        check.SetInt(nPercent >= 0);
        dialog.GetAutoConvertBox()->GetEventHandler()->ProcessEvent(check);
        if (nPercent >= 0)
        {
            dialog.GetPercentCtrl()->SetValue(nPercent);
            wxSpinEvent spin(wxEVT_SPINCTRL, CDlgNewDoc::ID_PERCENT);
            spin.SetEventObject(dialog.GetPercentCtrl());
            spin.SetPosition(nPercent);
            dialog.GetPercentCtrl()->GetEventHandler()->ProcessEvent(spin);
        }
        EXPECT_TRUE(dialog.GetOKButton()->IsEnabled());
    }

    // Chooses a language in a selector's list with the choice event a user's pick sends.
    static void SelectLanguage(CVRLangSelector* pSelector, const wxString& sKey)
    {
        wxChoice* pChoice = pSelector->GetLanguageChoice();
        ASSERT_EQ(pChoice->GetId(), CVRLangSelector::ID_LANGUAGE);
        const int n = pChoice->FindString(sKey, true);
        ASSERT_GT(n, 0) << sKey.utf8_string();
        pSelector->SelectLanguage(n);
        EXPECT_EQ(pSelector->GetSelectedLanguageCode(), sKey);
    }

    // --- What the translator sees ----------------------------------------------------------------

    CVRDocSplitter* Notebook() { return m_pFrame->GetDocSplitter(); }
    VRDocFrame* Page() { return Notebook()->GetCurrentDoc(); }
    VRDocLayout* Layout() { return Page()->GetLayout(); }
    VRSourceFrame* Source() { return Layout()->GetSourceFrame(); }
    VRTranslationFrame* Translation() { return Layout()->GetTranslationFrame(); }
    const SXLIFFDTD& DTD() { return Page()->GetModel().GetXLIFFDTD(); }

    wxString TabText() { return Notebook()->GetPageText(static_cast<size_t>(Notebook()->GetPageIndex(Page()))); }
    bool MenusOn()
    {
        wxMenuBar* pBar = m_pFrame->GetMenuBar();
        bool bAll = true, bNone = true;
        for (size_t nPos : {1u, 2u, 3u})
        {
            bAll = bAll && pBar->IsEnabledTop(nPos);
            bNone = bNone && !pBar->IsEnabledTop(nPos);
        }
        for (int nID : {ID_PROJECT_ADDFILES, ID_PROJECT_CLOSE, ID_PROJECT_SAVE})
        {
            bAll = bAll && pBar->IsEnabled(nID);
            bNone = bNone && !pBar->IsEnabled(nID);
        }
        EXPECT_TRUE(bAll || bNone) << "the project menus are partly on";
        return bAll;
    }
    // Waits until the window's title follows the current project (or shows the program alone).
    void ExpectWindowTitle(const wxString& sProjectTitle)
    {
        const wxString sTitle = sProjectTitle.empty() ? CatalogText("APPLICATION_NAME")
                                                      : CatalogText("APPLICATION_NAME") + " - " + sProjectTitle;
        EXPECT_TRUE(PumpUntil([&] { return m_pFrame->GetTitle() == sTitle; }))
            << m_pFrame->GetTitle().utf8_string() << " | expected " << sTitle.utf8_string();
    }
    wxString ChangedMark() { return " (*" + CatalogText("DOC_WINDOWTITLE_UNSAVED_CHANGES") + ")"; }

    // The shown segment's source, target text in the editor, state and qualifier choices.
    wxString EditorText() { return Translation()->GetEditor()->GetSegmentXML(); }
    wxString StateShown() { return Translation()->GetStateSelector()->GetStringSelection(); }
    wxString QualifierShown() { return Translation()->GetStateQualifierSelector()->GetStringSelection(); }
    wxString SegmentSource(int nIndex)
    {
        return GenerateSegmentXML(Page()->GetSegments()[static_cast<size_t>(nIndex)]);
    }
    wxString SegmentTarget(int nIndex)
    {
        return GetTargetXML(DTD(), Page()->GetSegments()[static_cast<size_t>(nIndex)]);
    }
    // The attribute of the target of segment nIndex's unit.
    wxString TargetAttribute(int nIndex, tcAttribute* pAttribute)
    {
        tcNode* pTarget = nullptr;
        GetTargetXML(DTD(), Page()->GetSegments()[static_cast<size_t>(nIndex)], &pTarget);
        return pTarget ? pTarget->GetAttributeDisplayAsString(pAttribute) : wxString("(no target)");
    }
    // The text the preview panel shows; empty when it shows no HTML view.
    wxString PreviewText()
    {
        wxWindow* pHosted = Layout()->GetPreviewPanel()->GetPreviewWindow();
        if (!pHosted || !pHosted->IsShown())
            return wxString();
        // A convertor's preview comes in its own window around the view; a page the page made
        // itself is the view's window.
        if (auto* pView = dynamic_cast<VRHTMLWindow*>(pHosted))
            pHosted = pView->GetHTMLWindow() ? pView->GetHTMLWindow()->GetWindow() : nullptr;
        auto* pHtml = dynamic_cast<wxHtmlWindow*>(pHosted);
        return pHtml ? pHtml->ToText() : wxString();
    }
    // A segment's text as the translator reads it: its inline codes (with the markup they carry)
    // left out.
    static std::string Plain(const wxString& sXML)
    {
        static const std::regex codes("<(bpt|ept|ph|it)\\b[^>]*/>|<(bpt|ept|ph|it)\\b[^>]*>.*?</\\2>");
        return std::regex_replace(sXML.utf8_string(), codes, "");
    }
    // The best score the project's memory gives sText in English; 0 without a match.
    int BestScore(const wxString& sText)
    {
        int nBest = 0;
        for (const CVRMemDocMatch& match : Page()->GetMemDoc()->LookupTranslations(sText, "en"))
            nBest = std::max(nBest, match.m_nScore);
        return nBest;
    }
    // The questions asked with the text of szKey, naming the project sProject where given.
    int Questions(const char* szKey, const wxString& sProject = wxString())
    {
        const wxString sText = sProject.empty() ? CatalogText(szKey) : tLocalisedWith(szKey, sProject);
        int n = 0;
        for (const auto& call : Prompts().Calls())
            n += call.eKind == ScriptedUserPrompts::Kind::Message && call.sMessage == sText;
        return n;
    }

    // --- The steps -------------------------------------------------------------------------------

    void NewProject();
    void NextUntranslated();
    void TypeTarget();
    void MarkFinal();
    void UseSuggestion();
    void CopySource();
    void SaveProject();
    void OutputTranslation();
    void FileStatistics();
    void CloseProject();
    void Reopen();
    void MissingMemory();
    void UnsavedClose();
    void FailingOutput();
    void Exit();
    // Answers the output dialog with sFile and the language at nLanguage.
    // bFirst: the dialog shows for the first time (and so proposes the source's name in German).
    void ExpectOutputDialog(const wxString& sFile, int nLanguage, bool bFirst);

    AssertRecorder m_asserts;
    std::string m_sSavedBytes;
};

void MainRoad::NewProject()
{
    Dialogs().Expect("new project",
                     [](wxDialog* pDialog)
                     {
                         auto& dialog = *dynamic_cast<CDlgNewDoc*>(pDialog);
                         FillNewProject(dialog, Artefact("a.txt") + ";" + Artefact("b.html"), Artefact("mem.tmx"), 75);
                         // One row per file and the empty row, each file in English.
                         EXPECT_EQ(dialog.GetSourceRows().size(), 3u);
                         EXPECT_EQ(dialog.GetSourceRows()[1]->GetLanguageCode(), "en");
                         EXPECT_EQ(dialog.GetAutoConvertPercent(), 75);
                         return wxID_OK;
                     });
    Command(ID_PROJECT_NEW);
    ASSERT_EQ(Notebook()->GetNumDocs(), 1);
    ASSERT_TRUE(Page());
    EXPECT_EQ(Notebook()->GetPageCount(), 1u);
    EXPECT_EQ(Page()->GetNumFiles(), 2);
    const wxString sTitle = CatalogText("DOC_WINDOWTITLE_UNTITLED") + ChangedMark();
    EXPECT_EQ(Page()->GetTitle(), sTitle);
    EXPECT_EQ(TabText().utf8_string(), sTitle.utf8_string());
    ExpectWindowTitle(sTitle);
    EXPECT_TRUE(MenusOn());

    // The first segment was filled from the memory's full match, which stays as a proposal.
    ASSERT_EQ(Page()->GetSegments().size(), 2u);
    EXPECT_EQ(SegmentSource(0).utf8_string(), "Hello world.");
    EXPECT_EQ(SegmentTarget(0).utf8_string(), "Hallo Welt.");
    tcNode* pFile = Page()->GetModel().GetFileNodes()[0];
    std::vector<tcNode*> apAltTrans;
    pFile->FindDescendantsOfElementType(DTD().m_pAltTransElement->GetID(), apAltTrans);
    ASSERT_FALSE(apAltTrans.empty());
    EXPECT_EQ(apAltTrans[0]->GetAttributeDisplayAsString(DTD().m_pAltTransMatchQualityAttr), "100");
    EXPECT_EQ(Page()->GetModel().GetMemDocsPath(), Artefact("mem.tmx"));

    // The panes show the first file's first segment.
    EXPECT_EQ(Source()->GetGrid()->GetNumRows(), 2);
    EXPECT_EQ(Layout()->GetShownSegment(), 0);
    EXPECT_EQ(EditorText().utf8_string(), "Hallo Welt.");
    EXPECT_TRUE(PumpUntil([this] { return PreviewText().Contains("Hallo Welt."); })) << PreviewText().utf8_string();
    Shot("01-new-project");
}

void MainRoad::NextUntranslated()
{
    Click(Source(), VRSourceFrame::ID_NEXT_UNTRANSLATED);
    ASSERT_TRUE(PumpUntil([this] { return Layout()->GetShownSegment() == 1; }));
    EXPECT_EQ(Source()->GetCurrentSegment(), 1);
    EXPECT_EQ(Source()->GetSpin()->GetValue(), 2);
    EXPECT_EQ(EditorText().utf8_string(), "");
    EXPECT_EQ(SegmentTarget(1).utf8_string(), "");
    Shot("02-next-untranslated");
}

void MainRoad::TypeTarget()
{
    // Unmarked first, so that the mark seen afterwards comes from the typing.
    Page()->GetDocument()->ClearDirty();
    ExpectWindowTitle(CatalogText("DOC_WINDOWTITLE_UNTITLED"));
    VRSegmentEditor* pEditor = Translation()->GetEditor();
    pEditor->SetFocus();
    // The keys go to the window under the pointer when no window manager hands out the focus.
    wxUIActionSimulator simulator;
    simulator.MouseMove(pEditor->GetScreenRect().GetPosition() + wxPoint(20, 10));
    ASSERT_TRUE(PumpUntil([pEditor] { return wxWindow::FindFocus() == pEditor; })) << "the editor has no focus";
    ASSERT_TRUE(simulator.Text("Dies ist ein Test."));
    ASSERT_TRUE(PumpUntil([this] { return SegmentTarget(1) == "Dies ist ein Test."; }))
        << "target: " << SegmentTarget(1).utf8_string() << ", editor: " << EditorText().utf8_string();
    EXPECT_EQ(EditorText().utf8_string(), "Dies ist ein Test.");
    EXPECT_TRUE(Page()->GetDocument()->IsDirty());
    ExpectWindowTitle(CatalogText("DOC_WINDOWTITLE_UNTITLED") + ChangedMark());
    Shot("03-typed");
}

void MainRoad::MarkFinal()
{
    EXPECT_EQ(BestScore("This is a test."), 0);
    Translation()->GetStateSelector()->SetValue("final");
    const bool bInMemory = PumpUntil([this] { return BestScore("This is a test.") == 100; });
    if (!bInMemory)
    {
        for (const CVRMemDocMatch& match : Page()->GetMemDoc()->LookupTranslations("This is a test.", "en"))
            ADD_FAILURE() << "match " << match.m_nScore;
        Page()->GetMemDoc()->SaveAs(Artefact("debug.tmx"));
        ADD_FAILURE() << ReadBytes(Artefact("debug.tmx"));
    }
    ASSERT_TRUE(bInMemory);
    EXPECT_EQ(StateShown().utf8_string(), "final");
    EXPECT_EQ(TargetAttribute(1, DTD().m_pTargetStateAttr).utf8_string(), "final");
    Shot("04-final");
}

void MainRoad::UseSuggestion()
{
    Click(Layout()->GetFilesFrame(), VRFilesFrame::ID_NEXT);
    ASSERT_TRUE(PumpUntil([this] { return Page()->GetModel().GetCurrentFile() == 1; }));
    // Each paragraph is a unit whose markup the segment carries as inline codes.
    EXPECT_EQ(Plain(SegmentSource(0)), "Good morning.");
    EXPECT_EQ(Plain(SegmentSource(1)), "Hello world.");

    ASSERT_NO_FATAL_FAILURE(GoToSegment(1));
    VRSuggestedTranslationFrame* pSuggestions = Layout()->GetSuggestions();
    ASSERT_GE(pSuggestions->GetShownCount(), 1);
    ASSERT_TRUE(pSuggestions->GetSelectedSuggestion());
    const bool bExact = pSuggestions->IsExactMatch();
    EXPECT_TRUE(bExact);
    Click(pSuggestions, VRSuggestedTranslationFrame::ID_USE);
    ASSERT_TRUE(PumpUntil([this] { return StateShown() == "translated"; })) << StateShown().utf8_string();
    // The proposal's text inside the source's codes, so the paragraph stays whole.
    wxString sExpected = SegmentSource(1);
    sExpected.Replace("Hello world.", "Hallo Welt.");
    EXPECT_EQ(SegmentTarget(1).utf8_string(), sExpected.utf8_string());
    EXPECT_EQ(EditorText(), SegmentTarget(1));
    EXPECT_EQ(QualifierShown().utf8_string(), bExact ? "exact-match" : "fuzzy-match");
    EXPECT_EQ(TargetAttribute(1, DTD().m_pTargetStateAttr).utf8_string(), "translated");
    EXPECT_EQ(TargetAttribute(1, DTD().m_pTargetStateQualifierAttr).utf8_string(), "exact-match");
    Shot("05-suggestion-used");
}

void MainRoad::CopySource()
{
    ASSERT_NO_FATAL_FAILURE(GoToSegment(0));
    EXPECT_EQ(EditorText().utf8_string(), "");
    Click(Source(), VRSourceFrame::ID_COPY_SOURCE);
    ASSERT_TRUE(PumpUntil([this] { return !SegmentTarget(0).empty(); }));
    EXPECT_EQ(SegmentTarget(0), SegmentSource(0));
    EXPECT_EQ(EditorText(), SegmentSource(0));
    EXPECT_EQ(StateShown().utf8_string(), "needs-adaptation");
    EXPECT_EQ(QualifierShown().utf8_string(), "x-leveraged-source");
    EXPECT_EQ(TargetAttribute(0, DTD().m_pTargetStateQualifierAttr).utf8_string(), "x-leveraged-source");
    // The other unit of the file keeps its own state.
    EXPECT_EQ(TargetAttribute(1, DTD().m_pTargetStateAttr).utf8_string(), "translated");
    Shot("06-source-copied");
}

void MainRoad::SaveProject()
{
    const wxString sProject = Artefact("p.xlf");
    Prompts().AnswerFile(sProject);
    Command(ID_PROJECT_SAVE);
    ASSERT_TRUE(wxFileName::FileExists(sProject));
    EXPECT_FALSE(Page()->GetDocument()->IsDirty());
    EXPECT_EQ(Page()->GetFileName(), sProject);
    EXPECT_EQ(TabText(), "p.xlf");
    EXPECT_EQ(Notebook()->GetPageToolTip(static_cast<size_t>(Notebook()->GetPageIndex(Page()))), sProject);
    ExpectWindowTitle(sProject);
    m_sSavedBytes = ReadBytes(sProject);
    Prompts().VerifyAndClear();
    Shot("07-saved");
}

void MainRoad::OutputTranslation()
{
    Click(Layout()->GetFilesFrame(), VRFilesFrame::ID_PREVIOUS);
    ASSERT_TRUE(PumpUntil([this] { return Page()->GetModel().GetCurrentFile() == 0; }));
    EXPECT_EQ(SegmentSource(0).utf8_string(), "Hello world.");

    // An empty name shows the dialog again; then German into out.txt.
    ExpectOutputDialog("", 0, true);
    ExpectOutputDialog(Artefact("out.txt"), 0, false);
    Command(ID_FILE_OUTPUTTRANSLATEDFILE);
    ASSERT_TRUE(wxFileName::FileExists(Artefact("out.txt")));
    const std::string sOut = ReadBytes(Artefact("out.txt"));
    EXPECT_NE(sOut.find("Hallo Welt."), std::string::npos) << sOut;
    EXPECT_NE(sOut.find("Dies ist ein Test."), std::string::npos) << sOut;
    EXPECT_EQ(sOut.find("Hello"), std::string::npos) << sOut;
    EXPECT_EQ(sOut.find("This is"), std::string::npos) << sOut;
    EXPECT_TRUE(Prompts().Calls().empty()) << "writing a new file asks nothing";
    EXPECT_FALSE(Page()->GetDocument()->IsDirty());
    Shot("08-output");
}

void MainRoad::ExpectOutputDialog(const wxString& sFile, int nLanguage, bool bFirst)
{
    Dialogs().Expect(
        "output dialog",
        [this, sFile, nLanguage, bFirst](wxDialog* pDialog)
        {
            EXPECT_EQ(pDialog->GetTitle(), CatalogText("SELECT_TARGET_OUTPUT_FILE_AND_LANGUAGE"));
            auto* pSelector = FindChild<CVRFileSelector>(pDialog, VRDocFrame::kszOutputFileName);
            auto* pChoice = FindChild<wxChoice>(pDialog, VRDocFrame::kszOutputLanguageName);
            EXPECT_TRUE(pSelector && pChoice);
            if (!pSelector || !pChoice)
                return wxID_CANCEL;
            // The translation's language first, then the source's; a name beside the source
            // document is proposed, never the source itself.
            EXPECT_EQ(pChoice->GetStrings(), (wxArrayString{2, std::array<wxString, 2>{"de", "en"}.data()}));
            if (bFirst)
            {
                EXPECT_EQ(pChoice->GetSelection(), 0);
                EXPECT_EQ(pSelector->GetFileName(0), Artefact("a.de.txt"));
            }
            pSelector->SetFileName(sFile);
            pChoice->SetSelection(nLanguage);
            return wxID_OK;
        });
}

void MainRoad::FileStatistics()
{
    Command(ID_STATISTICS_FILE);
    // The page comes to the front of its notebook and shows the record.
    VRPreviewPanel* pPreview = Layout()->GetPreviewPanel();
    wxAuiNotebook* pNotebook = Layout()->GetNotebook(2);
    EXPECT_EQ(pNotebook->GetSelection(), pNotebook->GetPageIndex(pPreview));
    EXPECT_TRUE(PumpUntil([this] { return PreviewText().Contains("a.txt"); }))
        << "[" << PreviewText().utf8_string() << "]";

    CVRMemDocStatistics record;
    Page()->GetStatistics(&record, 0);
    EXPECT_EQ(record.GetFileName(), Artefact("a.txt"));
    EXPECT_EQ(record.GetNumTranslationUnits(), 1);
    EXPECT_EQ(record.GetNumTranslatableUnits(), 1);
    EXPECT_EQ(record.GetNumSegments(), 2);
    EXPECT_EQ(record.GetNumTranslatableSegments(), 2);
    EXPECT_EQ(record.GetNumTranslatedSegments(), 2);
    EXPECT_GT(record.GetNumWords(), 0);
    EXPECT_GT(record.GetNumTranslatedWords(), 0);
    EXPECT_EQ(record.GetNumCharacters(), 29) << "\"Hello world.\" and \" This is a test.\\n\"";
    EXPECT_EQ(record.GetNumTranslatedCharacters(), 29) << "\"Hallo Welt.\" and \"Dies ist ein Test.\"";
    Shot("09-file-statistics");
}

void MainRoad::CloseProject()
{
    Prompts().AnswerMessage(wxYES);
    Command(ID_PROJECT_CLOSE);
    EXPECT_EQ(Questions("MEMDOC_UNSAVED_CHANGES_OF", Artefact("p.xlf")), 1);
    EXPECT_EQ(Prompts().Calls().size(), 1u);
    EXPECT_EQ(Notebook()->GetNumDocs(), 0);
    EXPECT_EQ(Notebook()->GetPageCount(), 0u);
    ExpectWindowTitle(wxString());
    EXPECT_FALSE(MenusOn());
    EXPECT_EQ(Notebook()->GetMemDocManager().GetNumMemDocs(), 0u);
    // The memory on disk holds both pairs: the one it came with and the final one.
    const std::string sMemory = ReadBytes(Artefact("mem.tmx"));
    EXPECT_NE(sMemory.find("Dies ist ein Test."), std::string::npos);
    EXPECT_NE(sMemory.find("This is a test."), std::string::npos);
    EXPECT_NE(sMemory.find("Hallo Welt."), std::string::npos);
    Prompts().VerifyAndClear();
    Shot("10-closed");
}

void MainRoad::Reopen()
{
    const wxString sProject = Artefact("p.xlf");
    Prompts().AnswerFile(sProject);
    Command(ID_PROJECT_OPEN);
    ASSERT_TRUE(Page());
    EXPECT_EQ(TabText().utf8_string(), "p.xlf");
    EXPECT_FALSE(Page()->GetDocument()->IsDirty());
    ExpectWindowTitle(sProject);
    EXPECT_TRUE(MenusOn());
    ASSERT_NO_FATAL_FAILURE(GoToSegment(1));
    EXPECT_EQ(EditorText().utf8_string(), "Dies ist ein Test.");
    EXPECT_EQ(StateShown().utf8_string(), "final");
    EXPECT_FALSE(Page()->GetDocument()->IsDirty());
    Shot("11-reopened");

    Command(ID_PROJECT_SAVE);
    EXPECT_EQ(ReadBytes(sProject), m_sSavedBytes) << "saving a reopened project changes its file";
    Command(ID_PROJECT_CLOSE);
    EXPECT_EQ(Notebook()->GetNumDocs(), 0);
    EXPECT_TRUE(Prompts().Calls().size() == 1u) << "closing an unchanged project asks nothing";
    Prompts().VerifyAndClear();
}

void MainRoad::MissingMemory()
{
    fs::rename(fs::path(Artefact("mem.tmx").utf8_string()), fs::path(Artefact("mem2.tmx").utf8_string()));
    const wxString sProject = Artefact("p.xlf");

    Prompts().AnswerFile(sProject);
    Dialogs().Expect("memory dialog, cancelled", AnswerWith(wxID_CANCEL));
    Prompts().AnswerMessage(wxOK);
    Command(ID_PROJECT_OPEN);
    ASSERT_EQ(Prompts().Calls().size(), 2u);
    EXPECT_EQ(Prompts().Calls()[1].sCaption, "Error opening the document");
    EXPECT_EQ(Prompts().Calls()[1].sMessage, CatalogText("SELECT_TM_CANCELLED"));
    EXPECT_EQ(Notebook()->GetNumDocs(), 0);
    EXPECT_EQ(Notebook()->GetPageCount(), 0u);
    EXPECT_FALSE(MenusOn());
    Prompts().VerifyAndClear();

    Prompts().AnswerFile(sProject);
    Dialogs().Expect("memory dialog",
                     [](wxDialog* pDialog)
                     {
                         auto* pField = dynamic_cast<wxTextCtrl*>(pDialog->FindWindow(CDlgMemDoc::ID_FILE));
                         EXPECT_TRUE(pField);
                         if (!pField)
                             return wxID_CANCEL;
                         pField->SetValue(Artefact("mem2.tmx"));
                         ClickButton(dynamic_cast<wxAnyButton*>(pDialog->FindWindow(CDlgMemDoc::ID_OK)));
                         return wxID_OK;
                     });
    Command(ID_PROJECT_OPEN);
    ASSERT_TRUE(Page());
    EXPECT_EQ(Page()->GetModel().GetMemDocsPath(), Artefact("mem2.tmx"));
    ASSERT_TRUE(Page()->GetMemDoc());
    EXPECT_EQ(Page()->GetMemDoc()->GetFileName(), Artefact("mem2.tmx"));
    EXPECT_TRUE(Page()->GetDocument()->IsDirty());
    EXPECT_EQ(TabText(), "p.xlf" + ChangedMark());
    ExpectWindowTitle(sProject + ChangedMark());
    Shot("12-memory-chosen");
}

void MainRoad::UnsavedClose()
{
    const std::string sBefore = ReadBytes(Artefact("p.xlf"));
    VRSegmentEditor* pEditor = Translation()->GetEditor();
    pEditor->SetText("Hallo, Welt.");
    ASSERT_TRUE(PumpUntil([this] { return SegmentTarget(0) == "Hallo, Welt."; }));
    Shot("13-edited");

    tcLogCapture log;
    Prompts().AnswerMessage(wxNO);
    Command(ID_PROJECT_CLOSE);
    EXPECT_EQ(Questions("XLIFFDOC_UNSAVED_CHANGES_OF", Artefact("p.xlf")), 1);
    EXPECT_EQ(Questions("MEMDOC_UNSAVED_CHANGES_OF", Artefact("p.xlf")), 0);
    EXPECT_TRUE(log.Contains("Save: Cancelled by user"));
    EXPECT_EQ(ReadBytes(Artefact("p.xlf")), sBefore);
    EXPECT_EQ(Notebook()->GetNumDocs(), 0);
    Prompts().VerifyAndClear();
}

void MainRoad::FailingOutput()
{
    Dialogs().Expect("new project with a new memory",
                     [](wxDialog* pDialog)
                     {
                         FillNewProject(*dynamic_cast<CDlgNewDoc*>(pDialog), Artefact("a.txt"), wxString(), -1);
                         return wxID_OK;
                     });
    Command(ID_PROJECT_NEW);
    ASSERT_TRUE(Page());
    ASSERT_TRUE(Page()->GetMemDoc());
    EXPECT_TRUE(Page()->GetMemDoc()->GetFileName().empty());
    EXPECT_EQ(SegmentTarget(0).utf8_string(), "") << "nothing is filled without auto-fill";
    Translation()->SetTargetText("Hallo Welt.");
    Translation()->GetStateSelector()->SetValue("final");
    ASSERT_TRUE(PumpUntil([this] { return BestScore("Hello world.") == 100; }));
    Shot("14-new-memory");

    // A path under a regular file cannot be made, even by root: a message, and no file.
    const wxString sImpossible = Artefact("a.txt") + "/out.txt";
    ExpectOutputDialog(sImpossible, 0, true);
    Prompts().AnswerMessage(wxOK);
    tcLogCapture log;
    Command(ID_FILE_OUTPUTTRANSLATEDFILE);
    ASSERT_EQ(Prompts().Calls().size(), 1u);
    EXPECT_EQ(Prompts().Calls()[0].sCaption, CatalogText("MESSAGETITLE_ERROR"));
    EXPECT_TRUE(Prompts().Calls()[0].nStyle & wxICON_ERROR);
    EXPECT_TRUE(Prompts().Calls()[0].sMessage.Contains(sImpossible)) << Prompts().Calls()[0].sMessage.utf8_string();
    EXPECT_FALSE(wxFileName::Exists(sImpossible));
    EXPECT_EQ(ReadBytes(Artefact("a.txt")), ReadBytes(wxString::FromUTF8(kFixtures) + "/a.txt"));
    Prompts().VerifyAndClear();
}

void MainRoad::Exit()
{
    Prompts().AnswerMessage(wxNO); // the new memory
    Prompts().AnswerMessage(wxNO); // the project
    Command(ID_PROJECT_EXIT);
    EXPECT_EQ(Questions("MEMDOC_UNSAVED_CHANGES_OF", CatalogText("DOC_WINDOWTITLE_UNTITLED")), 1);
    EXPECT_EQ(Questions("XLIFFDOC_UNSAVED_CHANGES_OF", CatalogText("DOC_WINDOWTITLE_UNTITLED")), 1);
    if (m_pFrame)
    {
        EXPECT_TRUE(wxPendingDelete.Member(m_pFrame.get())) << "the window stays";
        EXPECT_EQ(Notebook()->GetNumDocs(), 0);
        EXPECT_EQ(Notebook()->GetMemDocManager().GetNumMemDocs(), 0u);
    }
    EXPECT_TRUE(PumpUntil([this] { return !m_pFrame; }));
    EXPECT_TRUE(wxTopLevelWindows.IsEmpty());
    EXPECT_TRUE(m_asserts.asExpressions.empty());
    for (const std::string& sExpression : m_asserts.asExpressions)
        ADD_FAILURE() << "assertion: " << sExpression;
}

TEST_F(MainRoad, FromANewProjectToExit)
{
    ASSERT_TRUE(m_pFrame);
    Shot("00-started");
    ASSERT_NO_FATAL_FAILURE(NewProject());
    ASSERT_NO_FATAL_FAILURE(NextUntranslated());
    ASSERT_NO_FATAL_FAILURE(TypeTarget());
    ASSERT_NO_FATAL_FAILURE(MarkFinal());
    ASSERT_NO_FATAL_FAILURE(UseSuggestion());
    ASSERT_NO_FATAL_FAILURE(CopySource());
    ASSERT_NO_FATAL_FAILURE(SaveProject());
    ASSERT_NO_FATAL_FAILURE(OutputTranslation());
    ASSERT_NO_FATAL_FAILURE(FileStatistics());
    ASSERT_NO_FATAL_FAILURE(CloseProject());
    ASSERT_NO_FATAL_FAILURE(Reopen());
    ASSERT_NO_FATAL_FAILURE(MissingMemory());
    ASSERT_NO_FATAL_FAILURE(UnsavedClose());
    ASSERT_NO_FATAL_FAILURE(FailingOutput());
    ASSERT_NO_FATAL_FAILURE(Exit());
}
} // namespace
