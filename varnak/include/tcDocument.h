#pragma once

#include "varnak/include/tObjectLife.h"

#include "varnak/include/VarnakConst.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcNode.h"
#include "varnak/include/tcRecords.h"
#include "varnak/include/tcStyles.h"

#include <wx/string.h>

#include <memory>
#include <stdexcept>
#include <unordered_set>
#include <vector>

class tcProperties;

// Kinds of document (tcDocument::GetDocumentType).
const int DOCTYPE_DICTIONARY = 0;
const int DOCTYPE_TERM = 1;

// Hands out node identifiers: increasing, starting at 1, never one it was told is in use.
class tcIDAssigner
{
public:
    explicit tcIDAssigner(tID nFirst = 1) : m_nNext(nFirst < 1 ? 1 : nFirst) {}

    tID AssignID() { return m_nNext++; }
    tID PeekNextID() const { return m_nNext; }
    // Makes sure nID is never handed out later.
    void NoteUsedID(tID nID)
    {
        if (nID >= m_nNext)
            m_nNext = nID + 1;
    }

private:
    tID m_nNext;
};

// What a document keeps apart from its content: the node-identifier assigner.
class tcDocumentBase
{
public:
    tcDocumentBase();
    virtual ~tcDocumentBase();

    // The current assigner; null only after SetIDAssigner(nullptr).
    tcIDAssigner* GetIDAssigner() const { return m_pIDAssigner.get(); }
    void SetIDAssigner(std::unique_ptr<tcIDAssigner> pAssigner) { m_pIDAssigner = std::move(pAssigner); }
    // Replaces the assigner with a fresh one that continues above the highest identifier in the
    // document's tree (1 for an empty document).
    void RecreateDefaultIDAssigner();

protected:
    // The highest node identifier the document holds (0 when none).
    virtual tID GetHighestNodeID() const = 0;

private:
    std::unique_ptr<tcIDAssigner> m_pIDAssigner;
};

// A deletion that DeleteTreeFromDoc recorded for the next save.
struct tcDeletedNode
{
    tID nID;
    int nElementID;
    teNodeClass eClass;
};

// A special designation of the document (SPECIAL_*) with its fields.
struct tcSpecialType : public tcLifeNoticed
{
    tcSpecialType() = default;
    tcSpecialType(const tcSpecialType&) = default;
    tcSpecialType(tcSpecialType&&) = default;
    tcSpecialType& operator=(const tcSpecialType&) = default;
    tcSpecialType& operator=(tcSpecialType&&) = default;
    ~tcSpecialType();

    int eID = SPECIAL_UNDEFINED;
    std::vector<tcAttributeDesc> aDesc;

    // Whether the designation names the kind (with any attribute) / that attribute of the kind.
    bool IsSelected(int nElementID) const { return FindElement(nElementID) >= 0; }
    bool IsSelected(int nElementID, int nAttributeID) const;
    // Adds the field unless it is named already.
    void Select(int nElementID, int nAttributeID);
    // Removes every field of the kind / that one field.
    void Unselect(int nElementID);
    void Unselect(int nElementID, int nAttributeID);
    // The index in aDesc of the first field of the kind, -1 when none.
    int FindElement(int nElementID) const;
};

// A document: its DTD, its node tree (a tcDictionary root with sections and entries), style sets
// with their output orders, properties, and the changed flag.
//
// The document owns every node it allocated, in the tree or not (see tcNode), and frees them all
// in DeleteDoc and in its destructor; node pointers die with it. Main thread only.
class tcDocument : public tcLifeNoticed, public tcDocumentBase
{
public:
    tcDocument();
    ~tcDocument() override;
    tcDocument(const tcDocument&) = delete;
    tcDocument& operator=(const tcDocument&) = delete;

    // Names the document and, when it has no style set, gives it one ("Default") with an empty
    // output order. It makes no dictionary and leaves the DTD as it is. Returns true.
    bool CreateDoc(const wxString& sName);
    // Frees the tree, every unattached node, the style sets and the deletion record; the DTD and
    // the name stay. The changed flag is cleared (without an event).
    void DeleteDoc();
    void Destroy() { DeleteDoc(); }
    // Called by IO handlers after a complete load: clears the changed flag and the deletion record.
    void OnLoaded();
    const wxString& GetName() const { return m_sName; }

    // Never null; owned by the document.
    tcDTD* GetDTD() const { return m_pDTD.get(); }

