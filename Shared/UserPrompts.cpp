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

wxArrayString tcUserPrompts::ChooseFiles(const wxString& sMessage, const wxString& sDefaultDir,
                                         const wxString& sDefaultFile, const wxString& sWildcard, long nStyle, int&,
                                         wxWindow* pParent)
{
    wxArrayString asFiles;
    const wxString sFile = ChooseFile(sMessage, sDefaultDir, sDefaultFile, sWildcard, nStyle, pParent);
    if (!sFile.empty())
        asFiles.push_back(sFile);
    return asFiles;
}

void tcUserPrompts::BeginBusyNotice(const wxString& sText)
{
    tcLog::LogStr("BUSY: " + sText);
}

tcBusyNotice::tcBusyNotice(const wxString& sText)
{
    tUserPrompts().BeginBusyNotice(sText);
}

tcBusyNotice::~tcBusyNotice()
{
    tUserPrompts().EndBusyNotice();
}
