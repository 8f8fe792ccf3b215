#include "Shared/AppUtils_sharedStyle.h"

#include "Shared/AppUtils_shared.h"
#include "Shared/Options.h"
#include "tests/Shared/AppUtilsSharedFixtures.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcStyles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

// The dictionary DTD with a sense kind under the entry and a gloss kind (attribute "lang", id 1)
// under the sense: Gloss -> Sense -> Entry (4) -> Section (2). Colours and fonts are set per test.
class StyledDictionary
{
public:
    StyledDictionary()
    {
        pSense = AddElement(&dict.doc, "Sense", NODE_NODE, 20, 0, false);
        pGloss = AddElement(&dict.doc, "Gloss", NODE_NODE, 21, 0, false);
        AddElementChild(Entry(), pSense, CHILD_ZEROORMORE);
        AddElementChild(pSense, pGloss, CHILD_ZEROORMORE);
        pLang = pGloss->AddAttribute("lang", ATTR_CDATA, ATTRDEF_IMPLIED, 1);
        pStyles = dict.doc.GetCurrentStyles();
    }

    tcElement* Entry() const { return dict.doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY); }
    tcStyle* ElementStyle(tcElement* pElement)
    {
        return pStyles->AddStyle(std::make_unique<tcStyleElement>(pElement));
    }
    tcStyle* AttributeStyle(tcElement* pElement, tcAttribute* pAttr)
    {
        return pStyles->AddStyle(std::make_unique<tcStyleAttribute>(pElement, pAttr));
    }

    DictionaryDoc dict;
    tcElement* pSense = nullptr;
    tcElement* pGloss = nullptr;
    tcAttribute* pLang = nullptr;
    tcStyles* pStyles = nullptr;
};

class StyleRoutines : public testing::Test
{
protected:
    void SetUp() override { g_pDoc = &styled.dict.doc; }
    void TearDown() override
    {
        g_pDoc = nullptr;
        tSetFontExistsCheck(nullptr);
    }

    StyledDictionary styled;
};

// ----- Colours --------------------------------------------------------------------------------------

struct ColourCase
{
    const char* szName;
    const char* szGlossAttr; // colours of the styles that exist ("" = no such style)
    const char* szGloss;
    const char* szSense;
    const char* szEntry;
    int nAttrID;
    const char* szExpected;
};

TEST_F(StyleRoutines, ColourFallsBackAlongTheChain)
{
    const std::vector<ColourCase> aCases = {
        {"attribute style", "aa0000", "00bb00", "0000cc", "444444", 1, "aa0000"},
        {"element's own style after the attribute", "", "00bb00", "0000cc", "444444", 1, "00bb00"},
        {"parent kind", "", "", "0000cc", "444444", -1, "0000cc"},
        {"parents are asked for the same attribute", "", "", "0000cc", "444444", 1, "444444"},
        {"entry kind", "", "", "", "444444", 1, "444444"},
        {"five characters do not count", "", "12345", "0000cc", "444444", -1, "0000cc"},
        {"seven characters do not count", "#aa0000", "", "", "", 1, "909090"},
        {"nothing anywhere", "", "", "", "", 1, "909090"},
        {"attribute the kind lacks", "", "", "", "", 7, "909090"},
    };
    for (const ColourCase& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        StyledDictionary s;
        g_pDoc = &s.dict.doc;
        if (*c.szGlossAttr)
            s.AttributeStyle(s.pGloss, s.pLang)->sColourF = c.szGlossAttr;
        if (*c.szGloss)
            s.ElementStyle(s.pGloss)->sColourF = c.szGloss;
        if (*c.szSense)
            s.ElementStyle(s.pSense)->sColourF = c.szSense;
        if (*c.szEntry)
            s.ElementStyle(s.Entry())->sColourF = c.szEntry;
        EXPECT_EQ(c.szExpected, GetStyleColour(s.pStyles, 21, c.nAttrID));
    }
}

