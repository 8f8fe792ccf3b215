// The project commands' keys, pressed as real key events while the translation editor has the
// keyboard focus: the program's own catalog gives the menus their accelerators, and the editor must
// let them through to the menus.
#include "tests/gui/ProgramWindowTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/harness/TestFiles.h"
#include "tests/workspace/ProjectFixtures.h"
#include "varnak/include/tcDocument.h"
#include "workspace/VRDocFrame.h"
#include "workspace/VRDocLayout.h"
#include "workspace/VRDocSplitter.h"
#include "workspace/VRSegmentEditor.h"
#include "workspace/VRTranslationFrame.h"

#include <wx/accel.h>
#include <wx/menu.h>
#include <wx/uiaction.h>

#include <functional>
#include <string>

namespace
{
class CommandKeys : public ProgramWindowTest
{
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        ShowMainWindow();
    }

    CVRDocSplitter* Notebook() { return m_pFrame->GetDocSplitter(); }
    VRSegmentEditor* Editor() { return Notebook()->GetCurrentDoc()->GetLayout()->GetTranslationFrame()->GetEditor(); }

    void Open(const wxString& sProject)
    {
        Prompts().AnswerFile(sProject);
        Command(ID_PROJECT_OPEN);
        ASSERT_TRUE(Notebook()->GetCurrentDoc());
        Prompts().VerifyAndClear();
    }

    // Gives the editor the keyboard focus as a click would: without a window manager the keys go
    // to the window under the pointer.
    void FocusEditor()
    {
        VRSegmentEditor* pEditor = Editor();
        // A progress window that closed leaves no window active when no window manager gives the
        // activation back.
        m_pFrame->Raise();
        pEditor->SetFocus();
        m_simulator.MouseMove(pEditor->GetScreenRect().GetPosition() + wxPoint(20, 10));
        ASSERT_TRUE(PumpUntil([pEditor] { return wxWindow::FindFocus() == pEditor; })) << "the editor has no focus";
    }

    // Presses Ctrl + cKey with the editor focused; true when fnDone holds afterwards.
    bool PressInEditor(char cKey, const std::function<bool()>& fnDone)
    {
        FocusEditor();
        if (HasFatalFailure())
            return false;
        m_simulator.Char(cKey, wxMOD_CONTROL);
        return PumpUntil(fnDone);
    }

    wxUIActionSimulator m_simulator;
};

TEST_F(CommandKeys, TheProjectCommandsAnswerTheirKeysWhileTheEditorHasTheFocus)
{
    const struct
    {
        int nID;
        int nKey;
    } aAccelerators[] = {
        {ID_PROJECT_NEW, 'N'},  {ID_PROJECT_OPEN, 'O'}, {ID_PROJECT_CLOSE, 'W'},
        {ID_PROJECT_SAVE, 'S'}, {ID_PROJECT_EXIT, 'Q'},
    };
    for (const auto& accelerator : aAccelerators)
    {
        wxMenuItem* pItem = m_pFrame->GetMenuBar()->FindItem(accelerator.nID);
        ASSERT_TRUE(pItem);
        const std::unique_ptr<wxAcceleratorEntry> pEntry(pItem->GetAccel());
        ASSERT_TRUE(pEntry) << pItem->GetItemLabel().utf8_string();
        EXPECT_EQ(pEntry->GetFlags(), wxACCEL_CTRL) << pItem->GetItemLabel().utf8_string();
        EXPECT_EQ(pEntry->GetKeyCode(), accelerator.nKey) << pItem->GetItemLabel().utf8_string();
    }

    const wxString sProject = MakeSavedProject("keys", 1);
    ASSERT_NO_FATAL_FAILURE(Open(sProject));
    ASSERT_NO_FATAL_FAILURE(FocusEditor());
    // Saved at once after the last key: the text the commit timer has not stored yet goes too.
    ASSERT_TRUE(m_simulator.Text("Hallo Welt"));
    ASSERT_TRUE(PressInEditor('s', [&] { return ReadBytes(sProject).find("Hallo Welt") != std::string::npos; }))
        << "editor: " << Editor()->GetText().utf8_string() << "\n"
        << ReadBytes(sProject);
    EXPECT_EQ(Editor()->GetText(), "Hallo Welt") << "the key typed nothing";
    EXPECT_FALSE(Notebook()->GetCurrentDoc()->GetDocument()->IsDirty());
    EXPECT_TRUE(ScreenshotIfAsked("keys-saved"));

    Dialogs().Expect("new project", AnswerWith(wxID_CANCEL));
    EXPECT_TRUE(PressInEditor('n', [&] { return Dialogs().Pending() == 0; })) << "Ctrl+N";
    Prompts().AnswerFile(wxString());
    EXPECT_TRUE(PressInEditor('o', [&] { return !Prompts().Calls().empty(); })) << "Ctrl+O";
    Prompts().VerifyAndClear();
    EXPECT_EQ(Notebook()->GetNumDocs(), 1);
    EXPECT_TRUE(PressInEditor('w', [&] { return Notebook()->GetNumDocs() == 0; })) << "Ctrl+W";

    ASSERT_NO_FATAL_FAILURE(Open(sProject));
    EXPECT_EQ(Editor()->GetText(), "Hallo Welt");
    EXPECT_TRUE(PressInEditor('q', [&] { return !m_pFrame; })) << "Ctrl+Q";
    EXPECT_TRUE(Prompts().Calls().empty()) << "a saved project closes without a question";
}
} // namespace
