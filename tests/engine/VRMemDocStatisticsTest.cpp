#include "engine/VRMemDocStatistics.h"

#include <gtest/gtest.h>

#include <wx/debug.h>

#include <functional>
#include <vector>

namespace
{
// Counts wx debug assertions while it lives (comparing invalid dates raises one).
class WxAssertCounter
{
public:
    WxAssertCounter() { m_pfnOld = wxSetAssertHandler(&WxAssertCounter::OnAssert); }
    ~WxAssertCounter() { wxSetAssertHandler(m_pfnOld); }
    static int s_nCount;

private:
    static void OnAssert(const wxString&, int, const wxString&, const wxString&, const wxString&) { ++s_nCount; }
    wxAssertHandler_t m_pfnOld = nullptr;
};
int WxAssertCounter::s_nCount = 0;

CVRMemDocStatistics FilledRecord()
{
    CVRMemDocStatistics r;
    r.SetFileName("notes & <draft>.txt");
    r.SetLastModified("2024-01-02T03:04:05Z");
    r.SetLastModifiedBy("anna");
    r.SetNumTranslationUnits(5);
    r.SetNumTranslatableUnits(4);
    r.SetNumTranslatableSegments(6);
    r.SetNumSegments(7);
    r.AddWords(20);
    r.AddCharacters(100);
    r.SetNumTranslatedSegments(2);
    r.AddTranslatedWords(5);
    r.AddTranslatedCharacters(27);
    r.UpdateAverages();
    return r;
}
} // namespace

TEST(VRMemDocStatistics, DerivedCountsAreRightAfterTheLastSetterWhateverTheOrder)
{
    using Step = std::function<void(CVRMemDocStatistics&)>;
    struct Case
    {
        const char* szName;
        std::vector<Step> aSteps;
        int nUnitsNotTranslatable;
        int nSegmentsNotTranslatable;
        int nSegmentsNotTranslated;
    };
    const Step units5 = [](CVRMemDocStatistics& r) { r.SetNumTranslationUnits(5); };
    const Step translatableUnits2 = [](CVRMemDocStatistics& r) { r.SetNumTranslatableUnits(2); };
    const Step segments5 = [](CVRMemDocStatistics& r) { r.SetNumSegments(5); };
    const Step translatable3 = [](CVRMemDocStatistics& r) { r.SetNumTranslatableSegments(3); };
    const Step translated1 = [](CVRMemDocStatistics& r) { r.SetNumTranslatedSegments(1); };
    const Case kCases[] = {
        {"translatable segments first: transiently negative", {translatable3}, 0, -3, 3},
        {"then all segments", {translatable3, segments5}, 0, 2, 3},
        {"translated before translatable", {translated1}, 0, 0, -1},
        {"every setter, one order", {units5, translatableUnits2, segments5, translatable3, translated1}, 3, 2, 2},
        {"every setter, reversed", {translated1, translatable3, segments5, translatableUnits2, units5}, 3, 2, 2},
        {"translatable units first", {translatableUnits2}, -2, 0, 0},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.szName);
        CVRMemDocStatistics r;
        for (const Step& step : c.aSteps)
            step(r);
        EXPECT_EQ(r.GetNumUnitsNotTranslatable(), c.nUnitsNotTranslatable);
        EXPECT_EQ(r.GetNumSegmentsNotTranslatable(), c.nSegmentsNotTranslatable);
        EXPECT_EQ(r.GetNumSegmentsNotTranslated(), c.nSegmentsNotTranslated);
    }
}

TEST(VRMemDocStatistics, AveragesUseIntegerDivisionAndSkipZeroDivisors)
{
    CVRMemDocStatistics r;
    r.SetNumTranslatableSegments(3);
    r.AddWords(10);
    r.AddCharacters(17);
    r.UpdateAverages();
    EXPECT_EQ(r.GetAverageWords(), 3.0f);
    EXPECT_EQ(r.GetAverageCharacters(), 5.0f);
    EXPECT_EQ(r.GetAverageTranslatedWords(), 0.0f);

    r.SetNumTranslatedSegments(4);
    r.AddTranslatedWords(17);
    r.UpdateAverages();
    EXPECT_EQ(r.GetAverageTranslatedWords(), 4.0f);

    // Without segments the averages stay as they were.
    r.SetNumTranslatableSegments(0);
    r.SetNumTranslatedSegments(0);
    r.UpdateAverages();
    EXPECT_EQ(r.GetAverageWords(), 3.0f);
    EXPECT_EQ(r.GetAverageTranslatedWords(), 4.0f);
}

