#include "workspace/VRLoadProgress.h"

#include "Shared/UserPrompts.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/evtloop.h>
#include <wx/modalhook.h>
#include <wx/utils.h>

#include <algorithm>
#include <vector>

namespace
{
// The progress windows alive, oldest first.
std::vector<VRLoadProgress*>& LiveProgress()
{
    static std::vector<VRLoadProgress*> s_apLive;
    return s_apLive;
}

// Every modal dialog hides the progress windows before it shows. A script that answers a dialog
// without showing it gives no Exit: the progress then shows again at its next update.
class PromptCoverHook : public wxModalDialogHook
{
protected:
    int Enter(wxDialog* pDialog) override
    {
        if (!dynamic_cast<VRLoadProgress*>(pDialog))
            VRLoadProgress::HideAll();
        return wxID_NONE;
    }
    void Exit(wxDialog*) override { VRLoadProgress::ShowNewest(); }
};

// The prompts installed while progress windows live: the ones installed before, with the progress
// out of the way during each call.
class PromptCover : public tcUserPrompts
{
public:
    explicit PromptCover(tcUserPrompts& inner) : m_inner(inner) {}
    tcUserPrompts& Inner() { return m_inner; }

    int ShowMessage(const wxString& sText, const wxString& sCaption, long nStyle, wxWindow* pParent) override
    {
        Hidden hidden;
        return m_inner.ShowMessage(sText, sCaption, nStyle, pParent);
    }
    wxString ChooseFile(const wxString& sMessage, const wxString& sDefaultDir, const wxString& sDefaultFile,
                        const wxString& sWildcard, long nStyle, wxWindow* pParent) override
    {
        Hidden hidden;
        return m_inner.ChooseFile(sMessage, sDefaultDir, sDefaultFile, sWildcard, nStyle, pParent);
    }
    wxString ChooseDirectory(const wxString& sMessage, const wxString& sDefaultPath, wxWindow* pParent) override
    {
        Hidden hidden;
        return m_inner.ChooseDirectory(sMessage, sDefaultPath, pParent);
    }
    wxArrayString ChooseFiles(const wxString& sMessage, const wxString& sDefaultDir, const wxString& sDefaultFile,
                              const wxString& sWildcard, long nStyle, int& nFilterIndex, wxWindow* pParent) override
    {
        Hidden hidden;
        return m_inner.ChooseFiles(sMessage, sDefaultDir, sDefaultFile, sWildcard, nStyle, nFilterIndex, pParent);
    }
    void BeginBusyNotice(const wxString& sText) override { m_inner.BeginBusyNotice(sText); }
    void EndBusyNotice() override { m_inner.EndBusyNotice(); }

private:
    struct Hidden
    {
        Hidden() { VRLoadProgress::HideAll(); }
        ~Hidden() { VRLoadProgress::ShowNewest(); }
        Hidden(const Hidden&) = delete;
        Hidden& operator=(const Hidden&) = delete;
    };
    tcUserPrompts& m_inner;
};

// Hook and prompts exist while at least one progress window does.
std::unique_ptr<PromptCoverHook> s_pHook;
std::unique_ptr<PromptCover> s_pCover;
} // namespace

VRLoadProgress::VRLoadProgress(const wxString& sTitle, const wxString& sMessage, wxWindow* pParent)
    : wxProgressDialog(sTitle, sMessage, kMaximum, pParent,
                       wxPD_CAN_ABORT | wxPD_ELAPSED_TIME | wxPD_ESTIMATED_TIME | wxPD_SMOOTH | wxPD_REMAINING_TIME)
{
    Centre(wxBOTH);
    // The newest progress is the one that moves; the older ones wait behind it, out of sight. An
    // older one's late map notice would mark it shown again after the hide: it is taken first.
    if (wxEventLoopBase* pLoop = wxEventLoopBase::GetActive())
        pLoop->YieldFor(wxEVT_CATEGORY_UI);
    HideAll();
    std::vector<VRLoadProgress*>& apLive = LiveProgress();
    apLive.push_back(this);
    ShowNewest();
    if (apLive.size() == 1)
    {
        s_pHook = std::make_unique<PromptCoverHook>();
        s_pHook->Register();
        s_pCover = std::make_unique<PromptCover>(tUserPrompts());
        tSetUserPrompts(s_pCover.get());
    }
}

VRLoadProgress::~VRLoadProgress()
{
    std::vector<VRLoadProgress*>& apLive = LiveProgress();
    apLive.erase(std::remove(apLive.begin(), apLive.end(), this), apLive.end());
    if (apLive.empty())
    {
        // Prompts installed over the cover meanwhile stay; otherwise the ones before come back.
        if (&tUserPrompts() == s_pCover.get())
            tSetUserPrompts(&s_pCover->Inner());
        s_pCover.reset();
        s_pHook->Unregister();
        s_pHook.reset();
    }
    else
        ShowNewest();
}

void VRLoadProgress::HideAll()
{
    for (VRLoadProgress* pProgress : LiveProgress())
    {
        if (pProgress->IsShown())
        {
            pProgress->Hide();
            pProgress->m_bHiddenForPrompt = true;
        }
    }
}

void VRLoadProgress::ShowNewest()
{
    if (LiveProgress().empty())
        return;
    VRLoadProgress* pNewest = LiveProgress().back();
    if (pNewest->m_bHiddenForPrompt || !pNewest->IsShown())
    {
        pNewest->m_bHiddenForPrompt = false;
        pNewest->Show();
        pNewest->Raise();
    }
}

void VRLoadProgress::SetValue(int nValue)
{
    // A negative position would make the gauge assert.
    m_nValue = std::clamp(nValue, 0, kHighest);
    if (m_bHiddenForPrompt)
    {
        // Behind a newer progress it waits unseen; updating it would bring it back on screen.
        if (LiveProgress().back() != this)
            return;
        ShowNewest();
    }
    // A window hidden just after it was shown can be marked shown again when the toolkit's late
    // map notice arrives; the older ones are put out of sight again as the newest moves.
    for (VRLoadProgress* pOlder : LiveProgress())
        if (pOlder != this && pOlder->m_bHiddenForPrompt && pOlder->IsShown())
            pOlder->Hide();
    Update(m_nValue, wxString());
}

VRMemDocLoadProgress::VRMemDocLoadProgress() = default;

VRMemDocLoadProgress::~VRMemDocLoadProgress()
{
    End();
}

void VRMemDocLoadProgress::Begin(const wxString& sFile)
{
    End();
    m_pDialog = std::make_unique<VRLoadProgress>(g_LocEngine.FindTranslation("TM_LOADING_TITLE"), sFile, nullptr);
    // No command may run on a project whose memory is half read; the progress stays usable.
    m_pDisabler = std::make_unique<wxWindowDisabler>(m_pDialog.get());
}

bool VRMemDocLoadProgress::Step(double dFraction)
{
    if (!m_pDialog)
        return true;
    m_pDialog->SetValue(static_cast<int>(dFraction * tcConvertorProgress::kMaximum));
    return !m_pDialog->WasCancelled();
}

void VRMemDocLoadProgress::End()
{
    m_pDisabler.reset();
    m_pDialog.reset();
}
