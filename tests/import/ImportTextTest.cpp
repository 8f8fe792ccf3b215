#include "tests/import/ImportTestUtil.h"

#include "import/TMXImporter.h"
#include "tests/harness/TempHome.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcEvent.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string_view>

namespace fs = std::filesystem;

namespace
{
// The generic importer with the comment announcement and the references switch in reach.
class TextImporter : public TestImporter
{
public:
    using CXMLImporter::m_bZeroWidthSpaces;
    using CXMLImporter::m_dtd;

    // Reference types named by text need labels, which native files bring in their DTD section.
    bool bAddRefLabels = false;

    void endDocument() override
    {
        if (bAddRefLabels && m_pDoc)
        {
            tcDTD* pDTD = m_pDoc->GetDTD();
            auto pFirst = std::make_unique<tcRefLabelSet>("Labels");
            pFirst->AddLabel(3, "Synonym", "Synonyms");
            pDTD->AddRefLabelSet(std::move(pFirst));
            // A label with identifier -1 ends its set: "Hidden" after it names no type.
            auto pSecond = std::make_unique<tcRefLabelSet>("Cut");
            pSecond->AddLabel(-1, "Stop", "Stop");
            pSecond->AddLabel(4, "Hidden", "Hidden");
            pDTD->AddRefLabelSet(std::move(pSecond));
        }
        TestImporter::endDocument();
    }
};

fs::path WriteTemp(const std::string& sName, const std::string& sXML)
{
    const fs::path path = TempHomeListener::Current() / sName;
    WriteBytes(path, sXML);
    return path;
}

// Passes a comment with its length and, after it, text that is not part of it: only the length
// tells where the comment ends.
void Comment(CXMLImporter& importer, std::u16string_view sText)
{
    const std::u16string sBuffer = std::u16string(sText) + u", rtl ExportListValuesByText: ON";
    importer.comment(sBuffer.data(), sText.size());
}

// The tree of the first entry of the first section.
wxString EntryTree(const tcDocument& doc)
{
    const tcDictionary* pDictionary = doc.GetDictionary();
    const tcLanguage* pSection = pDictionary ? pDictionary->GetLanguage(0) : nullptr;
    return DumpTree(pSection ? pSection->GetEntry(0) : nullptr);
}
} // namespace

TEST(ImportText, TextAndCDATAReachTheirNodesAsOneDecodedPiece)
{
    struct Case
    {
        const char* szName;
        std::string sXML;
        const char* szTree;
    };
    const std::string sZWSPOn = "<!-- UseZeroWidthSpacesToPreventConversionOfPCDataToElements: ON -->";
    const Case aCases[] = {
        // The parser splits text at every reference; the pieces make one node of decoded text.
        {"entity pieces", "<d><s><e LemmaSign=\"k\"><p>a &amp;lt; b &amp; c &#x263A;</p></e></s></d>",
         "e LemmaSign=\"k\"\n  p\n    \"a &lt; b & c \u263A\"\n"},
        {"comment between pieces", "<d><s><e LemmaSign=\"k\"><p>x<!-- note -->y</p></e></s></d>",
         "e LemmaSign=\"k\"\n  p\n    \"xy\"\n"},
        // Only line feeds and tabs go outside a preserve scope; carriage returns and blanks stay.
        {"line ends", "<d><s><e LemmaSign=\"k\"><p>a&#13;&#10;b&#9;c d</p></e></s></d>",
         "e LemmaSign=\"k\"\n  p\n    \"a\rbc d\"\n"},
        // Sections following each other directly are one text (writers split "]]>" so).
        {"split CDATA", "<d><s><e LemmaSign=\"k\"><p><![CDATA[a]]]]><![CDATA[>b]]></p></e></s></d>",
         "e LemmaSign=\"k\"\n  p\n    [[a]]>b]]\n"},
        {"empty CDATA", "<d><s><e LemmaSign=\"k\"><p><![CDATA[]]></p></e></s></d>",
         "e LemmaSign=\"k\"\n  p\n    [[]]\n"},
        {"CDATA between text", "<d><s><e LemmaSign=\"k\"><p>t<![CDATA[<c> &amp;]]>u</p></e></s></d>",
         "e LemmaSign=\"k\"\n  p\n    \"t\"\n    [[<c> &amp;]]\n    \"u\"\n"},
        // Text outside an entry has no place.
        {"outside entries", "<d>x<s>y<e LemmaSign=\"k\">z</e></s></d>", "e LemmaSign=\"k\"\n  \"z\"\n"},
        // Zero-width spaces go at the ends of the whole text, not at the ends of its pieces.
        {"zero-width ends", sZWSPOn + "<d><s><e LemmaSign=\"k\"><p>&#x200B;w&#x200B;</p><q>&#x200B;</q></e></s></d>",
         "e LemmaSign=\"k\"\n  p\n    \"w\"\n  q\n"},
        {"zero-width inside", sZWSPOn + "<d><s><e LemmaSign=\"k\"><p>a&#x200B;&amp;&#x200B;b&#x200B;</p></e></s></d>",
         "e LemmaSign=\"k\"\n  p\n    \"a\u200B&\u200Bb\"\n"},
    };
    for (const Case& c : aCases)
    {
        TextImporter importer;
        importer.m_bCaptureCDATA = true;
        tcDocument doc;
        const LoadOutcome outcome = LoadInto(importer, doc, WriteTemp("text.xml", c.sXML));
        ASSERT_EQ(outcome.nResult, 0) << c.szName;
        EXPECT_TRUE(outcome.asErrors.empty()) << c.szName;
        EXPECT_EQ(EntryTree(doc).utf8_string(), c.szTree) << c.szName;
        const tcLanguage* pSection = doc.GetDictionary()->GetLanguage(0);
        EXPECT_EQ(pSection->GetNumChildren(), pSection->GetNumEntries()) << c.szName;
        EXPECT_EQ(doc.GetDictionary()->GetNumChildren(), 1) << c.szName;
    }
}

