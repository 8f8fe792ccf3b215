// The project page's panes and how the page moves them between files and segments.
#include "engine/VRMemDoc.h"
#include "engine/VRMemDocManager.h"
#include "engine/VRProjectModel.h"
#include "Shared/Options.h"
#include "tests/harness/GuiTest.h"
#include "workspace/VRNotesFrame.h"
#include "varnak/include/kvLog.h"
#include "tests/harness/AssertRecorder.h"
#include "tests/harness/Screenshot.h"
#include "tests/harness/TestFiles.h"
#include "tests/workspace/GridTestSupport.h"
#include "tests/workspace/PageGuiFixture.h"
#include "tests/workspace/ProjectFixtures.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"
#include "workspace/SegmentXML.h"
#include "workspace/VRAttributeSelector.h"
#include "workspace/VRDocFrame.h"
#include "workspace/VRDocLayout.h"
#include "workspace/VRFilesFrame.h"
#include "workspace/VRPreviewPanel.h"
#include "workspace/VRSegmentEditor.h"
#include "workspace/VRSourceFrame.h"
#include "workspace/VRSuggestedTranslationFrame.h"
#include "workspace/VRTranslationFrame.h"

#include <wx/aui/aui.h>
#include <wx/anybutton.h>
#include <wx/app.h>
#include <wx/config.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/weakref.h>

#include <memory>

namespace
{
class DocLayoutGui : public PageGuiTest
{
protected:

    // A new project of a.txt (three sentences) and b.txt (one), without a memory.
    VRDocLayout& NewPage(const wxString& sMemDoc = wxString())
    {
        wxArrayString asFiles, asLanguages;
        asFiles.push_back(WriteHomeFile("a.txt", "One. Two. Three."));
        asFiles.push_back(WriteHomeFile("b.txt", "Four."));
        asLanguages.push_back("en");
        asLanguages.push_back("en");
        ShowPage(new VRDocFrame(m_pFrame, WriteRules("rules.srx", BlankGoes::WithNextSentence), &m_manager, sMemDoc,
                                asFiles, asLanguages, "de", sMemDoc.empty() ? -1 : 75));
        return *m_pPage->GetLayout();
    }

    // How many times the memory offers sTarget (any target when empty) as a full match for segment
    // nSegment's sentence. The pair goes in without the blanks around the sentence and its
    // translation, so the sentence matches itself fully wherever it stands.
    int MemoryHits(int nSegment, const wxString& sTarget = wxString())
    {
        int nHits = 0;
        const wxString sSentence = Source(nSegment).Strip(wxString::both);
        for (const CVRMemDocMatch& match : m_pPage->GetMemDoc()->LookupTranslations(sSentence, "en"))
            nHits += (sTarget.empty() || match.m_sTarget == sTarget.Strip(wxString::both)) && match.m_nScore == 100;
        return nHits;
    }

    VRDocLayout& Layout() { return *m_pPage->GetLayout(); }
    std::vector<tcNode*>& Segments() { return m_pPage->GetModel().GetSegments(); }
    wxString Target(int nSegment) { return GetTargetXML(m_pPage->GetModel().GetXLIFFDTD(), Segments()[nSegment]); }
    wxString Source(int nSegment)
    {
        const SXLIFFDTD& dtd = m_pPage->GetModel().GetXLIFFDTD();
        return GetSegmentXML(Segments()[nSegment], dtd.m_pSourceElement, dtd.m_pMrkElement);
    }

    // Posts notification nId as a pane does and waits until the page has handled it.
    void Notify(int nId)
    {
        bool bHandled = false;
        wxCommandEvent event(wxEVT_CHOICE, nId);
        event.SetEventObject(Layout().GetSourceFrame());
        Layout().GetSourceFrame()->GetEventHandler()->AddPendingEvent(event);
        m_pPage->CallAfter([&bHandled] { bHandled = true; });
        EXPECT_TRUE(PumpUntil([&] { return bHandled; }));
        Settle();
    }

    // Waits until every posted notification has been handled.
    static void Settle()
    {
        EXPECT_TRUE(PumpUntil([] { return !wxTheApp->HasPendingEvents(); }));
    }

