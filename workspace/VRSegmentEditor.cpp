#include "workspace/VRSegmentEditor.h"

#include "varnak/include/tcDebugInfo.h"
#include "workspace/SegmentTagTip.h"

#include <wx/settings.h>
#include <wx/menu.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

namespace
{
// The styles whose background only read-only mode changes: ResetDefaultColours leaves them.
std::vector<int> ReadOnlyOnlyStyles()
{
    std::vector<int> anStyles;
    for (int nStyleNo = SEGSTYLE_BPT_FIRST; nStyleNo <= SEGSTYLE_SUB_HIDDEN; ++nStyleNo)
        anStyles.push_back(nStyleNo);
    for (int nStyleNo : {wxSTC_STYLE_DEFAULT, wxSTC_STYLE_LINENUMBER, wxSTC_STYLE_INDENTGUIDE})
        anStyles.push_back(nStyleNo);
    return anStyles;
}

bool IsSpaceByte(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::string tExtractCtype(const std::string& sRun)
{
    // A run of several adjacent elements shows the last one's ctype.
    static const std::string sKey = "ctype=\"";
    size_t nAt = std::string::npos;
    for (size_t nFound = sRun.find(sKey); nFound != std::string::npos; nFound = sRun.find(sKey, nFound + 1))
        if (nFound == 0 || IsSpaceByte(sRun[nFound - 1]))
            nAt = nFound;
    if (nAt == std::string::npos)
        return std::string();
    const size_t nStart = nAt + sKey.size();
    const size_t nClose = sRun.find('"', nStart);
    if (nClose == std::string::npos)
        return std::string();
    return sRun.substr(nStart, nClose - nStart);
}

VRSegmentEditor::VRSegmentEditor(wxWindow* pParent, wxWindowID nId, const wxString& sText, bool bReadOnly,
                                 const wxPoint& pos, const wxSize&, long nStyle)
    : wxStyledTextCtrl(pParent, nId, pos, wxSize(25, 25), nStyle, wxSTCNameStr), m_bReadOnly(bReadOnly)
{
    tcDebugInfo debug("VRSegmentEditor::VRSegmentEditor");
    SetSelBackground(true, wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT));
    SetMouseDwellTime(1000);
    SetLexer(wxSTC_LEX_CONTAINER);
    SetWrapMode(wxSTC_WRAP_WORD);
    SetWrapVisualFlags(wxSTC_WRAPVISUALFLAG_END);
    SetMarginWidth(1, 0);
    ResetDefaultColours();
    for (int nStyleNo : {SEGSTYLE_BPT_HIDDEN, SEGSTYLE_PH_HIDDEN, SEGSTYLE_IT_HIDDEN, SEGSTYLE_SUB_HIDDEN})
        StyleSetVisible(nStyleNo, false);
    // The control counts an invisible character as protected and gives no caret place beside it, so
    // the gap between two codes (a character drawn with no width) has a visible style, in the colour
    // of the background.
    for (int nStyleNo = SEGSTYLE_BPT_FIRST; nStyleNo <= SEGSTYLE_SUB_HIDDEN; ++nStyleNo)
        StyleSetChangeable(nStyleNo, false);
    // What an editable editor shows behind markers and around the text, to return to after a
    // read-only spell.
    for (int nStyleNo : ReadOnlyOnlyStyles())
        m_aEditableBackgrounds.push_back(StyleGetBackground(nStyleNo));
    // The history is the editor's own, and the menu too: the control's would copy codes out and
    // undo a commit's reload.
    SetUndoCollection(false);
    UsePopUp(wxSTC_POPUP_NEVER);
    // A rectangle or several selections would type into many places at once, codes included.
    SetMultipleSelection(false);
    SetMouseSelectionRectangularSwitch(false);
    AssignKeys();
    // After the default colours, so that a read-only editor starts with the read-only ones.
    SetReadOnly(bReadOnly);
    LoadSegment(sText);
}

void VRSegmentEditor::AssignKeys()
{
    // The control's own commands that change text without asking whether a code is in the way
    // (case changes, line cut, delete, copy, duplicate and transpose, word and line deletion, tab
    // indentation) are not bound; keys it does not know go on to the menus' accelerators. Undo,
    // redo and the clipboard keys are the editor's own (OnKeyDown).
    CmdKeyClearAll();
    const int none = wxSTC_KEYMOD_NORM;
    const int shift = wxSTC_KEYMOD_SHIFT;
    const int ctrl = wxSTC_KEYMOD_CTRL;
    const int ctrlShift = wxSTC_KEYMOD_CTRL | wxSTC_KEYMOD_SHIFT;
    const struct
    {
        int nKey;
        int nModifiers;
        int nCommand;
    } aKeys[] = {
        {wxSTC_KEY_DOWN, none, wxSTC_CMD_LINEDOWN},       {wxSTC_KEY_DOWN, shift, wxSTC_CMD_LINEDOWNEXTEND},
        {wxSTC_KEY_DOWN, ctrl, wxSTC_CMD_LINESCROLLDOWN}, {wxSTC_KEY_UP, none, wxSTC_CMD_LINEUP},
        {wxSTC_KEY_UP, shift, wxSTC_CMD_LINEUPEXTEND},    {wxSTC_KEY_UP, ctrl, wxSTC_CMD_LINESCROLLUP},
        {wxSTC_KEY_LEFT, none, wxSTC_CMD_CHARLEFT},       {wxSTC_KEY_LEFT, shift, wxSTC_CMD_CHARLEFTEXTEND},
        {wxSTC_KEY_LEFT, ctrl, wxSTC_CMD_WORDLEFT},       {wxSTC_KEY_LEFT, ctrlShift, wxSTC_CMD_WORDLEFTEXTEND},
        {wxSTC_KEY_RIGHT, none, wxSTC_CMD_CHARRIGHT},     {wxSTC_KEY_RIGHT, shift, wxSTC_CMD_CHARRIGHTEXTEND},
        {wxSTC_KEY_RIGHT, ctrl, wxSTC_CMD_WORDRIGHT},     {wxSTC_KEY_RIGHT, ctrlShift, wxSTC_CMD_WORDRIGHTEXTEND},
        {wxSTC_KEY_HOME, none, wxSTC_CMD_VCHOMEWRAP},     {wxSTC_KEY_HOME, shift, wxSTC_CMD_VCHOMEWRAPEXTEND},
        {wxSTC_KEY_HOME, ctrl, wxSTC_CMD_DOCUMENTSTART},  {wxSTC_KEY_HOME, ctrlShift, wxSTC_CMD_DOCUMENTSTARTEXTEND},
        {wxSTC_KEY_END, none, wxSTC_CMD_LINEENDWRAP},     {wxSTC_KEY_END, shift, wxSTC_CMD_LINEENDWRAPEXTEND},
        {wxSTC_KEY_END, ctrl, wxSTC_CMD_DOCUMENTEND},     {wxSTC_KEY_END, ctrlShift, wxSTC_CMD_DOCUMENTENDEXTEND},
        {wxSTC_KEY_PRIOR, none, wxSTC_CMD_PAGEUP},        {wxSTC_KEY_PRIOR, shift, wxSTC_CMD_PAGEUPEXTEND},
        {wxSTC_KEY_NEXT, none, wxSTC_CMD_PAGEDOWN},       {wxSTC_KEY_NEXT, shift, wxSTC_CMD_PAGEDOWNEXTEND},
        {wxSTC_KEY_DELETE, none, wxSTC_CMD_CLEAR},        {wxSTC_KEY_BACK, none, wxSTC_CMD_DELETEBACK},
        {wxSTC_KEY_BACK, shift, wxSTC_CMD_DELETEBACK},    {wxSTC_KEY_INSERT, none, wxSTC_CMD_EDITTOGGLEOVERTYPE},
        {wxSTC_KEY_ESCAPE, none, wxSTC_CMD_CANCEL},       {wxSTC_KEY_RETURN, none, wxSTC_CMD_NEWLINE},
        {wxSTC_KEY_RETURN, shift, wxSTC_CMD_NEWLINE},     {'A', ctrl, wxSTC_CMD_SELECTALL},
    };
    for (const auto& key : aKeys)
        CmdKeyAssign(key.nKey, key.nModifiers, key.nCommand);
}

VRSegmentEditor::~VRSegmentEditor()
{
    if (m_pTipWindow)
        m_pTipWindow->Close();
}

void VRSegmentEditor::SetReadOnly(bool bReadOnly)
{
    m_bReadOnly = bReadOnly;
    if (bReadOnly)
    {
        const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
        for (int nStyleNo = SEGSTYLE_UNSTYLED; nStyleNo <= SEGSTYLE_SUB_HIDDEN; ++nStyleNo)
            SetStyleBackground(nStyleNo, face);
        for (int nStyleNo : {wxSTC_STYLE_DEFAULT, wxSTC_STYLE_LINENUMBER, wxSTC_STYLE_INDENTGUIDE, int(SEGSTYLE_GAP)})
            SetStyleBackground(nStyleNo, face);
        SetStyleForeground(SEGSTYLE_GAP, face);
        SetCaretColour(face);
    }
    else
    {
        ResetDefaultColours();
        // The button face would otherwise stay behind the markers and around the text.
        const std::vector<int> anStyles = ReadOnlyOnlyStyles();
        for (size_t i = 0; i < anStyles.size() && i < m_aEditableBackgrounds.size(); ++i)
            SetStyleBackground(anStyles[i], m_aEditableBackgrounds[i]);
    }
    if (GetReadOnly() != bReadOnly)
        wxStyledTextCtrl::SetReadOnly(bReadOnly);
}

void VRSegmentEditor::ResetDefaultColours()
{
    const wxColour window = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
    // The font never changes, and setting it makes the control measure its text again.
    if (!m_bFontSet)
    {
        StyleSetFont(SEGSTYLE_TEXT, wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE)));
        m_bFontSet = true;
    }
    SetStyleForeground(SEGSTYLE_TEXT, wxColour("BLACK"));
    SetStyleBackground(SEGSTYLE_TEXT, window);
    SetStyleBackground(SEGSTYLE_UNSTYLED, window);
    SetStyleBackground(SEGSTYLE_GAP, window);
    SetStyleForeground(SEGSTYLE_GAP, window);
    for (int nStyleNo : {SEGSTYLE_PH, SEGSTYLE_IT, SEGSTYLE_SUB})
        SetStyleForeground(nStyleNo, *wxBLUE);
    for (int nStyleNo = SEGSTYLE_BPT_FIRST; nStyleNo <= SEGSTYLE_BPT_LAST; ++nStyleNo)
        SetStyleForeground(nStyleNo, *wxBLUE);
    SetCaretColour(*wxBLACK);
}