    // New unattached nodes, owned by the document. The node's class follows its kind's class
    // (tcDictionary, tcLanguage, tcEntry, tcSubentry, tcReferences, else tcElementNode). With
    // bAssignID the node takes the assigner's next identifier (else idNULL). With bDefaults every
    // attribute with a declared non-empty default of kind ATTRDEF_VALUE or ATTRDEF_FIXED gets it.
    // Null for a null kind or one of another DTD / an unknown identifier or name.
    tcNode* AllocateElement(tcElement* pElement, bool bAssignID = true, bool bDefaults = false);
    tcNode* AllocateElementByID(int nElementID, bool bAssignID = true, bool bDefaults = false);
    tcNode* AllocateElementByName(const wxString& sName, bool bAssignID = true, bool bDefaults = false);
    tcText* AllocateTextNode(const wxString& sText = wxString());
    tcCDATA* AllocateCDataNode(const wxString& sText = wxString());
    tcErrorNode* AllocateErrorNode(int eType = PARSEERROR_UNKNOWN, const wxString& sText = wxString(),
                                   const wxString& sSuggestion = wxString());

    // The root. SetDictionary takes a node of this document (or one made without a document) and
    // detaches it from any parent; a previous root stays owned by the document, unattached. Calling
    // it again with the current root changes nothing; null leaves the document without a root.
    tcDictionary* GetDictionary() const { return m_pDictionary; }
    void SetDictionary(tcDictionary* pDictionary);
    tcDictionary* GetDocumentRoot() const { return m_pDictionary; }
    void SetDocumentRoot(tcDictionary* pDictionary) { SetDictionary(pDictionary); }
    // Sections of the root; 0 / null without a root or for an index out of range.
    int GetNumSections() const;
    tcLanguage* GetSection(int nIndex) const;

    // Deletes the node and its subtree. Triggers Evt_NodeDeleteFromDoc (document, node) first,
    // records the node and the entries in its subtree for the next save (m_apDeleted) and marks the
    // document changed. False for a null node or one of another document.
    bool DeleteTreeFromDoc(tcNode* pNode);
    // Deletes the node and its subtree without an event, record or change mark. False for null.
    bool DeleteTreeFromMem(tcNode* pNode);
    // Empties the deletion record (after a save).
    void ClearDeleted()
    {
        m_aDeletedNodes.clear();
        m_apDeleted.clear();
    }

    // Style sets, in order; each owns its output order. The current set is index 0 unless set.
    int GetNumStyleSets() const { return static_cast<int>(m_apStyleSets.size()); }
    // Null for an index out of range.
    tcStyles* GetStyleSet(int nIndex) const;
    // -1 when not one of ours.
    int GetStyleSetIndex(const tcStyles* pStyles) const;
    // Takes ownership and appends; returns the set.
    tcStyles* AddStyleSet(std::unique_ptr<tcStyles> pStyles);
    tcStyles* AddStyleSet(const wxString& sName);
    // Deletes the set at nIndex; the current index moves to stay on the same set (or 0).
    bool DeleteStyleSet(int nIndex);
    bool SwopStyleSets(int nIndex1, int nIndex2);
    int GetCurrentStyleSet() const { return m_nCurrentStyleSet; }
    bool SetCurrentStyleSet(int nIndex);
    // The current set and its order; null when there is no style set.
    tcStyles* GetCurrentStyles() const { return GetStyleSet(m_nCurrentStyleSet); }
    tcOrder* GetCurrentOrder() const;
    int GetNumOrders() const { return GetNumStyleSets(); }
    tcOrder* GetOrderByIndex(int nIndex) const;

    // The changed flag. SetDirty and ClearDirty trigger Evt_DirtyStateChanged (document, null)
    // only when the flag actually changes.
    bool IsDirty() const { return m_bDirty; }
    void SetDirty();
    void ClearDirty();

    // Seconds since the epoch; set by handlers after loading or saving.
    long long GetTimestamp() const { return m_nTimestamp; }
    void SetTimestamp(long long n) { m_nTimestamp = n; }

    // Sort methods are only named here (no collation is applied): SetupDefaultSorting adds
    // "Default" when the document has none.
    void SetupDefaultSorting();
    int AddSortMethod(const wxString& sName);
    wxString GetSortMethod(int nIndex) const;
    int GetNumSortMethods() const { return static_cast<int>(m_asSortMethods.size()); }
    bool DeleteSortMethod(int nIndex);
    int GetSortMethodIndex(const wxString& sName) const;

