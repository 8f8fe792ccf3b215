#pragma once

#include "import/TMXImporter.h"
#include "tests/harness/TempHome.h"
#include "varnak/include/tAssert.h"

#include <wx/filefn.h>
#include <wx/string.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// What the memory-manager tests share: memory files in the running test's home, the TMX handler
// registered for the test, assertion reports recorded, and the working directory put back.

// Registers the TMX handler while it lives (unless something else already has).
class TMXHandlerScope
{
public:
    TMXHandlerScope() : m_bRegistered(Init_TMXImporter()) {}
    ~TMXHandlerScope()
    {
        if (m_bRegistered)
            Done_TMXImporter();
    }
    TMXHandlerScope(const TMXHandlerScope&) = delete;
    TMXHandlerScope& operator=(const TMXHandlerScope&) = delete;

private:
    bool m_bRegistered;
};

// One failed assertion as reported.
struct AssertReport
{
    std::string sFile;
    int nLine = 0;
    std::string sExpression;

    bool operator==(const AssertReport& o) const
    {
        return sFile == o.sFile && nLine == o.nLine && sExpression == o.sExpression;
    }
};

inline std::ostream& operator<<(std::ostream& out, const AssertReport& report)
{
    return out << report.sFile << ":" << report.nLine << " " << report.sExpression;
}

// Records failed assertions while it lives.
class AssertLog : public tcAssertHandler
{
public:
    AssertLog() { tRegisterAssertHandler(this); }
    ~AssertLog() override { tUnregisterAssertHandler(this); }
    AssertLog(const AssertLog&) = delete;
    AssertLog& operator=(const AssertLog&) = delete;

    void OnAssert(const char* szFile, int nLine, const char* szExpression, const wchar_t*) override
    {
        reports.push_back({szFile, nLine, szExpression});
    }
    std::vector<AssertReport> reports;
};

// Puts the working directory back when it goes out of scope.
class WorkingDirGuard
{
public:
    WorkingDirGuard() : m_sDir(wxGetCwd()) {}
    ~WorkingDirGuard() { wxSetWorkingDirectory(m_sDir); }
    WorkingDirGuard(const WorkingDirGuard&) = delete;
    WorkingDirGuard& operator=(const WorkingDirGuard&) = delete;

private:
    wxString m_sDir;
};

// The small two-unit memory of the test fixtures (English with German and French variants).
inline std::filesystem::path MemoryFixture()
{
    return std::filesystem::path(LINTRADO_FIXTURES_DIR) / "xml" / "memory.tmx";
}

// sName (which may name sub-folders) in the running test's home.
inline std::filesystem::path HomeFile(const std::string& sName)
{
    return TempHomeListener::Current() / sName;
}

// A copy of the fixture memory at sName in the test's home; returns its path.
inline std::filesystem::path CopyMemory(const std::string& sName)
{
    const std::filesystem::path target = HomeFile(sName);
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(MemoryFixture(), target, std::filesystem::copy_options::overwrite_existing);
    return target;
}

// Writes sBytes as sName in the test's home; returns its path.
inline std::filesystem::path WriteHomeBytes(const std::string& sName, const std::string& sBytes)
{
    const std::filesystem::path target = HomeFile(sName);
    std::filesystem::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << sBytes;
    return target;
}

// A file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline wxString ToWx(const std::filesystem::path& path)
{
    return wxString::FromUTF8(path.string());
}
