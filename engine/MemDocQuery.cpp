#include "engine/MemDocQuery.h"

#include <algorithm>
#include <bit>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define MEMDOC_HAVE_AVX2 1
#else
#define MEMDOC_HAVE_AVX2 0
#endif

namespace
{
using Word = uint64_t;
constexpr size_t WORD_BITS = 64;

// The best kernel batches may use (a teMemDocKernel); set while no query runs, read by every query.
std::atomic<int> s_nMostKernel{static_cast<int>(teMemDocKernel::AVX512)};

// The most blocks a query may have for the wide kernels, which read its match masks straight by
// code unit.
constexpr size_t MOST_DIRECT_BLOCKS = 4;

void FreeWords(Word* p)
{
    std::free(p);
}
using tpWords = std::unique_ptr<Word[], decltype(&FreeWords)>;

// A zeroed table of a query's match masks by code unit (nBlocks words per unit, for up to
// MOST_DIRECT_BLOCKS blocks). Zeroed by the system: only the pages of the units a query uses are ever
// touched.
[[maybe_unused]] tpWords NewDirectTable()
{
    auto* p = static_cast<Word*>(std::calloc(size_t(0x10000) * MOST_DIRECT_BLOCKS, sizeof(Word)));
    if (!p)
        throw std::bad_alloc();
    return tpWords(p, FreeWords);
}

// The thread's code-unit tables: all zero while no query holds them.
struct tsSharedIndex
{
    std::vector<uint32_t> aIndex = std::vector<uint32_t>(0x10000, 0);
    tpWords pDirect{nullptr, FreeWords}; // made by the first query that needs it
    bool bHeld = false;
};

tsSharedIndex& SharedIndex()
{
    thread_local tsSharedIndex index;
    return index;
}

// What the single-word kernels read: the match masks by row, the row of every code unit, the
// query's length and the bit of its last unit.
struct tsPattern
{
    const Word* pPeq;
    const uint32_t* pIndex;
    uint32_t nLen;
    Word nLast;
};

struct tsLane
{
    Word Pv;
    Word Mv;
    uint32_t nScore;
};

// One column of Myers' recurrence for a pattern of one word: Pv/Mv are the vertical +1/-1 deltas,
// the score follows the last row.
inline void Step(tsLane& lane, Word Eq, Word nLast)
{
    const Word Xv = Eq | lane.Mv;
    const Word Xh = (((Eq & lane.Pv) + lane.Pv) ^ lane.Pv) | Eq;
    Word Ph = lane.Mv | ~(Xh | lane.Pv);
    Word Mh = lane.Pv & Xh;
    lane.nScore += (Ph & nLast) ? 1 : 0;
    lane.nScore -= (Mh & nLast) ? 1 : 0;
    Ph = (Ph << 1) | 1; // the top border grows by one per column
    Mh <<= 1;
    lane.Pv = Mh | ~(Xv | Ph);
    lane.Mv = Ph & Xv;
}

uint32_t Distance1(const tsPattern& pattern, std::u16string_view t)
{
    tsLane lane{~Word(0), 0, pattern.nLen};
    for (char16_t c : t)
        Step(lane, pattern.pPeq[pattern.pIndex[c]], pattern.nLast);
    return lane.nScore;
}

// Four texts: the four recurrences are independent, so the processor runs them side by side where
// one alone waits on its own chain of operations.
void Distance4(const tsPattern& pattern, const std::u16string_view* at, uint32_t* anOut)
{
    const Word* pPeq = pattern.pPeq;
    const uint32_t* pIndex = pattern.pIndex;
    const Word nLast = pattern.nLast;
    tsLane a[4];
    for (tsLane& lane : a)
        lane = tsLane{~Word(0), 0, pattern.nLen};
    const size_t nCommon = std::min(std::min(at[0].size(), at[1].size()), std::min(at[2].size(), at[3].size()));
    const char16_t* p0 = at[0].data();
    const char16_t* p1 = at[1].data();
    const char16_t* p2 = at[2].data();
    const char16_t* p3 = at[3].data();
    for (size_t j = 0; j < nCommon; ++j)
    {
        Step(a[0], pPeq[pIndex[p0[j]]], nLast);
        Step(a[1], pPeq[pIndex[p1[j]]], nLast);
        Step(a[2], pPeq[pIndex[p2[j]]], nLast);
        Step(a[3], pPeq[pIndex[p3[j]]], nLast);
    }
    for (int k = 0; k < 4; ++k)
    {
        for (size_t j = nCommon; j < at[k].size(); ++j)
            Step(a[k], pPeq[pIndex[at[k][j]]], nLast);
        anOut[k] = a[k].nScore;
    }
}

// What the kernels of longer queries read: the match masks (row by row, a word per block), the row
// of every code unit, the query's length and the bit of its last unit in the last block.
struct tsBlockPattern
{
    const Word* pPeq;
    const uint32_t* pIndex;
    uint32_t nLen;
    unsigned nLastBit;
};

// One block of a column of Hyyrö's block form: hp/hn (0 or 1) carry the horizontal +1/-1 delta of
// the row above the block in, and that of the block's last row out.
inline void BlockStep(Word& Pv, Word& Mv, Word Eq, Word& hp, Word& hn, unsigned nOutBit)
{
    const Word Xv = Eq | Mv;
    Eq |= hn;
    const Word Xh = (((Eq & Pv) + Pv) ^ Pv) | Eq;
    Word Ph = Mv | ~(Xh | Pv);
    Word Mh = Pv & Xh;
    const Word hpOut = (Ph >> nOutBit) & 1;
    const Word hnOut = (Mh >> nOutBit) & 1;
    Ph = (Ph << 1) | hp;
    Mh = (Mh << 1) | hn;
    Pv = Mh | ~(Xv | Ph);
    Mv = Ph & Xv;
    hp = hpOut;
    hn = hnOut;
}

// One column (text unit c) over all nBlocks blocks; the score follows the last row.
inline void BlockColumn(const tsBlockPattern& pattern, size_t nBlocks, Word* pPv, Word* pMv, uint32_t& nScore,
                        char16_t c)
{
    const Word* pEq = pattern.pPeq + size_t(pattern.pIndex[c]) * nBlocks;
    Word hp = 1; // the top border grows by one per column
    Word hn = 0;
    for (size_t b = 0; b + 1 < nBlocks; ++b)
        BlockStep(pPv[b], pMv[b], pEq[b], hp, hn, WORD_BITS - 1);
    BlockStep(pPv[nBlocks - 1], pMv[nBlocks - 1], pEq[nBlocks - 1], hp, hn, pattern.nLastBit);
    nScore += static_cast<uint32_t>(hp);
    nScore -= static_cast<uint32_t>(hn);
}

// Four texts against a query of NB blocks, side by side up to the shortest; each then finishes alone.
template <size_t NB> void DistanceBlocks4(const tsBlockPattern& pattern, const std::u16string_view* at, uint32_t* anOut)
{
    Word aPv[4][NB];
    Word aMv[4][NB];
    uint32_t anScore[4];
    for (int k = 0; k < 4; ++k)
    {
        for (size_t b = 0; b < NB; ++b)
        {
            aPv[k][b] = ~Word(0);
            aMv[k][b] = 0;
        }
        anScore[k] = pattern.nLen;
    }
    const size_t nCommon = std::min(std::min(at[0].size(), at[1].size()), std::min(at[2].size(), at[3].size()));
    for (size_t j = 0; j < nCommon; ++j)
        for (int k = 0; k < 4; ++k)
            BlockColumn(pattern, NB, aPv[k], aMv[k], anScore[k], at[k][j]);
    for (int k = 0; k < 4; ++k)
    {
        for (size_t j = nCommon; j < at[k].size(); ++j)
            BlockColumn(pattern, NB, aPv[k], aMv[k], anScore[k], at[k][j]);
        anOut[k] = anScore[k];
    }
}

#if MEMDOC_HAVE_AVX2
bool CpuHasAVX2()
{
    static const bool s_bHas = __builtin_cpu_supports("avx2");
    return s_bHas;
}

bool CpuHasAVX512()
{
    static const bool s_bHas = __builtin_cpu_supports("avx512f");
    return s_bHas;
}

// Step in four 64-bit lanes.
#define MEMDOC_STEP_AVX2(vPv, vMv, vScore, vEq)                                                                        \
    do                                                                                                                 \
    {                                                                                                                  \
        const __m256i vXv = _mm256_or_si256(vEq, vMv);                                                                 \
        const __m256i vXh =                                                                                            \
            _mm256_or_si256(_mm256_xor_si256(_mm256_add_epi64(_mm256_and_si256(vEq, vPv), vPv), vPv), vEq);            \
        __m256i vPh = _mm256_or_si256(vMv, _mm256_andnot_si256(_mm256_or_si256(vXh, vPv), vOnes));                     \
        __m256i vMh = _mm256_and_si256(vPv, vXh);                                                                      \
        vScore = _mm256_sub_epi64(vScore, _mm256_cmpeq_epi64(_mm256_and_si256(vPh, vLast), vLast));                    \
        vScore = _mm256_add_epi64(vScore, _mm256_cmpeq_epi64(_mm256_and_si256(vMh, vLast), vLast));                    \
        vPh = _mm256_or_si256(_mm256_slli_epi64(vPh, 1), vOne);                                                        \
        vMh = _mm256_slli_epi64(vMh, 1);                                                                               \
        vPv = _mm256_or_si256(vMh, _mm256_andnot_si256(_mm256_or_si256(vXv, vPh), vOnes));                             \
        vMv = _mm256_and_si256(vPh, vXv);                                                                              \
    } while (0)

// The texts of one batch of lanes: where each starts, its length (in the width the kernel loads
// into a vector), and the shortest and longest length, which bound the kernel's common and idle
// columns.
template <size_t N, typename Len> struct tsLaneTexts
{
    explicit tsLaneTexts(const std::u16string_view* at) : nCommon(at[0].size())
    {
        for (size_t k = 0; k < N; ++k)
        {
            anLen[k] = static_cast<Len>(at[k].size());
            nCommon = std::min(nCommon, at[k].size());
            nLongest = std::max(nLongest, at[k].size());
            p[k] = at[k].data();
        }
    }
    const char16_t* p[N];
    Len anLen[N];
    size_t nCommon;
    size_t nLongest = 0;
};

// Eight texts in two groups of four lanes. Past the shortest text, a lane whose text has ended runs
// on idle and keeps the score of its last column: the texts of a batch differ by a few units, and
// finishing each lane alone, one dependent step after the other, costs more than idle lanes.
__attribute__((target("avx2"))) void Distance8AVX2(const tsPattern& pattern, const std::u16string_view* at,
                                                   uint32_t* anOut)
{
    const Word* pPeq = pattern.pPeq;
    const uint32_t* pIndex = pattern.pIndex;
    const tsLaneTexts<8, size_t> texts(at);
    const auto& p = texts.p;
    const auto& anLen = texts.anLen;
    const size_t nCommon = texts.nCommon;
    const size_t nLongest = texts.nLongest;
    const __m256i vOnes = _mm256_set1_epi64x(-1);
    const __m256i vOne = _mm256_set1_epi64x(1);
    const __m256i vLast = _mm256_set1_epi64x(static_cast<long long>(pattern.nLast));
    __m256i vPvA = vOnes;
    __m256i vMvA = _mm256_setzero_si256();
    __m256i vScoreA = _mm256_set1_epi64x(pattern.nLen);
    __m256i vPvB = vOnes;
    __m256i vMvB = vMvA;
    __m256i vScoreB = vScoreA;
    auto Eq = [&](int k, size_t j) { return static_cast<long long>(pPeq[pIndex[p[k][j]]]); };
    for (size_t j = 0; j < nCommon; ++j)
    {
        const __m256i vEqA = _mm256_set_epi64x(Eq(3, j), Eq(2, j), Eq(1, j), Eq(0, j));
        const __m256i vEqB = _mm256_set_epi64x(Eq(7, j), Eq(6, j), Eq(5, j), Eq(4, j));
        MEMDOC_STEP_AVX2(vPvA, vMvA, vScoreA, vEqA);
        MEMDOC_STEP_AVX2(vPvB, vMvB, vScoreB, vEqB);
    }
    if (nLongest > nCommon)
    {
        auto EqOrIdle = [&](int k, size_t j)
        { return static_cast<long long>(pPeq[pIndex[j < anLen[k] ? p[k][j] : char16_t(0)]]); };
        const __m256i vLenA = _mm256_set_epi64x(static_cast<long long>(anLen[3]), static_cast<long long>(anLen[2]),
                                                static_cast<long long>(anLen[1]), static_cast<long long>(anLen[0]));
        const __m256i vLenB = _mm256_set_epi64x(static_cast<long long>(anLen[7]), static_cast<long long>(anLen[6]),
                                                static_cast<long long>(anLen[5]), static_cast<long long>(anLen[4]));
        __m256i vResultA = vScoreA;
        __m256i vResultB = vScoreB;
        for (size_t j = nCommon; j < nLongest; ++j)
        {
            const __m256i vEqA = _mm256_set_epi64x(EqOrIdle(3, j), EqOrIdle(2, j), EqOrIdle(1, j), EqOrIdle(0, j));
            const __m256i vEqB = _mm256_set_epi64x(EqOrIdle(7, j), EqOrIdle(6, j), EqOrIdle(5, j), EqOrIdle(4, j));
            MEMDOC_STEP_AVX2(vPvA, vMvA, vScoreA, vEqA);
            MEMDOC_STEP_AVX2(vPvB, vMvB, vScoreB, vEqB);
            const __m256i vColumns = _mm256_set1_epi64x(static_cast<long long>(j + 1));
            vResultA = _mm256_blendv_epi8(vResultA, vScoreA, _mm256_cmpeq_epi64(vLenA, vColumns));
            vResultB = _mm256_blendv_epi8(vResultB, vScoreB, _mm256_cmpeq_epi64(vLenB, vColumns));
        }
        vScoreA = vResultA;
        vScoreB = vResultB;
    }
    alignas(32) Word aScore[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(aScore), vScoreA);
    _mm256_store_si256(reinterpret_cast<__m256i*>(aScore + 4), vScoreB);
    for (int k = 0; k < 8; ++k)
        anOut[k] = static_cast<uint32_t>(aScore[k]);
}
#undef MEMDOC_STEP_AVX2

// The state of four lanes of a query of NB blocks.
template <size_t NB> struct tsBlockLanesAVX2
{
    __m256i vPv[NB];
    __m256i vMv[NB];
    __m256i vScore;
};

// One column of four lanes; the lanes read the units at column j of their texts, or (bIdle) a null
// unit where their text has ended.
template <size_t NB, bool bIdle>
__attribute__((target("avx2"), always_inline)) inline void
BlockColumnAVX2(const tsBlockPattern& pattern, const char16_t* const* p, const size_t* anLen, size_t j,
                tsBlockLanesAVX2<NB>& lanes)
{
    const __m256i vOnes = _mm256_set1_epi64x(-1);
    const __m256i vOne = _mm256_set1_epi64x(1);
    const long long* apRow[4];
    for (int k = 0; k < 4; ++k)
        apRow[k] = reinterpret_cast<const long long*>(pattern.pPeq) +
                   size_t(pattern.pIndex[bIdle && j >= anLen[k] ? char16_t(0) : p[k][j]]) * NB;
    __m256i vHp = vOne;
    __m256i vHn = _mm256_setzero_si256();
    for (size_t b = 0; b < NB; ++b)
    {
        const __m256i vEqIn = _mm256_set_epi64x(apRow[3][b], apRow[2][b], apRow[1][b], apRow[0][b]);
        __m256i& vPv = lanes.vPv[b];
        __m256i& vMv = lanes.vMv[b];
        const __m256i vXv = _mm256_or_si256(vEqIn, vMv);
        const __m256i vEq = _mm256_or_si256(vEqIn, vHn);
        const __m256i vXh =
            _mm256_or_si256(_mm256_xor_si256(_mm256_add_epi64(_mm256_and_si256(vEq, vPv), vPv), vPv), vEq);
        __m256i vPh = _mm256_or_si256(vMv, _mm256_andnot_si256(_mm256_or_si256(vXh, vPv), vOnes));
        __m256i vMh = _mm256_and_si256(vPv, vXh);
        __m256i vHpOut, vHnOut;
        if (b + 1 < NB)
        {
            vHpOut = _mm256_srli_epi64(vPh, WORD_BITS - 1);
            vHnOut = _mm256_srli_epi64(vMh, WORD_BITS - 1);
        }
        else
        {
            const __m128i vLastBit = _mm_cvtsi32_si128(static_cast<int>(pattern.nLastBit));
            vHpOut = _mm256_and_si256(_mm256_srl_epi64(vPh, vLastBit), vOne);
            vHnOut = _mm256_and_si256(_mm256_srl_epi64(vMh, vLastBit), vOne);
        }
        vPh = _mm256_or_si256(_mm256_slli_epi64(vPh, 1), vHp);
        vMh = _mm256_or_si256(_mm256_slli_epi64(vMh, 1), vHn);
        vPv = _mm256_or_si256(vMh, _mm256_andnot_si256(_mm256_or_si256(vXv, vPh), vOnes));
        vMv = _mm256_and_si256(vPh, vXv);
        vHp = vHpOut;
        vHn = vHnOut;
    }
    lanes.vScore = _mm256_sub_epi64(_mm256_add_epi64(lanes.vScore, vHp), vHn);
}

// Eight texts against a query of NB blocks, in two groups of four lanes; lanes past their text's
// end run idle as in Distance8AVX2.
template <size_t NB>
__attribute__((target("avx2"))) void DistanceBlocks8AVX2(const tsBlockPattern& pattern, const std::u16string_view* at,
                                                         uint32_t* anOut)
{
    const tsLaneTexts<8, size_t> texts(at);
    const auto& p = texts.p;
    const auto& anLen = texts.anLen;
    const size_t nCommon = texts.nCommon;
    const size_t nLongest = texts.nLongest;
    tsBlockLanesAVX2<NB> a, b;
    for (size_t n = 0; n < NB; ++n)
    {
        a.vPv[n] = b.vPv[n] = _mm256_set1_epi64x(-1);
        a.vMv[n] = b.vMv[n] = _mm256_setzero_si256();
    }
    a.vScore = b.vScore = _mm256_set1_epi64x(pattern.nLen);
    for (size_t j = 0; j < nCommon; ++j)
    {
        BlockColumnAVX2<NB, false>(pattern, p, anLen, j, a);
        BlockColumnAVX2<NB, false>(pattern, p + 4, anLen + 4, j, b);
    }
    if (nLongest > nCommon)
    {
        const __m256i vLenA = _mm256_set_epi64x(static_cast<long long>(anLen[3]), static_cast<long long>(anLen[2]),
                                                static_cast<long long>(anLen[1]), static_cast<long long>(anLen[0]));
        const __m256i vLenB = _mm256_set_epi64x(static_cast<long long>(anLen[7]), static_cast<long long>(anLen[6]),
                                                static_cast<long long>(anLen[5]), static_cast<long long>(anLen[4]));
        __m256i vResultA = a.vScore;
        __m256i vResultB = b.vScore;
        for (size_t j = nCommon; j < nLongest; ++j)
        {
            BlockColumnAVX2<NB, true>(pattern, p, anLen, j, a);
            BlockColumnAVX2<NB, true>(pattern, p + 4, anLen + 4, j, b);
            const __m256i vColumns = _mm256_set1_epi64x(static_cast<long long>(j + 1));
            vResultA = _mm256_blendv_epi8(vResultA, a.vScore, _mm256_cmpeq_epi64(vLenA, vColumns));
            vResultB = _mm256_blendv_epi8(vResultB, b.vScore, _mm256_cmpeq_epi64(vLenB, vColumns));
        }
        a.vScore = vResultA;
        b.vScore = vResultB;
    }
    alignas(32) Word aScore[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(aScore), a.vScore);
    _mm256_store_si256(reinterpret_cast<__m256i*>(aScore + 4), b.vScore);
    for (int k = 0; k < 8; ++k)
        anOut[k] = static_cast<uint32_t>(aScore[k]);
}

// g++ 12 warns falsely about the intrinsics' own "undefined" operands once they are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// Step in eight 64-bit lanes; the three-input logic folds two operations into one each. Where
// bScore, the score follows the last row; else the column alone moves on (see ColumnScoresAVX512).
#define MEMDOC_STEP_AVX512(vPv, vMv, vScore, vEq, bScore)                                                              \
    do                                                                                                                 \
    {                                                                                                                  \
        const __m512i vXv = _mm512_or_si512(vEq, vMv);                                                                 \
        const __m512i vSum = _mm512_add_epi64(_mm512_and_si512(vEq, vPv), vPv);                                        \
        const __m512i vXh = _mm512_ternarylogic_epi64(vSum, vPv, vEq, 0xBE); /* (a ^ b) | c */                         \
        __m512i vPh = _mm512_ternarylogic_epi64(vMv, vXh, vPv, 0xF1);        /* a | ~(b | c) */                        \
        __m512i vMh = _mm512_and_si512(vPv, vXh);                                                                      \
        if (bScore)                                                                                                    \
        {                                                                                                              \
            vScore = _mm512_mask_add_epi64(vScore, _mm512_test_epi64_mask(vPh, vLast), vScore, vOne);                  \
            vScore = _mm512_mask_sub_epi64(vScore, _mm512_test_epi64_mask(vMh, vLast), vScore, vOne);                  \
        }                                                                                                              \
        vPh = _mm512_or_si512(_mm512_slli_epi64(vPh, 1), vOne);                                                        \
        vMh = _mm512_slli_epi64(vMh, 1);                                                                               \
        vPv = _mm512_ternarylogic_epi64(vMh, vXv, vPh, 0xF1);                                                          \
        vMv = _mm512_and_si512(vPh, vXv);                                                                              \
    } while (0)

// The last row's values of eight lanes after column nColumn, from the column itself: the top row's
// nColumn plus the vertical steps down the query's rows (+1 where Pv, -1 where Mv), the last of the
// NB blocks only up to its bit nLastBit. The kernels leave the score alone while every lane runs and
// take it from the column where the first lane ends, which spares them four operations a column.
template <size_t NB>
__attribute__((target("avx512f"))) __m512i ColumnScoresAVX512(const __m512i* pvPv, const __m512i* pvMv,
                                                              unsigned nLastBit, size_t nColumn)
{
    alignas(64) Word aPv[NB][8];
    alignas(64) Word aMv[NB][8];
    for (size_t b = 0; b < NB; ++b)
    {
        _mm512_store_si512(aPv[b], pvPv[b]);
        _mm512_store_si512(aMv[b], pvMv[b]);
    }
    const Word nLastMask = ~Word(0) >> (WORD_BITS - 1 - nLastBit);
    alignas(64) long long anScore[8];
    for (size_t k = 0; k < 8; ++k)
    {
        long long n = static_cast<long long>(nColumn);
        for (size_t b = 0; b < NB; ++b)
        {
            const Word nMask = b + 1 < NB ? ~Word(0) : nLastMask;
            n += std::popcount(aPv[b][k] & nMask) - std::popcount(aMv[b][k] & nMask);
        }
        anScore[k] = n;
    }
    return _mm512_load_si512(anScore);
}

// Sixteen texts in two groups of eight lanes; lanes past their text's end run idle as in
// Distance8AVX2.
__attribute__((target("avx512f"))) void Distance16AVX512(const tsPattern& pattern, const Word* pDirect,
                                                         const std::u16string_view* at, uint32_t* anOut)
{
    const unsigned nLastBit = static_cast<unsigned>(std::countr_zero(pattern.nLast));
    const tsLaneTexts<16, long long> texts(at);
    const auto& p = texts.p;
    const auto& anLen = texts.anLen;
    const size_t nCommon = texts.nCommon;
    const size_t nLongest = texts.nLongest;
    const __m512i vOne = _mm512_set1_epi64(1);
    const __m512i vLast = _mm512_set1_epi64(static_cast<long long>(pattern.nLast));
    __m512i vPvA = _mm512_set1_epi64(-1);
    __m512i vMvA = _mm512_setzero_si512();
    __m512i vScoreA = _mm512_set1_epi64(pattern.nLen);
    __m512i vPvB = vPvA;
    __m512i vMvB = vMvA;
    __m512i vScoreB = vScoreA;
    auto Eq = [&](int k, size_t j) { return static_cast<long long>(pDirect[p[k][j]]); };
    for (size_t j = 0; j < nCommon; ++j)
    {
        const __m512i vEqA =
            _mm512_set_epi64(Eq(7, j), Eq(6, j), Eq(5, j), Eq(4, j), Eq(3, j), Eq(2, j), Eq(1, j), Eq(0, j));
        const __m512i vEqB =
            _mm512_set_epi64(Eq(15, j), Eq(14, j), Eq(13, j), Eq(12, j), Eq(11, j), Eq(10, j), Eq(9, j), Eq(8, j));
        MEMDOC_STEP_AVX512(vPvA, vMvA, vScoreA, vEqA, false);
        MEMDOC_STEP_AVX512(vPvB, vMvB, vScoreB, vEqB, false);
    }
    vScoreA = ColumnScoresAVX512<1>(&vPvA, &vMvA, nLastBit, nCommon);
    vScoreB = ColumnScoresAVX512<1>(&vPvB, &vMvB, nLastBit, nCommon);
    if (nLongest > nCommon)
    {
        // What an ended lane reads does not matter: its score was taken at its last column.
        auto EqOrIdle = [&](int k, size_t j)
        { return static_cast<long long>(static_cast<long long>(j) < anLen[k] ? pDirect[p[k][j]] : 0); };
        const __m512i vLenA = _mm512_loadu_si512(anLen);
        const __m512i vLenB = _mm512_loadu_si512(anLen + 8);
        __m512i vResultA = vScoreA;
        __m512i vResultB = vScoreB;
        for (size_t j = nCommon; j < nLongest; ++j)
        {
            const __m512i vEqA = _mm512_set_epi64(EqOrIdle(7, j), EqOrIdle(6, j), EqOrIdle(5, j), EqOrIdle(4, j),
                                                  EqOrIdle(3, j), EqOrIdle(2, j), EqOrIdle(1, j), EqOrIdle(0, j));
            const __m512i vEqB = _mm512_set_epi64(EqOrIdle(15, j), EqOrIdle(14, j), EqOrIdle(13, j), EqOrIdle(12, j),
                                                  EqOrIdle(11, j), EqOrIdle(10, j), EqOrIdle(9, j), EqOrIdle(8, j));
            MEMDOC_STEP_AVX512(vPvA, vMvA, vScoreA, vEqA, true);
            MEMDOC_STEP_AVX512(vPvB, vMvB, vScoreB, vEqB, true);
            const __m512i vColumns = _mm512_set1_epi64(static_cast<long long>(j + 1));
            vResultA = _mm512_mask_blend_epi64(_mm512_cmpeq_epi64_mask(vLenA, vColumns), vResultA, vScoreA);
            vResultB = _mm512_mask_blend_epi64(_mm512_cmpeq_epi64_mask(vLenB, vColumns), vResultB, vScoreB);
        }
        vScoreA = vResultA;
        vScoreB = vResultB;
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(anOut), _mm512_cvtepi64_epi32(vScoreA));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(anOut + 8), _mm512_cvtepi64_epi32(vScoreB));
}
#undef MEMDOC_STEP_AVX512

