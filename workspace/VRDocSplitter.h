#pragma once

#include "engine/VRMemDocManager.h"
#include "workspace/VRLoadProgress.h"

#include <wx/aui/auibook.h>

#include <vector>

class VRDocFrame;
class tcEvent;

// The notebook of the main window: one tab per open project (VRDocFrame). It owns the memory
// manager its pages share, knows the current page, keeps the application context on that page's
// document and handler, retitles tabs when a project is saved or changed, and tells the main
// window about every such change with notification 0: a wxEVT_CHOICE command event with id 0
// posted to itself, which travels up to the frame.
//
// The commands never let an exception out: failures are shown to the user through tUserPrompts().
// Main thread only.
class CVRDocSplitter : public wxAuiNotebook
{
public:
    explicit CVRDocSplitter(wxWindow* pParent);
    // Closes the pages still open (each asks its own questions), then the memory manager goes.
    ~CVRDocSplitter() override;

    // The New command: the new-project dialog until a project is made or the user cancels.
    void NewDoc();
    // The Open command for the file sPath. A project already open under any form of that path
    // (as wxFileName::SameAs decides) only gets its tab selected.
    void OpenDoc(const wxString& sPath);
    // Adds source files to the current project (the add-files dialog); nothing without one.
    void AddFiles();
    // Closes the current project after its questions (QueryClose); true when it closed or there is
    // none, false when the user cancelled (the project stays open and unchanged).
    bool CloseCurrentDoc();
    // Closes every project, each shown first and then asked its questions; Cancel stops there,
    // leaving that project and the ones not yet reached open. True when none is left.
    bool CloseAllDocs();
    // Saves the current project; true when it was saved or there is none.
    bool SaveCurrentDoc();

    // The current page; null when no project is open.
    VRDocFrame* GetCurrentDoc() const { return m_pCurrentDoc; }
    // The nNum-th page in tab order; an index out of range is reported by assertion and gives null.
    VRDocFrame* GetDocument(int nNum) const;
    // The number of open project pages.
    int GetNumDocs() const { return static_cast<int>(m_apDocuments.size()); }

    CVRMemDocManager& GetMemDocManager() { return m_MemDocManager; }

    // Sets pPage's tab text to its title and posts notification 0; nothing for a page that is not
    // one of this notebook's.
    void UpdatePageTitle(VRDocFrame* pPage);
    // Posts notification 0, so that the frame brings its title and the menus that depend on the
    // current project (its number of files, say) up to date.
    void PostSelectionNotification();

private:
    void OnPageChanged(wxAuiNotebookEvent& event);
    void OnEndDrag(wxAuiNotebookEvent& event);
    void OnAllowDrop(wxAuiNotebookEvent& event);
    static void OnDirtyStateChanged(tcEvent* pEvent, void* pOwner, void* pArg1, void* pArg2);
    static void OnDatasourceChanged(tcEvent* pEvent, void* pOwner, void* pArg1, void* pArg2);

    // Appends a new page, selects it and makes it current. Its tab shows the project's file name
    // and mark of changes, and has the whole path as its tip.
    void AddDocument(VRDocFrame* pPage);
    // Makes the page at notebook index nPage current (or none), points the application context at
    // it and posts notification 0.
    void SetCurrentFromNotebook(int nPage);
    // Puts the list in the notebook's tab order (tabs can be dragged).
    void FollowTabOrder();
    // Shows a failure to create or open a project.
    void ShowOpenError(const wxString& sText);

    // The progress the memory manager shows while a memory file loads.
    VRMemDocLoadProgress m_MemDocLoadProgress;
    CVRMemDocManager m_MemDocManager;
    std::vector<VRDocFrame*> m_apDocuments;
    VRDocFrame* m_pCurrentDoc = nullptr;

    wxDECLARE_EVENT_TABLE();
};
