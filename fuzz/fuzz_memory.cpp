// Memory operations (add, remove, look up) decoded from the input, checked against the plain model
// of the memory that the tests already have.
#include "fuzz/FuzzSupport.h"

#include "engine/VRMemDoc.h"
#include "engine/VRMemDocIndex.h"
#include "tests/engine/MemDocReference.h"
#include "varnak/include/tcDocument.h"

#include <string>
#include <utility>
#include <vector>

namespace
{
// Reads small numbers from the input; zeros once it is used up.
class ByteReader
{
public:
    ByteReader(const uint8_t* pData, size_t nSize) : m_p(pData), m_pEnd(pData + nSize) {}
    bool AtEnd() const { return m_p == m_pEnd; }
    unsigned Next() { return m_p < m_pEnd ? *m_p++ : 0u; }
    unsigned Below(unsigned n) { return Next() % n; }

private:
    const uint8_t* m_p;
    const uint8_t* m_pEnd;
};

// Texts built from a few tokens, so that texts collide, share trigrams and tie on scores; with
// inline codes, escapes and characters of two UTF-16 units, as memory texts have them.
wxString Text(ByteReader& in)
{
    static const char* const aszTokens[] = {"la",
                                            "le",
                                            "lo",
                                            "ma",
                                            "m\xC3\xA9",
                                            "x",
                                            "ab",
                                            " ",
                                            "a b",
                                            "&amp;",
                                            "<ph x=\"1\">&lt;b&gt;</ph>",
                                            "\xF0\x9F\x98\x80",
                                            "lalalalalalalalalalalalalalalalala"};
    const unsigned nTokens = in.Below(9);
    wxString s;
    for (unsigned i = 0; i < nTokens; ++i)
        s += wxString::FromUTF8(aszTokens[in.Below(std::size(aszTokens))]);
    return s;
}

struct Pair
{
    wxString sSource, sTarget, sSourceLang, sTargetLang;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzInit();
    ByteReader in(pData, nSize);
    CVRMemDoc memory("");
    CMemDocReference reference;
    static const char* const aszSourceLangs[] = {"en", "EN"};
    static const char* const aszTargetLangs[] = {"de", "DE", "fr", "en"};
    std::vector<Pair> aPairs;
    // The model scores every candidate the slow way: a few dozen operations keep a run short.
    for (int nOp = 0; !in.AtEnd() && nOp < 64; ++nOp)
    {
        const unsigned nKind = in.Below(3);
        if (nKind == 0 || aPairs.empty())
        {
            Pair pair;
            pair.sSource = !aPairs.empty() && in.Below(2) ? aPairs[in.Below(aPairs.size())].sSource : Text(in);
            pair.sTarget = Text(in);
            pair.sSourceLang = aszSourceLangs[in.Below(2)];
            pair.sTargetLang = aszTargetLangs[in.Below(4)];
            memory.AddTranslation(pair.sSource, pair.sTarget, pair.sSourceLang, pair.sTargetLang);
            reference.AddTranslation(pair.sSource, pair.sTarget, pair.sSourceLang, pair.sTargetLang);
            aPairs.push_back(pair);
        }
        else if (nKind == 1)
        {
            Pair pair = aPairs[in.Below(aPairs.size())];
            if (in.Below(4) == 0)
                pair.sSource = Text(in);
            memory.RemoveTranslation(pair.sSource, pair.sTarget, pair.sSourceLang, pair.sTargetLang);
            reference.RemoveTranslation(pair.sSource, pair.sTarget, pair.sSourceLang, pair.sTargetLang);
        }
        else
        {
            const wxString sQuery = in.Below(2) ? aPairs[in.Below(aPairs.size())].sSource + Text(in) : Text(in);
            const wxString sLang = in.Below(4) ? aszSourceLangs[in.Below(2)] : aszTargetLangs[in.Below(4)];
            const std::vector<CVRMemDocMatch> aExpected = CMemDocReference::Bounded(
                reference.LookupTranslations(sQuery, sLang), CVRMemDoc::kMinLookupScore, CVRMemDoc::kMaxLookupResults);
            if (memory.LookupTranslations(sQuery, sLang) != aExpected)
                FuzzFail("the memory and its model suggest differently", "operation " + std::to_string(nOp) +
                                                                             ", query [" + sQuery.utf8_string() +
                                                                             "] in " + sLang.utf8_string());
            if (nOp % 4 != 0)
                continue;
            std::vector<std::pair<wxString, int>> aHits;
            for (const CVRMemDocIndex::tsHit& hit : memory.GetIndex(sLang)->FindMatches(sQuery))
                aHits.emplace_back(hit.sText, hit.nScore);
            if (aHits != reference.FindMatches(sQuery, sLang))
                FuzzFail("the index and its model find differently",
                         "operation " + std::to_string(nOp) + ", query [" + sQuery.utf8_string() + "]");
        }
    }
    // Nothing to save: the memory has no file.
    memory.GetDocument()->ClearDirty();
    return 0;
}
