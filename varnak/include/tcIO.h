#pragma once

#include "varnak/include/tObjectLife.h"

#include "varnak/include/VarnakConst.h"
#include "varnak/include/tGUID.h"

#include <wx/string.h>

#include <cstddef>
#include <memory>
#include <vector>

class tcDocument;
class tcDictionary;
class tcLanguage;
class tcEntry;
class tcNode;
class tcProgress;
struct SExportOptions;

// A data-source handler: reads a document from a data source and writes it back. Handlers are made
// by the registry (tcIORegistry::AllocateIO), which sets their data-source type; the caller owns
// the handler, attaches a document, opens a data source and loads:
//
//     pIO->AttachDoc(pDoc);
//     pIO->OpenDatasource(sPath);
//     while ((n = pIO->LoadDictionary(nProgress, pBuffer)) > 0) {}
//     if (n < 0) ... pIO->GetLoadError(i) for i < GetNumLoadErrors() ...
//
// The handler never owns the document. This base class keeps the document, the type and the load
// errors; it cannot read or write anything itself, so its loading and saving calls fail (see each
// call). Documents of this library are held in memory whole: there is nothing to load entry by
// entry, no restore information, no index, no lock and no checkout. Main thread only.
class tcIO : public tcLifeNoticed
{
public:
    tcIO();
    virtual ~tcIO();
    // Every handler attached to pDoc lets it go (the document is being destroyed).
    static void ForgetDocument(const tcDocument* pDoc);
    tcIO(const tcIO&) = delete;
    tcIO& operator=(const tcIO&) = delete;

    // --- Type and document -----------------------------------------------------------------------
    // The GUID the handler was registered under (the null GUID for a handler made otherwise).
    const tGUID& GetDatasourceType() const { return m_guidType; }
    void SetDatasourceType(const tGUID& guid) { m_guidType = guid; }

    // The document the handler reads into and writes from; null when none is attached.
    tcDocument* GetDoc() const { return m_pDoc; }
    void SetDoc(tcDocument* pDoc) { m_pDoc = pDoc; }
    virtual void AttachDoc(tcDocument* pDoc) { m_pDoc = pDoc; }
    virtual void DetachDoc() { m_pDoc = nullptr; }
    // The attached document's root; null without a document or root.
    tcDictionary* GetDictionary() const;
    // Makes pDictionary the attached document's root; false without a document.
    bool SetDictionary(tcDictionary* pDictionary);

    // --- Data source -----------------------------------------------------------------------------
    // Names the data source (a path); nothing is read yet. The base handler has no data source:
    // false.
    virtual bool OpenDatasource(const wxString& sPath);
    // The data source named last; empty in the base handler.
    virtual wxString GetDatasource() const { return wxString(); }
    // The folder of the data source (relative paths in the document are taken from it); empty
    // when the data source is empty or has no folder.
    virtual wxString GetRelativeRoot() const;

    // --- Loading ---------------------------------------------------------------------------------
    // One loading step into the attached document: more than 0 while there is more to do, 0 when
    // the document was loaded, less than 0 when loading failed (the reasons are load errors).
    // pBuffer is the caller's work buffer; no handler of this library writes into it. The base
    // handler cannot load: it adds a load error and returns -1.
    virtual int LoadDictionary(int& nProgress, void* pBuffer);
    // Loading only part of a data source is not supported: the same as LoadDictionary.
    virtual int LoadDictionaryPartial(int& nProgress, void* pBuffer) { return LoadDictionary(nProgress, pBuffer); }
    // Reads the data source into the attached document, merging with what it holds. The base
    // handler cannot: a load error and -1.
    virtual int LoadMerge(int& nProgress, void* pBuffer);
    // Makes sure an entry (or the entry of a node) is loaded. Documents are held whole, so every
    // entry is: true, with bError false.
    virtual bool LoadEntry(tcNode* pNode, bool& bError, bool bForce);
    virtual bool LoadEntries(const std::vector<tcEntry*>& apEntries, bool& bError);
    // Loads every entry of a section (or of the node's section); true with bError false, bResult
    // true, as LoadEntry.
    virtual bool LoadAll(tcLanguage* pSection, bool bFlag, tcNode* pNode, bool& bError, bool& bResult);

    // --- Saving ----------------------------------------------------------------------------------
    // Writes the document to its data source. 0 or more on success, less than 0 on failure; a
    // failed save leaves the data source as it was. apEntries names changed entries for handlers
    // that save entry by entry; handlers that write whole files ignore it. The base handler cannot
    // save: -1.
    virtual int Save(const std::vector<tcEntry*>& apEntries);
    // Makes sPath the data source and saves to it; as Save. pProgress may be null. Base: -1.
    virtual int SaveAs(const wxString& sPath, tcProgress* pProgress);
    // Writes the document in another format. Base: -1 (no format).
    virtual int ExportDictionary(const wxString& sPath, const SExportOptions* pOptions);

    // --- Load errors -----------------------------------------------------------------------------
    // Messages of the loads so far, in the order they were added.
    void AddLoadError(const wxString& sError) { m_asLoadErrors.push_back(sError); }
    int GetNumLoadErrors() const { return static_cast<int>(m_asLoadErrors.size()); }
    // Empty for an index out of range.
    wxString GetLoadError(int nIndex) const;
    void ClearLoadErrors() { m_asLoadErrors.clear(); }

