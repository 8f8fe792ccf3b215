#include "engine/VRMemDocManager.h"

#include "Shared/UserPrompts.h"
#include "engine/VRMemDoc.h"
#include "tests/engine/MemDocFiles.h"
#include "varnak/include/TextFailure.h"

#include <gtest/gtest.h>
#include <wx/filefn.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

namespace
{
const AssertReport kNotHeld{"VRMemDocManager", 78, "0"};
const AssertReport kStillHeld{"VRMemDocManager", 21, "0"};

// Answers every question with Yes and every file choice with nothing, and remembers the questions.
class YesPrompts : public tcSilentUserPrompts
{
public:
    YesPrompts() { tSetUserPrompts(this); }
    ~YesPrompts() override { tSetUserPrompts(nullptr); }
    YesPrompts(const YesPrompts&) = delete;
    YesPrompts& operator=(const YesPrompts&) = delete;

    int ShowMessage(const wxString& sText, const wxString&, long, wxWindow*) override
    {
        asQuestions.push_back(sText);
        return wxYES;
    }
    std::vector<wxString> asQuestions;
};

class MemDocManager : public testing::Test
{
protected:
    TMXHandlerScope m_tmx;
    WorkingDirGuard m_cwd;
};

TEST_F(MemDocManager, PathFormsOfOneFileShareOneMemory)
{
    struct Case
    {
        const char* szForm;
        // The other path, given the folder holding "mem.tmx"; it may add files and links there.
        std::function<wxString(const fs::path& dir)> fnOther;
        bool bShares;
    };
    const Case cases[] = {
        {"the same path", [](const fs::path& dir) { return ToWx(dir / "mem.tmx"); }, true},
        {"relative to the working directory",
         [](const fs::path& dir)
         {
             wxSetWorkingDirectory(ToWx(dir));
             return wxString("mem.tmx");
         },
         true},
        {"through \"..\"",
         [](const fs::path& dir)
         {
             fs::create_directories(dir / "sub");
             return ToWx(dir) + "/sub/../mem.tmx";
         },
         true},
        {"with \".\" and a doubled slash", [](const fs::path& dir) { return ToWx(dir) + "/.//mem.tmx"; }, true},
        {"a symbolic link to the file",
         [](const fs::path& dir)
         {
             fs::create_symlink(dir / "mem.tmx", dir / "link.tmx");
             return ToWx(dir / "link.tmx");
         },
         true},
        {"inside a linked folder",
         [](const fs::path& dir)
         {
             fs::create_directory_symlink(dir, dir.parent_path() / (dir.filename().string() + "-link"));
             return ToWx(dir.parent_path() / (dir.filename().string() + "-link") / "mem.tmx");
         },
         true},
        {"a hard link",
         [](const fs::path& dir)
         {
             fs::create_hard_link(dir / "mem.tmx", dir / "hard.tmx");
             return ToWx(dir / "hard.tmx");
         },
         true},
        // Letter case names another file on this system.
        {"another letter case",
         [](const fs::path& dir)
         {
             fs::copy_file(dir / "mem.tmx", dir / "MEM.tmx");
             return ToWx(dir / "MEM.tmx");
         },
         false},
        {"a copy",
         [](const fs::path& dir)
         {
             fs::copy_file(dir / "mem.tmx", dir / "copy.tmx");
             return ToWx(dir / "copy.tmx");
         },
         false},
    };
    int nCase = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szForm);
        const fs::path file = CopyMemory("case" + std::to_string(nCase++) + "/mem.tmx");
        AssertLog asserts;
        CVRMemDocManager manager;

        CVRMemDoc* pFirst = manager.OpenMemDoc(ToWx(file));
        ASSERT_NE(pFirst, nullptr);
        wxString sError;
        CVRMemDoc* pSecond = manager.OpenMemDoc(c.fnOther(file.parent_path()), &sError);
        ASSERT_NE(pSecond, nullptr) << sError;

        if (c.bShares)
        {
            EXPECT_EQ(pSecond, pFirst);
            EXPECT_EQ(pFirst->GetRefCount(), 2);
            EXPECT_EQ(manager.GetNumMemDocs(), 1u);
        }
        else
        {
            EXPECT_NE(pSecond, pFirst);
            EXPECT_EQ(pFirst->GetRefCount(), 1);
            EXPECT_EQ(pSecond->GetRefCount(), 1);
            EXPECT_EQ(manager.GetNumMemDocs(), 2u);
        }
        manager.ReleaseMemDoc(pSecond);
        manager.ReleaseMemDoc(pFirst);
        EXPECT_EQ(manager.GetNumMemDocs(), 0u);
        EXPECT_TRUE(asserts.reports.empty());
    }
}

