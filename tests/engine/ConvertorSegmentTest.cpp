// The segment model and the trans-units it writes.
#include "engine/Convertor_segment.h"

#include "Shared/AppUtils_shared.h"
#include "Shared/VRSRXDoc.h"
#include "engine/VRMemDoc.h"
#include "engine/XLIFFDTD.h"
#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "tests/engine/ConvertTestSupport.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
// "T(text)" for a text run, "S(text)" for a start code, children in brackets: the shape of a list.
std::string Shape(const CSegmentChildren& apChildren)
{
    std::string s;
    for (const auto& pChild : apChildren)
    {
        if (!s.empty())
            s += " ";
        switch (pChild->Kind())
        {
        case teSegmentKind::Text:
            s += "T(" + static_cast<const CSegmentText&>(*pChild).GetText().utf8_string() + ")";
            break;
        case teSegmentKind::Start:
            s += "S[" + Shape(pChild->GetChildren()) + "]";
            break;
        default:
            s += "?";
            break;
        }
    }
    return s;
}

// Builds units fluently. Open and Close pair codes by key, also across units.
class CModelBuilder
{
public:
    explicit CModelBuilder(CSegmentDoc& doc) : m_doc(doc) {}

    CModelBuilder& Unit()
    {
        m_pUnit = m_doc.AddUnit();
        return *this;
    }
    CModelBuilder& Text(const wxString& sText)
    {
        AddTUChild(m_pUnit, std::make_unique<CSegmentText>(sText));
        return *this;
    }
    CModelBuilder& Open(const std::string& sKey, const wxString& sMarkup, const wxString& sStyle = wxString())
    {
        auto pCode = std::make_unique<CSegmentStyleStart>();
        pCode->AddText(sMarkup);
        pCode->SetStyleName(sStyle);
        m_mapOpen[sKey] = pCode.get();
        AddTUChild(m_pUnit, std::move(pCode));
        return *this;
    }
    CModelBuilder& Close(const std::string& sKey, const wxString& sMarkup)
    {
        auto pCode = std::make_unique<CSegmentStyleEnd>();
        pCode->AddText(sMarkup);
        pCode->SetPartner(m_mapOpen.at(sKey));
        pCode->SetStyleName(m_mapOpen.at(sKey)->GetStyleName());
        AddTUChild(m_pUnit, std::move(pCode));
        return *this;
    }
    // An opening code without partner; line breaks in its markup become break codes inside it.
    CModelBuilder& Code(const wxString& sMarkup)
    {
        auto pCode = std::make_unique<CSegmentStyleStart>();
        pCode->AddTextWithLineBreaks(sMarkup);
        AddTUChild(m_pUnit, std::move(pCode));
        return *this;
    }
    CModelBuilder& Sub(const wxString& sText, const wxString& sStyle = wxString())
    {
        auto pSub = std::make_unique<CSegmentStyleSub>();
        pSub->AddTextWithLineBreaks(sText);
        pSub->SetStyleName(sStyle);
        AddTUChild(m_pUnit, std::move(pSub));
        return *this;
    }
    // A code whose content holds a sub-flow, as an HTML tag with a translatable attribute.
    CModelBuilder& CodeWithSub(const wxString& sBefore, const wxString& sValue, const wxString& sAfter)
    {
        auto pCode = std::make_unique<CSegmentStyleStart>();
        pCode->AddText(sBefore);
        auto pSub = std::make_unique<CSegmentStyleSub>();
        pSub->AddText(sValue);
        pCode->AddChild(std::move(pSub));
        pCode->AddText(sAfter);
        AddTUChild(m_pUnit, std::move(pCode));
        return *this;
    }
    // Appends any node to the current unit.
    CModelBuilder& Node(std::unique_ptr<CSegmentTUChild> pNode)
    {
        AddTUChild(m_pUnit, std::move(pNode));
        return *this;
    }

private:
    CSegmentDoc& m_doc;
    CSegmentUnit* m_pUnit = nullptr;
    std::map<std::string, CSegmentStyleStart*> m_mapOpen;
};

