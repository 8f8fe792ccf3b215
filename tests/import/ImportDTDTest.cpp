#include "tests/import/ImportTestUtil.h"

#include "varnak/include/tcDTD.h"

#include <gtest/gtest.h>

#include <wx/arrstr.h>

namespace
{
class DTDImporter : public TestImporter
{
public:
    using CXMLImporter::m_bLoadingDictionary;
    using CXMLImporter::m_psEntryElementName;
    using CXMLImporter::m_psSectionElementName;
    using CXMLImporter::m_sReferencesElementName;
};

// The line DumpKinds writes for the kind named sName, without its "kind <id> " start; empty when
// there is no such kind.
wxString KindLine(const tcDocument& doc, const wxString& sName)
{
    const wxString sDump = DumpKinds(doc);
    for (const wxString& sLine : wxSplit(sDump, '\n', '\0'))
    {
        const wxString sRest = sLine.AfterFirst(' ').AfterFirst(' ');
        if (sRest.BeforeFirst(' ') == sName)
            return sRest;
    }
    return wxString();
}

std::vector<wxString> ListItems(const tcAttrList* pList)
{
    std::vector<wxString> asItems;
    for (int i = 0; pList && i < pList->GetNumItems(); ++i)
        asItems.push_back(pList->GetItemText(i));
    return asItems;
}
} // namespace

