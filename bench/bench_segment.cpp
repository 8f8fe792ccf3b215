// Segments text with SRX rules the way the unit writer does (every prefix one character longer
// than the last, each break starting the next segment) and prints characters segmented per second.
//
//     bench_segment [--srx FILE] [--lang L] [--dump OUT] [FILE...]
//
// Without files it generates its own inputs and segments them with the shipped Default.srx
// (language "en" unless --lang says otherwise): 1 MB of ordinary sentences in paragraphs (each line
// one unit), the same 1 MB as one single unit, once joined by spaces and once by blank lines as a
// plain-text file brings it, and runs without any break of 50 and 100 KB, one of
// plain words and one of lower-case sentences ("word. word."), each a single unit. The time ratio
// of the 100 KB and 50 KB runs shows how the cost grows with the length of a unit (2 when linear,
// 4 when quadratic). The same rules matched from scratch at every position, as the rules read when
// taken literally, run on samples for comparison (reference_* and speedup_vs_reference_*).
// A plain-text file of markup nested deep ("<a x="1"><a x="1">...</a></a>", escaped as the unit
// writer sees it) is one unit of 64 KB, 256 KB and 1 MB: milliseconds per megabyte for each
// (deep_markup_unit_ms_per_mb_*, flat when the work grows linearly with the unit), beside the
// sentences in paragraphs of the same run (reference_sentences_ms_per_mb).
//
// With files, each line of a file is one unit. --dump writes every segment, one per line, of the
// files named, or of the generated paragraphs.

#include "Shared/AppUtils_sharedTestText.h"
#include "Shared/VRSRXDoc.h"
#include "import/SRXImporter.h"
#include "varnak/include/TextFailure.h"

#include <wx/string.h>

#include <cctype>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <locale>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// The rules as written: every rule matched from scratch at every position, no kept progress.
class LiteralBreaker
{
public:
    explicit LiteralBreaker(const CVRSRXDoc& doc) : m_doc(doc) {}
    void Clear() { m_nScan = 1; }
    int FindNextSegmentBreak(const wchar_t* S, const wchar_t* E)
    {
        const int n = static_cast<int>(E - S);
        int p;
        for (p = m_nScan; p < n; ++p)
        {
            const int nException = MatchList(m_doc.GetExceptionRules(), S, p, E);
            if (nException == 0)
                return -1;
            if (nException == 1)
                continue;
            const int nBreak = MatchList(m_doc.GetBreakRules(), S, p, E);
            if (nBreak == 0)
                return -1;
            if (nBreak == 1)
            {
                m_nScan = 1;
                return p;
            }
        }
        m_nScan = p;
        return -1;
    }

private:
    static int MatchList(const std::vector<CVRSRXRule>& aRules, const wchar_t* S, int p, const wchar_t* E)
    {
        for (const CVRSRXRule& rule : aRules)
        {
            const int nResult = rule.Match(S, p, E);
            if (nResult != -1)
                return nResult;
        }
        return -1;
    }

    const CVRSRXDoc& m_doc;
    int m_nScan = 1;
};

// Segments one unit as the unit writer does; appends the segments to pOut when given. Returns the
// number of segments.
template <class Breaker>
size_t SegmentUnit(Breaker& breaker, const std::wstring& sUnit, std::vector<std::wstring>* pOut)
{
    breaker.Clear();
    size_t nSegments = 1;
    int nConsumed = 0;
    const int n = static_cast<int>(sUnit.size());
    for (int j = 1; j < n; ++j)
    {
        const int nBreak = breaker.FindNextSegmentBreak(sUnit.data() + nConsumed, sUnit.data() + j);
        if (nBreak > 0)
        {
            if (pOut)
                pOut->push_back(sUnit.substr(static_cast<size_t>(nConsumed), static_cast<size_t>(nBreak)));
            nConsumed += nBreak;
            ++nSegments;
        }
    }
    if (pOut)
        pOut->push_back(sUnit.substr(static_cast<size_t>(nConsumed)));
    return nSegments;
}

struct Timing
{
    double fSeconds = 0;
    size_t nChars = 0;
    size_t nSegments = 0;
    double CharsPerSecond() const { return fSeconds > 0 ? static_cast<double>(nChars) / fSeconds : 0; }
};

template <class Breaker>
Timing Run(Breaker& breaker, const std::vector<std::wstring>& asUnits, std::vector<std::wstring>* pOut = nullptr)
{
    Timing timing;
    const auto start = std::chrono::steady_clock::now();
    for (const std::wstring& sUnit : asUnits)
    {
        timing.nSegments += SegmentUnit(breaker, sUnit, pOut);
        timing.nChars += sUnit.size();
    }
    timing.fSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return timing;
}

