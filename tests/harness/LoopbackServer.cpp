#include "tests/harness/LoopbackServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace
{
std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void SendAll(int fd, const std::string& s)
{
    size_t nAt = 0;
    while (nAt < s.size())
    {
        const ssize_t n = ::send(fd, s.data() + nAt, s.size() - nAt, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        nAt += static_cast<size_t>(n);
    }
}

// Reads more bytes into sBuf; false at the end of the stream, an error or a client silent for 10 s.
bool ReadMore(int fd, std::string& sBuf)
{
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 10000) <= 0)
        return false;
    char a[16384];
    const ssize_t n = ::recv(fd, a, sizeof a, 0);
    if (n <= 0)
        return false;
    sBuf.append(a, static_cast<size_t>(n));
    return true;
}

const char* Reason(int nStatus)
{
    switch (nStatus)
    {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}
} // namespace

LoopbackServer::LoopbackServer()
{
    m_nListen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t nLen = sizeof addr;
    if (m_nListen < 0 || ::bind(m_nListen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(m_nListen, 16) != 0 || ::getsockname(m_nListen, reinterpret_cast<sockaddr*>(&addr), &nLen) != 0 ||
        ::pipe2(m_aWake, O_CLOEXEC) != 0)
    {
        std::fprintf(stderr, "LoopbackServer: cannot listen on 127.0.0.1\n");
        std::abort();
    }
    m_nPort = ntohs(addr.sin_port);
    m_thread = std::thread(&LoopbackServer::Run, this);
}

LoopbackServer::~LoopbackServer()
{
    const char c = 'x';
    if (::write(m_aWake[1], &c, 1) < 0)
        std::abort();
    m_thread.join();
    for (int fd : m_aSilent)
        ::close(fd);
    ::close(m_nListen);
    ::close(m_aWake[0]);
    ::close(m_aWake[1]);
}

std::string LoopbackServer::BaseURL() const
{
    return "http://" + HostPort();
}

std::string LoopbackServer::HostPort() const
{
    return "127.0.0.1:" + std::to_string(m_nPort);
}

void LoopbackServer::Push(const Reply& reply)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_aScript.push_back(reply);
}

void LoopbackServer::SetDefault(const Reply& reply)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_default = reply;
}

void LoopbackServer::SetResponder(std::function<Reply(const Request&)> fnResponder)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fnResponder = std::move(fnResponder);
}

std::vector<LoopbackServer::Request> LoopbackServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_aRequests;
}

size_t LoopbackServer::RequestCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_aRequests.size();
}

bool LoopbackServer::WaitForRequests(size_t n, int nTimeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::milliseconds(nTimeoutMs), [&] { return m_aRequests.size() >= n; });
}

