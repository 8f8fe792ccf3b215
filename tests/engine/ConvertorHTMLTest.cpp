// The HTML and XML convertors: what the tokenizer makes of markup, and what output gives back.
#include "engine/Convertor_html.h"

#include "Shared/UserPrompts.h"
#include "engine/ConvertorPreview.h"
#include "engine/Convertor_segment.h"
#include "tests/engine/ConvertTestSupport.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Points a convertor of either class at a file of the test's own. The member pointer reaches the
// protected path of any tcConvertorHTML; a cast to a subclass the object is not would be undefined.
class CSourcePath : public tcConvertorHTML
{
public:
    static void Set(tcConvertorHTML& convertor, const wxString& sPath)
    {
        convertor.*(&CSourcePath::m_sSourcePath) = sPath;
    }
};

std::unique_ptr<tcConvertorHTML> MakeConvertor(bool bXML, tcDocument* pDoc)
{
    if (bXML)
        return std::make_unique<tcConvertorXML>(pDoc, L"en");
    return std::make_unique<tcConvertorHTML>(L"html", pDoc, L"en", true);
}

// Imports sPath and dumps the segment model; "failed" when Import returns false.
std::string ImportDump(tcConvertorHTML& convertor, const wxString& sPath)
{
    CSourcePath::Set(convertor, sPath);
    CSegmentDoc segments(nullptr, nullptr, nullptr, nullptr, L"en", nullptr, -1, L"de");
    if (!convertor.Import(&segments, nullptr))
        return "failed";
    return DumpSegments(segments);
}

struct SMarkupCase
{
    const char* szName;
    bool bXML;
    const char* szInput;
    const char* szDump;
    // What output in the source language writes; null when it is the input itself.
    const char* szOutput;
};

