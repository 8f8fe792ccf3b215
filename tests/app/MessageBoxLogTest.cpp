#include "app/MessageBox.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tcAppContext.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
// Nobody is there to answer: the message only reaches the log.
class MessageBoxWithoutUser : public testing::Test
{
protected:
    void SetUp() override { tApp()->SetNoUserInteraction(true); }
    void TearDown() override { tApp()->SetNoUserInteraction(false); }
};

TEST_F(MessageBoxWithoutUser, LogsTheKindPrefixAndTheText)
{
    struct Case
    {
        const wchar_t* szText;
        int nKind;
        const char* szLine;
    };
    static const Case s_cases[] = {
        {L"t", 0, "WARNING: MSG:t"},
        {L"t", wxICON_WARNING, "WARNING: MSG:WARNING:t"},
        {L"t", wxICON_ERROR, "WARNING: MSG:ERROR:t"},
        {L"t", wxICON_QUESTION, "WARNING: MSG:QUESTION:t"},
        {L"t", wxICON_INFORMATION, "WARNING: MSG:INFO:t"},
        // Other kinds show the error icon but have no prefix.
        {L"t", 0x1000, "WARNING: MSG:t"},
        {L"t", wxICON_WARNING | wxOK, "WARNING: MSG:t"},
        {L"t", -5, "WARNING: MSG:t"},
        {nullptr, wxICON_WARNING, "WARNING: MSG:WARNING:"},
        {L"50 % done: %s", 0, "WARNING: MSG:50 % done: %s"},
    };
    for (const Case& c : s_cases)
    {
        SCOPED_TRACE(c.szLine);
        tcLogCapture log;
        tMessageBox(c.szText, L"Title", c.nKind, nullptr);
        EXPECT_EQ(log.Lines(), std::vector<wxString>{c.szLine});
    }
}

TEST_F(MessageBoxWithoutUser, IsSilentOffTheMainThread)
{
    tcLogCapture log;
    std::thread([] { tMessageBox(L"from a worker", nullptr, wxICON_ERROR, nullptr); }).join();
    EXPECT_TRUE(log.Lines().empty());
}
} // namespace
