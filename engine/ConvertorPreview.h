#pragma once

#include <wx/string.h>

#include <functional>
#include <memory>

class wxWindow;

// The windows convertors show their previews in. Convertors live in the window-free engine, so
// they never make a window themselves: each family of convertors (HTML and XML; plain text) shares
// one preview window through a tcPreviewWindowFamily, and the user interface installs the maker of
// the windows. Without a maker (headless programs, engine tests) previews show nothing. Main thread
// only.

// One preview window of a family. The implementation keeps the window weakly: a window that went
// with its parent is forgotten, and the next Show makes a new one.
class tcPreviewWindow
{
public:
    // Destroys the window when it still exists.
    virtual ~tcPreviewWindow() = default;

    // Shows the HTML page sPage in the window, made as a child of pParent when there is none, and
    // moved under pParent when it lives elsewhere (a null pParent leaves it where it is). Returns
    // the window (owned by its parent), or null when none exists and pParent is null.
    virtual wxWindow* Show(wxWindow* pParent, const wxString& sPage) = 0;
    // The window while it exists; null before the first Show and after it went with its parent.
    virtual wxWindow* GetWindow() const = 0;
};

using tcPreviewWindowMaker = std::function<std::unique_ptr<tcPreviewWindow>()>;

// Installs the maker of preview windows; an empty maker leaves the families without windows.
// Returns the maker it replaces. Families that already hold a window keep it.
tcPreviewWindowMaker tSetPreviewWindowMaker(tcPreviewWindowMaker fnMaker);

// The members of one convertor family and their shared window: the window is made by the first
// Show and destroyed when the last member leaves.
class tcPreviewWindowFamily
{
public:
    tcPreviewWindowFamily() = default;
    ~tcPreviewWindowFamily();
    tcPreviewWindowFamily(const tcPreviewWindowFamily&) = delete;
    tcPreviewWindowFamily& operator=(const tcPreviewWindowFamily&) = delete;

    // Called by each member's constructor and destructor. When the last member leaves, the window
    // is destroyed and forgotten.
    void Join() { ++m_nMembers; }
    void Leave();
    int GetNumMembers() const { return m_nMembers; }

    // Shows sPage in the family's window under pParent (see tcPreviewWindow::Show), making the
    // window through the installed maker when the family has none. Null without a maker, or when
    // no window can be made.
    wxWindow* Show(wxWindow* pParent, const wxString& sPage);
    // The family's window while it exists, else null.
    wxWindow* GetWindow() const;

private:
    int m_nMembers = 0;
    std::unique_ptr<tcPreviewWindow> m_pWindow;
};
