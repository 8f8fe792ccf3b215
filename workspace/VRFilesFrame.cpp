#include "workspace/VRFilesFrame.h"

#include "engine/ConvertorRegistry.h"
#include "engine/XLIFFDTD.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"
#include "workspace/PaneImages.h"

#include <wx/bmpbuttn.h>
#include <wx/grid.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include <algorithm>

namespace
{
// Keeps the grid's selection events from being sent while the pane itself changes rows or the
// selection: the grid reports those changes synchronously (inserting rows selects the first one on
// this toolkit), and they are no choice of the user, for the pane or anyone above it.
class GridEventsBlocker
{
public:
    explicit GridEventsBlocker(wxGrid* pGrid) : m_blocker(pGrid, wxEVT_GRID_SELECT_CELL)
    {
        m_blocker.Block(wxEVT_GRID_RANGE_SELECTED);
    }

private:
    wxEventBlocker m_blocker;
};
} // namespace

VRFilesFrame::VRFilesFrame(wxWindow* pParent, const SXLIFFDTD* pXLIFFDTD, const std::vector<tcNode*>& apFiles)
    : wxPanel(pParent, wxID_ANY), m_pXLIFFDTD(pXLIFFDTD)
{
    m_pGrid = new wxGrid(this, ID_GRID, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS);
    {
        GridEventsBlocker blocker(m_pGrid);
        m_pGrid->CreateGrid(0, 1, wxGrid::wxGridSelectRows);
        m_pGrid->SetColLabelSize(0);
        m_pGrid->SetRowLabelSize(0);
        // The narrow-pane rule below sets widths down to 10 pixels, under the grid's default floor.
        m_pGrid->SetColMinimalAcceptableWidth(1);
        m_pGrid->DisableDragRowSize();
    }

    auto* pBottom = new wxBoxSizer(wxHORIZONTAL);
    pBottom->SetMinSize(-1, 28);
    pBottom->Add(new wxStaticText(this, wxID_ANY, g_LocEngine.FindTranslation("FILE")), 0, wxALIGN_CENTRE_VERTICAL);
    pBottom->AddSpacer(5);
    m_pSpin =
        new wxSpinCtrl(this, ID_SPIN, "1", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS | wxSP_WRAP, 1, 1, 1);
    // GTK draws a spin narrower than its natural width wrongly (and complains), so that is the floor.
    m_pSpin->SetInitialSize(wxSize(std::max(100, m_pSpin->GetBestSize().GetWidth()), -1));
    pBottom->Add(m_pSpin, 0, wxALIGN_CENTRE_VERTICAL);
    m_pCountLabel = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, 0, "FileCount");
    pBottom->Add(m_pCountLabel, 0, wxALIGN_CENTRE_VERTICAL);
    pBottom->AddSpacer(5);
    m_pPrevious = new wxBitmapButton(this, ID_PREVIOUS, LoadPaneBitmap("Previous.png", wxART_GO_BACK));
    m_pPrevious->SetToolTip(g_LocEngine.FindTranslation("BUTTON_PREVIOUS_FILE"));
    pBottom->Add(m_pPrevious, 0, wxALIGN_CENTRE_VERTICAL);
    m_pNext = new wxBitmapButton(this, ID_NEXT, LoadPaneBitmap("Next.png", wxART_GO_FORWARD));
    m_pNext->SetToolTip(g_LocEngine.FindTranslation("BUTTON_NEXT_FILE"));
    pBottom->Add(m_pNext, 0, wxALIGN_CENTRE_VERTICAL);

    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    pSizer->Add(m_pGrid, 10, wxEXPAND);
    pSizer->Add(new wxStaticLine(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLI_HORIZONTAL), 0, wxEXPAND);
    pSizer->Add(pBottom, 0, wxEXPAND | wxLEFT | wxRIGHT, 2);
    SetSizer(pSizer);

    FillRows(apFiles);
    UpdateControls();
}

wxString VRFilesFrame::GetCurrentFileExtension() const
{
    if (m_nCurrentFile < 0 || m_nCurrentFile >= m_nFiles)
        return wxString();
    return ConvertorRegistry::ExtensionOf(m_pGrid->GetCellValue(m_nCurrentFile, 0));
}

void VRFilesFrame::SetFiles(const std::vector<tcNode*>& apFiles)
{
    FillRows(apFiles);
    m_nCurrentFile = m_nFiles > 0 ? std::clamp(m_nCurrentFile, 0, m_nFiles - 1) : 0;
    UpdateControls();
    // The new paths may need another column width.
    wxSizeEvent event(GetSize(), GetId());
    event.SetEventObject(this);
    OnSize(event);
}

