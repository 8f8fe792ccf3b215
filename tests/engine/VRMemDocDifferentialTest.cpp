// The memory against the plain model of tests/engine/MemDocReference: random additions, removals
// and look-ups must give the same suggestions.
#include "engine/VRMemDoc.h"

#include "engine/MemDocQuery.h"
#include "engine/VRMemDocIndex.h"
#include "tests/engine/MemDocFiles.h"
#include "tests/engine/MemDocReference.h"

#include "varnak/include/tcDocument.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{
// Texts from a few syllables, so that texts collide, share trigrams and tie on scores; some carry
// inline codes or escapes, some are under three units, some longer than one 64-unit word.
class TextSource
{
public:
    explicit TextSource(unsigned nSeed) : m_rng(nSeed) {}

    wxString Text()
    {
        static const char* const aszTokens[] = {"la", "le", "lo", "ma", "m\xC3\xA9", "x", "ab", " ", "a b"};
        const int nTokens = Chance(10) ? Between(25, 45) : Between(0, 6);
        wxString s;
        for (int i = 0; i < nTokens; ++i)
        {
            if (Chance(4))
                s += "<ph x=\"1\">&lt;b&gt;</ph>";
            else if (Chance(3))
                s += "&amp;";
            else if (Chance(2))
                s += wxString::FromUTF8("\xF0\x9F\x98\x80"); // two UTF-16 units
            else
                s += wxString::FromUTF8(aszTokens[Between(0, std::size(aszTokens) - 1)]);
        }
        return s;
    }

    // A text near sText: one token changed, dropped or added.
    wxString Near(const wxString& sText)
    {
        wxString s = sText;
        const size_t nPos = s.empty() ? 0 : Between(0, s.length() - 1);
        if (Chance(50) && !s.empty() && s[nPos] != '<' && s[nPos] != '&' && !(s[nPos] >= 0xD800 && s[nPos] <= 0xDFFF))
            s[nPos] = Chance(50) ? 'q' : 'a';
        else
            s += Chance(50) ? " la" : "x";
        return s;
    }

    int Between(int nMin, int nMax) { return std::uniform_int_distribution<int>(nMin, nMax)(m_rng); }
    bool Chance(int nPercent) { return Between(0, 99) < nPercent; }
    template <typename T> const T& Pick(const std::vector<T>& a)
    {
        return a[Between(0, static_cast<int>(a.size()) - 1)];
    }

private:
    std::mt19937 m_rng;
};

struct Pair
{
    wxString sSource, sTarget, sSourceLang, sTargetLang;
};

void RunOperations(unsigned nSeed, int nOperations, int& nLookups, int& nCut)
{
    TMXHandlerScope handler;
    TextSource source(nSeed);
    CVRMemDoc memory("");
    CMemDocReference reference;
    // Dead postings are dropped early and often, so that their removal is checked too.
    for (const char* szLang : {"en", "de", "fr"})
        memory.GetIndex(szLang)->SetCompactThreshold(4);

    const std::vector<wxString> asSourceLangs{"en", "EN"};
    const std::vector<wxString> asTargetLangs{"de", "DE", "fr", "en"};
    std::vector<wxString> asSources;
    std::vector<Pair> aPairs;
    for (int nOp = 0; nOp < nOperations; ++nOp)
    {
        const int nKind = source.Between(0, 99);
        if (nKind < 45 || aPairs.empty())
        {
            Pair pair;
            pair.sSource = !asSources.empty() && source.Chance(50) ? source.Pick(asSources) : source.Text();
            pair.sTarget = !aPairs.empty() && source.Chance(20) ? source.Pick(aPairs).sTarget : source.Text();
            pair.sSourceLang = source.Pick(asSourceLangs);
            pair.sTargetLang = source.Pick(asTargetLangs);
            memory.AddTranslation(pair.sSource, pair.sTarget, pair.sSourceLang, pair.sTargetLang);
            reference.AddTranslation(pair.sSource, pair.sTarget, pair.sSourceLang, pair.sTargetLang);
            asSources.push_back(pair.sSource);
            aPairs.push_back(pair);
        }
        else if (nKind < 65)
        {
            Pair pair = source.Pick(aPairs);
            if (source.Chance(20))
                pair.sSource = source.Text();
            memory.RemoveTranslation(pair.sSource, pair.sTarget, pair.sSourceLang, pair.sTargetLang);
            reference.RemoveTranslation(pair.sSource, pair.sTarget, pair.sSourceLang, pair.sTargetLang);
        }
        else
        {
            const wxString sQuery = source.Chance(70) ? source.Near(source.Pick(asSources)) : source.Text();
            const wxString sLang = source.Chance(80) ? source.Pick(asSourceLangs) : source.Pick(asTargetLangs);
            const std::vector<CVRMemDocMatch> aAll = reference.LookupTranslations(sQuery, sLang);
            const std::vector<CVRMemDocMatch> aExpected =
                CMemDocReference::Bounded(aAll, CVRMemDoc::kMinLookupScore, CVRMemDoc::kMaxLookupResults);
            ++nLookups;
            if (aExpected.size() < aAll.size())
                ++nCut;
            ASSERT_EQ(memory.LookupTranslations(sQuery, sLang), aExpected)
                << "seed " << nSeed << ", operation " << nOp << ", query [" << sQuery.utf8_string() << "] in "
                << sLang.utf8_string();
            if (nOp % 7 == 0)
            {
                std::vector<std::pair<wxString, int>> aHits;
                for (const CVRMemDocIndex::tsHit& hit : memory.GetIndex(sLang)->FindMatches(sQuery))
                    aHits.emplace_back(hit.sText, hit.nScore);
                ASSERT_EQ(aHits, reference.FindMatches(sQuery, sLang))
                    << "seed " << nSeed << ", operation " << nOp << ", query [" << sQuery.utf8_string() << "]";
            }
        }
    }
    memory.GetDocument()->ClearDirty();
}
} // namespace

