#pragma once

#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"

#include <string>
#include <vector>

// A document with the minimal dictionary DTD, a root and one section, as importers leave it.
struct DomDoc
{
    tcDocument doc;
    tcDictionary* pRoot = nullptr;
    tcLanguage* pSection = nullptr;

    DomDoc()
    {
        doc.CreateDoc("test");
        doc.CreateEmptyOvraDTD();
        pRoot = static_cast<tcDictionary*>(doc.AllocateElementByID(ELEMENTID_DICTIONARY));
        doc.SetDictionary(pRoot);
        pSection = pRoot->AddLanguage("");
    }

    // The kind of that name, created under pParent when missing.
    tcElement* Kind(const wxString& sName, tcElement* pParent = nullptr)
    {
        return tEnsureElementExists(&doc, sName, pParent, false, CHILD_ZEROORMORE);
    }

    tcNode* Node(const wxString& sKind) { return doc.AllocateElement(Kind(sKind)); }
};

// The children of a node as names: the kind name, "#text" or "#cdata".
inline std::vector<std::string> ChildNames(const tcNode* pNode)
{
    std::vector<std::string> as;
    for (const tcNode* p : pNode->GetChildren())
    {
        if (p->IsClass(NODE_TEXTNODE))
            as.push_back("#text");
        else if (p->IsClass(NODE_CDATA))
            as.push_back("#cdata");
        else
            as.push_back(p->GetElementName().ToStdString());
    }
    return as;
}

// Records the first arguments of every trigger of an event while it lives.
class EventRecorder
{
public:
    explicit EventRecorder(tcEvent& event) : m_Event(event) { m_Event.AddHandler(this, &EventRecorder::OnEvent); }
    ~EventRecorder() { m_Event.RemoveHandler(this); }

    std::vector<void*> aArg1;
    std::vector<void*> aArg2;

private:
    static void OnEvent(tcEvent*, void* pOwner, void* pArg1, void* pArg2)
    {
        static_cast<EventRecorder*>(pOwner)->aArg1.push_back(pArg1);
        static_cast<EventRecorder*>(pOwner)->aArg2.push_back(pArg2);
    }

    tcEvent& m_Event;
};
