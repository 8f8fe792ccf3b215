#pragma once

#include <wx/panel.h>
#include <wx/weakref.h>

class wxStaticLine;

// The preview pane of a project page: hosts one window at a time (a convertor family's shared
// preview window or an HTML view the page made), above a line and a 28-pixel strip. A window it
// owns is destroyed when replaced; any other is hidden and left to its owner. The hosted window is
// referenced weakly, so one destroyed elsewhere is simply forgotten. Main thread only.
class VRPreviewPanel : public wxPanel
{
public:
    explicit VRPreviewPanel(wxWindow* pParent);

    // Hosts pWindow (null empties the panel). A window living under another parent is moved into
    // the panel, also when the panel hosts it already (a family's window is shared by every page).
    // bOwned: the panel destroys the window when it is replaced.
    void SetPreviewWindow(wxWindow* pWindow, bool bOwned);

    // The hosted window; null when there is none or it was destroyed.
    wxWindow* GetPreviewWindow() const { return m_pWindow.get(); }
    bool IsOwned() const { return m_bOwned; }

private:
    // Moves pWindow under the panel, out of any other sizer, and lays it out above the line.
    void Host(wxWindow* pWindow);
    // Lays out the panel with pWindow (may be null) above the line and the strip.
    void Arrange(wxWindow* pWindow);

    wxWeakRef<wxWindow> m_pWindow;
    bool m_bOwned = false;
    wxStaticLine* m_pLine = nullptr;
};
