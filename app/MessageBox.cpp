#include "app/MessageBox.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcThreads.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>

namespace
{
struct KindInfo
{
    int nKind;
    const char* szArt;
    const wchar_t* szPrefix;
};

const KindInfo s_aKinds[] = {
    {wxICON_WARNING, wxART_WARNING, L"WARNING:"},
    {wxICON_ERROR, wxART_ERROR, L"ERROR:"},
    {wxICON_QUESTION, wxART_QUESTION, L"QUESTION:"},
    {wxICON_INFORMATION, wxART_INFORMATION, L"INFO:"},
};

const KindInfo* FindKind(int nKind)
{
    for (const KindInfo& info : s_aKinds)
    {
        if (info.nKind == nKind)
            return &info;
    }
    return nullptr;
}

wxString TitleOrAppName(const wchar_t* szTitle)
{
    return szTitle ? wxString(szTitle) : g_LocEngine.FindTranslation("APPLICATION_NAME");
}
} // namespace

void tMessageBox(const wchar_t* szText, const wchar_t* szTitle, int nKind, wxWindow* pParent)
{
    tcDebugInfo debug("tMessageBox");
    if (!tcThreads::IsMainThread())
        return;
    if (tApp()->GetNoUserInteraction())
    {
        const KindInfo* pKind = FindKind(nKind);
        wxString sLine = "MSG:";
        if (pKind)
            sLine += pKind->szPrefix;
        if (szText)
            sLine += szText;
        kvLogVisibleWarning(L"%s", sLine);
        return;
    }
    tcMessageBox dialog(szText, szTitle, nKind, pParent);
    dialog.ShowModal();
}

tcMessageBox::tcMessageBox(const wchar_t* szText, const wchar_t* szTitle, int nKind, wxWindow* pParent)
    : wxDialog(pParent, wxID_ANY, TitleOrAppName(szTitle))
{
    auto* pOuter = new wxBoxSizer(wxVERTICAL);
    auto* pInner = new wxBoxSizer(wxHORIZONTAL);
    if (nKind > 0)
    {
        const KindInfo* pKind = FindKind(nKind);
        const wxBitmap icon = wxArtProvider::GetBitmap(pKind ? pKind->szArt : wxART_ERROR, wxART_MESSAGE_BOX);
        auto* pIcon = new wxStaticBitmap(this, wxID_ANY, icon, wxDefaultPosition, wxDefaultSize, 0, "icon");
        pInner->Add(pIcon, 0, wxEXPAND | wxLEFT | wxRIGHT, 5);
    }
    auto* pText = new wxStaticText(this, wxID_ANY, szText ? wxString(szText) : wxString(), wxDefaultPosition,
                                   wxDefaultSize, 0, "message");
    pText->Wrap(600);
    // Expanding fills the row's height, so a centring flag would have no effect (and the toolkit
    // refuses the pair).
    pInner->Add(pText, 0, wxEXPAND | wxLEFT | wxRIGHT, 15);
    pOuter->Add(pInner, 0, wxEXPAND | wxTOP | wxBOTTOM, 10);
    pOuter->Add(new wxStaticLine(this, wxID_ANY), 0, wxEXPAND | wxALL, 5);
    pOuter->Add(new wxButton(this, wxID_OK, g_LocEngine.FindTranslation("DIALOG_OK")), 0, wxALIGN_RIGHT | wxALL, 0);
    SetSizerAndFit(pOuter);
    Centre(wxBOTH);
}

tcMessageBox::~tcMessageBox() = default;