    void TypeInto(int nSegment, const wxString& sText)
    {
        m_pPage->SelectSegment(nSegment);
        Layout().GetTranslationFrame()->SetTargetText(sText);
    }

};

TEST_F(DocLayoutGui, PanesSitInFourNotebooks)
{
    VRDocLayout& layout = NewPage();
    struct SNotebook
    {
        const char* szName;
        int nDirection;
        std::vector<const char*> asCaptionKeys;
        int nSelected;
    };
    const SNotebook aNotebooks[] = {
        {"topleft", wxAUI_DOCK_LEFT, {"SOURCE_SEGMENTS", "SOURCE_FILES"}, 0},
        {"bottomleft", wxAUI_DOCK_LEFT, {"TARGET_TRANSLATIONS"}, 0},
        {"topright", wxAUI_DOCK_CENTER, {"FILE_NOTES", "TRANSLATION_NOTES", "TRANSLATION_PREVIEW"}, 0},
        {"bottomright", wxAUI_DOCK_CENTER, {"SUGGESTED_TRANSLATIONS"}, 0},
    };
    for (int i = 0; i < 4; ++i)
    {
        const SNotebook& expected = aNotebooks[i];
        SCOPED_TRACE(expected.szName);
        wxAuiPaneInfo& info = layout.GetManager()->GetPane(expected.szName);
        ASSERT_TRUE(info.IsOk());
        EXPECT_EQ(layout.GetNotebook(i), info.window);
        EXPECT_EQ(expected.nDirection, info.dock_direction);
        wxAuiNotebook* pNotebook = layout.GetNotebook(i);
        ASSERT_EQ(expected.asCaptionKeys.size(), pNotebook->GetPageCount());
        for (size_t n = 0; n < expected.asCaptionKeys.size(); ++n)
            EXPECT_EQ(g_LocEngine.FindTranslation(expected.asCaptionKeys[n]), pNotebook->GetPageText(n));
        EXPECT_EQ(expected.nSelected, pNotebook->GetSelection());
        EXPECT_TRUE(pNotebook->IsShownOnScreen());
    }
    EXPECT_EQ(3, layout.GetSourceFrame()->GetSegmentCount());
    EXPECT_EQ(2, layout.GetFilesFrame()->GetNumFiles());
    EXPECT_EQ(Segments()[0], layout.GetCurrentSegmentNode());
    EXPECT_TRUE(ScreenshotIfAsked("page-layout"));
    Prompts().AnswerMessage(wxNO);
}

TEST_F(DocLayoutGui, UntranslatedSegmentsAreVisitedBothWays)
{
    NewPage();
    struct SCase
    {
        const char* szWhat;
        std::vector<int> anTranslated;
        int nFrom;
        int nNotification;
        int nExpected;
    };
    const SCase aCases[] = {
        {"next", {}, 0, VRDocFrame::NOTIFY_NEXT_UNTRANSLATED, 1},
        {"next skips translated", {1}, 0, VRDocFrame::NOTIFY_NEXT_UNTRANSLATED, 2},
        {"next wraps", {}, 2, VRDocFrame::NOTIFY_NEXT_UNTRANSLATED, 0},
        {"next with all others translated stays", {1, 2}, 0, VRDocFrame::NOTIFY_NEXT_UNTRANSLATED, 0},
        {"previous", {}, 2, VRDocFrame::NOTIFY_PREVIOUS_UNTRANSLATED, 1},
        {"previous wraps and skips", {2}, 0, VRDocFrame::NOTIFY_PREVIOUS_UNTRANSLATED, 1},
        {"previous with all others translated stays", {0, 2}, 1, VRDocFrame::NOTIFY_PREVIOUS_UNTRANSLATED, 1},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        for (int i = 0; i < 3; ++i)
        {
            m_pPage->SelectSegment(i);
            Layout().GetTranslationFrame()->SetTargetText(wxString());
        }
        for (int n : c.anTranslated)
            TypeInto(n, "Eins.");
        Layout().GetSourceFrame()->SelectSegment(c.nFrom);
        PumpUntil([&] { return Layout().GetShownSegment() == c.nFrom; });
        ASSERT_EQ(c.nFrom, Layout().GetShownSegment());
        Notify(c.nNotification);
        EXPECT_EQ(c.nExpected, Layout().GetSourceFrame()->GetCurrentSegment());
        EXPECT_EQ(c.nExpected, Layout().GetShownSegment());
        EXPECT_EQ(Segments()[c.nExpected], Layout().GetCurrentSegmentNode());
    }
    Prompts().AnswerMessage(wxNO);
}

TEST_F(DocLayoutGui, NextAndPreviousShowTheCurrentSourceRowWhole)
{
    const int nSentences = 30;
    std::string sText;
    for (int i = 1; i <= nSentences; ++i)
        sText += "Sentence number " + std::to_string(i) + " of the long file. ";
    wxArrayString asFiles, asLanguages;
    asFiles.push_back(WriteHomeFile("long.txt", sText));
    asLanguages.push_back("en");
    ShowPage(new VRDocFrame(m_pFrame, WriteRules("rules.srx", BlankGoes::WithNextSentence), &m_manager, wxString(),
                            asFiles, asLanguages, "de", -1));
    VRSourceFrame* pSource = Layout().GetSourceFrame();
    VRGrid* pGrid = pSource->GetGrid();
    ASSERT_EQ(pSource->GetSegmentCount(), nSentences);
    ASSERT_LT(pGrid->GetClientSize().y, nSentences * 61) << "the rows fill more than one screen";

    // On through the last row round to the first, then back the same way.
    int nCurrent = pSource->GetCurrentSegment();
    for (int nStep = 0; nStep < 4 * nSentences; ++nStep)
    {
        const bool bNext = nStep < 2 * nSentences;
        nCurrent = (nCurrent + (bNext ? 1 : nSentences - 1)) % nSentences;
        ClickButton(dynamic_cast<wxAnyButton*>(
            pSource->FindWindow(bNext ? VRSourceFrame::ID_NEXT : VRSourceFrame::ID_PREVIOUS)));
        ASSERT_TRUE(PumpUntil([&] { return pGrid->GetSelectedItem() == nCurrent; })) << "step " << nStep;
        const std::string sWhy = RowNotWhole(pGrid, nCurrent);
        ASSERT_TRUE(sWhy.empty()) << "step " << nStep << ": " << sWhy;
        if (nStep == nSentences / 2)
        {
            EXPECT_TRUE(ScreenshotIfAsked("source-pane-next"));
        }
    }
    Prompts().AnswerMessage(wxNO);
}

TEST_F(DocLayoutGui, TypedTextStaysWithItsSegmentOnAnImmediateSwitch)
{
    NewPage();
    Layout().GetTranslationFrame()->GetEditor()->SetText("Eins.");
    ASSERT_TRUE(Layout().GetTranslationFrame()->HasPendingCommit());
    // No pump between the keystrokes and the switch.
    m_pPage->SelectSegment(1);
    EXPECT_EQ("Eins.", Target(0));
    EXPECT_EQ("", Target(1));
    EXPECT_EQ("", Layout().GetTranslationFrame()->GetEditor()->GetText());
    PumpEvents(60);
    EXPECT_EQ("", Target(1));
    Prompts().AnswerMessage(wxNO);
}

TEST_F(DocLayoutGui, CopySourceSetsTextAndStatesOnTheSameSegment)
{
    NewPage();
    Layout().GetSourceFrame()->SelectSegment(1);
    PumpUntil([&] { return Layout().GetShownSegment() == 1; });
    m_pPage->GetDocument()->ClearDirty();
    Notify(VRDocFrame::NOTIFY_COPY_SOURCE);
    EXPECT_EQ(Source(1), Target(1));
    EXPECT_EQ(" Two.", Target(1));
    VRTranslationFrame* pTranslation = Layout().GetTranslationFrame();
    EXPECT_EQ("needs-adaptation", pTranslation->GetStateSelector()->GetValue());
    EXPECT_EQ("x-leveraged-source", pTranslation->GetStateQualifierSelector()->GetValue());
    EXPECT_EQ("", Target(0));
    EXPECT_EQ("", Target(2));
    EXPECT_TRUE(m_pPage->GetDocument()->IsDirty());
    Prompts().AnswerMessage(wxNO);
}

TEST_F(DocLayoutGui, AnotherFileRebindsThePanes)
{
    VRDocLayout& layout = NewPage();
    // Typed and at once the next file: the text belongs to a.txt's first segment.
    layout.GetTranslationFrame()->GetEditor()->SetText("Eins.");
    tcNode* pFirstOfA = Segments()[0];
    ClickButton(dynamic_cast<wxAnyButton*>(layout.GetFilesFrame()->FindWindow(VRFilesFrame::ID_NEXT)));
    ASSERT_TRUE(PumpUntil([&] { return m_pPage->GetCurrentFile() == 1 && Segments().size() == 1; }));
    PumpEvents(30);
    EXPECT_EQ("Eins.", GetTargetXML(m_pPage->GetModel().GetXLIFFDTD(), pFirstOfA));
    ASSERT_EQ(1u, Segments().size());
    EXPECT_EQ(1, layout.GetSourceFrame()->GetSegmentCount());
    EXPECT_EQ(0, layout.GetNotebook(0)->GetPageIndex(layout.GetSourceFrame()));
    EXPECT_EQ(Segments()[0], layout.GetCurrentSegmentNode());
    EXPECT_EQ("", layout.GetTranslationFrame()->GetEditor()->GetText());
    EXPECT_EQ("Four.", Source(0));
    EXPECT_TRUE(ScreenshotIfAsked("page-second-file"));
    Prompts().AnswerMessage(wxNO);
}

// a.txt is one unit of three segments with one state, but a state change enters or takes out only
// the pair of the segment the translator is on: its siblings may hold half-typed text.
TEST_F(DocLayoutGui, FinalStatePutsOnlyTheCurrentSegmentsPairIntoTheMemory)
{
    struct SCase
    {
        const char* szWhat;
        int nCurrent;
        std::vector<const char*> asStates;
        int nExpectedHits;
    };
    const SCase aCases[] = {
        {"new to final adds", 1, {"final"}, 1},
        {"final twice adds once", 1, {"final", "final"}, 1},
        {"final to translated removes", 1, {"final", "translated"}, 0},
        {"new to translated leaves it", 1, {"translated"}, 0},
        {"back to final adds again", 1, {"final", "translated", "final"}, 1},
        {"the last segment alone", 2, {"final"}, 1},
        {"the half-typed segment confirmed itself", 0, {"final"}, 1},
    };
    NewPage(MemoryFile());
    ASSERT_TRUE(m_pPage->GetMemDoc());
    // The first sentence is only half translated.
    const char* aszTargets[] = {"Ein", " Zwei.", " Drei."};
    int nPrevious = 0;
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        VRTranslationFrame* pTranslation = Layout().GetTranslationFrame();
        // Start each case from a unit that is not final and a memory without its pairs: the unit
        // leaves "final" on the segment whose pair went in.
        m_pPage->SelectSegment(nPrevious);
        pTranslation->SetState("new");
        Settle();
        nPrevious = c.nCurrent;
        for (int i = 0; i < 3; ++i)
            TypeInto(i, aszTargets[i]);
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(0, MemoryHits(i)) << "segment " << i;
        m_pPage->SelectSegment(c.nCurrent);
        for (const char* szState : c.asStates)
        {
            pTranslation->SetState(szState);
            Settle();
        }
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_EQ(i == c.nCurrent ? c.nExpectedHits : 0, MemoryHits(i)) << "segment " << i;
            if (i == c.nCurrent)
            {
                EXPECT_EQ(c.nExpectedHits, MemoryHits(i, aszTargets[i])) << "segment " << i;
            }
        }
    }
    Prompts().AnswerMessage(wxNO); // the memory's changes
    Prompts().AnswerMessage(wxNO); // the project's
}

