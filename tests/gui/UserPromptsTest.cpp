#include "Shared/UserPrompts.h"

#include "app/WxUserPrompts.h"
#include "tests/harness/GuiTest.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcAppContext.h"

#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

namespace
{
struct MessageCase
{
    long nStyle;
    int nSilentAnswer;
};

// The silent answer is the most cautious button on offer.
const MessageCase kMessageCases[] = {
    {wxOK, wxOK},
    {wxOK | wxCANCEL, wxCANCEL},
    {wxYES_NO | wxICON_QUESTION, wxNO},
    {wxYES_NO | wxCANCEL, wxCANCEL},
};

// Both the silent prompts and the window prompts in no-user-interaction mode must answer without
// a window: any modal dialog would fail the test through the dialog script.
void ExpectSilent(tcUserPrompts& prompts)
{
    for (const MessageCase& c : kMessageCases)
    {
        SCOPED_TRACE(c.nStyle);
        tcLogCapture log;
        EXPECT_EQ(prompts.ShowMessage("Disk full", "Saving", c.nStyle, nullptr), c.nSilentAnswer);
        EXPECT_TRUE(log.Contains("MSG: Disk full"));
    }
    EXPECT_EQ(prompts.ChooseFile("Open", "/tmp", "a.xlf", "*.xlf", PROMPT_FILE_OPEN, nullptr), "");
    EXPECT_EQ(prompts.ChooseDirectory("Folder", "/tmp", nullptr), "");
}

TEST(SilentUserPrompts, LogTheMessageShowNothingAndAnswerCautiously)
{
    tcSilentUserPrompts prompts;
    ExpectSilent(prompts);
}

TEST(SilentUserPrompts, ServeWhileNothingIsInstalled)
{
    tcWxUserPrompts installed;
    tSetUserPrompts(&installed);
    EXPECT_EQ(&tUserPrompts(), &installed);
    tSetUserPrompts(nullptr);
    EXPECT_NE(dynamic_cast<tcSilentUserPrompts*>(&tUserPrompts()), nullptr);
    EXPECT_EQ(dynamic_cast<tcWxUserPrompts*>(&tUserPrompts()), nullptr);
}

class WxUserPrompts : public GuiTest
{
protected:
    tcWxUserPrompts m_prompts;
};

TEST_F(WxUserPrompts, ShowTheMessageBoxAndTranslateItsButton)
{
    const struct
    {
        long nStyle;
        int nDialogAnswer;
        int nResult;
    } cases[] = {
        {wxOK, wxID_OK, wxOK},
        {wxYES_NO, wxID_YES, wxYES},
        {wxYES_NO, wxID_NO, wxNO},
        {wxYES_NO | wxCANCEL, wxID_CANCEL, wxCANCEL},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.nDialogAnswer);
        Dialogs().Expect("message box",
                         [&](wxDialog* pDialog)
                         {
                             auto* pMessage = dynamic_cast<wxMessageDialogBase*>(pDialog);
                             EXPECT_NE(pMessage, nullptr);
                             EXPECT_EQ(pMessage ? pMessage->GetMessage() : wxString(), "Save changes?");
                             EXPECT_EQ(pDialog->GetTitle(), "Lintrado");
                             return c.nDialogAnswer;
                         });
        EXPECT_EQ(m_prompts.ShowMessage("Save changes?", "Lintrado", c.nStyle, nullptr), c.nResult);
    }
}

TEST_F(WxUserPrompts, ShowTheFileChooserWithTheCallersSettings)
{
    Dialogs().Expect("file chooser",
                     [](wxDialog* pDialog)
                     {
                         auto* pFile = dynamic_cast<wxFileDialogBase*>(pDialog);
                         EXPECT_NE(pFile, nullptr);
                         if (!pFile)
                             return wxID_CANCEL;
                         EXPECT_EQ(pFile->GetMessage(), "Export memory");
                         EXPECT_EQ(pFile->GetWildcard(), "TMX files (*.tmx)|*.tmx");
                         EXPECT_TRUE(pFile->HasFlag(wxFD_SAVE));
                         EXPECT_TRUE(pFile->HasFlag(wxFD_OVERWRITE_PROMPT));
                         EXPECT_FALSE(pFile->HasFlag(wxFD_OPEN));
                         EXPECT_FALSE(pFile->HasFlag(wxFD_MULTIPLE));
                         return wxID_CANCEL;
                     });
    EXPECT_EQ(m_prompts.ChooseFile("Export memory", "/tmp", "memory.tmx", "TMX files (*.tmx)|*.tmx",
                                   // A bit the seam does not define must not reach the dialog.
                                   PROMPT_FILE_SAVE | PROMPT_FILE_OVERWRITE_PROMPT | 0x20, nullptr),
              "");

    Dialogs().Expect("folder chooser",
                     [](wxDialog* pDialog)
                     {
                         auto* pDir = dynamic_cast<wxDirDialogBase*>(pDialog);
                         EXPECT_NE(pDir, nullptr);
                         EXPECT_EQ(pDir ? pDir->GetMessage() : wxString(), "Project folder");
                         return wxID_CANCEL;
                     });
    EXPECT_EQ(m_prompts.ChooseDirectory("Project folder", "/tmp", nullptr), "");
}

TEST_F(WxUserPrompts, ShowNothingWithoutUserInteraction)
{
    tApp()->SetNoUserInteraction(true);
    ExpectSilent(m_prompts);
    tApp()->SetNoUserInteraction(false);
}
} // namespace
