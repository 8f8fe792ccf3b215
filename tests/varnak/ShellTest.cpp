#include "varnak/include/tShell.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{
struct ShellCall
{
    wxString sTarget;
    wxString sParameters;
};

// Records shell calls in place of launching anything; puts the previous hook back afterwards.
class ShellHookTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_fnPrevious = tSetShellExecuteHook(
            [this](const wxString& sTarget, const wxString& sParameters)
            {
                m_aCalls.push_back({sTarget, sParameters});
                return m_bResult;
            });
    }
    void TearDown() override { tSetShellExecuteHook(m_fnPrevious); }

    std::vector<ShellCall> m_aCalls;
    bool m_bResult = true;

private:
    tcShellExecuteHook m_fnPrevious;
};
} // namespace

TEST_F(ShellHookTest, HookReceivesTheCallAndDecidesTheResult)
{
    const wxString sUrl = "https://example.invalid/app/report.php?app=Lintrado1N&type=assert";
    EXPECT_TRUE(tShellExecute(sUrl));
    m_bResult = false;
    EXPECT_FALSE(tShellExecuteW(L"/tmp/Guide.pdf", L"-page 3"));
    EXPECT_FALSE(tShellExecuteW(L"http://x.invalid/", nullptr));

    ASSERT_EQ(m_aCalls.size(), 3u);
    EXPECT_EQ(m_aCalls[0].sTarget, sUrl);
    EXPECT_EQ(m_aCalls[0].sParameters, "");
    EXPECT_EQ(m_aCalls[1].sTarget, "/tmp/Guide.pdf");
    EXPECT_EQ(m_aCalls[1].sParameters, "-page 3");
    EXPECT_EQ(m_aCalls[2].sParameters, "");
}

TEST_F(ShellHookTest, HookServesWorkerThreadsToo)
{
    std::thread([] { tShellExecute("http://x.invalid/"); }).join();
    ASSERT_EQ(m_aCalls.size(), 1u);
}

// Each of these is refused before anything could be launched.
TEST(Shell, RefusesWhatItCannotOpen)
{
    const tcShellExecuteHook fnPrevious = tSetShellExecuteHook(nullptr);
    EXPECT_FALSE(tShellExecute(""));
    EXPECT_FALSE(tShellExecuteW(nullptr));
    EXPECT_FALSE(tShellExecute("/no/such/folder/file.pdf"));
    EXPECT_FALSE(tShellExecute("https://example.invalid/", "--new-window"));
    bool bFromWorker = true;
    std::thread([&] { bFromWorker = tShellExecute("https://example.invalid/"); }).join();
    EXPECT_FALSE(bFromWorker);
    tSetShellExecuteHook(fnPrevious);
}

TEST(Shell, RecognisesAddresses)
{
    struct Case
    {
        const char* text;
        bool bURL;
    };
    const Case cases[] = {
        {"http://example.invalid", true},
        {"https://example.invalid/a?b=c://d", true},
        {"svn+ssh.v2-x://host", true},
        {"file:///tmp/a.txt", true},
        {"/tmp/a://b", false},
        {"C:/Documents/a.pdf", false},
        {"://host", false},
        {"1http://host", false},
        {"mailto:someone@example.invalid", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tIsURL(c.text), c.bURL) << c.text;
}
