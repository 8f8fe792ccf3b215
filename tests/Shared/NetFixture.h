#pragma once

#include "Shared/Internet.h"
#include "platform/SystemProxy.h"
#include "tests/Shared/OptionsFixture.h"
#include "tests/harness/LoopbackServer.h"

#include <wx/app.h>

#include <cstdlib>

// The options fixture with the network layer reset around each test: no system proxy (and no
// proxy variables that libcurl could pick up itself), no stored routes, a watchdog, libcurl
// stopped afterwards.
class NetFixture : public OptionsFixture
{
protected:
    void SetUp() override
    {
        OptionsFixture::SetUp();
        tGetOptions()->Clear();
        for (const char* szName : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            unsetenv(szName);
        SetSystemProxy(wxString());
        tResetConnectionRoutesForTest();
        tSetCURLInitFailureForTest(false);
    }

    void TearDown() override
    {
        CURLDone();
        tResetConnectionRoutesForTest();
        tSetSystemProxyOverride(nullptr);
        tSetCURLInitFailureForTest(false);
        tGetOptions()->Clear();
        OptionsFixture::TearDown();
    }

    static void SetSystemProxy(const wxString& sProxy) { tSetSystemProxyOverride(&sProxy); }

    // Starts the layer with these settings and returns the routes it built.
    static std::vector<SConnectionRoute> InitWith(const wxString& sSystemProxy, const wxString& sUseProxy = wxString())
    {
        SetSystemProxy(sSystemProxy);
        if (!sUseProxy.empty())
            tGetOptions()->SetString("/Network", "UseProxy", sUseProxy);
        EXPECT_TRUE(CURLInit());
        return tGetConnectionRoutes();
    }

    static wxString Preferred() { return tGetOptions()->GetString("/Network", "PreferredConnection", "<none>"); }

    // Runs what worker threads handed to the main thread.
    static void RunMainThreadCalls()
    {
        if (wxAppConsole* pApp = wxAppConsole::GetInstance())
            pApp->ProcessPendingEvents();
    }

    static wxString Proxy(const LoopbackServer& server) { return wxString::FromUTF8(server.HostPort()); }
    static wxString RefusingProxy() { return wxString::Format("127.0.0.1:%d", LoopbackServer::RefusingPort()); }

    Watchdog m_watchdog{120};
};
