// Replace-as-you-type lists of COptions: the files and their search order.
#include "Shared/Options.h"

#include "platform/CharNames.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"
#include "varnak/include/tcAppContext.h"

#include <vector>

namespace
{
bool IsLettersOnly(const wxString& sKey)
{
    for (wxUniChar c : sKey)
    {
        const wxUniChar::value_type v = c.GetValue();
        const bool bLetter = (v >= 'A' && v <= 'Z') || (v >= 'a' && v <= 'z');
        if (!bLetter && v != ' ' && v != '\'' && v != ';')
            return false;
    }
    return true;
}

// The lower-case name of a replacement that is exactly one code point, else empty. Plain ASCII
// replacements ("a,b,c" gives "c") speak for themselves and stay without a description.
wxString SingleCharName(const wxString& sText)
{
    if (sText.length() != 1)
        return wxString();
    const wxUniChar::value_type c = sText[0].GetValue();
    if (c < 0x80 || (c >= 0xD800 && c <= 0xDFFF))
        return wxString();
    return tStrToLower(tGetUnicodeCharName(static_cast<char32_t>(c)));
}

// Adds the files of one folder matching the patterns, pattern by pattern.
void AddFiles(std::vector<wxString>& aFiles, const wxString& sFolder, std::initializer_list<const wchar_t*> patterns)
{
    if (sFolder.empty())
        return;
    for (const wchar_t* szPattern : patterns)
        tFindAllFiles(sFolder, szPattern, aFiles, false);
}
} // namespace

void COptions::LoadRAYTFile(const wxString& sPath)
{
    if (sPath.empty())
        return;
    kvLog(L"Loading replace-as-you-type file: \"%s\"", sPath.wc_str());
    std::unique_ptr<tcTextFileReader> pFile = tOpenTextFile(sPath);
    if (!pFile)
    {
        kvLogError(L"Failed to open replace-as-you-type file %s", sPath.wc_str());
        return;
    }

    static const wxString s_sCommentMarker = L"    //";
    wxString sSection;
    wxString sLine;
    while (pFile->ReadLine(sLine))
    {
        if (sLine.empty())
            continue;
        if (sLine.length() >= 2 && sLine.StartsWith(L"[") && sLine.EndsWith(L"]"))
        {
            sSection = sLine.Mid(1, sLine.length() - 2);
            continue;
        }
        wxString sDescription;
        const size_t nMarker = sLine.find(s_sCommentMarker);
        if (nMarker != wxString::npos)
        {
            sDescription = sLine.Mid(nMarker + s_sCommentMarker.length());
            sLine.Truncate(nMarker);
        }
        const size_t nComma = sLine.rfind(L',');
        if (nComma == wxString::npos)
            continue;
        CRAYTEntry entry;
        entry.sKey = sLine.Left(nComma);
        entry.sReplacement = sLine.Mid(nComma + 1);
        entry.bLettersOnly = IsLettersOnly(entry.sKey);
        entry.sDescription = sDescription.empty() ? SingleCharName(entry.sReplacement) : sDescription;
        entry.sSection = sSection;
        m_aRAYTEntries.push_back(std::move(entry));
    }
    pFile->Close();
    kvLog(L"Loading replace-as-you-type file done");
}

void COptions::LoadRAYTFiles()
{
    m_aRAYTEntries.clear();
    std::vector<wxString> aFiles;
    AddFiles(aFiles, g_sDataPath, {L"*.rayt"});
    if (!g_sDataPath.empty())
        AddFiles(aFiles, tPathCombine(g_sDataPath, L"chardata/replace"), {L"*.rayt", L"*.txt"});
    AddFiles(aFiles, tPathCombine(GetDefaultAppDocumentsFolder(), L"custom-replace"), {L"*.rayt", L"*.txt"});
    AddFiles(aFiles, g_sAppPath, {L"*.rayt"});
    for (const wxString& sFile : aFiles)
        LoadRAYTFile(sFile);
}
