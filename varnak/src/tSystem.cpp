#include "varnak/include/tSystem.h"
#include "varnak/include/VarnakConst.h"

#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <fstream>
#include <iterator>
#include <locale>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>

namespace
{
struct OSInfo
{
    bool bDetermined = false;
    int nVersion = 0;
    wxString sName;
};

std::mutex s_osMutex;
OSInfo s_os;

bool ReadFile(const char* szPath, std::string& sText)
{
    std::ifstream in(szPath, std::ios::binary);
    if (!in)
        return false;
    sText.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string_view Trim(std::string_view s)
{
    const size_t nFirst = s.find_first_not_of(" \t\r\n");
    if (nFirst == std::string_view::npos)
        return {};
    const size_t nLast = s.find_last_not_of(" \t\r\n");
    return s.substr(nFirst, nLast - nFirst + 1);
}

// "Key:   value" lines of /proc files, keyed by the text before the colon.
std::map<std::string, std::string, std::less<>> ParseColonLines(const std::string& sText)
{
    std::map<std::string, std::string, std::less<>> map;
    size_t nPos = 0;
    while (nPos < sText.size())
    {
        size_t nEnd = sText.find('\n', nPos);
        if (nEnd == std::string::npos)
            nEnd = sText.size();
        const std::string_view line(sText.data() + nPos, nEnd - nPos);
        const size_t nColon = line.find(':');
        if (nColon != std::string_view::npos)
            map.emplace(std::string(Trim(line.substr(0, nColon))), std::string(Trim(line.substr(nColon + 1))));
        nPos = nEnd + 1;
    }
    return map;
}

// A "12345 kB" value in bytes; false when the key is missing or not a number.
bool KiloBytes(const std::map<std::string, std::string, std::less<>>& map, std::string_view sKey, uint64_t& nBytes)
{
    const auto it = map.find(sKey);
    if (it == map.end())
        return false;
    const std::string& s = it->second;
    uint64_t n = 0;
    const auto result = std::from_chars(s.data(), s.data() + s.size(), n);
    if (result.ec != std::errc() || result.ptr == s.data())
        return false;
    const std::string_view unit = Trim(std::string_view(result.ptr, s.data() + s.size() - result.ptr));
    nBytes = unit == "kB" ? n * 1024 : n;
    return true;
}

// The leading number of a kernel release part ("1" of "1-18-amd64").
int LeadingNumber(std::string_view s, size_t& nPos)
{
    int n = 0;
    const auto result = std::from_chars(s.data() + nPos, s.data() + s.size(), n);
    if (result.ec != std::errc())
        return -1;
    nPos = result.ptr - s.data();
    return n;
}

int VersionCode(std::string_view sRelease)
{
    size_t nPos = 0;
    int anParts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i)
    {
        const int n = LeadingNumber(sRelease, nPos);
        if (n < 0)
            return i == 0 ? 0 : anParts[0] * 10000 + anParts[1] * 100 + anParts[2];
        // A minor or patch number above 99 would spill into the field before it.
        anParts[i] = n > 99 && i > 0 ? 99 : n;
        if (nPos >= sRelease.size() || sRelease[nPos] != '.')
            break;
        ++nPos;
    }
    return anParts[0] * 10000 + anParts[1] * 100 + anParts[2];
}

OSInfo ReadOSInfo()
{
    OSInfo info;
    info.bDetermined = true;
    utsname uts;
    if (uname(&uts) != 0)
    {
        info.sName = "Linux";
        return info;
    }
    info.nVersion = VersionCode(uts.release);
    info.sName = wxString::FromUTF8(uts.sysname) + " " + wxString::FromUTF8(uts.release);
    std::string sText;
    if (ReadFile("/etc/os-release", sText) || ReadFile("/usr/lib/os-release", sText))
    {
        const wxString sDistro = tParseOSReleaseName(wxString::FromUTF8(sText));
        if (!sDistro.empty())
            info.sName += " (" + sDistro + ")";
    }
    return info;
}

OSInfo CurrentOSInfo()
{
    std::lock_guard<std::mutex> lock(s_osMutex);
    if (!s_os.bDetermined)
        s_os = ReadOSInfo();
    return s_os;
}

// An os-release value: double quotes take backslash escapes, single quotes are literal.
wxString UnquoteOSReleaseValue(const wxString& sRaw)
{
    wxString s = sRaw;
    s.Trim(true).Trim(false);
    if (s.empty() || (s[0] != '"' && s[0] != '\''))
        return s;
    const wxUniChar cQuote = s[0];
    // An unterminated quote (a value spread over lines) is malformed: it names nothing.
    if (s.length() < 2 || s.Last() != cQuote)
        return wxString();
    const wxString sInner = s.Mid(1, s.length() - 2);
    if (cQuote == '\'')
        return sInner;
    wxString sOut;
    for (size_t i = 0; i < sInner.length(); ++i)
    {
        if (sInner[i] == '\\' && i + 1 < sInner.length())
            ++i;
        sOut += sInner[i];
    }
    return sOut;
}
} // namespace

