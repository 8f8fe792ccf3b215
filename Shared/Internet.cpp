#include "Shared/Internet.h"

#include "Shared/Options.h"
#include "platform/SystemProxy.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcThreads.h"

#include <curl/curl.h>
#include <wx/app.h>
#include <wx/log.h>

#include <algorithm>
#include <mutex>

std::atomic<bool> g_bCURLInitialized{false};
wxString g_sSystemProxy;
std::vector<SConnectionRoute> g_aConnectionRoutes;

namespace
{
constexpr size_t kMaxURLBytes = 16383;
constexpr size_t kMaxProxyBytes = 8191;
const wchar_t* const kNetworkGroup = L"/Network";

// Guards g_aConnectionRoutes and g_sSystemProxy: the user-interface thread and the sender's
// queue thread both transfer.
std::mutex s_routesLock;
std::atomic<bool> s_bFailInitForTest{false};

void WritePreferred()
{
    wxString sFirst;
    {
        std::lock_guard<std::mutex> lock(s_routesLock);
        if (g_aConnectionRoutes.empty())
            return;
        sFirst = tRouteText(g_aConnectionRoutes.front());
    }
    tGetOptions()->SetString(kNetworkGroup, L"PreferredConnection", sFirst);
}

// Stores the route that is first now. The option set belongs to the main thread: a worker hands
// the write over, and the main thread writes whatever route is first by then, so the stored
// preference ends equal to the list however the swaps of several threads interleave.
void StorePreferred()
{
    if (tcThreads::IsMainThread())
        WritePreferred();
    // The console application's instance: this library does not link the GUI application class.
    else if (wxAppConsole* pApp = wxAppConsole::GetInstance())
        pApp->CallAfter([] { WritePreferred(); });
}
} // namespace

wxString tRouteText(const SConnectionRoute& route)
{
    return wxString::Format(L"%d,%s", route.m_nKind, route.m_sProxy);
}

std::vector<SConnectionRoute> tBuildConnectionRoutes(const wxString& sSystemProxy, const wxString& sUseProxy,
                                                     const wxString& sStoredPreferred, wxString& sNewPreferred)
{
    sNewPreferred.clear();
    std::vector<SConnectionRoute> aRoutes;
    if (!sSystemProxy.empty())
        aRoutes.push_back({1, sSystemProxy});
    aRoutes.push_back({0, wxString()});

    wxString sPreferred = sStoredPreferred;
    if (!sUseProxy.empty())
    {
        const SConnectionRoute useProxy{1, sUseProxy};
        auto it = std::find(aRoutes.begin(), aRoutes.end(), useProxy);
        if (it == aRoutes.end())
            aRoutes.insert(aRoutes.begin(), useProxy);
        else if (it != aRoutes.begin())
            std::iter_swap(aRoutes.begin(), it);
        sPreferred = sNewPreferred = tRouteText(aRoutes.front());
    }

    if (sPreferred.empty())
    {
        sNewPreferred = tRouteText(aRoutes.front());
        return aRoutes;
    }
    std::vector<wxString> aParts;
    if (tStrTok(sPreferred, L",", L"\"", aParts) < 1)
        return aRoutes;
    long nKind = 0;
    if (!aParts[0].ToLong(&nKind) || nKind < INT_MIN || nKind > INT_MAX)
        nKind = 0;
    const SConnectionRoute preferred{static_cast<int>(nKind), aParts.size() > 1 ? aParts[1] : wxString()};
    auto it = std::find(aRoutes.begin(), aRoutes.end(), preferred);
    if (it == aRoutes.end())
        aRoutes.insert(aRoutes.begin(), preferred);
    else if (it != aRoutes.begin())
        std::iter_swap(aRoutes.begin(), it);
    return aRoutes;
}

bool CURLInit()
{
    tcDebugInfo debugInfo("CURLInit");
    tcLog::LogStr("CURLInit");
    if (g_bCURLInitialized)
        return true;
    if (s_bFailInitForTest || curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK)
        return false;
    g_bCURLInitialized = true;

    const wxString sSystemProxy = tReadSystemProxy();
    bool bBuild = false;
    {
        std::lock_guard<std::mutex> lock(s_routesLock);
        g_sSystemProxy = sSystemProxy;
        bBuild = g_aConnectionRoutes.empty();
    }
    if (!bBuild)
        return true;

    tcOptions* pOptions = tGetOptions();
    pOptions->AddProperty(tTYPE_STRING, kNetworkGroup, L"PreferredConnection", wxString(), wxString());
    pOptions->AddProperty(tTYPE_STRING, kNetworkGroup, L"UseProxy", wxString(),
                          L"If configured, network access always tries to use this proxy first before trying other "
                          L"options. Format is server:port.");
    wxString sNewPreferred;
    const std::vector<SConnectionRoute> aRoutes =
        tBuildConnectionRoutes(sSystemProxy, pOptions->GetString(kNetworkGroup, L"UseProxy", wxString()),
                               pOptions->GetString(kNetworkGroup, L"PreferredConnection", wxString()), sNewPreferred);
    for (const SConnectionRoute& route : aRoutes)
        kvLog(L"NETCONN:%d,%s", route.m_nKind, route.m_sProxy);
    if (!sNewPreferred.empty())
        pOptions->SetString(kNetworkGroup, L"PreferredConnection", sNewPreferred);
    {
        std::lock_guard<std::mutex> lock(s_routesLock);
        g_aConnectionRoutes = aRoutes;
    }
    return true;
}

void CURLDone()
{
    tcDebugInfo debugInfo("CURLDone");
    if (!g_bCURLInitialized)
        return;
    curl_global_cleanup();
    g_bCURLInitialized = false;
}