const SMarkupCase kMarkupCases[] = {
    {"bold", false, "<b>bold</b>", "U[S1(b|Bold|<b>)T(bold)E(</b>=S1)]", nullptr},
    {"upper-case tags pair but get no style", false, "<B>x</B>", "U[S1(B||<B>)T(x)E(</B>=S1)]", nullptr},
    {"a class keeps p from starting a unit, taking a style and pairing", false, "<p class=x>Hi</p>",
     "U[S1(p class=x||<p class=x>)T(Hi)E(</p>)]", nullptr},
    {"a block tag starts a unit, a document beginning with one an empty unit", false, "<p>Hi</p>",
     "U[]U[S1(p|Paragraph|<p>)T(Hi)E(</p>=S1)]", nullptr},
    {"alt text as a sub-flow", false, "<img src=\"a.png\" alt=\"Car\">",
     "U[S1(img src=\"a.png\" alt=\"Car\"||<img src=\"a.png\" alt=\"{Car}\">)]", nullptr},
    {"an alt text is cut at its first space", false, "<img alt=\"Red car\">",
     "U[S1(img alt=\"Red car\"||<img alt=\"{Red} car\">)]", nullptr},
    {"spaces around = and runs of spaces stay in the code", false, "<img  alt = 'Car' >",
     "U[S1(img alt = 'Car'||<img  alt = '{Car}' >)]", nullptr},
    {"every XML attribute value is a sub-flow; an id too", true, "<item id=\"7\" kind='seed'>x</item>",
     "U[S1(item id=\"7\" kind='seed'||<item id=\"{7}\" kind='{seed}'>)T(x)E(</item>)]", nullptr},
    {"br is a line feed in the text and comes back as <br />", false, "a<br>b<br/>c", "U[T(a\\nb\\nc)]",
     "a<br />b<br />c"},
    {"line breaks of the source become codes", false, "<p>a</p>\r\n<p>b</p>",
     "U[]U[S1(p|Paragraph|<p>)T(a)E(</p>=S1)CRNL]U[S2(p|Paragraph|<p>)T(b)E(</p>=S2)]", nullptr},
    {"a comment after a tag is paired codes around translatable text", false, "<b>x</b><!-- a\nnote -->",
     "U[S1(b|Bold|<b>)T(x)E(</b>=S1)S2(|Comment|<!--)T( a)NLT(note )E(-->=S2)]", nullptr},
    {"a comment after text makes this and every later comment a sub-flow", false, "a<!-- one --><i>b</i><!-- two -->",
     "U[T(a)S1(<!--)G({Comment: one })S2(-->)S3(i|Italic|<i>)T(b)E(</i>=S3)S4(<!--)G({Comment: two })S5(-->)]",
     nullptr},
    {"a comment holding markup stays one code", false, "<!-- <b>old</b> & gone -->",
     "U[S1(<!-- <b>old</b> & gone -->)]", nullptr},
    {"a DOCTYPE ends its unit", false, "<!DOCTYPE html>\n<html>", "U[S1(<!DOCTYPE html>)]U[NL]U[S2(html||<html>)]",
     nullptr},
    {"a DOCTYPE's internal subset and its entity", true, "<!DOCTYPE r [<!ENTITY e \"v\">]><r>&e;</r>",
     "U[S1(<!DOCTYPE r [<!ENTITY e \"v\">]>)]U[S2(r||<r>)S3(&e;)E(</r>=S2)]", nullptr},
    {"a quoted > stays in the tag", false, "<a title=\"x>y\">z</a>",
     "U[S1(a title=\"x>y\"||<a title=\"x>y\">)T(z)E(</a>)]", nullptr},
    {"a quoted > in a sub-flow is escaped; the / of an empty element is the tag's", true, "<a t=\"x>y\"/>",
     "U[S1(a t=\"x>y\"/||<a t=\"{x&gt;y}\"/>)]", "<a t=\"x&gt;y\"/>"},
    {"a > without quotes ends the tag", false, "<a title=x>y>z</a>", "U[S1(a title=x||<a title=x>)T(y&gt;z)E(</a>)]",
     "<a title=x>y&gt;z</a>"},
    {"references: known ones stay text, others become codes, a bare & is escaped", false,
     "Tom & Jerry &amp; &nbsp;&#233;&#10;x", "U[T(Tom &amp; Jerry &amp; )S1(&nbsp;)T(&#233;)S2(&#10;)T(x)]",
     "Tom &amp; Jerry &amp; &nbsp;é&#10;x"},
    {"XML text is decoded but stays escaped", true, "<t>&lt;&#233;&gt;</t>", "U[S1(t||<t>)T(&lt;é&gt;)E(</t>=S1)]",
     "<t>&lt;é&gt;</t>"},
    {"a reference to a quote in an attribute value stays a code", false, "<img alt=\"5&quot;\">",
     "U[S1(img alt=\"5&quot;\"||<img alt=\"{5S2(&quot;)}\">)]", nullptr},
    {"a tag spanning lines", false, "<p\nclass=\"a\">x</p>", "U[S1(pclass=\"a\"||<p[NL]class=\"a\">)T(x)E(</p>)]",
     nullptr},
    {"a script's < starts a tag", false, "<script>if(a<b)x();</script>",
     "U[S1(script||<script>)T(if(a)S2(b)x();</script||<b)x();</script>)]", nullptr},
    {"a CDATA section is one code", true, "<![CDATA[a>b]]>c", "U[S1(<![CDATA[a>b]]>)]U[T(c)]", nullptr},
    {"a processing instruction is one code", true, "<?xml version=\"1.0\"?>\n<r/>",
     "U[S1(<?xml version=\"1.0\"?>)NLS2(r/||<r/>)]", nullptr},
    {"<>", false, "a<>b", "U[T(a)S1(<>)T(b)]", nullptr},
    {"</>", false, "a</>b", "U[T(a)E(</>)T(b)]", nullptr},
    {"<!>", false, "a<!>b", "U[T(a)S1(<!>)]U[T(b)]", nullptr},
    {"<!-->", false, "a<!-->b", "U[T(a)S1(<!-->)T(b)]", nullptr},
    {"<!--->", false, "<b>a</b><!--->b", "U[S1(b|Bold|<b>)T(a)E(</b>=S1)S2(<!--->)T(b)]", nullptr},
    {"a comment closes only at -->", false, "<!-- a->b -->", "U[S1(<!-- a->b -->)]", nullptr},
    {"text at the end of the file", false, "<b>x</b> tail", "U[S1(b|Bold|<b>)T(x)E(</b>=S1)T( tail)]", nullptr},
    {"an unterminated tag", false, "a<b class=\"x", "U[T(a)S1(<b class=\"x)]", nullptr},
    {"an unterminated comment", false, "a<!-- never\nclosed", "U[T(a)S1(<!-- never[NL]closed)]", nullptr},
    {"characters XML forbids", false, "a\x01z", "U[T(a\xEF\xBF\xBDz)]", "a\xEF\xBF\xBDz"},
    {"an empty file", false, "", "U[]", nullptr},
};
} // namespace

