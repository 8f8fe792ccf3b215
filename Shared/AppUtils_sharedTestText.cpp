#include "Shared/AppUtils_sharedTestText.h"

#include "Shared/AppUtils_sharedText.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"
#include "varnak/include/tcSort.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>

namespace
{
// A character's frequency in a table is its weight.
struct tsAlphabet
{
    const wchar_t* szConsonants; // empty: none
    const wchar_t* szVowels;
    const wchar_t* szInitialVowels;
};

const tsAlphabet& ChooseAlphabet(const wchar_t* szLanguage)
{
    static const tsAlphabet hebrew{L"\u05D0\u05D1\u05D2\u05D3\u05D4\u05D5\u05D6\u05D7\u05D8\u05D9\u05DA\u05DB\u05DC"
                                   L"\u05DD\u05DE\u05DF\u05E0\u05E1\u05E2\u05E3\u05E4\u05E5\u05E6\u05E7\u05E8\u05E9"
                                   L"\u05EA",
                                   L"", L""};
    static const tsAlphabet greek{L"βγδζθκλμνξπρσςτφχψ", L"αεηιουω", L""};
    static const tsAlphabet latin{L"bcdfghjklmnpqrstvwxyzbcdfghjklmnprstvwybcdfjklmnprstvwybcdfjlmnrstv",
                                  L"aaaaeeeeeiiioooouuuyy", L"aaaaeeeeeiiioooouuu"};
    if (tStartsWithHelper(szLanguage, L"he"))
        return hebrew;
    if (tStartsWithHelper(szLanguage, L"el"))
        return greek;
    return latin;
}

const wchar_t* RandomLanguage(int nHebrewBelow, int nGreekBelow)
{
    const int r = std::rand() % 100;
    if (r < nHebrewBelow)
        return L"he";
    if (r < nGreekBelow)
        return L"el";
    return nullptr;
}

void AppendRandomFrom(wxString& sText, const wchar_t* szTable)
{
    if (const size_t nLen = std::wcslen(szTable))
        sText += szTable[std::rand() % nLen];
}

// nWords words joined by blanks, the first letter upper-cased when asked.
wxString MakeSentence(long long nWords, bool bCapitalise, const wchar_t* szLanguage)
{
    wxString sSentence;
    for (long long i = 0; i < nWords; ++i)
    {
        if (i > 0)
            sSentence += L' ';
        tAppendFakeSyllables(sSentence, szLanguage);
    }
    if (bCapitalise && !sSentence.empty())
        sSentence[0] = tToUpper(sSentence[0]);
    return sSentence;
}
} // namespace

void tAppendFakeSyllables(wxString& sText, const wchar_t* szLanguage)
{
    const tsAlphabet& alphabet = ChooseAlphabet(szLanguage);
    int nSyllables;
    if (alphabet.szInitialVowels[0] && std::rand() % 10 < 2)
    {
        nSyllables = std::rand() % 5;
        AppendRandomFrom(sText, alphabet.szInitialVowels);
    }
    else
        nSyllables = std::rand() % 5 + 1;
    for (int i = 0; i < nSyllables; ++i)
    {
        AppendRandomFrom(sText, alphabet.szConsonants);
        AppendRandomFrom(sText, alphabet.szVowels);
    }
}

wxString tGenFakeWord(const wchar_t* szLanguage)
{
    wxString sWord;
    tAppendFakeSyllables(sWord, szLanguage);
    return sWord;
}

wxString tGenFakeSentence(int nMin, int nMax, bool bCapitalise, const wchar_t* szLanguage)
{
    if (nMax < nMin)
        return wxString();
    // In 64 bits, so that the widest range (INT_MIN to INT_MAX) neither overflows nor divides by 0.
    const long long nRange = static_cast<long long>(nMax) - nMin + 1;
    return MakeSentence(std::min(nMin + std::rand() % nRange, kMaxFakeSentenceWords), bCapitalise, szLanguage);
}

wxString tGenFakeSentenceRandomLanguage(int nMin, int nMax, bool bCapitalise)
{
    return tGenFakeSentence(nMin, nMax, bCapitalise, RandomLanguage(20, 30));
}

wxString tGenSurrogatePairTestString()
{
    std::u32string s = U"\U0001F334 surrogate pairs (\U0001F34C\U0001F34C\U0001F34C)\U0001F4A9";
    if (std::rand() % 100 < 40)
    {
        s += U' ';
        for (int i = std::rand() % 6; i > 0; --i)
            s += static_cast<char32_t>(0x1F300 + std::rand() % 768);
    }
    return tUTF32ToStr(s);
}

bool tCreateFakeRandomFile(const wxString& sPath, bool bSurrogatePairs, int nMaxLines)
{
    tcLog::Log(L"tCreateFakeRandomFile");
    if (nMaxLines < 1)
        return false;
    if (std::rand() % 50 == 0)
    {
        if (std::unique_ptr<tcTextFileWriter> pEmpty = tCreateTextFile(sPath))
            return pEmpty->Close();
    }
    std::unique_ptr<tcTextFileWriter> pFile = tCreateUTF8TextFile(sPath, UTF8FILE_NOBOM);
    if (!pFile)
        return false;

    const wchar_t* szLineEnd = std::rand() % 100 < 50 ? L"\n" : L"\r\n";
    const wchar_t* szLanguage = RandomLanguage(10, 20);
    const int nLines = std::rand() % nMaxLines;
    for (int nLine = 0; nLine < nLines; ++nLine)
    {
        wxString sLine;
        for (int nSentences = std::rand() % 12 + 1; nSentences > 0; --nSentences)
        {
            if (!sLine.empty())
                sLine += L' ';
            sLine += MakeSentence(std::rand() % 20 + 1, true, szLanguage) + L".";
            if (bSurrogatePairs && std::rand() % 100 < 7)
                sLine += L" " + tGenSurrogatePairTestString() + L".";
        }
        pFile->Write(sLine + szLineEnd);
        if (bSurrogatePairs && std::rand() % 100 < 15)
            pFile->Write(tGenSurrogatePairTestString() + szLineEnd);
    }
    // Close reports any write that failed on the way.
    return pFile->Close();
}

void tSortFuzzTest(tcSort* pSort, int nPasses, bool bLog)
{
    tcLog::Log(L"tSortFuzzTest");
    if (!pSort)
        return;
    wxString sA, sB;
    for (int i = 0; i < nPasses; ++i)
    {
        tGenRandomString(0, 20, sA);
        tGenRandomString(0, 20, sB);
        const int nResult = pSort->Cmp(sA, sB);
        if (bLog)
            kvLog(L"%d,%d,%s,%s", i, nResult, sA, sB);
    }
}

void tGenRandomString(int nMin, int nExtra, wxString& sOut)
{
    sOut.clear();
    if (nExtra < 0)
        return;
    const long long nLen = nMin + std::rand() % (static_cast<long long>(nExtra) + 1);
    std::u16string sUnits;
    for (long long i = 0; i < nLen; ++i)
        sUnits += static_cast<char16_t>(std::rand() % 65500 + 32);
    sOut = tFromU16(sUnits);
}
