#pragma once

#include "engine/XLIFFDTD.h"
#include "varnak/include/TextFailure.h"

#include <wx/arrstr.h>
#include <wx/string.h>

#include <functional>
#include <memory>
#include <vector>

class CVRMemDoc;
class CVRMemDocManager;
class CVRSRXDoc;
class tcConvertor;
class tcConvertorProgress;
class tcDictionary;
class tcDocument;
class tcIO;
class tcNode;

// The user stopped the creation or opening of a project (Cancel in the progress dialog or in the
// memory dialog). Nothing of the project is left; the caller shows no error box for it.
class VRProjectCancelled : public TextFailure
{
public:
    explicit VRProjectCancelled(const wxString& sText) : TextFailure(sText) {}
};

// One open translation project without any window: its XLIFF document, the handler that reads and
// writes it, the handle record, the segmentation rules, the file nodes with one cached convertor
// per file, and the project's memory, held through the memory manager. The project page forwards
// to it; tests drive it headless. It asks the user only through tUserPrompts() and the
// memory-asking callback given to Open.
//
// Construction steps acquire things in order; when a step fails, the model's destructor releases
// what was acquired (the application context only where it still names this model's document and
// handler, the memory given back to the manager, or a new memory freed without a question).
//
// Rules: SetLanguage of the rules appends the rules of each new source language, so in a project
// whose files have different source languages the later files are also broken by the earlier
// languages' rules. Projects with one source language are unaffected.
//
// Node pointers handed out belong to the document and stay valid until the file they are in is
// removed or the model is destroyed. Main thread only.
class VRProjectModel
{
public:
    // Asks the user for a memory when the project's own cannot be opened; returns it held by the
    // manager, or throws (TextFailure; VRProjectCancelled when the user cancelled).
    using AskMemDocFn = std::function<CVRMemDoc*(CVRMemDocManager&)>;

    // pManager is not owned and must outlive the model.
    explicit VRProjectModel(CVRMemDocManager* pManager);
    // Releases everything without asking anything (the page asks its closing questions first,
    // through CloseMemory and the save question).
    ~VRProjectModel();
    VRProjectModel(const VRProjectModel&) = delete;
    VRProjectModel& operator=(const VRProjectModel&) = delete;

    // The text of the "new empty memory" choice (localised DOCUMENT_CREATE_NEW_EMPTY).
    static wxString NewEmptyMemoryChoice();

    // A new project from source files: the steps of creation up to the collected segments. The
    // lists are parallel and not empty. sMemDoc is a memory file, the new-empty choice or empty.
    // pProgress may be null; when it reports cancellation (tcConvertorProgress::WasCancelled) the
    // creation throws VRProjectCancelled. Throws TextFailure with the reason otherwise.
    void CreateNew(const wxString& sSRXPath, const wxString& sMemDoc, const wxArrayString& asSourceFiles,
                   const wxArrayString& asSourceLanguages, const wxString& sTargetLanguage, int nThreshold,
                   tcConvertorProgress* pProgress);
    // The same in its three phases, for a caller that shows progress only while files convert:
    // document, rules, memory and application context; the files; the file list and segments.
    // FinishNew throws TextFailure("Nothing to translate") when no file has a segment to translate.
    void BeginNew(const wxString& sSRXPath, const wxString& sMemDoc);
    void AddFiles(const wxArrayString& asSourceFiles, const wxArrayString& asSourceLanguages,
                  const wxString& sTargetLanguage, int nThreshold, tcConvertorProgress* pProgress);
    void FinishNew();

    // Opens the saved project sPath. pMemDoc (may be null) becomes the project's memory; the model
    // then holds one reference of it. Without one, the memory named in the project is opened, else
    // askMemDoc is called (once; it does its own asking again). Throws TextFailure with the load
    // errors of a damaged file or the reason (NOT_A_PROJECT, naming the file, for an XML file whose
    // root is not xliff); VRProjectCancelled when the load, the memory's load or the memory
    // question was cancelled. A project whose files hold no segment at all opens (empty panes).
    void Open(const wxString& sPath, CVRMemDoc* pMemDoc, const AskMemDocFn& askMemDoc);

    // Creates the document and its handler (data source sPath, empty for a new project) and marks
    // it changed. Throws TextFailure("Could not assign an IO handler for type XLIFF").
    void CreateDocument(const wxString& sPath);
    // Replaces the rules by those of sPath; throws the rules file's TextFailure (the old rules stay).
    void LoadSRX(const wxString& sPath);
    // Converts one source file into a new file element. A file no convertor serves is skipped
    // silently. One whose language the rules cannot select, that cannot be read, or whose
    // conversion fails adds nothing, and the user is told once which file and why (an error
    // message, no assertion). pProgress may be null. Returns false when the file was not added;
    // throws VRProjectCancelled when pProgress reports cancellation.
    bool AddFile(const wxString& sSourcePath, const wxString& sSourceLanguage, const wxString& sTargetLanguage,
                 int nThreshold, tcConvertorProgress* pProgress);