// The grid switches every cell it fills to editable and back: only real changes reach the control,
// each of which makes it lay out its styles again.
void VRSegmentEditor::SetStyleBackground(int nStyleNo, const wxColour& colour)
{
    if (StyleGetBackground(nStyleNo) != colour)
        StyleSetBackground(nStyleNo, colour);
}

void VRSegmentEditor::SetStyleForeground(int nStyleNo, const wxColour& colour)
{
    if (StyleGetForeground(nStyleNo) != colour)
        StyleSetForeground(nStyleNo, colour);
}

void VRSegmentEditor::SetCaretColour(const wxColour& colour)
{
    if (GetCaretForeground() != colour)
        SetCaretForeground(colour);
}

bool VRSegmentEditor::SetCursor(const wxCursor& cursor)
{
    return wxStyledTextCtrl::SetCursor(m_bReadOnly ? *wxSTANDARD_CURSOR : cursor);
}

void VRSegmentEditor::LoadSegment(const wxString& sXML)
{
    tcDebugInfo debug("VRSegmentEditor::LoadSegment");
    const bool bControlReadOnly = GetReadOnly();
    if (bControlReadOnly)
        wxStyledTextCtrl::SetReadOnly(false);
    PutText(tSegmentXMLToDisplay(sXML), 0, 0);
    // The load is no edit: Ctrl+Z must not bring back the previous segment's text.
    m_aUndo.clear();
    m_aRedo.clear();
    m_eRun = EditRun::None;
    if (bControlReadOnly)
        wxStyledTextCtrl::SetReadOnly(true);
}