// The state of eight lanes of a query of NB blocks.
template <size_t NB> struct tsBlockLanesAVX512
{
    __m512i vPv[NB];
    __m512i vMv[NB];
    __m512i vScore;
};

// The two words at each of p0 to p3, one after the other.
__attribute__((target("avx512f"), always_inline)) inline __m512i
LoadFourPairsAVX512(const long long* p0, const long long* p1, const long long* p2, const long long* p3)
{
    const __m256i v01 =
        _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p0))),
                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(p1)), 1);
    const __m256i v23 =
        _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p2))),
                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(p3)), 1);
    return _mm512_inserti64x4(_mm512_castsi256_si512(v01), v23, 1);
}

// One column of eight lanes, as BlockColumnAVX2; where bScore, the score follows the last row (see
// ColumnScoresAVX512).
template <size_t NB, bool bIdle, bool bScore>
__attribute__((target("avx512f"), always_inline)) inline void
BlockColumnAVX512(const tsBlockPattern& pattern, const Word* pDirect, const char16_t* const* p, const long long* anLen,
                  size_t j, tsBlockLanesAVX512<NB>& lanes)
{
    const __m512i vOne = _mm512_set1_epi64(1);
    const long long* apRow[8];
    for (int k = 0; k < 8; ++k)
        apRow[k] = reinterpret_cast<const long long*>(pDirect) +
                   size_t(bIdle && static_cast<long long>(j) >= anLen[k] ? char16_t(0) : p[k][j]) * NB;
    __m512i avEqIn[NB];
    if constexpr (NB == 2)
    {
        // A unit's two masks lie side by side: one 128-bit load a lane, the lanes paired into two
        // vectors and split by word, in place of sixteen loads put in one by one. The split takes
        // words from the halves of each 128-bit part in turn, so the lanes are loaded in the order
        // 0, 2, 4, 6, 1, 3, 5, 7.
        const __m512i vLow = LoadFourPairsAVX512(apRow[0], apRow[2], apRow[4], apRow[6]);
        const __m512i vHigh = LoadFourPairsAVX512(apRow[1], apRow[3], apRow[5], apRow[7]);
        avEqIn[0] = _mm512_unpacklo_epi64(vLow, vHigh);
        avEqIn[1] = _mm512_unpackhi_epi64(vLow, vHigh);
    }
    else
        for (size_t b = 0; b < NB; ++b)
            avEqIn[b] = _mm512_set_epi64(apRow[7][b], apRow[6][b], apRow[5][b], apRow[4][b], apRow[3][b], apRow[2][b],
                                         apRow[1][b], apRow[0][b]);
    __m512i vHp = vOne;
    __m512i vHn = _mm512_setzero_si512();
    for (size_t b = 0; b < NB; ++b)
    {
        const __m512i vEqIn = avEqIn[b];
        __m512i& vPv = lanes.vPv[b];
        __m512i& vMv = lanes.vMv[b];
        const __m512i vXv = _mm512_or_si512(vEqIn, vMv);
        const __m512i vEq = _mm512_or_si512(vEqIn, vHn);
        const __m512i vSum = _mm512_add_epi64(_mm512_and_si512(vEq, vPv), vPv);
        const __m512i vXh = _mm512_ternarylogic_epi64(vSum, vPv, vEq, 0xBE);
        __m512i vPh = _mm512_ternarylogic_epi64(vMv, vXh, vPv, 0xF1);
        __m512i vMh = _mm512_and_si512(vPv, vXh);
        __m512i vHpOut, vHnOut;
        if (b + 1 < NB)
        {
            vHpOut = _mm512_srli_epi64(vPh, WORD_BITS - 1);
            vHnOut = _mm512_srli_epi64(vMh, WORD_BITS - 1);
        }
        else if (bScore)
        {
            vHpOut = _mm512_and_si512(_mm512_srli_epi64(vPh, pattern.nLastBit), vOne);
            vHnOut = _mm512_and_si512(_mm512_srli_epi64(vMh, pattern.nLastBit), vOne);
        }
        vPh = _mm512_or_si512(_mm512_slli_epi64(vPh, 1), vHp);
        vMh = _mm512_or_si512(_mm512_slli_epi64(vMh, 1), vHn);
        vPv = _mm512_ternarylogic_epi64(vMh, vXv, vPh, 0xF1);
        vMv = _mm512_and_si512(vPh, vXv);
        if (b + 1 < NB || bScore)
        {
            vHp = vHpOut;
            vHn = vHnOut;
        }
    }
    if (bScore)
        lanes.vScore = _mm512_sub_epi64(_mm512_add_epi64(lanes.vScore, vHp), vHn);
}

