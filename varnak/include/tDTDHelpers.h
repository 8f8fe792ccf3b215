#pragma once

#include "varnak/include/VarnakConst.h"

#include <wx/string.h>

class tcDocument;
class tcDTD;
class tcElement;
class tcAttribute;
class tcAttrList;
class tcStyleElement;
class tcStyleAttribute;

// Building and changing a document's DTD. A null kind or attribute gives the neutral result (null,
// false, -1); so does a null document where the routine needs one (it says so). Main thread only.

// Adds an element kind without relations to pDTD (the document's DTD when null). nID < 1, or an
// identifier in use, gives the next free identifier. nFlags are the kind's ELEMENTFLAG_* bits.
// With bNotify, Evt_ElementAdded (document, kind) is triggered. Returns the kind (owned by the DTD).
tcElement* AddElement(tcDocument* pDoc, const wxString& sName, int eClass, int nID, int nFlags, bool bNotify,
                      tcDTD* pDTD = nullptr);

// Appends the relation pParent -> pChild (also when one exists). nFlags are CHILDFLAG_* bits.
bool AddElementChild(tcElement* pParent, tcElement* pChild, int eConstraint, int nFlags = 0);

// Adds an attribute kind to pElement. szDefault null means no default. nID as in
// tcElement::AddAttribute; nFlags are ATTRFLAG_* bits. With bNotify, Evt_ElementAttributesChanged
// (element, attribute) is triggered; with bAddToOrders, the attribute is appended, visible, to the
// element's order in every style set of the DTD's document.
tcAttribute* AddElementAttribute(tcElement* pElement, const wxString& sName, int eType, int eDefault,
                                 const wchar_t* szDefault, int nID, int nFlags, bool bNotify, bool bAddToOrders);

// Find-or-create: returns pElement's attribute named sName unchanged when it exists; otherwise adds
// it with the default kind and type given, nFlags as its flags and a new identifier. With
// bCreateList, a new attribute of a list type gets a value list (found or created, named
// "<element>_<attribute>").
tcAttribute* tCreateAttribute(tcDocument* pDoc, tcElement* pElement, const wxString& sName, int eDefault, int eType,
                              bool bCreateList, int nFlags);

// Returns the kind named sName (null without a document). When the DTD has none, it is created (next free identifier,
// class NODE_NODE). When pParent is given and does not list the kind among its children yet, the relation pParent ->
// kind is appended with eConstraint. With bNotify, Evt_ElementAdded is triggered for a new kind.
tcElement* tEnsureElementExists(tcDocument* pDoc, const wxString& sName, tcElement* pParent, bool bNotify,
                                int eConstraint);

// Lets the kind hold text (ELEMENTFLAG_PCDATA). Returns true when the flag was newly set.
bool tEnsureElementAllowsPCDATA(tcDocument* pDoc, tcElement* pElement);

// Changes an attribute's type. Values on nodes are kept (they are text for every type). Changing to
// a list type gives the attribute a list when it has none: the one named sListName, or
// "<element>_<attribute>" when sListName is empty, found or created; the distinct non-empty values
// that nodes in the document's tree hold are added to it as items, in document order, unless present
// (nothing is seeded without a document).
bool tChangeAttributeType(tcDocument* pDoc, tcElement* pElement, tcAttribute* pAttr, int eNewType,
                          const wxString& sListName);

// Deletes the kind with that identifier from the document's DTD with its relations, styles, order
// items and nodes (see tcDTD::DeleteElement). False without a document or such a kind.
bool DeleteElementHelper(tcDocument* pDoc, int nElementID);

// Deletes the attribute from its kind, with its values, styles and order items.
bool DeleteAttributeHelper(tcDocument* pDoc, tcElement* pElement, tcAttribute* pAttr);

// The list named sName, created (with the DTD's next list identifier) when missing. Null for a null
// DTD or an empty name.
tcAttrList* tEnsureListExists(tcDTD* pDTD, const wxString& sName);

// Appends an item to the list and returns its new identifier (-1 for a null list).
int Helper_AddListItem(tcDTD* pDTD, tcAttrList* pList, const wxString& sText);
// Appends an item unless one has exactly that text; returns the identifier of the item either way.
int Helper_AddListItemIfNotAlreadyInList(tcDTD* pDTD, tcAttrList* pList, const wxString& sText);

// Records that the DTD changed (tcDocument::m_bDTDChanged; nothing without a document) and, with bNotify, triggers
// Evt_DTDStructureHasChanged (document, pSender).
void tDTDStructureHasChanged(tcDocument* pDoc, bool bNotify, void* pSender);

// Records that the style sets changed (tcDocument::m_bStylesChanged) and, with bNotify, triggers
// Evt_StylesChanged (document, null). bOrderOnly is accepted for callers; it changes nothing here.
void tStyleSetsChanged(tcDocument* pDoc, bool bNotify, bool bOrderOnly);

// The attribute of pElement with identifier nAttrID, or null; with eType >= 0 also null when the
// attribute is of another type.
tcAttribute* CheckAttributeExists(tcElement* pElement, int nAttrID, int eType = -1);

// Gives pElement an element style in every style set of the document (null without one) (an existing style is updated)
// with these settings: font, size, the switches bold, italics, underline, superscript and subscript,
// and the texts before-inside, after-inside, before-outside, after-outside, foreground colour,
// background colour, before-group, after-group and between. Returns the style in the current set
// (null when the document has no style set).
tcStyleElement* tAddStyleElement(tcDocument* pDoc, tcElement* pElement, const wxString& sFont, float fSize, int nB,
                                 int nI, int nU, int nSup, int nSub, const wxString& sBeforeI, const wxString& sAfterI,
                                 const wxString& sBeforeO, const wxString& sAfterO, const wxString& sColourF,
                                 const wxString& sColourB, const wxString& sBeforeG, const wxString& sAfterG,
                                 const wxString& sBetween);
// The same for an attribute style of (pElement, pAttr).
tcStyleAttribute* tAddStyleAttribute(tcDocument* pDoc, tcElement* pElement, tcAttribute* pAttr, const wxString& sFont,
                                     float fSize, int nB, int nI, int nU, int nSup, int nSub, const wxString& sBeforeI,
                                     const wxString& sAfterI, const wxString& sBeforeO, const wxString& sAfterO,
                                     const wxString& sColourF, const wxString& sColourB, const wxString& sBeforeG,
                                     const wxString& sAfterG, const wxString& sBetween);
