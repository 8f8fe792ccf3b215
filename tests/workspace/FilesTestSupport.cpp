#include "tests/workspace/FilesTestSupport.h"

#include "app/AppPaths.h"
#include "import/XLIFFImporter.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"

#include <wx/sizer.h>
#include <wx/stdpaths.h>

#include <filesystem>

std::vector<tcNode*> PaneTestProject::Files() const
{
    return Nodes(dtd.m_pFileElement);
}

std::vector<tcNode*> PaneTestProject::Nodes(const tcElement* pElement, const tcNode* pFrom) const
{
    std::vector<tcNode*> apNodes;
    if (!pFrom)
        pFrom = pDoc ? pDoc->GetDictionary() : nullptr;
    if (pFrom && pElement)
        pFrom->FindDescendantsOfElementType(pElement->GetID(), apNodes);
    return apNodes;
}

std::unique_ptr<PaneTestProject> LoadPaneProject(const std::string& sName)
{
    const std::filesystem::path path = sName.find('/') == std::string::npos
                                           ? std::filesystem::path(LINTRADO_FIXTURES_DIR) / "xliff" / sName
                                           : std::filesystem::path(sName);
    auto pProject = std::make_unique<PaneTestProject>();
    pProject->pDoc = std::make_unique<tcDocument>();
    pProject->pDoc->CreateDoc(L"project");
    std::unique_ptr<tcIO> pIO = g_pIORegistry->AllocateIO(XLIFFImporterGUID());
    if (!pIO)
    {
        ADD_FAILURE() << "no XLIFF handler";
        return nullptr;
    }
    pIO->AttachDoc(pProject->pDoc.get());
    if (!pIO->OpenDatasource(wxString(path.wstring())))
    {
        ADD_FAILURE() << "cannot open " << path;
        return nullptr;
    }
    int nProgress = 0;
    int nResult = 0;
    while ((nResult = pIO->LoadDictionary(nProgress, nullptr)) > 0)
    {
    }
    if (nResult != 0)
    {
        ADD_FAILURE() << "cannot load " << path << ": "
                      << (pIO->GetNumLoadErrors() ? pIO->GetLoadError(0).utf8_string() : std::string());
        return nullptr;
    }
    InitXLIFFDTD(pProject->pDoc.get(), pProject->dtd, true);
    return pProject;
}

PaneTestFrame::PaneTestFrame(const wxString& sTitle, const wxSize& size)
    : wxFrame(nullptr, wxID_ANY, sTitle, wxDefaultPosition, size)
{
    m_pHost = new wxPanel(this, wxID_ANY);
    m_pHost->Bind(wxEVT_CHOICE,
                  [this](wxCommandEvent& event)
                  {
                      if (event.GetId() >= 1 && event.GetId() <= 12)
                          m_aNotifications.push_back(PaneNotification{event.GetId(), event.GetEventObject()});
                      else
                          event.Skip();
                  });
    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    pSizer->Add(m_pHost, 1, wxEXPAND);
    SetSizer(pSizer);
    Show();
    Raise();
}

void PaneTestFrame::Arrange(const std::vector<std::pair<wxWindow*, int>>& aWindows)
{
    auto* pSizer = new wxBoxSizer(wxHORIZONTAL);
    for (const auto& [pWindow, nProportion] : aWindows)
        pSizer->Add(pWindow, nProportion, wxEXPAND | wxALL, 2);
    m_pHost->SetSizer(pSizer);
    m_pHost->Layout();
    Layout();
}

std::vector<int> PaneTestFrame::NotificationIds() const
{
    std::vector<int> anIds;
    for (const PaneNotification& notification : m_aNotifications)
        anIds.push_back(notification.nId);
    return anIds;
}

void PaneGuiTest::SetUp()
{
    GuiTest::SetUp();
    ApplyAppPaths(ComputeAppPaths(wxStandardPaths::Get().GetExecutablePath()));
    ASSERT_TRUE(g_LocEngine.LoadLocStrings(g_sAppDataPath + "/Languages/English.lang", true, true));
    Init_XLIFFImporter();
}

void PaneGuiTest::TearDown()
{
    Done_XLIFFImporter();
    g_LocEngine.Clear();
    GuiTest::TearDown();
}
