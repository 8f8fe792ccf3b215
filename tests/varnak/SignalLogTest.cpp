// The parts of the log that a fatal-signal handler reads and writes.
#include "varnak/include/kvSignalLog.h"

#include "tests/varnak/TestSupport.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcDebugInfo.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace
{
std::string Recent(size_t nSize)
{
    std::string s(nSize, '\0');
    s.resize(kvSignalSafe::CopyRecent(s.data(), s.size()));
    return s;
}

TEST(SignalLog, RecentLinesAreWholeAndNewestLast)
{
    for (int i = 0; i < 3; ++i)
        kvLog(L"signal ring line %d", i);
    const std::string sAll = Recent(64 * 1024);
    EXPECT_TRUE(std::regex_search(sAll, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} signal ring line 2\n$)")))
        << sAll.substr(sAll.size() > 200 ? sAll.size() - 200 : 0);

    // A small buffer gets the newest whole lines only.
    const std::string sSmall = Recent(100);
    EXPECT_LE(sSmall.size(), 100u);
    EXPECT_TRUE(std::regex_match(sSmall, std::regex(R"((\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} [^\n]*\n)+)"))) << sSmall;
    EXPECT_NE(std::string::npos, sSmall.find("signal ring line 2\n"));
}

TEST(SignalLog, LinesGoToTheLogFileInItsOwnFormat)
{
    const wxString sFile = HomePath("signal.log");
    ASSERT_TRUE(kvLogInit(sFile));
    kvSignalSafe::LogLine("ERROR: FATAL EXCEPTION");
    kvLogDone();
    kvSignalSafe::LogLine("after the log closed");
    const std::string sText = ReadBytes(sFile);
    EXPECT_TRUE(std::regex_match(sText, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} ERROR: FATAL EXCEPTION\n)")))
        << sText;
}

TEST(SignalLog, NumbersAndTheDebugContextAreWrittenWithoutTheLibrary)
{
    char a[32];
    const std::pair<uint64_t, const char*> aNumbers[] = {
        {0, "0"}, {7, "7"}, {4294967296ull, "4294967296"}, {18446744073709551615ull, "18446744073709551615"}};
    for (const auto& [n, sz] : aNumbers)
        EXPECT_EQ(sz, std::string(a, kvSignalSafe::FormatUnsigned(a, n)));

    tcDebugInfo scope("VRGrid::Redraw");
    tDebugContextEnter(L"Übersetzung \u4e2d");
    char aContext[256];
    EXPECT_EQ(tDebugContextString().utf8_string(),
              std::string(aContext, tDebugContextCopyUTF8(aContext, sizeof aContext)));
    // Cut where it does not fit, never inside a character.
    EXPECT_EQ("VRGrid::Redraw > ", std::string(aContext, tDebugContextCopyUTF8(aContext, 18)));
    tDebugContextLeave(L"Übersetzung \u4e2d");
}
} // namespace
