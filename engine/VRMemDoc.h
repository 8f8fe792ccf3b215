#pragma once

#include <wx/string.h>

#include <cstdint>
#include <map>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

class CVRMemDocIndex;
class tcAttribute;
class tcDocument;
class tcElement;
class tcEvent;
class tcIO;
class tcNode;

// A lock shared by readers and held alone by a writer, where a waiting writer goes first: readers
// that keep coming never hold a change back for long (the standard shared mutex lets them). Used
// through std::shared_lock and std::unique_lock.
class CWriterFirstMutex
{
public:
    void lock_shared()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [this] { return !m_bWriter && m_nWaitingWriters == 0; });
        ++m_nReaders;
    }
    void unlock_shared()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--m_nReaders == 0)
            m_cv.notify_all();
    }
    void lock()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        ++m_nWaitingWriters;
        m_cv.wait(lock, [this] { return !m_bWriter && m_nReaders == 0; });
        --m_nWaitingWriters;
        m_bWriter = true;
    }
    void unlock()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bWriter = false;
        m_cv.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_nReaders = 0;
    int m_nWaitingWriters = 0;
    bool m_bWriter = false;
};

// One suggestion of a memory look-up.
struct CVRMemDocMatch
{
    // The indexed text of the memory seg that matched: its content as XML without the ph, bpt, ept
    // and it elements.
    wxString m_sSource;
    // Another variant of the same translation unit: that seg's content as XML, inline codes kept.
    wxString m_sTarget;
    // That variant's language as its tuv states it ("xml:lang", display form).
    wxString m_sLanguage;
    // 0 to 100; LookupTranslations only returns 1 and above.
    int m_nScore = 0;

    bool operator==(const CVRMemDocMatch& o) const
    {
        return m_nScore == o.m_nScore && m_sSource == o.m_sSource && m_sTarget == o.m_sTarget &&
               m_sLanguage == o.m_sLanguage;
    }
};

// A translation memory: a TMX 1.4 document read and written by the TMX handler, with one fuzzy index
// per language (keys are lower-cased). Texts passed in and handed out are XML content as the
// document library writes it (GenerateXMLChildren(true, true)): escaped text with inline elements.
//
// Shared among projects by CVRMemDocManager, which keeps the reference count. LookupTranslations may
// run on several threads at once (they share the memory); the members that change it (adding,
// removing, indexing, GetIndex) take it for themselves and wait for running look-ups. Everything
// else, loading and saving included, is main thread only and must not overlap a change.
class CVRMemDoc
{
public:
    // The most suggestions one look-up returns, and the lowest score it returns.
    static constexpr int kMaxLookupResults = 100;
    static constexpr int kMinLookupScore = 1;

    // Loads the TMX file at sFilename (indexing every seg while it loads), or builds a new, empty
    // memory when sFilename is empty (its file name stays empty until it is saved). Throws
    // TextFailure with "Could not assign an IO handler for type TMX" when there is no TMX handler,
    // with the loader's first error (line and column where it has them) when the file fails to load
    // (all its messages are logged first), and "No Body element found" for a file without a body.
    // Nothing is left behind by a failed construction. The TMX handler must be registered
    // (Init_TMXImporter) before.
    explicit CVRMemDoc(const wxString& sFilename);
    // Offers to save unsaved changes (SaveIfModified), then frees everything.
    ~CVRMemDoc();
    CVRMemDoc(const CVRMemDoc&) = delete;
    CVRMemDoc& operator=(const CVRMemDoc&) = delete;

    // Suggestions for sText (XML content; inline codes ph, bpt, ept and it do not count) from
    // the memory texts in every variant of sLanguage's primary language (any letter case: for "en"
    // or "en-GB", the texts in "en", "en-GB", "en-US", …; an empty sLanguage only its own): for
    // each memory text that shares at least one three-unit substring with the query, every other
    // variant of every unit holding that text, in any language, with the text's score. Only scores
    // of kMinLookupScore and more; of those the kMaxLookupResults best (equal scores: the earlier in
    // the order below win). The suggestions from texts in sLanguage itself come first; then those of
    // the other variants. Each part is ordered by matched text (UTF-16 code-unit order), then by the
    // order the units were indexed, then by document order within the unit (equal texts of several
    // variants: in the lower-cased tags' order). Texts shorter than three units never match.
    // Any thread; see the class comment.
    std::vector<CVRMemDocMatch> LookupTranslations(const wxString& sText, const wxString& sLanguage) const;

    // Records a pair: the target becomes a further variant of the unit whose source variant in
    // sSourceLang holds sSource (the first such unit), or of a new unit holding both. Both texts are
    // XML content; text that is not well-formed XML is stored as plain text. Marks the memory
    // changed.
    void AddTranslation(const wxString& sSource, const wxString& sTarget, const wxString& sSourceLang,
                        const wxString& sTargetLang);
    // Takes out the first variant in sTargetLang holding sTarget of a unit whose variant in
    // sSourceLang holds sSource. Nothing is taken out when no unit holds both (never a variant of an
    // unrelated unit); the source variant and the unit stay. Marks the memory changed either way.
    void RemoveTranslation(const wxString& sSource, const wxString& sTarget, const wxString& sSourceLang,
                           const wxString& sTargetLang);

