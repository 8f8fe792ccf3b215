#pragma once

#include <wx/minifram.h>
#include <wx/window.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// HTML views: the pages the program shows (statistics, document previews, the about page, pages
// that scripts pop up) come through views made by CreateHTMLWindow. The hosts below work with no
// view at all: they keep an empty area and drop the pages they are given. Main thread only.

class tcHTMLWindow;

// Called when the user clicks a link in a view: the view and the address (never null from the
// views made here). Return true when the host handled the link itself; the view then does not
// follow it. The callback must not delete the view it is called for.
typedef std::function<bool(tcHTMLWindow* pView, const wchar_t* szURL)> tcHTMLLinkCallback;

// One HTML view. Its window is a child of the parent given to the factory; deleting the view
// destroys that window (when the parent has not destroyed it already).
class tcHTMLWindow
{
public:
    virtual ~tcHTMLWindow() = default;
    // Shows the page; the text is UTF-8.
    virtual void SetPage(const std::string& sPageUTF8) = 0;
    // Places the view's window inside its host.
    virtual void SetSize(int x, int y, int nWidth, int nHeight) = 0;
    // The window that displays the view, for a sizer; null once the window is gone.
    virtual wxWindow* GetWindow() = 0;
    // Scrolls the page so that its anchor of that name is in view, and keeps it there when the view
    // is resized, until the next page. False when the page has no such anchor or the view cannot
    // scroll to one.
    virtual bool ShowAnchor(const std::string& /*sNameUTF8*/) { return false; }
};

// Asks the selected browser component for a view in pParent, reporting link clicks to fnLink (may
// be empty). pReserved and nReserved have no meaning (pass nullptr and -1). Returns null, after
// the assertion "pRet!=NULL", when the component makes no view. The caller owns the view and
// deletes it before its parent window goes (DeleteHTMLWindow).
std::unique_ptr<tcHTMLWindow> CreateHTMLWindow(wxWindow* pParent, wxWindow* pHost, tcHTMLLinkCallback fnLink,
                                               void* pReserved, int nReserved);
// Deletes the view, if any, and leaves the pointer null.
void DeleteHTMLWindow(std::unique_ptr<tcHTMLWindow>& pView);

// Reads "/WebLayoutEngine" "SelectedBrowserComponent" from g_pConfig; only component 0 exists, so
// the selection is 0 whatever is stored. Leaves the store's path at "/WebLayoutEngine": later
// readers must use absolute keys. Without a store: the soft assertion "g_pConfig!=NULL".
void tInitWebLayoutEngineSelection();
// The selected browser component (always 0).
long tGetSelectedBrowserComponent();

// Makes the views the factory hands out; a function returning null stands for a component that
// makes none. For tests: null restores the built-in component. Returns the factory it replaces.
typedef std::function<std::unique_ptr<tcHTMLWindow>(wxWindow* pParent, wxWindow* pHost,
                                                    const tcHTMLLinkCallback& fnLink)>
    tcHTMLComponentFactory;
tcHTMLComponentFactory tSetHTMLComponentFactoryForTesting(tcHTMLComponentFactory fnFactory);

// A child window filled with one view (statistics pages, document previews). The view lives and
// dies with the window; without a view the window stays empty and pages are dropped.
class VRHTMLWindow : public wxWindow
{
public:
    VRHTMLWindow(tcHTMLLinkCallback fnLink, wxWindow* pParent, wxWindowID nId = wxID_ANY,
                 const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize, long nStyle = 0,
                 const wxString& sName = "VRHTMLWindow");
    ~VRHTMLWindow() override;

    // Shows the page (converted to UTF-8).
    void SetPage(const wxString& sPage);
    // Scrolls the page to its anchor of that name (tcHTMLWindow::ShowAnchor); false without one.
    bool ShowAnchor(const wxString& sName);
    // The view; null when the component made none.
    tcHTMLWindow* GetHTMLWindow() const { return m_pHTMLWindow.get(); }

private:
    void OnSize(wxSizeEvent& event);

    std::unique_ptr<tcHTMLWindow> m_pHTMLWindow;

    wxDECLARE_EVENT_TABLE();
};

// The one popup frame that scripts open (tHTMLPopup). Its view is g_pPopupHTMLWindow.
class tcPopup : public wxMiniFrame
{
public:
    // A null title shows "-". With bCloseButton a "DIALOG_CLOSE" button (id 5001) closes it.
    tcPopup(wxWindow* pParent, const wchar_t* szTitle, int x, int y, int nWidth, int nHeight, bool bCloseButton);
    ~tcPopup() override;

    // The popup's link callback: false for a null address, else HandleHTMLLink.
    static bool OnLinkClicked(tcHTMLWindow* pView, const wchar_t* szURL);

private:
    void OnButtonClose(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    // Deletes the view and forgets the globals, when they still belong to this frame.
    void ReleaseGlobals();

    wxDECLARE_EVENT_TABLE();
};

// The popup and its view while one is open; null otherwise.
extern tcPopup* g_pPopup;
extern std::unique_ptr<tcHTMLWindow> g_pPopupHTMLWindow;

// Where tHTMLPopup puts a new popup. pParentRect is the parent's position and size, null without a
// parent. With a parent, negative x and y become the parent's plus 10; a width or height below 1
// becomes half the parent's (at least 10). Without a parent x and y stay (-1 is the toolkit's
// default position) and the size defaults to 400 by 300.
wxRect tHTMLPopupRect(const wxRect* pParentRect, int x, int y, int nWidth, int nHeight);

// Shows szPage (null: empty) in the popup, opening it where tHTMLPopupRect says when there is
// none; an open popup only gets the new title and page. A null title shows "-".
void tHTMLPopup(wxWindow* pParent, const wchar_t* szTitle, const wchar_t* szPage, int x = -1, int y = -1,
                int nWidth = -1, int nHeight = -1);
// Closes the popup, if any: its view is deleted at once, the frame a moment later.
void tHTMLPopupClose();

// Appends the head of a preview page to sOut (UTF-8, every line ending in CR LF), up to and
// including the <body> line. Null arguments take their defaults: the title is g_sAppName; the
// colours ("RRGGBB") come from the current style set of g_pDoc, else black text on white; the
// extras are left out. Any "<" or ">" in the title becomes "_".
void GetHTMLPreviewHeader(std::string& sOut, const char* szTitle, bool bRTL, const char* szBodyAttributes,
                          const char* szTextColour, const char* szBackgroundColour,
                          const std::vector<std::string>* pExtraStyleRules,
                          const std::vector<std::string>* pExtraHeadLines);

// Handles the program's own link scheme: "ovra://openlink:" + address opens the address in the
// user's browser (over http:// unless the address names its own scheme) and returns true. Any
// other address (and null) returns false: the view follows it itself.
bool HandleHTMLLink(const wchar_t* szURL);

// The address under which a view loads a local file: blanks become "%20" and backslashes "/".
wxString MakeHTMLPreviewURL(const wxString& sPath);
