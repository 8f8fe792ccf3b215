#pragma once

#include "varnak/include/tObjectLife.h"

#include "varnak/include/tcNode.h"
#include "varnak/include/tcSort.h"

#include <wx/string.h>

#include <vector>

class tcDocument;
class tcLanguage;
class tcEntry;

// A field of an entry: an element kind and one of its attributes (0: the element's own text).
struct tcAttributeDesc : public tcLifeNoticed
{
    tcAttributeDesc() = default;
    tcAttributeDesc(int nElement, int nAttribute) : nElementID(nElement), nAttributeID(nAttribute) {}
    tcAttributeDesc(const tcAttributeDesc&) = default;
    tcAttributeDesc& operator=(const tcAttributeDesc&) = default;
    ~tcAttributeDesc();

    int nElementID = 0;
    int nAttributeID = 0;

    bool operator==(const tcAttributeDesc& o) const
    {
        return nElementID == o.nElementID && nAttributeID == o.nAttributeID;
    }
};

// The root of a document: a node of element kind 1 whose children are the sections. Its fixed
// attributes are those of kind 1 with identifiers 1 (name), 2 (description), 3 (created by),
// 4 (copyright), 5 (URL) and 8 (sound path); a setter whose attribute the kind lacks does nothing
// and returns false, a getter gives the empty text.
class tcDictionary : public tcElementNode
{
public:
    tcDictionary(tcDocument* pDoc, tcElement* pElement) : tcElementNode(pDoc, pElement) {}

    teNodeClass GetClassType() const override { return NODE_DICTIONARY; }
    const char* GetClassName() const override { return "tcDictionary"; }

    // Appends a new section (element kind 2 of the document's DTD) and returns it; a non-empty name
    // is set as its name (an empty one leaves the name unset) and non-zero options as its options.
    // Null without a document or when kind 2 is not of class NODE_SECTION.
    tcLanguage* AddLanguage(const wxString& sName, int nOptions = 0);
    // Inserts pSection at nIndex (0..count of children); false when out of range or null.
    bool InsertLanguage(tcLanguage* pSection, int nIndex);

    wxString GetDatabaseName() const { return GetAttributeSByID(1); }
    wxString GetDescription() const { return GetAttributeSByID(2); }
    wxString GetCreatedBy() const { return GetAttributeSByID(3); }
    wxString GetCopyright() const { return GetAttributeSByID(4); }
    wxString GetURL() const { return GetAttributeSByID(5); }
    wxString GetSoundPath() const { return GetAttributeSByID(8); }
    bool SetDatabaseName(const wxString& s) { return SetAttributeSByID(1, s); }
    bool SetDescription(const wxString& s) { return SetAttributeSByID(2, s); }
    bool SetCreatedBy(const wxString& s) { return SetAttributeSByID(3, s); }
    bool SetCopyright(const wxString& s) { return SetAttributeSByID(4, s); }
    bool SetURL(const wxString& s) { return SetAttributeSByID(5, s); }
    bool SetSoundPath(const wxString& s) { return SetAttributeSByID(8, s); }

    // Sections are the children of class NODE_SECTION, in order. Null for an index out of range.
    int GetNumSections() const { return GetNumChildrenOfClassType(NODE_SECTION); }
    tcLanguage* GetSection(int nIndex) const;
    int GetNumLanguages() const { return GetNumSections(); }
    tcLanguage* GetLanguage(int nIndex) const { return GetSection(nIndex); }

    // A node belongs to the document that allocated it (GetDoc); SetDoc only confirms that.
    // Returns false, changing nothing, for any other document.
    bool SetDoc(tcDocument* pDoc) { return pDoc == GetDoc(); }

