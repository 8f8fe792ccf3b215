#include "varnak/include/tTextRoutines.h"

#include "varnak/include/tNotSupported.h"
#include "varnak/include/tcProperties.h"
#include "varnak/include/tcDocument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

TEST(TextRoutines, CharacterClasses)
{
    struct Case
    {
        wchar_t c;
        bool bBracket, bPunct, bNonLetter, bSpace;
    };
    const std::vector<Case> aCases = {
        {L'a', false, false, false, false},     {L'\u00E9', false, false, false, false},
        {L'\u0416', false, false, false, false}, {L'7', false, false, true, false},
        {L'(', true, true, true, false},        {L'\u00BB', true, true, true, false},
        {L'\uFF3D', true, true, true, false},   {L',', false, true, true, false},
        {L' ', false, false, true, true},       {L'\u00A0', false, false, true, true},
        {L'\u202F', false, false, true, true},  {L'\t', false, false, true, true},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(static_cast<int>(c.c));
        EXPECT_EQ(c.bBracket, tIsBracket(c.c));
        EXPECT_EQ(c.bPunct, tIsPunctuation(c.c));
        EXPECT_EQ(c.bNonLetter, tIsNonLetter(c.c));
        EXPECT_EQ(c.bSpace, tIsWhitespace(c.c));
    }
    EXPECT_FALSE(tIsBracket(0));
}

TEST(TextRoutines, UTF16PositionsCombineSurrogatePairs)
{
    const wxString s = wxString::FromUTF8("a\xF0\x9F\x98\x80" "b"); // a, U+1F600, b
    EXPECT_EQ(U'a', tUTF16StringCharToUTF32(s, 0));
    EXPECT_EQ(0x1F600u, tUTF16StringCharToUTF32(s, 1));
    EXPECT_EQ(0xDE00u, tUTF16StringCharToUTF32(s, 2)); // the low half alone
    EXPECT_EQ(U'b', tUTF16StringCharToUTF32(s, 3));
    EXPECT_EQ(0u, tUTF16StringCharToUTF32(s, 4));
    EXPECT_EQ(0u, tUTF16StringCharToUTF32(s, -1));
}

TEST(TextRoutines, CSVFieldsRoundTrip)
{
    struct Case
    {
        const char* szField;
        const char* szEscaped;
    };
    const std::vector<Case> aCases = {
        {"plain", "plain"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {" padded", "\" padded\""},
        {"\"", "\"\"\"\""},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szField);
        EXPECT_EQ(c.szEscaped, tEscapeCSVString(c.szField));
        EXPECT_EQ(c.szField, tUnEscapeCSVString(tEscapeCSVString(c.szField)));
    }
    EXPECT_EQ("\"", tUnEscapeCSVString("\"")); // a lone quote is no quoted field
}

