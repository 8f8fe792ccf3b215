#include "engine/OutputName.h"

namespace
{
// A language code in comparable form: lower case, "_" as "-".
wxString Normalised(const wxString& sCode)
{
    wxString s = sCode.Lower();
    s.Replace("_", "-");
    return s;
}

bool IsLanguagePart(const wxString& sPart, const wxString& sSourceLanguage, const wxString& sLanguage)
{
    const wxString sTag = Normalised(sPart);
    if (sTag.empty())
        return false;
    for (const wxString& sCode : {Normalised(sSourceLanguage), Normalised(sLanguage)})
        if (!sCode.empty() && (sTag == sCode || sTag == sCode.BeforeFirst('-')))
            return true;
    return false;
}
} // namespace

wxString tOutputFileName(const wxString& sSource, const wxString& sSourceLanguage, const wxString& sLanguage)
{
    if (sLanguage.empty())
        return sSource;
    const size_t nSlash = sSource.find_last_of("/\\");
    const size_t nNameStart = nSlash == wxString::npos ? 0 : nSlash + 1;
    const wxString sFolder = sSource.substr(0, nNameStart);
    const wxString sName = sSource.substr(nNameStart);

    // A leading dot starts a hidden name, not an extension.
    const size_t nDot = sName.find_last_of('.');
    const bool bExtension = nDot != wxString::npos && nDot > 0;
    wxString sStem = bExtension ? sName.substr(0, nDot) : sName;
    const wxString sExtension = bExtension ? sName.substr(nDot) : wxString();

    const size_t nTagDot = sStem.find_last_of('.');
    if (nTagDot != wxString::npos && nTagDot > 0 &&
        IsLanguagePart(sStem.substr(nTagDot + 1), sSourceLanguage, sLanguage))
        sStem = sStem.substr(0, nTagDot);
    return sFolder + sStem + "." + sLanguage + sExtension;
}
