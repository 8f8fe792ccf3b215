// The convertor base: the file element it makes, the text of units in a language, preview markers
// and the preview cache, file writing, and the registry of convertor kinds.
#include "engine/Convertor.h"

#include "Shared/AppUtils_shared.h"
#include "engine/ConvertorProgress.h"
#include "engine/ConvertorRegistry.h"
#include "engine/Convertor_segment.h"
#include "engine/XLIFFDTD.h"
#include "tests/harness/AssertRecorder.h"
#include "tests/harness/TempHome.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tDateTime.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

// Markers written short in expectations: {u u} untranslated, {s s} selected.
wxString Short(wxString s)
{
    tStrReplace(s, kszUntranslatedBegin, L"{u");
    tStrReplace(s, kszUntranslatedEnd, L"u}");
    tStrReplace(s, kszSelectedBegin, L"{s");
    tStrReplace(s, kszSelectedEnd, L"s}");
    return s;
}

class ProgressRecorder : public tcConvertorProgress
{
public:
    int GetValue() const override { return m_nValue; }
    void SetValue(int nValue) override { m_nValue = nValue > kHighest ? kHighest : nValue; }
    int m_nValue = 0;
};

// Reads nothing by itself: fnImport fills the units. Records previews and exports.
class TestConvertor : public tcConvertor
{
public:
    TestConvertor(tcDocument* pDoc, const wxString& sSourceLanguage, const wxString& sType = L"test")
        : tcConvertor(sType, pDoc, sSourceLanguage)
    {
    }

    bool Import(CSegmentDoc* pSegDoc, tcConvertorProgress* pProgress) override
    {
        if (pProgress)
            pProgress->SetValue(pProgress->GetValue() + 500);
        return fnImport ? fnImport(pSegDoc) : true;
    }
    wxWindow* Preview(const wxString&, const wxString& sText, wxWindow*, tcNode*) override
    {
        ++nPreviews;
        sLastPreview = sText;
        return nullptr;
    }
    wxWindow* ShowLastPreview(wxWindow*) override
    {
        ++nShowLast;
        return nullptr;
    }
    bool Export(const wxString& sSkeleton, const wxString& sText, const wxString&, tcNode*) override
    {
        sExportedSkeleton = sSkeleton;
        sExported = sText;
        return bExportSucceeds;
    }

    std::function<bool(CSegmentDoc*)> fnImport;
    int nPreviews = 0;
    int nShowLast = 0;
    wxString sLastPreview;
    wxString sExported;
    wxString sExportedSkeleton;
    bool bExportSucceeds = true;
};

// A new project document with its vocabulary.
class ConvertorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_doc.CreateDoc(L"project");
        m_pRoot = PrepareNewProjectDocument(&m_doc);
        ASSERT_TRUE(m_pRoot);
        InitXLIFFDTD(&m_doc, m_dtd, false);
        CSegmentTUChild::ResetIDCounterForTests();
    }

    // A file element under the project's section, its content parsed from sContent.
    tcNode* AddFile(const wxString& sContent, const wxString& sTargetLanguage = L"de")
    {
        tcNode* pFile = AllocateElementByIDHelper(m_dtd.m_pFileElement->GetID(), &m_doc);
        m_pRoot->GetSection(0)->AddChildLast(pFile);
        pFile->SetAttributeDisplayByString(m_dtd.m_pFileSourceLanguageAttr, L"en");
        pFile->SetAttributeDisplayByString(m_dtd.m_pFileTargetLanguageAttr, sTargetLanguage);
        EXPECT_TRUE(pFile->ParseXML(sContent, &m_doc)) << sContent;
        m_doc.ClearDirty();
        return pFile;
    }

    tcNode* FirstOfKind(const tcNode* pNode, const tcElement* pElement) const
    {
        return pNode->GetNthDescendantOfElementType(pElement->GetID(), 0);
    }

    tcDocument m_doc;
    tcDictionary* m_pRoot = nullptr;
    SXLIFFDTD m_dtd;
};

// ---- Text of a unit --------------------------------------------------------------------------------

struct UnitTextCase
{
    const char* szName;
    const char* szUnit;
    const char* szLanguage;
    bool bPreview;
    // "" none, "source" the unit's source, "mrkN" the seg-source segment with mid N.
    const char* szCurrent;
    const char* szExpected;
    const char* szAssert;
    const char* szFileTargetLanguage = "de";
};

const char* const kThreeSegments = R"(<source>One. Two. Three.</source><seg-source>)"
                                   R"(<mrk mtype="seg" mid="1">One.</mrk><mrk mtype="seg" mid="2"> Two.</mrk>)"
                                   R"(<mrk mtype="seg" mid="3"> Three.</mrk></seg-source>)";

