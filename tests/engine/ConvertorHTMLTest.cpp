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
    {"upper-case HTML tags pair and take the style of their name", false, "<B>x</b>", "U[S1(B|Bold|<B>)T(x)E(</b>=S1)]",
     nullptr},
    {"XML names keep their case", true, "<B>x</b></B>", "U[S1(B||<B>)T(x)E(</b>)T()E(</B>=S1)]", nullptr},
    {"a p with a class is a block with its style, closed by its end tag", false, "<p class=x>Hi</p>",
     "U[]U[S1(p|Paragraph|<p class=x>)T(Hi)E(</p>=S1)]", nullptr},
    {"a block tag starts a unit, a document beginning with one an empty unit", false, "<p>Hi</p>",
     "U[]U[S1(p|Paragraph|<p>)T(Hi)E(</p>=S1)]", nullptr},
    {"alt text as a sub-flow", false, "<img src=\"a.png\" alt=\"Car\">",
     "U[S1(img||<img src=\"a.png\" alt=\"{Car}\">)]", nullptr},
    {"an alt text of several words is one sub-flow", false, "<img alt=\"Photo of the red car\" src='a b.png'>",
     "U[S1(img||<img alt=\"{Photo of the red car}\" src='a b.png'>)]", nullptr},
    {"blanks inside a quoted value are kept as they are", false, "<img alt=' Red  car ' title=\"x\">",
     "U[S1(img||<img alt='{ Red  car }' title=\"x\">)]", nullptr},
    {"an apostrophe inside an unquoted value opens nothing", false, "<img alt=Don't title=\"a b\">",
     "U[S1(img||<img alt={Don't} title=\"a b\">)]", nullptr},
    {"spaces around = and runs of spaces stay in the code", false, "<img  alt = 'Car' >",
     "U[S1(img||<img  alt = '{Car}' >)]", nullptr},
    {"every XML attribute value is a sub-flow; an id too", true, "<item id=\"7\" kind='seed'>x</item>",
     "U[S1(item||<item id=\"{7}\" kind='{seed}'>)T(x)E(</item>=S1)]", nullptr},
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
    {"a quoted > stays in the tag", false, "<a title=\"x>y\">z</a>", "U[S1(a||<a title=\"x>y\">)T(z)E(</a>=S1)]",
     nullptr},
    {"a quoted > in a sub-flow is escaped; the / of an empty element is the tag's", true, "<a t=\"x>y\"/>",
     "U[S1(a||<a t=\"{x&gt;y}\"/>)]", "<a t=\"x&gt;y\"/>"},
    {"a > without quotes ends the tag", false, "<a title=x>y>z</a>", "U[S1(a||<a title=x>)T(y&gt;z)E(</a>=S1)]",
     "<a title=x>y&gt;z</a>"},
    {"references: known ones stay text, others become codes, a bare & is escaped", false,
     "Tom & Jerry &amp; &nbsp;&#233;&#10;x", "U[T(Tom &amp; Jerry &amp; )S1(&nbsp;)T(&#233;)S2(&#10;)T(x)]",
     "Tom &amp; Jerry &amp; &nbsp;é&#10;x"},
    {"XML text is decoded but stays escaped", true, "<t>&lt;&#233;&gt;</t>", "U[S1(t||<t>)T(&lt;é&gt;)E(</t>=S1)]",
     "<t>&lt;é&gt;</t>"},
    {"a reference to a quote in an attribute value stays a code", false, "<img alt=\"5&quot;\">",
     "U[S1(img||<img alt=\"{5S2(&quot;)}\">)]", nullptr},
    {"a tag spanning lines", false, "<p\nclass=\"a\">x</p>", "U[]U[S1(p|Paragraph|<p[NL]class=\"a\">)T(x)E(</p>=S1)]",
     nullptr},
    {"a script's < starts a tag", false, "<script>if(a<b)x();</script>",
     "U[S1(script||<script>)T(if(a)S2(b)x();<||<b)x();</script>)]", nullptr},
    {"a CDATA section is one code", true, "<![CDATA[a>b]]>c", "U[S1(<![CDATA[a>b]]>)]U[T(c)]", nullptr},
    {"a processing instruction is one code", true, "<?xml version=\"1.0\"?>\n<r/>",
     "U[S1(<?xml version=\"1.0\"?>)NLS2(r||<r/>)]", nullptr},
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

