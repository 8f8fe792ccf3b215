#include "varnak/include/tDateTime.h"

#include <gtest/gtest.h>

TEST(DateTimeText, ReadsTheStoredForms)
{
    const wxDateTime expected = tStrToDateTime(L"2024-03-05T14:07:09Z");
    ASSERT_TRUE(expected.IsValid());
    EXPECT_EQ(expected.GetTicks(), 1709647629);

    for (const wchar_t* sz : {L"2024-03-05T14:07:09", L"2024-03-05 14:07:09Z", L"20240305T140709Z",
                              L"2024-03-05T14:07:09.250Z", L" 2024-03-05T14:07:09Z "})
    {
        const wxDateTime dt = tStrToDateTime(sz);
        ASSERT_TRUE(dt.IsValid()) << wxString(sz);
        EXPECT_EQ(dt.GetTicks(), expected.GetTicks()) << wxString(sz);
    }
    EXPECT_EQ(tStrToDateTime(L"2024-03-05").GetTicks(), 1709596800);
    EXPECT_EQ(tStrToDateTime(L"20240229").GetTicks(), 1709164800);

    for (const wchar_t* sz :
         {L"", L"garbage", L"2023-02-29", L"2024-13-01", L"2024-00-10", L"2024-03-05T25:00:00Z", L"2024-03-05X",
          L"2024-03-05T14:07", L"2024-0305", L"20240305 140709", L"2024-03-05T14:07:09.Z"})
        EXPECT_FALSE(tStrToDateTime(sz).IsValid()) << wxString(sz);
}

TEST(DateTimeText, WritesUtcAndRoundTrips)
{
    for (const wchar_t* sz :
         {L"2024-03-05T14:07:09Z", L"1969-12-31T23:59:59Z", L"1900-01-01T00:00:00Z", L"2038-01-19T03:14:08Z"})
        EXPECT_EQ(tDateTimeToStr(tStrToDateTime(sz)), sz);
    EXPECT_EQ(tDateTimeToStr(wxDateTime()), wxString());

    // A later stamp compares later: the statistics merge relies on it.
    EXPECT_TRUE(tStrToDateTime(L"2024-03-05T14:07:09Z").IsEarlierThan(tStrToDateTime(L"2024-03-05T14:07:10Z")));
}
