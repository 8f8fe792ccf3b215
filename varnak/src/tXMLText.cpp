#include "varnak/include/tXMLText.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcDTD.h"

namespace
{
constexpr wchar_t kReplacement = 0xFFFD;

bool IsNameStartChar(uint32_t c)
{
    return c == ':' || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(uint32_t c)
{
    return IsNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// Counts the characters replaced during one public call and logs them once at its end, so that
// a long text full of control characters gives one line, not thousands.
class ReplacementCounter
{
public:
    ReplacementCounter() = default;
    ReplacementCounter(const ReplacementCounter&) = delete;
    ReplacementCounter& operator=(const ReplacementCounter&) = delete;
    ~ReplacementCounter()
    {
        if (m_nCount > 0)
            kvLog(L"XML output: %d character(s) that XML 1.0 does not allow were written as U+FFFD", m_nCount);
    }

    void Add() { ++m_nCount; }

private:
    int m_nCount = 0;
};

// Appends sText[i] (and its low half when it is a surrogate pair) unless it is forbidden; returns
// the index of the last character consumed.
size_t AppendChecked(wxString& sOut, const wxString& sText, size_t i, ReplacementCounter& counter)
{
    const uint32_t c = static_cast<uint32_t>(sText[i]);
    if (tIsSurrogateHi(c) && i + 1 < sText.length() && tIsSurrogateLo(static_cast<uint32_t>(sText[i + 1])))
    {
        sOut += sText[i];
        sOut += sText[i + 1];
        return i + 1;
    }
    if (tIsXMLChar(c))
        sOut += sText[i];
    else
    {
        sOut += kReplacement;
        counter.Add();
    }
    return i;
}

// True for a character that is written as it stands in text and attribute values alike.
inline bool IsPlain(wchar_t c)
{
    const uint32_t u = static_cast<uint32_t>(c);
    if (u < 0x20)
        return false;
    if (u < 0x80)
        return c != L'&' && c != L'<' && c != L'>' && c != L'"';
    return u <= 0xD7FF || (u >= 0xE000 && u <= 0xFFFD) || (u >= 0x10000 && u <= 0x10FFFF);
}

void AppendEscaped(wxString& sOut, const wxString& sText, bool bAttribute, ReplacementCounter& counter)
{
    const size_t n = sText.length();
    const wchar_t* const psz = sText.wx_str();
    for (size_t i = 0; i < n; ++i)
    {
        // Runs of plain characters go in one piece; the rest one by one below.
        size_t nEnd = i;
        while (nEnd < n && IsPlain(psz[nEnd]))
            ++nEnd;
        if (nEnd > i)
        {
            sOut.append(psz + i, nEnd - i);
            i = nEnd;
            if (i >= n)
                break;
        }
        const wchar_t c = psz[i];
        switch (c)
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
        case L'\r':
            sOut += L"&#13;";
            break;
        case L'"':
            sOut += bAttribute ? L"&quot;" : L"\"";
            break;
        case L'\t':
            sOut += bAttribute ? L"&#9;" : L"\t";
            break;
        case L'\n':
            sOut += bAttribute ? L"&#10;" : L"\n";
            break;
        default:
            i = AppendChecked(sOut, sText, i, counter);
            break;
        }
    }
}

// The character one of the five predefined entities stands for, when sText holds one at nPos
// (which is an "&"); nLen receives the reference's length.
wchar_t MatchPredefined(const wxString& sText, size_t nPos, size_t& nLen)
{
    static const struct
    {
        const wchar_t* szRef;
        wchar_t c;
    } kRefs[] = {{L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&apos;", L'\''}, {L"&quot;", L'"'}};
    for (const auto& ref : kRefs)
    {
        const size_t nRefLen = wcslen(ref.szRef);
        if (sText.compare(nPos, nRefLen, ref.szRef) == 0)
        {
            nLen = nRefLen;
            return ref.c;
        }
    }
    return 0;
}

// Reads "#123" or "#x1F" (without "&" and ";"); 0 when it is no valid character reference.
uint32_t ParseCharRef(const wxString& sBody)
{
    if (sBody.length() < 2 || sBody[0] != L'#')
        return 0;
    const bool bHex = sBody[1] == L'x';
    const size_t nStart = bHex ? 2 : 1;
    if (nStart >= sBody.length())
        return 0;
    uint64_t nValue = 0;
    for (size_t i = nStart; i < sBody.length(); ++i)
    {
        const wchar_t c = sBody[i];
        int nDigit;
        if (c >= L'0' && c <= L'9')
            nDigit = c - L'0';
        else if (bHex && c >= L'a' && c <= L'f')
            nDigit = c - L'a' + 10;
        else if (bHex && c >= L'A' && c <= L'F')
            nDigit = c - L'A' + 10;
        else
            return 0;
        nValue = nValue * (bHex ? 16 : 10) + nDigit;
        if (nValue > 0x10FFFF)
            return 0;
    }
    return tIsXMLChar(static_cast<uint32_t>(nValue)) ? static_cast<uint32_t>(nValue) : 0;
}
} // namespace

bool tIsXMLChar(uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool tIsValidXMLName(const wxString& sName)
{
    if (sName.empty() || !IsNameStartChar(static_cast<uint32_t>(sName[0])))
        return false;
    for (size_t i = 1; i < sName.length(); ++i)
    {
        if (!IsNameChar(static_cast<uint32_t>(sName[i])))
            return false;
    }
    return true;
}

wxString tEscapeXMLCharacters(const wxString& sText)
{
    wxString sOut;
    sOut.reserve(sText.length() + 16);
    tAppendXMLAttributeValue(sOut, sText);
    return sOut;
}

wxString tEscapeXMLCharacters_PCDATA(const wxString& sText)
{
    wxString sOut;
    sOut.reserve(sText.length() + 16);
    tAppendXMLText(sOut, sText);
    return sOut;
}

wxString tUnescapeXMLCharacters(const wxString& sText, const tcDocument* pDoc)
{
    if (sText.find(L'&') == wxString::npos)
        return sText;
    const tcDTD* pDTD = pDoc ? pDoc->GetDTD() : nullptr;
    wxString sOut;
    sOut.reserve(sText.length());
    const size_t n = sText.length();
    size_t i = 0;
    while (i < n)
    {
        const wchar_t c = sText[i];
        if (c != L'&')
        {
            sOut += c;
            ++i;
            continue;
        }
        const size_t nSemi = sText.find(L';', i + 1);
        if (nSemi != wxString::npos)
        {
            const wxString sBody = sText.substr(i + 1, nSemi - i - 1);
            size_t nLen = 0;
            if (const wchar_t cPredef = MatchPredefined(sText, i, nLen))
            {
                sOut += cPredef;
                i += nLen;
                continue;
            }
            if (const uint32_t cRef = ParseCharRef(sBody))
            {
                sOut += static_cast<wchar_t>(cRef);
                i = nSemi + 1;
                continue;
            }
            if (pDTD && tIsValidXMLName(sBody))
            {
                if (const tcEntity* pEntity = pDTD->FindEntity(sBody))
                {
                    sOut += pEntity->GetValue();
                    i = nSemi + 1;
                    continue;
                }
            }
        }
        sOut += c;
        ++i;
    }
    return sOut;
}

wxString tMakeValidXMLName(const wxString& sName)
{
    if (sName.empty())
        return L"_";
    wxString sOut;
    sOut.reserve(sName.length() + 1);
    if (!IsNameStartChar(static_cast<uint32_t>(sName[0])))
        sOut += L'_';
    for (size_t i = 0; i < sName.length(); ++i)
        sOut += IsNameChar(static_cast<uint32_t>(sName[i])) ? static_cast<wchar_t>(sName[i]) : L'_';
    return sOut;
}

void tAppendXMLText(wxString& sOut, const wxString& sText)
{
    ReplacementCounter counter;
    AppendEscaped(sOut, sText, false, counter);
}

void tAppendXMLAttributeValue(wxString& sOut, const wxString& sValue)
{
    ReplacementCounter counter;
    AppendEscaped(sOut, sValue, true, counter);
}

void tAppendXMLCDATA(wxString& sOut, const wxString& sText)
{
    ReplacementCounter counter;
    sOut += L"<![CDATA[";
    const size_t n = sText.length();
    for (size_t i = 0; i < n; ++i)
    {
        if (sText[i] == L']' && sText.compare(i, 3, L"]]>") == 0)
        {
            sOut += L"]]]]><![CDATA[>";
            i += 2;
            continue;
        }
        if (sText[i] == L'\r')
        {
            // A parser turns a raw carriage return into a line feed, also inside CDATA.
            sOut += L"]]>&#13;<![CDATA[";
            continue;
        }
        i = AppendChecked(sOut, sText, i, counter);
    }
    sOut += L"]]>";
}