// The memory knows "One." exactly; the new project fills segment 1 from it and proposes it.
TEST_F(DocLayoutGui, UsingAnExactSuggestionStampsTheTarget)
{
    CVRMemDoc* pMemDoc = m_manager.CreateMemDoc(HomePath("memory.tmx"));
    ASSERT_TRUE(pMemDoc);
    pMemDoc->AddTranslation("One.", "Eins.", "en", "de");
    ASSERT_TRUE(pMemDoc->SaveAs(HomePath("memory.tmx")));
    m_manager.ReleaseMemDoc(pMemDoc);
    NewPage(HomePath("memory.tmx"));
    VRTranslationFrame* pTranslation = Layout().GetTranslationFrame();
    ASSERT_TRUE(Layout().GetSuggestions()->GetSelectedSuggestion());
    ASSERT_TRUE(Layout().GetSuggestions()->IsExactMatch());
    pTranslation->SetTargetText("Falsch.");
    Notify(VRDocFrame::NOTIFY_USE_SUGGESTION);
    EXPECT_EQ("Eins.", Target(0));
    EXPECT_EQ("translated", pTranslation->GetStateSelector()->GetValue());
    EXPECT_EQ("exact-match", pTranslation->GetStateQualifierSelector()->GetValue());
    EXPECT_EQ("", Target(1));
    Prompts().AnswerMessage(wxNO);
}

