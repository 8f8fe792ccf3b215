// File and language selectors: splitting of file lists, the events they fire, Browse through the
// prompts, and the language list and tags.
#include "Shared/FrmFileSelector.h"
#include "Shared/FrmLangSelector.h"

#include "Shared/Options.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/TestFiles.h"
#include "tests/workspace/ProjectFixtures.h"
#include "varnak/include/tcLanguageDatabase.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/textctrl.h>

namespace
{
const char* const kRegistry = "File-Date: 2024-01-01\n%%\n"
                              "Type: language\nSubtag: de\nDescription: German\nSuppress-Script: Latn\n%%\n"
                              "Type: language\nSubtag: en\nDescription: English\nSuppress-Script: Latn\n%%\n"
                              "Type: language\nSubtag: he\nDescription: Hebrew\nSuppress-Script: Hebr\n%%\n"
                              "Type: language\nSubtag: iw\nDescription: Hebrew\nDeprecated: 1989-01-01\n%%\n"
                              "Type: language\nSubtag: sr\nDescription: Serbian\n%%\n"
                              "Type: script\nSubtag: Cyrl\nDescription: Cyrillic\n%%\n"
                              "Type: script\nSubtag: Hebr\nDescription: Hebrew\n%%\n"
                              "Type: script\nSubtag: Latn\nDescription: Latin\n%%\n"
                              "Type: region\nSubtag: DE\nDescription: Germany\n%%\n"
                              "Type: region\nSubtag: US\nDescription: United States\n%%\n"
                              "Type: variant\nSubtag: 1901\nDescription: Traditional\nPrefix: de\n%%\n"
                              "Type: variant\nSubtag: 1996\nDescription: Reformed\nPrefix: de\n%%\n"
                              "Type: grandfathered\nTag: art-lojban\nDescription: Lojban\n%%\n"
                              "Type: grandfathered\nTag: en-GB-oed\nDescription: English, OED\n%%\n"
                              "Type: grandfathered\nTag: zh-min\nDescription: Min\n";

class SelectorsGui : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_pEnvironment = std::make_unique<PageEnvironment>();
        ASSERT_TRUE(tInitLanguageDatabase(WriteHomeFile("LanguageRegistry", kRegistry)));
        tCreateConfigStore(HomePath("test.conf"), wxString());
        m_pDialog = new wxDialog(nullptr, wxID_ANY, "selectors");
        Evt_FileSelector_Changed.AddHandler(this, &SelectorsGui::Record);
        Evt_FileSelector_Emptied.AddHandler(this, &SelectorsGui::Record);
        Evt_LangSelector_Changed.AddHandler(this, &SelectorsGui::Record);
    }
    void TearDown() override
    {
        Evt_FileSelector_Changed.RemoveHandler(this);
        Evt_FileSelector_Emptied.RemoveHandler(this);
        Evt_LangSelector_Changed.RemoveHandler(this);
        m_pDialog->Destroy();
        tDeleteConfigStore();
        tDoneLanguageDatabase();
        m_pEnvironment.reset();
        GuiTest::TearDown();
    }

    static void Record(tcEvent* pEvent, void* pOwner, void* pArg1, void* pSender)
    {
        auto* pTest = static_cast<SelectorsGui*>(pOwner);
        EXPECT_EQ(nullptr, pArg1);
        pTest->m_events.push_back(pEvent->GetName() + "@" + (pSender ? "sender" : "none"));
    }

    static std::vector<wxString> Items(const wxChoice* pChoice)
    {
        std::vector<wxString> as;
        for (unsigned i = 0; i < pChoice->GetCount(); ++i)
            as.push_back(pChoice->GetString(i));
        return as;
    }

    std::unique_ptr<PageEnvironment> m_pEnvironment;
    wxDialog* m_pDialog = nullptr;
    std::vector<wxString> m_events;
};

TEST_F(SelectorsGui, NamesAreSanitisedForTheStore)
{
    EXPECT_EQ("FileOutput|_home_ann_a.txt", CVRFileSelector::SanitiseName("FileOutput|/home/ann/a.txt"));
    EXPECT_EQ("a_b_c", CVRFileSelector::SanitiseName("a\\b/c"));
    EXPECT_EQ("SRXFile", CVRFileSelector::SanitiseName("SRXFile"));
}

