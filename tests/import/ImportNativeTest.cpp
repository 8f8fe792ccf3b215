// Native dictionary files: the style-set and DTD sections, failed loads, merging, and the writer.

#include "tests/import/ImportTestUtil.h"
#include "tests/import/NativeDump.h"

#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tOutput.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcStyles.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{
std::filesystem::path NativeFixture(const std::string& sName)
{
    return ImportFixture("native/" + sName);
}

// A file in a fresh temporary folder, removed with the object.
class TempFile
{
public:
    explicit TempFile(const std::string& sName)
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("native_test_" + std::to_string(::getpid()) + "_" + std::to_string(s_nCount++));
        std::filesystem::create_directories(m_dir);
        m_path = m_dir / sName;
    }
    ~TempFile()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    const std::filesystem::path& Path() const { return m_path; }
    void Write(const std::string& sBytes) const
    {
        std::ofstream out(m_path, std::ios::binary);
        out << sBytes;
    }

private:
    static inline int s_nCount = 0;
    std::filesystem::path m_dir;
    std::filesystem::path m_path;
};

// The references of every references node, in document order: the entry holding them, and per
// reference the target's lemma, the type and the targeted senses as their positions in the
// target entry.
void DumpReferencesOf(const tcNode* pNode, wxString& sOut)
{
    if (pNode->IsKindOfClass(NODE_REFERENCES))
    {
        const auto* pRefs = static_cast<const tcReferences*>(pNode);
        const tcNode* pEntry = pNode;
        while (pEntry && !pEntry->IsKindOfClass(NODE_ENTRY))
            pEntry = pEntry->GetParent();
        sOut += "refs in " + (pEntry ? static_cast<const tcEntry*>(pEntry)->GetLemmaSign() : wxString("?")) + ":";
        for (int i = 0; i < pRefs->GetNumRefEntries(); ++i)
        {
            const tcEntry* pTarget = pRefs->GetRefEntry(i);
            sOut += wxString::Format(" ->%s/%d", pTarget ? pTarget->GetLemmaSign() : wxString("?"),
                                     pRefs->GetRefType(i));
            for (int j = 0; j < pRefs->GetNumRefSenses(i); ++j)
            {
                const tcNode* pSense = pRefs->GetRefSense(i, j);
                wxString sPath;
                for (const tcNode* p = pSense; p && p != pTarget; p = p->GetParent())
                    sPath = wxString::Format(".%d", p->FindOurIndex()) + sPath;
                sOut += "[" + sPath + "]";
            }
        }
        sOut += "\n";
    }
    for (const tcNode* pChild : pNode->GetChildren())
        DumpReferencesOf(pChild, sOut);
}

wxString DumpReferences(const tcDocument& doc)
{
    wxString sOut;
    if (doc.GetDictionary())
        DumpReferencesOf(doc.GetDictionary(), sOut);
    return sOut;
}

// Everything a native file carries, for comparing documents.
wxString DumpAll(const tcDocument& doc)
{
    return DumpDocument(doc) + "--\n" + DumpNative(doc) + "--\n" + DumpReferences(doc);
}

wxString ReadGolden(const std::string& sName)
{
    return ReadFixtureText(NativeFixture(sName));
}

std::vector<wxString> Errors(const CXMLImporter& importer)
{
    std::vector<wxString> asErrors;
    for (int i = 0; i < importer.GetNumLoadErrors(); ++i)
        asErrors.push_back(importer.GetLoadError(i));
    return asErrors;
}

// A native file: a small DTD (Lemma with Sense, which holds text and has the attributes level
// and note), the given sections, and a dictionary with one entry.
std::string NativeFile(const std::string& sSections)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE brindovaicon ["
           "<!ELEMENT brindovaicon (dtd?,styleset*,Dictionary)><!ELEMENT Dictionary (Language*)>"
           "<!ELEMENT Language (Lemma*)><!ELEMENT Lemma (Sense*)><!ELEMENT Sense (#PCDATA)>"
           "<!-- ATTDATA CDATA, NONE, #IMPLIED, ltr --><!ATTLIST Sense level CDATA #IMPLIED>"
           "<!-- ATTDATA CDATA, NONE, #IMPLIED, ltr --><!ATTLIST Sense note CDATA #IMPLIED>]><brindovaicon>" +
           sSections +
           "<Dictionary><Language Name=\"en\" id=\"7\"><Lemma LemmaSign=\"a\"><Sense>s</Sense></Lemma></Language>"
           "</Dictionary></brindovaicon>";
}

struct MessageCase
{
    const char* szName;
    std::string sSections;
    std::vector<wxString> asErrors;
    // Text the dump of the loaded document must hold, and must not hold (either may be empty).
    wxString sKept;
    wxString sDropped;
};

