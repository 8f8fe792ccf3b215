#include "varnak/include/tPath.h"

#include "tests/varnak/TestSupport.h"

#include <gtest/gtest.h>

#include <wx/filefn.h>

#include <filesystem>

TEST(PathCombine, ExactlyOneSeparatorBetween)
{
    struct Case
    {
        const wchar_t* szFirst;
        const wchar_t* szSecond;
        const wchar_t* szExpected;
    };
    const Case cases[] = {
        {L"a", L"b", L"a/b"},
        {L"a/", L"b", L"a/b"},
        {L"a", L"/b", L"a/b"},
        {L"a//", L"//b", L"a/b"},
        {L"/", L"b", L"/b"},
        {L"/", L"/", L"/"},
        {L"", L"b", L"b"},
        {L"a", L"", L"a"},
        {L"a/", L"", L"a/"},
        {L"", L"", L""},
        {L"/opt/lintrado", L"../LibraryData/Schemas", L"/opt/lintrado/../LibraryData/Schemas"},
        {L"/usr/share/lintrado/Data", L"Images/Menu/", L"/usr/share/lintrado/Data/Images/Menu/"},
        {L"C:\\dir", L"x", L"C:\\dir/x"},
        {L"/Données", L"é.srx", L"/Données/é.srx"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(tPathCombine(c.szFirst, c.szSecond), c.szExpected)
            << wxString(c.szFirst) << " + " << wxString(c.szSecond);
        EXPECT_EQ(tPathCombineW(c.szFirst, c.szSecond), std::wstring(c.szExpected));
        wxString sPath = c.szFirst;
        EXPECT_EQ(tStrPathAppend(sPath, c.szSecond), c.szExpected);
    }
}

TEST(PathFiles, ExistenceAndSize)
{
    WriteHomeFile("five.txt", "12345");
    WriteHomeFile("empty.txt", "");
    std::filesystem::create_directories(TempHomeListener::Current() / "folder");

    EXPECT_TRUE(tFileExists(HomePath() + "/five.txt"));
    EXPECT_EQ(tGetFileSizeW(HomePath() + "/five.txt"), 5);
    EXPECT_EQ(tGetFileSizeW(HomePath() + "/empty.txt"), 0);
    EXPECT_FALSE(tFileExists(HomePath() + "/folder"));
    EXPECT_EQ(tGetFileSizeW(HomePath() + "/folder"), -1);
    EXPECT_FALSE(tFileExists(HomePath() + "/missing.txt"));
    EXPECT_EQ(tGetFileSizeW(HomePath() + "/missing.txt"), -1);
    EXPECT_FALSE(tFileExists(L""));
}

TEST(PathFiles, FindAllFilesAppendsSortedMatches)
{
    for (const char* szName : {"b.rayt", "a.rayt", ".hidden.rayt", "notes.txt", "x.RAYT", "sub/c.rayt"})
        WriteHomeFile(std::string("replace/") + szName, "x");
    const wxString sDir = HomePath() + "/replace";

    std::vector<wxString> aFiles;
    EXPECT_EQ(tFindAllFiles(sDir, L"*.rayt", aFiles, false), 3u);
    EXPECT_EQ(tFindAllFiles(sDir, L"*.txt", aFiles, false), 1u);
    ASSERT_EQ(aFiles.size(), 4u);
    EXPECT_EQ(aFiles[0], sDir + "/.hidden.rayt");
    EXPECT_EQ(aFiles[1], sDir + "/a.rayt");
    EXPECT_EQ(aFiles[2], sDir + "/b.rayt");
    EXPECT_EQ(aFiles[3], sDir + "/notes.txt");

    std::vector<std::wstring> aAll;
    EXPECT_EQ(tFindAllFilesW(sDir, L"*.rayt", aAll, true), 4u);
    EXPECT_EQ(aAll.back(), (sDir + "/sub/c.rayt").ToStdWstring());

    EXPECT_EQ(tFindAllFiles(HomePath() + "/no such folder", L"*", aFiles, true), 0u);
    EXPECT_EQ(tFindAllFiles(L"", L"*", aFiles, false), 0u);
    EXPECT_EQ(aFiles.size(), 4u);
}

TEST(PathTilde, ExpandsHomeOnly)
{
    struct Case
    {
        const wchar_t* szPath;
        wxString sExpected;
    };
    const Case cases[] = {
        {L"~", HomePath()},
        {L"~/Documents/a.xlf", HomePath() + "/Documents/a.xlf"},
        {L"~root/x", L"/root/x"},
        {L"~no_such_user_4711/x", L"~no_such_user_4711/x"},
        {L"/tmp/~/x", L"/tmp/~/x"},
        {L"a~", L"a~"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tExpandTilde(c.szPath), c.sExpected) << wxString(c.szPath);
}

TEST(PathUrl, EscapesAndBuildsFileUrls)
{
    EXPECT_EQ(tURLEscape(L"a b&c=d/é~_.-"), L"a%20b%26c%3Dd%2F%C3%A9~_.-");
    EXPECT_EQ(tURLEscape(L"Assert (x.cpp:12) 100%"), L"Assert%20%28x.cpp%3A12%29%20100%25");
    EXPECT_EQ(tURLEscape(L""), L"");

    EXPECT_EQ(tCreateLocalFileURL2(L"/usr/share/a b/é#1.js", true), L"file:///usr/share/a%20b/%C3%A9%231.js");
    EXPECT_EQ(tCreateLocalFileURL2(L"/usr/share/a b/é.js", false), L"file:///usr/share/a b/é.js");
    EXPECT_EQ(tGetURLFromFilename(L"/tmp/x y"), L"file:///tmp/x%20y");

    const wxString sCwd = wxGetCwd();
    ASSERT_TRUE(wxSetWorkingDirectory(HomePath()));
    EXPECT_EQ(tCreateLocalFileURL2(L"base64.js", false), L"file://" + HomePath() + "/base64.js");
    wxSetWorkingDirectory(sCwd);
}