const std::string kOneAndThree = std::string(kThreeSegments) +
                                 R"(<target xml:lang="de"><mrk mtype="seg" mid="1">Eins.</mrk>)"
                                 R"(<mrk mtype="seg" mid="3"> Drei.</mrk></target>)";
const std::string kOneOnly =
    std::string(kThreeSegments) + R"(<target xml:lang="de"><mrk mtype="seg" mid="1">Eins.</mrk></target>)";

const char* const kAltInCode = R"(<source>See <ph><![CDATA[<img alt="]]><sub>Red car</sub><![CDATA[">]]></ph></source>)"
                               R"(<seg-source><mrk mtype="seg" mid="1">See </mrk><ph><![CDATA[<img alt="]]><sub>)"
                               R"(<mrk mtype="seg" mid="2">Red car</mrk></sub><![CDATA[">]]></ph></seg-source>)";

const std::string kAltInCodeTranslated = std::string(kAltInCode) +
                                         R"(<target xml:lang="de"><mrk mtype="seg" mid="1">Siehe </mrk>)"
                                         R"(<mrk mtype="seg" mid="2">Rotes Auto</mrk></target>)";

const std::vector<UnitTextCase> kUnitTextCases = {
    {"the source language gives the source even with targets",
     R"(<source>Hello world.</source><target xml:lang="en">Hi.</target><target xml:lang="de">Hallo Welt.</target>)",
     "en", false, "", "Hello world.", nullptr},
    {"the first of two targets in the language",
     R"(<source>A</source><target xml:lang="de">eins</target>)"
     R"(<target xml:lang="de">zwei</target>)",
     "de", false, "", "eins", nullptr},
    {"a target in another language gives the source",
     R"(<source>A</source><seg-source>A</seg-source><target xml:lang="fr">un</target>)", "de", false, "", "A", nullptr},
    {"... and the source is untranslated in a preview",
     R"(<source>A</source><seg-source>A</seg-source><target xml:lang="fr">un</target>)", "de", true, "", "{uAu}",
     nullptr},
    {"targets for mids 1 and 3 of 3 surround source 2", kOneAndThree.c_str(), "de", false, "", "Eins. Two. Drei.",
     nullptr},
    {"... and segment 2 is untranslated and selected in a preview", kOneAndThree.c_str(), "de", true, "mrk2",
     "Eins.{s{u Two.u}s} Drei.", nullptr},
    {"adjacent untranslated segments form one run", kOneOnly.c_str(), "de", true, "", "Eins.{u Two. Three.u}", nullptr},
    {"a segmented unit without target is untranslated throughout", kThreeSegments, "de", true, "mrk1",
     "{s{uOne.u}s}{u Two. Three.u}", nullptr},
    {"an empty target gives empty text", R"(<source>A</source><target xml:lang="de"/>)", "de", false, "", "", nullptr},
    {"a unit without source", R"(<target xml:lang="de">x</target>)", "en", false, "", "", "pSource"},
    {"a unit without seg-source and source", R"(<target xml:lang="de">x</target>)", "de", false, "", "", "pSegSource"},
    {"a target without xml:lang is in the file's target language", R"(<source>A</source><target>B</target>)", "de",
     false, "", "B", nullptr},
    {"a target without any language is reported", R"(<source>A</source><target>B</target>)", "de", false, "", "A",
     "(sLang!=L\"\")", ""},
    {"native tags named like inline elements survive",
     R"(<source>H<bpt id="1"><![CDATA[<sub>]]></bpt>2<ept id="1"><![CDATA[</sub>]]></ept>O</source>)", "en", false, "",
     "H<sub>2</sub>O", nullptr},
    {"text is escaped, code markup is not",
     R"(<source>A</source><target xml:lang="de">a &lt; b &amp; c&gt;<ph><![CDATA[<br>]]></ph>d</target>)", "de", false,
     "", "a &lt; b &amp; c&gt;<br>d", nullptr},
    {"a code written as escaped text gives its markup",
     R"(<source>Click <bpt id="1">&lt;b&gt;</bpt>here<ept id="1">&lt;/b&gt;</ept> &amp; go</source>)", "en", false, "",
     "Click <b>here</b> &amp; go", nullptr},
    {"a target without the source's codes and blanks gets them back",
     R"(<source>x</source><seg-source> <bpt id="1"><![CDATA[<p>]]></bpt><bpt id="2"><![CDATA[<b>]]></bpt>Press)"
     R"(<ept id="2"><![CDATA[</b>]]></ept> it.<ept id="1"><![CDATA[</p>]]></ept>)"
     R"(<ph><![CDATA[<newline>]]></ph></seg-source><target xml:lang="de">Drücken.</target>)",
     "de", false, "", " <p><b>Drücken.</b></p><newline>", nullptr},
    {"target segments get their source segment's codes and blanks back",
     R"(<source>x</source><seg-source><mrk mtype="seg" mid="1"><it pos="open"><![CDATA[<p>]]></it>One. </mrk>)"
     R"(<mrk mtype="seg" mid="2">Two.&#10;<it pos="close"><![CDATA[</p>]]></it></mrk></seg-source>)"
     R"(<target xml:lang="de"><mrk mtype="seg" mid="1">Eins.</mrk><mrk mtype="seg" mid="2">Zwei.</mrk></target>)",
     "de", false, "", "<p>Eins. Zwei.\n</p>", nullptr},
    {"codes a target segment has are not added again",
     R"(<source>x</source><seg-source><mrk mtype="seg" mid="1"><it pos="open"><![CDATA[<p>]]></it>One. </mrk>)"
     R"(<mrk mtype="seg" mid="2">Two.<it pos="close"><![CDATA[</p>]]></it></mrk></seg-source>)"
     R"(<target xml:lang="de"><mrk mtype="seg" mid="1">Eins. <it pos="open"><![CDATA[<p>]]></it></mrk>)"
     R"(<mrk mtype="seg" mid="2">Zwei.</mrk></target>)",
     "de", false, "", "Eins. <p>Zwei.</p>", nullptr},
    {"the selected unit's target is marked", R"(<source>Hello</source><target xml:lang="de">Hallo</target>)", "de",
     true, "source", "{sHallos}", nullptr},
    {"the selected untranslated unit carries both markers", R"(<source>A</source><seg-source>A</seg-source>)", "de",
     true, "source", "{s{uAu}s}", nullptr},
    {"a sub-flow inside a code is never marked", kAltInCode, "de", true, "", "{uSee u}<img alt=\"Red car\">", nullptr},
    {"a translated sub-flow takes its place in the code", kAltInCodeTranslated.c_str(), "de", false, "",
     "Siehe <img alt=\"Rotes Auto\">", nullptr},
};

