#include "Shared/HTMLViewWx.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tShell.h"
#include "varnak/include/tString.h"

#include <wx/html/htmlwin.h>
#include <wx/weakref.h>

#include <algorithm>
#include <cctype>
#include <exception>
#include <vector>

namespace
{
class WxHtmlView;

// The toolkit window of a view. It reaches its view through m_pView, which the view clears before
// it destroys the window.
class LinkHtmlWindow : public wxHtmlWindow
{
public:
    LinkHtmlWindow(wxWindow* pParent, WxHtmlView* pView)
        : wxHtmlWindow(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxHW_DEFAULT_STYLE, "htmlview"),
          m_pView(pView)
    {
        Bind(wxEVT_SIZE, &LinkHtmlWindow::OnResized, this);
    }

    WxHtmlView* m_pView;

    void ShowPage(const wxString& sPage)
    {
        m_sAnchor.clear();
        SetPage(sPage);
    }

    // Puts the anchor a third of the way down the view, so the text leading to it shows as well.
    bool ShowAnchor(const wxString& sName)
    {
        m_sAnchor.clear();
        const wxHtmlContainerCell* pRoot = GetInternalRepresentation();
        const wxHtmlCell* pAnchor = pRoot ? pRoot->Find(wxHTML_COND_ISANCHOR, &sName) : nullptr;
        int nUnitX = 0;
        int nUnitY = 0;
        GetScrollPixelsPerUnit(&nUnitX, &nUnitY);
        if (!pAnchor || nUnitY <= 0)
            return false;
        m_sAnchor = sName;
        const int nTop = std::max(0, pAnchor->GetAbsPos().y - GetClientSize().y / 3);
        Scroll(-1, nTop / nUnitY);
        return true;
    }

    void OnLinkClicked(const wxHtmlLinkInfo& link) override;
    wxHtmlOpeningStatus OnOpeningURL(wxHtmlURLType type, const wxString& sURL, wxString* pRedirect) const override;

private:
    // The page is laid out anew for the new size by the base handler, after this one: the anchor
    // is found again once that is done.
    void OnResized(wxSizeEvent& event)
    {
        event.Skip();
        if (!m_sAnchor.empty())
            CallAfter([this, sName = m_sAnchor]() { ShowAnchor(sName); });
    }

    // The anchor kept in view; empty when none.
    wxString m_sAnchor;
};

class WxHtmlView : public tcHTMLWindow
{
public:
    WxHtmlView(wxWindow* pParent, const tcHTMLLinkCallback& fnLink) : m_fnLink(fnLink)
    {
        m_pWindow = new LinkHtmlWindow(pParent, this);
    }

    ~WxHtmlView() override
    {
        // The parent may have destroyed the window already; the weak reference knows.
        if (m_pWindow)
        {
            m_pWindow->m_pView = nullptr;
            m_pWindow->Destroy();
        }
    }

    void SetPage(const std::string& sPageUTF8) override
    {
        if (m_pWindow)
            m_pWindow->ShowPage(kvFromUTF8(tRewriteUndrawableStyles(sPageUTF8)));
    }

    bool ShowAnchor(const std::string& sNameUTF8) override
    {
        return m_pWindow && m_pWindow->ShowAnchor(kvFromUTF8(sNameUTF8));
    }

    void SetSize(int x, int y, int nWidth, int nHeight) override
    {
        if (m_pWindow)
            m_pWindow->SetSize(x, y, nWidth, nHeight);
    }

    wxWindow* GetWindow() override { return m_pWindow.get(); }

    tcHTMLLinkCallback m_fnLink;

private:
    wxWeakRef<LinkHtmlWindow> m_pWindow;
};

// The scheme of an address in lower case ("http"), empty when it has none. A single letter before
// the colon is a drive letter, not a scheme.
wxString SchemeOf(const wxString& sURL)
{
    size_t i = 0;
    while (i < sURL.length())
    {
        const wxUniChar c = sURL[i];
        if (c == ':')
            break;
        const bool bLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool bOther = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!bLetter && !(i > 0 && bOther))
            return wxString();
        ++i;
    }
    if (i < 2 || i >= sURL.length())
        return wxString();
    return sURL.Left(i).Lower();
}

