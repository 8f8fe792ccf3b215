#include "app/ViewLayouts.h"

#include <wx/confbase.h>

#include <set>

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
    return sName.CmpNoCase("DefaultView") == 0 || sName.CmpNoCase("OriginalDefaultView") == 0;
}

wxString tFindViewName(const wxString& sName, const std::vector<wxString>& asSaved)
{
    for (const wxString& sReserved : {wxString("DefaultView"), wxString("OriginalDefaultView")})
        if (sName.CmpNoCase(sReserved) == 0)
            return sReserved;
    for (const wxString& sSaved : asSaved)
        if (sName.CmpNoCase(sSaved) == 0)
            return sSaved;
    return wxString();
}

wxString tCheckViewName(const wxString& sName, const std::vector<wxString>& asSaved)
{
    if (sName.Contains("/") || sName == "." || sName == "..")
        return "VIEW_NAME_INVALID";
    if (!tFindViewName(sName, asSaved).empty())
        return wxString();
    std::set<wxString> setDistinct;
    for (const wxString& sSaved : asSaved)
        setDistinct.insert(sSaved.Lower());
    if (setDistinct.size() >= kMaxListedViews)
        return "VIEW_LIMIT_REACHED";
    return wxString();
}
