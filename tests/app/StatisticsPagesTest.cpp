#include "app/StatisticsPages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
const std::string kFileSep = "<hr class=\"fileseperator\"/>";
const std::string kProjectSep = "<hr class=\"projectseperator\"/>";

std::string Head(const std::string& sStyles)
{
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\">\n"
           "<html>\n<head>\n<style type=\"text/css\">\n.head {font-weight: bold;}\n" +
           sStyles + "</style>\n</head>\n<body style=\"background: white; color: black\">\n";
}
const std::string kTail = "</body>\n</html>\n";

// A record whose HTML tells it apart: its name and its unit count.
CVRMemDocStatistics File(const char* szName, int nUnits)
{
    CVRMemDocStatistics r;
    r.SetFileName(szName);
    r.SetNumTranslationUnits(nUnits);
    r.SetNumTranslatableUnits(nUnits);
    r.SetNumSegments(nUnits * 2);
    r.SetNumTranslatableSegments(nUnits * 2);
    r.SetNumTranslatedSegments(nUnits);
    r.AddWords(nUnits * 10);
    r.UpdateAverages();
    return r;
}

std::string Html(const CVRMemDocStatistics& r)
{
    return r.GetHTML().utf8_string();
}

// The body of a page after checking its head (with those separator styles) and its tail.
std::string Body(const wxString& sPage, const std::string& sStyles)
{
    const std::string s = sPage.utf8_string();
    const std::string sHead = Head(sStyles);
    EXPECT_EQ(s.substr(0, sHead.size()), sHead);
    EXPECT_GE(s.size(), sHead.size() + kTail.size());
    EXPECT_EQ(s.substr(s.size() - kTail.size()), kTail);
    return s.substr(sHead.size(), s.size() - sHead.size() - kTail.size());
}

std::vector<std::string> Split(const std::string& s, const std::string& sSep)
{
    std::vector<std::string> aParts;
    size_t nStart = 0;
    for (size_t nAt; (nAt = s.find(sSep, nStart)) != std::string::npos; nStart = nAt + sSep.size())
        aParts.push_back(s.substr(nStart, nAt - nStart));
    aParts.push_back(s.substr(nStart));
    return aParts;
}

bool Names(const std::string& sBlock, const std::string& sName)
{
    return sBlock.find("<span class=\"head\">File name</span>: " + sName + "<br />") != std::string::npos;
}
bool Counts(const std::string& sBlock, int nUnits)
{
    return sBlock.find("<span class=\"head\">Translation units</span>:\t\t" + std::to_string(nUnits)) !=
           std::string::npos;
}

TEST(StatisticsPages, FilePageIsTheRecordInAPageWithoutSeparatorStyles)
{
    const CVRMemDocStatistics file = File("chapter <1>.txt", 3);
    const wxString sPage = tMakeFileStatisticsPage(file);
    EXPECT_EQ(sPage.utf8_string(), Head("") + Html(file) + kTail);
}

TEST(StatisticsPages, ProjectPageIsTheNamedTotalThenItsFilesSeparatedOnlyBetweenThem)
{
    const tcProjectStatistics project{"/work/book.xlf", {File("a.txt", 3), File("b.html", 4)}};
    const std::string sBody = Body(tMakeProjectStatisticsPage(project), ".fileseperator {color: red;}\n");

    const std::vector<std::string> aParts = Split(sBody, kFileSep);
    ASSERT_EQ(aParts.size(), 4u) << sBody;
    EXPECT_TRUE(Names(aParts[0], "/work/book.xlf"));
    EXPECT_TRUE(Counts(aParts[0], 7));
    EXPECT_EQ(aParts[1], "");
    EXPECT_EQ(aParts[2], Html(project.aFiles[0]));
    EXPECT_EQ(aParts[3], Html(project.aFiles[1]));
    EXPECT_EQ(sBody.find(kProjectSep), std::string::npos);
}

TEST(StatisticsPages, FullPageHasAnUnnamedGrandTotalThenOneBlockPerProject)
{
    const std::vector<tcProjectStatistics> aProjects{{"/work/one.xlf", {File("a.txt", 3), File("b.txt", 4)}},
                                                     {"/work/two.xlf", {File("c.xml", 5)}}};
    const std::string sBody =
        Body(tMakeFullStatisticsPage(aProjects), ".fileseperator {color: red;}\n.projectseperator {color: blue;}\n");

    const std::vector<std::string> aParts = Split(sBody, kProjectSep);
    ASSERT_EQ(aParts.size(), 4u) << sBody;
    EXPECT_EQ(aParts[0].find("File name"), std::string::npos) << "the grand total carries no name";
    EXPECT_TRUE(Counts(aParts[0], 12));
    EXPECT_EQ(aParts[0].find(kFileSep), std::string::npos);
    EXPECT_EQ(aParts[1], "");

    const std::vector<std::string> aFirst = Split(aParts[2], kFileSep);
    ASSERT_EQ(aFirst.size(), 4u);
    EXPECT_TRUE(Names(aFirst[0], "/work/one.xlf"));
    EXPECT_TRUE(Counts(aFirst[0], 7));
    EXPECT_EQ(aFirst[1], "");
    EXPECT_EQ(aFirst[2], Html(aProjects[0].aFiles[0]));
    EXPECT_EQ(aFirst[3], Html(aProjects[0].aFiles[1]));

    const std::vector<std::string> aSecond = Split(aParts[3], kFileSep);
    ASSERT_EQ(aSecond.size(), 3u);
    EXPECT_TRUE(Names(aSecond[0], "/work/two.xlf"));
    EXPECT_TRUE(Counts(aSecond[0], 5));
    EXPECT_EQ(aSecond[2], Html(aProjects[1].aFiles[0]));
}

TEST(StatisticsPages, OneProjectOnTheFullPageHasNoProjectSeparatorAfterItsBlock)
{
    const std::vector<tcProjectStatistics> aProjects{{"/work/one.xlf", {File("a.txt", 2)}}};
    const std::string sBody =
        Body(tMakeFullStatisticsPage(aProjects), ".fileseperator {color: red;}\n.projectseperator {color: blue;}\n");
    const std::vector<std::string> aParts = Split(sBody, kProjectSep);
    ASSERT_EQ(aParts.size(), 3u);
    EXPECT_TRUE(Counts(aParts[0], 2));
    EXPECT_TRUE(Names(aParts[2], "/work/one.xlf"));
}
} // namespace
