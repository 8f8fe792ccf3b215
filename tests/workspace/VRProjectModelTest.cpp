// The project model without windows: creating, opening, segments, memory references and the
// clean-up of every failed construction.
#include "engine/VRProjectModel.h"

#include "Shared/UserPrompts.h"
#include "engine/ConvertorProgress.h"
#include "engine/VRMemDoc.h"
#include "engine/VRMemDocManager.h"
#include "tests/harness/AssertRecorder.h"
#include "tests/workspace/ProjectFixtures.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>

namespace
{
// Answers messages and file choices from queues and records the messages.
class QueuedPrompts : public tcUserPrompts
{
public:
    QueuedPrompts() { tSetUserPrompts(this); }
    ~QueuedPrompts() override { tSetUserPrompts(nullptr); }

    int ShowMessage(const wxString& sText, const wxString&, long, wxWindow*) override
    {
        asMessages.push_back(sText);
        if (anAnswers.empty())
        {
            ADD_FAILURE() << "unexpected message: " << sText.utf8_string();
            return wxCANCEL;
        }
        const int n = anAnswers.front();
        anAnswers.pop_front();
        return n;
    }
    wxString ChooseFile(const wxString&, const wxString&, const wxString&, const wxString&, long, wxWindow*) override
    {
        ++nFileChoices;
        if (asFiles.empty())
        {
            ADD_FAILURE() << "unexpected file chooser";
            return wxString();
        }
        const wxString s = asFiles.front();
        asFiles.pop_front();
        return s;
    }
    wxString ChooseDirectory(const wxString&, const wxString&, wxWindow*) override { return wxString(); }
    void BeginBusyNotice(const wxString& sText) override { asBusy.push_back(sText); }

    std::deque<int> anAnswers;
    std::deque<wxString> asFiles;
    std::vector<wxString> asMessages;
    std::vector<wxString> asBusy;
    int nFileChoices = 0;
};

// Progress that asks to stop once nCancelAt values were set.
class StoppingProgress : public tcConvertorProgress
{
public:
    explicit StoppingProgress(int nCancelAt) : m_nCancelAt(nCancelAt) {}
    int GetValue() const override { return m_nValue; }
    void SetValue(int nValue) override
    {
        m_nValue = std::min(nValue, kHighest);
        ++m_nSets;
    }
    bool WasCancelled() const override { return m_nSets >= m_nCancelAt; }

private:
    int m_nCancelAt;
    int m_nValue = 0;
    int m_nSets = 0;
};

class ProjectModelTest : public testing::Test
{
public:
    void TearDown() override
    {
        // Nothing may be left behind by any test: no context, no held memory.
        EXPECT_EQ(nullptr, tApp()->GetCurrentDoc());
        EXPECT_EQ(nullptr, tApp()->GetCurrentIO());
        EXPECT_EQ(0u, m_manager.GetNumMemDocs());
    }

    // A new project from "name" -> text files; sMemDoc as the dialog gives it.
    void CreateNew(VRProjectModel& model, const std::vector<std::pair<std::string, std::string>>& files,
                   const wxString& sMemDoc, tcConvertorProgress* pProgress = nullptr, const wxString& sRules = {})
    {
        wxArrayString asFiles, asLanguages;
        for (const auto& [sName, sText] : files)
        {
            asFiles.push_back(WriteHomeFile(sName, sText));
            asLanguages.push_back("en");
        }
        model.CreateNew(sRules.empty() ? WriteRules("rules.srx", BlankGoes::WithNextSentence) : sRules, sMemDoc,
                        asFiles, asLanguages, "de", -1, pProgress);
    }

    wxString Open(VRProjectModel& model, const std::string& sXML, const VRProjectModel::AskMemDocFn& ask = {})
    {
        const wxString sPath = WriteHomeFile("project.xlf", sXML);
        model.Open(sPath, nullptr, ask);
        return sPath;
    }

    wxString EmptyMemory(const std::string& sName = "memory.tmx")
    {
        wxString sError;
        CVRMemDoc* pMemDoc = m_manager.CreateMemDoc(HomePath(sName), &sError);
        EXPECT_TRUE(pMemDoc) << sError.utf8_string();
        const wxString sPath = pMemDoc ? pMemDoc->GetFileName() : wxString();
        m_manager.ReleaseMemDoc(pMemDoc);
        return sPath;
    }

