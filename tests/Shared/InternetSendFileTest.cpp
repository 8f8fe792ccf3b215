// The upload work item, run directly (no queue) against a loopback server.
#include "tests/Shared/NetFixture.h"

#include "varnak/include/kvLog.h"

#include <curl/curl.h>

namespace
{
// Records what the item reports.
class RecordingSend : public tcWorkSendFile
{
public:
    using tcWorkSendFile::tcWorkSendFile;
    void OnSendDone(int nResult, const std::wstring& sPath, const std::string& sResponse) override
    {
        ++nCalls;
        nLastResult = nResult;
        sLastPath = sPath;
        sLastResponse = sResponse;
    }
    int nCalls = 0;
    int nLastResult = -1;
    std::wstring sLastPath;
    std::string sLastResponse;
};

class SendFile : public NetFixture
{
protected:
    void SetUp() override
    {
        NetFixture::SetUp();
        InitWith("");
        // Bytes that a text-mode or NUL-terminated path would damage.
        m_sContent = std::string("PK\x03\x04\0\r\n--binary\xff", 14) + std::string(5000, 'z');
        m_sPath = WriteHomeFile("Pending/report.zip", m_sContent).ToStdWstring();
    }

    std::string m_sContent;
    std::wstring m_sPath;
};

TEST_F(SendFile, RetriesAgainstAFailingServerThenReportsTheLastCode)
{
    LoopbackServer server;
    server.SetDefault({LoopbackServer::Reply::Kind::Answer, 500, "no", {}});
    RecordingSend item(m_sPath, server.BaseURL() + "/up", nullptr, 2);
    tcLogCapture log;
    EXPECT_TRUE(item.DoWork());
    EXPECT_EQ(3u, server.RequestCount());
    EXPECT_TRUE(log.Contains(">>> SendFile:RETRY ATTEMPT 1 of 2"));
    EXPECT_TRUE(log.Contains(">>> SendFile:RETRY ATTEMPT 2 of 2"));
    EXPECT_FALSE(log.Contains("RETRY ATTEMPT 3"));
    EXPECT_EQ(1, item.nCalls);
    EXPECT_EQ(CURLE_HTTP_RETURNED_ERROR, item.nLastResult);
    EXPECT_EQ(m_sPath, item.sLastPath);
}

TEST_F(SendFile, ASuccessfulRetryKeepsOnlyItsOwnResponse)
{
    LoopbackServer server;
    server.Push({LoopbackServer::Reply::Kind::Close, 0, "", {}});
    server.Push({LoopbackServer::Reply::Kind::Answer, 200, "second", {"X-Test: yes"}});
    RecordingSend item(m_sPath, server.BaseURL() + "/up", nullptr, 3);
    tcLogCapture log;
    EXPECT_TRUE(item.DoWork());
    EXPECT_EQ(2u, server.RequestCount());
    EXPECT_EQ(1, item.nCalls);
    EXPECT_EQ(0, item.nLastResult);
    EXPECT_EQ("second", item.sLastResponse);
    EXPECT_TRUE(log.Contains(">>> SendFile RESULT: second"));
    EXPECT_TRUE(log.Contains("X-Test: yes"));
}

TEST_F(SendFile, TheFormHoldsTheFileThenSubmitThenTheFieldsByName)
{
    LoopbackServer server;
    const std::map<std::string, std::string> fields{{"zeta", "last"}, {"alpha", "first"}, {"mid", "a b&c"}};
    RecordingSend item(m_sPath, server.BaseURL() + "/app/postreport.php", &fields, 0);
    EXPECT_TRUE(item.DoWork());
    ASSERT_EQ(1u, server.RequestCount());
    const LoopbackServer::Request request = server.Requests()[0];
    EXPECT_EQ("POST /app/postreport.php HTTP/1.1", request.sRequestLine);
    const std::vector<LoopbackServer::FormPart> parts = LoopbackServer::ParseMultipart(request);
    ASSERT_EQ(5u, parts.size());
    EXPECT_EQ("file1", parts[0].sName);
    EXPECT_EQ("report.zip", parts[0].sFileName);
    EXPECT_EQ(m_sContent, parts[0].sContent);
    const std::pair<const char*, const char*> aFields[] = {
        {"submit", "send"}, {"alpha", "first"}, {"mid", "a b&c"}, {"zeta", "last"}};
    for (size_t i = 0; i < 4; ++i)
    {
        EXPECT_EQ(aFields[i].first, parts[i + 1].sName);
        EXPECT_EQ(aFields[i].second, parts[i + 1].sContent);
        EXPECT_EQ("", parts[i + 1].sFileName);
    }
}

TEST_F(SendFile, AMissingFileSendsNothingAndReportsNothing)
{
    LoopbackServer server;
    RecordingSend item(HomePath("Pending/gone.zip").ToStdWstring(), server.BaseURL(), nullptr, 2);
    EXPECT_TRUE(item.DoWork());
    EXPECT_EQ(0u, server.RequestCount());
    EXPECT_EQ(0, item.nCalls);
}

TEST_F(SendFile, AHangingUploadEndsByItsLimitsOrAtOnceByTheAbortFlag)
{
    LoopbackServer server;
    server.SetDefault({LoopbackServer::Reply::Kind::Silent, 200, "", {}});
    {
        RecordingSend item(m_sPath, server.BaseURL(), nullptr, 0);
        item.SetTimeouts(5, 0, 1);
        EXPECT_TRUE(item.DoWork());
        EXPECT_EQ(1, item.nCalls);
        EXPECT_EQ(CURLE_OPERATION_TIMEDOUT, item.nLastResult);
    }
    {
        // Raised before the transfer starts: the first progress call stops it, with no retry and
        // no outcome, since the upload neither worked nor failed.
        std::atomic<bool> bAbort{true};
        RecordingSend item(m_sPath, server.BaseURL(), nullptr, 3);
        item.SetAbortFlag(&bAbort);
        tcLogCapture log;
        EXPECT_TRUE(item.DoWork());
        EXPECT_TRUE(item.WasAborted());
        EXPECT_EQ(0, item.nCalls);
        EXPECT_FALSE(log.Contains("RETRY ATTEMPT"));
    }
}
} // namespace