// Sixteen texts against a query of NB blocks, in two groups of eight lanes.
template <size_t NB>
__attribute__((target("avx512f"))) void DistanceBlocks16AVX512(const tsBlockPattern& pattern, const Word* pDirect,
                                                               const std::u16string_view* at, uint32_t* anOut)
{
    const tsLaneTexts<16, long long> texts(at);
    const auto& p = texts.p;
    const auto& anLen = texts.anLen;
    const size_t nCommon = texts.nCommon;
    const size_t nLongest = texts.nLongest;
    tsBlockLanesAVX512<NB> a, b;
    for (size_t n = 0; n < NB; ++n)
    {
        a.vPv[n] = b.vPv[n] = _mm512_set1_epi64(-1);
        a.vMv[n] = b.vMv[n] = _mm512_setzero_si512();
    }
    for (size_t j = 0; j < nCommon; ++j)
    {
        BlockColumnAVX512<NB, false, false>(pattern, pDirect, p, anLen, j, a);
        BlockColumnAVX512<NB, false, false>(pattern, pDirect, p + 8, anLen + 8, j, b);
    }
    a.vScore = ColumnScoresAVX512<NB>(a.vPv, a.vMv, pattern.nLastBit, nCommon);
    b.vScore = ColumnScoresAVX512<NB>(b.vPv, b.vMv, pattern.nLastBit, nCommon);
    if (nLongest > nCommon)
    {
        const __m512i vLenA = _mm512_loadu_si512(anLen);
        const __m512i vLenB = _mm512_loadu_si512(anLen + 8);
        __m512i vResultA = a.vScore;
        __m512i vResultB = b.vScore;
        for (size_t j = nCommon; j < nLongest; ++j)
        {
            BlockColumnAVX512<NB, true, true>(pattern, pDirect, p, anLen, j, a);
            BlockColumnAVX512<NB, true, true>(pattern, pDirect, p + 8, anLen + 8, j, b);
            const __m512i vColumns = _mm512_set1_epi64(static_cast<long long>(j + 1));
            vResultA = _mm512_mask_blend_epi64(_mm512_cmpeq_epi64_mask(vLenA, vColumns), vResultA, a.vScore);
            vResultB = _mm512_mask_blend_epi64(_mm512_cmpeq_epi64_mask(vLenB, vColumns), vResultB, b.vScore);
        }
        a.vScore = vResultA;
        b.vScore = vResultB;
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(anOut), _mm512_cvtepi64_epi32(a.vScore));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(anOut + 8), _mm512_cvtepi64_epi32(b.vScore));
}
#pragma GCC diagnostic pop
#endif

