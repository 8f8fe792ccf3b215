#include "app/DlgAbout.h"

#include "app/AppVersion.h"
#include "tests/harness/TempHome.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <gtest/gtest.h>
#include <wx/version.h>

#include <fstream>
#include <regex>
#include <string>

namespace
{
#if defined(__aarch64__)
const std::string s_szArchitecture = "arm64";
#else
const std::string s_szArchitecture = "x86_64";
#endif

class AboutPage : public testing::Test
{
protected:
    void SetUp() override
    {
        m_sAppName = g_sAppName;
        m_sAppDataPath = g_sAppDataPath;
        m_sDataPath = g_sDataPath;
        g_sAppName = "Lintrado";
        g_sAppDataPath = "/home/ann/.local/share/My Lintrado/";
        g_sDataPath = "/opt/lintrado/Data/";
        // Keys stand for their texts.
        g_LocEngine.Clear();
    }
    void TearDown() override
    {
        g_sAppName = m_sAppName;
        g_sAppDataPath = m_sAppDataPath;
        g_sDataPath = m_sDataPath;
    }

private:
    wxString m_sAppName;
    wxString m_sAppDataPath;
    wxString m_sDataPath;
};

TEST_F(AboutPage, Golden)
{
    std::string sPage = tMakeAboutPageHTML();

    // The build time is the only part that changes from build to build.
    const std::regex buildTime(R"(\[Build date/time: [A-Z][a-z]{2} [ 0-9]\d \d{4} \d\d:\d\d:\d\d\])");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(sPage, match, buildTime)) << sPage;
    sPage.replace(match.position(), match.length(), "[Build date/time: @]");

    const std::string sWx = std::to_string(wxMAJOR_VERSION) + "." + std::to_string(wxMINOR_VERSION) + "." +
                            std::to_string(wxRELEASE_NUMBER);
    const std::string sExpected =
        "<!DOCTYPE html>\r\n"
        "<html DIR=\"LTR\">\r\n"
        "<head>\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\r\n"
        "<script src=\"file:///opt/lintrado/Data/base64.js\"></script>\r\n"
        "<script>function tToggleVisibleInlineBlock(ID)\r\n"
        "{var x = document.getElementById(ID); if (x == null) return; \r\n"
        "var ob = x.style;ob.display = (ob.display == 'inline-block') ? 'none' : 'inline-block';}\r\n"
        "</script>\r\n"
        "<style>.tClickable{font-weight:bold} .tClickable:hover{text-decoration:underline;cursor:pointer}</style>\r\n"
        "<title>-</title>\r\n"
        "<style><!--\r\n"
        ".Indent{margin-left:5pt;text-indent:-5pt;}\r\n"
        "//-->\r\n"
        "</style>\r\n"
        "</head>\r\n"
        "<body contentEditable=\"false\" scroll=\"auto\" text=\"#000000\" bgcolor=\"#FFFFFF\" leftmargin=0 "
        "topmargin=0 marginwidth=0 marginheight=0 style=\"margin: 0; padding: 0; font-family: Arial\">\r\n"
        "<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" bgcolor=\"#FFFFFF\" width=\"512\"><tbody><tr><td>"
        "<p style=\"font-family: arial; font-size: 1em;\" align=\"left\">"
        "<img src=\"/home/ann/.local/share/My%20Lintrado/About/Header.png\" alt=\"[Lintrado]\" width=\"512\" "
        "height=\"60\"><br><br>"
        "&nbsp;&nbsp;<b>Lintrado</b> " +
        tGetAppVersion().utf8_string() + " (64-bit) [" + s_szArchitecture +
        "]<br>"
        "&nbsp;&nbsp;<b>ABOUT_SOFTWARE_DEVELOPMENT</b>: <a href=\"ovra://openlink:https://www.korvendel.example/\">"
        "Korvendel HLT</a><br>"
        "&nbsp;&nbsp;<b>ABOUT_ADVISOR</b>: <a href=\"ovra://openlink:www.korvendel.example/linguistics/\">Korvendel "
        "HLT linguistics team</a><br>"
        "<br>&nbsp;&nbsp;<font size=\"-1\" style=\"font-size:0.9em\"><i>[Build date/time: @] [App Core: v" +
        std::to_string(tGetAppMajorVersion()) + "] [DOM: v2] [wx:" + sWx +
        "] Lua 5.4</i></font>"
        "<br>"
        "<p><div style=\"background-color: #F5F5F5;border:1px solid #E0E0E0;padding:4px;font-size:0.8em;margin:6px;"
        "color:#03030\"><b>ABOUT_ACKNOWLEDGEMENTS</b><br>"
        "<br>&bull; The authors of <a href=\"ovra://openlink:https://www.wxwidgets.org/\">wxWidgets</a>, the toolkit "
        "of every window"
        "<br>&bull; <a href=\"ovra://openlink:https://www.libreoffice.org/\">LibreOffice</a>, in which the user guide "
        "was written"
        "<br>&bull; The <a href=\"ovra://openlink:tango.freedesktop.org/\">Tango Desktop Project</a>, for its icons"
        "</div></body></html>";
    EXPECT_EQ(sPage, sExpected);
}

TEST_F(AboutPage, NameAndTextsAreEscaped)
{
    g_sAppName = "Lin<&>trado";
    const std::string sCatalog = (TempHomeListener::Current() / "About.lang").string();
    std::ofstream(sCatalog) << "ABOUT_ADVISOR=R&D <team>\n";
    ASSERT_TRUE(g_LocEngine.LoadLocStrings(wxString::FromUTF8(sCatalog), true, true));
    const std::string sPage = tMakeAboutPageHTML();
    g_LocEngine.Clear();
    EXPECT_NE(sPage.find("<b>R&amp;D &lt;team&gt;</b>: "), std::string::npos);
    EXPECT_NE(sPage.find("alt=\"[Lin&lt;&amp;&gt;trado]\""), std::string::npos);
    EXPECT_NE(sPage.find("<b>Lin&lt;&amp;&gt;trado</b>"), std::string::npos);
    EXPECT_EQ(sPage.find("Lin<&>trado"), std::string::npos);
    // No web link is left for the view to follow by itself.
    EXPECT_EQ(sPage.find("href=\"http"), std::string::npos);
}
} // namespace
