#include "Shared/AppUtils_sharedTestText.h"

#include "tests/harness/TempHome.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"
#include "varnak/include/tUTF8.h"
#include "varnak/include/tcSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

bool AllFrom(const wxString& sText, const wxString& sAllowed)
{
    for (wxUniChar c : sText)
        if (sAllowed.Find(c) == wxNOT_FOUND)
            return false;
    return !sText.empty();
}

const wxString sHebrew = wxString::FromUTF8("אבגדהוזחטיךכלםמןנסעףפץצקרשת");
const wxString sGreekConsonants = wxString::FromUTF8("βγδζθκλμνξπρσςτφχψ");
const wxString sGreekVowels = wxString::FromUTF8("αεηιουω");
const wxString sLatinConsonants = "bcdfghjklmnpqrstvwxyz";
const wxString sLatinVowels = "aeiouy";

TEST(AppUtilsSharedTestText, WordAlphabetsByLanguageCode)
{
    std::srand(7);
    for (int i = 0; i < 200; ++i)
    {
        for (const wchar_t* szCode : {L"he", L"hebrew", L"he-IL"})
        {
            const wxString sWord = tGenFakeWord(szCode);
            EXPECT_TRUE(AllFrom(sWord, sHebrew)) << sWord;
            EXPECT_LE(sWord.length(), 5u);
        }
        // Greek: consonant, vowel, consonant, vowel ...
        const wxString sGreek = tGenFakeWord(L"el");
        ASSERT_EQ(sGreek.length() % 2, 0u);
        ASSERT_GE(sGreek.length(), 2u);
        ASSERT_LE(sGreek.length(), 10u);
        for (size_t k = 0; k < sGreek.length(); ++k)
            EXPECT_NE((k % 2 ? sGreekVowels : sGreekConsonants).Find(sGreek[k]), wxNOT_FOUND) << sGreek;
        for (const wchar_t* szCode : {static_cast<const wchar_t*>(nullptr), L"en", L"", L"h"})
        {
            const wxString sWord = tGenFakeWord(szCode);
            EXPECT_TRUE(AllFrom(sWord, sLatinConsonants + sLatinVowels)) << sWord;
            EXPECT_LE(sWord.length(), 10u);
        }
    }
}

TEST(AppUtilsSharedTestText, SentencesCountWordsAndCapitalise)
{
    std::srand(11);
    for (int i = 0; i < 50; ++i)
    {
        const wxString sThree = tGenFakeSentence(3, 3, false, nullptr);
        std::vector<wxString> asWords;
        EXPECT_EQ(tStrTok(sThree, " ", "", asWords), 3) << sThree;
        EXPECT_FALSE(sThree.EndsWith("."));
        EXPECT_EQ(sThree, sThree.Lower());
        const wxString sCapital = tGenFakeSentence(1, 4, true, L"el");
        EXPECT_EQ(sCapital[0], tToUpper(sCapital[0]));
        EXPECT_NE(sCapital[0], tToLower(sCapital[0])) << sCapital;
        EXPECT_FALSE(tGenFakeSentenceRandomLanguage(1, 2, true).empty());
    }
    // Ranges that would take a remainder by zero or by a negative number give the empty text.
    EXPECT_EQ(tGenFakeSentence(5, 4, true, nullptr), "");
    EXPECT_EQ(tGenFakeSentence(INT_MAX, INT_MIN, true, nullptr), "");
    EXPECT_EQ(tGenFakeSentence(-3, -1, true, nullptr), "");
    EXPECT_EQ(tGenFakeSentenceRandomLanguage(2, 1, false), "");
    EXPECT_EQ(tGenFakeSentence(0, 0, true, nullptr), "");
    // A count past the longest sentence gives the longest one, not a lock-up.
    std::vector<wxString> asWords;
    EXPECT_EQ(tStrTok(tGenFakeSentence(INT_MAX, INT_MAX, false, nullptr), " ", "", asWords),
              static_cast<int>(kMaxFakeSentenceWords));
}

TEST(AppUtilsSharedTestText, SurrogatePairStringInUTF16)
{
    std::srand(3);
    const std::u16string sPrefix = u"\U0001F334 surrogate pairs (\U0001F34C\U0001F34C\U0001F34C)\U0001F4A9";
    bool bSawTail = false;
    for (int i = 0; i < 100; ++i)
    {
        const std::u16string s = tToU16(tGenSurrogatePairTestString());
        ASSERT_EQ(s.compare(0, sPrefix.size(), sPrefix), 0);
        EXPECT_TRUE(tIsSurrogatePair(s[0], s[1]));
        const std::u16string sTail = s.substr(sPrefix.size());
        if (sTail.empty())
            continue;
        bSawTail = true;
        ASSERT_EQ(sTail[0], u' ');
        ASSERT_EQ(sTail.size() % 2, 1u);
        EXPECT_LE(sTail.size(), 11u);
        for (size_t k = 1; k < sTail.size(); k += 2)
        {
            const char32_t c = tSurrogatePairToChar(sTail[k], sTail[k + 1]);
            EXPECT_TRUE(c >= 0x1F300 && c < 0x1F600) << std::hex << static_cast<uint32_t>(c);
        }
    }
    EXPECT_TRUE(bSawTail);
}

