#pragma once

#include "tests/engine/FakeWord.h"
#include "varnak/include/tXMLText.h"

#include <wx/html/htmlwin.h>
#include <wx/weakref.h>

// Window tests show the in-memory Word's document on its panel, as the embedded Word would.

// The document on show as a page: untranslated text shaded, the selection framed.
inline wxString FakeWordPage(const CFakeWordDocument& doc)
{
    wxString sPage = L"<html><body><font size=\"4\">";
    for (size_t i = 0; i < doc.m_sText.length(); ++i)
    {
        const wxString sChar = doc.m_sText[i] == L'\r' ? wxString(L"<br>") : tEscapeXMLCharacters(doc.m_sText[i]);
        const bool bShaded = doc.m_aShading[i] == 0xF9E1CA;
        const bool bFramed = doc.m_aBorder[i] == 0x0000FF;
        if (bShaded || bFramed)
            sPage += wxString::Format(L"<font bgcolor=\"%s\" color=\"%s\">%s</font>", bShaded ? "#CAE1F9" : "#FFFFFF",
                                      bFramed ? "#FF0000" : "#000000", sChar);
        else
            sPage += sChar;
    }
    return sPage + L"</font></body></html>";
}

// Draws the host's document into a view on its panel, as the embedded Word would.
inline void DrawFakeWordHost(CFakeWordHost& host)
{
    static wxWeakRef<wxHtmlWindow> s_pView;
    if (!s_pView || s_pView->GetParent() != host.m_pPanel)
    {
        s_pView = new wxHtmlWindow(host.m_pPanel, wxID_ANY, wxDefaultPosition, host.m_pPanel->GetClientSize());
        s_pView->SetSize(host.m_pPanel->GetClientSize());
    }
    s_pView->SetPage(host.m_pActive ? FakeWordPage(*host.m_pActive) : wxString(L"<html><body></body></html>"));
}