void RunMessageCases(const std::vector<MessageCase>& aCases, wxString (*pfnDump)(const tcDocument&))
{
    for (const MessageCase& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        TempFile file("case.xml");
        file.Write(NativeFile(c.sSections));
        TestImporter importer;
        tcDocument doc;
        const LoadOutcome outcome = LoadInto(importer, doc, file.Path());
        EXPECT_EQ(outcome.nResult, 0);
        EXPECT_EQ(outcome.asErrors, c.asErrors);
        // What loads can be saved again.
        std::string sBytes;
        EXPECT_TRUE(GenerateNative(&doc, nullptr, sBytes));
        const wxString sDump = pfnDump(doc);
        if (!c.sKept.empty())
        {
            EXPECT_TRUE(sDump.Contains(c.sKept)) << sDump;
        }
        if (!c.sDropped.empty())
        {
            EXPECT_FALSE(sDump.Contains(c.sDropped)) << sDump;
        }
    }
}

// Loads a file whole into doc (which must be fresh); the load's result.
int LoadWhole(tcDocument& doc, const std::filesystem::path& path, std::vector<wxString>* pasErrors = nullptr)
{
    TestImporter importer;
    const LoadOutcome outcome = LoadInto(importer, doc, path);
    if (pasErrors)
        *pasErrors = outcome.asErrors;
    return outcome.nResult;
}

int Merge(tcDocument& doc, const std::filesystem::path& path, std::vector<wxString>* pasErrors = nullptr)
{
    TestImporter importer;
    importer.AttachDoc(&doc);
    importer.OpenDatasource(wxString(path.wstring()));
    int nProgress = 0;
    const int nResult = importer.LoadMerge(nProgress, nullptr);
    if (pasErrors)
        *pasErrors = Errors(importer);
    return nResult;
}
} // namespace

// ---- Reading the sections ------------------------------------------------------------------------

TEST(ImportNative, StyleSetsReadIntoTheDocument)
{
    tcDocument doc;
    std::vector<wxString> asErrors;
    ASSERT_EQ(LoadWhole(doc, NativeFixture("stylesets.xml"), &asErrors), 0);
    EXPECT_EQ(asErrors, std::vector<wxString>{});
    EXPECT_EQ(DumpStyleSets(doc), ReadGolden("stylesets.dump"));
    // The order item of a kind the DTD lacked made the kind, with its relation.
    const wxString sKinds = DumpKinds(doc);
    EXPECT_TRUE(sKinds.Contains("Lemma class=4 text children=[Sense* Usage*]")) << sKinds;
    EXPECT_TRUE(sKinds.Contains(" Usage class=0 children=[]")) << sKinds;
}

TEST(ImportNative, DTDSectionReadIntoTheDocument)
{
    tcDocument doc;
    std::vector<wxString> asErrors;
    ASSERT_EQ(LoadWhole(doc, NativeFixture("dtdsection.xml"), &asErrors), 0);
    EXPECT_EQ(asErrors, (std::vector<wxString>{"Warning: Special type element with missing attributes",
                                                "Invalid attribute type \"extra\" on special type element.",
                                                "Warning: cross reference labelset with no name specified, not added."}));
    EXPECT_EQ(DumpDTDSection(doc) + "--\n" + DumpReferences(doc), ReadGolden("dtdsection.dump"));
    // The list attributes got their lists; list values given by identifier name their items.
    EXPECT_TRUE(DumpTree(doc.GetDictionary()).Contains("Sense colour=\"red\" size=\"S,L\"")) << DumpTree(doc.GetDictionary());
}

// ---- Messages ------------------------------------------------------------------------------------

