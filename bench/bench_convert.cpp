// Converts HTML and XML documents the way a project adds them, and prints how the time per megabyte
// depends on how deep the document's elements nest.
//
//     bench_convert [--srx FILE] [--out DIR] [FILE...]
//
// Without files it generates, for each depth from 10 to 20,000, an HTML and an XML document of about
// 1 MB made of blocks of elements with a class attribute nested that deep, a short text at the
// bottom of each block. Figures per kind and depth:
// - import_ms_per_mb_KIND_depth_N: the tokenizer alone (Import into units), with the nesting limit
//   lifted so that depths beyond it are measured too;
// - convert_ms_per_mb_KIND_depth_N: the whole conversion into a project, segmented by the shipped
//   rules, for the depths the shipped limit lets in;
// - import_ratio_KIND_deepest_vs_10: the per-megabyte time of the deepest document over that of
//   depth 10 (about 1 when the work per tag does not grow with the depth);
// - refused_KIND_depth_N and refuse_ms_KIND_depth_N for the depths beyond the limit: 1 when the
//   shipped convertor refused the document, and how long that took.
//
// With files, each one (HTML or XML by its extension) is converted into a project and written back
// in the source and in the target language; the figures count the files read, the files whose two
// outputs are the same, and the files whose output is the file itself (with "<br>" as "<br />").
// --out DIR also keeps each source-language output there, named by the file's position and name.

