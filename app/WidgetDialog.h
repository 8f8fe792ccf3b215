#pragma once

#include <wx/dialog.h>

// An empty modal dialog with a centred row of OK (wxID_OK) and Cancel (wxID_CANCEL) buttons into
// which the caller puts its own controls: insert them into GetSizer() at 0, 1, 2, ... (ahead of
// the button row), fit the dialog, show it modally and read the controls afterwards. ShowModal
// returns wxID_OK for OK and wxID_CANCEL for Cancel, Escape or the close box. No validation.
class CWidgetDialog : public wxDialog
{
public:
    CWidgetDialog(wxWindow* pParent, wxWindowID nId, const wxString& sTitle, const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize, long nStyle = wxDEFAULT_DIALOG_STYLE);
    ~CWidgetDialog() override;
};
