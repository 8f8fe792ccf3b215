#include "workspace/VRSegmentEditor.h"

#include "workspace/SegmentTagTip.h"

#include "tests/harness/ChildProcess.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/harness/TempHome.h"

#include <wx/clipbrd.h>
#include <wx/frame.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/uiaction.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace
{
const wxString BOLD = "<bpt id=\"1\" ctype=\"bold\"><![CDATA[<b>]]></bpt>";
const wxString BOLD_END = "<ept id=\"1\"><![CDATA[</b>]]></ept>";
const wxString BREAK = "<ph><![CDATA[<br/>]]></ph>";
const wxString ITALIC = "<it id=\"2\" pos=\"open\" ctype=\"italic\"><![CDATA[<i>]]></it>";

class SegmentEditorGui : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_pFrame = new wxFrame(nullptr, wxID_ANY, "Segment", wxPoint(0, 0), wxSize(600, 160));
        m_pEditor = new VRSegmentEditor(m_pFrame, wxID_ANY);
        auto* pSizer = new wxBoxSizer(wxVERTICAL);
        pSizer->Add(m_pEditor, 1, wxEXPAND);
        m_pFrame->SetSizer(pSizer);
        m_pFrame->Show();
        ASSERT_TRUE(PumpUntil([&]() { return m_pEditor->IsShownOnScreen(); }));
    }

    void TearDown() override
    {
        // A selection in the editor is offered as the primary selection; the toolkit's clipboard
        // frees only the regular clipboard's data at exit.
        wxTheClipboard->UsePrimarySelection(true);
        wxTheClipboard->Clear();
        wxTheClipboard->UsePrimarySelection(false);
        GuiTest::TearDown();
    }

    // Typing one character, through the path a key press takes.
    void Type(wchar_t c)
    {
        wxKeyEvent event(wxEVT_CHAR);
        event.m_keyCode = c;
        event.m_uniChar = c;
        event.SetEventObject(m_pEditor);
        m_pEditor->GetEventHandler()->ProcessEvent(event);
    }

    // The notice the control sends when the pointer starts or stops resting over nPos (-1: no text).
    void Dwell(wxEventType type, int nPos)
    {
        wxStyledTextEvent event(type, m_pEditor->GetId());
        event.SetEventObject(m_pEditor);
        event.SetPosition(nPos);
        event.SetX(m_pEditor->PointFromPosition(std::max(nPos, 0)).x);
        event.SetY(m_pEditor->PointFromPosition(std::max(nPos, 0)).y);
        m_pEditor->GetEventHandler()->ProcessEvent(event);
    }

    // The byte position of sPart in the editor's text, as the control counts positions.
    int Find(const wxString& sPart) const
    {
        const wxCharBuffer bytes = m_pEditor->GetTextRaw();
        return static_cast<int>(std::string(bytes.data(), bytes.length()).find(sPart.utf8_string()));
    }

    wxFrame* m_pFrame = nullptr;
    VRSegmentEditor* m_pEditor = nullptr;
};

TEST_F(SegmentEditorGui, ALoadedSegmentIsStyledAsTheLexerSaysBeforeAnyPaint)
{
    const wxString sText = wxString::FromUTF8("Grüße ") + BOLD + wxString::FromUTF8("日本語") + BOLD_END + " " + BREAK +
                           wxString::FromUTF8(" 🌴 ") + ITALIC + "<sub ctype=\"x\">in</sub> end";
    m_pEditor->LoadSegment(sText);
    const wxCharBuffer bytes = m_pEditor->GetTextRaw();
    const std::string sBytes(bytes.data(), bytes.length());
    ASSERT_EQ(m_pEditor->GetEndStyled(), static_cast<int>(sBytes.size()));
    const std::string sStyles = tLexSegmentStyles(sBytes, 0, static_cast<int>(sBytes.size()));
    for (size_t i = 0; i < sBytes.size(); ++i)
        ASSERT_EQ(m_pEditor->GetStyleAt(static_cast<int>(i)), sStyles[i]) << "byte " << i;
    EXPECT_EQ(m_pEditor->GetCurrentPos(), 0);
    EXPECT_TRUE(ScreenshotIfAsked("segment-editor"));
}

