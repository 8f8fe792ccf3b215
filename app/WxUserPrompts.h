#pragma once

#include "Shared/UserPrompts.h"

#include <wx/busyinfo.h>

#include <memory>

// Prompts that show the toolkit's message box and file and folder choosers. In no-user-interaction
// mode (checked at every call) they show nothing and answer as tcSilentUserPrompts does.
class tcWxUserPrompts : public tcSilentUserPrompts
{
public:
    int ShowMessage(const wxString& sText, const wxString& sCaption, long nStyle, wxWindow* pParent) override;
    wxString ChooseFile(const wxString& sMessage, const wxString& sDefaultDir, const wxString& sDefaultFile,
                        const wxString& sWildcard, long nStyle, wxWindow* pParent) override;
    wxString ChooseDirectory(const wxString& sMessage, const wxString& sDefaultPath, wxWindow* pParent) override;
    wxArrayString ChooseFiles(const wxString& sMessage, const wxString& sDefaultDir, const wxString& sDefaultFile,
                              const wxString& sWildcard, long nStyle, int& nFilterIndex, wxWindow* pParent) override;
    // A wxBusyInfo without parent.
    void BeginBusyNotice(const wxString& sText) override;
    void EndBusyNotice() override;

private:
    std::unique_ptr<wxBusyInfo> m_pBusy;
};

// The wxFileDialog style for the PROMPT_FILE_* flags of a ChooseFile call.
long tFileDialogStyle(long nPromptFlags);

// Installs one process-wide tcWxUserPrompts as the user prompts. Call once the application object
// exists.
void tInstallWxUserPrompts();
