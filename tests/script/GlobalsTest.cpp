// The global functions and variables of the binding package, through scripts.

#include "script/tolua.h"
#include "tests/script/ScriptTestSupport.h"

#include "Shared/AppUtils_shared.h"
#include "Shared/AppUtils_sharedStyle.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tDocRoutines.h"
#include "varnak/include/tGlobals.h"
#include "varnak/include/tTextRoutines.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <memory>
#include <string>

namespace
{
class GlobalsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_state.OpenPackage(), "");
    }
    void TearDown() override
    {
        // the process's globals as the next test expects them
        g_nZoom = 100;
        gCurrentGroupItemIndex = -1;
        g_bAdminNoUpdateTimestamps = false;
        g_pDoc = nullptr;
        gCurrentNode = nullptr;
        gCurrentEntry = nullptr;
        gCurrentSortCmp1 = nullptr;
        gCurrentSortCmp2 = nullptr;
        gCurrentSortSection = nullptr;
    }
    // Makes the object a script global of that type.
    void SetGlobal(const char* szName, void* p, const char* szType)
    {
        tolua_pushusertype(m_state.L(), p, szType);
        lua_setglobal(m_state.L(), szName);
    }

    ScriptState m_state;
};

TEST_F(GlobalsTest, FunctionFormsResultsAndErrors)
{
    EXPECT_EQ(m_state.RunFixture("globals_calls.lua"), "");
}

TEST_F(GlobalsTest, VariablesStoreRefuseAndCheck)
{
    EXPECT_EQ(m_state.RunFixture("globals_variables.lua"), "");
    EXPECT_EQ(g_nZoom, 7);
    EXPECT_EQ(gCurrentGroupItemIndex, 3);
    EXPECT_TRUE(g_bAdminNoUpdateTimestamps);
    EXPECT_NE(g_pIORegistry, nullptr);
}

// A small dictionary with the default DTD: root, one section, one entry.
struct Dictionary
{
    Dictionary()
    {
        doc->CreateDoc("dictionary");
        tCreateDefaultDTDMendrasi(doc.get());
        root = doc->AllocateElementByID(1);
        section = doc->AllocateElementByID(2);
        entry = doc->AllocateElementByID(4);
        doc->SetDictionary(static_cast<tcDictionary*>(root));
        root->AddChildLast(section);
        section->AddChildLast(entry);
    }
    std::unique_ptr<tcDocument> doc = std::make_unique<tcDocument>();
    tcNode* root = nullptr;
    tcNode* section = nullptr;
    tcNode* entry = nullptr;
};

TEST_F(GlobalsTest, DocumentRoutinesUseTheScriptsCurrentDocument)
{
    Dictionary d;
    SetGlobal("doc", d.doc.get(), "tcDocument");
    SetGlobal("entry", d.entry, "tcNode");
    EXPECT_EQ(m_state.Run(R"lua(
        expect_eq(GetParentID(4), -1, "no current document")
        g_pDoc = doc
        expect_eq(GetParentID(4), 2, "an entry's parent is the section")
        expect_eq(GetParentID(77), -1, "unknown kind")
        expect_eq(tGetAttrDefaultTypeString(ATTRDEF_DATECREATED), "DTD_ATTRIBUTE_TYPE_DATECREATED", "no catalog: the key")
        expect_eq(tGetAttrDefaultTypeString(-1), "?", "unknown default kind")
        expect_eq(tIsEntryNode(entry), true, "an entry")
        expect_eq(tGetNodeDoc(entry), doc, "its document, the same box")
        local made = AllocateElementByIDHelper(4, doc)
        expect_eq(tIsEntryNode(made), true, "a new entry of the current document")
        expect_eq(tGetNodeDoc(made), doc, "owned by the document")
        expect_eq(AllocateElementByIDHelper(77, doc), nil, "no such kind")
    )lua"),
              "");
    EXPECT_EQ(g_pDoc, d.doc.get());
}

// Every pointer variable forgets its object when the object is destroyed, whoever destroys it; a
// box read afterwards is nil, not a pointer to freed memory.
TEST_F(GlobalsTest, PointerVariablesForgetDestroyedObjects)
{
    auto d = std::make_unique<Dictionary>();
    SetGlobal("doc", d->doc.get(), "tcDocument");
    SetGlobal("root", d->root, "tcNode");
    SetGlobal("section", d->section, "tcLanguage");
    SetGlobal("entry", d->entry, "tcEntry");
    ASSERT_EQ(m_state.Run(R"lua(
        g_pDoc = doc
        gCurrentNode = root
        gCurrentSortSection = section
        gCurrentEntry = entry
        gCurrentSortCmp1 = entry
        gCurrentSortCmp2 = entry
        expect_eq(gCurrentEntry, entry, "set")
    )lua"),
              "");
    ASSERT_EQ(gCurrentNode, d->root);

    // a subtree removed from its document: its nodes go, the document stays
    ASSERT_TRUE(d->doc->DeleteTreeFromMem(d->section));
    EXPECT_EQ(gCurrentSortSection, nullptr);
    EXPECT_EQ(gCurrentEntry, nullptr);
    EXPECT_EQ(gCurrentSortCmp1, nullptr);
    EXPECT_EQ(gCurrentSortCmp2, nullptr);
    EXPECT_EQ(gCurrentNode, d->root);
    EXPECT_EQ(g_pDoc, d->doc.get());

    d.reset();
    EXPECT_EQ(gCurrentNode, nullptr);
    EXPECT_EQ(g_pDoc, nullptr);
    EXPECT_EQ(m_state.Run(R"lua(
        for _, name in ipairs({"g_pDoc", "gCurrentNode", "gCurrentEntry", "gCurrentSortSection", "gCurrentSortCmp1",
                               "gCurrentSortCmp2"}) do
          expect_eq(_G[name], nil, name)
        end
    )lua"),
              "");
}