// The kernel batches use now: the best the processor has, up to the one allowed.
teMemDocKernel ActiveKernel()
{
    const auto eMost = static_cast<teMemDocKernel>(s_nMostKernel.load(std::memory_order_relaxed));
#if MEMDOC_HAVE_AVX2
    if (eMost >= teMemDocKernel::AVX512 && CpuHasAVX512())
        return teMemDocKernel::AVX512;
    if (eMost >= teMemDocKernel::AVX2 && CpuHasAVX2())
        return teMemDocKernel::AVX2;
#else
    (void)eMost;
#endif
    return teMemDocKernel::Portable;
}

// Batches of eight, then of four texts for a query of NB blocks; returns how many texts it did.
template <size_t NB>
size_t DistanceBlocksBatch(teMemDocKernel eKernel, const tsBlockPattern& pattern, const Word* pDirect,
                           const std::u16string_view* at, size_t n, uint32_t* anOut)
{
    size_t i = 0;
#if MEMDOC_HAVE_AVX2
    if (eKernel == teMemDocKernel::AVX512 && pDirect)
        for (; i + 16 <= n; i += 16)
            DistanceBlocks16AVX512<NB>(pattern, pDirect, at + i, anOut + i);
    if (eKernel >= teMemDocKernel::AVX2)
        for (; i + 8 <= n; i += 8)
            DistanceBlocks8AVX2<NB>(pattern, at + i, anOut + i);
#else
    (void)eKernel;
    (void)pDirect;
#endif
    for (; i + 4 <= n; i += 4)
        DistanceBlocks4<NB>(pattern, at + i, anOut + i);
    return i;
}
} // namespace

