#pragma once

#include <wx/string.h>

// Failed assertions go to every registered handler, in registration order. The caller tests its
// condition and calls tAssert only when it fails.
class tcAssertHandler
{
public:
    virtual ~tcAssertHandler() = default;
    // szFile and szExpression are narrow text; szIdentifier may be null. A soft assertion's
    // expression text starts with "[Soft]".
    virtual void OnAssert(const char* szFile, int nLine, const char* szExpression, const wchar_t* szIdentifier) = 0;
};

// Registers a handler (not owned; unregister it before it dies, and not while another thread may be
// reporting an assertion). Registering twice and null are ignored. Any thread.
void tRegisterAssertHandler(tcAssertHandler* pHandler);
void tUnregisterAssertHandler(tcAssertHandler* pHandler);

// The same registry under the names the application uses.
namespace tcErrorHandlers
{
inline void RegisterAssertHandler(tcAssertHandler* pHandler)
{
    tRegisterAssertHandler(pHandler);
}
inline void UnregisterAssertHandler(tcAssertHandler* pHandler)
{
    tUnregisterAssertHandler(pHandler);
}
} // namespace tcErrorHandlers

// Reports a failed assertion: logs "ASSERTION FAILED: expression (file:line)" and calls the
// handlers on the calling thread, without any lock held, so a handler may assert again or
// unregister handlers (one unregistered meanwhile is not called). With no handler it only logs.
void tAssert(const char* szFile, int nLine, const char* szExpression, const wchar_t* szIdentifier = nullptr);

// Returns true when bCondition is false, after reporting "[Soft]" + expression (and the message,
// when given, as " - " + message) to the handlers; the caller then skips its work.
bool tSoftAssert(bool bCondition, const char* szFile, int nLine, const char* szExpression,
                 const wchar_t* szMessage = nullptr);

// Convenience forms that fill in the file and line.
#define T_ASSERT(expr)                                                                                                 \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!(expr))                                                                                                   \
            tAssert(__FILE__, __LINE__, #expr);                                                                        \
    } while (0)
#define T_SOFTASSERT(expr) tSoftAssert(static_cast<bool>(expr), __FILE__, __LINE__, #expr)

namespace tcDev
{
// True when a debugger traces this process (TracerPid in /proc/self/status).
bool IsDebuggerAttached();
// Stops in an attached debugger; does nothing otherwise.
void DebugBreak();
} // namespace tcDev
