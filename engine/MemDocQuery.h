#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The ways batches of distances are computed, from the plainest: portable code, 4 lanes of 64 bits
// in the processor's AVX2 units, 8 lanes in its AVX-512 units.
enum class teMemDocKernel
{
    Portable,
    AVX2,
    AVX512
};

// Unit-cost edit distance of many texts against one query, in UTF-16 code units: exactly what the
// plain table (tLevenshteinDistancePlain with costs 1, 1, 1) gives. The query is prepared once
// (bit-parallel over the query, Myers' algorithm; Hyyrö's block form beyond 64 units), so a text
// costs one pass over its units; batches of texts (for queries of up to 256 units) run side by side,
// in the processor's vector units where it has them.
//
// An object belongs to the thread that made it; queries of several threads run side by side. Cheap to make per query; not copyable.
class CMemDocQuery
{
public:
    explicit CMemDocQuery(std::u16string_view sQuery);
    ~CMemDocQuery();
    CMemDocQuery(const CMemDocQuery&) = delete;
    CMemDocQuery& operator=(const CMemDocQuery&) = delete;

    size_t GetLength() const { return m_nLen; }
    uint32_t Distance(std::u16string_view sText);
    // The distances of n texts into anOut. Texts of about equal length side by side go fastest.
    void DistanceBatch(const std::u16string_view* asTexts, size_t n, uint32_t* anOut);

    // Whether batches may use the processor's vector units (they are used only where the processor
    // has them). The results are the same either way; tests and measurements compare the two. For
    // every query of the process; set it while no query runs.
    static void UseVectorUnits(bool bUse);
    // The same, with a choice: batches use the best kernel the processor has up to eMost.
    static void UseKernel(teMemDocKernel eMost);
    // The kernel batches use now; whether the processor has a kernel; its name ("portable", "avx2",
    // "avx512").
    static teMemDocKernel GetKernel();
    static bool HasKernel(teMemDocKernel eKernel);
    static const char* KernelName(teMemDocKernel eKernel);

private:
    uint32_t MultiWordDistance(std::u16string_view sText);

    size_t m_nLen;
    size_t m_nBlocks;
    unsigned m_nLastBit = 0;
    // Code unit -> row of m_aPeq (0: a unit the query lacks). The thread's shared table, or
    // m_aOwnIndex while another query of the thread holds that.
    uint32_t* m_pIndex = nullptr;
    bool m_bSharedIndex = false;
    std::vector<uint32_t> m_aOwnIndex;
    std::vector<char16_t> m_aUsed;
    std::vector<uint64_t> m_aPeq;
    // The masks by code unit (m_nBlocks words each; 0 for a unit the query lacks), for the AVX-512
    // kernels; null where they do not run. The thread's shared table, or m_pOwnDirect.
    uint64_t* m_pDirect = nullptr;
    uint64_t* m_pOwnDirect = nullptr;
    std::vector<uint64_t> m_aPv, m_aMv;
};