TEST(ImportNative, StyleSetMessages)
{
    const std::string sSet = "<styleset name=\"S\"><order/><order_element elementname=\"Sense\"/>";
    const std::string sLevel = "<style type=\"attribute\" elementname=\"Sense\" attributename=\"level\"/>";
    const std::string sNumber = "<style_autonumber type=\"1\" always=\"1\" breadth=\"1\" depth=\"1\"/>";
    const std::vector<MessageCase> aCases = {
        {"rejected set rejects its order and styles",
         "<styleset><order/><style type=\"element\" elementname=\"Sense\" attributename=\"\" bold=\"1\"/>"
         "</styleset>",
         {"styleset with invalid name attribute : not added", "order with no valid styleset to be added too: ignored",
          "style with no valid styleset to be added to: not added"},
         "styleset \"Default\"",
         " b=1 "},
        {"order element without an order",
         "<styleset name=\"S\"><order_element elementname=\"Sense\"/><order_item type=\"pcdata\" name=\"\" "
         "visible=\"1\"/></styleset>",
         {"order_element with no valid order: ignored", "order_item with no valid order element: ignored"},
         "styleset \"S\"",
         "order Sense"},
        {"order element without a name keeps the earlier one",
         sSet + "<order_element/><order_item type=\"pcdata\" name=\"\" visible=\"1\"/></styleset>",
         {"Order element with no name - ignored"},
         "order Sense: #text",
         ""},
        {"order item after a rejected set",
         sSet + "</styleset><styleset><order_item type=\"pcdata\" name=\"\" visible=\"1\"/></styleset>",
         {"styleset with invalid name attribute : not added", "order_item with no valid order element: ignored"},
         "styleset \"S\"",
         "order Sense"},
        {"order item without any attribute", sSet + "<order_item/></styleset>",
         {"order_item with no valid type attribute: not added"}, "", "order Sense"},
        {"order item without a name", sSet + "<order_item type=\"pcdata\" visible=\"1\"/></styleset>",
         {"order_item with no valid name attribute: not added"}, "", "order Sense"},
        {"order item without visibility", sSet + "<order_item type=\"pcdata\" name=\"\"/></styleset>",
         {"order_item with no valid visible attribute: not added"}, "", "order Sense"},
        {"order item naming no attribute",
         sSet + "<order_item type=\"attribute\" name=\"\" visible=\"1\"/></styleset>",
         {"order_item with no valid name attribute: not added"}, "", "order Sense"},
        {"order item naming an element no file can hold",
         sSet + "<order_item type=\"element\" name=\"a b\" visible=\"1\"/><order_item type=\"element\" "
                "name=\"x:y\" visible=\"1\"/><order_item type=\"element\" name=\"brindovaicon\" visible=\"1\"/>"
                "</styleset>",
         {"order_item with no valid name attribute: not added", "order_item with no valid name attribute: not added",
          "order_item with no valid name attribute: not added"},
         "",
         "order Sense"},
        {"order item naming an attribute no file can hold",
         sSet + "<order_item type=\"attribute\" name=\"a b\" visible=\"1\"/></styleset>",
         {"order_item with no valid name attribute: not added"}, "", "order Sense"},
        {"order item of an unknown type", sSet + "<order_item type=\"bogus\" name=\"x\" visible=\"1\"/></styleset>",
         {"orderitem with invalid type 'bogus', not added."}, "", "order Sense"},
        {"type not first",
         "<styleset name=\"S\"><style elementname=\"Sense\" type=\"element\" attributename=\"\"/></styleset>",
         {"the 'type' attribute must appear first: not added"}, "styleset \"S\"", "style Sense"},
        {"unknown style type",
         "<styleset name=\"S\"><style type=\"other\" elementname=\"Sense\" attributename=\"\"/></styleset>",
         {"Style with invalid type 'other', not added."}, "", "style Sense"},
        {"elementname not second",
         "<styleset name=\"S\"><style type=\"element\" attributename=\"\" elementname=\"Sense\"/></styleset>",
         {"the 'elementname' attribute must appear second: not added"}, "", "style Sense"},
        {"unknown element kind",
         "<styleset name=\"S\"><style type=\"element\" elementname=\"Nope\" attributename=\"\"/></styleset>",
         {"style with invalid 'elementname': not added"}, "", "style Nope"},
        {"element style without attributename",
         "<styleset name=\"S\"><style type=\"element\" elementname=\"Sense\" bold=\"1\"/></styleset>",
         {"the 'attributename' attribute must appear third: not added"}, "", "style Sense"},
        {"unknown attribute; numbering goes to the last attribute style made",
         "<styleset name=\"S\">" + sLevel +
             "<style type=\"attribute\" elementname=\"Sense\" attributename=\"zzz\"/>" + sNumber + "</styleset>",
         {"style with invalid 'attributename': not added"},
         "    autonumber type=1 always=1 breadth=1 depth=1",
         "Sense@zzz"},
        {"numbering without type", "<styleset name=\"S\">" + sLevel + "<style_autonumber always=\"1\"/></styleset>",
         {"style_autonumber with invalid type attribute: not added"}, "", "autonumber"},
        {"numbering without always",
         "<styleset name=\"S\">" + sLevel + "<style_autonumber type=\"1\" breadth=\"1\" depth=\"1\"/></styleset>",
         {"style_autonumber with invalid always attribute : not added"}, "", "autonumber"},
        {"numbering without breadth",
         "<styleset name=\"S\">" + sLevel + "<style_autonumber type=\"1\" always=\"1\" depth=\"1\"/></styleset>",
         {"style_autonumber with invalid breadth attribute : not added"}, "", "autonumber"},
        {"numbering without depth",
         "<styleset name=\"S\">" + sLevel + "<style_autonumber type=\"1\" always=\"1\" breadth=\"1\"/></styleset>",
         {"style_autonumber with invalid depth attribute: not added"}, "", "autonumber"},
        {"numbering before any attribute style",
         "<styleset name=\"S\"><style type=\"element\" elementname=\"Sense\" attributename=\"\"/>" + sNumber +
             "</styleset>",
         {"style_autonumber with no attribute style to add to: not added"}, "style Sense:", "autonumber"},
    };
    RunMessageCases(aCases, &DumpStyleSets);
}

