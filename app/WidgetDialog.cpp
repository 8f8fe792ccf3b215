#include "app/WidgetDialog.h"

#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/button.h>
#include <wx/sizer.h>

CWidgetDialog::CWidgetDialog(wxWindow* pParent, wxWindowID nId, const wxString& sTitle, const wxPoint& pos,
                             const wxSize& size, long nStyle)
    : wxDialog(pParent, nId, sTitle, pos, size, nStyle)
{
    tcDebugInfo debug("CWidgetDialog::CWidgetDialog");
    auto* pOuter = new wxBoxSizer(wxVERTICAL);
    auto* pButtons = new wxBoxSizer(wxHORIZONTAL);
    pButtons->Add(new wxButton(this, wxID_OK, g_LocEngine.FindTranslation("OK")), 0, wxALIGN_CENTRE | wxALL, 4);
    pButtons->Add(new wxButton(this, wxID_CANCEL, g_LocEngine.FindTranslation("Cancel")), 0, wxALIGN_CENTRE | wxALL, 4);
    // In a vertical sizer only the horizontal alignment means anything (the toolkit refuses the
    // vertical ones there).
    pOuter->Add(pButtons, 0, wxALIGN_CENTRE_HORIZONTAL | wxALL, 0);
    SetAutoLayout(true);
    SetSizer(pOuter, true);
}

CWidgetDialog::~CWidgetDialog() = default;
