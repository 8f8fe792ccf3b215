#include "workspace/VRNotesFrame.h"

#include "Shared/AppUtils_shared.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"
#include "workspace/PaneImages.h"

#include <wx/bmpbuttn.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace
{
void AppendText(const tcNode* pNode, wxString& sOut)
{
    if (pNode->IsClass(NODE_TEXTNODE))
        sOut += static_cast<const tcText*>(pNode)->GetText();
    else if (pNode->IsClass(NODE_CDATA))
        sOut += static_cast<const tcCDATA*>(pNode)->GetText();
    for (const tcNode* pChild : pNode->GetChildren())
        AppendText(pChild, sOut);
}
} // namespace

VRNotesPage::VRNotesPage(wxWindow* pParent, tcElement* pNoteElement, tcDocument* pDoc, tcNode* pNode)
    : wxPanel(pParent, wxID_ANY), m_pNode(pNode), m_pNoteElement(pNoteElement), m_pDoc(pDoc)
{
    m_pText = new wxTextCtrl(this, ID_TEXT, wxString(), wxDefaultPosition, wxDefaultSize,
                             wxTE_MULTILINE | wxTE_RICH2 | wxTE_NOHIDESEL | wxBORDER_NONE);

    auto* pBottom = new wxBoxSizer(wxHORIZONTAL);
    pBottom->SetMinSize(-1, 28);
    m_pNew = new wxBitmapButton(this, ID_NEW, LoadPaneBitmap("NewNote.png", wxART_NEW));
    m_pNew->SetToolTip(g_LocEngine.FindTranslation("BUTTON_NEW_NOTE"));
    pBottom->Add(m_pNew, 0, wxALIGN_CENTRE_VERTICAL);
    pBottom->AddSpacer(4);
    pBottom->Add(new wxStaticText(this, wxID_ANY, g_LocEngine.FindTranslation("NOTE")), 0, wxALIGN_CENTRE_VERTICAL);
    pBottom->AddSpacer(4);
    m_pSpin =
        new wxSpinCtrl(this, ID_SPIN, "1", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS | wxSP_WRAP, 0, 1, 0);
    // GTK draws a spin narrower than its natural width wrongly (and complains), so that is the floor.
    m_pSpin->SetInitialSize(wxSize(std::max(55, m_pSpin->GetBestSize().GetWidth()), -1));
    pBottom->Add(m_pSpin, 0, wxALIGN_CENTRE_VERTICAL);
    m_pCountLabel = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, 0, "NoteCount");
    pBottom->Add(m_pCountLabel, 0, wxALIGN_CENTRE_VERTICAL);
    m_pPrevious = new wxBitmapButton(this, ID_PREVIOUS, LoadPaneBitmap("Previous.png", wxART_GO_BACK));
    m_pPrevious->SetToolTip(g_LocEngine.FindTranslation("BUTTON_PREVIOUS_NOTE"));
    pBottom->Add(m_pPrevious, 0, wxALIGN_CENTRE_VERTICAL);
    m_pNext = new wxBitmapButton(this, ID_NEXT, LoadPaneBitmap("Next.png", wxART_GO_FORWARD));
    m_pNext->SetToolTip(g_LocEngine.FindTranslation("BUTTON_NEXT_NOTE"));
    pBottom->Add(m_pNext, 0, wxALIGN_CENTRE_VERTICAL);

    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    pSizer->Add(m_pText, 1, wxEXPAND);
    pSizer->Add(new wxStaticLine(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLI_HORIZONTAL), 0, wxEXPAND);
    pSizer->Add(pBottom, 0, wxEXPAND | wxLEFT | wxRIGHT, 2);
    SetSizer(pSizer);

    ReloadNotes();
}

void VRNotesPage::SetNode(tcNode* pNode)
{
    m_pNode = pNode;
    ReloadNotes();
}

void VRNotesPage::ReloadNotes()
{
    m_bLoading = true;
    m_nCurrentNote = 0;
    m_nNotes = m_pNode && m_pNoteElement ? m_pNode->GetNumChildrenOfElementType(m_pNoteElement->GetID()) : 0;
    UpdateControls();
    ShowCurrentNote();
    Layout();
    Refresh();
    m_bLoading = false;
}

tcNode* VRNotesPage::GetNote(int nIndex) const
{
    if (!m_pNode || !m_pNoteElement)
        return nullptr;
    return m_pNode->GetNthChildOfElementType(m_pNoteElement->GetID(), nIndex);
}

