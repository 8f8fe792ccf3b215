#include "workspace/SegmentTagTip.h"

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/textwrapper.h>

#include <algorithm>

namespace
{
// Between the border and the text.
const int TEXT_MARGIN = 3;

class LineCollector : public wxTextWrapper
{
public:
    explicit LineCollector(std::vector<wxString>& asLines) : m_asLines(asLines) {}

protected:
    void OnOutputLine(const wxString& sLine) override { m_asLines.push_back(sLine); }

private:
    std::vector<wxString>& m_asLines;
};
} // namespace

SegmentTagTip::SegmentTagTip(wxWindow* pParent, const wxString& sText, int nMaxWidth, const wxPoint& ptPointer,
                             SegmentTagTip** ppSelf)
    : wxPopupWindow(pParent, wxBORDER_NONE), m_ppSelf(ppSelf)
{
    SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT));
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK));
    LineCollector(m_asLines).Wrap(this, sText, nMaxWidth);
    if (m_asLines.empty())
        m_asLines.emplace_back();

    wxClientDC dc(this);
    dc.SetFont(GetFont());
    int nWidest = 0;
    for (const wxString& sLine : m_asLines)
    {
        const wxSize extent = dc.GetTextExtent(sLine);
        nWidest = std::max(nWidest, extent.x);
        m_nLineHeight = std::max(m_nLineHeight, extent.y);
    }
    m_nLineHeight = std::max(m_nLineHeight, dc.GetCharHeight());
    const int nFrame = 2 * (TEXT_MARGIN + 1);
    SetClientSize(nWidest + nFrame, static_cast<int>(m_asLines.size()) * m_nLineHeight + nFrame);

    // Below the pointer rather than under it; where the cursor's hot spot lies is unknown, so half its
    // height.
    const int nBelow = wxSystemSettings::GetMetric(wxSYS_CURSOR_Y, pParent) / 2;
    Position(ptPointer + wxPoint(0, std::max(nBelow, 0)), wxSize(0, 0));
    Show();
}

SegmentTagTip::~SegmentTagTip()
{
    if (m_ppSelf)
        *m_ppSelf = nullptr;
}

void SegmentTagTip::Close()
{
    if (m_ppSelf)
    {
        *m_ppSelf = nullptr;
        m_ppSelf = nullptr;
    }
    Hide();
    // Without an application the parent still deletes it.
    if (wxTheApp)
        wxTheApp->ScheduleForDestruction(this);
}

void SegmentTagTip::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    dc.SetBrush(wxBrush(GetBackgroundColour()));
    dc.SetPen(wxPen(GetForegroundColour()));
    dc.DrawRectangle(wxPoint(0, 0), GetClientSize());
    dc.SetFont(GetFont());
    dc.SetTextForeground(GetForegroundColour());
    dc.SetTextBackground(GetBackgroundColour());
    int y = TEXT_MARGIN + 1;
    for (const wxString& sLine : m_asLines)
    {
        dc.DrawText(sLine, TEXT_MARGIN + 1, y);
        y += m_nLineHeight;
    }
}

void SegmentTagTip::OnClick(wxMouseEvent&)
{
    Close();
}

// clang-format off
wxBEGIN_EVENT_TABLE(SegmentTagTip, wxPopupWindow)
    EVT_PAINT(SegmentTagTip::OnPaint)
    EVT_LEFT_DOWN(SegmentTagTip::OnClick)
    EVT_RIGHT_DOWN(SegmentTagTip::OnClick)
    EVT_MIDDLE_DOWN(SegmentTagTip::OnClick)
wxEND_EVENT_TABLE()
    // clang-format on
