#include "Shared/HTMLPreview.h"

#include "Shared/AppUtils_shared.h"
#include "Shared/HTMLViewWx.h"
#include "Shared/Options.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tShell.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcStyles.h"

#include <wx/button.h>
#include <wx/confbase.h>
#include <wx/sizer.h>

#include <algorithm>

tcPopup* g_pPopup = nullptr;
std::unique_ptr<tcHTMLWindow> g_pPopupHTMLWindow;

namespace
{
long s_nSelectedBrowserComponent = 0;
tcHTMLComponentFactory s_fnFactoryForTesting;

constexpr int ID_POPUP_CLOSE = 5001;
const wchar_t* const OPENLINK_PREFIX = L"ovra://openlink:";

// A colour of the current style set of g_pDoc: that of the entry kind's style (identifier 4), on
// which every other kind falls back. Empty when there is no document, style set or six-digit colour.
wxString DocumentColour(bool bForeground)
{
    if (!g_pDoc)
        return wxString();
    const tcStyles* pStyles = g_pDoc->GetCurrentStyles();
    if (!pStyles)
        return wxString();
    const tcStyleElement* pStyle = pStyles->FindElementStyleByID(4);
    if (!pStyle)
        return wxString();
    const wxString& sColour = bForeground ? pStyle->GetColourF() : pStyle->GetColourB();
    return sColour.length() == 6 ? sColour : wxString();
}

void AppendLine(std::string& sOut, const std::string& sLine)
{
    sOut += sLine;
    sOut += "\r\n";
}
} // namespace

// ---- Factory ------------------------------------------------------------------------------------

std::unique_ptr<tcHTMLWindow> CreateHTMLWindow(wxWindow* pParent, wxWindow* pHost, tcHTMLLinkCallback fnLink,
                                               void* /*pReserved*/, int /*nReserved*/)
{
    tcDebugInfo debug("CreateHTMLWindow");
    tcLog::Log("CreateHTMLWindow");
    std::unique_ptr<tcHTMLWindow> pRet;
    if (s_fnFactoryForTesting)
        pRet = s_fnFactoryForTesting(pParent, pHost, fnLink);
    else if (s_nSelectedBrowserComponent == 0 && pParent)
        pRet = tCreateWxHtmlView(pParent, fnLink);
    if (!pRet)
        tAssert(__FILE__, __LINE__, "pRet!=NULL");
    return pRet;
}

void DeleteHTMLWindow(std::unique_ptr<tcHTMLWindow>& pView)
{
    tcDebugInfo debug("DeleteHTMLWindow");
    pView.reset();
}

void tInitWebLayoutEngineSelection()
{
    if (tSoftAssert(g_pConfig != nullptr, __FILE__, __LINE__, "g_pConfig!=NULL"))
        return;
    g_pConfig->SetPath("/WebLayoutEngine");
    long nSelected = 0;
    g_pConfig->Read("SelectedBrowserComponent", &nSelected, 0L);
    s_nSelectedBrowserComponent = nSelected;
    // No other component exists here.
    s_nSelectedBrowserComponent = 0;
}

long tGetSelectedBrowserComponent()
{
    return s_nSelectedBrowserComponent;
}

tcHTMLComponentFactory tSetHTMLComponentFactoryForTesting(tcHTMLComponentFactory fnFactory)
{
    tcHTMLComponentFactory fnPrevious = std::move(s_fnFactoryForTesting);
    s_fnFactoryForTesting = std::move(fnFactory);
    return fnPrevious;
}

// ---- VRHTMLWindow -------------------------------------------------------------------------------

VRHTMLWindow::VRHTMLWindow(tcHTMLLinkCallback fnLink, wxWindow* pParent, wxWindowID nId, const wxPoint& pos,
                           const wxSize& size, long nStyle, const wxString& sName)
    : wxWindow(pParent, nId, pos, size, nStyle, sName)
{
    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    m_pHTMLWindow = CreateHTMLWindow(this, this, std::move(fnLink), nullptr, -1);
    if (m_pHTMLWindow && m_pHTMLWindow->GetWindow())
        pSizer->Add(m_pHTMLWindow->GetWindow(), 1, wxEXPAND | wxALL, 0);
    SetSizer(pSizer);
}

VRHTMLWindow::~VRHTMLWindow()
{
    // Before the toolkit destroys the children, so the view never outlives its window.
    DeleteHTMLWindow(m_pHTMLWindow);
}

void VRHTMLWindow::SetPage(const wxString& sPage)
{
    if (m_pHTMLWindow)
        m_pHTMLWindow->SetPage(tToUTF8(sPage));
}

bool VRHTMLWindow::ShowAnchor(const wxString& sName)
{
    return m_pHTMLWindow && m_pHTMLWindow->ShowAnchor(tToUTF8(sName));
}

