#pragma once

#include <wx/string.h>

class tcSort;

// Random test material: fake words and sentences in a Latin-like, a Greek or a Hebrew alphabet,
// text with characters above U+FFFF, whole files of such sentences, and a fuzz test of a sort
// comparator. All randomness comes from the C library's rand(), which is not seeded here, so the
// results repeat only for the same srand() seed. rand() keeps one state for the process: main
// thread only.
//
// The language code picks the alphabet: one beginning with "he" is Hebrew, "el" Greek, any other
// (or null) Latin-like.

// One word: 1 to 5 syllables of a consonant and a vowel (Hebrew has only consonants, the Latin
// alphabet may begin a word with a vowel).
wxString tGenFakeWord(const wchar_t* szLanguage);
// Appends one word, as tGenFakeWord makes it, to sText.
void tAppendFakeSyllables(wxString& sText, const wchar_t* szLanguage);
// The most words a fake sentence has (a script may ask for billions).
constexpr long long kMaxFakeSentenceWords = 1000000;
// nMin to nMax words joined by blanks, without a full stop; with bCapitalise the first letter is
// upper-cased. Empty when nMax < nMin; a negative count gives no words; at most
// kMaxFakeSentenceWords words.
wxString tGenFakeSentence(int nMin, int nMax, bool bCapitalise, const wchar_t* szLanguage);
// The same in Hebrew (20 %), Greek (10 %) or the Latin alphabet.
wxString tGenFakeSentenceRandomLanguage(int nMin, int nMax, bool bCapitalise);

// U+1F334 " surrogate pairs (" U+1F34C U+1F34C U+1F34C ")" U+1F4A9, sometimes followed by a blank and
// up to five more characters from U+1F300 to U+1F5FF.
wxString tGenSurrogatePairTestString();

// Writes a UTF-8 file of random sentences (one time in 50 an empty file): up to nMaxLines - 1 lines,
// all ending in "\n" or all in "\r\n", in one alphabet; with bSurrogatePairs some sentences and lines
// carry tGenSurrogatePairTestString. False, writing nothing, when nMaxLines is below 1; false when
// the file cannot be created or written.
bool tCreateFakeRandomFile(const wxString& sPath, bool bSurrogatePairs = true, int nMaxLines = 1000);

// Logs "tSortFuzzTest", then compares nPasses pairs of random texts (tGenRandomString(0, 20)) with
// pSort, logging "pass,result,first,second" for each when bLog is set. A null comparator only logs
// the first line.
void tSortFuzzTest(tcSort* pSort, int nPasses, bool bLog);

// sOut becomes nMin + rand() % (nExtra + 1) random UTF-16 units from 32 to 65531, surrogate halves
// included (an adjacent high and low half make one character). Empty when nExtra < 0; a negative
// length gives the empty text.
void tGenRandomString(int nMin, int nExtra, wxString& sOut);