void LinkHtmlWindow::OnLinkClicked(const wxHtmlLinkInfo& link)
{
    // Called from the toolkit's mouse handling: nothing may escape.
    const wxString sHref = link.GetHref();
    try
    {
        if (m_pView && m_pView->m_fnLink && m_pView->m_fnLink(m_pView, sHref.wc_str()))
            return;
        const wxString sScheme = SchemeOf(sHref);
        if (sScheme == "http" || sScheme == "https" || sScheme == "mailto")
            tShellExecute(sHref);
        else if (sScheme.empty() || sScheme == "file")
            LoadPage(sHref);
    }
    catch (const std::exception& e)
    {
        kvLogError(L"HTML view link %s failed: %S", sHref, e.what());
    }
    catch (...)
    {
        kvLogError(L"HTML view link %s failed", sHref);
    }
}

wxHtmlOpeningStatus LinkHtmlWindow::OnOpeningURL(wxHtmlURLType, const wxString& sURL, wxString*) const
{
    // Pages and images come from local files only: a page must never make the program go online.
    const wxString sScheme = SchemeOf(sURL);
    if (sScheme.empty() || sScheme == "file" || sScheme == "memory")
        return wxHTML_OPEN;
    return wxHTML_BLOCK;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s)
{
    const size_t nBegin = s.find_first_not_of(" \t\r\n");
    if (nBegin == std::string::npos)
        return std::string();
    const size_t nEnd = s.find_last_not_of(" \t\r\n");
    return s.substr(nBegin, nEnd - nBegin + 1);
}

bool IsDrawnBorderStyle(const std::string& sValue)
{
    return sValue == "dotted" || sValue == "dashed" || sValue == "solid" || sValue == "double";
}

// The style value with an underline added when it asks for a border; unchanged otherwise.
std::string RewriteStyleValue(const std::string& sValue)
{
    bool bBorder = false;
    bool bHasDecoration = false;
    bool bHasColour = false;
    std::string sBorderColour;
    size_t nPos = 0;
    while (nPos <= sValue.length())
    {
        size_t nEnd = sValue.find(';', nPos);
        if (nEnd == std::string::npos)
            nEnd = sValue.length();
        const std::string sDeclaration = sValue.substr(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        const size_t nColon = sDeclaration.find(':');
        if (nColon == std::string::npos)
            continue;
        const std::string sName = Lower(Trim(sDeclaration.substr(0, nColon)));
        const std::string sArg = Trim(sDeclaration.substr(nColon + 1));
        if (sName == "border-style")
            bBorder = bBorder || IsDrawnBorderStyle(Lower(sArg));
        else if (sName == "border-color")
            sBorderColour = sArg;
        else if (sName == "border")
        {
            // The shorthand: "1pt dotted #FF0000", in any order.
            size_t nWord = 0;
            while (nWord < sArg.length())
            {
                const size_t nStart = sArg.find_first_not_of(' ', nWord);
                if (nStart == std::string::npos)
                    break;
                size_t nStop = sArg.find(' ', nStart);
                if (nStop == std::string::npos)
                    nStop = sArg.length();
                const std::string sWord = sArg.substr(nStart, nStop - nStart);
                if (IsDrawnBorderStyle(Lower(sWord)))
                    bBorder = true;
                else if (sWord[0] == '#')
                    sBorderColour = sWord;
                nWord = nStop;
            }
        }
        else if (sName == "text-decoration")
            bHasDecoration = true;
        else if (sName == "color")
            bHasColour = true;
    }
    if (!bBorder || bHasDecoration)
        return sValue;
    std::string sResult = sValue;
    const std::string sTrimmed = Trim(sResult);
    if (!sTrimmed.empty() && sTrimmed.back() != ';')
        sResult += ';';
    sResult += "text-decoration:underline";
    if (!bHasColour && !sBorderColour.empty())
        sResult += ";color:" + sBorderColour;
    return sResult;
}

bool IsNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':';
}

