#include "varnak/include/kvLog.h"

#include "tests/harness/TempHome.h"
#include "tests/varnak/TestSupport.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace
{
std::vector<std::string> ReadLines(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> aLines;
    std::string sLine;
    while (std::getline(in, sLine))
        aLines.push_back(sLine);
    return aLines;
}

// The text of a file line after its "YYYY-MM-DD HH:MM:SS.mmm " prefix; fails the test without it.
std::string Text(const std::string& sLine)
{
    static const std::regex reTime(R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} )");
    EXPECT_TRUE(std::regex_search(sLine, reTime)) << sLine;
    return sLine.size() >= 24 ? sLine.substr(24) : std::string();
}

std::vector<std::string> Texts(const fs::path& path)
{
    std::vector<std::string> aTexts;
    for (const std::string& sLine : ReadLines(path))
        aTexts.push_back(Text(sLine));
    return aTexts;
}

wxString W(const char* szUtf8)
{
    return wxString::FromUTF8(szUtf8);
}

class LogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = TempHomeListener::Current();
        m_log = m_dir / "Log64.txt";
        m_bNoUserInteraction = tApp()->GetNoUserInteraction();
    }
    void TearDown() override
    {
        kvLogDone();
        kvSetVisibleWarningShower(nullptr);
        tApp()->SetNoUserInteraction(m_bNoUserInteraction);
    }
    bool Open() { return kvLogInit(wxString::FromUTF8(m_log.string())); }

    fs::path m_dir;
    fs::path m_log;
    bool m_bNoUserInteraction = false;
};
} // namespace

TEST_F(LogTest, WideAndNarrowTextReachSinksAndFileAndEachLineIsFlushed)
{
    const char* szNarrow = "žluťoučký 日本語 \xF0\x9D\x84\x9E"; // U+1D11E outside the BMP
    const std::string sExpected = std::string("wide žluťoučký 日本語 \xF0\x9D\x84\x9E | narrow ") + szNarrow + " | 7";
    ASSERT_TRUE(Open());
    EXPECT_EQ(kvLogFilename(), wxString::FromUTF8(m_log.string()));
    tcLogCapture capture;
    kvLog(L"wide %s | narrow %S | %d", L"žluťoučký 日本語 \U0001D11E", szNarrow, 7);

    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0], wxString::FromUTF8(sExpected)); // sinks get the plain text
    // Read while the log is still open: the line is already in the file.
    EXPECT_EQ(Texts(m_log), std::vector<std::string>{sExpected});

    kvLogDone();
    EXPECT_EQ(kvLogFilename(), wxString());
    kvLog(L"after done");
    EXPECT_EQ(Texts(m_log), std::vector<std::string>{sExpected});
    EXPECT_TRUE(capture.Contains("after done")) << "sinks still get lines without a file";
}

TEST_F(LogTest, SurrogateHalvesHeldAsUnitsReachTheFileAsOneCharacter)
{
    ASSERT_TRUE(Open());
    // Text built from UTF-16 units; a lone half must not cost the line, only itself.
    kvLog(L"%s|%s", wxString(L"\xD83D\xDE00", 2), wxString(L"\xDC00", 1));
    EXPECT_EQ(Texts(m_log), std::vector<std::string>{"\xF0\x9F\x98\x80|\xEF\xBF\xBD"});
}

TEST_F(LogTest, LineFormsAndAppending)
{
    {
        std::ofstream(m_log) << "earlier session\n";
    }
    ASSERT_TRUE(Open());
    kvLogError(L"FATAL EXCEPTION");
    kvLogN(L"<%s>", L"SEGMENT");
    tcLog::Log(W("BrindovaFrame::OnNew"));
    tcLog::Log("ExecPath   :");
    tcLog::LogStr(W("/opt/lintrado/bin\n"), true);
    tcLog::LogStr("Error setting SRX language\r\n");
    tcLog::Log(static_cast<const char*>(nullptr));
    tcLog::LogStr("bad \xFF byte");
    kvLog(nullptr);

    const std::vector<std::string> aLines = ReadLines(m_log);
    ASSERT_EQ(aLines.size(), 10u);
    EXPECT_EQ(aLines[0], "earlier session");
    const std::vector<std::string> aWant = {"ERROR: FATAL EXCEPTION",
                                            "<SEGMENT>",
                                            "BrindovaFrame::OnNew",
                                            "ExecPath   :",
                                            "/opt/lintrado/bin",
                                            "Error setting SRX language",
                                            "(null)",
                                            "bad \xEF\xBF\xBD byte",
                                            ""};
    for (size_t i = 0; i < aWant.size(); ++i)
        EXPECT_EQ(Text(aLines[i + 1]), aWant[i]);
}