// A memory opened by a relative path must still be told apart from a file of the same name in
// another folder once the working directory has changed.
TEST_F(MemDocManager, RelativePathStaysWithItsFolder)
{
    const fs::path first = CopyMemory("first/mem.tmx");
    const fs::path second = CopyMemory("second/mem.tmx");
    CVRMemDocManager manager;

    wxSetWorkingDirectory(ToWx(first.parent_path()));
    CVRMemDoc* pFirst = manager.OpenMemDoc("mem.tmx");
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(pFirst->GetFileName(), ToWx(first));

    wxSetWorkingDirectory(ToWx(second.parent_path()));
    CVRMemDoc* pSecond = manager.OpenMemDoc("mem.tmx");
    ASSERT_NE(pSecond, nullptr);
    EXPECT_NE(pSecond, pFirst);
    EXPECT_EQ(pSecond->GetFileName(), ToWx(second));
    EXPECT_EQ(manager.OpenMemDoc(ToWx(first)), pFirst);

    manager.ReleaseMemDoc(pFirst);
    manager.ReleaseMemDoc(pFirst);
    manager.ReleaseMemDoc(pSecond);
    EXPECT_EQ(manager.GetNumMemDocs(), 0u);
}

// Two projects share a memory; what one of them adds is in the other's look-ups at once, closing one
// project keeps the memory alive and unsaved, and the last one saves it after the question.
TEST_F(MemDocManager, SharedMemoryLivesUntilItsLastUserAndIsSavedThen)
{
    const fs::path file = CopyMemory("mem.tmx");
    YesPrompts prompts;
    {
        CVRMemDocManager manager;
        CVRMemDoc* pProject1 = manager.OpenMemDoc(ToWx(file));
        CVRMemDoc* pProject2 = manager.OpenMemDoc(ToWx(file));
        ASSERT_NE(pProject1, nullptr);
        ASSERT_EQ(pProject2, pProject1);

        pProject1->AddTranslation("The cat sleeps on the sofa.", "Die Katze schläft auf dem Sofa.", "en", "de");
        const std::vector<CVRMemDocMatch> matches = pProject2->LookupTranslations("The cat sleeps on the sofa.", "EN");
        ASSERT_EQ(matches.size(), 1u);
        EXPECT_EQ(matches[0].m_sTarget, wxString::FromUTF8("Die Katze schläft auf dem Sofa."));

        manager.ReleaseMemDoc(pProject1);
        EXPECT_EQ(manager.GetNumMemDocs(), 1u);
        EXPECT_EQ(pProject2->GetRefCount(), 1);
        EXPECT_TRUE(pProject2->IsModified());
        EXPECT_TRUE(prompts.asQuestions.empty());

        manager.ReleaseMemDoc(pProject2);
        EXPECT_EQ(manager.GetNumMemDocs(), 0u);
        ASSERT_EQ(prompts.asQuestions.size(), 1u);
        EXPECT_EQ(manager.FindMemDoc(ToWx(file)), nullptr);
    }

    CVRMemDocManager manager;
    CVRMemDoc* pReopened = manager.OpenMemDoc(ToWx(file));
    ASSERT_NE(pReopened, nullptr);
    const std::vector<CVRMemDocMatch> matches = pReopened->LookupTranslations("The cat sleeps on the sofa.", "en");
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].m_nScore, 100);
    EXPECT_EQ(matches[0].m_sLanguage, "de");
    manager.ReleaseMemDoc(pReopened);
}

