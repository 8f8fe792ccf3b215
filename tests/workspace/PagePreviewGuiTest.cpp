// The preview of a project page as the translator moves through a long document: it follows the
// current segment.
#include "engine/Convertor.h"
#include "engine/ConvertorPreview.h"
#include "engine/ConvertorPreviewWx.h"
#include "tests/harness/Screenshot.h"
#include "tests/workspace/PageGuiFixture.h"
#include "workspace/SegmentXML.h"
#include "workspace/VRDocLayout.h"
#include "workspace/VRPreviewPanel.h"

#include <wx/aui/auibook.h>
#include <wx/html/htmlwin.h>

#include <string>
#include <vector>

namespace
{
class PagePreviewGui : public PageGuiTest
{
protected:
    void SetUp() override
    {
        PageGuiTest::SetUp();
        m_fnOldMaker = tSetPreviewWindowMaker(nullptr);
        tInstallConvertorPreviewWindows();
        m_pEnvironment->Registry().Register(3, L"XML documents", L"*.xml", L"XML", 1.0f, AllocateConvertor_XML);
    }
    void TearDown() override
    {
        if (m_pPage && m_pPage->GetModel().IsChanged())
            Prompts().AnswerMessage(wxNO);
        PageGuiTest::TearDown();
        tSetPreviewWindowMaker(m_fnOldMaker);
    }

    // The view inside the preview panel, once the page has shown its preview there.
    wxHtmlWindow* PreviewView()
    {
        wxWindow* pShown = m_pPage->GetLayout()->GetPreviewPanel()->GetPreviewWindow();
        return pShown ? dynamic_cast<wxHtmlWindow*>(pShown->FindWindow("htmlview")) : nullptr;
    }

    // Selects the segment of sentence n and waits until the preview marks it.
    void SelectSentence(int n)
    {
        const wxString sSentence = wxString::Format("Sentence %d.", n);
        const wxString sWords = wxString::Format("Sentence%d.", n);
        const std::vector<tcNode*>& apSegments = m_pPage->GetModel().GetSegments();
        int nSegment = -1;
        for (size_t i = 0; i < apSegments.size() && nSegment < 0; ++i)
            if (GenerateSegmentXML(apSegments[i]).Contains(sSentence))
                nSegment = static_cast<int>(i);
        ASSERT_GE(nSegment, 0);
        m_pPage->SelectSegment(nSegment);
        ASSERT_TRUE(PumpUntil([&] { return TextAtAnchor().StartsWith(sWords); })) << TextAtAnchor();
        PumpEvents(50);
    }

    const wxHtmlCell* Anchor()
    {
        wxHtmlWindow* pView = PreviewView();
        const wxString sName = kszSelectedAnchor;
        return pView && pView->GetInternalRepresentation()
                   ? pView->GetInternalRepresentation()->Find(wxHTML_COND_ISANCHOR, &sName)
                   : nullptr;
    }

    // The first two words that follow the selected segment's anchor, without blanks.
    wxString TextAtAnchor()
    {
        wxString sText;
        const wxHtmlCell* pAnchor = Anchor();
        if (!pAnchor)
            return sText;
        wxHtmlTerminalCellsInterator it(pAnchor, PreviewView()->GetInternalRepresentation()->GetLastTerminal());
        // Colour and font changes are cells too, without text.
        for (int nWords = 0; it && nWords < 2; ++it)
        {
            const wxString sWord = it->ConvertToText(nullptr).Strip(wxString::both);
            sText += sWord;
            nWords += sWord.empty() ? 0 : 1;
        }
        return sText;
    }

    // Where the selected segment's anchor stands in the view: -1 above it, 0 inside, 1 below; 2
    // when the page has no anchor.
    int AnchorPlace()
    {
        const wxHtmlCell* pAnchor = Anchor();
        if (!pAnchor)
            return 2;
        wxHtmlWindow* pView = PreviewView();
        int nUnitX = 0;
        int nUnitY = 0;
        pView->GetScrollPixelsPerUnit(&nUnitX, &nUnitY);
        const int nTop = pView->GetViewStart().y * nUnitY;
        const int nY = pAnchor->GetAbsPos().y;
        if (nY < nTop)
            return -1;
        return nY + pAnchor->GetHeight() > nTop + pView->GetClientSize().y ? 1 : 0;
    }

    tcPreviewWindowMaker m_fnOldMaker;
};

TEST_F(PagePreviewGui, PreviewScrollsToTheCurrentSegment)
{
    // Eighty sentences, one a line or element; the rules cut after each full stop.
    std::string sText, sHTML = "<html><body>", sXML = "<?xml version=\"1.0\"?>\n<doc>\n";
    for (int i = 1; i <= 80; ++i)
    {
        const std::string sSentence = "Sentence " + std::to_string(i) + ".";
        sText += sSentence + "\n";
        sHTML += "<p>" + sSentence + " </p>\n";
        sXML += "  <line>" + sSentence + " </line>\n";
    }
    sHTML += "</body></html>\n";
    sXML += "</doc>\n";
    const struct
    {
        const char* szName;
        std::string sDocument;
    } cases[] = {{"long.txt", sText}, {"long.html", sHTML}, {"long.xml", sXML}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.szName);
        wxArrayString asFiles, asLanguages;
        asFiles.push_back(WriteHomeFile(c.szName, c.sDocument));
        asLanguages.push_back("en");
        ShowPage(new VRDocFrame(m_pFrame, WriteRules("rules.srx", BlankGoes::WithNextSentence), &m_manager,
                                wxString(), asFiles, asLanguages, "de", -1));
        wxAuiNotebook* pNotebook = m_pPage->GetLayout()->GetNotebook(2);
        pNotebook->SetSelection(pNotebook->GetPageIndex(m_pPage->GetLayout()->GetPreviewPanel()));

        // Down the document, back up, and down again: the current segment is in view each time.
        for (int n : {60, 75, 2, 40})
        {
            SCOPED_TRACE(n);
            SelectSentence(n);
            EXPECT_EQ(AnchorPlace(), 0);
            if (n == 60)
            {
                EXPECT_GT(PreviewView()->GetViewStart().y, 0);
            }
            if (n == 75)
            {
                EXPECT_TRUE(ScreenshotIfAsked(std::string("preview-follows-") + c.szName));
            }
        }
        Prompts().AnswerMessage(wxNO);
        m_pFrame->GetSizer()->Detach(m_pPage);
        delete m_pPage;
        m_pPage = nullptr;
    }
}
} // namespace
