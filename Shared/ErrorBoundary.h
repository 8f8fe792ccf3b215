#pragma once

#include <wx/string.h>

#include <utility>

class wxWindow;

// The one place where an exception that nobody handled ends, at the edge of the toolkit: the
// application's main-loop and unhandled-exception hooks and every event handler that can throw.
//
// Call tReportCurrentException only inside a catch block. It logs "EXCEPTION in <sWhere>: <reason>"
// and shows the user one error message through tUserPrompts() (so tests script it, and in
// no-user-interaction mode it is only logged). The reason is the text of a TextFailure, what() of
// any other std::exception, else "unknown error". Off the main thread it only logs. It never throws,
// and an exception while the message is shown is only logged.
void tReportCurrentException(const wxString& sWhere, wxWindow* pParent = nullptr) noexcept;

// Runs fn(); an exception it throws goes to tReportCurrentException(sWhere, pParent). Returns
// whether fn returned normally. For event handlers: the handler's work goes inside, the toolkit
// never sees the exception, and the program goes on.
template <typename Fn> bool tRunGuarded(const wxString& sWhere, wxWindow* pParent, Fn&& fn) noexcept
{
    try
    {
        std::forward<Fn>(fn)();
        return true;
    }
    catch (...)
    {
        tReportCurrentException(sWhere, pParent);
        return false;
    }
}

// The reason tReportCurrentException gives for the exception being handled (inside a catch block).
wxString tDescribeCurrentException();
