#include "engine/MemDocQuery.h"

#include "Shared/AppUtils_sharedText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace
{
std::u16string Repeat(const std::u16string& s, size_t nTimes)
{
    std::u16string sOut;
    for (size_t i = 0; i < nTimes; ++i)
        sOut += s;
    return sOut;
}

// Texts of nLength units from a small alphabet (so that texts are alike), with a unit beyond the
// first 256 and a surrogate half now and then.
std::u16string RandomText(std::mt19937& rng, size_t nLength)
{
    static const char16_t aszUnits[] = {u'a', u'b', u'c', u' ', u'\u00E9', u'\u0416', u'\xD83D', u'\xDE00'};
    std::u16string s;
    for (size_t i = 0; i < nLength; ++i)
        s += aszUnits[std::uniform_int_distribution<size_t>(0, std::size(aszUnits) - 1)(rng)];
    return s;
}
} // namespace

TEST(MemDocQuery, DistancesAreThoseOfThePlainTable)
{
    struct Case
    {
        std::u16string sQuery, sText;
        uint32_t nDistance;
    };
    const std::u16string s64 = Repeat(u"abcd", 16);
    const Case aCases[] = {
        {u"", u"", 0},
        {u"", u"abc", 3},
        {u"abc", u"", 3},
        {u"kitten", u"sitting", 3},
        {u"Open the file.", u"Close the file.", 5},
        // A character above U+FFFF is two units; one of them differs.
        {u"a\U0001F600b", u"a\U0001F601b", 1},
        // The word boundaries of the bit-parallel form: 63, 64, 65 and 129 units.
        {s64.substr(1), s64, 1},
        {s64, s64, 0},
        {s64 + u"x", s64, 1},
        {s64 + u"x", u"x" + s64, 2},
        {Repeat(s64, 2) + u"q", Repeat(u"dcba", 32), 66},
        {u"abc", Repeat(u"z", 200), 200},
    };
    for (const Case& c : aCases)
    {
        CMemDocQuery query(c.sQuery);
        EXPECT_EQ(query.Distance(c.sText), c.nDistance) << c.sQuery.size() << "/" << c.sText.size();
        EXPECT_EQ(tLevenshteinDistancePlain(c.sQuery, c.sText, 1, 1, 1), c.nDistance);
    }
}

TEST(MemDocQuery, BatchesGiveWhatTheTableGivesInEveryKernel)
{
    std::mt19937 rng(7);
    for (teMemDocKernel eKernel : {teMemDocKernel::AVX512, teMemDocKernel::AVX2, teMemDocKernel::Portable})
    {
        if (!CMemDocQuery::HasKernel(eKernel))
        {
            std::printf("The processor lacks the %s kernel; not tested\n", CMemDocQuery::KernelName(eKernel));
            continue;
        }
        CMemDocQuery::UseKernel(eKernel);
        ASSERT_EQ(CMemDocQuery::GetKernel(), eKernel);
        for (size_t nQueryLength : {3u, 17u, 63u, 64u, 65u, 150u, 128u, 129u, 200u, 256u, 257u})
        {
            const std::u16string sQuery = RandomText(rng, nQueryLength);
            // Lengths vary within a batch, so lanes finish at different points; or all texts have
            // one length, as look-ups batch them, and every lane finishes at once.
            for (bool bOneLength : {false, true})
            {
                std::vector<std::u16string> asTexts;
                const size_t nOneLength = std::uniform_int_distribution<size_t>(1, 90)(rng);
                for (int i = 0; i < 53; ++i)
                    asTexts.push_back(
                        RandomText(rng, bOneLength ? nOneLength : std::uniform_int_distribution<size_t>(0, 90)(rng)));
                std::vector<std::u16string_view> aViews(asTexts.begin(), asTexts.end());
                std::vector<uint32_t> anDistances(aViews.size());
                CMemDocQuery query(sQuery);
                query.DistanceBatch(aViews.data(), aViews.size(), anDistances.data());
                for (size_t i = 0; i < asTexts.size(); ++i)
                    ASSERT_EQ(anDistances[i], tLevenshteinDistancePlain(sQuery, asTexts[i], 1, 1, 1))
                        << CMemDocQuery::KernelName(eKernel) << ", query of " << nQueryLength << ", text " << i
                        << (bOneLength ? " (one length)" : "");
            }
        }
    }
    CMemDocQuery::UseVectorUnits(true);
}

TEST(MemDocQuery, TwoQueriesOfOneThreadDoNotDisturbEachOther)
{
    // Batches of sixteen texts fill every lane of the widest kernel; a query made while another of
    // the thread lives keeps tables of its own, and each query leaves the thread's tables clean.
    auto Batch = [](CMemDocQuery& query, std::u16string_view sText)
    {
        std::vector<std::u16string_view> aTexts(16, sText);
        std::vector<uint32_t> anDistances(aTexts.size());
        query.DistanceBatch(aTexts.data(), aTexts.size(), anDistances.data());
        for (uint32_t n : anDistances)
            EXPECT_EQ(n, anDistances.front());
        return anDistances.front();
    };
    for (const std::u16string& sTail : {std::u16string(), Repeat(u"-", 100)})
    {
        CMemDocQuery outer(u"abcdef" + sTail);
        {
            CMemDocQuery inner(u"xyz" + sTail);
            EXPECT_EQ(inner.Distance(u"xyzabc" + sTail), 3u);
            EXPECT_EQ(Batch(inner, u"xyzabc" + sTail), 3u);
        }
        EXPECT_EQ(outer.Distance(u"abcxyz" + sTail), 3u);
        EXPECT_EQ(Batch(outer, u"abcxyz" + sTail), 3u);
    }
    CMemDocQuery next(u"fedcba");
    EXPECT_EQ(next.Distance(u"abcdef"), 6u);
    EXPECT_EQ(Batch(next, u"abcdef"), 6u);
}
