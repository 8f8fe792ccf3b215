// Translation memory look-ups at the sizes translators use, against the plain model of the memory
// (tests/engine/MemDocReference) on the same units.
//
//     bench_memory [--units N[,N...]] [--queries-per-size N] [--reference-sample N] [--threads N]
//                  [--kernel portable|avx2|avx512] [--old-path]
//     bench_memory --tmx FILE --queries FILE --source-lang L [--dump OUT] [--reference-sample N] [--threads N]
//
// Without files it builds memories of 10,000 and 100,000 units from generated sentences (written as
// TMX and loaded as the program loads them) and looks up 60-unit segments: half near matches of
// memory texts, half unrelated sentences; the same for 100-unit segments (long_lookup_*). Then it
// builds the same units into a new memory by AddTranslation, one pair at a time (add_s,
// adds_per_s). The short queries are also asked as "en-US", which the memory serves from its "en"
// units (regional_lookup_*). The units are also split between "en-US" and "en-GB": a look-up merging
// both variants in one memory against the sum of the look-ups of each half in a memory of its own
// (merged_variants_lookup_median_ms_*, variants_alone_sum_median_ms_*, and merged_vs_sum_of_variants_*,
// the ratio of their total times: 1 or less costs no more than the two). With files it loads the
// memory, looks up each line of the queries file (XML content, UTF-8) in the source language, and
// with --dump writes every result as "query number TAB score TAB language TAB matched source TAB
// variant" (tabs, line breaks and backslashes in the texts written as \t, \n, \r and \\).
//
// Look-ups run on one thread first, then the same queries on --threads threads at once (default: as many
// as the machine has): lookup_median_ms, lookup_p95_ms and lookups_per_s are those of one thread,
// *_all_threads those of all. "kernel" names the distance kernel in use: the best the processor has,
// or at most the one --kernel (or the environment variable BENCH_MEMORY_KERNEL) names. Each size is
// also measured with the other kernels the processor has (lookup_median_ms_<kernel>), side by side.
// The old path (every candidate the bounds allow scored bucket by bucket, at most in AVX2 lanes) is
// measured query by query alternating with the new one: lookup_*_new_path_*, lookup_*_old_path_* and
// their ratio lookup_new_vs_old_median_* (the same for the long queries); both must agree.
// --old-path (or BENCH_MEMORY_OLD_PATH=1) runs everything on the old path instead.
//
// Prints "name: value" lines. Figures of a generated size carry it as a suffix (load_s_10000); the
// unsuffixed figures are those of the largest size, or of the files. Exits with 1 when a sampled
// look-up differs from the model's.
#include "engine/VRMemDoc.h"
#include "engine/MemDocQuery.h"
#include "engine/VRMemDocIndex.h"
#include "import/TMXImporter.h"
#include "tests/engine/MemDocReference.h"

#include "Shared/AppUtils_sharedTestText.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <wx/filename.h>
#include <wx/string.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double ResidentMB()
{
    long nPages = 0, nResident = 0;
    if (FILE* pFile = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(pFile, "%ld %ld", &nPages, &nResident) != 2)
            nResident = 0;
        std::fclose(pFile);
    }
    return nResident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double Percentile(std::vector<double> a, double fFraction)
{
    if (a.empty())
        return 0;
    std::sort(a.begin(), a.end());
    const size_t n = std::min(a.size() - 1, static_cast<size_t>(fFraction * (a.size() - 1) + 0.5));
    return a[n];
}

std::string EscapeXML(const wxString& s)
{
    std::string sOut;
    for (char c : std::string(s.utf8_string()))
    {
        if (c == '&')
            sOut += "&amp;";
        else if (c == '<')
            sOut += "&lt;";
        else if (c == '>')
            sOut += "&gt;";
        else
            sOut += c;
    }
    return sOut;
}

std::string EscapeField(const wxString& s)
{
    std::string sOut;
    for (char c : std::string(s.utf8_string()))
    {
        if (c == '\t')
            sOut += "\\t";
        else if (c == '\n')
            sOut += "\\n";
        else if (c == '\r')
            sOut += "\\r";
        else if (c == '\\')
            sOut += "\\\\";
        else
            sOut += c;
    }
    return sOut;
}

// Exactly nUnits UTF-16 units of sText, continued with generated words where it is shorter.
wxString Fit(wxString sText, size_t nUnits)
{
    while (sText.length() < nUnits)
        sText += " " + tGenFakeWord(nullptr);
    return sText.Left(nUnits);
}