CMemDocQuery::CMemDocQuery(std::u16string_view sQuery)
    : m_nLen(sQuery.size()), m_nBlocks((sQuery.size() + WORD_BITS - 1) / WORD_BITS)
{
    tsSharedIndex& shared = SharedIndex();
    if (!shared.bHeld)
    {
        shared.bHeld = true;
        m_bSharedIndex = true;
        m_pIndex = shared.aIndex.data();
    }
    else
    {
        m_aOwnIndex.assign(0x10000, 0);
        m_pIndex = m_aOwnIndex.data();
    }
    uint32_t nRows = 1;
    for (char16_t c : sQuery)
        if (m_pIndex[c] == 0)
        {
            m_pIndex[c] = nRows++;
            m_aUsed.push_back(c);
        }
    m_aPeq.assign(size_t(nRows) * m_nBlocks, 0);
    for (size_t i = 0; i < sQuery.size(); ++i)
        m_aPeq[m_pIndex[sQuery[i]] * m_nBlocks + i / WORD_BITS] |= Word(1) << (i % WORD_BITS);
    m_nLastBit = m_nLen == 0 ? 0 : static_cast<unsigned>((m_nLen - 1) % WORD_BITS);
    m_aPv.resize(m_nBlocks);
    m_aMv.resize(m_nBlocks);
#if MEMDOC_HAVE_AVX2
    // The AVX-512 kernels read the masks by code unit, one load where the row table takes two.
    if (m_nBlocks >= 1 && m_nBlocks <= MOST_DIRECT_BLOCKS && CpuHasAVX512())
    {
        if (m_bSharedIndex)
        {
            if (!shared.pDirect)
                shared.pDirect = NewDirectTable();
            m_pDirect = shared.pDirect.get();
        }
        else
        {
            m_pOwnDirect = NewDirectTable().release();
            m_pDirect = m_pOwnDirect;
        }
        for (char16_t c : m_aUsed)
            for (size_t b = 0; b < m_nBlocks; ++b)
                m_pDirect[size_t(c) * m_nBlocks + b] = m_aPeq[m_pIndex[c] * m_nBlocks + b];
    }
#endif
}

