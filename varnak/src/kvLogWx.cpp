#include "varnak/include/kvLogWx.h"

#include "varnak/include/kvLog.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/thread.h>

namespace
{
void ShowWarningBox(const wxString& sText)
{
    if (!wxTheApp)
        return;
    try
    {
        wxMessageBox(sText, wxTheApp->GetAppDisplayName(), wxOK | wxICON_WARNING);
    }
    catch (...)
    {
        // Runs inside the toolkit's event handling (CallAfter): nothing may escape into it.
    }
}
} // namespace

void kvInstallVisibleWarningShower()
{
    kvSetVisibleWarningShower(
        [](const wxString& sText)
        {
            if (!wxTheApp)
                return;
            if (wxThread::IsMain())
                ShowWarningBox(sText);
            else
                wxTheApp->CallAfter([sText] { ShowWarningBox(sText); });
        });
}
