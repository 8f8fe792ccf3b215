#include "workspace/VRTranslationFrame.h"

#include "engine/XLIFFDTD.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"
#include "workspace/SegmentXML.h"
#include "workspace/VRAttributeSelector.h"
#include "workspace/VRSegmentEditor.h"

#include <wx/sizer.h>
#include <wx/statline.h>

// clang-format off
wxBEGIN_EVENT_TABLE(VRTranslationFrame, wxPanel)
    EVT_STC_CHANGE(VRTranslationFrame::ID_EDITOR, VRTranslationFrame::OnTextChanged)
    EVT_CHOICE(VRTranslationFrame::ID_STATE, VRTranslationFrame::OnStateChanged)
    EVT_CHOICE(VRTranslationFrame::ID_STATE_QUALIFIER, VRTranslationFrame::OnStateQualifierChanged)
    EVT_TIMER(VRTranslationFrame::ID_COMMIT_TIMER, VRTranslationFrame::OnCommitTimer)
wxEND_EVENT_TABLE()
    // clang-format on

    VRTranslationFrame::VRTranslationFrame(wxWindow* pParent, const SXLIFFDTD* pDTD, tcDocument* pDoc, CVRMemDoc*)
    : wxPanel(pParent, wxID_ANY), m_pDTD(pDTD), m_CommitTimer(this, ID_COMMIT_TIMER), m_pDoc(pDoc)
{
    m_pEditor =
        new VRSegmentEditor(this, ID_EDITOR, wxString(), false, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE);
    // No segment yet: nothing can be typed until the page shows one. The control's own read-only
    // state keeps the editor's colours, which its read-only look would leave grey behind the text.
    m_pEditor->wxStyledTextCtrl::SetReadOnly(true);
    m_pStateSelector = new VRAttributeSelector(this, ID_STATE);
    m_pStateQualifierSelector = new VRAttributeSelector(this, ID_STATE_QUALIFIER);

    auto* pBottom = new wxBoxSizer(wxHORIZONTAL);
    pBottom->SetMinSize(-1, 28);
    pBottom->Add(m_pStateSelector, 0, wxALIGN_CENTER_VERTICAL);
    pBottom->AddSpacer(5);
    pBottom->Add(m_pStateQualifierSelector, 0, wxALIGN_CENTER_VERTICAL);

    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    pSizer->Add(m_pEditor, 1, wxEXPAND);
    pSizer->Add(new wxStaticLine(this, wxID_ANY), 0, wxEXPAND);
    pSizer->Add(pBottom, 0, wxEXPAND);
    SetSizer(pSizer);
    m_bLoading = false;
}

VRTranslationFrame::~VRTranslationFrame()
{
    // The page has flushed already, and its document may be gone by now: touch nothing else.
    m_CommitTimer.Stop();
}

void VRTranslationFrame::SetNode(tcNode* pSourceNode)
{
    FlushCommit();
    m_CommitTimer.Stop();
    m_bPending = false;

    m_bLoading = true;
    m_sCurrentText.clear();
    m_pSourceNode = m_pDTD && m_pDoc ? pSourceNode : nullptr;
    tcNode* pTarget = nullptr;
    if (m_pSourceNode)
        m_sCurrentText = ::GetTargetXML(*m_pDTD, m_pSourceNode, &pTarget);
    if (pTarget)
    {
        m_sTargetLanguage.clear();
        LearnTargetLanguage(pTarget, 104);
    }
    BindSelectors(pTarget);
    m_pEditor->LoadSegment(m_sCurrentText);
    m_pEditor->wxStyledTextCtrl::SetReadOnly(m_pSourceNode == nullptr);
    m_bLoading = false;
}

void VRTranslationFrame::SetTargetText(const wxString& sText)
{
    if (!m_pSourceNode || m_bCommitting)
        return;
    m_pEditor->ReplaceSegment(sText);
    // The same text as before changes nothing in the editor, yet the caller wants it stored.
    m_bPending = true;
    FlushCommit();
}

void VRTranslationFrame::FlushCommit()
{
    if (m_bCommitting)
        return;
    m_CommitTimer.Stop();
    if (m_bPending)
        Commit();
}

void VRTranslationFrame::SetState(const wxString& sValue)
{
    m_pStateSelector->SetValue(sValue);
    if (m_pDoc && m_pStateSelector->IsEnabled())
        m_pDoc->SetDirty();
}

