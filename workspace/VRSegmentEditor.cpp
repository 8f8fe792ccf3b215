#include "workspace/VRSegmentEditor.h"

#include <wx/tipwin.h>

// clang-format off
wxBEGIN_EVENT_TABLE(VRSegmentEditor, wxStyledTextCtrl)
    EVT_STC_CHANGE(wxID_ANY, VRSegmentEditor::OnTextModified)
    EVT_STC_STYLENEEDED(wxID_ANY, VRSegmentEditor::OnStyleNeeded)
    EVT_STC_DWELLSTART(wxID_ANY, VRSegmentEditor::OnMouseHover)
    EVT_STC_DWELLEND(wxID_ANY, VRSegmentEditor::OnMouseEndHover)
    EVT_STC_START_DRAG(wxID_ANY, VRSegmentEditor::OnStartDrag)
wxEND_EVENT_TABLE()
// clang-format on

std::string tLexSegmentStyles(const std::string& sBytes, int nFrom, int nEnd)
{
    const int nLen = static_cast<int>(sBytes.size());
    nEnd = std::min(std::max(nEnd, 0), nLen);
    nFrom = std::min(std::max(nFrom, 0), nEnd);
    return std::string(static_cast<size_t>(nEnd - nFrom), static_cast<char>(SEGSTYLE_TEXT));
}

std::string tExtractCtype(const std::string&)
{
    return std::string();
}

VRSegmentEditor::VRSegmentEditor(wxWindow* pParent, wxWindowID nId, const wxString& sText, bool bReadOnly,
                                 const wxPoint& pos, const wxSize&, long nStyle)
    : wxStyledTextCtrl(pParent, nId, pos, wxSize(25, 25), nStyle), m_bReadOnly(bReadOnly)
{
    SetText(sText);
    SetReadOnly(bReadOnly);
}

VRSegmentEditor::~VRSegmentEditor() = default;

void VRSegmentEditor::SetReadOnly(bool bReadOnly)
{
    m_bReadOnly = bReadOnly;
    wxStyledTextCtrl::SetReadOnly(bReadOnly);
}

void VRSegmentEditor::ResetDefaultColours() {}

bool VRSegmentEditor::SetCursor(const wxCursor& cursor)
{
    return wxStyledTextCtrl::SetCursor(cursor);
}

void VRSegmentEditor::LoadSegment(const wxString& sText)
{
    SetText(sText);
    EmptyUndoBuffer();
}

void VRSegmentEditor::ReplaceSegment(const wxString& sText)
{
    SetText(sText);
}

int VRSegmentEditor::ClampOutOfTag(int nPos)
{
    return nPos;
}

void VRSegmentEditor::SetCurrentPos(int nCaret) { wxStyledTextCtrl::SetCurrentPos(ClampOutOfTag(nCaret)); }
void VRSegmentEditor::SetAnchor(int nAnchor) { wxStyledTextCtrl::SetAnchor(ClampOutOfTag(nAnchor)); }
void VRSegmentEditor::GotoPos(int nCaret) { wxStyledTextCtrl::GotoPos(ClampOutOfTag(nCaret)); }
void VRSegmentEditor::SetEmptySelection(int nCaret) { wxStyledTextCtrl::SetEmptySelection(ClampOutOfTag(nCaret)); }
void VRSegmentEditor::SetSelectionStart(int nAnchor) { wxStyledTextCtrl::SetSelectionStart(ClampOutOfTag(nAnchor)); }
void VRSegmentEditor::SetSelectionEnd(int nCaret) { wxStyledTextCtrl::SetSelectionEnd(ClampOutOfTag(nCaret)); }
void VRSegmentEditor::SetSelection(long nFrom, long nTo) { wxStyledTextCtrl::SetSelection(nFrom, nTo); }
void VRSegmentEditor::SetInsertionPoint(long nPos) { wxStyledTextCtrl::SetInsertionPoint(nPos); }

void VRSegmentEditor::OnTextModified(wxStyledTextEvent& event) { event.Skip(); }
void VRSegmentEditor::OnStyleNeeded(wxStyledTextEvent&) {}
void VRSegmentEditor::OnMouseHover(wxStyledTextEvent&) {}
void VRSegmentEditor::OnMouseEndHover(wxStyledTextEvent&) {}
void VRSegmentEditor::OnStartDrag(wxStyledTextEvent&) {}

std::string VRSegmentEditor::GetBytes(int) { return std::string(); }
