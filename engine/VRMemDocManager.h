#pragma once

#include <wx/string.h>

#include <memory>
#include <vector>

class CVRMemDoc;

// Shows the user how far a memory file has loaded, with a way to stop the load. The manager calls
// Begin before reading a file, Step as it reads (dFraction from 0 to 1; false asks it to stop) and
// End after, also when the load failed. The user interface gives one to the manager; without one
// a load shows nothing.
class tcMemDocLoadProgress
{
public:
    virtual ~tcMemDocLoadProgress() = default;
    virtual void Begin(const wxString& sFile) = 0;
    virtual bool Step(double dFraction) = 0;
    virtual void End() = 0;
};

// The translation memories the open projects use, one CVRMemDoc per memory file: every project
// that names the same file (as wxFileName::SameAs decides: relative and absolute forms, "..",
// symbolic and hard links; letter case counts) works on the same memory. The manager owns the
// memories it holds; each memory's reference count is the number of projects using it. Main thread
// only.
class CVRMemDocManager
{
public:
    CVRMemDocManager();
    // Every held memory must have been released before; held ones are reported by assertion and
    // left alive (a project may still use them), never deleted here.
    virtual ~CVRMemDocManager();
    CVRMemDocManager(const CVRMemDocManager&) = delete;
    CVRMemDocManager& operator=(const CVRMemDocManager&) = delete;

    // The held memory of the file sFilename with its count raised by one, or the memory newly
    // loaded from it (count 1, held from now on). Null when the path is empty or the file cannot be
    // loaded as a memory; psError (when given) then receives the reason. A relative path is taken
    // from the working directory and the memory keeps the absolute form as its file name. The
    // result stays valid until it is released as often as it was obtained.
    CVRMemDoc* OpenMemDoc(const wxString& sFilename, wxString* psError = nullptr);

    // A new, empty memory saved at once to sFilename (which should not exist yet) and held with
    // count 1, so that a project can record a file that really exists. A held memory of that file
    // is shared instead, as OpenMemDoc does. Null when the memory cannot be made or the file cannot
    // be written (nothing is then left on disk by this call); psError receives the reason.
    CVRMemDoc* CreateMemDoc(const wxString& sFilename, wxString* psError = nullptr);

    // A new, empty memory without a file. The manager does not hold it: the caller owns it and
    // decides whether to save it. Throws TextFailure when no memory can be made (no TMX handler).
    std::unique_ptr<CVRMemDoc> NewMemDoc();

    // Gives up one reference to a memory obtained from OpenMemDoc or CreateMemDoc. The last one
    // removes it from the manager and deletes it; its destructor offers to save unsaved changes.
    // A memory the manager does not hold (null, one from NewMemDoc, one already deleted) is reported
    // by assertion and left untouched.
    void ReleaseMemDoc(CVRMemDoc* pMemDoc);

    // The held memory of the file sFilename, without raising its count; null when none is held.
    CVRMemDoc* FindMemDoc(const wxString& sFilename) const;

    // The progress shown while OpenMemDoc reads a file (not owned; null: none).
    void SetLoadProgress(tcMemDocLoadProgress* pProgress) { m_pLoadProgress = pProgress; }
    // True when the last OpenMemDoc was stopped from its load progress (it then gave null).
    bool WasLoadCancelled() const { return m_bLoadCancelled; }

    // Number of memories held.
    size_t GetNumMemDocs() const { return m_apMemDocs.size(); }

private:
    // Held memories in the order they were first opened.
    std::vector<std::unique_ptr<CVRMemDoc>> m_apMemDocs;
    tcMemDocLoadProgress* m_pLoadProgress = nullptr;
    bool m_bLoadCancelled = false;
};
