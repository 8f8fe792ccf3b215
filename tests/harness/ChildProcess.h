#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

// A program started by a test, with the test's environment changed by "NAME=value" entries;
// killed when the test leaves it running. Header only.
class ChildProcess
{
public:
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& asArgs,
                 const std::vector<std::string>& asSetEnv)
    {
        std::vector<std::string> asEnv;
        for (char** p = environ; *p; ++p)
        {
            const std::string sVar(*p);
            bool bReplaced = false;
            for (const std::string& sSet : asSetEnv)
                bReplaced = bReplaced || sVar.rfind(sSet.substr(0, sSet.find('=') + 1), 0) == 0;
            if (!bReplaced)
                asEnv.push_back(sVar);
        }
        asEnv.insert(asEnv.end(), asSetEnv.begin(), asSetEnv.end());
        std::vector<std::string> asArgv{program.string()};
        asArgv.insert(asArgv.end(), asArgs.begin(), asArgs.end());
        std::vector<char*> argv, envp;
        for (std::string& s : asArgv)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        for (std::string& s : asEnv)
            envp.push_back(s.data());
        envp.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
    }

    ~ChildProcess()
    {
        if (m_pid > 0 && !m_bExited)
        {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_pid > 0; }

    // Whether the program still runs (it has neither ended nor failed to start).
    bool IsRunning()
    {
        if (m_pid > 0 && !m_bExited && waitpid(m_pid, &m_nStatus, WNOHANG) == m_pid)
            m_bExited = true;
        return m_pid > 0 && !m_bExited;
    }

    // Waits for the end; false when nTimeoutMs pass first (a guard, not a measure).
    bool Wait(int nTimeoutMs = 90000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
        while (IsRunning() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return m_bExited;
    }

    // After Wait: the exit code, or -1 when a signal ended the program.
    int ExitCode() const { return m_bExited && WIFEXITED(m_nStatus) ? WEXITSTATUS(m_nStatus) : -1; }
    // After Wait: the signal that ended the program, or 0.
    int Signal() const { return m_bExited && WIFSIGNALED(m_nStatus) ? WTERMSIG(m_nStatus) : 0; }

private:
    pid_t m_pid = -1;
    bool m_bExited = false;
    int m_nStatus = 0;
};

// Polls until fnCondition holds; false when nTimeoutMs pass first (a guard, not a measure).
template <typename Fn> bool WaitFor(Fn fnCondition, int nTimeoutMs = 60000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    while (!fnCondition())
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
