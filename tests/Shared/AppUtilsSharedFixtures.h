#pragma once

#include "tests/harness/AssertRecorder.h"
#include "varnak/include/VarnakConst.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcNode.h"

#include <string>
#include <utility>
#include <vector>

// Small documents and recorders shared by the tests of the document element routines.

// A relation of a tiny DTD: parent kind, child kind, constraint.
struct TinyRelation
{
    const char* szParent;
    const char* szChild;
    teChildRelationConstraint eConstraint;
};

// A document whose DTD is built from kind names on demand.
class TinyDoc
{
public:
    TinyDoc() { doc.CreateDoc("test"); }
    explicit TinyDoc(const std::vector<TinyRelation>& aRelations) : TinyDoc()
    {
        for (const TinyRelation& r : aRelations)
            AddElementChild(Kind(r.szParent), Kind(r.szChild), r.eConstraint);
    }

    // The kind of that name, declared (class NODE_NODE) when missing.
    tcElement* Kind(const char* szName, int nFlags = 0)
    {
        if (tcElement* pKind = doc.GetDTD()->FindElementByName(szName))
            return pKind;
        return AddElement(&doc, szName, NODE_NODE, -1, nFlags, false);
    }
    tcNode* New(const char* szName) { return doc.AllocateElement(Kind(szName), true, false); }
    // A new node appended under pParent.
    tcNode* Add(tcNode* pParent, const char* szName)
    {
        tcNode* pNode = New(szName);
        pParent->AddChildLast(pNode);
        return pNode;
    }
    tcText* AddText(tcNode* pParent, const char* szText)
    {
        tcText* pText = doc.AllocateTextNode(szText);
        pParent->AddChildLast(pText);
        return pText;
    }

    tcDocument doc;
};

// A document with the library's dictionary DTD, a root and one section.
class DictionaryDoc
{
public:
    DictionaryDoc()
    {
        doc.CreateDoc("dictionary");
        doc.CreateEmptyOvraDTD();
        auto* pRoot = static_cast<tcDictionary*>(doc.AllocateElementByID(ELEMENTID_DICTIONARY));
        doc.SetDictionary(pRoot);
        pSection = pRoot->AddLanguage("Words");
    }

    tcEntry* AddEntry(const char* szLemma)
    {
        auto* pEntry = static_cast<tcEntry*>(doc.AllocateElementByID(ELEMENTID_ENTRY));
        pEntry->SetLemmaSign(szLemma);
        pSection->InsertEntry(pEntry);
        return pEntry;
    }

    tcDocument doc;
    tcLanguage* pSection = nullptr;
};

// The tree below and including pNode: "name(child,child)", texts as 'text'.
inline std::string Dump(const tcNode* pNode)
{
    if (!pNode)
        return "<null>";
    if (pNode->IsClass(NODE_TEXTNODE))
        return "'" + static_cast<const tcText*>(pNode)->GetText().utf8_string() + "'";
    std::string s = pNode->GetElementName().utf8_string();
    if (pNode->GetNumChildren() == 0)
        return s;
    s += "(";
    for (int i = 0; i < pNode->GetNumChildren(); ++i)
        s += (i ? "," : "") + Dump(pNode->GetChild(i));
    return s + ")";
}

// Records the triggers of one event while it lives.
class EventRecorder
{
public:
    explicit EventRecorder(tcEvent& event) : m_event(event) { event.AddHandler(this, &EventRecorder::OnEvent); }
    ~EventRecorder() { m_event.RemoveHandler(this); }
    EventRecorder(const EventRecorder&) = delete;
    EventRecorder& operator=(const EventRecorder&) = delete;

    std::vector<std::pair<void*, void*>> aCalls;

private:
    static void OnEvent(tcEvent*, void* pOwner, void* pArg1, void* pArg2)
    {
        static_cast<EventRecorder*>(pOwner)->aCalls.emplace_back(pArg1, pArg2);
    }

    tcEvent& m_event;
};