    // Resets the DTD to the library's minimal dictionary DTD:
    //   kind 1 "Dictionary" (NODE_DICTIONARY): attributes Name 1, Description 2, CreatedBy 3,
    //     Copyright 4, URL 5, SoundPath 8;
    //   kind 2 "Section" (NODE_SECTION): Name 1, AlphabetQuicklinks 4;
    //   kind 4 "Lemma" (NODE_ENTRY): LemmaSign 1;
    //   kind 6 "References" (NODE_REFERENCES);
    //   relations 1 -> 2 and 2 -> 4, CHILD_ZEROORMORE; the next free element identifier is 11.
    // All attributes are implied text. Nodes of earlier kinds are deleted with them.
    void CreateEmptyOvraDTD();
    // Declares the five XML entities (lt, gt, amp, apos, quot) that the DTD lacks.
    void CreateXMLPredefinedEntities();
    // Adds a reference label set "Default" (labels: the type names) when the DTD has none.
    void CreateDefaultRefLabels();

    // Never null; owned by the document.
    tcProperties& GetProperties() const { return *m_pProperties; }

    // Special designations (m_aSpecial); FindSpecial gives null when there is none of that kind.
    // The pointers these two give stay valid until the list changes (a designation is added or
    // the list is replaced).
    tcSpecialType* FindSpecial(int eID) const;
    // Returns the designation of that kind, creating it when missing.
    tcSpecialType* AddSpecialType(int eID);
    // The designations as values (copies), and replacing them all.
    std::vector<tcSpecialType> GetSpecialTypes() const;
    void SetSpecialTypes(const std::vector<tcSpecialType>& aSpecials);

    // Called by the DTD before it deletes a kind or an attribute: nodes of the kind are deleted
    // (from memory, unrecorded), values of the attribute are dropped, and style and order items
    // that refer to either are removed.
    void OnElementDeleting(tcElement* pElement);
    void OnAttributeDeleting(tcAttribute* pAttr);

    // --- Further dictionary set-up ----------------------------------------------------------------
    // The minimal dictionary DTD (CreateEmptyOvraDTD) with the XML entities, the lists "POS" and
    // "Labels" (the parts of speech filled in), a label set for every list and the reference
    // labels.
    void CreateDefaultOvraDTD();
    // The minimal dictionary DTD for terminology: kind 4 is the concept, and a kind "Term"
    // (attribute "Term", id 1) below it holds the terms; the section is designated
    // SPECIAL_TERM_LANGUAGE and the term's attribute SPECIAL_TERM_TERM.
    void CreateEmptyTermDTD();
    // Each makes sure its list exists in the DTD: "POS" and "Labels"; "NounClass".
    void CreatePOSAndLabelLists();
    void CreateNounClassList();
    // The XML entities and the no-break space ("nbsp").
    void CreateDefaultEntities();
    // Adds the common parts of speech to the list "POS" (created when missing) unless present.
    void CreateDefaultPOSs();
    // Gives every list that has no label set one named "Default" labelling each item with its
    // text.
    void CreateDefaultLabelSets();
    // Auto-numbering is not supported: throws tcNotSupported.
    void SetupDefaultAutonumbering();
    // DOCTYPE_TERM for a terminology document (tIsTermDocument), else DOCTYPE_DICTIONARY.
    int GetDocumentType() const;

    // --- Data blocks -----------------------------------------------------------------------------
    // Named blocks of bytes the document keeps for other programs; replaced by identifier. SetBlock
    // marks the document changed, SetBlockLoad (used while loading) does not. Returns the block.
    tcBlock* SetBlock(int nID, const wxString& sName, const std::string& sData);
    tcBlock* SetBlockLoad(int nID, const wxString& sName, const std::string& sData);
    int GetNumBlocks() const { return static_cast<int>(m_apBlocks.size()); }
    // Null for an index or identifier that has no block.
    tcBlock* GetBlock(int nIndex) const;
    tcBlock* GetBlockByID(int nID) const;
    // Properties, specials and templates are written by the writers from the objects themselves,
    // so no block goes stale: PropertiesModified marks the document changed, the Update calls have
    // nothing to do.
    void PropertiesModified() { SetDirty(); }
    void UpdatePropertiesBlock() {}
    void UpdateSpecialsBlock() {}
    void UpdateTemplatesBlock() {}

