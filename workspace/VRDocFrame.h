#pragma once

#include "engine/VRProjectModel.h"
#include "engine/XLIFFDTD.h"
#include "varnak/include/tcEvent.h"

#include <wx/arrstr.h>
#include <wx/panel.h>

#include <memory>
#include <vector>

class CVRMemDoc;
class CVRMemDocManager;
class CVRMemDocStatistics;
class CVRSRXDoc;
class tcConvertor;
class tcConvertorProgress;
class tcDictionary;
class tcDocument;
class tcIO;
class tcNode;
class VRDocLayout;
class wxAuiNotebook;
class wxAuiNotebookEvent;
class wxCommandEvent;
class wxIdleEvent;
class wxSizeEvent;

// Fired when a project gets a new file path (arg1: the page, arg2: null); the notebook retitles it.
extern tcEvent Evt_DocFrame_DatasourceChanged;

// What the page needs of its panes while files come and go and while it closes. The layout gives
// the page its panes (SetPanes); a page without panes keeps the current file index itself.
class VRDocFramePanes
{
public:
    virtual ~VRDocFramePanes() = default;
    // Commits the editor's pending text to the document now.
    virtual void FlushCommit() = 0;
    // Drops the preview window, before the convertor that made it may be destroyed.
    virtual void ClearPreview() = 0;
    // Lets no pane touch a node of the document any more (the page is closing).
    virtual void UnbindNodes() = 0;
    // The files pane's current file index.
    virtual int GetCurrentFile() const = 0;
    // Gives the files pane a new list; its current index is clamped to it.
    virtual void SetFiles(const std::vector<tcNode*>& apFiles) = 0;
};

// The page of one open translation project in the notebook of projects. The project itself lives
// in a VRProjectModel; the page adds the questions, the progress dialog and the panes.
//
// Both constructors throw TextFailure (VRProjectCancelled when the user cancelled) and then leave
// nothing behind: no application context, no held memory, no window. Main thread only.
class VRDocFrame : public wxPanel
{
public:
    // A new project from source files. sMemDoc is a memory file, the localised new-empty text or
    // empty; asSourceFiles and asSourceLanguages are parallel and not empty; nThreshold is the
    // auto-fill percentage or -1. pMemDocManager is not owned and must outlive the page. While
    // the files are converted a progress dialog shows and the rest of the program is disabled.
    VRDocFrame(wxWindow* pParent, const wxString& sSRXPath, CVRMemDocManager* pMemDocManager, const wxString& sMemDoc,
               const wxArrayString& asSourceFiles, const wxArrayString& asSourceLanguages,
               const wxString& sTargetLanguage, int nThreshold);
    // Opens a saved project. pMemDoc (may be null; the notebook passes null) is a memory held by
    // pMemDocManager for this page. Without it a missing memory is asked for (memory dialog).
    VRDocFrame(wxWindow* pParent, const wxString& sPath, CVRMemDocManager* pMemDocManager,
               CVRMemDoc* pMemDoc = nullptr);
    // Closes the project and releases everything. Without an earlier QueryClose that agreed, it
    // first asks the closing questions without Cancel (it cannot be refused any more).
    ~VRDocFrame() override;

    // The closing questions, each naming the project, asked before anything closes: a memory with
    // pairs that closing would lose (a new one, or a file memory no other project uses) is offered
    // for saving, then the project's unsaved changes (a failed save asks again). With bCanCancel
    // each offers Cancel: then false, and the project and its memory stay as they were. True when
    // the page may close; the destructor then carries out the answers and asks nothing more.
    bool QueryClose(bool bCanCancel = true);
    // The project's name in questions: its file, or the untitled text.
    wxString GetProjectName() const;

    void CreateDocument();
    // Replaces the rules; throws the rules file's TextFailure.
    void LoadSRX(const wxString& sPath);
    // Converts one source file into the project (pProgress may be null). Skipped files: false.
    // Marks the project changed when a file was added. Call RefreshFiles after the last one.
    bool AddFile(const wxString& sSourcePath, const wxString& sSourceLanguage, const wxString& sTargetLanguage,
                 int nThreshold, tcConvertorProgress* pProgress);
    void CollectSegments(std::vector<tcNode*>& apSegments) const;
    // Drops the cached convertors, re-reads the files and selects the current one (throws
    // TextFailure when no file is left).
    void RefreshFiles();
    // Removes the current file after the user's confirmation; the last file is refused.
    void RemoveCurrentFile();

    // The project file; empty until saved.
    wxString GetFileName() const { return m_Model.GetPath(); }
    tcDocument* GetDocument() const { return m_Model.GetDocument(); }
    tcIO* GetIO() const { return m_Model.GetIO(); }
    int GetNumFiles() const { return m_Model.GetNumFiles(); }
    CVRMemDoc* GetMemDoc() const { return m_Model.GetMemDoc(); }
    VRProjectModel& GetModel() { return m_Model; }
    const std::vector<tcNode*>& GetSegments() { return m_Model.GetSegments(); }
    int GetCurrentFile() const;

    // Commits the editor's pending text to the document (nothing without panes).
    void FlushCommit();

    // The panes (not owned; null: none). The layout sets them; tests set fakes.
    void SetPanes(VRDocFramePanes* pPanes) { m_pPanes = pPanes; }