    // Fills apSegments with the segments of the current body, in document order (CollectUnitSegments
    // of the translatable units).
    void CollectSegments(std::vector<tcNode*>& apSegments) const;
    // The same for any file node (for statistics); keeps translate="no" units when bTranslatableOnly
    // is false.
    void CollectFileSegments(tcNode* pFile, bool bTranslatableOnly, std::vector<tcNode*>& apSegments) const;

    // Drops every cached convertor and re-reads the file nodes; throws TextFailure("XLIFF file does
    // not contain any valid files") when there are none.
    void RefreshFiles();
    // Deletes file nIndex from the document (at least two files; false otherwise), marks the
    // document changed and refreshes the files.
    bool RemoveFile(int nIndex);
    // Makes file nIndex current: header and body nodes and the segment list. Throws TextFailure
    // "No header element found" / "No Body element found"; an index out of range is an assertion.
    void SelectFile(int nIndex);
    int GetCurrentFile() const { return m_nCurrentFile; }

    // The cached convertor of file nIndex, made and cached on first use; null when no convertor
    // serves the file's extension (owned by the model, valid until the next refresh or removal).
    tcConvertor* GetConvertor(int nIndex);
    // Destroys every cached convertor; the slots stay, empty.
    void DropConvertors();

    // Step one of closing: gives a file memory back to the manager. A new memory with unsaved
    // pairs is offered for saving once (refusing a file another project's memory uses); its file
    // is then written into memdocs (marking the project changed). A declined one is freed without
    // a second question. Afterwards the project has no memory.
    void CloseMemory();
    // Whether closing would lose memory pairs: a new memory with pairs, or a file memory with
    // unsaved pairs that no other project holds.
    bool MemoryHasUnsavedPairs() const;
    // Saves the memory now without asking whether: a file memory to its file, a new one to a file
    // the user chooses (its file is then written into memdocs, marking the project changed). False
    // when the choice was cancelled or the save failed (reported to the user).
    bool SaveMemory();
    // Marks the memory's pairs as not to be saved when the project closes (when it has any that
    // closing would lose).
    void DropMemoryChanges();

    // Writes memdocs and marks the project changed, only when the value names another file.
    void SetMemDocsPath(const wxString& sPath);
    wxString GetMemDocsPath() const;
    // Why the memory the project names could not be used, for the question that asks for another
    // one during Open; empty when it names none or it opened.
    const wxString& GetMemDocProblem() const { return m_sMemDocProblem; }

    // Saves through the handler: to the data source, or to sPath when given (it becomes the data
    // source and the path). On success clears the changed mark. False on failure; psError (may be
    // null) then receives the reason the writer logged.
    bool Save(const wxString& sPath = wxString(), wxString* psError = nullptr);

    tcDocument* GetDocument() const { return m_pDoc.get(); }
    tcIO* GetIO() const { return m_pIO.get(); }
    const wxString& GetPath() const { return m_sPath; }
    void SetPath(const wxString& sPath) { m_sPath = sPath; }
    CVRMemDoc* GetMemDoc() const;
    CVRMemDocManager* GetMemDocManager() const { return m_pMemDocManager; }
    CVRSRXDoc* GetRules() const { return m_pRules.get(); }
    const SXLIFFDTD& GetXLIFFDTD() const { return m_XLIFFDTD; }
    tcDictionary* GetRoot() const { return m_pRoot; }
    tcNode* GetXliffNode() const { return m_pXliffNode; }
    tcNode* GetHeaderNode() const { return m_pHeaderNode; }
    tcNode* GetBodyNode() const { return m_pBodyNode; }
    const std::vector<tcNode*>& GetFileNodes() const { return m_apFileNodes; }
    std::vector<tcNode*>& GetSegments() { return m_apSegments; }
    int GetNumFiles() const { return static_cast<int>(m_apFileNodes.size()); }
    bool IsChanged() const;

private:
    void CollectFileNodes();
    void FindRootAndXliff();
    void OpenProjectMemory(const wxString& sMemDoc);
    // The user stopped the memory's load from its progress: the project stops too.
    void ThrowIfMemoryLoadCancelled() const;
    void ReleaseAll();

    CVRMemDocManager* m_pMemDocManager;
    std::unique_ptr<tcDocument> m_pDoc;
    std::unique_ptr<tcIO> m_pIO;
    SXLIFFDTD m_XLIFFDTD;
    std::unique_ptr<CVRSRXDoc> m_pRules;
    // A memory held by the manager (one reference), or a new one owned here; never both.
    CVRMemDoc* m_pHeldMemDoc = nullptr;
    std::unique_ptr<CVRMemDoc> m_pOwnMemDoc;
    wxString m_sMemDocProblem;
    wxString m_sPath;
    tcDictionary* m_pRoot = nullptr;
    tcNode* m_pXliffNode = nullptr;
    tcNode* m_pHeaderNode = nullptr;
    tcNode* m_pBodyNode = nullptr;
    int m_nCurrentFile = 0;
    std::vector<tcNode*> m_apFileNodes;
    std::vector<std::unique_ptr<tcConvertor>> m_apConvertors;
    std::vector<tcNode*> m_apSegments;
};
