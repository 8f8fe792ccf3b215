#pragma once

#include <wx/string.h>

#include <cstddef>

// The debug-context stack: named scopes that reports carry. Each thread has its own stack.

// Opens a scope named after its function ("VRGrid::Redraw") for the object's lifetime. szName must
// outlive the object (a string literal); null counts as "".
class tcDebugInfo
{
public:
    explicit tcDebugInfo(const char* szName);
    ~tcDebugInfo();

    tcDebugInfo(const tcDebugInfo&) = delete;
    tcDebugInfo& operator=(const tcDebugInfo&) = delete;

private:
    const char* m_szName;
};

// Pushes a named context (a dialog's lifetime, an import) on this thread's stack.
void tDebugContextEnter(const wxString& sName);
// Removes the most recent context of that name, wherever it stands in the stack, so that contexts
// may close in any order. A name that is not on the stack is ignored; tcDebugInfo scopes are only
// closed by their objects.
void tDebugContextLeave(const wxString& sName);
// The stack as text, outermost first, entries separated by " > "; empty when there is none.
wxString tDebugContextString();
// Number of entries on this thread's stack.
int tDebugContextDepth();

// Copies this thread's stack as tDebugContextString writes it, in UTF-8, into pBuf (cut at
// nSize bytes) and returns the bytes copied. For the fatal-signal handler: it allocates nothing
// and takes no lock, but reads the stack as it stands, so it must come last in such a handler.
size_t tDebugContextCopyUTF8(char* pBuf, size_t nSize);
