// The new-project dialog: its fresh state, the source rows splitting and closing up, when OK may be
// pressed, the auto-fill settings and the file filter.
#include "workspace/DlgNewDoc.h"

#include "Shared/FrmFileSelector.h"
#include "Shared/FrmLangSelector.h"
#include "Shared/Options.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/workspace/ProjectFixtures.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tcLanguageDatabase.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

namespace
{
class NewDocGui : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_pEnvironment = std::make_unique<PageEnvironment>();
        const wxString sData =
            wxFileName(wxString(std::filesystem::read_symlink("/proc/self/exe").wstring())).GetPath() + "/../Data/";
        ASSERT_TRUE(tInitLanguageDatabase(sData + "LanguageRegistry"));
        tCreateConfigStore(HomePath("test.conf"), wxString());
        m_sOldDataPath = g_sDataPath;
        g_sDataPath = "/opt/lintrado/Data";
    }
    void TearDown() override
    {
        g_sDataPath = m_sOldDataPath;
        tDeleteConfigStore();
        tDoneLanguageDatabase();
        m_pEnvironment.reset();
        GuiTest::TearDown();
    }

    static void SelectLanguage(CVRLangSelector* pSelector, const wxString& sKey)
    {
        const int n = pSelector->GetLanguageChoice()->FindString(sKey, true);
        ASSERT_GT(n, 0) << sKey.utf8_string();
        pSelector->SelectLanguage(n);
    }

    // "file|language" of every row.
    static std::vector<wxString> Rows(const CDlgNewDoc& dialog)
    {
        std::vector<wxString> as;
        for (const CVRSourceSelector* pRow : dialog.GetSourceRows())
            as.push_back(pRow->GetTextCtrl()->GetValue() + "|" + pRow->GetLanguageCode());
        return as;
    }

    std::unique_ptr<PageEnvironment> m_pEnvironment;
    wxString m_sOldDataPath;
};

TEST_F(NewDocGui, FreshDialog)
{
    g_pConfig->SetPath("/Settings");
    g_pConfig->Write("AutoConvert", false);
    g_pConfig->Write("AutoConvertPercent", 40L);
    CDlgNewDoc dialog(nullptr, true);
    EXPECT_EQ(g_LocEngine.FindTranslation("NEW_DOCUMENT_TITLE"), dialog.GetTitle());
    EXPECT_EQ((std::vector<wxString>{"|"}), Rows(dialog));
    EXPECT_EQ(tPathCombine("/opt/lintrado/Data", "Default.srx"), dialog.GetSRXFile());
    EXPECT_EQ(g_LocEngine.FindTranslation("DOCUMENT_CREATE_NEW_EMPTY"), dialog.GetTMFile());
    EXPECT_EQ("", dialog.GetTargetLanguage());
    EXPECT_FALSE(dialog.GetAutoConvertBox()->GetValue());
    EXPECT_EQ(40, dialog.GetPercentCtrl()->GetValue());
    EXPECT_EQ(-1, dialog.GetAutoConvertPercent());
    EXPECT_FALSE(dialog.GetOKButton()->IsEnabled());
    EXPECT_FALSE(dialog.WasCancelled());
}

