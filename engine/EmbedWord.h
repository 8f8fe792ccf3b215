#pragma once

#include <wx/string.h>

#include <functional>
#include <memory>

class IWordDocument;
class IWordPreviewHost;
class wxWindow;

// The embedded Word window of the Word preview: a preview host (platform/WordAutomation.h) showing
// one document at a time, opened read-only. Every open and close runs under the Office settings
// lock (platform/OfficeSettingsLock.h), so the embedded Word cannot rewrite the user's Office
// settings. Main thread only.
class EmbedWord
{
public:
    // Takes the host (never null).
    explicit EmbedWord(std::unique_ptr<IWordPreviewHost> pHost);
    // Deletes the host; the document on show goes with it.
    ~EmbedWord();
    EmbedWord(const EmbedWord&) = delete;
    EmbedWord& operator=(const EmbedWord&) = delete;

    // Shows sPath, protected read-only, in the reading view. Nothing happens unless bForce or sPath
    // differs (case-sensitively) from the path on show. A document on show is closed first.
    void OpenDocument(const wxString& sPath, bool bForce);
    // Closes the document on show; nothing is on show afterwards.
    void CloseDocument();

    // The file on show; empty when none is.
    const wxString& GetShownPath() const { return m_sShownPath; }
    // The document on show; null when none is.
    IWordDocument* GetDocument();

private:
    std::unique_ptr<IWordPreviewHost> m_pHost;
    wxString m_sShownPath;
};

// The plain panel the embedded window lives on. Convertors live in the window-free engine, so the
// user interface installs the maker of the panel; without one there is no Word preview.
class tcWordPreviewPanel
{
public:
    // Destroys the panel when it still exists (without calling the gone callback).
    virtual ~tcWordPreviewPanel() = default;

    // The panel: made under pParent when there is none, moved under pParent when it lives elsewhere
    // (a null pParent leaves it where it is). Null when there is none and pParent is null.
    virtual wxWindow* Show(wxWindow* pParent) = 0;
    // The panel while it exists; null before the first Show and after it went with its parent.
    virtual wxWindow* GetWindow() const = 0;
};

// Makes a panel holder. fnGone is called when the panel is destroyed by its parent, before its
// children go, so that whatever lives on it can be let go first.
using tcWordPreviewPanelMaker = std::function<std::unique_ptr<tcWordPreviewPanel>(std::function<void()> fnGone)>;

// Installs the maker; an empty one leaves Word previews without a panel. Returns the one replaced.
tcWordPreviewPanelMaker tSetWordPreviewPanelMaker(tcWordPreviewPanelMaker fnMaker);
// The installed maker (may be empty).
const tcWordPreviewPanelMaker& tGetWordPreviewPanelMaker();
