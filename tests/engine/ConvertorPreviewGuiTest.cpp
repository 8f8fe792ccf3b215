// The preview windows of the convertor families: shared within a family, moved into the panel
// that shows them, gone with the family's last convertor or with their parent.
#include "engine/ConvertorPreviewWx.h"

#include "Shared/HTMLPreview.h"
#include "engine/Convertor_html.h"
#include "engine/Convertor_txt.h"
#include "tests/harness/GuiTest.h"

#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/weakref.h>

#include <memory>
#include <string>

namespace
{
// A view that keeps the pages it is given, in place of a browser component.
class CRecordingView : public tcHTMLWindow
{
public:
    explicit CRecordingView(wxWindow* pParent) : m_pWindow(new wxPanel(pParent)) {}
    ~CRecordingView() override
    {
        if (m_pWindow)
            m_pWindow->Destroy();
    }
    void SetPage(const std::string& sPageUTF8) override { m_sPage = sPageUTF8; }
    void SetSize(int x, int y, int nWidth, int nHeight) override
    {
        if (m_pWindow)
            m_pWindow->SetSize(x, y, nWidth, nHeight);
    }
    wxWindow* GetWindow() override { return m_pWindow.get(); }

    std::string m_sPage;

private:
    wxWeakRef<wxWindow> m_pWindow;
};

// The page a preview window shows.
std::string PageOf(wxWindow* pWindow)
{
    auto* pHTML = dynamic_cast<VRHTMLWindow*>(pWindow);
    auto* pView = pHTML ? dynamic_cast<CRecordingView*>(pHTML->GetHTMLWindow()) : nullptr;
    return pView ? pView->m_sPage : std::string("(no view)");
}

class ConvertorPreviewGui : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_fnOldMaker = tSetPreviewWindowMaker(nullptr);
        tInstallConvertorPreviewWindows();
        m_fnOldFactory = tSetHTMLComponentFactoryForTesting(
            [](wxWindow* pParent, wxWindow*, const tcHTMLLinkCallback&) -> std::unique_ptr<tcHTMLWindow>
            { return std::make_unique<CRecordingView>(pParent); });
    }
    void TearDown() override
    {
        tSetHTMLComponentFactoryForTesting(m_fnOldFactory);
        tSetPreviewWindowMaker(m_fnOldMaker);
        GuiTest::TearDown();
    }

    // A shown frame holding one panel, as a project page's preview panel.
    static wxPanel* NewPage(const wxString& sTitle)
    {
        auto* pFrame = new wxFrame(nullptr, wxID_ANY, sTitle);
        auto* pPanel = new wxPanel(pFrame);
        pFrame->Show();
        return pPanel;
    }
    static bool Gone(const wxWeakRef<wxWindow>& ref)
    {
        return PumpUntil([&]() { return !ref; });
    }

private:
    tcPreviewWindowMaker m_fnOldMaker;
    tcHTMLComponentFactory m_fnOldFactory;
};
} // namespace

TEST_F(ConvertorPreviewGui, OneWindowPerFamilyMovedIntoThePanelThatShowsIt)
{
    wxPanel* pPanel1 = NewPage("page 1");
    wxPanel* pPanel2 = NewPage("page 2");
    auto pHTML = AllocateConvertor_HTML(nullptr, L"en");
    auto pXML = AllocateConvertor_XML(nullptr, L"en");
    auto pTXT = AllocateConvertor_TXT(nullptr, L"en");

    wxWindow* pShared = pHTML->Preview(wxString(), L"<p>html\n</p>", pPanel1, nullptr);
    ASSERT_NE(pShared, nullptr);
    EXPECT_EQ(pShared->GetParent(), pPanel1);
    EXPECT_EQ(pShared->GetSize(), wxSize(552, 356));
    EXPECT_EQ(PageOf(pShared), "<p>html<br /></p>");

    EXPECT_EQ(pXML->Preview(wxString(), L"<r>xml</r>", pPanel2, nullptr), pShared);
    EXPECT_EQ(pShared->GetParent(), pPanel2);
    EXPECT_EQ(PageOf(pShared), "<r>xml</r>");

    wxWindow* pText = pTXT->Preview(wxString(), L"a &lt; b\n", pPanel1, nullptr);
    ASSERT_NE(pText, nullptr);
    EXPECT_NE(pText, pShared);
    EXPECT_EQ(PageOf(pText), "a &lt; b<br />");

    // Each convertor shows its own document again, in the panel asking.
    EXPECT_EQ(pHTML->ShowLastPreview(pPanel1), pShared);
    EXPECT_EQ(pShared->GetParent(), pPanel1);
    EXPECT_EQ(PageOf(pShared), "<p>html<br /></p>");

    // The window lives while a convertor of its family does.
    const wxWeakRef<wxWindow> shared(pShared);
    const wxWeakRef<wxWindow> text(pText);
    pHTML.reset();
    PumpEvents(20);
    EXPECT_TRUE(shared);
    pXML.reset();
    EXPECT_TRUE(Gone(shared));
    EXPECT_TRUE(text);
    pTXT.reset();
    EXPECT_TRUE(Gone(text));
}

TEST_F(ConvertorPreviewGui, ClosingThePageThatHeldTheWindowLeavesNothingDangling)
{
    wxPanel* pPanel1 = NewPage("page 1");
    wxPanel* pPanel2 = NewPage("page 2");
    auto pFirst = AllocateConvertor_HTML(nullptr, L"en");
    auto pSecond = AllocateConvertor_HTML(nullptr, L"en");
    wxWindow* pShared = pFirst->Preview(wxString(), L"first", pPanel1, nullptr);
    ASSERT_EQ(pSecond->Preview(wxString(), L"second", pPanel2, nullptr), pShared);
    const wxWeakRef<wxWindow> shared(pShared);

    // Page 1 closes; the window now lives in page 2's panel and stays.
    const wxWeakRef<wxWindow> page1(pPanel1->GetParent());
    pPanel1->GetParent()->Destroy();
    pFirst.reset();
    EXPECT_TRUE(Gone(page1));
    EXPECT_TRUE(shared);
    EXPECT_EQ(pShared->GetParent(), pPanel2);

    // Page 2 closes with the window in it; the family makes a new one for the next page.
    const wxWeakRef<wxWindow> page2(pPanel2->GetParent());
    pPanel2->GetParent()->Destroy();
    EXPECT_TRUE(Gone(page2));
    EXPECT_FALSE(shared);
    wxPanel* pPanel3 = NewPage("page 3");
    wxWindow* pNew = pSecond->ShowLastPreview(pPanel3);
    ASSERT_NE(pNew, nullptr);
    EXPECT_EQ(pNew->GetParent(), pPanel3);
    EXPECT_EQ(PageOf(pNew), "second");
}
