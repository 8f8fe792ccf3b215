// Assertion reports: the report address, and what soft and hard assertions send or open, with the
// report service pointed at a loopback server.
#include "app/AssertHandlerApp.h"

#include "tests/Shared/NetFixture.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tShell.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"

#include <vector>

namespace
{
tcReportValues Values()
{
    tcReportValues values;
    values.sAppID = "Lintrado1N";
    values.sVersion = "1.0.0.0";
    values.sDate = "2026-12-11 03:04:05";
    values.sOS = "Linux 6.1";
    values.sBuildDate = "Dec 11 2026 01:02:03";
    values.sType = "assert";
    values.sGUID = "ID-1";
    values.sData = "Frame::Paint > Grid";
    return values;
}

TEST(ReportAddress, CarriesItsKeysInOrderEscaped)
{
    const wxString sHead = "https://r.example/app/report.php?app=Lintrado1N&version=1.0.0.0"
                           "&date=2026-12-11%2003%3A04%3A05&os=Linux%206.1&builddate=Dec%2011%202026%2001%3A02%3A03";
    struct Case
    {
        const char* szWhat;
        tcReportValues values;
        wxString sExpected;
    };
    tcReportValues hard = Values();
    hard.bHasAssert = true;
    hard.sAssert = "p!=NULL (Grid.cpp:12)";
    tcReportValues noId = hard;
    noId.sGUID.clear();
    tcReportValues fatal = Values();
    fatal.sType = "exception";
    fatal.sGUID = "0123456789ABCDEF0123456789ABCDEF";
    tcReportValues escaping = hard;
    escaping.sAssert = L"a&b 100% \u00e9\u4e2d (x.cpp:1)";
    escaping.sData.clear();
    const Case aCases[] = {
        {"assertion", hard,
         sHead + "&type=assert&guid=ID-1&assert=p%21%3DNULL%20%28Grid.cpp%3A12%29&data=Frame%3A%3APaint%20%3E%20Grid"},
        {"null identifier", noId,
         sHead + "&type=assert&guid=&assert=p%21%3DNULL%20%28Grid.cpp%3A12%29&data=Frame%3A%3APaint%20%3E%20Grid"},
        {"fatal exception", fatal,
         sHead + "&type=exception&guid=0123456789ABCDEF0123456789ABCDEF&data=Frame%3A%3APaint%20%3E%20Grid"},
        {"escaping", escaping,
         sHead + "&type=assert&guid=ID-1&assert=a%26b%20100%25%20%C3%A9%E4%B8%AD%20%28x.cpp%3A1%29&data="},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(c.sExpected, tBuildReportAddress("https://r.example", c.values)) << c.szWhat;
}

TEST(ReportAddress, AnOverLongStackIsShortenedByWholeCharacters)
{
    tcReportValues values = Values();
    values.sData = wxString(L'a', 10000) + wxString(L'\u00e9', 3000);
    const wxString sAddress = tBuildReportAddress("https://r.example", values);
    const std::string sBytes = sAddress.utf8_string();
    EXPECT_LE(sBytes.size(), kMaxReportAddressBytes);
    EXPECT_GT(sBytes.size(), kMaxReportAddressBytes - 6); // one escaped character did not fit
    // The kept part ends on a whole escaped character.
    const size_t nData = sAddress.find("&data=") + 6;
    const wxString sData = sAddress.Mid(nData);
    EXPECT_TRUE(sData.EndsWith("%C3%A9")) << sData.Right(10);
    EXPECT_EQ(0u, (sData.length() - 10000) % 6);
}

TEST(ReportAddress, ApplicationIdMarksDevelopmentBuilds)
{
    const wxString sSaved = g_sAppPath;
    g_sAppPath = "/opt/lintrado";
    EXPECT_EQ("Lintrado1N", GetApplicationID());
    for (const char* szPath : {"/home/a/Korvendel/Source/build", "C:\\Korvendel\\Source\\x"})
    {
        g_sAppPath = szPath;
        EXPECT_EQ("Lintrado1N[dev]", GetApplicationID()) << szPath;
    }
    g_sAppPath = sSaved;
}

class AssertReport : public NetFixture
{
protected:
    void SetUp() override
    {
        NetFixture::SetUp();
        InitWith("");
        tApp()->SetAsserting(false);
        tRegisterAssertHandler(&m_handler);
        tSetShellExecuteHook(
            [this](const wxString& sTarget, const wxString&)
            {
                m_asOpened.push_back(sTarget);
                return true;
            });
    }

    void TearDown() override
    {
        tSetShellExecuteHook(nullptr);
        tUnregisterAssertHandler(&m_handler);
        tApp()->SetAsserting(false);
        NetFixture::TearDown();
    }

    void PointAt(const LoopbackServer& server)
    {
        g_pConfig->Write("/App/FaultReports/ServiceAddress", wxString::FromUTF8(server.BaseURL()));
    }

    tcAssertHandlerApp m_handler;
    std::vector<wxString> m_asOpened;
};

TEST_F(AssertReport, ASoftAssertionSendsOneRequestAndOpensNothing)
{
    LoopbackServer server;
    PointAt(server);
    tSoftAssert(false, "Grid.cpp", 42, "nRow<nRows", L"shown");
    ASSERT_EQ(1u, server.RequestCount());
    const std::string sTarget = server.Requests()[0].sTarget;
    EXPECT_EQ(0u, sTarget.rfind("/app/report.php?app=Lintrado1N", 0)) << sTarget;
    EXPECT_NE(std::string::npos, sTarget.find("&type=assert&guid=&assert=%5BSoft%5DnRow%3CnRows%20-%20shown%20%28Grid.cpp%3A42%29&data="))
        << sTarget;
    EXPECT_TRUE(m_asOpened.empty());
    EXPECT_FALSE(tApp()->IsAsserting());

    // The next one is sent too.
    tSoftAssert(false, "Grid.cpp", 43, "again");
    EXPECT_EQ(2u, server.RequestCount());
}

TEST_F(AssertReport, ASoftAssertionSendsNothingWhenItMayNotOrCannot)
{
    LoopbackServer server;
    struct Case
    {
        const char* szWhat;
        bool bService;
        bool bAllow;
        bool bNetwork;
    };
    const Case aCases[] = {
        {"network not ready", true, true, false},
        {"AllowSend off", true, false, true},
        {"no service address", false, true, true},
    };
    for (const Case& c : aCases)
    {
        g_pConfig->DeleteEntry("/App/FaultReports/ServiceAddress");
        if (c.bService)
            PointAt(server);
        g_pConfig->Write("/App/FaultReports/AllowSend", c.bAllow);
        CURLDone();
        tSetCURLInitFailureForTest(!c.bNetwork);
        tSoftAssert(false, "Grid.cpp", 42, "nRow<nRows");
        EXPECT_EQ(0u, server.RequestCount()) << c.szWhat;
        EXPECT_TRUE(m_asOpened.empty()) << c.szWhat;
        EXPECT_FALSE(tApp()->IsAsserting()) << c.szWhat;
    }
}

TEST_F(AssertReport, AHardAssertionOpensTheBrowserOncePerRun)
{
    LoopbackServer server;
    PointAt(server);
    tcDebugInfo scope("VRGrid::Redraw");
    tAssert("Grid.cpp", 7, "pRet!=NULL", L"GUID-1");
    ASSERT_EQ(1u, m_asOpened.size());
    const wxString sOpened = m_asOpened[0];
    EXPECT_TRUE(sOpened.StartsWith(wxString::FromUTF8(server.BaseURL()) + "/app/report.php?app=")) << sOpened;
    EXPECT_TRUE(sOpened.Contains("&type=assert&guid=GUID-1&assert=" + tURLEscape("pRet!=NULL (Grid.cpp:7)") +
                                 "&data=" + tURLEscape("VRGrid::Redraw")))
        << sOpened;
    EXPECT_EQ(0u, server.RequestCount());

    // A paint handler that fails on every paint must not open a tab per paint.
    tcLogCapture log;
    tAssert("Grid.cpp", 7, "pRet!=NULL", L"GUID-1");
    tSoftAssert(false, "Grid.cpp", 8, "soft");
    EXPECT_EQ(1u, m_asOpened.size());
    EXPECT_EQ(0u, server.RequestCount());
    EXPECT_TRUE(log.Contains("only logged"));
}

TEST_F(AssertReport, WithoutAStoreReportsAreOnlyLogged)
{
    LoopbackServer server;
    PointAt(server);
    tDeleteConfigStore();
    tAssert("Grid.cpp", 7, "pRet!=NULL");
    tApp()->SetAsserting(false);
    tSoftAssert(false, "Grid.cpp", 8, "soft");
    EXPECT_TRUE(m_asOpened.empty());
    EXPECT_EQ(0u, server.RequestCount());
    OpenStore();
}
} // namespace