void VRHTMLWindow::OnSize(wxSizeEvent& event)
{
    event.Skip();
    if (m_pHTMLWindow)
        m_pHTMLWindow->SetSize(0, 0, event.GetSize().GetWidth(), event.GetSize().GetHeight());
}

// ---- Popup --------------------------------------------------------------------------------------

tcPopup::tcPopup(wxWindow* pParent, const wchar_t* szTitle, int x, int y, int nWidth, int nHeight, bool bCloseButton)
    : wxMiniFrame(pParent, wxID_ANY, szTitle ? wxString(szTitle) : wxString("-"), wxPoint(x, y),
                  wxSize(nWidth, nHeight),
                  wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxCLOSE_BOX | wxRESIZE_BORDER |
                      wxSTAY_ON_TOP | wxCLIP_CHILDREN)
{
    tcDebugInfo debug("tcPopup::tcPopup");
    tcLog::Log("tcPopup::tcPopup");
    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    // While another popup holds the globals its view stays its own; this frame then shows none.
    if (!g_pPopupHTMLWindow)
    {
        g_pPopupHTMLWindow = CreateHTMLWindow(this, this, &tcPopup::OnLinkClicked, nullptr, -1);
        // The frame that made the view is the one that deletes it.
        g_pPopup = this;
        if (g_pPopupHTMLWindow && g_pPopupHTMLWindow->GetWindow())
            pSizer->Add(g_pPopupHTMLWindow->GetWindow(), 1, wxEXPAND | wxALL, 2);
    }
    if (bCloseButton)
    {
        auto* pButton = new wxButton(this, ID_POPUP_CLOSE, g_LocEngine.FindTranslation("DIALOG_CLOSE"));
        pSizer->Add(pButton, 0, wxALIGN_CENTRE | wxALL, 2);
        Connect(ID_POPUP_CLOSE, wxEVT_BUTTON, wxCommandEventHandler(tcPopup::OnButtonClose));
    }
    SetSizer(pSizer);
}

tcPopup::~tcPopup()
{
    ReleaseGlobals();
}

void tcPopup::ReleaseGlobals()
{
    // After a close the next popup may already be open while this frame waits for deletion; its
    // view and the globals are not ours then.
    if (g_pPopup != this)
        return;
    DeleteHTMLWindow(g_pPopupHTMLWindow);
    g_pPopup = nullptr;
}

bool tcPopup::OnLinkClicked(tcHTMLWindow* /*pView*/, const wchar_t* szURL)
{
    if (!szURL)
        return false;
    return HandleHTMLLink(szURL);
}

void tcPopup::OnButtonClose(wxCommandEvent& /*event*/)
{
    tcDebugInfo debug("tcPopup::OnButtonClose");
    tcLog::Log("tcPopup::OnButtonClose");
    Close(false);
}

void tcPopup::OnClose(wxCloseEvent& /*event*/)
{
    ReleaseGlobals();
    Destroy();
}

wxRect tHTMLPopupRect(const wxRect* pParentRect, int x, int y, int nWidth, int nHeight)
{
    wxRect parent(10, 10, 200, 100);
    if (pParentRect)
    {
        parent = *pParentRect;
        if (x < 0)
            x = parent.x + 10;
        if (y < 0)
            y = parent.y + 10;
    }
    if (nWidth < 1)
        nWidth = pParentRect ? std::max(parent.width / 2, 10) : 400;
    if (nHeight < 1)
        nHeight = pParentRect ? std::max(parent.height / 2, 10) : 300;
    return wxRect(x, y, nWidth, nHeight);
}

void tHTMLPopup(wxWindow* pParent, const wchar_t* szTitle, const wchar_t* szPage, int x, int y, int nWidth, int nHeight)
{
    if (g_pPopup)
        g_pPopup->SetTitle(szTitle ? wxString(szTitle) : wxString("-"));
    else
    {
        wxRect parent;
        if (pParent)
            parent = wxRect(pParent->GetPosition(), pParent->GetSize());
        const wxRect rect = tHTMLPopupRect(pParent ? &parent : nullptr, x, y, nWidth, nHeight);
        g_pPopup = new tcPopup(pParent, szTitle, rect.x, rect.y, rect.width, rect.height, true);
    }
    if (g_pPopupHTMLWindow)
        g_pPopupHTMLWindow->SetPage(tToUTF8(szPage ? wxString(szPage) : wxString()));
    g_pPopup->Show();
}

void tHTMLPopupClose()
{
    if (!g_pPopup)
        return;
    // The view goes now: a frame's deletion waits for the event loop, and the globals must not
    // point at it meanwhile.
    tcPopup* pPopup = g_pPopup;
    DeleteHTMLWindow(g_pPopupHTMLWindow);
    g_pPopup = nullptr;
    pPopup->Destroy();
}

// ---- Page helpers -------------------------------------------------------------------------------

