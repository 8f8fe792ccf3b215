#include "Shared/ErrorBoundary.h"

#include "Shared/UserPrompts.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcThreads.h"

#include <gtest/gtest.h>
#include <wx/defs.h>

#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace
{
// Records the messages it is asked to show; optionally fails while showing one.
class RecordingPrompts : public tcSilentUserPrompts
{
public:
    int ShowMessage(const wxString& sText, const wxString& sCaption, long nStyle, wxWindow*) override
    {
        asTexts.push_back(sText);
        asCaptions.push_back(sCaption);
        anStyles.push_back(nStyle);
        if (bFailWhileShowing)
            throw std::runtime_error("the message box broke");
        return wxOK;
    }

    std::vector<wxString> asTexts, asCaptions;
    std::vector<long> anStyles;
    bool bFailWhileShowing = false;
};

class ErrorBoundary : public testing::Test
{
protected:
    void SetUp() override
    {
        tcThreads::SetMainThread();
        tSetUserPrompts(&m_prompts);
    }
    void TearDown() override { tSetUserPrompts(nullptr); }

    RecordingPrompts m_prompts;
};

TEST_F(ErrorBoundary, EveryKindOfExceptionIsLoggedAndShownOnceWithItsReason)
{
    struct Case
    {
        const char* szName;
        std::function<void()> fnThrow;
        const char* szReason;
    } aCases[] = {
        {"text failure", [] { throw TextFailure(L"Datei \u00FCberf\u00FCllt"); }, "Datei \xC3\xBC" "berf\xC3\xBCllt"},
        {"standard exception", [] { throw std::out_of_range("index 7"); }, "index 7"},
        {"anything else", [] { throw 42; }, "unknown error"},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        m_prompts.asTexts.clear();
        tcLogCapture log;
        const bool bFinished = tRunGuarded("the test", nullptr, c.fnThrow);
        EXPECT_FALSE(bFinished);
        const wxString sReason = wxString::FromUTF8(c.szReason);
        EXPECT_TRUE(log.Contains("EXCEPTION in the test: " + sReason));
        ASSERT_EQ(m_prompts.asTexts.size(), 1u);
        EXPECT_TRUE(m_prompts.asTexts[0].Contains(sReason)) << m_prompts.asTexts[0];
        EXPECT_TRUE(m_prompts.anStyles[0] & wxICON_ERROR);
    }
}

TEST_F(ErrorBoundary, WorkThatFinishesShowsNothing)
{
    tcLogCapture log;
    int nRuns = 0;
    EXPECT_TRUE(tRunGuarded("the test", nullptr, [&] { ++nRuns; }));
    EXPECT_EQ(nRuns, 1);
    EXPECT_TRUE(m_prompts.asTexts.empty());
    EXPECT_FALSE(log.Contains("EXCEPTION"));
}

// Neither a worker thread nor a failing message box may turn the report into a second failure.
TEST_F(ErrorBoundary, OffTheMainThreadOrWhenTheMessageFailsItOnlyLogs)
{
    {
        tcLogCapture log;
        std::thread([] { tRunGuarded("a worker", nullptr, [] { throw std::runtime_error("late"); }); }).join();
        EXPECT_TRUE(log.Contains("EXCEPTION in a worker: late"));
        EXPECT_TRUE(m_prompts.asTexts.empty());
    }
    {
        m_prompts.bFailWhileShowing = true;
        tcLogCapture log;
        EXPECT_FALSE(tRunGuarded("the test", nullptr, [] { throw std::runtime_error("first"); }));
        EXPECT_EQ(m_prompts.asTexts.size(), 1u);
        EXPECT_TRUE(log.Contains("EXCEPTION in the test: first"));
        EXPECT_TRUE(log.Contains("EXCEPTION while reporting an exception in the test"));
    }
}
} // namespace