    // --- Not in this library ---------------------------------------------------------------------
    // Restore information, index optimisation, document locks and entry checkouts do not exist
    // here: these calls do nothing and give false or 0. Nothing needs a lock, so the DTD may always
    // be changed without one (CanModifyDTDWithoutLocking is true), and there is no limit on the
    // entries in memory (0).
    virtual bool CanRestore() const { return false; }
    virtual bool Restore() { return false; }
    virtual void ClearRestoreInfo() {}
    virtual bool CanOptimiseIndexes() const { return false; }
    virtual bool OptimiseIndexes() { return false; }
    virtual bool CanModifyDTDWithoutLocking() const { return true; }
    virtual int GetMaximumEntriesAllowedInMemory() const { return 0; }
    virtual int GetCheckoutStatus(const tcEntry*) const { return 0; }
    virtual bool RequestCheckout(tcEntry*) { return false; }
    virtual int GetNumCheckouts() const { return 0; }
    virtual bool ReleaseAllCheckouts() { return false; }
    virtual bool RequestDocLock() { return false; }
    virtual bool RequestDocUnlock() { return false; }
    virtual bool CheckDocLock() const { return false; }

protected:
    tcDocument* m_pDoc = nullptr;

private:
    tGUID m_guidType;
    std::vector<wxString> m_asLoadErrors;
};

// Makes a new handler of a registered type; the caller owns it. Null when it cannot.
typedef std::unique_ptr<tcIO> (*IO_ALLOCATER)();
// Lets the user choose a data source of a type and copies its path, terminated, into szBuffer,
// which holds nBufferSize wide characters. False when the user cancelled (the buffer is left as it
// was) or when the path does not fit (the buffer must not be used).
typedef bool (*IO_SELECTDATASOURCE)(wchar_t* szBuffer, size_t nBufferSize);
// Writes a document to a file in an export format: 0 or more on success, less than 0 on failure.
typedef int (*IO_EXPORTPROC)(tcDocument* pDoc, const wxString& sPath, const SExportOptions* pOptions);

// The registry of handler types and exporters, by GUID. Types are listed in registration order.
// Main thread only (registration happens at start-up and shutdown).
class tcIORegistry
{
public:
    tcIORegistry() = default;
    ~tcIORegistry();
    tcIORegistry(const tcIORegistry&) = delete;
    tcIORegistry& operator=(const tcIORegistry&) = delete;

    // Registers a handler type: its GUID, what it can do (IOFLAG_* bits), a short tag, a
    // description, its factory and, optionally, its data-source chooser. False (nothing changes)
    // for the null GUID, a GUID already registered or a null factory.
    bool RegisterIO(const tGUID& guid, int nFlags, const wxString& sTag, const wxString& sName,
                    IO_ALLOCATER pfnAllocate, IO_SELECTDATASOURCE pfnSelect = nullptr);
    // Registers an export format written by pfnExport, with the flag IOFLAG_EXPORT. False as
    // RegisterIO, or for a null procedure.
    bool RegisterExporter(const tGUID& guid, const wxString& sTag, const wxString& sName, IO_EXPORTPROC pfnExport);
    // Removes a handler type or exporter; false when the GUID is not registered. Handlers already
    // made stay valid.
    bool Unregister(const tGUID& guid);
    // True when the GUID is registered through RegisterExporter.
    bool IsProcExporter(const tGUID& guid) const;
    // Calls the exporter of that GUID; -1 when there is none.
    int Export(const tGUID& guid, tcDocument* pDoc, const wxString& sPath, const SExportOptions* pOptions) const;

    // A new handler of the type, with its data-source type set; the caller owns it. Null for a GUID
    // that is not registered as a handler type, or when the factory fails.
    std::unique_ptr<tcIO> AllocateIO(const tGUID& guid) const;
    // Asks the type's chooser for a data source (see IO_SELECTDATASOURCE). False for a type that is
    // not registered or has no chooser, and for a null or empty buffer.
    bool SelectDatasource(const tGUID& guid, wchar_t* szBuffer, size_t nBufferSize) const;

    int GetNumIO() const { return static_cast<int>(m_aTypes.size()); }
    // The GUID at nIndex; the null GUID for an index out of range.
    tGUID GetIOType(int nIndex) const;
    // The GUID registered with that tag (exact match); the null GUID when none.
    tGUID GetIOTypeFromTag(const wxString& sTag) const;
    // 0 / empty for a GUID that is not registered.
    int GetIOFlags(const tGUID& guid) const;
    wxString GetIOTag(const tGUID& guid) const;
    wxString GetIOName(const tGUID& guid) const;

private:
    struct Type
    {
        tGUID guid;
        int nFlags = 0;
        wxString sTag;
        wxString sName;
        IO_ALLOCATER pfnAllocate = nullptr;
        IO_SELECTDATASOURCE pfnSelect = nullptr;
        IO_EXPORTPROC pfnExport = nullptr;
    };

    const Type* Find(const tGUID& guid) const;
    // Adds the type; false (nothing changes) for the null GUID or one already registered.
    bool Add(Type type);

    std::vector<Type> m_aTypes;
};

// The process's registry; never null, never destroyed before the end of the process.
extern tcIORegistry* const g_pIORegistry;

// For callers that cannot hold a unique_ptr (the script binding): AllocateIO of pRegistry, the new
// handler released to the caller, who deletes it. Null as AllocateIO, or for a null registry.
tcIO* tAllocateIORaw(const tcIORegistry* pRegistry, const tGUID& guid);
// SelectDatasource of pRegistry with a buffer of its own: the chosen path in sPath (left as it was
// when false). False as SelectDatasource, or for a null registry.
bool tSelectDatasource(const tcIORegistry* pRegistry, const tGUID& guid, wxString& sPath);