std::wstring Sentence()
{
    std::wstring s;
    const int nKind = std::rand() % 20;
    if (nKind == 0)
        s = L"Mr. ";
    else if (nKind == 1)
        s = L"Dr. ";
    s += tGenFakeSentence(4, 16, s.empty(), L"en").ToStdWstring();
    if (nKind == 2)
        s += L", e.g. Paris";
    else if (nKind == 3)
        s += L" (see No. 4)";
    else if (nKind == 4)
        s += L" at 2.5 p.m. sharp";
    const int nEnd = std::rand() % 10;
    s += nEnd == 0 ? L"?" : nEnd == 1 ? L"!" : L".";
    return s;
}

// Paragraphs of one to eight sentences, nChars characters in all.
std::vector<std::wstring> Paragraphs(size_t nChars)
{
    std::vector<std::wstring> asUnits;
    size_t nTotal = 0;
    while (nTotal < nChars)
    {
        std::wstring sUnit;
        const int nSentences = 1 + std::rand() % 8;
        for (int i = 0; i < nSentences; ++i)
            sUnit += (i ? L" " : L"") + Sentence();
        nTotal += sUnit.size();
        asUnits.push_back(sUnit);
    }
    return asUnits;
}

// One unit without any break: plain words, or lower-case sentences with full stops.
std::wstring Breakless(size_t nChars, bool bDotted)
{
    std::wstring s;
    while (s.size() < nChars)
    {
        s += tGenFakeSentence(3, 12, false, L"en").ToStdWstring();
        s += bDotted ? L". " : L" ";
    }
    s.resize(nChars);
    return s;
}

// Rules that backtrack without end on runs of one letter, beside one sound sentence rule.
const char* const kHostileSRX = R"(<?xml version="1.0" encoding="UTF-8"?>
<srx xmlns="http://www.lisa.org/srx20" version="2.0"><header segmentsubflows="yes" cascade="no"/><body>
<languagerules><languagerule languagerulename="Hostile">
<rule break="no"><beforebreak>(a|a?)+\.</beforebreak><afterbreak>(a|aa|aaa)*x</afterbreak></rule>
<rule break="no"><beforebreak>(a|aa)+c</beforebreak><afterbreak>\s</afterbreak></rule>
<rule break="yes"><beforebreak></beforebreak><afterbreak>(a+)+b</afterbreak></rule>
<rule break="yes"><beforebreak>((\w+\s?)+)+;</beforebreak><afterbreak>\s</afterbreak></rule>
<rule break="yes"><beforebreak>[\.\?!]+</beforebreak><afterbreak>\s</afterbreak></rule>
</languagerule></languagerules>
<maprules><maprule maprulename="Default"><languagemap languagepattern=".*" languagerulename="Hostile"/></maprule></maprules>
</body></srx>
)";

// Sentences with long runs of one letter, nChars characters.
std::wstring HostileUnit(size_t nChars)
{
    std::wstring s;
    while (s.size() < nChars)
        s += L"Yes. " + std::wstring(1000, L'a') + L". Then some words a a aa aaa; more words follow here. ";
    s.resize(nChars);
    return s;
}

// The escaped text of nested start tags followed by their end tags, nChars characters.
std::wstring DeepMarkupUnit(size_t nChars)
{
    const std::wstring sStart = L"&lt;a x=\"1\"&gt;";
    const std::wstring sEnd = L"&lt;/a&gt;";
    const size_t nDepth = nChars / (sStart.size() + sEnd.size()) + 1;
    std::wstring s;
    s.reserve(nDepth * (sStart.size() + sEnd.size()));
    for (size_t i = 0; i < nDepth; ++i)
        s += sStart;
    for (size_t i = 0; i < nDepth; ++i)
        s += sEnd;
    s.resize(nChars);
    return s;
}

double MsPerMB(const Timing& timing)
{
    return timing.nChars ? timing.fSeconds * 1000.0 * static_cast<double>(1 << 20) / static_cast<double>(timing.nChars)
                         : 0;
}

std::wstring Joined(const std::vector<std::wstring>& asUnits, const wchar_t* szSeparator = L" ")
{
    std::wstring s;
    for (const std::wstring& sUnit : asUnits)
        s += (s.empty() ? L"" : szSeparator) + sUnit;
    return s;
}

std::vector<std::wstring> ReadLines(const fs::path& path)
{
    std::vector<std::wstring> asLines;
    std::ifstream in(path, std::ios::binary);
    std::string sLine;
    while (std::getline(in, sLine))
    {
        if (!sLine.empty() && sLine.back() == '\r')
            sLine.pop_back();
        asLines.push_back(wxString::FromUTF8(sLine).ToStdWstring());
    }
    return asLines;
}

