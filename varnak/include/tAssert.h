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

// Registers a handler (not owned; unregister it before it dies). Registering twice is ignored.
void tRegisterAssertHandler(tcAssertHandler* pHandler);
void tUnregisterAssertHandler(tcAssertHandler* pHandler);

// Reports a failed assertion: logs it and calls the handlers. With no handler it only logs.
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
// Stops in an attached debugger; does nothing otherwise.
void DebugBreak();
}