TEST(VRMemDocStatistics, HTMLFragmentBytes)
{
    EXPECT_EQ(FilledRecord().GetHTML().utf8_string(),
              "<p><hr/><span class=\"head\">File name</span>: notes &amp; &lt;draft&gt;.txt<br />\n"
              "<span class=\"head\">Last modified</span>: 2024-01-02T03:04:05Z<br />\n"
              "<span class=\"head\">Last modified by</span>: anna<hr/>\n"
              "\t<span class=\"head\">Translation units</span>:\t\t5<br />\n"
              "\t\t<span class=\"head\">Translatable</span>:\t\t4<br />\n"
              "\t\t<span class=\"head\">Not translatable</span>:\t\t1<br />\n"
              "<br />\n"
              "\t<span class=\"head\">Segments</span>:\t\t7<br />\n"
              "\t\t<span class=\"head\">Translatable</span>:\t\t6<br />\n"
              "\t\t\t<span class=\"head\">Number of words</span>:\t\t20<br />\n"
              "\t\t\t<span class=\"head\">Number of characters</span>:\t\t100<br />\n"
              "\t\t\t<span class=\"head\">Average number of words</span>:\t\t3.000000<br />\n"
              "\t\t\t<span class=\"head\">Average number of characters</span>:\t\t16.000000<br />\n"
              "\t\t<span class=\"head\">Translated</span>:\t\t2<br />\n"
              "\t\t\t<span class=\"head\">Number of words</span>:\t\t5<br />\n"
              "\t\t\t<span class=\"head\">Number of characters</span>:\t\t27<br />\n"
              "\t\t\t<span class=\"head\">Average number of words</span>:\t\t2.000000<br />\n"
              "\t\t\t<span class=\"head\">Average number of characters</span>:\t\t13.000000<br />\n"
              "\t\t<span class=\"head\">Not translated</span>:\t\t4<br />\n"
              "\t\t<span class=\"head\">Not translatable</span>:\t\t1<br />\n"
              "<br />\n"
              "</p>");

    const wxString sEmpty = CVRMemDocStatistics().GetHTML();
    EXPECT_TRUE(sEmpty.StartsWith("<p><hr/><hr/>\n\t<span class=\"head\">Translation units</span>:\t\t0<br />\n"))
        << sEmpty;
    EXPECT_TRUE(sEmpty.Contains("\t\t\t<span class=\"head\">Average number of words</span>:\t\t0.000000<br />\n"));
}

TEST(VRMemDocStatistics, MergeSumsAndKeepsTheLaterStampInvalidDatesCountingAsEarliest)
{
    struct Case
    {
        const char* szThis;
        const char* szOther;
        const char* szWinner; // "this" or "other"
    };
    const Case kCases[] = {
        {"2024-01-02T03:04:05Z", "2024-01-02T03:04:06Z", "other"},
        {"2024-01-02T03:04:06Z", "2024-01-02T03:04:05Z", "this"},
        {"2024-01-02T03:04:05Z", "2024-01-02T03:04:05Z", "this"}, // a tie keeps this record's
        {"", "2024-01-02T03:04:05Z", "other"},                    // the empty running total
        {"2024-01-02T03:04:05Z", "not a date", "this"},
        {"", "", "this"},
        {"2024-02-30T00:00:00Z", "1999-12-31T23:59:59Z", "other"},
    };
    WxAssertCounter wxAsserts;
    WxAssertCounter::s_nCount = 0;
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(wxString(c.szThis) + " / " + c.szOther);
        CVRMemDocStatistics a = FilledRecord();
        a.SetLastModified(c.szThis);
        a.SetLastModifiedBy("this");
        CVRMemDocStatistics b = FilledRecord();
        b.SetLastModified(c.szOther);
        b.SetLastModifiedBy("other");

        const CVRMemDocStatistics m = a.Merge(b);
        EXPECT_EQ(m.GetLastModifiedBy(), c.szWinner);
        EXPECT_EQ(m.GetLastModified(), wxString(m.GetLastModifiedBy() == "this" ? c.szThis : c.szOther));
    }
    EXPECT_EQ(WxAssertCounter::s_nCount, 0);

    CVRMemDocStatistics total;
    total = total.Merge(FilledRecord());
    total = total.Merge(FilledRecord());
    EXPECT_EQ(total.GetNumTranslationUnits(), 10);
    EXPECT_EQ(total.GetNumUnitsNotTranslatable(), 2);
    EXPECT_EQ(total.GetNumSegments(), 14);
    EXPECT_EQ(total.GetNumTranslatableSegments(), 12);
    EXPECT_EQ(total.GetNumTranslatedSegments(), 4);
    EXPECT_EQ(total.GetNumSegmentsNotTranslated(), 8);
    EXPECT_EQ(total.GetNumSegmentsNotTranslatable(), 2);
    EXPECT_EQ(total.GetNumWords(), 40);
    EXPECT_EQ(total.GetNumCharacters(), 200);
    EXPECT_EQ(total.GetNumTranslatedWords(), 10);
    EXPECT_EQ(total.GetNumTranslatedCharacters(), 54);
    EXPECT_EQ(total.GetAverageCharacters(), 16.0f);
    EXPECT_EQ(total.GetAverageTranslatedCharacters(), 13.0f);
    EXPECT_TRUE(total.GetFileName().empty());
    EXPECT_FALSE(total.GetHTML().Contains("File name"));
    EXPECT_EQ(total.GetLastModifiedBy(), "anna");
}
