#pragma once

#include "engine/XLIFFDTD.h"
#include "tests/harness/GuiTest.h"
#include "varnak/include/tcDocument.h"

#include <wx/frame.h>
#include <wx/panel.h>

#include <memory>
#include <string>
#include <vector>

class tcNode;

// Support for tests of the project page's panes: a project loaded from an XLIFF fixture, a frame
// whose panel records the pane notifications, and a fixture class that sets up the program's data
// (catalog, images) and the XLIFF importer.

// A project document read from tests/fixtures/xliff through the XLIFF importer, with its handle
// record filled in strict mode, as the project page does for a saved project.
struct PaneTestProject
{
    std::unique_ptr<tcDocument> pDoc;
    SXLIFFDTD dtd;

    // The `file` nodes, in document order.
    std::vector<tcNode*> Files() const;
    // The descendants of pFrom (the whole project when null) of the kind pElement, in document order.
    std::vector<tcNode*> Nodes(const tcElement* pElement, const tcNode* pFrom = nullptr) const;
};

// Loads the fixture (a file name in tests/fixtures/xliff, or any path when sName holds a "/");
// null, with a test failure, when it does not load. The document is clean.
std::unique_ptr<PaneTestProject> LoadPaneProject(const std::string& sName);

// One pane notification as it reached the test frame's panel: its id (1-12) and event object.
struct PaneNotification
{
    int nId;
    wxObject* pObject;
};

// A shown frame holding a panel that records every pane notification (a wxEVT_CHOICE command
// event with an id from 1 to 12) that reaches it. Put panes into GetHost() and lay them out with
// Arrange.
class PaneTestFrame : public wxFrame
{
public:
    explicit PaneTestFrame(const wxString& sTitle = "Panes", const wxSize& size = wxSize(640, 400));

    wxPanel* GetHost() const { return m_pHost; }
    // Lays the windows out side by side, each with the given proportion of the width.
    void Arrange(const std::vector<std::pair<wxWindow*, int>>& aWindows);

    const std::vector<PaneNotification>& Notifications() const { return m_aNotifications; }
    // The ids of the notifications received so far.
    std::vector<int> NotificationIds() const;
    void ClearNotifications() { m_aNotifications.clear(); }

private:
    wxPanel* m_pHost;
    std::vector<PaneNotification> m_aNotifications;
};

// Window tests of panes: loads the English catalog and points the program's data paths at the
// data the build copies beside the programs, and registers the XLIFF importer, for each test.
class PaneGuiTest : public GuiTest
{
protected:
    void SetUp() override;
    void TearDown() override;
};
