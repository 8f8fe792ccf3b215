// Typing into the translation pane as a translator types: real key events at a person's pace, the
// commit timer running, and what the project stores checked after every row.
#include "workspace/VRTranslationFrame.h"

#include "tests/harness/ChildProcess.h"
#include "tests/harness/Screenshot.h"
#include "tests/workspace/PaneGuiTest.h"
#include "workspace/SegmentDisplay.h"
#include "workspace/SegmentXML.h"
#include "workspace/VRSegmentEditor.h"

#include <wx/clipbrd.h>
#include <wx/uiaction.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
const char* const LINK = "<bpt id=\"1\" ctype=\"x-link\"><![CDATA[<a href=\"guide.html\">]]></bpt>";
const char* const LINK_END = "<ept id=\"1\"><![CDATA[</a>]]></ept>";
const char* const BOLD = "<bpt id=\"1\" ctype=\"bold\"><![CDATA[<b>]]></bpt>";
const char* const BOLD_END = "<ept id=\"1\"><![CDATA[</b>]]></ept>";

enum
{
    kPlain = 0,    // no codes, no target
    kHeading = 1,  // the source starts with a link code; no target
    kAdjacent = 2, // the target's link codes touch: "Siehe <bpt/><ept/>."
    kBold = 3,     // the target holds a bold pair around "OK"
};

// One step of a row: text typed, keys pressed (xdotool key names) or a click into the editor.
struct SStep
{
    enum Kind
    {
        Type,
        Keys,
        Click,
        // A click on the place between two codes that touch.
        ClickBetween,
    } eKind;
    std::string sWhat;
};

class TypingGui : public PaneGuiTest
{
protected:
    void TearDown() override
    {
        // The rows copy and select text: the toolkit frees the clipboards' data only when told.
        for (bool bPrimary : {true, false})
        {
            wxTheClipboard->UsePrimarySelection(bPrimary);
            wxTheClipboard->Clear();
        }
        PaneGuiTest::TearDown();
    }

    // A fresh copy of the project and a pane showing one of its segments.
    void Start(int nSegment)
    {
        if (m_pPane)
            m_pPane->Destroy();
        m_pPane = nullptr;
        Settle();
        m_pTyping = std::make_unique<PaneProject>("typing.xlf");
        ASSERT_TRUE(m_pTyping->IsLoaded());
        m_apSegments = m_pTyping->Segments(0);
        ASSERT_EQ(m_apSegments.size(), 4u);
        m_pPane = new VRTranslationFrame(m_pFrame->Panel(), m_pTyping->DTDPtr(), m_pTyping->Doc());
        m_pFrame->ShowPanes({m_pPane});
        m_pFrame->Raise();
        m_pPane->SetNode(m_apSegments[static_cast<size_t>(nSegment)]);
    }

    wxString Stored(int i) const { return GetTargetXML(m_pTyping->DTD(), m_apSegments[static_cast<size_t>(i)]); }
    VRSegmentEditor* Editor() const { return m_pPane->GetEditor(); }

    // The keys go to the window under the pointer when no window manager hands out the focus.
    bool Focus()
    {
        Editor()->SetFocus();
        wxUIActionSimulator simulator;
        simulator.MouseMove(Editor()->GetScreenRect().GetPosition() + wxPoint(20, 10));
        return PumpUntil([this] { return wxWindow::FindFocus() == Editor(); });
    }

    bool Click(const wxPoint& inEditor)
    {
        wxUIActionSimulator simulator;
        simulator.MouseMove(Editor()->ClientToScreen(inEditor));
        simulator.MouseClick();
        Settle();
        return true;
    }

    // Runs xdotool on the test's display while events (and the commit timer) go on.
    // Each key 60 ms after the last, so every one gets its own commit.
    bool Xdotool(const std::string& sCommand, const std::vector<std::string>& asRest)
    {
        std::vector<std::string> asArgs{sCommand, "--delay", "60"};
        asArgs.insert(asArgs.end(), asRest.begin(), asRest.end());
        ChildProcess xdotool("/usr/bin/xdotool", asArgs, {});
        if (!xdotool.Started())
            return false;
        const bool bEnded = PumpUntil([&xdotool] { return !xdotool.IsRunning(); }, 30000);
        Settle();
        return bEnded && xdotool.Wait(1000) && xdotool.ExitCode() == 0;
    }