// Where the units of real pages begin: at their blocks, however the tags are written.
const SMarkupCase kUnitCases[] = {
    {"sections and paragraphs with classes", false, "<div class=\"section\"><p class=\"x\">One</p><p>Two</p></div>",
     "U[]U[S1(div||<div class=\"section\">)]U[S2(p|Paragraph|<p class=\"x\">)T(One)E(</p>=S2)]"
     "U[S3(p|Paragraph|<p>)T(Two)E(</p>=S3)T()E(</div>=S1)]",
     nullptr},
    {"headings of every level, in any case", false, "<h1>A</h1><H2 class=\"title\">B</H2><h6 id=x>C</h6>",
     "U[]U[S1(h1||<h1>)T(A)E(</h1>=S1)]U[S2(H2||<H2 class=\"title\">)T(B)E(</H2>=S2)]U[S3(h6||<h6 "
     "id=x>)T(C)E(</h6>=S3)]",
     nullptr},
    {"list items", false, "<ul class=\"toc\"><li>One</li><li class=\"x\">Two</li></ul><ol><li>Three</ol>",
     "U[]U[S1(ul||<ul class=\"toc\">)]U[S2(li||<li>)T(One)E(</li>=S2)]U[S3(li||<li "
     "class=\"x\">)T(Two)E(</li>=S3)T()E(</ul>=S1)]"
     "U[S4(ol||<ol>)]U[S5(li||<li>)T(Three)E(</ol>=S4)]",
     nullptr},
    {"terms and definitions", false, "<dl><dt class=\"term\">Tool</dt><dd><p>What it does.</p></dd></dl>",
     "U[]U[S1(dl||<dl>)]U[S2(dt||<dt class=\"term\">)T(Tool)E(</dt>=S2)]U[S3(dd||<dd>)]"
     "U[S4(p|Paragraph|<p>)T(What it does.)E(</p>=S4)T()E(</dd>=S3)T()E(</dl>=S1)]",
     nullptr},
    {"table caption, rows and cells", false,
     "<table><caption>T</caption><tr><th>Name</th><td class=\"c\">x</td></tr></table>",
     "U[]U[S1(table||<table>)]U[S2(caption||<caption>)T(T)E(</caption>=S2)]U[S3(tr||<tr>)]"
     "U[S4(th||<th>)T(Name)E(</th>=S4)]U[S5(td||<td class=\"c\">)T(x)E(</td>=S5)T()E(</tr>=S3)T()E(</table>=S1)]",
     nullptr},
    {"preformatted text leaves the sentence before it", false,
     "<p>Messages look like this:</p><pre class=\"programlisting\">==1== x\n</pre>",
     "U[]U[S1(p|Paragraph|<p>)T(Messages look like this:)E(</p>=S1)]U[S2(pre||<pre class=\"programlisting\">)T(==1== "
     "x)NL"
     "T()E(</pre>=S2)]",
     nullptr},
    {"title, quotation and figure caption", false,
     "<title>Manual</title><blockquote>Q</blockquote><figcaption>F</figcaption>",
     "U[]U[S1(title||<title>)T(Manual)E(</title>=S1)]U[S2(blockquote||<blockquote>)T(Q)E(</blockquote>=S2)]"
     "U[S3(figcaption||<figcaption>)T(F)E(</figcaption>=S3)]",
     nullptr},
    {"inline elements start no unit", false, "<p>a <span class=\"x\">b</span> <a href=\"#\">c</a></p>",
     "U[]U[S1(p|Paragraph|<p>)T(a )S2(span||<span class=\"x\">)T(b)E(</span>=S2)T( )S3(a||<a href=\"#\">)T(c)"
     "E(</a>=S3)T()E(</p>=S1)]",
     nullptr},
    {"an end tag closes the latest open element of its name", false,
     "<SPAN class=a>x<span>y</span></Span><b class=b><i>z</b></i></em>",
     "U[S1(SPAN||<SPAN class=a>)T(x)S2(span||<span>)T(y)E(</span>=S2)T()E(</Span>=S1)S3(b|Bold|<b class=b>)"
     "S4(i|Italic|<i>)T(z)E(</b>=S3)T()E(</i>=S4)T()E(</em>)]",
     nullptr},
    {"an end tag with blanks and a line break", false, "<b>x</b\n><i>y</ i >",
     "U[S1(b|Bold|<b>)T(x)E(</b[NL]>=S1)S2(i|Italic|<i>)T(y)E(</ i >=S2)]", nullptr},
};

