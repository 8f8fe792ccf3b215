#include "Shared/AppUtils_shared.h"

#include "tests/Shared/AppUtilsSharedFixtures.h"
#include "tests/harness/TempHome.h"

#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcStyles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace
{
class AppUtilsSharedDTD : public testing::Test
{
protected:
    void TearDown() override { g_pDoc = nullptr; }
};

struct AttributeRow
{
    const char* szElement;
    const char* szName;
    int nID; // 0: any identifier above the reserved ones
    teAttrType eType;
    teDefaultType eDefault;
};

TEST_F(AppUtilsSharedDTD, DefaultDictionaryDTD)
{
    tcDocument doc;
    doc.CreateDoc("dictionary");

    tCreateDefaultDTDMendrasi(&doc);

    const tcDTD* pDTD = doc.GetDTD();
    struct ElementRow
    {
        const char* szName;
        int nID;
        teNodeClass eClass;
        int nFlags;
    };
    for (const ElementRow& row : {ElementRow{"Database", 1, NODE_DICTIONARY, 15},
                                  ElementRow{"Section", 2, NODE_SECTION, 15}, ElementRow{"Entry", 4, NODE_ENTRY, 3}})
    {
        SCOPED_TRACE(row.szName);
        const tcElement* pElement = pDTD->FindElementByName(row.szName);
        ASSERT_NE(pElement, nullptr);
        EXPECT_EQ(pElement->GetID(), row.nID);
        EXPECT_EQ(pElement->GetClass(), row.eClass);
        EXPECT_EQ(pElement->GetFlags(), row.nFlags);
    }
    EXPECT_EQ(pDTD->GetNumElements(), 3);

    const tcElement* pDatabase = pDTD->GetElementByID(1);
    const tcElement* pSection = pDTD->GetElementByID(2);
    tcElement* pEntry = pDTD->GetElementByID(4);
    ASSERT_EQ(pDatabase->GetNumChildren(), 1);
    EXPECT_EQ(pDatabase->GetChildElement(0)->pElement, pSection);
    EXPECT_EQ(pDatabase->GetChildElement(0)->eConstraint, CHILD_ONEORMORE);
    ASSERT_EQ(pSection->GetNumChildren(), 1);
    EXPECT_EQ(pSection->GetChildElement(0)->pElement, pEntry);
    EXPECT_EQ(pSection->GetChildElement(0)->eConstraint, CHILD_ZEROORMORE);
    EXPECT_EQ(pEntry->GetNumChildren(), 0);

    const std::vector<AttributeRow> aAttributes = {
        {"Entry", "Name", 1, ATTR_CDATA, ATTRDEF_IMPLIED},
        {"Entry", "Modified", 0, ATTR_CDATA, ATTRDEF_DATECHANGED},
        {"Entry", "Created", 0, ATTR_CDATA, ATTRDEF_DATECREATED},
        {"Database", "Name", 1, ATTR_CDATA, ATTRDEF_IMPLIED},
        {"Database", "Description", 2, ATTR_CDATA, ATTRDEF_IMPLIED},
        {"Database", "CreatedBy", 3, ATTR_CDATA, ATTRDEF_IMPLIED},
        {"Database", "Copyright", 4, ATTR_CDATA, ATTRDEF_IMPLIED},
        {"Database", "URL", 5, ATTR_CDATA, ATTRDEF_IMPLIED},
        {"Database", "SoundPath", 8, ATTR_CDATA, ATTRDEF_IMPLIED},
        {"Section", "Name", 1, ATTR_CDATA, ATTRDEF_IMPLIED},
        {"Section", "Options", 2, ATTR_NDATA, ATTRDEF_IMPLIED},
    };
    for (const AttributeRow& row : aAttributes)
    {
        SCOPED_TRACE(std::string(row.szElement) + "/" + row.szName);
        const tcAttribute* pAttr = pDTD->FindElementByName(row.szElement)->FindAttributeByName(row.szName);
        ASSERT_NE(pAttr, nullptr);
        if (row.nID)
            EXPECT_EQ(pAttr->GetID(), row.nID);
        else
            EXPECT_GT(pAttr->GetID(), ATTRID_LASTRESERVED);
        EXPECT_EQ(pAttr->GetType(), row.eType);
        EXPECT_EQ(pAttr->GetDefaultType(), row.eDefault);
    }
    tcAttribute* pName = pEntry->FindAttributeByID(1);
    tcAttribute* pModified = pEntry->FindAttributeByName("Modified");
    tcAttribute* pCreated = pEntry->FindAttributeByName("Created");
    EXPECT_NE(pModified->GetID(), pCreated->GetID());
    EXPECT_EQ(pEntry->GetNumAttributes(), 3);

    // The document's first style set and the one the DTD brings both carry every style.
    ASSERT_EQ(doc.GetNumStyleSets(), 2);
    EXPECT_EQ(doc.GetStyleSet(1)->GetName(), "Default styles");
    for (int i = 0; i < doc.GetNumStyleSets(); ++i)
    {
        const tcStyles* pStyles = doc.GetStyleSet(i);
        SCOPED_TRACE(pStyles->GetName().utf8_string());
        const tcStyleElement* pEntryStyle = pStyles->FindElementStyleByID(4);
        ASSERT_NE(pEntryStyle, nullptr);
        EXPECT_TRUE(pEntryStyle->bParagraph);
        EXPECT_EQ(pEntryStyle->sFont, "Arial");
        EXPECT_EQ(pEntryStyle->fSize, 10);
        EXPECT_EQ(pEntryStyle->sColourF, "000000");
        EXPECT_EQ(pEntryStyle->sColourB, "FFFFFF");
        const tcStyleAttribute* pNameStyle = pStyles->FindAttributeStyle(pEntry, pName);
        ASSERT_NE(pNameStyle, nullptr);
        EXPECT_EQ(pNameStyle->nB, STYLE_ON);
        EXPECT_EQ(pNameStyle->sColourF, "000080");
        for (const tcAttribute* pStamp : {pModified, pCreated})
        {
            const tcStyleAttribute* pStyle = pStyles->FindAttributeStyle(pEntry, pStamp);
            ASSERT_NE(pStyle, nullptr);
            EXPECT_EQ(pStyle->fSize, 9);
            EXPECT_EQ(pStyle->sBeforeI, " [");
            EXPECT_EQ(pStyle->sAfterI, "]");
            EXPECT_EQ(pStyle->sColourF, "808080");
            EXPECT_EQ(pStyle->nI, pStamp == pCreated ? STYLE_ON : STYLE_INHERIT);
        }
        EXPECT_EQ(pStyles->FindElementStyleByID(1), nullptr);
    }

    // A second run would put the kinds on other identifiers: it changes nothing.
    tCreateDefaultDTDMendrasi(&doc);
    EXPECT_EQ(pDTD->GetNumElements(), 3);
    EXPECT_EQ(doc.GetNumStyleSets(), 2);
    tCreateDefaultDTDMendrasi(nullptr);
}

TEST_F(AppUtilsSharedDTD, AddElementTakesTheNextFreeIdentifier)
{
    TinyDoc tiny;
    tcElement* pExisting = tiny.Kind("sense");
    tiny.doc.m_bDTDChanged = false;
    EventRecorder changed(Evt_DTDStructureHasChanged);

    EXPECT_EQ(tAddElement(&tiny.doc, "sense"), pExisting);
    EXPECT_FALSE(tiny.doc.m_bDTDChanged);

    const int nExpectedID = tiny.doc.GetDTD()->GetNextTypeID();
    tcElement* pNew = tAddElement(&tiny.doc, "example");
    ASSERT_NE(pNew, nullptr);
    EXPECT_EQ(pNew->GetID(), nExpectedID);
    EXPECT_GT(pNew->GetID(), ELEMENTID_LASTRESERVED);
    EXPECT_GT(tiny.doc.GetDTD()->GetNextTypeID(), nExpectedID);
    EXPECT_TRUE(tiny.doc.m_bDTDChanged);
    EXPECT_EQ(changed.aCalls.size(), 1u);
    for (int i = 0; i < tiny.doc.GetNumStyleSets(); ++i)
    {
        const tcStyleElement* pStyle = tiny.doc.GetStyleSet(i)->FindElementStyle(pNew);
        ASSERT_NE(pStyle, nullptr);
        EXPECT_EQ(pStyle->sBetween, ",");
        EXPECT_EQ(pStyle->nB, STYLE_INHERIT);
        EXPECT_TRUE(pStyle->sFont.empty());
    }

    tAddElement(&tiny.doc, "quiet", false);
    EXPECT_EQ(changed.aCalls.size(), 1u);
    EXPECT_NE(tiny.doc.GetDTD()->FindElementByName("quiet"), nullptr);
    EXPECT_EQ(tAddElement(&tiny.doc, ""), nullptr);
    EXPECT_EQ(tAddElement(nullptr, "x"), nullptr);
}

TEST_F(AppUtilsSharedDTD, DefaultTypeStringsAreLocalised)
{
    const auto path = TempHomeListener::Current() / "Test.lang";
    std::ofstream(path) << "DTD_ATTRIBUTE_TYPE_NORMAL=Normal\nDTD_ATTRIBUTE_TYPE_HYPERLINK=Hyperlink\n";
    ASSERT_TRUE(g_LocEngine.LoadLocStrings(path.string(), false, false));

    const std::vector<std::pair<int, const char*>> aCases = {
        {ATTRDEF_VALUE, "Normal"},
        {ATTRDEF_DATECREATED, "DTD_ATTRIBUTE_TYPE_DATECREATED"}, // no text in the catalog: the key
        {ATTRDEF_HYPERLINK, "Hyperlink"},
        {13, "?"},
        {-1, "?"},
    };
    for (const auto& c : aCases)
        EXPECT_EQ(tGetAttrDefaultTypeString(c.first), c.second) << c.first;

    g_LocEngine.Clear(); // the process started without a catalog
}

TEST_F(AppUtilsSharedDTD, ParentIDComesFromTheCurrentDocument)
{
    tcDocument doc;
    doc.CreateDoc("dictionary");
    tCreateDefaultDTDMendrasi(&doc);
    TinyDoc tiny;
    for (const char* szKind : {"P", "Z", "C", "Y"})
        tiny.Kind(szKind);
    AddElementChild(tiny.Kind("Z"), tiny.Kind("C"), CHILD_ONE); // Z lists C first, P comes first in the DTD
    AddElementChild(tiny.Kind("P"), tiny.Kind("C"), CHILD_ZEROORMORE);

    EXPECT_EQ(GetParentID(4), -1); // no current document

    g_pDoc = &doc;
    const std::vector<std::pair<int, int>> aCases = {
        {4, 2},   // an entry's parent is the section
        {2, -1},  // the section's parent is not reported
        {1, -1},  // nothing lists the root
        {77, -1}, // unknown
    };
    for (const auto& c : aCases)
        EXPECT_EQ(GetParentID(c.first), c.second) << c.first;

    g_pDoc = &tiny.doc;
    EXPECT_EQ(GetParentID(tiny.Kind("C")->GetID()), tiny.Kind("P")->GetID());
    EXPECT_EQ(GetParentID(tiny.Kind("Y")->GetID()), -1);
}
} // namespace
