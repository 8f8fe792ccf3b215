// Edit distances: the plain dynamic programmes and the bit-parallel path for unit costs.
#include "Shared/AppUtils_sharedText.h"

#include "varnak/include/tString.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace
{
using Word = uint64_t;
constexpr int WORD_BITS = 64;

// Per-thread buffers, so that the memory's millions of comparisons allocate nothing once warm.
struct tsBitScratch
{
    std::vector<uint32_t> aIndex; // code unit -> 1-based row of aPeq; 0 for units the pattern lacks
    std::vector<Word> aPeq;       // per distinct unit, one match mask per block
    std::vector<uint32_t> aText;  // the text as rows of aPeq
    std::vector<Word> aPv, aMv, aD0, aPrevEq;
};

tsBitScratch& Scratch()
{
    thread_local tsBitScratch scratch;
    if (scratch.aIndex.empty())
        scratch.aIndex.assign(0x10000, 0);
    return scratch;
}

// One column step of a 64-row block (Myers' algorithm in Hyyrö's block form). Pv/Mv are the
// vertical +1/-1 deltas, hin the horizontal delta entering at the block's top row; returns the
// delta leaving at row nOutBit. Tr adds the rows where a transposition ends (it counts as a match
// on the diagonal); D0 receives the diagonal-zero vector.
inline int StepBlock(Word& Pv, Word& Mv, Word Eq, Word Tr, int hin, int nOutBit, Word& D0)
{
    const Word hinNeg = hin < 0 ? 1 : 0;
    const Word Xv = Eq | Mv | Tr;
    Eq |= hinNeg;
    const Word Xh = ((((Eq & Pv) + Pv) ^ Pv) | Eq) | Tr;
    Word Ph = Mv | ~(Xh | Pv);
    Word Mh = Pv & Xh;
    D0 = Xh | Xv;
    int hout = static_cast<int>((Ph >> nOutBit) & 1) - static_cast<int>((Mh >> nOutBit) & 1);
    Ph <<= 1;
    Mh <<= 1;
    Mh |= hinNeg;
    Ph |= hin > 0 ? 1 : 0;
    Pv = Mh | ~(Xv | Ph);
    Mv = Ph & Xv;
    return hout;
}

// Unit-cost edit distance of pattern and text, bit-parallel over the pattern. With bSwaps a swap of
// two adjacent units costs 1 from the third row and the third column on (the scripts' form), else
// swaps are not edits.
uint32_t BitParallelDistance(std::u16string_view sPattern, std::u16string_view sText, bool bSwaps)
{
    const size_t n = sPattern.size();
    const size_t m = sText.size();
    if (n == 0)
        return static_cast<uint32_t>(m);
    if (m == 0)
        return static_cast<uint32_t>(n);

    tsBitScratch& s = Scratch();
    const size_t nBlocks = (n + WORD_BITS - 1) / WORD_BITS;

    // Number the pattern's distinct units from 1; row 0 of aPeq (all zero) serves every other unit.
    uint32_t nRows = 1;
    for (char16_t c : sPattern)
        if (s.aIndex[c] == 0)
            s.aIndex[c] = nRows++;
    s.aPeq.assign(static_cast<size_t>(nRows) * nBlocks, 0);
    for (size_t i = 0; i < n; ++i)
        s.aPeq[s.aIndex[sPattern[i]] * nBlocks + i / WORD_BITS] |= Word(1) << (i % WORD_BITS);
    s.aText.resize(m);
    for (size_t j = 0; j < m; ++j)
        s.aText[j] = s.aIndex[sText[j]];
    for (char16_t c : sPattern)
        s.aIndex[c] = 0;

    const int nLastBit = static_cast<int>((n - 1) % WORD_BITS);
    uint32_t nScore = static_cast<uint32_t>(n);

    if (nBlocks == 1 && !bSwaps)
    {
        Word Pv = ~Word(0), Mv = 0, D0 = 0;
        for (size_t j = 0; j < m; ++j)
            nScore += StepBlock(Pv, Mv, s.aPeq[s.aText[j]], 0, 1, nLastBit, D0);
        return nScore;
    }

    s.aPv.assign(nBlocks, ~Word(0));
    s.aMv.assign(nBlocks, 0);
    s.aD0.assign(nBlocks, 0);
    for (size_t j = 0; j < m; ++j)
    {
        const Word* pEq = &s.aPeq[s.aText[j] * nBlocks];
        const Word* pPrevEq = j > 0 ? &s.aPeq[s.aText[j - 1] * nBlocks] : nullptr;
        // Swaps count from the third column on.
        const bool bSwapColumn = bSwaps && j >= 2;
        int hin = 1; // the top border grows by one per column
        Word nCarry = 0;
        for (size_t b = 0; b < nBlocks; ++b)
        {
            Word Tr = 0;
            if (bSwapColumn)
            {
                // Row i ends a swap when pattern[i-1] matches the previous text unit, pattern[i-2]
                // this one, and the previous column did not already run diagonally at row i-1.
                const Word X = pEq[b] & ~s.aD0[b];
                Tr = ((X << 1) | nCarry) & pPrevEq[b];
                nCarry = X >> (WORD_BITS - 1);
                if (b == 0)
                    Tr &= ~Word(3); // and only from the third row on
            }
            const int nOutBit = b + 1 == nBlocks ? nLastBit : WORD_BITS - 1;
            hin = StepBlock(s.aPv[b], s.aMv[b], pEq[b], Tr, hin, nOutBit, s.aD0[b]);
        }
        nScore += hin;
    }
    return nScore;
}

bool FitsWithoutWrap(uint32_t nCost, size_t n, size_t m)
{
    return static_cast<uint64_t>(nCost) * (static_cast<uint64_t>(n) + m) <= std::numeric_limits<uint32_t>::max();
}
} // namespace

