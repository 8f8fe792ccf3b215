#include "workspace/VRLoadProgress.h"

#include <algorithm>

VRLoadProgress::VRLoadProgress(const wxString& sTitle, const wxString& sMessage, wxWindow* pParent)
    : wxProgressDialog(sTitle, sMessage, kMaximum, pParent,
                       wxPD_CAN_ABORT | wxPD_ELAPSED_TIME | wxPD_ESTIMATED_TIME | wxPD_SMOOTH | wxPD_REMAINING_TIME)
{
    Centre(wxBOTH);
}

VRLoadProgress::~VRLoadProgress() = default;

void VRLoadProgress::SetValue(int nValue)
{
    // A negative position would make the gauge assert.
    m_nValue = std::clamp(nValue, 0, kHighest);
    Update(m_nValue, wxString());
}
