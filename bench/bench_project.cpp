// Creates a translation project the way the project page does: each source document converted by
// the convertor its extension selects, segmented by SRX rules, every segment looked up in the
// memory and pre-filled at the threshold, then the project saved as XLIFF.
//
//     bench_project [--srx F] [--tmx F] [--source-lang L] [--target-lang L] [--threshold N]
//                   [--save PATH] [--memory-units N[,N...]] [--threads N] [FILE...]
//
// Without files it generates an HTML document of 2,000 sentences in paragraphs and TMX memories of
// 10,000 and 100,000 units (or the sizes --memory-units gives) (a fifth of the document's sentences stored as they are,
// a fifth with one word changed, the rest unrelated) and runs once per memory. With files it runs once on them, against
// the TMX file given (none: no look-up). The rules default to the shipped Default.srx.
//
// Figures, one block per run after "memory_units:": segments written, segments per second of the
// whole conversion, and the time split: segmentation_s is the conversion without a memory,
// lookup_s what the memory adds to it, writing_s the save. peak_mb is the process's peak resident
// size so far, project_mb the size of the saved project. --save keeps the (last) project file.
// Look-ups run on --threads workers (default: as many as the machine has); threads says how many.
// write_s and load_s repeat writing_s and memory_load_s. With more than one thread, each run is
// preceded by one on a single thread (lookup_s_1_thread, lookup_speedup); same_file_as_1_thread
// says whether the two project files are byte-identical. The first run of a process pays for
// fresh memory, so the single thread goes first. convert_cpu_s is the processor time of the
// conversion (all threads) and cores_busy that over its wall time: on a machine shared with other
// work, how many cores the run really had (suffixed _1_thread for the single-thread run).

#include "Shared/AppUtils_sharedTestText.h"
#include "Shared/VRSRXDoc.h"
#include "bench/UndatedProject.h"
#include "engine/Convertor.h"
#include "engine/ConvertorRegistry.h"
#include "engine/MemDocLookupPool.h"
#include "engine/Convertor_html.h"
#include "engine/Convertor_segment.h"
#include "engine/Convertor_txt.h"
#include "engine/VRMemDoc.h"
#include "engine/XLIFFDTD.h"
#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/tOutput.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <wx/string.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
struct Options
{
    fs::path srx;
    fs::path tmx;
    wxString sSourceLanguage = L"en";
    wxString sTargetLanguage = L"de";
    int nThreshold = 75;
    fs::path save;
    std::vector<int> anMemoryUnits{10000, 100000};
    int nThreads = 0;
    std::vector<fs::path> aFiles;
};

int Usage()
{
    std::fprintf(stderr, "usage: bench_project [--srx F] [--tmx F] [--source-lang L] [--target-lang L] "
                         "[--threshold N] [--save PATH] [--memory-units N[,N...]] [--threads N] [FILE...]\n");
    return 2;
}

void Print(const char* szName, double fValue)
{
    std::printf("%s: %.3f\n", szName, fValue);
}

