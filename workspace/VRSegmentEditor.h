#pragma once

#include "workspace/SegmentDisplay.h"

#include <wx/stc/stc.h>

#include <string>
#include <vector>

class SegmentTagTip;

// The text of a bpt/ept tip: the value of the first ctype="..." in sRun (UTF-8 bytes of the styled
// run under the pointer), across line breaks; empty when sRun holds no ctype attribute.
std::string tExtractCtype(const std::string& sRun);

// The styled-text control in which a segment's XML (text with bpt, ept, it, ph and sub elements) is
// shown and edited. The control holds the segment in its editor form (SegmentDisplay.h): text as the
// translator typed it, each inline element collapsed into a short blue marker ("<bpt", "/", ">")
// whose characters, like the hidden attributes and code, are protected: only the text before,
// between and after markers can be edited, and no key, command, paste or drop changes a code.
// Undo and redo step through the translator's own edits (typing runs up to a blank, deletions,
// cuts, pastes, replacements); a reload of the stored form is no step. Resting the pointer on a
// bpt/ept marker shows its ctype in a tip. Main thread only.
class VRSegmentEditor : public wxStyledTextCtrl
{
public:
    // The size argument is not used: the control starts at 25 x 25 and its owner sizes it.
    VRSegmentEditor(wxWindow* pParent, wxWindowID nId, const wxString& sText = wxString(), bool bReadOnly = false,
                    const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize, long nStyle = 0);
    ~VRSegmentEditor() override;

    // Read-only shows the button-face background on every style and hides the caret; editable
    // restores the default colours. Also sets the control's own read-only state.
    void SetReadOnly(bool bReadOnly);
    bool IsSegmentReadOnly() const { return m_bReadOnly; }
    void ResetDefaultColours();
    // While read-only the arrow cursor is shown, whatever is asked for.
    bool SetCursor(const wxCursor& cursor) override;

    // Puts a segment's XML in: styles all of it at once (tags hidden and protected before the first
    // paint or keystroke), empties the undo history (Ctrl+Z never brings back another segment) and
    // puts the caret at the start. Works on a read-only editor too. The grid columns' value setter.
    void LoadSegment(const wxString& sXML);
    // Replaces the current segment's XML as one step the user can undo, styled the same way.
    void ReplaceSegment(const wxString& sXML);
    // Shows the segment as the document stores it after a commit (codes put right), as part of the
    // edit that led to it: no undo step, and caret and anchor keep their place in the text.
    void ReloadSegment(const wxString& sXML);
    // The segment's XML: the text escaped once, the codes as they were loaded.
    wxString GetSegmentXML() const;

    // The editor's own history (the control's is off: a commit's reload would otherwise be a step).
    bool CanUndo() const override;
    bool CanRedo() const override;
    void Undo() override;
    void Redo() override;
    // The clipboard holds plain text: codes stay in their segment, and a paste never brings one.
    void Copy() override;
    void Cut() override;
    void Paste() override;

    // nPos, or the end of the protected run it lies inside (a position whose neighbours on both
    // sides are protected characters).
    int ClampOutOfTag(int nPos);

    // The caret and anchor setters never leave a position inside a tag: such a position moves to the
    // end of its run, because typing there would go into the tag.
    void SetCurrentPos(int nCaret);
    void SetAnchor(int nAnchor);
    void GotoPos(int nCaret);
    void SetEmptySelection(int nCaret);
    void SetSelectionStart(int nAnchor);
    void SetSelectionEnd(int nCaret);
    void SetSelection(long nFrom, long nTo) override;
    void SetInsertionPoint(long nPos) override;

    // The tip now shown, null when none.
    SegmentTagTip* GetTipWindow() const { return m_pTipWindow; }
    // The text of the last tip opened.
    const wxString& GetTipText() const { return m_sTipText; }

protected:
    void OnTextModified(wxStyledTextEvent& event);
    void OnModified(wxStyledTextEvent& event);
    void OnStyleNeeded(wxStyledTextEvent& event);
    void OnMouseHover(wxStyledTextEvent& event);
    void OnMouseEndHover(wxStyledTextEvent& event);
    void OnStartDrag(wxStyledTextEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);

private:
    struct SEditState
    {
        wxString sText;
        int nAnchor = 0;
        int nCaret = 0;
    };
    enum class EditRun
    {
        None,
        Typing,
        Deleting,
    };

    // The control's bytes [0, nEnd) without the styles.
    std::string GetBytes(int nEnd);
    void SetStyleBackground(int nStyleNo, const wxColour& colour);
    void SetStyleForeground(int nStyleNo, const wxColour& colour);
    void SetCaretColour(const wxColour& colour);
    // Only keys that cannot reach into a code are left to the control (see the constructor).
    void AssignKeys();

    SEditState CurrentState() const;
    // Puts an editor text in without it counting as the user's edit.
    void PutText(const wxString& sDisplay, int nAnchor, int nCaret);
    void ApplyState(const SEditState& state);
    // Undo or redo: the newest state of aFrom comes back, the present one goes onto aTo.
    void StepHistory(std::vector<SEditState>& aFrom, std::vector<SEditState>& aTo);
    // Runs one user edit as one undo step (or as part of the running one); an edit that would change
    // a code is taken back whole.
    template <typename Edit> void UserEdit(EditRun eRun, bool bBreaksRun, Edit edit);
    // Moves the caret over a gap between two codes, so an arrow key passes both codes at once.
    void StepOverGap(bool bForward, bool bExtend);
    // After a click: the nearest place the caret can rest, from those around a run of codes.
    void SnapClickToPlace(const wxPoint& point);
    void DeleteSelection();

    bool m_bReadOnly = false;
    bool m_bFontSet = false;
    std::vector<wxColour> m_aEditableBackgrounds;
    SegmentTagTip* m_pTipWindow = nullptr;
    wxString m_sTipText;

    std::vector<SEditState> m_aUndo;
    std::vector<SEditState> m_aRedo;
    EditRun m_eRun = EditRun::None;
    int m_nRunCaret = -1;
    // Above zero while the editor puts text in itself, or runs a user edit of its own.
    int m_nInternal = 0;
    int m_nUserEdit = 0;

    wxDECLARE_EVENT_TABLE();
};