    // --- Layout, views, saving, output and statistics ----------------------------------------------
    // These belong to the page's layout and saving; until the panes exist the layout builds no
    // docking manager, the views keep nothing (LoadView false), the preview shows nothing and the
    // statistics count segments only.

    // Builds the page's panes; selects the first file.
    void CreateLayout();
    // Makes a file current (its segments, header and body); throws TextFailure for a file without
    // header or body.
    void SelectFile(int nIndex);
    void SelectSegment(int nIndex);
    // Saves the project (the editor's pending text first); asks for a file when it has none or the
    // last save failed, proposing the path that failed, and refuses a file another open page holds.
    // True on success (the changed mark is then cleared). A new path fires
    // Evt_DocFrame_DatasourceChanged before the data is written. A failure shows a message with the
    // path and the reason and leaves the project changed; a failed Save As gives back the path the
    // project had (firing the event again).
    bool Save();
    // The path (or the localised untitled text), with " (*<unsaved changes text>)" while changed.
    wxString GetTitle() const;
    // Writes the current file as a translated document in sLanguage. With an empty path a dialog
    // asks for path and language (a file selector named kszOutputFileName, a choice named
    // kszOutputLanguageName: target language, then source language). It proposes the source's name
    // with the chosen language before the extension (tOutputFileName), following the language
    // while the name is not edited; an empty name shows it again, an existing file is asked about,
    // the source document by that name (No shows it again). A progress dialog with Cancel runs while
    // the text is made. True when the file was written; a failure shows a message naming the file,
    // and a file without a convertor gets a message too.
    bool OutputTranslatedFile(wxString sPath, wxString sLanguage);
    // The languages offered for output: the current file's target-language.
    wxArrayString GetTargetLanguages() const;
    // Fills the record for file nIndex, or the current file for -1: named by the file's original,
    // units, segments, words and characters (notes left out). An index past the files is reported
    // by assertion and fills nothing.
    void GetStatistics(CVRMemDocStatistics* pStatistics, int nIndex);

    static constexpr const char* kszOutputFileName = "OutputFile";
    static constexpr const char* kszOutputLanguageName = "OutputLanguage";
    void ShowHTMLPreview(const wxString& sHTML);
    bool LoadView(const wxString& sName);
    void SaveView(const wxString& sName);
    void DeleteView(const wxString& sName);
    void SetDefaultView();
    void RestoreDefaultView();
    void RestoreOriginalDefaultView();
    // At the configuration store's current path: applies the view sName (the text after its first
    // "|", or all of it) and returns whether the docking manager took it; an empty or missing value
    // is false. StoreView writes "1|" and the current layout under sName.
    bool LoadPerspective(const wxString& sName);
    void StoreView(const wxString& sName);

    // The page's own panes (null before the layout is built).
    VRDocLayout* GetLayout() const { return m_pLayout.get(); }

    // The panes' notifications (command events of type wxEVT_CHOICE, id 1 to 9).
    enum
    {
        NOTIFY_NEXT_UNTRANSLATED = 1,
        NOTIFY_PREVIOUS_UNTRANSLATED = 2,
        NOTIFY_SEGMENT_CHANGED = 3,
        NOTIFY_USE_SUGGESTION = 4,
        NOTIFY_COPY_SOURCE = 5,
        NOTIFY_FILE_CHANGED = 6,
        NOTIFY_TARGET_EDITED = 7,
        NOTIFY_TARGET_STATE_CHANGED = 8,
        NOTIFY_TARGET_STATE_QUALIFIER_CHANGED = 9,
    };

private:
    // Every page alive, to keep two pages off one file.
    static std::vector<VRDocFrame*>& OpenPages();
    bool IsHeldByOtherPage(const wxString& sPath) const;
    // The output dialog; false when cancelled.
    bool AskOutputFile(tcNode* pFile, wxString& sPath, wxString& sLanguage);
    void AfterFilesChanged();
    void BindEvents();
    void OnNextUntranslated(wxCommandEvent& event);
    void OnPreviousUntranslated(wxCommandEvent& event);
    void OnSegmentChanged(wxCommandEvent& event);
    void OnUseSuggestion(wxCommandEvent& event);
    void OnCopySource(wxCommandEvent& event);
    void OnFileChanged(wxCommandEvent& event);
    void OnTargetStateChanged(wxCommandEvent& event);
    void OnAllowNotebookDnD(wxAuiNotebookEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnIdle(wxIdleEvent& event);
    // Moves to the nearest segment without a target, forward (+1) or backward (-1), wrapping.
    void MoveToUntranslated(int nStep);
    // Adds (bAdd) or removes the pair of pSegment's source and target, when it has target text.
    void UpdateMemoryPairs(tcNode* pSegment, bool bAdd);

    std::unique_ptr<VRDocLayout> m_pLayout;

    VRProjectModel m_Model;
    VRDocFramePanes* m_pPanes = nullptr;
    int m_nCurrentFile = 0;
    bool m_bLayoutPending = false;
    bool m_bPreviewStale = true;
    bool m_bSaveFailed = false;
    // The closing questions were answered (QueryClose true); the memory's changes go unsaved.
    bool m_bCloseAgreed = false;
    bool m_bDropMemoryChanges = false;
};