void Print(const char* szName, int nValue)
{
    std::printf("%s: %d\n", szName, nValue);
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double PeakMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Processor time of the process so far, all threads.
double CPUSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

wxString Path(const fs::path& path)
{
    return wxString(path.wstring());
}

struct Project
{
    std::unique_ptr<tcDocument> pDoc;
    SXLIFFDTD dtd;
    bool bAllRead = true;
};

// Converts every file into a new project document; pMemory may be null.
Project Create(const ConvertorRegistry& registry, const Options& options, const std::vector<fs::path>& aFiles,
               CVRSRXDoc& rules, CVRMemDoc* pMemory)
{
    Project project;
    project.pDoc = std::make_unique<tcDocument>();
    project.pDoc->CreateDoc(L"bench");
    tcDictionary* pRoot = PrepareNewProjectDocument(project.pDoc.get());
    InitXLIFFDTD(project.pDoc.get(), project.dtd, false);
    for (const fs::path& file : aFiles)
    {
        std::unique_ptr<tcConvertor> pConvertor = registry.CreateConvertor(ConvertorRegistry::ExtensionOf(Path(file)),
                                                                           project.pDoc.get(), options.sSourceLanguage);
        if (!pConvertor)
        {
            std::fprintf(stderr, "%s: no convertor for this extension\n", file.string().c_str());
            project.bAllRead = false;
            continue;
        }
        project.bAllRead &=
            pConvertor->Convert(&project.dtd, Path(fs::absolute(file)), pRoot, &rules, pMemory, options.sSourceLanguage,
                                options.sTargetLanguage, options.nThreshold, nullptr);
    }
    return project;
}

// Segments of the project: the mrk segments of each seg-source, or 1 for a seg-source without any.
int CountSegments(const Project& project)
{
    std::vector<tcNode*> apSegSources;
    project.pDoc->GetDictionary()->FindDescendantsOfElementType(project.dtd.m_pSegSourceElement->GetID(), apSegSources);
    int nSegments = 0;
    for (const tcNode* pSegSource : apSegSources)
    {
        const int nMrk = pSegSource->GetNumDescendantsOfElementType(project.dtd.m_pMrkElement->GetID());
        nSegments += nMrk > 0 ? nMrk : 1;
    }
    return nSegments;
}

// A sentence that the rules end where it ends: its last word is too long to be taken for an
// abbreviation.
wxString Sentence()
{
    wxString sLast;
    while (sLast.length() < 7)
        sLast = tGenFakeWord(L"en");
    return tGenFakeSentence(3, 13, true, L"en") + L" " + sLast + L".";
}

// An HTML document of nSentences sentences, one to four to a paragraph, some words in bold.
std::vector<wxString> WriteDocument(const fs::path& path, int nSentences)
{
    std::vector<wxString> asSentences;
    wxString sDoc = L"<html><body>\n";
    while (static_cast<int>(asSentences.size()) < nSentences)
    {
        sDoc += L"<p>";
        const int nInParagraph = 1 + std::rand() % 4;
        for (int i = 0; i < nInParagraph && static_cast<int>(asSentences.size()) < nSentences; ++i)
        {
            const wxString sSentence = Sentence();
            asSentences.push_back(sSentence);
            if (i > 0)
                sDoc += L" ";
            if (std::rand() % 8 == 0)
            {
                // Capitalised: the rules break only before a capital.
                wxString sWord = tGenFakeWord(L"en");
                sWord = sWord.Left(1).Upper() + sWord.Mid(1);
                sDoc += L"<b>" + sWord + L"</b> ";
            }
            sDoc += sSentence;
        }
        sDoc += L"</p>\n";
    }
    sDoc += L"</body></html>\n";
    std::ofstream(path, std::ios::binary) << sDoc.utf8_string();
    return asSentences;
}

// A TMX file of nUnits units: a fifth of them the document's sentences, a fifth those with the
// first word changed, the rest unrelated.
void WriteMemory(const fs::path& path, const std::vector<wxString>& asSentences, int nUnits, const Options& options)
{
    const std::string sSourceLanguage = options.sSourceLanguage.utf8_string();
    const std::string sTargetLanguage = options.sTargetLanguage.utf8_string();
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><tmx version=\"1.4\"><header creationtool=\"bench_project\" "
           "creationtoolversion=\"1\" segtype=\"sentence\" o-tmf=\"none\" adminlang=\"en\" srclang=\""
        << sSourceLanguage << "\" datatype=\"plaintext\"/><body>\n";
    for (int i = 0; i < nUnits; ++i)
    {
        wxString sSource;
        const int nKind = i % 5;
        const wxString& sKnown = asSentences[static_cast<size_t>(std::rand()) % asSentences.size()];
        if (nKind == 0)
            sSource = sKnown;
        else if (nKind == 1)
            sSource = tGenFakeWord(L"en") + sKnown.Mid(static_cast<size_t>(sKnown.Find(L' ')));
        else
            sSource = Sentence();
        const wxString sTarget = tGenFakeSentence(4, 14, true, L"de") + L".";
        out << "<tu><tuv xml:lang=\"" << sSourceLanguage << "\"><seg>" << sSource.utf8_string()
            << "</seg></tuv><tuv xml:lang=\"" << sTargetLanguage << "\"><seg>" << sTarget.utf8_string()
            << "</seg></tuv></tu>\n";
    }
    out << "</body></tmx>\n";
}

struct RunFigures
{
    double fLookup = 0;
    // Processor time and wall time of the conversion: how many cores it really had.
    double fConvertCPU = 0;
    double fConvert = 0;
    std::string sFile;
};

// The file's bytes without the file elements' creation dates, which move with the clock.
std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return tWithoutFileDates(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{}));
}