struct SMemoryPair
{
    const char* szSource;
    const char* szTarget;
    const char* szTargetLanguage;
};

// A new project document with its vocabulary and a body, the sentence-break rules and an empty memory. The
// code identifiers start again from 1.
class CProject
{
public:
    CProject()
    {
        Init_TMXImporter();
        Init_SRXImporter();
        CSegmentTUChild::ResetIDCounterForTests();
        PrepareNewProjectDocument(&m_doc);
        InitXLIFFDTD(&m_doc, m_dtd, false);
        m_pBody = AllocateElementByIDHelper(m_dtd.m_pBodyElement->GetID(), &m_doc);

        m_pRules = std::make_unique<CVRSRXDoc>(WriteHomeFile("rules.srx", kSentenceBreakSRX));
        m_pRules->SetLanguage(L"en");
        m_pMemory = std::make_unique<CVRMemDoc>(wxString());
    }

    void Remember(const std::vector<SMemoryPair>& aPairs)
    {
        for (const SMemoryPair& pair : aPairs)
            m_pMemory->AddTranslation(wxString::FromUTF8(pair.szSource), wxString::FromUTF8(pair.szTarget), L"en",
                                      wxString::FromUTF8(pair.szTargetLanguage));
    }

    // Builds a model, writes it and gives the body's content.
    std::string Write(const std::function<void(CModelBuilder&)>& fnBuild, int nThreshold,
                      const wxString& sTargetLanguage = L"de-DE", bool bMemory = true)
    {
        CSegmentDoc segments(&m_dtd, &m_doc, m_pRules.get(), bMemory ? m_pMemory.get() : nullptr, L"en", m_pBody,
                             nThreshold, sTargetLanguage);
        CModelBuilder builder(segments);
        fnBuild(builder);
        segments.Segment();
        return m_pBody->GenerateXMLChildren().utf8_string();
    }

    CRecordedAsserts m_asserts;
    tcDocument m_doc;
    SXLIFFDTD m_dtd;
    tcNode* m_pBody = nullptr;
    std::unique_ptr<CVRSRXDoc> m_pRules;
    std::unique_ptr<CVRMemDoc> m_pMemory;
};

struct SUnitCase
{
    const char* szName;
    std::function<void(CModelBuilder&)> fnBuild;
    std::vector<SMemoryPair> aMemory;
    int nThreshold;
    const char* szExpected;
};

// Three proposals for "abcdefghij" in the memory's order (its texts sorted): 80, 90, 90.
const std::vector<SMemoryPair> kScored = {
    {"a12defghij", "eighty", "de-DE"},
    {"ab3defghij", "first ninety", "de-DE"},
    {"abcdefghi4", "second ninety", "de-DE"},
};

