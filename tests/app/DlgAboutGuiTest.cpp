#include "app/DlgAbout.h"

#include "Shared/HTMLPreview.h"
#include "app/AppVersion.h"
#include "tests/app/HTMLTestComponents.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/html/htmlwin.h>
#include <wx/image.h>
#include <wx/stattext.h>
#include <wx/stdpaths.h>
#include <wx/weakref.h>

namespace
{
class DlgAboutGui : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_sAppName = g_sAppName;
        m_sAppDataPath = g_sAppDataPath;
        g_sAppName = "Lintrado";
        // The program's own texts and images, as the build copies them beside the programs.
        const wxString sData = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath() + "/../Data/";
        g_sAppDataPath = sData + "Lintrado/";
        g_LocEngine.LoadLocStrings(sData + "Lintrado/Languages/English.lang", true, true);
        // As the program does at start-up.
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
            wxImage::AddHandler(new wxPNGHandler);
        m_pFrame = new wxFrame(nullptr, wxID_ANY, "Lintrado", wxPoint(0, 0), wxSize(900, 650));
        m_pFrame->Show();
        EXPECT_TRUE(PumpUntil([&]() { return m_pFrame->IsShownOnScreen(); }));
    }
    void TearDown() override
    {
        g_LocEngine.Clear();
        g_sAppName = m_sAppName;
        g_sAppDataPath = m_sAppDataPath;
        GuiTest::TearDown();
    }

    wxFrame* m_pFrame = nullptr;

private:
    wxString m_sAppName;
    wxString m_sAppDataPath;
};

// As the main window does it: a new box on every request, the previous one deleted first.
TEST_F(DlgAboutGui, OpensTwiceAndOkOnlyHidesIt)
{
    wxWeakRef<CDlgAbout> pPrevious;
    for (int nOpen = 0; nOpen < 2; ++nOpen)
    {
        SCOPED_TRACE(nOpen);
        if (pPrevious)
            pPrevious->Destroy();
        auto* pAbout = new CDlgAbout(m_pFrame, 720, 500);
        pPrevious = pAbout;
        pAbout->Show();
        EXPECT_TRUE(PumpUntil([&]() { return pAbout->IsShownOnScreen(); }));
        EXPECT_EQ(pAbout->GetTitle(), g_LocEngine.FindTranslation("ABOUT_TITLE"));
        EXPECT_EQ(pAbout->GetSize(), wxSize(720, 500));
        auto* pHtml = FindChild<wxHtmlWindow>(pAbout, "htmlview");
        ASSERT_NE(pHtml, nullptr);
        const wxString sText = pHtml->ToText();
        EXPECT_TRUE(sText.Contains("Lintrado " + tGetAppVersion())) << sText;
        EXPECT_TRUE(sText.Contains("[DOM: v2]")) << sText;
        EXPECT_TRUE(ScreenshotIfAsked(nOpen == 0 ? "about-box" : "about-box-again"));

        auto* pOk = dynamic_cast<wxButton*>(pAbout->FindWindow(wxID_OK));
        ASSERT_NE(pOk, nullptr);
        EXPECT_EQ(pOk->GetLabel(), g_LocEngine.FindTranslation("DIALOG_OK"));
        ClickButton(pOk);
        EXPECT_FALSE(pAbout->IsShown());
        // Hidden, not gone: shown again as it was.
        PumpEvents(20);
        ASSERT_TRUE(pPrevious);
        pAbout->Show();
        EXPECT_TRUE(pAbout->IsShown());
        pAbout->Close();
        EXPECT_FALSE(pAbout->IsShown());
        EXPECT_TRUE(pPrevious);
    }
}

TEST_F(DlgAboutGui, PageLinksOpenInTheBrowser)
{
    ShellRecorder shell;
    CDlgAbout about(m_pFrame, 720, 500);
    auto* pHtml = FindChild<wxHtmlWindow>(&about, "htmlview");
    ASSERT_NE(pHtml, nullptr);
    pHtml->OnLinkClicked(wxHtmlLinkInfo("ovra://openlink:www.korvendel.example/linguistics/"));
    pHtml->OnLinkClicked(wxHtmlLinkInfo("ovra://openlink:https://www.wxwidgets.org/"));
    EXPECT_EQ(shell.aTargets,
              (std::vector<wxString>{"http://www.korvendel.example/linguistics/", "https://www.wxwidgets.org/"}));
}

TEST_F(DlgAboutGui, WithoutAViewItShowsNameAndVersion)
{
    AssertRecorder asserts;
    NoViews none;
    auto* pAbout = new CDlgAbout(m_pFrame, 720, 500);
    EXPECT_EQ(asserts.asExpressions, std::vector<std::string>{"pRet!=NULL"});
    EXPECT_EQ(pAbout->GetHTMLWindow(), nullptr);
    auto* pFallback = FindChild<wxStaticText>(pAbout, "aboutfallback");
    ASSERT_NE(pFallback, nullptr);
    EXPECT_EQ(pFallback->GetLabel(), "Lintrado " + tGetAppVersion());
    pAbout->Show();
    pAbout->GetAboutPageHTML();
    ClickButton(dynamic_cast<wxButton*>(pAbout->FindWindow(wxID_OK)));
    EXPECT_FALSE(pAbout->IsShown());
    pAbout->Destroy();
}
} // namespace
