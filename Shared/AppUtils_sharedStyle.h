#pragma once

#include <wx/string.h>

#include <string>

class tcAttribute;
class tcDocument;
class tcElement;
class tcLanguage;
class tcNode;
class tcStyles;

// Style lookups, output-order visibility and on-demand loading, shared with the maker's other
// programs and reached from scripts; the program itself does not call them. Element and attribute
// identifiers are looked up in the DTD of g_pDoc (AppUtils_shared.h). Main thread only.

// True while an on-demand load (tRequestLoad, tRequestLoadSafe, tRequestLoadAll and the load in
// tGetAttributeAsStringByName) runs; a nested request is refused while it is set. A plain flag,
// not a lock.
extern bool g_bInRequestLoad;

// ----- Style lookups --------------------------------------------------------------------------------

// The colour (six hexadecimal digits, foreground or background) of one style of pStyles: the style
// of attribute nAttrID of element kind nElementID, or the kind's own style for nAttrID < 0. Empty
// without g_pDoc or style set, for identifiers the DTD does not have, without such a style, and for
// a colour that is not exactly six characters long.
std::string GetStyleColourHelper(tcStyles* pStyles, int nElementID, int nAttrID, bool bForeground);

// The colour with fallbacks: the attribute's style, the kind's own style, the styles of up to 10
// parent kinds (GetParentID; the walk ends without g_pDoc), the entry kind's style (4), then
// sFallback. Empty for a null style set.
std::string GetStyleColour(tcStyles* pStyles, int nElementID, int nAttrID = -1, const std::string& sFallback = "909090",
                           bool bForeground = true);

// The font face (UTF-8) of one style, as GetStyleColourHelper finds the style; empty unless the
// face is set and installed. Installation is judged by the options' font check
// (tGetFontExistsCheck); without one, any face that is set counts.
std::string GetStyleFontHelper(tcStyles* pStyles, int nElementID, int nAttrID = -1);

// The font with fallbacks: the attribute's style, the kind's own style, the entry kind's style (4),
// then "Arial". Without g_pDoc, or for a kind its DTD does not have, "Arial" at once.
std::string GetStyleFont(tcStyles* pStyles, int nElementID, int nAttrID = -1);

// ----- Output-order visibility ----------------------------------------------------------------------
// Each changes items of pDoc's current output order, then records and announces the style change
// (tStyleSetsChanged) and, when pSender is given, triggers Evt_OutputOrderChanged (pSender, null).
// A null document or one without an output order is left alone and nothing is announced.

// The attribute items of pAttr in pElement's order.
void tSetAttributeStyleVisibility(tcElement* pElement, tcAttribute* pAttr, tcDocument* pDoc, bool bVisible,
                                  void* pSender);
// The child items of pElement in the order of every kind.
void tSetElementStyleVisibility(tcElement* pElement, tcDocument* pDoc, bool bVisible, void* pSender);
// The child items of pChild in pParent's order only.
void tSetElementStyleVisibility(tcElement* pParent, tcElement* pChild, tcDocument* pDoc, bool bVisible,
                                void* pSender);
// Inverts each child item of pElement in the order of every kind.
void tToggleElementStyleVisibility(tcElement* pElement, tcDocument* pDoc, void* pSender);

// ----- Attributes and on-demand loading -------------------------------------------------------------
// The loads go to the application context's current IO handler (none: nothing to load) and hold
// the library's background processing back while they run. A request made while another runs is
// refused with a visible warning.

// The value of pNode's first attribute named sName (exact comparison); empty for a null node or
// no such attribute. An entry (kind 4) is loaded first, as tRequestLoad does.
wxString tGetAttributeAsStringByName(tcNode* pNode, const wxString& sName);

// Loads the node's entry (forced). False for a null node, a refused request, a failed load or a
// load that reported an error; true without a current handler.
bool tRequestLoad(tcNode* pNode);
// Loads the node's entry unless it is the selected entry of a section on show (then true at
// once). An error reported by the handler means the entry was invalidated: a visible warning, and
// false. Otherwise as tRequestLoad, without forcing.
bool tRequestLoadSafe(tcNode* pNode);
// Loads a whole section (or the node's section; see tcIO::LoadAll). 1 when it succeeded or there is
// no current handler, 0 when the handler reported an error, -1 when it failed or the request was
// refused. bResult is passed to the handler and comes back as it left it.
int tRequestLoadAll(tcLanguage* pSection, bool bFlag, tcNode* pNode, bool& bResult);