TEST_F(MemDocManager, FilesThatAreNoMemoryOpenNothing)
{
    struct Case
    {
        const char* szWhat;
        std::function<wxString()> fnPath;
    };
    const Case cases[] = {
        {"no path", []() { return wxString(); }},
        {"a missing file", []() { return ToWx(HomeFile("missing.tmx")); }},
        {"a folder",
         []()
         {
             fs::create_directories(HomeFile("folder.tmx"));
             return ToWx(HomeFile("folder.tmx"));
         }},
        {"text that is no XML", []() { return ToWx(WriteHomeBytes("text.tmx", "just some words\n")); }},
        {"truncated XML",
         []() { return ToWx(WriteHomeBytes("cut.tmx", "<?xml version=\"1.0\"?><tmx version=\"1.4\"><body><tu>")); }},
        {"XML without a body",
         []() { return ToWx(WriteHomeBytes("nobody.tmx", "<tmx version=\"1.4\"><header/></tmx>")); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szWhat);
        AssertLog asserts;
        CVRMemDocManager manager;
        wxString sError;
        EXPECT_EQ(manager.OpenMemDoc(c.fnPath(), &sError), nullptr);
        EXPECT_FALSE(sError.empty());
        EXPECT_EQ(manager.GetNumMemDocs(), 0u);
        EXPECT_TRUE(asserts.reports.empty());
    }
}

TEST_F(MemDocManager, ReleasingAMemoryNotHeldOnlyAsserts)
{
    const fs::path file = CopyMemory("mem.tmx");
    CVRMemDocManager manager;
    CVRMemDocManager other;
    CVRMemDoc* pHeld = manager.OpenMemDoc(ToWx(file));
    ASSERT_NE(pHeld, nullptr);
    CVRMemDoc* pHeldElsewhere = other.OpenMemDoc(ToWx(file));
    ASSERT_NE(pHeldElsewhere, nullptr);
    ASSERT_NE(pHeldElsewhere, pHeld);
    std::unique_ptr<CVRMemDoc> pNew = manager.NewMemDoc();
    ASSERT_NE(pNew, nullptr);
    EXPECT_TRUE(pNew->GetFileName().empty());
    EXPECT_EQ(pNew->GetRefCount(), 1);

    struct Case
    {
        const char* szWhat;
        CVRMemDoc* pMemDoc;
    };
    const Case cases[] = {
        {"null", nullptr},
        {"a new memory", pNew.get()},
        {"a memory of another manager", pHeldElsewhere},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szWhat);
        AssertLog asserts;
        manager.ReleaseMemDoc(c.pMemDoc);
        EXPECT_EQ(asserts.reports, std::vector<AssertReport>{kNotHeld});
        EXPECT_EQ(manager.GetNumMemDocs(), 1u);
        EXPECT_EQ(pHeld->GetRefCount(), 1);
        if (c.pMemDoc)
        {
            EXPECT_EQ(c.pMemDoc->GetRefCount(), 1);
        }
    }
    manager.ReleaseMemDoc(pHeld);
    other.ReleaseMemDoc(pHeldElsewhere);
}

TEST_F(MemDocManager, DestroyedWhileHoldingAssertsAndLeavesTheMemoriesAlive)
{
    const fs::path file = CopyMemory("mem.tmx");
    CVRMemDoc* pHeld = nullptr;
    AssertLog asserts;
    {
        CVRMemDocManager manager;
        pHeld = manager.OpenMemDoc(ToWx(file));
        ASSERT_NE(pHeld, nullptr);
        ASSERT_EQ(manager.OpenMemDoc(ToWx(file)), pHeld);
    }
    EXPECT_EQ(asserts.reports, std::vector<AssertReport>{kStillHeld});
    // Still usable by whoever holds it; ownership passes to this test.
    std::unique_ptr<CVRMemDoc> pOrphan(pHeld);
    EXPECT_EQ(pOrphan->GetRefCount(), 2);
    EXPECT_EQ(pOrphan->GetFileName(), ToWx(file));
    EXPECT_FALSE(pOrphan->LookupTranslations("it's fine and good", "en").empty());

    asserts.reports.clear();
    {
        CVRMemDocManager empty;
    }
    EXPECT_TRUE(asserts.reports.empty());
}

