#include "varnak/include/tAssert.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tUTF8.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

namespace
{
struct Registry
{
    std::mutex mutex;
    std::vector<tcAssertHandler*> aHandlers;
};

Registry& Handlers()
{
    // Never destroyed: an assertion may fail in a static destructor.
    static Registry* s_pRegistry = new Registry;
    return *s_pRegistry;
}

bool IsRegistered(tcAssertHandler* pHandler)
{
    Registry& reg = Handlers();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return std::find(reg.aHandlers.begin(), reg.aHandlers.end(), pHandler) != reg.aHandlers.end();
}

void Report(const char* szFile, int nLine, const char* szExpression, const wchar_t* szIdentifier)
{
    const char* szF = szFile ? szFile : "";
    const char* szE = szExpression ? szExpression : "";
    kvLog(L"ASSERTION FAILED: %S (%S:%d)%s%s", szE, szF, nLine, szIdentifier ? L" id=" : L"",
          szIdentifier ? szIdentifier : L"");

    std::vector<tcAssertHandler*> aSnapshot;
    {
        Registry& reg = Handlers();
        std::lock_guard<std::mutex> lock(reg.mutex);
        aSnapshot = reg.aHandlers;
    }
    // The lock is not held while handlers run: a handler may take long (it may send a report) and
    // may itself assert or unregister handlers. One unregistered meanwhile is skipped.
    for (tcAssertHandler* pHandler : aSnapshot)
    {
        if (IsRegistered(pHandler))
            pHandler->OnAssert(szF, nLine, szE, szIdentifier);
    }
}
} // namespace

void tRegisterAssertHandler(tcAssertHandler* pHandler)
{
    if (!pHandler)
        return;
    Registry& reg = Handlers();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (std::find(reg.aHandlers.begin(), reg.aHandlers.end(), pHandler) == reg.aHandlers.end())
        reg.aHandlers.push_back(pHandler);
}

void tUnregisterAssertHandler(tcAssertHandler* pHandler)
{
    Registry& reg = Handlers();
    std::lock_guard<std::mutex> lock(reg.mutex);
    reg.aHandlers.erase(std::remove(reg.aHandlers.begin(), reg.aHandlers.end(), pHandler), reg.aHandlers.end());
}

void tAssert(const char* szFile, int nLine, const char* szExpression, const wchar_t* szIdentifier)
{
    Report(szFile, nLine, szExpression, szIdentifier);
}

bool tSoftAssert(bool bCondition, const char* szFile, int nLine, const char* szExpression, const wchar_t* szMessage)
{
    if (bCondition)
        return false;
    std::string sExpression = "[Soft]";
    sExpression += szExpression ? szExpression : "";
    if (szMessage)
        sExpression += " - " + tWideToUTF8(szMessage);
    Report(szFile, nLine, sExpression.c_str(), nullptr);
    return true;
}

namespace tcDev
{
bool IsDebuggerAttached()
{
    std::ifstream status("/proc/self/status");
    std::string sLine;
    while (std::getline(status, sLine))
    {
        if (sLine.rfind("TracerPid:", 0) == 0)
        {
            const std::size_t nPos = sLine.find_first_not_of(" \t", 10);
            return nPos != std::string::npos && sLine.compare(nPos, std::string::npos, "0") != 0;
        }
    }
    return false;
}

void DebugBreak()
{
    // Without a debugger SIGTRAP would end the process, which is not what a breakpoint means.
    if (IsDebuggerAttached())
        std::raise(SIGTRAP);
}
} // namespace tcDev
