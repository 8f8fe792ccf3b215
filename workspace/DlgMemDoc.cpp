#include "workspace/DlgMemDoc.h"

#include "Shared/ErrorBoundary.h"
#include "Shared/Localisation.h"
#include "Shared/UserPrompts.h"
#include "engine/VRMemDocManager.h"
#include "engine/VRProjectModel.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/button.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CDlgMemDoc::CDlgMemDoc(wxWindow* pParent, const wxString& sProblem)
    : wxDialog(pParent, wxID_ANY, g_LocEngine.FindTranslation("SELECT_TM_TITLE"), wxDefaultPosition, wxSize(400, 250),
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER)
{
    tcDebugInfo debugInfo("CDlgMemDoc::CDlgMemDoc");
    auto* pSizer = new wxBoxSizer(wxVERTICAL);

    const wxString sBlurb = g_LocEngine.FindTranslation("SELECT_TM_BLURB");
    auto* pBlurb = new wxStaticText(this, wxID_ANY, sProblem.empty() ? sBlurb : sProblem + "\n\n" + sBlurb);
    // Unwrapped, the blurb would stretch the fitted dialog across the screen.
    pBlurb->Wrap(380);
    pSizer->Add(pBlurb, 0, wxEXPAND | wxALL, 4);

    auto* pFileRow = new wxBoxSizer(wxHORIZONTAL);
    pFileRow->Add(new wxButton(this, ID_OPEN, g_LocEngine.FindTranslation("DIALOG_OPEN")), 0,
                  wxALIGN_CENTRE_VERTICAL | wxALL, 2);
    pFileRow->Add(new wxButton(this, ID_NEW, g_LocEngine.FindTranslation("DIALOG_NEW")), 0,
                  wxALIGN_CENTRE_VERTICAL | wxALL, 2);
    m_pFileField = new wxTextCtrl(this, ID_FILE, wxString());
    pFileRow->Add(m_pFileField, 1, wxEXPAND | wxALL, 2);
    pSizer->Add(pFileRow, 0, wxEXPAND | wxALL, 4);

    auto* pButtonRow = new wxBoxSizer(wxHORIZONTAL);
    m_pOKButton = new wxButton(this, ID_OK, g_LocEngine.FindTranslation("DIALOG_OK"));
    m_pOKButton->Enable(false);
    pButtonRow->Add(m_pOKButton, 0, wxALIGN_CENTRE_VERTICAL | wxALL, 2);
    pButtonRow->Add(new wxButton(this, ID_CANCEL, g_LocEngine.FindTranslation("DIALOG_CANCEL")), 0,
                    wxALIGN_CENTRE_VERTICAL | wxALL, 2);
    pSizer->Add(pButtonRow, 0, wxALIGN_CENTRE_HORIZONTAL | wxALL, 4);

    SetSizer(pSizer);
    pSizer->Fit(this);
    Centre(wxBOTH);
}

void CDlgMemDoc::ChooseInto(long nStyle)
{
    // Some choosers move the working directory; relative paths elsewhere must not notice.
    const wxString sWorkingDir = wxGetCwd();
    const wxString sPath = tUserPrompts().ChooseFile("Choose a file", wxString(), wxString(),
                                                     "TMX files (*.tmx)|*.tmx|All files (*.*)|*.*", nStyle, nullptr);
    wxSetWorkingDirectory(sWorkingDir);
    if (!sPath.empty())
        m_pFileField->SetValue(sPath);
}

// The choosers reach the file system and the desktop: a failure there ends in a message, and the
// dialog stays open with its field as it was.
void CDlgMemDoc::OnOpen(wxCommandEvent& /*event*/)
{
    tRunGuarded("CDlgMemDoc::OnOpen", this, [this] { ChooseInto(PROMPT_FILE_OPEN | PROMPT_FILE_MUST_EXIST); });
}

void CDlgMemDoc::OnNew(wxCommandEvent& /*event*/)
{
    // A name that does not exist yet is the point of New.
    tRunGuarded("CDlgMemDoc::OnNew", this, [this] { ChooseInto(PROMPT_FILE_OPEN); });
}

// Both let the event go on to the dialog's own handling, which closes it.
void CDlgMemDoc::OnOK(wxCommandEvent& event)
{
    m_sFileName = m_pFileField->GetValue();
    event.Skip();
}

void CDlgMemDoc::OnCancel(wxCommandEvent& event)
{
    m_sFileName.clear();
    event.Skip();
}

void CDlgMemDoc::OnTextChanged(wxCommandEvent& event)
{
    if (m_pFileField && m_pOKButton)
        m_pOKButton->Enable(!m_pFileField->GetValue().empty());
    event.Skip();
}

CVRMemDoc* tAskForMemDoc(CVRMemDocManager& manager, const wxString& sProblem)
{
    tcDebugInfo debugInfo("tAskForMemDoc");
    const wxString sCancelled = g_LocEngine.FindTranslation("SELECT_TM_CANCELLED");
    if (tApp()->GetNoUserInteraction())
    {
        tcLog::LogStr(sCancelled);
        throw TextFailure(sCancelled);
    }
    for (;;)
    {
        wxString sName;
        {
            CDlgMemDoc dialog(nullptr, sProblem);
            dialog.ShowModal();
            sName = dialog.GetFileName();
        }
        if (sName.empty())
        {
            tcLog::LogStr(sCancelled);
            throw TextFailure(sCancelled);
        }

        wxString sError;
        if (!wxFileName::Exists(sName))
        {
            const int nAnswer = tUserPrompts().ShowMessage(tLocalisedWith("SELECT_TM_CREATE_NEW", sName),
                                                           g_LocEngine.FindTranslation("MESSAGETITLE_CONFIRM"),
                                                           wxYES_NO | wxICON_QUESTION, nullptr);
            if (nAnswer != wxYES)
                continue;
            if (CVRMemDoc* pMemDoc = manager.CreateMemDoc(sName, &sError))
                return pMemDoc;
            tUserPrompts().ShowMessage(tLocalisedWith("SELECT_TM_CREATE_FAILED", sName, sError),
                                       g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR, nullptr);
            continue;
        }
        if (CVRMemDoc* pMemDoc = manager.OpenMemDoc(sName, &sError))
            return pMemDoc;
        if (manager.WasLoadCancelled())
            throw VRProjectCancelled(sCancelled);
        tUserPrompts().ShowMessage(tLocalisedWith("SELECT_TM_OPEN_FAILED", sName, sError),
                                   g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR, nullptr);
    }
}

// clang-format off
wxBEGIN_EVENT_TABLE(CDlgMemDoc, wxDialog)
    EVT_BUTTON(CDlgMemDoc::ID_OPEN, CDlgMemDoc::OnOpen)
    EVT_BUTTON(CDlgMemDoc::ID_NEW, CDlgMemDoc::OnNew)
    EVT_BUTTON(CDlgMemDoc::ID_OK, CDlgMemDoc::OnOK)
    EVT_BUTTON(CDlgMemDoc::ID_CANCEL, CDlgMemDoc::OnCancel)
    EVT_TEXT(CDlgMemDoc::ID_FILE, CDlgMemDoc::OnTextChanged)
wxEND_EVENT_TABLE()
    // clang-format on