TEST_F(MemDocManager, CreateMemDocWritesANewMemoryAndNeverOverwrites)
{
    CVRMemDocManager manager;
    wxString sError;

    const fs::path created = HomeFile("new/created.tmx");
    fs::create_directories(created.parent_path());
    CVRMemDoc* pCreated = manager.CreateMemDoc(ToWx(created), &sError);
    ASSERT_NE(pCreated, nullptr) << sError;
    EXPECT_EQ(pCreated->GetFileName(), ToWx(created));
    EXPECT_FALSE(pCreated->IsModified());
    EXPECT_TRUE(fs::is_regular_file(created));
    // Held like an opened one, and another project naming the file gets the same memory.
    EXPECT_EQ(manager.OpenMemDoc(ToWx(created)), pCreated);
    EXPECT_EQ(manager.CreateMemDoc(ToWx(created)), pCreated);
    EXPECT_EQ(pCreated->GetRefCount(), 3);

    const fs::path existing = CopyMemory("existing.tmx");
    const std::string sBefore = ReadFile(existing);
    sError.clear();
    EXPECT_EQ(manager.CreateMemDoc(ToWx(existing), &sError), nullptr);
    EXPECT_TRUE(sError.Contains("already exists")) << sError;
    EXPECT_EQ(ReadFile(existing), sBefore);

    const fs::path unwritable = HomeFile("no/such/folder/mem.tmx");
    sError.clear();
    EXPECT_EQ(manager.CreateMemDoc(ToWx(unwritable), &sError), nullptr);
    EXPECT_FALSE(sError.empty());
    EXPECT_FALSE(fs::exists(unwritable));
    EXPECT_EQ(manager.GetNumMemDocs(), 1u);

    for (int n = 0; n < 3; ++n)
        manager.ReleaseMemDoc(pCreated);
    EXPECT_EQ(manager.GetNumMemDocs(), 0u);

    // The file is a memory that opens again.
    CVRMemDoc* pReopened = manager.OpenMemDoc(ToWx(created), &sError);
    ASSERT_NE(pReopened, nullptr) << sError;
    manager.ReleaseMemDoc(pReopened);
}

// The progress a load reports: begun and ended once per file read, fractions that grow within 0..1;
// a stop request ends the load with nothing held, and the next load is not taken for stopped.
class RecordingLoadProgress : public tcMemDocLoadProgress
{
public:
    void Begin(const wxString& sFile) override { asBegun.push_back(sFile); }
    bool Step(double dFraction) override
    {
        adFractions.push_back(dFraction);
        return nStopAfter < 0 || static_cast<int>(adFractions.size()) < nStopAfter;
    }
    void End() override { ++nEnded; }

    int nStopAfter = -1;
    std::vector<wxString> asBegun;
    std::vector<double> adFractions;
    int nEnded = 0;
};

TEST_F(MemDocManager, LoadingReportsItsProgressAndStopsWhenAsked)
{
    std::string sTMX = "<?xml version=\"1.0\"?><tmx version=\"1.4\"><header/><body>";
    for (int i = 0; i < 2000; ++i)
        sTMX += "<tu><tuv xml:lang=\"en\"><seg>Line " + std::to_string(i) +
                ".</seg></tuv><tuv xml:lang=\"de\"><seg>Zeile " + std::to_string(i) + ".</seg></tuv></tu>";
    const wxString sFile = ToWx(WriteHomeBytes("large.tmx", sTMX + "</body></tmx>"));

    const wxString sOther = ToWx(WriteHomeBytes("other.tmx", sTMX + "</body></tmx>"));

    CVRMemDocManager manager;
    RecordingLoadProgress going;
    manager.SetLoadProgress(&going);
    CVRMemDoc* pMemDoc = manager.OpenMemDoc(sFile);
    ASSERT_NE(pMemDoc, nullptr);
    EXPECT_FALSE(manager.WasLoadCancelled());
    EXPECT_EQ(going.asBegun, std::vector<wxString>{sFile});
    EXPECT_EQ(going.nEnded, 1);
    ASSERT_GT(going.adFractions.size(), 10u);
    EXPECT_TRUE(std::is_sorted(going.adFractions.begin(), going.adFractions.end()));
    EXPECT_GT(going.adFractions.front(), 0.0);
    EXPECT_GT(going.adFractions.back(), 0.9);
    EXPECT_LE(going.adFractions.back(), 1.0);

    RecordingLoadProgress stopping;
    stopping.nStopAfter = 3;
    manager.SetLoadProgress(&stopping);
    EXPECT_EQ(manager.OpenMemDoc(sOther), nullptr);
    EXPECT_TRUE(manager.WasLoadCancelled());
    EXPECT_EQ(manager.GetNumMemDocs(), 1u);
    EXPECT_EQ(stopping.nEnded, 1);
    EXPECT_EQ(stopping.adFractions.size(), 3u) << "no step after the stop";

    // A memory already held is not read again: no progress, and not taken for stopped.
    EXPECT_EQ(manager.OpenMemDoc(sFile), pMemDoc);
    EXPECT_EQ(stopping.asBegun.size(), 1u);
    EXPECT_FALSE(manager.WasLoadCancelled());
    manager.ReleaseMemDoc(pMemDoc);
    manager.ReleaseMemDoc(pMemDoc);
}
} // namespace