void VRSegmentEditor::ReplaceSegment(const wxString& sXML)
{
    tcDebugInfo debug("VRSegmentEditor::ReplaceSegment");
    const wxString sDisplay = tSegmentXMLToDisplay(sXML);
    if (sDisplay != GetText())
    {
        m_aUndo.push_back(CurrentState());
        m_aRedo.clear();
    }
    m_eRun = EditRun::None;
    PutText(sDisplay, 0, 0);
}

void VRSegmentEditor::ReloadSegment(const wxString& sXML)
{
    tcDebugInfo debug("VRSegmentEditor::ReloadSegment");
    const std::string sOld = GetBytes(GetLength());
    const int nAnchor = tSegmentTextOffset(sOld, GetAnchor());
    const int nCaret = tSegmentTextOffset(sOld, GetCurrentPos());
    const wxString sDisplay = tSegmentXMLToDisplay(sXML);
    const wxScopedCharBuffer bytes = sDisplay.utf8_str();
    const std::string sNew(bytes.data(), bytes.length());
    m_eRun = EditRun::None;
    PutText(sDisplay, tSegmentPositionOfTextOffset(sNew, nAnchor), tSegmentPositionOfTextOffset(sNew, nCaret));
}

wxString VRSegmentEditor::GetSegmentXML() const
{
    return tSegmentDisplayToXML(GetText());
}