TEST(ImportText, MemoryTextReadsAndSerialisesLikeTheSameContentParsedAsAFragment)
{
    // An identical sentence must index alike whether the memory file brought it or a translation
    // was parsed into the memory.
    const char* const aszContents[] = {
        "a &amp;lt; b",
        "it&apos;s &quot;q&quot; &lt;x&gt; &amp; y",
        "AT&amp;amp;T &amp;quot;",
        "a <hi type=\"b\">b &amp; c</hi> d",
        "x<![CDATA[<y> &amp;]]>z",
        "&#x1F600; caf&#xE9;",
    };
    for (const char* szContent : aszContents)
    {
        const std::string sXML = std::string("<tmx version=\"1.4\"><header/><body><tu><tuv xml:lang=\"en\"><seg>") +
                                 szContent + "</seg></tuv></tu></body></tmx>";
        CTMXImporter importer;
        tcDocument doc;
        ASSERT_EQ(LoadInto(importer, doc, WriteTemp("m.tmx", sXML)).nResult, 0) << szContent;
        const tcElement* pSegKind = doc.GetDTD()->FindElementByName("seg");
        ASSERT_NE(pSegKind, nullptr);
        const tcNode* pSeg = doc.GetDictionary()->GetNthDescendantOfElementType(pSegKind->GetID(), 0);
        ASSERT_NE(pSeg, nullptr);

        tcNode* pParsed = doc.AllocateElement(const_cast<tcElement*>(pSegKind));
        ASSERT_TRUE(pParsed->ParseXML(wxString::FromUTF8(szContent), &doc)) << szContent;
        EXPECT_EQ(DumpTree(pSeg).utf8_string(), DumpTree(pParsed).utf8_string()) << szContent;
        EXPECT_EQ(pSeg->GenerateXMLChildren(true, true).utf8_string(),
                  pParsed->GenerateXMLChildren(true, true).utf8_string())
            << szContent;
    }
}