const std::vector<SUnitCase> kUnitCases = {
    {"codes only",
     [](CModelBuilder& b) { b.Unit().Open("p", "<p>", "Paragraph").Text("").Close("p", "</p>"); },
     {},
     75,
     R"(<trans-unit translate="no"><source><bpt id="1" ctype="Paragraph"><![CDATA[<p>]]></bpt>)"
     R"(<ept id="1" ctype="Paragraph"><![CDATA[</p>]]></ept></source></trans-unit>)"},
    {"sub-flow only",
     [](CModelBuilder& b) { b.Unit().Sub("Red car", "Comment"); },
     {{"Red car", "Rotes Auto", "de"}},
     75,
     R"(<trans-unit><source><sub datatype="" ctype="Comment">Red car</sub></source>)"
     R"(<seg-source><sub datatype="" ctype="Comment"><mrk mid="1">Red car</mrk></sub></seg-source>)"
     R"(<target><mrk mtype="seg" mid="1">Rotes Auto</mrk></target>)"
     R"(<alt-trans xml:lang="de" match-quality="100" mid="1"><source>Red car</source><target>Rotes Auto</target></alt-trans>)"
     R"(<alt-trans xml:lang="de" match-quality="10"><source>Red car</source><target>Rotes Auto</target></alt-trans>)"
     R"(</trans-unit>)"},
    {"one sentence",
     [](CModelBuilder& b) { b.Unit().Text("Hello world."); },
     {{"Hello world.", "Hallo Welt.", "de-DE"}},
     75,
     R"(<trans-unit><source>Hello world.</source><seg-source>Hello world.</seg-source>)"
     R"(<target>Hallo Welt.</target><alt-trans xml:lang="de-DE" match-quality="100"><source>Hello world.</source>)"
     R"(<target>Hallo Welt.</target></alt-trans></trans-unit>)"},
    {"three sentences, first and third known",
     [](CModelBuilder& b) { b.Unit().Text("Good morning. It rains today. See you soon."); },
     {{"Good morning.", "Guten Morgen.", "de-DE"}, {"See you soon.", "Bis bald.", "de-DE"}},
     75,
     R"(<trans-unit><source>Good morning. It rains today. See you soon.</source><seg-source>)"
     R"(<mrk mtype="seg" mid="1">Good morning.</mrk><mrk mtype="seg" mid="2"> It rains today.</mrk>)"
     R"(<mrk mtype="seg" mid="3"> See you soon.</mrk></seg-source>)"
     R"(<target><mrk mtype="seg" mid="1">Guten Morgen.</mrk><mrk mtype="seg" mid="3">Bis bald.</mrk></target>)"
     R"(<alt-trans xml:lang="de-DE" match-quality="100" mid="1"><source>Good morning.</source>)"
     R"(<target>Guten Morgen.</target></alt-trans>)"
     R"(<alt-trans xml:lang="de-DE" match-quality="100" mid="3"><source>See you soon.</source>)"
     R"(<target>Bis bald.</target></alt-trans></trans-unit>)"},
    {"bold across a break",
     [](CModelBuilder& b)
     { b.Unit().Text("Hello ").Open("b", "<b>", "Bold").Text("world. Bye").Close("b", "</b>").Text(" now."); },
     {},
     75,
     R"(<trans-unit><source>Hello <bpt id="1" ctype="Bold"><![CDATA[<b>]]></bpt>world. Bye)"
     R"(<ept id="1" ctype="Bold"><![CDATA[</b>]]></ept> now.</source><seg-source>)"
     R"(<mrk mtype="seg" mid="1">Hello <it id="1" pos="begin" ctype="Bold"><![CDATA[<b>]]></it>world.</mrk>)"
     R"(<mrk mtype="seg" mid="2"> Bye<it id="1" pos="end" ctype="Bold"><![CDATA[</b>]]></it> now.</mrk>)"
     R"(</seg-source></trans-unit>)"},
    {"unpaired code",
     [](CModelBuilder& b) { b.Unit().Text("Line one").Code("<br>").Text("more"); },
     {},
     75,
     R"(<trans-unit><source>Line one<ph><![CDATA[<br>]]></ph>more</source>)"
     R"(<seg-source>Line one<ph><![CDATA[<br>]]></ph>more</seg-source></trans-unit>)"},
    {"threshold 75 takes the first of the best", [](CModelBuilder& b) { b.Unit().Text("abcdefghij"); }, kScored, 75,
     R"(<trans-unit><source>abcdefghij</source><seg-source>abcdefghij</seg-source><target>first ninety</target>)"
     R"(<alt-trans xml:lang="de-DE" match-quality="80"><source>a12defghij</source><target>eighty</target></alt-trans>)"
     R"(<alt-trans xml:lang="de-DE" match-quality="90"><source>ab3defghij</source>)"
     R"(<target>first ninety</target></alt-trans>)"
     R"(<alt-trans xml:lang="de-DE" match-quality="90"><source>abcdefghi4</source>)"
     R"(<target>second ninety</target></alt-trans></trans-unit>)"},
    {"threshold 0 without proposals", [](CModelBuilder& b) { b.Unit().Text("zyxwvutsrq"); }, kScored, 0,
     R"(<trans-unit><source>zyxwvutsrq</source><seg-source>zyxwvutsrq</seg-source></trans-unit>)"},
    {"threshold -1 fills nothing", [](CModelBuilder& b) { b.Unit().Text("abcdefghij"); }, kScored, -1,
     R"(<trans-unit><source>abcdefghij</source><seg-source>abcdefghij</seg-source>)"
     R"(<alt-trans xml:lang="de-DE" match-quality="80"><source>a12defghij</source><target>eighty</target></alt-trans>)"
     R"(<alt-trans xml:lang="de-DE" match-quality="90"><source>ab3defghij</source>)"
     R"(<target>first ninety</target></alt-trans>)"
     R"(<alt-trans xml:lang="de-DE" match-quality="90"><source>abcdefghi4</source>)"
     R"(<target>second ninety</target></alt-trans></trans-unit>)"},
    {"codes between runs close the earlier segment",
     [](CModelBuilder& b)
     { b.Unit().Text("Stop here.").Open("i", "<i>", "Italic").Close("i", "</i>").Code("<br>").Text(" Go on."); },
     {},
     75,
     R"(<trans-unit><source>Stop here.<bpt id="1" ctype="Italic"><![CDATA[<i>]]></bpt>)"
     R"(<ept id="1" ctype="Italic"><![CDATA[</i>]]></ept><ph><![CDATA[<br>]]></ph> Go on.</source><seg-source>)"
     R"(<mrk mtype="seg" mid="1">Stop here.<bpt id="1" ctype="Italic"><![CDATA[<i>]]></bpt>)"
     R"(<ept id="1" ctype="Italic"><![CDATA[</i>]]></ept><ph><![CDATA[<br>]]></ph></mrk>)"
     R"(<mrk mtype="seg" mid="2"> Go on.</mrk></seg-source></trans-unit>)"},
    {"ids rise across units, mids restart",
     [](CModelBuilder& b)
     {
         b.Unit().Open("b", "<b>", "Bold").Text("One.").Close("b", "</b>").Text(" Two.");
         b.Unit().Open("i", "<i>", "Italic").Text("Three.").Close("i", "</i>").Text(" Four.");
     },
     {},
     75,
     R"(<trans-unit><source><bpt id="1" ctype="Bold"><![CDATA[<b>]]></bpt>One.)"
     R"(<ept id="1" ctype="Bold"><![CDATA[</b>]]></ept> Two.</source><seg-source>)"
     R"(<mrk mtype="seg" mid="1"><bpt id="1" ctype="Bold"><![CDATA[<b>]]></bpt>One.)"
     R"(<ept id="1" ctype="Bold"><![CDATA[</b>]]></ept></mrk><mrk mtype="seg" mid="2"> Two.</mrk>)"
     R"(</seg-source></trans-unit>)"
     R"(<trans-unit><source><bpt id="2" ctype="Italic"><![CDATA[<i>]]></bpt>Three.)"
     R"(<ept id="2" ctype="Italic"><![CDATA[</i>]]></ept> Four.</source><seg-source>)"
     R"(<mrk mtype="seg" mid="1"><bpt id="2" ctype="Italic"><![CDATA[<i>]]></bpt>Three.)"
     R"(<ept id="2" ctype="Italic"><![CDATA[</i>]]></ept></mrk><mrk mtype="seg" mid="2"> Four.</mrk>)"
     R"(</seg-source></trans-unit>)"},
    {"a multilingual memory fills from the target language only",
     [](CModelBuilder& b) { b.Unit().Text("Hello world."); },
     {{"Hello world.", "Bonjour le monde.", "fr-FR"}, {"Hello world.", "Hallo Welt.", "de"}},
     75,
     R"(<trans-unit><source>Hello world.</source><seg-source>Hello world.</seg-source>)"
     R"(<target>Hallo Welt.</target>)"
     R"(<alt-trans xml:lang="fr-FR" match-quality="100"><source>Hello world.</source>)"
     R"(<target>Bonjour le monde.</target></alt-trans>)"
     R"(<alt-trans xml:lang="de" match-quality="100"><source>Hello world.</source>)"
     R"(<target>Hallo Welt.</target></alt-trans></trans-unit>)"},
    {"no proposal in the target language fills nothing",
     [](CModelBuilder& b) { b.Unit().Text("Hello world."); },
     {{"Hello world.", "Bonjour le monde.", "fr-FR"}},
     75,
     R"(<trans-unit><source>Hello world.</source><seg-source>Hello world.</seg-source>)"
     R"(<alt-trans xml:lang="fr-FR" match-quality="100"><source>Hello world.</source>)"
     R"(<target>Bonjour le monde.</target></alt-trans></trans-unit>)"},
    {"inline codes of the proposal are stripped from the filled target",
     [](CModelBuilder& b) { b.Unit().Text("Hello world today."); },
     {{"Hello world today.",
       R"(<bpt i="1"/>Hallo <ph x="1"/>Welt <bpt i="2">&lt;b&gt;</bpt>heute<ept i="2">&lt;/b&gt;</ept>.)", "de-DE"}},
     75,
     R"(<trans-unit><source>Hello world today.</source><seg-source>Hello world today.</seg-source>)"
     R"(<target>Hallo Welt heute.</target>)"
     R"(<alt-trans xml:lang="de-DE" match-quality="100"><source>Hello world today.</source>)"
     R"(<target><bpt i="1"/>Hallo <ph x="1"/>Welt <bpt i="2">&lt;b&gt;</bpt>heute<ept i="2">&lt;/b&gt;</ept>.</target>)"
     R"(</alt-trans></trans-unit>)"},
    {"code content: CDATA end marker split, line breaks kept in one section",
     [](CModelBuilder& b) { b.Unit().Text("A").Code("<![CDATA[x]]>").Text("B").Code("<a\nhref=\"x\">").Text("C"); },
     {},
     75,
     R"(<trans-unit><source>A<ph><![CDATA[<![CDATA[x]]]]><![CDATA[>]]></ph>B)"
     R"(<ph><![CDATA[<a<newline>href="x">]]></ph>C</source><seg-source>A<ph><![CDATA[<![CDATA[x]]]]><![CDATA[>]]></ph>B)"
     R"(<ph><![CDATA[<a<newline>href="x">]]></ph>C</seg-source></trans-unit>)"},
    {"sub-flow inside a code",
     [](CModelBuilder& b) { b.Unit().Text("See ").CodeWithSub("<img alt=\"", "Red", "\">").Text(" here"); },
     {},
     75,
     R"(<trans-unit><source>See <ph><![CDATA[<img alt="]]><sub datatype="" ctype="">Red</sub>)"
     R"(<![CDATA[">]]></ph> here</source><seg-source>See <ph><![CDATA[<img alt="]]>)"
     R"(<sub datatype="" ctype=""><mrk mid="1">Red</mrk></sub><![CDATA[">]]></ph> here</seg-source></trans-unit>)"},
    {"sub-flow segments are numbered by the children examined",
     [](CModelBuilder& b) { b.Unit().Sub("Hi\nthere. Bye."); },
     {},
     75,
     R"(<trans-unit><source><sub datatype="" ctype="">Hi<ph><![CDATA[<newline>]]></ph>there. Bye.</sub></source>)"
     R"(<seg-source><mrk mtype="seg" mid="5"><sub datatype="" ctype="">)"
     R"(<mrk mid="3">Hi<ph><![CDATA[<newline>]]></ph>there.</mrk><mrk mid="4"> Bye.</mrk></sub></mrk>)"
     R"(</seg-source></trans-unit>)"},
    {"a break inside a sub-flow applies at the next text run",
     [](CModelBuilder& b) { b.Unit().Text("Intro. ").Sub("Note one. Note two.", "Comment").Text(" Tail text. End."); },
     {},
     75,
     R"(<trans-unit><source>Intro. <sub datatype="" ctype="Comment">Note one. Note two.</sub> Tail text. End.)"
     R"(</source><seg-source><mrk mtype="seg" mid="1">Intro.</mrk><mrk mtype="seg" mid="2"> )"
     R"(<sub datatype="" ctype="Comment"><mrk mid="3">Note one.</mrk><mrk mid="4"> Note two.</mrk></sub></mrk>)"
     R"(<mrk mtype="seg" mid="5"> Tail text.</mrk><mrk mtype="seg" mid="6"> End.</mrk></seg-source></trans-unit>)"},
};