TEST_F(SelectorsGui, FileListsSplitAtSemicolons)
{
    struct Case
    {
        const char* szText;
        int nFiles;
        std::vector<const char*> names; // GetFileName(i) for i < nFiles
    } const cases[] = {
        {"", 1, {""}},
        {"a", 1, {"a"}},
        {"a;b;c", 3, {"a", "b", "c"}},
        {"a;;b", 3, {"a", "", "b"}},
    };
    auto* pSelector = new CVRFileSelector(m_pDialog, "*.*", "t", wxID_ANY, wxFD_OPEN, wxString(), wxString());
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szText);
        pSelector->GetTextCtrl()->ChangeValue(c.szText);
        EXPECT_EQ(c.nFiles, pSelector->GetNumFiles());
        for (int i = 0; i < c.nFiles; ++i)
            EXPECT_EQ(wxString(c.names[i]), pSelector->GetFileName(i)) << i;
    }
}

TEST_F(SelectorsGui, TextChangesFireChangedOrEmptied)
{
    auto* pSelector = new CVRFileSelector(m_pDialog, "*.*", "t", wxID_ANY, wxFD_OPEN, "Label", "start");
    EXPECT_TRUE(m_events.empty()) << "the initial text fires nothing";
    pSelector->SetFileName("a.txt");
    pSelector->SetFileName("");
    EXPECT_EQ((std::vector<wxString>{"Evt_FileSelector_Changed@sender", "Evt_FileSelector_Emptied@sender"}), m_events);
}

TEST_F(SelectorsGui, BrowseJoinsTheChosenFilesAndRemembersFolderAndFilter)
{
    auto* pSelector = new CVRFileSelector(m_pDialog, "Text (*.txt)|*.txt|All (*.*)|*.*", "Source/Files", wxID_ANY,
                                          wxFD_OPEN | wxFD_MULTIPLE, wxString(), wxString());
    wxArrayString asChosen;
    asChosen.push_back("/data/one/a.txt");
    asChosen.push_back("/data/one/b.txt");
    asChosen.push_back("/data/two/c.txt");
    Prompts().AnswerFiles(asChosen, 1);
    ClickButton(dynamic_cast<wxButton*>(pSelector->FindWindow(CVRFileSelector::ID_BROWSE)));
    EXPECT_EQ("/data/one/a.txt;/data/one/b.txt;/data/two/c.txt", pSelector->GetTextCtrl()->GetValue());
    EXPECT_EQ(3, pSelector->GetNumFiles());
    ASSERT_EQ(1u, Prompts().Calls().size());
    EXPECT_EQ(long(PROMPT_FILE_OPEN | PROMPT_FILE_MULTIPLE), Prompts().Calls()[0].nStyle);
    EXPECT_EQ(0, Prompts().Calls()[0].nFilterIndex);

    g_pConfig->SetPath("/UserInterface/FileSelectors/Source_Files");
    EXPECT_EQ("/data/two/", g_pConfig->Read("LastPath", wxString()));
    EXPECT_EQ(1, g_pConfig->ReadLong("LastExtension", 0));

    // The next browse starts where the last one ended; a cancel changes nothing.
    Prompts().AnswerFiles(wxArrayString(), 0);
    ClickButton(dynamic_cast<wxButton*>(pSelector->FindWindow(CVRFileSelector::ID_BROWSE)));
    EXPECT_EQ("/data/two/", Prompts().Calls()[1].sDefaultDir);
    EXPECT_EQ(1, Prompts().Calls()[1].nFilterIndex);
    EXPECT_EQ(3, pSelector->GetNumFiles());
}

