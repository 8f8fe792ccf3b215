#pragma once

#include "varnak/include/kvFormat.h"

#include <wx/string.h>

#include <cstddef>

// Elements nested deeper than this fail a load, in the XML importer and in the markup convertors
// alike: the document's tree walks and writers would run out of stack long before a real file needs
// such depth.
constexpr size_t kMaxXMLElementDepth = 5000;

// The load error of an element that goes one level deeper than kMaxXMLElementDepth, at the line and
// column that follow its start tag.
inline wxString tNestedTooDeepMessage(const wxString& sFile, long long nLine, long long nColumn)
{
    return kvFormat(L"Fatal error in file %s at line %lld , column %lld : elements are nested more than %d levels deep",
                    sFile, nLine, nColumn, static_cast<int>(kMaxXMLElementDepth));
}
