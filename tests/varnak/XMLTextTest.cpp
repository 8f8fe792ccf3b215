#include "varnak/include/tXMLText.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tcDocument.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct EscapeCase
{
    const wchar_t* szText;
    const wchar_t* szPCDATA;
    const wchar_t* szAttribute;
};

const EscapeCase kEscapeCases[] = {
    {L"plain text", L"plain text", L"plain text"},
    {L"a & b", L"a &amp; b", L"a &amp; b"},
    {L"<b>bold</b>", L"&lt;b&gt;bold&lt;/b&gt;", L"&lt;b&gt;bold&lt;/b&gt;"},
    {L"say \"hi\" it's", L"say \"hi\" it's", L"say &quot;hi&quot; it's"},
    {L"tab\there", L"tab\there", L"tab&#9;here"},
    {L"line\nend", L"line\nend", L"line&#10;end"},
    {L"cr\r\nlf", L"cr&#13;\nlf", L"cr&#13;&#10;lf"},
    {L"&amp; stays text", L"&amp;amp; stays text", L"&amp;amp; stays text"},
    {L"]]> in text", L"]]&gt; in text", L"]]&gt; in text"},
    {L"bell\x07"
     L"end",
     L"bell\xFFFD"
     L"end",
     L"bell\xFFFD"
     L"end"},
    {L"nul\x01\x1F", L"nul\xFFFD\xFFFD", L"nul\xFFFD\xFFFD"},
    {L"non-chars \xFFFE\xFFFF", L"non-chars \xFFFD\xFFFD", L"non-chars \xFFFD\xFFFD"},
    {L"lone \xD800 half", L"lone \xFFFD half", L"lone \xFFFD half"},
    {L"pair \xD83D\xDE00 ok", L"pair \xD83D\xDE00 ok", L"pair \xD83D\xDE00 ok"},
    {L"\U0001F600 \x00E9\x0436", L"\U0001F600 \x00E9\x0436", L"\U0001F600 \x00E9\x0436"},
    // Plain runs next to escaped characters, at both ends and between them.
    {L"", L"", L""},
    {L"&", L"&amp;", L"&amp;"},
    {L"<<>>", L"&lt;&lt;&gt;&gt;", L"&lt;&lt;&gt;&gt;"},
    {L"\"x\"", L"\"x\"", L"&quot;x&quot;"},
    {L"\x01lead", L"\xFFFDlead", L"\xFFFDlead"},
    {L"trail\x01", L"trail\xFFFD", L"trail\xFFFD"},
    {L"\xD7FF\xE000\xFFFD\U0010FFFF", L"\xD7FF\xE000\xFFFD\U0010FFFF", L"\xD7FF\xE000\xFFFD\U0010FFFF"},
    {L"a\xDFFF" L"b\xFFFE" L"c", L"a\xFFFD" L"b\xFFFD" L"c", L"a\xFFFD" L"b\xFFFD" L"c"},
};
} // namespace

TEST(XMLText, EscapeTable)
{
    for (const EscapeCase& c : kEscapeCases)
    {
        EXPECT_EQ(tEscapeXMLCharacters_PCDATA(c.szText), c.szPCDATA) << wxString(c.szText);
        EXPECT_EQ(tEscapeXMLCharacters(c.szText), c.szAttribute) << wxString(c.szText);
        wxString sAttribute;
        tAppendXMLAttributeValue(sAttribute, c.szText);
        EXPECT_EQ(sAttribute, c.szAttribute);
    }
}

TEST(XMLText, ForbiddenCharactersAreLoggedOncePerCall)
{
    tcLogCapture log;
    EXPECT_EQ(tEscapeXMLCharacters_PCDATA(L"a\x01"
                                          L"b\x02"
                                          L"c"),
              L"a\xFFFD"
              L"b\xFFFD"
              L"c");
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_TRUE(log.Contains(L"2 character(s)"));
    EXPECT_TRUE(log.Contains(L"U+FFFD"));
    log.Clear();
    EXPECT_EQ(tEscapeXMLCharacters(L"clean"), L"clean");
    EXPECT_TRUE(log.Lines().empty());
}