TEST_F(SelectorsGui, LanguageListMergesGrandfatheredTagsAndSkipsDeprecated)
{
    auto* pSelector = new CVRLangSelector(m_pDialog, wxID_ANY, wxString(), false);
    EXPECT_EQ((std::vector<wxString>{g_LocEngine.FindTranslation("SELECT_LANGUAGE"), "art-lojban", "de", "en",
                                     "en-GB-oed", "he", "sr"}),
              Items(pSelector->GetLanguageChoice()));
    // The placeholder: no tag, no script or region to choose.
    EXPECT_EQ("", pSelector->GetSelectedLanguageCode());
    EXPECT_FALSE(pSelector->GetScriptChoice()->IsShown());
    EXPECT_FALSE(pSelector->GetRegionChoice()->IsShown());
    EXPECT_TRUE(m_events.empty()) << "construction fires nothing";
}

TEST_F(SelectorsGui, InitialLanguagePreselectsOnlyAListedKey)
{
    struct Case
    {
        const char* szInitial;
        const char* szSelected;
        const char* szTag;
    } const cases[] = {{"en", "en", "en"}, {"en-US", "", ""}, {"EN", "", ""}, {"he", "he", "he"}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szInitial);
        auto* pSelector = new CVRLangSelector(m_pDialog, wxID_ANY, c.szInitial, false);
        const int n = pSelector->GetLanguageChoice()->GetSelection();
        EXPECT_EQ(wxString(c.szSelected), n > 0 ? pSelector->GetLanguageChoice()->GetString(n) : wxString());
        EXPECT_EQ(wxString(c.szTag), pSelector->GetSelectedLanguageCode());
        if (*c.szSelected)
        {
            // The implied script is preselected and shown; the tag leaves it out.
            EXPECT_TRUE(pSelector->GetScriptChoice()->IsShown());
            EXPECT_NE(0, pSelector->GetScriptChoice()->GetSelection());
        }
        pSelector->Destroy();
    }
}

TEST_F(SelectorsGui, ComposedTags)
{
    struct Case
    {
        const char* szLanguage;
        const char* szScript; // "" keeps what the language preselects
        const char* szRegion;
        const char* szTag;
    } const cases[] = {
        {"en", "", "", "en"},          {"en", "", "US", "en-US"},    {"en", "Latn", "", "en"},
        {"en", "Cyrl", "", "en-Cyrl"}, {"sr", "Cyrl", "", "sr-Cyrl"}, {"sr", "", "DE", "sr-DE"},
        {"art-lojban", "", "", "art-lojban"},
    };
    auto* pSelector = new CVRLangSelector(m_pDialog, wxID_ANY, wxString(), false);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.szLanguage) + "/" + c.szScript + "/" + c.szRegion);
        pSelector->SelectLanguage(pSelector->GetLanguageChoice()->FindString(c.szLanguage, true));
        if (*c.szScript)
            pSelector->GetScriptChoice()->SetStringSelection(c.szScript);
        pSelector->GetRegionChoice()->SetSelection(0);
        if (*c.szRegion)
            pSelector->GetRegionChoice()->SetStringSelection(c.szRegion);
        EXPECT_EQ(wxString(c.szTag), pSelector->GetSelectedLanguageCode());
    }
    // A grandfathered tag takes nothing after it.
    EXPECT_FALSE(pSelector->GetScriptChoice()->IsShown());
}

TEST_F(SelectorsGui, VariantChoiceOnlyForLanguagesWithVariants)
{
    auto* pSelector = new CVRLangSelector(m_pDialog, wxID_ANY, "de", true);
    ASSERT_TRUE(pSelector->GetVariantChoice());
    EXPECT_EQ((std::vector<wxString>{g_LocEngine.FindTranslation("SELECT_VARIANT"), "1901", "1996"}),
              Items(pSelector->GetVariantChoice()));
    pSelector->GetVariantChoice()->SetStringSelection("1996");
    EXPECT_EQ("de-1996", pSelector->GetSelectedLanguageCode());

    m_events.clear();
    pSelector->SelectLanguage(0);
    EXPECT_EQ(nullptr, pSelector->GetVariantChoice());
    // Enable mode: script and region stay in place, disabled.
    EXPECT_TRUE(pSelector->GetScriptChoice()->IsShown());
    EXPECT_FALSE(pSelector->GetScriptChoice()->IsEnabled());
    EXPECT_EQ((std::vector<wxString>{"Evt_LangSelector_Changed@sender"}), m_events);
}
} // namespace
