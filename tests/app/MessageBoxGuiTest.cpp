#include "app/MessageBox.h"

#include "tests/harness/GuiTest.h"
#include "tests/harness/TempHome.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <fstream>

namespace
{
class MessageBoxGui : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        const std::string sCatalog = (TempHomeListener::Current() / "Test.lang").string();
        std::ofstream(sCatalog) << "APPLICATION_NAME=Lintrado Test\nDIALOG_OK=Fine\n";
        ASSERT_TRUE(g_LocEngine.LoadLocStrings(wxString::FromUTF8(sCatalog), true, true));
    }
    void TearDown() override
    {
        g_LocEngine.Clear();
        GuiTest::TearDown();
    }
};

TEST_F(MessageBoxGui, IconByKindOkButtonAndCaption)
{
    struct Case
    {
        int nKind;
        const wchar_t* szTitle;
        bool bIcon;
        const char* szCaption;
    };
    static const Case s_cases[] = {
        {0, L"Plain", false, "Plain"},
        {-5, L"Negative", false, "Negative"},
        {wxICON_WARNING, L"Warning", true, "Warning"},
        {wxICON_ERROR, nullptr, true, "Lintrado Test"},
        {wxICON_QUESTION, L"Question", true, "Question"},
        {wxICON_INFORMATION, L"Info", true, "Info"},
        {0x1000, L"Other", true, "Other"},
    };
    for (const Case& c : s_cases)
    {
        SCOPED_TRACE(c.szCaption);
        bool bShown = false;
        Dialogs().Expect("message box",
                         [&](wxDialog* pDialog)
                         {
                             bShown = true;
                             EXPECT_NE(dynamic_cast<tcMessageBox*>(pDialog), nullptr);
                             EXPECT_EQ(pDialog->GetTitle(), c.szCaption);
                             EXPECT_EQ(FindChild<wxStaticBitmap>(pDialog, "icon") != nullptr, c.bIcon);
                             auto* pText = FindChild<wxStaticText>(pDialog, "message");
                             EXPECT_EQ(pText ? pText->GetLabel() : wxString(), "Something happened.");
                             auto* pOk = dynamic_cast<wxButton*>(pDialog->FindWindow(wxID_OK));
                             EXPECT_EQ(pOk ? pOk->GetLabel() : wxString(), "Fine");
                             return wxID_OK;
                         });
        tMessageBox(L"Something happened.", c.szTitle, c.nKind, nullptr);
        EXPECT_TRUE(bShown);
    }
}

TEST_F(MessageBoxGui, LongTextWrapsAtSixHundredPixelsAndTheBoxGrows)
{
    wxString sText;
    for (int i = 0; i < 400; ++i)
        sText += "word ";
    tcMessageBox box(sText.wc_str(), L"Long", wxICON_INFORMATION, nullptr);
    auto* pText = FindChild<wxStaticText>(&box, "message");
    ASSERT_NE(pText, nullptr);
    EXPECT_LE(pText->GetSize().GetWidth(), 600);
    EXPECT_GE(pText->GetLabel().Freq('\n'), 3u);
    EXPECT_GT(pText->GetSize().GetHeight(), 3 * pText->GetCharHeight());
    EXPECT_GT(box.GetClientSize().GetHeight(), pText->GetSize().GetHeight());
    EXPECT_GE(box.GetClientSize().GetWidth(), pText->GetSize().GetWidth());
}

TEST_F(MessageBoxGui, NothingIsShownWithoutAUser)
{
    tApp()->SetNoUserInteraction(true);
    tMessageBox(L"logged only", nullptr, wxICON_ERROR, nullptr);
    tApp()->SetNoUserInteraction(false);
    // An unscripted modal dialog would have failed the test.
}
} // namespace
