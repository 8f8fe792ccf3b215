#pragma once

#include "Shared/HTMLPreview.h"
#include "engine/ConvertorPreview.h"

#include <wx/weakref.h>

#include <memory>

// The preview window of a convertor family: an HTML view window of 552 by 356 pixels, made under
// the first parent that asks and moved into each later one, so a panel showing it always holds it.
// The window is referenced weakly: when its parent is destroyed with it, the next Show makes a new
// one. Main thread only.
class VRConvertorPreviewWindow : public tcPreviewWindow
{
public:
    VRConvertorPreviewWindow() = default;
    // Destroys the window when it still exists.
    ~VRConvertorPreviewWindow() override;

    wxWindow* Show(wxWindow* pParent, const wxString& sPage) override;
    wxWindow* GetWindow() const override;

private:
    wxWeakRef<VRHTMLWindow> m_pWindow;
};

// Installs VRConvertorPreviewWindow as the maker of the convertors' preview windows, and the maker
// of the Word preview's panel. The application calls it once at start.
void tInstallConvertorPreviewWindows();
