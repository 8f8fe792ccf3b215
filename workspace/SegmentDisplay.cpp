#include "workspace/SegmentDisplay.h"

#include "varnak/include/tXMLText.h"

#include <algorithm>
#include <vector>

namespace
{
constexpr wchar_t kReplacement = 0xFFFD;

bool IsMark(wxUniChar c)
{
    return c == kCodeOpen || c == kCodeClose || c == kCodeGap;
}

// Text that comes from a segment never carries the editor's own marks.
void AppendText(wxString& sOut, const wxString& sText)
{
    for (const wxUniChar c : sText)
        sOut += IsMark(c) ? wxUniChar(kReplacement) : c;
}

bool StartsAt(const wxString& s, size_t i, const wchar_t* szWhat)
{
    for (; *szWhat; ++szWhat, ++i)
        if (i >= s.length() || s[i] != *szWhat)
            return false;
    return true;
}

bool IsNameStart(wxUniChar c)
{
    const auto v = c.GetValue();
    return (v >= 'a' && v <= 'z') || (v >= 'A' && v <= 'Z') || v == '_' || v == ':' || v > 0x7F;
}

// The end (one past) of the text from nFrom up to and including szEnd; npos when it never comes.
size_t PastNext(const wxString& s, size_t nFrom, const wchar_t* szEnd)
{
    const size_t nAt = s.find(szEnd, nFrom);
    return nAt == wxString::npos ? nAt : nAt + wxStrlen(szEnd);
}

// One past the ">" of the tag starting with "<" at i, quotes honoured; npos when it is not closed.
size_t TagEnd(const wxString& s, size_t i)
{
    wxUniChar cQuote = 0;
    for (size_t j = i + 1; j < s.length(); ++j)
    {
        const wxUniChar c = s[j];
        if (cQuote != 0)
        {
            if (c == cQuote)
                cQuote = 0;
        }
        else if (c == '"' || c == '\'')
            cQuote = c;
        else if (c == '>')
            return j + 1;
    }
    return wxString::npos;
}

// One past the markup that starts with "<" at i (an element with everything inside it, a comment or a
// processing instruction); npos when none starts there or it is not complete.
size_t MarkupEnd(const wxString& s, size_t i)
{
    if (StartsAt(s, i, L"<!--"))
        return PastNext(s, i + 4, L"-->");
    if (StartsAt(s, i, L"<?"))
        return PastNext(s, i + 2, L"?>");
    if (i + 1 >= s.length() || !IsNameStart(s[i + 1]))
        return wxString::npos;
    size_t k = TagEnd(s, i);
    if (k == wxString::npos || s[k - 2] == '/')
        return k;
    int nDepth = 1;
    while (k != wxString::npos && nDepth > 0)
    {
        k = s.find('<', k);
        if (k == wxString::npos)
            break;
        if (StartsAt(s, k, L"<![CDATA["))
            k = PastNext(s, k + 9, L"]]>");
        else if (StartsAt(s, k, L"<!--"))
            k = PastNext(s, k + 4, L"-->");
        else if (StartsAt(s, k, L"<?"))
            k = PastNext(s, k + 2, L"?>");
        else if (StartsAt(s, k, L"</"))
        {
            k = TagEnd(s, k);
            --nDepth;
        }
        else if (k + 1 < s.length() && IsNameStart(s[k + 1]))
        {
            k = TagEnd(s, k);
            if (k != wxString::npos && s[k - 2] != '/')
                ++nDepth;
        }
        else
            ++k;
    }
    return nDepth == 0 ? k : wxString::npos;
}

bool BytesAt(const std::string& s, int i, const char* szWhat, int nLength, int nEnd)
{
    return i >= 0 && i + nLength <= nEnd &&
           s.compare(static_cast<size_t>(i), static_cast<size_t>(nLength), szWhat) == 0;
}

const char kOpenBytes[] = "\xF4\x8F\xBF\xBB";
const char kCloseBytes[] = "\xF4\x8F\xBF\xBC";
const char kGapBytes[] = "\xF3\xA0\x80\x81";

const char* MarkBytes(wchar_t cMark)
{
    return cMark == kCodeOpen ? kOpenBytes : cMark == kCodeClose ? kCloseBytes : kGapBytes;
}

// Where the code opened at nOpen ends: the position of its close mark, or nEnd when it has none.
int CodeClose(const std::string& s, int nOpen, int nEnd)
{
    for (int i = nOpen + kSegmentMarkBytes; i < nEnd; ++i)
        if (BytesAt(s, i, kCloseBytes, kSegmentMarkBytes, nEnd))
            return i;
    return nEnd;
}

bool IsSpaceByte(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Follows the quoted attribute values of a tag: true when c lies in one, its quotes included.
bool InQuotes(char c, char& cQuote)
{
    if (cQuote)
    {
        if (c == cQuote)
            cQuote = 0;
        return true;
    }
    if (c != '"' && c != '\'')
        return false;
    cQuote = c;
    return true;
}

// Styles the element of one code, the bytes [nFrom, nEnd) between its marks.
class CodeLexer
{
public:
    CodeLexer(const std::string& sBytes, int nFrom, int nEnd, std::string& sStyles, int nStylesFrom)
        : m_sBytes(sBytes), m_nFrom(nFrom), m_nEnd(nEnd), m_sStyles(sStyles), m_nStylesFrom(nStylesFrom)
    {
    }

    // Returns the hidden style of the element's kind, for its marks.
    int Run()
    {
        const int p = m_nFrom;
        if (p >= m_nEnd)
            return SEGSTYLE_PH_HIDDEN;
        if (Has(p + 1, "sub"))
            return Element(p, 4, SEGSTYLE_SUB, SEGSTYLE_IT_HIDDEN, SEGSTYLE_SUB_HIDDEN, {"sub"});
        if (Has(p + 1, "it"))
            return Element(p, 3, SEGSTYLE_IT, SEGSTYLE_IT_HIDDEN, SEGSTYLE_IT_HIDDEN, {"it"});
        if (Has(p + 1, "ph"))
            return Element(p, 3, SEGSTYLE_PH, SEGSTYLE_PH_HIDDEN, SEGSTYLE_PH_HIDDEN, {"ph"});
        if ((Has(p + 1, "b") || Has(p + 1, "e")) && Has(p + 2, "pt"))
            // Either closing name ends either opener.
            return Element(p, 4, PairMarkerStyle(p), SEGSTYLE_BPT_HIDDEN, SEGSTYLE_BPT_HIDDEN, {"bpt", "ept"});
        // Any other element (or a comment) shows like a placeholder: "<" and its name.
        int q = p + 1;
        while (q < m_nEnd && !IsSpaceByte(At(q)) && At(q) != '>' && At(q) != '/')
            ++q;
        const std::string sName = m_sBytes.substr(static_cast<size_t>(p + 1), static_cast<size_t>(q - p - 1));
        return Element(p, q - p, SEGSTYLE_PH, SEGSTYLE_PH_HIDDEN, SEGSTYLE_PH_HIDDEN, {sName});
    }

private:
    char At(int i) const { return m_sBytes[static_cast<size_t>(i)]; }

    bool Has(int i, const std::string& sText) const
    {
        return BytesAt(m_sBytes, i, sText.c_str(), static_cast<int>(sText.size()), m_nEnd);
    }

    void Style(int i, int nCount, int nStyle)
    {
        for (int k = std::max(i, m_nStylesFrom); k < i + nCount && k < m_nEnd; ++k)
            m_sStyles[static_cast<size_t>(k - m_nStylesFrom)] = static_cast<char>(nStyle);
    }

    // The look-alike style of a bpt/ept marker, from the last digit of its i attribute.
    int PairMarkerStyle(int p) const
    {
        char cQuote = 0;
        for (int r = p + 3; r < m_nEnd; ++r)
        {
            const char c = At(r);
            if (InQuotes(c, cQuote))
                continue;
            if (c == '>')
                return SEGSTYLE_BPT_FIRST;
            if (c == '=' && At(r - 1) == 'i' && IsSpaceByte(At(r - 2)))
            {
                const int nQuote = r + 1;
                if (nQuote >= m_nEnd || (At(nQuote) != '"' && At(nQuote) != '\''))
                    return SEGSTYLE_BPT_FIRST;
                const char cOpen = At(nQuote);
                int q = nQuote + 1;
                while (q < m_nEnd && At(q) != cOpen)
                    ++q;
                if (q >= m_nEnd || q == nQuote + 1)
                    return SEGSTYLE_BPT_FIRST;
                const char cLast = At(q - 1);
                if (cLast >= '1' && cLast <= '9')
                    return SEGSTYLE_BPT_FIRST + (cLast - '1');
                return cLast == '0' ? SEGSTYLE_BPT_LAST : SEGSTYLE_BPT_FIRST;
            }
        }
        return SEGSTYLE_BPT_FIRST;
    }

    // The opener (nOpener bytes) and the closing "/" and ">" as markers, the rest hidden. The element
    // ends at "/name>" for one of its closing names, or at the "/>" of a self-closing opening tag;
    // quoted attribute values and content after the opening tag (a CDATA code) close nothing early.
    int Element(int p, int nOpener, int nMarker, int nHidden, int nNameHidden,
                std::initializer_list<std::string> aNames)
    {
        Style(p, m_nEnd - p, nHidden);
        Style(p, nOpener, nMarker);
        bool bInOpeningTag = true;
        char cQuote = 0;
        for (int q = p + nOpener; q < m_nEnd; ++q)
        {
            const char c = At(q);
            if (bInOpeningTag)
            {
                if (InQuotes(c, cQuote))
                    continue;
                if (c == '/' && Has(q + 1, ">"))
                {
                    Style(q, 2, nMarker);
                    return nHidden;
                }
                if (c == '>')
                    bInOpeningTag = false;
            }
            if (c == '/')
                for (const std::string& sName : aNames)
                    if (!sName.empty() && Has(q + 1, sName) && Has(q + 1 + static_cast<int>(sName.size()), ">"))
                    {
                        const int nName = static_cast<int>(sName.size());
                        Style(q, 1, nMarker);
                        Style(q + 1, nName, nNameHidden);
                        Style(q + 1 + nName, 1, nMarker);
                        return nHidden;
                    }
        }
        return nHidden;
    }

    const std::string& m_sBytes;
    int m_nFrom;
    int m_nEnd;
    std::string& m_sStyles;
    int m_nStylesFrom;
};
} // namespace

wxString tSegmentXMLToDisplay(const wxString& sXML)
{
    wxString sOut;
    wxString sRun; // raw XML text waiting to be decoded
    bool bAfterCode = false;
    auto flushText = [&]()
    {
        if (sRun.empty())
            return;
        AppendText(sOut, tUnescapeXMLCharacters(sRun));
        sRun.clear();
        bAfterCode = false;
    };
    size_t i = 0;
    while (i < sXML.length())
    {
        if (sXML[i] != '<')
        {
            sRun += sXML[i++];
            continue;
        }
        if (StartsAt(sXML, i, L"<![CDATA["))
        {
            const size_t nClose = sXML.find(L"]]>", i + 9);
            if (nClose != wxString::npos)
            {
                flushText();
                const wxString sText = sXML.substr(i + 9, nClose - i - 9);
                AppendText(sOut, sText);
                bAfterCode = bAfterCode && sText.empty();
                i = nClose + 3;
                continue;
            }
        }
        const size_t nEnd = MarkupEnd(sXML, i);
        if (nEnd == wxString::npos)
        {
            sRun += sXML[i++];
            continue;
        }
        flushText();
        if (bAfterCode)
            sOut += kCodeGap;
        sOut += kCodeOpen;
        sOut += sXML.substr(i, nEnd - i);
        sOut += kCodeClose;
        bAfterCode = true;
        i = nEnd;
    }
    flushText();
    return sOut;
}

wxString tSegmentDisplayToXML(const wxString& sDisplay)
{
    wxString sOut;
    wxString sRun;
    for (size_t i = 0; i < sDisplay.length(); ++i)
    {
        const wxUniChar c = sDisplay[i];
        if (c == kCodeOpen)
        {
            tAppendXMLText(sOut, sRun);
            sRun.clear();
            const size_t nClose = sDisplay.find(kCodeClose, i + 1);
            sOut += sDisplay.substr(i + 1, nClose == wxString::npos ? wxString::npos : nClose - i - 1);
            if (nClose == wxString::npos)
                return sOut;
            i = nClose;
        }
        else if (c != kCodeClose && c != kCodeGap)
            sRun += c;
    }
    tAppendXMLText(sOut, sRun);
    return sOut;
}

namespace
{
// The codes (marks included) or the text (without gaps) of an editor text.
wxString PickFromDisplay(const wxString& sDisplay, bool bCodes)
{
    wxString sOut;
    bool bInCode = false;
    for (const wxUniChar c : sDisplay)
    {
        const bool bCodeChar = bInCode || c == kCodeOpen;
        if (bCodes ? bCodeChar : !bCodeChar && !IsMark(c))
            sOut += c;
        if (c == kCodeOpen || c == kCodeClose)
            bInCode = c == kCodeOpen;
    }
    return sOut;
}
} // namespace

wxString tSegmentDisplayCodes(const wxString& sDisplay)
{
    return PickFromDisplay(sDisplay, true);
}

wxString tSegmentDisplayPlainText(const wxString& sDisplay)
{
    return PickFromDisplay(sDisplay, false);
}

bool tIsSegmentMarkAt(const std::string& sBytes, int nPos, wchar_t cMark)
{
    return BytesAt(sBytes, nPos, MarkBytes(cMark), kSegmentMarkBytes, static_cast<int>(sBytes.size()));
}

int tSegmentTextOffset(const std::string& sBytes, int nPos)
{
    const int nLength = static_cast<int>(sBytes.size());
    nPos = std::min(nPos, nLength);
    int nOffset = 0;
    int i = 0;
    while (i < nPos)
    {
        if (tIsSegmentMarkAt(sBytes, i, kCodeOpen))
            i = CodeClose(sBytes, i, nLength) + kSegmentMarkBytes;
        else if (tIsSegmentMarkAt(sBytes, i, kCodeGap))
            i += kSegmentMarkBytes;
        else
        {
            ++nOffset;
            ++i;
        }
    }
    return nOffset;
}

int tSegmentPositionOfTextOffset(const std::string& sBytes, int nOffset)
{
    const int nLength = static_cast<int>(sBytes.size());
    if (nOffset <= 0)
        return 0;
    int nSeen = 0;
    int i = 0;
    while (i < nLength)
    {
        if (tIsSegmentMarkAt(sBytes, i, kCodeOpen))
            i = CodeClose(sBytes, i, nLength) + kSegmentMarkBytes;
        else if (tIsSegmentMarkAt(sBytes, i, kCodeGap))
            i += kSegmentMarkBytes;
        else if (++nSeen, ++i, nSeen == nOffset)
            return i;
    }
    return nLength;
}

std::string tLexSegmentStyles(const std::string& sBytes, int nFrom, int nEnd)
{
    const int nLen = static_cast<int>(sBytes.size());
    nEnd = std::min(std::max(nEnd, 0), nLen);
    nFrom = std::min(std::max(nFrom, 0), nEnd);
    std::string sStyles(static_cast<size_t>(nEnd - nFrom), static_cast<char>(SEGSTYLE_UNSTYLED));
    auto style = [&](int i, int nCount, int nStyle)
    {
        for (int k = std::max(i, nFrom); k < i + nCount && k < nEnd; ++k)
            sStyles[static_cast<size_t>(k - nFrom)] = static_cast<char>(nStyle);
    };
    // Always from the start: a code that began before nFrom decides the styles after it.
    int p = 0;
    while (p < nEnd)
    {
        if (BytesAt(sBytes, p, kOpenBytes, kSegmentMarkBytes, nEnd))
        {
            const int nClose = CodeClose(sBytes, p, nEnd);
            const int nHidden = CodeLexer(sBytes, p + kSegmentMarkBytes, nClose, sStyles, nFrom).Run();
            style(p, kSegmentMarkBytes, nHidden);
            style(nClose, kSegmentMarkBytes, nHidden);
            p = nClose + kSegmentMarkBytes;
        }
        else if (BytesAt(sBytes, p, kGapBytes, kSegmentMarkBytes, nEnd))
        {
            style(p, kSegmentMarkBytes, SEGSTYLE_GAP);
            p += kSegmentMarkBytes;
        }
        else
        {
            style(p, 1, SEGSTYLE_TEXT);
            ++p;
        }
    }
    return sStyles;
}