    // When the memory has unsaved changes, asks the user (through tUserPrompts()) whether to save
    // them; for a memory without a file it then asks for one. A memory whose own file cannot be
    // replaced (read-only, say) says why and then asks for another file as well. Returns the file
    // name after the call: empty when the user declined, cancelled the file choice, or when saving
    // failed for a memory that had no file yet (so nobody records a file that was never written).
    // After a failed save the changes stay marked, so the question comes again next time. Saving
    // shows no busy notice (this class has no window); the log records it.
    wxString SaveIfModified();
    // Writes the memory to sPath, which becomes its file name on success. False when the file
    // could not be written; the file name is then unchanged.
    bool SaveAs(const wxString& sPath);
    // True while there are unsaved changes.
    bool IsModified() const;

    // Empty for a new memory that was never saved.
    const wxString& GetFileName() const { return m_sFileName; }
    // Kept by CVRMemDocManager; 1 after construction.
    int GetRefCount() const { return m_nRefCount; }
    void SetRefCount(int nCount) { m_nRefCount = nCount; }

    // The index of a language (any letter case), created empty on first use; owned by the memory.
    CVRMemDocIndex* GetIndex(const wxString& sLanguage);
    // Adds the seg to the index: its key text (the content without ph, bpt, ept and it, as XML)
    // and an exact entry leading from that text to the seg. pSeg must belong to this memory.
    void IndexSeg(CVRMemDocIndex* pIndex, tcNode* pSeg);
    // Takes the exact entry (sText, pSeg) out of the index and removes one indexing of sText (with
    // its inline codes stripped as a query's are). Nothing happens to the seg itself.
    void UnindexSeg(CVRMemDocIndex* pIndex, const wxString& sText, tcNode* pSeg);
    // The key IndexSeg would derive for a seg holding sText (XML content). Text that is not
    // well-formed XML is taken as plain text.
    wxString MakeKey(const wxString& sText);

    // The TMX document; owned by the memory, valid while it lives. Read it only: the indexes do not
    // see changes made other than through this class.
    tcDocument* GetDocument() const { return m_pDoc.get(); }

    // Handler of Evt_NodeInserted (arg1: the sender, arg2: the node): indexes every seg the TMX
    // handler finishes while this memory loads. pOwner is the memory.
    static void OnNodeInserted(tcEvent* pEvent, void* pOwner, void* pSender, void* pNode);

private:
    // The indexes with entries that LookupTranslations searches for sLanguage: its own first (then
    // bExactFirst is true), then those of the same primary language in key order. An empty
    // sLanguage has only its own.
    std::vector<CVRMemDocIndex*> LookupIndexes(const wxString& sLanguage, bool& bExactFirst) const;
    // GetIndex, IndexSeg and UnindexSeg for callers that hold m_mutex already.
    CVRMemDocIndex* IndexFor(const wxString& sLanguage);
    void IndexSegHeld(CVRMemDocIndex* pIndex, tcNode* pSeg);
    void UnindexSegHeld(CVRMemDocIndex* pIndex, const wxString& sText, tcNode* pSeg);
    wxString MakeKeyHeld(const wxString& sText);
    void BuildSkeleton();
    void CompleteVocabulary();
    void FindVocabulary();
    // The first tmx body node; null when there is none.
    tcNode* FindBodyNode() const;
    // A new seg of this memory holding sText (parsed as XML, else plain text), unattached.
    tcNode* MakeSeg(const wxString& sText);
    // A new tuv with the language set, holding a new seg for sText; the seg is returned in ppSeg.
    tcNode* MakeTuv(const wxString& sLanguage, const wxString& sText, tcNode** ppSeg);
    void ReleaseDocument();

    std::unique_ptr<tcDocument> m_pDoc;
    std::unique_ptr<tcIO> m_pIO;
    std::map<wxString, std::unique_ptr<CVRMemDocIndex>> m_mapIndexes;
    int m_nRefCount = 1;
    wxString m_sFileName;
    tcElement* m_pBodyElement = nullptr;
    tcElement* m_pTUElement = nullptr;
    tcElement* m_pTUVElement = nullptr;
    tcElement* m_pSegElement = nullptr;
    tcAttribute* m_pTUVLangAttr = nullptr;
    // Kinds left out of key texts.
    std::vector<tcElement*> m_apCodeElements;
    bool m_bHandlerRegistered = false;
    // The number of element kinds when FindVocabulary last looked.
    int m_nKnownElements = -1;
    // Changes whenever units gain or lose segs, so that the indexes recount what a text gives.
    uint64_t m_nRevision = 0;
    // Shared by look-ups, exclusive for changes of the units and the indexes.
    mutable CWriterFirstMutex m_mutex;
};
