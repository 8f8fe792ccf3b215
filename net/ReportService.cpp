#include "net/ReportService.h"

#include "Shared/Options.h"
#include "varnak/include/kvLog.h"

#include <wx/confbase.h>

namespace
{
// A scheme of http or https, then a host without blanks or control characters.
bool IsWebAddress(const wxString& sAddress)
{
    const wxString sLower = sAddress.Lower();
    size_t nHost = 0;
    if (sLower.StartsWith("http://"))
        nHost = 7;
    else if (sLower.StartsWith("https://"))
        nHost = 8;
    else
        return false;
    if (sAddress.length() <= nHost || sAddress[nHost] == '/')
        return false;
    for (wxUniChar c : sAddress)
    {
        if (c.GetValue() <= ' ' || c.GetValue() == 0x7F)
            return false;
    }
    return true;
}
} // namespace

wxString tGetReportServiceAddress()
{
    if (!g_pConfig)
        return wxString();
    wxString sAddress;
    g_pConfig->Read("/App/FaultReports/ServiceAddress", &sAddress);
    sAddress.Trim(true).Trim(false);
    if (sAddress.empty())
        return wxString();
    if (!IsWebAddress(sAddress))
    {
        kvLog(L"FaultReports: ServiceAddress \"%s\" is no http or https address; reports are not sent", sAddress);
        return wxString();
    }
    while (sAddress.EndsWith("/"))
        sAddress.RemoveLast();
    return sAddress;
}

bool tIsReportSendingAllowed()
{
    if (!g_pConfig)
        return false;
    bool bAllow = true;
    g_pConfig->Read("/App/FaultReports/AllowSend", &bAllow, true);
    return bAllow;
}

wxString tGetAllowedReportService()
{
    return tIsReportSendingAllowed() ? tGetReportServiceAddress() : wxString();
}
