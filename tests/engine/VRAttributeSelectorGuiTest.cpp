#include "workspace/VRAttributeSelector.h"

#include "engine/XLIFFDTD.h"
#include "tests/harness/AssertRecorder.h"
#include "tests/harness/GuiTest.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"

#include <wx/frame.h>

#include <regex>
#include <string>
#include <vector>

namespace
{
// A choice event as the pane receives it.
struct SChoice
{
    int nId;
    int nSelection;
    wxString sText;
};

// A project with three units whose targets hold no state, "final" and a value outside the list,
// and a frame standing in for the translation pane, recording the choice events that reach it.
class VRAttributeSelectorGui : public GuiTest
{
protected:
    static constexpr int kSelectorId = 26001;

    void SetUp() override
    {
        GuiTest::SetUp();
        tcDictionary* pRoot = PrepareNewProjectDocument(&m_doc);
        ASSERT_TRUE(pRoot);
        InitXLIFFDTD(&m_doc, m_dtd, false);
        tcNode* pXliff = pRoot->GetChild(0);
        ASSERT_TRUE(pXliff);
        ASSERT_TRUE(pXliff->ParseXML(
            "<file original=\"a.txt\" source-language=\"en\" target-language=\"de\" datatype=\"plaintext\"><body>"
            "<trans-unit id=\"1\"><source>One</source><target>Eins</target></trans-unit>"
            "<trans-unit id=\"2\"><source>Two</source><target state=\"final\">Zwei</target></trans-unit>"
            "<trans-unit id=\"3\"><source>Three</source><target state=\"x-checked\">Drei</target></trans-unit>"
            "</body></file>",
            &m_doc));
        m_pFile = pXliff->GetChild(0);
        m_doc.ClearDirty();
        Evt_NodeModified.AddHandler(this, &VRAttributeSelectorGui::OnNodeModified);

        m_pFrame = new wxFrame(nullptr, wxID_ANY, "Translation");
        m_pFrame->Bind(wxEVT_CHOICE,
                       [this](wxCommandEvent& event) {
                           m_aChoices.push_back({event.GetId(), event.GetInt(), event.GetString()});
                       });
    }
    void TearDown() override
    {
        Evt_NodeModified.RemoveHandler(this);
        GuiTest::TearDown();
    }

    static void OnNodeModified(tcEvent*, void* pOwner, void* pNode, void*)
    {
        static_cast<VRAttributeSelectorGui*>(pOwner)->m_apModified.push_back(static_cast<tcNode*>(pNode));
    }

    tcNode* Target(int nUnit) const { return m_pFile->GetChild(0)->GetChild(nUnit)->GetChild(1); }
    wxString State(int nUnit) const { return Target(nUnit)->GetAttributeDisplayAsString(m_dtd.m_pTargetStateAttr); }
    VRAttributeSelector* StateSelector(tcNode* pNode)
    {
        return new VRAttributeSelector(m_pFrame, kSelectorId, pNode, pNode ? m_dtd.m_pTargetStateAttr : nullptr);
    }

    // Nothing written, marked or passed on.
    void ExpectUntouched()
    {
        EXPECT_FALSE(m_doc.IsDirty());
        EXPECT_FALSE(static_cast<tcEntry*>(m_pFile)->HasChanged());
        EXPECT_TRUE(m_pFile->GetAttributeDisplayAsString(m_dtd.m_pFileLastModifiedAttr).empty());
        EXPECT_TRUE(m_apModified.empty());
        EXPECT_TRUE(m_aChoices.empty());
    }

