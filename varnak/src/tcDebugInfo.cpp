#include "varnak/include/tcDebugInfo.h"

#include <cstdint>
#include <vector>

namespace
{
// Scopes keep their name's pointer (they open and close in hot paths, where building a wxString
// each time would cost); named contexts keep their text.
struct Entry
{
    const char* szScope;
    wxString sName;
};

std::vector<Entry>& Stack()
{
    thread_local std::vector<Entry> s_aStack;
    return s_aStack;
}
} // namespace

tcDebugInfo::tcDebugInfo(const char* szName) : m_szName(szName ? szName : "")
{
    Stack().push_back(Entry{m_szName, wxString()});
}

tcDebugInfo::~tcDebugInfo()
{
    std::vector<Entry>& aStack = Stack();
    for (auto it = aStack.rbegin(); it != aStack.rend(); ++it)
    {
        if (it->szScope == m_szName)
        {
            aStack.erase(std::next(it).base());
            return;
        }
    }
}

void tDebugContextEnter(const wxString& sName)
{
    Stack().push_back(Entry{nullptr, sName});
}

void tDebugContextLeave(const wxString& sName)
{
    std::vector<Entry>& aStack = Stack();
    for (auto it = aStack.rbegin(); it != aStack.rend(); ++it)
    {
        if (!it->szScope && it->sName == sName)
        {
            aStack.erase(std::next(it).base());
            return;
        }
    }
}

wxString tDebugContextString()
{
    wxString s;
    for (const Entry& e : Stack())
    {
        if (!s.empty())
            s += " > ";
        s += e.szScope ? wxString::FromUTF8(e.szScope) : e.sName;
    }
    return s;
}

int tDebugContextDepth()
{
    return static_cast<int>(Stack().size());
}

namespace
{
// Appends the UTF-8 form of one code point when it fits whole; false when it does not.
bool PutCodePoint(char* pBuf, size_t nSize, size_t& nAt, uint32_t c)
{
    char a[4];
    size_t n = 0;
    if (c >= 0xD800 && c <= 0xDFFF)
        c = 0xFFFD;
    if (c < 0x80)
        a[n++] = static_cast<char>(c);
    else if (c < 0x800)
    {
        a[n++] = static_cast<char>(0xC0 | (c >> 6));
        a[n++] = static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        a[n++] = static_cast<char>(0xE0 | (c >> 12));
        a[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        a[n++] = static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
        a[n++] = static_cast<char>(0xF0 | (c >> 18));
        a[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        a[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        a[n++] = static_cast<char>(0x80 | (c & 0x3F));
    }
    if (nAt + n > nSize)
        return false;
    for (size_t i = 0; i < n; ++i)
        pBuf[nAt++] = a[i];
    return true;
}
} // namespace

size_t tDebugContextCopyUTF8(char* pBuf, size_t nSize)
{
    size_t nAt = 0;
    bool bFirst = true;
    for (const Entry& e : Stack())
    {
        if (!bFirst)
        {
            for (const char* p = " > "; *p; ++p)
            {
                if (!PutCodePoint(pBuf, nSize, nAt, static_cast<unsigned char>(*p)))
                    return nAt;
            }
        }
        bFirst = false;
        if (e.szScope)
        {
            // Names of scopes are UTF-8 already; a cut may split a character there, as they are
            // plain ASCII in practice.
            for (const char* p = e.szScope; *p; ++p)
            {
                if (nAt >= nSize)
                    return nAt;
                pBuf[nAt++] = *p;
            }
        }
        else
        {
            // wx_str() hands out the string's own wide storage: no conversion, no allocation.
            for (const wchar_t* p = e.sName.wx_str(); *p; ++p)
            {
                if (!PutCodePoint(pBuf, nSize, nAt, static_cast<uint32_t>(*p)))
                    return nAt;
            }
        }
    }
    return nAt;
}