// One tag with its style attribute rewritten when it is a span.
std::string RewriteTag(const std::string& sTag)
{
    size_t i = 1;
    while (i < sTag.length() && IsNameChar(sTag[i]))
        ++i;
    // Only inline text is framed this way; a box keeps its (undrawn) border rather than
    // underlining every line in it.
    if (Lower(sTag.substr(1, i - 1)) != "span")
        return sTag;
    // Walk the attributes, so that "style" inside another attribute's value is never taken.
    while (i < sTag.length())
    {
        while (i < sTag.length() && !IsNameChar(sTag[i]))
            ++i;
        const size_t nNameStart = i;
        while (i < sTag.length() && IsNameChar(sTag[i]))
            ++i;
        const std::string sName = Lower(sTag.substr(nNameStart, i - nNameStart));
        size_t j = i;
        while (j < sTag.length() && std::isspace(static_cast<unsigned char>(sTag[j])))
            ++j;
        if (j >= sTag.length() || sTag[j] != '=')
            continue;
        ++j;
        while (j < sTag.length() && std::isspace(static_cast<unsigned char>(sTag[j])))
            ++j;
        if (j >= sTag.length())
            break;
        size_t nValueStart, nValueEnd;
        if (sTag[j] == '"' || sTag[j] == '\'')
        {
            nValueStart = j + 1;
            nValueEnd = sTag.find(sTag[j], nValueStart);
            if (nValueEnd == std::string::npos)
                return sTag;
            i = nValueEnd + 1;
        }
        else
        {
            nValueStart = j;
            nValueEnd = nValueStart;
            while (nValueEnd < sTag.length() && !std::isspace(static_cast<unsigned char>(sTag[nValueEnd])) &&
                   sTag[nValueEnd] != '>')
                ++nValueEnd;
            i = nValueEnd;
            if (sName == "style")
                // An unquoted value cannot take the blank-free addition safely in every case: leave it.
                return sTag;
        }
        if (sName == "style")
        {
            const std::string sValue = sTag.substr(nValueStart, nValueEnd - nValueStart);
            return sTag.substr(0, nValueStart) + RewriteStyleValue(sValue) + sTag.substr(nValueEnd);
        }
    }
    return sTag;
}
} // namespace

std::unique_ptr<tcHTMLWindow> tCreateWxHtmlView(wxWindow* pParent, const tcHTMLLinkCallback& fnLink)
{
    return std::make_unique<WxHtmlView>(pParent, fnLink);
}

std::string tRewriteUndrawableStyles(const std::string& sPageUTF8)
{
    // Quick exit for the common page without any border.
    static const std::string s_sBorder = "border";
    const auto itBorder = std::search(sPageUTF8.begin(), sPageUTF8.end(), s_sBorder.begin(), s_sBorder.end(),
                                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    if (itBorder == sPageUTF8.end())
        return sPageUTF8;
    std::string sOut;
    sOut.reserve(sPageUTF8.length() + 64);
    size_t i = 0;
    while (i < sPageUTF8.length())
    {
        const size_t nOpen = sPageUTF8.find('<', i);
        if (nOpen == std::string::npos || nOpen + 1 >= sPageUTF8.length())
            break;
        sOut.append(sPageUTF8, i, nOpen - i);
        if (!std::isalpha(static_cast<unsigned char>(sPageUTF8[nOpen + 1])))
        {
            sOut += '<';
            i = nOpen + 1;
            continue;
        }
        size_t j = nOpen + 1;
        char cQuote = 0;
        while (j < sPageUTF8.length())
        {
            const char c = sPageUTF8[j];
            if (cQuote)
            {
                if (c == cQuote)
                    cQuote = 0;
            }
            else if (c == '"' || c == '\'')
                cQuote = c;
            else if (c == '>')
                break;
            ++j;
        }
        if (j >= sPageUTF8.length())
        {
            // An unfinished tag stays as written.
            sOut.append(sPageUTF8, nOpen, std::string::npos);
            return sOut;
        }
        sOut += RewriteTag(sPageUTF8.substr(nOpen, j - nOpen + 1));
        i = j + 1;
    }
    if (i < sPageUTF8.length())
        sOut.append(sPageUTF8, i, std::string::npos);
    return sOut;
}
