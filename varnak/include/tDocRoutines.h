#pragma once

#include "varnak/include/VarnakConst.h"

#include <wx/string.h>

#include <vector>

class tcDocument;
class tcDTD;
class tcElement;
class tcAttribute;
class tcAttrList;
class tcNode;
class tcEntry;
class tcLanguage;
class tcOrder;
class tcReferences;
class tcRefType;
class tcStyles;
class tcStyleAttribute;
class tcExportInfo;
struct tcAttributeDesc;

// Further routines on documents, their DTDs, styles and nodes that scripts call. Null arguments
// give the neutral result (null, false, 0, -1, empty) and change nothing. Main thread only.

// ----- DTD ------------------------------------------------------------------------------------------

// The kind with that identifier / name in pDoc's DTD, or null.
tcElement* CheckElementExists(tcDocument* pDoc, int nElementID);
// The attribute of that kind, or null when the kind or the attribute is missing.
tcAttribute* CheckElementAndAttributeExist(tcDocument* pDoc, int nElementID, int nAttrID);
tcAttribute* CheckElementAndAttributeExist(tcDocument* pDoc, const wxString& sElement, const wxString& sAttr);
// The attribute of pElement named sName ignoring case (the first one), or null.
tcAttribute* tFindAttributeByName(const tcElement* pElement, const wxString& sName);

// The kind named sName, created (next free identifier, class eClass) when missing. Null for an
// empty name.
tcElement* tCreateElementType(tcDocument* pDoc, const wxString& sName, int eClass = NODE_NODE);
// The attribute named sName of pElement, added (with the type, default kind and default text)
// when missing.
tcAttribute* tCreateAttribute2(tcDocument* pDoc, tcElement* pElement, const wxString& sName, int eType, int eDefault,
                               const wxString& sDefault = wxString());
// Inserts a new attribute at nIndex (-1 or beyond the end: last). Null when the kind has an
// attribute of that name.
tcAttribute* InsertElementAttribute(tcElement* pElement, int nIndex, const wxString& sName, int eType, int eDefault);
// Adds a list attribute (ATTR_LIST, or ATTR_LISTN with bMultiple) with the list named sListName
// (found or created; "<element>_<attribute>" when empty). The existing attribute of that name is
// returned unchanged.
tcAttribute* AddElementListAttribute(tcDocument* pDoc, tcElement* pElement, const wxString& sName,
                                     const wxString& sListName = wxString(), bool bMultiple = false);
// A copy of pSource (name, type, default kind and text, flags, list) added to pTarget; the
// attribute pTarget already has under that name is returned unchanged.
tcAttribute* tCloneAttribute(tcElement* pTarget, const tcAttribute* pSource);

// Sets the constraint of the relation pParent -> pChild, adding the relation when missing.
bool tSetChildRelation(tcElement* pParent, tcElement* pChild, int eConstraint);
// Removes the relation; false when there is none.
bool tRemoveChildRelation(tcElement* pParent, tcElement* pChild);
// Renames the kind; false for an empty name or one another kind has. Triggers Evt_ElementRenamed
// (kind, null) and records the DTD change.
bool tRenameElementType(tcDocument* pDoc, tcElement* pElement, const wxString& sName);

// tChangeAttributeType (tDTDHelpers.h) with an empty list name (a list type gets "<element>_<attribute>").
bool tChangeAttributeType(tcDocument* pDoc, tcElement* pElement, tcAttribute* pAttr, int eNewType);

// A named reference type: the existing one of that name, else a new one.
tcRefType* tCreateCrossRefType(tcDocument* pDoc, const wxString& sName);
// True when the list has an item with exactly that text.
bool tHasListItem(const tcAttrList* pList, const wxString& sText);

// The text of a parse error kind (PARSEERROR_*); "Unknown error" for any other value.
wxString tGetErrorText(int eParseError);

// ----- Field designations ---------------------------------------------------------------------------

// True when the list names the field.
bool tHasDesc(const std::vector<tcAttributeDesc>& aDesc, int nElementID, int nAttrID);
// Removes every designation of the field; true when there was one.
bool tRemoveDesc(std::vector<tcAttributeDesc>& aDesc, int nElementID, int nAttrID);
// The section's frequency field / one of its notes fields.
bool tIsFreqDesc(const tcLanguage* pSection, int nElementID, int nAttrID);
bool tIsNotesField(const tcLanguage* pSection, int nElementID, int nAttrID);
// True when the document's designation eSpecial (SPECIAL_*) names the kind.
bool tIsSpecialElement(const tcDocument* pDoc, int eSpecial, int nElementID);

// ----- Styles ---------------------------------------------------------------------------------------

