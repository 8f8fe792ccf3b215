#pragma once

#include <wx/choice.h>

class tcAttribute;
class tcNode;

// A drop-down bound to one list attribute of one document node: it offers the attribute's list
// values and shows the node's value. Choosing an item writes it into the node at once, reports the
// node as modified (tNodeModified: the entry's change stamp, Evt_NodeModified), marks the document
// changed and lets the wxEVT_CHOICE event travel on to the parent with the selector's identifier.
//
// The node and attribute are not owned; the caller rebinds the selector (SetNode) before the node
// is deleted. Unbound (no node or no attribute) the selector is empty and disabled. Main thread
// only.
class VRAttributeSelector : public wxChoice
{
public:
    // pNode and pAttr may be null.
    VRAttributeSelector(wxWindow* pParent, wxWindowID nId, tcNode* pNode = nullptr, tcAttribute* pAttr = nullptr);

    // Binds the selector to another node and attribute (either may be null) and refills it.
    void SetNode(tcNode* pNode, tcAttribute* pAttr);
    // Lists the attribute's values again and shows the node's value. The current value becomes the
    // node's value, empty when the node has none, so it never carries over from an earlier binding;
    // no item is selected when the value is not in the list.
    void Refill();

    // Chooses the item with the text sValue as if the user had chosen it: the node is written and the
    // choice event reaches the parent before this returns. An unknown text leaves the selection as it
    // was and the item still selected is chosen again; with none selected nothing happens at all. On
    // an unbound selector the choice is refused with the assertion "m_pDisplayNode".
    void SetValue(const wxString& sValue);

    // The value now shown or last chosen.
    const wxString& GetValue() const { return m_sCurrentValue; }
    // The value before the last choice; a refill leaves it alone.
    const wxString& GetPreviousValue() const { return m_sPreviousValue; }

private:
    void OnChoice(wxCommandEvent& event);
    // The choice's own steps; false when it was refused and the event must stop here.
    bool Choose();

    wxString m_sPreviousValue;
    wxString m_sCurrentValue;
    tcNode* m_pDisplayNode = nullptr;
    tcAttribute* m_pAttribute = nullptr;

    wxDECLARE_EVENT_TABLE();
};
