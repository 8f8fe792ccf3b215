#include "workspace/VRAttributeSelector.h"

#include "Shared/ErrorBoundary.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <exception>

// clang-format off
wxBEGIN_EVENT_TABLE(VRAttributeSelector, wxChoice)
    EVT_CHOICE(wxID_ANY, VRAttributeSelector::OnChoice)
wxEND_EVENT_TABLE()
    // clang-format on

    VRAttributeSelector::VRAttributeSelector(wxWindow* pParent, wxWindowID nId, tcNode* pNode, tcAttribute* pAttr)
    : wxChoice(pParent, nId), m_pDisplayNode(pNode), m_pAttribute(pAttr)
{
    Refill();
}

void VRAttributeSelector::SetNode(tcNode* pNode, tcAttribute* pAttr)
{
    m_pDisplayNode = pNode;
    m_pAttribute = pAttr;
    Refill();
}

void VRAttributeSelector::Refill()
{
    Freeze();
    Clear();
    // An earlier binding's value must not pass for this node's: the pane reads the previous value of
    // a choice made here.
    m_sCurrentValue.clear();
    if (m_pDisplayNode && m_pAttribute)
    {
        Enable();
        m_sCurrentValue = m_pDisplayNode->GetAttributeDisplayAsString(m_pAttribute);
        if (const tcAttrList* pList = m_pAttribute->GetList())
            for (int i = 0; i < pList->GetNumItems(); ++i)
            {
                const wxString sItem = pList->GetItemText(i);
                Append(sItem);
                if (sItem == m_sCurrentValue && GetSelection() == wxNOT_FOUND)
                    SetSelection(i);
            }
    }
    else
        Disable();
    Thaw();
    // A choice made while it was empty would stay too narrow for its values ("needs-rev..."): it
    // grows to the widest list it has held, and never shrinks, so the row does not jump.
    InvalidateBestSize();
    const int nWidth = GetBestSize().x;
    if (nWidth > GetMinSize().x)
    {
        SetMinSize(wxSize(nWidth, -1));
        if (GetParent())
            GetParent()->Layout();
    }
}

void VRAttributeSelector::SetValue(const wxString& sValue)
{
    // Re-choosing "no selection" would write an empty value over the node's.
    if (!SetStringSelection(sValue) && GetSelection() == wxNOT_FOUND && m_pDisplayNode && m_pAttribute)
        return;
    const int nSelection = GetSelection();
    wxCommandEvent event(wxEVT_CHOICE, GetId());
    InitCommandEventWithItems(event, nSelection);
    event.SetInt(nSelection);
    event.SetString(sValue);
    GetEventHandler()->ProcessEvent(event);
}

void VRAttributeSelector::OnChoice(wxCommandEvent& event)
{
    // Writing the node runs the document's event handlers, which may fail.
    tRunGuarded("VRAttributeSelector::OnChoice", this,
                [&]
                {
                    if (Choose())
                        event.Skip();
                });
}

bool VRAttributeSelector::Choose()
{
    if (!m_pDisplayNode || !m_pAttribute)
    {
        tAssert(__FILE__, __LINE__, "m_pDisplayNode");
        return false;
    }
    const wxString sChosen = GetStringSelection();
    if (!m_pDisplayNode->SetAttributeDisplayByString(m_pAttribute, sChosen, true, ","))
    {
        // The attribute is not one of the node's kind: nothing was written, so nothing is reported.
        tAssert(__FILE__, __LINE__, "SetAttributeDisplayByString");
        return false;
    }
    m_sPreviousValue = m_sCurrentValue;
    m_sCurrentValue = sChosen;
    tcDocument* pDoc = tGetNodeDoc(m_pDisplayNode);
    tNodeModified(pDoc, m_pDisplayNode, true, true);
    if (pDoc)
        pDoc->SetDirty();
    return true;
}
