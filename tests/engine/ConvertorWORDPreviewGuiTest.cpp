// The Word preview with the in-memory Word: the shared panel and its embedded window, what each
// preview asks of Word, and nothing left behind when convertors and pages go.
#include "engine/Convertor_word.h"

#include "engine/ConvertorPreviewWx.h"
#include "engine/EmbedWord.h"
#include "engine/EmbedWordWx.h"
#include "tests/engine/FakeWord.h"
#include "tests/engine/FakeWordView.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/harness/TestFiles.h"
#include "varnak/include/tString.h"

#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/weakref.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

class ConvertorWORDPreviewGui : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_fnOldMaker = tSetWordPreviewPanelMaker(nullptr);
        tInstallWordPreviewPanels();
        const char* szTmp = std::getenv("TMPDIR");
        m_sOldTmp = szTmp ? std::optional<std::string>(szTmp) : std::nullopt;
        fs::create_directories(TempDir());
        setenv("TMPDIR", TempDir().c_str(), 1);
        m_word.m_fnOnHostChanged = DrawFakeWordHost;
    }
    void TearDown() override
    {
        if (m_sOldTmp)
            setenv("TMPDIR", m_sOldTmp->c_str(), 1);
        else
            unsetenv("TMPDIR");
        tSetWordPreviewPanelMaker(m_fnOldMaker);
        GuiTest::TearDown();
    }

    static fs::path TempDir() { return fs::path(HomePath("tmp").utf8_string()); }
    static std::vector<std::string> TempFiles()
    {
        std::vector<std::string> asNames;
        for (const auto& entry : fs::directory_iterator(TempDir()))
            asNames.push_back(entry.path().filename().string());
        return asNames;
    }

    // A shown frame holding one panel, as a project page's preview panel.
    static wxPanel* NewPage(const wxString& sTitle)
    {
        auto* pFrame = new wxFrame(nullptr, wxID_ANY, sTitle, wxDefaultPosition, wxSize(560, 300));
        auto* pPanel = new wxPanel(pFrame);
        pPanel->SetSizer(new wxBoxSizer(wxVERTICAL));
        pFrame->Show();
        return pPanel;
    }
    // Puts the preview window into the page's panel, filling it, as the preview pane does.
    static void Host(wxPanel* pPage, wxWindow* pWindow)
    {
        pPage->GetSizer()->Clear();
        pPage->GetSizer()->Add(pWindow, 1, wxEXPAND);
        pPage->Layout();
    }
    static wxString Skeleton(const wxString& sText)
    {
        const std::string sBytes = FakeWordFile(sText);
        return tBinToHex(sBytes.data(), sBytes.size());
    }
    // Generated text with "@" for the position marker, { } for untranslated and « » for selected.
    static wxString Generated(wxString s)
    {
        s.Replace(L"{", kszUntranslatedBegin);
        s.Replace(L"}", kszUntranslatedEnd);
        s.Replace(L"«", kszSelectedBegin);
        s.Replace(L"»", kszSelectedEnd);
        s.Replace(L"@", kszWordPosition);
        return s;
    }
    // The calls the preview makes of the embedded window and its document since the last look.
    std::vector<std::string> PreviewCalls()
    {
        std::vector<std::string> asCalls = m_word.Calls({"Host.", "Protect", "UnProtect", "SetText"});
        m_word.m_asLog.clear();
        return asCalls;
    }
    CFakeWordDocument* Shown() { return m_word.m_pHost ? m_word.m_pHost->m_pActive.get() : nullptr; }

    CFakeWordProvider m_word;

private:
    tcWordPreviewPanelMaker m_fnOldMaker;
    std::optional<std::string> m_sOldTmp;
};
} // namespace