void VRNotesPage::ShowCurrentNote()
{
    // ChangeValue fires no text event: showing a note is no edit of it.
    if (!m_pNode)
    {
        m_pText->ChangeValue(wxString());
        return;
    }
    const int nNotes = m_pNoteElement ? m_pNode->GetNumChildrenOfElementType(m_pNoteElement->GetID()) : 0;
    if (m_nCurrentNote < 0 || m_nCurrentNote > nNotes)
    {
        tAssert(__FILE__, __LINE__, "0");
        return;
    }
    const tcNode* pNote = GetNote(m_nCurrentNote);
    m_pText->ChangeValue(pNote ? GetNoteText(pNote) : wxString());
}

void VRNotesPage::AddNote()
{
    if (!m_pNode || !m_pNoteElement || !m_pDoc)
    {
        tAssert(__FILE__, __LINE__, "m_pNode");
        return;
    }
    tcNode* pNote = AllocateElementByIDHelper(m_pNoteElement->GetID(), m_pDoc);
    if (!pNote)
        return;
    if (!m_pNode->AddChildOrdered(pNote))
    {
        m_pDoc->DeleteTreeFromMem(pNote);
        return;
    }
    m_nNotes = m_pNode->GetNumChildrenOfElementType(m_pNoteElement->GetID());
    m_nCurrentNote = std::max(0, pNote->FindOurIndexOfSameType());
    UpdateControls();
    Layout();
    Refresh();
}

void VRNotesPage::UpdateControls()
{
    const bool bAny = m_nNotes > 0;
    m_pSpin->Enable(bAny);
    m_pCountLabel->Enable(bAny);
    if (bAny)
    {
        m_pSpin->SetRange(1, m_nNotes);
        m_pSpin->SetValue(m_nCurrentNote + 1);
    }
    else
    {
        m_pSpin->SetRange(0, 1);
        m_pSpin->SetValue(0);
    }
    m_pCountLabel->SetLabel(wxString::Format(" %s %d ", g_LocEngine.FindTranslation("OF"), m_nNotes));
    // Without a node there is nowhere to keep a note.
    m_pText->SetEditable(m_pNode != nullptr);
    m_pNew->Enable(m_pNode != nullptr);
}

void VRNotesPage::MoveTo(int nNote)
{
    m_nCurrentNote = nNote;
    m_pSpin->SetValue(m_nCurrentNote + 1);
    ShowCurrentNote();
}

void VRNotesPage::OnNextNote(wxCommandEvent&)
{
    if (m_bLoading || m_nNotes <= 0)
        return;
    MoveTo(m_nCurrentNote + 1 >= m_nNotes ? 0 : m_nCurrentNote + 1);
}

void VRNotesPage::OnPreviousNote(wxCommandEvent&)
{
    if (m_bLoading || m_nNotes <= 0)
        return;
    MoveTo(m_nCurrentNote - 1 < 0 ? m_nNotes - 1 : m_nCurrentNote - 1);
}

void VRNotesPage::OnNoteSpin(wxSpinEvent& event)
{
    if (m_bLoading || m_nNotes <= 0)
        return;
    MoveTo(std::clamp(event.GetPosition() - 1, 0, m_nNotes - 1));
}

void VRNotesPage::OnNewNote(wxCommandEvent&)
{
    if (m_bLoading || !m_pNode)
        return;
    AddNote();
    ShowCurrentNote();
    m_pDoc->SetDirty();
}

void VRNotesPage::OnNoteText(wxCommandEvent&)
{
    if (m_bLoading || !m_pNode || !m_pDoc)
        return;
    if (m_nNotes == 0)
        AddNote();
    tcNode* pNote = GetNote(m_nCurrentNote);
    if (!pNote)
    {
        tAssert(__FILE__, __LINE__, "0");
        return;
    }
    // A note is plain text: what was typed becomes its one text child, escaped by the writers.
    while (pNote->GetNumChildren() > 0)
        m_pDoc->DeleteTreeFromMem(pNote->GetChild(0));
    const wxString sText = m_pText->GetValue();
    if (!sText.empty())
        pNote->AddChildLast(m_pDoc->AllocateTextNode(sText));
    m_pDoc->SetDirty();
}

wxString VRNotesPage::GetNoteText(const tcNode* pNote)
{
    wxString sText;
    if (pNote)
        AppendText(pNote, sText);
    return sText;
}

// clang-format off
wxBEGIN_EVENT_TABLE(VRNotesPage, wxPanel)
    EVT_BUTTON(VRNotesPage::ID_NEXT, VRNotesPage::OnNextNote)
    EVT_BUTTON(VRNotesPage::ID_PREVIOUS, VRNotesPage::OnPreviousNote)
    EVT_BUTTON(VRNotesPage::ID_NEW, VRNotesPage::OnNewNote)
    EVT_SPINCTRL(VRNotesPage::ID_SPIN, VRNotesPage::OnNoteSpin)
    EVT_TEXT(VRNotesPage::ID_TEXT, VRNotesPage::OnNoteText)
wxEND_EVENT_TABLE()
// clang-format on
