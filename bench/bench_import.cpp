// Loads translation memories through the TMX handler and prints, per file, the units read, the
// units read per second and the process's peak resident memory; then loads the file as a translation
// memory does, indexing every seg for look-ups (memory_units_per_s, index_mb). The *_cpu_s figures
// count processor time, which a busy machine disturbs less. Without arguments it generates memories
// of 10,000, 50,000 and 100,000 units, loads each twice and measures the second time, and also prints
// how the cost per unit grows between 10,000 and 100,000 (about 1 when loading is linear). With arguments it
// loads the TMX files named.
//
//     bench_import [FILE...]

#include "engine/VRMemDoc.h"
#include "engine/VRMemDocIndex.h"
#include "import/TMXImporter.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/tSystem.h"
#include "varnak/include/tcDocument.h"

#include <wx/string.h>

#include <cctype>
#include <chrono>
#include <clocale>
#include <ctime>
#include <locale>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
struct LoadResult
{
    bool bLoaded = false;
    long long nUnits = 0;
    double fSeconds = 0;
    double fCPUSeconds = 0;
};

// The process's processor time: on a busy machine it moves less with the load than the clock does.
double CPUSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long long CountUnits(const tcNode* pNode)
{
    long long n = 0;
    for (const tcNode* pChild : pNode->GetChildren())
    {
        if (!pChild->GetElement())
            continue;
        if (pChild->GetElementName() == "tu")
            ++n;
        else
            n += CountUnits(pChild);
    }
    return n;
}

LoadResult LoadMemory(const fs::path& path)
{
    LoadResult result;
    tcDocument doc;
    doc.CreateDoc("memory");
    CTMXImporter importer;
    importer.AttachDoc(&doc);
    importer.OpenDatasource(wxString(path.wstring()));
    int nProgress = 0;
    const auto start = std::chrono::steady_clock::now();
    const double fCPUStart = CPUSeconds();
    const int nResult = importer.LoadDictionary(nProgress, nullptr);
    result.fSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.fCPUSeconds = CPUSeconds() - fCPUStart;
    for (int i = 0; i < importer.GetNumLoadErrors(); ++i)
        std::fprintf(stderr, "%s: %s\n", path.string().c_str(), importer.GetLoadError(i).utf8_str().data());
    result.bLoaded = nResult == 0 && doc.GetDictionary();
    if (result.bLoaded)
        result.nUnits = CountUnits(doc.GetDictionary());
    return result;
}

double PeakMegabytes()
{
    uint64_t nWorkingSet = 0, nPeakWorkingSet = 0, nPagefile = 0, nPeakPagefile = 0;
    if (!tcProcessMemoryInfo::GetMemUsageInfo(nWorkingSet, nPeakWorkingSet, nPagefile, nPeakPagefile))
        return 0;
    return static_cast<double>(nPeakWorkingSet) / (1024.0 * 1024.0);
}

// Loads the file as a translation memory (every seg indexed while it loads): the seconds, or a
// negative value when it did not load; nIndexBytes receives the size of its index, fCPUSeconds the
// processor time.
double LoadIndexedMemory(const fs::path& path, size_t& nIndexBytes, double& fCPUSeconds)
{
    nIndexBytes = 0;
    try
    {
        const auto start = std::chrono::steady_clock::now();
        const double fCPUStart = CPUSeconds();
        CVRMemDoc memory(wxString(path.wstring()));
        const double fSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        fCPUSeconds = CPUSeconds() - fCPUStart;
        for (const wxString sLanguage : {L"en", L"de"})
            if (CVRMemDocIndex* pIndex = memory.GetIndex(sLanguage))
                nIndexBytes += pIndex->GetMemoryUsage();
        return fSeconds;
    }
    catch (const TextFailure& e)
    {
        std::fprintf(stderr, "%s: %s\n", path.string().c_str(), e.GetText().utf8_str().data());
        return -1;
    }
}

// Prints the figures of one file; the time per unit of the plain load, or a negative value when it
// did not load.
double Report(const fs::path& path)
{
    const LoadResult result = LoadMemory(path);
    std::printf("file: %s\n", path.string().c_str());
    if (!result.bLoaded)
    {
        std::printf("units: 0\nunits_per_s: 0\npeak_mb: %.1f\n", PeakMegabytes());
        return -1;
    }
    const double fPerSecond = result.fSeconds > 0 ? static_cast<double>(result.nUnits) / result.fSeconds : 0;
    const auto PerSecond = [&result](double f) { return f > 0 ? static_cast<double>(result.nUnits) / f : 0; };
    std::printf("units: %lld\nunits_per_s: %.0f\nunits_per_cpu_s: %.0f\npeak_mb: %.1f\n", result.nUnits, fPerSecond,
                PerSecond(result.fCPUSeconds), PeakMegabytes());
    size_t nIndexBytes = 0;
    double fIndexedCPU = 0;
    const double fIndexed = LoadIndexedMemory(path, nIndexBytes, fIndexedCPU);
    std::printf("memory_units_per_s: %.0f\nmemory_units_per_cpu_s: %.0f\nindex_mb: %.1f\npeak_mb: %.1f\n",
                PerSecond(fIndexed), PerSecond(fIndexedCPU), static_cast<double>(nIndexBytes) / (1024.0 * 1024.0),
                PeakMegabytes());
    std::fflush(stdout);
    return result.nUnits > 0 ? result.fSeconds / static_cast<double>(result.nUnits) : -1;
}