TEST_F(NewDocGui, RowsSplitAndKeepOneEmptyRowLast)
{
    struct Case
    {
        const char* szText;
        std::vector<wxString> rows;
    } const cases[] = {
        {"a;b;c", {"a|en", "b|en", "c|en", "|"}},
        {"a;", {"a|en", "|"}},
        {"a;;b", {"a|en", "b|en", "|"}},
        {"a", {"a|en", "|"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szText);
        CDlgNewDoc dialog(nullptr, true);
        SelectLanguage(dialog.GetSourceRows()[0]->GetLangSelector(), "en");
        dialog.GetSourceRows()[0]->SetFileName(c.szText);
        EXPECT_EQ(c.rows, Rows(dialog));
        wxArrayString asFiles, asLanguages;
        dialog.GetSourceFiles(asFiles);
        dialog.GetSourceLanguages(asLanguages);
        EXPECT_EQ(c.rows.size() - 1, asFiles.size());
        EXPECT_EQ(asFiles.size(), asLanguages.size());
    }
}

TEST_F(NewDocGui, ClearingAMiddleRowMovesItLast)
{
    const int nHandlers = Evt_FileSelector_Changed.GetNumHandlers();
    {
        CDlgNewDoc dialog(nullptr, true);
        dialog.GetSourceRows()[0]->SetFileName("a;b;c");
        ASSERT_EQ(4u, dialog.GetSourceRows().size());
        CVRSourceSelector* pMiddle = dialog.GetSourceRows()[1];
        pMiddle->SetFileName("");
        EXPECT_EQ((std::vector<wxString>{"a|", "c|", "|"}), Rows(dialog));
        EXPECT_EQ(pMiddle, dialog.GetSourceRows().back()) << "the cleared row is the new empty row";
        // Filling it again adds a new empty row below.
        pMiddle->SetFileName("d");
        EXPECT_EQ((std::vector<wxString>{"a|", "c|", "d|", "|"}), Rows(dialog));
    }
    EXPECT_EQ(nHandlers, Evt_FileSelector_Changed.GetNumHandlers()) << "the dialog left its handlers behind";
}

TEST_F(NewDocGui, OKNeedsEverythingFilledInBothModes)
{
    struct Case
    {
        const char* szName;
        bool bNewProject;
        bool bRowLanguage, bTarget, bRules, bMemory;
        bool bOK;
    } const cases[] = {
        {"new: all filled", true, true, true, true, true, true},
        {"new: row without language", true, false, true, true, true, false},
        {"new: no target language", true, true, false, true, true, false},
        {"new: no rules", true, true, true, false, true, false},
        {"new: no memory", true, true, true, true, false, false},
        {"add: all filled", false, true, true, true, false, true},
        {"add: row without language", false, false, true, true, false, false},
        {"add: no target language", false, true, false, true, false, false},
        {"add: no languages at all", false, false, false, true, false, false},
        {"add: no rules", false, true, true, false, false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        CDlgNewDoc dialog(nullptr, c.bNewProject);
        // Adding files has no memory row.
        EXPECT_EQ(c.bNewProject, dialog.GetTMSelector() != nullptr);
        if (c.bRowLanguage)
            SelectLanguage(dialog.GetSourceRows()[0]->GetLangSelector(), "en");
        if (c.bTarget)
            SelectLanguage(dialog.GetTargetSelector(), "de");
        if (!c.bRules)
            dialog.GetSRXSelector()->SetFileName("");
        if (c.bNewProject && !c.bMemory)
            dialog.GetTMSelector()->SetFileName("");
        EXPECT_FALSE(dialog.GetOKButton()->IsEnabled()) << "no file yet";
        dialog.GetSourceRows()[0]->SetFileName("a.txt");
        EXPECT_EQ(c.bOK, dialog.GetOKButton()->IsEnabled());
        dialog.GetSourceRows()[0]->SetFileName("");
        EXPECT_FALSE(dialog.GetOKButton()->IsEnabled()) << "one row is no file";
    }
}

TEST_F(NewDocGui, AutoFillSettingsAreKept)
{
    CDlgNewDoc dialog(nullptr, true);
    EXPECT_TRUE(dialog.GetAutoConvertBox()->GetValue());
    EXPECT_EQ(75, dialog.GetAutoConvertPercent());

    dialog.GetPercentCtrl()->SetValue(60);
    wxSpinEvent spin(wxEVT_SPINCTRL, CDlgNewDoc::ID_PERCENT);
    spin.SetEventObject(dialog.GetPercentCtrl());
    dialog.GetPercentCtrl()->GetEventHandler()->ProcessEvent(spin);
    EXPECT_EQ(60, dialog.GetAutoConvertPercent());

    dialog.GetAutoConvertBox()->SetValue(false);
    wxCommandEvent check(wxEVT_CHECKBOX, CDlgNewDoc::ID_AUTOCONVERT);
    check.SetEventObject(dialog.GetAutoConvertBox());
    dialog.GetAutoConvertBox()->GetEventHandler()->ProcessEvent(check);
    EXPECT_EQ(-1, dialog.GetAutoConvertPercent());
    EXPECT_FALSE(dialog.GetPercentCtrl()->IsEnabled());

    g_pConfig->SetPath("/Settings");
    EXPECT_FALSE(g_pConfig->ReadBool("AutoConvert", true));
    EXPECT_EQ(60, g_pConfig->ReadLong("AutoConvertPercent", 0));
}

TEST_F(NewDocGui, FileFilterFromTheRegisteredConvertors)
{
    m_pEnvironment->Registry().Register(3, L"Notes", L"*.note", L"test", 1.0f, AllocateConvertor_TXT);
    EXPECT_EQ("Text documents(*.txt)|*.txt|HTML documents(*.html;*.htm)|*.html;*.htm|Notes(*.note)|*.note|"
              "All supported files (*.txt;*.html;*.htm;*.note)|*.txt;*.html;*.htm;*.note",
              CDlgNewDoc::BuildFileFilter());
    CDlgNewDoc dialog(nullptr, true);
    EXPECT_EQ(CDlgNewDoc::BuildFileFilter(), dialog.GetFileFilter());
}

TEST_F(NewDocGui, CancelEndsTheDialog)
{
    CDlgNewDoc dialog(nullptr, true);
    Dialogs().Expect("new project",
                     [](wxDialog* pDialog)
                     {
                         ClickButton(dynamic_cast<wxButton*>(pDialog->FindWindow(wxID_CANCEL)));
                         return wxID_CANCEL;
                     });
    EXPECT_EQ(wxID_CANCEL, dialog.ShowModal());
    EXPECT_TRUE(dialog.WasCancelled());
}

TEST_F(NewDocGui, ThreeRowsFilledOnScreen)
{
    auto* pDialog = new CDlgNewDoc(nullptr, true);
    SelectLanguage(pDialog->GetSourceRows()[0]->GetLangSelector(), "en");
    pDialog->GetSourceRows()[0]->SetFileName(
        "/home/ann/Documents/letter.txt;/home/ann/Documents/offer.html;/home/ann/Documents/notes.txt");
    SelectLanguage(pDialog->GetTargetSelector(), "de");
    EXPECT_TRUE(pDialog->GetOKButton()->IsEnabled());
    pDialog->Show();
    PumpEvents(200);
    EXPECT_TRUE(ScreenshotIfAsked("new-project-dialog"));
    pDialog->Destroy();
}
} // namespace
