#include "app/ViewLayouts.h"

#include <wx/confbase.h>

#include <algorithm>

std::vector<wxString> tListSavedViews(wxConfigBase* pConfig, size_t nMax)
{
    std::vector<wxString> asNames;
    if (!pConfig)
        return asNames;
    pConfig->SetPath("/UserInterface/Views");
    wxString sName;
    long nCookie = 0;
    for (bool bMore = pConfig->GetFirstEntry(sName, nCookie); bMore && asNames.size() < nMax;
         bMore = pConfig->GetNextEntry(sName, nCookie))
    {
        if (!tIsReservedViewName(sName))
            asNames.push_back(sName);
    }
    pConfig->SetPath("/");
    return asNames;
}

bool tIsReservedViewName(const wxString& sName)
{
    return sName == "DefaultView" || sName == "OriginalDefaultView";
}

wxString tCheckViewName(const wxString& sName, const std::vector<wxString>& asSaved)
{
    if (sName.Contains("/") || sName == "." || sName == "..")
        return "VIEW_NAME_INVALID";
    if (tIsReservedViewName(sName) || std::find(asSaved.begin(), asSaved.end(), sName) != asSaved.end())
        return wxString();
    if (asSaved.size() >= kMaxListedViews)
        return "VIEW_LIMIT_REACHED";
    return wxString();
}
