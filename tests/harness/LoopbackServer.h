#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An HTTP/1.1 server of the tests' own on 127.0.0.1 (a port of the system's choice), answering on
// a thread of its own from a script of replies, one per request, and recording every request.
// It answers "Expect: 100-continue", reads bodies by Content-Length or chunked, and serves as the
// proxy of proxy routes too (requests through a proxy carry the absolute address in their request
// line). Nothing here reaches beyond the machine.
class LoopbackServer
{
public:
    struct Reply
    {
        enum class Kind
        {
            Answer, // send the status, the headers and the body, then close
            Close,  // close the connection without answering
            Silent, // keep the connection open and say nothing until the server stops
        };
        Kind eKind = Kind::Answer;
        int nStatus = 200;
        std::string sBody;
        std::vector<std::string> asHeaders; // "Name: value"
    };

    struct Request
    {
        std::string sRequestLine; // "GET /x HTTP/1.1"
        std::string sMethod;
        std::string sTarget; // "/x", or "http://host:port/x" through a proxy
        std::map<std::string, std::string> mapHeaders; // names in lower case
        std::string sBody;
    };

    // One part of a multipart/form-data body.
    struct FormPart
    {
        std::string sName;
        std::string sFileName; // empty for a plain field
        std::string sContent;
    };

    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return m_nPort; }
    // "http://127.0.0.1:<port>"
    std::string BaseURL() const;
    // "127.0.0.1:<port>", as a proxy route names the server.
    std::string HostPort() const;

    // Replies used in turn; once they are used up, the default reply answers (200, body "OK").
    void Push(const Reply& reply);
    void SetDefault(const Reply& reply);
    // Answers every request by the function instead (called on the server's thread); null
    // returns to the script.
    void SetResponder(std::function<Reply(const Request&)> fnResponder);

    std::vector<Request> Requests() const;
    size_t RequestCount() const;
    // Waits until at least n requests arrived; false when nTimeoutMs pass first (a guard for a
    // test that would otherwise hang, never a measure).
    bool WaitForRequests(size_t n, int nTimeoutMs = 20000) const;

    // The parts of a multipart/form-data request, in their order; empty when it is none.
    static std::vector<FormPart> ParseMultipart(const Request& request);

    // A port that refuses connections: bound, then closed again.
    static int RefusingPort();

private:
    void Run();
    void Serve(int fd);

    int m_nListen = -1;
    int m_nPort = 0;
    int m_aWake[2] = {-1, -1};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    std::deque<Reply> m_aScript;
    Reply m_default;
    std::function<Reply(const Request&)> m_fnResponder;
    std::vector<Request> m_aRequests;
    std::vector<int> m_aSilent; // connections held open without an answer
};

// Ends the test program with a message when it is still armed after nSeconds: a network test
// that hangs must fail, not stall the run.
class Watchdog
{
public:
    explicit Watchdog(int nSeconds = 60);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bDone = false;
    std::thread m_thread;
};