TEST_F(LogTest, OpeningFailsCleanlyAndASecondInitSwitchesFiles)
{
    tcLogCapture capture;
    EXPECT_FALSE(kvLogInit(wxString::FromUTF8((m_dir / "missing" / "Log64.txt").string())));
    EXPECT_EQ(kvLogFilename(), wxString());
    kvLog(L"still reaches the sinks");
    EXPECT_TRUE(capture.Contains("still reaches the sinks"));
    EXPECT_FALSE(fs::exists(m_dir / "missing"));

    const fs::path other = m_dir / "Other.txt";
    ASSERT_TRUE(Open());
    kvLog(L"one");
    ASSERT_TRUE(kvLogInit(wxString::FromUTF8(other.string())));
    kvLog(L"two");
    EXPECT_EQ(Texts(m_log), std::vector<std::string>{"one"});
    EXPECT_EQ(Texts(other), std::vector<std::string>{"two"});
}

TEST_F(LogTest, LinesFromManyThreadsStayWhole)
{
    constexpr int kThreads = 8;
    constexpr int kLines = 400;
    const std::wstring sPayload = std::wstring(300, L'x') + L"žluť日本語";
    ASSERT_TRUE(Open());
    tcLogCapture capture;
    std::vector<std::thread> aThreads;
    for (int t = 0; t < kThreads; ++t)
        aThreads.emplace_back(
            [&, t]
            {
                for (int i = 0; i < kLines; ++i)
                {
                    if (i % 2)
                        kvLog(L"thread %d line %d %s", t, i, sPayload.c_str());
                    else
                        tcLog::Log(wxString::Format("thread %d line %d ", t, i) + sPayload);
                }
            });
    for (std::thread& th : aThreads)
        th.join();

    const std::regex reLine(R"(^thread (\d+) line (\d+) x{300}žluť日本語$)");
    auto check = [&](const std::vector<std::string>& aTexts)
    {
        ASSERT_EQ(aTexts.size(), static_cast<size_t>(kThreads * kLines));
        std::map<int, int> next; // per thread, its lines arrive in order
        for (const std::string& s : aTexts)
        {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(s, m, reLine)) << s.substr(0, 80);
            const int t = std::stoi(m[1]);
            EXPECT_EQ(std::stoi(m[2]), next[t]++);
        }
    };
    check(Texts(m_log));
    std::vector<std::string> aCaptured;
    for (const wxString& s : capture.Lines())
        aCaptured.push_back(s.utf8_string());
    check(aCaptured);
}

TEST_F(LogTest, VisibleWarningIsShownOnlyWithUserInteraction)
{
    struct Case
    {
        bool bNoUserInteraction;
        bool bShown;
    };
    for (const Case& c : {Case{true, false}, Case{false, true}})
    {
        SCOPED_TRACE(c.bNoUserInteraction ? "no user interaction" : "user interaction");
        std::vector<wxString> aShown;
        kvSetVisibleWarningShower([&](const wxString& s) { aShown.push_back(s); });
        tApp()->SetNoUserInteraction(c.bNoUserInteraction);
        tcLogCapture capture;
        kvLogVisibleWarning(L"Invalid entry ID (%s)", L"x7");
        EXPECT_EQ(capture.Lines(), std::vector<wxString>{"WARNING: Invalid entry ID (x7)"});
        EXPECT_EQ(aShown, c.bShown ? std::vector<wxString>{"Invalid entry ID (x7)"} : std::vector<wxString>{});
    }
    // Without a shower, and with one that throws, the warning is still only logged.
    tApp()->SetNoUserInteraction(false);
    kvSetVisibleWarningShower(nullptr);
    tcLogCapture capture;
    kvLogVisibleWarning(L"no shower");
    kvSetVisibleWarningShower([](const wxString&) { throw std::runtime_error("no display"); });
    kvLogVisibleWarning(L"failing shower");
    EXPECT_EQ(capture.Lines(), (std::vector<wxString>{"WARNING: no shower", "WARNING: failing shower"}));
}

