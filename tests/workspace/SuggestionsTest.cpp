// Which memory proposals a segment shows, and where a project keeps the two limits.
#include "workspace/Suggestions.h"

#include "Shared/Options.h"
#include "engine/XLIFFDTD.h"
#include "tests/harness/TestFiles.h"
#include "tests/platform/WxConsoleApp.h"
#include "tests/workspace/PaneTestSupport.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcNode.h"

#include <gtest/gtest.h>
#include <wx/confbase.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> Ratings(const std::vector<SSuggestion>& aSuggestions)
{
    std::vector<std::string> asRatings;
    for (const SSuggestion& suggestion : aSuggestions)
        asRatings.push_back(suggestion.sRating.utf8_string());
    return asRatings;
}

std::vector<std::string> Targets(const std::vector<SSuggestion>& aSuggestions)
{
    std::vector<std::string> asTargets;
    for (const SSuggestion& suggestion : aSuggestions)
        asTargets.push_back(suggestion.sTarget.utf8_string());
    return asTargets;
}

// Segment 2 of the fixture's unit 2 has six proposals (40, 95, none, 25, 80, "85%", in that order);
// segment 1 has one (100).
TEST(Suggestions, FilterKeepsTheBestWithinTheLimits)
{
    PaneProject project;
    ASSERT_TRUE(project.IsLoaded());
    const std::vector<tcNode*> apSegments = project.Segments(0);
    ASSERT_GE(apSegments.size(), 3u);
    const tcNode* pSegment = apSegments[2];

    const struct
    {
        int nMin;
        int nMax;
        std::vector<std::string> asRatings;
    } cases[] = {
        {30, 5, {"95", "80", "40", "85%", ""}},
        {30, 2, {"95", "80"}},
        {1, 100, {"95", "80", "40", "25", "85%", ""}},
        // No integer quality always passes, and ranks last: the later one first.
        {96, 5, {"85%", ""}},
        {30, 4, {"95", "80", "40", "85%"}},
        {100, 1, {"85%"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nMin << "/" << c.nMax);
        EXPECT_EQ(Ratings(CollectSuggestions(project.DTD(), pSegment, c.nMin, c.nMax)), c.asRatings);
    }

    const std::vector<SSuggestion> aBest = CollectSuggestions(project.DTD(), pSegment, 30, 5);
    ASSERT_FALSE(aBest.empty());
    EXPECT_EQ(aBest[0].nScore, 95);
    EXPECT_EQ(aBest[0].sSource, "Two.");
    EXPECT_EQ(aBest[0].sTarget, "Zwei.");
    ASSERT_TRUE(aBest[0].pTarget);
    EXPECT_EQ(aBest[0].pTarget->GenerateXMLChildren(), "Zwei.");
    EXPECT_EQ(aBest[3].nScore, -1);
}

TEST(Suggestions, SegmentsSeeOnlyTheProposalsWithTheirMid)
{
    PaneProject project;
    ASSERT_TRUE(project.IsLoaded());
    const std::vector<tcNode*> apSegments = project.Segments(0);
    ASSERT_EQ(apSegments.size(), 10u);
    const struct
    {
        int nSegment;
        std::vector<std::string> asTargets;
    } cases[] = {
        // An unsegmented unit shows all of its proposals.
        {0, {"Willkommen im Buch"}},
        {1, {"Eins."}},
        {3, {}},
        // A sub-flow segment finds its unit through the sub.
        {6, {"Firmenlogo"}},
        {7, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.nSegment);
        EXPECT_EQ(Targets(CollectSuggestions(project.DTD(), apSegments[static_cast<size_t>(c.nSegment)], 1, 100)),
                  c.asTargets);
    }
    EXPECT_TRUE(CollectSuggestions(project.DTD(), nullptr, 1, 100).empty());
}

TEST(Suggestions, EqualScoresShowTheLaterFirstAndDropTheEarlierFirst)
{
    tcDocument doc;
    tcDictionary* pRoot = PrepareNewProjectDocument(&doc);
    ASSERT_TRUE(pRoot);
    SXLIFFDTD dtd;
    InitXLIFFDTD(&doc, dtd, false);
    tcNode* pXliff = pRoot->GetChild(0);
    ASSERT_TRUE(pXliff->ParseXML(
        "<file original=\"a.txt\" source-language=\"en\" target-language=\"de\" datatype=\"plaintext\"><body>"
        "<trans-unit id=\"1\"><source>x</source>"
        "<alt-trans match-quality=\"80\"><source>A</source><target>a</target></alt-trans>"
        "<alt-trans match-quality=\"90\"><source>B</source><target>b</target></alt-trans>"
        "<alt-trans match-quality=\"80\"><source>C</source><target>c</target></alt-trans>"
        "<alt-trans match-quality=\"80\"><source>D</source><target>d</target></alt-trans>"
        "<alt-trans match-quality=\"95\"><source>E</source></alt-trans>"
        "</trans-unit></body></file>",
        &doc));
    std::vector<tcNode*> apSources;
    pXliff->FindDescendantsOfElementType(dtd.m_pSourceElement->GetID(), apSources);
    ASSERT_FALSE(apSources.empty());
    const tcNode* pSegment = apSources[0];

    EXPECT_EQ(Targets(CollectSuggestions(dtd, pSegment, 1, 10)), (std::vector<std::string>{"b", "d", "c", "a", ""}));
    // Over the limit the earliest of the lowest goes first.
    EXPECT_EQ(Targets(CollectSuggestions(dtd, pSegment, 1, 3)), (std::vector<std::string>{"b", "d", "c"}));
    // A proposal without target has no quality to read.
    const std::vector<SSuggestion> aAll = CollectSuggestions(dtd, pSegment, 1, 10);
    EXPECT_EQ(aAll.back().sSource, "E");
    EXPECT_EQ(aAll.back().nScore, -1);
    EXPECT_EQ(aAll.back().pTarget, nullptr);
}

// A handler that names a project file and reads nothing.
class NamedIO : public tcIO
{
public:
    explicit NamedIO(const wxString& sPath) : m_sPath(sPath) {}
    wxString GetDatasource() const override { return m_sPath; }

private:
    wxString m_sPath;
};

class SuggestionSettings : public ::testing::Test
{
protected:
    void SetUp() override { OpenStore(); }
    void TearDown() override { tDeleteConfigStore(); }
    static wxString StoreFile() { return HomePath("Lintrado.conf"); }
    static void OpenStore() { tCreateConfigStore(StoreFile(), wxString()); }
};

TEST_F(SuggestionSettings, GroupIsThePathWithSeparatorsReplaced)
{
    EXPECT_EQ(SuggestionSettingsGroup(L"/home/u/p.xlf"), "/Settings/Documents/_home_u_p.xlf");
    EXPECT_EQ(SuggestionSettingsGroup(L"C:\\Work\\p.xlf"), "/Settings/Documents/C:_Work_p.xlf");
    EXPECT_EQ(SuggestionSettingsGroup(wxString()), "");
}

TEST_F(SuggestionSettings, LimitsAreKeptPerProjectFile)
{
    const NamedIO first(L"/home/u/first.xlf");
    const NamedIO second(L"/home/u/second.xlf");
    ASSERT_TRUE(WriteSuggestionLimits(&first, {50, 7}));

    // The next run reads them back for the same file only.
    tDeleteConfigStore();
    OpenStore();
    const SSuggestionLimits read = ReadSuggestionLimits(&first);
    EXPECT_EQ(read.nMinPercent, 50);
    EXPECT_EQ(read.nMaxCount, 7);
    const SSuggestionLimits other = ReadSuggestionLimits(&second);
    EXPECT_EQ(other.nMinPercent, 30);
    EXPECT_EQ(other.nMaxCount, 5);
    // The store's current group is left alone.
    EXPECT_EQ(g_pConfig->GetPath(), "");
}

TEST_F(SuggestionSettings, StoredValuesOutsideTheRangeAreClamped)
{
    const NamedIO project(L"/p.xlf");
    const struct
    {
        long nPercent;
        long nLimit;
        int nReadPercent;
        int nReadLimit;
    } cases[] = {
        {0, 500, 1, 100},
        {-3, 1000, 1, 100},
        {101, 0, 100, 1},
        {100, 100, 100, 100},
    };
    for (const auto& c : cases)
    {
        g_pConfig->Write("/Settings/Documents/_p.xlf/SuggestedTranslationPercent", c.nPercent);
        g_pConfig->Write("/Settings/Documents/_p.xlf/SuggestedTranslationLimit", c.nLimit);
        const SSuggestionLimits read = ReadSuggestionLimits(&project);
        EXPECT_EQ(read.nMinPercent, c.nReadPercent) << c.nPercent;
        EXPECT_EQ(read.nMaxCount, c.nReadLimit) << c.nLimit;
    }
}

TEST_F(SuggestionSettings, ProjectWithoutFileStoresNothing)
{
    const NamedIO unnamed{wxString()};
    for (const tcIO* pIO : {static_cast<const tcIO*>(nullptr), static_cast<const tcIO*>(&unnamed)})
    {
        EXPECT_FALSE(WriteSuggestionLimits(pIO, {70, 9}));
        const SSuggestionLimits read = ReadSuggestionLimits(pIO);
        EXPECT_EQ(read.nMinPercent, 30);
        EXPECT_EQ(read.nMaxCount, 5);
    }
    EXPECT_FALSE(g_pConfig->HasGroup("/Settings"));
    // Without a store the defaults hold and nothing fails.
    tDeleteConfigStore();
    const NamedIO project(L"/p.xlf");
    EXPECT_FALSE(WriteSuggestionLimits(&project, {70, 9}));
    EXPECT_EQ(ReadSuggestionLimits(&project).nMinPercent, 30);
}
} // namespace