TEST_F(DocLayoutGui, HTMLPageComesToTheFrontOfThePreview)
{
    VRDocLayout& layout = NewPage();
    layout.GetNotebook(2)->SetSelection(0);
    m_pPage->ShowHTMLPreview("<html><body><h1>Statistics</h1><p>Segments: 3</p></body></html>");
    PumpEvents(50);
    EXPECT_EQ(layout.GetNotebook(2)->GetPageIndex(layout.GetPreviewPanel()), layout.GetNotebook(2)->GetSelection());
    wxWindow* pShown = layout.GetPreviewPanel()->GetPreviewWindow();
    ASSERT_TRUE(pShown);
    EXPECT_TRUE(pShown->IsShownOnScreen());
    EXPECT_TRUE(ScreenshotIfAsked("page-html-preview"));
    // Moving on drops the page for the document's own preview.
    Layout().GetSourceFrame()->SelectSegment(1);
    wxWeakRef<wxWindow> pWeak(pShown);
    ASSERT_TRUE(PumpUntil([&] { return !pWeak; }));
    Prompts().AnswerMessage(wxNO);
}

TEST_F(DocLayoutGui, TabsMoveOnlyBetweenThePagesOwnNotebooks)
{
    VRDocLayout& layout = NewPage();
    auto* pForeign = new wxAuiNotebook(m_pFrame);
    struct SCase
    {
        const char* szWhat;
        wxAuiNotebook* pSource;
        bool bAllowed;
    };
    const SCase aCases[] = {
        {"own notebook", layout.GetNotebook(2), true},
        {"another notebook", pForeign, false},
        {"no source", nullptr, false},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        wxAuiNotebookEvent event(wxEVT_AUINOTEBOOK_ALLOW_DND, layout.GetNotebook(0)->GetId());
        event.SetDragSource(c.pSource);
        event.SetEventObject(layout.GetNotebook(0));
        event.Veto();
        layout.GetNotebook(0)->GetEventHandler()->ProcessEvent(event);
        EXPECT_EQ(c.bAllowed, event.IsAllowed());
    }
    Prompts().AnswerMessage(wxNO);
}
class DocViewsGui : public DocLayoutGui
{
protected:
    void SetUp() override
    {
        DocLayoutGui::SetUp();
        tCreateConfigStore(HomePath("views.conf"), wxString());
    }
    void TearDown() override
    {
        DocLayoutGui::TearDown();
        tDeleteConfigStore();
    }
    static wxString Stored(const wxString& sName)
    {
        return g_pConfig->Read("/UserInterface/Views/" + sName, wxString());
    }
    wxString Perspective() { return Layout().GetManager()->SavePerspective(); }
};

