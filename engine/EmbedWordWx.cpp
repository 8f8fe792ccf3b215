#include "engine/EmbedWordWx.h"

#include <utility>

VRWordPreviewPanel::VRWordPreviewPanel(std::function<void()> fnGone) : m_fnGone(std::move(fnGone)) {}

VRWordPreviewPanel::~VRWordPreviewPanel()
{
    m_fnGone = nullptr;
    if (wxPanel* pPanel = m_pPanel.get())
        pPanel->Destroy();
}

wxWindow* VRWordPreviewPanel::Show(wxWindow* pParent)
{
    wxPanel* pPanel = m_pPanel.get();
    if (!pPanel)
    {
        if (!pParent)
            return nullptr;
        pPanel = new wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxNO_BORDER);
        pPanel->Bind(wxEVT_DESTROY, &VRWordPreviewPanel::OnDestroy, this);
        pPanel->Bind(wxEVT_SIZE, &VRWordPreviewPanel::OnSize, this);
        m_pPanel = pPanel;
        m_pMade = pPanel;
    }
    else if (pParent && pPanel->GetParent() != pParent)
        pPanel->Reparent(pParent);
    return pPanel;
}

wxWindow* VRWordPreviewPanel::GetWindow() const
{
    return m_pPanel.get();
}

void VRWordPreviewPanel::OnDestroy(wxWindowDestroyEvent& event)
{
    event.Skip();
    if (event.GetEventObject() != m_pMade)
        return;
    m_pMade = nullptr;
    // The callback may delete what lives on the panel; it runs once.
    if (std::function<void()> fnGone = std::exchange(m_fnGone, nullptr))
        fnGone();
}

void VRWordPreviewPanel::OnSize(wxSizeEvent& event)
{
    event.Skip();
    if (wxPanel* pPanel = m_pPanel.get())
        for (wxWindow* pChild : pPanel->GetChildren())
            pChild->SetSize(pPanel->GetClientSize());
}

void tInstallWordPreviewPanels()
{
    tSetWordPreviewPanelMaker([](std::function<void()> fnGone) -> std::unique_ptr<tcWordPreviewPanel>
                              { return std::make_unique<VRWordPreviewPanel>(std::move(fnGone)); });
}
