#include "varnak/include/tAssert.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tcDebugInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace
{
struct Report
{
    std::string sFile;
    int nLine;
    std::string sExpression;
    std::wstring sIdentifier; // "<null>" for a null identifier
};

// Records what reaches it; registered for the lifetime of the object.
class RecordingHandler : public tcAssertHandler
{
public:
    RecordingHandler() { tRegisterAssertHandler(this); }
    ~RecordingHandler() override { tUnregisterAssertHandler(this); }

    void OnAssert(const char* szFile, int nLine, const char* szExpression, const wchar_t* szIdentifier) override
    {
        aReports.push_back(Report{szFile, nLine, szExpression, szIdentifier ? szIdentifier : L"<null>"});
        if (fnAction)
            fnAction();
    }

    std::vector<Report> aReports;
    std::function<void()> fnAction;
};
} // namespace

TEST(Assert, FailedAssertionReachesHandlersInOrderAndTheLog)
{
    tcLogCapture capture;
    std::vector<int> aOrder;
    RecordingHandler first, second;
    first.fnAction = [&] { aOrder.push_back(1); };
    second.fnAction = [&] { aOrder.push_back(2); };
    tRegisterAssertHandler(&first); // twice: still called once

    tAssert("AppUtils_shared", 120, "nIndex<g_aBitmaps.size()", L"{guid}");
    ASSERT_EQ(first.aReports.size(), 1u);
    EXPECT_EQ(first.aReports[0].sFile, "AppUtils_shared");
    EXPECT_EQ(first.aReports[0].nLine, 120);
    EXPECT_EQ(first.aReports[0].sExpression, "nIndex<g_aBitmaps.size()");
    EXPECT_EQ(first.aReports[0].sIdentifier, L"{guid}");
    EXPECT_EQ(aOrder, (std::vector<int>{1, 2}));
    EXPECT_TRUE(capture.Contains("ASSERTION FAILED: nIndex<g_aBitmaps.size() (AppUtils_shared:120)"));

    tAssert("ImportXML", 7, "0");
    EXPECT_EQ(first.aReports.back().sIdentifier, L"<null>");
    T_ASSERT(1 + 1 == 3);
    EXPECT_EQ(first.aReports.back().sExpression, "1 + 1 == 3");
    EXPECT_EQ(first.aReports.back().sFile, __FILE__);
    T_ASSERT(1 + 1 == 2);
    EXPECT_EQ(first.aReports.size(), 3u);
}

TEST(Assert, SoftAssertionsAreMarkedAndTellTheCallerToSkip)
{
    struct Case
    {
        const char* szWhat;
        bool bCondition;
        const wchar_t* szMessage;
        bool bReturn;
        const char* szExpression; // what the handler sees; null: not called
    };
    const Case aCases[] = {
        {"condition holds", true, L"not shown", false, nullptr},
        {"fails without message", false, nullptr, true, "[Soft]pDoc != nullptr"},
        {"fails with message", false, L"žádný dokument", true, "[Soft]pDoc != nullptr - žádný dokument"},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        RecordingHandler handler;
        tcLogCapture capture;
        EXPECT_EQ(tSoftAssert(c.bCondition, "Grid.cpp", 88, "pDoc != nullptr", c.szMessage), c.bReturn);
        if (!c.szExpression)
        {
            EXPECT_TRUE(handler.aReports.empty());
            EXPECT_TRUE(capture.Lines().empty());
            continue;
        }
        ASSERT_EQ(handler.aReports.size(), 1u);
        EXPECT_EQ(handler.aReports[0].sExpression, c.szExpression);
        EXPECT_EQ(handler.aReports[0].sFile, "Grid.cpp");
        EXPECT_EQ(handler.aReports[0].nLine, 88);
        EXPECT_TRUE(capture.Contains(wxString::FromUTF8(c.szExpression)));
    }
    RecordingHandler handler;
    EXPECT_TRUE(T_SOFTASSERT(2 < 1));
    EXPECT_FALSE(T_SOFTASSERT(1 < 2));
    ASSERT_EQ(handler.aReports.size(), 1u);
    EXPECT_EQ(handler.aReports[0].sExpression, "[Soft]2 < 1");
}

