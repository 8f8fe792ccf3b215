#pragma once

#include <wx/string.h>

#include <set>
#include <vector>

class tcAttribute;
class tcDocument;
class tcElement;
class tcEntry;
class tcIO;
class tcLanguage;
class tcNode;

// Routines on documents, their DTDs and their nodes, shared with the maker's other programs. Most
// of them are reached only from scripts; the allocation pair is how the program itself creates
// every element. Null arguments give the neutral result stated for each routine; nothing throws.
// Main thread only.

// The current document of scripts (null at start; the program never sets it, scripts do). Not
// owned. Of the routines below only GetParentID reads it: the others work on the document of the
// nodes they are given.
extern tcDocument* g_pDoc;

// ----- Element allocation ---------------------------------------------------------------------------

// A new element of that kind in pDoc, with the children its DTD requires (see
// AutoAddRequiredChildren). The node is unattached and owned by pDoc. Null for a null document or an
// identifier / kind the document's DTD does not have.
tcNode* AllocateElementByIDHelper(int nElementID, tcDocument* pDoc);
tcNode* AllocateElementHelper(tcElement* pElement, tcDocument* pDoc);

// Gives pNode every missing child whose relation is CHILD_ONE or CHILD_ONEORMORE, in DTD order, and
// those children theirs, recursively. The new nodes are allocated in pNode's own document. Within
// one call each element kind is added at most once anywhere in the subtree: that ends content
// models that require themselves (A requires B requires A gives A > B > A), and a kind two branches
// require lands under the first branch only. With bMarkChanged, each addition reports its parent as
// modified (tNodeModified), marks the parent's entry changed and triggers Evt_EntryChanged
// (null, entry); without an entry above the parent there is no entry to report.
void AutoAddRequiredChildren(tcNode* pNode, bool bMarkChanged = false);
// The same for the one relation of pNode's kind to pChildElement: nothing when that relation does
// not require the child or pNode already has a child of that kind.
void AutoAddRequiredChild(tcNode* pNode, tcElement* pChildElement, bool bMarkChanged = false);

// ----- DTD routines ---------------------------------------------------------------------------------

// The kind named sName: an existing one is returned as it is; otherwise a new kind with the DTD's
// next free identifier and an element style without settings in every style set. The DTD change
// is recorded (and, with bNotify, announced). Null for a null document or an empty name.
tcElement* tAddElement(tcDocument* pDoc, const wxString& sName, bool bNotify = true);

// Builds the default dictionary DTD into pDoc: a style set "Default styles"; kinds "Database" (1),
// "Section" (2) and "Entry" (4) with their relations, attributes and styles; paragraph layout for
// the entry kind in every style set. Meant for a document whose DTD does not declare identifiers
// 1, 2 and 4 yet: when it already declares one of them nothing is changed (the kinds would
// otherwise land on other identifiers), and a log line says so.
void tCreateDefaultDTDMendrasi(tcDocument* pDoc);

// The localised name of an attribute default kind (ATTRDEF_VALUE .. ATTRDEF_HYPERLINK); "?" for any
// other value.
wxString tGetAttrDefaultTypeString(int eDefaultType);

// The identifier of the first kind in g_pDoc's DTD that lists nElementID among its children. -1
// when g_pDoc is null, the DTD lacks the identifier, no kind lists it, or it is the section kind
// (2), whose parent is not reported.
int GetParentID(int nElementID);

// ----- Node editing ---------------------------------------------------------------------------------

// Replaces pNode (an element node of pDoc with a parent) by a new element of kind pNewElement in
// the same place: under a parent that holds text at pNode's own index, else in the parent's DTD
// order. Attribute values go to the attributes of the same name; the remaining values go, in
// declaration order, to the remaining attributes of the new kind, and those left over are dropped.
// The children move to the new element (in DTD order, or as they stood when the new kind holds
// text). pNode is then deleted from the document, which is marked changed. Returns the new element,
// null (changing nothing) for a null argument, a leaf, a node without a parent or of another
// document, or a kind of another DTD.
tcNode* tDoReplaceNode(tcDocument* pDoc, tcNode* pNode, tcElement* pNewElement);

// Deletes, from the last child to the first and then pNode itself, every node of the subtree that is
// empty (NodeIsEmpty) and has no children left. An empty node that still has children is kept and
// reported as a soft assertion. pNode may be deleted: the caller must not use it afterwards unless
// it is known to hold content.
void tPruneEmptyNodeBranches(tcDocument* pDoc, tcNode* pNode);

// After an entry was inserted into its section: marks the entry's document changed (with
// bSetDirty), renumbers the section's homonyms, then triggers Evt_LemmaInserted (null, entry) and
// Evt_LemmaHomNumChanged (null, entry) for each entry whose number changed, in section order.
void Helper_OnInsertNewLemma(tcEntry* pEntry, bool bSetDirty = true);

// ----- Queries --------------------------------------------------------------------------------------

// True when pNode is an entry (class NODE_ENTRY) and pAttr is its lemma sign (identifier 1).
bool tIsHeadword(const tcNode* pNode, const tcAttribute* pAttr);

// The registry's IOFLAG_* bits for the handler's data-source type; 0 for a null handler.
int GetIOFlags(const tcIO* pIO);

// Appends to asOut (not cleared) the translation-equivalent texts of pEntry that pSection's field
// descriptions (m_aTEDesc) name, field by field: an attribute's display text on every descendant of
// that kind, or the kind's own text when the field names no attribute. Nothing without a document,
// section or entry.
void FindAllTEs(tcDocument* pDoc, tcLanguage* pSection, tcEntry* pEntry, std::vector<wxString>& asOut);

// Appends to apOut every other entry of pEntry's section that shares a non-empty field value with
// pEntry, once per equal pair of values. A terminology document compares its SPECIAL_TERM_TERM
// fields, any other document the texts of FindAllTEs. With pIO each entry (pEntry too) is loaded
// first; entries that do not load are skipped. False when the document or entry is null, the entry
// is in no section, a terminology document has no term fields, or a load reports an error.
bool FindFanouts(tcDocument* pDoc, tcIO* pIO, tcEntry* pEntry, std::vector<tcEntry*>& apOut);

// Clears both lists, then fills them for pEntry: apReferenced with the entries its references
// nodes refer to, apReferring with the entries that hold a reference to it, each entry once, in
// document order. pSenses (when given) receives the referenced senses, pReferrers (when given) the
// references nodes that refer to pEntry; both are added to, not cleared.
void tGetRelatedReferences(tcEntry* pEntry, std::vector<tcEntry*>& apReferenced, std::vector<tcEntry*>& apReferring,
                           std::set<tcNode*>* pSenses = nullptr, std::set<tcNode*>* pReferrers = nullptr);
// Clears apReferenced and fills it with the entries that pNode (when it is a references node) and
// the references nodes below it refer to, each once.
void tGetRelatedReferencesOutgoing(tcNode* pNode, std::vector<tcEntry*>& apReferenced);
