#include "app/AssertHandlerApp.h"

#include "Shared/AppUtils_sharedText.h"
#include "Shared/Internet.h"
#include "app/AppVersion.h"
#include "app/SystemInfoBlock.h"
#include "net/ReportService.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tShell.h"
#include "varnak/include/tString.h"
#include "varnak/include/tSystem.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcThreads.h"

#include <wx/app.h>
#include <wx/busyinfo.h>
#include <wx/datetime.h>
#include <wx/evtloop.h>

#include <memory>

namespace
{
// Bytes that a value's character takes once escaped.
size_t EscapedLength(wxUniChar c)
{
    const wxUniChar::value_type v = c.GetValue();
    if ((v >= 'a' && v <= 'z') || (v >= 'A' && v <= 'Z') || (v >= '0' && v <= '9') || v == '-' || v == '.' ||
        v == '_' || v == '~')
        return 1;
    return 3 * tToUTF8(wxString(c)).size();
}

void OpenInBrowser(const wxString& sAddress)
{
    if (tcThreads::IsMainThread())
        tShellExecute(sAddress);
    else if (wxAppConsole* pApp = wxAppConsole::GetInstance())
        pApp->CallAfter([sAddress] { tShellExecute(sAddress); });
}
} // namespace

wxString tBuildReportAddress(const wxString& sService, const tcReportValues& values)
{
    wxString s = sService + "/app/report.php?app=" + tURLEscape(values.sAppID);
    s += "&version=" + tURLEscape(values.sVersion);
    s += "&date=" + tURLEscape(values.sDate);
    s += "&os=" + tURLEscape(values.sOS);
    s += "&builddate=" + tURLEscape(values.sBuildDate);
    s += "&type=" + tURLEscape(values.sType);
    s += "&guid=" + tURLEscape(values.sGUID);
    if (values.bHasAssert)
        s += "&assert=" + tURLEscape(values.sAssert);
    s += "&data=";
    // Shortened before escaping, so no escape is ever cut in half.
    const size_t nUsed = tToUTF8(s).size();
    size_t nBudget = nUsed < kMaxReportAddressBytes ? kMaxReportAddressBytes - nUsed : 0;
    size_t nKeep = 0;
    for (wxUniChar c : values.sData)
    {
        const size_t n = EscapedLength(c);
        if (n > nBudget)
            break;
        nBudget -= n;
        ++nKeep;
    }
    return s + tURLEscape(values.sData.Left(nKeep));
}

wxString GetApplicationID()
{
    return wxString::Format("Lintrado%dN%s", tGetAppMajorVersion(), tIsDevelopmentBuild() ? "[dev]" : "");
}

tcReportValues tCurrentReportValues(const wxString& sType)
{
    tcLiveSysInfo info;
    const wxDateTime now = wxDateTime::Now();
    tcReportValues values;
    values.sAppID = GetApplicationID();
    values.sVersion = tGetAppVersion();
    values.sDate = now.FormatISODate() + " " + now.FormatISOTime();
    values.sOS = tGetOSName(tGetOSVersion());
    values.sBuildDate = wxString::Format("%s %s", info.GetBuildDate(), info.GetBuildTime());
    values.sType = sType;
    return values;
}

void tcAssertHandlerApp::OnAssert(const char* szFile, int nLine, const char* szExpression,
                                  const wchar_t* szIdentifier)
{
    if (tApp()->IsAsserting())
    {
        kvLog(L"Assertion report: another report is made or was opened; this one is only logged");
        return;
    }
    tApp()->SetAsserting(true);

    const wxString sExpression = kvMBToWC(szExpression, KV_CONV_UTF8);
    const wxString sFile = kvMBToWC(szFile, KV_CONV_UTF8);
    tcReportValues values = tCurrentReportValues("assert");
    values.sGUID = szIdentifier ? wxString(szIdentifier) : wxString();
    values.bHasAssert = true;
    values.sAssert = wxString::Format("%s (%s:%d)", sExpression, sFile, nLine);
    values.sData = tDebugContextString();
    const wxString sService = tGetAllowedReportService();
    const wxString sAddress = sService.empty() ? wxString() : tBuildReportAddress(sService, values);

    if (!sExpression.StartsWith("[Soft]"))
    {
        if (sAddress.empty())
            kvLog(L"Assertion report: no report service, or sending is off; not opened");
        else
            OpenInBrowser(sAddress);
        return; // the flag stays set: later assertions of this run are only logged
    }

    const bool bMain = tcThreads::IsMainThread();
    std::unique_ptr<wxBusyInfo> pBusy;
    // Not wxTheApp: window-free programs run a console application, which is no wxApp.
    const wxAppConsole* pApp = wxAppConsole::GetInstance();
    if (bMain && pApp && pApp->IsGUI() && !tApp()->GetNoUserInteraction())
    {
        pBusy = std::make_unique<wxBusyInfo>(
            "Sending error report, please wait a few moments - you should then be able to continue working ...");
        // The fetch blocks this thread: the message must reach the screen first. Drawing only, so
        // no command or timer can run in the middle of a report.
        if (wxEventLoopBase* pLoop = wxEventLoopBase::GetActive())
            pLoop->YieldFor(wxEVT_CATEGORY_UI);
    }
    if (sAddress.empty())
        kvLog(L"Assertion report: no report service, or sending is off; not sent");
    // The network layer starts on the main thread only; elsewhere it must run already.
    else if (bMain ? CURLInit() : g_bCURLInitialized.load())
        tGetURL(sAddress, nullptr, 30, 60);
    tApp()->SetAsserting(false);
}

void tRegisterAppAssertHandler()
{
    static tcAssertHandlerApp s_handler;
    tcErrorHandlers::RegisterAssertHandler(&s_handler);
}
