#pragma once

#include "engine/EmbedWord.h"

#include <wx/panel.h>
#include <wx/weakref.h>

#include <functional>

// The panel of the Word preview: a plain panel (tab traversal, no border) whose children fill it,
// made under the first parent that asks and moved into each later one. It is referenced weakly:
// when its parent destroys it, the gone callback runs first (so the embedded Word on it goes
// before its windows) and the next Show makes a new one. Main thread only.
class VRWordPreviewPanel : public tcWordPreviewPanel
{
public:
    explicit VRWordPreviewPanel(std::function<void()> fnGone);
    // Destroys the panel when it still exists, without the gone callback.
    ~VRWordPreviewPanel() override;

    wxWindow* Show(wxWindow* pParent) override;
    wxWindow* GetWindow() const override;

private:
    void OnDestroy(wxWindowDestroyEvent& event);
    void OnSize(wxSizeEvent& event);

    std::function<void()> m_fnGone;
    wxWeakRef<wxPanel> m_pPanel;
    // The panel as made, to recognise its own destroy event among its children's.
    const wxWindow* m_pMade = nullptr;
};

// Installs VRWordPreviewPanel as the maker of the Word preview's panel.
void tInstallWordPreviewPanels();