void GetHTMLPreviewHeader(std::string& sOut, const char* szTitle, bool bRTL, const char* szBodyAttributes,
                          const char* szTextColour, const char* szBackgroundColour,
                          const std::vector<std::string>* pExtraStyleRules,
                          const std::vector<std::string>* pExtraHeadLines)
{
    std::vector<std::string> aRules;
    aRules.push_back(bRTL ? ".Indent{margin-right:5pt;text-indent:-5pt;}"
                          : ".Indent{margin-left:5pt;text-indent:-5pt;}");
    if (pExtraStyleRules)
        aRules.insert(aRules.end(), pExtraStyleRules->begin(), pExtraStyleRules->end());

    std::string sBackground;
    if (szBackgroundColour)
        sBackground = szBackgroundColour;
    else
    {
        const wxString sDocColour = DocumentColour(false);
        sBackground = sDocColour.empty() ? std::string("FFFFFF") : tToUTF8(sDocColour);
        // Links stay readable on a dark page.
        if (sBackground.length() == 6 && tIsColourDarkish(wxString::FromUTF8(sBackground)))
        {
            aRules.push_back("a{color:#5060FF;text-decoration:none;}");
            aRules.push_back("a:hover{color:#5060FF;text-decoration:underline}");
        }
    }

    AppendLine(sOut, "<!DOCTYPE html>");
    AppendLine(sOut, bRTL ? "<html DIR=\"RTL\">" : "<html DIR=\"LTR\">");
    AppendLine(sOut, "<head>");
    AppendLine(sOut, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />");
    if (pExtraHeadLines)
    {
        for (const std::string& sLine : *pExtraHeadLines)
            AppendLine(sOut, sLine);
    }
    AppendLine(sOut, "<script src=\"" + tToUTF8(tCreateLocalFileURL2(tPathCombine(g_sDataPath, "base64.js"), true)) +
                         "\"></script>");
    AppendLine(sOut, "<script>function tToggleVisibleInlineBlock(ID)");
    AppendLine(sOut, "{var x = document.getElementById(ID); if (x == null) return; ");
    AppendLine(sOut, "var ob = x.style;ob.display = (ob.display == 'inline-block') ? 'none' : 'inline-block';}");
    AppendLine(sOut, "</script>");
    AppendLine(
        sOut,
        "<style>.tClickable{font-weight:bold} .tClickable:hover{text-decoration:underline;cursor:pointer}</style>");

    std::string sTitle = szTitle ? std::string(szTitle) : tToUTF8(g_sAppName);
    std::replace(sTitle.begin(), sTitle.end(), '<', '_');
    std::replace(sTitle.begin(), sTitle.end(), '>', '_');
    AppendLine(sOut, "<title>" + sTitle + "</title>");

    AppendLine(sOut, "<style><!--");
    for (const std::string& sRule : aRules)
        AppendLine(sOut, sRule);
    AppendLine(sOut, "//-->");
    AppendLine(sOut, "</style>");
    AppendLine(sOut, "</head>");

    std::string sText;
    if (szTextColour)
        sText = szTextColour;
    else
    {
        const wxString sDocColour = DocumentColour(true);
        sText = sDocColour.empty() ? std::string("000000") : tToUTF8(sDocColour);
    }
    AppendLine(sOut, "<body contentEditable=\"false\" scroll=\"auto\" text=\"#" + sText + "\" bgcolor=\"#" +
                         sBackground + "\" " + (szBodyAttributes ? szBodyAttributes : "") + ">");
}

bool HandleHTMLLink(const wchar_t* szURL)
{
    if (!szURL)
        return false;
    const wxString sURL(szURL);
    wxString sAddress;
    if (!sURL.StartsWith(OPENLINK_PREFIX, &sAddress))
        return false;
    // An address that names its own scheme keeps it: "https" must never become "http".
    if (!tIsURL(sAddress))
        sAddress = "http://" + sAddress;
    tShellExecuteW(sAddress.wc_str());
    return true;
}

wxString MakeHTMLPreviewURL(const wxString& sPath)
{
    wxString sURL = sPath;
    if (s_nSelectedBrowserComponent != 0 && !sURL.StartsWith("file:///"))
        sURL = "file:///" + sURL;
    sURL.Replace(" ", "%20");
    sURL.Replace("\\", "/");
    if (sURL.StartsWith("file:////"))
        sURL = "file:///" + sURL.Mid(9);
    return sURL;
}

// ---- Event tables -------------------------------------------------------------------------------

// clang-format off
wxBEGIN_EVENT_TABLE(VRHTMLWindow, wxWindow)
    EVT_SIZE(VRHTMLWindow::OnSize)
wxEND_EVENT_TABLE()

wxBEGIN_EVENT_TABLE(tcPopup, wxMiniFrame)
    EVT_CLOSE(tcPopup::OnClose)
wxEND_EVENT_TABLE()