TEST_F(ConvertorTest, TransUnitTextTable)
{
    for (const UnitTextCase& c : kUnitTextCases)
    {
        SCOPED_TRACE(c.szName);
        tcNode* pFile =
            AddFile(wxString::FromUTF8(std::string("<body><trans-unit>") + c.szUnit + "</trans-unit></body>"),
                    wxString::FromUTF8(c.szFileTargetLanguage));
        tcNode* pUnit = FirstOfKind(pFile, m_dtd.m_pTransUnitElement);
        ASSERT_TRUE(pUnit);

        tcNode* pCurrent = nullptr;
        const std::string sCurrent = c.szCurrent;
        if (sCurrent == "source")
            pCurrent = pUnit->FindChildElementInChildNodes(m_dtd.m_pSourceElement);
        else if (sCurrent.rfind("mrk", 0) == 0)
        {
            std::vector<tcNode*> apMrk;
            pUnit->FindChildElementInChildNodes(m_dtd.m_pSegSourceElement)
                ->FindDescendantsOfElementType(m_dtd.m_pMrkElement->GetID(), apMrk);
            for (tcNode* pMrk : apMrk)
                if (pMrk->GetAttributeDisplayAsString(m_dtd.m_pMrkMidAttr) == wxString::FromUTF8(sCurrent.substr(3)))
                    pCurrent = pMrk;
            ASSERT_TRUE(pCurrent);
        }

        TestConvertor convertor(&m_doc, L"en");
        convertor.OutputTranslation(&m_dtd, L"unused", L"xx", pFile); // sets the handles
        const std::string sUnitBefore = pUnit->GenerateXML().utf8_string();
        const int nNodesBefore = m_pRoot->GetNumDescendants();

        AssertRecorder asserts;
        const wxString sText =
            convertor.GetTransUnitText(pFile, pUnit, wxString::FromUTF8(c.szLanguage), c.bPreview, pCurrent);
        EXPECT_EQ(Short(sText).utf8_string(), c.szExpected);
        EXPECT_EQ(asserts.asExpressions,
                  c.szAssert ? std::vector<std::string>{c.szAssert} : std::vector<std::string>{});
        // The working copy leaves the project as it was, and clean.
        EXPECT_EQ(pUnit->GenerateXML().utf8_string(), sUnitBefore);
        EXPECT_EQ(m_pRoot->GetNumDescendants(), nNodesBefore);
        EXPECT_FALSE(m_doc.IsDirty());
    }
}

