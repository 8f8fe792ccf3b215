#pragma once

#include <wx/popupwin.h>

#include <vector>

// The small tip the segment editor shows over a code. Unlike the toolkit's tip window, which on GTK
// takes the keyboard focus and grabs the pointer (so that keys typed while it shows are lost), it
// never takes the focus and grabs nothing: every key and mouse event goes on to the window beneath.
// Lines break at spaces to stay within a maximum width. Whoever opens it closes it; a click on it
// closes it too. Main thread only.
class SegmentTagTip : public wxPopupWindow
{
public:
    // Shows sText just below the screen point ptPointer (where the pointer rests), kept on the screen.
    // *ppSelf is cleared when the tip closes, however that happens. The parent owns the window.
    SegmentTagTip(wxWindow* pParent, const wxString& sText, int nMaxWidth, const wxPoint& ptPointer,
                  SegmentTagTip** ppSelf);
    ~SegmentTagTip() override;

    // Hides the tip, clears the opener's pointer at once and deletes the window at the next idle
    // time (a click closes it from its own handler).
    void Close();

    // The text as shown, one entry per line.
    const std::vector<wxString>& GetLines() const { return m_asLines; }

private:
    void OnPaint(wxPaintEvent& event);
    void OnClick(wxMouseEvent& event);

    std::vector<wxString> m_asLines;
    int m_nLineHeight = 0;
    SegmentTagTip** m_ppSelf;

    wxDECLARE_EVENT_TABLE();
};