    // Names a new dictionary (the database name); false when the kind lacks the name attribute.
    bool Create(const wxString& sName) { return SetDatabaseName(sName); }
    // Deletes every child (the sections with their entries) and the root's attribute values stay.
    void Destroy();
    // A dictionary of one section: the first section, added (named sSectionName) when there is
    // none. Null as AddLanguage.
    tcLanguage* CreateMonolingual(const wxString& sSectionName = wxString());
    // The sound folder as sounds are looked up: the sound path with a trailing "/", empty when
    // none is set.
    wxString GetDocumentSoundPath() const;
};

// A section of the dictionary (element kind 2): it holds the entries. Its name is the attribute
// with identifier 1, its quick links identifier 4 and its options identifier 2 (a number).
class tcLanguage : public tcElementNode
{
public:
    tcLanguage(tcDocument* pDoc, tcElement* pElement) : tcElementNode(pDoc, pElement)
    {
        static_cast<tcStrCmp&>(m_Sort).m_bSectionSort = true;
    }

    teNodeClass GetClassType() const override { return NODE_SECTION; }
    const char* GetClassName() const override { return "tcLanguage"; }

    // Appends the entry after every child (the order of entries is the order of insertion, which
    // writers keep). False for a null entry or one that cannot be attached (see AddChildLast).
    bool InsertEntry(tcEntry* pEntry);
    // Entries are the children of class kind NODE_ENTRY, in order; null for an index out of range.
    int GetNumEntries() const { return GetNumChildrenOfClassKind(NODE_ENTRY); }
    tcEntry* GetEntry(int nIndex) const;
    bool EntryExists(const tcEntry* pEntry) const;
    // Detaches the entry (it stays owned by the document); false when it is not one of ours.
    bool RemoveLemma(tcEntry* pEntry);
    // Appends to apOut every entry whose lemma sign equals sLemma exactly (case-sensitively, or
    // ignoring case when bCaseSensitive is false); returns the number found.
    int FindEntries(const wxString& sLemma, std::vector<tcEntry*>& apOut, bool bCaseSensitive = true) const;
    // Null when no entry has that identifier.
    tcEntry* FindEntryByID(tID nID) const;
    // Numbers homonyms: entries sharing a lemma sign get 1, 2, ... in section order, an entry whose
    // lemma sign is unique gets no number. Appends every entry whose number changed to apChanged
    // and returns their count. Nothing changes when the entry kind has no attribute 6.
    int FixHomonymNumbers(std::vector<tcEntry*>& apChanged);
    // The parent dictionary, or null.
    tcDictionary* GetDictionary() const;

    wxString GetName() const { return GetAttributeSByID(1); }
    bool SetName(const wxString& s) { return SetAttributeSByID(1, s); }
    wxString GetAlphabetQuicklinks() const { return GetAttributeSByID(4); }
    bool SetAlphabetQuicklinks(const wxString& s) { return SetAttributeSByID(4, s); }
    int GetOptions() const { return GetAttributeIByID(2); }
    bool SetOptions(int n) { return SetAttributeIByID(2, n); }

    // Field designations (element identifier, attribute identifier) of this section.
    std::vector<tcAttributeDesc> m_aTEDesc;
    tcAttributeDesc m_FreqDesc;
    std::vector<tcAttributeDesc> m_aSenseDesc;
    std::vector<tcAttributeDesc> m_aOutputLemmaSignDesc;
    std::vector<tcAttributeDesc> m_aNotesDesc;
    // Set when references changed; referrers are looked up afresh each time in this library, so
    // nothing else reads it.
    bool m_bRebuildRefCache = false;

    // Comparing lemma signs with the section's comparator (GetSectionSort). Negative, 0 or
    // positive; a null entry sorts first.
    int CmpLemmaSignsSS(const wxString& sA, const wxString& sB) const { return m_Sort.Cmp(sA, sB); }
    int CmpLemmaSigns(const tcEntry* pA, const tcEntry* pB) const;
    // Then by homonym number.
    int CmpLemmaSignsAndHomNum(const tcEntry* pA, const tcEntry* pB) const;
    // As CmpLemmaSignsAndHomNum; an entry without a number sorts after numbered equals, so a new
    // entry goes after its homonyms.
    int CmpLemmaSignsAndHomNumInsert(const tcEntry* pA, const tcEntry* pB) const;
    // After an entry's lemma sign changed: its homonyms are renumbered (FixHomonymNumbers).
    void OnLemmaSignChanged(tcEntry* pEntry);
    // Puts the entries in lemma-sign and homonym order (stable; other children stay in front).
    void ResortEntries();