// The foreground / background colour of the kind's style (of the attribute's style when pAttr is
// given) in pStyles; empty without such a style.
wxString tGetColourF(const tcStyles* pStyles, const tcElement* pElement, const tcAttribute* pAttr = nullptr);
wxString tGetColourB(const tcStyles* pStyles, const tcElement* pElement, const tcAttribute* pAttr = nullptr);
// tAddStyleAttribute (tDTDHelpers.h) with the kind and the attribute given by identifiers in pDoc's
// DTD; null when either is missing.
tcStyleAttribute* tAddStyleAttribute(tcDocument* pDoc, int nElementID, int nAttrID, const wxString& sFont, float fSize,
                                     int nB, int nI, int nU, int nSup, int nSub, const wxString& sBeforeI,
                                     const wxString& sAfterI, const wxString& sBeforeO, const wxString& sAfterO,
                                     const wxString& sColourF, const wxString& sColourB, const wxString& sBeforeG,
                                     const wxString& sAfterG, const wxString& sBetween);
// Records that a style changed (tcDocument::m_bStylesChanged) and triggers Evt_StylesChanged
// (document, style).
void tStyleChanged(tcDocument* pDoc, void* pStyle);
// A new style set named sName holding copies of pSource's styles and output order. Null when
// pSource is no set of pDoc.
tcStyles* tCloneStyleSet(tcDocument* pDoc, const tcStyles* pSource, const wxString& sName);
// Rebuilds the set's output order from the DTD: per kind, its child kinds in relation order, its
// attributes in declaration order and, for kinds that hold text, the text; all visible.
void tSetStyleOrderToDTDOrder(tcDocument* pDoc, tcStyles* pStyles);
// Colour schemes are not stored by this library: nothing is loaded or saved (false).
bool tLoadColours(const wxString& sPath);
bool tSaveColours(const wxString& sPath);
// Masks are not supported: throws tcNotSupported.
void tMasksChanged(tcDocument* pDoc);

// ----- Visibility through the output order ----------------------------------------------------------
// A node is visible when its parent kind's order in pOrder (the document's current order for the
// one-argument forms) shows its kind (text: the text item), or when that order does not list the
// parent kind at all; a root, and any node without an order, is visible. An attribute is visible
// when the node kind's order shows it, or does not list the kind.

bool tIsVisible(const tcNode* pNode);
bool tIsVisible(const tcNode* pNode, const tcOrder* pOrder);
bool tIsAttributeVisible(const tcNode* pNode, const tcAttribute* pAttr);
bool tIsAttributeVisible(const tcNode* pNode, const tcAttribute* pAttr, const tcOrder* pOrder);
// True when an attribute holding a non-empty value is visible.
bool tHasVisibleAttributes(const tcNode* pNode);
// The nearest visible sibling after / before the node, or null.
tcNode* tGetNextVisibleSibling(const tcNode* pNode);
tcNode* tGetPreviousVisibleSibling(const tcNode* pNode);
// Masks are not modelled: nothing is masked (false, null), so the unmasked sibling is the sibling.
bool tIsMasked(const tcNode* pNode);
tcNode* tGetNextMaskedSibling(const tcNode* pNode);
tcNode* tGetPreviousMaskedSibling(const tcNode* pNode);
tcNode* tGetNextUnmaskedSibling(const tcNode* pNode);
tcNode* tGetPreviousUnmaskedSibling(const tcNode* pNode);

// ----- Auto-numbering (not supported) ---------------------------------------------------------------
// The texts are empty; the calls that would renumber throw tcNotSupported.

void CalculateAutoNumbering(tcDocument* pDoc);
void CalculateAutoNumberingForElement(tcDocument* pDoc, tcElement* pElement);
void tFixAutoNumbering(tcDocument* pDoc);
void tFixAutoNumbering(tcNode* pNode);
wxString tGetAutoNumberString(const tcNode* pNode, const tcAttribute* pAttr);
wxString tGetAutoNumberStringOverrideNumber(const tcNode* pNode, const tcAttribute* pAttr, int nNumber);
wxString tGetAutoNumbersString(const tcNode* pNode);
wxString AutoNumberHelper_GetString(int eStyle, int nNumber);

// ----- Export (not supported) -----------------------------------------------------------------------

// The information of the export that runs; exports are not run through scripts here: null.
tcExportInfo* tGetExportInfo();
// RTF and HTML export are not supported: throw tcNotSupported.
void Test_ExportRTF(tcDocument* pDoc, const wxString& sPath);
void Test_ExportHTML(tcDocument* pDoc, const wxString& sPath);
// Writes the document's root as XML (GenerateXML, UTF-8, atomically); false without a root or
// when the file cannot be written.
bool Test_ExportXML(tcDocument* pDoc, const wxString& sPath);

// ----- Nodes and entries ----------------------------------------------------------------------------

// Change stamps. The Set calls write the current UTC time ("YYYY-MM-DDThh:mm:ssZ", tDateTimeToStr)
// into the attribute / into the attributes of default kind ATTRDEF_DATECHANGED of the node's entry,
// and do nothing while g_bAdminNoUpdateTimestamps is set. The Get calls read that value (the
// entry's first such attribute); empty when there is none.
void tSetChangedTimestampAttr(tcNode* pNode, const tcAttribute* pAttr);
void tSetChangedTimestamp(tcNode* pNode);
wxString tGetChangedTimestampAttr(const tcNode* pNode, const tcAttribute* pAttr);
wxString tGetChangedTimestamp(const tcNode* pNode);