    AssertRecorder m_asserts;
    tcDocument m_doc;
    SXLIFFDTD m_dtd;
    tcNode* m_pFile = nullptr;
    wxFrame* m_pFrame = nullptr;
    std::vector<SChoice> m_aChoices;
    std::vector<tcNode*> m_apModified;
};

TEST_F(VRAttributeSelectorGui, ListsTheAttributesValuesAndShowsTheNodes)
{
    ASSERT_EQ(m_pFile->GetClassType(), NODE_ENTRY);
    const tcAttrList* pList = m_dtd.m_pTargetStateAttr->GetList();
    ASSERT_TRUE(pList);
    VRAttributeSelector* pSelector = StateSelector(Target(0));
    EXPECT_TRUE(pSelector->IsEnabled());
    ASSERT_EQ(pSelector->GetCount(), 10u);
    for (int i = 0; i < pList->GetNumItems(); ++i)
        EXPECT_EQ(pSelector->GetString(i).utf8_string(), pList->GetItemText(i).utf8_string());

    // Rebinding in this order shows that no value carries over from the segment shown before.
    const struct
    {
        int nUnit;
        const char* szValue;
        bool bSelected;
    } cases[] = {
        {1, "final", true}, {0, "", false}, {2, "x-checked", false}, {1, "final", true}, {0, "", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.nUnit);
        pSelector->SetNode(Target(c.nUnit), m_dtd.m_pTargetStateAttr);
        EXPECT_EQ(pSelector->GetValue().utf8_string(), c.szValue);
        EXPECT_EQ(pSelector->GetStringSelection().utf8_string(), c.bSelected ? c.szValue : "");
        EXPECT_EQ(pSelector->GetCount(), 10u);
    }

    pSelector->SetNode(nullptr, nullptr);
    EXPECT_FALSE(pSelector->IsEnabled());
    EXPECT_EQ(pSelector->GetCount(), 0u);
    EXPECT_EQ(pSelector->GetValue().utf8_string(), "");
    EXPECT_EQ(pSelector->GetPreviousValue().utf8_string(), "");
    ExpectUntouched();
    EXPECT_TRUE(m_asserts.asExpressions.empty());
}

TEST_F(VRAttributeSelectorGui, AChoiceWritesTheNodeMarksItChangedAndReachesThePane)
{
    VRAttributeSelector* pSelector = StateSelector(Target(1));
    pSelector->SetValue("translated");

    EXPECT_EQ(State(1).utf8_string(), "translated");
    EXPECT_EQ(pSelector->GetStringSelection().utf8_string(), "translated");
    EXPECT_EQ(pSelector->GetValue().utf8_string(), "translated");
    EXPECT_EQ(pSelector->GetPreviousValue().utf8_string(), "final");
    EXPECT_TRUE(m_doc.IsDirty());
    EXPECT_TRUE(static_cast<tcEntry*>(m_pFile)->HasChanged());
    const std::string sStamp = m_pFile->GetAttributeDisplayAsString(m_dtd.m_pFileLastModifiedAttr).utf8_string();
    EXPECT_TRUE(std::regex_match(sStamp, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)"))) << sStamp;
    EXPECT_EQ(m_apModified, std::vector<tcNode*>{Target(1)});
    ASSERT_EQ(m_aChoices.size(), 1u);
    EXPECT_EQ(m_aChoices[0].nId, kSelectorId);
    EXPECT_EQ(m_aChoices[0].nSelection, pSelector->GetSelection());
    EXPECT_EQ(m_aChoices[0].sText.utf8_string(), "translated");

    // The previous value of a choice on the next segment is that segment's, not this one's.
    pSelector->SetNode(Target(0), m_dtd.m_pTargetStateAttr);
    pSelector->SetValue("final");
    EXPECT_EQ(State(0).utf8_string(), "final");
    EXPECT_EQ(pSelector->GetPreviousValue().utf8_string(), "");
    EXPECT_EQ(pSelector->GetValue().utf8_string(), "final");
    EXPECT_EQ(State(1).utf8_string(), "translated");
    EXPECT_EQ(m_aChoices.size(), 2u);
    EXPECT_TRUE(m_asserts.asExpressions.empty());
}

TEST_F(VRAttributeSelectorGui, AnUnknownTextRechoosesTheSelectionOrWritesNothing)
{
    VRAttributeSelector* pSelector = StateSelector(Target(0));
    pSelector->SetValue("no-such-state");
    EXPECT_FALSE(Target(0)->HasAttributeValue(m_dtd.m_pTargetStateAttr)) << "no empty state written";
    EXPECT_EQ(pSelector->GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(pSelector->GetValue().utf8_string(), "");
    ExpectUntouched();

    pSelector->SetNode(Target(1), m_dtd.m_pTargetStateAttr);
    pSelector->SetValue("no-such-state");
    EXPECT_EQ(State(1).utf8_string(), "final");
    EXPECT_EQ(pSelector->GetStringSelection().utf8_string(), "final");
    EXPECT_EQ(pSelector->GetValue().utf8_string(), "final");
    EXPECT_EQ(pSelector->GetPreviousValue().utf8_string(), "final");
    EXPECT_TRUE(m_doc.IsDirty());
    EXPECT_EQ(m_aChoices.size(), 1u);
    EXPECT_TRUE(m_asserts.asExpressions.empty());
}

TEST_F(VRAttributeSelectorGui, AnUnboundSelectorRefusesAChoice)
{
    VRAttributeSelector* pSelector = StateSelector(nullptr);
    EXPECT_FALSE(pSelector->IsEnabled());
    EXPECT_EQ(pSelector->GetCount(), 0u);
    pSelector->SetValue("final");
    EXPECT_EQ(m_asserts.asExpressions, std::vector<std::string>{"m_pDisplayNode"});
    EXPECT_EQ(pSelector->GetValue().utf8_string(), "");
    ExpectUntouched();
}

// A document handler that fails while the choice is written: the user hears of it once, the event
// goes no further, and the selector takes the next choice as usual.
TEST_F(VRAttributeSelectorGui, AFailingWriteIsReportedOnceAndTheSelectorGoesOn)
{
    static bool s_bFail = true;
    struct Thrower
    {
        static void OnModified(tcEvent*, void*, void*, void*)
        {
            if (s_bFail)
                throw TextFailure("the disk went away");
        }
    };
    int nOwner = 0;
    Evt_NodeModified.AddHandler(&nOwner, &Thrower::OnModified);
    VRAttributeSelector* pSelector = StateSelector(Target(0));
    Prompts().AnswerMessage(wxOK);
    tcLogCapture log;

    pSelector->SetValue("translated");

    EXPECT_TRUE(log.Contains("EXCEPTION in VRAttributeSelector::OnChoice: the disk went away"));
    ASSERT_EQ(Prompts().Calls().size(), 1u);
    const ScriptedUserPrompts::Call& call = Prompts().Calls()[0];
    EXPECT_EQ(call.eKind, ScriptedUserPrompts::Kind::Message);
    EXPECT_TRUE(call.sMessage.Contains("the disk went away")) << call.sMessage;
    EXPECT_EQ(call.sCaption, g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"));
    EXPECT_TRUE(call.nStyle & wxICON_ERROR);
    EXPECT_EQ(call.pParent, pSelector);
    EXPECT_TRUE(m_aChoices.empty()) << "a failed choice must not reach the pane";

    s_bFail = false;
    pSelector->SetValue("final");
    Evt_NodeModified.RemoveHandler(&nOwner);
    s_bFail = true;
    EXPECT_EQ(State(0).utf8_string(), "final");
    EXPECT_EQ(m_aChoices.size(), 1u);
    EXPECT_EQ(Prompts().Calls().size(), 1u);
}

// A selector made unbound (the pane's start) must grow to its values once bound, and keep that
// width when it is unbound again, so no value is shown cut short and the row does not jump.
TEST_F(VRAttributeSelectorGui, WidthFollowsTheWidestValue)
{
    VRAttributeSelector* pSelector = StateSelector(nullptr);
    const int nWidest = pSelector->GetTextExtent("needs-review-translation").x;
    ASSERT_LT(pSelector->GetMinSize().x, nWidest);
    pSelector->SetNode(Target(1), m_dtd.m_pTargetStateAttr);
    EXPECT_GT(pSelector->GetMinSize().x, nWidest);
    const int nBound = pSelector->GetMinSize().x;
    pSelector->SetNode(nullptr, nullptr);
    EXPECT_EQ(nBound, pSelector->GetMinSize().x);
}
} // namespace
