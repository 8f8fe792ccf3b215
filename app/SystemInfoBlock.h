#pragma once

#include "varnak/include/tSystem.h"

#include <wx/string.h>

#include <cstdint>
#include <string>
#include <vector>

// The figures the start-up log reports about the build, the process and the machine.
class ISysInfo
{
public:
    virtual ~ISysInfo() = default;

    virtual wxString GetDate() const = 0; // local date, "YYYY-MM-DD"
    virtual wxString GetTime() const = 0; // local time, "HH:MM:SS"
    virtual int GetMajorVersion() const = 0;
    virtual wxString GetOSName() const = 0;
    virtual wxString GetLocaleName() const = 0;
    virtual wxString GetBuildDate() const = 0; // "Mmm dd yyyy"
    virtual wxString GetBuildTime() const = 0; // "hh:mm:ss"
    virtual int GetCompilerVersion() const = 0;
    virtual int GetCPUCount() const = 0;
    virtual bool Is64Bit() const = 0;
    virtual bool IsLittleEndian() const = 0;
    virtual wxString GetOSDescription() const = 0;
    virtual int64_t GetFreeMemory() const = 0; // bytes; -1 when unknown
    // Free and total bytes of the disk holding sPath; false when the query fails.
    virtual bool GetDiskSpace(const wxString& sPath, int64_t& nFree, int64_t& nTotal) const = 0;
    // The memory status; zeroed when the query fails.
    virtual tcMemoryStatus GetMemoryStatus() const = 0;
    // Prepares the memory figures of the library; false when that fails.
    virtual bool InitializeMemInfo() = 0;
};

// The application paths the block reports.
struct tcSysInfoPaths
{
    wxString sAppPathFull;
    wxString sAppPath;
    wxString sLogFilename;
    wxString sLibDataPath;
    wxString sDataPath;
    wxString sAppDataPath;
    std::wstring sExecPath;
};

// The lines of the system-information block, in the order the log shows them, between two lines
// of 49 hyphens. The disk lines appear only when the query succeeds with a total above 0. Calls
// InitializeMemInfo once.
std::vector<wxString> FormatSystemInfo(ISysInfo& info, const tcSysInfoPaths& paths);

// The figures of the running process and machine.
class tcLiveSysInfo : public ISysInfo
{
public:
    wxString GetDate() const override;
    wxString GetTime() const override;
    int GetMajorVersion() const override;
    wxString GetOSName() const override;
    wxString GetLocaleName() const override;
    wxString GetBuildDate() const override;
    wxString GetBuildTime() const override;
    int GetCompilerVersion() const override;
    int GetCPUCount() const override;
    bool Is64Bit() const override;
    bool IsLittleEndian() const override;
    wxString GetOSDescription() const override;
    int64_t GetFreeMemory() const override;
    bool GetDiskSpace(const wxString& sPath, int64_t& nFree, int64_t& nTotal) const override;
    tcMemoryStatus GetMemoryStatus() const override;
    bool InitializeMemInfo() override;
};

// Writes the block of the live figures and the application globals to the log.
void LogSystemInfo();
