#include "workspace/VRNotesFrame.h"

#include "engine/Convertor_txt.h"
#include "tests/harness/AssertRecorder.h"
#include "tests/harness/EventPump.h"
#include "tests/harness/Screenshot.h"
#include "tests/harness/TestFiles.h"
#include "tests/workspace/FilesTestSupport.h"
#include "varnak/include/tOutput.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcNode.h"

#include <wx/bmpbuttn.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

namespace
{
class NotesPageGui : public PaneGuiTest
{
protected:
    void SetUp() override
    {
        PaneGuiTest::SetUp();
        m_pProject = LoadPaneProject("files-panes.xlf");
        ASSERT_TRUE(m_pProject);
        ASSERT_FALSE(m_pProject->pDoc->IsDirty());
        Evt_DirtyStateChanged.AddHandler(this, &NotesPageGui::OnDirtyStateChanged);
    }
    void TearDown() override
    {
        Evt_DirtyStateChanged.RemoveHandler(this);
        PaneGuiTest::TearDown();
    }

    static void OnDirtyStateChanged(tcEvent*, void* pOwner, void*, void*)
    {
        ++static_cast<NotesPageGui*>(pOwner)->m_nDirtyEvents;
    }

    VRNotesPage* MakePage(tcNode* pNode, PaneTestProject* pProject = nullptr)
    {
        if (!pProject)
            pProject = m_pProject.get();
        auto* pFrame = new PaneTestFrame("Notes", wxSize(420, 260));
        auto* pPage = new VRNotesPage(pFrame->GetHost(), pProject->dtd.m_pNoteElement, pProject->pDoc.get(), pNode);
        pFrame->Arrange({{pPage, 1}});
        PumpEvents(20);
        return pPage;
    }

    // The nodes of the fixture that notes hang on.
    tcNode* Header(int nFile = 0) const
    {
        return m_pProject->Nodes(m_pProject->dtd.m_pHeaderElement, m_pProject->Files()[nFile])[0];
    }
    // The second segment of the first file, which holds one note.
    tcNode* NotedSegment(const PaneTestProject& project) const
    {
        return project.Nodes(project.dtd.m_pMrkElement, project.Files()[0])[1];
    }
    // The source of the unit of the second file: no segments, no notes.
    tcNode* PlainSource() const
    {
        return m_pProject->Nodes(m_pProject->dtd.m_pSourceElement, m_pProject->Files()[1])[0];
    }
    std::vector<tcNode*> Notes(const tcNode* pFrom = nullptr) const
    {
        return m_pProject->Nodes(m_pProject->dtd.m_pNoteElement, pFrom);
    }

    static wxTextCtrl* Text(VRNotesPage* pPage)
    {
        return dynamic_cast<wxTextCtrl*>(pPage->FindWindow(VRNotesPage::ID_TEXT));
    }
    static wxSpinCtrl* Spin(VRNotesPage* pPage)
    {
        return dynamic_cast<wxSpinCtrl*>(pPage->FindWindow(VRNotesPage::ID_SPIN));
    }
    static wxBitmapButton* Button(VRNotesPage* pPage, int nId)
    {
        return dynamic_cast<wxBitmapButton*>(pPage->FindWindow(nId));
    }
    static wxStaticText* CountLabel(VRNotesPage* pPage) { return FindChild<wxStaticText>(pPage, "NoteCount"); }
    // Sets the spin as the user would and lets the page hear of it.
    static void ChooseInSpin(VRNotesPage* pPage, int nValue)
    {
        wxSpinCtrl* pSpin = Spin(pPage);
        pSpin->SetValue(nValue);
        wxSpinEvent event(wxEVT_SPINCTRL, pSpin->GetId());
        event.SetEventObject(pSpin);
        event.SetPosition(nValue);
        pSpin->HandleWindowEvent(event);
    }