TEST(TextRoutines, MarkupAndEntities)
{
    tcDocument doc;
    doc.GetDTD()->AddEntity("co", "company");
    struct Case
    {
        const char* szText;
        const char* szStripped;
    };
    const std::vector<Case> aCases = {
        {"<b>bold</b> &amp; plain", "bold & plain"},
        {"a<!-- <b>hidden</b> -->b", "ab"},
        {"x<![CDATA[<raw> &amp;]]>y", "x<raw> &amp;y"},
        {"The &co; &#x41;&#66;", "The company AB"},
        {"open <tag without end", "open "},
        {"&unknown; stays", "&unknown; stays"},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(c.szStripped, tStripMarkup(c.szText, &doc)) << c.szText;
    EXPECT_EQ("The &co;", tExpandEntities("The &co;"));
    EXPECT_EQ("The company", tExpandEntities("The &co;", &doc));
    EXPECT_EQ(wxString::FromUTF8("a\xC2\xA0<b>'"), tUnescapeHTMLCharacters("a&nbsp;&lt;b&gt;&#39;"));
    EXPECT_EQ("&lt;a href=&quot;x&quot;&gt;", tEscapeHTMLCharacters("<a href=\"x\">"));
    EXPECT_TRUE(tCheckReservedXMLName("XmLfoo"));
    EXPECT_FALSE(tCheckReservedXMLName("xm"));
    EXPECT_FALSE(tCheckReservedXMLName("fooxml"));
}

TEST(TextRoutines, DiacriticsAreStripped)
{
    struct Case
    {
        const char* szText;
        const char* szStripped;
    };
    const std::vector<Case> aCases = {
        {"Cr\xC3\xA8me Br\xC3\xBBl\xC3\xA9" "e", "Creme Brulee"},
        {"\xC3\x85ngstr\xC3\xB6m", "Angstrom"},
        {"\xC5\x81\xC3\xB3" "d\xC5\xBA", "Lodz"},                  // stroke letters too
        {"\xC3\xB8re", "ore"},
        {"e\xCC\x81", "e"},                                        // a combining accent
        {"\xE1\xBB\x87", "e"},                                     // two marks
        {"Stra\xC3\x9F" "e \xD0\x99", "Stra\xC3\x9F" "e \xD0\x98"}, // no base letter: kept; Cyrillic short i
        {"\xE4\xB8\xAD\xE6\x96\x87", "\xE4\xB8\xAD\xE6\x96\x87"},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szText);
        const wxString sText = wxString::FromUTF8(c.szText);
        EXPECT_EQ(c.szStripped, tStripDiacritics(sText).utf8_string());
        wxString sInPlace = sText;
        EXPECT_EQ(c.szStripped, tStripDiacriticsInPlace(sInPlace).utf8_string());
        std::wstring sWide = sText.ToStdWstring();
        EXPECT_EQ(wxString::FromUTF8(c.szStripped).ToStdWstring(), tStripDiacriticsInPlace(sWide));
    }
    EXPECT_EQ(L'a', tStripDiacritic(L'\u00E4'));
    EXPECT_EQ(L'\u00DF', tStripDiacritic(L'\u00DF'));
}

TEST(TextRoutines, NumberListsCondense)
{
    EXPECT_EQ("1-3, 5, 9, 10", tCondenseNumberList({5, 1, 2, 3, 9, 10}));
    EXPECT_EQ("", tCondenseNumberList({}));
    EXPECT_EQ("-2-0, 4", tCondenseNumberList({0, -1, -2, 4, 4}));
    EXPECT_EQ("2147483646, 2147483647", tCondenseNumberList({2147483647, 2147483646}));
}

TEST(TextRoutines, FilesGUIDsAndNames)
{
    EXPECT_EQ("image/png", tGetMIMETypeFromExtension(".PNG"));
    EXPECT_EQ("application/xliff+xml", tGetMIMEType("/home/u/project.v2/file.xlf"));
    EXPECT_EQ("application/octet-stream", tGetMIMEType("/home/u/project.v2/README"));
    EXPECT_EQ("application/octet-stream", tGetMIMETypeFromExtension("nope"));

    tGUID guid;
    ASSERT_TRUE(tStringToGUID("AE567AC9-0795-4DEC-8833-80F9CBFEDFAA", guid));
    EXPECT_EQ("AE567AC9-0795-4DEC-8833-80F9CBFEDFAA", tGUIDToString2(guid));
    tGUID back;
    ASSERT_TRUE(tStringToGUID(tGUIDToString2(tCreateGUID()), back));

    EXPECT_EQ("Integer", tGetTypeName(1));
    EXPECT_EQ("?", tGetTypeName(99));
    EXPECT_EQ("Folder", tGetMetatypeName(tMETATYPE_FOLDER));

    EXPECT_THROW(tWebSearch("word"), tcNotSupported);
    try
    {
        tWebImageSearch("word");
        FAIL();
    }
    catch (const tcNotSupported& e)
    {
        EXPECT_STREQ("'tWebImageSearch' is not supported by this build", e.what());
    }
}

} // namespace