// A memory of nUnits English-German units, one per line as tools write them, with the inline codes
// real memories carry: placeholders and paired bold or italic codes in some of the segments.
void WriteMemory(const fs::path& path, int nUnits)
{
    static const char* const s_aszEnglish[] = {
        "the",      "file",    "was",         "saved",  "before",   "you",     "closed", "window",
        "click",    "here",    "to",          "open",   "settings", "for",     "this",   "project",
        "and",      "check",   "translation", "memory", "every",    "segment", "new",    "document",
        "contains", "several", "paragraphs",  "with",   "images",   "tables",
    };
    static const char* const s_aszGerman[] = {
        "die",         "Datei", "wurde",    "gespeichert", "bevor",   "Sie",           "das",      "Fenster",
        "geschlossen", "haben", "klicken",  "hier",        "um",      "Einstellungen", "für",      "dieses",
        "Projekt",     "zu",    "öffnen",   "und",         "prüfen",  "Übersetzung",   "Speicher", "jeder",
        "Abschnitt",   "neues", "Dokument", "enthält",     "mehrere", "Absätze",
    };
    std::mt19937 random(20240102);
    auto sentence = [&](const char* const* aszWords, size_t nWords, int nUnit)
    {
        std::string s;
        const int nLength = 6 + static_cast<int>(random() % 14);
        const int nCode = nUnit % 5; // 0: a placeholder, 1: a paired code, else plain text
        for (int i = 0; i < nLength; ++i)
        {
            if (i)
                s += ' ';
            if (nCode == 1 && i == 2)
                s += "<bpt i=\"1\" type=\"bold\">&lt;b&gt;</bpt>";
            s += aszWords[random() % nWords];
            if (nCode == 1 && i == 3)
                s += "<ept i=\"1\">&lt;/b&gt;</ept>";
            if (nCode == 0 && i == nLength / 2)
                s += " <ph x=\"1\">&lt;img src=\"logo.png\"/&gt;</ph>";
        }
        s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
        return s + (nUnit % 7 == 0 ? " &amp; more." : ".");
    };

    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\"><header creationtool=\"bench_import\" "
           "creationtoolversion=\"1\" segtype=\"sentence\" o-tmf=\"none\" adminlang=\"en\" srclang=\"en\" "
           "datatype=\"plaintext\"/><body>\n";
    for (int n = 0; n < nUnits; ++n)
    {
        out << "<tu tuid=\"" << n + 1 << "\" creationdate=\"20240102T030405Z\"><tuv xml:lang=\"en\"><seg>"
            << sentence(s_aszEnglish, std::size(s_aszEnglish), n) << "</seg></tuv><tuv xml:lang=\"de\"><seg>"
            << sentence(s_aszGerman, std::size(s_aszGerman), n) << "</seg></tuv></tu>\n";
    }
    out << "</body></tmx>\n";
}
} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::locale::global(std::locale("C.UTF-8"));
    Init_TMXImporter();
    if (argc > 1)
    {
        for (int i = 1; i < argc; ++i)
        {
            // No options: anything that looks like one gets the usage, not a parser error.
            if (argv[i][0] == '-')
            {
                std::fprintf(stderr, "usage: bench_import [FILE...]\n");
                return 2;
            }
        }
        int nFailed = 0;
        for (int i = 1; i < argc; ++i)
        {
            if (Report(argv[i]) < 0)
                ++nFailed;
        }
        return nFailed ? 1 : 0;
    }

    std::error_code ec;
    const fs::path folder = fs::temp_directory_path() / ("bench_import." + std::to_string(std::random_device()()));
    fs::create_directories(folder, ec);
    if (ec)
    {
        std::fprintf(stderr, "cannot create %s\n", folder.string().c_str());
        return 1;
    }
    const fs::path small = folder / "memory-10k.tmx";
    const fs::path middle = folder / "memory-50k.tmx";
    const fs::path large = folder / "memory-100k.tmx";
    WriteMemory(small, 10000);
    WriteMemory(middle, 50000);
    WriteMemory(large, 100000);
    // Each size is loaded once before it is measured: the first load of a process pays for starting
    // the parser and for fresh memory, and any load pays for sorting the free memory the document
    // before it left to the allocator, which grows with that document. So each measured load
    // starts from what a document of its own size left, and the figures compare across sizes.
    LoadMemory(small);
    const double fSmall = Report(small);
    LoadMemory(middle);
    Report(middle);
    LoadMemory(large);
    const double fLarge = Report(large);
    fs::remove_all(folder, ec);
    if (fSmall <= 0 || fLarge <= 0)
        return 1;
    std::printf("cost_ratio_100k_vs_10k: %.2f\n", fLarge / fSmall);
    return 0;
}