size_t tCURLWriteStringCallback(char* pData, size_t nSize, size_t nCount, void* pString)
{
    if (pString)
        static_cast<std::string*>(pString)->append(pData, nSize * nCount);
    return nSize * nCount;
}

size_t tCURLWriteHeaderCallback(char* pData, size_t nSize, size_t nCount, void* pLines)
{
    if (pLines)
        static_cast<std::vector<std::string>*>(pLines)->emplace_back(pData, nSize * nCount);
    return nSize * nCount;
}

std::vector<SConnectionRoute> tGetConnectionRoutes()
{
    std::lock_guard<std::mutex> lock(s_routesLock);
    return g_aConnectionRoutes;
}

wxString tGetSystemProxy()
{
    std::lock_guard<std::mutex> lock(s_routesLock);
    return g_sSystemProxy;
}

void tResetConnectionRoutesForTest()
{
    std::lock_guard<std::mutex> lock(s_routesLock);
    g_aConnectionRoutes.clear();
}

void tSetCURLInitFailureForTest(bool bFail)
{
    s_bFailInitForTest = bFail;
}

int tGetURLPerformHelper(CURL* pCurl)
{
    tcDebugInfo debugInfo("tGetURLPerformHelper");
    // A snapshot: another thread may reorder the list while this one transfers.
    const std::vector<SConnectionRoute> aRoutes = tGetConnectionRoutes();
    CURLcode nResult = CURLE_FAILED_INIT; // no route at all is a failure, never a success
    for (size_t i = 0; i < aRoutes.size(); ++i)
    {
        const SConnectionRoute& route = aRoutes[i];
        kvLog(L"TRY:%d,%s", route.m_nKind, route.m_sProxy);
        if (route.m_nKind == 0)
            curl_easy_setopt(pCurl, CURLOPT_PROXY, "");
        else if (route.m_nKind == 1)
        {
            const std::string sProxy = tToUTF8(route.m_sProxy);
            if (sProxy.size() > kMaxProxyBytes)
            {
                kvLog(L"TRY: proxy of %d bytes is too long, route skipped", static_cast<int>(sProxy.size()));
                continue;
            }
            curl_easy_setopt(pCurl, CURLOPT_PROXY, sProxy.c_str()); // libcurl keeps a copy
        }
        kvLogN(L"curlperf:");
        nResult = curl_easy_perform(pCurl);
        kvLog(L"RET:%d", static_cast<int>(nResult));
        if (nResult == CURLE_OK)
        {
            bool bSwapped = false;
            {
                std::lock_guard<std::mutex> lock(s_routesLock);
                // By value: the list may have been reordered since the snapshot.
                auto it = std::find(g_aConnectionRoutes.begin(), g_aConnectionRoutes.end(), route);
                if (it != g_aConnectionRoutes.end() && it != g_aConnectionRoutes.begin())
                {
                    std::iter_swap(g_aConnectionRoutes.begin(), it);
                    bSwapped = true;
                }
            }
            if (bSwapped)
                StorePreferred();
            return CURLE_OK;
        }
        if (nResult == CURLE_ABORTED_BY_CALLBACK)
            return nResult; // the caller stopped the transfer: no other route either
    }
    tcLog::LogStr("GetURL:All failed");
    return nResult;
}

std::string tGetURL(const wxString& sURL, std::vector<std::string>* pHeaders, long nConnectTimeout,
                    long nTotalTimeout)
{
    tcDebugInfo debugInfo("tGetURL");
    if (tSoftAssert(g_bCURLInitialized, "Internet", 661, "g_bCURLInitialized"))
        return std::string();
    const std::string sURLBytes = tToUTF8(sURL);
    if (sURLBytes.size() > kMaxURLBytes)
    {
        // A cut address could end inside an escape and would send something else than meant.
        kvLog(L"GetURL: address of %d bytes is too long, not fetched", static_cast<int>(sURLBytes.size()));
        return std::string();
    }
    CURL* pCurl = curl_easy_init();
    if (!pCurl)
        return std::string();

    std::string sBody;
    kvLog(L"GetURL: 2");
    curl_easy_setopt(pCurl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(pCurl, CURLOPT_NOPROGRESS, 1L);
    curl_easy_setopt(pCurl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(pCurl, CURLOPT_CONNECTTIMEOUT, nConnectTimeout);
    curl_easy_setopt(pCurl, CURLOPT_TIMEOUT, nTotalTimeout);
    kvLog(L"GetURL: 3");
    curl_easy_setopt(pCurl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(pCurl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(pCurl, CURLOPT_URL, sURLBytes.c_str());
    curl_easy_setopt(pCurl, CURLOPT_WRITEFUNCTION, tCURLWriteStringCallback);
    curl_easy_setopt(pCurl, CURLOPT_WRITEDATA, &sBody);
    if (pHeaders)
    {
        curl_easy_setopt(pCurl, CURLOPT_HEADERDATA, pHeaders);
        curl_easy_setopt(pCurl, CURLOPT_HEADERFUNCTION, tCURLWriteHeaderCallback);
    }
    curl_easy_setopt(pCurl, CURLOPT_USERAGENT, "Mozilla/5.0 (Windows NT 10.0) AppleWebKit/537.36 (KHTML, like Gecko) "
                                               "Chrome/72.0.3626.121 Safari/537.36");
    curl_easy_setopt(pCurl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(pCurl, CURLOPT_MAXREDIRS, 30L);

    tGetURLPerformHelper(pCurl);
    curl_easy_cleanup(pCurl);
    return sBody;
}
