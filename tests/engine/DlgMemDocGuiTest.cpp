#include "workspace/DlgMemDoc.h"

#include "engine/VRMemDoc.h"
#include "engine/VRMemDocManager.h"
#include "tests/engine/MemDocFiles.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <functional>
#include <stdexcept>

namespace fs = std::filesystem;

namespace
{
class DlgMemDocGui : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        // The program's own texts, as the build copies them beside the programs.
        const wxString sData = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath() + "/../Data/";
        ASSERT_TRUE(g_LocEngine.LoadLocStrings(sData + "Lintrado/Languages/English.lang", true, true));
    }
    void TearDown() override
    {
        tApp()->SetNoUserInteraction(false);
        g_LocEngine.Clear();
        GuiTest::TearDown();
    }

    static wxTextCtrl* Field(wxDialog* pDialog)
    {
        return dynamic_cast<wxTextCtrl*>(pDialog->FindWindow(CDlgMemDoc::ID_FILE));
    }
    static wxButton* Button(wxDialog* pDialog, int nId) { return dynamic_cast<wxButton*>(pDialog->FindWindow(nId)); }

    // Answers the memory dialog by typing sPath (nothing when empty) and pressing OK, or Cancel when
    // bOK is false.
    void ExpectMemDocDialog(const wxString& sPath, bool bOK)
    {
        Dialogs().Expect("memory dialog",
                         [sPath, bOK](wxDialog* pDialog)
                         {
                             if (!sPath.empty())
                                 Field(pDialog)->SetValue(sPath);
                             ClickButton(Button(pDialog, bOK ? CDlgMemDoc::ID_OK : CDlgMemDoc::ID_CANCEL));
                             return bOK ? wxID_OK : wxID_CANCEL;
                         });
    }

    TMXHandlerScope m_tmx;
};

TEST_F(DlgMemDocGui, LaysOutItsControlsAndEnablesOkOnlyWithAName)
{
    CDlgMemDoc dialog(nullptr);
    dialog.Show();
    ASSERT_TRUE(PumpUntil([&]() { return dialog.IsShownOnScreen(); }));
    EXPECT_EQ(dialog.GetTitle(), "Translation memory");
    const struct
    {
        int nId;
        const char* szLabel;
    } buttons[] = {{CDlgMemDoc::ID_OPEN, "Open..."},
                   {CDlgMemDoc::ID_NEW, "New..."},
                   {CDlgMemDoc::ID_OK, "OK"},
                   {CDlgMemDoc::ID_CANCEL, "Cancel"}};
    for (const auto& button : buttons)
    {
        SCOPED_TRACE(button.szLabel);
        ASSERT_NE(Button(&dialog, button.nId), nullptr);
        EXPECT_EQ(Button(&dialog, button.nId)->GetLabel(), button.szLabel);
    }
    wxTextCtrl* pField = Field(&dialog);
    ASSERT_NE(pField, nullptr);
    wxButton* pOK = Button(&dialog, CDlgMemDoc::ID_OK);
    EXPECT_TRUE(pField->IsEmpty());
    EXPECT_FALSE(pOK->IsEnabled());
    EXPECT_TRUE(ScreenshotIfAsked("memory-dialog"));

    const struct
    {
        const char* szText;
        bool bEnabled;
    } steps[] = {{"/", true}, {"", false}, {" ", true}, {"/data/memory.tmx", true}, {"", false}};
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.szText);
        pField->SetValue(step.szText);
        EXPECT_EQ(pOK->IsEnabled(), step.bEnabled);
    }
    EXPECT_TRUE(dialog.GetFileName().empty());
}

