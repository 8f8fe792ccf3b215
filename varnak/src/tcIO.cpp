#include "varnak/include/tcIO.h"

#include "varnak/include/tObjectLife.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDocument.h"

#include <wx/filename.h>

#include <utility>

namespace
{
constinit tcIORegistry s_registry;
} // namespace

tcIORegistry* const g_pIORegistry = &s_registry;

// ---- tcIO ---------------------------------------------------------------------------------------

namespace
{
// Every handler, so that a destroyed document is let go by the handlers still attached to it.
tcLiveObjects<tcIO>& Handlers()
{
    static auto* pHandlers = new tcLiveObjects<tcIO>;
    return *pHandlers;
}
} // namespace

tcIO::tcIO()
{
    Handlers().Add(this);
}

tcIO::~tcIO()
{
    tNotifyDestroyed(this);
    Handlers().Remove(this);
    // No application context may keep a destroyed handler as its current one.
    tcAppContext::ForgetIO(this);
}

void tcIO::ForgetDocument(const tcDocument* pDoc)
{
    Handlers().ForEach(
        [pDoc](tcIO* pIO)
        {
            if (pIO->m_pDoc == pDoc)
                pIO->m_pDoc = nullptr;
        });
}

tcDictionary* tcIO::GetDictionary() const
{
    return m_pDoc ? m_pDoc->GetDictionary() : nullptr;
}

bool tcIO::SetDictionary(tcDictionary* pDictionary)
{
    if (!m_pDoc)
        return false;
    m_pDoc->SetDictionary(pDictionary);
    return true;
}

bool tcIO::OpenDatasource(const wxString&)
{
    return false;
}

wxString tcIO::GetRelativeRoot() const
{
    const wxString sSource = GetDatasource();
    if (sSource.empty())
        return wxString();
    return wxFileName(sSource).GetPath();
}

int tcIO::LoadDictionary(int&, void*)
{
    AddLoadError(L"This data-source handler cannot load documents");
    return -1;
}

int tcIO::LoadMerge(int&, void*)
{
    AddLoadError(L"This data-source handler cannot load documents");
    return -1;
}

bool tcIO::LoadEntry(tcNode*, bool& bError, bool)
{
    bError = false;
    return true;
}

bool tcIO::LoadEntries(const std::vector<tcEntry*>&, bool& bError)
{
    bError = false;
    return true;
}

bool tcIO::LoadAll(tcLanguage*, bool, tcNode*, bool& bError, bool& bResult)
{
    bError = false;
    bResult = true;
    return true;
}

int tcIO::Save(const std::vector<tcEntry*>&)
{
    return -1;
}

int tcIO::SaveAs(const wxString&, tcProgress*)
{
    return -1;
}

int tcIO::ExportDictionary(const wxString&, const SExportOptions*)
{
    return -1;
}

wxString tcIO::GetLoadError(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumLoadErrors())
        return wxString();
    return m_asLoadErrors[static_cast<size_t>(nIndex)];
}

// ---- tcIORegistry -------------------------------------------------------------------------------

tcIORegistry::~tcIORegistry()
{
    // The process's registry ends with the program, when nothing holds a box any more.
    if (this != g_pIORegistry)
        tNotifyDestroyed(this);
}

const tcIORegistry::Type* tcIORegistry::Find(const tGUID& guid) const
{
    for (const Type& type : m_aTypes)
    {
        if (type.guid == guid)
            return &type;
    }
    return nullptr;
}

bool tcIORegistry::Add(Type type)
{
    if (type.guid.IsNull() || Find(type.guid))
        return false;
    m_aTypes.push_back(std::move(type));
    return true;
}

bool tcIORegistry::RegisterIO(const tGUID& guid, int nFlags, const wxString& sTag, const wxString& sName,
                              IO_ALLOCATER pfnAllocate, IO_SELECTDATASOURCE pfnSelect)
{
    if (!pfnAllocate)
        return false;
    Type type{guid, nFlags, sTag, sName};
    type.pfnAllocate = pfnAllocate;
    type.pfnSelect = pfnSelect;
    return Add(std::move(type));
}

bool tcIORegistry::RegisterExporter(const tGUID& guid, const wxString& sTag, const wxString& sName,
                                    IO_EXPORTPROC pfnExport)
{
    if (!pfnExport)
        return false;
    Type type{guid, IOFLAG_EXPORT, sTag, sName};
    type.pfnExport = pfnExport;
    return Add(std::move(type));
}

bool tcIORegistry::Unregister(const tGUID& guid)
{
    for (auto it = m_aTypes.begin(); it != m_aTypes.end(); ++it)
    {
        if (it->guid == guid)
        {
            m_aTypes.erase(it);
            return true;
        }
    }
    return false;
}

bool tcIORegistry::IsProcExporter(const tGUID& guid) const
{
    const Type* pType = Find(guid);
    return pType && pType->pfnExport;
}

int tcIORegistry::Export(const tGUID& guid, tcDocument* pDoc, const wxString& sPath,
                         const SExportOptions* pOptions) const
{
    const Type* pType = Find(guid);
    if (!pType || !pType->pfnExport)
        return -1;
    return pType->pfnExport(pDoc, sPath, pOptions);
}

std::unique_ptr<tcIO> tcIORegistry::AllocateIO(const tGUID& guid) const
{
    const Type* pType = Find(guid);
    if (!pType || !pType->pfnAllocate)
        return nullptr;
    std::unique_ptr<tcIO> pIO = pType->pfnAllocate();
    if (pIO)
        pIO->SetDatasourceType(guid);
    return pIO;
}

bool tcIORegistry::SelectDatasource(const tGUID& guid, wchar_t* szBuffer, size_t nBufferSize) const
{
    const Type* pType = Find(guid);
    if (!pType || !pType->pfnSelect || !szBuffer || nBufferSize == 0)
        return false;
    return pType->pfnSelect(szBuffer, nBufferSize);
}

tGUID tcIORegistry::GetIOType(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumIO())
        return tGUID();
    return m_aTypes[static_cast<size_t>(nIndex)].guid;
}

tGUID tcIORegistry::GetIOTypeFromTag(const wxString& sTag) const
{
    for (const Type& type : m_aTypes)
    {
        if (type.sTag == sTag)
            return type.guid;
    }
    return tGUID();
}

int tcIORegistry::GetIOFlags(const tGUID& guid) const
{
    const Type* pType = Find(guid);
    return pType ? pType->nFlags : 0;
}

wxString tcIORegistry::GetIOTag(const tGUID& guid) const
{
    const Type* pType = Find(guid);
    return pType ? pType->sTag : wxString();
}

wxString tcIORegistry::GetIOName(const tGUID& guid) const
{
    const Type* pType = Find(guid);
    return pType ? pType->sName : wxString();
}

tcIO* tAllocateIORaw(const tcIORegistry* pRegistry, const tGUID& guid)
{
    return pRegistry ? pRegistry->AllocateIO(guid).release() : nullptr;
}

bool tSelectDatasource(const tcIORegistry* pRegistry, const tGUID& guid, wxString& sPath)
{
    if (!pRegistry)
        return false;
    std::vector<wchar_t> buffer(4096, L'\0');
    if (!pRegistry->SelectDatasource(guid, buffer.data(), buffer.size()))
        return false;
    buffer.back() = L'\0';
    sPath = wxString(buffer.data());
    return true;
}
