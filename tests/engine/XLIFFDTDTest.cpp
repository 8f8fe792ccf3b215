#include "engine/XLIFFDTD.h"

#include "import/XLIFFImporter.h"
#include "tests/harness/AssertRecorder.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

// A project document loaded by the XLIFF handler, as the program opens a saved project.
class XLIFFDTDTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(Init_XLIFFImporter()); }
    void TearDown() override { Done_XLIFFImporter(); }

    static std::unique_ptr<tcDocument> Load(const fs::path& path)
    {
        auto pDoc = std::make_unique<tcDocument>();
        pDoc->CreateDoc("project");
        std::unique_ptr<tcIO> pIO = g_pIORegistry->AllocateIO(XLIFFImporterGUID());
        EXPECT_TRUE(pIO);
        if (!pIO)
            return pDoc;
        pIO->AttachDoc(pDoc.get());
        EXPECT_TRUE(pIO->OpenDatasource(wxString(path.wstring())));
        int nProgress = 0;
        int nResult = 0;
        while ((nResult = pIO->LoadDictionary(nProgress, nullptr)) > 0)
        {
        }
        EXPECT_EQ(nResult, 0) << path << ": " << (pIO->GetNumLoadErrors() ? pIO->GetLoadError(0) : wxString());
        return pDoc;
    }

    static std::unique_ptr<tcDocument> NewProject()
    {
        auto pDoc = std::make_unique<tcDocument>();
        pDoc->CreateDoc("new");
        EXPECT_TRUE(PrepareNewProjectDocument(pDoc.get()));
        return pDoc;
    }
};

fs::path Fixture(const std::string& sName)
{
    return fs::path(LINTRADO_FIXTURES_DIR) / sName;
}

// The list's items joined by ",".
wxString ListItems(const tcAttribute* pAttr)
{
    wxString s;
    if (const tcAttrList* pList = pAttr ? pAttr->GetList() : nullptr)
        for (int i = 0; i < pList->GetNumItems(); ++i)
            s += (i ? "," : "") + pList->GetItemText(i);
    return s;
}

bool IsDeclaredChild(const tcElement* pParent, const char* szChild)
{
    return pParent && pParent->GetChildIndexByName(szChild) >= 0;
}

// Each handle, and the kind (and attribute) of the project's DTD it must designate.
struct HandleName
{
    const char* szElement;
    const char* szAttribute;
};
const HandleName kHandleNames[kXLIFFDTDNumHandles] = {
    {"file", nullptr},
    {"header", nullptr},
    {"skl", nullptr},
    {"internal-file", nullptr},
    {"external-file", nullptr},
    {"body", nullptr},
    {"trans-unit", nullptr},
    {"source", nullptr},
    {"seg-source", nullptr},
    {"mrk", nullptr},
    {"sub", nullptr},
    {"target", nullptr},
    {"alt-trans", nullptr},
    {"note", nullptr},
    {"ph", nullptr},
    {"bpt", nullptr},
    {"it", nullptr},
    {"trans-unit", "translate"},
    {"file", "lastmodified"},
    {"file", "lastmodifiedby"},
    {"file", "source-language"},
    {"file", "datatype"},
    {"file", "target-language"},
    {"file", "tool-id"},
    {"file", "tool-name"},
    {"file", "tool-version"},
    {"file", "tool-company"},
    {"file", "category"},
    {"file", "original"},
    {"xliff", "memdocs"},
    {"source", "xml:lang"},
    {"target", "xml:lang"},
    {"target", "state"},
    {"target", "state-qualifier"},
    {"mrk", "mid"},
    {"mrk", "mtype"},
    {"alt-trans", "mid"},
    {"alt-trans", "match-quality"},
    {"alt-trans", "xml:lang"},
    {"sub", "datatype"},
    {"sub", "ctype"},
    {"bpt", "id"},
    {"bpt", "ctype"},
    {"it", "id"},
    {"it", "pos"},
    {"it", "ctype"},
};