VRSegmentEditor::SEditState VRSegmentEditor::CurrentState() const
{
    return SEditState{GetText(), GetAnchor(), GetCurrentPos()};
}

void VRSegmentEditor::PutText(const wxString& sDisplay, int nAnchor, int nCaret)
{
    ++m_nInternal;
    if (sDisplay != GetText())
    {
        SetText(sDisplay);
        // Styled at once, so the tags are hidden and protected before the first paint or keystroke.
        Colourise(0, -1);
    }
    wxStyledTextCtrl::SetSelection(ClampOutOfTag(nAnchor), ClampOutOfTag(nCaret));
    --m_nInternal;
}

void VRSegmentEditor::ApplyState(const SEditState& state)
{
    m_eRun = EditRun::None;
    PutText(state.sText, state.nAnchor, state.nCaret);
}

bool VRSegmentEditor::CanUndo() const
{
    return !m_aUndo.empty() && !GetReadOnly();
}

bool VRSegmentEditor::CanRedo() const
{
    return !m_aRedo.empty() && !GetReadOnly();
}

void VRSegmentEditor::Undo()
{
    if (CanUndo())
        StepHistory(m_aUndo, m_aRedo);
}

void VRSegmentEditor::Redo()
{
    if (CanRedo())
        StepHistory(m_aRedo, m_aUndo);
}

void VRSegmentEditor::StepHistory(std::vector<SEditState>& aFrom, std::vector<SEditState>& aTo)
{
    aTo.push_back(CurrentState());
    const SEditState state = aFrom.back();
    aFrom.pop_back();
    ApplyState(state);
}

template <typename Edit> void VRSegmentEditor::UserEdit(EditRun eRun, bool bBreaksRun, Edit edit)
{
    const SEditState before = CurrentState();
    const bool bContinues = eRun != EditRun::None && eRun == m_eRun && !bBreaksRun && before.nCaret == m_nRunCaret &&
                            before.nAnchor == before.nCaret;
    ++m_nUserEdit;
    edit();
    --m_nUserEdit;
    const wxString sAfter = GetText();
    if (sAfter == before.sText)
        return;
    if (tSegmentDisplayCodes(sAfter) != tSegmentDisplayCodes(before.sText))
    {
        // Whatever got past the protection (a command of the control's own), the codes come back.
        ApplyState(before);
        return;
    }
    if (!bContinues)
    {
        m_aUndo.push_back(before);
        m_aRedo.clear();
    }
    m_eRun = eRun;
    m_nRunCaret = GetCurrentPos();
}