TEST_F(DlgMemDocGui, OpenAndNewChooseThroughThePrompts)
{
    const struct
    {
        int nButton;
        long nStyle;
    } cases[] = {{CDlgMemDoc::ID_OPEN, PROMPT_FILE_OPEN | PROMPT_FILE_MUST_EXIST}, {CDlgMemDoc::ID_NEW, PROMPT_FILE_OPEN}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.nButton);
        CDlgMemDoc dialog(nullptr);
        Prompts().AnswerFile("/data/chosen.tmx");
        Prompts().AnswerFile(wxString());
        const wxString sCwd = wxGetCwd();

        ClickButton(Button(&dialog, c.nButton));
        EXPECT_EQ(Field(&dialog)->GetValue(), "/data/chosen.tmx");
        EXPECT_TRUE(Button(&dialog, CDlgMemDoc::ID_OK)->IsEnabled());
        // A cancelled choice keeps what the field held.
        ClickButton(Button(&dialog, c.nButton));
        EXPECT_EQ(Field(&dialog)->GetValue(), "/data/chosen.tmx");
        EXPECT_EQ(wxGetCwd(), sCwd);

        ASSERT_EQ(Prompts().Calls().size(), 2u);
        const ScriptedUserPrompts::Call& call = Prompts().Calls()[0];
        EXPECT_EQ(call.eKind, ScriptedUserPrompts::Kind::File);
        EXPECT_EQ(call.sMessage, "Choose a file");
        EXPECT_EQ(call.sDefaultDir, "");
        EXPECT_EQ(call.sDefaultFile, "");
        EXPECT_EQ(call.sWildcard, "TMX files (*.tmx)|*.tmx|All files (*.*)|*.*");
        EXPECT_EQ(call.nStyle, c.nStyle);
        EXPECT_EQ(call.pParent, nullptr);
        Prompts().VerifyAndClear();
    }
}

// A chooser that fails (the desktop's file dialog, a vanished folder) ends in one message; the
// dialog stays usable and its field keeps what it held.
TEST_F(DlgMemDocGui, AChooserThatFailsIsReportedOnceAndTheDialogGoesOn)
{
    struct FailingChooser : ScriptedUserPrompts
    {
        wxString ChooseFile(const wxString&, const wxString&, const wxString&, const wxString&, long,
                            wxWindow*) override
        {
            throw std::runtime_error("no file system here");
        }
    } prompts;
    prompts.AnswerMessage(wxOK);
    tSetUserPrompts(&prompts);
    CDlgMemDoc dialog(nullptr);
    Field(&dialog)->SetValue("/data/kept.tmx");
    tcLogCapture log;

    ClickButton(Button(&dialog, CDlgMemDoc::ID_OPEN));
    tSetUserPrompts(&Prompts());

    EXPECT_TRUE(log.Contains("EXCEPTION in CDlgMemDoc::OnOpen: no file system here"));
    ASSERT_EQ(prompts.Calls().size(), 1u);
    EXPECT_EQ(prompts.Calls()[0].eKind, ScriptedUserPrompts::Kind::Message);
    EXPECT_TRUE(prompts.Calls()[0].sMessage.Contains("no file system here"));
    EXPECT_EQ(prompts.Calls()[0].pParent, &dialog);
    EXPECT_EQ(Field(&dialog)->GetValue(), "/data/kept.tmx");

    Prompts().AnswerFile("/data/chosen.tmx");
    ClickButton(Button(&dialog, CDlgMemDoc::ID_NEW));
    EXPECT_EQ(Field(&dialog)->GetValue(), "/data/chosen.tmx");
}

// Shown modelessly, so that the test sees the dialog really close.
TEST_F(DlgMemDocGui, FileNameAfterClosing)
{
    struct Case
    {
        const char* szHow;
        std::function<void(wxDialog*)> fnClose;
        const char* szFileName;
    };
    const Case cases[] = {
        {"OK", [](wxDialog* pDialog) { ClickButton(Button(pDialog, CDlgMemDoc::ID_OK)); }, "/data/typed.tmx"},
        {"Cancel", [](wxDialog* pDialog) { ClickButton(Button(pDialog, CDlgMemDoc::ID_CANCEL)); }, ""},
        {"the close box", [](wxDialog* pDialog) { pDialog->Close(); }, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szHow);
        CDlgMemDoc dialog(nullptr);
        dialog.Show();
        ASSERT_TRUE(PumpUntil([&]() { return dialog.IsShownOnScreen(); }));
        Field(&dialog)->SetValue("/data/typed.tmx");
        EXPECT_TRUE(dialog.GetFileName().empty());
        c.fnClose(&dialog);
        EXPECT_FALSE(dialog.IsShown());
        EXPECT_EQ(dialog.GetFileName(), c.szFileName);
    }
}