    // Appends entries whose lemma sign equals sLemma ignoring case and diacritics; returns the
    // number appended.
    int FindEntriesInexact(const wxString& sLemma, std::vector<tcEntry*>& apOut) const;
    // Appends the entries whose lemma sign is exactly sLemma; returns the number appended.
    int FindAllExactHomonyms(const wxString& sLemma, std::vector<tcEntry*>& apOut) const;
    int GetNumExactHomonyms(const wxString& sLemma) const;

    // Refills m_apRefCache with the references nodes of the section (document order) and clears
    // m_bRebuildRefCache.
    void RebuildRefCache();
    std::vector<tcNode*> m_apRefCache;

    // The index of the document's sort method the section uses (-1: none), and its comparator
    // (code-unit order here; never null, owned by the section).
    void SetSortMethod(int nIndex) { m_nSortMethod = nIndex; }
    int GetSectionSortMethod() const { return m_nSortMethod; }
    tcSort* GetSectionSort() const { return &m_Sort; }

    // Script texts the section keeps for its search and click handlers.
    const wxString& GetSearchScript() const { return m_sSearchScript; }
    const wxString& GetClickScript() const { return m_sClickScript; }
    void SetSearchScript(const wxString& s) { m_sSearchScript = s; }
    void SetClickScript(const wxString& s) { m_sClickScript = s; }

private:
    int m_nSortMethod = -1;
    mutable tcSort m_Sort;
    wxString m_sSearchScript;
    wxString m_sClickScript;
};

// An entry of a section (element kind 4). Its lemma sign is the attribute with identifier 1, its
// homonym number identifier 6. The new, changed and incomplete flags are plain flags.
class tcEntry : public tcElementNode
{
public:
    tcEntry(tcDocument* pDoc, tcElement* pElement) : tcElementNode(pDoc, pElement) {}

    teNodeClass GetClassType() const override { return NODE_ENTRY; }
    const char* GetClassName() const override { return "tcEntry"; }

    // The second argument of the flag calls (the argument of ClearEditedFlags) is accepted for
    // callers that pass it; it has no effect.
    void SetNew(bool bNew, bool = true) { m_bNew = bNew; }
    bool IsNew() const { return m_bNew; }
    void SetChanged(bool bChanged, bool = true) { m_bChanged = bChanged; }
    bool HasChanged() const { return m_bChanged; }
    void ClearEditedFlags()
    {
        m_bNew = false;
        m_bChanged = false;
    }
    void ClearEditedFlags(bool) { ClearEditedFlags(); }
    bool IsIncomplete() const { return m_bIncomplete; }
    void SetIncomplete(bool b) { m_bIncomplete = b; }

    bool SetLemmaSign(const wxString& s) { return SetAttributeSByID(1, s); }
    wxString GetLemmaSign() const { return GetAttributeSByID(1); }
    // 0 with no number; SetHomNum(0) removes the number.
    bool SetHomNum(int n);
    int GetHomNum() const { return GetAttributeIByID(6); }
    bool HasHomNumAttribute() const;
    void SetFrequency(int n) { m_nFrequency = n; }
    int GetFrequency() const { return m_nFrequency; }

private:
    bool m_bNew = false;
    bool m_bChanged = false;
    bool m_bIncomplete = false;
    int m_nFrequency = 0;
};

// An entry inside an entry (element kind of class NODE_SUBENTRY).
class tcSubentry : public tcEntry
{
public:
    tcSubentry(tcDocument* pDoc, tcElement* pElement) : tcEntry(pDoc, pElement) {}

