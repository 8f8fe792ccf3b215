#include "Shared/ErrorBoundary.h"

#include "Shared/UserPrompts.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcThreads.h"

#include <wx/defs.h>

#include <exception>

wxString tDescribeCurrentException()
{
    try
    {
        throw;
    }
    catch (const TextFailure& e)
    {
        return e.GetText();
    }
    catch (const std::exception& e)
    {
        return wxString::FromUTF8(e.what());
    }
    catch (...)
    {
    }
    return "unknown error";
}

void tReportCurrentException(const wxString& sWhere, wxWindow* pParent) noexcept
{
    try
    {
        const wxString sReason = tDescribeCurrentException();
        kvLogError(L"EXCEPTION in %s: %s", sWhere, sReason);
        if (!tcThreads::IsMainThread())
            return;
        wxString sText = g_LocEngine.FindTranslation("ERROR_UNEXPECTED");
        // A catalog without the placeholder (or without the key) must not hide the reason.
        if (!sText.Replace("%1", sReason, false))
            sText += "\n" + sReason;
        tUserPrompts().ShowMessage(sText, g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR,
                                   pParent);
    }
    catch (...)
    {
        // Nothing may leave the boundary; the log is the last resort and may be what failed.
        try
        {
            kvLogError(L"EXCEPTION while reporting an exception in %s", sWhere);
        }
        catch (...)
        {
        }
    }
}
