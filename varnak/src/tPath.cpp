#include "varnak/include/tPath.h"

#include "varnak/include/tString.h"

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>

#include <algorithm>

namespace
{
bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

wxString PercentEscape(const wxString& sText, bool bKeepSlash)
{
    static const char kDigits[] = "0123456789ABCDEF";
    const std::string s = tToUTF8(sText);
    std::string sOut;
    sOut.reserve(s.size() * 3);
    for (char ch : s)
    {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c) || (bKeepSlash && c == '/'))
            sOut += ch;
        else
        {
            sOut += '%';
            sOut += kDigits[c >> 4];
            sOut += kDigits[c & 0x0F];
        }
    }
    return wxString::FromAscii(sOut.c_str());
}

std::vector<wxString> FindFiles(const wxString& sFolder, const wxString& sPattern, bool bRecursive)
{
    std::vector<wxString> aFound;
    if (sFolder.empty() || !wxDirExists(sFolder))
        return aFound;
    // wxDir reports unreadable folders through the toolkit's log, which may show a window.
    wxLogNull noLog;
    wxArrayString aNames;
    int nFlags = wxDIR_FILES | wxDIR_HIDDEN;
    if (bRecursive)
        nFlags |= wxDIR_DIRS;
    wxDir::GetAllFiles(sFolder, &aNames, sPattern, nFlags);
    aFound.assign(aNames.begin(), aNames.end());
    std::sort(aFound.begin(), aFound.end(), [](const wxString& a, const wxString& b) { return a.compare(b) < 0; });
    return aFound;
}
} // namespace

wxString tPathCombine(const wxString& sFirst, const wxString& sSecond)
{
    if (sFirst.empty())
        return sSecond;
    if (sSecond.empty())
        return sFirst;
    size_t nEnd = sFirst.length();
    while (nEnd > 0 && sFirst[nEnd - 1] == L'/')
        --nEnd;
    size_t nBegin = 0;
    while (nBegin < sSecond.length() && sSecond[nBegin] == L'/')
        ++nBegin;
    return sFirst.Left(nEnd) + L"/" + sSecond.Mid(nBegin);
}

std::wstring tPathCombineW(const wxString& sFirst, const wxString& sSecond)
{
    return tPathCombine(sFirst, sSecond).ToStdWstring();
}

wxString& tStrPathAppend(wxString& sPath, const wxString& sMore)
{
    sPath = tPathCombine(sPath, sMore);
    return sPath;
}

bool tFileExists(const wxString& sPath)
{
    return !sPath.empty() && wxFileName::FileExists(sPath);
}

int64_t tGetFileSizeW(const wxString& sPath)
{
    if (!tFileExists(sPath))
        return -1;
    const wxULongLong nSize = wxFileName::GetSize(sPath);
    if (nSize == wxInvalidSize)
        return -1;
    return static_cast<int64_t>(nSize.GetValue());
}

size_t tFindAllFiles(const wxString& sFolder, const wxString& sPattern, std::vector<wxString>& aFiles, bool bRecursive)
{
    const std::vector<wxString> aFound = FindFiles(sFolder, sPattern, bRecursive);
    aFiles.insert(aFiles.end(), aFound.begin(), aFound.end());
    return aFound.size();
}

size_t tFindAllFilesW(const wxString& sFolder, const wxString& sPattern, std::vector<std::wstring>& aFiles,
                      bool bRecursive)
{
    const std::vector<wxString> aFound = FindFiles(sFolder, sPattern, bRecursive);
    for (const wxString& s : aFound)
        aFiles.push_back(s.ToStdWstring());
    return aFound.size();
}

wxString tExpandTilde(const wxString& sPath)
{
    if (!sPath.StartsWith(L"~"))
        return sPath;
    size_t nSlash = sPath.find(L'/');
    if (nSlash == wxString::npos)
        nSlash = sPath.length();
    const wxString sUser = sPath.Mid(1, nSlash - 1);
    // An empty name gives HOME; an unknown user gives an empty home.
    const wxString sHome = wxGetUserHome(sUser);
    if (sHome.empty())
        return sPath;
    return sHome + sPath.Mid(nSlash);
}

wxString tURLEscape(const wxString& sText)
{
    return PercentEscape(sText, false);
}

wxString tCreateLocalFileURL2(const wxString& sPath, bool bEscape)
{
    wxString sAbsolute = sPath;
    if (!sAbsolute.StartsWith(L"/"))
        sAbsolute = tPathCombine(wxGetCwd(), sAbsolute);
    return L"file://" + (bEscape ? PercentEscape(sAbsolute, true) : sAbsolute);
}

wxString tGetURLFromFilename(const wxString& sPath)
{
    return tCreateLocalFileURL2(sPath, true);
}
