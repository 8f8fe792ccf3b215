#include "engine/VRMemDocManager.h"

#include "Shared/ImportXML.h"
#include "engine/VRMemDoc.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"

#include <wx/filefn.h>
#include <wx/filename.h>

#include <algorithm>
#include <exception>

namespace
{
// Assertion sites report fixed numbers, not source lines: reports already filed name these, so
// they must not move when the file is edited.
constexpr int kAssertMemoriesStillHeld = 21; // the manager ends while memories are held
constexpr int kAssertMemoryNotHeld = 78;     // a memory handed back that the manager does not hold

// The path with the working directory in front when it is relative. Held memories keep absolute
// names so that a later change of the working directory cannot make one file look like another.
wxString AbsolutePath(const wxString& sPath)
{
    if (wxIsAbsolutePath(sPath))
        return sPath;
    return wxFileName::DirName(wxGetCwd()).GetPath(wxPATH_GET_SEPARATOR) + sPath;
}

void SetError(wxString* psError, const wxString& sText)
{
    if (psError)
        *psError = sText;
}

// Runs fnMake and turns any failure into null and a reason, so that no failure of a memory file
// reaches the project that asked for it.
template <typename Make> std::unique_ptr<CVRMemDoc> TryMake(const wxString& sPath, wxString* psError, Make fnMake)
{
    wxString sReason;
    try
    {
        return fnMake();
    }
    catch (const TextFailure& failure)
    {
        sReason = failure.GetText();
    }
    catch (const std::exception& e)
    {
        sReason = wxString::FromUTF8(e.what());
    }
    catch (...)
    {
        sReason = "Unknown error";
    }
    tcLog::LogStr("Could not open the translation memory " + sPath + ": " + sReason);
    SetError(psError, sReason);
    return nullptr;
}

// While a memory file loads, the importer's yield hook also moves the load progress and turns its
// stop request into a stop of the load. The hook outside keeps running first.
tcMemDocLoadProgress* s_pShownProgress = nullptr;
tcXMLImportYieldFn s_pfnOuterYield = nullptr;
int s_nSteps = 0;
bool s_bStopped = false;

void YieldWhileLoading()
{
    if (s_pfnOuterYield)
        s_pfnOuterYield();
    // A unit is a handful of elements; every one would only slow the load down.
    if (!s_pShownProgress || ++s_nSteps % 64 != 0 || s_bStopped)
        return;
    if (!s_pShownProgress->Step(tXMLImportFraction()))
    {
        s_bStopped = true;
        tRequestXMLImportStop();
    }
}

class LoadProgressScope
{
public:
    LoadProgressScope(tcMemDocLoadProgress* pProgress, const wxString& sFile)
    {
        // A load inside another one's progress (none is made that way) keeps the outer one.
        if (!pProgress || s_pShownProgress)
            return;
        m_pProgress = pProgress;
        m_pProgress->Begin(sFile);
        s_pfnOuterYield = tGetXMLImportYieldHook();
        s_pShownProgress = pProgress;
        s_nSteps = 0;
        s_bStopped = false;
        tSetXMLImportYieldHook(&YieldWhileLoading);
    }
    ~LoadProgressScope()
    {
        if (!m_pProgress)
            return;
        tSetXMLImportYieldHook(s_pfnOuterYield);
        s_pfnOuterYield = nullptr;
        s_pShownProgress = nullptr;
        m_pProgress->End();
    }
    bool WasCancelled() const { return m_pProgress && s_bStopped; }
    LoadProgressScope(const LoadProgressScope&) = delete;
    LoadProgressScope& operator=(const LoadProgressScope&) = delete;

private:
    tcMemDocLoadProgress* m_pProgress = nullptr;
};
} // namespace

CVRMemDocManager::CVRMemDocManager() = default;

CVRMemDocManager::~CVRMemDocManager()
{
    if (!m_apMemDocs.empty())
    {
        tAssert("VRMemDocManager", kAssertMemoriesStillHeld, "0");
        // Projects may still point at them: leaving them alive is the lesser harm.
        for (std::unique_ptr<CVRMemDoc>& pMemDoc : m_apMemDocs)
            (void)pMemDoc.release();
    }
}