TEST_F(SegmentEditorGui, EditsCannotDamageATag)
{
    const wxString sText = "ab " + BOLD + "cd" + BREAK + " ef";
    const struct
    {
        const char* szWhat;
        std::function<void()> fnEdit;
    } aCases[] = {
        {"backspace after a marker",
         [&]()
         {
             m_pEditor->GotoPos(Find("cd"));
             m_pEditor->CmdKeyExecute(wxSTC_CMD_DELETEBACK);
         }},
        {"delete before a marker",
         [&]()
         {
             m_pEditor->GotoPos(Find("<bpt") - kSegmentMarkBytes);
             m_pEditor->CmdKeyExecute(wxSTC_CMD_CLEAR);
         }},
        {"cut across a marker",
         [&]()
         {
             m_pEditor->SetSelection(1, Find("cd") + 1);
             m_pEditor->Cut();
         }},
        {"select all and type",
         [&]()
         {
             m_pEditor->SelectAll();
             Type('x');
         }},
        {"replace a selected tag",
         [&]()
         {
             m_pEditor->SetSelection(Find("<bpt") - kSegmentMarkBytes, Find("cd"));
             m_pEditor->ReplaceSelection("zz");
         }},
        {"overtype a marker",
         [&]()
         {
             m_pEditor->SetOvertype(true);
             m_pEditor->GotoPos(Find("<ph") - kSegmentMarkBytes);
             Type('x');
             m_pEditor->SetOvertype(false);
         }},
    };
    for (const auto& c : aCases)
    {
        m_pEditor->LoadSegment(sText);
        c.fnEdit();
        const wxString sAfter = m_pEditor->GetSegmentXML();
        EXPECT_NE(sAfter.find(BOLD), wxString::npos) << c.szWhat << ": " << sAfter;
        EXPECT_NE(sAfter.find(BREAK), wxString::npos) << c.szWhat << ": " << sAfter;
    }
}

TEST_F(SegmentEditorGui, UndoNeverCrossesALoad)
{
    m_pEditor->LoadSegment("first");
    EXPECT_FALSE(m_pEditor->CanUndo());
    m_pEditor->GotoPos(5);
    Type('!');
    EXPECT_EQ(m_pEditor->GetSegmentXML(), "first!");
    EXPECT_TRUE(m_pEditor->CanUndo());

    m_pEditor->LoadSegment("second " + BREAK);
    EXPECT_FALSE(m_pEditor->CanUndo());
    m_pEditor->Undo();
    EXPECT_EQ(m_pEditor->GetSegmentXML(), "second " + BREAK);

    // Replacing the segment is the user's step: one undo brings the text back.
    m_pEditor->ReplaceSegment("third " + BOLD);
    EXPECT_EQ(m_pEditor->GetStyleAt(Find("<bpt")), 2) << "styled at once";
    ASSERT_TRUE(m_pEditor->CanUndo());
    m_pEditor->Undo();
    EXPECT_EQ(m_pEditor->GetSegmentXML(), "second " + BREAK);
    EXPECT_FALSE(m_pEditor->CanUndo());
}