TEST(ImportText, MetadataCommentsSetSwitchesAndAnnounceTheNextAttribute)
{
    struct Case
    {
        const char* szComment;
        std::optional<int> nType; // empty: no announcement left
        const char* szList;
        int nDefault;
        bool bRTL;
        const char* szError; // the load error, or null
    };
    const Case aCases[] = {
        {" ATTDATA LDATA, Colours, #REQUIRED, rtl ", ATTR_LIST, "Colours", ATTRDEF_REQUIRED, true, nullptr},
        {"ATTDATA NDATA,NONE,#NORMAL,ltr", ATTR_NDATA, "", ATTRDEF_VALUE, false, nullptr},
        {"ATTDATA LNDATA,l,#DATECHANGED,ltr", ATTR_LISTN, "l", ATTRDEF_DATECHANGED, false, nullptr},
        {"ATTDATA LNSDATA,l,#HYPERLINK,ltr", ATTR_LISTNS, "l", ATTRDEF_HYPERLINK, false, nullptr},
        {"ATTDATA LUASCRIPTDATA,NONE,#FIXED,ltr", ATTR_LUASCRIPT, "", ATTRDEF_FIXED, false, nullptr},
        // The file writes quotes around a list name holding commas as "&quot;".
        {"ATTDATA LDATA,&quot;a, b&quot;,#IMPLIED,ltr", ATTR_LIST, "a, b", ATTRDEF_IMPLIED, false, nullptr},
        {"ATTDATA CDATA,NONE,#IMPLIED", std::nullopt, "", 0, false,
         "ATTLIST Metadata with too many or too few values 'ATTDATA CDATA,NONE,#IMPLIED' - ignored."},
        {"ATTDATA XDATA,NONE,#IMPLIED,ltr", std::nullopt, "", 0, false,
         "ATTLIST Metadata with Invalid Data type 'ATTDATA XDATA,NONE,#IMPLIED,ltr'- ignored."},
        {"ATTDATA CDATA,NONE,#SOMETIMES,ltr", std::nullopt, "", 0, false,
         "ATTLIST Metadata with Invalid type 'ATTDATA CDATA,NONE,#SOMETIMES,ltr' - ignored."},
        {"ATTDATA CDATA,NONE,#IMPLIED,up", std::nullopt, "", 0, false,
         "ATTLIST Metadata with Invalid text orientation value 'ATTDATA CDATA,NONE,#IMPLIED,up'- ignored."},
    };
    for (const Case& c : aCases)
    {
        TextImporter importer;
        // A failing announcement also drops the one before it.
        Comment(importer, u"ATTDATA CDATA,NONE,#IMPLIED,ltr");
        const std::u16string sComment = tToU16(wxString::FromUTF8(c.szComment));
        Comment(importer, sComment);
        const CXMLDTDDeclarations::Announcement pending = importer.m_dtd.GetAnnouncement();
        if (c.szError)
        {
            ASSERT_EQ(importer.GetNumLoadErrors(), 1) << c.szComment;
            EXPECT_EQ(importer.GetLoadError(0), c.szError);
        }
        else
            EXPECT_EQ(importer.GetNumLoadErrors(), 0) << c.szComment;
        if (!c.nType)
        {
            EXPECT_FALSE(pending.pnType || pending.pnDefault ||
                         pending.pbRTL || pending.psListName)
                << c.szComment;
            continue;
        }
        ASSERT_TRUE(pending.pnType && pending.pnDefault && pending.pbRTL &&
                    pending.psListName)
            << c.szComment;
        EXPECT_EQ(*pending.pnType, *c.nType) << c.szComment;
        EXPECT_EQ(*pending.psListName, c.szList) << c.szComment;
        EXPECT_EQ(*pending.pnDefault, c.nDefault) << c.szComment;
        EXPECT_EQ(*pending.pbRTL, c.bRTL) << c.szComment;
    }

    TextImporter importer;
    Comment(importer, u" just a note ");
    EXPECT_FALSE(importer.m_bListValuesByText || importer.m_bZeroWidthSpaces || importer.m_dtd.GetAnnouncement().pnType);
    Comment(importer, u"ExportListValuesByText: ON");
    Comment(importer, u"UseZeroWidthSpacesToPreventConversionOfPCDataToElements: ON");
    EXPECT_TRUE(importer.m_bListValuesByText);
    EXPECT_TRUE(importer.m_bZeroWidthSpaces);
    EXPECT_EQ(importer.GetNumLoadErrors(), 0);
}

namespace
{
struct Announcement
{
    void* pSender;
    wxString sNode;
};
std::vector<Announcement> s_aAnnounced;

void RecordInsertion(tcEvent*, void*, void* pSender, void* pNode)
{
    const tcNode* p = static_cast<const tcNode*>(pNode);
    s_aAnnounced.push_back({pSender, p->GetElementName() + "/" + p->GetAttributeSByName("n")});
}
} // namespace