TEST_F(ConvertorTest, OutputConcatenatesUnitsAndSurvivesAnyHeaderLayout)
{
    // No skl, a note first: the internal file is simply absent.
    tcNode* pFile = AddFile(R"(<header><note>n</note></header><body>)"
                            R"(<trans-unit><source>One</source><target xml:lang="de">Eins</target></trans-unit>)"
                            R"(<group><trans-unit><source> two</source></trans-unit></group></body>)");
    TestConvertor convertor(&m_doc, L"en");
    EXPECT_TRUE(convertor.OutputTranslation(&m_dtd, L"out.txt", L"de", pFile));
    EXPECT_EQ(convertor.sExported, L"Eins two");
    EXPECT_EQ(convertor.sExportedSkeleton, L"");
    EXPECT_EQ(convertor.GetInternalFileNode(), nullptr);
    EXPECT_FALSE(convertor.SetInternalFileXML(L"<x/>"));

    convertor.bExportSucceeds = false;
    EXPECT_FALSE(convertor.OutputTranslation(&m_dtd, L"out.txt", L"de", pFile));
    EXPECT_FALSE(convertor.OutputTranslation(nullptr, L"out.txt", L"de", pFile));
    EXPECT_FALSE(convertor.OutputTranslation(&m_dtd, L"out.txt", L"de", nullptr));
}

TEST_F(ConvertorTest, SkeletonComesFromTheInternalFile)
{
    tcNode* pFile = AddFile(R"(<header><skl><internal-file form="text">&lt;p&gt;</internal-file></skl></header>)"
                            R"(<body><trans-unit><source>A</source></trans-unit></body>)");
    TestConvertor convertor(&m_doc, L"en");
    EXPECT_TRUE(convertor.OutputTranslation(&m_dtd, L"out", L"en", pFile));
    EXPECT_EQ(convertor.sExportedSkeleton, L"<p>");
    ASSERT_TRUE(convertor.GetInternalFileNode());
    EXPECT_TRUE(convertor.SetInternalFileXML(L"<w>1 &amp; 2</w>"));
    EXPECT_EQ(convertor.GetInternalFileNode()->GenerateXMLChildren(), L"<w>1 &amp; 2</w>");
    EXPECT_FALSE(convertor.SetInternalFileXML(L"<w>"));
    EXPECT_EQ(convertor.GetInternalFileNode()->GenerateXMLChildren(), L"<w>1 &amp; 2</w>");
}

// ---- Highlight markers -----------------------------------------------------------------------------

TEST_F(ConvertorTest, HighlightMarkersWrapTextOnly)
{
    struct Case
    {
        const char* szContent;
        const char* szExpected;
    };
    const Case aCases[] = {
        {"Text", "{uTextu}"},
        {R"(a<bpt id="1"><![CDATA[<b>]]></bpt>b)", R"({uau}<bpt id="1"><![CDATA[<b>]]></bpt>{ubu})"},
        {R"(<mrk mid="1">a</mrk><g id="2">b</g>)", R"(<mrk mid="1">{uau}</mrk><g id="2">{ubu}</g>)"},
        {R"(<ph><![CDATA[<img alt="]]><sub>Red</sub><![CDATA[">]]></ph>)",
         R"(<ph><![CDATA[<img alt="]]><sub>Red</sub><![CDATA[">]]></ph>)"},
        {"", ""},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szContent);
        tcNode* pSource = AllocateElementByIDHelper(m_dtd.m_pSourceElement->GetID(), &m_doc);
        ASSERT_TRUE(pSource->ParseXML(wxString::FromUTF8(c.szContent), &m_doc));
        InsertHighlightMarkers(pSource, kszUntranslatedBegin, kszUntranslatedEnd);
        EXPECT_EQ(Short(pSource->GenerateXMLChildren()).utf8_string(), c.szExpected);
    }

    // A node that lies inside a code is left alone too.
    tcNode* pSource = AllocateElementByIDHelper(m_dtd.m_pSourceElement->GetID(), &m_doc);
    ASSERT_TRUE(pSource->ParseXML(L"<ph><sub>Red</sub></ph>", &m_doc));
    InsertHighlightMarkers(pSource->GetChild(0)->GetChild(0), L"[", L"]");
    EXPECT_EQ(pSource->GenerateXMLChildren(), L"<ph><sub>Red</sub></ph>");
    InsertHighlightMarkers(nullptr, L"[", L"]");
}