TEST(ImportNative, DTDSectionMessages)
{
    const std::string sList = "<dtdlist id=\"1\" name=\"L\"/>";
    const std::vector<MessageCase> aCases = {
        {"special with a foreign attribute",
         "<dtd><specialtypes><special extra=\"1\" type=\"2\" section=\"7\" elem=\"Sense\"/></specialtypes></dtd>",
         {"Invalid attribute type \"extra\" on special type element."}, "", "sense="},
        {"special without elem",
         "<dtd><specialtypes><special type=\"2\" section=\"7\"/></specialtypes></dtd>",
         {"Warning: Special type element with missing attributes"}, "", "sense="},
        {"special whose type is no whole number",
         "<dtd><specialtypes><special type=\"x\" section=\"7\" elem=\"Sense\" attr=\"level\"/></specialtypes></dtd>",
         {"Warning: Special type element with missing attributes"}, "", "te="},
        {"special after its group ended",
         "<dtd><specialtypes/><special type=\"2\" section=\"7\" elem=\"Sense\"/></dtd>", {}, "", "sense="},
        {"list without id", "<dtd><dtdlist name=\"L\"/></dtd>", {"dtdlist with no id, not added."}, "", "\"L\""},
        {"list without name", "<dtd><dtdlist id=\"1\"/></dtd>", {"dtdlist with no name, not added."}, "", "list 1 "},
        {"item after a list whose id is no number",
         "<dtd><dtdlist id=\"x\" name=\"L\"/><dtdlistitem id=\"1\" name=\"a\"/></dtd>",
         {"dtdlist with invalid id #, not added.", "dtdlistitem with no dtdlist specified, not added."}, "",
         "\"L\""},
        {"list whose id leaves no next one",
         "<dtd><dtdlist id=\"2147483647\" name=\"L\"/><dtdlist id=\"2147483648\" name=\"M\"/></dtd>",
         {"dtdlist with invalid id #, not added.", "dtdlist with invalid id #, not added."}, "", "\"L\""},
        {"item whose id leaves no next one", "<dtd>" + sList + "<dtdlistitem id=\"2147483647\" name=\"a\"/></dtd>",
         {"dtdlistitem: Invalid list item ID (2147483647,a)"}, "list 1 \"L\":\n", "\"a\""},
        {"item without id", "<dtd>" + sList + "<dtdlistitem name=\"a\"/></dtd>",
         {"dtdlistitem with no id, not added."}, "list 1 \"L\":\n", ""},
        {"item without name", "<dtd>" + sList + "<dtdlistitem id=\"1\"/></dtd>",
         {"dtdlistitem with no name, not added."}, "list 1 \"L\":\n", ""},
        {"item whose id is no number", "<dtd>" + sList + "<dtdlistitem id=\"x\" name=\"a\"/></dtd>",
         {"dtdlistitem: Invalid list item ID (x,a)"}, "list 1 \"L\":\n", ""},
        {"label set without a list", "<dtd><listlabelset name=\"de\"/></dtd>",
         {"listlabelset with no dtdlist specified, not added."}, "", "labels"},
        {"label set without name", "<dtd>" + sList + "<listlabelset/></dtd>",
         {"listlabelset with no name, not added."}, "", "labels"},
        {"label without a label set", "<dtd>" + sList + "<listlabel listitemid=\"1\" name=\"a\"/></dtd>",
         {"listlabel with no listlabelset specified, not added."}, "", "labels"},
        {"label without item id", "<dtd>" + sList + "<listlabelset name=\"de\"><listlabel name=\"a\"/></listlabelset></dtd>",
         {"listlabel with no listitemid, not added."}, "labels \"de\":\n", ""},
        {"label without name",
         "<dtd>" + sList + "<listlabelset name=\"de\"><listlabel listitemid=\"1\"/></listlabelset></dtd>",
         {"listlabel with no name, not added."}, "labels \"de\":\n", ""},
        {"label whose item id is no number: a warning only",
         "<dtd>" + sList + "<listlabelset name=\"de\"><listlabel listitemid=\"x\" name=\"a\"/></listlabelset></dtd>",
         {}, "labels \"de\":\n", ""},
        {"reference type without id", "<dtd><xreftype name=\"See\"/></dtd>",
         {"cross reference type with no id specified, not added."}, "", "xreftype"},
        {"reference type without name", "<dtd><xreftype id=\"1\"/></dtd>",
         {"cross reference type with no name specified, not added."}, "", "xreftype"},
        {"reference type whose id is no number: a warning only", "<dtd><xreftype id=\"x\" name=\"See\"/></dtd>", {},
         "", "xreftype"},
        {"label set of references without a name still collects",
         "<dtd><xreflabelset><xreflabel xreftypeid=\"1\" labels=\"s\" labelp=\"p\"/></xreflabelset></dtd>",
         {"Warning: cross reference labelset with no name specified, not added."},
         "xreflabels \"unnamed\": 1=\"s\"/\"p\"", ""},
        {"reference label before any label set",
         "<dtd><xreflabel xreftypeid=\"1\" labels=\"s\" labelp=\"p\"/></dtd>",
         {"cross reference label with no labelset specified, not added."}, "", "xreflabels"},
        {"reference label without type id",
         "<dtd><xreflabelset name=\"A\"><xreflabel labels=\"s\" labelp=\"p\"/></xreflabelset></dtd>",
         {"cross reference label with no type id specified, not added."}, "xreflabels \"A\":\n", ""},
        {"reference label without singular",
         "<dtd><xreflabelset name=\"A\"><xreflabel xreftypeid=\"1\" labelp=\"p\"/></xreflabelset></dtd>",
         {"cross reference label with no labels specified, not added."}, "xreflabels \"A\":\n", ""},
        {"reference label without plural",
         "<dtd><xreflabelset name=\"A\"><xreflabel xreftypeid=\"1\" labels=\"s\"/></xreflabelset></dtd>",
         {"cross reference label with no labelp specified, not added."}, "xreflabels \"A\":\n", ""},
    };
    RunMessageCases(aCases, &DumpDTDSection);
}