TEST_F(ConvertorWORDPreviewGui, PreviewingAgainReopensTheFileAndWritesTheCurrentText)
{
    wxPanel* pPage = NewPage("page");
    auto pConvertor = std::make_unique<tcConvertorWORD>(nullptr, L"en");
    wxWindow* pPanel = pConvertor->Preview(Skeleton(L" l y "), Generated(L"@0]{Aa}@2]Bb@4]«Cc»"), pPage, nullptr);
    ASSERT_NE(pPanel, nullptr);
    EXPECT_EQ(pPanel->GetParent(), pPage);
    EXPECT_TRUE(pPanel->HasFlag(wxNO_BORDER));
    const wxString sFile = pConvertor->GetPreviewPath();
    EXPECT_EQ(PreviewCalls(),
              (std::vector<std::string>{"Host.Create", "Host.Open " + sFile.utf8_string(), "Protect(3)", "Host.View",
                                        "UnProtect", "SetText(Aa)", "SetText(Bb)", "SetText(Cc)", "Protect(3)"}));
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Shown()->m_sText, L"AalBbyCc");
    EXPECT_EQ(Shown()->ShadedRanges(0xF9E1CA), "[0,2)");
    EXPECT_EQ(Shown()->BorderedRanges(0x0000FF), "[6,8)");
    EXPECT_EQ(Shown()->m_nProtection, 3);
    Host(pPage, pPanel);
    EXPECT_TRUE(ScreenshotIfAsked("word_preview"));

    // The file is written once: a change made to it since shows, and the text goes in again.
    WriteBytes(sFile.utf8_string(), FakeWordFile(L" l y !"));
    EXPECT_EQ(pConvertor->Preview(Skeleton(L" l y "), Generated(L"@0]Aa@2]{Bb}@4]Cc"), pPage, nullptr), pPanel);
    EXPECT_EQ(pConvertor->GetPreviewPath(), sFile);
    EXPECT_EQ(PreviewCalls(),
              (std::vector<std::string>{"Host.Close", "Host.Open " + sFile.utf8_string(), "Protect(3)", "Host.View",
                                        "UnProtect", "SetText(Aa)", "SetText(Bb)", "SetText(Cc)", "Protect(3)"}));
    EXPECT_EQ(Shown()->m_sText, L"AalBbyCc!");
    EXPECT_EQ(Shown()->ShadedRanges(0xF9E1CA), "[3,5)");
    EXPECT_EQ(m_word.m_nHostsMade, 1);
}

TEST_F(ConvertorWORDPreviewGui, TheLastPreviewComesBackTranslated)
{
    wxPanel* pPage = NewPage("page");
    auto pA = std::make_unique<tcConvertorWORD>(nullptr, L"en");
    auto pB = std::make_unique<tcConvertorWORD>(nullptr, L"en");
    EXPECT_EQ(pA->ShowLastPreview(pPage), nullptr);
    wxWindow* pPanel = pA->Preview(Skeleton(L" a"), Generated(L"@0]{Eins}"), pPage, nullptr);
    ASSERT_NE(pPanel, nullptr);
    EXPECT_EQ(pB->Preview(Skeleton(L"b "), Generated(L"@1]Zwei"), pPage, nullptr), pPanel);
    EXPECT_EQ(Shown()->m_sText, L"bZwei");
    PreviewCalls();

    // A again: its file holds the skeleton only, so its text is written in again.
    EXPECT_EQ(pA->ShowLastPreview(pPage), pPanel);
    EXPECT_EQ(PreviewCalls(),
              (std::vector<std::string>{"Host.Close", "Host.Open " + pA->GetPreviewPath().utf8_string(), "Protect(3)",
                                        "Host.View", "UnProtect", "SetText(Eins)", "Protect(3)"}));
    EXPECT_EQ(Shown()->m_sText, L"Einsa");
    EXPECT_EQ(Shown()->ShadedRanges(0xF9E1CA), "[0,4)");

    // On show already: nothing is asked of Word.
    EXPECT_EQ(pA->ShowLastPreview(pPage), pPanel);
    EXPECT_EQ(PreviewCalls(), std::vector<std::string>());
}

