#pragma once

#include <wx/string.h>

#include <cstddef>
#include <vector>

class wxConfigBase;

// The saved window layouts as the Layout menu lists them: the values of the store's group
// "/UserInterface/Views", in the store's own order, without the reserved "DefaultView" and
// "OriginalDefaultView".

// The menus have room for this many layouts (26015-26141 and 26145-26271).
constexpr size_t kMaxListedViews = 127;

// The first nMax saved layouts of pConfig (null: none). Leaves the store's group at the root.
std::vector<wxString> tListSavedViews(wxConfigBase* pConfig, size_t nMax = kMaxListedViews);

// The store matches names without regard to case: so does every comparison of layout names here.

// True for "DefaultView" and "OriginalDefaultView", in any case.
bool tIsReservedViewName(const wxString& sName);

// The stored name that saving under sName would replace: one of asSaved or a reserved name that
// differs from sName at most in case; empty for a new name.
wxString tFindViewName(const wxString& sName, const std::vector<wxString>& asSaved);

// Why sName cannot be saved as a layout, as a catalog key of the message to show; empty when it
// can. A name with "/" and the names "." and ".." would become paths in the store and never come
// back in the menus. A new name is refused once asSaved holds kMaxListedViews distinct names; an
// existing one may always be replaced (the caller asks first).
wxString tCheckViewName(const wxString& sName, const std::vector<wxString>& asSaved);
