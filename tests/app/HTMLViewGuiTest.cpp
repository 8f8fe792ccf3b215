#include "Shared/HTMLPreview.h"

#include "tests/app/HTMLTestComponents.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/harness/TempHome.h"

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/html/htmlwin.h>
#include <wx/panel.h>
#include <wx/weakref.h>

#include <fstream>

namespace
{
class HTMLViewGui : public GuiTest
{
protected:
    void TearDown() override
    {
        tHTMLPopupClose();
        GuiTest::TearDown();
    }

    static wxFrame* NewFrame(const wxString& sTitle = "Host")
    {
        auto* pFrame = new wxFrame(nullptr, wxID_ANY, sTitle, wxPoint(0, 0), wxSize(600, 400));
        pFrame->Show();
        EXPECT_TRUE(PumpUntil([&]() { return pFrame->IsShownOnScreen(); }));
        return pFrame;
    }
};

TEST_F(HTMLViewGui, HostHandsExactUTF8AndItsSizeToTheView)
{
    RecordingViews views;
    wxFrame* pFrame = NewFrame();
    wxString sLinkSeen;
    auto* pHost = new VRHTMLWindow(
        [&](tcHTMLWindow*, const wchar_t* szURL)
        {
            sLinkSeen = szURL;
            return true;
        },
        pFrame);
    ASSERT_EQ(views.aRecords.size(), 1u);
    const RecordingViews::Record& record = *views.aRecords[0];
    EXPECT_EQ(record.pParent, pHost);
    EXPECT_EQ(pHost->GetHTMLWindow() ? pHost->GetHTMLWindow()->GetWindow()->GetParent() : nullptr, pHost);

    pHost->SetPage(L"<p>Gr\u00FC\u00DFe \u05E9\u05DC\u05D5\u05DD \U0001F600 &amp;</p>");
    // Text put together from UTF-16 units: the two halves are one character.
    wxString sFromUnits = "<b>";
    sFromUnits += wxUniChar(0xD83D);
    sFromUnits += wxUniChar(0xDE00);
    sFromUnits += "</b>";
    pHost->SetPage(sFromUnits);
    pHost->SetPage(wxString());
    const std::vector<std::string> aExpected = {
        "<p>Gr\xC3\xBC\xC3\x9F"
        "e \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xF0\x9F\x98\x80 &amp;</p>",
        "<b>\xF0\x9F\x98\x80</b>",
        "",
    };
    EXPECT_EQ(record.aPages, aExpected);

    pFrame->SetClientSize(321, 123);
    EXPECT_TRUE(PumpUntil([&]() { return !record.aSizes.empty() && record.aSizes.back() == wxRect(0, 0, 321, 123); }))
        << (record.aSizes.empty() ? std::string("no size")
                                  : "last size " + std::to_string(record.aSizes.back().width) + "x" +
                                        std::to_string(record.aSizes.back().height));

    ASSERT_TRUE(record.fnLink);
    EXPECT_TRUE(record.fnLink(nullptr, L"ovra://openlink:x"));
    EXPECT_EQ(sLinkSeen, "ovra://openlink:x");

    pFrame->Destroy();
    EXPECT_TRUE(PumpUntil([&]() { return views.nLive == 0; }));
    EXPECT_FALSE(record.bWindowGoneFirst);
}

TEST_F(HTMLViewGui, WithoutAComponentTheHostsWorkOnEmpty)
{
    AssertRecorder asserts;
    NoViews none;
    wxFrame* pFrame = NewFrame();
    auto* pHost = new VRHTMLWindow(nullptr, pFrame);
    EXPECT_EQ(asserts.asExpressions, std::vector<std::string>{"pRet!=NULL"});
    EXPECT_EQ(pHost->GetHTMLWindow(), nullptr);
    pHost->SetPage("<p>dropped</p>");
    pFrame->SetClientSize(300, 200);
    EXPECT_TRUE(PumpUntil([&]() { return pHost->GetSize() == wxSize(300, 200); })) << pHost->GetSize().x << "x"
                                                                                   << pHost->GetSize().y;
    pHost->Destroy();

    tHTMLPopup(pFrame, L"No view", L"<p>dropped</p>");
    ASSERT_NE(g_pPopup, nullptr);
    EXPECT_EQ(g_pPopupHTMLWindow, nullptr);
    EXPECT_TRUE(g_pPopup->IsShown());
    tHTMLPopupClose();
    EXPECT_EQ(g_pPopup, nullptr);
    EXPECT_EQ(asserts.asExpressions.size(), 2u);
}

TEST_F(HTMLViewGui, ThePopupIsOneFrameThatClosesAndReopens)
{
    RecordingViews views;
    wxFrame* pParent = NewFrame("Parent");

    tHTMLPopup(pParent, L"One", L"<p>1</p>");
    ASSERT_NE(g_pPopup, nullptr);
    tcPopup* pFirst = g_pPopup;
    EXPECT_TRUE(pFirst->IsShown());
    EXPECT_EQ(pFirst->GetTitle(), "One");
    EXPECT_EQ(views.nLive, 1);
    const wxRect rect = pFirst->GetRect();

    // A second call only changes title and page.
    tHTMLPopup(pParent, nullptr, L"<p>2</p>", 0, 0, 50, 50);
    EXPECT_EQ(g_pPopup, pFirst);
    EXPECT_EQ(pFirst->GetTitle(), "-");
    EXPECT_EQ(pFirst->GetRect(), rect);
    ASSERT_EQ(views.aRecords.size(), 1u);
    EXPECT_EQ(views.aRecords[0]->aPages, (std::vector<std::string>{"<p>1</p>", "<p>2</p>"}));

    // The close box.
    wxWeakRef<tcPopup> pFirstAlive(pFirst);
    pFirst->Close();
    EXPECT_EQ(g_pPopup, nullptr);
    EXPECT_EQ(g_pPopupHTMLWindow, nullptr);
    EXPECT_EQ(views.nLive, 0);
    EXPECT_TRUE(PumpUntil([&]() { return !pFirstAlive; }));

    // Reopened: a new frame and view; its close button closes it.
    tHTMLPopup(nullptr, L"Two", L"<p>3</p>");
    ASSERT_NE(g_pPopup, nullptr);
    EXPECT_EQ(views.aRecords.size(), 2u);
    EXPECT_EQ(views.nLive, 1);
    auto* pClose = dynamic_cast<wxButton*>(g_pPopup->FindWindow(5001));
    ASSERT_NE(pClose, nullptr);
    EXPECT_EQ(pClose->GetLabel(), "DIALOG_CLOSE");
    wxWeakRef<tcPopup> pSecondAlive(g_pPopup);
    ClickButton(pClose);
    EXPECT_EQ(g_pPopup, nullptr);
    EXPECT_EQ(views.nLive, 0);
    EXPECT_TRUE(PumpUntil([&]() { return !pSecondAlive; }));
    for (const auto& pRecord : views.aRecords)
        EXPECT_FALSE(pRecord->bWindowGoneFirst);
}

// The frame of a closed popup is deleted only later; a popup opened meanwhile keeps its view.
TEST_F(HTMLViewGui, APopupOpenedRightAfterACloseKeepsItsView)
{
    RecordingViews views;
    tHTMLPopup(nullptr, L"Old", L"a");
    wxWeakRef<tcPopup> pOldAlive(g_pPopup);
    tHTMLPopupClose();
    EXPECT_EQ(g_pPopup, nullptr);
    EXPECT_EQ(views.nLive, 0);

    tHTMLPopup(nullptr, L"New", L"b");
    tcPopup* pNew = g_pPopup;
    ASSERT_NE(pNew, nullptr);
    EXPECT_TRUE(PumpUntil([&]() { return !pOldAlive; }));
    EXPECT_EQ(g_pPopup, pNew);
    EXPECT_NE(g_pPopupHTMLWindow, nullptr);
    EXPECT_EQ(views.nLive, 1);

    // Closing when none is open does nothing.
    tHTMLPopupClose();
    tHTMLPopupClose();
    EXPECT_EQ(views.nLive, 0);
}

TEST_F(HTMLViewGui, TheBuiltInViewShowsPagesAndRoutesLinks)
{
    ShellRecorder shell;
    wxFrame* pFrame = NewFrame();
    std::vector<wxString> aSeen;
    bool bAccept = false;
    std::unique_ptr<tcHTMLWindow> pView = CreateHTMLWindow(
        pFrame, pFrame,
        [&](tcHTMLWindow*, const wchar_t* szURL)
        {
            aSeen.push_back(szURL);
            return bAccept;
        },
        nullptr, -1);
    ASSERT_NE(pView, nullptr);
    auto* pHtml = dynamic_cast<wxHtmlWindow*>(pView->GetWindow());
    ASSERT_NE(pHtml, nullptr);
    EXPECT_EQ(pHtml->GetParent(), pFrame);

    pView->SetPage("<p>Gr\xC3\xBC\xC3\x9F"
                   "e \xF0\x9F\x98\x80</p>");
    EXPECT_TRUE(pHtml->ToText().Contains(wxString::FromUTF8("Grüße 😀"))) << pHtml->ToText();
    // Broken UTF-8 loses one character, never the page.
    pView->SetPage("<p>a\xFF"
                   "b</p>");
    EXPECT_TRUE(pHtml->ToText().Contains(L"a\uFFFDb")) << pHtml->ToText();

    const std::string sSecond = (TempHomeListener::Current() / "second.html").string();
    std::ofstream(sSecond) << "<html><body><p>Second page</p></body></html>";
    struct Case
    {
        bool bAccept;
        wxString sHref;
        const char* szOpened; // null: nothing opened
    };
    const Case aCases[] = {
        {true, "ovra://openlink:www.example.org", nullptr},
        {true, "http://handled.example.org/", nullptr},
        {false, "http://www.example.org/a", "http://www.example.org/a"},
        {false, "https://www.example.org/b", "https://www.example.org/b"},
        {false, "mailto:ann@example.org", "mailto:ann@example.org"},
        {false, "ovra://unknown", nullptr},
        {false, wxString::FromUTF8(sSecond), nullptr},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.sHref.utf8_string());
        aSeen.clear();
        shell.aTargets.clear();
        bAccept = c.bAccept;
        pHtml->OnLinkClicked(wxHtmlLinkInfo(c.sHref));
        EXPECT_EQ(aSeen, std::vector<wxString>{c.sHref});
        EXPECT_EQ(shell.aTargets, c.szOpened ? std::vector<wxString>{c.szOpened} : std::vector<wxString>());
    }
    // The local link was followed in place.
    EXPECT_TRUE(pHtml->ToText().Contains("Second page")) << pHtml->ToText();