TEST(ImportDTD, GenericDeclarationsBuildKindsRelationsAndAttributes)
{
    DTDImporter importer;
    tcDocument doc;
    const LoadOutcome outcome = LoadInto(importer, doc, ImportFixture("dtd_generic.xml"));
    ASSERT_EQ(outcome.nResult, 0);
    EXPECT_EQ(outcome.asErrors, std::vector<wxString>{"Could not add attribute [x] as element [ghost] does not exist"});

    // The first two declarations name the dictionary and section kinds and declare nothing more.
    const tcDTD* pDTD = doc.GetDTD();
    EXPECT_EQ(pDTD->GetElementByID(ELEMENTID_DICTIONARY)->GetName(), "root");
    EXPECT_EQ(pDTD->GetElementByID(ELEMENTID_SECTION)->GetName(), "sec");
    EXPECT_EQ(importer.m_psSectionElementName ? *importer.m_psSectionElementName : wxString(), "sec");

    // The models as the parser writes them: "(a,b?,((c|d))+,e*,f+)", "(((x,y))*,z)", "(w)*". A
    // choice lets its kind hold text; a group's mark reaches its members.
    struct Case
    {
        const char* szKind;
        const char* szLine;
    };
    const Case aCases[] = {
        {"entry", "entry class=0 text children=[a b? c* d* e* f+] attrs=[kind#16 note#17 level#18 fixed#19 key#20 "
                  "form#21]"},
        {"a", "a class=0 text children=[] attrs=[]"},
        {"b", "b class=0 text children=[i* u*] attrs=[]"},
        {"c", "c class=0 children=[x* y* z] attrs=[]"},
        {"d", "d class=0 children=[w*] attrs=[]"},
        {"e", "e class=0 children=[] attrs=[]"},
        {"f", "f class=0 text children=[] attrs=[]"},
        {"ghost", ""},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(KindLine(doc, c.szKind).utf8_string(), c.szLine) << c.szKind;

    const tcElement* pEntry = pDTD->FindElementByName("entry");
    ASSERT_NE(pEntry, nullptr);
    struct AttrCase
    {
        const char* szName;
        teAttrType eType;
        teDefaultType eDefault;
        const char* szDefault;
    };
    const AttrCase aAttrs[] = {
        {"kind", ATTR_LIST, ATTRDEF_VALUE, "verb"},  {"note", ATTR_CDATA, ATTRDEF_IMPLIED, ""},
        {"level", ATTR_CDATA, ATTRDEF_REQUIRED, ""}, {"fixed", ATTR_CDATA, ATTRDEF_FIXED, "v"},
        {"key", ATTR_CDATA, ATTRDEF_IMPLIED, ""},    {"form", ATTR_CDATA, ATTRDEF_IMPLIED, ""},
    };
    for (const AttrCase& a : aAttrs)
    {
        const tcAttribute* pAttr = pEntry->FindAttributeByName(a.szName);
        ASSERT_NE(pAttr, nullptr) << a.szName;
        EXPECT_EQ(pAttr->GetType(), a.eType) << a.szName;
        EXPECT_EQ(pAttr->GetDefaultType(), a.eDefault) << a.szName;
        EXPECT_EQ(pAttr->GetDefault(), a.szDefault) << a.szName;
    }
    const tcAttrList* pList = pEntry->FindAttributeByName("kind")->GetList();
    ASSERT_NE(pList, nullptr);
    EXPECT_EQ(pList->GetName(), "entry_kind");
    EXPECT_EQ(ListItems(pList), (std::vector<wxString>{"noun", "verb", "adj"}));
    EXPECT_EQ(pEntry->FindAttributeByName("form")->GetList(), nullptr);

    // Entity values are unescaped once more; parameter entities stay with the DTD's own text.
    ASSERT_NE(pDTD->FindEntity("company"), nullptr);
    EXPECT_EQ(pDTD->FindEntity("company")->GetValue(), "Korvendel & Co");
    EXPECT_EQ(pDTD->FindEntity("%param"), nullptr);
    EXPECT_EQ(pDTD->FindEntity("param"), nullptr);
}

TEST(ImportDTD, NativeDeclarationsFollowTheDictionaryConventions)
{
    DTDImporter importer;
    tcDocument doc;
    const LoadOutcome outcome = LoadInto(importer, doc, ImportFixture("dtd_native.xml"));
    ASSERT_EQ(outcome.nResult, 0);
    // The announcement for a missing element is reported and does not reach the next declaration.
    EXPECT_EQ(outcome.asErrors, std::vector<wxString>{"Warning dtd attribute (g) specified for element (Ghost) but no "
                                                      "such element specified in dtd - attribute will not be added"});

    const tcDTD* pDTD = doc.GetDTD();
    EXPECT_EQ(pDTD->GetElementByID(ELEMENTID_DICTIONARY)->GetName(), "Dictionary");
    EXPECT_EQ(pDTD->GetElementByID(ELEMENTID_SECTION)->GetName(), "Language");
    EXPECT_EQ(pDTD->GetElementByID(ELEMENTID_ENTRY)->GetName(), "Lemma");
    EXPECT_EQ(importer.m_psEntryElementName ? *importer.m_psEntryElementName : wxString(), "Lemma");

    // "(Sub|Other)" arrives as "((Sub|Other))*" and names no kind; "(#PCDATA)" declares text only.
    EXPECT_EQ(KindLine(doc, "Lemma"),
              "Lemma class=4 children=[Sense* Note? XRefs?] attrs=[LemmaSign#1 HomonymNumber#6 pronunciation#2]");
    EXPECT_EQ(KindLine(doc, "Sense"), "Sense class=0 text children=[] attrs=[colour#16 level#17]");
    EXPECT_EQ(KindLine(doc, "Note"), "Note class=0 text children=[Em*] attrs=[]");
    EXPECT_EQ(KindLine(doc, "Sub"), "");
    EXPECT_EQ(KindLine(doc, "((Sub"), "");

    // The element holding reference parts becomes the references kind.
    const tcElement* pRefs = pDTD->GetElementByID(ELEMENTID_REFERENCES);
    ASSERT_NE(pRefs, nullptr);
    EXPECT_EQ(pRefs->GetName(), "XRefs");
    EXPECT_EQ(pRefs->GetClass(), NODE_REFERENCES);
    EXPECT_TRUE(pRefs->GetFlags() & ELEMENTFLAG_NODELETE);
    EXPECT_EQ(pDTD->FindElementByName("References"), nullptr);
    EXPECT_EQ(importer.m_sReferencesElementName, "XRefs");

    // Built-in declarations ahead of the dictionary's are skipped: LemmaSign stays as it was.
    EXPECT_EQ(pDTD->GetElementByID(ELEMENTID_ENTRY)->FindAttributeByName("LemmaSign")->GetDefaultType(),
              ATTRDEF_IMPLIED);
    const tcElement* pLemma = pDTD->GetElementByID(ELEMENTID_ENTRY);
    EXPECT_EQ(pLemma->FindAttributeByName("HomonymNumber")->GetFlags(), 28);

    // Announced: type, default kind, orientation and list; plain native: text, mode only, no "id".
    const tcElement* pSense = pDTD->FindElementByName("Sense");
    const tcAttribute* pColour = pSense->FindAttributeByName("colour");
    EXPECT_EQ(pColour->GetType(), ATTR_LIST);
    EXPECT_EQ(pColour->GetDefaultType(), ATTRDEF_REQUIRED);
    EXPECT_TRUE(pColour->GetFlags() & ATTRFLAG_RTL);
    ASSERT_NE(pColour->GetList(), nullptr);
    EXPECT_EQ(pColour->GetList()->GetName(), "Colours");
    const tcAttribute* pLevel = pSense->FindAttributeByName("level");
    EXPECT_EQ(pLevel->GetType(), ATTR_CDATA);
    EXPECT_EQ(pLevel->GetDefaultType(), ATTRDEF_VALUE);
    EXPECT_EQ(pLevel->GetDefault(), "");
    EXPECT_FALSE(pLevel->GetFlags() & ATTRFLAG_RTL);
    EXPECT_EQ(pSense->FindAttributeByName("id"), nullptr);

    EXPECT_NE(pDTD->FindEntity("abbr"), nullptr);
    EXPECT_EQ(pDTD->FindEntity("brindova__list__seperator"), nullptr);
}

TEST(ImportDTD, EntityDeclarationsReplaceValuesOnlyWhileLoadingADictionary)
{
    for (const bool bLoading : {true, false})
    {
        DTDImporter importer;
        tcDocument doc;
        doc.CreateDoc("test");
        doc.CreateEmptyOvraDTD();
        doc.GetDTD()->AddEntity("old", "before");
        importer.AttachDoc(&doc);
        importer.m_bLoadingDictionary = bLoading;

        importer.internalEntityDecl(u"old", u"after");
        importer.internalEntityDecl(u"new", u"a &amp; b");
        importer.internalEntityDecl(u"brindova__list__seperator", u"|");

        EXPECT_EQ(doc.GetDTD()->FindEntity("old")->GetValue(), bLoading ? "after" : "before");
        ASSERT_NE(doc.GetDTD()->FindEntity("new"), nullptr);
        EXPECT_EQ(doc.GetDTD()->FindEntity("new")->GetValue(), "a & b");
        EXPECT_EQ(doc.GetDTD()->GetNumEntities(), 2);
    }
}