void ExpectMarkupCases(const SMarkupCase* pBegin, const SMarkupCase* pEnd)
{
    int nRow = 0;
    for (const SMarkupCase* pCase = pBegin; pCase != pEnd; ++pCase)
    {
        const SMarkupCase& c = *pCase;
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
}

std::string Repeat(const std::string& s, int n)
{
    std::string sOut;
    for (int i = 0; i < n; ++i)
        sOut += s;
    return sOut;
}
} // namespace

TEST(ConvertorHTML, MarkupToUnitsAndBack)
{
    CRecordedAsserts asserts;
    tcLogCapture log;
    ExpectMarkupCases(std::begin(kMarkupCases), std::end(kMarkupCases));
    EXPECT_EQ(asserts.m_asSeen, std::vector<std::string>());
    EXPECT_TRUE(log.Contains(L"1 characters that XML does not allow"));
}

TEST(ConvertorHTML, BlocksStartUnitsAndEndTagsPairByName)
{
    CRecordedAsserts asserts;
    ExpectMarkupCases(std::begin(kUnitCases), std::end(kUnitCases));
    EXPECT_EQ(asserts.m_asSeen, std::vector<std::string>());
}

// Nesting deeper than an XML load allows refuses the document with the load's message, naming the
// place after the start tag that goes too deep; elements that close, and HTML's empty elements, do
// not add up.
TEST(ConvertorHTML, DocumentsNestedTooDeepAreRefused)
{
    g_LocEngine.Clear();
    const int nLimit = static_cast<int>(kMaxXMLElementDepth);
    const struct
    {
        const char* szName;
        bool bXML;
        std::string sInput;
        // Column after the start tag that goes too deep, on line 2; 0 when the document is read.
        int nColumn;
    } cases[] = {
        {"html", false, "<html>\n" + Repeat("<div class=\"x\">", nLimit) + "a", nLimit * 15 + 1},
        {"xml", true, "<r>\n" + Repeat("<a>", nLimit) + "a", nLimit * 3 + 1},
        {"an empty element one too deep", true, "<r>\n" + Repeat("<a>", nLimit - 1) + "<e/>", nLimit * 3 + 2},
        {"at the limit", true, "<r>\n" + Repeat("<a>", nLimit - 1) + "a" + Repeat("</a>", nLimit - 1) + "</r>", 0},
        {"closed siblings", false, Repeat("<div class=\"x\">a</div>", 2 * nLimit), 0},
        {"empty HTML elements", false, Repeat("<img src=\"a\"><br class=\"x\"><meta a=b>", 2 * nLimit), 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.szName);
        CRecordedPrompts prompts;
        CConvertProject project;
        const wxString sPath = WriteHomeFile(std::string("deep/") + c.szName + (c.bXML ? ".xml" : ".html"), c.sInput);
        auto pConvertor = MakeConvertor(c.bXML, &project.Doc());
        const std::string sDump = ImportDump(*pConvertor, sPath);
        if (c.nColumn == 0)
        {
            EXPECT_NE(sDump, "failed");
            EXPECT_EQ(prompts.m_asShown, std::vector<wxString>());
            continue;
        }
        EXPECT_EQ(sDump, "failed");
        const wxString sMessage = wxString::Format(
            "Fatal error in file %s at line 2 , column %d : elements are nested more than %d levels deep", sPath,
            c.nColumn, nLimit);
        // The reason goes to the caller, which names the file that was not added.
        EXPECT_EQ(prompts.m_asShown, std::vector<wxString>());
        EXPECT_EQ(pConvertor->GetFailure().utf8_string(), sMessage.utf8_string());
    }
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

TEST(ConvertorHTML, UnreadableFilesGiveTheirReasonAndAddNothing)
{
    g_LocEngine.Clear();
    CRecordedPrompts prompts;
    CRecordedAsserts asserts;
    CConvertProject project;
    const wxString sFolder = WriteHomeFile("folder.html/x", "").BeforeLast('/');
    const struct
    {
        wxString sPath;
        const char* szFailure;
    } cases[] = {{sFolder + "/missing.html", "FILE_DOES_NOT_EXIST"}, {sFolder, "FILE_COULD_NOT_OPEN"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.sPath.utf8_string());
        auto pConvertor = MakeConvertor(false, &project.Doc());
        EXPECT_EQ(ImportDump(*pConvertor, c.sPath), "failed");
        EXPECT_EQ(pConvertor->GetFailure().utf8_string(), c.szFailure);
    }
    EXPECT_EQ(prompts.m_asShown, std::vector<wxString>());
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
