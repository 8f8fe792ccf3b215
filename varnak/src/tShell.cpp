#include "varnak/include/tShell.h"

#include "varnak/include/tcThreads.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <mutex>
#include <string>

namespace
{
std::mutex s_hookMutex;
tcShellExecuteHook s_fnHook;

bool IsSchemeChar(wxUniChar c, bool bFirst)
{
    const bool bAlpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (bFirst)
        return bAlpha;
    return bAlpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool LaunchOpener(const wxString& sTarget)
{
    wxString sPath;
    wxString sOpener;
    if (!wxGetEnv("PATH", &sPath) || !wxFindFileInPath(&sOpener, sPath, "xdg-open"))
        return false;
    const std::string sOpenerUtf8 = sOpener.utf8_string();
    const std::string sTargetUtf8 = sTarget.utf8_string();
    const char* argv[] = {sOpenerUtf8.c_str(), sTargetUtf8.c_str(), nullptr};
    return wxExecute(argv, wxEXEC_ASYNC) > 0;
}
} // namespace

bool tIsURL(const wxString& sTarget)
{
    const size_t nColon = sTarget.find("://");
    if (nColon == wxString::npos || nColon == 0)
        return false;
    for (size_t i = 0; i < nColon; ++i)
    {
        if (!IsSchemeChar(sTarget[i], i == 0))
            return false;
    }
    return true;
}

tcShellExecuteHook tSetShellExecuteHook(tcShellExecuteHook fnHook)
{
    std::lock_guard<std::mutex> lock(s_hookMutex);
    tcShellExecuteHook fnOld = std::move(s_fnHook);
    s_fnHook = std::move(fnHook);
    return fnOld;
}

bool tShellExecute(const wxString& sTarget, const wxString& sParameters)
{
    tcShellExecuteHook fnHook;
    {
        std::lock_guard<std::mutex> lock(s_hookMutex);
        fnHook = s_fnHook;
    }
    if (fnHook)
        return fnHook(sTarget, sParameters);

    if (sTarget.empty() || !sParameters.empty())
        return false;
    // The toolkit starts processes only from its main thread.
    if (!tcThreads::IsMainThread())
        return false;
    if (tIsURL(sTarget))
        return LaunchOpener(sTarget);

    if (!wxFileName::Exists(sTarget))
        return false;
    // An absolute path never starts with "-", so the opener cannot take it for an option.
    wxFileName file(sTarget);
    file.MakeAbsolute();
    return LaunchOpener(file.GetFullPath());
}

bool tShellExecuteW(const wchar_t* szTarget, const wchar_t* szParameters)
{
    return tShellExecute(szTarget ? wxString(szTarget) : wxString(),
                         szParameters ? wxString(szParameters) : wxString());
}
