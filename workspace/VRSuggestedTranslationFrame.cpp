#include "workspace/VRSuggestedTranslationFrame.h"

#include "varnak/include/tcLocalisationEngine.h"
#include "workspace/PaneImages.h"
#include "workspace/VRGrid.h"

#include <wx/bmpbuttn.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statline.h>
#include <wx/wrapsizer.h>
#include <wx/stattext.h>

#include <algorithm>

// clang-format off
wxBEGIN_EVENT_TABLE(VRSuggestedTranslationFrame, wxPanel)
    EVT_SPINCTRL(VRSuggestedTranslationFrame::ID_SELECTION, VRSuggestedTranslationFrame::OnSelectSpin)
    EVT_SPINCTRL(VRSuggestedTranslationFrame::ID_PERCENT, VRSuggestedTranslationFrame::OnPercentSpin)
    EVT_SPINCTRL(VRSuggestedTranslationFrame::ID_LIMIT, VRSuggestedTranslationFrame::OnLimitSpin)
    EVT_BUTTON(VRSuggestedTranslationFrame::ID_USE, VRSuggestedTranslationFrame::OnUseTranslation)
    EVT_SIZE(VRSuggestedTranslationFrame::OnSize)
    EVT_CHOICE(VRGRID_SELECTION_CHANGED, VRSuggestedTranslationFrame::OnGridSelection)
wxEND_EVENT_TABLE()
// clang-format on