// One run: figures for converting aFiles against pMemory on nThreads workers, with the time without
// a memory given. bPrint: print the figures (else only measure, for a comparison).
bool Run(const ConvertorRegistry& registry, const Options& options, const std::vector<fs::path>& aFiles,
         CVRSRXDoc& rules, CVRMemDoc* pMemory, double fSegmentationSeconds, const fs::path& projectPath,
         int nThreads, bool bPrint, RunFigures& figures)
{
    CMemDocLookupPool::SetDefaultThreads(nThreads);
    // Inline codes are numbered process-wide: each run counts from the start, so runs compare.
    CSegmentTUChild::ResetIDCounterForTests();
    const auto start = std::chrono::steady_clock::now();
    const double fCPUBefore = CPUSeconds();
    Project project = Create(registry, options, aFiles, rules, pMemory);
    const double fConvertSeconds = Seconds(start);
    figures.fConvertCPU = CPUSeconds() - fCPUBefore;
    figures.fConvert = fConvertSeconds;

    const auto startWriting = std::chrono::steady_clock::now();
    const int nSaved = OutputXLIFF(project.pDoc.get(), nullptr, Path(projectPath));
    const double fWritingSeconds = Seconds(startWriting);
    if (nSaved != 0)
    {
        std::fprintf(stderr, "%s: the project could not be written\n", projectPath.string().c_str());
        return false;
    }
    figures.fLookup =
        pMemory && fConvertSeconds > fSegmentationSeconds ? fConvertSeconds - fSegmentationSeconds : 0;
    figures.sFile = ReadBytes(projectPath);
    if (!bPrint)
        return project.bAllRead;

    const int nSegments = CountSegments(project);
    Print("threads", CMemDocLookupPool::GetDefaultThreads());
    Print("segments", nSegments);
    Print("segments_per_s", fConvertSeconds > 0 ? nSegments / fConvertSeconds : 0);
    Print("segmentation_s", fSegmentationSeconds);
    Print("lookup_s", figures.fLookup);
    Print("convert_cpu_s", figures.fConvertCPU);
    Print("cores_busy", fConvertSeconds > 0 ? figures.fConvertCPU / fConvertSeconds : 0.0);
    Print("writing_s", fWritingSeconds);
    Print("write_s", fWritingSeconds);
    Print("peak_mb", PeakMB());
    Print("project_mb", static_cast<double>(fs::file_size(projectPath)) / (1024.0 * 1024.0));
    return project.bAllRead;
}

// Run, and with more than one thread the same on one thread for comparison.
bool RunAndCompare(const ConvertorRegistry& registry, const Options& options, const std::vector<fs::path>& aFiles,
                   CVRSRXDoc& rules, CVRMemDoc* pMemory, double fSegmentationSeconds, const fs::path& projectPath)
{
    CMemDocLookupPool::SetDefaultThreads(options.nThreads);
    const int nThreads = CMemDocLookupPool::GetDefaultThreads();
    // The run on one thread goes first, so that neither run meets a memory the other has warmed.
    RunFigures one;
    bool bOK = true;
    if (pMemory && nThreads > 1)
        bOK = Run(registry, options, aFiles, rules, pMemory, fSegmentationSeconds, projectPath, 1, false, one);
    RunFigures all;
    bOK = Run(registry, options, aFiles, rules, pMemory, fSegmentationSeconds, projectPath, nThreads, true, all) && bOK;
    if (pMemory && nThreads > 1)
    {
        Print("lookup_s_1_thread", one.fLookup);
        Print("convert_cpu_s_1_thread", one.fConvertCPU);
        Print("cores_busy_1_thread", one.fConvert > 0 ? one.fConvertCPU / one.fConvert : 0.0);
        Print("lookup_speedup", all.fLookup > 0 ? one.fLookup / all.fLookup : 0.0);
        Print("same_file_as_1_thread", one.sFile == all.sFile ? 1 : 0);
        bOK = bOK && one.sFile == all.sFile;
    }
    return bOK;
}