TEST_F(StyleRoutines, ColourBackgroundFallbackAndMissingParts)
{
    tcStyle* pGloss = styled.ElementStyle(styled.pGloss);
    pGloss->sColourF = "111111";
    pGloss->sColourB = "222222";
    EXPECT_EQ("222222", GetStyleColour(styled.pStyles, 21, -1, "909090", false));
    EXPECT_EQ("222222", GetStyleColourHelper(styled.pStyles, 21, -1, false));
    EXPECT_EQ("", GetStyleColourHelper(styled.pStyles, 21, 1, true)); // no attribute style
    EXPECT_EQ("", GetStyleColourHelper(styled.pStyles, 99, -1, true)); // kind not in the DTD
    EXPECT_EQ("ffffff", GetStyleColour(styled.pStyles, 99, -1, "ffffff"));
    EXPECT_EQ("", GetStyleColour(nullptr, 21));

    // Without g_pDoc no style is found and the parent walk ends at once.
    g_pDoc = nullptr;
    EXPECT_EQ("", GetStyleColourHelper(styled.pStyles, 21, -1, true));
    EXPECT_EQ("909090", GetStyleColour(styled.pStyles, 21));
}

TEST_F(StyleRoutines, ColourWalkEndsInKindsThatListEachOther)
{
    TinyDoc tiny({{"A", "B", CHILD_ONE}, {"B", "A", CHILD_ONE}});
    g_pDoc = &tiny.doc;
    EXPECT_EQ("909090", GetStyleColour(tiny.doc.GetCurrentStyles(), tiny.Kind("A")->GetID()));
}

// ----- Fonts ----------------------------------------------------------------------------------------

bool InstalledForTest(const wxString& sFace)
{
    return sFace == "Gentium" || sFace == "DejaVu Sans";
}

struct FontCase
{
    const char* szName;
    const char* szGlossAttr;
    const char* szGloss;
    const char* szSense;
    const char* szEntry;
    int nElementID;
    int nAttrID;
    const char* szExpected;
};

TEST_F(StyleRoutines, FontFallsBackToInstalledFaces)
{
    const std::vector<FontCase> aCases = {
        {"attribute style", "Gentium", "DejaVu Sans", "", "", 21, 1, "Gentium"},
        {"face not installed: element style", "Nowhere Sans", "DejaVu Sans", "", "Gentium", 21, 1, "DejaVu Sans"},
        {"entry kind next", "Nowhere Sans", "Nowhere Serif", "", "Gentium", 21, 1, "Gentium"},
        {"no parent walk for fonts", "", "", "Gentium", "", 21, -1, "Arial"},
        {"nothing installed", "Nowhere Sans", "Nowhere Serif", "", "Nowhere Mono", 21, 1, "Arial"},
        {"kind not in the DTD", "Gentium", "Gentium", "Gentium", "Gentium", 99, -1, "Arial"},
    };
    tSetFontExistsCheck(&InstalledForTest);
    for (const FontCase& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        StyledDictionary s;
        g_pDoc = &s.dict.doc;
        if (*c.szGlossAttr)
            s.AttributeStyle(s.pGloss, s.pLang)->sFont = c.szGlossAttr;
        if (*c.szGloss)
            s.ElementStyle(s.pGloss)->sFont = c.szGloss;
        if (*c.szSense)
            s.ElementStyle(s.pSense)->sFont = c.szSense;
        if (*c.szEntry)
            s.ElementStyle(s.Entry())->sFont = c.szEntry;
        EXPECT_EQ(c.szExpected, GetStyleFont(s.pStyles, c.nElementID, c.nAttrID));
    }
}

TEST_F(StyleRoutines, FontHelperAndUnjudgedFaces)
{
    styled.ElementStyle(styled.pGloss)->sFont = wxString::FromUTF8("Gentium Plus Ä");
    // Without a check every face that is set counts, and the face comes back as UTF-8.
    EXPECT_EQ("Gentium Plus \xC3\x84", GetStyleFontHelper(styled.pStyles, 21));
    EXPECT_EQ("", GetStyleFontHelper(styled.pStyles, 21, 1)); // no attribute style
    tSetFontExistsCheck(&InstalledForTest);
    EXPECT_EQ("", GetStyleFontHelper(styled.pStyles, 21));
    EXPECT_EQ("Arial", GetStyleFont(nullptr, 21));
}