TEST(ConvertorHTML, MarkupToUnitsAndBack)
{
    CRecordedAsserts asserts;
    tcLogCapture log;
    int nRow = 0;
    for (const SMarkupCase& c : kMarkupCases)
    {
        SCOPED_TRACE(c.szName);
        const wxString sPath =
            WriteHomeFile("markup/" + std::to_string(++nRow) + (c.bXML ? ".xml" : ".html"), c.szInput);
        CConvertProject project;
        auto pDumped = MakeConvertor(c.bXML, &project.Doc());
        EXPECT_EQ(ImportDump(*pDumped, sPath), c.szDump);

        auto pConvertor = MakeConvertor(c.bXML, &project.Doc());
        tcNode* pFile = project.Convert(*pConvertor, sPath);
        ASSERT_NE(pFile, nullptr);
        const std::string sExpected = c.szOutput ? c.szOutput : c.szInput;
        EXPECT_EQ(project.Output(*pConvertor, pFile, L"en"), sExpected);
        // Nothing translated: the target language gives the same document, through the segments.
        EXPECT_EQ(project.Output(*pConvertor, pFile, L"de"), sExpected);
    }
    EXPECT_EQ(asserts.m_asSeen, std::vector<std::string>());
    EXPECT_TRUE(log.Contains(L"1 characters that XML does not allow"));
}

TEST(ConvertorHTML, PostProcessOutput)
{
    const struct
    {
        const wchar_t* szIn;
        const wchar_t* szOut;
    } cases[] = {
        {L"a\nb", L"a<br />b"},
        {L"<p><carriagereturn><newline>", L"<p>\r\n"},
        // A line feed the translator typed next to a break code.
        {L"x\n<newline>", L"x<br />\n"},
        {L"__Lintrado_segment_untranslated_begin__a__Lintrado_segment_untranslated_end__",
         L"<span style=\"background-color:#CAE1F9\">a</span>"},
        {L"__Lintrado_segment_selected_begin__b__Lintrado_segment_selected_end__",
         L"<a name=\"lintrado-selected-segment\"></a>"
         L"<span style=\"border-style: dotted;border-width:1pt;border-color:#FF0000\">b</span>"},
    };
    for (const auto& c : cases)
    {
        wxString s = c.szIn;
        tcConvertorHTML::PostProcessOutput(s);
        EXPECT_EQ(s, c.szOut);
    }
}

TEST(ConvertorHTML, UnreadableFilesAreReportedAndAddNothing)
{
    g_LocEngine.Clear();
    CRecordedPrompts prompts;
    CRecordedAsserts asserts;
    CConvertProject project;
    const wxString sFolder = WriteHomeFile("folder.html/x", "").BeforeLast('/');
    for (const wxString& sPath : {sFolder + "/missing.html", sFolder})
    {
        SCOPED_TRACE(sPath.utf8_string());
        auto pConvertor = MakeConvertor(false, &project.Doc());
        EXPECT_EQ(ImportDump(*pConvertor, sPath), "failed");
    }
    EXPECT_EQ(prompts.m_asShown, std::vector<wxString>(2, "MESSAGETITLE_ERROR: FILE_COULD_NOT_OPEN (error)"));
    EXPECT_EQ(asserts.m_asSeen, std::vector<std::string>());
}

TEST(ConvertorHTML, ExportReportsAFileItCannotWrite)
{
    CConvertProject project;
    auto pConvertor = MakeConvertor(false, &project.Doc());
    tcNode* pFile = project.Convert(*pConvertor, WriteHomeFile("a.html", "<b>x</b>"));
    EXPECT_FALSE(pConvertor->OutputTranslation(&project.DTD(), WriteHomeFile("file", "") + "/out.html", L"en", pFile));
}

TEST(ConvertorHTML, PreviewWithoutWindowKeepsEachConvertorsPage)
{
    CConvertProject project;
    auto pHTML = MakeConvertor(false, &project.Doc());
    auto pXML = MakeConvertor(true, &project.Doc());
    EXPECT_EQ(pHTML->Preview(wxString(), L"<p>a\nb</p><newline>", nullptr, nullptr), nullptr);
    EXPECT_EQ(pXML->Preview(wxString(), L"<r/>", nullptr, nullptr), nullptr);
    EXPECT_EQ(pHTML->GetLastPreviewText(), L"<p>a<br />b</p>\n");
    EXPECT_EQ(pXML->GetLastPreviewText(), L"<r/>");
    EXPECT_EQ(tcConvertorHTML::PreviewFamily().GetNumMembers(), 2);
}
