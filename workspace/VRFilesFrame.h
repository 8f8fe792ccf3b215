#pragma once

#include <wx/panel.h>

#include <vector>

struct SXLIFFDTD;
class tcNode;
class wxGrid;
class wxGridEvent;
class wxGridRangeSelectEvent;
class wxSpinCtrl;
class wxSpinEvent;
class wxStaticText;
class wxBitmapButton;

// The files pane of a project page: one row per `file` element showing its `original` path, a
// file-number spin and previous/next buttons that wrap around. Each change of the current file
// made by the user posts notification 6 (a wxEVT_CHOICE command event with id 6 and the pane as
// object) to the pane itself, from where it travels up to the page. Main thread only.
class VRFilesFrame : public wxPanel
{
public:
    enum
    {
        ID_NEXT = 30000,
        ID_PREVIOUS = 30001,
        ID_SPIN = 30002,
        ID_GRID = 30003,
    };
    // The notification the pane posts when the user chose another file.
    static constexpr int kFileChanged = 6;

    // pXLIFFDTD (the page's handle record, not owned) must outlive the pane; apFiles are the
    // project's `file` nodes in order. The first file is current.
    VRFilesFrame(wxWindow* pParent, const SXLIFFDTD* pXLIFFDTD, const std::vector<tcNode*>& apFiles);

    // Index of the current file (0-based); 0 for an empty list.
    int GetCurrentFile() const { return m_nCurrentFile; }
    // The current file's extension, taken from its file name (see ConvertorRegistry::ExtensionOf);
    // "" for an empty list.
    wxString GetCurrentFileExtension() const;
    int GetNumFiles() const { return m_nFiles; }

    // Refills the rows after files were added or removed. Posts nothing; the current file stays,
    // moved to the last file when it now lies past the end. The spin's range and the count label
    // follow the new count; an empty list disables the navigation.
    void SetFiles(const std::vector<tcNode*>& apFiles);

    wxGrid* GetGrid() const { return m_pGrid; }

private:
    void FillRows(const std::vector<tcNode*>& apFiles);
    // Brings spin range, count label, navigation state and the highlighted row in line with the
    // file count and the current file.
    void UpdateControls();
    // Highlights the current file's row; the grid sends no selection events for it.
    void HighlightCurrentRow();
    // Makes nFile current, shows it and posts notification 6. bFromGrid: the user picked the row
    // in the grid, which shows it already.
    void ChangeFile(int nFile, bool bFromGrid);

    void OnNextFile(wxCommandEvent& event);
    void OnPreviousFile(wxCommandEvent& event);
    void OnFileSpin(wxSpinEvent& event);
    void OnGridSelectCell(wxGridEvent& event);
    void OnGridRangeSelected(wxGridRangeSelectEvent& event);
    void OnSize(wxSizeEvent& event);

    wxGrid* m_pGrid = nullptr;
    wxSpinCtrl* m_pSpin = nullptr;
    const SXLIFFDTD* m_pXLIFFDTD = nullptr;
    int m_nFiles = 0;
    int m_nCurrentFile = 0;
    wxStaticText* m_pCountLabel = nullptr;
    wxBitmapButton* m_pPrevious = nullptr;
    wxBitmapButton* m_pNext = nullptr;

    wxDECLARE_EVENT_TABLE();
};
