#pragma once

#include <wx/dialog.h>

#include <memory>
#include <string>

class tcHTMLWindow;

// The about box: one HTML page about the program (header image, name and version, build
// information, acknowledgements) above an OK button. Modeless: OK and the close box only hide it;
// the owner deletes it. Links on the page open in the user's browser. Without an HTML view the box
// shows the program's name and version as plain text instead.
class CDlgAbout : public wxDialog
{
public:
    CDlgAbout(wxWindow* pParent, int nWidth, int nHeight);
    ~CDlgAbout() override;

    // Builds the page (tMakeAboutPageHTML) and shows it in the view, if there is one.
    void GetAboutPageHTML();

    // The view; null when the browser component made none.
    tcHTMLWindow* GetHTMLWindow() const { return m_pHTMLWindow.get(); }

private:
    static bool OnLinkClicked(tcHTMLWindow* pView, const wchar_t* szURL);

    std::unique_ptr<tcHTMLWindow> m_pHTMLWindow;
};

// The about page as UTF-8. Its web links point at "ovra://openlink:" + the address, so that a
// click reaches HandleHTMLLink: "http://host/path" becomes "ovra://openlink:host/path",
// "https://host/path" keeps its scheme as "ovra://openlink:https://host/path".
std::string tMakeAboutPageHTML();
