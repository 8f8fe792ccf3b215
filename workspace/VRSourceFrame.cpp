#include "workspace/VRSourceFrame.h"

#include "Shared/AppUtils_sharedMenu.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "workspace/PaneImages.h"
#include "workspace/SegmentXML.h"
#include "workspace/VRGrid.h"

#include <wx/bmpbuttn.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/stopwatch.h>

// clang-format off
wxBEGIN_EVENT_TABLE(VRSourceFrame, wxPanel)
    EVT_BUTTON(VRSourceFrame::ID_NEXT, VRSourceFrame::OnNextSegment)
    EVT_BUTTON(VRSourceFrame::ID_PREVIOUS, VRSourceFrame::OnPreviousSegment)
    EVT_BUTTON(VRSourceFrame::ID_NEXT_UNTRANSLATED, VRSourceFrame::OnNextUntranslated)
    EVT_BUTTON(VRSourceFrame::ID_PREVIOUS_UNTRANSLATED, VRSourceFrame::OnPreviousUntranslated)
    EVT_BUTTON(VRSourceFrame::ID_COPY_SOURCE, VRSourceFrame::OnCopySource)
    EVT_SPINCTRL(VRSourceFrame::ID_SPIN, VRSourceFrame::OnSegmentSpin)
    EVT_SIZE(VRSourceFrame::OnSize)
    EVT_CHOICE(VRGRID_SELECTION_CHANGED, VRSourceFrame::OnGridSelection)
wxEND_EVENT_TABLE()
// clang-format on