void VRSegmentEditor::Copy()
{
    const int nFrom = GetSelectionStart();
    const int nTo = GetSelectionEnd();
    if (nFrom == nTo)
        return;
    const wxString sText = tSegmentDisplayPlainText(GetTextRange(nFrom, nTo));
    if (!sText.empty())
        CopyText(static_cast<int>(sText.utf8_str().length()), sText);
}

void VRSegmentEditor::DeleteSelection()
{
    // The control refuses a selection that holds a protected character.
    wxStyledTextCtrl::Clear();
}

void VRSegmentEditor::Cut()
{
    if (GetReadOnly() || GetSelectionEmpty())
        return;
    const int nFrom = GetSelectionStart();
    const int nTo = GetSelectionEnd();
    for (int i = nFrom; i < nTo; ++i)
        if (tIsProtectedSegmentStyle(GetStyleAt(i)))
            return;
    Copy();
    UserEdit(EditRun::None, true, [this]() { DeleteSelection(); });
}

void VRSegmentEditor::Paste()
{
    if (GetReadOnly() || !CanPaste())
        return;
    // Marks in the pasted text are taken out where text comes in (OnModified).
    UserEdit(EditRun::None, true, [this]() { wxStyledTextCtrl::Paste(); });
}

int VRSegmentEditor::ClampOutOfTag(int nPos)
{
    const int nLength = GetLength();
    if (nPos <= 0 || nPos >= nLength)
        return nPos;
    if (GetEndStyled() <= nPos)
        Colourise(0, -1);
    if (!tIsProtectedSegmentStyle(GetStyleAt(nPos - 1)) || !tIsProtectedSegmentStyle(GetStyleAt(nPos)))
        return nPos;
    while (nPos < nLength && tIsProtectedSegmentStyle(GetStyleAt(nPos)))
        ++nPos;
    return nPos;
}

void VRSegmentEditor::SetCurrentPos(int nCaret)
{
    wxStyledTextCtrl::SetCurrentPos(ClampOutOfTag(nCaret));
}

void VRSegmentEditor::SetAnchor(int nAnchor)
{
    wxStyledTextCtrl::SetAnchor(ClampOutOfTag(nAnchor));
}

void VRSegmentEditor::GotoPos(int nCaret)
{
    wxStyledTextCtrl::GotoPos(ClampOutOfTag(nCaret));
}

void VRSegmentEditor::SetEmptySelection(int nCaret)
{
    wxStyledTextCtrl::SetEmptySelection(ClampOutOfTag(nCaret));
}

void VRSegmentEditor::SetSelectionStart(int nAnchor)
{
    wxStyledTextCtrl::SetSelectionStart(ClampOutOfTag(nAnchor));
}

void VRSegmentEditor::SetSelectionEnd(int nCaret)
{
    wxStyledTextCtrl::SetSelectionEnd(ClampOutOfTag(nCaret));
}

void VRSegmentEditor::SetSelection(long nFrom, long nTo)
{
    // (-1, -1) selects everything.
    if (nFrom == -1 && nTo == -1)
        wxStyledTextCtrl::SetSelection(nFrom, nTo);
    else
        wxStyledTextCtrl::SetSelection(ClampOutOfTag(static_cast<int>(nFrom)),
                                       nTo == -1 ? nTo : ClampOutOfTag(static_cast<int>(nTo)));
}

void VRSegmentEditor::SetInsertionPoint(long nPos)
{
    // An insertion point, as in a text control: no selection from the old anchor.
    wxStyledTextCtrl::SetEmptySelection(ClampOutOfTag(static_cast<int>(nPos == -1 ? GetLastPosition() : nPos)));
}

std::string VRSegmentEditor::GetBytes(int nEnd)
{
    const wxCharBuffer bytes = GetTextRangeRaw(0, nEnd);
    return std::string(bytes.data(), bytes.length());
}

void VRSegmentEditor::OnTextModified(wxStyledTextEvent& event)
{
    // The translation pane listens for changes.
    event.Skip();
}

