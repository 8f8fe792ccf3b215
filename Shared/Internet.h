#pragma once

#include "varnak/include/tcWork.h"

#include <wx/string.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

typedef void CURL;

// HTTP transfers over an ordered list of connection routes (direct, the desktop's proxy, a proxy
// the user names in "/Network" "UseProxy"). A transfer tries the routes in order; the first that
// works changes places with the first route and is remembered in "/Network"
// "PreferredConnection", so that the next transfer, also after a restart, tries it first.
//
// Transfers accept http and https only, also for redirects, and leave certificate checks on.

// One way to reach the network.
struct SConnectionRoute
{
    int m_nKind = 0;    // 0 direct, 1 through m_sProxy; other kinds are carried but select nothing
    wxString m_sProxy;  // "server:port"; empty for a direct route

    friend bool operator==(const SConnectionRoute&, const SConnectionRoute&) = default;
};

// True between a successful CURLInit and CURLDone. Any thread may read it.
extern std::atomic<bool> g_bCURLInitialized;
// The desktop's proxy as CURLInit read it; guarded with the route list (use tGetSystemProxy).
extern wxString g_sSystemProxy;
// The routes in the order transfers try them; guarded by a lock of this module, so read it
// through tGetConnectionRoutes from threads that transfer.
extern std::vector<SConnectionRoute> g_aConnectionRoutes;

// Starts libcurl and, on the first call of the process, builds the route list from the options.
// True when the layer runs (also when it ran already); false when libcurl could not start.
// Main thread.
bool CURLInit();
// Stops libcurl when it runs; the route list stays for a later CURLInit. Main thread, after every
// transfer has ended.
void CURLDone();

// Fetches sURL over the routes and returns the body collected (what failed attempts received
// stays in front of it; with a failed HTTP status nothing is received). pHeaders, when given, receives the response header lines as they came. Every
// attempt is limited to nConnectTimeout seconds for connecting and nTotalTimeout seconds in all
// (0: no total limit). An address longer than 16,383 bytes of UTF-8 is refused with a log line.
// Reports a soft assertion and returns empty when CURLInit has not run. Runs on the calling
// thread; any thread.
std::string tGetURL(const wxString& sURL, std::vector<std::string>* pHeaders, long nConnectTimeout,
                    long nTotalTimeout);

// Runs the prepared handle over each route in turn until one works; returns libcurl's code of
// the last attempt (0 on success; CURLE_FAILED_INIT when there is no route at all). An attempt
// stopped by the transfer's own progress callback ends the loop at once. Any thread.
int tGetURLPerformHelper(CURL* pCurl);

// Receive callbacks: append the bytes to the std::string, or each header line as one new string
// to the std::vector<std::string>; a null target drops them. Both return size * count.
size_t tCURLWriteStringCallback(char* pData, size_t nSize, size_t nCount, void* pString);
size_t tCURLWriteHeaderCallback(char* pData, size_t nSize, size_t nCount, void* pLines);

// A copy of the route list and of the system proxy, taken under the lock. Any thread.
std::vector<SConnectionRoute> tGetConnectionRoutes();
wxString tGetSystemProxy();
// "kind,proxy", as "PreferredConnection" stores a route.
wxString tRouteText(const SConnectionRoute& route);

// The route list CURLInit builds, without side effects: the system proxy (when set), then direct;
// a "UseProxy" value goes to the front; then the preferred route (read as stored, or as just
// written because of "UseProxy") moves to the front or is inserted there. sNewPreferred receives
// the text to store in "PreferredConnection", or stays empty when nothing is to be stored.
std::vector<SConnectionRoute> tBuildConnectionRoutes(const wxString& sSystemProxy, const wxString& sUseProxy,
                                                     const wxString& sStoredPreferred, wxString& sNewPreferred);

// Test hooks: forget the route list (the next CURLInit builds it again), and make CURLInit fail
// as if libcurl could not start.
void tResetConnectionRoutesForTest();
void tSetCURLInitFailureForTest(bool bFail);

// Uploads one file as a multipart form post ("file1" the file, "submit" = "send", then the extra
// fields in key order) on a work queue's thread, over the connection routes, with a number of
// immediate retries. When an upload was attempted, OnSendDone tells the outcome.
//
// An attempt waits 30 seconds at most to connect, gives up when less than one byte per second
// flows for 60 seconds, and ends after 600 seconds in all. An abort flag (SetAbortFlag) stops a
// running transfer at once: the item then ends without OnSendDone and without retries.
class tcWorkSendFile : public tcWork
{
public:
    // pFields may be null. The item belongs to the queue it is handed to.
    tcWorkSendFile(const std::wstring& sFilePath, const std::string& sURL,
                   const std::map<std::string, std::string>* pFields, int nRetries);
    ~tcWorkSendFile() override;

    // True when finished (also for a missing file or a failed upload); false when no transfer
    // handle could be made.
    bool DoWork() override;
    // Called once after every attempted upload, on the queue's thread: nResult is libcurl's code
    // (0 success; an HTTP status of 400 and above counts as failure), sResponse the last body.
    virtual void OnSendDone(int nResult, const std::wstring& sPath, const std::string& sResponse);

    // The flag is read during transfers; it must outlive the item's run. Before DoWork.
    void SetAbortFlag(const std::atomic<bool>* pAbort) { m_pAbort = pAbort; }
    // Shorter limits for tests (seconds; 0 leaves a limit off). Before DoWork.
    void SetTimeouts(long nConnect, long nLowSpeedTime, long nTotal);
    // True when the last DoWork was stopped by the abort flag.
    bool WasAborted() const { return m_bAborted; }

protected:
    int m_nRetriesLeft;
    int m_nRetriesDone = 0;
    std::wstring m_sFilePath;
    std::string m_sResponse;
    std::vector<std::string> m_asHeaderLines;
    std::vector<std::string> m_asTransferStrings;
    std::string m_sURL;
    std::map<std::string, std::string> m_mapFormFields;

private:
    friend size_t tSendFileWriteCallback(char* pData, size_t nSize, size_t nCount, void* pItem);
    static int ProgressCallback(void* pItem, long long, long long, long long, long long);

    const std::atomic<bool>* m_pAbort = nullptr;
    bool m_bAborted = false;
    long m_nConnectTimeout = 30;
    long m_nLowSpeedTime = 60;
    long m_nTotalTimeout = 600;
};

// Appends the received bytes to the tcWorkSendFile's response; a null item drops them.
size_t tSendFileWriteCallback(char* pData, size_t nSize, size_t nCount, void* pItem);