// True for an entry (or subentry).
bool tIsEntryNode(const tcNode* pNode);
// True for an element node inside a kind that holds text (inline markup in mixed content).
bool tIsInlineNode(const tcNode* pNode);
// True when the attribute holds a non-empty value.
bool tAttributeHasValue(const tcNode* pNode, const tcAttribute* pAttr);
// True when the node is empty (NodeIsEmpty) and has no children.
bool tElementIsEmpty(const tcNode* pNode);
// The node's 1-based position among its parent's children of its kind (a sense's number); 0
// without a parent.
int GetSenseNumber(const tcNode* pNode);
// Removes the node's value of the attribute (tcNode::ResetAttributeValue) and reports the edit
// (tNodeModified); false when there was no value.
bool tDeleteAttribute(tcNode* pNode, const tcAttribute* pAttr);
// Copies pSource's attribute values to the attributes of the same name of pTarget; with
// bOverwrite also over values pTarget holds. Returns the number copied.
int tMergeAttributes(tcNode* pTarget, const tcNode* pSource, bool bOverwrite);

// Whether another child of kind pChild may be added under pParent: the relation exists and is
// not CHILD_ONE / CHILD_ZEROORONE with such a child present.
bool tMayAddMoreChildren(const tcNode* pParent, const tcElement* pChild);
// Whether the node must stay: a root, or the only child of its kind where the relation requires
// one (CHILD_ONE, CHILD_ONEORMORE).
bool tMayNotDelete(const tcNode* pNode);

// Adds a reference to pTarget of type idType under pNode, in its first references child (kind 6,
// created when missing). Returns the references node, null when the DTD has no kind 6.
tcReferences* NodeAddReference(tcDocument* pDoc, tcNode* pNode, tcEntry* pTarget, int idType);
// Appends the entries pEntry's references nodes refer to (each once); returns the number appended.
int tEntryFindReferred(const tcEntry* pEntry, std::vector<tcEntry*>& apOut);

// The homonym number the entry should have: 0 when no other entry of its section shares its lemma
// sign, else its 1-based position among those that do.
int tGetRecalculatedHomNum(const tcEntry* pEntry);
// Renumbers the section's homonyms (tcLanguage::FixHomonymNumbers) and triggers
// Evt_LemmaHomNumChanged (null, entry) for each changed entry; returns their number.
int tFixLangHomonymNumbers(tcLanguage* pSection);
// Where pEntry would go among the section's entries in lemma-sign order (an entry index, the
// number of entries for the end).
int FindEntryInsertPosition(const tcLanguage* pSection, const tcEntry* pEntry);
// Marks the entry changed, its document dirty and triggers Evt_EntryChanged (null, entry).
void tEntryHasChanged(tcEntry* pEntry);
// Triggers Evt_EntryPreDelete (document, entry), then deletes it (DeleteTreeFromDoc).
bool tDeleteEntry(tcDocument* pDoc, tcEntry* pEntry);
// Merges every group of entries with the same lemma sign into the first: the others' children
// move to it (in order) and the others are deleted. Returns the number of entries deleted.
int tCombineHomonyms(tcDocument* pDoc, tcLanguage* pSection);

// The kind of gCurrentNode, or null.
tcElement* tCurrentElement();

// ----- Restructuring --------------------------------------------------------------------------------
// Each returns the number of nodes it changed, marks the document changed when there are any and
// works in the document's tree (the root and its descendants).

// Wraps each child of kind pChildKind under nodes of kind pParentKind in a new node of kind
// pNewKind at the child's place.
int tInsertParentBetweenEach(tcDocument* pDoc, tcElement* pParentKind, tcElement* pChildKind, tcElement* pNewKind);
// Moves all children of kind pChildKind of each node of kind pParentKind into one new node of kind
// pNewKind placed where the first of them stood.
int tInsertParentBetweenAll(tcDocument* pDoc, tcElement* pParentKind, tcElement* pChildKind, tcElement* pNewKind);
// The same under one node.
int tInsertParentBetweenAll(tcNode* pParent, tcElement* pChildKind, tcElement* pNewKind);
// Moves every node of kind pKind up to its grandparent, right after its old parent.
int tMoveAllToGrandparent(tcDocument* pDoc, tcElement* pKind);
// Replaces the node by its children (in its place) and deletes it; false for a root or null.
bool tPullRug(tcNode* pNode);
int tPullRugAllOfElementType(tcDocument* pDoc, tcElement* pKind);
// Sorts pParent's children of kind pKind by their value of pAttr (code-unit order, stable), in the
// places those children hold; other children stay where they are. False when nothing moved.
bool tSortElementsByAttribute(tcNode* pParent, tcElement* pKind, const tcAttribute* pAttr, bool bAscending = true);
// Replaces the node by a new node of kind pNewKind in its place, with the values of the attributes
// of the same name and the children. Returns the new node; null when there is no parent or the kind
// is of another DTD.
tcNode* tReplaceElementInPlace(tcDocument* pDoc, tcNode* pNode, tcElement* pNewKind);