    // --- Not modelled ----------------------------------------------------------------------------
    // Filters, the clipboard and the user manager do not exist here: no current filter, nothing is
    // cut or copied (false), an empty clipboard (null, -1) and no user manager (null).
    // SetFilter throws tcNotSupported.
    void SetFilter(tcFilter* pFilter);
    tcFilter* GetCurrentFilter() const { return nullptr; }
    bool Cut(tcNode*) { return false; }
    bool CopyNode(tcNode*) { return false; }
    tcNode* GetClipboard() const { return nullptr; }
    int GetClipType() const { return -1; }
    void* GetUserManager() const { return nullptr; }

    // Deletions since the last ClearDeleted: the node records, and the same nodes' identifiers
    // (kept in step with the records by the document; scripts read the identifiers).
    std::vector<tcDeletedNode> m_aDeletedNodes;
    std::vector<tID> m_apDeleted;
    bool m_bUsersChanged = false;
    bool m_bStylesChanged = false;
    bool m_bDTDChanged = false;
    bool m_bPluginsChanged = false;
    bool m_bSortingChanged = false;
    bool m_bRootNodeChanged = false;
    bool m_bReferencesChanged = false;
    std::vector<tcSpecialType> m_aSpecial;

    // The program marks a document while it holds it open (a project, a memory, a rule file):
    // scripts may edit its nodes but not free or reset the whole document (see the tScript calls
    // below).
    void SetHeldByProgram(bool bHeld) { m_bHeldByProgram = bHeld; }
    bool IsHeldByProgram() const { return m_bHeldByProgram; }

protected:
    tID GetHighestNodeID() const override;

private:
    friend class tcNode;

    // Node bookkeeping: the roots of unattached subtrees the document owns.
    void AdoptOrphan(tcNode* pNode);
    void ForgetOrphan(tcNode* pNode);
    void OnNodeDestroyed(tcNode* pNode);
    // A new node of the class pElement's class asks for, registered with pDoc when given.
    static tcNode* NewNodeForElement(tcDocument* pDoc, tcElement* pElement);
    // Every node the document owns, roots first (the tree and the unattached subtrees).
    void CollectAllNodes(std::vector<tcNode*>& apOut) const;

    wxString m_sName;
    std::unique_ptr<tcDTD> m_pDTD;
    tcDictionary* m_pDictionary = nullptr;
    // Unattached roots; each knows its place (tcNode::m_nOrphanSlot), so both ways are constant time.
    std::vector<tcNode*> m_apOrphans;
    std::vector<std::unique_ptr<tcStyles>> m_apStyleSets;
    int m_nCurrentStyleSet = 0;
    bool m_bDirty = false;
    long long m_nTimestamp = 0;
    std::vector<wxString> m_asSortMethods;
    std::unique_ptr<tcProperties> m_pProperties;
    std::vector<std::unique_ptr<tcBlock>> m_apBlocks;
    bool m_bHeldByProgram = false;
};

// True for a terminology document: one with a SPECIAL_TERM_LANGUAGE or SPECIAL_TERM_TERM
// designation. False for null.
bool tIsTermDocument(const tcDocument* pDoc);

// The calls scripts make to free or reset a whole document or its root. Each throws
// tcHeldDocument, changing nothing, when the document is held by the program
// (tcDocument::IsHeldByProgram); otherwise it does what the member of that name does.
class tcHeldDocument : public std::runtime_error
{
public:
    tcHeldDocument() : std::runtime_error("the document is held open by the program and cannot be freed or reset") {}
};
bool tScriptCreateDoc(tcDocument* pDoc, const wxString& sName);
void tScriptDeleteDoc(tcDocument* pDoc);
// DeleteTreeFromDoc / DeleteTreeFromMem: refused for the root of a held document.
bool tScriptDeleteTreeFromDoc(tcDocument* pDoc, tcNode* pNode);
bool tScriptDeleteTreeFromMem(tcDocument* pDoc, tcNode* pNode);
// Deleting a node a script holds: detaches it and frees its subtree; refused for the root of a held
// document.
void tScriptDeleteNode(tcNode* pNode);
// tcDictionary::Destroy: refused for the root of a held document.
void tScriptDestroyDictionary(tcDictionary* pDictionary);
// tcDTD::Destroy: refused for the DTD of a held document (it would empty the whole document).
void tScriptDestroyDTD(tcDTD* pDTD);