TEST(SegmentWriter, GoldenUnits)
{
    for (const SUnitCase& unitCase : kUnitCases)
    {
        SCOPED_TRACE(unitCase.szName);
        CProject project;
        project.Remember(unitCase.aMemory);
        EXPECT_EQ(project.Write(unitCase.fnBuild, unitCase.nThreshold), unitCase.szExpected);
        EXPECT_TRUE(project.m_asserts.m_asSeen.empty());
    }
}
TEST(SegmentWriter, TextThatIsNoXMLContentIsEscapedAndReported)
{
    CProject project;
    const std::string sXML =
        project.Write([](CModelBuilder& b) { b.Unit().Text("Fish & chips. Salt &amp; pepper <3 &#233;"); }, 75);
    EXPECT_EQ(sXML, R"(<trans-unit><source>Fish &amp; chips. Salt &amp; pepper &lt;3 é</source><seg-source>)"
                    R"(<mrk mtype="seg" mid="1">Fish &amp; chips.</mrk>)"
                    R"(<mrk mtype="seg" mid="2"> Salt &amp; pepper &lt;3 é</mrk></seg-source></trans-unit>)");
    EXPECT_EQ(project.m_asserts.m_asSeen.size(), 1u);
}

// A node of a kind the writer does not know.
class COddNode : public CSegmentTUChild
{
};