CMemDocQuery::~CMemDocQuery()
{
    std::free(m_pOwnDirect);
    if (!m_bSharedIndex)
        return;
    for (char16_t c : m_aUsed)
    {
        m_pIndex[c] = 0;
        if (m_pDirect)
            std::fill_n(m_pDirect + size_t(c) * m_nBlocks, m_nBlocks, Word(0));
    }
    SharedIndex().bHeld = false;
}

void CMemDocQuery::UseVectorUnits(bool bUse)
{
    UseKernel(bUse ? teMemDocKernel::AVX512 : teMemDocKernel::Portable);
}

void CMemDocQuery::UseKernel(teMemDocKernel eMost)
{
    s_nMostKernel.store(static_cast<int>(eMost), std::memory_order_relaxed);
}

teMemDocKernel CMemDocQuery::GetKernel()
{
    return ActiveKernel();
}

bool CMemDocQuery::HasKernel(teMemDocKernel eKernel)
{
    switch (eKernel)
    {
    case teMemDocKernel::Portable:
        return true;
#if MEMDOC_HAVE_AVX2
    case teMemDocKernel::AVX2:
        return CpuHasAVX2();
    case teMemDocKernel::AVX512:
        return CpuHasAVX512();
#endif
    default:
        return false;
    }
}