    PageEnvironment m_environment;
    CVRMemDocManager m_manager;
    QueuedPrompts m_prompts;
};

TEST_F(ProjectModelTest, NewProjectKeepsTheFilesAConvertorServes)
{
    struct Case
    {
        const char* szName;
        std::vector<std::pair<std::string, std::string>> files;
        int nFiles;          // -1: the creation fails
        const char* szError; // its text
    } const cases[] = {
        {"two texts", {{"a.txt", "One. Two."}, {"b.txt", "Three."}}, 2, ""},
        {"text and pdf", {{"a.txt", "One."}, {"b.pdf", "%PDF"}}, 1, ""},
        {"upper-case extension", {{"a.txt", "One."}, {"b.TXT", "Two."}}, 1, ""},
        {"nothing served", {{"a.pdf", "x"}, {"b.TXT", "y"}}, -1, "XLIFF file does not contain any valid files"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        VRProjectModel model(&m_manager);
        if (c.nFiles < 0)
        {
            try
            {
                CreateNew(model, c.files, VRProjectModel::NewEmptyMemoryChoice());
                ADD_FAILURE() << "no failure";
            }
            catch (const TextFailure& e)
            {
                EXPECT_EQ(c.szError, e.GetText());
            }
            continue;
        }
        CreateNew(model, c.files, VRProjectModel::NewEmptyMemoryChoice());
        EXPECT_EQ(c.nFiles, model.GetNumFiles());
        EXPECT_FALSE(model.GetSegments().empty());
        EXPECT_TRUE(model.IsChanged());
        EXPECT_EQ(model.GetDocument(), tApp()->GetCurrentDoc());
    }
    EXPECT_TRUE(m_prompts.asMessages.empty()) << "skipped files are skipped silently";
}

// A source that cannot be read adds nothing: the user hears once which file and why, no assertion
// is reported, and the other files go on, when a project is made and when files are added to it.
TEST_F(ProjectModelTest, ASourceThatCannotBeReadAddsNothing)
{
    const wxString sGood = WriteHomeFile("good.txt", "One. Two.");
    const wxString sMissing = HomePath("typo.txt");
    const wxString sFolder = WriteHomeFile("folder.txt/x", "").BeforeLast('/');
    const wxString sGone = g_LocEngine.FindTranslation("FILE_DOES_NOT_EXIST");
    const wxString sUnreadable = g_LocEngine.FindTranslation("FILE_COULD_NOT_OPEN");
    const std::string sMemory = EmptyMemory().utf8_string();
    struct Case
    {
        const char* szName;
        bool bAddFiles; // to an open project of one file, else a new project
        std::vector<wxString> asFiles;
        std::vector<wxString> asTold; // path and reason of each message
        int nFiles;                   // files of the project afterwards
    } const cases[] = {
        {"new: second path mistyped", false, {sGood, sMissing}, {sMissing, sGone}, 1},
        {"new: first path mistyped", false, {sMissing, sGood}, {sMissing, sGone}, 1},
        {"new: a folder", false, {sFolder, sGood}, {sFolder, sUnreadable}, 1},
        {"add: path mistyped", true, {sMissing}, {sMissing, sGone}, 1},
        {"add: mistyped between two good", true, {sGood, sMissing, sGood}, {sMissing, sGone}, 3},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        AssertRecorder asserts;
        m_prompts.asMessages.clear();
        for (size_t i = 0; i < c.asTold.size(); i += 2)
            m_prompts.anAnswers.push_back(wxOK);
        VRProjectModel model(&m_manager);
        if (c.bAddFiles)
        {
            Open(model, ProjectXML("<body><trans-unit id=\"1\"><source>A.</source></trans-unit></body>", sMemory));
            model.LoadSRX(WriteRules());
            ASSERT_FALSE(model.IsChanged());
            for (const wxString& sFile : c.asFiles)
                EXPECT_EQ(sFile == sGood, model.AddFile(sFile, "en", "de", -1, nullptr));
            model.RefreshFiles();
            // The page marks what it added; a file taken out again marks nothing.
            EXPECT_FALSE(model.IsChanged());
        }
        else
        {
            wxArrayString asFiles, asLanguages;
            for (const wxString& sFile : c.asFiles)
            {
                asFiles.push_back(sFile);
                asLanguages.push_back("en");
            }
            model.CreateNew(WriteRules(), VRProjectModel::NewEmptyMemoryChoice(), asFiles, asLanguages, "de", -1,
                            nullptr);
        }
        EXPECT_EQ(c.nFiles, model.GetNumFiles());
        // No empty file element: every file left has units, and none names the failed path.
        for (tcNode* pFile : model.GetFileNodes())
        {
            std::vector<tcNode*> apSegments;
            model.CollectFileSegments(pFile, true, apSegments);
            EXPECT_FALSE(apSegments.empty());
            EXPECT_NE(c.asTold[0], pFile->GetAttributeDisplayAsString(model.GetXLIFFDTD().m_pFileOriginalAttr));
        }
        ASSERT_EQ(c.asTold.size() / 2, m_prompts.asMessages.size());
        for (size_t i = 0; i < c.asTold.size(); i += 2)
        {
            EXPECT_TRUE(m_prompts.asMessages[i / 2].Contains(c.asTold[i])) << m_prompts.asMessages[i / 2];
            EXPECT_TRUE(m_prompts.asMessages[i / 2].EndsWith(c.asTold[i + 1])) << m_prompts.asMessages[i / 2];
        }
        EXPECT_TRUE(asserts.asExpressions.empty());
        if (model.IsChanged())
            m_prompts.anAnswers.push_back(wxNO);
        model.CloseMemory();
    }
}

// Whatever files were added and removed, a project the program saved opens again, also when no
// file holds a segment any more.
TEST_F(ProjectModelTest, ASavedProjectAlwaysReopens)
{
    const std::string sMemory = EmptyMemory().utf8_string();
    const std::string kMissing = "\x01missing";
    struct Step
    {
        char cWhat; // '+' adds the file sName holding sText (kMissing: never written), '-' removes file sName
        std::string sName;
        std::string sText;
    };
    struct Case
    {
        const char* szName;
        std::vector<std::pair<std::string, std::string>> start; // the new project's files
        std::vector<Step> steps;
        int nFiles;    // after reopening
        int nSegments; // in all files
    } const cases[] = {
        {"empty text added, first removed", {{"a.txt", "One. Two."}}, {{'+', "e.txt", ""}, {'-', "0", ""}}, 1, 0},
        {"mistyped path added, first kept",
         {{"a.txt", "One. Two."}},
         {{'+', "typo.txt", kMissing}, {'-', "0", ""}},
         1,
         2},
        {"two empty added, first removed",
         {{"a.txt", "One. Two."}},
         {{'+', "e.txt", ""}, {'+', "f.txt", ""}, {'-', "0", ""}},
         2,
         0},
        {"empty first, two sentences second", {{"e.txt", ""}, {"b.txt", "Three. Four."}}, {}, 2, 2},
        {"empty first, the other removed", {{"e.txt", ""}, {"b.txt", "Three. Four."}}, {{'-', "1", ""}}, 1, 0},
        {"page without text added, first removed",
         {{"a.txt", "One."}},
         {{'+', "blank.html", "<html><body><p><img src=\"x.png\"></p></body></html>"}, {'-', "0", ""}},
         1,
         0},
        {"removed, added, removed again",
         {{"a.txt", "One."}, {"b.txt", "Two."}},
         {{'-', "0", ""}, {'+', "e.txt", ""}, {'-', "0", ""}, {'+', "c.txt", "Three."}},
         2,
         1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        const wxString sPath = HomePath("reopen.xlf");
        {
            VRProjectModel model(&m_manager);
            CreateNew(model, c.start, wxString(sMemory));
            for (const Step& step : c.steps)
            {
                if (step.cWhat == '-')
                {
                    model.RemoveFile(std::stoi(step.sName));
                    continue;
                }
                const bool bMissing = step.sText == kMissing;
                if (bMissing)
                    m_prompts.anAnswers.push_back(wxOK);
                model.AddFile(bMissing ? HomePath(step.sName) : WriteHomeFile(step.sName, step.sText), "en", "de", -1,
                              nullptr);
                model.RefreshFiles();
            }
            ASSERT_TRUE(model.Save(sPath));
        }
        VRProjectModel reopened(&m_manager);
        ASSERT_NO_THROW(reopened.Open(sPath, nullptr, {}));
        EXPECT_EQ(c.nFiles, reopened.GetNumFiles());
        int nSegments = 0;
        for (tcNode* pFile : reopened.GetFileNodes())
        {
            std::vector<tcNode*> apSegments;
            reopened.CollectFileSegments(pFile, true, apSegments);
            nSegments += static_cast<int>(apSegments.size());
        }
        EXPECT_EQ(c.nSegments, nSegments);
        EXPECT_FALSE(reopened.IsChanged());
        EXPECT_TRUE(m_prompts.anAnswers.empty());
    }
}

TEST_F(ProjectModelTest, ClosingKeepsAnotherProjectCurrent)
{
    auto pFirst = std::make_unique<VRProjectModel>(&m_manager);
    CreateNew(*pFirst, {{"a.txt", "One."}}, VRProjectModel::NewEmptyMemoryChoice());
    VRProjectModel second(&m_manager);
    CreateNew(second, {{"b.txt", "Two."}}, VRProjectModel::NewEmptyMemoryChoice());
    pFirst.reset();
    EXPECT_EQ(second.GetDocument(), tApp()->GetCurrentDoc());
    EXPECT_EQ(second.GetIO(), tApp()->GetCurrentIO());
}

TEST_F(ProjectModelTest, UnreadableRulesFailWithTheirOwnText)
{
    VRProjectModel model(&m_manager);
    const wxString sRules = WriteHomeFile("broken.srx", "<srx><body>");
    try
    {
        CreateNew(model, {{"a.txt", "One."}}, VRProjectModel::NewEmptyMemoryChoice(), nullptr, sRules);
        ADD_FAILURE() << "no failure";
    }
    catch (const TextFailure& e)
    {
        EXPECT_FALSE(e.GetText().empty());
        EXPECT_NE("XLIFF file does not contain any valid files", e.GetText());
    }
}

TEST_F(ProjectModelTest, MemoryChoiceOfANewProject)
{
    // The new-empty choice: a memory without file, and no memdocs until it is saved.
    {
        VRProjectModel model(&m_manager);
        CreateNew(model, {{"a.txt", "One."}}, VRProjectModel::NewEmptyMemoryChoice());
        ASSERT_TRUE(model.GetMemDoc());
        EXPECT_TRUE(model.GetMemDoc()->GetFileName().empty());
        EXPECT_EQ("", model.GetMemDocsPath());
        EXPECT_EQ(0u, m_manager.GetNumMemDocs());
    }
    // An existing file: shared through the manager and recorded.
    {
        const wxString sMemory = EmptyMemory();
        VRProjectModel model(&m_manager);
        CreateNew(model, {{"a.txt", "One."}}, sMemory);
        EXPECT_EQ(model.GetMemDoc(), m_manager.FindMemDoc(sMemory));
        EXPECT_EQ(sMemory, model.GetMemDocsPath());
    }
    // A missing file is offered for creation; declining stops the creation without an error.
    {
        const wxString sMissing = HomePath("new.tmx");
        VRProjectModel model(&m_manager);
        m_prompts.anAnswers = {wxNO};
        EXPECT_THROW(CreateNew(model, {{"a.txt", "One."}}, sMissing), VRProjectCancelled);
        EXPECT_FALSE(wxFileName::Exists(sMissing));
    }
    {
        const wxString sMissing = HomePath("new.tmx");
        VRProjectModel model(&m_manager);
        m_prompts.anAnswers = {wxYES};
        CreateNew(model, {{"a.txt", "One."}}, sMissing);
        EXPECT_TRUE(wxFileName::FileExists(sMissing));
        EXPECT_EQ(sMissing, model.GetMemDoc()->GetFileName());
    }
    // A file that is no memory fails the creation with the reason.
    {
        const wxString sBad = WriteHomeFile("bad.tmx", "not a memory");
        VRProjectModel model(&m_manager);
        try
        {
            CreateNew(model, {{"a.txt", "One."}}, sBad);
            ADD_FAILURE() << "no failure";
        }
        catch (const VRProjectCancelled&)
        {
            ADD_FAILURE() << "reported as a cancel";
        }
        catch (const TextFailure& e)
        {
            EXPECT_TRUE(e.GetText().Contains(sBad)) << e.GetText().utf8_string();
        }
    }
}

TEST_F(ProjectModelTest, MemoryPathWithCommaAndLettersSurvivesSaveAndReopen)
{
    const wxString sMemory = EmptyMemory("Übersetzung, alt.tmx");
    const wxString sProject = HomePath("saved.xlf");
    {
        VRProjectModel model(&m_manager);
        CreateNew(model, {{"a.txt", "One. Two."}}, sMemory);
        ASSERT_TRUE(model.Save(sProject));
        EXPECT_FALSE(model.IsChanged());
    }
    VRProjectModel reopened(&m_manager);
    reopened.Open(sProject, nullptr, {});
    EXPECT_EQ(sMemory, reopened.GetMemDocsPath());
    ASSERT_TRUE(reopened.GetMemDoc());
    EXPECT_EQ(sMemory, reopened.GetMemDoc()->GetFileName());
    EXPECT_FALSE(reopened.IsChanged()) << "the memory was found where the project said: nothing changed";
}

TEST_F(ProjectModelTest, AReadOnlyProjectIsNotReplacedButSavesElsewhere)
{
    const wxString sProject = HomePath("read-only.xlf");
    VRProjectModel model(&m_manager);
    CreateNew(model, {{"a.txt", "One. Two."}}, EmptyMemory());
    ASSERT_TRUE(model.Save(sProject));
    const std::string sSaved = ReadBytes(sProject);
    std::filesystem::permissions(sProject.utf8_string(), std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::group_read |
                                                             std::filesystem::perms::others_read);
    model.GetDocument()->SetDirty();

    wxString sError;
    EXPECT_FALSE(model.Save(wxString(), &sError));
    EXPECT_TRUE(sError.Contains("the file " + sProject + " is read-only")) << sError.utf8_string();
    EXPECT_EQ(ReadBytes(sProject), sSaved);
    EXPECT_TRUE(model.IsChanged());

    const wxString sElsewhere = HomePath("elsewhere.xlf");
    EXPECT_TRUE(model.Save(sElsewhere, &sError));
    EXPECT_FALSE(model.IsChanged());
    EXPECT_EQ(ReadBytes(sElsewhere), sSaved);
}

TEST_F(ProjectModelTest, SegmentsOfTheCurrentFile)
{
    const std::string sMemory = EmptyMemory().utf8_string();
    const std::string sBody =
        "<body>"
        "<trans-unit id=\"1\" translate=\"no\"><source>Skip me.</source></trans-unit>"
        "<trans-unit id=\"2\"><source>A. B. C.</source><seg-source><mrk mtype=\"seg\" mid=\"1\">A.</mrk> "
        "<mrk mtype=\"seg\" mid=\"2\">B.</mrk> <mrk mtype=\"seg\" mid=\"3\">C.</mrk></seg-source>"
        "<target><mrk mtype=\"seg\" mid=\"1\">Ah.</mrk></target></trans-unit>"
        "<trans-unit id=\"3\"><source>Whole.</source></trans-unit>"
        "<trans-unit id=\"4\"><note>neither</note></trans-unit>"
        "</body>";
    VRProjectModel model(&m_manager);
    Open(model, ProjectXML(sBody, sMemory));
    std::vector<wxString> asTexts;
    std::vector<wxString> asKinds;
    for (tcNode* pSegment : model.GetSegments())
    {
        asKinds.push_back(pSegment->GetElement()->GetName());
        asTexts.push_back(pSegment->GetAttributeRawAsString(model.GetXLIFFDTD().m_pMrkMidAttr));
    }
    EXPECT_EQ((std::vector<wxString>{"mrk", "mrk", "mrk", "source"}), asKinds);
    EXPECT_EQ((std::vector<wxString>{"1", "2", "3", ""}), asTexts);
}

TEST_F(ProjectModelTest, DamagedProjectFailsWithItsLoadErrors)
{
    VRProjectModel model(&m_manager);
    try
    {
        Open(model, "<?xml version=\"1.0\"?><xliff version=\"1.2\"><file><body></file></xliff>");
        ADD_FAILURE() << "no failure";
    }
    catch (const TextFailure& e)
    {
        EXPECT_TRUE(e.GetText().Contains("load error")) << e.GetText().utf8_string();
        EXPECT_NE("Invalid XLIFF project", e.GetText());
    }
}

TEST_F(ProjectModelTest, MissingMemoryIsAskedForAndMarksTheProjectChanged)
{
    const wxString sOther = EmptyMemory("other.tmx");
    VRProjectModel model(&m_manager);
    int nAsked = 0;
    Open(model, ProjectXML("<body><trans-unit id=\"1\"><source>A.</source></trans-unit></body>", "gone.tmx"),
         [&](CVRMemDocManager& manager)
         {
             ++nAsked;
             return manager.OpenMemDoc(sOther);
         });
    EXPECT_EQ(1, nAsked);
    EXPECT_EQ(sOther, model.GetMemDocsPath());
    EXPECT_TRUE(model.IsChanged());
}

TEST_F(ProjectModelTest, EveryFailedConstructionLeavesNothing)
{
    const std::string sUnit = "<trans-unit id=\"1\"><source>A.</source></trans-unit>";
    const std::string sMemory = EmptyMemory().utf8_string();
    struct Case
    {
        const char* szName;
        std::function<void(ProjectModelTest&, VRProjectModel&)> run;
        bool bCancelled;
    } const cases[] = {
        {"no handler",
         [](ProjectModelTest& t, VRProjectModel& m)
         {
             Done_XLIFFImporter();
             t.CreateNew(m, {{"a.txt", "One."}}, t.EmptyMemory("m1.tmx"));
         },
         false},
        {"bad rules",
         [](ProjectModelTest& t, VRProjectModel& m) {
             t.CreateNew(m, {{"a.txt", "One."}}, {}, nullptr, WriteHomeFile("bad.srx", "<srx>"));
         },
         false},
        {"all skipped",
         [&](ProjectModelTest& t, VRProjectModel& m) {
             t.CreateNew(m, {{"a.pdf", "x"}}, wxString(sMemory));
         },
         false},
        {"no header",
         [&](ProjectModelTest& t, VRProjectModel& m)
         { t.Open(m, ProjectXML("<body>" + sUnit + "</body>", sMemory, "")); },
         false},
        {"no body", [&](ProjectModelTest& t, VRProjectModel& m) { t.Open(m, ProjectXML("", sMemory)); }, false},
        {"nothing to translate in any new file",
         [&](ProjectModelTest& t, VRProjectModel& m) {
             t.CreateNew(m, {{"a.txt", ""}, {"b.txt", ""}}, wxString(sMemory));
         },
         false},
        {"memory cancelled",
         [&](ProjectModelTest& t, VRProjectModel& m)
         {
             t.Open(m, ProjectXML("<body>" + sUnit + "</body>", "gone.tmx"),
                    [](CVRMemDocManager&) -> CVRMemDoc* { throw TextFailure("No memory"); });
         },
         false},
        {"progress cancelled",
         [&](ProjectModelTest& t, VRProjectModel& m)
         {
             StoppingProgress progress(1);
             t.CreateNew(m, {{"a.txt", "One."}, {"b.txt", "Two."}}, wxString(sMemory), &progress);
         },
         true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        AssertRecorder asserts;
        bool bThrown = false;
        {
            VRProjectModel model(&m_manager);
            try
            {
                c.run(*this, model);
            }
            catch (const VRProjectCancelled&)
            {
                bThrown = true;
                EXPECT_TRUE(c.bCancelled);
            }
            catch (const TextFailure& e)
            {
                bThrown = true;
                EXPECT_FALSE(c.bCancelled) << e.GetText().utf8_string();
            }
        }
        Init_XLIFFImporter();
        EXPECT_TRUE(bThrown);
        EXPECT_EQ(nullptr, tApp()->GetCurrentDoc());
        EXPECT_EQ(0u, m_manager.GetNumMemDocs());
        EXPECT_TRUE(asserts.asExpressions.empty());
    }
}

// Progress that asks to stop once the gauge passed the middle, and counts what came after.
class HalfwayProgress : public tcConvertorProgress
{
public:
    int GetValue() const override { return m_nValue; }
    void SetValue(int nValue) override
    {
        m_nValue = std::min(nValue, kHighest);
        if (m_bCancelled)
            ++nSetsAfterCancel;
        m_bCancelled = m_bCancelled || m_nValue >= kMaximum / 2;
    }
    bool WasCancelled() const override { return m_bCancelled; }
    int nSetsAfterCancel = 0;

private:
    int m_nValue = 0;
    bool m_bCancelled = false;
};

TEST_F(ProjectModelTest, CancelStopsBetweenUnitsOfOneFile)
{
    std::string sHTML = "<html><body>";
    for (int i = 0; i < 400; ++i)
        sHTML += "<p>Paragraph " + std::to_string(i) + ".</p>";
    sHTML += "</body></html>";
    HalfwayProgress progress;
    VRProjectModel model(&m_manager);
    EXPECT_THROW(CreateNew(model, {{"long.html", sHTML}}, VRProjectModel::NewEmptyMemoryChoice(), &progress),
                 VRProjectCancelled);
    // Only the convertor's closing value may follow the cancel: the units stopped there.
    EXPECT_LE(progress.nSetsAfterCancel, 1);
}

// A project whose memory was moved away: the question for another memory says which file could not
// be opened; a project whose memory opens asks nothing.
TEST_F(ProjectModelTest, AMovedMemoryIsNamedWhenAnotherIsAskedFor)
{
    const wxString sMemory = EmptyMemory("moved.tmx");
    const wxString sProject = HomePath("moved.xlf");
    {
        VRProjectModel model(&m_manager);
        CreateNew(model, {{"a.txt", "One."}}, sMemory);
        ASSERT_TRUE(model.Save(sProject));
    }
    ASSERT_TRUE(wxRenameFile(sMemory, HomePath("elsewhere.tmx")));
    const wxString sOther = EmptyMemory("other.tmx");
    VRProjectModel model(&m_manager);
    wxString sAsked;
    model.Open(sProject, nullptr,
               [&](CVRMemDocManager& manager)
               {
                   sAsked = model.GetMemDocProblem();
                   return manager.OpenMemDoc(sOther);
               });
    EXPECT_NE(sAsked.find(sMemory), wxString::npos) << sAsked.utf8_string();
    EXPECT_EQ(sOther, model.GetMemDocsPath());
}

TEST_F(ProjectModelTest, NewMemoryIsOfferedOnceAtClosing)
{
    const wxString sHeld = EmptyMemory("held.tmx");
    CVRMemDoc* pOtherProjects = m_manager.OpenMemDoc(sHeld);
    struct Case
    {
        const char* szName;
        std::deque<int> anAnswers;
        std::deque<wxString> asFiles;
        wxString sMemdocs; // expected afterwards
        size_t nMessages;
    } const cases[] = {
        {"saved", {wxYES}, {HomePath("saved.tmx")}, HomePath("saved.tmx"), 1},
        {"declined", {wxNO}, {}, "", 1},
        {"held by another project", {wxYES, wxOK}, {sHeld, HomePath("free.tmx")}, HomePath("free.tmx"), 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        VRProjectModel model(&m_manager);
        CreateNew(model, {{"a.txt", "One."}}, VRProjectModel::NewEmptyMemoryChoice());
        model.GetMemDoc()->AddTranslation("One.", "Eins.", "en", "de");
        ASSERT_TRUE(model.Save(HomePath("p.xlf")));
        m_prompts.asMessages.clear();
        m_prompts.asBusy.clear();
        m_prompts.anAnswers = c.anAnswers;
        m_prompts.asFiles = c.asFiles;
        model.CloseMemory();
        EXPECT_EQ(nullptr, model.GetMemDoc());
        EXPECT_EQ(c.sMemdocs, model.GetMemDocsPath());
        EXPECT_EQ(!c.sMemdocs.empty(), model.IsChanged()) << "a new memdocs value marks the project changed";
        EXPECT_EQ(c.nMessages, m_prompts.asMessages.size());
        EXPECT_EQ(c.sMemdocs.empty() ? 0u : 1u, m_prompts.asBusy.size());
        EXPECT_TRUE(m_prompts.anAnswers.empty() && m_prompts.asFiles.empty());
        if (!c.sMemdocs.empty())
        {
            EXPECT_TRUE(wxFileName::FileExists(c.sMemdocs));
        }
    }
    EXPECT_EQ(0u, m_prompts.anAnswers.size()) << "the destructor of a declined memory asked nothing";
    m_manager.ReleaseMemDoc(pOtherProjects);
}
} // namespace
