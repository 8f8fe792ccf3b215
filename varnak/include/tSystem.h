#pragma once

#include <wx/string.h>

#include <cstdint>

// System and process information, read from uname, /etc/os-release, /proc and sysinfo.
// Every routine may be called from any thread.

// Reads the running system's version and name (uname and /etc/os-release) and keeps them for
// tGetOSVersion and tGetOSName. Called once at start-up; later calls read again.
void tDetermineOSVersion();
// The system's code, 20 on Linux (the scripts' OS_LINUX), so scripts can compare it with their
// OS_ constants.
int tGetOSVersion();
// "Linux 6.1.0-18-amd64 (Debian GNU/Linux 12 (bookworm))" for tGetOSVersion's code or the running
// kernel's version (major * 10000 + minor * 100 + patch): the kernel name and release, then the
// distribution's name when /etc/os-release gives one (read first when tDetermineOSVersion has not
// run). Any other kernel version code gives "Linux major.minor.patch"; 0 gives "Linux".
wxString tGetOSName(int nVersion);
// The PRETTY_NAME of an os-release text (NAME and VERSION when it has none), with its quotes and
// escapes removed; empty when the text names nothing.
wxString tParseOSReleaseName(const wxString& sText);

// Checks that the system's memory figures can be read (here /proc/meminfo; the name is the one
// the program calls, after the original platform's memory-status set-up). False when they cannot.
bool tInitializeWin32MemInfo();

// The system's memory status, in bytes, shaped like the original platform's record.
struct tcMemoryStatus
{
    int nMemoryLoad = 0;                // percent of physical memory in use
    uint64_t nTotalPhys = 0;            // MemTotal
    uint64_t nAvailPhys = 0;            // MemAvailable (free memory on old kernels)
    uint64_t nTotalPageFile = 0;        // commit limit: physical memory plus swap
    uint64_t nAvailPageFile = 0;        // available physical memory plus free swap
    uint64_t nTotalVirtual = 0;         // the process's address-space limit
    uint64_t nAvailVirtual = 0;         // that limit less the process's virtual size
    uint64_t nAvailExtendedVirtual = 0; // always 0: no such memory here
};
// Fills status (zeroed first); false when the figures could not be read.
bool tGetMemoryStatus(tcMemoryStatus& status);

// The memory use of this process.
class tcProcessMemoryInfo
{
public:
    // Bytes in use: working set (VmRSS), its peak (VmHWM), page-file usage (VmSize, the virtual
    // size) and its peak (VmPeak), from /proc/self/status. All four are zeroed first; false when
    // the file cannot be read or lacks one of them.
    static bool GetMemUsageInfo(uint64_t& nWorkingSetSize, uint64_t& nPeakWorkingSetSize, uint64_t& nPagefileUsage,
                                uint64_t& nPeakPagefileUsage);
    // The same from a file of the /proc/<pid>/status format.
    static bool GetMemUsageInfoFrom(const wxString& sStatusPath, uint64_t& nWorkingSetSize,
                                    uint64_t& nPeakWorkingSetSize, uint64_t& nPagefileUsage,
                                    uint64_t& nPeakPagefileUsage);
};

// Processors online (at least 1).
int tGetProcessorCount();
// The processor's model name from /proc/cpuinfo; empty when it names none (as on some ARM
// systems).
wxString tGetProcessorName();
// Bytes free for an unprivileged user and in total on the file system holding sPath; false (both
// 0) when it cannot be queried.
bool tGetDiskSpace(const wxString& sPath, uint64_t& nFree, uint64_t& nTotal);
bool tIs64Bit();
bool tIsLittleEndian();

// Sets C.UTF-8 character classification for the C library (LC_CTYPE) and the C++ global locale,
// so that letters outside ASCII classify as letters, and keeps LC_NUMERIC "C" so that numbers are
// read and written with a ".". Returns false (changing nothing) when C.UTF-8 is not installed.
// Start-up only: the C library's locale is process-wide.
bool tSetupDefaultEncoding();
