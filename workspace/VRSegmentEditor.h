#pragma once

#include <wx/stc/stc.h>

#include <string>
#include <vector>

class SegmentTagTip;

// Style numbers of the segment editor. Plain text is 1; 2 to 11 are the look-alike bpt/ept markers
// (chosen by the last digit of the element's i attribute), 12 to 18 the other markers and the hidden
// parts of inline elements. Styles 2 to 18 are protected.
enum
{
    SEGSTYLE_UNSTYLED = 0,
    SEGSTYLE_TEXT = 1,
    SEGSTYLE_BPT_FIRST = 2,
    SEGSTYLE_BPT_LAST = 11,
    SEGSTYLE_BPT_HIDDEN = 12,
    SEGSTYLE_PH = 13,
    SEGSTYLE_PH_HIDDEN = 14,
    SEGSTYLE_IT = 15,
    SEGSTYLE_IT_HIDDEN = 16,
    SEGSTYLE_SUB = 17,
    SEGSTYLE_SUB_HIDDEN = 18,
};

// The styles the editor gives the bytes [nFrom, nEnd) of a segment's UTF-8 text: one char per byte,
// each holding a style number (not a digit). nFrom should be the start of a line of lexing (0 or the
// end of the text already styled); bytes at or past nEnd are never read. Positions are byte offsets,
// as the control counts them. Out-of-range arguments are clamped to the text.
std::string tLexSegmentStyles(const std::string& sBytes, int nFrom, int nEnd);

// True for the styles of markers and hidden inline content (2 to 18).
inline bool tIsProtectedSegmentStyle(int nStyle)
{
    return nStyle >= SEGSTYLE_BPT_FIRST && nStyle <= SEGSTYLE_SUB_HIDDEN;
}

// The text of a bpt/ept tip: the value of the first ctype="..." in sRun (UTF-8 bytes of the styled
// run under the pointer), across line breaks; empty when sRun holds no ctype attribute.
std::string tExtractCtype(const std::string& sRun);

// The styled-text control in which a segment's XML (text with bpt, ept, it, ph and sub elements) is
// shown and edited. Each inline element collapses into a short blue marker ("<bpt", "/", ">") whose
// characters, like the hidden attributes and code, are protected: only the text between markers can
// be edited. Resting the pointer on a bpt/ept marker shows its ctype in a tip. Main thread only.
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

    // Puts a segment's text in: styles all of it at once (tags hidden and protected before the first
    // paint or keystroke), empties the undo history (Ctrl+Z never brings back another segment) and
    // puts the caret at the start. Works on a read-only editor too. The grid columns' value setter.
    void LoadSegment(const wxString& sText);
    // Replaces the current segment's text as one step the user can undo, styled the same way.
    void ReplaceSegment(const wxString& sText);

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
    void OnStyleNeeded(wxStyledTextEvent& event);
    void OnMouseHover(wxStyledTextEvent& event);
    void OnMouseEndHover(wxStyledTextEvent& event);
    void OnStartDrag(wxStyledTextEvent& event);
    void OnChar(wxKeyEvent& event);

private:
    // The control's bytes [0, nEnd) without the styles.
    std::string GetBytes(int nEnd);
    void SetStyleBackground(int nStyleNo, const wxColour& colour);
    void SetStyleForeground(int nStyleNo, const wxColour& colour);
    void SetCaretColour(const wxColour& colour);

    bool m_bReadOnly = false;
    bool m_bFontSet = false;
    std::vector<wxColour> m_aEditableBackgrounds;
    SegmentTagTip* m_pTipWindow = nullptr;
    wxString m_sTipText;

    wxDECLARE_EVENT_TABLE();
};
