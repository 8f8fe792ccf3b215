#pragma once

#include "engine/XLIFFDTD.h"

#include <wx/frame.h>
#include <wx/panel.h>

#include <memory>
#include <string>
#include <vector>

class tcDocument;
class tcIO;
class tcNode;

// Support for the tests of the project page's panes: a project loaded from an XLIFF fixture as a
// saved project is, its segments, and a frame that records the notifications reaching it.

// Segment indexes in the first file of panes.xlf (PaneProject::Segments(0)).
enum PanesFixtureSegment
{
    kUnsegmented = 0, // unit 1: a source without target, one proposal
    kTwoOf1 = 1,      // unit 2: segments 1 to 3, target mrks 1 and 3 with a blank between
    kTwoOf2 = 2,
    kTwoOf3 = 3,
    kBold1 = 4,       // unit 3: bold across the break, as `it` codes; no target
    kBold2 = 5,
    kSubFlow = 6,     // unit 5: a mrk inside a sub; target mrk 1
    kDuplicate1 = 7,  // unit 6: target holds mid 1 twice
    kDuplicate2 = 8,
    kNoted = 9,       // unit 7: a note inside the mrk
    kSegmentCount = 10,
};

// A project file read through the XLIFF importer, with its vocabulary (InitXLIFFDTD, strict). The
// handler stays open, so the project has a file path (Datasource).
class PaneProject
{
public:
    // sFixture: a file name in tests/fixtures/xliff, or an absolute path.
    explicit PaneProject(const std::string& sFixture = "panes.xlf");
    ~PaneProject();
    PaneProject(const PaneProject&) = delete;
    PaneProject& operator=(const PaneProject&) = delete;

    bool IsLoaded() const { return m_bLoaded; }
    tcDocument* Doc() const { return m_pDoc.get(); }
    const SXLIFFDTD& DTD() const { return m_dtd; }
    const SXLIFFDTD* DTDPtr() const { return &m_dtd; }
    tcIO* IO() const { return m_pIO.get(); }
    // The `file` nodes in document order.
    std::vector<tcNode*> Files() const;
    // The segments of file nFile, as the page lists them.
    std::vector<tcNode*> Segments(int nFile = 0) const;
    // The `trans-unit` of file nFile with that id, null when there is none.
    tcNode* Unit(int nFile, const wxString& sId) const;

private:
    std::unique_ptr<tcDocument> m_pDoc;
    std::unique_ptr<tcIO> m_pIO;
    SXLIFFDTD m_dtd;
    bool m_bLoaded = false;
};

// Where the test programs find the program's data (catalogs and images, copied beside the build's
// programs); points g_sDataPath there and loads the English catalog. Returns false when it cannot.
bool UseProgramData();

// One pane notification as the page receives it.
struct SNotification
{
    int nId;
    wxObject* pObject;
};

// A frame whose panel stands in for the project page: panes are made as children of Panel(), and
// every pane notification (wxEVT_CHOICE with an id from 1 to 12) that reaches the panel is recorded.
class NotificationFrame : public wxFrame
{
public:
    explicit NotificationFrame(const wxString& sTitle = L"Panes", const wxSize& size = wxSize(900, 600));

    wxPanel* Panel() const { return m_pPanel; }
    // Lays the panel out with pPane filling it (or, with several panes, side by side) and shows the
    // frame.
    void ShowPanes(const std::vector<wxWindow*>& apPanes);

    // The ids received, in order.
    std::vector<int> Ids() const;
    void Clear() { aReceived.clear(); }

    std::vector<SNotification> aReceived;

private:
    wxPanel* m_pPanel;
};
