#include "workspace/VRSegmentEditor.h"

#include "varnak/include/tcDebugInfo.h"
#include "workspace/SegmentTagTip.h"

#include <wx/settings.h>

#include <algorithm>
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

// The lexer's view of the bytes: nothing at or past the end it was asked to style is read.
class SegmentLexer
{
public:
    SegmentLexer(const std::string& sBytes, int nEnd, std::string& sStyles, int nFrom)
        : m_sBytes(sBytes), m_nEnd(nEnd), m_sStyles(sStyles), m_nFrom(nFrom)
    {
    }

    void Run()
    {
        int p = m_nFrom;
        while (p < m_nEnd)
        {
            if (m_sBytes[static_cast<size_t>(p)] != '<')
            {
                Style(p, 1, SEGSTYLE_TEXT);
                ++p;
            }
            else if (Has(p + 1, "sub"))
                p = Element(p, 4, SEGSTYLE_SUB, SEGSTYLE_IT_HIDDEN, SEGSTYLE_SUB_HIDDEN, {"sub"});
            else if (Has(p + 1, "it"))
                p = Element(p, 3, SEGSTYLE_IT, SEGSTYLE_IT_HIDDEN, SEGSTYLE_IT_HIDDEN, {"it"});
            else if (Has(p + 1, "ph"))
                p = Element(p, 3, SEGSTYLE_PH, SEGSTYLE_PH_HIDDEN, SEGSTYLE_PH_HIDDEN, {"ph"});
            else if ((Has(p + 1, "b") || Has(p + 1, "e")) && Has(p + 2, "pt"))
                // Either closing name ends either opener.
                p = Element(p, 4, PairMarkerStyle(p), SEGSTYLE_BPT_HIDDEN, SEGSTYLE_BPT_HIDDEN, {"bpt", "ept"});
            else
            {
                Style(p, 1, SEGSTYLE_TEXT);
                ++p;
            }
        }
    }

private:
    char At(int i) const { return m_sBytes[static_cast<size_t>(i)]; }

    bool Has(int i, const char* szText) const
    {
        for (; *szText; ++szText, ++i)
            if (i >= m_nEnd || At(i) != *szText)
                return false;
        return true;
    }

    void Style(int i, int nCount, int nStyle)
    {
        for (int k = i; k < i + nCount && k < m_nEnd; ++k)
            if (k >= m_nFrom)
                m_sStyles[static_cast<size_t>(k - m_nFrom)] = static_cast<char>(nStyle);
    }

    // The look-alike style of a bpt/ept marker, from the last digit of its i attribute. An attribute
    // whose closing quote lies beyond the end gives 2, so the opener is never left unprotected.
    int PairMarkerStyle(int p) const
    {
        char cQuote = 0;
        for (int r = p + 3; r < m_nEnd; ++r)
        {
            const char c = At(r);
            if (cQuote)
            {
                if (c == cQuote)
                    cQuote = 0;
                continue;
            }
            if (c == '"' || c == '\'')
                cQuote = c;
            else if (c == '>')
                return SEGSTYLE_BPT_FIRST;
            else if (c == '=' && At(r - 1) == 'i' && IsSpaceByte(At(r - 2)))
            {
                const int nQuote = r + 1;
                if (nQuote >= m_nEnd || (At(nQuote) != '"' && At(nQuote) != '\''))
                    return SEGSTYLE_BPT_FIRST;
                const char cOpen = At(nQuote);
                const int nValue = nQuote + 1;
                int q = nValue;
                while (q < m_nEnd && At(q) != cOpen)
                    ++q;
                if (q >= m_nEnd || q == nValue)
                    return SEGSTYLE_BPT_FIRST;
                const char cLast = At(q - 1);
                if (cLast >= '1' && cLast <= '9')
                    return SEGSTYLE_BPT_FIRST + (cLast - '1');
                if (cLast == '0')
                    return SEGSTYLE_BPT_LAST;
                return SEGSTYLE_BPT_FIRST;
            }
        }
        return SEGSTYLE_BPT_FIRST;
    }

