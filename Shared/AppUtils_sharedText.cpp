#include "Shared/AppUtils_sharedText.h"

#include "varnak/include/VarnakConst.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tRegex.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcNode.h"

#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <system_error>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// ----- Soundex --------------------------------------------------------------------------------------

wxString tSoundex(const wxString& sText)
{
    static const wchar_t* const szDigits = L"01230120022455012623010202"; // A..Z
    wxString sUpper = sText;
    tMakeUpper(sUpper);
    wxString sCode;
    wchar_t cPrev = 0;
    for (size_t k = 0; k < sUpper.length() && sCode.length() < 4; ++k)
    {
        const wchar_t c = sUpper[k];
        if (c == L',')
            break;
        if (k == 0)
        {
            sCode += c;
            cPrev = c;
            continue;
        }
        if (c < L'A' || c > L'Z' || c == cPrev)
            continue;
        cPrev = c;
        const wchar_t cDigit = szDigits[c - L'A'];
        if (cDigit == L'0' || cDigit == sCode.Last())
            continue;
        sCode += cDigit;
    }
    if (sCode.empty())
        return wxString();
    while (sCode.length() < 4)
        sCode += L'0';
    return sCode;
}

// ----- Numeric character references -----------------------------------------------------------------

namespace
{
enum class teRefKind
{
    Decimal,
    Hex,
    Both
};

// The code point of a reference's digits; 0 when it names no character a text may hold (0 itself,
// a surrogate half, beyond U+10FFFF however many digits it takes to say so).
uint32_t DecodeReference(const wxString& sDigits, int nBase)
{
    uint32_t nValue = 0;
    for (wxUniChar ch : sDigits)
    {
        const wchar_t c = ch.GetValue();
        uint32_t nDigit;
        if (c >= L'0' && c <= L'9')
            nDigit = c - L'0';
        else if (c >= L'a' && c <= L'f')
            nDigit = c - L'a' + 10;
        else
            nDigit = c - L'A' + 10;
        nValue = nValue * nBase + nDigit;
        if (nValue > 0x10FFFF)
            return 0;
    }
    if (nValue >= 0xD800 && nValue <= 0xDFFF)
        return 0;
    return nValue;
}

// Replaces the references of that kind. Each is decoded once: a replacement never takes part in
// another match.
bool ExpandReferences(wxString& sText, teRefKind eKind)
{
    if (sText.empty())
        return false;
    static const wchar_t* const aszPatterns[] = {L"&#([0-9]+);", L"&#x([0-9a-fA-F]+);",
                                                 L"&#(?:([0-9]+)|x([0-9a-fA-F]+));"};
    std::vector<tcMatch> aMatches;
    if (!tRegSearch(sText, aszPatterns[static_cast<int>(eKind)], true, aMatches))
        return false;
    // The positions index the text as searched, so the result is built in one pass.
    wxString sResult;
    size_t nDone = 0;
    for (const tcMatch& match : aMatches)
    {
        uint32_t nChar = 0;
        if (eKind == teRefKind::Both)
            nChar = match.GetSubmatch(0).Matched() ? DecodeReference(match.GetSubmatch(0).GetStr(), 10)
                                                   : DecodeReference(match.GetSubmatch(1).GetStr(), 16);
        else if (match.GetNumSubmatches() > 0)
            nChar = DecodeReference(match.GetSubmatch(0).GetStr(), eKind == teRefKind::Decimal ? 10 : 16);
        if (nChar == 0)
            continue;
        sResult += sText.Mid(nDone, match.GetPos() - nDone);
        sResult += tUTF32CharToString(nChar);
        nDone = match.GetPos() + match.GetLen();
    }
    if (nDone == 0)
        return false;
    sResult += sText.Mid(nDone);
    sText = sResult;
    return true;
}
} // namespace

bool tStrExpandNumericEntities(wxString& sText)
{
    return ExpandReferences(sText, teRefKind::Decimal);
}

bool tStrExpandHexEntities(std::wstring& sText)
{
    wxString s(sText);
    if (!ExpandReferences(s, teRefKind::Hex))
        return false;
    sText = s.ToStdWstring();
    return true;
}

