#include "varnak/include/kvSignalLog.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <unistd.h>

namespace
{
constexpr size_t kRingSize = 32 * 1024;

// Plain static storage: the handler may read it at any time, even while the process exits.
char s_aRing[kRingSize];
std::atomic<uint64_t> s_nWritten{0}; // bytes ever appended; the ring holds the last kRingSize
std::atomic<int> s_nLogFd{-1};
std::atomic<long> s_nUTCOffset{0};

static_assert(std::atomic<uint64_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free &&
                  std::atomic<long>::is_always_lock_free,
              "the fatal-signal handler reads these without locks");

// Days since 1970-01-01 to a civil date (Howard Hinnant's algorithm): no library call needed.
void CivilFromDays(int64_t z, int& nYear, unsigned& nMonth, unsigned& nDay)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    nDay = doy - (153 * mp + 2) / 5 + 1;
    nMonth = mp < 10 ? mp + 3 : mp - 9;
    nYear = static_cast<int>(y + (nMonth <= 2));
}

char* Digits(char* p, unsigned n, int nWidth)
{
    for (int i = nWidth - 1; i >= 0; --i)
    {
        p[i] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    return p + nWidth;
}
} // namespace

namespace kvSignalSafe
{
int LogDescriptor()
{
    return s_nLogFd.load();
}

void NoteUTCOffset()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    s_nUTCOffset = tm.tm_gmtoff;
}

size_t FormatNow(char* pBuf, bool bMillis)
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const int64_t nLocal = static_cast<int64_t>(ts.tv_sec) + s_nUTCOffset.load();
    int64_t nDays = nLocal / 86400;
    int64_t nSecs = nLocal % 86400;
    if (nSecs < 0)
    {
        nSecs += 86400;
        --nDays;
    }
    int nYear = 0;
    unsigned nMonth = 0, nDay = 0;
    CivilFromDays(nDays, nYear, nMonth, nDay);
    char* p = pBuf;
    p = Digits(p, static_cast<unsigned>(nYear), 4);
    *p++ = '-';
    p = Digits(p, nMonth, 2);
    *p++ = '-';
    p = Digits(p, nDay, 2);
    *p++ = ' ';
    p = Digits(p, static_cast<unsigned>(nSecs / 3600), 2);
    *p++ = ':';
    p = Digits(p, static_cast<unsigned>(nSecs / 60 % 60), 2);
    *p++ = ':';
    p = Digits(p, static_cast<unsigned>(nSecs % 60), 2);
    if (bMillis)
    {
        *p++ = '.';
        p = Digits(p, static_cast<unsigned>(ts.tv_nsec / 1000000), 3);
    }
    return static_cast<size_t>(p - pBuf);
}

void LogLine(const char* szText)
{
    const int fd = s_nLogFd.load();
    if (fd < 0)
        return;
    // One write per line, as the log does, so lines of other threads are not split.
    char aLine[1024];
    size_t n = FormatNow(aLine, true);
    aLine[n++] = ' ';
    for (const char* p = szText; *p && n < sizeof aLine - 1; ++p)
        aLine[n++] = *p;
    aLine[n++] = '\n';
    WriteAll(fd, aLine, n);
    kv_signal_detail::AppendRecent(aLine, n);
}

size_t CopyRecent(char* pBuf, size_t nSize)
{
    const uint64_t nWritten = s_nWritten.load();
    const size_t nHeld = nWritten < kRingSize ? static_cast<size_t>(nWritten) : kRingSize;
    size_t nSkip = 0;
    size_t nCount = nHeld;
    if (nCount > nSize)
    {
        nSkip = nCount - nSize;
        nCount = nSize;
    }
    const size_t nStart = static_cast<size_t>((nWritten - nHeld + nSkip) % kRingSize);
    for (size_t i = 0; i < nCount; ++i)
        pBuf[i] = s_aRing[(nStart + i) % kRingSize];
    // A cut at the front leaves a partial line: drop it.
    size_t nFirst = 0;
    if (nHeld == kRingSize || nSkip > 0)
    {
        while (nFirst < nCount && pBuf[nFirst] != '\n')
            ++nFirst;
        if (nFirst < nCount)
            ++nFirst;
        for (size_t i = nFirst; i < nCount; ++i)
            pBuf[i - nFirst] = pBuf[i];
    }
    return nCount - nFirst;
}

bool WriteAll(int fd, const char* pData, size_t nSize)
{
    while (nSize > 0)
    {
        const ssize_t n = ::write(fd, pData, nSize);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        pData += n;
        nSize -= static_cast<size_t>(n);
    }
    return true;
}

size_t Length(const char* sz)
{
    size_t n = 0;
    while (sz && sz[n])
        ++n;
    return n;
}

size_t FormatUnsigned(char* pBuf, uint64_t n)
{
    char aTmp[21];
    size_t nLen = 0;
    do
    {
        aTmp[nLen++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    for (size_t i = 0; i < nLen; ++i)
        pBuf[i] = aTmp[nLen - 1 - i];
    return nLen;
}
} // namespace kvSignalSafe

namespace kv_signal_detail
{
void AppendRecent(const char* pData, size_t nSize)
{
    uint64_t nPos = s_nWritten.load(std::memory_order_relaxed);
    for (size_t i = 0; i < nSize; ++i)
        s_aRing[(nPos + i) % kRingSize] = pData[i];
    s_nWritten.store(nPos + nSize);
}

void SetLogDescriptor(int fd)
{
    s_nLogFd = fd;
}
} // namespace kv_signal_detail
