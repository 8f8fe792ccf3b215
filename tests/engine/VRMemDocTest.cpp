#include "engine/VRMemDoc.h"

#include "engine/VRMemDocIndex.h"
#include "tests/engine/EnglishCatalog.h"
#include "tests/engine/MemDocFiles.h"

#include "Shared/UserPrompts.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"

#include <wx/defs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

void PrintTo(const CVRMemDocMatch& match, std::ostream* pOut)
{
    *pOut << "{" << match.m_nScore << " [" << match.m_sSource.utf8_string() << "] -> "
          << match.m_sLanguage.utf8_string() << " [" << match.m_sTarget.utf8_string() << "]}";
}

namespace
{
CVRMemDocMatch Match(int nScore, const char* szSource, const char* szLanguage, const char* szTarget)
{
    return CVRMemDocMatch{wxString::FromUTF8(szSource), wxString::FromUTF8(szTarget), wxString::FromUTF8(szLanguage),
                          nScore};
}

// Answers from queues, in call order; an empty queue answers No / cancel.
class QueuedPrompts : public tcUserPrompts
{
public:
    int ShowMessage(const wxString& sText, const wxString&, long, wxWindow*) override
    {
        asMessages.push_back(sText);
        if (anButtons.empty())
            return wxNO;
        const int n = anButtons.front();
        anButtons.pop_front();
        return n;
    }
    wxString ChooseFile(const wxString& sMessage, const wxString&, const wxString&, const wxString& sWildcard,
                        long nStyle, wxWindow*) override
    {
        asFileRequests.push_back(sMessage + "|" + sWildcard);
        nLastFileStyle = nStyle;
        if (asFiles.empty())
            return wxString();
        const wxString s = asFiles.front();
        asFiles.pop_front();
        return s;
    }
    wxString ChooseDirectory(const wxString&, const wxString&, wxWindow*) override { return wxString(); }

    std::deque<int> anButtons;
    std::deque<wxString> asFiles;
    std::vector<wxString> asMessages;
    std::vector<wxString> asFileRequests;
    long nLastFileStyle = 0;
};

class VRMemDoc : public ::testing::Test
{
protected:
    void SetUp() override { tSetUserPrompts(&prompts); }
    void TearDown() override { tSetUserPrompts(nullptr); }

    static wxString Fixture(const char* szName)
    {
        return ToWx(std::filesystem::path(LINTRADO_FIXTURES_DIR) / "tmx" / szName);
    }

