#include "app/SystemInfoBlock.h"

#include "app/AppVersion.h"
#include "varnak/include/kvFormat.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tNumber.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcAppContext.h"

#include <wx/datetime.h>
#include <wx/filefn.h>
#include <wx/platinfo.h>
#include <wx/thread.h>
#include <wx/utils.h>

#include <clocale>

namespace
{
const wxString kHyphenLine(wxUniChar('-'), 49);

const wchar_t* YesNo(bool b)
{
    return b ? L"YES" : L"NO";
}
} // namespace

std::vector<wxString> FormatSystemInfo(ISysInfo& info, const tcSysInfoPaths& paths)
{
    std::vector<wxString> lines;
    lines.push_back(kHyphenLine);
    lines.push_back(kvFormat(L"DATETIME        : %s %s", info.GetDate(), info.GetTime()));
    lines.push_back(kvFormat(L"App major version: %d", info.GetMajorVersion()));
    lines.push_back(kvFormat(L"Operating System: %s", info.GetOSName()));
    lines.push_back(kvFormat(L"Locale          : %s", info.GetLocaleName()));
    lines.push_back(kvFormat(L"Build date/time : %s %s", info.GetBuildDate(), info.GetBuildTime()));
    lines.push_back(kvFormat(L"GCC version     : %d", info.GetCompilerVersion()));
    lines.push_back(kvFormat(L"AppPathFull: %s", paths.sAppPathFull));
    lines.push_back(kvFormat(L"AppPath    : %s", paths.sAppPath));
    lines.push_back(kvFormat(L"LogFilename: %s", paths.sLogFilename));
    lines.push_back(kvFormat(L"LibDataPath: %s", paths.sLibDataPath));
    lines.push_back(kvFormat(L"DataPath   : %s", paths.sDataPath));
    lines.push_back(kvFormat(L"AppDataPath: %s", paths.sAppDataPath));
    lines.push_back("ExecPath   :");
    lines.push_back(wxString(paths.sExecPath));
    lines.push_back(kvFormat(L"Cores/CPUs      : %d", info.GetCPUCount()));
    lines.push_back(kvFormat(L"64-bit          : %s", YesNo(info.Is64Bit())));
    lines.push_back(kvFormat(L"Little-endian   : %s", YesNo(info.IsLittleEndian())));
    lines.push_back(kvFormat(L"OS description  : %s", info.GetOSDescription()));
    lines.push_back(kvFormat(L"Free memory     : %s", tCommafyInt(info.GetFreeMemory())));

    int64_t nDiskFree = 0;
    int64_t nDiskTotal = 0;
    if (info.GetDiskSpace(paths.sAppPath, nDiskFree, nDiskTotal) && nDiskTotal > 0)
    {
        lines.push_back(kvFormat(L"Disk free       : %s", tCommafyInt(nDiskFree)));
        lines.push_back(kvFormat(L"Disk total      : %s", tCommafyInt(nDiskTotal)));
    }

    tcMemoryStatus status = info.GetMemoryStatus();
    lines.push_back(kvFormat(L"Memory in use       : %d%%", status.nMemoryLoad));
    const struct
    {
        const wchar_t* szFormat;
        uint64_t nValue;
    } aMemory[] = {
        {L"Physical memory     : %s", status.nTotalPhys},
        {L"Physical memory free: %s", status.nAvailPhys},
        {L"Paging file         : %s", status.nTotalPageFile},
        {L"Paging file free    : %s", status.nAvailPageFile},
        {L"Virtual memory      : %s", status.nTotalVirtual},
        {L"Virtual memory free : %s", status.nAvailVirtual},
        {L"Extended memory free: %s", status.nAvailExtendedVirtual},
    };
    for (const auto& row : aMemory)
        lines.push_back(kvFormat(row.szFormat, tCommafyInt(static_cast<int64_t>(row.nValue))));

    lines.push_back(kvFormat(L"InitializeWin32MemInfo:%s (if this did not succeed it is nothing to worry about)",
                             info.InitializeMemInfo() ? L"SUCCEEDED" : L"FAILED"));
    lines.push_back(kHyphenLine);
    return lines;
}

wxString tcLiveSysInfo::GetDate() const
{
    return wxDateTime::Now().FormatISODate();
}

wxString tcLiveSysInfo::GetTime() const
{
    return wxDateTime::Now().FormatISOTime();
}

int tcLiveSysInfo::GetMajorVersion() const
{
    return tGetAppMajorVersion();
}

wxString tcLiveSysInfo::GetOSName() const
{
    return tGetOSName(tGetOSVersion());
}

wxString tcLiveSysInfo::GetLocaleName() const
{
    const char* szLocale = std::setlocale(LC_ALL, nullptr);
    return kvFromUTF8(szLocale ? szLocale : "");
}

wxString tcLiveSysInfo::GetBuildDate() const
{
    return __DATE__;
}

wxString tcLiveSysInfo::GetBuildTime() const
{
    return __TIME__;
}

int tcLiveSysInfo::GetCompilerVersion() const
{
#ifdef __GNUC__
    return __GNUC__ * 10000 + __GNUC_MINOR__ * 100 + __GNUC_PATCHLEVEL__;
#else
    return 0;
#endif
}

int tcLiveSysInfo::GetCPUCount() const
{
    return wxThread::GetCPUCount();
}

bool tcLiveSysInfo::Is64Bit() const
{
    return wxIsPlatform64Bit();
}

bool tcLiveSysInfo::IsLittleEndian() const
{
    return wxIsPlatformLittleEndian();
}

wxString tcLiveSysInfo::GetOSDescription() const
{
    return wxGetOsDescription();
}

int64_t tcLiveSysInfo::GetFreeMemory() const
{
    return wxGetFreeMemory().GetValue();
}

bool tcLiveSysInfo::GetDiskSpace(const wxString& sPath, int64_t& nFree, int64_t& nTotal) const
{
    wxDiskspaceSize_t total = 0;
    wxDiskspaceSize_t free = 0;
    if (!wxGetDiskSpace(sPath, &total, &free))
        return false;
    nTotal = total.GetValue();
    nFree = free.GetValue();
    return true;
}

tcMemoryStatus tcLiveSysInfo::GetMemoryStatus() const
{
    tcMemoryStatus status;
    tGetMemoryStatus(status);
    return status;
}

bool tcLiveSysInfo::InitializeMemInfo()
{
    return tInitializeWin32MemInfo();
}

void LogSystemInfo()
{
    tcLiveSysInfo info;
    tcSysInfoPaths paths{g_sAppPathFull, g_sAppPath,     g_sLogFilename, g_sLibDataPath,
                         g_sDataPath,    g_sAppDataPath, g_sExecPath};
    for (const wxString& sLine : FormatSystemInfo(info, paths))
        tcLog::LogStr(sLine);
}