TEST_F(LogTest, SinksMayLogThrowOrGoAway)
{
    tcLogCapture capture;
    int nEchoes = 0;
    const int nEcho = kvAddLogSink(
        [&](const wxString& s)
        {
            ++nEchoes;
            kvLog(L"echo of %s", s.wc_str()); // must not come back to the sinks
        });
    const int nThrower = kvAddLogSink([](const wxString&) { throw std::runtime_error("sink failed"); });
    ASSERT_TRUE(Open());
    kvLog(L"first");
    kvRemoveLogSink(nEcho);
    kvRemoveLogSink(nThrower);
    kvLog(L"second");
    EXPECT_EQ(nEchoes, 1);
    EXPECT_EQ(capture.Lines(), (std::vector<wxString>{"first", "second"}));
    EXPECT_EQ(Texts(m_log), (std::vector<std::string>{"first", "echo of first", "second"}));
    capture.Clear();
    EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(LogTest, ErrorLogHoldsContextAndTheLastLinesAndNeverOverwrites)
{
    ASSERT_TRUE(Open());
    for (int i = 0; i < 250; ++i)
        kvLog(L"ring-%03d", i);
    tDebugContextEnter("XMLImporter");
    const wxString sPath = kvSaveErrorLog(false, "Exception", "0123456789ABCDEF0123456789ABCDEF");
    tDebugContextLeave("XMLImporter");
    ASSERT_FALSE(sPath.empty());
    const fs::path path = sPath.utf8_string();
    EXPECT_EQ(path.parent_path(), m_dir / "ErrorLogs");
    EXPECT_EQ(path.filename(), "ErrorLog_0123456789ABCDEF0123456789ABCDEF.txt");

    const std::string sContent = ReadBytes(path);
    for (const char* szPart : {"Title: Exception\n", "Identifier: 0123456789ABCDEF0123456789ABCDEF\n",
                               "Debug context: XMLImporter\n", "ring-050\n", "ring-249\n"})
        EXPECT_NE(sContent.find(szPart), std::string::npos) << szPart;
    EXPECT_EQ(sContent.find("ring-049"), std::string::npos) << "only the last 200 lines are kept";
    EXPECT_TRUE(std::regex_search(sContent, std::regex(R"(\nTime: \d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\n)")));

    // The same identifier again: a new file beside the first, which stays as it was.
    const wxString sSecond = kvSaveErrorLog(false, "Exception", "0123456789ABCDEF0123456789ABCDEF");
    EXPECT_EQ(fs::path(sSecond.utf8_string()).filename(), "ErrorLog_0123456789ABCDEF0123456789ABCDEF-2.txt");
    EXPECT_EQ(ReadBytes(path), sContent);

    // With the time, and with an identifier that has nothing usable for a file name.
    const wxString sTimed = kvSaveErrorLog(true, "Assert", "../../");
    EXPECT_TRUE(std::regex_match(fs::path(sTimed.utf8_string()).filename().string(),
                                 std::regex(R"(ErrorLog_\d{8}-\d{6}(-\d+)?\.txt)")))
        << sTimed;
}

TEST_F(LogTest, ErrorLogWithoutALogGoesToTheTemporaryFolder)
{
    const char* szOld = std::getenv("TMPDIR");
    const std::string sOld = szOld ? szOld : "";
    const fs::path tmp = m_dir / "tmp";
    fs::create_directories(tmp);
    setenv("TMPDIR", tmp.c_str(), 1);
    const wxString sPath = kvSaveErrorLog(false, "Exception", "");
    if (szOld)
        setenv("TMPDIR", sOld.c_str(), 1);
    else
        unsetenv("TMPDIR");
    EXPECT_EQ(fs::path(sPath.utf8_string()), tmp / "ErrorLogs" / "ErrorLog.txt");
}

TEST_F(LogTest, ErrorLogThatCannotBeWrittenReturnsNothing)
{
    ASSERT_TRUE(Open());
    {
        std::ofstream(m_dir / "ErrorLogs") << "a file where the folder should be";
    }
    EXPECT_EQ(kvSaveErrorLog(true, "Exception", "id"), wxString());
}