void VRSegmentEditor::OnStyleNeeded(wxStyledTextEvent& event)
{
    // Always from the start: an element may span the end of the previous request (a code with line
    // breaks), and lexing from the middle of it would show and unlock the rest. Segments are short.
    const int nEnd = std::min(event.GetPosition(), GetLength());
    if (nEnd <= 0)
        return;
    std::string sStyles = tLexSegmentStyles(GetBytes(nEnd), 0, nEnd);
    StartStyling(0);
    SetStyleBytes(static_cast<int>(sStyles.size()), sStyles.data());
}

void VRSegmentEditor::OnMouseHover(wxStyledTextEvent& event)
{
    const int nPos = event.GetPosition();
    if (nPos < 0 || nPos >= GetLength())
        return;
    auto isPairStyle = [this](int i)
    {
        const int nStyleNo = GetStyleAt(i);
        return nStyleNo >= SEGSTYLE_BPT_FIRST && nStyleNo <= SEGSTYLE_BPT_HIDDEN;
    };
    if (!isPairStyle(nPos))
        return;
    int nStart = nPos;
    while (nStart > 0 && isPairStyle(nStart - 1))
        --nStart;
    int nEnd = nPos + 1;
    while (nEnd < GetLength() && isPairStyle(nEnd))
        ++nEnd;
    const wxCharBuffer run = GetTextRangeRaw(nStart, nEnd);
    const std::string sTip = tExtractCtype(std::string(run.data(), run.length()));
    if (sTip.empty())
        return;
    if (m_pTipWindow)
        m_pTipWindow->Close();
    m_sTipText = wxString::FromUTF8(sTip);
    // Not the toolkit's tip window: it takes the focus and grabs the pointer, and keys typed while it
    // shows are lost. This one takes nothing; the first key or move ends the dwell and closes it.
    m_pTipWindow =
        new SegmentTagTip(this, m_sTipText, 100, ClientToScreen(wxPoint(event.GetX(), event.GetY())), &m_pTipWindow);
}

void VRSegmentEditor::OnMouseEndHover(wxStyledTextEvent&)
{
    if (m_pTipWindow)
        m_pTipWindow->Close();
}

void VRSegmentEditor::OnChar(wxKeyEvent& event)
{
    const int nKey = event.GetUnicodeKey();
    if (GetReadOnly() || nKey == WXK_NONE || nKey < ' ' || event.ControlDown() || event.AltDown())
    {
        event.Skip();
        return;
    }
    // A blank ends a typing run, so undo takes back a word at a time.
    const bool bBlank = nKey == ' ' || nKey == 0xA0 || nKey == 0x3000;
    UserEdit(EditRun::Typing, bBlank,
             [&]()
             {
                 // Overtyping replaces the character after the caret without asking whether it is
                 // protected.
                 const int nCaret = GetCurrentPos();
                 const bool bGuard = GetOvertype() && GetSelectionEmpty() && nCaret < GetLength() &&
                                     tIsProtectedSegmentStyle(GetStyleAt(nCaret));
                 if (bGuard)
                     SetOvertype(false);
                 wxStyledTextCtrl::OnChar(event);
                 if (bGuard)
                     SetOvertype(true);
             });
    // Handled here: the control's own handler must not add the character a second time.
    event.Skip(false);
}