void LoopbackServer::Run()
{
    m_default.sBody = "OK";
    for (;;)
    {
        pollfd a[2] = {{m_nListen, POLLIN, 0}, {m_aWake[0], POLLIN, 0}};
        if (::poll(a, 2, -1) < 0)
            continue;
        if (a[1].revents)
            return;
        if (a[0].revents & POLLIN)
        {
            const int fd = ::accept4(m_nListen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                Serve(fd);
        }
    }
}

void LoopbackServer::Serve(int fd)
{
    std::string sBuf;
    size_t nHeadEnd;
    while ((nHeadEnd = sBuf.find("\r\n\r\n")) == std::string::npos)
    {
        if (!ReadMore(fd, sBuf))
        {
            ::close(fd);
            return;
        }
    }
    Request request;
    const std::string sHead = sBuf.substr(0, nHeadEnd);
    sBuf.erase(0, nHeadEnd + 4);
    size_t nLineEnd = sHead.find("\r\n");
    request.sRequestLine = sHead.substr(0, nLineEnd);
    const size_t nSp1 = request.sRequestLine.find(' ');
    const size_t nSp2 = request.sRequestLine.find(' ', nSp1 + 1);
    request.sMethod = request.sRequestLine.substr(0, nSp1);
    request.sTarget = request.sRequestLine.substr(nSp1 + 1, nSp2 - nSp1 - 1);
    while (nLineEnd != std::string::npos)
    {
        const size_t nStart = nLineEnd + 2;
        nLineEnd = sHead.find("\r\n", nStart);
        const std::string sLine = sHead.substr(nStart, nLineEnd == std::string::npos ? nLineEnd : nLineEnd - nStart);
        const size_t nColon = sLine.find(':');
        if (nColon == std::string::npos)
            continue;
        std::string sValue = sLine.substr(nColon + 1);
        sValue.erase(0, sValue.find_first_not_of(' '));
        request.mapHeaders[Lower(sLine.substr(0, nColon))] = sValue;
    }

    if (Lower(request.mapHeaders["expect"]) == "100-continue")
        SendAll(fd, "HTTP/1.1 100 Continue\r\n\r\n");
    if (request.mapHeaders.count("content-length"))
    {
        const size_t nLength = std::strtoul(request.mapHeaders["content-length"].c_str(), nullptr, 10);
        while (sBuf.size() < nLength && ReadMore(fd, sBuf))
        {
        }
        request.sBody = sBuf.substr(0, nLength);
    }
    else if (Lower(request.mapHeaders["transfer-encoding"]) == "chunked")
    {
        for (;;)
        {
            size_t nEol;
            while ((nEol = sBuf.find("\r\n")) == std::string::npos && ReadMore(fd, sBuf))
            {
            }
            if (nEol == std::string::npos)
                break;
            const size_t nChunk = std::strtoul(sBuf.substr(0, nEol).c_str(), nullptr, 16);
            while (sBuf.size() < nEol + 2 + nChunk + 2 && ReadMore(fd, sBuf))
            {
            }
            if (nChunk == 0 || sBuf.size() < nEol + 2 + nChunk)
                break;
            request.sBody += sBuf.substr(nEol + 2, nChunk);
            sBuf.erase(0, std::min(sBuf.size(), nEol + 2 + nChunk + 2));
        }
    }

    Reply reply;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_fnResponder)
            reply = m_fnResponder(request);
        else if (!m_aScript.empty())
        {
            reply = m_aScript.front();
            m_aScript.pop_front();
        }
        else
            reply = m_default;
        m_aRequests.push_back(request);
    }
    m_cv.notify_all();

    switch (reply.eKind)
    {
    case Reply::Kind::Silent:
        m_aSilent.push_back(fd);
        return;
    case Reply::Kind::Close:
        ::close(fd);
        return;
    case Reply::Kind::Answer:
        break;
    }
    std::string sOut = "HTTP/1.1 " + std::to_string(reply.nStatus) + " " + Reason(reply.nStatus) + "\r\n";
    for (const std::string& sHeader : reply.asHeaders)
        sOut += sHeader + "\r\n";
    sOut += "Content-Length: " + std::to_string(reply.sBody.size()) + "\r\nConnection: close\r\n\r\n" + reply.sBody;
    SendAll(fd, sOut);
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

std::vector<LoopbackServer::FormPart> LoopbackServer::ParseMultipart(const Request& request)
{
    std::vector<FormPart> aParts;
    auto it = request.mapHeaders.find("content-type");
    if (it == request.mapHeaders.end() || it->second.rfind("multipart/form-data", 0) != 0)
        return aParts;
    const size_t nBoundary = it->second.find("boundary=");
    if (nBoundary == std::string::npos)
        return aParts;
    std::string sBoundary = it->second.substr(nBoundary + 9);
    if (!sBoundary.empty() && sBoundary.front() == '"')
        sBoundary = sBoundary.substr(1, sBoundary.find('"', 1) - 1);
    const std::string sDelimiter = "--" + sBoundary;
    const std::string& sBody = request.sBody;
    size_t nAt = sBody.find(sDelimiter);
    while (nAt != std::string::npos)
    {
        nAt += sDelimiter.size();
        if (sBody.compare(nAt, 2, "--") == 0)
            break;
        nAt += 2; // CRLF after the delimiter
        const size_t nHeadEnd = sBody.find("\r\n\r\n", nAt);
        const size_t nNext = sBody.find("\r\n" + sDelimiter, nHeadEnd);
        if (nHeadEnd == std::string::npos || nNext == std::string::npos)
            break;
        FormPart part;
        const std::string sHead = sBody.substr(nAt, nHeadEnd - nAt);
        auto Attribute = [&](const std::string& sKey)
        {
            const size_t n = sHead.find(sKey + "=\"");
            if (n == std::string::npos)
                return std::string();
            const size_t nStart = n + sKey.size() + 2;
            return sHead.substr(nStart, sHead.find('"', nStart) - nStart);
        };
        part.sName = Attribute("name");
        part.sFileName = Attribute("filename");
        part.sContent = sBody.substr(nHeadEnd + 4, nNext - nHeadEnd - 4);
        aParts.push_back(part);
        nAt = nNext + 2;
    }
    return aParts;
}

int LoopbackServer::RefusingPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLen = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &nLen);
    ::close(fd);
    return ntohs(addr.sin_port);
}

Watchdog::Watchdog(int nSeconds)
{
    m_thread = std::thread(
        [this, nSeconds]
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_cv.wait_for(lock, std::chrono::seconds(nSeconds), [this] { return m_bDone; }))
            {
                std::fprintf(stderr, "Watchdog: the test still runs after %d s; ending it\n", nSeconds);
                std::fflush(stderr);
                std::_Exit(3);
            }
        });
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bDone = true;
    }
    m_cv.notify_all();
    m_thread.join();
}