VRSourceFrame::VRSourceFrame(wxWindow* pParent, tcElement* pSourceElement, tcElement* pMrkElement,
                             const std::vector<tcNode*>& apSegments)
    : wxPanel(pParent, wxID_ANY), m_pSourceElement(pSourceElement), m_pMrkElement(pMrkElement),
      m_nSegmentCount(static_cast<int>(apSegments.size()))
{
    m_pGrid = new VRGrid(this, ID_GRID, wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    m_pGrid->AddColumn(new VRSegmentEditorColumn(m_pGrid, &VRSegmentEditor::SetReadOnly, true,
                                                 &VRSegmentEditor::LoadSegment, &VRSegmentEditor::GetSegmentXML));
    FillGrid(apSegments);

    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    pSizer->Add(m_pGrid, 10, wxEXPAND);
    pSizer->Add(new wxStaticLine(this, wxID_ANY), 0, wxEXPAND);
    pSizer->Add(CreateNavigation(), 0, wxEXPAND);
    SetSizer(pSizer);
}

void VRSourceFrame::FillGrid(const std::vector<tcNode*>& apSegments)
{
    wxStopWatch watch;
    kvLogN(L"<%s>", L"ADDITEMS");
    wxWindow::Freeze();
    m_pGrid->Freeze();
    for (const tcNode* pSegment : apSegments)
        m_pGrid->AddItem(0, GetSegmentXML(pSegment));
    m_pGrid->Thaw();
    wxWindow::Thaw();
    const wxLongLong nMicro = watch.TimeInMicro();
    kvLog(L"<~%s:%d,%d>", L"ADDITEMS", static_cast<int>(nMicro.GetValue() / 1000),
          static_cast<int>(nMicro.GetValue()));
}

wxSizer* VRSourceFrame::CreateNavigation()
{
    const bool bHaveSegments = m_nSegmentCount > 0;
    auto* pRow = new wxBoxSizer(wxHORIZONTAL);
    pRow->SetMinSize(-1, 28);
    pRow->Add(new wxStaticText(this, wxID_ANY, g_LocEngine.FindTranslation("SEGMENT")), 0, wxALIGN_CENTER_VERTICAL);
    pRow->AddSpacer(5);
    // GTK refuses the range 1..0: an empty file keeps 1..1, disabled. The spin takes its natural
    // width: a GTK 3 spin button with its two buttons does not fit into 100 pixels.
    m_pSpin = new wxSpinCtrl(this, ID_SPIN, L"1", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS | wxSP_WRAP, 1,
                             bHaveSegments ? m_nSegmentCount : 1, 1);
    pRow->Add(m_pSpin, 0, wxALIGN_CENTER_VERTICAL);
    pRow->Add(new wxStaticText(this, wxID_ANY,
                               wxString::Format(L" %s %d", g_LocEngine.FindTranslation("OF"), m_nSegmentCount)),
              0, wxALIGN_CENTER_VERTICAL);
    pRow->AddSpacer(5);

    const struct
    {
        int nId;
        const wchar_t* szImage;
        const char* szTip;
    } buttons[] = {
        {ID_PREVIOUS, L"Previous.png", "BUTTON_PREVIOUS_SEGMENT"},
        {ID_NEXT, L"Next.png", "BUTTON_NEXT_SEGMENT"},
        {ID_PREVIOUS_UNTRANSLATED, L"PreviousUntranslated.png", "BUTTON_PREVIOUS_UNTRANSLATED_SEGMENT"},
        {ID_NEXT_UNTRANSLATED, L"NextUntranslated.png", "BUTTON_NEXT_UNTRANSLATED_SEGMENT"},
        {ID_COPY_SOURCE, L"CopySource.png", "BUTTON_COPY_SOURCE"},
    };
    for (const auto& button : buttons)
    {
        auto* pButton = new wxBitmapButton(this, button.nId, PaneBitmap(button.szImage));
        pButton->SetToolTip(g_LocEngine.FindTranslation(button.szTip));
        pRow->Add(pButton, 0, wxALIGN_CENTER_VERTICAL);
    }
    if (!bHaveSegments)
    {
        m_pSpin->Disable();
        for (const auto& button : buttons)
            FindWindow(button.nId)->Disable();
    }
    return pRow;
}

wxString VRSourceFrame::GetCurrentSegmentText() const
{
    if (m_nSegmentCount == 0)
        return wxString();
    const auto* pColumn = dynamic_cast<const VRSegmentEditorColumn*>(m_pGrid->GetColumn(0));
    return pColumn ? pColumn->GetValue(m_nCurrentSegment) : wxString();
}

wxString VRSourceFrame::GetSegmentXML(const tcNode* pNode) const
{
    return ::GetSegmentXML(pNode, m_pSourceElement, m_pMrkElement);
}

void VRSourceFrame::SelectSegment(int nIndex)
{
    if (nIndex >= 0 && nIndex < m_nSegmentCount)
        MoveTo(nIndex);
}

void VRSourceFrame::SetSelectedSegment(int nIndex)
{
    if (nIndex >= 0 && nIndex < m_nSegmentCount)
        m_pGrid->SetSelectedItem(nIndex);
}

void VRSourceFrame::OnNextSegment(wxCommandEvent&)
{
    if (m_nSegmentCount > 0)
        MoveTo(m_nCurrentSegment + 1 >= m_nSegmentCount ? 0 : m_nCurrentSegment + 1);
}

void VRSourceFrame::OnPreviousSegment(wxCommandEvent&)
{
    if (m_nSegmentCount > 0)
        MoveTo(m_nCurrentSegment - 1 < 0 ? m_nSegmentCount - 1 : m_nCurrentSegment - 1);
}

void VRSourceFrame::OnNextUntranslated(wxCommandEvent&)
{
    if (m_nSegmentCount > 0)
        Notify(NOTIFY_NEXT_UNTRANSLATED);
}

void VRSourceFrame::OnPreviousUntranslated(wxCommandEvent&)
{
    if (m_nSegmentCount > 0)
        Notify(NOTIFY_PREVIOUS_UNTRANSLATED);
}

void VRSourceFrame::OnCopySource(wxCommandEvent&)
{
    if (m_nSegmentCount > 0)
        Notify(NOTIFY_COPY_SOURCE);
}

void VRSourceFrame::OnSegmentSpin(wxSpinEvent&)
{
    // An event that names the segment already current (the spin's text re-entered) is no move.
    const int nIndex = m_pSpin->GetValue() - 1;
    if (nIndex != m_nCurrentSegment)
        SelectSegment(nIndex);
}

void VRSourceFrame::OnSize(wxSizeEvent& event)
{
    event.Skip();
}

void VRSourceFrame::OnGridSelection(wxCommandEvent& event)
{
    if (event.GetEventObject() != m_pGrid)
        return;
    SelectSegment(event.GetInt());
}

void VRSourceFrame::MoveTo(int nIndex)
{
    m_nCurrentSegment = nIndex;
    m_pSpin->SetValue(nIndex + 1);
    Notify(NOTIFY_SEGMENT_CHANGED);
}

void VRSourceFrame::Notify(int nId)
{
    wxCommandEvent event(wxEVT_CHOICE, nId);
    event.SetEventObject(this);
    GetEventHandler()->AddPendingEvent(event);
}
