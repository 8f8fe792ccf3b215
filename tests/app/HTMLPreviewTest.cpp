#include "Shared/HTMLPreview.h"

#include "Shared/AppUtils_shared.h"
#include "Shared/HTMLViewWx.h"
#include "Shared/Options.h"
#include "tests/app/HTMLTestComponents.h"
#include "tests/harness/TempHome.h"
#include "varnak/include/VarnakConst.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcStyles.h"

#include <gtest/gtest.h>
#include <wx/confbase.h>
#include <wx/init.h>

#include <string>
#include <vector>

namespace
{
// Sets the application paths and name the page heads use, and puts them back afterwards.
class PageGlobals : public testing::Test
{
protected:
    void SetUp() override
    {
        m_sDataPath = g_sDataPath;
        m_sAppName = g_sAppName;
        g_sDataPath = "/opt/Lintrado Data/";
        g_sAppName = wxString::FromUTF8("Lïntrado <β>");
    }
    void TearDown() override
    {
        g_sDataPath = m_sDataPath;
        g_sAppName = m_sAppName;
        g_pDoc = nullptr;
    }

private:
    wxString m_sDataPath;
    wxString m_sAppName;
};

// The lines before the title, the same for every page.
const std::string s_sScripts = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\r\n";
const std::string s_sFixed =
    "<script src=\"file:///opt/Lintrado%20Data/base64.js\"></script>\r\n"
    "<script>function tToggleVisibleInlineBlock(ID)\r\n"
    "{var x = document.getElementById(ID); if (x == null) return; \r\n"
    "var ob = x.style;ob.display = (ob.display == 'inline-block') ? 'none' : 'inline-block';}\r\n"
    "</script>\r\n"
    "<style>.tClickable{font-weight:bold} .tClickable:hover{text-decoration:underline;cursor:pointer}</style>\r\n";

using PreviewHeader = PageGlobals;

TEST_F(PreviewHeader, DefaultsGiveTheApplicationTitleAndBlackOnWhite)
{
    std::string sOut = "before|";
    GetHTMLPreviewHeader(sOut, nullptr, false, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(sOut, "before|"
                    "<!DOCTYPE html>\r\n"
                    "<html DIR=\"LTR\">\r\n"
                    "<head>\r\n" +
                        s_sScripts + s_sFixed +
                        "<title>L\xC3\xAFntrado _\xCE\xB2_</title>\r\n"
                        "<style><!--\r\n"
                        ".Indent{margin-left:5pt;text-indent:-5pt;}\r\n"
                        "//-->\r\n"
                        "</style>\r\n"
                        "</head>\r\n"
                        "<body contentEditable=\"false\" scroll=\"auto\" text=\"#000000\" bgcolor=\"#FFFFFF\" >\r\n");
}

TEST_F(PreviewHeader, RightToLeftWithEveryExtra)
{
    const std::vector<std::string> aRules = {".a{color:red}", ".b{}"};
    const std::vector<std::string> aHead = {"<meta name=\"k\" content=\"v\">", "<base href=\"x\">"};
    std::string sOut;
    // A dark background given by the caller adds no link rules: those are for document colours only.
    GetHTMLPreviewHeader(sOut, "a<b>c", true, "id=\"top\"", "EEEEEE", "102030", &aRules, &aHead);
    EXPECT_EQ(
        sOut,
        "<!DOCTYPE html>\r\n"
        "<html DIR=\"RTL\">\r\n"
        "<head>\r\n" +
            s_sScripts +
            "<meta name=\"k\" content=\"v\">\r\n"
            "<base href=\"x\">\r\n" +
            s_sFixed +
            "<title>a_b_c</title>\r\n"
            "<style><!--\r\n"
            ".Indent{margin-right:5pt;text-indent:-5pt;}\r\n"
            ".a{color:red}\r\n"
            ".b{}\r\n"
            "//-->\r\n"
            "</style>\r\n"
            "</head>\r\n"
            "<body contentEditable=\"false\" scroll=\"auto\" text=\"#EEEEEE\" bgcolor=\"#102030\" id=\"top\">\r\n");
}

TEST_F(PreviewHeader, DocumentColoursAndLinkRulesOnADarkDocument)
{
    struct Case
    {
        const char* szBackground;
        const char* szForeground;
        const char* szBody;
        bool bLinkRules;
    };
    static const Case s_cases[] = {
        {"202020", "F0F0F0", "text=\"#F0F0F0\" bgcolor=\"#202020\"", true},
        {"FFFFE0", "101010", "text=\"#101010\" bgcolor=\"#FFFFE0\"", false},
        // Colours that are not six digits do not count: the defaults stand.
        {"222", "", "text=\"#000000\" bgcolor=\"#FFFFFF\"", false},
    };
    for (const Case& c : s_cases)
    {
        SCOPED_TRACE(c.szBackground);
        tcDocument doc;
        doc.CreateDoc("styled");
        doc.CreateEmptyOvraDTD();
        tcStyles* pStyles = doc.GetCurrentStyles();
        ASSERT_NE(pStyles, nullptr);
        auto pEntryStyle = std::make_unique<tcStyleElement>(doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY));
        pEntryStyle->SetColourB(c.szBackground);
        pEntryStyle->SetColourF(c.szForeground);
        pStyles->AddStyle(std::move(pEntryStyle));
        g_pDoc = &doc;

        std::string sOut;
        GetHTMLPreviewHeader(sOut, "t", false, nullptr, nullptr, nullptr, nullptr, nullptr);
        g_pDoc = nullptr;
        EXPECT_NE(sOut.find(std::string(c.szBody) + " >\r\n"), std::string::npos) << sOut;
        const std::string sLinkRules = ".Indent{margin-left:5pt;text-indent:-5pt;}\r\n"
                                       "a{color:#5060FF;text-decoration:none;}\r\n"
                                       "a:hover{color:#5060FF;text-decoration:underline}\r\n"
                                       "//-->";
        EXPECT_EQ(sOut.find(sLinkRules) != std::string::npos, c.bLinkRules) << sOut;
    }
}

TEST(HTMLPreviewURL, BlanksAndBackslashesBecomeAnAddress)
{
    struct Case
    {
        const char* szPath;
        const char* szURL;
    };
    static const Case s_cases[] = {
        {"D:\\My Files\\a.html", "D:/My%20Files/a.html"},
        {"/home/ann/My Data/About/Header.png", "/home/ann/My%20Data/About/Header.png"},
        {"file:////x", "file:///x"},
        {"file:///already/there", "file:///already/there"},
        {"", ""},
    };
    for (const Case& c : s_cases)
        EXPECT_EQ(MakeHTMLPreviewURL(c.szPath), c.szURL) << c.szPath;
}

TEST(HTMLLinks, OpenLinksGoToTheBrowserAndEverythingElseToTheView)
{
    struct Case
    {
        const wchar_t* szURL;
        bool bHandled;
        const char* szOpened; // null: nothing opened
    };
    static const Case s_cases[] = {
        {L"ovra://openlink:www.example.org/a/b?c=1", true, "http://www.example.org/a/b?c=1"},
        // A secure address is never downgraded.
        {L"ovra://openlink:https://secure.example.org/x", true, "https://secure.example.org/x"},
        {L"http://www.example.org/", false, nullptr},
        {L"OVRA://openlink:www.example.org", false, nullptr},
        {L"ovra://other:www.example.org", false, nullptr},
        {L"page2.html#top", false, nullptr},
        {nullptr, false, nullptr},
    };
    for (const Case& c : s_cases)
    {
        SCOPED_TRACE(c.szURL ? wxString(c.szURL).utf8_string() : std::string("(null)"));
        ShellRecorder shell;
        EXPECT_EQ(HandleHTMLLink(c.szURL), c.bHandled);
        if (c.szOpened)
        {
            ASSERT_EQ(shell.aTargets.size(), 1u);
            EXPECT_EQ(shell.aTargets[0], c.szOpened);
        }
        else
            EXPECT_TRUE(shell.aTargets.empty());
    }
}

TEST(HTMLPopupGeometry, FollowsTheParentOrTheDefaults)
{
    struct Case
    {
        const char* szWhat;
        bool bParent;
        wxRect parent;
        int x, y, nWidth, nHeight;
        wxRect expected;
    };
    static const Case s_cases[] = {
        {"beside a large parent", true, wxRect(100, 50, 900, 700), -1, -1, -1, -1, wxRect(110, 60, 450, 350)},
        {"tiny parent", true, wxRect(0, 0, 15, 15), -1, -1, -1, -1, wxRect(10, 10, 10, 10)},
        {"no parent", false, wxRect(), -1, -1, -1, -1, wxRect(-1, -1, 400, 300)},
        {"explicit geometry", true, wxRect(100, 50, 900, 700), 5, 6, 70, 80, wxRect(5, 6, 70, 80)},
        {"no parent, explicit position", false, wxRect(), 30, 40, 0, 0, wxRect(30, 40, 400, 300)},
    };
    for (const Case& c : s_cases)
        EXPECT_EQ(tHTMLPopupRect(c.bParent ? &c.parent : nullptr, c.x, c.y, c.nWidth, c.nHeight), c.expected)
            << c.szWhat;
}

TEST(HTMLViewStyles, TheSelectedSegmentFrameBecomesAnUnderline)
{
    struct Case
    {
        const char* szIn;
        const char* szOut; // null: unchanged
    };
    static const Case s_cases[] = {
        {"<p>x <span style=\"border-style: dotted;border-width:1pt;border-color:#FF0000\">sel</span></p>",
         "<p>x <span style=\"border-style: dotted;border-width:1pt;border-color:#FF0000;text-decoration:underline;"
         "color:#FF0000\">sel</span></p>"},
        {"<SPAN Style='border: 1pt dashed #00AA00;'>a</SPAN>",
         "<SPAN Style='border: 1pt dashed #00AA00;text-decoration:underline;color:#00AA00'>a</SPAN>"},
        // A colour of its own is kept; only the underline is added.
        {"<span style=\"border-style:dotted;color:#123456\">a</span>",
         "<span style=\"border-style:dotted;color:#123456;text-decoration:underline\">a</span>"},
        {"<span style=\"border-style:dotted;text-decoration:overline\">a</span>", nullptr},
        {"<span style=\"background-color:#CAE1F9\">untranslated</span>", nullptr},
        {"<span style=\"border-style:none\">a</span>", nullptr},
        {"<div style=\"border:1px solid #E0E0E0\">box</div>", nullptr},
        {"<span title='style=\"border-style:dotted\"'>a</span>", nullptr},
        {"a < b and border-style: dotted > c", nullptr},
        {"<span style=\"border-style:dotted\"", nullptr},
    };
    for (const Case& c : s_cases)
        EXPECT_EQ(tRewriteUndrawableStyles(c.szIn), c.szOut ? c.szOut : c.szIn) << c.szIn;
}

TEST(WebLayoutEngine, OnlyComponentZeroIsEverSelected)
{
    // The store finds its folders through the toolkit's application traits.
    wxInitializer toolkit;
    const std::string sHome = TempHomeListener::Current().string();
    tCreateConfigStore(wxString::FromUTF8(sHome + "/Lintrado.conf"), wxString());
    g_pConfig->Write("/WebLayoutEngine/SelectedBrowserComponent", 3L);
    g_pConfig->SetPath("/Window");

    tInitWebLayoutEngineSelection();
    EXPECT_EQ(tGetSelectedBrowserComponent(), 0);
    // Later readers of the store must know where it was left.
    EXPECT_EQ(g_pConfig->GetPath(), "/WebLayoutEngine");
    tDeleteConfigStore();

    AssertRecorder asserts;
    tInitWebLayoutEngineSelection();
    EXPECT_EQ(asserts.asExpressions, std::vector<std::string>{"[Soft]g_pConfig!=NULL"});
    EXPECT_EQ(tGetSelectedBrowserComponent(), 0);
}
} // namespace
