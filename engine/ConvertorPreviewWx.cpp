#include "engine/ConvertorPreviewWx.h"

#include "engine/Convertor.h"
#include "engine/EmbedWordWx.h"

VRConvertorPreviewWindow::~VRConvertorPreviewWindow()
{
    if (VRHTMLWindow* pWindow = m_pWindow.get())
        pWindow->Destroy();
}

wxWindow* VRConvertorPreviewWindow::Show(wxWindow* pParent, const wxString& sPage)
{
    VRHTMLWindow* pWindow = m_pWindow.get();
    if (!pWindow)
    {
        if (!pParent)
            return nullptr;
        pWindow = new VRHTMLWindow(tcHTMLLinkCallback(), pParent, wxID_ANY, wxDefaultPosition, wxSize(552, 356), 0,
                                   wxPanelNameStr);
        m_pWindow = pWindow;
    }
    else if (pParent && pWindow->GetParent() != pParent)
        pWindow->Reparent(pParent);
    pWindow->SetPage(sPage);
    pWindow->ShowAnchor(kszSelectedAnchor);
    return pWindow;
}

wxWindow* VRConvertorPreviewWindow::GetWindow() const
{
    return m_pWindow.get();
}

void tInstallConvertorPreviewWindows()
{
    tSetPreviewWindowMaker([]() -> std::unique_ptr<tcPreviewWindow>
                           { return std::make_unique<VRConvertorPreviewWindow>(); });
    tInstallWordPreviewPanels();
}