// ----- Output-order visibility ----------------------------------------------------------------------

// Orders: P1 shows C, its attribute X and its text; P2 shows C and D.
class OrderFixture : public testing::Test
{
public:
    OrderFixture()
    {
        pP1 = tiny.Kind("P1");
        pP2 = tiny.Kind("P2");
        pC = tiny.Kind("C");
        pD = tiny.Kind("D");
        pX = pP1->AddAttribute("X", ATTR_CDATA, ATTRDEF_IMPLIED);
        pOrder = tiny.doc.GetCurrentOrder();
        pOrder->AddElementOrderChild(pP1, pC);
        pOrder->AddElementOrderAttribute(pP1, pX);
        pOrder->AddElementOrderPCDATA(pP1);
        pOrder->AddElementOrderChild(pP2, pC);
        pOrder->AddElementOrderChild(pP2, pD);
    }

    // Visibility of every item, kind by kind: "P1:101 P2:11".
    std::string Flags() const
    {
        std::string s;
        for (int i = 0; i < pOrder->GetNumElements(); ++i)
        {
            const tcElementOrderItems* pItems = pOrder->GetOrderElementByIndex(i);
            s += (i ? " " : "") + pItems->GetElement()->GetName().utf8_string() + ":";
            for (int j = 0; j < pItems->GetNumOrderItems(); ++j)
                s += pItems->GetOrderItem(j)->IsVisible() ? "1" : "0";
        }
        return s;
    }

    TinyDoc tiny;
    tcElement* pP1 = nullptr;
    tcElement* pP2 = nullptr;
    tcElement* pC = nullptr;
    tcElement* pD = nullptr;
    tcAttribute* pX = nullptr;
    tcOrder* pOrder = nullptr;
};

TEST_F(OrderFixture, VisibilityRoutinesChangeOnlyTheirItems)
{
    struct Case
    {
        const char* szName;
        std::function<void(OrderFixture&)> fnChange;
        const char* szExpected;
    };
    const std::vector<Case> aCases = {
        {"a kind everywhere", [](OrderFixture& f) { tSetElementStyleVisibility(f.pC, &f.tiny.doc, false, nullptr); },
         "P1:011 P2:01"},
        {"a kind in one parent only",
         [](OrderFixture& f) { tSetElementStyleVisibility(f.pP2, f.pC, &f.tiny.doc, false, nullptr); },
         "P1:111 P2:01"},
        {"no parent changes nothing",
         [](OrderFixture& f) { tSetElementStyleVisibility(nullptr, f.pC, &f.tiny.doc, false, nullptr); },
         "P1:111 P2:11"},
        {"an attribute",
         [](OrderFixture& f) { tSetAttributeStyleVisibility(f.pP1, f.pX, &f.tiny.doc, false, nullptr); },
         "P1:101 P2:11"},
        {"an attribute of another kind's order",
         [](OrderFixture& f) { tSetAttributeStyleVisibility(f.pP2, f.pX, &f.tiny.doc, false, nullptr); },
         "P1:111 P2:11"},
        {"toggle", [](OrderFixture& f) { tToggleElementStyleVisibility(f.pD, &f.tiny.doc, nullptr); }, "P1:111 P2:10"},
        {"toggle twice",
         [](OrderFixture& f)
         {
             tSetElementStyleVisibility(f.pP1, f.pC, &f.tiny.doc, false, nullptr);
             tToggleElementStyleVisibility(f.pC, &f.tiny.doc, nullptr);
             tToggleElementStyleVisibility(f.pC, &f.tiny.doc, nullptr);
         },
         "P1:011 P2:11"},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        for (int i = 0; i < pOrder->GetNumElements(); ++i)
            for (int j = 0; j < pOrder->GetOrderElementByIndex(i)->GetNumOrderItems(); ++j)
                pOrder->GetOrderElementByIndex(i)->GetOrderItem(j)->SetVisible(true);
        c.fnChange(*this);
        EXPECT_EQ(c.szExpected, Flags());
    }
}