double SegmentationSeconds(const ConvertorRegistry& registry, const Options& options,
                           const std::vector<fs::path>& aFiles, CVRSRXDoc& rules)
{
    const auto start = std::chrono::steady_clock::now();
    Project project = Create(registry, options, aFiles, rules, nullptr);
    return Seconds(start);
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::locale::global(std::locale("C.UTF-8"));

    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string sArg = argv[i];
        const bool bValue = sArg == "--srx" || sArg == "--tmx" || sArg == "--source-lang" || sArg == "--target-lang" ||
                            sArg == "--threshold" || sArg == "--save" || sArg == "--memory-units" ||
                            sArg == "--threads";
        if (bValue && i + 1 >= argc)
            return Usage();
        if (sArg == "--srx")
            options.srx = argv[++i];
        else if (sArg == "--tmx")
            options.tmx = argv[++i];
        else if (sArg == "--source-lang")
            options.sSourceLanguage = wxString::FromUTF8(argv[++i]);
        else if (sArg == "--target-lang")
            options.sTargetLanguage = wxString::FromUTF8(argv[++i]);
        else if (sArg == "--threshold")
            options.nThreshold = std::atoi(argv[++i]);
        else if (sArg == "--save")
            options.save = argv[++i];
        else if (sArg == "--threads")
            options.nThreads = std::max(1, std::atoi(argv[++i]));
        else if (sArg == "--memory-units")
        {
            options.anMemoryUnits.clear();
            const std::string sList = argv[++i];
            for (size_t nPos = 0; nPos < sList.size();)
            {
                const size_t nEnd = std::min(sList.find(',', nPos), sList.size());
                if (const int n = std::atoi(sList.substr(nPos, nEnd - nPos).c_str()); n > 0)
                    options.anMemoryUnits.push_back(n);
                nPos = nEnd + 1;
            }
            if (options.anMemoryUnits.empty())
                return Usage();
        }
        else if (sArg.rfind("--", 0) == 0)
            return Usage();
        else
            options.aFiles.emplace_back(sArg);
    }
    if (options.srx.empty())
        options.srx = fs::canonical("/proc/self/exe").parent_path().parent_path() / "Data" / "Default.srx";

    Init_SRXImporter();
    Init_TMXImporter();
    ConvertorRegistry registry;
    registry.Register(0, L"Text documents", L"*.txt", L"Add plain text documents into XLIFF projects", 1.0f,
                      AllocateConvertor_TXT);
    registry.Register(0, L"HTML documents", L"*.html;*.htm;*.xhtml;*.shtml", L"Add HTML documents into XLIFF projects",
                      1.0f, AllocateConvertor_HTML);
    registry.Register(0, L"XML documents", L"*.xml", L"Add XML documents into XLIFF projects", 1.0f,
                      AllocateConvertor_XML);

    const fs::path work = fs::temp_directory_path() / ("bench_project_" + std::to_string(getpid()));
    fs::create_directories(work);
    const fs::path projectPath = options.save.empty() ? work / "project.xlf" : options.save;

    bool bOK = true;
    try
    {
        CVRSRXDoc rules(Path(options.srx));
        rules.SetLanguage(options.sSourceLanguage);

        if (!options.aFiles.empty())
        {
            std::unique_ptr<CVRMemDoc> pMemory;
            if (!options.tmx.empty())
            {
                const auto start = std::chrono::steady_clock::now();
                pMemory = std::make_unique<CVRMemDoc>(Path(options.tmx));
                Print("memory_load_s", Seconds(start));
                Print("load_s", Seconds(start));
            }
            const double fSegmentation = SegmentationSeconds(registry, options, options.aFiles, rules);
            bOK = RunAndCompare(registry, options, options.aFiles, rules, pMemory.get(), fSegmentation, projectPath);
        }
        else
        {
            std::srand(12345);
            const fs::path document = work / "document.html";
            const std::vector<wxString> asSentences = WriteDocument(document, 2000);
            const double fSegmentation = SegmentationSeconds(registry, options, {document}, rules);
            for (int nUnits : options.anMemoryUnits)
            {
                const fs::path tmx = work / ("memory" + std::to_string(nUnits) + ".tmx");
                WriteMemory(tmx, asSentences, nUnits, options);
                const auto start = std::chrono::steady_clock::now();
                auto pMemory = std::make_unique<CVRMemDoc>(Path(tmx));
                const double fLoad = Seconds(start);
                Print("memory_units", nUnits);
                Print("memory_load_s", fLoad);
                Print("load_s", fLoad);
                bOK &= RunAndCompare(registry, options, {document}, rules, pMemory.get(), fSegmentation, projectPath);
            }
        }
    }
    catch (const TextFailure& e)
    {
        std::fprintf(stderr, "%s\n", e.GetText().utf8_str().data());
        bOK = false;
    }

    std::error_code error;
    fs::remove_all(work, error);
    return bOK ? 0 : 1;
}