const char* CMemDocQuery::KernelName(teMemDocKernel eKernel)
{
    switch (eKernel)
    {
    case teMemDocKernel::AVX2:
        return "avx2";
    case teMemDocKernel::AVX512:
        return "avx512";
    default:
        return "portable";
    }
}

uint32_t CMemDocQuery::Distance(std::u16string_view sText)
{
    if (m_nLen == 0)
        return static_cast<uint32_t>(sText.size());
    if (m_nBlocks == 1)
        return Distance1(tsPattern{m_aPeq.data(), m_pIndex, static_cast<uint32_t>(m_nLen), Word(1) << m_nLastBit},
                         sText);
    return MultiWordDistance(sText);
}

void CMemDocQuery::DistanceBatch(const std::u16string_view* asTexts, size_t n, uint32_t* anOut)
{
    size_t i = 0;
    const teMemDocKernel eKernel = n >= 4 ? ActiveKernel() : teMemDocKernel::Portable;
    if (m_nBlocks == 1)
    {
        const tsPattern pattern{m_aPeq.data(), m_pIndex, static_cast<uint32_t>(m_nLen), Word(1) << m_nLastBit};
#if MEMDOC_HAVE_AVX2
        if (eKernel == teMemDocKernel::AVX512 && m_pDirect)
            for (; i + 16 <= n; i += 16)
                Distance16AVX512(pattern, m_pDirect, asTexts + i, anOut + i);
        if (eKernel >= teMemDocKernel::AVX2)
            for (; i + 8 <= n; i += 8)
                Distance8AVX2(pattern, asTexts + i, anOut + i);
#endif
        for (; i + 4 <= n; i += 4)
            Distance4(pattern, asTexts + i, anOut + i);
    }
    else if (m_nBlocks <= 4)
    {
        // Segments of up to 256 units; longer ones are rare enough to go one by one.
        const tsBlockPattern pattern{m_aPeq.data(), m_pIndex, static_cast<uint32_t>(m_nLen), m_nLastBit};
        if (m_nBlocks == 2)
            i = DistanceBlocksBatch<2>(eKernel, pattern, m_pDirect, asTexts, n, anOut);
        else if (m_nBlocks == 3)
            i = DistanceBlocksBatch<3>(eKernel, pattern, m_pDirect, asTexts, n, anOut);
        else
            i = DistanceBlocksBatch<4>(eKernel, pattern, m_pDirect, asTexts, n, anOut);
    }
    for (; i < n; ++i)
        anOut[i] = Distance(asTexts[i]);
}

uint32_t CMemDocQuery::MultiWordDistance(std::u16string_view sText)
{
    uint32_t nScore = static_cast<uint32_t>(m_nLen);
    std::fill(m_aPv.begin(), m_aPv.end(), ~Word(0));
    std::fill(m_aMv.begin(), m_aMv.end(), Word(0));
    const tsBlockPattern pattern{m_aPeq.data(), m_pIndex, static_cast<uint32_t>(m_nLen), m_nLastBit};
    for (char16_t c : sText)
        BlockColumn(pattern, m_nBlocks, m_aPv.data(), m_aMv.data(), nScore, c);
    return nScore;
}