CVRMemDoc* CVRMemDocManager::FindMemDoc(const wxString& sFilename) const
{
    if (sFilename.empty())
        return nullptr;
    const wxFileName fileName(AbsolutePath(sFilename));
    for (const std::unique_ptr<CVRMemDoc>& pMemDoc : m_apMemDocs)
    {
        if (!pMemDoc->GetFileName().empty() && fileName.SameAs(wxFileName(pMemDoc->GetFileName())))
            return pMemDoc.get();
    }
    return nullptr;
}

CVRMemDoc* CVRMemDocManager::OpenMemDoc(const wxString& sFilename, wxString* psError)
{
    m_bLoadCancelled = false;
    if (sFilename.empty())
    {
        SetError(psError, "No memory file was named.");
        return nullptr;
    }
    if (CVRMemDoc* pHeld = FindMemDoc(sFilename))
    {
        pHeld->SetRefCount(pHeld->GetRefCount() + 1);
        return pHeld;
    }
    const wxString sPath = AbsolutePath(sFilename);
    std::unique_ptr<CVRMemDoc> pMemDoc;
    {
        LoadProgressScope progress(m_pLoadProgress, sPath);
        pMemDoc = TryMake(sPath, psError, [&]() { return std::make_unique<CVRMemDoc>(sPath); });
        m_bLoadCancelled = progress.WasCancelled();
    }
    if (!pMemDoc)
        return nullptr;
    pMemDoc->SetRefCount(1);
    m_apMemDocs.push_back(std::move(pMemDoc));
    return m_apMemDocs.back().get();
}

CVRMemDoc* CVRMemDocManager::CreateMemDoc(const wxString& sFilename, wxString* psError)
{
    if (sFilename.empty())
    {
        SetError(psError, "No memory file was named.");
        return nullptr;
    }
    if (CVRMemDoc* pHeld = FindMemDoc(sFilename))
    {
        pHeld->SetRefCount(pHeld->GetRefCount() + 1);
        return pHeld;
    }
    const wxString sPath = AbsolutePath(sFilename);
    // Whatever the file holds belongs to someone; a new memory never replaces it.
    if (wxFileName::Exists(sPath))
    {
        SetError(psError, "The file " + sPath + " already exists.");
        return nullptr;
    }
    std::unique_ptr<CVRMemDoc> pMemDoc =
        TryMake(sPath, psError, [&]() { return std::make_unique<CVRMemDoc>(wxString()); });
    if (!pMemDoc)
        return nullptr;
    if (!pMemDoc->SaveAs(sPath))
    {
        const wxString sReason = "The translation memory could not be written to " + sPath + ".";
        tcLog::LogStr(sReason);
        SetError(psError, sReason);
        return nullptr;
    }
    pMemDoc->SetRefCount(1);
    m_apMemDocs.push_back(std::move(pMemDoc));
    return m_apMemDocs.back().get();
}

std::unique_ptr<CVRMemDoc> CVRMemDocManager::NewMemDoc()
{
    return std::make_unique<CVRMemDoc>(wxString());
}

void CVRMemDocManager::ReleaseMemDoc(CVRMemDoc* pMemDoc)
{
    auto it = std::find_if(m_apMemDocs.begin(), m_apMemDocs.end(),
                           [pMemDoc](const std::unique_ptr<CVRMemDoc>& pHeld) { return pHeld.get() == pMemDoc; });
    if (it == m_apMemDocs.end())
    {
        tAssert("VRMemDocManager", kAssertMemoryNotHeld, "0");
        return;
    }
    if (pMemDoc->GetRefCount() > 1)
    {
        pMemDoc->SetRefCount(pMemDoc->GetRefCount() - 1);
        return;
    }
    // Out of the list before its destructor asks about saving, so nothing reached from that
    // question can find a memory that is going away.
    std::unique_ptr<CVRMemDoc> pLast = std::move(*it);
    m_apMemDocs.erase(it);
    pLast.reset();
}