TEST(SegmentWriter, FailuresAreReportedAndTheRestIsWritten)
{
    CProject project;
    project.m_dtd.m_pAltTransMatchQualityAttr = nullptr;
    project.m_dtd.m_pAltTransLangAttr = nullptr;
    project.Remember({{"Hello world.", "Hallo Welt.", "de-DE"}});
    const std::string sXML = project.Write(
        [](CModelBuilder& b) { b.Unit().Text("Hello").Node(std::make_unique<COddNode>()).Text(" world."); }, -1);
    EXPECT_EQ(sXML, R"(<trans-unit><source>Hello world.</source><seg-source>Hello world.</seg-source>)"
                    R"(<alt-trans><source>Hello world.</source><target>Hallo Welt.</target></alt-trans></trans-unit>)");
    const std::vector<std::string> asExpected = {
        "Convertor_segment:284 0",
        "Convertor_segment:117 m_pXLIFFDTD->m_pAltTransMatchQualityAttr",
        "Convertor_segment:118 m_pXLIFFDTD->m_pAltTransLangAttr",
    };
    EXPECT_EQ(project.m_asserts.m_asSeenAt, asExpected);
}

TEST(SegmentModel, IdentifiersOfCodes)
{
    struct SCase
    {
        const char* szName;
        std::function<std::vector<int>()> fnAsk;
        std::vector<int> anExpected;
    };
    const std::vector<SCase> aCases = {
        {"end asked first",
         []
         {
             CSegmentStyleStart start;
             CSegmentStyleEnd end;
             end.SetPartner(&start);
             return std::vector<int>{end.GetID(), start.GetID(), end.GetID()};
         },
         {1, 1, 1}},
        {"start asked first",
         []
         {
             CSegmentStyleStart start;
             CSegmentStyleEnd end;
             start.SetPartner(&end);
             return std::vector<int>{start.GetID(), end.GetID()};
         },
         {1, 1}},
        {"unpaired end draws its own",
         []
         {
             CSegmentStyleStart start;
             CSegmentStyleEnd end;
             return std::vector<int>{end.GetID(), start.GetID()};
         },
         {1, 2}},
        {"an end paired with an end draws its own",
         []
         {
             CSegmentStyleEnd first;
             CSegmentStyleEnd second;
             first.SetPartner(&second);
             return std::vector<int>{first.GetID(), second.GetID(), first.GetID()};
         },
         {1, 2, 1}},
        {"a later document continues the numbering",
         []
         {
             std::vector<int> an;
             for (int nDoc = 0; nDoc < 2; ++nDoc)
             {
                 CSegmentDoc doc(nullptr, nullptr, nullptr, nullptr, wxString(), nullptr, -1, wxString());
                 CSegmentUnit* pUnit = doc.AddUnit();
                 for (int i = 0; i < 2; ++i)
                     an.push_back(AddTUChild(pUnit, std::make_unique<CSegmentStyleStart>())->GetID());
             }
             return an;
         },
         {1, 2, 3, 4}},
    };
    for (const SCase& idCase : aCases)
    {
        SCOPED_TRACE(idCase.szName);
        CSegmentTUChild::ResetIDCounterForTests();
        EXPECT_EQ(idCase.fnAsk(), idCase.anExpected);
    }
}