TEST_F(SegmentEditorGui, ACaretSetInsideATagLandsAfterIt)
{
    const wxString sText = "ab" + BREAK + BOLD + "cd";
    const struct
    {
        const char* szSetter;
        std::function<void(int)> fnSet;
    } aCases[] = {
        {"SetCurrentPos and SetAnchor",
         [&](int n)
         {
             m_pEditor->SetCurrentPos(n);
             m_pEditor->SetAnchor(n);
         }},
        {"GotoPos", [&](int n) { m_pEditor->GotoPos(n); }},
        {"SetEmptySelection", [&](int n) { m_pEditor->SetEmptySelection(n); }},
        {"SetSelection", [&](int n) { m_pEditor->SetSelection(n, n); }},
        {"SetInsertionPoint", [&](int n) { m_pEditor->SetInsertionPoint(n); }},
        {"SetSelectionStart and End",
         [&](int n)
         {
             m_pEditor->SetSelectionStart(n);
             m_pEditor->SetSelectionEnd(n);
         }},
    };
    for (const auto& c : aCases)
    {
        // Inside the first tag: the caret lands after it, between the two tags.
        m_pEditor->LoadSegment(sText);
        const int nAfter = Find(BOLD) - 2 * kSegmentMarkBytes;
        c.fnSet(Find("<ph") + 5);
        EXPECT_EQ(m_pEditor->GetCurrentPos(), nAfter) << c.szSetter;
        EXPECT_EQ(m_pEditor->GetAnchor(), nAfter) << c.szSetter;
        Type('Z');
        EXPECT_EQ(m_pEditor->GetSegmentXML(), "ab" + BREAK + "Z" + BOLD + "cd") << c.szSetter;
    }

    // Places beside a tag are kept.
    m_pEditor->LoadSegment(sText);
    for (int n : {0, 1, 2, Find("cd"), Find("cd") + 2})
    {
        m_pEditor->GotoPos(n);
        EXPECT_EQ(m_pEditor->GetCurrentPos(), n);
    }
}

