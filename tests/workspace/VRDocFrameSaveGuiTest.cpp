// Saving a project page, its title, output of a translated document and a file's statistics.
#include "workspace/VRDocFrame.h"

#include "Shared/FrmFileSelector.h"
#include "Shared/Options.h"
#include "engine/Convertor.h"
#include "engine/ConvertorProgress.h"
#include "engine/VRMemDoc.h"
#include "engine/VRMemDocManager.h"
#include "engine/VRMemDocStatistics.h"
#include "tests/harness/AssertRecorder.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/harness/TestFiles.h"
#include "tests/workspace/PageGuiFixture.h"
#include "tests/workspace/ProjectFixtures.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcNode.h"
#include "workspace/SegmentXML.h"
#include "workspace/Suggestions.h"
#include "workspace/VRDocLayout.h"
#include "workspace/VRSegmentEditor.h"
#include "workspace/VRSourceFrame.h"
#include "workspace/VRSuggestedTranslationFrame.h"
#include "workspace/VRTranslationFrame.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/config.h>
#include <wx/dialog.h>
#include <wx/filefn.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>

#include <memory>

namespace
{
class DocSaveGui : public PageGuiTest
{
protected:
    void SetUp() override
    {
        PageGuiTest::SetUp();
        Evt_DocFrame_DatasourceChanged.AddHandler(this, &DocSaveGui::OnDatasourceChanged);
    }
    void TearDown() override
    {
        Evt_DocFrame_DatasourceChanged.RemoveHandler(this);
        ClosePage();
        EXPECT_EQ(0u, m_manager.GetNumMemDocs());
        PageGuiTest::TearDown();
    }

    // What the page's path was, and whether its file existed, each time it announced a new path.
    struct SRetitle
    {
        wxString sPath;
        bool bFileExisted = false;
    };
    static void OnDatasourceChanged(tcEvent*, void* pOwner, void* pArg1, void*)
    {
        auto* pTest = static_cast<DocSaveGui*>(pOwner);
        const auto* pPage = static_cast<VRDocFrame*>(pArg1);
        pTest->m_aRetitles.push_back({pPage->GetFileName(), wxFileExists(pPage->GetFileName())});
    }

    // A new project of a.txt ("Hello world. This is a test.") and b.txt ("Good morning."); with a
    // memory file when sMemDoc is given.
    VRDocFrame* NewPage(const wxString& sMemDoc = wxString())
    {
        wxArrayString asFiles, asLanguages;
        asFiles.push_back(WriteHomeFile("a.txt", "Hello world. This is a test."));
        asFiles.push_back(WriteHomeFile("b.txt", "Good morning."));
        asLanguages.push_back("en");
        asLanguages.push_back("en");
        ShowPage(new VRDocFrame(m_pFrame, WriteRules("rules.srx", BlankGoes::WithNextSentence), &m_manager, sMemDoc,
                                asFiles, asLanguages, "de", -1));
        return m_pPage;
    }

    VRDocFrame* OpenPage(const wxString& sPath)
    {
        ShowPage(new VRDocFrame(m_pFrame, sPath, &m_manager));
        return m_pPage;
    }

    // Closes the page; a changed project is not saved.
    void ClosePage()
    {
        if (!m_pPage)
            return;
        if (m_pPage->GetModel().IsChanged())
            Prompts().AnswerMessage(wxNO);
        m_pFrame->GetSizer()->Detach(m_pPage);
        delete m_pPage;
        m_pPage = nullptr;
    }

    void TypeInto(int nSegment, const wxString& sText)
    {
        m_pPage->SelectSegment(nSegment);
        m_pPage->GetLayout()->GetTranslationFrame()->SetTargetText(sText);
    }

    static wxString Untitled() { return g_LocEngine.FindTranslation("DOC_WINDOWTITLE_UNTITLED"); }
    static wxString Changed() { return " (*" + g_LocEngine.FindTranslation("DOC_WINDOWTITLE_UNSAVED_CHANGES") + ")"; }