void VRFilesFrame::FillRows(const std::vector<tcNode*>& apFiles)
{
    GridEventsBlocker blocker(m_pGrid);
    if (m_pGrid->GetNumberRows() > 0)
        m_pGrid->DeleteRows(0, m_pGrid->GetNumberRows());
    m_nFiles = static_cast<int>(apFiles.size());
    if (m_nFiles > 0)
        m_pGrid->InsertRows(0, m_nFiles);
    const tcAttribute* pOriginal = m_pXLIFFDTD ? m_pXLIFFDTD->m_pFileOriginalAttr : nullptr;
    for (int i = 0; i < m_nFiles; ++i)
    {
        m_pGrid->SetCellValue(i, 0, apFiles[i] ? apFiles[i]->GetAttributeDeprecatedAsString(pOriginal) : wxString());
        m_pGrid->SetReadOnly(i, 0);
    }
}

void VRFilesFrame::UpdateControls()
{
    const bool bAny = m_nFiles > 0;
    m_pSpin->SetRange(1, std::max(1, m_nFiles));
    m_pSpin->SetValue(bAny ? m_nCurrentFile + 1 : 1);
    m_pSpin->Enable(bAny);
    m_pPrevious->Enable(bAny);
    m_pNext->Enable(bAny);
    m_pCountLabel->SetLabel(wxString::Format(" %s %d", g_LocEngine.FindTranslation("OF"), m_nFiles));
    HighlightCurrentRow();
    Layout();
}

void VRFilesFrame::HighlightCurrentRow()
{
    GridEventsBlocker blocker(m_pGrid);
    if (m_nCurrentFile < 0 || m_nCurrentFile >= m_nFiles)
    {
        m_pGrid->ClearSelection();
        return;
    }
    m_pGrid->GoToCell(m_nCurrentFile, 0);
    m_pGrid->SelectRow(m_nCurrentFile);
}

void VRFilesFrame::ChangeFile(int nFile, bool bFromGrid)
{
    m_nCurrentFile = nFile;
    m_pSpin->SetValue(m_nCurrentFile + 1);
    // The grid already shows a row the user picked in it; moving its cursor from inside its own
    // event would fight the change it is making.
    if (!bFromGrid)
        HighlightCurrentRow();
    wxCommandEvent event(wxEVT_CHOICE, kFileChanged);
    event.SetEventObject(this);
    AddPendingEvent(event);
}

void VRFilesFrame::OnNextFile(wxCommandEvent&)
{
    if (m_nFiles <= 0)
        return;
    ChangeFile(m_nCurrentFile + 1 >= m_nFiles ? 0 : m_nCurrentFile + 1, false);
}

void VRFilesFrame::OnPreviousFile(wxCommandEvent&)
{
    if (m_nFiles <= 0)
        return;
    ChangeFile(m_nCurrentFile - 1 < 0 ? m_nFiles - 1 : m_nCurrentFile - 1, false);
}

void VRFilesFrame::OnFileSpin(wxSpinEvent& event)
{
    if (m_nFiles <= 0)
        return;
    ChangeFile(std::clamp(event.GetPosition() - 1, 0, m_nFiles - 1), false);
}

void VRFilesFrame::OnGridSelectCell(wxGridEvent& event)
{
    event.Skip();
    const int nRow = event.GetRow();
    // One click reports a deselection, a selection and a cell selection: only a change of file
    // counts, so a click makes one switch and a click on the current row none.
    if (nRow >= 0 && nRow < m_nFiles && nRow != m_nCurrentFile)
        ChangeFile(nRow, true);
}

void VRFilesFrame::OnGridRangeSelected(wxGridRangeSelectEvent& event)
{
    event.Skip();
    if (!event.Selecting())
        return;
    const int nRow = event.GetTopRow();
    if (nRow >= 0 && nRow < m_nFiles && nRow != m_nCurrentFile)
        ChangeFile(nRow, true);
}

void VRFilesFrame::OnSize(wxSizeEvent& event)
{
    event.Skip();
    if (!m_pGrid)
        return;
    // The column fills the pane but never becomes narrower than its longest path.
    m_pGrid->AutoSizeColumn(0, true);
    m_pGrid->ForceRefresh();
    const int nWidth = GetClientSize().GetWidth();
    const int nTarget = nWidth >= 20 ? nWidth - 10 : 10;
    if (m_pGrid->GetColSize(0) < nTarget)
    {
        m_pGrid->SetColSize(0, nTarget);
        m_pGrid->ForceRefresh();
    }
}

// clang-format off
wxBEGIN_EVENT_TABLE(VRFilesFrame, wxPanel)
    EVT_BUTTON(VRFilesFrame::ID_NEXT, VRFilesFrame::OnNextFile)
    EVT_BUTTON(VRFilesFrame::ID_PREVIOUS, VRFilesFrame::OnPreviousFile)
    EVT_SPINCTRL(VRFilesFrame::ID_SPIN, VRFilesFrame::OnFileSpin)
    EVT_GRID_CMD_SELECT_CELL(VRFilesFrame::ID_GRID, VRFilesFrame::OnGridSelectCell)
    EVT_GRID_CMD_RANGE_SELECTED(VRFilesFrame::ID_GRID, VRFilesFrame::OnGridRangeSelected)
    EVT_SIZE(VRFilesFrame::OnSize)
wxEND_EVENT_TABLE()
// clang-format on
