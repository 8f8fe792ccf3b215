#include "Shared/UserPrompts.h"

#include "varnak/include/kvLog.h"

#include <wx/defs.h>

namespace
{
tcUserPrompts* g_pUserPrompts = nullptr;
} // namespace

int tcSilentUserPrompts::ShowMessage(const wxString& sText, const wxString&, long nStyle, wxWindow*)
{
    tcLog::LogStr("MSG: " + sText);
    if (nStyle & wxCANCEL)
        return wxCANCEL;
    if (nStyle & wxNO)
        return wxNO;
    return wxOK;
}

wxString tcSilentUserPrompts::ChooseFile(const wxString&, const wxString&, const wxString&, const wxString&, long,
                                         wxWindow*)
{
    return wxString();
}

wxString tcSilentUserPrompts::ChooseDirectory(const wxString&, const wxString&, wxWindow*)
{
    return wxString();
}

tcUserPrompts& tUserPrompts()
{
    static tcSilentUserPrompts s_silent;
    return g_pUserPrompts ? *g_pUserPrompts : s_silent;
}

void tSetUserPrompts(tcUserPrompts* pPrompts)
{
    g_pUserPrompts = pPrompts;
}