    std::vector<SRetitle> m_aRetitles;
};

TEST_F(DocSaveGui, TitleFollowsPathAndChanges)
{
    NewPage();
    struct SCase
    {
        const char* szWhat;
        const char* szPath;
        bool bChanged;
        wxString sExpected;
    };
    const wxString sPath = HomePath("p.xlf");
    const SCase aCases[] = {
        {"new and changed", "", true, Untitled() + Changed()},
        {"new and unchanged", "", false, Untitled()},
        {"saved", "p.xlf", false, sPath},
        {"saved and changed", "p.xlf", true, sPath + Changed()},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        m_pPage->GetModel().SetPath(*c.szPath ? sPath : wxString());
        if (c.bChanged)
            m_pPage->GetDocument()->SetDirty();
        else
            m_pPage->GetDocument()->ClearDirty();
        EXPECT_EQ(c.sExpected, m_pPage->GetTitle());
    }
    m_pPage->GetModel().SetPath(wxString());
}

TEST_F(DocSaveGui, CancelledSaveAsKeepsTheEmptyPath)
{
    g_Options.m_sProjectFolder = HomePath("projects");
    NewPage();
    const wxString sTitle = m_pPage->GetTitle();
    Prompts().AnswerFile(wxString());
    EXPECT_FALSE(m_pPage->Save());
    ASSERT_EQ(1u, Prompts().Calls().size());
    const ScriptedUserPrompts::Call& call = Prompts().Calls()[0];
    EXPECT_EQ(ScriptedUserPrompts::Kind::File, call.eKind);
    EXPECT_EQ(g_LocEngine.FindTranslation("XLIFFDOC_SELECT_TARGETFILE"), call.sMessage);
    EXPECT_EQ(HomePath("projects"), call.sDefaultDir);
    EXPECT_EQ("", call.sDefaultFile);
    EXPECT_EQ("XLIFF files (*.xlf;*.xliff)|*.xlf;*.xliff|All files (*.*)|*.*", call.sWildcard);
    EXPECT_EQ(PROMPT_FILE_SAVE | PROMPT_FILE_OVERWRITE_PROMPT, call.nStyle);
    EXPECT_EQ("", m_pPage->GetFileName());
    EXPECT_EQ(sTitle, m_pPage->GetTitle());
    EXPECT_TRUE(m_aRetitles.empty());
    EXPECT_TRUE(m_pPage->GetModel().IsChanged());
}

// The tab shows the new path before anything is written; the next save asks nothing.
TEST_F(DocSaveGui, SaveAsRetitlesBeforeWritingThenSavesWithoutAsking)
{
    NewPage();
    const wxString sPath = HomePath("p.xlf");
    Prompts().AnswerFile(sPath);
    ASSERT_TRUE(m_pPage->Save());
    ASSERT_EQ(1u, m_aRetitles.size());
    EXPECT_EQ(sPath, m_aRetitles[0].sPath);
    EXPECT_FALSE(m_aRetitles[0].bFileExisted);
    EXPECT_TRUE(wxFileExists(sPath));
    EXPECT_FALSE(m_pPage->GetModel().IsChanged());
    EXPECT_EQ(sPath, m_pPage->GetTitle());
    EXPECT_EQ(1u, Prompts().BusyNotices().size());

    TypeInto(0, "Hallo Welt.");
    EXPECT_EQ(sPath + Changed(), m_pPage->GetTitle());
    EXPECT_TRUE(m_pPage->Save());
    EXPECT_EQ(1u, m_aRetitles.size());
    EXPECT_NE(std::string::npos, ReadBytes(sPath).find("Hallo Welt."));
    EXPECT_EQ(sPath, m_pPage->GetTitle());
}

// The settings a translator chose before the first save go with the project to its new file.
TEST_F(DocSaveGui, SuggestionSettingsMoveToTheSavedPath)
{
    tCreateConfigStore(HomePath("settings.conf"), wxString());
    NewPage();
    VRSuggestedTranslationFrame* pSuggestions = m_pPage->GetLayout()->GetSuggestions();
    struct SSpin
    {
        wxSpinCtrl* pSpin;
        int nValue;
    };
    for (const SSpin& spin : {SSpin{pSuggestions->GetPercentSpin(), 55}, SSpin{pSuggestions->GetLimitSpin(), 9}})
    {
        spin.pSpin->SetValue(spin.nValue);
        wxSpinEvent event(wxEVT_SPINCTRL, spin.pSpin->GetId());
        event.SetEventObject(spin.pSpin);
        spin.pSpin->GetEventHandler()->ProcessEvent(event);
    }
    ASSERT_EQ(55, pSuggestions->GetLimits().nMinPercent);
    Prompts().AnswerFile(HomePath("p.xlf"));
    ASSERT_TRUE(m_pPage->Save());
    const SSuggestionLimits stored = ReadSuggestionLimits(m_pPage->GetIO());
    EXPECT_EQ(55, stored.nMinPercent);
    EXPECT_EQ(9, stored.nMaxCount);
    ClosePage();
    tDeleteConfigStore();
}

// A path below a regular file can never be written, whoever runs the test (root included).
TEST_F(DocSaveGui, FailedFirstSaveKeepsTheProjectUntitledAndChanged)
{
    NewPage();
    WriteHomeFile("plain", "a file, not a folder");
    const wxString sBad = HomePath("plain") + "/p.xlf";
    const wxString sTitle = m_pPage->GetTitle();
    Prompts().AnswerFile(sBad);
    Prompts().AnswerMessage(wxOK);
    EXPECT_FALSE(m_pPage->Save());
    const ScriptedUserPrompts::Call& message = Prompts().Calls().back();
    EXPECT_EQ(ScriptedUserPrompts::Kind::Message, message.eKind);
    EXPECT_NE(wxString::npos, message.sMessage.find(sBad)) << message.sMessage;
    EXPECT_NE(wxString::npos, message.sMessage.find("Not a directory")) << message.sMessage;
    EXPECT_EQ("", m_pPage->GetFileName());
    EXPECT_EQ("", m_pPage->GetIO()->GetDatasource());
    EXPECT_EQ(sTitle, m_pPage->GetTitle());
    EXPECT_TRUE(m_pPage->GetModel().IsChanged());
    // Announced when the path was set and again when it was given back.
    ASSERT_EQ(2u, m_aRetitles.size());
    EXPECT_EQ(sBad, m_aRetitles[0].sPath);
    EXPECT_EQ("", m_aRetitles[1].sPath);

    const wxString sGood = HomePath("p.xlf");
    Prompts().AnswerFile(sGood);
    EXPECT_TRUE(m_pPage->Save());
    EXPECT_TRUE(wxFileExists(sGood));
    EXPECT_FALSE(m_pPage->GetModel().IsChanged());
}

// A saved project whose file can no longer be written: the message, then the next save asks,
// proposing the old path.
TEST_F(DocSaveGui, FailedSaveToTheOwnPathAsksNextTime)
{
    NewPage();
    ASSERT_TRUE(wxMkdir(HomePath("folder")));
    const wxString sPath = HomePath("folder") + "/p.xlf";
    Prompts().AnswerFile(sPath);
    ASSERT_TRUE(m_pPage->Save());
    ASSERT_TRUE(wxRemoveFile(sPath));
    ASSERT_TRUE(wxRmdir(HomePath("folder")));
    WriteHomeFile("folder", "now a file");
    TypeInto(0, "Hallo Welt.");

    Prompts().AnswerMessage(wxOK);
    EXPECT_FALSE(m_pPage->Save());
    EXPECT_NE(wxString::npos, Prompts().Calls().back().sMessage.find(sPath));
    EXPECT_TRUE(m_pPage->GetModel().IsChanged());
    EXPECT_EQ(sPath + Changed(), m_pPage->GetTitle());

    Prompts().AnswerFile(wxString());
    EXPECT_FALSE(m_pPage->Save());
    const ScriptedUserPrompts::Call& chooser = Prompts().Calls().back();
    EXPECT_EQ(ScriptedUserPrompts::Kind::File, chooser.eKind);
    EXPECT_EQ(HomePath("folder"), chooser.sDefaultDir);
    EXPECT_EQ("p.xlf", chooser.sDefaultFile);
    EXPECT_EQ(sPath, m_pPage->GetFileName());

    const wxString sElsewhere = HomePath("elsewhere.xlf");
    Prompts().AnswerFile(sElsewhere);
    EXPECT_TRUE(m_pPage->Save());
    EXPECT_EQ(sElsewhere, m_pPage->GetTitle());
    EXPECT_NE(std::string::npos, ReadBytes(sElsewhere).find("Hallo Welt."));
}

TEST_F(DocSaveGui, SaveAsOntoAnotherOpenProjectIsRefused)
{
    NewPage();
    VRDocFrame* pFirst = m_pPage;
    const wxString sPath = HomePath("p.xlf");
    Prompts().AnswerFile(sPath);
    ASSERT_TRUE(pFirst->Save());
    const std::string sBytes = ReadBytes(sPath);

    m_pPage = nullptr;
    NewPage();
    // Another spelling of the same file.
    Prompts().AnswerFile(HomePath("sub/../p.xlf"));
    Prompts().AnswerMessage(wxOK);
    Prompts().AnswerFile(wxString());
    ASSERT_TRUE(wxMkdir(HomePath("sub")));
    EXPECT_FALSE(m_pPage->Save());
    const std::vector<ScriptedUserPrompts::Call>& calls = Prompts().Calls();
    // The first page's chooser, then this page's: chooser, refusal, chooser.
    ASSERT_EQ(4u, calls.size());
    EXPECT_EQ(ScriptedUserPrompts::Kind::Message, calls[2].eKind);
    EXPECT_NE(wxString::npos, calls[2].sMessage.find("p.xlf")) << calls[2].sMessage;
    EXPECT_EQ("", m_pPage->GetFileName());
    EXPECT_EQ(sBytes, ReadBytes(sPath));
    ClosePage();
    m_pPage = pFirst;
}

// Saving, reopening and saving again gives the same bytes, states and memory path included.
TEST_F(DocSaveGui, SaveReopenSaveIsByteIdentical)
{
    NewPage(MemoryFile());
    TypeInto(0, "Hallo Welt.");
    VRTranslationFrame* pTranslation = m_pPage->GetLayout()->GetTranslationFrame();
    pTranslation->SetState("final");
    pTranslation->SetStateQualifier("exact-match");
    ASSERT_TRUE(PumpUntil([] { return !wxTheApp->HasPendingEvents(); }));
    m_pPage->SelectFile(1);
    TypeInto(0, "Guten <b>Morgen</b> & so.");
    const wxString sPath = HomePath("p.xlf");
    Prompts().AnswerFile(sPath);
    ASSERT_TRUE(m_pPage->Save());
    Prompts().AnswerMessage(wxNO); // the memory's new pair is not kept
    ClosePage();
    const std::string sFirst = ReadBytes(sPath);
    EXPECT_NE(std::string::npos, sFirst.find("state=\"final\"")) << sFirst;
    EXPECT_NE(std::string::npos, sFirst.find("memdocs=")) << sFirst;

    OpenPage(sPath);
    EXPECT_FALSE(m_pPage->GetModel().IsChanged());
    EXPECT_EQ(HomePath("memory.tmx"), m_pPage->GetModel().GetMemDocsPath());
    EXPECT_EQ("final", m_pPage->GetLayout()->GetTranslationFrame()->GetState());
    EXPECT_TRUE(m_pPage->Save());
    ClosePage();
    EXPECT_EQ(sFirst, ReadBytes(sPath));
}

class DocOutputGui : public DocSaveGui
{
protected:
    // Answers the output dialog: sets the file box and the language, checks what it offers.
    void ExpectOutputDialog(const wxString& sFile, int nLanguage, wxArrayString* pasOffered = nullptr,
                            wxString* psProposed = nullptr)
    {
        Dialogs().Expect("output dialog",
                         [=](wxDialog* pDialog)
                         {
                             EXPECT_EQ(g_LocEngine.FindTranslation("SELECT_TARGET_OUTPUT_FILE_AND_LANGUAGE"),
                                       pDialog->GetTitle());
                             auto* pSelector = FindChild<CVRFileSelector>(pDialog, VRDocFrame::kszOutputFileName);
                             auto* pChoice = FindChild<wxChoice>(pDialog, VRDocFrame::kszOutputLanguageName);
                             EXPECT_TRUE(pSelector && pChoice);
                             if (!pSelector || !pChoice)
                                 return wxID_CANCEL;
                             if (pasOffered)
                             {
                                 *pasOffered = pChoice->GetStrings();
                                 EXPECT_EQ(0, pChoice->GetSelection());
                             }
                             if (psProposed)
                                 *psProposed = pSelector->GetFileName(0);
                             pSelector->SetFileName(sFile);
                             pChoice->SetSelection(nLanguage);
                             return wxID_OK;
                         });
    }
};

TEST_F(DocOutputGui, OffersTargetThenSourceAndAsksAgainForAnEmptyName)
{
    NewPage();
    TypeInto(0, "Hallo Welt.");
    TypeInto(1, " Dies ist ein Test.");
    const wxString sOut = HomePath("out.txt");
    wxArrayString asOffered;
    wxString sProposed;
    ExpectOutputDialog("", 1, &asOffered, &sProposed);
    ExpectOutputDialog(sOut, 0);
    EXPECT_TRUE(m_pPage->OutputTranslatedFile(wxString(), wxString()));
    ASSERT_EQ(2u, asOffered.size());
    EXPECT_EQ("de", asOffered[0]);
    EXPECT_EQ("en", asOffered[1]);
    EXPECT_EQ(HomePath("a.de.txt"), sProposed);
    EXPECT_EQ("Hallo Welt. Dies ist ein Test.", ReadBytes(sOut));
    EXPECT_TRUE(Prompts().Calls().empty());
}

TEST_F(DocOutputGui, SourceLanguageWritesTheSource)
{
    NewPage();
    TypeInto(0, "Hallo Welt.");
    const wxString sOut = HomePath("out.txt");
    ExpectOutputDialog(sOut, 1);
    EXPECT_TRUE(m_pPage->OutputTranslatedFile(wxString(), wxString()));
    EXPECT_EQ("Hello world. This is a test.", ReadBytes(sOut));
}

// Replacing an existing file is asked first.
TEST_F(DocOutputGui, AnExistingFileIsAskedAbout)
{
    NewPage();
    TypeInto(0, "Hallo Welt.");
    const wxString sOut = WriteHomeFile("out.txt", "old");
    ExpectOutputDialog(sOut, 0);
    Prompts().AnswerMessage(wxNO);
    ExpectOutputDialog(sOut, 0);
    Prompts().AnswerMessage(wxYES);
    EXPECT_TRUE(m_pPage->OutputTranslatedFile(wxString(), wxString()));
    ASSERT_EQ(2u, Prompts().Calls().size());
    EXPECT_NE(wxString::npos, Prompts().Calls()[0].sMessage.find(sOut));
    EXPECT_EQ("Hallo Welt. This is a test.", ReadBytes(sOut));

    // Cancel in the dialog writes nothing.
    Dialogs().Expect("output dialog", AnswerWith(wxID_CANCEL));
    TypeInto(0, "Hallo.");
    EXPECT_FALSE(m_pPage->OutputTranslatedFile(wxString(), wxString()));
    EXPECT_EQ("Hallo Welt. This is a test.", ReadBytes(sOut));
}

TEST_F(DocOutputGui, UnwritablePathGivesAMessageAndNoFile)
{
    NewPage();
    WriteHomeFile("plain", "a file, not a folder");
    const wxString sBad = HomePath("plain") + "/out.txt";
    ExpectOutputDialog(sBad, 0);
    Prompts().AnswerMessage(wxOK);
    EXPECT_FALSE(m_pPage->OutputTranslatedFile(wxString(), wxString()));
    ASSERT_EQ(1u, Prompts().Calls().size());
    EXPECT_NE(wxString::npos, Prompts().Calls()[0].sMessage.find(sBad)) << Prompts().Calls()[0].sMessage;
    EXPECT_FALSE(wxFileExists(sBad));
}

TEST_F(DocOutputGui, FileWithoutConvertorSaysSo)
{
    NewPage();
    // Without the registry no convertor is made for the files any more.
    g_pConvertorRegistry = nullptr;
    m_pPage->RefreshFiles();
    Prompts().AnswerMessage(wxOK);
    EXPECT_FALSE(m_pPage->OutputTranslatedFile(HomePath("out.txt"), "de"));
    EXPECT_NE(wxString::npos, Prompts().Calls()[0].sMessage.find("a.txt")) << Prompts().Calls()[0].sMessage;
    EXPECT_FALSE(wxFileExists(HomePath("out.txt")));
    g_pConvertorRegistry = &m_pEnvironment->Registry();
}

// Progress that asks to stop once the output has made nSteps steps.
class StoppingProgress : public tcConvertorProgress
{
public:
    explicit StoppingProgress(int nSteps) : m_nSteps(nSteps) {}
    int GetValue() const override { return m_nValue; }
    void SetValue(int nValue) override
    {
        m_nValue = nValue;
        ++m_nCalls;
    }
    bool WasCancelled() const override { return m_nCalls >= m_nSteps; }
    int m_nCalls = 0;

private:
    int m_nSteps;
    int m_nValue = 0;
};

// Output advances once per unit; cancelled, it leaves the old file whole.
TEST_F(DocOutputGui, CancelledOutputWritesNothing)
{
    NewPage();
    TypeInto(0, "Hallo Welt.");
    const wxString sOut = WriteHomeFile("out.txt", "old");
    tcConvertor* pConvertor = m_pPage->GetModel().GetConvertor(0);
    ASSERT_TRUE(pConvertor);
    tcNode* pFile = m_pPage->GetModel().GetFileNodes()[0];
    StoppingProgress stopping(1);
    EXPECT_FALSE(pConvertor->OutputTranslation(&m_pPage->GetModel().GetXLIFFDTD(), sOut, "de", pFile, &stopping));
    EXPECT_EQ("old", ReadBytes(sOut));
    StoppingProgress going(1000);
    EXPECT_TRUE(pConvertor->OutputTranslation(&m_pPage->GetModel().GetXLIFFDTD(), sOut, "de", pFile, &going));
    EXPECT_EQ(1, going.m_nCalls); // a.txt is one unit
    EXPECT_EQ("Hallo Welt. This is a test.", ReadBytes(sOut));
}

// A screenshot of the output dialog, shown modelessly.
TEST_F(DocOutputGui, DialogLooksRight)
{
    NewPage();
    Dialogs().Expect("output dialog",
                     [](wxDialog* pDialog)
                     {
                         pDialog->Show();
                         pDialog->Raise();
                         PumpEvents(200);
                         EXPECT_TRUE(ScreenshotIfAsked("output-dialog"));
                         pDialog->Hide();
                         return wxID_CANCEL;
                     });
    EXPECT_FALSE(m_pPage->OutputTranslatedFile(wxString(), wxString()));
}

// One unit of two segments not to be translated, one of three segments of which one has a target;
// a translation note in a segment counts for nothing.
TEST_F(DocSaveGui, StatisticsOfAFile)
{
    const std::string sBody =
        "<body>"
        "<trans-unit translate=\"no\"><source>Keep this. And this.</source><seg-source>"
        "<mrk mtype=\"seg\" mid=\"1\">Keep this.</mrk> <mrk mtype=\"seg\" mid=\"2\">And this.</mrk></seg-source>"
        "</trans-unit>"
        "<trans-unit><source>One two. Three. Four <ph id=\"1\"/>five six.</source><seg-source>"
        "<mrk mtype=\"seg\" mid=\"1\">One two.<note>not counted at all</note></mrk> "
        "<mrk mtype=\"seg\" mid=\"2\">Three.</mrk> <mrk mtype=\"seg\" mid=\"3\">Four <ph id=\"1\"/>five six.</mrk>"
        "</seg-source>"
        "</trans-unit></body>";
    std::string sXML = ProjectXML(sBody, MemoryFile().utf8_string());
    sXML.replace(sXML.find("datatype="), 0, "lastmodified=\"2026-01-02T03:04:05Z\" lastmodifiedby=\"ada\" ");
    OpenPage(WriteHomeFile("stats.xlf", sXML));
    // Typed and not yet committed: the statistics take it all the same.
    m_pPage->SelectSegment(1);
    m_pPage->GetLayout()->GetTranslationFrame()->GetEditor()->SetText("Drei und so.");

    CVRMemDocStatistics statistics;
    m_pPage->GetStatistics(&statistics, -1);
    EXPECT_EQ("a.txt", statistics.GetFileName());
    // The typing stamped the file anew.
    EXPECT_FALSE(statistics.GetLastModifiedBy().empty());
    EXPECT_NE("ada", statistics.GetLastModifiedBy());
    EXPECT_NE("2026-01-02T03:04:05Z", statistics.GetLastModified());
    EXPECT_EQ(2, statistics.GetNumTranslationUnits());
    EXPECT_EQ(1, statistics.GetNumTranslatableUnits());
    EXPECT_EQ(3, statistics.GetNumTranslatableSegments());
    EXPECT_EQ(5, statistics.GetNumSegments());
    EXPECT_EQ(1, statistics.GetNumTranslatedSegments());
    // "One two." "Three." "Four five six." (the code left out).
    EXPECT_EQ(2 + 1 + 3, statistics.GetNumWords());
    EXPECT_EQ(8 + 6 + 14, statistics.GetNumCharacters());
    EXPECT_EQ(3, statistics.GetNumTranslatedWords());
    EXPECT_EQ(12, statistics.GetNumTranslatedCharacters());

    CVRMemDocStatistics byIndex;
    m_pPage->GetStatistics(&byIndex, 0);
    EXPECT_EQ(statistics.GetNumWords(), byIndex.GetNumWords());
    EXPECT_EQ(statistics.GetNumTranslatedSegments(), byIndex.GetNumTranslatedSegments());

    AssertRecorder asserts;
    CVRMemDocStatistics past;
    m_pPage->GetStatistics(&past, 1);
    EXPECT_EQ(1u, asserts.asExpressions.size());
    EXPECT_EQ("", past.GetFileName());
    EXPECT_EQ(0, past.GetNumSegments());
}
// A saved project whose current file holds no segment opens with empty panes whose navigation is
// off; moving to a file with segments turns it on, and back off again. Nothing asserts.
TEST_F(DocSaveGui, FilesWithoutSegmentsOpenWithEmptyPanes)
{
    std::string sXML = ProjectXML("<body/>", MemoryFile().utf8_string());
    sXML.insert(sXML.find("</xliff>"),
                "<file original=\"b.txt\" source-language=\"en\" target-language=\"de\" datatype=\"plaintext\">"
                "<header><skl><internal-file>x</internal-file></skl></header>"
                "<body><trans-unit id=\"1\"><source>One.</source></trans-unit></body></file>");
    AssertRecorder asserts;
    OpenPage(WriteHomeFile("empty-first.xlf", sXML));
    VRDocLayout* pLayout = m_pPage->GetLayout();
    ASSERT_TRUE(pLayout);
    const auto expectNavigation = [&](bool bOn)
    {
        VRSourceFrame* pSource = pLayout->GetSourceFrame();
        EXPECT_EQ(bOn ? 1 : 0, pSource->GetSegmentCount());
        EXPECT_EQ(bOn, pSource->GetSpin()->IsEnabled());
        for (int nId : {VRSourceFrame::ID_NEXT, VRSourceFrame::ID_PREVIOUS, VRSourceFrame::ID_NEXT_UNTRANSLATED,
                        VRSourceFrame::ID_PREVIOUS_UNTRANSLATED, VRSourceFrame::ID_COPY_SOURCE})
            EXPECT_EQ(bOn, pSource->FindWindow(nId)->IsEnabled()) << nId;
        EXPECT_FALSE(pLayout->GetSuggestions()->GetSelectionSpin()->IsEnabled());
        EXPECT_EQ(!bOn, pLayout->GetTranslationFrame()->GetEditor()->GetReadOnly());
    };
    EXPECT_EQ(2, m_pPage->GetNumFiles());
    EXPECT_EQ(0, m_pPage->GetCurrentFile());
    expectNavigation(false);
    EXPECT_EQ(nullptr, pLayout->GetCurrentSegmentNode());
    EXPECT_EQ(nullptr, pLayout->GetTranslationFrame()->GetSourceNode());
    EXPECT_EQ(0, pLayout->GetSuggestions()->GetShownCount());
    EXPECT_TRUE(ScreenshotIfAsked("page-without-segments"));

    // What a user can still do on the empty file does nothing and breaks nothing.
    for (int nId : {VRSourceFrame::ID_NEXT, VRSourceFrame::ID_PREVIOUS, VRSourceFrame::ID_NEXT_UNTRANSLATED,
                    VRSourceFrame::ID_PREVIOUS_UNTRANSLATED, VRSourceFrame::ID_COPY_SOURCE})
    {
        wxCommandEvent click(wxEVT_BUTTON, nId);
        pLayout->GetSourceFrame()->GetEventHandler()->ProcessEvent(click);
    }
    m_pPage->SelectSegment(0);
    pLayout->GetTranslationFrame()->SetTargetText("typed");
    PumpEvents(20);
    CVRMemDocStatistics statistics;
    m_pPage->GetStatistics(&statistics, 0);
    EXPECT_EQ(0, statistics.GetNumSegments());
    EXPECT_FALSE(m_pPage->GetModel().IsChanged());

    m_pPage->SelectFile(1);
    PumpEvents(20);
    expectNavigation(true);
    m_pPage->SelectFile(0);
    PumpEvents(20);
    expectNavigation(false);
    EXPECT_EQ(std::vector<std::string>(), asserts.asExpressions);
}

// A manual page as people write them: navigation links, code spans, a table, entities, line breaks
// inside paragraphs. Only what a reader sees counts, never the markup the codes carry.
TEST_F(DocSaveGui, StatisticsOfAManualPageCountItsVisibleWords)
{
    wxArrayString asFiles, asLanguages;
    asFiles.push_back(wxString(LINTRADO_FIXTURES_DIR) + "/statistics/manual.html");
    asLanguages.push_back("en");
    ShowPage(new VRDocFrame(m_pFrame, WriteRules("rules.srx", BlankGoes::WithNextSentence), &m_manager, wxString(),
                            asFiles, asLanguages, "de", -1));
    CVRMemDocStatistics statistics;
    m_pPage->GetStatistics(&statistics, 0);

    // Counted apart from the program: Python's html.parser over the page, keeping the text of the
    // body, the title and the alt text, with references decoded, then the words matched by
    // [^\W_]+(?:[-'\u2019_][^\W_]+|(?<=\d)[.,]\d+)* : 384 words, 2,330 characters with runs of
    // blanks taken as one. (Whitespace-separated tokens, as a word processor counts, give 363.) The
    // program's count is a little lower: a line break or non-breaking space kept in a code is no
    // character of the text.
    constexpr int kVisibleWords = 384;
    EXPECT_NEAR(statistics.GetNumWords(), kVisibleWords, kVisibleWords * 3 / 100);
    constexpr int kVisibleCharacters = 2330;
    EXPECT_NEAR(statistics.GetNumCharacters(), kVisibleCharacters, kVisibleCharacters * 5 / 100);
}

// A typed target keeps copies of its source segment's codes, and with them the segment of an
// attribute value inside a code: that copy is no segment of its own.
TEST_F(DocSaveGui, StatisticsCountEverySegmentOnce)
{
    const std::string sCode = "<ph id=\"1\"><![CDATA[<item label=\"]]><sub><mrk mtype=\"seg\" mid=\"2\">Open</mrk></sub>"
                              "<![CDATA[\">]]></ph>";
    const std::string sBody = "<body><trans-unit><source>x</source><seg-source><mrk mtype=\"seg\" mid=\"1\">" + sCode +
                              "Opens a file.</mrk></seg-source><target><mrk mtype=\"seg\" mid=\"1\">" + sCode +
                              "Öffnet eine Datei.</mrk></target></trans-unit></body>";
    OpenPage(WriteHomeFile("stats.xlf", ProjectXML(sBody, MemoryFile().utf8_string())));
    EXPECT_EQ(2u, m_pPage->GetSegments().size());

    CVRMemDocStatistics statistics;
    m_pPage->GetStatistics(&statistics, -1);
    EXPECT_EQ(2, statistics.GetNumTranslatableSegments());
    EXPECT_EQ(2, statistics.GetNumSegments());
    EXPECT_EQ(1, statistics.GetNumTranslatedSegments());
    EXPECT_EQ(1, statistics.GetNumSegmentsNotTranslated());
}
} // namespace