    // Styles an inline element from its "<" at p: the opener (nOpener bytes) and its closing "/" and
    // ">" as markers, the rest hidden. An element ends at "/name>" for one of its closing names, or at
    // the "/>" that ends a self-closing opening tag; quoted attribute values and content after the
    // opening tag (a CDATA code) close nothing early. Returns where lexing goes on.
    int Element(int p, int nOpener, int nMarker, int nHidden, int nNameHidden,
                std::initializer_list<const char*> aNames)
    {
        Style(p, nOpener, nMarker);
        bool bInOpeningTag = true;
        char cQuote = 0;
        for (int q = p + nOpener; q < m_nEnd; ++q)
        {
            const char c = At(q);
            if (bInOpeningTag)
            {
                if (cQuote)
                {
                    if (c == cQuote)
                        cQuote = 0;
                    Style(q, 1, nHidden);
                    continue;
                }
                if (c == '"' || c == '\'')
                {
                    cQuote = c;
                    Style(q, 1, nHidden);
                    continue;
                }
                if (c == '/' && Has(q + 1, ">"))
                {
                    Style(q, 2, nMarker);
                    return q + 2;
                }
                if (c == '>')
                    bInOpeningTag = false;
            }
            if (c == '/')
                for (const char* szName : aNames)
                {
                    const int nName = static_cast<int>(std::char_traits<char>::length(szName));
                    if (Has(q + 1, szName) && Has(q + 1 + nName, ">"))
                    {
                        Style(q, 1, nMarker);
                        Style(q + 1, nName, nNameHidden);
                        Style(q + 1 + nName, 1, nMarker);
                        return q + nName + 2;
                    }
                }
            Style(q, 1, nHidden);
        }
        return m_nEnd;
    }

    const std::string& m_sBytes;
    int m_nEnd;
    std::string& m_sStyles;
    int m_nFrom;
};
} // namespace

std::string tLexSegmentStyles(const std::string& sBytes, int nFrom, int nEnd)
{
    const int nLen = static_cast<int>(sBytes.size());
    nEnd = std::min(std::max(nEnd, 0), nLen);
    nFrom = std::min(std::max(nFrom, 0), nEnd);
    std::string sStyles(static_cast<size_t>(nEnd - nFrom), static_cast<char>(SEGSTYLE_UNSTYLED));
    SegmentLexer(sBytes, nEnd, sStyles, nFrom).Run();
    return sStyles;
}

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
    for (int nStyleNo = SEGSTYLE_BPT_FIRST; nStyleNo <= SEGSTYLE_SUB_HIDDEN; ++nStyleNo)
        StyleSetChangeable(nStyleNo, false);
    // What an editable editor shows behind markers and around the text, to return to after a
    // read-only spell.
    for (int nStyleNo : ReadOnlyOnlyStyles())
        m_aEditableBackgrounds.push_back(StyleGetBackground(nStyleNo));
    // After the default colours, so that a read-only editor starts with the read-only ones.
    SetReadOnly(bReadOnly);
    LoadSegment(sText);
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
        for (int nStyleNo : {wxSTC_STYLE_DEFAULT, wxSTC_STYLE_LINENUMBER, wxSTC_STYLE_INDENTGUIDE})
            SetStyleBackground(nStyleNo, face);
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

void VRSegmentEditor::LoadSegment(const wxString& sText)
{
    tcDebugInfo debug("VRSegmentEditor::LoadSegment");
    const bool bControlReadOnly = GetReadOnly();
    if (bControlReadOnly)
        wxStyledTextCtrl::SetReadOnly(false);
    SetText(sText);
    // Styled at once, so the tags are hidden and protected before the first paint or keystroke.
    Colourise(0, -1);
    // The load is no edit: Ctrl+Z must not bring back the previous segment's text.
    EmptyUndoBuffer();
    wxStyledTextCtrl::SetEmptySelection(0);
    if (bControlReadOnly)
        wxStyledTextCtrl::SetReadOnly(true);
}

void VRSegmentEditor::ReplaceSegment(const wxString& sText)
{
    tcDebugInfo debug("VRSegmentEditor::ReplaceSegment");
    BeginUndoAction();
    SetText(sText);
    EndUndoAction();
    Colourise(0, -1);
    wxStyledTextCtrl::SetEmptySelection(0);
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
    // Overtyping replaces the character after the caret without asking whether it is protected.
    const int nCaret = GetCurrentPos();
    if (GetOvertype() && GetSelectionEmpty() && nCaret < GetLength() && tIsProtectedSegmentStyle(GetStyleAt(nCaret)))
    {
        SetOvertype(false);
        wxStyledTextCtrl::OnChar(event);
        SetOvertype(true);
        return;
    }
    event.Skip();
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
    EVT_CHAR(VRSegmentEditor::OnChar)
wxEND_EVENT_TABLE()
    // clang-format on
