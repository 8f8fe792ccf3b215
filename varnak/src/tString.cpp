#include "varnak/include/tString.h"

#include "varnak/include/tUTF8.h"

#include <cwchar>
#include <cwctype>
#include <iterator>

namespace
{
// The position of a character in the order of UTF-16 code units.
uint32_t U16Order(wchar_t c)
{
    const uint32_t u = static_cast<uint32_t>(c);
    return (u >= 0xE000 && u <= 0xFFFF) ? u + 0x200000 : u;
}

bool IsHexDigit(wchar_t c, int& nValue)
{
    if (c >= L'0' && c <= L'9')
        nValue = c - L'0';
    else if (c >= L'a' && c <= L'f')
        nValue = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F')
        nValue = c - L'A' + 10;
    else
        return false;
    return true;
}

bool IsEntityReference(const wxString& s)
{
    return s.length() > 2 && s[0] == L'&' && s.Last() == L';' && s.find_first_of(L"&;", 1) == s.length() - 1;
}
} // namespace

// ---- UTF-16 -------------------------------------------------------------------------------------

std::u16string tToU16(const wxString& sText)
{
    std::u16string sOut;
    const wchar_t* p = sText.wx_str();
    const size_t n = sText.length();
    sOut.reserve(n);
    for (size_t i = 0; i < n; ++i)
    {
        uint32_t c = static_cast<uint32_t>(p[i]);
        if (c > 0x10FFFF)
            c = tREPLACEMENT_CHAR;
        if (c >= 0x10000)
        {
            c -= 0x10000;
            sOut += static_cast<char16_t>(0xD800 + (c >> 10));
            sOut += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
        else
            sOut += static_cast<char16_t>(c);
    }
    return sOut;
}

wxString tFromU16(const char16_t* szText, size_t nLen)
{
    // Straight into the result through a small buffer: one allocation, no second copy.
    wxString sOut;
    sOut.reserve(nLen);
    wchar_t aBuffer[256];
    size_t nBuffered = 0;
    for (size_t i = 0; i < nLen; ++i)
    {
        const uint32_t c = szText[i];
        if (tIsSurrogateHi(c) && i + 1 < nLen && tIsSurrogateLo(szText[i + 1]))
        {
            aBuffer[nBuffered++] = static_cast<wchar_t>(tSurrogatePairToChar(c, szText[i + 1]));
            ++i;
        }
        else
            aBuffer[nBuffered++] = static_cast<wchar_t>(c);
        if (nBuffered == std::size(aBuffer))
        {
            sOut.append(aBuffer, nBuffered);
            nBuffered = 0;
        }
    }
    sOut.append(aBuffer, nBuffered);
    return sOut;
}

wxString tFromU16(const std::u16string& sText)
{
    return tFromU16(sText.data(), sText.size());
}

std::u16string kvWStringToUTF16(const wxString& sText)
{
    return tToU16(sText);
}

wxString kvUTF16ToWString(const char16_t* szText)
{
    if (!szText)
        return wxString();
    return tFromU16(szText, std::char_traits<char16_t>::length(szText));
}

bool tIsSurrogateHi(uint32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool tIsSurrogateLo(uint32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool tIsSurrogatePair(uint32_t cHi, uint32_t cLo)
{
    return tIsSurrogateHi(cHi) && tIsSurrogateLo(cLo);
}

char32_t tSurrogatePairToChar(uint32_t cHi, uint32_t cLo)
{
    if (!tIsSurrogatePair(cHi, cLo))
        return tREPLACEMENT_CHAR;
    return 0x10000 + ((cHi - 0xD800) << 10) + (cLo - 0xDC00);
}

// ---- UTF-32 -------------------------------------------------------------------------------------

wxString tUTF32CharToString(uint32_t c)
{
    return wxString(static_cast<wchar_t>(tIsUnicodeScalar(c) ? c : tREPLACEMENT_CHAR), 1);
}

wxString tUTF32ToStr(const uint32_t* pText, size_t nLen)
{
    std::wstring sOut;
    if (!pText)
        return wxString();
    sOut.reserve(nLen);
    for (size_t i = 0; i < nLen; ++i)
        sOut += static_cast<wchar_t>(tIsUnicodeScalar(pText[i]) ? pText[i] : tREPLACEMENT_CHAR);
    return wxString(sOut);
}

wxString tUTF32ToStr(const std::u32string& sText)
{
    std::wstring sOut;
    sOut.reserve(sText.size());
    for (char32_t c : sText)
        sOut += static_cast<wchar_t>(tIsUnicodeScalar(c) ? c : tREPLACEMENT_CHAR);
    return wxString(sOut);
}

// ---- UTF-8 and other narrow text ----------------------------------------------------------------

std::string tToUTF8(const wxString& sText)
{
    return tWideToUTF8(std::wstring_view(sText.wx_str(), sText.length()));
}

wxString kvFromUTF8(const char* szText)
{
    if (!szText)
        return wxString();
    return wxString(tUTF8ToWide(szText));
}

wxString kvFromUTF8(const std::string& sText)
{
    return wxString(tUTF8ToWide(sText));
}

wxString kvMBToWC(const char* szText, int nConversion)
{
    if (!szText)
        return wxString();
    if (nConversion == KV_CONV_UTF8)
        return kvFromUTF8(szText);
    if (nConversion != KV_CONV_ACP)
        return wxString();
    std::mbstate_t state{};
    const char* pSource = szText;
    const size_t nLen = std::mbsrtowcs(nullptr, &pSource, 0, &state);
    if (nLen == static_cast<size_t>(-1))
        return wxString();
    std::wstring sOut(nLen, L'\0');
    state = std::mbstate_t{};
    pSource = szText;
    std::mbsrtowcs(sOut.data(), &pSource, nLen, &state);
    return wxString(sOut);
}

// ---- Case ---------------------------------------------------------------------------------------

wchar_t tToUpper(wchar_t c)
{
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

wchar_t tToLower(wchar_t c)
{
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

wxString& tMakeUpper(wxString& sText)
{
    sText = tStrToUpper(sText);
    return sText;
}

wxString& tMakeLower(wxString& sText)
{
    sText = tStrToLower(sText);
    return sText;
}

wxString tStrToUpper(const wxString& sText)
{
    std::wstring s = sText.ToStdWstring();
    for (wchar_t& c : s)
        c = tToUpper(c);
    return wxString(s);
}

wxString tStrToLower(const wxString& sText)
{
    std::wstring s = sText.ToStdWstring();
    for (wchar_t& c : s)
        c = tToLower(c);
    return wxString(s);
}

// ---- Comparison ---------------------------------------------------------------------------------

int teStrcmp(const wchar_t* szA, const wchar_t* szB)
{
    if (!szA)
        szA = L"";
    if (!szB)
        szB = L"";
    for (;; ++szA, ++szB)
    {
        const uint32_t a = U16Order(*szA);
        const uint32_t b = U16Order(*szB);
        if (a != b)
            return a < b ? -1 : 1;
        if (*szA == L'\0')
            return 0;
    }
}

int teStrcmp(const wxString& sA, const wxString& sB)
{
    const wchar_t* pA = sA.wx_str();
    const wchar_t* pB = sB.wx_str();
    const size_t nA = sA.length();
    const size_t nB = sB.length();
    for (size_t i = 0; i < nA && i < nB; ++i)
    {
        const uint32_t a = U16Order(pA[i]);
        const uint32_t b = U16Order(pB[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return nA == nB ? 0 : (nA < nB ? -1 : 1);
}

bool teStrcpy(wchar_t* szDest, size_t nDestSize, const wchar_t* szSource)
{
    if (!szDest || nDestSize == 0)
        return false;
    if (!szSource)
        szSource = L"";
    const size_t nLen = std::wcslen(szSource);
    const size_t nCopy = nLen < nDestSize ? nLen : nDestSize - 1;
    std::wmemcpy(szDest, szSource, nCopy);
    szDest[nCopy] = L'\0';
    return nCopy == nLen;
}

bool teStrcpy(wchar_t* szDest, size_t nDestSize, const wxString& sSource)
{
    return teStrcpy(szDest, nDestSize, sSource.wx_str());
}

bool tStrContainsW(const wxString& sText, const wxString& sPart)
{
    return sText.find(sPart) != wxString::npos;
}

bool tStrStartsWithW(const wxString& sText, const wxString& sPrefix)
{
    return sText.StartsWith(sPrefix);
}

bool tStrEndsWith(const wxString& sText, const wxString& sSuffix)
{
    return sText.EndsWith(sSuffix);
}

// ---- Tokens, trimming, replacing ----------------------------------------------------------------

int tStrTok(const wxString& sText, const wxString& sDelimiters, const wxString& sQuote, std::vector<wxString>& aTokens)
{
    aTokens.clear();
    if (sText.empty())
        return 0;

    const bool bWholeDelimiter = IsEntityReference(sDelimiters);
    const std::wstring sDelims = bWholeDelimiter ? std::wstring() : sDelimiters.ToStdWstring();
    const bool bTrim = bWholeDelimiter || sDelims.find(L' ') == std::wstring::npos;
    std::wstring sBlanks;
    for (wchar_t c : {L' ', L'\t', L'\r', L'\n'})
        if (sDelims.find(c) == std::wstring::npos)
            sBlanks += c;

    const std::wstring s = sText.ToStdWstring();
    const std::wstring sQ = sQuote.ToStdWstring();
    const std::wstring sWhole = bWholeDelimiter ? sDelimiters.ToStdWstring() : std::wstring();

    std::wstring sToken;
    // The stretch of sToken that came from quotes; trimming stops at its edges.
    size_t nQuotedFrom = std::wstring::npos;
    size_t nQuotedTo = 0;
    bool bInQuote = false;

    auto flush = [&]()
    {
        size_t nBegin = 0;
        size_t nEnd = sToken.size();
        if (bTrim)
        {
            const size_t nBeginLimit = nQuotedFrom == std::wstring::npos ? nEnd : nQuotedFrom;
            while (nBegin < nBeginLimit && sBlanks.find(sToken[nBegin]) != std::wstring::npos)
                ++nBegin;
            const size_t nEndLimit = nQuotedFrom == std::wstring::npos ? nBegin : nQuotedTo;
            while (nEnd > nEndLimit && sBlanks.find(sToken[nEnd - 1]) != std::wstring::npos)
                --nEnd;
        }
        aTokens.emplace_back(sToken.substr(nBegin, nEnd - nBegin));
        sToken.clear();
        nQuotedFrom = std::wstring::npos;
        nQuotedTo = 0;
    };

    size_t i = 0;
    while (i < s.size())
    {
        if (!sQ.empty() && s.compare(i, sQ.size(), sQ) == 0)
        {
            bInQuote = !bInQuote;
            if (bInQuote && nQuotedFrom == std::wstring::npos)
                nQuotedFrom = sToken.size();
            nQuotedTo = sToken.size();
            i += sQ.size();
            continue;
        }
        if (!bInQuote)
        {
            if (bWholeDelimiter && s.compare(i, sWhole.size(), sWhole) == 0)
            {
                flush();
                i += sWhole.size();
                continue;
            }
            if (!bWholeDelimiter && sDelims.find(s[i]) != std::wstring::npos)
            {
                flush();
                ++i;
                continue;
            }
        }
        sToken += s[i++];
        if (bInQuote)
            nQuotedTo = sToken.size();
    }
    flush();
    return static_cast<int>(aTokens.size());
}

wxString& tStrTrimL(wxString& sText)
{
    size_t n = 0;
    while (n < sText.length() && std::iswspace(static_cast<wint_t>(sText[n].GetValue())))
        ++n;
    sText.erase(0, n);
    return sText;
}

wxString& tStrTrimR(wxString& sText)
{
    size_t n = sText.length();
    while (n > 0 && std::iswspace(static_cast<wint_t>(sText[n - 1].GetValue())))
        --n;
    sText.erase(n);
    return sText;
}

wxString& tStrTrim(wxString& sText)
{
    return tStrTrimL(tStrTrimR(sText));
}

size_t tStrReplaceW(std::wstring& sText, const std::wstring& sFind, const std::wstring& sReplace)
{
    if (sFind.empty())
        return 0;
    size_t nCount = 0;
    std::wstring sOut;
    size_t nFrom = 0;
    for (size_t nAt = sText.find(sFind); nAt != std::wstring::npos; nAt = sText.find(sFind, nFrom))
    {
        sOut.append(sText, nFrom, nAt - nFrom);
        sOut += sReplace;
        nFrom = nAt + sFind.size();
        ++nCount;
    }
    if (nCount > 0)
    {
        sOut.append(sText, nFrom, std::wstring::npos);
        sText.swap(sOut);
    }
    return nCount;
}

size_t tStrReplace(wxString& sText, const wxString& sFind, const wxString& sReplace)
{
    std::wstring s = sText.ToStdWstring();
    const size_t nCount = tStrReplaceW(s, sFind.ToStdWstring(), sReplace.ToStdWstring());
    if (nCount > 0)
        sText = s;
    return nCount;
}

// ---- HTML and hexadecimal text ------------------------------------------------------------------

wxString tEscapeHTMLChars(const wxString& sText)
{
    std::wstring sOut;
    sOut.reserve(sText.length());
    for (wxUniChar ch : sText)
    {
        switch (ch.GetValue())
        {
        case L'&':
            sOut += L"&amp;";
            break;
        case L'<':
            sOut += L"&lt;";
            break;
        case L'>':
            sOut += L"&gt;";
            break;
        case L'"':
            sOut += L"&quot;";
            break;
        case L'\'':
            sOut += L"&#39;";
            break;
        default:
            sOut += static_cast<wchar_t>(ch.GetValue());
        }
    }
    return wxString(sOut);
}

std::string tEscapeHTMLChars8(const wxString& sText)
{
    return tToUTF8(tEscapeHTMLChars(sText));
}

wxString tBinToHex(const void* pData, size_t nBytes)
{
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    if (!pData)
        return wxString();
    std::wstring sOut;
    sOut.reserve(nBytes * 2);
    const auto* p = static_cast<const unsigned char*>(pData);
    for (size_t i = 0; i < nBytes; ++i)
    {
        sOut += kDigits[p[i] >> 4];
        sOut += kDigits[p[i] & 0x0F];
    }
    return wxString(sOut);
}

bool tHexToBin(const wxString& sHex, std::vector<uint8_t>& aBytes)
{
    aBytes.clear();
    const size_t n = sHex.length();
    if (n % 2 != 0)
        return false;
    aBytes.reserve(n / 2);
    const wchar_t* p = sHex.wx_str();
    for (size_t i = 0; i < n; i += 2)
    {
        int nHi = 0;
        int nLo = 0;
        if (!IsHexDigit(p[i], nHi) || !IsHexDigit(p[i + 1], nLo))
        {
            aBytes.clear();
            return false;
        }
        aBytes.push_back(static_cast<uint8_t>(nHi * 16 + nLo));
    }
    return true;
}

// ---- Colours ------------------------------------------------------------------------------------

bool tIsColourDarkish(const wxString& sColour)
{
    wxString s = sColour;
    if (s.StartsWith(L"#"))
        s.erase(0, 1);
    std::vector<uint8_t> aRGB;
    if (s.length() != 6 || !tHexToBin(s, aRGB))
        return false;
    const int nBrightness = (299 * aRGB[0] + 587 * aRGB[1] + 114 * aRGB[2]) / 1000;
    return nBrightness < 128;
}
