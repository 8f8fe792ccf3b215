#include "tests/harness/Screenshot.h"

#include "tests/harness/EventPump.h"

#include <wx/filename.h>
#include <wx/utils.h>

#include <cstdlib>

bool TakeScreenshot(const wxString& sPngPath)
{
    if (!std::getenv("DISPLAY") || sPngPath.empty())
        return false;
    wxFileName file(sPngPath);
    file.MakeAbsolute();
    if (!wxFileName::Mkdir(file.GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL))
        return false;
    PumpEvents(100);
    const wxString sPath = file.GetFullPath();
    const wchar_t* argv[] = {L"import", L"-window", L"root", sPath.wc_str(), nullptr};
    // Blocking without dispatching events: the test must not run on while the screen is read.
    const long nExit = wxExecute(argv, wxEXEC_SYNC | wxEXEC_NOEVENTS);
    return nExit == 0 && file.FileExists();
}

bool ScreenshotIfAsked(const wxString& sName)
{
    const char* szDir = std::getenv("LINTRADO_SCREENSHOT_DIR");
    if (!szDir || !*szDir)
        return true;
    return TakeScreenshot(wxFileName(wxString::FromUTF8(szDir), sName + ".png").GetFullPath());
}