bool tExpandNumericEntities(tcNode* pNode, tcAttribute* pAttr)
{
    if (!pNode)
        return false;
    const bool bText = pNode->IsClass(NODE_TEXTNODE);
    wxString sText;
    if (bText)
        sText = static_cast<tcText*>(pNode)->GetText();
    else if (pNode->IsElementNode() && pAttr)
        sText = pNode->GetAttributeDisplayAsString(pAttr, ",");
    // Both kinds in one pass: expanding the decimal ones first would let "&#38;#x41;" decode twice.
    if (!ExpandReferences(sText, teRefKind::Both))
        return false;
    if (bText)
        static_cast<tcText*>(pNode)->SetText(sText);
    else
        pNode->SetAttributeDisplayByString(pAttr, sText, false, ",");
    return true;
}

// ----- Labels ---------------------------------------------------------------------------------------

wxString ProcessMenuString(const wxString& sLabel)
{
    if (tRegMatch(sLabel, L"^.+/mac/[^\\t]+\\t[^\\t]+$", false))
        return tRegReplace(sLabel, L"^(.+)/mac/[^\\t]+\\t[^\\t]+$", L"\\1", false);
    if (tRegMatch(sLabel, L"^.*\\t(.*)/mac/(.*)$", false))
        return tRegReplace(sLabel, L"\\t(.*)/mac/(.*)$", L"\\t\\1", false);
    if (tRegMatch(sLabel, L"^(.*)/mac/(.*)$", false))
        return tRegReplace(sLabel, L"^(.*)/mac/(.*)$", L"\\1", false);
    return sLabel;
}

wxString ProcessButtonString(const wxString& sLabel)
{
    return tRegReplace(sLabel, L"(.*)/mac/(.*)", L"\\1", false);
}

wxString ProcessMessageBoxString(const wxString& sText)
{
    return tRegReplace(sText, L"(.*)/mac/(.*)", L"\\1", false);
}

std::wstring ProcessMultiPlatformStringGeneric(const std::wstring& sText)
{
    return tRegReplaceW(sText, L"(.*)/mac/(.*)", L"\\1", false);
}

wxString EscapeMenuString(const wchar_t* szText)
{
    wxString sText(szText ? szText : L"");
    tStrReplace(sText, L"&", L"&&");
    return sText;
}

wxString UnEscapeMenuString(const wchar_t* szText)
{
    wxString sText(szText ? szText : L"");
    tStrReplace(sText, L"&&", L"&");
    return sText;
}

bool tStartsWithHelper(const wchar_t* szText, const wchar_t* szPrefix)
{
    if (!szText)
        return false;
    if (!szPrefix)
        return true;
    return std::wcsncmp(szText, szPrefix, std::wcslen(szPrefix)) == 0;
}

// ----- Scripts, logs and build ----------------------------------------------------------------------

void tLuaLog(const wxString& sText)
{
    kvLog(L"LUA: %s", sText);
}

void tLuaBreakpoint(const wxString& sText)
{
    kvLog(L"LuaBreakpoint: %s", sText);
    // A script's breakpoint must not end the process when no debugger is there to catch it.
    if (tcDev::IsDebuggerAttached())
        tcDev::DebugBreak();
    else
        kvLog(L"LuaBreakpoint: no debugger attached, going on");
}

wxString tGetLocalAppDataFolder()
{
    // The XDG rule: a relative XDG_DATA_HOME is invalid and ignored.
    const char* szData = std::getenv("XDG_DATA_HOME");
    if (szData && szData[0] == '/')
        return wxString::FromUTF8(szData);
    const char* szHome = std::getenv("HOME");
    if (!szHome || szHome[0] != '/')
    {
        const passwd* pUser = getpwuid(getuid());
        szHome = pUser ? pUser->pw_dir : nullptr;
    }
    if (!szHome || szHome[0] != '/')
        return wxString();
    return tPathCombine(wxString::FromUTF8(szHome), L".local/share");
}

wxString tGetLogsFolder(const wxString& sSubFolder)
{
    wxString sFolder = tGetLocalAppDataFolder();
    if (sFolder.empty())
        return wxString();
    // Unlike the original platform's, this folder need not exist yet for a new user.
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(sFolder.utf8_string()), ec);
    struct stat st;
    for (const wxString& sPart : {wxString(L"Korvendel"), wxString(L"Logs"), sSubFolder})
    {
        sFolder = tPathCombine(sFolder, sPart);
        const std::string sPath = sFolder.utf8_string();
        if (::stat(sPath.c_str(), &st) != 0)
            ::mkdir(sPath.c_str(), 0777);
    }
    if (::stat(sFolder.utf8_string().c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return wxString();
    return sFolder;
}

bool tIsDevelopmentBuild()
{
    return g_sAppPath.Contains(L"Korvendel\\Source") || g_sAppPath.Contains(L"Korvendel/Source");
}