void VRTranslationFrame::SetStateQualifier(const wxString& sValue)
{
    m_pStateQualifierSelector->SetValue(sValue);
    if (m_pDoc && m_pStateQualifierSelector->IsEnabled())
        m_pDoc->SetDirty();
}

const wxString& VRTranslationFrame::GetState() const
{
    return m_pStateSelector->GetValue();
}

const wxString& VRTranslationFrame::GetPreviousState() const
{
    return m_pStateSelector->GetPreviousValue();
}

wxString VRTranslationFrame::GetTargetXML(const tcNode* pSourceNode, tcNode** ppTarget) const
{
    if (!m_pDTD)
    {
        if (ppTarget)
            *ppTarget = nullptr;
        return wxString();
    }
    return ::GetTargetXML(*m_pDTD, pSourceNode, ppTarget);
}

void VRTranslationFrame::OnTextChanged(wxStyledTextEvent& event)
{
    event.Skip();
    if (m_bLoading || m_bCommitting || !m_pSourceNode)
        return;
    m_bPending = true;
    m_CommitTimer.StartOnce(kCommitDelayMs);
}

void VRTranslationFrame::OnCommitTimer(wxTimerEvent&)
{
    FlushCommit();
}

void VRTranslationFrame::OnStateChanged(wxCommandEvent&)
{
    Notify(NOTIFY_STATE_CHANGED);
}

void VRTranslationFrame::OnStateQualifierChanged(wxCommandEvent&)
{
    Notify(NOTIFY_STATE_QUALIFIER_CHANGED);
}

void VRTranslationFrame::Commit()
{
    m_bPending = false;
    if (!m_pSourceNode)
        return;
    m_bCommitting = true;
    m_sCurrentText = m_pEditor->GetSegmentXML();
    const STargetCommit result = CommitTargetXML(*m_pDTD, m_pDoc, m_pSourceNode, m_sCurrentText);
    if (result.pTarget)
    {
        if (result.bNewTarget)
            BindSelectors(result.pTarget);
        // Show what the document holds when it differs from what was typed (codes put right); the
        // reload is no edit and no undo step, and the caret keeps its place in the typed text.
        const wxString sStored = ::GetTargetXML(*m_pDTD, m_pSourceNode);
        if (sStored != m_sCurrentText)
        {
            m_sCurrentText = sStored;
            m_bLoading = true;
            m_pEditor->ReloadSegment(sStored);
            m_bLoading = false;
        }
        tNodeModified(m_pDoc, result.pTarget, m_pDTD->m_pTargetStateAttr != nullptr, true);
        tNodeModified(m_pDoc, result.pTarget, m_pDTD->m_pTargetStateQualifierAttr != nullptr, true);
        if (m_sTargetLanguage.empty())
            LearnTargetLanguage(result.pTarget, 304);
        Notify(NOTIFY_TARGET_COMMITTED);
    }
    m_bCommitting = false;
}

void VRTranslationFrame::BindSelectors(tcNode* pTarget)
{
    m_pStateSelector->SetNode(pTarget, pTarget ? m_pDTD->m_pTargetStateAttr : nullptr);
    m_pStateQualifierSelector->SetNode(pTarget, pTarget ? m_pDTD->m_pTargetStateQualifierAttr : nullptr);
}

void VRTranslationFrame::LearnTargetLanguage(const tcNode* pTarget, int nAssertLine)
{
    m_sTargetLanguage = pTarget->GetAttributeDeprecatedAsString(m_pDTD->m_pTargetLangAttr);
    if (!m_sTargetLanguage.empty())
        return;
    const tcEntry* pFile = tGetNodeEntry(pTarget);
    if (!pFile)
        tAssert("VRTranslationFrame", nAssertLine, "pFile");
    else
        m_sTargetLanguage = pFile->GetAttributeDeprecatedAsString(m_pDTD->m_pFileTargetLanguageAttr);
    if (m_sTargetLanguage.empty())
        tAssert("VRTranslationFrame", nAssertLine + 4, "0");
}

void VRTranslationFrame::Notify(int nId)
{
    wxCommandEvent event(wxEVT_CHOICE, nId);
    event.SetEventObject(this);
    GetEventHandler()->AddPendingEvent(event);
}