    bool Run(const SStep& step)
    {
        switch (step.eKind)
        {
        case SStep::Type:
            return Xdotool("type", {"--", step.sWhat});
        case SStep::Keys:
        {
            std::vector<std::string> asKeys;
            size_t nFrom = 0;
            while (nFrom <= step.sWhat.size())
            {
                const size_t nSpace = std::min(step.sWhat.find(' ', nFrom), step.sWhat.size());
                asKeys.push_back(step.sWhat.substr(nFrom, nSpace - nFrom));
                nFrom = nSpace + 1;
            }
            return Xdotool("key", asKeys);
        }
        case SStep::Click:
            return Click(wxPoint(30, 12));
        case SStep::ClickBetween:
        {
            const wxString sText = Editor()->GetText();
            const size_t nGap = sText.find(kCodeGap);
            if (nGap == wxString::npos)
                return false;
            const int nPos = static_cast<int>(sText.substr(0, nGap).utf8_str().length());
            return Click(Editor()->PointFromPosition(nPos) + wxPoint(0, Editor()->TextHeight(0) / 2));
        }
        }
        return false;
    }

    std::unique_ptr<PaneProject> m_pTyping;
    std::vector<tcNode*> m_apSegments;
    VRTranslationFrame* m_pPane = nullptr;
};

TEST_F(TypingGui, WhatIsTypedIsWhatIsStored)
{
    const struct
    {
        const char* szWhat;
        int nSegment;
        std::vector<SStep> aSteps;
        std::string sStored;
    } aRows[] = {
        {"entities, one key at a time", kPlain, {{SStep::Type, "AT&T a<b"}}, "AT&amp;T a&lt;b"},
        {"every character markup uses",
         kPlain,
         {{SStep::Type, "x & y < z > w \"q\" 'a'"}},
         "x &amp; y &lt; z &gt; w \"q\" 'a'"},
        // The codes come in around the first letter; what follows it stays behind it.
        {"the first letters after a leading code",
         kHeading,
         {{SStep::Click, ""}, {SStep::Type, "Das Paket"}},
         "<bpt id=\"1\" ctype=\"x-link\"><![CDATA[<a href=\"#ch3\">]]></bpt>Das Paket"
         "<ept id=\"1\"><![CDATA[</a>]]></ept>"},
        {"between two codes that touch",
         kAdjacent,
         {{SStep::Keys, "End Left Left"}, {SStep::Type, "den Leitfaden"}},
         std::string("Siehe ") + LINK + "den Leitfaden" + LINK_END + "."},
        {"a click between two codes that touch",
         kAdjacent,
         {{SStep::Keys, "End"}, {SStep::ClickBetween, ""}, {SStep::Type, "den Leitfaden"}},
         std::string("Siehe ") + LINK + "den Leitfaden" + LINK_END + "."},
        {"undo and redo step through words, not commits",
         kPlain,
         {{SStep::Type, "Tom & Jerry"}, {SStep::Keys, "ctrl+z ctrl+z ctrl+y"}},
         "Tom &amp;"},
        {"the editor's own commands over a selection holding codes",
         kBold,
         {{SStep::Keys, "ctrl+a ctrl+u ctrl+shift+u ctrl+shift+l ctrl+l ctrl+t ctrl+d Tab"},
          {SStep::Keys, "ctrl+a ctrl+BackSpace ctrl+Delete ctrl+shift+BackSpace ctrl+shift+Delete BackSpace Delete"},
          {SStep::Keys, "ctrl+a ctrl+x shift+Delete"},
          {SStep::Type, "x"}},
         std::string("Dann ") + BOLD + "OK" + BOLD_END + wxString::FromUTF8(" Drücken.").utf8_string()},
        {"a copied code is pasted as its text",
         kBold,
         {{SStep::Keys, "ctrl+a ctrl+c End ctrl+v"}},
         std::string("Dann ") + BOLD + "OK" + BOLD_END + wxString::FromUTF8(" Drücken.Dann OK Drücken.").utf8_string()},
    };
    for (const auto& row : aRows)
    {
        SCOPED_TRACE(row.szWhat);
        Start(row.nSegment);
        ASSERT_TRUE(Focus()) << "the editor has no focus";
        for (const SStep& step : row.aSteps)
            ASSERT_TRUE(Run(step)) << step.sWhat;
        m_pPane->FlushCommit();
        EXPECT_EQ(Stored(row.nSegment).utf8_string(), row.sStored)
            << "editor: " << Editor()->GetSegmentXML().utf8_string();
        // The editor shows what is stored, with no entity or code turned into text (a gap may stay
        // where text was typed between two codes).
        auto withoutGaps = [](wxString s)
        {
            s.Replace(wxString(kCodeGap), wxString());
            return s;
        };
        EXPECT_EQ(withoutGaps(Editor()->GetText()), withoutGaps(tSegmentXMLToDisplay(Stored(row.nSegment))));
        if (row.nSegment == kAdjacent)
        {
            EXPECT_TRUE(ScreenshotIfAsked("typed-between-codes"));
        }
    }
}
} // namespace