// ---- Failed loads and merging --------------------------------------------------------------------

TEST(ImportNative, FailedWholeLoadChangesNothing)
{
    for (const char* szFile : {"stop_order.xml", "truncated.xml"})
    {
        SCOPED_TRACE(szFile);
        tcDocument doc;
        doc.CreateDoc("test");
        const wxString sBefore = DumpNative(doc);
        TestImporter importer;
        importer.AttachDoc(&doc);
        importer.OpenDatasource(wxString(NativeFixture(szFile).wstring()));
        int nProgress = 0;
        EXPECT_EQ(importer.LoadDictionary(nProgress, nullptr), -1);
        const std::vector<wxString> asErrors = Errors(importer);
        ASSERT_FALSE(asErrors.empty());
        EXPECT_TRUE(asErrors.back().StartsWith("Fatal error in file ")) << asErrors.back();
        EXPECT_TRUE(asErrors.back().Contains(" at line ") && asErrors.back().Contains(" , column ")) << asErrors.back();
        EXPECT_EQ(DumpNative(doc), sBefore);
        EXPECT_EQ(doc.GetDictionary(), nullptr);
    }
    tcDocument doc;
    std::vector<wxString> asErrors;
    EXPECT_EQ(LoadWhole(doc, NativeFixture("stop_order.xml"), &asErrors), -1);
    ASSERT_EQ(asErrors.size(), 2u);
    EXPECT_EQ(asErrors[0], "could not find order element for :  'Nope' - no further parsing will be done");
    EXPECT_TRUE(asErrors[1].Contains("stop_order.xml at line 19 , column ")) << asErrors[1];
}

TEST(ImportNative, FailedMergeChangesNothing)
{
    // Each file is cut off after a whole new entry; merge_truncated.xml also brings a section, kinds
    // and attributes, and values for the dictionary and the existing section.
    for (const char* szFile : {"truncated.xml", "merge_truncated.xml"})
    {
        SCOPED_TRACE(szFile);
        tcDocument doc;
        ASSERT_EQ(LoadWhole(doc, NativeFixture("dtdsection.xml")), 0);
        const wxString sBefore = DumpAll(doc);
        std::vector<wxString> asErrors;
        EXPECT_EQ(Merge(doc, NativeFixture(szFile), &asErrors), -1);
        ASSERT_FALSE(asErrors.empty());
        EXPECT_TRUE(asErrors.back().StartsWith("Fatal error in file ")) << asErrors.back();
        EXPECT_EQ(DumpAll(doc), sBefore);
        EXPECT_EQ(doc.GetDictionary()->GetDatabaseName(), "");
    }
}

TEST(ImportNative, MergeAddsNamedStyleSetsAndIgnoresSectionContent)
{
    tcDocument doc;
    ASSERT_EQ(LoadWhole(doc, NativeFixture("stylesets.xml")), 0);
    const wxString sDTDBefore = DumpDTDSection(doc);
    const wxString sSetsBefore = DumpStyleSets(doc);
    std::vector<wxString> asErrors;
    ASSERT_EQ(Merge(doc, NativeFixture("merge.xml"), &asErrors), 0);
    EXPECT_EQ(asErrors, std::vector<wxString>{});
    EXPECT_EQ(DumpStyleSets(doc), sSetsBefore + "styleset \"Merged\"\n");
    EXPECT_EQ(DumpDTDSection(doc), sDTDBefore);
    // The rest of the file was read: its entry joined the section.
    EXPECT_EQ(doc.GetSection(0)->GetNumChildren(), 2);
}

TEST(ImportNative, MergedPlainFileReadsPastADtdElementInAnEntry)
{
    TempFile first("first.xml");
    first.Write("<d><s><e LemmaSign=\"x\"/></s></d>");
    TempFile second("second.xml");
    second.Write("<d><s><e LemmaSign=\"a\"><dtd><dtdlist id=\"1\" name=\"L\"/><inner/></dtd><after/></e>"
                 "<e LemmaSign=\"b\"/></s></d>");
    tcDocument doc;
    ASSERT_EQ(LoadWhole(doc, first.Path()), 0);
    ASSERT_EQ(Merge(doc, second.Path()), 0);
    EXPECT_EQ(DumpTree(doc.GetDictionary()), "d\n  s\n    e LemmaSign=\"x\"\n    e LemmaSign=\"a\"\n      after\n"
                                             "    e LemmaSign=\"b\"\n");
    EXPECT_EQ(doc.GetDTD()->GetNumLists(), 0);
}

