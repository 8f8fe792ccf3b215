#include "varnak/include/tTextRoutines.h"

#include "varnak/include/tNotSupported.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tShell.h"
#include "varnak/include/tString.h"
#include "varnak/include/tXMLText.h"
#include "varnak/include/tcProperties.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cwctype>
#include <map>

// ---- Character classes --------------------------------------------------------------------------

bool tIsBracket(wchar_t c)
{
    static const std::wstring s_sBrackets = L"()[]{}<>\u00AB\u00BB\u2039\u203A\u2329\u232A\u3008\u3009\u300A\u300B"
                                            L"\u300C\u300D\u300E\u300F\u3010\u3011\uFF08\uFF09\uFF3B\uFF3D\uFF5B\uFF5D";
    return c != 0 && s_sBrackets.find(c) != std::wstring::npos;
}

bool tIsPunctuation(wchar_t c)
{
    // The C library counts the no-break spaces as punctuation; they are white space here.
    return std::iswpunct(static_cast<wint_t>(c)) != 0 && !tIsWhitespace(c);
}

bool tIsNonLetter(wchar_t c)
{
    return std::iswalpha(static_cast<wint_t>(c)) == 0;
}

bool tIsWhitespace(wchar_t c)
{
    return std::iswspace(static_cast<wint_t>(c)) != 0 || c == 0x00A0 || c == 0x2007 || c == 0x202F || c == 0xFEFF;
}

uint32_t tUTF16StringCharToUTF32(const wxString& sText, int nIndex)
{
    const std::u16string s = tToU16(sText);
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= s.size())
        return 0;
    const uint32_t c = s[static_cast<size_t>(nIndex)];
    if (tIsSurrogateHi(c) && static_cast<size_t>(nIndex) + 1 < s.size() &&
        tIsSurrogateLo(s[static_cast<size_t>(nIndex) + 1]))
        return tSurrogatePairToChar(c, s[static_cast<size_t>(nIndex) + 1]);
    return c;
}

// ---- CSV ----------------------------------------------------------------------------------------

wxString tEscapeCSVString(const wxString& sField)
{
    const bool bQuote = sField.find_first_of(L",\"\r\n") != wxString::npos ||
                        (!sField.empty() && (tIsWhitespace(sField[0]) || tIsWhitespace(sField.Last())));
    if (!bQuote)
        return sField;
    wxString s = sField;
    s.Replace("\"", "\"\"");
    return "\"" + s + "\"";
}

wxString tUnEscapeCSVString(const wxString& sField)
{
    if (sField.length() < 2 || sField[0] != '"' || sField.Last() != '"')
        return sField;
    wxString s = sField.Mid(1, sField.length() - 2);
    s.Replace("\"\"", "\"");
    return s;
}

// ---- Markup and entities ------------------------------------------------------------------------

wxString tStripMarkup(const wxString& sText, const tcDocument* pDoc)
{
    wxString sOut;
    size_t i = 0;
    while (i < sText.length())
    {
        if (sText[i] != '<')
        {
            const size_t nNext = sText.find('<', i);
            const size_t nEnd = nNext == wxString::npos ? sText.length() : nNext;
            sOut += tUnescapeXMLCharacters(sText.Mid(i, nEnd - i), pDoc);
            i = nEnd;
            continue;
        }
        if (sText.compare(i, 9, "<![CDATA[") == 0)
        {
            // CDATA content is text as it stands.
            const size_t nEnd = sText.find("]]>", i + 9);
            sOut += sText.Mid(i + 9, (nEnd == wxString::npos ? sText.length() : nEnd) - i - 9);
            i = nEnd == wxString::npos ? sText.length() : nEnd + 3;
            continue;
        }
        const bool bComment = sText.compare(i, 4, "<!--") == 0;
        const size_t nEnd = sText.find(bComment ? "-->" : ">", i);
        if (nEnd == wxString::npos)
            break; // an unclosed tag to the end is markup, not text
        i = nEnd + (bComment ? 3 : 1);
    }
    return sOut;
}

wxString tExpandEntities(const wxString& sText, const tcDocument* pDoc)
{
    return tUnescapeXMLCharacters(sText, pDoc);
}

wxString tEscapeHTMLCharacters(const wxString& sText)
{
    return tEscapeHTMLChars(sText);
}

