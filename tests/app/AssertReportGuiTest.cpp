// The busy message of a soft assertion report, on a real display, while the report service (a
// loopback server) takes its time.
#include "app/AssertHandlerApp.h"

#include "Shared/Internet.h"
#include "Shared/Options.h"
#include "platform/SystemProxy.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/LoopbackServer.h"
#include "tests/harness/TestFiles.h"
#include "varnak/include/tcAppContext.h"

#include <wx/app.h>
#include <wx/toplevel.h>

#include <cstdlib>

namespace
{
class SoftAssertionReport : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        tCreateConfigStore(HomePath("Lintrado.conf"), wxString());
        const wxString sNoProxy;
        tSetSystemProxyOverride(&sNoProxy);
        tResetConnectionRoutesForTest();
        tApp()->SetAsserting(false);
        tRegisterAssertHandler(&m_handler);
    }

    void TearDown() override
    {
        tUnregisterAssertHandler(&m_handler);
        tApp()->SetAsserting(false);
        CURLDone();
        tResetConnectionRoutesForTest();
        tSetSystemProxyOverride(nullptr);
        tDeleteConfigStore();
        GuiTest::TearDown();
    }

    tcAssertHandlerApp m_handler;
    Watchdog m_watchdog{120};
};

// The number of top-level windows shown now.
int ShownTopLevelWindows()
{
    int n = 0;
    for (wxWindow* pWindow : wxTopLevelWindows)
        n += pWindow->IsShown() ? 1 : 0;
    return n;
}

TEST_F(SoftAssertionReport, ShowsTheBusyMessageWhileSendingAndRemovesItAfterwards)
{
    LoopbackServer server;
    g_pConfig->Write("/App/FaultReports/ServiceAddress", wxString::FromUTF8(server.BaseURL()));
    bool bShot = false;
    const char* szDir = std::getenv("LINTRADO_SCREENSHOT_DIR");
    const std::string sShot = szDir && *szDir ? std::string(szDir) + "/soft-assertion-busy.png" : std::string();
    server.SetResponder(
        [&](const LoopbackServer::Request&)
        {
            // The main thread waits for this answer with the busy message on screen.
            if (!sShot.empty())
                bShot = std::system(("import -window root '" + sShot + "'").c_str()) == 0;
            return LoopbackServer::Reply{};
        });
    const int nBefore = ShownTopLevelWindows();
    // Raised inside the event loop, as the program's assertions are.
    bool bDone = false;
    wxTheApp->CallAfter(
        [&]
        {
            tSoftAssert(false, "Grid.cpp", 42, "nRow<nRows");
            bDone = true;
        });
    ASSERT_TRUE(PumpUntil([&] { return bDone; }, 60000));
    EXPECT_EQ(1u, server.RequestCount());
    EXPECT_FALSE(tApp()->IsAsserting());
    PumpEvents(50);
    EXPECT_EQ(nBefore, ShownTopLevelWindows());
    EXPECT_TRUE(sShot.empty() || bShot);
}
} // namespace