TEST_F(DlgMemDocGui, AskingGivesTheChosenMemoryHeldAndShared)
{
    const fs::path file = CopyMemory("mem.tmx");
    CVRMemDocManager manager;
    // Another project already uses the memory.
    CVRMemDoc* pOther = manager.OpenMemDoc(ToWx(file));
    ASSERT_NE(pOther, nullptr);

    ExpectMemDocDialog(ToWx(file), true);
    CVRMemDoc* pMemDoc = tAskForMemDoc(manager);
    EXPECT_EQ(pMemDoc, pOther);
    EXPECT_EQ(pMemDoc->GetRefCount(), 2);
    EXPECT_EQ(manager.GetNumMemDocs(), 1u);

    manager.ReleaseMemDoc(pMemDoc);
    manager.ReleaseMemDoc(pOther);
}

TEST_F(DlgMemDocGui, AFileThatFailsIsReportedAndAskedForAgain)
{
    const fs::path broken = WriteHomeBytes("broken.tmx", "not a memory");
    const fs::path good = CopyMemory("good.tmx");
    CVRMemDocManager manager;

    ExpectMemDocDialog(ToWx(broken), true);
    Prompts().AnswerMessage(wxOK);
    ExpectMemDocDialog(ToWx(good), true);
    CVRMemDoc* pMemDoc = tAskForMemDoc(manager);
    ASSERT_NE(pMemDoc, nullptr);
    EXPECT_EQ(pMemDoc->GetFileName(), ToWx(good));

    ASSERT_EQ(Prompts().Calls().size(), 1u);
    const ScriptedUserPrompts::Call& call = Prompts().Calls()[0];
    EXPECT_TRUE(call.sMessage.StartsWith("The translation memory " + ToWx(broken) + " could not be opened:\n"))
        << call.sMessage;
    EXPECT_EQ(call.sCaption, "Error");
    manager.ReleaseMemDoc(pMemDoc);
}

TEST_F(DlgMemDocGui, ANewNameBecomesANewMemoryOnlyWhenTheUserAgrees)
{
    const fs::path target = HomeFile("new.tmx");
    CVRMemDocManager manager;

    // Declined: asked again, and nothing is written.
    ExpectMemDocDialog(ToWx(target), true);
    Prompts().AnswerMessage(wxNO);
    ExpectMemDocDialog(ToWx(target), true);
    Prompts().AnswerMessage(wxYES);
    CVRMemDoc* pMemDoc = tAskForMemDoc(manager);
    ASSERT_NE(pMemDoc, nullptr);
    EXPECT_EQ(pMemDoc->GetFileName(), ToWx(target));
    EXPECT_TRUE(fs::is_regular_file(target));
    EXPECT_EQ(manager.FindMemDoc(ToWx(target)), pMemDoc);

    ASSERT_EQ(Prompts().Calls().size(), 2u);
    EXPECT_EQ(Prompts().Calls()[0].sMessage,
              "The file " + ToWx(target) + " does not exist. Create a new, empty translation memory there?");
    EXPECT_EQ(Prompts().Calls()[0].nStyle & wxYES_NO, wxYES_NO);
    manager.ReleaseMemDoc(pMemDoc);
}

TEST_F(DlgMemDocGui, CancelStopsOpeningWithAMessage)
{
    const wxString sMessage = "No translation memory was chosen, so the project was not opened.";
    CVRMemDocManager manager;

    // Cancel after a failed attempt, and with a name typed in.
    ExpectMemDocDialog(ToWx(HomeFile("missing.tmx")), true);
    Prompts().AnswerMessage(wxNO);
    ExpectMemDocDialog("/data/typed.tmx", false);
    try
    {
        tAskForMemDoc(manager);
        ADD_FAILURE() << "Cancel did not stop the asking";
    }
    catch (const TextFailure& failure)
    {
        EXPECT_EQ(failure.GetText(), sMessage);
    }
    EXPECT_EQ(manager.GetNumMemDocs(), 0u);
    EXPECT_FALSE(fs::exists(HomeFile("missing.tmx")));

    // Nobody to ask: no dialog at all.
    tApp()->SetNoUserInteraction(true);
    try
    {
        tAskForMemDoc(manager);
        ADD_FAILURE() << "asked without a user";
    }
    catch (const TextFailure& failure)
    {
        EXPECT_EQ(failure.GetText(), sMessage);
    }
}
} // namespace