TEST(ConvertorMarkers, SpansReplaceMarkers)
{
    // A selected segment cut by a code is marked in two pieces; the view is sent to the first.
    const wxString sText = wxString(kszUntranslatedBegin) + L"a" + kszUntranslatedEnd + kszSelectedBegin + L"b" +
                           kszSelectedEnd + L"<br>" + kszSelectedBegin + L"c" + kszSelectedEnd;
    EXPECT_EQ(ReplaceHighlightMarkersWithSpans(sText),
              L"<span style=\"background-color:#CAE1F9\">a</span><a name=\"lintrado-selected-segment\"></a>"
              L"<span style=\"border-style: dotted;border-width:1pt;border-color:#FF0000\">b</span><br>"
              L"<span style=\"border-style: dotted;border-width:1pt;border-color:#FF0000\">c</span>");
}

// ---- The preview cache -----------------------------------------------------------------------------

TEST_F(ConvertorTest, PreviewRegeneratesWhenAnythingItShowsChanged)
{
    tcNode* pFile =
        AddFile(R"(<body><trans-unit><source>One</source><seg-source>One</seg-source></trans-unit>)"
                R"(<trans-unit><source>Two</source><target xml:lang="de">Zwei</target></trans-unit></body>)");
    pFile->SetAttributeDisplayByString(m_dtd.m_pFileLastModifiedAttr, L"2024-01-01T10:00:00Z");
    std::vector<tcNode*> apUnits;
    pFile->FindDescendantsOfElementType(m_dtd.m_pTransUnitElement->GetID(), apUnits);
    ASSERT_EQ(apUnits.size(), 2u);
    tcNode* pSecondSource = apUnits[1]->FindChildElementInChildNodes(m_dtd.m_pSourceElement);

    TestConvertor convertor(&m_doc, L"en");
    struct Step
    {
        const char* szWhat;
        std::function<void()> fnChange;
        tcNode* pCurrent;
        const wchar_t* szLanguage;
        bool bRegenerates;
    };
    const Step aSteps[] = {
        {"first request", [] {}, nullptr, L"de", true},
        {"same request, clean document", [] {}, nullptr, L"de", false},
        {"another current segment", [] {}, pSecondSource, L"de", true},
        {"another language", [] {}, pSecondSource, L"fr", true},
        {"unsaved changes", [this] { m_doc.SetDirty(); }, pSecondSource, L"fr", true},
        {"still unsaved", [] {}, pSecondSource, L"fr", true},
        {"saved again", [this] { m_doc.ClearDirty(); }, pSecondSource, L"fr", false},
        {"changed and saved since",
         [&]
         {
             pFile->SetAttributeDisplayByString(m_dtd.m_pFileLastModifiedAttr, L"2024-01-01T10:00:01Z");
             m_doc.ClearDirty();
         },
         pSecondSource, L"fr", true},
        {"an edit stamps the file, then a save",
         [&]
         {
             tNodeModified(&m_doc, pSecondSource, false, false);
             m_doc.ClearDirty();
         },
         pSecondSource, L"fr", true},
    };
    for (const Step& step : aSteps)
    {
        SCOPED_TRACE(step.szWhat);
        step.fnChange();
        const bool bWasDirty = m_doc.IsDirty();
        const int nPreviews = convertor.nPreviews;
        const int nShowLast = convertor.nShowLast;
        convertor.GeneratePreview(&m_dtd, nullptr, pFile, step.pCurrent, step.szLanguage);
        EXPECT_EQ(convertor.nPreviews - nPreviews, step.bRegenerates ? 1 : 0);
        EXPECT_EQ(convertor.nShowLast - nShowLast, step.bRegenerates ? 0 : 1);
        EXPECT_EQ(m_doc.IsDirty(), bWasDirty);
    }
    EXPECT_EQ(Short(convertor.sLastPreview).utf8_string(), "{uOneu}{s{uTwou}s}");
    convertor.GeneratePreview(&m_dtd, nullptr, pFile, pSecondSource, L"de");
    EXPECT_EQ(Short(convertor.sLastPreview).utf8_string(), "{uOneu}{sZweis}");
}

// ---- Convert ---------------------------------------------------------------------------------------

