#pragma once

#include "varnak/include/VarnakConst.h"

#include <wx/string.h>

class tcDocument;
class tcDictionary;
class tcLanguage;
class tcEntry;
class tcNode;

// Routines on nodes. Null arguments give the neutral result. Main thread only.

// Reports that a node was edited: marks the document changed, marks the node's entry changed and
// stamps the entry's attributes of default kind ATTRDEF_DATECHANGED (UTC "YYYY-MM-DDThh:mm:ssZ")
// and ATTRDEF_USERCHANGED (the login name) unless g_bAdminNoUpdateTimestamps is set. With
// bNotify, Evt_NodeModified (node, document) is triggered. bAttributeChanged (an attribute rather than content changed) is accepted for callers;
// the stamping is the same either way. A null document uses the node's own.
void tNodeModified(tcDocument* pDoc, tcNode* pNode, bool bAttributeChanged, bool bNotify);

// The node's document, null for a node made without one.
tcDocument* tGetNodeDoc(const tcNode* pNode);
// The nearest node of class NODE_ENTRY at or above pNode, or null.
tcEntry* tGetNodeEntry(const tcNode* pNode);
// The nearest section (NODE_SECTION) at or above pNode, or null.
tcLanguage* tGetNodeSection(const tcNode* pNode);
// The dictionary at or above pNode, or null.
tcDictionary* tGetNodeDictionary(const tcNode* pNode);

// A text or CDATA node is empty when its text is; an error node never is; an element node is empty
// when no attribute holds a non-empty value and no text or CDATA child holds text. Element
// children do not count. A null node is empty.
bool NodeIsEmpty(const tcNode* pNode);

// A tiny query language: "text()" gives the concatenated text of the node's text and CDATA
// children, "@name" the value of the node's attribute of that name. Any other query is not
// supported and gives the empty text.
wxString tQuery(const tcNode* pNode, const wxString& sQuery);

// True when pNode's kind is a sense kind: one of pSection's sense designations (m_aSenseDesc) or,
// when that is empty or no section is given, element kind 5.
bool IsSenseNode(const tcNode* pNode, const tcLanguage* pSection = nullptr);