TEST(SegmentModel, AppendingRecordsIndexAndUnit)
{
    CSegmentDoc doc(nullptr, nullptr, nullptr, nullptr, wxString(), nullptr, -1, wxString());
    CSegmentUnit* pUnit = doc.AddUnit();
    AddTUChild(pUnit, std::make_unique<CSegmentText>(L"a"));

    // A sub-flow goes into a new group, which takes the next index.
    auto pSubOwned = std::make_unique<CSegmentStyleSub>();
    CSegmentText* pEarly = pSubOwned->AddText(L"before");
    CSegmentTUChild* pSub = AddTUChild(pUnit, std::move(pSubOwned));
    ASSERT_EQ(pUnit->size(), 2u);
    const CSegmentTUChild& group = *(*pUnit)[1];
    EXPECT_EQ(group.Kind(), teSegmentKind::Group);
    EXPECT_EQ(group.GetIndex(), 1);
    EXPECT_EQ(group.GetUnit(), pUnit);
    ASSERT_EQ(group.GetChildren().size(), 1u);
    EXPECT_EQ(group.GetChildren()[0].get(), pSub);
    EXPECT_EQ(pSub->GetIndex(), 0);
    EXPECT_EQ(pSub->GetUnit(), pUnit);
    EXPECT_TRUE(group.HasSubFlow());

    // Children added before their parent joined a unit record none; later ones record it.
    EXPECT_EQ(pEarly->GetUnit(), nullptr);
    CSegmentText* pLate = static_cast<CSegmentStyle*>(pSub)->AddText(L"after");
    EXPECT_EQ(pLate->GetUnit(), pUnit);
    EXPECT_EQ(pLate->GetIndex(), 1);

    // Codes nested in codes, paired across units: each node is freed once with the document.
    auto pOuter = std::make_unique<CSegmentStyleStart>();
    auto pInner = std::make_unique<CSegmentStyleStart>();
    pInner->AddChild(std::make_unique<CSegmentStyleSub>());
    CSegmentStyle* pInnerCode = static_cast<CSegmentStyle*>(pOuter->AddChild(std::move(pInner)));
    CSegmentStyle* pOpen = static_cast<CSegmentStyle*>(AddTUChild(pUnit, std::move(pOuter)));
    auto pClose = std::make_unique<CSegmentStyleEnd>();
    pClose->SetPartner(pOpen);
    pInnerCode->SetPartner(pClose.get());
    AddTUChild(doc.AddUnit(), std::move(pClose));
    EXPECT_EQ(doc.GetNumUnits(), 2);
    EXPECT_EQ(doc.GetUnit(2), nullptr);
}

TEST(SegmentModel, TextWithLineBreaks)
{
    const std::vector<std::pair<const char*, const char*>> aCases = {
        {"", ""},
        {"plain", "T(plain)"},
        {"\n", "S[T(<newline>)]"},
        {"a\r\nb", "T(a) S[T(<carriagereturn>)] S[T(<newline>)] T(b)"},
        {"x\n\ny\r", "T(x) S[T(<newline>)] S[T(<newline>)] T(y) S[T(<carriagereturn>)]"},
    };
    for (const auto& [szText, szShape] : aCases)
    {
        SCOPED_TRACE(szText);
        CSegmentUnit unit;
        AddTextWithLineBreaks(&unit, wxString::FromUTF8(szText));
        EXPECT_EQ(Shape(unit), szShape);
        CSegmentStyleStart code;
        code.AddTextWithLineBreaks(wxString::FromUTF8(szText));
        EXPECT_EQ(Shape(code.GetChildren()), szShape);
    }
}
} // namespace