void ExpectEveryHandleDesignatesItsName(const tcDocument& doc, const SXLIFFDTD& dtd)
{
    for (int i = 0; i < kXLIFFDTDNumHandles; ++i)
    {
        const HandleName& name = kHandleNames[i];
        const tcElement* pElement = doc.GetDTD()->FindElementByName(name.szElement);
        ASSERT_TRUE(pElement) << name.szElement;
        const void* pExpected = name.szAttribute
                                    ? static_cast<const void*>(pElement->FindAttributeByName(name.szAttribute))
                                    : static_cast<const void*>(pElement);
        ASSERT_TRUE(pExpected) << "handle " << i;
        EXPECT_EQ(GetXLIFFDTDHandle(dtd, i), pExpected)
            << "handle " << i << " " << name.szElement << " " << (name.szAttribute ? name.szAttribute : "");
    }
}
} // namespace

TEST_F(XLIFFDTDTest, StrictModeRefusesBrokenProjectsWithTheirMessage)
{
    struct Case
    {
        const char* szFixture;
        const char* szMessage; // empty: the project opens
    };
    const Case kCases[] = {
        {"xliff/not_xliff.xlf", "Invalid XLIFF project"},
        {"xliff/no_file.xlf", "XLIFF project does not contain any valid files"},
        {"xliff/no_header.xlf", "No header element found"},
        {"xliff/no_skl.xlf", "No Skeleton element found"},
        {"xliff/no_skeleton.xlf", "No skeleton element found"},
        {"xliff/external_skeleton.xlf", ""},
        {"xliff/internal_skeleton.xlf", ""},
        {"xliff/no_body.xlf", "No Body element found"},
        // Files without units are empty files, not broken ones: the project opens.
        {"xliff/no_trans_unit.xlf", ""},
        {"xliff/no_source.xlf", ""},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.szFixture);
        std::unique_ptr<tcDocument> pDoc = Load(Fixture(c.szFixture));
        SXLIFFDTD dtd;
        wxString sMessage;
        try
        {
            InitXLIFFDTD(pDoc.get(), dtd, true);
        }
        catch (const TextFailure& e)
        {
            sMessage = e.GetText();
        }
        EXPECT_EQ(sMessage.utf8_string(), c.szMessage);
        if (*c.szMessage)
        {
            // The declaration stopped at the failing step: body is the last step that can fail.
            EXPECT_EQ(dtd.m_pSourceElement, nullptr);
            EXPECT_EQ(dtd.m_pItCtypeAttr, nullptr);
            continue;
        }
        for (int i = 0; i < kXLIFFDTDNumHandles; ++i)
            EXPECT_TRUE(GetXLIFFDTDHandle(dtd, i)) << "handle " << i;
        // The skeleton kind the file lacks, and the unit kinds it never used, are declared under the
        // parents the vocabulary gives them.
        EXPECT_TRUE(IsDeclaredChild(dtd.m_pSklElement, "internal-file"));
        EXPECT_TRUE(IsDeclaredChild(dtd.m_pSklElement, "external-file"));
        EXPECT_TRUE(IsDeclaredChild(dtd.m_pTransUnitElement, "seg-source"));
        EXPECT_TRUE(IsDeclaredChild(dtd.m_pSegSourceElement, "mrk"));
        EXPECT_TRUE(IsDeclaredChild(dtd.m_pSourceElement, "alt-trans"));
        EXPECT_TRUE(IsDeclaredChild(dtd.m_pSourceElement, "note"));
        EXPECT_TRUE(IsDeclaredChild(dtd.m_pSourceElement, "sub"));
        EXPECT_TRUE(IsDeclaredChild(dtd.m_pMrkElement, "ept"));
    }
}