// The library's further forms that scripts reach: they give what the forms they stand for give.
TEST(GlobalsLibraryForms, FurtherFormsForwardFaithfully)
{
    EXPECT_EQ(tUTF32ToStr(std::vector<int>{0x1F334, 0x20, 0x41}), L"\U0001F334 A");
    EXPECT_EQ(tUTF32ToStr(std::vector<int>{0x48, -1, 0xD800, 0x110000, 0x69}), L"H\uFFFD\uFFFD\uFFFDi")
        << "values that are no scalar values";

    tGUID guid{};
    EXPECT_TRUE(tStringToGUID("ae567ac9-0795-4dec-8833-80f9cbfedfaa", guid));
    EXPECT_EQ(tGUIDToString2(guid), "AE567AC9-0795-4DEC-8833-80F9CBFEDFAA");
    EXPECT_FALSE(tStringToGUID(static_cast<const char*>(nullptr), guid));
    EXPECT_FALSE(tStringToGUID(static_cast<const wchar_t*>(nullptr), guid));
    EXPECT_EQ(tGUIDToString2(guid), "AE567AC9-0795-4DEC-8833-80F9CBFEDFAA") << "unchanged by a refusal";
    EXPECT_EQ(tGUIDToString2(tStringToGUID(wxString("{AE567AC9-0795-4DEC-8833-80F9CBFEDFAA}"))),
              "AE567AC9-0795-4DEC-8833-80F9CBFEDFAA");

    // file names as UTF-8, appended like the wide form
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "globals_forms";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "caf\xc3\xa9.txt") << "x";
    std::ofstream(dir / "other.md") << "x";
    std::vector<std::string> aFiles = {"kept"};
    EXPECT_EQ(tFindAllFiles(wxString::FromUTF8(dir.string()), "*.txt", aFiles, false), 1u);
    ASSERT_EQ(aFiles.size(), 2u);
    EXPECT_EQ(aFiles[0], "kept");
    EXPECT_EQ(aFiles[1], (dir / "caf\xc3\xa9.txt").string());
    std::filesystem::remove_all(dir);
}

TEST(GlobalsLibraryForms, StyleAndTypeFormsByIdentifier)
{
    Dictionary d;
    tcDocument* pDoc = d.doc.get();
    tcElement* pKind = pDoc->GetDTD()->GetElementByID(4);
    ASSERT_NE(pKind, nullptr);
    tcAttribute* pAttr = tCreateAttribute2(pDoc, pKind, "colour", ATTR_CDATA, ATTRDEF_VALUE);
    ASSERT_NE(pAttr, nullptr);

    tcStyleAttribute* pStyle = tAddStyleAttribute(pDoc, 4, pAttr->GetID(), "", -1, -1, -1, -1, -1, -1, "[", "]", "",
                                                  "", "FF0000", "", "", "", "");
    ASSERT_NE(pStyle, nullptr);
    EXPECT_EQ(tGetColourF(pDoc->GetCurrentStyles(), pKind, pAttr), "FF0000");
    EXPECT_EQ(tAddStyleAttribute(pDoc, pKind, pAttr, "", -1, -1, -1, -1, -1, -1, "", "", "", "", "00FF00", "", "", "",
                                 ""),
              pStyle)
        << "the same style as the form with pointers";
    EXPECT_EQ(tAddStyleAttribute(pDoc, 4, 9999, "", -1, -1, -1, -1, -1, -1, "", "", "", "", "", "", "", "", ""), nullptr);
    EXPECT_EQ(tAddStyleAttribute(pDoc, 77, pAttr->GetID(), "", -1, -1, -1, -1, -1, -1, "", "", "", "", "", "", "", "",
                                 ""),
              nullptr);
    EXPECT_EQ(tAddStyleAttribute(nullptr, 4, pAttr->GetID(), "", -1, -1, -1, -1, -1, -1, "", "", "", "", "", "", "",
                                 "", ""),
              nullptr);

    ASSERT_TRUE(tChangeAttributeType(pDoc, pKind, pAttr, ATTR_LIST));
    EXPECT_EQ(pAttr->GetType(), ATTR_LIST);
    ASSERT_NE(pAttr->GetList(), nullptr);
    EXPECT_EQ(pAttr->GetList()->GetName(), pKind->GetName() + "_colour") << "the default list";
}
} // namespace
