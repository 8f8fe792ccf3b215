#include "engine/VRProjectModel.h"

#include "Shared/VRSRXDoc.h"
#include "engine/Convertor.h"
#include "engine/VRMemDoc.h"
#include "engine/VRMemDocManager.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcLocalisationEngine.h"

VRProjectModel::VRProjectModel(CVRMemDocManager* pManager) : m_pMemDocManager(pManager) { ClearXLIFFDTD(m_XLIFFDTD); }
VRProjectModel::~VRProjectModel() = default;
wxString VRProjectModel::NewEmptyMemoryChoice() { return g_LocEngine.FindTranslation("DOCUMENT_CREATE_NEW_EMPTY"); }
void VRProjectModel::CreateNew(const wxString&, const wxString&, const wxArrayString&, const wxArrayString&,
                               const wxString&, int, tcConvertorProgress*)
{
    throw TextFailure("Not available");
}
void VRProjectModel::Open(const wxString&, CVRMemDoc*, const AskMemDocFn&) { throw TextFailure("Not available"); }
void VRProjectModel::CreateDocument(const wxString&) {}
void VRProjectModel::LoadSRX(const wxString&) {}
bool VRProjectModel::AddFile(const wxString&, const wxString&, const wxString&, int, tcConvertorProgress*)
{
    return false;
}
void VRProjectModel::CollectSegments(std::vector<tcNode*>& apSegments) const { apSegments.clear(); }
void VRProjectModel::CollectFileSegments(tcNode*, bool, std::vector<tcNode*>& apSegments) const { apSegments.clear(); }
void VRProjectModel::RefreshFiles() {}
bool VRProjectModel::RemoveFile(int) { return false; }
void VRProjectModel::SelectFile(int) {}
tcConvertor* VRProjectModel::GetConvertor(int) { return nullptr; }
void VRProjectModel::DropConvertors() { m_apConvertors.clear(); }
void VRProjectModel::CloseMemory() {}
void VRProjectModel::SetMemDocsPath(const wxString&) {}
wxString VRProjectModel::GetMemDocsPath() const { return wxString(); }
bool VRProjectModel::Save(const wxString&) { return false; }
CVRMemDoc* VRProjectModel::GetMemDoc() const { return m_pHeldMemDoc ? m_pHeldMemDoc : m_pOwnMemDoc.get(); }
bool VRProjectModel::IsChanged() const { return m_pDoc && m_pDoc->IsDirty(); }
void VRProjectModel::CollectFileNodes() {}
void VRProjectModel::FindRootAndXliff() {}
void VRProjectModel::OpenProjectMemory(const wxString&) {}
void VRProjectModel::ReleaseAll() {}