TEST(XMLText, NodeTextIsEscapedAsLiteralContent)
{
    // Text nodes hold decoded text: what looks like a reference in them is content and must come
    // back as the same characters after a save and a load.
    const struct
    {
        const wchar_t* szStored;
        const wchar_t* szMarkup;
    } kCases[] = {
        {L"it's", L"it's"},
        {L"it&apos;s", L"it&amp;apos;s"},
        {L"\"q\"", L"\"q\""},
        {L"a &lt; b", L"a &amp;lt; b"},
        {L"a < b > c", L"a &lt; b &gt; c"},
        {L"AT&T", L"AT&amp;T"},
        {L"&amp;", L"&amp;amp;"},
        {L"&#39; &nbsp;", L"&amp;#39; &amp;nbsp;"},
        {L"\r", L"&#13;"},
    };
    for (const auto& c : kCases)
    {
        wxString sOut;
        tAppendXMLText(sOut, c.szStored);
        EXPECT_EQ(sOut, c.szMarkup) << wxString(c.szStored);
    }
}

TEST(XMLText, CDATASections)
{
    const struct
    {
        const wchar_t* szText;
        const wchar_t* szMarkup;
    } kCases[] = {
        {L"", L"<![CDATA[]]>"},
        {L"<b>&amp;</b>", L"<![CDATA[<b>&amp;</b>]]>"},
        {L"a]]>b", L"<![CDATA[a]]]]><![CDATA[>b]]>"},
        {L"]]>]]>", L"<![CDATA[]]]]><![CDATA[>]]]]><![CDATA[>]]>"},
        {L"x]]y]>", L"<![CDATA[x]]y]>]]>"},
        {L"cr\r\n", L"<![CDATA[cr]]>&#13;<![CDATA[\n]]>"},
        {L"ctl\x0B", L"<![CDATA[ctl\xFFFD]]>"},
    };
    for (const auto& c : kCases)
    {
        wxString sOut;
        tAppendXMLCDATA(sOut, c.szText);
        EXPECT_EQ(sOut, c.szMarkup) << wxString(c.szText);
    }
}

TEST(XMLText, UnescapeTable)
{
    const struct
    {
        const wchar_t* szText;
        const wchar_t* szDecoded;
    } kCases[] = {
        {L"&lt;b&gt; &amp; &apos;x&apos; &quot;y&quot;", L"<b> & 'x' \"y\""},
        {L"&amp;lt;", L"&lt;"}, // one pass: a decoded "&" starts nothing
        {L"&#65;&#x42;&#X43;&#x1F600;", L"AB&#X43;\U0001F600"},
        {L"&#0; &#xD800; &#x110000; &#12a;", L"&#0; &#xD800; &#x110000; &#12a;"},
        {L"&nbsp; &unknown; & &amp", L"&nbsp; &unknown; & &amp"},
        {L"no references", L"no references"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(tUnescapeXMLCharacters(c.szText), c.szDecoded) << wxString(c.szText);

    tcDocument doc;
    doc.GetDTD()->AddEntity("nbsp", L"\x00A0");
    doc.GetDTD()->AddEntity("brand", L"Lintrado &amp; co");
    EXPECT_EQ(tUnescapeXMLCharacters(L"a&nbsp;b &brand; &unknown;", &doc), L"a\x00A0"
                                                                           L"b Lintrado &amp; co &unknown;");
}

TEST(XMLText, Names)
{
    const struct
    {
        const wchar_t* szName;
        bool bValid;
        const wchar_t* szMade;
    } kCases[] = {
        {L"trans-unit", true, L"trans-unit"},
        {L"xml:lang", true, L"xml:lang"},
        {L"_x.1", true, L"_x.1"},
        {L"\x00E9t\x00E9", true, L"\x00E9t\x00E9"},
        {L"", false, L"_"},
        {L"1st", false, L"_1st"},
        {L"-x", false, L"_-x"},
        {L"two words", false, L"two_words"},
        {L"a<b>&\"c", false, L"a_b___c"},
    };
    for (const auto& c : kCases)
    {
        EXPECT_EQ(tIsValidXMLName(c.szName), c.bValid) << wxString(c.szName);
        EXPECT_EQ(tMakeValidXMLName(c.szName), c.szMade) << wxString(c.szName);
        EXPECT_TRUE(tIsValidXMLName(tMakeValidXMLName(c.szName)));
    }
}