    TMXHandlerScope handler;
    QueuedPrompts prompts;
};

int CountKind(const tcNode* pNode, const char* szKind)
{
    int n = pNode->GetElementName() == szKind ? 1 : 0;
    for (const tcNode* pChild : pNode->GetChildren())
        n += CountKind(pChild, szKind);
    return n;
}

std::string ReadFile(const wxString& sPath)
{
    std::ifstream in(sPath.utf8_string(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
} // namespace

TEST(VRMemDocScore, SinglePrecisionFormula)
{
    struct Case
    {
        uint32_t d, m;
        int nScore;
    };
    // 41 of 100 gives 58: the quotient is rounded to float before the multiplication (double: 59).
    const Case aCases[] = {{0, 3, 100}, {1, 3, 66}, {41, 100, 58}, {3, 3, 0}, {1, 14, 92}, {5, 15, 66}, {0, 1, 100}};
    for (const Case& c : aCases)
        EXPECT_EQ(CVRMemDocIndex::Score(c.d, c.m), c.nScore) << c.d << "/" << c.m;
}

TEST_F(VRMemDoc, LoadedMemoryAnswersLookupsAcrossUnitsAndVariants)
{
    CVRMemDoc memory(Fixture("units.tmx"));
    EXPECT_FALSE(memory.IsModified());
    struct Case
    {
        const char* szQuery;
        const char* szLanguage;
        std::vector<CVRMemDocMatch> aExpected;
    };
    const char* szSaveDe = "Alle <ph x=\"1\">&lt;b&gt;</ph>Dateien<ph x=\"2\">&lt;/b&gt;</ph> speichern.";
    const Case aCases[] = {
        // The same source in two units ("en" and "EN") gives both units' variants; results in text
        // order, whatever the score.
        {"Open the file.",
         "en",
         {Match(66, "Close the file.", "fr", "Fermez le fichier."),
          Match(66, "Close the file.", "it", "Chiudi il file."),
          Match(100, "Open the file.", "de", "Öffnen Sie die Datei."),
          Match(100, "Open the file.", "de-AT", "Die Datei öffnen."), Match(46, "Save all files.", "de", szSaveDe)}},
        // Language keys ignore case; a unit with three variants gives the two others.
        {"Close the file.",
         "EN",
         {Match(100, "Close the file.", "fr", "Fermez le fichier."),
          Match(100, "Close the file.", "it", "Chiudi il file."),
          Match(66, "Open the file.", "de", "Öffnen Sie die Datei."),
          Match(66, "Open the file.", "de-AT", "Die Datei öffnen."), Match(46, "Save all files.", "de", szSaveDe)}},
        // Codes on either side do not count: the memory text's ph elements are not in its key, and
        // the query's are stripped.
        {"Save all <ph>x</ph>files.",
         "en",
         {Match(46, "Close the file.", "fr", "Fermez le fichier."),
          Match(46, "Close the file.", "it", "Chiudi il file."),
          Match(46, "Open the file.", "de", "Öffnen Sie die Datei."),
          Match(46, "Open the file.", "de-AT", "Die Datei öffnen."), Match(100, "Save all files.", "de", szSaveDe)}},
        // Case counts.
        {"open the file.",
         "en",
         {Match(73, "Close the file.", "fr", "Fermez le fichier."),
          Match(73, "Close the file.", "it", "Chiudi il file."),
          Match(92, "Open the file.", "de", "Öffnen Sie die Datei."),
          Match(92, "Open the file.", "de-AT", "Die Datei öffnen."), Match(46, "Save all files.", "de", szSaveDe)}},
        // Under three units nothing matches, not even the identical text.
        {"OK", "en", {}},
        // Lookups go by the query's language only.
        {"Fermez le fichier.",
         "fr",
         {Match(100, "Fermez le fichier.", "en", "Close the file."),
          Match(100, "Fermez le fichier.", "it", "Chiudi il file.")}},
        {"Quit now", "fr", {}},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(memory.LookupTranslations(wxString::FromUTF8(c.szQuery), c.szLanguage), c.aExpected)
            << c.szQuery << " / " << c.szLanguage;
}

TEST_F(VRMemDoc, LoadFailuresFreeEverythingAndSayWhy)
{
    const int nHandlers = Evt_NodeInserted.GetNumHandlers();
    std::filesystem::create_directories(HomeFile("folder.tmx"));
    std::string sDeep = "<tmx version=\"1.4\"><header/><body>";
    for (int i = 0; i < 6000; ++i)
        sDeep += "<tu>";
    const wxString sDeepPath = ToWx(WriteHomeBytes("deep.tmx", sDeep));
    struct Case
    {
        wxString sPath;
        std::vector<wxString> asMessage; // parts of the message, in order: the loader's own reason
        const char* szLogged;            // null: nothing particular
    };
    const auto InFile = [](const wxString& sPath) { return "Fatal error in file " + sPath; };
    const Case aCases[] = {
        {Fixture("missing.tmx"),
         {InFile(Fixture("missing.tmx")) + " : unable to open"},
         "Errors loading TMX documents ["},
        {Fixture("broken.tmx"), {InFile(Fixture("broken.tmx")), " at line 2 , column 73 : ", "seg"}, nullptr},
        {Fixture("invalid-utf8.tmx"),
         {InFile(Fixture("invalid-utf8.tmx")), " at line 3 , column ", ": invalid UTF-8 byte sequence"},
         nullptr},
        {Fixture("empty.tmx"), {InFile(Fixture("empty.tmx")), "at line 1 , column 1 : "}, nullptr},
        {ToWx(HomeFile("folder.tmx")), {InFile(ToWx(HomeFile("folder.tmx"))) + " : unable to read"}, nullptr},
        {sDeepPath, {InFile(sDeepPath), " at line 1 , column ", "nested more than 5000 levels deep"}, nullptr},
        {Fixture("no_body.tmx"), {"No Body element found"}, nullptr},
    };
    for (const Case& c : aCases)
    {
        tcLogCapture log;
        try
        {
            CVRMemDoc memory(c.sPath);
            ADD_FAILURE() << c.sPath << " loaded";
        }
        catch (const TextFailure& e)
        {
            size_t nPos = 0;
            for (const wxString& sPart : c.asMessage)
            {
                nPos = e.GetText().find(sPart, nPos);
                EXPECT_NE(nPos, wxString::npos) << sPart << " in " << e.GetText();
            }
        }
        if (c.szLogged)
        {
            EXPECT_TRUE(log.Contains(c.szLogged)) << c.sPath;
        }
        EXPECT_EQ(Evt_NodeInserted.GetNumHandlers(), nHandlers) << c.sPath;
    }

    Done_TMXImporter();
    EXPECT_THROW(
        {
            try
            {
                CVRMemDoc memory("");
            }
            catch (const TextFailure& e)
            {
                EXPECT_EQ(e.GetText(), "Could not assign an IO handler for type TMX");
                throw;
            }
        },
        TextFailure);
    EXPECT_TRUE(Init_TMXImporter());
    EXPECT_EQ(Evt_NodeInserted.GetNumHandlers(), nHandlers);
}

TEST_F(VRMemDoc, FileWithoutHeaderGetsOneAndSegWithoutLanguageIsReported)
{
    {
        CVRMemDoc memory(Fixture("no_header.tmx"));
        EXPECT_EQ(memory.LookupTranslations("Good morning", "en"),
                  std::vector<CVRMemDocMatch>{Match(100, "Good morning", "de", "Guten Morgen")});
        const tcNode* pTmx = memory.GetDocument()->GetSection(0)->GetChild(0);
        ASSERT_NE(pTmx, nullptr);
        EXPECT_EQ(pTmx->GetChild(0)->GetElementName(), "header");
        // held while the memory is open: scripts may edit it, not free it
        EXPECT_TRUE(memory.GetDocument()->IsHeldByProgram());
    }
    const auto path = WriteHomeBytes("nolang.tmx", "<?xml version=\"1.0\"?><tmx version=\"1.4\"><header/><body>"
                                                   "<tu><tuv><seg>No language here</seg></tuv>"
                                                   "<tuv xml:lang=\"de\"><seg>Keine Sprache</seg></tuv></tu>"
                                                   "</body></tmx>");
    AssertLog asserts;
    CVRMemDoc memory(ToWx(path));
    EXPECT_EQ(asserts.reports, (std::vector<AssertReport>{{"VRMemDoc", 505, "0"}}));
    EXPECT_EQ(memory.LookupTranslations("No language here", ""),
              std::vector<CVRMemDocMatch>{Match(100, "No language here", "de", "Keine Sprache")});
}

TEST_F(VRMemDoc, OnlyItsOwnFileIsIndexed)
{
    CVRMemDoc first(Fixture("units.tmx"));
    CVRMemDoc second(Fixture("no_header.tmx"));
    EXPECT_EQ(first.LookupTranslations("Good morning", "en"), std::vector<CVRMemDocMatch>{});
    EXPECT_EQ(second.LookupTranslations("Good morning", "en"),
              std::vector<CVRMemDocMatch>{Match(100, "Good morning", "de", "Guten Morgen")});
    EXPECT_EQ(second.LookupTranslations("Close the file.", "en"), std::vector<CVRMemDocMatch>{});
}

TEST_F(VRMemDoc, AddingTwiceMakesOneUnitAndRemovalTakesTheRightVariant)
{
    CVRMemDoc memory("");
    EXPECT_TRUE(memory.GetFileName().empty());
    EXPECT_FALSE(memory.IsModified());
    memory.AddTranslation("Hello world", "Hallo Welt", "en", "de");
    memory.AddTranslation("Hello world", "Servus Welt", "EN", "de-AT");
    // The same target under an unrelated source, added first in the German index.
    memory.AddTranslation("Greetings", "Tschüss", "en", "de");
    memory.AddTranslation("Bye now", "Tschüss", "en", "de");
    EXPECT_TRUE(memory.IsModified());
    const tcNode* pRoot = memory.GetDocument()->GetDictionary();
    EXPECT_EQ(CountKind(pRoot, "tu"), 3);
    EXPECT_EQ(CountKind(pRoot, "tuv"), 7);
    EXPECT_EQ(memory.LookupTranslations("Hello world", "en"),
              (std::vector<CVRMemDocMatch>{Match(100, "Hello world", "de", "Hallo Welt"),
                                           Match(100, "Hello world", "de-AT", "Servus Welt")}));

    memory.RemoveTranslation("Hello world", "Hallo Welt", "en", "DE");
    EXPECT_EQ(memory.LookupTranslations("Hello world", "en"),
              std::vector<CVRMemDocMatch>{Match(100, "Hello world", "de-AT", "Servus Welt")});
    // Only the Austrian variant is left to match, at its own score.
    EXPECT_EQ(memory.LookupTranslations("Hallo Welt", "de"),
              std::vector<CVRMemDocMatch>{Match(45, "Servus Welt", "en", "Hello world")});

    // "Tschüss" of "Greetings" comes first in the index, but the pair names "Bye now".
    memory.RemoveTranslation("Bye now", "Tschüss", "en", "de");
    EXPECT_EQ(memory.LookupTranslations("Greetings", "en"),
              std::vector<CVRMemDocMatch>{Match(100, "Greetings", "de", "Tschüss")});
    EXPECT_EQ(memory.LookupTranslations("Bye now", "en"), std::vector<CVRMemDocMatch>{});
    EXPECT_EQ(CountKind(pRoot, "tu"), 3) << "units and their sources stay";
    EXPECT_EQ(CountKind(pRoot, "tuv"), 5);

    // A pair the memory does not hold removes nothing, but the memory counts as changed.
    memory.GetDocument()->ClearDirty();
    memory.RemoveTranslation("Nothing like it", "Tschüss", "en", "de");
    memory.RemoveTranslation("Greetings", "Servus", "en", "de");
    EXPECT_TRUE(memory.IsModified());
    EXPECT_EQ(CountKind(pRoot, "tuv"), 5);
    memory.GetDocument()->ClearDirty();
}

TEST_F(VRMemDoc, PairsWithInlineCodesAreFoundAndRemoved)
{
    CVRMemDoc memory("");
    const wxString sSource = "Click <ph x=\"1\">&lt;b&gt;</ph>here<ph x=\"2\">&lt;/b&gt;</ph> now";
    memory.AddTranslation(sSource, "Klicken Sie <ph x=\"1\">&lt;b&gt;</ph>hier<ph x=\"2\">&lt;/b&gt;</ph>", "en", "de");
    memory.AddTranslation(sSource, "Cliquez <ph x=\"1\">&lt;b&gt;</ph>ici<ph x=\"2\">&lt;/b&gt;</ph>", "en", "fr");
    EXPECT_EQ(CountKind(memory.GetDocument()->GetDictionary(), "tu"), 1);
    EXPECT_EQ(
        memory.LookupTranslations("Click here now", "en"),
        (std::vector<CVRMemDocMatch>{
            Match(100, "Click here now", "de", "Klicken Sie <ph x=\"1\">&lt;b&gt;</ph>hier<ph x=\"2\">&lt;/b&gt;</ph>"),
            Match(100, "Click here now", "fr", "Cliquez <ph x=\"1\">&lt;b&gt;</ph>ici<ph x=\"2\">&lt;/b&gt;</ph>")}));
    memory.RemoveTranslation(sSource, "Klicken Sie <ph x=\"1\">&lt;b&gt;</ph>hier<ph x=\"2\">&lt;/b&gt;</ph>", "en",
                             "de");
    EXPECT_EQ(memory.LookupTranslations("Click here now", "en"),
              std::vector<CVRMemDocMatch>{Match(100, "Click here now", "fr",
                                                "Cliquez <ph x=\"1\">&lt;b&gt;</ph>ici<ph x=\"2\">&lt;/b&gt;</ph>")});
    EXPECT_EQ(memory.LookupTranslations("Klicken Sie hier", "de"), std::vector<CVRMemDocMatch>{});
    memory.GetDocument()->ClearDirty();
}

TEST_F(VRMemDoc, LookupKeepsScoresFromOneAndTheHundredBest)
{
    CVRMemDoc memory("");
    // Only "ory" in common and 400 units longer: a score of 0, listed by the index but never returned.
    const wxString sFar = "ory" + wxString(400, 'z');
    memory.AddTranslation(sFar, "far", "en", "de");
    const wxString sQuery = "translation memory lookup";
    EXPECT_EQ(memory.LookupTranslations(sQuery, "en"), std::vector<CVRMemDocMatch>{});
    const auto aHits = memory.GetIndex("en")->FindMatches(sQuery);
    ASSERT_EQ(aHits.size(), 1u);
    EXPECT_EQ(aHits[0].nScore, 0);

    // The query itself and 120 texts one unit away, all scoring 96: the exact one and the first 99
    // of the ties in text order are returned, in text order.
    memory.AddTranslation(sQuery, "exact", "en", "de");
    std::vector<CVRMemDocMatch> aExpected{Match(100, "translation memory lookup", "de", "exact")};
    for (int k = 0; k < 120; ++k)
    {
        const wxString sSource = sQuery.Left(sQuery.length() - 1) + wxUniChar(0x100 + k);
        memory.AddTranslation(sSource, wxString::Format("target %d", k), "en", "de");
        if (k < 99)
            aExpected.push_back(CVRMemDocMatch{sSource, wxString::Format("target %d", k), "de", 96});
    }
    EXPECT_EQ(memory.LookupTranslations(sQuery, "en"), aExpected);
    memory.GetDocument()->ClearDirty();
}

// A count that fails part-way through a look-up leaves nothing behind on the thread: the next look-up
// gives the texts it shares trigrams with and no others.
TEST_F(VRMemDoc, LookupAfterAFailedCountIsUnaffected)
{
    CVRMemDoc memory("");
    for (int k = 0; k < 40; ++k)
        memory.AddTranslation(wxString::Format("shared words %d", k), "target", "en", "de");
    memory.AddTranslation("unrelated", "other", "en", "de");
    const CVRMemDocIndex* pIndex = memory.GetIndex("en");
    auto Fail = [](const std::vector<tcNode*>&) -> int { throw std::runtime_error("count failed"); };
    EXPECT_THROW(pIndex->FindBestMatches("shared words", 0, 100, Fail, 1), std::runtime_error);
    const auto aHits = pIndex->FindBestMatches("unrelated", 0, 100, nullptr, 2);
    ASSERT_EQ(aHits.size(), 1u);
    EXPECT_EQ(aHits[0].sText, "unrelated");
    EXPECT_EQ(aHits[0].nScore, 100);
    memory.GetDocument()->ClearDirty();
}

// A memory of a peer's en-US/de-DE units answers every variant of English, also once the program has
// added pairs of its own in plain "en"/"de": a look-up searches every variant of the language.
TEST_F(VRMemDoc, EveryVariantOfTheLanguageServesALookup)
{
    CVRMemDoc memory(Fixture("regional.tmx"));
    const CVRMemDocMatch open = Match(100, "Open the file.", "de-DE", "Öffnen Sie die Datei.");
    const CVRMemDocMatch close = Match(41, "Close the window.", "de-DE", "Schließen Sie das Fenster.");
    const CVRMemDocMatch save = Match(46, "Save all files.", "de-DE",
                                      "Alle <bpt i=\"1\" x=\"1\">&lt;b&gt;</bpt>Dateien<ept i=\"1\">&lt;/b&gt;</ept> "
                                      "speichern.");
    const CVRMemDocMatch added = Match(93, "Open the files.", "de", "Öffnen Sie die Dateien.");
    struct Case
    {
        const char* szLanguage;
        bool bFound;
    };
    const Case aCases[] = {{"en", true},   {"EN", true}, {"en-US", true}, {"en-GB", true}, {"en-GB-oxendict", true},
                           {"eng", false}, {"e", false}, {"es", false},   {"", false},     {"fr", false}};
    for (bool bAdded : {false, true})
    {
        if (bAdded)
            memory.AddTranslation("Open the files.", wxString::FromUTF8("Öffnen Sie die Dateien."), "en", "de");
        for (const Case& c : aCases)
        {
            std::vector<CVRMemDocMatch> aExpected;
            if (c.bFound)
                aExpected = {close, open, save};
            // The program's own pair: first for "en", which asked for its tag; last for "en-US", whose
            // own units come first; in text order for the tags that have no units of their own.
            const wxString sTag = wxString(c.szLanguage).Lower();
            if (c.bFound && bAdded)
                aExpected.insert(sTag == "en"      ? aExpected.begin()
                                 : sTag == "en-us" ? aExpected.end()
                                                   : aExpected.begin() + 2,
                                 added);
            EXPECT_EQ(memory.LookupTranslations("Open the file.", c.szLanguage), aExpected)
                << "[" << c.szLanguage << "]" << (bAdded ? " after the add" : "");
        }
    }
    // The other way round: German queries of any region find the units through their de-DE and de
    // variants.
    EXPECT_EQ(memory.LookupTranslations("Öffnen Sie die Datei.", "de-AT"),
              (std::vector<CVRMemDocMatch>{
                  Match(21, "Alle Dateien speichern.", "en-US",
                        "Save <bpt i=\"1\" x=\"1\">&lt;b&gt;</bpt>all<ept i=\"1\">&lt;/b&gt;</ept> files."),
                  Match(46, "Schließen Sie das Fenster.", "en-US", "Close the window."),
                  Match(100, "Öffnen Sie die Datei.", "en-US", "Open the file."),
                  Match(91, "Öffnen Sie die Dateien.", "en", "Open the files.")}));
    memory.GetDocument()->ClearDirty();
}

// Equal scores: the asked tag's suggestions come first, then the memory's order, in the results
// and in which of them the hundred best keep.
TEST_F(VRMemDoc, AtEqualScoresTheAskedTagsUnitsComeFirst)
{
    CVRMemDoc memory("");
    memory.AddTranslation("Open the file.", "Regional", "en-US", "de");
    memory.AddTranslation("Open the file.", "Plain", "en", "de");
    const CVRMemDocMatch plain = Match(100, "Open the file.", "de", "Plain");
    const CVRMemDocMatch regional = Match(100, "Open the file.", "de", "Regional");
    struct Case
    {
        const char* szLanguage;
        std::vector<CVRMemDocMatch> aExpected;
    };
    const Case aCases[] = {
        {"en", {plain, regional}},
        {"en-US", {regional, plain}},
        {"en-GB", {plain, regional}}, // none of its own: the tags' order
    };
    for (const Case& c : aCases)
        EXPECT_EQ(memory.LookupTranslations("Open the file.", c.szLanguage), c.aExpected) << c.szLanguage;

    // 110 suggestions of one score, the asked tag's texts last in text order: they are kept.
    CVRMemDoc bounded("");
    const wxString sQuery = "translation memory lookup";
    std::vector<CVRMemDocMatch> aExpected;
    for (int k = 0; k < 110; ++k)
    {
        const wxString sSource = sQuery.Left(sQuery.length() - 1) + wxUniChar(0x100 + k);
        const bool bOwn = k >= 100;
        bounded.AddTranslation(sSource, wxString::Format("target %d", k), bOwn ? "en-GB" : "en-US", "de");
        const CVRMemDocMatch match{sSource, wxString::Format("target %d", k), "de", 96};
        if (bOwn)
            aExpected.insert(aExpected.begin() + (k - 100), match);
        else if (k < 90)
            aExpected.push_back(match);
    }
    EXPECT_EQ(bounded.LookupTranslations(sQuery, "en-GB"), aExpected);
    memory.GetDocument()->ClearDirty();
    bounded.GetDocument()->ClearDirty();
}

// Hits of several regional indexes merge under the rules of one: text order, equal texts in index
// order, and the hundred best of them all.
TEST_F(VRMemDoc, RegionalHitsMergeInTextOrderWithinTheBounds)
{
    CVRMemDoc memory("");
    const wxString sQuery = "translation memory lookup";
    memory.AddTranslation(sQuery, "from us", "en-US", "de");
    memory.AddTranslation(sQuery, "from gb", "en-GB", "de");
    std::vector<CVRMemDocMatch> aExpected{Match(100, "translation memory lookup", "de", "from gb"),
                                          Match(100, "translation memory lookup", "de", "from us")};
    for (int k = 0; k < 120; ++k)
    {
        const wxString sSource = sQuery.Left(sQuery.length() - 1) + wxUniChar(0x100 + k);
        memory.AddTranslation(sSource, wxString::Format("target %d", k), k % 2 ? "en-US" : "en-GB", "de");
        if (k < 98)
            aExpected.push_back(CVRMemDocMatch{sSource, wxString::Format("target %d", k), "de", 96});
    }
    EXPECT_EQ(memory.LookupTranslations(sQuery, "en"), aExpected);
    memory.GetDocument()->ClearDirty();
}

TEST_F(VRMemDoc, NewMemorySavesWhereTheUserSaysAndReloads)
{
    const wxString sPath = ToWx(HomeFile("saved/new.tmx"));
    std::filesystem::create_directories(HomeFile("saved"));
    {
        CVRMemDoc memory("");
        EXPECT_EQ(memory.SaveIfModified(), "") << "nothing to save, nothing asked";
        EXPECT_TRUE(prompts.asMessages.empty());

        memory.AddTranslation("Good <bpt i=\"1\">&lt;b&gt;</bpt>night<ept i=\"1\">&lt;/b&gt;</ept>", "Gute Nacht",
                              "en-GB", "de");
        // No: nothing saved, an empty name, the changes stay.
        {
            tcLogCapture log;
            prompts.anButtons = {wxNO};
            EXPECT_EQ(memory.SaveIfModified(), "");
            EXPECT_TRUE(log.Contains("Save: Cancelled by user"));
            EXPECT_TRUE(memory.IsModified());
        }
        // Yes, but the file cannot be written: no name is handed out for a file that does not exist.
        prompts.anButtons = {wxYES};
        prompts.asFiles = {ToWx(HomeFile("no/such/folder/x.tmx"))};
        EXPECT_EQ(memory.SaveIfModified(), "");
        EXPECT_TRUE(memory.GetFileName().empty());
        EXPECT_TRUE(memory.IsModified());
        // Yes, then cancelling the file choice.
        prompts.anButtons = {wxYES};
        EXPECT_EQ(memory.SaveIfModified(), "");
        EXPECT_TRUE(memory.IsModified());
        // Yes and a file.
        prompts.anButtons = {wxYES};
        prompts.asFiles = {sPath};
        EXPECT_EQ(memory.SaveIfModified(), sPath);
        EXPECT_EQ(memory.GetFileName(), sPath);
        EXPECT_FALSE(memory.IsModified());
        EXPECT_EQ(prompts.asFileRequests.back(), "Choose a file|TMX files (*.tmx)|*.tmx|All files (*.*)|*.*");
        EXPECT_EQ(prompts.nLastFileStyle, PROMPT_FILE_SAVE | PROMPT_FILE_OVERWRITE_PROMPT);
        EXPECT_EQ(prompts.asMessages.size(), 4u);
    }
    EXPECT_EQ(prompts.asMessages.size(), 4u) << "a saved memory does not ask when it goes";

    const std::string sBytes = ReadFile(sPath);
    for (const char* szRequired :
         {"<tmx version=\"1.4\"", "creationtool=\"", "creationtoolversion=\"", "segtype=\"sentence\"", "o-tmf=\"",
          "adminlang=\"", "srclang=\"", "datatype=\"", "creationdate=\"", "changedate=\"", "<body>"})
        EXPECT_NE(sBytes.find(szRequired), std::string::npos) << szRequired << " in " << sBytes;

    CVRMemDoc reloaded(sPath);
    EXPECT_EQ(reloaded.LookupTranslations("Good night", "EN-gb"),
              std::vector<CVRMemDocMatch>{Match(100, "Good night", "de", "Gute Nacht")});
    // A loaded memory saves to its own file when asked.
    reloaded.AddTranslation("Good night", "Bonne nuit", "en-GB", "fr");
    prompts.anButtons = {wxYES};
    EXPECT_EQ(reloaded.SaveIfModified(), sPath);
    EXPECT_NE(ReadFile(sPath).find("Bonne nuit"), std::string::npos);
}

TEST_F(VRMemDoc, AReadOnlyMemorySaysSoAndSavesElsewhere)
{
    namespace fs = std::filesystem;
    const wxString sPath = ToWx(WriteHomeBytes("read-only.tmx", ReadFile(Fixture("units.tmx"))));
    const wxString sElsewhere = ToWx(HomeFile("elsewhere.tmx"));
    fs::permissions(HomeFile("read-only.tmx"), fs::perms::owner_read | fs::perms::group_read);
    const EnglishCatalog catalog;
    CVRMemDoc memory(sPath);
    memory.AddTranslation("Read only", "Schreibgeschützt", "en", "de");

    // Yes to saving, OK to the message, then a file; cancelling that choice keeps the changes.
    prompts.anButtons = {wxYES, wxOK};
    EXPECT_EQ(memory.SaveIfModified(), sPath);
    ASSERT_EQ(prompts.asMessages.size(), 2u);
    EXPECT_TRUE(prompts.asMessages[1].Contains(sPath + " is read-only")) << prompts.asMessages[1].utf8_string();
    EXPECT_TRUE(memory.IsModified());
    EXPECT_EQ(ReadFile(sPath), ReadFile(Fixture("units.tmx")));

    prompts.anButtons = {wxYES, wxOK};
    prompts.asFiles = {sElsewhere};
    EXPECT_EQ(memory.SaveIfModified(), sElsewhere);
    EXPECT_FALSE(memory.IsModified());
    EXPECT_EQ(ReadFile(sPath), ReadFile(Fixture("units.tmx")));
    EXPECT_NE(ReadFile(sElsewhere).find("Schreibgeschützt"), std::string::npos);
    EXPECT_EQ(fs::status(HomeFile("read-only.tmx")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read);
}

TEST_F(VRMemDoc, DeletingAChangedMemoryAsksOnce)
{
    {
        CVRMemDoc memory("");
        memory.AddTranslation("Question", "Frage", "en", "de");
    }
    EXPECT_EQ(prompts.asMessages, std::vector<wxString>{g_LocEngine.FindTranslation("MEMDOC_UNSAVED_CHANGES")});
}

// A saved memory has a tu, a tuv and a seg on each line, indented as peers write theirs, with the
// text of every seg exactly as it was; reading it gives the same memory, and saving that the same
// bytes. A peer's indented file comes out in the same layout.
TEST_F(VRMemDoc, SavedMemoryIsOneElementALineAndReadsBackTheSame)
{
    const int nUnits = 1000;
    const wxString sPath = ToWx(HomeFile("laid-out.tmx"));
    const wxString aszOdd[] = {"  padded  ", "two\nlines", " ",
                               "Save <bpt i=\"1\">&lt;b&gt;</bpt>all<ept i=\"1\">&lt;/b&gt;</ept>"};
    std::string sSaved;
    {
        CVRMemDoc memory("");
        for (int k = 0; k < nUnits; ++k)
        {
            const wxString sOdd = k < 4 ? aszOdd[k] : wxString::Format("Target %d", k);
            memory.AddTranslation(wxString::Format("Source sentence %d", k), sOdd, "en-US", "de-DE");
        }
        ASSERT_TRUE(memory.SaveAs(sPath));
        sSaved = ReadFile(sPath);
    }
    // The declaration, tmx, header, body, their ends, 8 lines a unit, and the line end inside a seg.
    EXPECT_EQ(std::count(sSaved.begin(), sSaved.end(), '\n'), 6 + 8 * nUnits + 1);
    for (const char* szPart :
         {"?>\n<tmx version=\"1.4\" xml:space=\"preserve\">\n  <header ",
          "\n  <body>\n    <tu>\n      <tuv xml:lang=\"en-US\">\n        <seg>Source sentence 0</seg>"
          "\n      </tuv>\n      <tuv xml:lang=\"de-DE\">\n        <seg>  padded  </seg>\n      </tuv>"
          "\n    </tu>\n    <tu>",
          "<seg>two\nlines</seg>", "<seg> </seg>",
          "<seg>Save <bpt i=\"1\">&lt;b&gt;</bpt>all<ept i=\"1\">&lt;/b&gt;</ept></seg>",
          "\n    </tu>\n  </body>\n</tmx>\n"})
        EXPECT_NE(sSaved.find(szPart), std::string::npos) << szPart;

    CVRMemDoc reloaded(sPath);
    for (int k : {0, 1, 2, 3, 999})
    {
        const wxString sTarget = k < 4 ? aszOdd[k] : wxString::Format("Target %d", k);
        const std::vector<CVRMemDocMatch> aMatches =
            reloaded.LookupTranslations(wxString::Format("Source sentence %d", k), "en-US");
        const CVRMemDocMatch expected{wxString::Format("Source sentence %d", k), sTarget, "de-DE", 100};
        EXPECT_NE(std::find(aMatches.begin(), aMatches.end(), expected), aMatches.end()) << k;
    }
    const tcNode* pRoot = reloaded.GetDocument()->GetDictionary();
    EXPECT_EQ(CountKind(pRoot, "tu"), nUnits);
    const wxString sAgain = ToWx(HomeFile("again.tmx"));
    ASSERT_TRUE(reloaded.SaveAs(sAgain));
    EXPECT_EQ(ReadFile(sAgain), sSaved);

    // A peer's file, indented its own way, and a unit added to it: written in the one layout.
    CVRMemDoc peer(Fixture("regional.tmx"));
    peer.AddTranslation("Open the files.", "Öffnen Sie die Dateien.", "en", "de");
    const wxString sPeer = ToWx(HomeFile("peer.tmx"));
    ASSERT_TRUE(peer.SaveAs(sPeer));
    const std::string sPeerSaved = ReadFile(sPeer);
    for (const char* szPart :
         {"?>\n<tmx version=\"1.4\">\n  <header ",
          ">\n    <prop type=\"x-project\">Manual</prop>\n  </header>\n  <body>\n    <tu creationdate=",
          "\n    <tu>\n      <tuv xml:lang=\"en\">\n        <seg>Open the files.</seg>\n      </tuv>"})
        EXPECT_NE(sPeerSaved.find(szPart), std::string::npos) << szPart << "\n" << sPeerSaved;
    CVRMemDoc peerAgain(sPeer);
    EXPECT_EQ(peerAgain.LookupTranslations("Open the file.", "en"), peer.LookupTranslations("Open the file.", "en"));
    ASSERT_TRUE(peerAgain.SaveAs(sAgain));
    EXPECT_EQ(ReadFile(sAgain), sPeerSaved);
}
