#include "tests/workspace/PaneTestSupport.h"

#include "import/XLIFFImporter.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"
#include "workspace/SegmentXML.h"

#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/stdpaths.h>

#include <filesystem>

PaneProject::PaneProject(const std::string& sFixture)
{
    namespace fs = std::filesystem;
    const fs::path path = fs::path(sFixture).is_absolute()
                              ? fs::path(sFixture)
                              : fs::path(LINTRADO_FIXTURES_DIR) / "xliff" / sFixture;
    Init_XLIFFImporter();
    m_pDoc = std::make_unique<tcDocument>();
    m_pDoc->CreateDoc(L"project");
    m_pIO = g_pIORegistry->AllocateIO(XLIFFImporterGUID());
    if (!m_pIO)
    {
        ADD_FAILURE() << "no XLIFF handler";
        return;
    }
    m_pIO->AttachDoc(m_pDoc.get());
    if (!m_pIO->OpenDatasource(wxString(path.wstring())))
    {
        ADD_FAILURE() << "cannot open " << path;
        return;
    }
    int nProgress = 0;
    int nResult = 0;
    while ((nResult = m_pIO->LoadDictionary(nProgress, nullptr)) > 0)
    {
    }
    if (nResult != 0)
    {
        ADD_FAILURE() << "cannot load " << path << ": "
                      << (m_pIO->GetNumLoadErrors() ? m_pIO->GetLoadError(0).utf8_string() : "");
        return;
    }
    InitXLIFFDTD(m_pDoc.get(), m_dtd, true);
    m_bLoaded = true;
}

PaneProject::~PaneProject()
{
    if (m_pIO)
        m_pIO->DetachDoc();
}

std::vector<tcNode*> PaneProject::Files() const
{
    std::vector<tcNode*> apFiles;
    if (m_pDoc->GetDictionary() && m_dtd.m_pFileElement)
        m_pDoc->GetDictionary()->FindDescendantsOfElementType(m_dtd.m_pFileElement->GetID(), apFiles);
    return apFiles;
}

std::vector<tcNode*> PaneProject::Segments(int nFile) const
{
    const std::vector<tcNode*> apFiles = Files();
    if (nFile < 0 || nFile >= static_cast<int>(apFiles.size()))
        return {};
    return CollectFileSegments(m_dtd, apFiles[static_cast<size_t>(nFile)]);
}

tcNode* PaneProject::Unit(int nFile, const wxString& sId) const
{
    const std::vector<tcNode*> apFiles = Files();
    if (nFile < 0 || nFile >= static_cast<int>(apFiles.size()))
        return nullptr;
    std::vector<tcNode*> apUnits;
    apFiles[static_cast<size_t>(nFile)]->FindDescendantsOfElementType(m_dtd.m_pTransUnitElement->GetID(), apUnits);
    for (tcNode* pUnit : apUnits)
    {
        if (pUnit->GetAttributeSByName(L"id") == sId)
            return pUnit;
    }
    return nullptr;
}

bool UseProgramData()
{
    const wxString sData = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath() + L"/../Data/";
    g_sDataPath = sData;
    return g_LocEngine.LoadLocStrings(sData + L"Lintrado/Languages/English.lang", true, true);
}

NotificationFrame::NotificationFrame(const wxString& sTitle, const wxSize& size)
    : wxFrame(nullptr, wxID_ANY, sTitle, wxDefaultPosition, size)
{
    m_pPanel = new wxPanel(this, wxID_ANY);
    m_pPanel->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
        if (event.GetId() >= 1 && event.GetId() <= 12)
            aReceived.push_back({event.GetId(), event.GetEventObject()});
    });
}

void NotificationFrame::ShowPanes(const std::vector<wxWindow*>& apPanes)
{
    auto* pSizer = new wxBoxSizer(wxHORIZONTAL);
    for (wxWindow* pPane : apPanes)
        pSizer->Add(pPane, 1, wxEXPAND | wxALL, 2);
    m_pPanel->SetSizer(pSizer);
    Show();
    m_pPanel->Layout();
    Layout();
}

std::vector<int> NotificationFrame::Ids() const
{
    std::vector<int> anIds;
    for (const SNotification& notification : aReceived)
        anIds.push_back(notification.nId);
    return anIds;
}