TEST_F(DocViewsGui, FirstShownPageRecordsTheDefaultAndTheNextTakesIt)
{
    NewPage();
    ASSERT_TRUE(PumpUntil([] { return !Stored("DefaultView").empty(); }));
    EXPECT_TRUE(Stored("DefaultView").StartsWith("2|topleft=SOURCE_SEGMENTS*,SOURCE_FILES;"));
    EXPECT_EQ(Stored("DefaultView"), Stored("OriginalDefaultView"));
    EXPECT_EQ(Layout().SaveView(), Stored("DefaultView"));
    EXPECT_TRUE(Stored("DefaultView").EndsWith("|" + Perspective()));

    // A narrower left dock as the default: a new page comes up with it.
    wxAuiPaneInfo& left = Layout().GetManager()->GetPane("topleft");
    left.BestSize(wxSize(200, -1));
    Layout().GetManager()->Update();
    const wxString sNarrow = Perspective();
    m_pPage->SetDefaultView();
    EXPECT_TRUE(Stored("DefaultView").EndsWith("|" + sNarrow));
    EXPECT_NE(Stored("DefaultView"), Stored("OriginalDefaultView"));
    Prompts().AnswerMessage(wxNO);
    delete m_pPage;
    m_pPage = nullptr;
    NewPage();
    EXPECT_EQ(sNarrow, Perspective());
    m_pPage->RestoreOriginalDefaultView();
    EXPECT_EQ(Stored("OriginalDefaultView"), Stored("DefaultView"));
    EXPECT_EQ("/UserInterface/Views", g_pConfig->GetPath());
    Prompts().AnswerMessage(wxNO);
}

TEST_F(DocViewsGui, NamedViews)
{
    NewPage();
    PumpEvents(20);
    const wxString sBuiltIn = Perspective();
    struct SCase
    {
        const char* szWhat;
        const char* szName;
        wxString sValue; // empty: nothing stored
        bool bLoaded;
        bool bChanged;
    };
    Layout().GetManager()->GetPane("topleft").BestSize(wxSize(150, -1));
    Layout().GetManager()->Update();
    const wxString sOther = Perspective();
    Layout().GetManager()->LoadPerspective(sBuiltIn, true);
    const SCase aCases[] = {
        {"missing", "none", wxString(), false, false},
        {"with its marker", "mine", "1|" + sOther, true, true},
        {"no bar: taken whole, and no layout", "bare", "broken-view", false, false},
        {"not a layout", "broken", "1|nothing of the kind", false, false},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        Layout().GetManager()->LoadPerspective(sBuiltIn, true);
        if (!c.sValue.empty())
            g_pConfig->Write(wxString("/UserInterface/Views/") + c.szName, c.sValue);
        EXPECT_EQ(c.bLoaded, m_pPage->LoadView(c.szName));
        EXPECT_EQ(c.bChanged ? sOther : sBuiltIn, Perspective());
        EXPECT_EQ("/UserInterface/Views", g_pConfig->GetPath());
    }

    // Saved and deleted again; the last view takes its group along.
    m_pPage->SaveView("kept");
    EXPECT_EQ(Layout().SaveView(), Stored("kept"));
    for (const char* szName : {"mine", "bare", "broken", "kept", "DefaultView", "OriginalDefaultView"})
        m_pPage->DeleteView(szName);
    EXPECT_FALSE(g_pConfig->HasGroup("/UserInterface/Views"));
    Prompts().AnswerMessage(wxNO);
}

// Where each tab stands: "notebook:tab,tab" for the four notebooks, the selected tab marked "*".
std::string TabPlaces(VRDocLayout& layout)
{
    wxString sPlaces;
    for (int n = 0; n < 4; ++n)
    {
        wxAuiNotebook* pNotebook = layout.GetNotebook(n);
        sPlaces += wxString::Format("%s%d:", n ? " " : "", n);
        for (size_t i = 0; i < pNotebook->GetPageCount(); ++i)
            sPlaces += (i ? "," : "") + pNotebook->GetPageText(i) +
                       (static_cast<int>(i) == pNotebook->GetSelection() ? "*" : "");
    }
    return sPlaces.utf8_string();
}

