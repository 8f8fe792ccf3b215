#pragma once

#include "varnak/include/tAssert.h"

#include <string>
#include <vector>

// Records failed assertions while it lives (registered as a handler from construction to
// destruction): the source file and the expression of each, in the order they were reported.
// Header only, so the harness library itself does not link the document library.
class AssertRecorder : public tcAssertHandler
{
public:
    AssertRecorder() { tRegisterAssertHandler(this); }
    ~AssertRecorder() override { tUnregisterAssertHandler(this); }
    AssertRecorder(const AssertRecorder&) = delete;
    AssertRecorder& operator=(const AssertRecorder&) = delete;

    void OnAssert(const char* szFile, int, const char* szExpression, const wchar_t*) override
    {
        asFiles.emplace_back(szFile);
        asExpressions.emplace_back(szExpression);
    }

    // Forgets what was recorded so far.
    void Clear()
    {
        asFiles.clear();
        asExpressions.clear();
    }

    std::vector<std::string> asFiles;
    std::vector<std::string> asExpressions;
};