// ---- The writer ----------------------------------------------------------------------------------

namespace
{
// Writes doc, reads the file back into out; the bytes written.
std::string WriteAndRead(const tcDocument& doc, tcDocument& out, std::vector<wxString>* pasErrors = nullptr)
{
    std::string sBytes;
    EXPECT_TRUE(GenerateNative(&doc, nullptr, sBytes));
    TempFile file("written.xml");
    file.Write(sBytes);
    std::vector<wxString> asErrors;
    EXPECT_EQ(LoadWhole(out, file.Path(), &asErrors), 0) << (asErrors.empty() ? wxString() : asErrors.back());
    if (pasErrors)
        *pasErrors = asErrors;
    return sBytes;
}

// The round trip both ways: the first file written reads back as a document that writes the same
// bytes and reads back the same again. Returns the first document read back.
void ExpectRoundTrip(const tcDocument& doc, tcDocument& first)
{
    std::vector<wxString> asErrors;
    WriteAndRead(doc, first, &asErrors);
    EXPECT_EQ(asErrors, std::vector<wxString>{});
    tcDocument second;
    const std::string sFirst = WriteAndRead(first, second);
    tcDocument third;
    const std::string sSecond = WriteAndRead(second, third);
    EXPECT_EQ(DumpAll(first), DumpAll(second));
    EXPECT_EQ(sFirst, sSecond);
}
} // namespace

TEST(NativeWriter, FilesRoundTrip)
{
    for (const char* szFile :
         {"native/stylesets.xml", "native/dtdsection.xml", "native/merge.xml", "dictionary.xml", "xrefs.xml",
          "xml_space.xml", "relations.xml", "cdata.xml"})
    {
        SCOPED_TRACE(szFile);
        tcDocument doc;
        ASSERT_EQ(LoadWhole(doc, ImportFixture(szFile)), 0);
        tcDocument first;
        ExpectRoundTrip(doc, first);
        // Native files this program reads keep everything through the first write.
        if (wxString(szFile).StartsWith("native/"))
        {
            EXPECT_EQ(DumpNative(first) + DumpReferences(first) + DumpTree(first.GetDictionary()),
                      DumpNative(doc) + DumpReferences(doc) + DumpTree(doc.GetDictionary()));
        }
    }
}