std::string Label(const fs::path& path)
{
    std::string s = path.filename().string();
    for (char& c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return s;
}

void Print(const char* szName, double fValue)
{
    std::printf("%s: %.6g\n", szName, fValue);
}

void Print(const std::string& sName, double fValue)
{
    Print(sName.c_str(), fValue);
}

bool Dump(const fs::path& path, const std::vector<std::wstring>& asSegments)
{
    std::ofstream out(path, std::ios::binary);
    for (const std::wstring& sSegment : asSegments)
        out << wxString(sSegment).utf8_string() << '\n';
    return static_cast<bool>(out);
}

int Usage()
{
    std::fprintf(stderr, "usage: bench_segment [--srx FILE] [--lang L] [--dump OUT] [FILE...]\n");
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::locale::global(std::locale("C.UTF-8"));

    fs::path srxPath;
    std::string sLanguage = "en";
    fs::path dumpPath;
    std::vector<fs::path> aFiles;
    for (int i = 1; i < argc; ++i)
    {
        const std::string sArg = argv[i];
        if ((sArg == "--srx" || sArg == "--lang" || sArg == "--dump") && i + 1 >= argc)
            return Usage();
        if (sArg == "--srx")
            srxPath = argv[++i];
        else if (sArg == "--lang")
            sLanguage = argv[++i];
        else if (sArg == "--dump")
            dumpPath = argv[++i];
        else if (sArg.rfind("--", 0) == 0)
            return Usage();
        else
            aFiles.emplace_back(sArg);
    }
    if (srxPath.empty())
        srxPath = fs::canonical("/proc/self/exe").parent_path().parent_path() / "Data" / "Default.srx";

    Init_SRXImporter();
    std::unique_ptr<CVRSRXDoc> pDoc;
    try
    {
        pDoc = std::make_unique<CVRSRXDoc>(wxString(srxPath.wstring()));
        pDoc->SetLanguage(wxString::FromUTF8(sLanguage));
    }
    catch (const TextFailure& e)
    {
        std::fprintf(stderr, "%s: %s\n", srxPath.string().c_str(), e.GetText().utf8_str().data());
        return 1;
    }
    CVRSRXDoc& doc = *pDoc;
    std::vector<std::wstring> asDumped;
    std::vector<std::wstring>* pDump = dumpPath.empty() ? nullptr : &asDumped;

    if (!aFiles.empty())
    {
        for (const fs::path& path : aFiles)
        {
            if (!fs::is_regular_file(path))
            {
                std::fprintf(stderr, "%s: not a readable file\n", path.string().c_str());
                return 1;
            }
            const Timing timing = Run(doc, ReadLines(path), pDump);
            const std::string sLabel = Label(path);
            Print(sLabel + "_chars", static_cast<double>(timing.nChars));
            Print(sLabel + "_segments", static_cast<double>(timing.nSegments));
            Print(sLabel + "_chars_per_s", timing.CharsPerSecond());
        }
    }
    else
    {
        std::srand(4711);
        const std::vector<std::wstring> asParagraphs = Paragraphs(1 << 20);
        const Timing paragraphs = Run(doc, asParagraphs, pDump);
        Print("sentences_1mb_units", static_cast<double>(asParagraphs.size()));
        Print("sentences_1mb_segments", static_cast<double>(paragraphs.nSegments));
        Print("sentences_1mb_chars_per_s", paragraphs.CharsPerSecond());
        const Timing oneUnit = Run(doc, {Joined(asParagraphs)});
        Print("sentences_1mb_one_unit_segments", static_cast<double>(oneUnit.nSegments));
        Print("sentences_1mb_one_unit_chars_per_s", oneUnit.CharsPerSecond());
        // As a plain-text file comes in: the paragraphs in one unit, a blank line between them.
        const Timing blankLines = Run(doc, {Joined(asParagraphs, L"\n\n")});
        Print("sentences_1mb_blank_lines_one_unit_segments", static_cast<double>(blankLines.nSegments));
        Print("sentences_1mb_blank_lines_one_unit_chars_per_s", blankLines.CharsPerSecond());

        for (const bool bDotted : {false, true})
        {
            const std::string sKind = bDotted ? "breakless_dotted" : "breakless_words";
            const Timing half = Run(doc, {Breakless(50 << 10, bDotted)});
            const Timing full = Run(doc, {Breakless(100 << 10, bDotted)});
            Print(sKind + "_50kb_segments", static_cast<double>(half.nSegments));
            Print(sKind + "_50kb_chars_per_s", half.CharsPerSecond());
            Print(sKind + "_100kb_segments", static_cast<double>(full.nSegments));
            Print(sKind + "_100kb_chars_per_s", full.CharsPerSecond());
            Print(sKind + "_time_ratio_100kb_vs_50kb", half.fSeconds > 0 ? full.fSeconds / half.fSeconds : 0);
        }

        // One long unit of markup: the cost per megabyte stays flat as the unit grows.
        {
            Print("reference_sentences_ms_per_mb", MsPerMB(paragraphs));
            double fFirst = 0;
            double fLast = 0;
            for (const size_t nKB : {64, 256, 1024})
            {
                const Timing deep = Run(doc, {DeepMarkupUnit(nKB << 10)});
                const std::string sSize = nKB < 1024 ? std::to_string(nKB) + "kb" : std::to_string(nKB >> 10) + "mb";
                Print("deep_markup_unit_ms_per_mb_" + sSize, MsPerMB(deep));
                Print("deep_markup_unit_segments_" + sSize, static_cast<double>(deep.nSegments));
                if (nKB == 64)
                    fFirst = MsPerMB(deep);
                fLast = MsPerMB(deep);
            }
            Print("deep_markup_unit_ratio_1mb_vs_64kb", fFirst > 0 ? fLast / fFirst : 0);
        }

        // Runaway rules (nested quantifiers, alternatives that overlap) against long runs of one
        // letter: the unit's matching budget gives them up, so the unit costs a bounded multiple of
        // what the shipped rules cost on the same text.
        {
            const std::wstring sUnit = HostileUnit(10000);
            const Timing shipped = Run(doc, {sUnit});
            const fs::path hostilePath = fs::temp_directory_path() / "bench_segment_hostile.srx";
            {
                std::ofstream out(hostilePath, std::ios::binary | std::ios::trunc);
                out << kHostileSRX;
            }
            CVRSRXDoc hostile(wxString(hostilePath.wstring()));
            hostile.SetLanguage(L"en");
            std::error_code ec;
            fs::remove(hostilePath, ec);
            const Timing runaway = Run(hostile, {sUnit});
            Print("hostile_rules_10k_unit_seconds", runaway.fSeconds);
            Print("hostile_rules_10k_unit_segments", static_cast<double>(runaway.nSegments));
            Print("shipped_rules_10k_unit_seconds", shipped.fSeconds);
            Print("shipped_rules_10k_unit_segments", static_cast<double>(shipped.nSegments));
        }

        // The literal rules on samples small enough for their cost.
        LiteralBreaker literal(doc);
        const std::vector<std::wstring> asSample(asParagraphs.begin(), asParagraphs.begin() + 300);
        const Timing sampleOurs = Run(doc, asSample);
        const Timing sampleLiteral = Run(literal, asSample);
        Print("sample_sentences_chars", static_cast<double>(sampleOurs.nChars));
        Print("sample_sentences_chars_per_s", sampleOurs.CharsPerSecond());
        Print("reference_sample_sentences_chars_per_s", sampleLiteral.CharsPerSecond());
        Print("speedup_vs_reference_sentences",
              sampleLiteral.CharsPerSecond() > 0 ? sampleOurs.CharsPerSecond() / sampleLiteral.CharsPerSecond() : 0);
        Print("same_segments_as_reference_sentences", sampleOurs.nSegments == sampleLiteral.nSegments ? 1 : 0);
        double fReference2KB = 0;
        for (const size_t nKB : {2, 4})
        {
            const std::vector<std::wstring> asRun = {Breakless(nKB << 10, false)};
            const Timing ours = Run(doc, asRun);
            const Timing reference = Run(literal, asRun);
            const std::string sKind = "breakless_words_" + std::to_string(nKB) + "kb";
            Print(sKind + "_chars_per_s", ours.CharsPerSecond());
            Print("reference_" + sKind + "_chars_per_s", reference.CharsPerSecond());
            Print("speedup_vs_reference_" + sKind,
                  reference.CharsPerSecond() > 0 ? ours.CharsPerSecond() / reference.CharsPerSecond() : 0);
            if (nKB == 2)
                fReference2KB = reference.fSeconds;
            else
                Print("reference_breakless_words_time_ratio_4kb_vs_2kb",
                      fReference2KB > 0 ? reference.fSeconds / fReference2KB : 0);
        }
    }

    if (pDump && !Dump(dumpPath, asDumped))
    {
        std::fprintf(stderr, "%s: could not be written\n", dumpPath.string().c_str());
        return 1;
    }
    return 0;
}