void VRSegmentEditor::OnKeyDown(wxKeyEvent& event)
{
    // A tip closes on the first key, also on the keys the control never sees.
    if (m_pTipWindow)
        m_pTipWindow->Close();
    const int nKey = event.GetKeyCode();
    const int nModifiers = event.GetModifiers();
    const bool bReadOnly = GetReadOnly();
    if (nModifiers == wxMOD_CONTROL || nModifiers == (wxMOD_CONTROL | wxMOD_SHIFT) || nModifiers == wxMOD_SHIFT)
    {
        const bool bCtrl = (nModifiers & wxMOD_CONTROL) != 0;
        const bool bShift = (nModifiers & wxMOD_SHIFT) != 0;
        std::function<void()> fnCommand;
        if (bCtrl && !bShift && nKey == 'Z')
            fnCommand = [this]() { Undo(); };
        else if (bCtrl && ((!bShift && nKey == 'Y') || (bShift && nKey == 'Z')))
            fnCommand = [this]() { Redo(); };
        else if ((bCtrl && !bShift && nKey == 'X') || (!bCtrl && nKey == WXK_DELETE))
            fnCommand = [this]() { Cut(); };
        else if (bCtrl && !bShift && (nKey == 'C' || nKey == WXK_INSERT))
            fnCommand = [this]() { Copy(); };
        else if ((bCtrl && !bShift && nKey == 'V') || (!bCtrl && nKey == WXK_INSERT))
            fnCommand = [this]() { Paste(); };
        if (fnCommand)
        {
            fnCommand();
            return;
        }
    }
    if (!bReadOnly && (nModifiers & wxMOD_ALT) == 0)
    {
        const bool bExtend = (nModifiers & wxMOD_SHIFT) != 0;
        if (nKey == WXK_RIGHT || nKey == WXK_LEFT)
            StepOverGap(nKey == WXK_RIGHT, bExtend);
        const bool bPlain = (nModifiers & ~wxMOD_SHIFT) == 0;
        if (bPlain && (nKey == WXK_BACK || nKey == WXK_DELETE || nKey == WXK_RETURN || nKey == WXK_NUMPAD_ENTER))
        {
            // Between two codes, a deletion has nothing to take but the gap that keeps the place.
            if (GetSelectionEmpty() && (nKey == WXK_BACK || nKey == WXK_DELETE))
                StepOverGap(nKey == WXK_DELETE, false);
            const EditRun eRun = nKey == WXK_RETURN || nKey == WXK_NUMPAD_ENTER ? EditRun::None : EditRun::Deleting;
            UserEdit(eRun, !GetSelectionEmpty(), [&]() { wxStyledTextCtrl::OnKeyDown(event); });
            return;
        }
    }
    event.Skip();
}

void VRSegmentEditor::StepOverGap(bool bForward, bool bExtend)
{
    if (!bExtend && !GetSelectionEmpty())
        return;
    const int nCaret = GetCurrentPos();
    const int nGap = bForward ? nCaret : nCaret - kSegmentMarkBytes;
    if (nGap < 0 || !tIsSegmentMarkAt(GetBytes(GetLength()), nGap, kCodeGap))
        return;
    const int nTo = bForward ? nCaret + kSegmentMarkBytes : nGap;
    if (bExtend)
        wxStyledTextCtrl::SetCurrentPos(nTo);
    else
        wxStyledTextCtrl::SetEmptySelection(nTo);
}

void VRSegmentEditor::OnLeftUp(wxMouseEvent& event)
{
    event.Skip();
    const wxPoint point = event.GetPosition();
    CallAfter([this, point]() { SnapClickToPlace(point); });
}

void VRSegmentEditor::SnapClickToPlace(const wxPoint& point)
{
    if (!GetSelectionEmpty())
        return;
    // Between two codes the control puts the caret before the first or after the last of a run of
    // codes, whichever way it came from: the places between them are found here by their x.
    const std::string sBytes = GetBytes(GetLength());
    const int nLength = static_cast<int>(sBytes.size());
    const int nCaret = GetCurrentPos();
    auto isCodeByte = [&](int i) { return tIsProtectedSegmentStyle(GetStyleAt(i)) || GetStyleAt(i) == SEGSTYLE_GAP; };
    int nFrom = nCaret;
    while (nFrom > 0 && isCodeByte(nFrom - 1))
        --nFrom;
    int nTo = nCaret;
    while (nTo < nLength && isCodeByte(nTo))
        ++nTo;
    if (nFrom == nTo)
        return;
    int nBest = nCaret;
    int nBestDistance = -1;
    for (int i = nFrom; i <= nTo; ++i)
    {
        const bool bPlace = i == nFrom || i == nTo || tIsSegmentMarkAt(sBytes, i - kSegmentMarkBytes, kCodeClose);
        if (!bPlace)
            continue;
        const wxPoint at = PointFromPosition(i);
        if (std::abs(at.y - point.y) > TextHeight(LineFromPosition(i)))
            continue;
        const int nDistance = std::abs(at.x - point.x);
        if (nBestDistance < 0 || nDistance < nBestDistance)
        {
            nBest = i;
            nBestDistance = nDistance;
        }
    }
    if (nBest != nCaret)
        wxStyledTextCtrl::SetEmptySelection(nBest);
}

