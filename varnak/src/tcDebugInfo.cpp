#include "varnak/include/tcDebugInfo.h"

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
