#pragma once

#include <wx/panel.h>
#include <wx/timer.h>

class CVRMemDoc;
class VRAttributeSelector;
class VRSegmentEditor;
class tcDocument;
class tcNode;
class wxStyledTextEvent;
struct SXLIFFDTD;

// The pane in which the translator types the target of the current segment: a segment editor over
// the target's XML and selectors for the target's state and state qualifier. What is typed goes into
// the project document 20 ms after the last change (one commit per burst of typing), into the
// segment it was typed in; each commit posts notification 7 to the page, and the selectors' choices
// post 8 and 9 (wxEVT_CHOICE command events queued on the pane, object the pane).
//
// The page calls FlushCommit before it switches segment or file, saves, writes output, counts
// statistics, removes a file or closes; SetNode flushes by itself. The handle record and the
// document are not owned and must outlive every call; the destructor touches neither. Main thread
// only.
class VRTranslationFrame : public wxPanel
{
public:
    enum
    {
        ID_EDITOR = 26000,
        ID_STATE = 26001,
        ID_STATE_QUALIFIER = 26002,
        ID_COMMIT_TIMER = 26003,
    };
    // Notifications posted to the page.
    enum
    {
        NOTIFY_TARGET_COMMITTED = 7,
        NOTIFY_STATE_CHANGED = 8,
        NOTIFY_STATE_QUALIFIER_CHANGED = 9,
    };
    // The quiet time after the last change before the text is committed.
    static constexpr int kCommitDelayMs = 20;

    // pMemory is accepted for the page's sake and not used.
    VRTranslationFrame(wxWindow* pParent, const SXLIFFDTD* pDTD, tcDocument* pDoc, CVRMemDoc* pMemory = nullptr);
    ~VRTranslationFrame() override;

    // Shows the target of a segment (a `source` or `mrk` node), after committing a pending edit into
    // the segment shown before. Null shows no segment: the editor is empty and read-only and both
    // selectors are unbound. Starts no commit and leaves no undo history.
    void SetNode(tcNode* pSourceNode);
    // Replaces the target text as one undoable change and commits it before returning (one
    // notification 7). Nothing happens while no segment is shown.
    void SetTargetText(const wxString& sText);
    // Commits a pending edit now, into the segment it was typed in; does nothing when no edit is
    // pending or a commit is running.
    void FlushCommit();
    // Whether typed text waits for its commit.
    bool HasPendingCommit() const { return m_bPending; }

    // Chooses a value in the state (qualifier) selector as the user would: the target is written and
    // notification 8 (9) follows; then the document is marked changed. Needs a bound selector (a
    // segment with a target); otherwise the selector refuses it with an assertion.
    void SetState(const wxString& sValue);
    void SetStateQualifier(const wxString& sValue);
    const wxString& GetState() const;
    const wxString& GetPreviousState() const;

    // The target XML last loaded or committed.
    const wxString& GetTargetText() const { return m_sCurrentText; }
    // The targets' language, as last found; empty until a target with a language was seen.
    const wxString& GetTargetLanguage() const { return m_sTargetLanguage; }
    // The target XML of a segment (see ::GetTargetXML); *ppTarget receives the unit's target.
    wxString GetTargetXML(const tcNode* pSourceNode, tcNode** ppTarget = nullptr) const;
    bool HasTarget(const tcNode* pSourceNode) const { return !GetTargetXML(pSourceNode).empty(); }

    tcNode* GetSourceNode() const { return m_pSourceNode; }
    VRSegmentEditor* GetEditor() const { return m_pEditor; }
    VRAttributeSelector* GetStateSelector() const { return m_pStateSelector; }
    VRAttributeSelector* GetStateQualifierSelector() const { return m_pStateQualifierSelector; }

protected:
    void OnTextChanged(wxStyledTextEvent& event);
    void OnCommitTimer(wxTimerEvent& event);
    void OnStateChanged(wxCommandEvent& event);
    void OnStateQualifierChanged(wxCommandEvent& event);

private:
    void Commit();
    void BindSelectors(tcNode* pTarget);
    // Finds the targets' language from pTarget or its file when none is cached yet; nAssertLine tells
    // the caller apart in the assertion reports.
    void LearnTargetLanguage(const tcNode* pTarget, int nAssertLine);
    void Notify(int nId);

    const SXLIFFDTD* m_pDTD;
    wxTimer m_CommitTimer;
    wxString m_sCurrentText;
    wxString m_sTargetLanguage;
    bool m_bLoading = true;
    bool m_bPending = false;
    bool m_bCommitting = false;
    tcNode* m_pSourceNode = nullptr;
    VRSegmentEditor* m_pEditor = nullptr;
    VRAttributeSelector* m_pStateSelector = nullptr;
    VRAttributeSelector* m_pStateQualifierSelector = nullptr;
    tcDocument* m_pDoc;

    wxDECLARE_EVENT_TABLE();
};