#include "Shared/ImportXMLLimits.h"
#include "Shared/VRSRXDoc.h"
#include "engine/Convertor_html.h"
#include "engine/Convertor_segment.h"
#include "engine/XLIFFDTD.h"
#include "import/SRXImporter.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <wx/string.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace
{
const int kDepths[] = {10, 100, 1000, 4000, 20000};
constexpr size_t kDocumentBytes = 1 << 20;

// A convertor of either kind that converts a file of the program's choosing, nested as deep as asked.
template <class Base> class CMeasured : public Base
{
public:
    template <class... Args> explicit CMeasured(size_t nMaxDepth, Args&&... args) : Base(std::forward<Args>(args)...)
    {
        this->m_nMaxDepth = nMaxDepth;
    }
    void SetSourcePath(const wxString& sPath) { this->m_sSourcePath = sPath; }
};

std::unique_ptr<tcConvertorHTML> MakeConvertor(bool bXML, size_t nMaxDepth, tcDocument* pDoc)
{
    if (bXML)
        return std::make_unique<CMeasured<tcConvertorXML>>(nMaxDepth, pDoc, L"en");
    return std::make_unique<CMeasured<tcConvertorHTML>>(nMaxDepth, L"html", pDoc, L"en", true);
}

void SetSourcePath(tcConvertorHTML& convertor, const wxString& sPath, bool bXML)
{
    if (bXML)
        static_cast<CMeasured<tcConvertorXML>&>(convertor).SetSourcePath(sPath);
    else
        static_cast<CMeasured<tcConvertorHTML>&>(convertor).SetSourcePath(sPath);
}

wxString Path(const fs::path& path)
{
    return wxString(path.wstring());
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Print(const std::string& sName, double fValue)
{
    std::printf("%s: %.3f\n", sName.c_str(), fValue);
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& sBytes)
{
    std::ofstream(path, std::ios::binary) << sBytes;
}

// Blocks of nDepth nested elements until the document holds about kDocumentBytes.
std::string NestedDocument(int nDepth, bool bXML)
{
    const std::string sOpen = bXML ? "<section kind=\"part\">" : "<div class=\"section\">";
    const std::string sClose = bXML ? "</section>" : "</div>";
    std::string sDoc = bXML ? "<doc>\n" : "<html><body>\n";
    while (sDoc.size() < kDocumentBytes)
    {
        for (int i = 0; i < nDepth; ++i)
            sDoc += sOpen;
        sDoc += "Some text at the bottom. And a second sentence.";
        for (int i = 0; i < nDepth; ++i)
            sDoc += sClose;
        sDoc += "\n";
    }
    return sDoc + (bXML ? "</doc>\n" : "</body></html>\n");
}

// A project document to convert into.
struct Project
{
    Project()
    {
        doc.CreateDoc(L"bench");
        pRoot = PrepareNewProjectDocument(&doc);
        InitXLIFFDTD(&doc, dtd, false);
    }
    tcDocument doc;
    SXLIFFDTD dtd;
    tcDictionary* pRoot = nullptr;
};

// Milliseconds of one Import of the file; nullopt when it was refused.
std::optional<double> ImportMilliseconds(const fs::path& file, bool bXML, size_t nMaxDepth)
{
    Project project;
    auto pConvertor = MakeConvertor(bXML, nMaxDepth, &project.doc);
    SetSourcePath(*pConvertor, Path(file), bXML);
    CSegmentDoc segments(nullptr, nullptr, nullptr, nullptr, L"en", nullptr, -1, L"de");
    const auto start = std::chrono::steady_clock::now();
    const bool bRead = pConvertor->Import(&segments, nullptr);
    const double fMilliseconds = Seconds(start) * 1000.0;
    if (!bRead)
        return std::nullopt;
    return fMilliseconds;
}

double ConvertMilliseconds(const fs::path& file, bool bXML, CVRSRXDoc& rules)
{
    Project project;
    auto pConvertor = MakeConvertor(bXML, kMaxXMLElementDepth, &project.doc);
    const auto start = std::chrono::steady_clock::now();
    pConvertor->Convert(&project.dtd, Path(file), project.pRoot, &rules, nullptr, L"en", L"de", -1, nullptr);
    return Seconds(start) * 1000.0;
}

void MeasureDepths(const fs::path& work, CVRSRXDoc& rules)
{
    for (const bool bXML : {false, true})
    {
        const std::string sKind = bXML ? "xml" : "html";
        double fFirst = 0.0;
        double fLast = 0.0;
        for (const int nDepth : kDepths)
        {
            const std::string sDoc = NestedDocument(nDepth, bXML);
            const fs::path file = work / ("depth" + std::to_string(nDepth) + "." + sKind);
            WriteFile(file, sDoc);
            const double fMB = static_cast<double>(sDoc.size()) / (1 << 20);
            const std::string sSuffix = sKind + "_depth_" + std::to_string(nDepth);
            // The better of three runs: the machine is shared.
            double fBest = 0.0;
            for (int nRun = 0; nRun < 3; ++nRun)
            {
                const double fRun = ImportMilliseconds(file, bXML, static_cast<size_t>(nDepth) + 2).value_or(-1.0);
                fBest = nRun == 0 ? fRun : std::min(fBest, fRun);
            }
            Print("import_ms_per_mb_" + sSuffix, fBest / fMB);
            fLast = fBest / fMB;
            if (nDepth == kDepths[0])
                fFirst = fLast;
            if (static_cast<size_t>(nDepth) <= kMaxXMLElementDepth)
            {
                Print("convert_ms_per_mb_" + sSuffix, ConvertMilliseconds(file, bXML, rules) / fMB);
                continue;
            }
            const auto start = std::chrono::steady_clock::now();
            const bool bRefused = !ImportMilliseconds(file, bXML, kMaxXMLElementDepth);
            Print("refuse_ms_" + sSuffix, Seconds(start) * 1000.0);
            Print("refused_" + sSuffix, bRefused ? 1.0 : 0.0);
        }
        Print("import_ratio_" + sKind + "_deepest_vs_10", fFirst > 0.0 ? fLast / fFirst : 0.0);
    }
}

std::string Replace(std::string s, const std::string& sFind, const std::string& sReplace)
{
    for (size_t n = s.find(sFind); n != std::string::npos; n = s.find(sFind, n + sReplace.size()))
        s.replace(n, sFind.size(), sReplace);
    return s;
}

bool RoundTrips(const std::vector<fs::path>& aFiles, const fs::path& work, const fs::path& out, CVRSRXDoc& rules)
{
    int nRead = 0;
    int nSameInBoth = 0;
    int nAsTheFile = 0;
    int nIndex = 0;
    for (const fs::path& file : aFiles)
    {
        ++nIndex;
        const bool bXML = file.extension() == ".xml";
        Project project;
        auto pConvertor = MakeConvertor(bXML, kMaxXMLElementDepth, &project.doc);
        if (!pConvertor->Convert(&project.dtd, Path(fs::absolute(file)), project.pRoot, &rules, nullptr, L"en", L"de",
                                 -1, nullptr))
        {
            std::fprintf(stderr, "%s: not read\n", file.string().c_str());
            continue;
        }
        ++nRead;
        tcNode* pFile = pConvertor->GetBodyNode() ? pConvertor->GetBodyNode()->GetParent() : nullptr;
        const fs::path source = work / "source.out";
        const fs::path target = work / "target.out";
        if (!pFile || !pConvertor->OutputTranslation(&project.dtd, Path(source), L"en", pFile) ||
            !pConvertor->OutputTranslation(&project.dtd, Path(target), L"de", pFile))
        {
            std::fprintf(stderr, "%s: not written\n", file.string().c_str());
            continue;
        }
        const std::string sOutput = ReadFile(source);
        if (!out.empty())
            WriteFile(out / (std::to_string(nIndex) + "-" + file.filename().string()), sOutput);
        nSameInBoth += sOutput == ReadFile(target) ? 1 : 0;
        const std::string sFile = ReadFile(file);
        if (sOutput == Replace(Replace(sFile, "<br>", "<br />"), "<br/>", "<br />"))
            ++nAsTheFile;
        else
            std::fprintf(stderr, "%s: output differs from the file\n", file.string().c_str());
    }
    Print("files", static_cast<double>(aFiles.size()));
    Print("files_read", nRead);
    Print("files_same_in_source_and_target", nSameInBoth);
    Print("files_written_as_read", nAsTheFile);
    return nRead == static_cast<int>(aFiles.size()) && nSameInBoth == nRead;
}

int Usage()
{
    std::fprintf(stderr, "usage: bench_convert [--srx FILE] [--out DIR] [FILE...]\n");
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::locale::global(std::locale("C.UTF-8"));
    fs::path srx;
    fs::path out;
    std::vector<fs::path> aFiles;
    for (int i = 1; i < argc; ++i)
    {
        const std::string sArg = argv[i];
        if ((sArg == "--srx" || sArg == "--out") && i + 1 >= argc)
            return Usage();
        if (sArg == "--srx")
            srx = argv[++i];
        else if (sArg == "--out")
            out = argv[++i];
        else if (sArg.rfind("--", 0) == 0)
            return Usage();
        else
            aFiles.emplace_back(sArg);
    }
    if (srx.empty())
        srx = fs::canonical("/proc/self/exe").parent_path().parent_path() / "Data" / "Default.srx";

    Init_SRXImporter();
    const fs::path work = fs::temp_directory_path() / ("bench_convert_" + std::to_string(getpid()));
    fs::create_directories(work);
    if (!out.empty())
        fs::create_directories(out);
    bool bOK = true;
    try
    {
        CVRSRXDoc rules(Path(srx));
        rules.SetLanguage(L"en");
        if (aFiles.empty())
            MeasureDepths(work, rules);
        else
            bOK = RoundTrips(aFiles, work, out, rules);
    }
    catch (const TextFailure& e)
    {
        std::fprintf(stderr, "%s\n", e.GetText().utf8_str().data());
        bOK = false;
    }
    fs::remove_all(work);
    return bOK ? 0 : 1;
}