    // Nothing is fetched from the network.
    EXPECT_EQ(pHtml->OnOpeningURL(wxHTML_URL_IMAGE, "http://www.example.org/a.png", nullptr), wxHTML_BLOCK);
    EXPECT_EQ(pHtml->OnOpeningURL(wxHTML_URL_PAGE, "https://www.example.org/", nullptr), wxHTML_BLOCK);
    EXPECT_EQ(pHtml->OnOpeningURL(wxHTML_URL_IMAGE, "ftp://www.example.org/a.png", nullptr), wxHTML_BLOCK);
    EXPECT_EQ(pHtml->OnOpeningURL(wxHTML_URL_IMAGE, "/usr/share/a%20b.png", nullptr), wxHTML_OPEN);
    EXPECT_EQ(pHtml->OnOpeningURL(wxHTML_URL_IMAGE, "file:///usr/share/a.png", nullptr), wxHTML_OPEN);

    wxWeakRef<wxWindow> pWindowAlive(pHtml);
    DeleteHTMLWindow(pView);
    EXPECT_EQ(pView, nullptr);
    EXPECT_FALSE(pWindowAlive);
}

TEST_F(HTMLViewGui, AViewWithoutCallbackSendsWebLinksToTheBrowser)
{
    ShellRecorder shell;
    wxFrame* pFrame = NewFrame();
    auto* pPanel = new wxPanel(pFrame);
    std::unique_ptr<tcHTMLWindow> pView = CreateHTMLWindow(pPanel, pPanel, nullptr, nullptr, -1);
    ASSERT_NE(pView, nullptr);
    static_cast<wxHtmlWindow*>(pView->GetWindow())->OnLinkClicked(wxHtmlLinkInfo("http://www.example.org/"));
    EXPECT_EQ(shell.aTargets, std::vector<wxString>{"http://www.example.org/"});

    // A view whose window went with its parent is still deleted safely.
    pPanel->Destroy();
    EXPECT_EQ(pView->GetWindow(), nullptr);
    pView->SetPage("<p>x</p>");
    pView->SetSize(0, 0, 10, 10);
    DeleteHTMLWindow(pView);
}