// Drags a tab as the notebooks let the translator: out of its notebook into another, at nPlace.
void MoveTab(wxAuiNotebook* pFrom, wxWindow* pPage, wxAuiNotebook* pTo, size_t nPlace)
{
    const int nIndex = pFrom->GetPageIndex(pPage);
    ASSERT_NE(nIndex, wxNOT_FOUND);
    const wxString sCaption = pFrom->GetPageText(nIndex);
    pFrom->RemovePage(nIndex);
    pPage->Reparent(pTo);
    pTo->InsertPage(nPlace, pPage, sCaption, true);
}

TEST_F(DocViewsGui, LoadingAViewPutsEveryTabBack)
{
    VRDocLayout& layout = NewPage();
    ASSERT_TRUE(PumpUntil([] { return !Stored("DefaultView").empty(); }));
    const std::string sBuiltIn = TabPlaces(layout);
    EXPECT_EQ("0:Source segments*,Files 1:Translation* 2:File notes*,Translation notes,Preview "
              "3:Suggested translations*",
              sBuiltIn);

    // A view of its own: the files first and selected, the preview beside the suggestions.
    MoveTab(layout.GetNotebook(0), layout.GetFilesFrame(), layout.GetNotebook(0), 0);
    MoveTab(layout.GetNotebook(2), layout.GetPreviewPanel(), layout.GetNotebook(3), 1);
    const std::string sMine = TabPlaces(layout);
    m_pPage->SaveView("mine");

    // The preview dragged beside the translation, the notes reordered.
    MoveTab(layout.GetNotebook(3), layout.GetPreviewPanel(), layout.GetNotebook(1), 0);
    MoveTab(layout.GetNotebook(2), layout.GetTranslationNotes(), layout.GetNotebook(2), 0);
    ASSERT_NE(sMine, TabPlaces(layout));
    EXPECT_TRUE(m_pPage->LoadView("mine"));
    EXPECT_EQ(sMine, TabPlaces(layout));

    // The default, whether stored with its tabs or by an earlier version without them.
    m_pPage->RestoreDefaultView();
    EXPECT_EQ(sBuiltIn, TabPlaces(layout));
    MoveTab(layout.GetNotebook(2), layout.GetPreviewPanel(), layout.GetNotebook(1), 1);
    g_pConfig->Write("/UserInterface/Views/DefaultView", "1|" + Perspective());
    m_pPage->RestoreDefaultView();
    EXPECT_EQ(sBuiltIn, TabPlaces(layout));

    // The panes a page fills itself find their tabs wherever they stand.
    MoveTab(layout.GetNotebook(2), layout.GetPreviewPanel(), layout.GetNotebook(1), 1);
    MoveTab(layout.GetNotebook(0), layout.GetSourceFrame(), layout.GetNotebook(3), 0);
    layout.GetNotebook(3)->SetSelection(0);
    m_pPage->ShowHTMLPreview("<p>Statistics</p>");
    EXPECT_EQ(layout.GetNotebook(1)->GetPageIndex(layout.GetPreviewPanel()), layout.GetNotebook(1)->GetSelection());
    m_pPage->SelectFile(1);
    EXPECT_EQ(layout.GetNotebook(3)->GetPage(0), layout.GetSourceFrame());
    EXPECT_EQ(layout.GetNotebook(3)->GetSelection(), 0);
    EXPECT_EQ(1u, layout.GetNotebook(0)->GetPageCount());
    Prompts().AnswerMessage(wxNO);
}

// A saved project of three files: a.txt, whose `source` carries no xml:lang; b.txt with a note in its
// header; c.txt with no segments at all.
class DocOpenedGui : public DocLayoutGui
{
protected:
    void OpenThreeFiles()
    {
        auto File = [](const char* szName, const std::string& sHeader, const std::string& sBody)
        {
            return std::string("<file original=\"") + szName +
                   "\" source-language=\"en\" target-language=\"de\" datatype=\"plaintext\"><header>"
                   "<skl><internal-file>x</internal-file></skl>" +
                   sHeader + "</header><body>" + sBody + "</body></file>";
        };
        const std::string sXML =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><xliff version=\"1.2\" xml:space=\"preserve\" memdocs=\"" +
            MemoryFile().utf8_string() + "\">" +
            File("a.txt", "",
                 "<trans-unit><source>Hello world. Again.</source><seg-source><mrk mtype=\"seg\" mid=\"1\">Hello "
                 "world.</mrk> <mrk mtype=\"seg\" mid=\"2\">Again.</mrk></seg-source></trans-unit>") +
            File("b.txt", "<note>Check the terms.</note>",
                 "<trans-unit><source>Good morning.</source><seg-source><mrk mtype=\"seg\" mid=\"1\">Good "
                 "morning.</mrk></seg-source></trans-unit>") +
            File("c.txt", "", "") + "</xliff>";
        m_pPage = new VRDocFrame(m_pFrame, WriteHomeFile("three.xlf", sXML), &m_manager);
        m_pFrame->GetSizer()->Add(m_pPage, 1, wxEXPAND);
        m_pFrame->Layout();
        PumpEvents(50);
    }
};

