#include "varnak/include/tcNode.h"

#include "tests/varnak/DomTestUtil.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tXMLStream.h"
#include "varnak/include/tcAppContext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// ----- Writing --------------------------------------------------------------------------------------

TEST(NodeXML, AttributesInDeclarationOrderWithEmptyValuesAndNoInternalId)
{
    DomDoc d;
    tcElement* pKind = d.Kind("mrk");
    tcAttribute* pMtype = tCreateAttribute(&d.doc, pKind, "mtype", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    tcAttribute* pUnset = tCreateAttribute(&d.doc, pKind, "unset", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    tcAttribute* pId = tCreateAttribute(&d.doc, pKind, gsInternalIdAttrName, ATTRDEF_IMPLIED, ATTR_NDATA, false, 0);
    tcAttribute* pMid = tCreateAttribute(&d.doc, pKind, "mid", ATTRDEF_IMPLIED, ATTR_NDATA, false, 0);
    tcAttribute* pNote = tCreateAttribute(&d.doc, pKind, "comment", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    (void)pUnset;
    tcNode* pNode = d.doc.AllocateElement(pKind);
    // Set in another order than declared.
    pNode->SetAttributeS(pNote, L"a\t\"b\" & <c>\nd\re");
    pNode->SetAttributeS(pMid, "7");
    pNode->SetAttributeS(pId, "42");
    pNode->AllocAttributeS(pMtype);

    EXPECT_EQ(pNode->GenerateXML(),
              L"<mrk mtype=\"\" mid=\"7\" comment=\"a&#9;&quot;b&quot; &amp; &lt;c&gt;&#10;d&#13;e\"/>");
    EXPECT_EQ(pNode->GenerateXML(false, false), L"<mrk mtype=\"\" mid=\"7\" comment=\"a\t\"b\" & <c>\nd\re\"/>");
}

TEST(NodeXML, ContentInTheFourModes)
{
    DomDoc d;
    tcNode* pSource = d.Node("source");
    tcNode* pBpt = d.Node("bpt");
    pSource->AddChildLast(d.doc.AllocateTextNode(L"it's <1> & \"2\"\r"));
    pSource->AddChildLast(pBpt);
    pBpt->AddChildLast(d.doc.AllocateCDataNode(L"<b>]]>&amp;"));
    pSource->AddChildLast(d.doc.AllocateTextNode(L""));
    pSource->AddChildLast(d.Node("x"));

    const struct
    {
        bool bEscape;
        bool bCDATA;
        const wchar_t* szChildren;
    } kCases[] = {
        {true, true, L"it's &lt;1&gt; &amp; \"2\"&#13;<bpt><![CDATA[<b>]]]]><![CDATA[>&amp;]]></bpt><x/>"},
        {true, false, L"it's &lt;1&gt; &amp; \"2\"&#13;<bpt>&lt;b&gt;]]&gt;&amp;amp;</bpt><x/>"},
        {false, true, L"it's <1> & \"2\"\r<bpt><![CDATA[<b>]]>&amp;]]></bpt><x/>"},
        {false, false, L"it's <1> & \"2\"\r<bpt><b>]]>&amp;</bpt><x/>"},
    };
    for (const auto& c : kCases)
    {
        EXPECT_EQ(pSource->GenerateXMLChildren(c.bEscape, c.bCDATA), c.szChildren) << c.bEscape << c.bCDATA;
        EXPECT_EQ(pSource->GenerateXML(c.bEscape, c.bCDATA), wxString(L"<source>") + c.szChildren + L"</source>");
    }
    // An element whose only content writes nothing reads back as the same empty element.
    tcNode* pEmpty = d.Node("target");
    pEmpty->AddChildLast(d.doc.AllocateTextNode(L""));
    EXPECT_EQ(pEmpty->GenerateXML(), L"<target/>");
    EXPECT_EQ(d.doc.AllocateCDataNode(L"")->GenerateXML(true, false), L"");
}

// Writers of large documents take the text in pieces: whatever the piece size, the pieces make
// exactly GenerateXMLChildren's text, and an element writes nothing only when none of its
// descendants does.
TEST(NodeXML, StreamedPiecesMakeTheWholeText)
{
    DomDoc d;
    tcNode* pBody = d.Node("body");
    for (int i = 0; i < 30; ++i)
    {
        tcNode* pUnit = d.Node("trans-unit");
        pBody->AddChildLast(pUnit);
        tcNode* pSource = d.Node("source");
        pUnit->AddChildLast(pSource);
        pSource->AddChildLast(d.doc.AllocateTextNode(wxString::Format(L"unit %d <&> \r", i)));
        tcNode* pBpt = d.Node("bpt");
        pSource->AddChildLast(pBpt);
        pBpt->AddChildLast(d.doc.AllocateCDataNode(i % 2 ? L"<b>]]>" : L""));
        pUnit->AddChildLast(d.doc.AllocateTextNode(L""));
    }
    for (bool bEscape : {true, false})
        for (bool bCDATA : {true, false})
            for (size_t nFlushAt : {size_t(1), size_t(7), size_t(100), size_t(1) << 20})
            {
                wxString sWhole;
                int nPieces = 0;
                wxString sLast;
                tStreamXMLChildren(pBody, bEscape, bCDATA, sLast, nFlushAt,
                                   [&](wxString& sPiece)
                                   {
                                       EXPECT_GE(sPiece.length(), nFlushAt);
                                       sWhole += sPiece;
                                       sPiece.clear();
                                       ++nPieces;
                                   });
                sWhole += sLast;
                EXPECT_EQ(sWhole, pBody->GenerateXMLChildren(bEscape, bCDATA)) << bEscape << bCDATA << nFlushAt;
                EXPECT_EQ(nPieces == 0, nFlushAt > 100000) << nFlushAt;
            }

    tcNode* pEmpty = d.Node("target");
    EXPECT_FALSE(tWritesXMLChildren(pEmpty, true));
    pEmpty->AddChildLast(d.doc.AllocateTextNode(L""));
    EXPECT_FALSE(tWritesXMLChildren(pEmpty, true));
    pEmpty->AddChildLast(d.doc.AllocateCDataNode(L""));
    EXPECT_FALSE(tWritesXMLChildren(pEmpty, false));
    EXPECT_TRUE(tWritesXMLChildren(pEmpty, true));
    EXPECT_TRUE(tWritesXMLChildren(pBody, false));
}

TEST(NodeXML, TreesOfAnyDepthAreWrittenWithoutRunningOutOfStack)
{
    // Deep enough that writing one level per nested call would overflow the stack (a script can
    // build such a chain).
    const int nDepth = 200000;
    DomDoc d;
    tcElement* pKind = d.Kind("g");
    tcNode* pTop = d.doc.AllocateElement(pKind);
    ASSERT_TRUE(pTop->ParseXML(L"x", &d.doc, 0, 0));
    for (int i = 1; i < nDepth; ++i)
    {
        tcNode* pParent = d.doc.AllocateElement(pKind);
        ASSERT_TRUE(pParent->AddChildLast(pTop));
        pTop = pParent;
    }
    ASSERT_TRUE(d.pSection->AddChildLast(pTop));
    wxString sExpected;
    for (int i = 0; i < nDepth; ++i)
        sExpected += L"<g>";
    sExpected += L"x";
    for (int i = 0; i < nDepth; ++i)
        sExpected += L"</g>";
    EXPECT_TRUE(pTop->GenerateXML() == sExpected);
    EXPECT_TRUE(pTop->GenerateXMLChildren() == sExpected.substr(3, sExpected.length() - 7));
}

TEST(NodeXML, LeafOverridesWriteLikeTheirParent)
{
    DomDoc d;
    tcText* pText = d.doc.AllocateTextNode(L"a'b < c &lt;");
    EXPECT_EQ(pText->GenerateXML(), L"a'b &lt; c &amp;lt;");
    EXPECT_EQ(pText->GenerateXML(false, false), L"a'b < c &lt;");
    tcCDATA* pCData = d.doc.AllocateCDataNode(L"x]]>y");
    EXPECT_EQ(pCData->GenerateXML(), L"<![CDATA[x]]]]><![CDATA[>y]]>");
    EXPECT_EQ(pCData->GenerateXML(true, false), L"x]]&gt;y");
    tcErrorNode* pError = d.doc.AllocateErrorNode(PARSEERROR_UNESCAPEDLT, L"a < b", L"use &lt;");
    EXPECT_EQ(pError->GenerateXML(), L"a &lt; b");
    EXPECT_EQ(pError->GenerateXML(false, false), L"a < b");
}

TEST(NodeXML, ForbiddenCharactersBecomeReplacementCharacters)
{
    DomDoc d;
    tcNode* pSeg = d.Node("seg");
    pSeg->AddChildLast(d.doc.AllocateTextNode(L"form\x0C"
                                              L"feed"));
    pSeg->AddChildLast(d.doc.AllocateCDataNode(L"nul\x01"));
    tcLogCapture log;
    EXPECT_EQ(pSeg->GenerateXMLChildren(), L"form\xFFFD"
                                           L"feed<![CDATA[nul\xFFFD]]>");
    EXPECT_TRUE(log.Contains(L"U+FFFD"));
}

// ----- Reading --------------------------------------------------------------------------------------

TEST(NodeXML, TheSameSentenceSerialisesAlikeWhicheverWayItArrived)
{
    DomDoc d;
    const wchar_t* kInputs[] = {L"it's <g>a</g> &amp; b", L"it&apos;s <g>a</g> &amp; b", L"it&#39;s <g>a</g> &#38; b",
                                L"it&#x27;s <g>a</g><!-- note --> &amp; b"};
    for (const wchar_t* szInput : kInputs)
    {
        tcNode* pSeg = d.Node("seg");
        ASSERT_TRUE(pSeg->ParseXML(szInput, &d.doc)) << wxString(szInput);
        EXPECT_EQ(pSeg->GenerateXMLChildren(true, true), L"it's <g>a</g> &amp; b") << wxString(szInput);
    }
    // As an importer stores it: decoded text.
    tcNode* pSeg = d.Node("seg");
    pSeg->AddChildLast(d.doc.AllocateTextNode(L"it's "));
    tcNode* pG = d.Node("g");
    pG->AddChildLast(d.doc.AllocateTextNode("a"));
    pSeg->AddChildLast(pG);
    pSeg->AddChildLast(d.doc.AllocateTextNode(L" & b"));
    EXPECT_EQ(pSeg->GenerateXMLChildren(true, true), L"it's <g>a</g> &amp; b");
}

TEST(NodeXML, LiteralReferenceTextSurvivesWriteAndParse)
{
    // A sentence about markup ("write &lt; for <") must not lose a level of escaping per save.
    DomDoc d;
    tcNode* pSeg = d.Node("seg");
    pSeg->AddChildLast(d.doc.AllocateTextNode(L"write &lt; for < and &amp;amp; for &amp;"));
    const wxString sMarkup = pSeg->GenerateXMLChildren(true, true);
    tcNode* pBack = d.Node("seg");
    ASSERT_TRUE(pBack->ParseXML(sMarkup, &d.doc));
    EXPECT_EQ(pBack->GenerateXMLChildren(false, false), L"write &lt; for < and &amp;amp; for &amp;");
    EXPECT_EQ(pBack->GenerateXMLChildren(true, true), sMarkup);
}

TEST(NodeXML, ParseDeclaresUnknownKindsAndAttributesAndAllowsText)
{
    DomDoc d;
    tcElement* pSegKind = d.Kind("seg");
    tcElement* pItKind = d.Kind("it", pSegKind);
    pItKind->SetAllowPCDATA(false);
    pSegKind->SetAllowPCDATA(false);
    tcNode* pSeg = d.doc.AllocateElement(pSegKind);
    ASSERT_TRUE(pSeg->ParseXML(L"a <hi type=\"bold\" x='1'>b<bpt i=\"1\" x=\"2\">&lt;i&gt;</bpt></hi>"
                               L"<it pos=\"open\"><![CDATA[<i>]]></it>",
                               &d.doc));

    tcDTD* pDTD = d.doc.GetDTD();
    tcElement* pHi = pDTD->FindElementByName("hi");
    tcElement* pBpt = pDTD->FindElementByName("bpt");
    ASSERT_TRUE(pHi && pBpt);
    EXPECT_TRUE(pSegKind->AllowsPCDATA());
    EXPECT_TRUE(pHi->AllowsPCDATA());
    EXPECT_TRUE(pBpt->AllowsPCDATA());
    EXPECT_TRUE(pItKind->AllowsPCDATA()); // declared without text, filled with CDATA
    EXPECT_NE(pSegKind->FindChildByID(pHi->GetID()), nullptr);
    EXPECT_NE(pHi->FindChildByID(pBpt->GetID()), nullptr);
    ASSERT_NE(pBpt->FindAttributeByName("i"), nullptr);
    EXPECT_EQ(pBpt->FindAttributeByName("x")->GetType(), ATTR_CDATA);
    EXPECT_EQ(pBpt->FindAttributeByName("x")->GetDefaultType(), ATTRDEF_IMPLIED);
    EXPECT_NE(pItKind->FindAttributeByName("pos"), nullptr);

    EXPECT_EQ(ChildNames(pSeg), (std::vector<std::string>{"#text", "hi", "it"}));
    tcNode* pHiNode = pSeg->GetChild(1);
    EXPECT_EQ(pHiNode->GetAttributeSByName("type"), "bold");
    EXPECT_EQ(pHiNode->GetAttributeSByName("x"), "1");
    EXPECT_EQ(static_cast<tcText*>(pHiNode->GetChild(1)->GetChild(0))->GetText(), L"<i>");
    EXPECT_EQ(static_cast<tcCDATA*>(pSeg->GetChild(2)->GetChild(0))->GetText(), L"<i>");
    EXPECT_NE(pSeg->GetID(), pHiNode->GetID());
    EXPECT_NE(pHiNode->GetID(), idNULL);
    EXPECT_FALSE(d.doc.IsDirty());
}

TEST(NodeXML, ParseReplacesTheChildren)
{
    DomDoc d;
    tcNode* pTarget = d.Node("target");
    ASSERT_TRUE(pTarget->ParseXML(L"<mrk mid=\"1\">old</mrk>", &d.doc));
    ASSERT_TRUE(pTarget->ParseXML(L"new", &d.doc));
    EXPECT_EQ(ChildNames(pTarget), (std::vector<std::string>{"#text"}));
    EXPECT_EQ(pTarget->GenerateXMLChildren(), L"new");
    ASSERT_TRUE(pTarget->ParseXML(L"", &d.doc));
    EXPECT_EQ(pTarget->GetNumChildren(), 0);
}

TEST(NodeXML, ParseNormalisesAsAnXMLParserDoes)
{
    DomDoc d;
    tcDTD* pDTD = d.doc.GetDTD();
    pDTD->AddEntity("nbsp", L"\x00A0");
    const struct
    {
        const wchar_t* szInput;
        const wchar_t* szOutput;
    } kCases[] = {
        {L"a\r\nb\rc", L"a\nb\nc"},
        {L"a&#13;b", L"a&#13;b"},
        {L"<g x=\"1\t2\n3\r\n4\" y=\"&#9;&#10;&#13;\"/>", L"<g x=\"1 2 3 4\" y=\"&#9;&#10;&#13;\"/>"},
        {L"<g></g><g>  </g>", L"<g/><g>  </g>"},
        {L"a<!-- skipped -->b<?pi skipped?>c", L"abc"},
        {L"<![CDATA[a]]]]><![CDATA[>b]]>", L"<![CDATA[a]]]]><![CDATA[>b]]>"},
        {L"<![CDATA[]]>", L"<![CDATA[]]>"},
        {L"x&nbsp;y&#x1F600;", L"x\x00A0y\U0001F600"},
        {L"\x01raw control", L"\xFFFDraw control"},
        {L"<?xml version=\"1.0\"?><g/>", L"<g/>"},
    };
    for (const auto& c : kCases)
    {
        tcNode* pNode = d.Node("seg");
        ASSERT_TRUE(pNode->ParseXML(c.szInput, &d.doc)) << wxString(c.szInput);
        EXPECT_EQ(pNode->GenerateXMLChildren(), c.szOutput) << wxString(c.szInput);
    }
    // Sections the writer split around "]]>" read back as the one CDATA node they came from.
    tcNode* pNode = d.Node("seg");
    ASSERT_TRUE(pNode->ParseXML(L"<![CDATA[a]]]]><![CDATA[>b]]>", &d.doc));
    ASSERT_EQ(pNode->GetNumChildren(), 1);
    EXPECT_EQ(static_cast<tcCDATA*>(pNode->GetChild(0))->GetText(), L"a]]>b");
}

TEST(NodeXML, CDATAContentSurvivesWritingAndReading)
{
    DomDoc d;
    const wxString sContent = L"<p>]]></p>\r\n<!-- ]]]> -->";
    tcNode* pFile = d.Node("internal-file");
    pFile->AddChildLast(d.doc.AllocateCDataNode(sContent));
    tcNode* pCopy = d.Node("internal-file");
    ASSERT_TRUE(pCopy->ParseXML(pFile->GenerateXMLChildren(), &d.doc));
    EXPECT_EQ(pCopy->GenerateXMLChildren(false, false), sContent);
    EXPECT_EQ(pCopy->GenerateXMLChildren(), pFile->GenerateXMLChildren());
}

TEST(NodeXML, MalformedInputFailsAndChangesNothing)
{
    const wchar_t* kBad[] = {
        L"<a>",
        L"</a>",
        L"<a></b>",
        L"<a><b></a></b>",
        L"a & b",
        L"&unknown;",
        L"&#0;",
        L"&#xD800;",
        L"&;",
        L"<a x=1/>",
        L"<a x=\"1\" x=\"2\"/>",
        L"<a x=\"1\"y=\"2\"/>",
        L"<a x=\"<\"/>",
        L"<a x=\"1/>",
        L"<a x/>",
        L"<1a/>",
        L"< a/>",
        L"<![CDATA[open",
        L"<!-- open",
        L"<?pi open",
        L"text ]]> text",
        L"<!DOCTYPE x><x/>",
        L"<new-kind new-attr=\"1\"></new-kind",
    };
    for (const wchar_t* szBad : kBad)
    {
        DomDoc d;
        tcNode* pNode = d.Node("seg");
        ASSERT_TRUE(pNode->ParseXML(L"<keep k=\"1\">kept</keep>", &d.doc));
        const int nKinds = d.doc.GetDTD()->GetNumElements();
        const int nAttributes = d.doc.GetDTD()->FindElementByName("keep")->GetNumAttributes();
        const bool bPCDATA = d.doc.GetDTD()->FindElementByName("seg")->AllowsPCDATA();

        EXPECT_FALSE(pNode->ParseXML(szBad, &d.doc)) << wxString(szBad);
        EXPECT_EQ(pNode->GenerateXMLChildren(), L"<keep k=\"1\">kept</keep>") << wxString(szBad);
        EXPECT_EQ(d.doc.GetDTD()->GetNumElements(), nKinds) << wxString(szBad);
        EXPECT_EQ(d.doc.GetDTD()->FindElementByName("keep")->GetNumAttributes(), nAttributes);
        EXPECT_EQ(d.doc.GetDTD()->FindElementByName("seg")->AllowsPCDATA(), bPCDATA);
    }
}

TEST(NodeXML, LeafParsing)
{
    DomDoc d;
    tcText* pText = d.doc.AllocateTextNode(L"before");
    EXPECT_TRUE(pText->ParseXML(L"a &amp; b&#x21;", &d.doc));
    EXPECT_EQ(pText->GetText(), L"a & b!");
    for (const wchar_t* szBad : {L"<b/>", L"<![CDATA[x]]>", L"a & b"})
    {
        EXPECT_FALSE(pText->ParseXML(szBad, &d.doc)) << wxString(szBad);
        EXPECT_EQ(pText->GetText(), L"a & b!");
    }
    EXPECT_TRUE(pText->ParseXML(L"", &d.doc));
    EXPECT_EQ(pText->GetText(), L"");

    tcCDATA* pCData = d.doc.AllocateCDataNode();
    EXPECT_TRUE(pCData->ParseXML(L"<b>&amp;</b>", &d.doc));
    EXPECT_EQ(pCData->GetText(), L"<b>&amp;</b>");

    tcErrorNode* pError = d.doc.AllocateErrorNode();
    EXPECT_FALSE(pError->ParseXML(L"<b/>", &d.doc));
    EXPECT_EQ(pError->GetNumChildren(), 0);
}