// The system code scripts compare with their OS_ constants.
const int OS_VERSION_LINUX = OS_LINUX;

void tDetermineOSVersion()
{
    OSInfo info = ReadOSInfo();
    std::lock_guard<std::mutex> lock(s_osMutex);
    s_os = std::move(info);
}

int tGetOSVersion()
{
    return OS_VERSION_LINUX;
}

wxString tGetOSName(int nVersion)
{
    const OSInfo info = CurrentOSInfo();
    if (nVersion == OS_VERSION_LINUX || (nVersion != 0 && nVersion == info.nVersion))
        return info.sName;
    if (nVersion <= 0)
        return "Linux";
    return wxString::Format("Linux %d.%d.%d", nVersion / 10000, nVersion / 100 % 100, nVersion % 100);
}

wxString tParseOSReleaseName(const wxString& sText)
{
    wxString sPretty, sName, sVersion;
    size_t nPos = 0;
    while (nPos <= sText.length())
    {
        size_t nEnd = sText.find('\n', nPos);
        if (nEnd == wxString::npos)
            nEnd = sText.length();
        const wxString sLine = sText.Mid(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        const int nEq = sLine.Find('=');
        if (nEq <= 0 || sLine.StartsWith("#"))
            continue;
        const wxString sKey = sLine.Left(nEq).Trim(true).Trim(false);
        const wxString sValue = UnquoteOSReleaseValue(sLine.Mid(nEq + 1));
        if (sKey == "PRETTY_NAME")
            sPretty = sValue;
        else if (sKey == "NAME")
            sName = sValue;
        else if (sKey == "VERSION")
            sVersion = sValue;
    }
    if (!sPretty.empty())
        return sPretty;
    if (!sName.empty() && !sVersion.empty())
        return sName + " " + sVersion;
    return sName;
}

bool tInitializeWin32MemInfo()
{
    std::string sText;
    if (!ReadFile("/proc/meminfo", sText))
        return false;
    uint64_t nTotal = 0;
    return KiloBytes(ParseColonLines(sText), "MemTotal", nTotal) && nTotal > 0;
}

bool tGetMemoryStatus(tcMemoryStatus& status)
{
    status = tcMemoryStatus();
    struct sysinfo info;
    if (sysinfo(&info) != 0)
        return false;
    const uint64_t nUnit = info.mem_unit ? info.mem_unit : 1;
    status.nTotalPhys = uint64_t(info.totalram) * nUnit;
    status.nAvailPhys = uint64_t(info.freeram) * nUnit;
    std::string sText;
    if (ReadFile("/proc/meminfo", sText))
    {
        // Free memory alone ignores the page cache the kernel gives back on demand.
        uint64_t nAvailable = 0;
        if (KiloBytes(ParseColonLines(sText), "MemAvailable", nAvailable))
            status.nAvailPhys = nAvailable;
    }
    if (status.nTotalPhys > 0 && status.nAvailPhys <= status.nTotalPhys)
        status.nMemoryLoad = int((status.nTotalPhys - status.nAvailPhys) * 100 / status.nTotalPhys);
    status.nTotalPageFile = status.nTotalPhys + uint64_t(info.totalswap) * nUnit;
    status.nAvailPageFile = status.nAvailPhys + uint64_t(info.freeswap) * nUnit;

    rlimit limit;
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        status.nTotalVirtual = limit.rlim_cur;
    else
        status.nTotalVirtual = sizeof(void*) == 8 ? (uint64_t(1) << 47) : (uint64_t(3) << 30);
    uint64_t nRss = 0, nPeakRss = 0, nSize = 0, nPeakSize = 0;
    if (tcProcessMemoryInfo::GetMemUsageInfo(nRss, nPeakRss, nSize, nPeakSize) && nSize <= status.nTotalVirtual)
        status.nAvailVirtual = status.nTotalVirtual - nSize;
    return true;
}

bool tcProcessMemoryInfo::GetMemUsageInfo(uint64_t& nWorkingSetSize, uint64_t& nPeakWorkingSetSize,
                                          uint64_t& nPagefileUsage, uint64_t& nPeakPagefileUsage)
{
    return GetMemUsageInfoFrom("/proc/self/status", nWorkingSetSize, nPeakWorkingSetSize, nPagefileUsage,
                               nPeakPagefileUsage);
}

bool tcProcessMemoryInfo::GetMemUsageInfoFrom(const wxString& sStatusPath, uint64_t& nWorkingSetSize,
                                              uint64_t& nPeakWorkingSetSize, uint64_t& nPagefileUsage,
                                              uint64_t& nPeakPagefileUsage)
{
    nWorkingSetSize = nPeakWorkingSetSize = nPagefileUsage = nPeakPagefileUsage = 0;
    std::string sText;
    if (!ReadFile(sStatusPath.fn_str(), sText))
        return false;
    const auto map = ParseColonLines(sText);
    uint64_t nRss = 0, nHwm = 0, nSize = 0, nPeak = 0;
    if (!KiloBytes(map, "VmRSS", nRss) || !KiloBytes(map, "VmHWM", nHwm) || !KiloBytes(map, "VmSize", nSize) ||
        !KiloBytes(map, "VmPeak", nPeak))
        return false;
    nWorkingSetSize = nRss;
    nPeakWorkingSetSize = nHwm;
    nPagefileUsage = nSize;
    nPeakPagefileUsage = nPeak;
    return true;
}

int tGetProcessorCount()
{
    const long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? int(n) : 1;
}

wxString tGetProcessorName()
{
    std::string sText;
    if (!ReadFile("/proc/cpuinfo", sText))
        return wxString();
    // ParseColonLines keeps the first of repeated keys: the first processor's.
    const auto map = ParseColonLines(sText);
    const auto it = map.find("model name");
    return it == map.end() ? wxString() : wxString::FromUTF8(it->second);
}

bool tGetDiskSpace(const wxString& sPath, uint64_t& nFree, uint64_t& nTotal)
{
    nFree = nTotal = 0;
    struct statvfs info;
    if (statvfs(sPath.fn_str(), &info) != 0)
        return false;
    nFree = uint64_t(info.f_bavail) * info.f_frsize;
    nTotal = uint64_t(info.f_blocks) * info.f_frsize;
    return true;
}

bool tIs64Bit()
{
    return sizeof(void*) == 8;
}

bool tIsLittleEndian()
{
    return std::endian::native == std::endian::little;
}

bool tSetupDefaultEncoding()
{
    std::locale utf8Ctype;
    try
    {
        utf8Ctype = std::locale(std::locale::classic(), "C.UTF-8", std::locale::ctype);
    }
    catch (const std::runtime_error&)
    {
        return false;
    }
    if (!std::setlocale(LC_CTYPE, "C.UTF-8"))
        return false;
    // A named global locale also sets the C library's categories; LC_NUMERIC is put back after.
    std::locale::global(utf8Ctype);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::setlocale(LC_NUMERIC, "C");
    return true;
}
