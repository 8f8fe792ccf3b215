#include "workspace/VRPreviewPanel.h"

#include <wx/sizer.h>
#include <wx/statline.h>

VRPreviewPanel::VRPreviewPanel(wxWindow* pParent)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE | wxTAB_TRAVERSAL)
{
    m_pLine = new wxStaticLine(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLI_HORIZONTAL);
    SetSizer(new wxBoxSizer(wxVERTICAL));
    Arrange(nullptr);
}

void VRPreviewPanel::SetPreviewWindow(wxWindow* pWindow, bool bOwned)
{
    wxWindow* pOld = m_pWindow.get();
    if (pWindow && pWindow == pOld)
    {
        m_bOwned = bOwned;
        // A shared window may have been shown on another page since, and moved back by its family.
        if (pWindow->GetParent() != this || pWindow->GetContainingSizer() != GetSizer())
            Host(pWindow);
        return;
    }
    // A shared window another panel took over is that panel's now: leave it alone.
    if (pOld && pOld->GetParent() == this)
    {
        GetSizer()->Detach(pOld);
        if (m_bOwned)
            pOld->Destroy();
        else
            pOld->Hide();
    }
    m_bOwned = bOwned;
    m_pWindow = pWindow;
    if (!pWindow)
    {
        Arrange(nullptr);
        return;
    }
    Host(pWindow);
}

void VRPreviewPanel::Host(wxWindow* pWindow)
{
    if (pWindow->GetParent() != this)
        pWindow->Reparent(this);
    // Moving a window leaves it in its old parent's sizer, which would lay it out there again.
    if (wxSizer* pOther = pWindow->GetContainingSizer(); pOther && pOther != GetSizer())
        pOther->Detach(pWindow);
    pWindow->Show();
    Arrange(pWindow);
    pWindow->Refresh(true);
    pWindow->Update();
}

void VRPreviewPanel::Arrange(wxWindow* pWindow)
{
    wxSizer* pSizer = GetSizer();
    pSizer->Clear(false);
    if (pWindow)
        pSizer->Add(pWindow, 1, wxEXPAND);
    else
        pSizer->AddStretchSpacer(1);
    pSizer->Add(m_pLine, 0, wxEXPAND);
    pSizer->AddSpacer(28);
    Layout();
}