// A segment a translator might look up for a memory text: a word or two changed, a few units gone.
wxString NearMatch(const wxString& sText)
{
    wxString s = sText;
    for (int k = 0; k < 2; ++k)
    {
        const size_t nPos = std::rand() % std::max<size_t>(1, s.length());
        s = s.Left(nPos) + tGenFakeWord(nullptr) + s.Mid(nPos + 4);
    }
    return s;
}

struct Unit
{
    wxString sSource;
    wxString sTarget;
};

std::vector<Unit> MakeUnits(size_t nUnits)
{
    std::vector<Unit> aUnits;
    aUnits.reserve(nUnits);
    for (size_t i = 0; i < nUnits; ++i)
        aUnits.push_back(
            Unit{tGenFakeSentence(4, 14, true, nullptr) + ".", tGenFakeSentence(4, 14, true, L"el") + "."});
    return aUnits;
}

// fnSourceLanguage gives the source tag of the unit at an index, or null to leave the unit out.
bool WriteTMX(
    const wxString& sPath, const std::vector<Unit>& aUnits,
    const std::function<const char*(size_t)>& fnSourceLanguage = [](size_t) { return "en"; })
{
    std::ofstream out(sPath.utf8_string(), std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><tmx version=\"1.4\"><header creationtool=\"bench\" "
           "creationtoolversion=\"1.0.0.0\" segtype=\"sentence\" o-tmf=\"bench\" adminlang=\"en\" srclang=\"en\" "
           "datatype=\"plaintext\"/><body>";
    for (size_t i = 0; i < aUnits.size(); ++i)
        if (const char* szLanguage = fnSourceLanguage(i))
            out << "<tu><tuv xml:lang=\"" << szLanguage << "\"><seg>" << EscapeXML(aUnits[i].sSource)
                << "</seg></tuv><tuv xml:lang=\"el\"><seg>" << EscapeXML(aUnits[i].sTarget) << "</seg></tuv></tu>";
    out << "</body></tmx>";
    return static_cast<bool>(out);
}

// The reference model of a loaded memory: every unit of the document, its segs in order.
void FillReference(CVRMemDoc& memory, CMemDocReference& reference)
{
    tcDocument* pDoc = memory.GetDocument();
    const tcElement* pTu = pDoc->GetDTD()->FindElementByName("tu");
    const tcElement* pTuv = pDoc->GetDTD()->FindElementByName("tuv");
    const tcElement* pSeg = pDoc->GetDTD()->FindElementByName("seg");
    std::vector<tcNode*> apUnits;
    pDoc->GetDictionary()->FindDescendantsOfElementType(pTu->GetID(), apUnits);
    for (const tcNode* pUnit : apUnits)
    {
        std::vector<std::pair<wxString, wxString>> aVariants;
        for (const tcNode* pVariant : pUnit->GetChildren())
        {
            if (pVariant->GetElement() != pTuv)
                continue;
            const wxString sLanguage = pVariant->GetAttributeSByName("xml:lang");
            for (const tcNode* pChild : pVariant->GetChildren())
                if (pChild->GetElement() == pSeg)
                    aVariants.emplace_back(sLanguage, pChild->GenerateXMLChildren(true, true));
        }
        reference.AddUnit(aVariants);
    }
}

struct Figures
{
    double fLoad = 0;
    double fIndexMB = 0;
    double fProcessMB = 0;
    double fMedian = 0;
    double fP95 = 0;
    double fP99 = 0;
    double fPerSecond = 0;
    // The same queries on every thread at once.
    double fThreadsMedian = 0;
    double fThreadsP95 = 0;
    double fThreadsPerSecond = 0;
    // Processor time per second of the threaded look-ups: how many threads really ran at once.
    double fThreadsBusy = 0;
    double fReferenceMedian = 0;
    // Building the same units into a new memory by AddTranslation, one pair at a time.
    double fAdd = 0;
    size_t nAdds = 0;
    int nMismatches = 0;
    size_t nResults = 0;
};

double IndexMB(CVRMemDoc& memory, const std::vector<wxString>& asLanguages)
{
    size_t nBytes = 0;
    for (const wxString& sLanguage : asLanguages)
        nBytes += memory.GetIndex(sLanguage)->GetMemoryUsage();
    return nBytes / (1024.0 * 1024.0);
}

// Times the look-ups of every query, then the model's on the first nSample, comparing results.
void Measure(CVRMemDoc& memory, const std::vector<wxString>& asQueries, const wxString& sLanguage, size_t nSample,
             Figures& figures, std::FILE* pDump)
{
    std::vector<double> aTimes;
    std::vector<std::vector<CVRMemDocMatch>> aResults;
    const Clock::time_point startAll = Clock::now();
    for (size_t i = 0; i < asQueries.size(); ++i)
    {
        const Clock::time_point start = Clock::now();
        std::vector<CVRMemDocMatch> aMatches = memory.LookupTranslations(asQueries[i], sLanguage);
        aTimes.push_back(Seconds(start) * 1000.0);
        figures.nResults += aMatches.size();
        if (pDump)
            for (const CVRMemDocMatch& match : aMatches)
                std::fprintf(pDump, "%zu\t%d\t%s\t%s\t%s\n", i + 1, match.m_nScore,
                             EscapeField(match.m_sLanguage).c_str(), EscapeField(match.m_sSource).c_str(),
                             EscapeField(match.m_sTarget).c_str());
        if (i < nSample)
            aResults.push_back(std::move(aMatches));
    }
    figures.fMedian = Percentile(aTimes, 0.5);
    figures.fP95 = Percentile(aTimes, 0.95);
    figures.fP99 = Percentile(aTimes, 0.99);
    figures.fPerSecond = asQueries.size() / std::max(1e-9, Seconds(startAll));
    if (nSample == 0)
        return;

    CMemDocReference reference;
    FillReference(memory, reference);
    std::vector<double> aReferenceTimes;
    for (size_t i = 0; i < std::min(nSample, asQueries.size()); ++i)
    {
        const Clock::time_point start = Clock::now();
        const std::vector<CVRMemDocMatch> aAll = reference.LookupTranslations(asQueries[i], sLanguage);
        aReferenceTimes.push_back(Seconds(start) * 1000.0);
        if (CMemDocReference::Bounded(aAll, CVRMemDoc::kMinLookupScore, CVRMemDoc::kMaxLookupResults) != aResults[i])
            ++figures.nMismatches;
    }
    figures.fReferenceMedian = Percentile(aReferenceTimes, 0.5);
}

size_t g_nThreads = 1;

// The look-up as it was before its shortcuts and the AVX-512 kernel: every candidate the bounds allow
// scored bucket by bucket, at most in AVX2 lanes. BENCH_MEMORY_OLD_PATH=1 or --old-path makes it the
// path of the whole run; otherwise it is measured side by side with the new one.
bool g_bOldPath = false;

void UseOldPath(bool bOld, teMemDocKernel eNewKernel)
{
    CVRMemDocIndex::UseShortcuts(!bOld);
    CMemDocQuery::UseKernel(bOld ? std::min(eNewKernel, teMemDocKernel::AVX2) : eNewKernel);
}

struct SideBySide
{
    double fNewMedian = 0, fNewP95 = 0, fNewP99 = 0;
    double fOldMedian = 0, fOldP95 = 0, fOldP99 = 0;
    int nDiffer = 0;
};

// Each query looked up the new way and the old way in turn, so that both meet the same load of the
// machine; both must give the same results. eNewKernel: the kernel of the new way.
SideBySide MeasureSideBySide(const CVRMemDoc& memory, const std::vector<wxString>& asQueries, const wxString& sLanguage,
                             teMemDocKernel eNewKernel)
{
    std::vector<double> aNew, aOld;
    SideBySide figures;
    for (const wxString& sQuery : asQueries)
    {
        Clock::time_point start = Clock::now();
        const std::vector<CVRMemDocMatch> aNewMatches = memory.LookupTranslations(sQuery, sLanguage);
        aNew.push_back(Seconds(start) * 1000.0);
        UseOldPath(true, eNewKernel);
        start = Clock::now();
        const std::vector<CVRMemDocMatch> aOldMatches = memory.LookupTranslations(sQuery, sLanguage);
        aOld.push_back(Seconds(start) * 1000.0);
        UseOldPath(false, eNewKernel);
        figures.nDiffer += aNewMatches != aOldMatches;
    }
    figures.fNewMedian = Percentile(aNew, 0.5);
    figures.fNewP95 = Percentile(aNew, 0.95);
    figures.fNewP99 = Percentile(aNew, 0.99);
    figures.fOldMedian = Percentile(aOld, 0.5);
    figures.fOldP95 = Percentile(aOld, 0.95);
    figures.fOldP99 = Percentile(aOld, 0.99);
    return figures;
}

void PrintSideBySide(const SideBySide& figures, const char* szName, size_t nUnits)
{
    std::printf("%s_median_ms_new_path_%zu: %.3f\n", szName, nUnits, figures.fNewMedian);
    std::printf("%s_median_ms_old_path_%zu: %.3f\n", szName, nUnits, figures.fOldMedian);
    std::printf("%s_p95_ms_new_path_%zu: %.3f\n", szName, nUnits, figures.fNewP95);
    std::printf("%s_p95_ms_old_path_%zu: %.3f\n", szName, nUnits, figures.fOldP95);
    std::printf("%s_p99_ms_new_path_%zu: %.3f\n", szName, nUnits, figures.fNewP99);
    std::printf("%s_p99_ms_old_path_%zu: %.3f\n", szName, nUnits, figures.fOldP99);
    std::printf("%s_new_vs_old_median_%zu: %.2f\n", szName, nUnits,
                figures.fNewMedian > 0 ? figures.fOldMedian / figures.fNewMedian : 0.0);
    std::printf("%s_old_path_mismatches_%zu: %d\n", szName, nUnits, figures.nDiffer);
}

// Every query once more, on g_nThreads threads at once; each result must be the one a single thread
// got (counted as mismatches).
void MeasureThreads(const CVRMemDoc& memory, const std::vector<wxString>& asQueries, const wxString& sLanguage,
                    Figures& figures)
{
    std::vector<std::vector<CVRMemDocMatch>> aSingle;
    for (const wxString& sQuery : asQueries)
        aSingle.push_back(memory.LookupTranslations(sQuery, sLanguage));
    std::vector<double> aTimes(asQueries.size());
    std::atomic<size_t> nNext{0};
    std::atomic<int> nDiffer{0};
    double fCPUBefore;
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        fCPUBefore = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                     (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    const Clock::time_point start = Clock::now();
    std::vector<std::thread> aThreads;
    for (size_t t = 0; t < g_nThreads; ++t)
        aThreads.emplace_back(
            [&]
            {
                for (size_t i; (i = nNext++) < asQueries.size();)
                {
                    const Clock::time_point startOne = Clock::now();
                    const std::vector<CVRMemDocMatch> aMatches = memory.LookupTranslations(asQueries[i], sLanguage);
                    aTimes[i] = Seconds(startOne) * 1000.0;
                    if (aMatches != aSingle[i])
                        ++nDiffer;
                }
            });
    for (std::thread& thread : aThreads)
        thread.join();
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const double fCPU = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                            (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6 - fCPUBefore;
        figures.fThreadsBusy = fCPU / std::max(1e-9, Seconds(start));
    }
    figures.fThreadsPerSecond = asQueries.size() / std::max(1e-9, Seconds(start));
    figures.fThreadsMedian = Percentile(aTimes, 0.5);
    figures.fThreadsP95 = Percentile(aTimes, 0.95);
    figures.nMismatches += nDiffer;
}

void Print(const Figures& figures, const std::string& sSuffix)
{
    const char* sz = sSuffix.c_str();
    std::printf("load_s%s: %.3f\n", sz, figures.fLoad);
    std::printf("index_mb%s: %.1f\n", sz, figures.fIndexMB);
    std::printf("process_mb%s: %.1f\n", sz, figures.fProcessMB);
    std::printf("lookup_median_ms%s: %.3f\n", sz, figures.fMedian);
    std::printf("lookup_p95_ms%s: %.3f\n", sz, figures.fP95);
    std::printf("lookup_p99_ms%s: %.3f\n", sz, figures.fP99);
    std::printf("lookups_per_s%s: %.1f\n", sz, figures.fPerSecond);
    if (figures.fThreadsPerSecond > 0)
    {
        std::printf("threads%s: %zu\n", sz, g_nThreads);
        std::printf("lookup_median_ms_all_threads%s: %.3f\n", sz, figures.fThreadsMedian);
        std::printf("lookup_p95_ms_all_threads%s: %.3f\n", sz, figures.fThreadsP95);
        std::printf("lookups_per_s_all_threads%s: %.1f\n", sz, figures.fThreadsPerSecond);
        std::printf("cores_busy_all_threads%s: %.2f\n", sz, figures.fThreadsBusy);
    }
    if (figures.fReferenceMedian > 0)
    {
        std::printf("reference_median_ms%s: %.3f\n", sz, figures.fReferenceMedian);
        std::printf("speedup_vs_reference%s: %.1f\n", sz, figures.fReferenceMedian / figures.fMedian);
        std::printf("reference_mismatches%s: %d\n", sz, figures.nMismatches);
    }
    if (figures.nAdds > 0)
    {
        std::printf("add_s%s: %.3f\n", sz, figures.fAdd);
        std::printf("adds_per_s%s: %.0f\n", sz, figures.fAdd > 0 ? figures.nAdds / figures.fAdd : 0.0);
    }
}

struct MergeFigures
{
    double fMergedMedian = 0;
    double fSumMedian = 0;
    double fMergedTotal = 0;
    double fSumTotal = 0;
    bool bOK = true;
};

// The units split between "en-US" (even) and "en-GB" (odd): each half alone in a memory of its own,
// asked in its own tag, against both halves in one memory, asked in "en-US", which merges the two.
// Each query runs the three look-ups in turn, so that they meet the same load of the machine.
MergeFigures MeasureMerge(const wxString& sFolder, const std::vector<Unit>& aUnits,
                          const std::vector<wxString>& asQueries)
{
    MergeFigures figures;
    const char* const aszTags[] = {"en-US", "en-GB"};
    auto Load = [&](const char* szName, const std::function<const char*(size_t)>& fnLanguage)
    {
        const wxString sPath = sFolder + "/" + szName;
        std::unique_ptr<CVRMemDoc> pMemory;
        if (WriteTMX(sPath, aUnits, fnLanguage))
            pMemory = std::make_unique<CVRMemDoc>(sPath);
        wxRemoveFile(sPath);
        return pMemory;
    };
    auto pUS = Load("us.tmx", [&](size_t i) { return i % 2 ? nullptr : aszTags[0]; });
    auto pGB = Load("gb.tmx", [&](size_t i) { return i % 2 ? aszTags[1] : nullptr; });
    auto pBoth = Load("both.tmx", [&](size_t i) { return aszTags[i % 2]; });
    if (!pUS || !pGB || !pBoth)
    {
        figures.bOK = false;
        return figures;
    }
    std::vector<double> aMerged, aSum;
    for (const wxString& sQuery : asQueries)
    {
        Clock::time_point start = Clock::now();
        const size_t nMerged = pBoth->LookupTranslations(sQuery, aszTags[0]).size();
        aMerged.push_back(Seconds(start) * 1000.0);
        start = Clock::now();
        const size_t nUS = pUS->LookupTranslations(sQuery, aszTags[0]).size();
        const size_t nGB = pGB->LookupTranslations(sQuery, aszTags[1]).size();
        aSum.push_back(Seconds(start) * 1000.0);
        // The merge sees what both halves see, within the one cap.
        figures.bOK =
            figures.bOK && nMerged == std::min<size_t>(nUS + nGB, static_cast<size_t>(CVRMemDoc::kMaxLookupResults));
    }
    figures.fMergedMedian = Percentile(aMerged, 0.5);
    figures.fSumMedian = Percentile(aSum, 0.5);
    for (size_t i = 0; i < aMerged.size(); ++i)
    {
        figures.fMergedTotal += aMerged[i];
        figures.fSumTotal += aSum[i];
    }
    return figures;
}

std::vector<wxString> ReadLines(const wxString& sPath)
{
    std::vector<wxString> asLines;
    std::ifstream in(sPath.utf8_string(), std::ios::binary);
    std::string sLine;
    while (std::getline(in, sLine))
    {
        if (!sLine.empty() && sLine.back() == '\r')
            sLine.pop_back();
        asLines.push_back(wxString::FromUTF8(sLine));
    }
    return asLines;
}

int RunFiles(const wxString& sTMX, const wxString& sQueries, const wxString& sLanguage, const wxString& sDump,
             size_t nSample)
{
    const std::vector<wxString> asQueries = ReadLines(sQueries);
    const double fBefore = ResidentMB();
    Figures figures;
    const Clock::time_point start = Clock::now();
    std::unique_ptr<CVRMemDoc> pMemory;
    try
    {
        pMemory = std::make_unique<CVRMemDoc>(sTMX);
    }
    catch (const TextFailure& e)
    {
        std::fprintf(stderr, "%s: %s\n", static_cast<const char*>(sTMX.utf8_str()), e.what());
        return 2;
    }
    figures.fLoad = Seconds(start);
    figures.fProcessMB = ResidentMB() - fBefore;
    // Every language the file has an index for.
    std::vector<wxString> asLanguages;
    {
        std::vector<tcNode*> apVariants;
        const tcElement* pTuv = pMemory->GetDocument()->GetDTD()->FindElementByName("tuv");
        if (pTuv)
            pMemory->GetDocument()->GetDictionary()->FindDescendantsOfElementType(pTuv->GetID(), apVariants);
        for (const tcNode* pVariant : apVariants)
        {
            const wxString sLang = pVariant->GetAttributeSByName("xml:lang").Lower();
            if (std::find(asLanguages.begin(), asLanguages.end(), sLang) == asLanguages.end())
                asLanguages.push_back(sLang);
        }
    }
    figures.fIndexMB = IndexMB(*pMemory, asLanguages);
    std::FILE* pDump = nullptr;
    if (!sDump.empty() && !(pDump = std::fopen(sDump.utf8_string().c_str(), "wb")))
    {
        std::fprintf(stderr, "cannot write %s\n", static_cast<const char*>(sDump.utf8_str()));
        return 2;
    }
    Measure(*pMemory, asQueries, sLanguage, nSample, figures, pDump);
    if (pDump)
        std::fclose(pDump);
    MeasureThreads(*pMemory, asQueries, sLanguage, figures);
    std::printf("queries: %zu\n", asQueries.size());
    std::printf("results: %zu\n", figures.nResults);
    Print(figures, "");
    return figures.nMismatches == 0 ? 0 : 1;
}

int RunGenerated(const std::vector<size_t>& aSizes, size_t nQueries, size_t nSampleArg)
{
    const wxString sFolder = wxFileName::CreateTempFileName("bench_memory");
    wxRemoveFile(sFolder);
    wxFileName::Mkdir(sFolder, 0700);
    bool bAgree = true;
    std::vector<std::pair<size_t, Figures>> aAll;
    for (size_t nUnits : aSizes)
    {
        std::srand(20240601);
        const std::vector<Unit> aUnits = MakeUnits(nUnits);
        const wxString sPath = sFolder + "/memory.tmx";
        if (!WriteTMX(sPath, aUnits))
        {
            std::fprintf(stderr, "cannot write %s\n", static_cast<const char*>(sPath.utf8_str()));
            return 2;
        }
        std::vector<wxString> asQueries;
        for (size_t i = 0; i < nQueries; ++i)
            asQueries.push_back(Fit(i % 2 ? NearMatch(aUnits[std::rand() % aUnits.size()].sSource)
                                          : tGenFakeSentence(4, 14, true, nullptr),
                                    60));
        // Segments as long as many of a real document's sentences: the query spans two 64-unit words.
        std::vector<wxString> asLongQueries;
        for (size_t i = 0; i < nQueries; ++i)
            asLongQueries.push_back(Fit(i % 2 ? NearMatch(aUnits[std::rand() % aUnits.size()].sSource)
                                              : tGenFakeSentence(8, 20, true, nullptr),
                                        100));

        Figures figures;
        const double fBefore = ResidentMB();
        const Clock::time_point start = Clock::now();
        auto pMemory = std::make_unique<CVRMemDoc>(sPath);
        figures.fLoad = Seconds(start);
        figures.fProcessMB = ResidentMB() - fBefore;
        figures.fIndexMB = IndexMB(*pMemory, {"en", "el"});
        // The model costs about a second a look-up at 100,000 units: a sample is enough.
        const size_t nSample = nSampleArg ? nSampleArg : (nUnits >= 50000 ? 10 : 30);
        Measure(*pMemory, asQueries, "en", nSample, figures, nullptr);
        MeasureThreads(*pMemory, asQueries, "en", figures);
        bAgree = bAgree && figures.nMismatches == 0;
        Figures longFigures;
        Measure(*pMemory, asLongQueries, "en", std::max<size_t>(1, nSample / 3), longFigures, nullptr);
        figures.nMismatches += longFigures.nMismatches;
        bAgree = bAgree && longFigures.nMismatches == 0;
        // The same queries asked in a regional variant of the memory's language, which has no index
        // of its own: the memory answers from its "en" units.
        Figures regional;
        Measure(*pMemory, asQueries, "en-US", 0, regional, nullptr);
        const teMemDocKernel eInUse = CMemDocQuery::GetKernel();
        SideBySide sideBySide, longSideBySide;
        if (!g_bOldPath)
        {
            sideBySide = MeasureSideBySide(*pMemory, asQueries, "en", eInUse);
            longSideBySide = MeasureSideBySide(*pMemory, asLongQueries, "en", eInUse);
            figures.nMismatches += sideBySide.nDiffer + longSideBySide.nDiffer;
            bAgree = bAgree && sideBySide.nDiffer == 0 && longSideBySide.nDiffer == 0;
        }
        // The same with each other kernel the processor has, side by side with the one in use.
        std::vector<std::pair<teMemDocKernel, double>> aKernelMedians;
        for (teMemDocKernel eKernel : {teMemDocKernel::AVX512, teMemDocKernel::AVX2})
            if (eKernel != eInUse && CMemDocQuery::HasKernel(eKernel))
            {
                CMemDocQuery::UseKernel(eKernel);
                Figures other;
                Measure(*pMemory, asQueries, "en", 0, other, nullptr);
                aKernelMedians.emplace_back(eKernel, other.fMedian);
            }
        CMemDocQuery::UseKernel(eInUse);
        double fNoVector = 0;
        double fLongNoVector = 0;
        // The same without the processor's vector units, as on a machine that lacks them.
        {
            CMemDocQuery::UseVectorUnits(false);
            Figures scalar;
            Measure(*pMemory, asQueries, "en", 0, scalar, nullptr);
            fNoVector = scalar.fMedian;
            Figures longScalar;
            Measure(*pMemory, asLongQueries, "en", 0, longScalar, nullptr);
            fLongNoVector = longScalar.fMedian;
            CMemDocQuery::UseKernel(eInUse);
        }
        pMemory.reset();
        {
            // The units again, added one pair at a time as confirmed segments are; a few look-ups
            // of that memory are checked against the model too.
            const Clock::time_point startAdd = Clock::now();
            CVRMemDoc added{wxString()};
            for (const Unit& unit : aUnits)
                added.AddTranslation(unit.sSource, unit.sTarget, "en", "el");
            figures.fAdd = Seconds(startAdd);
            figures.nAdds = aUnits.size();
            Figures check;
            const std::vector<wxString> asSome(asQueries.begin(), asQueries.begin() + std::min<size_t>(6, nQueries));
            Measure(added, asSome, "en", asSome.size(), check, nullptr);
            figures.nMismatches += check.nMismatches;
            bAgree = bAgree && check.nMismatches == 0;
            added.GetDocument()->ClearDirty(); // nothing to save
        }
        const MergeFigures merge = MeasureMerge(sFolder, aUnits, asQueries);
        figures.nMismatches += merge.bOK ? 0 : 1;
        bAgree = bAgree && merge.bOK;
        std::printf("units: %zu\n", nUnits);
        // Appended rather than "_" + ...: g++ 12 at -O3 warns falsely about the inlined insert.
        std::string sSuffix = "_";
        sSuffix += std::to_string(nUnits);
        Print(figures, sSuffix);
        std::printf("lookup_median_ms_no_vector_%zu: %.3f\n", nUnits, fNoVector);
        for (const auto& [eKernel, fMedian] : aKernelMedians)
            std::printf("lookup_median_ms_%s_%zu: %.3f\n", CMemDocQuery::KernelName(eKernel), nUnits, fMedian);
        std::printf("regional_lookup_median_ms_%zu: %.3f\n", nUnits, regional.fMedian);
        std::printf("regional_lookup_same_results_%zu: %d\n", nUnits, regional.nResults == figures.nResults ? 1 : 0);
        std::printf("merged_variants_lookup_median_ms_%zu: %.3f\n", nUnits, merge.fMergedMedian);
        std::printf("variants_alone_sum_median_ms_%zu: %.3f\n", nUnits, merge.fSumMedian);
        std::printf("merged_vs_sum_of_variants_%zu: %.2f\n", nUnits,
                    merge.fSumTotal > 0 ? merge.fMergedTotal / merge.fSumTotal : 0.0);
        std::printf("merged_variants_same_results_%zu: %d\n", nUnits, merge.bOK ? 1 : 0);
        std::printf("long_lookup_median_ms_%zu: %.3f\n", nUnits, longFigures.fMedian);
        std::printf("long_lookup_p95_ms_%zu: %.3f\n", nUnits, longFigures.fP95);
        std::printf("long_lookup_median_ms_no_vector_%zu: %.3f\n", nUnits, fLongNoVector);
        if (!g_bOldPath)
        {
            PrintSideBySide(sideBySide, "lookup", nUnits);
            PrintSideBySide(longSideBySide, "long_lookup", nUnits);
        }
        std::fflush(stdout);
        aAll.emplace_back(nUnits, figures);
        wxRemoveFile(sPath);
    }
    wxFileName::Rmdir(sFolder);
    if (aAll.size() >= 2)
    {
        // Look-up cost per unit of memory, largest against smallest: 1 or less grows no faster.
        const auto& [nSmall, small] = aAll.front();
        const auto& [nLarge, large] = aAll.back();
        std::printf("lookup_growth_vs_size: %.2f\n",
                    (large.fMedian / small.fMedian) / (static_cast<double>(nLarge) / static_cast<double>(nSmall)));
    }
    Print(aAll.back().second, "");
    return bAgree ? 0 : 1;
}
} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "C.UTF-8");
    wxString sTMX, sQueries, sLanguage, sDump;
    std::vector<size_t> aSizes{10000, 100000};
    size_t nQueries = 300;
    size_t nSample = 0;
    g_nThreads = std::max(1u, std::thread::hardware_concurrency());
    std::string sKernel = std::getenv("BENCH_MEMORY_KERNEL") ? std::getenv("BENCH_MEMORY_KERNEL") : "";
    g_bOldPath = std::getenv("BENCH_MEMORY_OLD_PATH") && std::string(std::getenv("BENCH_MEMORY_OLD_PATH")) == "1";
    for (int i = 1; i < argc; ++i)
    {
        const std::string sArg = argv[i];
        const bool bValue = i + 1 < argc;
        if (sArg == "--tmx" && bValue)
            sTMX = wxString::FromUTF8(argv[++i]);
        else if (sArg == "--queries" && bValue)
            sQueries = wxString::FromUTF8(argv[++i]);
        else if (sArg == "--source-lang" && bValue)
            sLanguage = wxString::FromUTF8(argv[++i]);
        else if (sArg == "--dump" && bValue)
            sDump = wxString::FromUTF8(argv[++i]);
        else if (sArg == "--reference-sample" && bValue)
            nSample = std::strtoul(argv[++i], nullptr, 10);
        else if (sArg == "--threads" && bValue)
            g_nThreads = std::max<size_t>(1, std::strtoul(argv[++i], nullptr, 10));
        else if (sArg == "--kernel" && bValue)
            sKernel = argv[++i];
        else if (sArg == "--old-path")
            g_bOldPath = true;
        else if (sArg == "--queries-per-size" && bValue)
            nQueries = std::max<size_t>(1, std::strtoul(argv[++i], nullptr, 10));
        else if (sArg == "--units" && bValue)
        {
            aSizes.clear();
            std::string sList = argv[++i];
            for (size_t nPos = 0; nPos < sList.size();)
            {
                const size_t nEnd = std::min(sList.find(',', nPos), sList.size());
                if (const size_t n = std::strtoul(sList.substr(nPos, nEnd - nPos).c_str(), nullptr, 10))
                    aSizes.push_back(n);
                nPos = nEnd + 1;
            }
        }
        else
        {
            std::fprintf(stderr,
                         "usage: bench_memory [--units N[,N...]] [--queries-per-size N] [--reference-sample N] "
                         "[--threads N] [--kernel portable|avx2|avx512] [--old-path]\n"
                         "       bench_memory --tmx FILE --queries FILE --source-lang L [--dump OUT] "
                         "[--reference-sample N] [--threads N]\n");
            return 2;
        }
    }
    if (sKernel == "portable")
        CMemDocQuery::UseKernel(teMemDocKernel::Portable);
    else if (sKernel == "avx2")
        CMemDocQuery::UseKernel(teMemDocKernel::AVX2);
    else if (!sKernel.empty() && sKernel != "avx512")
    {
        std::fprintf(stderr, "unknown kernel %s\n", sKernel.c_str());
        return 2;
    }
    if (g_bOldPath)
        UseOldPath(true, CMemDocQuery::GetKernel());
    std::printf("kernel: %s\n", CMemDocQuery::KernelName(CMemDocQuery::GetKernel()));
    std::printf("path: %s\n", g_bOldPath ? "old" : "new");
    Init_TMXImporter();
    if (!sTMX.empty() || !sQueries.empty())
    {
        if (sTMX.empty() || sQueries.empty() || sLanguage.empty())
        {
            std::fprintf(stderr, "--tmx, --queries and --source-lang go together\n");
            return 2;
        }
        return RunFiles(sTMX, sQueries, sLanguage, sDump, nSample ? nSample : 10);
    }
    if (aSizes.empty())
        return 2;
    return RunGenerated(aSizes, nQueries, nSample);
}
