#include "Shared/FrmFileSelector.h"

#include "Shared/FrmLangSelector.h"
#include "Shared/Options.h"
#include "Shared/UserPrompts.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tokenzr.h>

tcEvent Evt_FileSelector_Changed("Evt_FileSelector_Changed");
tcEvent Evt_FileSelector_Emptied("Evt_FileSelector_Emptied");

namespace
{
const char* const kszConfigGroup = "/UserInterface/FileSelectors/";
// The selector takes the file dialog's own style; the prompt seam has flags of its own.
long PromptFlagsOf(long nDialogStyle)
{
    long nFlags = 0;
    if (nDialogStyle & wxFD_OPEN)
        nFlags |= PROMPT_FILE_OPEN;
    if (nDialogStyle & wxFD_SAVE)
        nFlags |= PROMPT_FILE_SAVE;
    if (nDialogStyle & wxFD_OVERWRITE_PROMPT)
        nFlags |= PROMPT_FILE_OVERWRITE_PROMPT;
    if (nDialogStyle & wxFD_FILE_MUST_EXIST)
        nFlags |= PROMPT_FILE_MUST_EXIST;
    if (nDialogStyle & wxFD_MULTIPLE)
        nFlags |= PROMPT_FILE_MULTIPLE;
    return nFlags;
}
} // namespace

wxString CVRFileSelector::SanitiseName(const wxString& sName)
{
    wxString s = sName;
    s.Replace("/", "_");
    s.Replace("\\", "_");
    return s;
}

CVRFileSelector::CVRFileSelector(wxWindow* pParent, const wxString& sWildcard, const wxString& sName, wxWindowID nID,
                                 long nDialogStyle, const wxString& sLabel, const wxString& sFile)
    : wxPanel(pParent, nID, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE | wxTAB_TRAVERSAL),
      m_nDialogStyle(nDialogStyle), m_sWildcard(sWildcard), m_sName(SanitiseName(sName))
{
    tDebugContextEnter("FileSel");
    m_pSizer = new wxBoxSizer(wxHORIZONTAL);
    if (!sLabel.empty())
    {
        m_pLabel = new wxStaticText(this, wxID_ANY, sLabel);
        m_pSizer->Add(m_pLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    }
    // Built without its text, so that the first text fires no event during construction.
    m_pText = new wxTextCtrl(this, ID_TEXT, wxString());
    m_pText->ChangeValue(sFile);
    m_pSizer->Add(m_pText, 1, wxEXPAND);
    m_pBrowse = new wxButton(this, ID_BROWSE, g_LocEngine.FindTranslation("BUTTON_BROWSE"));
    m_pSizer->Add(m_pBrowse, 0, wxEXPAND | wxLEFT, 2);
    SetSizer(m_pSizer);
}

CVRFileSelector::~CVRFileSelector()
{
    tDebugContextLeave("FileSel");
}

int CVRFileSelector::GetNumFiles() const
{
    return static_cast<int>(m_pText->GetValue().Freq(';')) + 1;
}

wxString CVRFileSelector::GetFileName(int nIndex) const
{
    const int nFiles = GetNumFiles();
    if (nIndex < 0 || nIndex >= nFiles)
    {
        T_ASSERT(nIndex >= 0 && nIndex < nFiles);
        return wxString();
    }
    const wxString sText = m_pText->GetValue();
    if (nFiles == 1)
        return sText;
    wxStringTokenizer tokens(sText, ";");
    for (int i = 0; tokens.HasMoreTokens(); ++i)
    {
        const wxString sPart = tokens.GetNextToken();
        if (i == nIndex)
            return sPart;
    }
    T_ASSERT(!"file name part missing");
    return wxString();
}

void CVRFileSelector::SetFileName(const wxString& sFile)
{
    m_pText->SetValue(sFile);
}

void CVRFileSelector::OnFileChange(wxCommandEvent&)
{
    if (!m_pText)
        return;
    if (m_pText->GetValue().empty())
        Evt_FileSelector_Emptied.Trigger(nullptr, this);
    else
        Evt_FileSelector_Changed.Trigger(nullptr, this);
}

void CVRFileSelector::OnBrowse(wxCommandEvent&)
{
    int nFilter = 0;
    wxString sLastPath;
    if (!m_sName.empty() && g_pConfig)
    {
        g_pConfig->SetPath(kszConfigGroup + m_sName);
        nFilter = static_cast<int>(g_pConfig->ReadLong("LastExtension", 0));
        sLastPath = g_pConfig->Read("LastPath", wxString());
    }
    const wxString sCwd = wxGetCwd();
    const wxArrayString asFiles =
        tUserPrompts().ChooseFiles(g_LocEngine.FindTranslation("DLG_FILE_CHOOSE_A_FILE"), sLastPath, wxString(),
                                   m_sWildcard, PromptFlagsOf(m_nDialogStyle), nFilter, this);
    wxSetWorkingDirectory(sCwd);
    if (asFiles.empty())
        return;
    wxString sJoined;
    for (const wxString& sFile : asFiles)
        sJoined += (sJoined.empty() ? "" : ";") + sFile;
    if (!m_sName.empty() && g_pConfig)
    {
        g_pConfig->SetPath(kszConfigGroup + m_sName);
        g_pConfig->Write("LastPath", wxFileName(asFiles.back()).GetPath(wxPATH_GET_SEPARATOR, wxPATH_UNIX));
        g_pConfig->Write("LastExtension", static_cast<long>(nFilter));
        g_pConfig->Flush();
    }
    SetFileName(sJoined);
}

CVRSourceSelector::CVRSourceSelector(wxWindow* pParent, const wxString& sWildcard, wxWindowID nID, long nDialogStyle,
                                     const wxString& sLanguage, const wxString& sLabel, const wxString& sFile)
    : CVRFileSelector(pParent, sWildcard, "SourceText", nID, nDialogStyle, sLabel, sFile)
{
    m_pLangSelector = new CVRLangSelector(this, wxID_ANY, sLanguage, false);
    GetRowSizer()->Insert(0, 2, 0);
    GetRowSizer()->Insert(0, m_pLangSelector, 0, wxALIGN_CENTER_VERTICAL);
}

CVRSourceSelector::~CVRSourceSelector()
{
    // Gone before the row, so that no language event reaches a half-destroyed row.
    if (m_pLangSelector)
        m_pLangSelector->Destroy();
    m_pLangSelector = nullptr;
}

wxString CVRSourceSelector::GetLanguageCode() const
{
    return m_pLangSelector ? m_pLangSelector->GetSelectedLanguageCode() : wxString();
}

// clang-format off
wxBEGIN_EVENT_TABLE(CVRFileSelector, wxPanel)
    EVT_TEXT(CVRFileSelector::ID_TEXT, CVRFileSelector::OnFileChange)
    EVT_BUTTON(CVRFileSelector::ID_BROWSE, CVRFileSelector::OnBrowse)
wxEND_EVENT_TABLE()
// clang-format on