TEST(AppUtilsSharedTestText, GeneratedFilesAreUTF8WithOneKindOfLineEnd)
{
    const fs::path dir = TempHomeListener::Current();
    int nNonEmpty = 0;
    bool bSawLF = false, bSawCRLF = false;
    for (unsigned nSeed = 1; nSeed <= 40; ++nSeed)
    {
        std::srand(nSeed);
        const wxString sPath = (dir / ("fake" + std::to_string(nSeed) + ".txt")).string();
        ASSERT_TRUE(tCreateFakeRandomFile(sPath, nSeed % 2 == 0, 60));
        const std::optional<std::string> bytes = tReadFileBytes(sPath);
        ASSERT_TRUE(bytes.has_value());
        const std::string& s = *bytes;
        EXPECT_TRUE(tIsValidUTF8(s)) << "seed " << nSeed;
        if (s.empty())
            continue;
        ++nNonEmpty;
        EXPECT_EQ(s.back(), '\n');
        // Every line end is the same: all "\n" or all "\r\n", and no "\r" anywhere else.
        const size_t nLF = std::count(s.begin(), s.end(), '\n');
        const size_t nCR = std::count(s.begin(), s.end(), '\r');
        size_t nCRLF = 0;
        for (size_t p = s.find("\r\n"); p != std::string::npos; p = s.find("\r\n", p + 2))
            ++nCRLF;
        EXPECT_TRUE(nCR == 0 || (nCR == nLF && nCRLF == nLF)) << "seed " << nSeed;
        (nCR ? bSawCRLF : bSawLF) = true;
        // Every sentence ends in a full stop, and the file's lines are sentences or surrogate texts.
        for (const std::string& sLine : tSplitByteLines(s))
            EXPECT_TRUE(sLine.back() == '.' || sLine.find("surrogate pairs") != std::string::npos) << sLine;
    }
    EXPECT_GT(nNonEmpty, 0);
    EXPECT_TRUE(bSawLF && bSawCRLF);
}

TEST(AppUtilsSharedTestText, RandomFileRefusesBadArguments)
{
    const fs::path dir = TempHomeListener::Current();
    const wxString sPath = (dir / "none.txt").string();
    EXPECT_FALSE(tCreateFakeRandomFile(sPath, true, 0)); // no remainder by zero
    EXPECT_FALSE(tCreateFakeRandomFile(sPath, true, -5));
    EXPECT_FALSE(fs::exists(dir / "none.txt"));
    std::srand(1);
    EXPECT_FALSE(tCreateFakeRandomFile((dir / "no/such/folder/x.txt").string(), true, 10));
}

TEST(AppUtilsSharedTestText, RandomStringsStayInTheirRange)
{
    std::srand(5);
    wxString s = "old";
    for (int i = 0; i < 200; ++i)
    {
        tGenRandomString(2, 3, s);
        const std::u16string s16 = tToU16(s);
        ASSERT_GE(s16.size(), 2u);
        ASSERT_LE(s16.size(), 5u);
        for (char16_t c : s16)
            EXPECT_TRUE(c >= 32 && c <= 65531) << static_cast<int>(c);
    }
    tGenRandomString(4, -1, s);
    EXPECT_EQ(s, "");
    tGenRandomString(-10, 0, s);
    EXPECT_EQ(s, "");
}

// Counts the comparisons it is asked for.
class CountingSort : public tcSort
{
public:
    int Cmp(const wxString& sA, const wxString& sB) const override
    {
        ++m_nCalls;
        return tcSort::Cmp(sA, sB);
    }
    mutable int m_nCalls = 0;
};

TEST(AppUtilsSharedTestText, SortFuzzLogsEachPass)
{
    CountingSort sort;
    {
        tcLogCapture capture;
        tSortFuzzTest(&sort, 0, true);
        EXPECT_EQ(capture.Lines(), std::vector<wxString>{"tSortFuzzTest"});
    }
    {
        tcLogCapture capture;
        tSortFuzzTest(&sort, 5, true);
        const std::vector<wxString> asLines = capture.Lines();
        ASSERT_EQ(asLines.size(), 6u);
        for (int i = 1; i <= 5; ++i)
            EXPECT_TRUE(asLines[i].StartsWith(wxString::Format("%d,", i - 1))) << asLines[i];
    }
    {
        tcLogCapture capture;
        tSortFuzzTest(&sort, 7, false);
        tSortFuzzTest(nullptr, 7, true);
        EXPECT_EQ(capture.Lines().size(), 2u);
    }
    EXPECT_EQ(sort.m_nCalls, 12);
}
} // namespace
