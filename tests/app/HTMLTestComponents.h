#pragma once

#include "Shared/HTMLPreview.h"
#include "tests/harness/AssertRecorder.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tShell.h"

#include <wx/panel.h>
#include <wx/weakref.h>

#include <memory>
#include <string>
#include <vector>

// Test stand-ins for the browser component and recorders for what the HTML views report.

// Records the addresses handed to the shell instead of opening them; restores the previous hook.
class ShellRecorder
{
public:
    ShellRecorder()
    {
        m_fnPrevious = tSetShellExecuteHook(
            [this](const wxString& sTarget, const wxString&)
            {
                aTargets.push_back(sTarget);
                return true;
            });
    }
    ~ShellRecorder() { tSetShellExecuteHook(m_fnPrevious); }
    std::vector<wxString> aTargets;

private:
    tcShellExecuteHook m_fnPrevious;
};

// A component whose views keep the pages and sizes they are given. Its window is a plain panel.
struct RecordingViews
{
    struct Record
    {
        std::vector<std::string> aPages;
        std::vector<wxRect> aSizes;
        wxWindow* pParent = nullptr;
        tcHTMLLinkCallback fnLink;
        // Set when the view was deleted after its window had gone with the parent: the host let
        // the view outlive its window.
        bool bWindowGoneFirst = false;
    };

    class View : public tcHTMLWindow
    {
    public:
        View(RecordingViews& owner, wxWindow* pParent, const tcHTMLLinkCallback& fnLink) : m_owner(owner)
        {
            m_pRecord = std::make_shared<Record>();
            m_pRecord->pParent = pParent;
            m_pRecord->fnLink = fnLink;
            m_pWindow = new wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, "recordingview");
            owner.aRecords.push_back(m_pRecord);
            ++owner.nLive;
        }
        ~View() override
        {
            --m_owner.nLive;
            if (m_pWindow)
                m_pWindow->Destroy();
            else
                m_pRecord->bWindowGoneFirst = true;
        }
        void SetPage(const std::string& sPage) override { m_pRecord->aPages.push_back(sPage); }
        void SetSize(int x, int y, int nWidth, int nHeight) override
        {
            m_pRecord->aSizes.push_back(wxRect(x, y, nWidth, nHeight));
        }
        wxWindow* GetWindow() override { return m_pWindow; }

    private:
        RecordingViews& m_owner;
        std::shared_ptr<Record> m_pRecord;
        wxWeakRef<wxWindow> m_pWindow;
    };

    // Installs the component for the owner's lifetime.
    RecordingViews()
    {
        m_fnPrevious = tSetHTMLComponentFactoryForTesting(
            [this](wxWindow* pParent, wxWindow*, const tcHTMLLinkCallback& fnLink)
            { return std::unique_ptr<tcHTMLWindow>(new View(*this, pParent, fnLink)); });
    }
    ~RecordingViews() { tSetHTMLComponentFactoryForTesting(m_fnPrevious); }

    // Every view made, in order; records outlive their views.
    std::vector<std::shared_ptr<Record>> aRecords;
    int nLive = 0;

private:
    tcHTMLComponentFactory m_fnPrevious;
};

// A component that makes no view, for the lifetime of the object.
class NoViews
{
public:
    NoViews()
    {
        m_fnPrevious = tSetHTMLComponentFactoryForTesting([](wxWindow*, wxWindow*, const tcHTMLLinkCallback&)
                                                          { return std::unique_ptr<tcHTMLWindow>(); });
    }
    ~NoViews() { tSetHTMLComponentFactoryForTesting(m_fnPrevious); }

private:
    tcHTMLComponentFactory m_fnPrevious;
};
