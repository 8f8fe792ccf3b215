#pragma once

#include <wx/string.h>

#include <cstddef>
#include <functional>

class tcNode;

// GenerateXMLChildren(bEscape, bCDATASections) of pNode in pieces, for writers of large documents:
// the text is appended to sOut, and each time sOut has grown to nFlushAt units or more after a
// node, fnFlush is called with it and must leave it empty. What remains at the end stays in sOut.
// Together the pieces are exactly GenerateXMLChildren's text.
void tStreamXMLChildren(const tcNode* pNode, bool bEscape, bool bCDATASections, wxString& sOut, size_t nFlushAt,
                        const std::function<void(wxString&)>& fnFlush);
// Whether GenerateXMLChildren(…, bCDATASections) of pNode gives any text at all.
bool tWritesXMLChildren(const tcNode* pNode, bool bCDATASections);
