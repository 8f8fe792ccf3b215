#include "varnak/include/tSystem.h"

#include "tests/harness/TempHome.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <clocale>
#include <cstdio>
#include <cwctype>
#include <fstream>
#include <string>
#include <vector>

TEST(System, ProcessMemoryOfThisProcessIsPlausible)
{
    uint64_t nWorkingSet = 0, nPeakWorkingSet = 0, nPagefile = 0, nPeakPagefile = 0;
    ASSERT_TRUE(tcProcessMemoryInfo::GetMemUsageInfo(nWorkingSet, nPeakWorkingSet, nPagefile, nPeakPagefile));
    // A running test program has at least a megabyte resident, and no figure passes its peak.
    EXPECT_GT(nWorkingSet, 1024u * 1024u);
    EXPECT_GE(nPeakWorkingSet, nWorkingSet);
    EXPECT_GE(nPagefile, nWorkingSet);
    EXPECT_GE(nPeakPagefile, nPagefile);
}

TEST(System, ProcessMemoryFromStatusFiles)
{
    const std::string sFull = "Name:\ttest\nVmPeak:\t  300 kB\nVmSize:\t  200 kB\nVmHWM:\t  40 kB\nVmRSS:\t  30 kB\n";
    const std::string sNoPeak = "VmSize:\t  200 kB\nVmHWM:\t  40 kB\nVmRSS:\t  30 kB\n";
    const std::string sGarbled = "VmPeak:\tlots\nVmSize:\t  200 kB\nVmHWM:\t  40 kB\nVmRSS:\t  30 kB\n";
    struct Case
    {
        const char* name;
        const std::string* text; // null: no file
        bool bRead;
    };
    const Case cases[] = {{"full", &sFull, true},
                          {"no peak", &sNoPeak, false},
                          {"garbled", &sGarbled, false},
                          {"missing", nullptr, false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const auto path = TempHomeListener::Current() / (std::string(c.name) + ".status");
        if (c.text)
            std::ofstream(path) << *c.text;
        uint64_t n1 = 9, n2 = 9, n3 = 9, n4 = 9;
        EXPECT_EQ(tcProcessMemoryInfo::GetMemUsageInfoFrom(wxString(path.string()), n1, n2, n3, n4), c.bRead);
        const std::vector<uint64_t> expected =
            c.bRead ? std::vector<uint64_t>{30 * 1024, 40 * 1024, 200 * 1024, 300 * 1024} : std::vector<uint64_t>(4, 0);
        EXPECT_EQ((std::vector<uint64_t>{n1, n2, n3, n4}), expected);
    }
}

TEST(System, MemoryStatusIsConsistent)
{
    EXPECT_TRUE(tInitializeWin32MemInfo());
    tcMemoryStatus status;
    ASSERT_TRUE(tGetMemoryStatus(status));
    EXPECT_GT(status.nTotalPhys, 0u);
    EXPECT_GT(status.nAvailPhys, 0u);
    EXPECT_LE(status.nAvailPhys, status.nTotalPhys);
    EXPECT_GE(status.nMemoryLoad, 0);
    EXPECT_LE(status.nMemoryLoad, 100);
    EXPECT_GE(status.nTotalPageFile, status.nTotalPhys);
    EXPECT_LE(status.nAvailPageFile, status.nTotalPageFile);
    EXPECT_GT(status.nAvailVirtual, 0u);
    EXPECT_LT(status.nAvailVirtual, status.nTotalVirtual);
    EXPECT_EQ(status.nAvailExtendedVirtual, 0u);
}

TEST(System, OperatingSystemNameAndVersion)
{
    tDetermineOSVersion();
    utsname uts;
    ASSERT_EQ(uname(&uts), 0);
    EXPECT_EQ(20, tGetOSVersion()); // the scripts' OS_LINUX
    const wxString sName = tGetOSName(tGetOSVersion());
    EXPECT_TRUE(sName.StartsWith(wxString("Linux ") + uts.release)) << sName;

    // A version other than the running one has no distribution to name.
    EXPECT_EQ(tGetOSName(10203), "Linux 1.2.3");
    EXPECT_EQ(tGetOSName(0), "Linux");
}

TEST(System, OSReleaseNames)
{
    struct Case
    {
        const char* text;
        const char* name;
    };
    const Case cases[] = {
        {"NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nVERSION=\"12\"\n",
         "Debian GNU/Linux 12 (bookworm)"},
        {"NAME=Fedora\nVERSION='39 (Workstation Edition)'\n", "Fedora 39 (Workstation Edition)"},
        {"# a comment\nNAME=Alpine\n", "Alpine"},
        {"PRETTY_NAME=\"Say \\\"hi\\\" \\\\ \\$HOME\"\n", "Say \"hi\" \\ $HOME"},
        {"PRETTY_NAME=\"Windows\r\nNT\"", ""},
        {"ID=debian\n", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tParseOSReleaseName(c.text), c.name) << c.text;
}

TEST(System, ProcessorsAndDisks)
{
    EXPECT_GE(tGetProcessorCount(), 1);

    uint64_t nFree = 1, nTotal = 1;
    ASSERT_TRUE(tGetDiskSpace(wxString(TempHomeListener::Current().string()), nFree, nTotal));
    EXPECT_GT(nTotal, 0u);
    EXPECT_LE(nFree, nTotal);
    EXPECT_FALSE(tGetDiskSpace("/no/such/folder", nFree, nTotal));
    EXPECT_EQ(nFree, 0u);
    EXPECT_EQ(nTotal, 0u);
}

TEST(System, DefaultEncodingClassifiesLettersAndKeepsNumbersPlain)
{
    std::setlocale(LC_CTYPE, "C");
    ASSERT_FALSE(std::iswalpha(L'\u00E9'));
    // The toolkit sets the user's locale at start-up: numbers must be plain again afterwards.
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (tools/deps.sh generates it)";
    char szComma[16];
    std::snprintf(szComma, sizeof szComma, "%.1f", 1.5);
    ASSERT_STREQ(szComma, "1,5");
    ASSERT_TRUE(tSetupDefaultEncoding());
    EXPECT_TRUE(std::iswalpha(L'\u00E9'));
    EXPECT_TRUE(std::iswalpha(L'\u0416'));
    EXPECT_TRUE(std::isalpha(L'\u00E9', std::locale()));
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 1.5);
    EXPECT_STREQ(buf, "1.5");
}
