#include "varnak/include/tGUID.h"

#include <gtest/gtest.h>

#include <set>

TEST(Guid, TextRoundTrip)
{
    for (int i = 0; i < 20; ++i)
    {
        const tGUID guid = tCreateGUID();
        const wxString sText = tGUIDToString(guid);
        ASSERT_EQ(sText.length(), 32u);
        EXPECT_TRUE(sText.find_first_not_of(L"0123456789ABCDEF") == wxString::npos) << sText;
        EXPECT_EQ(sText[12], L'4') << "version 4";
        EXPECT_TRUE(wxString(L"89AB").Find(sText[16]) != wxNOT_FOUND) << "RFC 4122 variant";

        tGUID back;
        ASSERT_TRUE(tStringToGUID(sText, back));
        EXPECT_EQ(back, guid);
        EXPECT_TRUE(tCmpGUID(back, guid));
        wxString sOut;
        tGUIDToString(back, sOut);
        EXPECT_EQ(sOut, sText);
    }
}

TEST(Guid, ReadsTheFormsItKnowsAndNothingElse)
{
    const wxString sCanonical = L"AE567AC907954DEC883380F9CBFEDFAA";
    const wchar_t* aGood[] = {
        L"AE567AC907954DEC883380F9CBFEDFAA",
        L"ae567ac907954dec883380f9cbfedfaa",
        L"AE567AC9-0795-4DEC-8833-80F9CBFEDFAA",
        L"{AE567AC9-0795-4DEC-8833-80F9CBFEDFAA}",
    };
    for (const wchar_t* sz : aGood)
    {
        tGUID guid;
        ASSERT_TRUE(tStringToGUID(sz, guid)) << wxString(sz);
        EXPECT_EQ(tGUIDToString(guid), sCanonical);
        EXPECT_EQ(guid.aBytes[0], 0xAE);
        EXPECT_EQ(guid.aBytes[15], 0xAA);
    }

    const wchar_t* aBad[] = {
        L"",
        L"AE567AC907954DEC883380F9CBFEDFA",   // 31 digits
        L"AE567AC907954DEC883380F9CBFEDFAA0", // 33 digits
        L"AE567AC907954DEC883380F9CBFEDFAG",
        L"AE567AC9-0795-4DEC-8833-80F9CBFEDFA",
        L"AE567AC90-795-4DEC-8833-80F9CBFEDFAA",
        L"AE567AC9-0795-4DEC-8833_80F9CBFEDFAA",
        L"{AE567AC9-0795-4DEC-8833-80F9CBFEDFAA)",
        L"(AE567AC907954DEC883380F9CBFEDFAA)",
        L"AE567AC9-0795-4DEC-883-380F9CBFEDFAA",
        L"AE567AC907954DEC 883380F9CBFEDFA",
    };
    const tGUID original = tCreateGUID();
    for (const wchar_t* sz : aBad)
    {
        tGUID guid = original;
        EXPECT_FALSE(tStringToGUID(sz, guid)) << wxString(sz);
        EXPECT_EQ(guid, original);
    }
}

TEST(Guid, CreatedValuesDifferAndOrder)
{
    std::set<tGUID> seen;
    for (int i = 0; i < 200; ++i)
        seen.insert(tCreateGUID());
    EXPECT_EQ(seen.size(), 200u);

    EXPECT_TRUE(tGUID().IsNull());
    EXPECT_FALSE(tCreateGUID().IsNull());
    tGUID a;
    tGUID b;
    ASSERT_TRUE(tStringToGUID(L"00000000000000000000000000000001", a));
    ASSERT_TRUE(tStringToGUID(L"01000000000000000000000000000000", b));
    EXPECT_LT(a, b);
    EXPECT_NE(a, b);
    EXPECT_FALSE(tCmpGUID(a, b));
}