TEST_F(XLIFFDTDTest, EveryHandleDesignatesItsKindInBothModes)
{
    std::unique_ptr<tcDocument> pNew = NewProject();
    SXLIFFDTD dtdNew;
    InitXLIFFDTD(pNew.get(), dtdNew, false);
    ExpectEveryHandleDesignatesItsName(*pNew, dtdNew);

    std::unique_ptr<tcDocument> pLoaded = Load(Fixture("xml/project.xlf"));
    SXLIFFDTD dtdLoaded;
    InitXLIFFDTD(pLoaded.get(), dtdLoaded, true);
    ExpectEveryHandleDesignatesItsName(*pLoaded, dtdLoaded);
    // Kinds the importer made are reused, not declared a second time.
    std::set<wxString> setNames;
    for (int i = 0; i < pLoaded->GetDTD()->GetNumElements(); ++i)
        EXPECT_TRUE(setNames.insert(pLoaded->GetDTD()->GetElement(i)->GetName()).second)
            << pLoaded->GetDTD()->GetElement(i)->GetName();

    ClearXLIFFDTD(dtdLoaded);
    for (int i = 0; i < kXLIFFDTDNumHandles; ++i)
        EXPECT_EQ(GetXLIFFDTDHandle(dtdLoaded, i), nullptr) << "handle " << i;
    EXPECT_EQ(GetXLIFFDTDHandle(dtdNew, -1), nullptr);
    EXPECT_EQ(GetXLIFFDTDHandle(dtdNew, kXLIFFDTDNumHandles), nullptr);
}

TEST_F(XLIFFDTDTest, StateAttributesReadAsTextBecomeListsAndKeepTheirValues)
{
    std::unique_ptr<tcDocument> pDoc = Load(Fixture("xliff/internal_skeleton.xlf"));
    SXLIFFDTD dtd;
    InitXLIFFDTD(pDoc.get(), dtd, true);

    ASSERT_TRUE(dtd.m_pTargetStateAttr);
    EXPECT_EQ(dtd.m_pTargetStateAttr->GetType(), ATTR_LIST);
    EXPECT_EQ(dtd.m_pTargetStateQualifierAttr->GetType(), ATTR_LIST);
    // Values found in the file come first, in file order; the standard ones follow in their order.
    const wxString sState = "translated,x-custom,final,needs-adaptation,needs-l10n,needs-review-adaptation,"
                            "needs-review-l10n,needs-review-translation,needs-translation,new,signed-off";
    EXPECT_EQ(ListItems(dtd.m_pTargetStateAttr).utf8_string(), sState.utf8_string());
    EXPECT_EQ(ListItems(dtd.m_pTargetStateQualifierAttr).utf8_string(),
              "tm-suggestion,exact-match,fuzzy-match,id-match,leveraged-glossary,leveraged-inherited,leveraged-mt,"
              "leveraged-repository,leveraged-tm,x-leveraged-source,mt-suggestion,rejected-grammar,"
              "rejected-inaccurate,rejected-length,rejected-spelling");

    std::vector<tcNode*> apTargets;
    pDoc->GetDictionary()->FindDescendantsOfElementType(dtd.m_pTargetElement->GetID(), apTargets);
    ASSERT_EQ(apTargets.size(), 2u);
    EXPECT_EQ(apTargets[0]->GetAttributeS(dtd.m_pTargetStateAttr), "translated");
    EXPECT_EQ(apTargets[1]->GetAttributeS(dtd.m_pTargetStateAttr), "x-custom");
    EXPECT_EQ(apTargets[0]->GetAttributeS(dtd.m_pTargetStateQualifierAttr), "tm-suggestion");

    // Declaring again (the page reopened) adds nothing.
    SXLIFFDTD again;
    InitXLIFFDTD(pDoc.get(), again, true);
    EXPECT_EQ(ListItems(again.m_pTargetStateAttr).utf8_string(), sState.utf8_string());
    EXPECT_EQ(again.m_pTargetStateAttr, dtd.m_pTargetStateAttr);
}