TEST_F(SegmentEditorGui, AReadOnlyEditorRefusesTypingAndShowsNoCaret)
{
    const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    m_pEditor->SetReadOnly(true);
    m_pEditor->LoadSegment("fixed " + BREAK);
    EXPECT_EQ(m_pEditor->GetSegmentXML(), "fixed " + BREAK) << "a load works while read-only";
    EXPECT_TRUE(m_pEditor->GetReadOnly());
    m_pEditor->GotoPos(2);
    Type('x');
    EXPECT_EQ(m_pEditor->GetSegmentXML(), "fixed " + BREAK);
    m_pEditor->SetCursor(wxCursor(wxCURSOR_IBEAM));
    EXPECT_TRUE(m_pEditor->GetCursor().IsSameAs(*wxSTANDARD_CURSOR));
    EXPECT_EQ(m_pEditor->GetCaretForeground(), face);
    for (int nStyle : {0, 1, 2, 13, 18, wxSTC_STYLE_DEFAULT})
        EXPECT_EQ(m_pEditor->StyleGetBackground(nStyle), face) << "style " << nStyle;

    m_pEditor->SetReadOnly(false);
    // Editable again, it looks like one that never was read-only.
    auto* pNeverReadOnly = new VRSegmentEditor(m_pFrame, wxID_ANY);
    for (int nStyle : {0, 1, 2, 11, 12, 13, 17, 18, wxSTC_STYLE_DEFAULT, wxSTC_STYLE_LINENUMBER})
        EXPECT_EQ(m_pEditor->StyleGetBackground(nStyle), pNeverReadOnly->StyleGetBackground(nStyle))
            << "style " << nStyle;
    m_pEditor->SetCursor(wxCursor(wxCURSOR_IBEAM));
    EXPECT_FALSE(m_pEditor->GetCursor().IsSameAs(*wxSTANDARD_CURSOR));
    EXPECT_EQ(m_pEditor->GetCaretForeground(), *wxBLACK);
    EXPECT_EQ(m_pEditor->StyleGetBackground(1), wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    m_pEditor->GotoPos(2);
    Type('x');
    EXPECT_EQ(m_pEditor->GetSegmentXML(), "fixxed " + BREAK);

    // Made read-only from the start, the editor is so before anything is shown.
    auto* pReadOnly = new VRSegmentEditor(m_pFrame, wxID_ANY, "given", true);
    EXPECT_TRUE(pReadOnly->GetReadOnly());
    EXPECT_EQ(pReadOnly->StyleGetBackground(1), face);
    EXPECT_EQ(pReadOnly->GetSegmentXML(), "given");
}

TEST_F(SegmentEditorGui, ADwellOverABoldCodeShowsItsTypeAndNothingElseDoes)
{
    m_pEditor->LoadSegment("a " + BOLD + "b" + BREAK + ITALIC + " c");
    const struct
    {
        const char* szWhere;
        int nPos;
    } aNoTip[] = {
        {"plain text", Find("b<ph")},
        {"a ph marker", Find("<ph") + 1},
        {"an it marker, even with a ctype", Find("<it") + 1},
        {"no text", -1},
    };
    for (const auto& c : aNoTip)
    {
        Dwell(wxEVT_STC_DWELLSTART, c.nPos);
        EXPECT_EQ(m_pEditor->GetTipWindow(), nullptr) << c.szWhere;
    }

    Dwell(wxEVT_STC_DWELLSTART, Find("<bpt") + 1);
    ASSERT_NE(m_pEditor->GetTipWindow(), nullptr);
    EXPECT_EQ(m_pEditor->GetTipText(), "bold");
    Dwell(wxEVT_STC_DWELLEND, Find("<bpt") + 1);
    EXPECT_EQ(m_pEditor->GetTipWindow(), nullptr);

    // Destroying the editor with its tip open leaves nothing behind.
    Dwell(wxEVT_STC_DWELLSTART, Find("</bpt>"));
    ASSERT_NE(m_pEditor->GetTipWindow(), nullptr);
    m_pEditor->Destroy();
    m_pEditor = nullptr;
    EXPECT_TRUE(PumpUntil([]() { return wxTopLevelWindows.GetCount() == 1; }));
}

TEST_F(SegmentEditorGui, ALongTypeBreaksIntoLinesNoWiderThanTheTip)
{
    const wxString sType = "x-a rather long type of inline code";
    m_pEditor->LoadSegment("a <bpt id=\"1\" ctype=\"" + sType + "\">code</bpt> b");
    Dwell(wxEVT_STC_DWELLSTART, Find("<bpt") + 1);
    ASSERT_NE(m_pEditor->GetTipWindow(), nullptr);
    EXPECT_EQ(m_pEditor->GetTipText(), sType);
    const std::vector<wxString>& asLines = m_pEditor->GetTipWindow()->GetLines();
    ASSERT_GT(asLines.size(), 1u);
    wxString sJoined;
    for (const wxString& sLine : asLines)
    {
        EXPECT_LE(m_pEditor->GetTipWindow()->GetTextExtent(sLine).x, 100) << sLine;
        sJoined += (sJoined.empty() ? "" : " ") + sLine;
    }
    EXPECT_EQ(sJoined, sType);
    EXPECT_LE(m_pEditor->GetTipWindow()->GetSize().x, 100 + 8);
}

TEST_F(SegmentEditorGui, DraggingASelectionThatHoldsATagIsRefused)
{
    m_pEditor->LoadSegment("ab " + BOLD + "cd");
    auto startDrag = [&]()
    {
        wxStyledTextEvent event(wxEVT_STC_START_DRAG, m_pEditor->GetId());
        event.SetEventObject(m_pEditor);
        event.SetDragText(m_pEditor->GetSelectedText());
        m_pEditor->GetEventHandler()->ProcessEvent(event);
        return event.GetDragText();
    };
    m_pEditor->SetSelection(0, 2);
    EXPECT_EQ(startDrag(), "ab");
    m_pEditor->SetSelection(1, Find("cd") + 1);
    EXPECT_EQ(startDrag(), "");
}

// The editor on a display where a window manager runs, as on a user's desktop: the manager hands out
// the keyboard focus, so a window that takes it keeps the keys from the editor.
class SegmentEditorWithWindowManager : public SegmentEditorGui
{
protected:
    void SetUp() override
    {
        const std::filesystem::path openbox = "/usr/bin/openbox";
        ASSERT_TRUE(std::filesystem::exists(openbox)) << "no window manager; tools/deps.sh installs openbox";
        // Started before the frame, so that it manages it; it runs the start command once it is up.
        const std::filesystem::path ready = TempHomeListener::Current() / "window-manager-ready";
        m_pWindowManager = std::make_unique<ChildProcess>(
            openbox, std::vector<std::string>{"--sm-disable", "--startup", "touch " + ready.string()},
            std::vector<std::string>{});
        ASSERT_TRUE(WaitFor([&]() { return std::filesystem::exists(ready); }, 20000)) << "openbox did not start";
        SegmentEditorGui::SetUp();
        ASSERT_TRUE(PumpUntil([&]() { return m_pFrame->IsActive(); })) << "the window manager gave no focus";
    }

    void TearDown() override
    {
        SegmentEditorGui::TearDown();
        m_pWindowManager.reset();
    }

    std::unique_ptr<ChildProcess> m_pWindowManager;
};

TEST_F(SegmentEditorWithWindowManager, KeysTypedWhileATagTipShowsReachTheEditorAndTheFirstClosesTheTip)
{
    m_pEditor->LoadSegment("ab " + BOLD + "cd");
    m_pEditor->SetFocus();
    ASSERT_TRUE(PumpUntil([&]() { return wxWindow::FindFocus() == m_pEditor; }));
    m_pEditor->GotoPos(Find("cd") + 1);

    // The pointer rests on the marker until the tip shows, at the pointer. The window manager may still
    // be placing and sizing the frame: the pointer follows the marker.
    wxUIActionSimulator simulator;
    const int nMarker = Find("<bpt") + 1;
    auto markerOnScreen = [&]() {
        return m_pEditor->ClientToScreen(m_pEditor->PointFromPosition(nMarker) +
                                         wxPoint(2, m_pEditor->TextHeight(0) / 2));
    };
    wxPoint ptRest;
    ASSERT_TRUE(PumpUntil(
        [&]()
        {
            if (markerOnScreen() != ptRest)
            {
                ptRest = markerOnScreen();
                simulator.MouseMove(ptRest);
            }
            return m_pEditor->GetTipWindow() != nullptr;
        },
        10000))
        << "no tip";
    EXPECT_EQ(m_pEditor->GetTipText(), "bold");
    const wxRect tip = m_pEditor->GetTipWindow()->GetScreenRect();
    EXPECT_EQ(tip.x, ptRest.x);
    EXPECT_GT(tip.y, ptRest.y);
    EXPECT_LT(tip.y, ptRest.y + 40);
    EXPECT_LE(tip.width, 100 + 8);
    EXPECT_TRUE(ScreenshotIfAsked("segment-editor-tip"));

    // The first key reaches the editor and closes the tip, as a tool tip does.
    ASSERT_TRUE(simulator.Char('x'));
    EXPECT_TRUE(PumpUntil([&]() { return m_pEditor->GetSegmentXML() == "ab " + BOLD + "cxd"; }))
        << m_pEditor->GetSegmentXML();
    EXPECT_TRUE(PumpUntil([&]() { return m_pEditor->GetTipWindow() == nullptr; })) << "the tip stays";

    // So do the ones after it: arrows move the caret, letters land where it stands.
    const int anKeys[] = {WXK_LEFT, 'y', WXK_RIGHT, WXK_RIGHT, 'z'};
    for (int nKey : anKeys)
        ASSERT_TRUE(simulator.Char(nKey));
    EXPECT_TRUE(PumpUntil([&]() { return m_pEditor->GetSegmentXML() == "ab " + BOLD + "cyxdz"; }))
        << m_pEditor->GetSegmentXML();
    EXPECT_EQ(m_pEditor->GetCurrentPos(), m_pEditor->GetLength());
    EXPECT_EQ(wxWindow::FindFocus(), m_pEditor);
    EXPECT_EQ(m_pEditor->GetTipWindow(), nullptr);
    EXPECT_TRUE(ScreenshotIfAsked("segment-editor-after-typing"));
}
} // namespace