wxString tUnescapeHTMLCharacters(const wxString& sText)
{
    wxString s = sText;
    s.Replace("&nbsp;", wxString(wchar_t(0x00A0)));
    return tUnescapeXMLCharacters(s);
}

bool tCheckReservedXMLName(const wxString& sName)
{
    return sName.length() >= 3 && sName.Left(3).Lower() == "xml";
}

// ---- Diacritics ---------------------------------------------------------------------------------

namespace
{

// Letters with a stroke or bar have no canonical decomposition.
wchar_t StrokeBase(wchar_t c)
{
    switch (c)
    {
    case 0x00F8: return L'o';
    case 0x00D8: return L'O';
    case 0x0142: return L'l';
    case 0x0141: return L'L';
    case 0x0111: return L'd';
    case 0x0110: return L'D';
    case 0x0127: return L'h';
    case 0x0126: return L'H';
    default: return c;
    }
}

std::wstring StripWide(const std::wstring& sText)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* pNFD = icu::Normalizer2::getNFDInstance(status);
    std::wstring sOut;
    sOut.reserve(sText.size());
    for (wchar_t c : sText)
    {
        if (U_FAILURE(status) || c < 0x80)
        {
            sOut += c;
            continue;
        }
        icu::UnicodeString sDecomposed;
        if (!pNFD->getDecomposition(static_cast<UChar32>(c), sDecomposed))
        {
            if (u_getCombiningClass(static_cast<UChar32>(c)) == 0 && u_charType(static_cast<UChar32>(c)) != U_NON_SPACING_MARK)
                sOut += StrokeBase(c);
            continue;
        }
        for (int32_t i = 0; i < sDecomposed.length();)
        {
            const UChar32 cp = sDecomposed.char32At(i);
            i += U16_LENGTH(cp);
            if (u_charType(cp) != U_NON_SPACING_MARK)
                sOut += static_cast<wchar_t>(cp);
        }
    }
    return sOut;
}

} // namespace

wchar_t tStripDiacritic(wchar_t c)
{
    const std::wstring s = StripWide(std::wstring(1, c));
    return s.size() == 1 ? s[0] : c;
}

wxString tStripDiacritics(const wxString& sText)
{
    return wxString(StripWide(sText.ToStdWstring()));
}

wxString& tStripDiacriticsInPlace(wxString& sText)
{
    sText = tStripDiacritics(sText);
    return sText;
}

std::wstring& tStripDiacriticsInPlace(std::wstring& sText)
{
    sText = StripWide(sText);
    return sText;
}

// ---- Numbers ------------------------------------------------------------------------------------

wxString tCondenseNumberList(const std::vector<int>& anNumbers)
{
    std::vector<int> an = anNumbers;
    std::sort(an.begin(), an.end());
    an.erase(std::unique(an.begin(), an.end()), an.end());
    wxString s;
    for (size_t i = 0; i < an.size();)
    {
        size_t j = i;
        while (j + 1 < an.size() && static_cast<long long>(an[j + 1]) == static_cast<long long>(an[j]) + 1)
            ++j;
        if (!s.empty())
            s += ", ";
        if (j - i >= 2)
        {
            s << an[i] << "-" << an[j];
            i = j + 1;
        }
        else
        {
            s << an[i];
            ++i;
        }
    }
    return s;
}

// ---- Files, GUIDs and names ---------------------------------------------------------------------

