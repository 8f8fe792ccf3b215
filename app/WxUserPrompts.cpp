#include "app/WxUserPrompts.h"

#include "varnak/include/tcAppContext.h"

#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

long tFileDialogStyle(long nPromptFlags)
{
    long nStyle = 0;
    if (nPromptFlags & PROMPT_FILE_OPEN)
        nStyle |= wxFD_OPEN;
    if (nPromptFlags & PROMPT_FILE_SAVE)
        nStyle |= wxFD_SAVE;
    if (nPromptFlags & PROMPT_FILE_OVERWRITE_PROMPT)
        nStyle |= wxFD_OVERWRITE_PROMPT;
    if (nPromptFlags & PROMPT_FILE_MUST_EXIST)
        nStyle |= wxFD_FILE_MUST_EXIST;
    if (nPromptFlags & PROMPT_FILE_MULTIPLE)
        nStyle |= wxFD_MULTIPLE;
    return nStyle;
}

int tcWxUserPrompts::ShowMessage(const wxString& sText, const wxString& sCaption, long nStyle, wxWindow* pParent)
{
    if (tApp()->GetNoUserInteraction())
        return tcSilentUserPrompts::ShowMessage(sText, sCaption, nStyle, pParent);
    return wxMessageBox(sText, sCaption, nStyle, pParent);
}

wxString tcWxUserPrompts::ChooseFile(const wxString& sMessage, const wxString& sDefaultDir,
                                     const wxString& sDefaultFile, const wxString& sWildcard, long nStyle,
                                     wxWindow* pParent)
{
    if (tApp()->GetNoUserInteraction())
        return tcSilentUserPrompts::ChooseFile(sMessage, sDefaultDir, sDefaultFile, sWildcard, nStyle, pParent);
    // One path is all this call can return, so the dialog never offers a multiple choice.
    wxFileDialog dialog(pParent, sMessage, sDefaultDir, sDefaultFile,
                        sWildcard.empty() ? wxString(wxFileSelectorDefaultWildcardStr) : sWildcard,
                        tFileDialogStyle(nStyle));
    if (dialog.ShowModal() != wxID_OK)
        return wxString();
    return dialog.GetPath();
}

wxString tcWxUserPrompts::ChooseDirectory(const wxString& sMessage, const wxString& sDefaultPath, wxWindow* pParent)
{
    if (tApp()->GetNoUserInteraction())
        return tcSilentUserPrompts::ChooseDirectory(sMessage, sDefaultPath, pParent);
    wxDirDialog dialog(pParent, sMessage, sDefaultPath, wxDD_DEFAULT_STYLE);
    if (dialog.ShowModal() != wxID_OK)
        return wxString();
    return dialog.GetPath();
}

wxArrayString tcWxUserPrompts::ChooseFiles(const wxString& sMessage, const wxString& sDefaultDir,
                                           const wxString& sDefaultFile, const wxString& sWildcard, long nStyle,
                                           int& nFilterIndex, wxWindow* pParent)
{
    wxArrayString asFiles;
    if (tApp()->GetNoUserInteraction())
        return asFiles;
    wxFileDialog dialog(pParent, sMessage, sDefaultDir, sDefaultFile,
                        sWildcard.empty() ? wxString(wxFileSelectorDefaultWildcardStr) : sWildcard,
                        tFileDialogStyle(nStyle));
    dialog.SetFilterIndex(nFilterIndex);
    if (dialog.ShowModal() != wxID_OK)
        return asFiles;
    nFilterIndex = dialog.GetFilterIndex();
    if (nStyle & PROMPT_FILE_MULTIPLE)
        dialog.GetPaths(asFiles);
    else
        asFiles.push_back(dialog.GetPath());
    return asFiles;
}

void tcWxUserPrompts::BeginBusyNotice(const wxString& sText)
{
    tcSilentUserPrompts::BeginBusyNotice(sText);
    if (!tApp()->GetNoUserInteraction())
        m_pBusy = std::make_unique<wxBusyInfo>(sText);
}

void tcWxUserPrompts::EndBusyNotice()
{
    m_pBusy.reset();
}

void tInstallWxUserPrompts()
{
    static tcWxUserPrompts s_prompts;
    tSetUserPrompts(&s_prompts);
}