VRSuggestedTranslationFrame::VRSuggestedTranslationFrame(wxWindow* pParent, const SXLIFFDTD* pDTD, const tcIO* pIO)
    : wxPanel(pParent, wxID_ANY), m_pDTD(pDTD), m_pIO(pIO), m_limits(ReadSuggestionLimits(pIO))
{
    m_pGrid = new VRGrid(this, ID_GRID, wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    auto* pRating = new VRTextColumn(m_pGrid, &wxTextCtrl::SetEditable, false, &wxTextCtrl::SetValue,
                                     &wxTextCtrl::GetValue);
    pRating->SetHeading(g_LocEngine.FindTranslation("HEADING_RATING"));
    m_pGrid->AddColumn(pRating);
    for (const char* szHeading : {"HEADING_SOURCE", "HEADING_TRANSLATION"})
    {
        auto* pColumn = new VRSegmentEditorColumn(m_pGrid, &VRSegmentEditor::SetReadOnly, true,
                                                  &VRSegmentEditor::LoadSegment, &VRSegmentEditor::GetSegmentXML);
        pColumn->SetHeading(g_LocEngine.FindTranslation(szHeading));
        m_pGrid->AddColumn(pColumn);
    }

    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    pSizer->Add(m_pGrid, 10, wxEXPAND | wxALL, 1);
    pSizer->Add(new wxStaticLine(this, wxID_ANY), 0, wxEXPAND);
    pSizer->Add(CreateBottomRow(), 0, wxEXPAND);
    SetSizer(pSizer);
    Fill();
}

wxSizer* VRSuggestedTranslationFrame::CreateBottomRow()
{
    // A narrow pane wraps the row rather than hide the limit spin beyond its edge.
    auto* pRow = new wxWrapSizer(wxHORIZONTAL);
    pRow->SetMinSize(-1, 28);
    auto* pUse = new wxBitmapButton(this, ID_USE, PaneBitmap(L"UseTranslation.png"));
    pUse->SetToolTip(g_LocEngine.FindTranslation("BUTTON_USE_TRANSLATION"));
    pRow->Add(pUse, 0, wxALIGN_CENTER_VERTICAL);
    auto label = [this, pRow](const wxString& sText) {
        pRow->Add(new wxStaticText(this, wxID_ANY, sText), 0, wxALIGN_CENTER_VERTICAL);
    };
    // Spins take their natural width: a GTK 3 spin button with its two buttons needs more than 55
    // pixels.
    const long nSpinStyle = wxSP_ARROW_KEYS | wxSP_WRAP;

    label(g_LocEngine.FindTranslation("SUGGESTED_TRANSLATION"));
    pRow->AddSpacer(3);
    m_pSelectSpin = new wxSpinCtrl(this, ID_SELECTION, L"1", wxDefaultPosition, wxDefaultSize, nSpinStyle, 1, 1, 1);
    pRow->Add(m_pSelectSpin, 0, wxALIGN_CENTER_VERTICAL);
    label(L" " + g_LocEngine.FindTranslation("OF"));
    m_pCountLabel = new wxStaticText(this, wxID_ANY, L" 0");
    pRow->Add(m_pCountLabel, 0, wxALIGN_CENTER_VERTICAL);
    pRow->AddSpacer(2);
    label(L"  " + g_LocEngine.FindTranslation("SUGGESTED_TRANSLATION_MIN_PERCENT"));
    pRow->AddSpacer(3);
    m_pPercentSpin = new wxSpinCtrl(this, ID_PERCENT, wxEmptyString, wxDefaultPosition, wxDefaultSize, nSpinStyle, 1,
                                    kSuggestionLimitMax, m_limits.nMinPercent);
    pRow->Add(m_pPercentSpin, 0, wxALIGN_CENTER_VERTICAL);
    label(L"  " + g_LocEngine.FindTranslation("SUGGESTED_TRANSLATION_MAX_AMOUNT"));
    pRow->AddSpacer(3);
    m_pLimitSpin = new wxSpinCtrl(this, ID_LIMIT, wxEmptyString, wxDefaultPosition, wxDefaultSize, nSpinStyle, 1,
                                  kSuggestionLimitMax, m_limits.nMaxCount);
    pRow->Add(m_pLimitSpin, 0, wxALIGN_CENTER_VERTICAL);
    return pRow;
}

void VRSuggestedTranslationFrame::SetNode(const tcNode* pSegment)
{
    m_pSegment = pSegment;
    Fill();
}

void VRSuggestedTranslationFrame::Fill()
{
    m_nSelected = 0;
    m_aSuggestions.clear();
    if (m_pSegment && m_pDTD)
        m_aSuggestions = CollectSuggestions(*m_pDTD, m_pSegment, m_limits.nMinPercent, m_limits.nMaxCount);
    const int nShown = GetShownCount();

    wxWindow::Freeze();
    m_pGrid->Freeze();
    m_pGrid->Clear();
    for (const SSuggestion& suggestion : m_aSuggestions)
    {
        m_pGrid->AddItem(0, suggestion.sRating);
        m_pGrid->AddItem(1, suggestion.sSource);
        m_pGrid->AddItem(2, suggestion.sTarget);
    }
    // GTK refuses an empty range: no proposals keep 1..1, disabled.
    m_pSelectSpin->SetRange(1, std::max(1, nShown));
    m_pSelectSpin->SetValue(1);
    m_pSelectSpin->Enable(nShown > 0);
    m_pCountLabel->SetLabel(wxString::Format(L" %d", nShown));
    if (nShown > 0)
        m_pGrid->SetSelectedItem(0);
    m_pGrid->Thaw();
    wxWindow::Thaw();
    Layout();
}

tcNode* VRSuggestedTranslationFrame::GetSelectedSuggestion() const
{
    if (m_nSelected < 0 || m_nSelected >= GetShownCount())
        return nullptr;
    return m_aSuggestions[static_cast<size_t>(m_nSelected)].pTarget;
}

bool VRSuggestedTranslationFrame::IsExactMatch() const
{
    return m_nSelected >= 0 && m_nSelected < GetShownCount() &&
           m_aSuggestions[static_cast<size_t>(m_nSelected)].nScore == 100;
}

void VRSuggestedTranslationFrame::Select(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetShownCount())
        return;
    m_nSelected = nIndex;
    m_pSelectSpin->SetValue(nIndex + 1);
    m_pGrid->SetSelectedItem(nIndex);
}

void VRSuggestedTranslationFrame::OnSelectSpin(wxSpinEvent&)
{
    Select(m_pSelectSpin->GetValue() - 1);
}

void VRSuggestedTranslationFrame::OnPercentSpin(wxSpinEvent&)
{
    m_limits.nMinPercent = m_pPercentSpin->GetValue();
    LimitsChanged();
}

void VRSuggestedTranslationFrame::OnLimitSpin(wxSpinEvent&)
{
    m_limits.nMaxCount = m_pLimitSpin->GetValue();
    LimitsChanged();
}

void VRSuggestedTranslationFrame::LimitsChanged()
{
    WriteSuggestionLimits(m_pIO, m_limits);
    if (m_pSegment)
        Fill();
}

void VRSuggestedTranslationFrame::OnUseTranslation(wxCommandEvent&)
{
    wxCommandEvent event(wxEVT_CHOICE, NOTIFY_USE_SUGGESTION);
    event.SetEventObject(this);
    GetEventHandler()->AddPendingEvent(event);
}

void VRSuggestedTranslationFrame::OnSize(wxSizeEvent& event)
{
    event.Skip();
}

void VRSuggestedTranslationFrame::OnGridSelection(wxCommandEvent& event)
{
    if (event.GetEventObject() == m_pGrid)
        Select(event.GetInt());
}