// The pair goes into the memory under the file's source-language when the source names none.
TEST_F(DocOpenedGui, FinalPairTakesTheFilesSourceLanguage)
{
    OpenThreeFiles();
    TypeInto(0, "Hallo Welt.");
    Layout().GetTranslationFrame()->SetState("final");
    Settle();
    EXPECT_EQ(1, MemoryHits(0, "Hallo Welt."));
    Prompts().AnswerMessage(wxNO); // the memory's changes
    Prompts().AnswerMessage(wxNO); // the project's
}

// Another file shows its own header notes, and the next idle time makes its preview.
TEST_F(DocOpenedGui, AnotherFileShowsItsNotesAndItsPreview)
{
    OpenThreeFiles();
    EXPECT_EQ(0, Layout().GetFileNotes()->GetNumNotes());
    Settle();
    tcLogCapture log;
    ClickButton(dynamic_cast<wxAnyButton*>(Layout().GetFilesFrame()->FindWindow(VRFilesFrame::ID_NEXT)));
    ASSERT_TRUE(PumpUntil([&] { return m_pPage->GetModel().GetCurrentFile() == 1; }));
    EXPECT_EQ(m_pPage->GetModel().GetHeaderNode(), Layout().GetFileNotes()->GetNode());
    EXPECT_EQ(1, Layout().GetFileNotes()->GetNumNotes());
    EXPECT_TRUE(PumpUntil([&] { return log.Contains("GENPREVIEW"); }));
}

// A file without segments: the panes show nothing and the notifications that need a segment do
// nothing, without an assertion.
TEST_F(DocOpenedGui, FileWithoutSegmentsLeavesEverythingAlone)
{
    OpenThreeFiles();
    m_pPage->SelectFile(2);
    ASSERT_TRUE(Segments().empty());
    EXPECT_EQ(nullptr, Layout().GetCurrentSegmentNode());
    EXPECT_EQ(0, Layout().GetSourceFrame()->GetSegmentCount());
    m_pPage->GetDocument()->ClearDirty();
    AssertRecorder asserts;
    for (int nId : {VRDocFrame::NOTIFY_NEXT_UNTRANSLATED, VRDocFrame::NOTIFY_PREVIOUS_UNTRANSLATED,
                    VRDocFrame::NOTIFY_SEGMENT_CHANGED, VRDocFrame::NOTIFY_USE_SUGGESTION,
                    VRDocFrame::NOTIFY_COPY_SOURCE, VRDocFrame::NOTIFY_TARGET_STATE_CHANGED})
        Notify(nId);
    EXPECT_TRUE(asserts.asExpressions.empty());
    EXPECT_FALSE(m_pPage->GetDocument()->IsDirty());
    EXPECT_EQ(nullptr, Layout().GetCurrentSegmentNode());
}

// Without a memory a final state changes nothing and breaks nothing.
TEST_F(DocLayoutGui, FinalStateWithoutAMemoryOnlyLogs)
{
    NewPage();
    // The page's new, empty memory is let go as at closing.
    m_pPage->GetModel().CloseMemory();
    ASSERT_FALSE(m_pPage->GetMemDoc());
    TypeInto(0, "Eins.");
    tcLogCapture log;
    AssertRecorder asserts;
    Layout().GetTranslationFrame()->SetState("final");
    Settle();
    EXPECT_TRUE(log.Contains("No memory"));
    EXPECT_TRUE(asserts.asExpressions.empty());
    EXPECT_EQ("final", Layout().GetTranslationFrame()->GetState());
    Prompts().AnswerMessage(wxNO);
}