TEST_F(ConvertorTest, ConvertWritesTheFileElement)
{
    TestConvertor convertor(&m_doc, L"en-GB", L"txt");
    convertor.fnImport = [](CSegmentDoc* pSegDoc)
    {
        AddTUChild(pSegDoc->AddUnit(), std::make_unique<CSegmentText>(L"Hello."));
        return true;
    };
    ProgressRecorder progress;
    const wxDateTime before = wxDateTime::Now();
    ASSERT_TRUE(
        convertor.Convert(&m_dtd, L"/data/a b.txt", m_pRoot, nullptr, nullptr, L"en-GB", L"de-DE", 75, &progress));
    EXPECT_EQ(progress.GetValue(), 9999);
    EXPECT_EQ(convertor.GetThreshold(), 75);
    EXPECT_EQ(convertor.GetSourcePath(), L"/data/a b.txt");

    tcNode* pSection = m_pRoot->GetSection(0);
    ASSERT_EQ(pSection->GetNumChildren(), 1);
    tcNode* pFile = pSection->GetChild(0);
    ASSERT_EQ(pFile->GetElement(), m_dtd.m_pFileElement);

    const struct
    {
        const char* szName;
        const char* szValue;
    } aAttributes[] = {
        {"original", "/data/a b.txt"},     {"datatype", "txt"},
        {"source-language", "en-GB"},      {"target-language", "de-DE"},
        {"tool-company", "Korvendel HLT"}, {"category", "General"},
    };
    for (const auto& a : aAttributes)
        EXPECT_EQ(pFile->GetAttributeSByName(a.szName).utf8_string(), a.szValue) << a.szName;
    EXPECT_EQ(pFile->GetAttributeSByName(L"tool-id"), g_sAppName);
    EXPECT_EQ(pFile->GetAttributeSByName(L"tool-name"), g_sAppName);
    EXPECT_TRUE(std::regex_match(pFile->GetAttributeSByName(L"tool-version").utf8_string(),
                                 std::regex(R"(\d+\.\d+\.\d+\.\d+)")));
    const std::string sDate = pFile->GetAttributeSByName(L"date").utf8_string();
    EXPECT_TRUE(std::regex_match(sDate, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)"))) << sDate;
    const wxDateTime date = tStrToDateTime(wxString::FromUTF8(sDate));
    ASSERT_TRUE(date.IsValid());
    EXPECT_LE((date - before).GetSeconds().GetValue(), 60);
    EXPECT_GE((date - before).GetSeconds().GetValue(), -1);

    // header/skl/internal-file and body, the units in the body.
    tcNode* pHeader = pFile->FindChildElementInChildNodes(m_dtd.m_pHeaderElement);
    ASSERT_TRUE(pHeader);
    tcNode* pSkl = pHeader->FindChildElementInChildNodes(m_dtd.m_pSklElement);
    ASSERT_TRUE(pSkl);
    EXPECT_EQ(convertor.GetInternalFileNode(), pSkl->FindChildElementInChildNodes(m_dtd.m_pInternalFileElement));
    EXPECT_TRUE(convertor.GetInternalFileNode());
    EXPECT_EQ(convertor.GetBodyNode(), pFile->FindChildElementInChildNodes(m_dtd.m_pBodyElement));
    EXPECT_EQ(pFile->GetChild(0), pHeader);
    EXPECT_EQ(pFile->GetNumChildren(), 2);
    EXPECT_EQ(convertor.GetBodyNode()->GenerateXMLChildren(),
              L"<trans-unit><source>Hello.</source><seg-source>Hello.</seg-source></trans-unit>");
}

TEST_F(ConvertorTest, AFailedConvertAddsNothing)
{
    tcNode* pKept = AddFile(L"<body/>");
    struct Case
    {
        const char* szName;
        std::function<bool(CSegmentDoc*)> fnImport;
        bool bThrows;
    } const cases[] = {
        {"import fails after reading a unit",
         [](CSegmentDoc* pSegDoc)
         {
             AddTUChild(pSegDoc->AddUnit(), std::make_unique<CSegmentText>(L"Partial"));
             return false;
         },
         false},
        {"import throws", [](CSegmentDoc*) -> bool { throw TextFailure("broken"); }, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        TestConvertor convertor(&m_doc, L"en");
        convertor.fnImport = c.fnImport;
        AssertRecorder asserts;
        if (c.bThrows)
            EXPECT_THROW(convertor.Convert(&m_dtd, L"x.txt", m_pRoot, nullptr, nullptr, L"en", L"de", -1, nullptr),
                         TextFailure);
        else
            EXPECT_FALSE(convertor.Convert(&m_dtd, L"x.txt", m_pRoot, nullptr, nullptr, L"en", L"de", -1, nullptr));
        // The project holds the file it had, unchanged and unmarked; nothing points into the lost one.
        tcNode* pSection = m_pRoot->GetSection(0);
        ASSERT_EQ(pSection->GetNumChildren(), 1);
        EXPECT_EQ(pSection->GetChild(0), pKept);
        EXPECT_FALSE(m_doc.IsDirty());
        EXPECT_EQ(convertor.GetBodyNode(), nullptr);
        EXPECT_EQ(convertor.GetInternalFileNode(), nullptr);
        EXPECT_TRUE(asserts.asExpressions.empty());
    }
}

TEST_F(ConvertorTest, ConvertMakesASectionWhenTheRootHasNone)
{
    tcNode* pSection = m_pRoot->GetSection(0);
    m_pRoot->RemoveChild(pSection);
    m_doc.DeleteTreeFromMem(pSection);
    ASSERT_EQ(m_pRoot->GetNumSections(), 0);

    TestConvertor convertor(&m_doc, L"en");
    EXPECT_TRUE(convertor.Convert(&m_dtd, L"x.txt", m_pRoot, nullptr, nullptr, L"en", L"de", -1, nullptr));
    ASSERT_EQ(m_pRoot->GetNumSections(), 1);
    EXPECT_EQ(m_pRoot->GetSection(0)->GetChild(0)->GetElement(), m_dtd.m_pFileElement);

    AssertRecorder asserts;
    EXPECT_FALSE(convertor.Convert(&m_dtd, L"x.txt", nullptr, nullptr, nullptr, L"en", L"de", -1, nullptr));
    EXPECT_FALSE(convertor.Convert(nullptr, L"x.txt", m_pRoot, nullptr, nullptr, L"en", L"de", -1, nullptr));
    EXPECT_EQ(asserts.asExpressions.size(), 2u);
    EXPECT_EQ(m_pRoot->GetSection(0)->GetNumChildren(), 1);
}

// ---- Files -----------------------------------------------------------------------------------------

TEST(ConvertorFiles, WriteTextFileWritesUTF8AndReportsFailure)
{
    const fs::path dir = TempHomeListener::Current();
    const wxString sPath = wxString((dir / "out.txt").wstring());
    ASSERT_TRUE(WriteTextFile(sPath, wxString::FromUTF8("Grüße €\nzwei")));
    EXPECT_EQ(tReadFileBytes(sPath).value_or("?"), "Gr\xC3\xBC\xC3\x9F"
                                                   "e \xE2\x82\xAC\nzwei");
    ASSERT_TRUE(WriteTextFile(sPath, L""));
    EXPECT_EQ(tReadFileBytes(sPath).value_or("?"), "");

    const wxString sMissing = wxString((dir / "no such folder" / "out.txt").wstring());
    EXPECT_FALSE(WriteTextFile(sMissing, L"x"));
    EXPECT_FALSE(fs::exists(dir / "no such folder"));
}

TEST(ConvertorFiles, HexRoundTripsEveryByte)
{
    std::string sBytes;
    for (int i = 0; i < 256; ++i)
        sBytes += static_cast<char>(i);
    const fs::path dir = TempHomeListener::Current();
    const wxString sPath = wxString((dir / "bytes.bin").wstring());
    ASSERT_TRUE(WriteHexToBinaryFile(sPath, tBinToHex(sBytes.data(), sBytes.size())));
    EXPECT_EQ(tReadFileBytes(sPath).value_or("?"), sBytes);
    ASSERT_TRUE(WriteHexToBinaryFile(sPath, L"00ff7F"));
    EXPECT_EQ(tReadFileBytes(sPath).value_or("?"), std::string("\x00\xff\x7f", 3));

    for (const wchar_t* szBad : {L"ABC", L"0G"})
    {
        EXPECT_FALSE(WriteHexToBinaryFile(sPath, szBad)) << szBad;
        EXPECT_EQ(tReadFileBytes(sPath).value_or("?"), std::string("\x00\xff\x7f", 3)) << szBad;
    }
}

// ---- The registry ----------------------------------------------------------------------------------

template <const wchar_t* szType> std::unique_ptr<tcConvertor> AllocateTest(tcDocument* pDoc, const wxString& sLang)
{
    return std::make_unique<TestConvertor>(pDoc, sLang, szType);
}
constexpr wchar_t kTxt[] = L"txt";
constexpr wchar_t kHtml[] = L"html";
constexpr wchar_t kXml[] = L"xml";
constexpr wchar_t kDoc[] = L"doc";
constexpr wchar_t kSecond[] = L"second";

void RegisterStandardRows(ConvertorRegistry& registry, bool bWord)
{
    registry.Register(0, L"Text documents", L"*.txt", L"Add plain text documents into XLIFF projects", 1.0f,
                      AllocateTest<kTxt>);
    registry.Register(0, L"HTML documents", L"*.html;*.htm;*.xhtml;*.shtml", L"Add HTML documents into XLIFF projects",
                      1.0f, AllocateTest<kHtml>);
    registry.Register(0, L"XML documents", L"*.xml", L"Add XML documents into XLIFF projects", 1.0f,
                      AllocateTest<kXml>);
    if (bWord)
        registry.Register(0, L"Microsoft Word documents", L"*.doc;*.docx;*.rtf",
                          L"Add Microsoft Word documents into XLIFF projects", 30.0f, AllocateTest<kDoc>);
}

TEST(ConvertorRegistryTest, ExtensionsMatchCaseSensitivelyAfterTheFirstCharacter)
{
    struct Case
    {
        const wchar_t* szExtension;
        bool bWord;
        const char* szType; // "" for no convertor
    };
    const Case aCases[] = {
        {L".txt", false, "txt"},  {L".TXT", false, ""},   {L"", false, ""},        {L".shtml", false, "html"},
        {L".htm", false, "html"}, {L".HTML", false, ""},  {L".xml", false, "xml"}, {L".doc", false, ""},
        {L".doc", true, "doc"},   {L".rtf", true, "doc"}, {L"txt", false, ""},     {L".tx", false, ""},
        {L"*.txt", false, ""},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(wxString(c.szExtension).utf8_string() + (c.bWord ? " with Word" : ""));
        ConvertorRegistry registry;
        RegisterStandardRows(registry, c.bWord);
        tcDocument doc;
        std::unique_ptr<tcConvertor> pConvertor = registry.CreateConvertor(c.szExtension, &doc, L"en");
        EXPECT_EQ(pConvertor ? pConvertor->GetTypeName().utf8_string() : "", c.szType);
        if (pConvertor)
        {
            EXPECT_EQ(pConvertor->GetSourceLanguage(), L"en");
            EXPECT_EQ(pConvertor->GetDocument(), &doc);
            EXPECT_EQ(pConvertor->GetThreshold(), -1);
        }
        else
            EXPECT_EQ(registry.FindConvertor(c.szExtension), -1);
    }
}

TEST(ConvertorRegistryTest, OddItemsAndDuplicates)
{
    ConvertorRegistry registry;
    AssertRecorder asserts;
    RegisterStandardRows(registry, false);
    EXPECT_TRUE(registry.Register(7, L"Text documents", L"*.txt;*.text", L"again", 2.0f, AllocateTest<kSecond>));
    EXPECT_EQ(asserts.asExpressions.size(), 1u);
    EXPECT_EQ(registry.GetNumConvertors(), 4);
    tcDocument doc;
    EXPECT_EQ(registry.CreateConvertor(L".txt", &doc, L"en")->GetTypeName(), L"txt");
    EXPECT_EQ(registry.CreateConvertor(L".text", &doc, L"en")->GetTypeName(), L"second");

    // Items without "*.": the first character is dropped whatever it is; empty items match nothing.
    registry.Register(0, L"Bare", L";html;;*.md;", L"", 1.0f, AllocateTest<kSecond>);
    EXPECT_EQ(registry.FindConvertor(L"tml"), 4);
    EXPECT_EQ(registry.FindConvertor(L".md"), 4);
    EXPECT_EQ(registry.FindConvertor(L""), -1);

    asserts.Clear();
    EXPECT_FALSE(registry.Register(0, L"No procedure", L"*.none", L"", 1.0f, nullptr));
    EXPECT_EQ(asserts.asExpressions, std::vector<std::string>{"pAllocateProc"});
    EXPECT_EQ(registry.GetNumConvertors(), 5);
    EXPECT_EQ(registry.FindConvertor(L".none"), -1);

    asserts.Clear();
    EXPECT_EQ(registry.GetName(3), L"Text documents");
    EXPECT_EQ(registry.GetExtensions(3), L"*.txt;*.text");
    EXPECT_EQ(registry.GetDescription(3), L"again");
    EXPECT_EQ(registry.GetWeight(3), 2.0f);
    EXPECT_EQ(registry.GetID(3), 7);
    EXPECT_TRUE(asserts.asExpressions.empty());
    EXPECT_EQ(registry.GetName(5), L"");
    EXPECT_EQ(registry.GetExtensions(-1), L"");
    EXPECT_EQ(registry.GetWeight(99), 0.0f);
    EXPECT_EQ(asserts.asExpressions, (std::vector<std::string>{"0", "0", "0"}));
}

TEST(ConvertorRegistryTest, ExtensionOfAFileName)
{
    const struct
    {
        const wchar_t* szName;
        const wchar_t* szExtension;
    } aCases[] = {
        {L"/home/a/page.html", L".html"}, {L"/home/a.b/README", L""}, {L"x.tar.gz", L".gz"},
        {L"Page.HTML", L".HTML"},         {L"trailing.", L"."},       {L"", L""},
    };
    for (const auto& c : aCases)
        EXPECT_EQ(ConvertorRegistry::ExtensionOf(c.szName), c.szExtension) << c.szName;
}

} // namespace