    std::unique_ptr<PaneTestProject> m_pProject;
    int m_nDirtyEvents = 0;
};

TEST_F(NotesPageGui, FirstKeystrokeOnANodeWithoutNotesCreatesOne)
{
    tcNode* pSource = PlainSource();
    VRNotesPage* pPage = MakePage(pSource);
    EXPECT_EQ(Text(pPage)->GetValue(), "");
    EXPECT_FALSE(Spin(pPage)->IsEnabled());
    EXPECT_EQ(Spin(pPage)->GetValue(), 0);
    EXPECT_EQ(CountLabel(pPage)->GetLabel(), " of 0 ");
    EXPECT_FALSE(CountLabel(pPage)->IsEnabled());
    EXPECT_TRUE(Text(pPage)->IsEditable());
    EXPECT_TRUE(ScreenshotIfAsked("notes_empty"));

    Text(pPage)->SetValue("x");
    std::vector<tcNode*> apNotes = Notes(pSource);
    ASSERT_EQ(apNotes.size(), 1u);
    EXPECT_EQ(VRNotesPage::GetNoteText(apNotes[0]), "x");
    EXPECT_TRUE(Spin(pPage)->IsEnabled());
    EXPECT_EQ(Spin(pPage)->GetValue(), 1);
    EXPECT_EQ(Spin(pPage)->GetMax(), 1);
    EXPECT_EQ(CountLabel(pPage)->GetLabel(), " of 1 ");
    EXPECT_TRUE(m_pProject->pDoc->IsDirty());

    // Further typing edits that note; it makes no other.
    Text(pPage)->AppendText("yz");
    apNotes = Notes(pSource);
    ASSERT_EQ(apNotes.size(), 1u);
    EXPECT_EQ(VRNotesPage::GetNoteText(apNotes[0]), "xyz");
    EXPECT_EQ(m_nDirtyEvents, 1);
}

TEST_F(NotesPageGui, NewNoteBecomesCurrentAndBrowsingWrapsAround)
{
    tcNode* pHeader = Header();
    VRNotesPage* pPage = MakePage(pHeader);
    ASSERT_EQ(pPage->GetNumNotes(), 2);
    EXPECT_EQ(Text(pPage)->GetValue(), "Client prefers British spelling.");

    ClickButton(Button(pPage, VRNotesPage::ID_NEW));
    EXPECT_EQ(Notes(pHeader).size(), 3u);
    EXPECT_EQ(pPage->GetCurrentNote(), 2);
    EXPECT_EQ(Spin(pPage)->GetValue(), 3);
    EXPECT_EQ(CountLabel(pPage)->GetLabel(), " of 3 ");
    EXPECT_EQ(Text(pPage)->GetValue(), "");
    EXPECT_TRUE(m_pProject->pDoc->IsDirty());
    Text(pPage)->SetValue("third");
    EXPECT_EQ(VRNotesPage::GetNoteText(Notes(pHeader)[2]), "third");

    const struct
    {
        int nButton;
        int nNote;
        const char* szText;
    } aSteps[] = {
        {VRNotesPage::ID_NEXT, 0, "Client prefers British spelling."},
        {VRNotesPage::ID_PREVIOUS, 2, "third"},
        {VRNotesPage::ID_PREVIOUS, 1, "Due Friday & no later."},
        {VRNotesPage::ID_NEXT, 2, "third"},
    };
    for (const auto& step : aSteps)
    {
        ClickButton(Button(pPage, step.nButton));
        EXPECT_EQ(pPage->GetCurrentNote(), step.nNote);
        EXPECT_EQ(Spin(pPage)->GetValue(), step.nNote + 1);
        EXPECT_EQ(Text(pPage)->GetValue(), step.szText);
    }
    // The spin moves to the note it names.
    ChooseInSpin(pPage, 2);
    EXPECT_EQ(pPage->GetCurrentNote(), 1);
    EXPECT_EQ(Text(pPage)->GetValue(), "Due Friday & no later.");
    // Browsing never touched the notes.
    EXPECT_EQ(VRNotesPage::GetNoteText(Notes(pHeader)[0]), "Client prefers British spelling.");
    EXPECT_EQ(VRNotesPage::GetNoteText(Notes(pHeader)[1]), "Due Friday & no later.");
}

TEST_F(NotesPageGui, BrowsingLeavesACleanProjectClean)
{
    VRNotesPage* pFileNotes = MakePage(Header());
    VRNotesPage* pSegmentNotes = MakePage(nullptr);
    std::vector<tcNode*> apSegments = m_pProject->Nodes(m_pProject->dtd.m_pMrkElement);
    for (tcNode* pSource : m_pProject->Nodes(m_pProject->dtd.m_pSourceElement))
        apSegments.push_back(pSource);
    for (VRNotesPage* pPage : {pFileNotes, pSegmentNotes})
    {
        for (tcNode* pSegment : apSegments)
        {
            if (pPage == pSegmentNotes)
                pPage->SetNode(pSegment);
            ClickButton(Button(pPage, VRNotesPage::ID_NEXT));
            ClickButton(Button(pPage, VRNotesPage::ID_PREVIOUS));
            ClickButton(Button(pPage, VRNotesPage::ID_PREVIOUS));
            if (pPage->GetNumNotes() > 0)
                ChooseInSpin(pPage, pPage->GetNumNotes());
            pPage->ReloadNotes();
        }
    }
    PumpEvents(20);
    EXPECT_FALSE(m_pProject->pDoc->IsDirty());
    EXPECT_EQ(m_nDirtyEvents, 0);
    EXPECT_EQ(Notes().size(), 5u);
}

TEST_F(NotesPageGui, WithoutANodeNothingIsCreated)
{
    AssertRecorder asserts;
    VRNotesPage* pPage = MakePage(nullptr);
    EXPECT_FALSE(Text(pPage)->IsEditable());
    EXPECT_FALSE(Button(pPage, VRNotesPage::ID_NEW)->IsEnabled());
    // Events that still get through, from a script or a stray key, change nothing.
    ClickButton(Button(pPage, VRNotesPage::ID_NEW));
    Text(pPage)->SetValue("lost");
    ClickButton(Button(pPage, VRNotesPage::ID_NEXT));
    EXPECT_EQ(Notes().size(), 5u);
    EXPECT_FALSE(m_pProject->pDoc->IsDirty());

    // A page that loses its node shows no note of the node it had.
    pPage->SetNode(Header());
    EXPECT_EQ(Text(pPage)->GetValue(), "Client prefers British spelling.");
    EXPECT_TRUE(Text(pPage)->IsEditable());
    pPage->SetNode(nullptr);
    EXPECT_EQ(Text(pPage)->GetValue(), "");
    EXPECT_EQ(CountLabel(pPage)->GetLabel(), " of 0 ");
    EXPECT_FALSE(Text(pPage)->IsEditable());
    EXPECT_TRUE(asserts.asExpressions.empty());
    EXPECT_FALSE(m_pProject->pDoc->IsDirty());
}

TEST_F(NotesPageGui, NotesAreStoredAsTypedAndWrittenEscaped)
{
    const wxString sTyped = "a & b <c>";
    VRNotesPage* pPage = MakePage(NotedSegment(*m_pProject));
    ASSERT_EQ(Text(pPage)->GetValue(), "Check the term");
    Text(pPage)->SetValue(sTyped);
    EXPECT_EQ(VRNotesPage::GetNoteText(Notes(NotedSegment(*m_pProject))[0]), sTyped);

    std::string sXLIFF;
    ASSERT_TRUE(GenerateXLIFF(m_pProject->pDoc.get(), nullptr, sXLIFF));
    EXPECT_NE(sXLIFF.find("<note>a &amp; b &lt;c&gt;</note>"), std::string::npos) << sXLIFF;

    const wxString sSaved = HomePath("saved.xlf");
    ASSERT_EQ(OutputXLIFF(m_pProject->pDoc.get(), nullptr, sSaved), 0);
    std::unique_ptr<PaneTestProject> pReloaded = LoadPaneProject(sSaved.utf8_string());
    ASSERT_TRUE(pReloaded);
    VRNotesPage* pReloadedPage = MakePage(NotedSegment(*pReloaded), pReloaded.get());
    EXPECT_EQ(Text(pReloadedPage)->GetValue(), sTyped);
    DestroyTopLevelWindows();
}

TEST_F(NotesPageGui, ANoteWithMarkupShowsItsText)
{
    // Another program may have written elements into a note.
    tcNode* pNote = Notes(NotedSegment(*m_pProject))[0];
    ASSERT_TRUE(pNote->ParseXML("see <b>this</b> &amp; <![CDATA[<that>]]>", m_pProject->pDoc.get()));
    VRNotesPage* pPage = MakePage(NotedSegment(*m_pProject));
    EXPECT_EQ(Text(pPage)->GetValue(), "see this & <that>");
    EXPECT_EQ(pNote->GetNumChildren(), 4);
    EXPECT_FALSE(m_pProject->pDoc->IsDirty());
}

TEST_F(NotesPageGui, NotesStayOutOfTheTranslatedDocument)
{
    tcNode* pFile = m_pProject->Files()[0];
    tcNode* pCurrent = NotedSegment(*m_pProject);
    tcConvertorTXT convertor(m_pProject->pDoc.get(), L"en");

    const wxString sOutput = HomePath("out.txt");
    ASSERT_TRUE(convertor.OutputTranslation(&m_pProject->dtd, sOutput, L"de", pFile));
    const std::string sTranslated = ReadBytes(sOutput);
    // A note closing a source does not cost the translation the source's blanks around its text.
    EXPECT_EQ(sTranslated, "Erster Satz. Second sentence.Closing line. Letzte Worte. ");

    convertor.GeneratePreview(&m_pProject->dtd, nullptr, pFile, pCurrent, L"de");
    const wxString sPreview = convertor.GetLastPreviewText();
    EXPECT_TRUE(sPreview.Contains("Erster Satz.")) << sPreview;

    std::vector<wxString> asTexts = {wxString::FromUTF8(sTranslated), sPreview};
    for (tcNode* pUnit : m_pProject->Nodes(m_pProject->dtd.m_pTransUnitElement, pFile))
        for (const wchar_t* szLanguage : {L"de", L"en"})
            for (bool bPreview : {false, true})
                asTexts.push_back(convertor.GetTransUnitText(pFile, pUnit, szLanguage, bPreview, pCurrent));
    for (const wxString& sText : asTexts)
    {
        EXPECT_FALSE(sText.empty());
        EXPECT_FALSE(sText.Contains("Check the term")) << sText;
        EXPECT_FALSE(sText.Contains("Keep it short")) << sText;
        EXPECT_FALSE(sText.Contains("Mind the blanks")) << sText;
        EXPECT_FALSE(sText.Contains("note")) << sText;
    }
    EXPECT_FALSE(m_pProject->pDoc->IsDirty());
}

} // namespace
