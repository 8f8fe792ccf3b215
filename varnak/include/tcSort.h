#pragma once

#include "varnak/include/tString.h"

#include <wx/string.h>

// Text comparators. This library applies no collation of its own: every comparator orders text by
// UTF-16 code units (teStrcmp), as the original platform does without a sort method. Derive to
// compare otherwise. Stateless; safe from any thread.
class tcStrCmp
{
public:
    virtual ~tcStrCmp() = default;
    // Negative, 0 or positive as sA sorts before, with or after sB.
    virtual int Cmp(const wxString& sA, const wxString& sB) const { return teStrcmp(sA, sB); }
};

// The comparator of a section's sort method; here the code-unit order of tcStrCmp.
class tcSort : public tcStrCmp
{
};