uint32_t tLevenshteinDistancePlain(std::u16string_view sFirst, std::u16string_view sSecond, uint32_t nDel,
                                   uint32_t nIns, uint32_t nSub)
{
    const size_t n = sFirst.size();
    const size_t m = sSecond.size();
    std::vector<uint32_t> aPrev(m + 1), aCur(m + 1);
    aPrev[0] = 0;
    for (size_t j = 1; j <= m; ++j)
        aPrev[j] = aPrev[j - 1] + nIns;
    for (size_t i = 1; i <= n; ++i)
    {
        aCur[0] = aPrev[0] + nDel;
        for (size_t j = 1; j <= m; ++j)
        {
            const uint32_t nDiag = aPrev[j - 1] + (sFirst[i - 1] == sSecond[j - 1] ? 0 : nSub);
            aCur[j] = std::min({nDiag, aCur[j - 1] + nIns, aPrev[j] + nDel});
        }
        std::swap(aPrev, aCur);
    }
    return aPrev[m];
}

uint32_t tLevenshteinDistancePlain(std::u16string_view sFirst, std::u16string_view sSecond, uint32_t nDel,
                                   uint32_t nIns, uint32_t nSub, uint32_t nTrans)
{
    const size_t n = sFirst.size();
    const size_t m = sSecond.size();
    if (n == 0)
        return static_cast<uint32_t>(m);
    if (m == 0)
        return static_cast<uint32_t>(n);
    // Three rolling rows of the table: i-2, i-1 and i.
    std::vector<uint32_t> aRow2(m + 1), aRow1(m + 1), aRow(m + 1);
    for (size_t j = 0; j <= m; ++j)
        aRow1[j] = static_cast<uint32_t>(j);
    for (size_t i = 1; i <= n; ++i)
    {
        aRow[0] = static_cast<uint32_t>(i);
        for (size_t j = 1; j <= m; ++j)
        {
            uint32_t nBest = std::min(
                {aRow1[j - 1] + (sFirst[i - 1] == sSecond[j - 1] ? 0 : nSub), aRow[j - 1] + nIns, aRow1[j] + nDel});
            if (i >= 3 && j >= 3)
            {
                const uint32_t nSwap = aRow2[j - 2] + nTrans + (sFirst[i - 2] != sSecond[j - 1] ? 1 : 0) +
                                       (sFirst[i - 1] != sSecond[j - 2] ? 1 : 0);
                nBest = std::min(nBest, nSwap);
            }
            aRow[j] = nBest;
        }
        std::swap(aRow2, aRow1);
        std::swap(aRow1, aRow);
    }
    return aRow1[m];
}

uint32_t tLevenshteinDistanceU16(std::u16string_view sFirst, std::u16string_view sSecond, uint32_t nDel, uint32_t nIns,
                                 uint32_t nSub)
{
    // With one cost for every edit the table is that cost times the unit table, as long as no sum
    // in it wraps; the distance is symmetric then, so the shorter text goes into the bit vectors.
    if (nDel == nIns && nIns == nSub && FitsWithoutWrap(nDel, sFirst.size(), sSecond.size()))
    {
        if (nDel == 0)
            return 0;
        const bool bFirstShorter = sFirst.size() <= sSecond.size();
        return nDel * BitParallelDistance(bFirstShorter ? sFirst : sSecond, bFirstShorter ? sSecond : sFirst, false);
    }
    return tLevenshteinDistancePlain(sFirst, sSecond, nDel, nIns, nSub);
}

uint32_t tLevenshteinDistanceU16(std::u16string_view sFirst, std::u16string_view sSecond, uint32_t nDel, uint32_t nIns,
                                 uint32_t nSub, uint32_t nTrans)
{
    // Unit costs: a swap that costs 2 or more never beats two substitutions, and one that costs 1
    // helps only where both crossings match, which the swap vector of the bit-parallel path covers.
    if (nDel == 1 && nIns == 1 && nSub == 1 && nTrans >= 1)
    {
        const bool bFirstShorter = sFirst.size() <= sSecond.size();
        return BitParallelDistance(bFirstShorter ? sFirst : sSecond, bFirstShorter ? sSecond : sFirst, nTrans == 1);
    }
    return tLevenshteinDistancePlain(sFirst, sSecond, nDel, nIns, nSub, nTrans);
}

uint32_t tLevenshteinDistance(wxString& sFirst, wxString& sSecond, uint32_t nDel, uint32_t nIns, uint32_t nSub)
{
    return tLevenshteinDistanceU16(tToU16(sFirst), tToU16(sSecond), nDel, nIns, nSub);
}

uint32_t tLevenshteinDistance(wxString& sFirst, wxString& sSecond, uint32_t nDel, uint32_t nIns, uint32_t nSub,
                              uint32_t nTrans)
{
    return tLevenshteinDistanceU16(tToU16(sFirst), tToU16(sSecond), nDel, nIns, nSub, nTrans);
}