TEST_F(ConvertorWORDPreviewGui, TheLastConvertorTakesWindowPanelAndFilesWithIt)
{
    wxPanel* pPage = NewPage("page");
    auto pA = std::make_unique<tcConvertorWORD>(nullptr, L"en");
    auto pB = std::make_unique<tcConvertorWORD>(nullptr, L"en");
    const wxWeakRef<wxWindow> panel(pA->Preview(Skeleton(L" "), Generated(L"@0]a"), pPage, nullptr));
    ASSERT_TRUE(panel);
    pB->Preview(Skeleton(L" "), Generated(L"@0]b"), pPage, nullptr);
    EXPECT_EQ(TempFiles().size(), 2u);
    PreviewCalls();

    // A's file is not on show: it only goes. B's is closed first.
    pA.reset();
    EXPECT_EQ(PreviewCalls(), std::vector<std::string>());
    EXPECT_TRUE(panel);
    EXPECT_EQ(TempFiles().size(), 1u);
    pB.reset();
    EXPECT_EQ(PreviewCalls(), (std::vector<std::string>{"Host.Close", "Host.Delete"}));
    EXPECT_TRUE(PumpUntil([&]() { return !panel; }));
    EXPECT_EQ(tcConvertorWORD::GetPreviewPanel(), nullptr);
    EXPECT_EQ(TempFiles(), std::vector<std::string>());

    // The next preview makes them again.
    auto pC = std::make_unique<tcConvertorWORD>(nullptr, L"en");
    wxWindow* pNew = pC->Preview(Skeleton(L" "), Generated(L"@0]c"), pPage, nullptr);
    ASSERT_NE(pNew, nullptr);
    EXPECT_EQ(m_word.m_nHostsMade, 2);
    EXPECT_EQ(Shown()->m_sText, L"c");
}

TEST_F(ConvertorWORDPreviewGui, ClosingThePageThatHeldThePanelLeavesNothingDangling)
{
    wxPanel* pPage1 = NewPage("page 1");
    wxPanel* pPage2 = NewPage("page 2");
    auto pFirst = std::make_unique<tcConvertorWORD>(nullptr, L"en");
    auto pSecond = std::make_unique<tcConvertorWORD>(nullptr, L"en");
    wxWindow* pPanel = pFirst->Preview(Skeleton(L" "), Generated(L"@0]one"), pPage1, nullptr);
    ASSERT_NE(pPanel, nullptr);
    const wxWeakRef<wxWindow> panel(pPanel);

    // Page 1 closes with the panel in it: the embedded Word goes before the panel's windows.
    const wxWeakRef<wxWindow> page1(pPage1->GetParent());
    pPage1->GetParent()->Destroy();
    EXPECT_TRUE(PumpUntil([&]() { return !page1; }));
    EXPECT_FALSE(panel);
    EXPECT_EQ(m_word.m_pHost, nullptr);
    EXPECT_EQ(m_word.Calls({"Host.Delete"}).size(), 1u);
    pFirst.reset();

    // The other page's convertor makes a new panel and window.
    wxWindow* pNew = pSecond->Preview(Skeleton(L" "), Generated(L"@0]two"), pPage2, nullptr);
    ASSERT_NE(pNew, nullptr);
    EXPECT_EQ(pNew->GetParent(), pPage2);
    EXPECT_EQ(Shown()->m_sText, L"two");
    EXPECT_EQ(m_word.m_nHostsMade, 2);
}

TEST_F(ConvertorWORDPreviewGui, NothingIsShownWithoutWord)
{
    wxPanel* pPage = NewPage("page");
    m_word.m_bAvailable = false;
    tcConvertorWORD convertor(nullptr, L"en");
    EXPECT_EQ(convertor.Preview(Skeleton(L" "), Generated(L"@0]a"), pPage, nullptr), nullptr);
    EXPECT_EQ(convertor.ShowLastPreview(pPage), nullptr);
    EXPECT_EQ(TempFiles(), std::vector<std::string>());
    EXPECT_EQ(m_word.m_nHostsMade, 0);
}