void VRSegmentEditor::OnContextMenu(wxContextMenuEvent&)
{
    SetFocus();
    wxMenu menu;
    menu.Append(wxID_UNDO);
    menu.Append(wxID_REDO);
    menu.AppendSeparator();
    menu.Append(wxID_CUT);
    menu.Append(wxID_COPY);
    menu.Append(wxID_PASTE);
    menu.AppendSeparator();
    menu.Append(wxID_SELECTALL);
    const bool bSelection = !GetSelectionEmpty();
    menu.Enable(wxID_UNDO, CanUndo());
    menu.Enable(wxID_REDO, CanRedo());
    menu.Enable(wxID_CUT, bSelection && !GetReadOnly());
    menu.Enable(wxID_COPY, bSelection);
    menu.Enable(wxID_PASTE, !GetReadOnly() && CanPaste());
    switch (GetPopupMenuSelectionFromUser(menu))
    {
    case wxID_UNDO:
        Undo();
        break;
    case wxID_REDO:
        Redo();
        break;
    case wxID_CUT:
        Cut();
        break;
    case wxID_COPY:
        Copy();
        break;
    case wxID_PASTE:
        Paste();
        break;
    case wxID_SELECTALL:
        SelectAll();
        break;
    default:
        break;
    }
}

void VRSegmentEditor::OnModified(wxStyledTextEvent& event)
{
    event.Skip();
    if (m_nInternal > 0)
        return;
    const int nType = event.GetModificationType();
    if (nType & wxSTC_MOD_INSERTCHECK)
    {
        // Text from outside (a paste, a drop, the primary selection) brings no code with it.
        const wxString sText = event.GetText();
        if (tSegmentDisplayPlainText(sText) != sText)
        {
            const wxString sPlain = tSegmentDisplayPlainText(sText);
            ChangeInsertion(static_cast<int>(sPlain.utf8_str().length()), sPlain);
        }
    }
    if ((nType & (wxSTC_MOD_BEFOREINSERT | wxSTC_MOD_BEFOREDELETE)) && m_nUserEdit == 0)
    {
        // A change that came by no key of the editor's (a drop, a middle-button paste): one step.
        m_aUndo.push_back(CurrentState());
        m_aRedo.clear();
        m_eRun = EditRun::None;
    }
}

void VRSegmentEditor::OnStartDrag(wxStyledTextEvent& event)
{
    // A drag would move or copy a code out of its place: refused when the selection holds one.
    const int nFrom = std::min(GetSelectionStart(), GetSelectionEnd());
    const int nTo = std::max(GetSelectionStart(), GetSelectionEnd());
    for (int i = nFrom; i < nTo; ++i)
        if (tIsProtectedSegmentStyle(GetStyleAt(i)))
        {
            event.SetDragText(wxString());
            return;
        }
}

// clang-format off
wxBEGIN_EVENT_TABLE(VRSegmentEditor, wxStyledTextCtrl)
    EVT_STC_CHANGE(wxID_ANY, VRSegmentEditor::OnTextModified)
    EVT_STC_STYLENEEDED(wxID_ANY, VRSegmentEditor::OnStyleNeeded)
    EVT_STC_DWELLSTART(wxID_ANY, VRSegmentEditor::OnMouseHover)
    EVT_STC_DWELLEND(wxID_ANY, VRSegmentEditor::OnMouseEndHover)
    EVT_STC_START_DRAG(wxID_ANY, VRSegmentEditor::OnStartDrag)
    EVT_STC_MODIFIED(wxID_ANY, VRSegmentEditor::OnModified)
    EVT_CHAR(VRSegmentEditor::OnChar)
    EVT_KEY_DOWN(VRSegmentEditor::OnKeyDown)
    EVT_LEFT_UP(VRSegmentEditor::OnLeftUp)
    EVT_CONTEXT_MENU(VRSegmentEditor::OnContextMenu)
wxEND_EVENT_TABLE()
    // clang-format on