// Without a selected suggestion the target stays as typed; a fuzzy one is stamped as such.
TEST_F(DocLayoutGui, UsingASuggestionNeedsOneAndStampsFuzzyMatches)
{
    CVRMemDoc* pMemDoc = m_manager.CreateMemDoc(HomePath("memory.tmx"));
    ASSERT_TRUE(pMemDoc);
    pMemDoc->AddTranslation("Three!", "Drei!", "en", "de");
    ASSERT_TRUE(pMemDoc->SaveAs(HomePath("memory.tmx")));
    m_manager.ReleaseMemDoc(pMemDoc);
    NewPage(HomePath("memory.tmx"));
    VRTranslationFrame* pTranslation = Layout().GetTranslationFrame();

    m_pPage->SelectSegment(0);
    ASSERT_FALSE(Layout().GetSuggestions()->GetSelectedSuggestion());
    pTranslation->SetTargetText("Eins.");
    Notify(VRDocFrame::NOTIFY_USE_SUGGESTION);
    EXPECT_EQ("Eins.", Target(0));

    m_pPage->SelectSegment(2);
    ASSERT_TRUE(Layout().GetSuggestions()->GetSelectedSuggestion());
    ASSERT_FALSE(Layout().GetSuggestions()->IsExactMatch());
    Notify(VRDocFrame::NOTIFY_USE_SUGGESTION);
    EXPECT_EQ("Drei!", Target(2));
    EXPECT_EQ("needs-adaptation", pTranslation->GetStateSelector()->GetValue());
    EXPECT_EQ("fuzzy-match", pTranslation->GetStateQualifierSelector()->GetValue());
    EXPECT_EQ("Eins.", Target(0));
    Prompts().AnswerMessage(wxNO);
}

// Tabs of another project page, or of the notebook of projects, never drop into this page.
TEST_F(DocLayoutGui, TabsOfAnotherPageAreRefused)
{
    VRDocLayout& layout = NewPage();
    VRDocFrame* pFirst = m_pPage;
    m_pPage = nullptr;
    NewPage();
    VRDocFrame* pSecond = m_pPage;
    m_pPage = pFirst;
    auto* pProjects = new wxAuiNotebook(m_pFrame);
    struct SCase
    {
        const char* szWhat;
        wxAuiNotebook* pSource;
        bool bAllowed;
    };
    const SCase aCases[] = {
        {"own notebook", layout.GetNotebook(3), true},
        {"another page's notebook", pSecond->GetLayout()->GetNotebook(0), false},
        {"the notebook of projects", pProjects, false},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        wxAuiNotebookEvent event(wxEVT_AUINOTEBOOK_ALLOW_DND, layout.GetNotebook(1)->GetId());
        event.SetDragSource(c.pSource);
        event.SetEventObject(layout.GetNotebook(1));
        event.Veto();
        layout.GetNotebook(1)->GetEventHandler()->ProcessEvent(event);
        EXPECT_EQ(c.bAllowed, event.IsAllowed());
    }
    Prompts().AnswerMessage(wxNO);
    m_pFrame->GetSizer()->Detach(pSecond);
    delete pSecond;
    Prompts().AnswerMessage(wxNO);
}

// A suggestion's inline codes are replaced by the segment's own: the translator's memory may hold
// the same sentence marked up differently.
TEST_F(DocLayoutGui, UsedSuggestionTakesTheSourcesInlineCodes)
{
    wxArrayString asFiles, asLanguages;
    asFiles.push_back(WriteHomeFile("c.html", "<html><body><p>Hello <b>world</b>.</p></body></html>"));
    asLanguages.push_back("en");
    auto MakePage = [&](const wxString& sMemDoc)
    {
        m_pPage = new VRDocFrame(m_pFrame, WriteRules("rules.srx", BlankGoes::WithNextSentence), &m_manager, sMemDoc,
                                 asFiles, asLanguages, "de", -1);
        m_pFrame->GetSizer()->Add(m_pPage, 1, wxEXPAND);
        m_pFrame->Layout();
    };
    // The segment as the convertor writes it, then a memory holding it with other codes.
    MakePage(wxString());
    const wxString sSource = Source(0);
    Prompts().AnswerMessage(wxNO);
    m_pFrame->GetSizer()->Detach(m_pPage);
    delete m_pPage;
    m_pPage = nullptr;
    ASSERT_NE(wxString::npos, sSource.find("[<b>]")) << sSource;
    wxString sTarget = sSource;
    sTarget.Replace("[<b>]", "[<i>]");
    sTarget.Replace("[</b>]", "[</i>]");
    sTarget.Replace("Hello", "Hallo");
    sTarget.Replace("world", "Welt");
    CVRMemDoc* pMemDoc = m_manager.CreateMemDoc(HomePath("memory.tmx"));
    ASSERT_TRUE(pMemDoc);
    pMemDoc->AddTranslation(sSource, sTarget, "en", "de");
    ASSERT_TRUE(pMemDoc->SaveAs(HomePath("memory.tmx")));
    m_manager.ReleaseMemDoc(pMemDoc);

    MakePage(HomePath("memory.tmx"));
    Prompts().AnswerMessage(wxNO); // the project's changes, when it closes
    ASSERT_TRUE(Layout().GetSuggestions()->GetSelectedSuggestion());
    Notify(VRDocFrame::NOTIFY_USE_SUGGESTION);
    // The codes of this page's segment (their ids are the document's own).
    wxString sExpected = Source(0);
    sExpected.Replace("Hello", "Hallo");
    sExpected.Replace("world", "Welt");
    EXPECT_EQ(sExpected, Target(0));
    EXPECT_EQ(wxString::npos, Target(0).find("<i>"));
}
} // namespace