TEST_F(XLIFFDTDTest, NewProjectMakesFilesEntriesUnderTheXliffRoot)
{
    std::unique_ptr<tcDocument> pDoc = NewProject();
    SXLIFFDTD dtd;
    InitXLIFFDTD(pDoc.get(), dtd, false);
    tcDTD* pDTD = pDoc->GetDTD();

    EXPECT_EQ(dtd.m_pFileElement->GetID(), 4);
    EXPECT_EQ(dtd.m_pFileElement->GetClass(), NODE_ENTRY);
    EXPECT_EQ(pDTD->GetElementByID(2)->GetName(), "xliff");
    EXPECT_EQ(pDTD->GetElementByID(2)->FindAttributeByID(4), nullptr);
    EXPECT_EQ(pDTD->FindElementByName("Lemma"), nullptr);
    std::set<int> setIDs;
    for (int i = 0; i < pDTD->GetNumElements(); ++i)
        EXPECT_TRUE(setIDs.insert(pDTD->GetElement(i)->GetID()).second) << pDTD->GetElement(i)->GetName();
    bool bDefaultStyles = false;
    for (int i = 0; i < pDoc->GetNumStyleSets(); ++i)
        bDefaultStyles |= pDoc->GetStyleSet(i)->GetName() == "Default styles";
    EXPECT_TRUE(bDefaultStyles);

    EXPECT_EQ(dtd.m_pXliffMemdocsAttr->GetType(), ATTR_LISTN);
    EXPECT_EQ(dtd.m_pFileLastModifiedAttr->GetDefaultType(), ATTRDEF_DATECHANGED);
    EXPECT_EQ(dtd.m_pFileLastModifiedByAttr->GetDefaultType(), ATTRDEF_USERCHANGED);
    EXPECT_TRUE(dtd.m_pSourceElement->AllowsPCDATA());
    EXPECT_FALSE(dtd.m_pItElement->AllowsPCDATA());

    // A file added under the root is an entry: edits inside it find it and stamp its change date.
    tcNode* pXliff = pDoc->GetDictionary()->GetChild(0);
    ASSERT_TRUE(pXliff);
    EXPECT_EQ(pXliff->GenerateXML(), "<xliff xml:space=\"preserve\"/>");
    tcNode* pFile = pDoc->AllocateElementByID(4);
    tcNode* pBody = pDoc->AllocateElement(dtd.m_pBodyElement);
    tcNode* pUnit = pDoc->AllocateElement(dtd.m_pTransUnitElement);
    ASSERT_TRUE(pXliff->AddChildOrdered(pFile));
    ASSERT_TRUE(pFile->AddChildOrdered(pBody));
    ASSERT_TRUE(pBody->AddChildOrdered(pUnit));
    EXPECT_EQ(tGetNodeEntry(pUnit), pFile);
    tNodeModified(pDoc.get(), pUnit, false, false);
    EXPECT_FALSE(pFile->GetAttributeS(dtd.m_pFileLastModifiedAttr).empty());
}

TEST_F(XLIFFDTDTest, MissingXliffKindStopsWithAFailureInEitherMode)
{
    for (bool bStrict : {true, false})
    {
        SCOPED_TRACE(bStrict);
        AssertRecorder asserts;
        tcDocument doc;
        doc.CreateDoc("empty");
        SXLIFFDTD dtd;
        EXPECT_THROW(InitXLIFFDTD(&doc, dtd, bStrict), TextFailure);
        EXPECT_EQ(dtd.m_pFileElement, nullptr);
        // A new project always has the kind, so its absence is an internal error there.
        EXPECT_EQ(asserts.asExpressions.size(), bStrict ? 0u : 1u);
    }
    SXLIFFDTD dtd;
    EXPECT_THROW(InitXLIFFDTD(nullptr, dtd, false), TextFailure);
}
