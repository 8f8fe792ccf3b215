// Word documents in project pages, with the in-memory Word: the shared Word preview moves between
// the pages' preview panels, and a page that closes with it leaves nothing behind.
#include "engine/ConvertorPreview.h"
#include "engine/ConvertorPreviewWx.h"
#include "engine/Convertor_word.h"
#include "engine/EmbedWord.h"
#include "engine/VRMemDocManager.h"
#include "tests/engine/FakeWord.h"
#include "tests/engine/FakeWordView.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/harness/TestFiles.h"
#include "tests/workspace/ProjectFixtures.h"
#include "varnak/include/tcAppContext.h"
#include "workspace/VRDocFrame.h"
#include "workspace/VRDocLayout.h"
#include "workspace/VRPreviewPanel.h"
#include "workspace/VRSourceFrame.h"

#include <wx/aui/auibook.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/weakref.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace
{
namespace fs = std::filesystem;

class WordPreviewPageGui : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_pEnvironment = std::make_unique<PageEnvironment>();
        m_pEnvironment->Registry().Register(3, L"Microsoft Word documents", L"*.doc;*.docx;*.rtf", L"Word", 30.0f,
                                            AllocateConvertor_WORD);
        m_fnOldMaker = tSetPreviewWindowMaker(nullptr);
        m_fnOldPanelMaker = tSetWordPreviewPanelMaker(nullptr);
        tInstallConvertorPreviewWindows();
        m_sOldDataPath = g_sDataPath;
        g_sDataPath = HomePath("data");
        WriteHomeFile("data/Lintrado.dot", "template");
        m_word.m_sTemplateDir = HomePath("Templates");
        const char* szTmp = std::getenv("TMPDIR");
        m_sOldTmp = szTmp ? std::optional<std::string>(szTmp) : std::nullopt;
        fs::create_directories(fs::path(HomePath("tmp").utf8_string()));
        setenv("TMPDIR", HomePath("tmp").utf8_string().c_str(), 1);
        m_word.m_fnOnHostChanged = DrawFakeWordHost;
    }
    void TearDown() override
    {
        if (m_sOldTmp)
            setenv("TMPDIR", m_sOldTmp->c_str(), 1);
        else
            unsetenv("TMPDIR");
        g_sDataPath = m_sOldDataPath;
        tSetWordPreviewPanelMaker(m_fnOldPanelMaker);
        tSetPreviewWindowMaker(m_fnOldMaker);
        m_pEnvironment.reset();
        GuiTest::TearDown();
    }

    // A shown window holding a new project page of one Word document with sText.
    VRDocFrame* NewPage(const std::string& sName, const wxString& sText)
    {
        m_word.m_nMaxRange = static_cast<long>(sText.length());
        wxArrayString asFiles, asLanguages;
        asFiles.push_back(WriteHomeFile(sName + ".doc", FakeWordFile(sText)));
        asLanguages.push_back("en");
        auto* pFrame = new wxFrame(nullptr, wxID_ANY, sName, wxDefaultPosition, wxSize(900, 650));
        pFrame->SetSizer(new wxBoxSizer(wxVERTICAL));
        auto* pPage = new VRDocFrame(pFrame, WriteRules("rules.srx", BlankGoes::WithNextSentence), &m_manager, wxString(), asFiles, asLanguages, "de", -1);
        pFrame->GetSizer()->Add(pPage, 1, wxEXPAND);
        pFrame->Show();
        pFrame->Layout();
        return pPage;
    }
    // Waits until pPage's preview panel shows the Word preview.
    static bool ShowsWord(VRDocFrame* pPage)
    {
        return PumpUntil(
            [&]
            {
                wxWindow* pPanel = tcConvertorWORD::GetPreviewPanel();
                VRPreviewPanel* pPreview = pPage->GetLayout()->GetPreviewPanel();
                return pPanel && pPanel->GetParent() == pPreview && pPreview->GetPreviewWindow() == pPanel;
            });
    }

    CFakeWordProvider m_word;
    CVRMemDocManager m_manager;

private:
    std::unique_ptr<PageEnvironment> m_pEnvironment;
    tcPreviewWindowMaker m_fnOldMaker;
    tcWordPreviewPanelMaker m_fnOldPanelMaker;
    wxString m_sOldDataPath;
    std::optional<std::string> m_sOldTmp;
};
} // namespace

TEST_F(WordPreviewPageGui, ThePageThatHeldTheWordPreviewClosesWhileAnotherUsesIt)
{
    VRDocFrame* pFirst = NewPage("first", L"One. Two.");
    ASSERT_EQ(pFirst->GetNumFiles(), 1);
    ASSERT_TRUE(ShowsWord(pFirst));
    ASSERT_TRUE(m_word.m_pHost && m_word.m_pHost->m_pActive);
    EXPECT_EQ(m_word.m_pHost->m_pActive->m_sText, L"One. Two.");
    // Nothing is translated yet; the first segment is the current one.
    EXPECT_EQ(m_word.m_pHost->m_pActive->ShadedRanges(0xF9E1CA), "[0,9)");
    EXPECT_EQ(m_word.m_pHost->m_pActive->BorderedRanges(0x0000FF), "[0,4)");
    wxAuiNotebook* pNotebook = pFirst->GetLayout()->GetNotebook(2);
    pNotebook->SetSelection(pNotebook->GetPageIndex(pFirst->GetLayout()->GetPreviewPanel()));
    PumpEvents(50);
    EXPECT_TRUE(ScreenshotIfAsked("page-word-preview"));

    VRDocFrame* pSecond = NewPage("second", L"Three.");
    ASSERT_TRUE(ShowsWord(pSecond));
    EXPECT_EQ(m_word.m_pHost->m_pActive->m_sText, L"Three.");

    // Back in the first page, the preview moves there again, showing its own document.
    pFirst->GetLayout()->GetSourceFrame()->SelectSegment(1);
    ASSERT_TRUE(ShowsWord(pFirst));
    EXPECT_EQ(m_word.m_pHost->m_pActive->m_sText, L"One. Two.");
    EXPECT_EQ(m_word.m_pHost->m_pActive->BorderedRanges(0x0000FF), "[4,9)");

    // The first page closes with the preview in it: the embedded Word goes with the panel.
    const wxWeakRef<wxWindow> panel(tcConvertorWORD::GetPreviewPanel());
    wxWindow* pFirstFrame = pFirst->GetParent();
    Prompts().AnswerMessage(wxNO);
    delete pFirst;
    pFirstFrame->Destroy();
    EXPECT_TRUE(PumpUntil([&] { return !panel; }));
    EXPECT_EQ(m_word.m_pHost, nullptr);
    EXPECT_EQ(tcConvertorWORD::GetFamilyCount(), 1);

    // The second page shows its document in a new window.
    pSecond->GetLayout()->GetSourceFrame()->SelectSegment(0);
    ASSERT_TRUE(ShowsWord(pSecond));
    EXPECT_EQ(m_word.m_pHost->m_pActive->m_sText, L"Three.");
    EXPECT_EQ(m_word.m_nHostsMade, 2);
    Prompts().AnswerMessage(wxNO);
    delete pSecond;
    EXPECT_EQ(tcConvertorWORD::GetFamilyCount(), 0);
    EXPECT_EQ(tcConvertorWORD::GetPreviewPanel(), nullptr);
}
