#include "Shared/Internet.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tNumber.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDebugInfo.h"

#include <curl/curl.h>

namespace
{
constexpr size_t kMaxURLBytes = 16383;
constexpr size_t kMaxProxyBytes = 8191;
} // namespace

tcWorkSendFile::tcWorkSendFile(const std::wstring& sFilePath, const std::string& sURL,
                               const std::map<std::string, std::string>* pFields, int nRetries)
    : m_nRetriesLeft(nRetries), m_sFilePath(sFilePath), m_sURL(sURL)
{
    if (pFields)
        m_mapFormFields = *pFields;
}

tcWorkSendFile::~tcWorkSendFile() = default;

void tcWorkSendFile::OnSendDone(int, const std::wstring&, const std::string&)
{
}

void tcWorkSendFile::SetTimeouts(long nConnect, long nLowSpeedTime, long nTotal)
{
    m_nConnectTimeout = nConnect;
    m_nLowSpeedTime = nLowSpeedTime;
    m_nTotalTimeout = nTotal;
}

size_t tSendFileWriteCallback(char* pData, size_t nSize, size_t nCount, void* pItem)
{
    if (pItem)
        static_cast<tcWorkSendFile*>(pItem)->m_sResponse.append(pData, nSize * nCount);
    return nSize * nCount;
}

int tcWorkSendFile::ProgressCallback(void* pItem, long long, long long, long long, long long)
{
    const tcWorkSendFile* pSelf = static_cast<const tcWorkSendFile*>(pItem);
    return pSelf->m_pAbort && pSelf->m_pAbort->load() ? 1 : 0;
}

bool tcWorkSendFile::DoWork()
{
    tcDebugInfo debugInfo("SendFileDoWork");
    m_bAborted = false;
    kvLog(L">>> SendFile: 0: %S", m_sURL.c_str());
    if (m_sFilePath.empty() || !tFileExists(m_sFilePath))
        return true;
    const int64_t nSize = tGetFileSizeW(m_sFilePath);
    kvLog(L">>> SendFile: 1 %s (filesize:%s)", m_sFilePath.c_str(), tCommafyIntC(nSize < 0 ? 0 : nSize));

    if (m_sURL.size() > kMaxURLBytes)
    {
        kvLog(L">>> SendFile: address of %d bytes is too long, not sent", static_cast<int>(m_sURL.size()));
        OnSendDone(CURLE_URL_MALFORMAT, m_sFilePath, std::string());
        return true;
    }
    CURL* pCurl = curl_easy_init();
    if (!pCurl)
        return false;
    tcLog::LogStr(">>> SendFile: 2");
    curl_easy_setopt(pCurl, CURLOPT_NOSIGNAL, 1L);
    // The progress callback is the way to stop a running upload when the queue shuts down.
    curl_easy_setopt(pCurl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(pCurl, CURLOPT_XFERINFOFUNCTION, &tcWorkSendFile::ProgressCallback);
    curl_easy_setopt(pCurl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(pCurl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(pCurl, CURLOPT_CONNECTTIMEOUT, m_nConnectTimeout);
    curl_easy_setopt(pCurl, CURLOPT_LOW_SPEED_LIMIT, m_nLowSpeedTime > 0 ? 1L : 0L);
    curl_easy_setopt(pCurl, CURLOPT_LOW_SPEED_TIME, m_nLowSpeedTime);
    curl_easy_setopt(pCurl, CURLOPT_TIMEOUT, m_nTotalTimeout);
    curl_easy_setopt(pCurl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(pCurl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    tcLog::LogStr(">>> SendFile: 3");
    tcLog::LogStr(">>> SendFile: 4");

    // libcurl reads the file while it sends; the path has to live as long as the item.
    m_asTransferStrings.clear();
    m_asTransferStrings.push_back(tToUTF8(m_sFilePath));
    curl_mime* pForm = curl_mime_init(pCurl);
    curl_mimepart* pPart = curl_mime_addpart(pForm);
    curl_mime_name(pPart, "file1");
    curl_mime_filedata(pPart, m_asTransferStrings.back().c_str());
    pPart = curl_mime_addpart(pForm);
    curl_mime_name(pPart, "submit");
    curl_mime_data(pPart, "send", CURL_ZERO_TERMINATED);
    for (const auto& [sName, sValue] : m_mapFormFields)
    {
        pPart = curl_mime_addpart(pForm);
        curl_mime_name(pPart, sName.c_str());
        curl_mime_data(pPart, sValue.data(), sValue.size());
    }

    const wxString sSystemProxy = tGetSystemProxy();
    if (!sSystemProxy.empty())
    {
        kvLog(L"USING PROXY [%s]", sSystemProxy);
        m_asTransferStrings.push_back(tToUTF8(sSystemProxy));
        if (m_asTransferStrings.back().size() <= kMaxProxyBytes)
            curl_easy_setopt(pCurl, CURLOPT_PROXY, m_asTransferStrings.back().c_str());
    }
    curl_easy_setopt(pCurl, CURLOPT_MIMEPOST, pForm);
    curl_easy_setopt(pCurl, CURLOPT_URL, m_sURL.c_str());
    curl_easy_setopt(pCurl, CURLOPT_WRITEFUNCTION, tSendFileWriteCallback);
    curl_easy_setopt(pCurl, CURLOPT_WRITEDATA, this);
    m_asHeaderLines.clear();
    curl_easy_setopt(pCurl, CURLOPT_HEADERDATA, &m_asHeaderLines);
    curl_easy_setopt(pCurl, CURLOPT_HEADERFUNCTION, tCURLWriteHeaderCallback);
    curl_easy_setopt(pCurl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(pCurl, CURLOPT_MAXREDIRS, 30L);

    tcLog::LogStr(">>> SendFile: Perform");
    int nResult = tGetURLPerformHelper(pCurl);
    kvLog(L">>> SendFile:RET:%d%s", nResult, nResult != 0 ? L" (FAILED)" : L"");
    const int nRetriesAllowed = m_nRetriesLeft;
    while (nResult != 0 && nResult != CURLE_ABORTED_BY_CALLBACK && m_nRetriesLeft > 0)
    {
        --m_nRetriesLeft;
        ++m_nRetriesDone;
        kvLog(L">>> SendFile:RETRY ATTEMPT %d of %d", m_nRetriesDone, nRetriesAllowed);
        m_asHeaderLines.clear();
        m_sResponse.clear();
        nResult = tGetURLPerformHelper(pCurl);
    }

    const int nLines = static_cast<int>(m_asHeaderLines.size());
    for (int i = 0; i < nLines; ++i)
        kvLog(L">>> HEADER[%d/%d]: %S", i + 1, nLines, m_asHeaderLines[i].c_str());
    curl_mime_free(pForm);
    curl_easy_cleanup(pCurl);
    kvLog(L">>> SendFile RESULT: %s", kvFromUTF8(m_sResponse));

    if (nResult == CURLE_ABORTED_BY_CALLBACK && m_pAbort && m_pAbort->load())
    {
        // Stopped from outside (the program is closing): neither sent nor failed.
        m_bAborted = true;
        kvLog(L">>> SendFile: aborted");
        return true;
    }
    OnSendDone(nResult, m_sFilePath, m_sResponse);
    return true;
}
