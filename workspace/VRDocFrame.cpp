#include "workspace/VRDocFrame.h"

#include "engine/VRMemDocStatistics.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"

tcEvent Evt_DocFrame_DatasourceChanged("Evt_DocFrame_DatasourceChanged");

VRDocFrame::VRDocFrame(wxWindow* pParent, const wxString& sSRXPath, CVRMemDocManager* pMemDocManager,
                       const wxString& sMemDoc, const wxArrayString& asSourceFiles,
                       const wxArrayString& asSourceLanguages, const wxString& sTargetLanguage, int nThreshold)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), m_Model(pMemDocManager)
{
    m_Model.CreateNew(sSRXPath, sMemDoc, asSourceFiles, asSourceLanguages, sTargetLanguage, nThreshold, nullptr);
    CreateLayout();
}

VRDocFrame::VRDocFrame(wxWindow* pParent, const wxString& sPath, CVRMemDocManager* pMemDocManager,
                       CVRMemDoc* pMemDoc)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), m_Model(pMemDocManager)
{
    m_Model.Open(sPath, pMemDoc, VRProjectModel::AskMemDocFn());
    CreateLayout();
}

VRDocFrame::~VRDocFrame() = default;

void VRDocFrame::CreateDocument() { m_Model.CreateDocument(m_Model.GetPath()); }
void VRDocFrame::LoadSRX(const wxString& sPath) { m_Model.LoadSRX(sPath); }

bool VRDocFrame::AddFile(const wxString& sSourcePath, const wxString& sSourceLanguage, const wxString& sTargetLanguage,
                         int nThreshold, tcConvertorProgress* pProgress)
{
    return m_Model.AddFile(sSourcePath, sSourceLanguage, sTargetLanguage, nThreshold, pProgress);
}

void VRDocFrame::CollectSegments(std::vector<tcNode*>& apSegments) const { m_Model.CollectSegments(apSegments); }
void VRDocFrame::RefreshFiles() { m_Model.RefreshFiles(); }
void VRDocFrame::RemoveCurrentFile() {}
int VRDocFrame::GetCurrentFile() const { return m_pPanes ? m_pPanes->GetCurrentFile() : m_nCurrentFile; }
void VRDocFrame::AfterFilesChanged() {}
void VRDocFrame::FlushCommit()
{
    if (m_pPanes)
        m_pPanes->FlushCommit();
}
void VRDocFrame::CreateLayout() { SelectFile(0); }
void VRDocFrame::SelectFile(int nIndex) { m_Model.SelectFile(nIndex); }
void VRDocFrame::SelectSegment(int) {}
bool VRDocFrame::Save() { return m_Model.Save(); }

wxString VRDocFrame::GetTitle() const
{
    wxString sTitle = GetFileName().empty() ? g_LocEngine.FindTranslation("DOC_WINDOWTITLE_UNTITLED") : GetFileName();
    if (GetDocument() && GetDocument()->IsDirty())
        sTitle += " (*" + g_LocEngine.FindTranslation("DOC_WINDOWTITLE_UNSAVED_CHANGES") + ")";
    return sTitle;
}

bool VRDocFrame::OutputTranslatedFile(wxString, wxString) { return false; }
wxArrayString VRDocFrame::GetTargetLanguages() const { return wxArrayString(); }
void VRDocFrame::GetStatistics(CVRMemDocStatistics*, int) {}
void VRDocFrame::ShowHTMLPreview(const wxString&) {}
bool VRDocFrame::LoadView(const wxString&) { return false; }
void VRDocFrame::SaveView(const wxString&) {}
void VRDocFrame::DeleteView(const wxString&) {}
void VRDocFrame::SetDefaultView() {}
void VRDocFrame::RestoreDefaultView() {}
void VRDocFrame::RestoreOriginalDefaultView() {}