TEST(Assert, HandlersMayAssertAndUnregisterDuringAReport)
{
    RecordingHandler first, second, third;
    // The first unregisters the second, which has not been reached: it is skipped. It also asserts
    // again once, which reaches the handlers still registered.
    bool bOnce = false;
    first.fnAction = [&]
    {
        tUnregisterAssertHandler(&second);
        if (!bOnce)
        {
            bOnce = true;
            tAssert("inner.cpp", 1, "inner");
        }
    };
    tAssert("outer.cpp", 2, "outer");
    auto expressions = [](const RecordingHandler& h)
    {
        std::vector<std::string> a;
        for (const Report& r : h.aReports)
            a.push_back(r.sExpression);
        return a;
    };
    EXPECT_EQ(expressions(first), (std::vector<std::string>{"outer", "inner"}));
    EXPECT_TRUE(second.aReports.empty());
    EXPECT_EQ(expressions(third), (std::vector<std::string>{"inner", "outer"}));

    tUnregisterAssertHandler(&third);
    tAssert("after.cpp", 3, "after");
    EXPECT_EQ(third.aReports.size(), 2u);
    tRegisterAssertHandler(nullptr); // ignored
    tAssert("after.cpp", 4, "still fine");
}

TEST(Assert, DebugBreakWithoutADebuggerDoesNothing)
{
    if (tcDev::IsDebuggerAttached())
        GTEST_SKIP() << "a debugger is attached";
    tcDev::DebugBreak(); // would end the process with SIGTRAP if it broke
    SUCCEED();
}

TEST(DebugContext, ContextsCloseInAnyOrder)
{
    struct Step
    {
        bool bEnter;
        const char* szName;
        const char* szAfter;
    };
    struct Case
    {
        const char* szWhat;
        std::vector<Step> aSteps;
    };
    const std::vector<Case> aCases = {
        {"nested",
         {{true, "FileSel", "FileSel"},
          {true, "XMLImporter", "FileSel > XMLImporter"},
          {false, "XMLImporter", "FileSel"},
          {false, "FileSel", ""}}},
        {"outer closes first",
         {{true, "A", "A"},
          {true, "B", "A > B"},
          {true, "C", "A > B > C"},
          {false, "A", "B > C"},
          {false, "C", "B"},
          {false, "B", ""}}},
        {"the latest of a name goes",
         {{true, "Import", "Import"},
          {true, "Dlg", "Import > Dlg"},
          {true, "Import", "Import > Dlg > Import"},
          {false, "Import", "Import > Dlg"},
          {false, "Import", "Dlg"},
          {false, "Dlg", ""}}},
        {"unknown name is ignored", {{true, "A", "A"}, {false, "B", "A"}, {false, "A", ""}, {false, "A", ""}}},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        for (const Step& s : c.aSteps)
        {
            if (s.bEnter)
                tDebugContextEnter(wxString::FromUTF8(s.szName));
            else
                tDebugContextLeave(wxString::FromUTF8(s.szName));
            EXPECT_EQ(tDebugContextString(), wxString::FromUTF8(s.szAfter))
                << (s.bEnter ? "enter " : "leave ") << s.szName;
        }
        EXPECT_EQ(tDebugContextDepth(), 0);
    }
}

TEST(DebugContext, ScopesAndContextsShareTheStack)
{
    {
        tcDebugInfo scope("VRGrid::Redraw");
        tDebugContextEnter("VRGrid::Redraw"); // a context of the same name as a scope
        {
            tcDebugInfo inner("xL");
            EXPECT_EQ(tDebugContextString(), "VRGrid::Redraw > VRGrid::Redraw > xL");
            EXPECT_EQ(tDebugContextDepth(), 3);
        }
        tDebugContextLeave("VRGrid::Redraw"); // leaves the context, not the scope
        EXPECT_EQ(tDebugContextString(), "VRGrid::Redraw");
        tDebugContextEnter("FileSel");
    }
    // The scope closed while a context it opened stays open.
    EXPECT_EQ(tDebugContextString(), "FileSel");
    tDebugContextLeave("FileSel");
    EXPECT_EQ(tDebugContextDepth(), 0);
}

TEST(DebugContext, EachThreadHasItsOwnStack)
{
    tDebugContextEnter("Main");
    wxString sOther;
    std::thread worker(
        [&]
        {
            tcDebugInfo scope("Worker");
            sOther = tDebugContextString();
        });
    worker.join();
    EXPECT_EQ(sOther, "Worker");
    EXPECT_EQ(tDebugContextString(), "Main");
    tDebugContextLeave("Main");
}