    teNodeClass GetClassType() const override { return NODE_SUBENTRY; }
    bool IsKindOfClass(int eClass) const override { return eClass == NODE_SUBENTRY || eClass == NODE_ENTRY; }
    const char* GetClassName() const override { return "tcSubentry"; }
};

// One cross reference: the referenced entry, its type and referenced senses of that entry. The
// pointers are resolved on demand and are not kept (see tcReferences).
struct tcRef : public tcLifeNoticed
{
    tcRef() = default;
    tcRef(const tcRef&) = default;
    tcRef(tcRef&&) = default;
    tcRef& operator=(const tcRef&) = default;
    tcRef& operator=(tcRef&&) = default;
    ~tcRef();

    int idRefType = 0;
    tID idEntry = idNULL;
    std::vector<tID> aidSenses;
    // Resolved pointers for callers that keep them; the library itself resolves through the
    // identifiers and neither reads nor fills these.
    tcEntry* pEntryRef = nullptr;
    std::vector<tcNode*> apSenses;
};

// A node that holds cross references to entries (and their senses) of the same document. The
// references are kept by node identifier and resolved through the document each time, so a
// deleted entry simply stops resolving (null).
class tcReferences : public tcElementNode
{
public:
    tcReferences(tcDocument* pDoc, tcElement* pElement) : tcElementNode(pDoc, pElement) {}

    teNodeClass GetClassType() const override { return NODE_REFERENCES; }
    const char* GetClassName() const override { return "tcReferences"; }

    // Adds a reference (or returns the index of the one to that entry); returns its index.
    int AddRefEntry(tID idEntry, int idType);
    int AddRefEntry(const tcEntry* pEntry, int idType);
    // Adds the sense to the reference to idEntry, creating that reference; false when the sense is
    // already there.
    bool AddRefSense(tID idEntry, tID idSense, int idType);
    bool RemoveRefEntry(tID idEntry);
    bool RemoveRefEntryByIndex(int nIndex);
    bool RemoveRefSense(tID idEntry, tID idSense);
    bool RemoveRefSenseByIndex(int nRefIndex, int nSenseIndex);
    // Move the reference at nIndex one place up / down.
    bool MoveU(int nIndex);
    bool MoveD(int nIndex);
    bool HasRefEntry(tID idEntry) const;
    bool HasRefSense(tID idSense) const;

    int GetNumRefEntries() const { return static_cast<int>(m_aRefs.size()); }
    // The referenced entry, null when out of range or when the entry no longer exists.
    tcEntry* GetRefEntry(int nIndex) const;
    int GetNumRefEntriesOfType(int idType) const;
    tcEntry* GetRefEntryOfType(int idType, int n) const;
    // idNULL / -1 / 0 for an index out of range.
    tID GetRefEntryID(int nIndex) const;
    tID GetRefEntryIDFromSenseID(tID idSense) const;
    int GetNumRefSenses(int nIndex) const;
    // The referenced sense node, null when out of range or gone.
    tcNode* GetRefSense(int nIndex, int nSense) const;
    tID GetRefSenseID(int nIndex, int nSense) const;
    bool SetRefSenseID(int nIndex, int nSense, tID idSense);
    int GetRefType(int nIndex) const;
    int GetRefTypeByEntry(tID idEntry) const;
    int GetRefTypeBySense(tID idSense) const;
    bool SetRefType(tID idEntry, int idType);
    bool SetRefTypeByIndex(int nIndex, int idType);

    const std::vector<tcRef>& GetRefs() const { return m_aRefs; }

    tcNode* Clone(tcDocument* pTargetDoc = nullptr) const override;

private:
    int FindRef(tID idEntry) const;

    std::vector<tcRef> m_aRefs;
};

// Appends to apOut every references node of pEntry's dictionary that refers to pEntry, in document
// order; returns the number appended. 0 for a null entry or one outside a dictionary.
int LemmaFindReferrers(const tcEntry* pEntry, std::vector<tcNode*>& apOut);