TEST(VRMemDocDifferential, RandomOperationsMatchThePlainModel)
{
    int nLookups = 0;
    int nCut = 0;
    // The second run looks up without the shortcuts, the last scores without the vector units, so
    // that every way of looking up is checked.
    for (unsigned nSeed : {1u, 2u, 3u})
    {
        CVRMemDocIndex::UseShortcuts(nSeed != 2);
        CMemDocQuery::UseVectorUnits(nSeed != 3);
        RunOperations(nSeed, 2500, nLookups, nCut);
        CMemDocQuery::UseVectorUnits(true);
        CVRMemDocIndex::UseShortcuts(true);
        if (HasFatalFailure())
            return;
    }
    // The runs must have reached the hundred-result bound, or they would not have checked it.
    EXPECT_GT(nCut, nLookups / 20) << nLookups << " look-ups";
}

// Dozens of texts of each length, so that look-ups score whole lane batches of one length as well as
// the mixed rest, and more than a hundred texts around 511 units, where lengths share the last
// length class and the hundred best are cut; queries of one, two and more 64-unit words. Every
// kernel, with and without the shortcuts, gives the model's answer.
TEST(VRMemDocDifferential, ManyTextsOfEachLengthMatchThePlainModel)
{
    TMXHandlerScope handler;
    TextSource source(7);
    auto Syllables = [&source](int nLength)
    {
        static const char* const aszTokens[] = {"la", "le", "mo", "ri", " ", "a", "lu"};
        wxString s;
        while (static_cast<int>(s.length()) < nLength)
            s += aszTokens[source.Between(0, std::size(aszTokens) - 1)];
        return s.Left(nLength);
    };
    CVRMemDoc memory("");
    CMemDocReference reference;
    std::vector<wxString> asSources;
    for (int i = 0; i < 870; ++i)
    {
        const wxString sSource = Syllables(i < 740 ? 20 + i % 20 : 500 + (i - 740) % 45);
        const wxString sTarget = wxString::Format("t%d", i);
        memory.AddTranslation(sSource, sTarget, "en", "de");
        reference.AddTranslation(sSource, sTarget, "en", "de");
        asSources.push_back(sSource);
    }
    std::vector<wxString> asQueries;
    for (int nLength : {3, 12, 25, 31, 90, 200, 530})
    {
        asQueries.push_back(Syllables(nLength));
        asQueries.push_back(source.Near(source.Pick(asSources)));
    }
    const std::vector<teMemDocKernel> aKernels{teMemDocKernel::Portable, teMemDocKernel::AVX2, teMemDocKernel::AVX512};
    for (const wxString& sQuery : asQueries)
    {
        const std::vector<CVRMemDocMatch> aExpected = CMemDocReference::Bounded(
            reference.LookupTranslations(sQuery, "en"), CVRMemDoc::kMinLookupScore, CVRMemDoc::kMaxLookupResults);
        for (teMemDocKernel eKernel : aKernels)
            for (bool bShortcuts : {true, false})
            {
                if (!CMemDocQuery::HasKernel(eKernel))
                    continue;
                CMemDocQuery::UseKernel(eKernel);
                CVRMemDocIndex::UseShortcuts(bShortcuts);
                EXPECT_EQ(memory.LookupTranslations(sQuery, "en"), aExpected)
                    << "query [" << sQuery.utf8_string() << "], kernel " << CMemDocQuery::KernelName(eKernel)
                    << (bShortcuts ? "" : ", no shortcuts");
            }
        CMemDocQuery::UseKernel(teMemDocKernel::AVX512);
        CVRMemDocIndex::UseShortcuts(true);
    }
    memory.GetDocument()->ClearDirty();
}

// Units of regional variants only, asked in the bare language, in a sibling's tag or in any case:
// the model searches the variants as the memory does and finds what it finds.
TEST(VRMemDocDifferential, RegionalVariantsAreSearchedAsThePlainModelSearchesThem)
{
    TMXHandlerScope handler;
    CVRMemDoc memory("");
    CMemDocReference reference;
    const char* const aszSources[] = {"en-US", "en-GB", "de-AT", "en-US-x-legal"};
    for (int i = 0; i < 60; ++i)
    {
        const wxString sSource = wxString::Format("the colour of unit %d", i % 20);
        const wxString sTarget = wxString::Format("t%d", i);
        const char* szSource = aszSources[i % std::size(aszSources)];
        memory.AddTranslation(sSource, sTarget, szSource, "fr");
        reference.AddTranslation(sSource, sTarget, szSource, "fr");
    }
    for (const char* szLanguage : {"en", "EN", "en-AU", "de", "de-CH", "fr-CA", "nl"})
    {
        const std::vector<CVRMemDocMatch> aExpected =
            CMemDocReference::Bounded(reference.LookupTranslations("the color of unit 7", szLanguage),
                                      CVRMemDoc::kMinLookupScore, CVRMemDoc::kMaxLookupResults);
        EXPECT_EQ(memory.LookupTranslations("the color of unit 7", szLanguage), aExpected) << szLanguage;
        EXPECT_EQ(aExpected.empty(), std::string(szLanguage) == "nl" || std::string(szLanguage) == "fr-CA")
            << szLanguage;
    }
    memory.GetDocument()->ClearDirty();
}