TEST_F(OrderFixture, OrderChangeIsAnnouncedOnlyWithASender)
{
    EventRecorder orderChanged(Evt_OutputOrderChanged);
    EventRecorder stylesChanged(Evt_StylesChanged);
    int nSender = 0;

    tSetElementStyleVisibility(pC, &tiny.doc, false, nullptr);
    EXPECT_TRUE(orderChanged.aCalls.empty());
    EXPECT_EQ(1u, stylesChanged.aCalls.size());
    EXPECT_TRUE(tiny.doc.m_bStylesChanged);

    tToggleElementStyleVisibility(pC, &tiny.doc, &nSender);
    tSetAttributeStyleVisibility(pP1, pX, &tiny.doc, true, &nSender);
    tSetElementStyleVisibility(pP1, pC, &tiny.doc, true, &nSender);
    ASSERT_EQ(3u, orderChanged.aCalls.size());
    for (const auto& call : orderChanged.aCalls)
    {
        EXPECT_EQ(&nSender, call.first);
        EXPECT_EQ(nullptr, call.second);
    }

    // No document: nothing changes and nothing is announced.
    tToggleElementStyleVisibility(pC, nullptr, &nSender);
    EXPECT_EQ(3u, orderChanged.aCalls.size());
    EXPECT_EQ(4u, stylesChanged.aCalls.size());
}

// ----- Loading --------------------------------------------------------------------------------------

// A handler whose loads are scripted: results, reported errors and a hook that runs inside the
// load (for nested requests).
class FakeIO : public tcIO
{
public:
    bool LoadEntry(tcNode* pNode, bool& bError, bool bForce) override
    {
        aLoaded.push_back(pNode);
        abForce.push_back(bForce);
        bInLoadFlag = g_bInRequestLoad;
        if (fnDuringLoad)
            fnDuringLoad();
        bError = bReportError;
        return bSucceed;
    }
    bool LoadAll(tcLanguage*, bool, tcNode*, bool& bError, bool& bResult) override
    {
        ++nLoadAll;
        if (fnDuringLoad)
            fnDuringLoad();
        bError = bReportError;
        bResult = !bResult;
        return bSucceed;
    }

    std::vector<tcNode*> aLoaded;
    std::vector<bool> abForce;
    int nLoadAll = 0;
    bool bInLoadFlag = false;
    bool bSucceed = true;
    bool bReportError = false;
    std::function<void()> fnDuringLoad;
};

class RequestLoad : public testing::Test
{
protected:
    RequestLoad()
    {
        pEntry = dict.AddEntry("word");
        pEntry->SetAttributeSByID(1, "word");
    }
    void SetUp() override { tApp()->AppSetIO(&io); }
    void TearDown() override
    {
        tApp()->AppSetIO(nullptr);
        tApp()->aSections.clear();
        g_bInRequestLoad = false;
    }

    DictionaryDoc dict;
    tcEntry* pEntry = nullptr;
    FakeIO io;
    tcLogCapture log;
};

TEST_F(RequestLoad, ResultsFollowTheHandler)
{
    struct Case
    {
        const char* szName;
        bool bSucceed;
        bool bReportError;
        bool bLoad;
        bool bSafe;
        int nAll;
    };
    const std::vector<Case> aCases = {
        {"loaded", true, false, true, true, 1},
        {"failed", false, false, false, false, -1},
        {"error reported", true, true, false, false, 0},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        io.bSucceed = c.bSucceed;
        io.bReportError = c.bReportError;
        log.Clear();
        EXPECT_EQ(c.bLoad, tRequestLoad(pEntry));
        EXPECT_TRUE(io.bInLoadFlag);
        EXPECT_FALSE(g_bInRequestLoad);
        EXPECT_EQ(c.bSafe, tRequestLoadSafe(pEntry));
        EXPECT_EQ(c.bReportError, log.Contains("Entry invalidated inside 'tRequestLoadSafe'"));
        bool bResult = false;
        EXPECT_EQ(c.nAll, tRequestLoadAll(nullptr, false, nullptr, bResult));
        EXPECT_TRUE(bResult); // as the handler left it
        EXPECT_FALSE(g_bInRequestLoad);
    }
    EXPECT_EQ((std::vector<bool>{true, false, true, false, true, false}), io.abForce);
}