TEST_F(HTMLViewGui, APreviewShowsBothSegmentMarkers)
{
    wxFrame* pFrame = NewFrame("Preview");
    auto* pHost = new VRHTMLWindow(nullptr, pFrame);
    pFrame->SetClientSize(640, 220);
    std::string sPage;
    GetHTMLPreviewHeader(sPage, "Preview", false, nullptr, nullptr, nullptr, nullptr, nullptr);
    sPage += "<h3>report.html</h3>"
             "<p>Der erste Satz ist schon \xC3\xBC"
             "bersetzt. "
             "<span style=\"background-color:#CAE1F9\">This second sentence has no translation yet.</span> "
             "<span style=\"border-style: dotted;border-width:1pt;border-color:#FF0000\">Der dritte Satz ist "
             "ausgew\xC3\xA4hlt.</span> "
             "<span style=\"background-color:#CAE1F9\">And the last one is untranslated too.</span></p>"
             "</body></html>";
    pHost->SetPage(wxString::FromUTF8(sPage));
    auto* pHtml = FindChild<wxHtmlWindow>(pHost, "htmlview");
    ASSERT_NE(pHtml, nullptr);
    const wxString sText = pHtml->ToText();
    EXPECT_TRUE(sText.Contains("This second sentence has no translation yet.")) << sText;
    EXPECT_TRUE(sText.Contains(wxString::FromUTF8("Der dritte Satz ist ausgewählt."))) << sText;
    // The head's scripts and styles never show as text.
    EXPECT_FALSE(sText.Contains("tToggleVisibleInlineBlock")) << sText;
    EXPECT_FALSE(sText.Contains("tClickable")) << sText;
    EXPECT_EQ(pHtml->GetOpenedPageTitle(), "Preview");
    pFrame->Raise();
    EXPECT_TRUE(ScreenshotIfAsked("html-preview-markers"));
}
} // namespace
