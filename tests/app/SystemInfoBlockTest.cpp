#include "app/SystemInfoBlock.h"

#include <gtest/gtest.h>

namespace
{
class FakeSysInfo : public ISysInfo
{
public:
    wxString GetDate() const override { return "2024-03-05"; }
    wxString GetTime() const override { return "09:08:07"; }
    int GetMajorVersion() const override { return 3; }
    wxString GetOSName() const override { return "Linux 6.1.0"; }
    wxString GetLocaleName() const override { return "C.UTF-8"; }
    wxString GetBuildDate() const override { return "Mar  1 2024"; }
    wxString GetBuildTime() const override { return "12:00:00"; }
    int GetCompilerVersion() const override { return 120200; }
    int GetCPUCount() const override { return 4; }
    bool Is64Bit() const override { return true; }
    bool IsLittleEndian() const override { return false; }
    wxString GetOSDescription() const override { return "Linux 6.1.0 x86_64"; }
    int64_t GetFreeMemory() const override { return 2048000; }
    bool GetDiskSpace(const wxString& sPath, int64_t& nFree, int64_t& nTotal) const override
    {
        m_sDiskPath = sPath;
        nFree = m_nDiskFree;
        nTotal = m_nDiskTotal;
        return m_bDiskOk;
    }
    tcMemoryStatus GetMemoryStatus() const override
    {
        tcMemoryStatus status;
        status.nMemoryLoad = 42;
        status.nTotalPhys = 1;
        status.nAvailPhys = 2;
        status.nTotalPageFile = 3;
        status.nAvailPageFile = 4;
        status.nTotalVirtual = 5000;
        status.nAvailVirtual = 6;
        return status;
    }
    bool InitializeMemInfo() override
    {
        ++m_nMemInfoCalls;
        return m_bMemInfoOk;
    }

    bool m_bDiskOk = true;
    int64_t m_nDiskFree = 1000;
    int64_t m_nDiskTotal = 1234567;
    bool m_bMemInfoOk = true;
    int m_nMemInfoCalls = 0;
    mutable wxString m_sDiskPath;
};

const tcSysInfoPaths kPaths{"/opt/lt/bin/lintrado", "/opt/lt",      "/home/u/.local/share/Lintrado/Log64.txt",
                            "/opt/lt/Data",         "/opt/lt/Data", "/opt/lt/Data/Lintrado",
                            L"/opt/lt/bin"};

TEST(SystemInfoBlock, LinesComeInTheirOrderBetweenHyphenLines)
{
    FakeSysInfo info;
    const wxString sHyphens(wxUniChar('-'), 49);

    std::vector<wxString> lines = FormatSystemInfo(info, kPaths);

    const std::vector<wxString> expected = {
        sHyphens,
        "DATETIME        : 2024-03-05 09:08:07",
        "App major version: 3",
        "Operating System: Linux 6.1.0",
        "Locale          : C.UTF-8",
        "Build date/time : Mar  1 2024 12:00:00",
        "GCC version     : 120200",
        "AppPathFull: /opt/lt/bin/lintrado",
        "AppPath    : /opt/lt",
        "LogFilename: /home/u/.local/share/Lintrado/Log64.txt",
        "LibDataPath: /opt/lt/Data",
        "DataPath   : /opt/lt/Data",
        "AppDataPath: /opt/lt/Data/Lintrado",
        "ExecPath   :",
        "/opt/lt/bin",
        "Cores/CPUs      : 4",
        "64-bit          : YES",
        "Little-endian   : NO",
        "OS description  : Linux 6.1.0 x86_64",
        "Free memory     : 2,048,000",
        "Disk free       : 1,000",
        "Disk total      : 1,234,567",
        "Memory in use       : 42%",
        "Physical memory     : 1",
        "Physical memory free: 2",
        "Paging file         : 3",
        "Paging file free    : 4",
        "Virtual memory      : 5,000",
        "Virtual memory free : 6",
        "Extended memory free: 0",
        "InitializeWin32MemInfo:SUCCEEDED (if this did not succeed it is nothing to worry about)",
        sHyphens,
    };
    EXPECT_EQ(expected, lines);
    EXPECT_EQ("/opt/lt", info.m_sDiskPath);
    EXPECT_EQ(1, info.m_nMemInfoCalls);
}

TEST(SystemInfoBlock, DiskLinesOnlyForASuccessfulQueryAndMemInfoFailureIsShown)
{
    struct Case
    {
        bool bOk;
        int64_t nTotal;
        bool bDiskLines;
    } aCases[] = {{true, 10, true}, {true, 0, false}, {false, 10, false}};
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(testing::Message() << c.bOk << " " << c.nTotal);
        FakeSysInfo info;
        info.m_bDiskOk = c.bOk;
        info.m_nDiskTotal = c.nTotal;
        info.m_bMemInfoOk = false;

        std::vector<wxString> lines = FormatSystemInfo(info, kPaths);

        auto has = [&](const wxString& sPrefix)
        { return std::any_of(lines.begin(), lines.end(), [&](const wxString& s) { return s.StartsWith(sPrefix); }); };
        EXPECT_EQ(c.bDiskLines, has("Disk free       : "));
        EXPECT_EQ(c.bDiskLines, has("Disk total      : "));
        EXPECT_TRUE(has("InitializeWin32MemInfo:FAILED "));
    }
}
} // namespace
