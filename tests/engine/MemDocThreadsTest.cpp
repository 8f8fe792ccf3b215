// Look-ups of one memory on several threads at once, and changes between them. Built also with
// ThreadSanitizer (LINTRADO_TSAN): these are the tests to run there.
#include "engine/VRMemDoc.h"

#include "engine/MemDocLookupPool.h"
#include "tests/engine/MemDocFiles.h"
#include "tests/engine/MemDocReference.h"

#include "varnak/include/tcDocument.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{
// Sentences from a small vocabulary, so that many share trigrams and the hundred-result bound cuts.
class Sentences
{
public:
    explicit Sentences(unsigned nSeed) : m_rng(nSeed) {}
    wxString Next()
    {
        static const char* const aszWords[] = {"open", "the", "lid", "press", "green", "button", "wait",
                                               "for", "beep", "close", "door", "<ph x=\"1\">&lt;br/&gt;</ph>"};
        wxString s;
        for (int i = 0, n = 2 + static_cast<int>(m_rng() % 10); i < n; ++i)
            s += wxString(i ? " " : "") + aszWords[m_rng() % std::size(aszWords)];
        return s;
    }

private:
    std::mt19937 m_rng;
};

struct Units
{
    std::vector<wxString> asSources, asTargets;
};

Units Fill(CVRMemDoc& memory, CMemDocReference& reference, int nUnits, unsigned nSeed)
{
    Sentences sentences(nSeed);
    Units units;
    for (int i = 0; i < nUnits; ++i)
    {
        units.asSources.push_back(sentences.Next());
        units.asTargets.push_back("T" + std::to_string(i) + " " + sentences.Next());
        memory.AddTranslation(units.asSources.back(), units.asTargets.back(), "en", i % 5 ? "de" : "fr");
        reference.AddTranslation(units.asSources.back(), units.asTargets.back(), "en", i % 5 ? "de" : "fr");
    }
    return units;
}

std::vector<CVRMemDocMatch> Expected(CMemDocReference& reference, const wxString& sQuery)
{
    return CMemDocReference::Bounded(reference.LookupTranslations(sQuery, "en"), CVRMemDoc::kMinLookupScore,
                                     CVRMemDoc::kMaxLookupResults);
}
} // namespace

// Every thread asks every query; each answer is the plain model's.
TEST(MemDocThreads, LookupsOnSeveralThreadsGiveThePlainModelsAnswers)
{
    TMXHandlerScope handler;
    CVRMemDoc memory("");
    CMemDocReference reference;
    Fill(memory, reference, 400, 5);
    Sentences queries(6);
    std::vector<wxString> asQueries;
    std::vector<std::vector<CVRMemDocMatch>> aExpected;
    for (int i = 0; i < 40; ++i)
    {
        asQueries.push_back(queries.Next());
        aExpected.push_back(Expected(reference, asQueries.back()));
    }
    std::atomic<int> nWrong{0};
    std::vector<std::thread> aThreads;
    for (int t = 0; t < 4; ++t)
        aThreads.emplace_back(
            [&, t]
            {
                // Each thread starts elsewhere, so that different queries meet.
                for (size_t k = 0; k < asQueries.size(); ++k)
                {
                    const size_t i = (k + t * 10) % asQueries.size();
                    if (memory.LookupTranslations(asQueries[i], "en") != aExpected[i])
                        ++nWrong;
                }
            });
    for (std::thread& thread : aThreads)
        thread.join();
    EXPECT_EQ(nWrong, 0);
    memory.GetDocument()->ClearDirty();
}

// Units added and removed while other threads look up: each change waits for the running look-ups,
// and afterwards the memory answers as the model does.
TEST(MemDocThreads, ChangesWaitForLookupsAndLeaveTheMemoryRight)
{
    TMXHandlerScope handler;
    CVRMemDoc memory("");
    CMemDocReference reference;
    Units units = Fill(memory, reference, 150, 7);
    Sentences more(8);
    std::atomic<bool> bDone{false};
    std::atomic<int> nLookups{0};
    std::vector<std::thread> aThreads;
    for (int t = 0; t < 3; ++t)
        aThreads.emplace_back(
            [&, t]
            {
                Sentences queries(20 + t);
                while (!bDone)
                {
                    memory.LookupTranslations(queries.Next(), "en");
                    ++nLookups;
                }
            });
    while (nLookups == 0)
        std::this_thread::yield(); // the changes are to meet running look-ups
    for (int i = 0; i < 150; ++i)
    {
        const wxString sSource = more.Next();
        const wxString sTarget = "N" + std::to_string(i);
        memory.AddTranslation(sSource, sTarget, "en", "de");
        reference.AddTranslation(sSource, sTarget, "en", "de");
        if (i % 3 == 0)
        {
            memory.RemoveTranslation(units.asSources[i], units.asTargets[i], "en", i % 5 ? "de" : "fr");
            reference.RemoveTranslation(units.asSources[i], units.asTargets[i], "en", i % 5 ? "de" : "fr");
        }
    }
    bDone = true;
    for (std::thread& thread : aThreads)
        thread.join();
    EXPECT_GT(nLookups, 0);
    Sentences queries(9);
    for (int i = 0; i < 30; ++i)
    {
        const wxString sQuery = queries.Next();
        ASSERT_EQ(memory.LookupTranslations(sQuery, "en"), Expected(reference, sQuery)) << sQuery.utf8_string();
    }
    memory.GetDocument()->ClearDirty();
}

// The pool hands the answers back in the order asked, whatever order its workers finish in; a pool
// dropped with look-ups still queued stops without them.
TEST(MemDocThreads, PoolAnswersInTheOrderAsked)
{
    TMXHandlerScope handler;
    CVRMemDoc memory("");
    CMemDocReference reference;
    Fill(memory, reference, 300, 10);
    Sentences queries(11);
    std::vector<wxString> asQueries;
    for (int i = 0; i < 120; ++i)
        asQueries.push_back(i % 4 ? queries.Next() : wxString("x"));
    {
        CMemDocLookupPool pool(memory, "en", 4);
        for (const wxString& sQuery : asQueries)
            pool.Submit(sQuery);
        EXPECT_EQ(pool.GetNumQueued(), asQueries.size());
        for (const wxString& sQuery : asQueries)
            ASSERT_EQ(pool.TakeNext(), Expected(reference, sQuery)) << sQuery.utf8_string();
        EXPECT_EQ(pool.GetNumQueued(), 0u);
    }
    {
        CMemDocLookupPool pool(memory, "en", 2);
        for (const wxString& sQuery : asQueries)
            pool.Submit(sQuery);
        EXPECT_EQ(pool.TakeNext(), Expected(reference, asQueries[0]));
    }
    memory.GetDocument()->ClearDirty();
}