TEST_F(RequestLoad, WithoutHandlerOrNodeNothingLoads)
{
    EXPECT_FALSE(tRequestLoad(nullptr));
    EXPECT_FALSE(tRequestLoadSafe(nullptr));
    tApp()->AppSetIO(nullptr);
    EXPECT_TRUE(tRequestLoad(pEntry));
    EXPECT_TRUE(tRequestLoadSafe(pEntry));
    bool bResult = false;
    EXPECT_EQ(1, tRequestLoadAll(nullptr, false, nullptr, bResult));
    EXPECT_FALSE(bResult);
    EXPECT_TRUE(io.aLoaded.empty());
    EXPECT_EQ(0, io.nLoadAll);
}

TEST_F(RequestLoad, SelectedEntryIsNotReloadedBySafe)
{
    tcSection section;
    section.pLanguage = dict.pSection;
    section.pSelectedEntry = pEntry;
    tApp()->aSections.push_back(section);
    EXPECT_TRUE(tRequestLoadSafe(pEntry));
    EXPECT_TRUE(io.aLoaded.empty());
    EXPECT_TRUE(tRequestLoad(pEntry)); // the forced load does not spare it
    EXPECT_EQ(1u, io.aLoaded.size());
}

TEST_F(RequestLoad, NestedRequestsAreRefused)
{
    tcEntry* pOther = dict.AddEntry("other");
    bool bInner = true;
    int nInnerAll = 0;
    bool bResult = false;
    bool bNested = false;
    io.fnDuringLoad = [&]
    {
        if (bNested)
            return; // one level
        bNested = true;
        bInner = tRequestLoad(pOther);
        nInnerAll = tRequestLoadAll(nullptr, false, nullptr, bResult);
    };
    EXPECT_TRUE(tRequestLoad(pEntry));
    EXPECT_FALSE(bInner);
    EXPECT_EQ(-1, nInnerAll);
    EXPECT_EQ(std::vector<tcNode*>{pEntry}, io.aLoaded);
    const std::vector<wxString> asLines = log.Lines();
    EXPECT_EQ(1, std::count(asLines.begin(), asLines.end(), "WARNING: tRequestLoad[All] re-entry occurred in tRequestLoad"));
    EXPECT_EQ(1, std::count(asLines.begin(), asLines.end(), "WARNING: tRequestLoad[All] re-entry occurred"));
    EXPECT_FALSE(g_bInRequestLoad);

    // The flag is cleared also when the handler throws.
    io.fnDuringLoad = [] { throw std::runtime_error("handler failed"); };
    EXPECT_THROW(tRequestLoad(pEntry), std::runtime_error);
    EXPECT_FALSE(g_bInRequestLoad);
    EXPECT_TRUE(tApp()->CanBackgroundProcess());
}

TEST_F(RequestLoad, AttributeByNameLoadsEntriesFirst)
{
    EXPECT_EQ("word", tGetAttributeAsStringByName(pEntry, "LemmaSign"));
    EXPECT_EQ(std::vector<tcNode*>{pEntry}, io.aLoaded);
    EXPECT_EQ("", tGetAttributeAsStringByName(pEntry, "lemmasign")); // exact comparison
    EXPECT_EQ("", tGetAttributeAsStringByName(nullptr, "LemmaSign"));

    // A section is no entry: read without a load.
    dict.pSection->SetAttributeSByID(1, "Words");
    io.aLoaded.clear();
    EXPECT_EQ("Words", tGetAttributeAsStringByName(dict.pSection, "Name"));
    EXPECT_TRUE(io.aLoaded.empty());

    // A failed or refused load still reads the value.
    io.bSucceed = false;
    g_bInRequestLoad = true;
    EXPECT_EQ("word", tGetAttributeAsStringByName(pEntry, "LemmaSign"));
    EXPECT_TRUE(io.aLoaded.empty());
    EXPECT_TRUE(log.Contains("re-entry occurred in tRequestLoad"));
}

} // namespace
