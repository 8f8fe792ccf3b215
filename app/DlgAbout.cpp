#include "app/DlgAbout.h"

#include "Shared/HTMLPreview.h"
#include "app/AppVersion.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/version.h>

#include <cstdio>

namespace
{
std::string Localised(const char* szKey)
{
    return tEscapeHTMLChars8(g_LocEngine.FindTranslation(szKey));
}

const char* Architecture()
{
#if defined(__x86_64__)
    return "x86_64";
#elif defined(__aarch64__)
    return "arm64";
#elif defined(__i386__)
    return "x86";
#else
    return "unknown";
#endif
}

void ReplaceAll(std::string& sText, const std::string& sFind, const std::string& sReplace)
{
    size_t nPos = 0;
    while ((nPos = sText.find(sFind, nPos)) != std::string::npos)
    {
        sText.replace(nPos, sFind.length(), sReplace);
        nPos += sReplace.length();
    }
}
} // namespace

CDlgAbout::CDlgAbout(wxWindow* pParent, int nWidth, int nHeight)
    : wxDialog(pParent, wxID_ANY, g_LocEngine.FindTranslation("ABOUT_TITLE"), wxDefaultPosition,
               wxSize(nWidth, nHeight), wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER)
{
    tcLog::Log("CDlgAbout::CDlgAbout");
    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    m_pHTMLWindow = CreateHTMLWindow(this, this, &CDlgAbout::OnLinkClicked, nullptr, -1);
    if (m_pHTMLWindow && m_pHTMLWindow->GetWindow())
        pSizer->Add(m_pHTMLWindow->GetWindow(), 1, wxEXPAND | wxALL, 0);
    else
    {
        auto* pText = new wxStaticText(this, wxID_ANY, g_sAppName + " " + tGetAppVersion(), wxDefaultPosition,
                                       wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL, "aboutfallback");
        pSizer->Add(pText, 1, wxEXPAND | wxALL, 20);
    }
    pSizer->Add(new wxButton(this, wxID_OK, g_LocEngine.FindTranslation("DIALOG_OK")), 0, wxALIGN_CENTRE | wxALL, 2);
    GetAboutPageHTML();
    SetSizer(pSizer);
    Centre(wxBOTH);
}

CDlgAbout::~CDlgAbout()
{
    DeleteHTMLWindow(m_pHTMLWindow);
}

bool CDlgAbout::OnLinkClicked(tcHTMLWindow* /*pView*/, const wchar_t* szURL)
{
    if (!szURL)
        return false;
    return HandleHTMLLink(szURL);
}

void CDlgAbout::GetAboutPageHTML()
{
    if (m_pHTMLWindow)
        m_pHTMLWindow->SetPage(tMakeAboutPageHTML());
}

std::string tMakeAboutPageHTML()
{
    std::string s;
    GetHTMLPreviewHeader(s, "-", false,
                         "leftmargin=0 topmargin=0 marginwidth=0 marginheight=0 style=\"margin: 0; "
                         "padding: 0; font-family: Arial\"",
                         "000000", "FFFFFF", nullptr, nullptr);
    s += "<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" bgcolor=\"#FFFFFF\" width=\"512\"><tbody><tr><td>";
    s += "<p style=\"font-family: arial; font-size: 1em;\" align=\"left\">";

    const std::string sName = tEscapeHTMLChars8(g_sAppName);
    s += "<img src=\"" + tEscapeHTMLChars8(MakeHTMLPreviewURL(tPathCombine(g_sAppDataPath, "About/Header.png"))) +
         "\" alt=\"[" + sName + "]\" width=\"512\" height=\"60\"><br><br>";

    s += "&nbsp;&nbsp;<b>" + sName + "</b> " + tEscapeHTMLChars8(tGetAppVersion());
    s += sizeof(void*) == 8 ? " (64-bit)" : " (32-bit)";
    s += std::string(" [") + Architecture() + "]";
    s += "<br>";

    s += "&nbsp;&nbsp;<b>" + Localised("ABOUT_SOFTWARE_DEVELOPMENT") +
         "</b>: <a href=\"https://www.korvendel.example/\">Korvendel HLT</a><br>";
    s += "&nbsp;&nbsp;<b>" + Localised("ABOUT_ADVISOR") +
         "</b>: <a href=\"http://www.korvendel.example/linguistics/\">Korvendel HLT linguistics team</a><br>";

    char szBuild[256];
    std::snprintf(szBuild, sizeof(szBuild), "[Build date/time: %s %s] [App Core: v%d] [DOM: %s] [wx:%d.%d.%d] Lua 5.4",
                  __DATE__, __TIME__, tGetAppMajorVersion(), "v2", wxMAJOR_VERSION, wxMINOR_VERSION, wxRELEASE_NUMBER);
    s += "<br>&nbsp;&nbsp;<font size=\"-1\" style=\"font-size:0.9em\"><i>";
    s += szBuild;
    s += "</i></font>";

    s += "<br>";
    s += "<p><div style=\"background-color: #F5F5F5;border:1px solid #E0E0E0;padding:4px;font-size:0.8em;margin:6px;"
         "color:#03030\">";
    s += "<b>" + Localised("ABOUT_ACKNOWLEDGEMENTS") + "</b>";
    s += "<br>";
    s += "<br>&bull; The authors of <a href=\"https://www.wxwidgets.org/\">wxWidgets</a>, the toolkit of every window";
    s += "<br>&bull; <a href=\"https://www.libreoffice.org/\">LibreOffice</a>, in which the user guide was written";
    s += "<br>&bull; The <a href=\"http://tango.freedesktop.org/\">Tango Desktop Project</a>, for its icons";
    s += "</div>";
    s += "</body></html>";

    // Clicks on web links must reach the link callback, not navigate the view. A secure address
    // keeps its scheme, so that it is never opened over plain http.
    ReplaceAll(s, "<a href=\"http://", "<a href=\"ovra://openlink:");
    ReplaceAll(s, "<a href=\"https://", "<a href=\"ovra://openlink:https://");
    return s;
}
