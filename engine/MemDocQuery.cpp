#include "engine/MemDocQuery.h"

#include <algorithm>

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

bool s_bVectorUnits = true;

// The thread's code-unit table: all zero while no query holds it.
struct tsSharedIndex
{
    std::vector<uint32_t> aIndex = std::vector<uint32_t>(0x10000, 0);
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

#if MEMDOC_HAVE_AVX2
bool CpuHasAVX2()
{
    static const bool s_bHas = __builtin_cpu_supports("avx2");
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

// Eight texts in two groups of four lanes, up to the shortest text; each lane then finishes alone.
__attribute__((target("avx2"))) void Distance8AVX2(const tsPattern& pattern, const std::u16string_view* at,
                                                   uint32_t* anOut)
{
    const Word* pPeq = pattern.pPeq;
    const uint32_t* pIndex = pattern.pIndex;
    size_t nCommon = at[0].size();
    const char16_t* p[8];
    for (int k = 0; k < 8; ++k)
    {
        nCommon = std::min(nCommon, at[k].size());
        p[k] = at[k].data();
    }
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
    alignas(32) Word aPv[8], aMv[8], aScore[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(aPv), vPvA);
    _mm256_store_si256(reinterpret_cast<__m256i*>(aPv + 4), vPvB);
    _mm256_store_si256(reinterpret_cast<__m256i*>(aMv), vMvA);
    _mm256_store_si256(reinterpret_cast<__m256i*>(aMv + 4), vMvB);
    _mm256_store_si256(reinterpret_cast<__m256i*>(aScore), vScoreA);
    _mm256_store_si256(reinterpret_cast<__m256i*>(aScore + 4), vScoreB);
    for (int k = 0; k < 8; ++k)
    {
        tsLane lane{aPv[k], aMv[k], static_cast<uint32_t>(aScore[k])};
        for (size_t j = nCommon; j < at[k].size(); ++j)
            Step(lane, pPeq[pIndex[p[k][j]]], pattern.nLast);
        anOut[k] = lane.nScore;
    }
}
#undef MEMDOC_STEP_AVX2
#endif
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
}

CMemDocQuery::~CMemDocQuery()
{
    if (!m_bSharedIndex)
        return;
    for (char16_t c : m_aUsed)
        m_pIndex[c] = 0;
    SharedIndex().bHeld = false;
}

void CMemDocQuery::UseVectorUnits(bool bUse)
{
    s_bVectorUnits = bUse;
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
    if (m_nBlocks == 1)
    {
        const tsPattern pattern{m_aPeq.data(), m_pIndex, static_cast<uint32_t>(m_nLen), Word(1) << m_nLastBit};
#if MEMDOC_HAVE_AVX2
        if (s_bVectorUnits && CpuHasAVX2())
            for (; i + 8 <= n; i += 8)
                Distance8AVX2(pattern, asTexts + i, anOut + i);
#endif
        for (; i + 4 <= n; i += 4)
            Distance4(pattern, asTexts + i, anOut + i);
    }
    for (; i < n; ++i)
        anOut[i] = Distance(asTexts[i]);
}

uint32_t CMemDocQuery::MultiWordDistance(std::u16string_view sText)
{
    uint32_t nScore = static_cast<uint32_t>(m_nLen);
    std::fill(m_aPv.begin(), m_aPv.end(), ~Word(0));
    std::fill(m_aMv.begin(), m_aMv.end(), Word(0));
    for (char16_t c : sText)
    {
        const Word* pEq = &m_aPeq[m_pIndex[c] * m_nBlocks];
        int hin = 1; // the top border grows by one per column
        for (size_t b = 0; b < m_nBlocks; ++b)
        {
            const size_t nOutBit = b + 1 == m_nBlocks ? m_nLastBit : WORD_BITS - 1;
            Word& Pv = m_aPv[b];
            Word& Mv = m_aMv[b];
            const Word hinNeg = hin < 0 ? 1 : 0;
            Word Eq = pEq[b];
            const Word Xv = Eq | Mv;
            Eq |= hinNeg;
            const Word Xh = (((Eq & Pv) + Pv) ^ Pv) | Eq;
            Word Ph = Mv | ~(Xh | Pv);
            Word Mh = Pv & Xh;
            const int hout = static_cast<int>((Ph >> nOutBit) & 1) - static_cast<int>((Mh >> nOutBit) & 1);
            Ph <<= 1;
            Mh <<= 1;
            Mh |= hinNeg;
            Ph |= hin > 0 ? 1 : 0;
            Pv = Mh | ~(Xv | Ph);
            Mv = Ph & Xv;
            hin = hout;
        }
        nScore += hin;
    }
    return nScore;
}