wxString tGetMIMETypeFromExtension(const wxString& sExtension)
{
    static const std::map<wxString, wxString> s_map = {
        {"txt", "text/plain"},         {"htm", "text/html"},          {"html", "text/html"},
        {"xml", "application/xml"},    {"xlf", "application/xliff+xml"}, {"xliff", "application/xliff+xml"},
        {"tmx", "application/x-tmx+xml"}, {"srx", "application/xml"},  {"css", "text/css"},
        {"js", "text/javascript"},     {"json", "application/json"},  {"csv", "text/csv"},
        {"rtf", "application/rtf"},    {"pdf", "application/pdf"},    {"zip", "application/zip"},
        {"png", "image/png"},          {"jpg", "image/jpeg"},         {"jpeg", "image/jpeg"},
        {"gif", "image/gif"},          {"bmp", "image/bmp"},          {"svg", "image/svg+xml"},
        {"ico", "image/vnd.microsoft.icon"}, {"mp3", "audio/mpeg"},   {"wav", "audio/wav"},
        {"ogg", "audio/ogg"},          {"mp4", "video/mp4"},          {"lua", "text/x-lua"},
        {"doc", "application/msword"},
        {"docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
    };
    wxString sExt = sExtension.Lower();
    if (sExt.StartsWith("."))
        sExt = sExt.Mid(1);
    auto it = s_map.find(sExt);
    return it == s_map.end() ? wxString("application/octet-stream") : it->second;
}

wxString tGetMIMEType(const wxString& sFilename)
{
    const size_t nSlash = sFilename.find_last_of("/\\");
    const size_t nDot = sFilename.find_last_of('.');
    if (nDot == wxString::npos || (nSlash != wxString::npos && nDot < nSlash))
        return "application/octet-stream";
    return tGetMIMETypeFromExtension(sFilename.Mid(nDot + 1));
}

wxString tGUIDToString2(const tGUID& guid)
{
    const wxString s = tGUIDToString(guid);
    return s.Mid(0, 8) + "-" + s.Mid(8, 4) + "-" + s.Mid(12, 4) + "-" + s.Mid(16, 4) + "-" + s.Mid(20);
}

void tGUIDToString2(const tGUID& guid, wxString& sText)
{
    sText = tGUIDToString2(guid);
}

wxString tGetTypeName(int eType)
{
    switch (eType)
    {
    case tTYPE_BOOL: return "Boolean";
    case tTYPE_INTEGER: return "Integer";
    case tTYPE_STRING: return "String";
    case tTYPE_DOUBLE: return "Double";
    default: return "?";
    }
}

wxString tGetMetatypeName(int eMetatype)
{
    switch (eMetatype)
    {
    case tMETATYPE_UNSPECIFIED: return "None";
    case tMETATYPE_FILENAME: return "File";
    case tMETATYPE_FOLDER: return "Folder";
    case tMETATYPE_LUASCRIPT: return "Lua script";
    case tMETATYPE_FONT: return "Font";
    case tMETATYPE_FONTSIZE: return "Font size";
    case tMETATYPE_COLOR: return "Colour";
    case tMETATYPE_PASSWORD: return "Password";
    default: return "?";
    }
}

// ---- Not in this build --------------------------------------------------------------------------

void tWebSearch(const wxString&, int)
{
    throw tcNotSupported("tWebSearch");
}

void tWebImageSearch(const wxString&, int)
{
    throw tcNotSupported("tWebImageSearch");
}

wxString tGetDropboxPath()
{
    return wxString();
}

wxString tGetSearchShortcut(int)
{
    return wxString();
}

bool tLoadSortPlugin(const wxString&)
{
    return false;
}

bool tSaveSortPlugin(const wxString&)
{
    return false;
}

// ---- Further forms for scripts -----------------------------------------------------------------

wxString tUTF32ToStr(const std::vector<int>& anCodePoints)
{
    std::vector<uint32_t> an;
    an.reserve(anCodePoints.size());
    // a negative value is no scalar value either: it becomes one beyond the Unicode range
    for (int n : anCodePoints)
        an.push_back(n < 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(n));
    return tUTF32ToStr(an.data(), an.size());
}

bool tStringToGUID(const wchar_t* szText, tGUID& guid)
{
    return szText && tStringToGUID(wxString(szText), guid);
}

bool tStringToGUID(const char* szText, tGUID& guid)
{
    return szText && tStringToGUID(wxString::FromUTF8(szText), guid);
}

tGUID tStringToGUID(const wxString& sText)
{
    tGUID guid{};
    if (!tStringToGUID(sText, guid))
        guid = tGUID{};
    return guid;
}

bool tShellExecute(const wchar_t* szTarget, const wchar_t* szParameters)
{
    return tShellExecuteW(szTarget, szParameters);
}

size_t tFindAllFiles(const wxString& sFolder, const wxString& sPattern, std::vector<std::string>& aFiles,
                     bool bRecursive)
{
    std::vector<wxString> aFound;
    const size_t n = tFindAllFiles(sFolder, sPattern, aFound, bRecursive);
    for (const wxString& s : aFound)
        aFiles.push_back(tToUTF8(s));
    return n;
}