TEST(ImportText, ElementEndsCloseTheirNodesAndAnnounceThemOnce)
{
    // A nested element named like the entry is a node: its end must not end the entry. The
    // references section and its nodes are not announced, nor is the entry itself.
    const char* const szXML = "<d><s><e LemmaSign=\"x\"><p n=\"1\">t<q n=\"2\"/></p><e n=\"3\"><r n=\"4\"/></e>"
                              "<References><reflemma lemmaid=\"1\" type=\"1\"/><o n=\"5\"/></References>"
                              "<p n=\"6\"/></e><e LemmaSign=\"y\"><p n=\"7\"><s n=\"8\"/></p></e></s></d>";
    s_aAnnounced.clear();
    int nOwner = 0;
    Evt_NodeInserted.AddHandler(&nOwner, RecordInsertion);
    TextImporter importer;
    tcDocument doc;
    const LoadOutcome outcome = LoadInto(importer, doc, WriteTemp("ends.xml", szXML));
    Evt_NodeInserted.RemoveHandler(&nOwner);

    ASSERT_EQ(outcome.nResult, 0);
    std::vector<wxString> asNodes;
    for (const Announcement& a : s_aAnnounced)
    {
        EXPECT_EQ(a.pSender, static_cast<tcIO*>(&importer));
        asNodes.push_back(a.sNode);
    }
    EXPECT_EQ(asNodes, (std::vector<wxString>{"q/2", "p/1", "r/4", "e/3", "p/6", "s/8", "p/7"}));
    EXPECT_EQ(DumpTree(doc.GetDictionary()->GetLanguage(0)).utf8_string(), "s\n"
                                                                           "  e LemmaSign=\"x\"\n"
                                                                           "    p n=\"1\"\n"
                                                                           "      \"t\"\n"
                                                                           "      q n=\"2\"\n"
                                                                           "    e n=\"3\"\n"
                                                                           "      r n=\"4\"\n"
                                                                           "    References\n"
                                                                           "      o n=\"5\"\n"
                                                                           "    p n=\"6\"\n"
                                                                           "  e LemmaSign=\"y\"\n"
                                                                           "    p n=\"7\"\n"
                                                                           "      s n=\"8\"\n");
    EXPECT_TRUE(importer.m_aNodeStack.empty());
    EXPECT_EQ(importer.m_eParseState, teXMLParseState::BeforeDictionary);
}

TEST(ImportText, CrossReferencesResolveByIdentifierAndByText)
{
    TextImporter importer;
    importer.bAddRefLabels = true;
    tcDocument doc;
    tcLogCapture log;
    const LoadOutcome outcome = LoadInto(importer, doc, ImportFixture("xrefs.xml"));
    ASSERT_EQ(outcome.nResult, 0);

    const auto Node = [&](int nFileID) { return static_cast<int>(importer.m_crossRefs.FileIDs().at(nFileID)); };
    std::map<int, int> mapNodeToFile;
    for (const auto& item : importer.m_crossRefs.FileIDs())
        mapNodeToFile[static_cast<int>(item.second)] = item.first;

    // The references as file identifiers: entry, type, senses.
    const tcNode* pEntryA = doc.GetDictionary()->GetLanguage(0)->GetEntry(0);
    const tcNode* pReferences = pEntryA->GetNthChildOfClassType(NODE_REFERENCES, 0);
    ASSERT_NE(pReferences, nullptr);
    wxString sRefs;
    for (const tcRef& ref : static_cast<const tcReferences*>(pReferences)->GetRefs())
    {
        sRefs += wxString::Format("%d:%d:", mapNodeToFile[ref.idEntry], ref.idRefType);
        for (tID idSense : ref.aidSenses)
            sRefs += wxString::Format(" %d", mapNodeToFile[idSense]);
        sRefs += "\n";
    }
    EXPECT_EQ(sRefs.utf8_string(), "11:3: 12\n"
                                   "20:3: 23 24 21\n");

    const std::vector<wxString> asExpected = {
        wxString::Format("Unable to create cross reference to sense number #4 of entry id %d. No such sense exists...",
                         Node(20)),
        wxString::Format(
            "Unable to create cross reference to sense range 4-1000000000 of entry id %d. No such sense exists...",
            Node(20)),
        "Unable to create cross reference to lemma #zz , as no such lemma exists.",
        "Unable to create cross reference to lemma #b with homonym number #7 , as no such lemma exists.",
        "Unable to create cross reference to lemma #zz , as no such lemma exists.",
        "Unable to create cross reference to sense range 1-1 of entry id 0. No such sense exists...",
        "Unable to create cross reference invalid type provided [nonsense]",
        "Unable to create cross reference invalid type provided [Hidden]",
        wxString::Format(
            "Unable to create cross-reference to sense #%d of entry #%d, The entry has a child of this ID, "
            "but it is not of type 'sense'.",
            Node(22), Node(20)),
        wxString::Format("Unable to create cross-reference to sense Id #0 of entry #%d, as no such sense exists under "
                         "this entry.",
                         Node(20)),
        "Unable to create cross reference to lemma #0 , as no such lemma exists.",
        wxString::Format("Unable to create cross reference to lemma #%d , as no such lemma exists.", Node(2)),
    };
    EXPECT_EQ(outcome.asErrors, asExpected);
    EXPECT_TRUE(log.Contains("Possibly unhandled sensereference string (x:1)"));
    EXPECT_FALSE(log.Contains("Possibly unhandled sensereference string (2-4)"));
    EXPECT_TRUE(importer.m_crossRefs.Empty());
}
