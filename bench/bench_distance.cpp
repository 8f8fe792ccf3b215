// Edit distance as the translation memory uses it (unit costs): computations per second of the
// bit-parallel path and of the plain table, for sentences of typical lengths in UTF-16 units.
//
//     bench_distance [seconds per figure, default 0.5]
//
// Prints "name: value" lines; exits with 1 when the two paths ever disagree.
#include "Shared/AppUtils_sharedTestText.h"
#include "Shared/AppUtils_sharedText.h"

#include "varnak/include/tString.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;
using Distance = uint32_t (*)(std::u16string_view, std::u16string_view, uint32_t, uint32_t, uint32_t);

uint32_t Fast(std::u16string_view a, std::u16string_view b, uint32_t d, uint32_t i, uint32_t s)
{
    return tLevenshteinDistanceU16(a, b, d, i, s);
}

uint32_t Plain(std::u16string_view a, std::u16string_view b, uint32_t d, uint32_t i, uint32_t s)
{
    return tLevenshteinDistancePlain(a, b, d, i, s);
}

// Fake sentences cut to exactly nUnits UTF-16 units.
std::u16string Sentence(size_t nUnits, const wchar_t* szLanguage)
{
    std::u16string s;
    while (s.size() < nUnits)
        s += tToU16(tGenFakeSentence(4, 12, true, szLanguage) + ". ");
    s.resize(nUnits);
    return s;
}

// A fuzzy match of sQuery as a memory would hold it: some words changed, one dropped.
std::u16string Variant(std::u16string s)
{
    for (int k = 0; k < 3; ++k)
    {
        const size_t p = std::rand() % s.size();
        const size_t nLen = std::min<size_t>(5, s.size() - p);
        s.replace(p, nLen, tToU16(tGenFakeWord(nullptr)));
    }
    s.erase(std::rand() % s.size(), 4);
    return s;
}

// Pairs of a query and a candidate: half near matches, half unrelated sentences (most of what a
// memory compares is not a match).
std::vector<std::pair<std::u16string, std::u16string>> MakePairs(size_t nUnits)
{
    std::vector<std::pair<std::u16string, std::u16string>> aPairs;
    for (int i = 0; i < 64; ++i)
    {
        const wchar_t* szLanguage = i % 8 == 7 ? L"el" : nullptr;
        std::u16string sQuery = Sentence(nUnits, szLanguage);
        std::u16string sCandidate = i % 2 ? Variant(sQuery) : Sentence(nUnits, szLanguage);
        aPairs.emplace_back(std::move(sQuery), std::move(sCandidate));
    }
    return aPairs;
}

// Computations per second, and the sum of all distances of one pass over the pairs.
std::pair<double, uint64_t> Measure(Distance fn, const std::vector<std::pair<std::u16string, std::u16string>>& aPairs,
                                    double fSeconds)
{
    uint64_t nChecksum = 0;
    for (const auto& [a, b] : aPairs)
        nChecksum += fn(a, b, 1, 1, 1);
    uint64_t nCount = 0;
    volatile uint64_t nSink = 0;
    const Clock::time_point start = Clock::now();
    double fElapsed = 0;
    do
    {
        for (const auto& [a, b] : aPairs)
            nSink = nSink + fn(a, b, 1, 1, 1);
        nCount += aPairs.size();
        fElapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (fElapsed < fSeconds);
    return {nCount / fElapsed, nChecksum};
}
} // namespace

int main(int argc, char** argv)
{
    const double fSeconds = argc > 1 ? std::atof(argv[1]) : 0.5;
    std::srand(20240229);
    bool bAgree = true;
    double fLogRatioSum = 0;
    const std::vector<size_t> aLengths = {40, 120, 300};
    for (size_t nUnits : aLengths)
    {
        const auto aPairs = MakePairs(nUnits);
        const auto [fFast, nFastSum] = Measure(Fast, aPairs, fSeconds);
        const auto [fPlain, nPlainSum] = Measure(Plain, aPairs, fSeconds);
        bAgree = bAgree && nFastSum == nPlainSum;
        std::printf("distance_fast_%zu: %.0f\n", nUnits, fFast);
        std::printf("distance_plain_%zu: %.0f\n", nUnits, fPlain);
        std::printf("fast_vs_plain_%zu: %.2f\n", nUnits, fFast / fPlain);
        fLogRatioSum += std::log(fFast / fPlain);
    }
    // The geometric mean over the three lengths.
    std::printf("fast_vs_plain: %.2f\n", std::exp(fLogRatioSum / aLengths.size()));
    std::printf("paths_agree: %d\n", bAgree ? 1 : 0);
    return bAgree ? 0 : 1;
}