TEST(NativeWriter, DocumentBuiltInCodeRoundTrips)
{
    tcDocument doc;
    doc.CreateDoc("built");
    doc.CreateEmptyOvraDTD();
    tcDTD* pDTD = doc.GetDTD();
    tcElement* pLemma = pDTD->GetElementByID(ELEMENTID_ENTRY);
    tcElement* pSense = tEnsureElementExists(&doc, "Sense", pLemma, false, CHILD_ZEROORMORE);
    tcElement* pGloss = tEnsureElementExists(&doc, "Gloss", pSense, false, CHILD_ONE);
    tcElement* pRefs = pDTD->GetElementByID(ELEMENTID_REFERENCES);
    pLemma->AddChildElement(pRefs, CHILD_ZEROORONE);
    tEnsureElementAllowsPCDATA(&doc, pGloss);

    tcAttrList* pColours = pDTD->AddAttrList(std::make_unique<tcAttrList>("Colours", 4));
    pColours->AddListItem(3, "red & <hot>", true);
    pColours->AddListItem(8, "blue", true);
    pColours->AddLabelSet("de")->AddLabel(8, "blau");
    pDTD->SetNextListID(5);
    tcAttribute* pColour = tCreateAttribute(&doc, pSense, "colour", ATTRDEF_USERCREATED, ATTR_LISTN, false, 0);
    pColour->SetList(pColours);
    pColour->EnableFlags(0x100);
    tcAttribute* pShade = tCreateAttribute(&doc, pSense, "shade", ATTRDEF_IMPLIED, ATTR_LIST, false, 0);
    pShade->SetList(pColours);
    tCreateAttribute(&doc, pSense, "count", ATTRDEF_VALUE, ATTR_NDATA, false, 0)->SetDefault("1");
    tCreateAttribute(&doc, pSense, "script", ATTRDEF_IMPLIED, ATTR_LUASCRIPT, false, 0);
    tcAttribute* pNote = tCreateAttribute(&doc, pGloss, "note", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    pDTD->AddCrossRefType(1, "See");
    pDTD->AddRefLabelSet(std::make_unique<tcRefLabelSet>("Labels"))->AddLabel(1, "see", "see also");
    pDTD->AddEntity("brand", "Lin & \"trado\" 100%");

    auto* pDictionary = static_cast<tcDictionary*>(doc.AllocateElementByID(ELEMENTID_DICTIONARY));
    doc.SetDictionary(pDictionary);
    pDictionary->SetDatabaseName("Built");
    tcLanguage* pSection = pDictionary->AddLanguage("", 0);
    pSection->SetName("en");
    pSection->m_aSenseDesc.push_back({pSense->GetID(), 0});
    pSection->m_aNotesDesc.push_back({pGloss->GetID(), pNote->GetID()});
    pSection->m_FreqDesc = {pSense->GetID(), pSense->FindAttributeByName("count")->GetID()};

    auto addEntry = [&](const wxString& sLemma)
    {
        auto* pEntry = static_cast<tcEntry*>(doc.AllocateElementByID(ELEMENTID_ENTRY));
        pEntry->SetLemmaSign(sLemma);
        pSection->InsertEntry(pEntry);
        return pEntry;
    };
    tcEntry* pA = addEntry("a &amp; b");
    tcEntry* pB = addEntry("b");
    pB->SetIncomplete(true);
    tcNode* pSenseA = doc.AllocateElement(pSense);
    pA->AddChildLast(pSenseA);
    pSenseA->SetAttributeS(pColour, "red & <hot>,blue");
    pSenseA->SetAttributeS(pShade, "blue");
    pSenseA->SetAttributeS(pSense->FindAttributeByName("count"), "12");
    pSenseA->SetAttributeS(pSense->FindAttributeByName("script"), "return 'x' < 2");
    tcNode* pGlossA = doc.AllocateElement(pGloss);
    pSenseA->AddChildLast(pGlossA);
    pGlossA->SetAttributeS(pNote, "quote \" and tab\there");
    pGlossA->AddChildLast(doc.AllocateTextNode("one < two & three"));
    tcNode* pSenseB1 = doc.AllocateElement(pSense);
    tcNode* pSenseB2 = doc.AllocateElement(pSense);
    pB->AddChildLast(pSenseB1);
    pB->AddChildLast(pSenseB2);
    // The parser gives every element the declared defaults of its attributes.
    pSenseB1->SetAttributeS(pSense->FindAttributeByName("count"), "1");
    pSenseB2->SetAttributeS(pSense->FindAttributeByName("count"), "1");
    auto* pReferences = static_cast<tcReferences*>(doc.AllocateElement(pRefs));
    pA->AddChildLast(pReferences);
    pReferences->AddRefSense(pB->GetID(), pSenseB2->GetID(), 1);

    doc.DeleteStyleSet(0);
    tcStyles* pSet = doc.AddStyleSet(std::make_unique<tcStyles>("Print"));
    pSet->GetOrder()->AddElementOrderChild(pLemma, pSense, true);
    pSet->GetOrder()->AddElementOrderAttribute(pSense, pColour, false);
    pSet->GetOrder()->AddElementOrderPCDATA(pGloss, true);
    auto pStyle = std::make_unique<tcStyleAttribute>(pSense, pColour);
    pStyle->sFont = "Serif, \"Bold\"";
    pStyle->fSize = 10.1f;
    pStyle->nB = 1;
    pStyle->nSC = 0;
    pStyle->sColourF = "102030";
    pStyle->sBeforeI = "(";
    pStyle->sBetween = ", ";
    pStyle->bParagraph = true;
    pStyle->eAlignment = 3;
    pStyle->fIndentL = 0.1f;
    pStyle->fSpaceB = -2.75f;
    pStyle->BorderL.SetBorderStyle(BORDER_DOUBLE);
    pStyle->BorderL.SetWidth(1.0f / 3.0f);
    pStyle->BorderL.SetPadding(2);
    pStyle->BorderL.SetColour("ABCDEF");
    pStyle->m_sLuaModifier = "return value";
    pStyle->aAutoNumber.push_back({{}, AUTONUMBER_NUMBERS, true, false, true});
    pStyle->aAutoNumber.push_back({{}, 2, false, true, false});
    pSet->AddStyle(std::move(pStyle));
    pSet->AddStyle(std::make_unique<tcStyleElement>(pGloss))->sAfterO = "]";
    doc.AddStyleSet(std::make_unique<tcStyles>("Empty"));

    tcDocument first;
    ExpectRoundTrip(doc, first);
    EXPECT_EQ(DumpNative(first), DumpNative(doc));
    EXPECT_EQ(DumpReferences(first), "refs in a &amp; b: ->b/1[.1]\n");
    EXPECT_EQ(DumpTree(first.GetDictionary()).utf8_string(), DumpTree(doc.GetDictionary()).utf8_string());
    EXPECT_TRUE(static_cast<tcEntry*>(first.GetSection(0)->GetChild(1))->IsIncomplete());
    const tcAttribute* pReadColour = first.GetDTD()->FindElementByName("Sense")->FindAttributeByName("colour");
    ASSERT_NE(pReadColour, nullptr);
    EXPECT_EQ(pReadColour->GetType(), ATTR_LISTN);
    EXPECT_EQ(pReadColour->GetDefaultType(), ATTRDEF_USERCREATED);
    EXPECT_TRUE(pReadColour->TestFlag(0x100));
    EXPECT_EQ(pReadColour->GetList(), first.GetDTD()->FindListByName("Colours"));
    EXPECT_EQ(first.GetDTD()->FindEntity("brand")->GetValue(), "Lin & \"trado\" 100%");
    EXPECT_EQ(first.GetDTD()->FindElementByName("Sense")->FindAttributeByName("count")->GetDefault(), "1");
}

TEST(NativeWriter, LuaModifiersReadBackAsWritten)
{
    // Backslashes of Lua escapes and Windows paths stay backslashes; real breaks and tabs stay so.
    // (Files that carry breaks as backslash-n, as stylesets.xml does, read as they always did.)
    for (const wxString& sLua : {wxString("return \"a\\nb\""), wxString("return [[C:\\temp]]"),
                                wxString("x = '\\\\'"), wxString("if x then\n\treturn 1 end"),
                                wxString("return 'tail\\'")})
    {
        SCOPED_TRACE(sLua.utf8_string());
        tcDocument doc;
        ASSERT_EQ(LoadWhole(doc, NativeFixture("stylesets.xml")), 0);
        doc.GetStyleSet(0)->GetStyle(0)->SetLuaModifier(sLua);
        tcDocument out;
        WriteAndRead(doc, out);
        ASSERT_GT(out.GetNumStyleSets(), 0);
        EXPECT_EQ(out.GetStyleSet(0)->GetStyle(0)->GetLuaModifier(), sLua);
    }
}

TEST(NativeWriter, WrittenFileLoadsWithoutSchemaFolders)
{
    tcDocument doc;
    ASSERT_EQ(LoadWhole(doc, NativeFixture("dtdsection.xml")), 0);
    std::string sBytes;
    ASSERT_TRUE(GenerateNative(&doc, nullptr, sBytes));
    // Everything the importer needs is in the file: no external DTD is named.
    EXPECT_EQ(sBytes.find("SYSTEM"), std::string::npos);
    EXPECT_EQ(sBytes.find('\n'), std::string::npos);
    TempFile file("out.xml");
    EXPECT_EQ(OutputNative(&doc, nullptr, wxString(file.Path().wstring())), 0);
    EXPECT_EQ(ReadBytes(file.Path()), sBytes);

    tcDocument empty;
    EXPECT_FALSE(GenerateNative(&empty, nullptr, sBytes));
    EXPECT_EQ(OutputNative(&empty, nullptr, wxString(file.Path().wstring())), -1);
    EXPECT_EQ(ReadBytes(file.Path()).empty(), false);
}

TEST(NativeWriter, ManyListValuesReadBack)
{
    // Each written list separator must not count as an entity expansion, or a large dictionary
    // would trip the guard against entity bombs.
    tcDocument doc;
    ASSERT_EQ(LoadWhole(doc, NativeFixture("dtdsection.xml")), 0);
    tcLanguage* pSection = doc.GetSection(0);
    tcElement* pSense = doc.GetDTD()->FindElementByName("Sense");
    for (int i = 0; i < 1500; ++i)
    {
        auto* pEntry = static_cast<tcEntry*>(doc.AllocateElementByID(ELEMENTID_ENTRY));
        pEntry->SetLemmaSign(wxString::Format("w%d", i));
        pSection->InsertEntry(pEntry);
        tcNode* pNode = doc.AllocateElement(pSense);
        pEntry->AddChildLast(pNode);
        pNode->SetAttributeS(pSense->FindAttributeByName("size"), "S,L");
    }
    tcDocument first;
    WriteAndRead(doc, first);
    ASSERT_NE(first.GetSection(0), nullptr);
    EXPECT_EQ(first.GetSection(0)->GetNumChildren(), 1503);
    EXPECT_TRUE(DumpTree(first.GetSection(0)->GetChild(1502)).Contains("size=\"S,L\""));
}

TEST(NativeWriter, DocumentsTheFormatCannotHoldAreNotWritten)
{
    struct Case
    {
        const char* szName;
        void (*pfnSpoil)(tcDocument& doc);
    };
    const Case aCases[] = {
        {"kind name with a blank", [](tcDocument& doc) { doc.GetDTD()->FindElementByName("Sense")->SetName("a b"); }},
        {"kind name with a prefix", [](tcDocument& doc) { doc.GetDTD()->FindElementByName("Sense")->SetName("x:y"); }},
        {"kind named like the wrapper",
         [](tcDocument& doc) { doc.GetDTD()->FindElementByName("Note")->SetName("brindovaicon"); }},
        {"attribute name", [](tcDocument& doc)
         { doc.GetDTD()->FindElementByName("Note")->FindAttributeByName("kind")->SetName("1x"); }},
        {"list name in a comment", [](tcDocument& doc) { doc.GetDTD()->FindListByName("Sizes")->RenameList("a--b"); }},
        {"no dictionary", [](tcDocument& doc) { doc.SetDictionary(nullptr); }},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        tcDocument doc;
        ASSERT_EQ(LoadWhole(doc, NativeFixture("dtdsection.xml")), 0);
        std::string sBytes;
        ASSERT_TRUE(GenerateNative(&doc, nullptr, sBytes));
        c.pfnSpoil(doc);
        EXPECT_FALSE(GenerateNative(&doc, nullptr, sBytes));
        EXPECT_TRUE(sBytes.empty());
    }
}
