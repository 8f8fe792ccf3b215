// Node, entry and restructuring routines of tDocRoutines.h.
#include "varnak/include/tDocRoutines.h"

#include "varnak/include/tDateTime.h"
#include "varnak/include/tGlobals.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"

#include <algorithm>
#include <map>

namespace
{

const tcChildRelation* RelationTo(const tcNode* pParent, const tcElement* pChild)
{
    const tcElement* pKind = pParent ? pParent->GetElement() : nullptr;
    return pKind && pChild ? pKind->FindChildByID(pChild->GetID()) : nullptr;
}

// Every node of the document's tree (root included) of that kind, in document order.
std::vector<tcNode*> NodesOfKind(tcDocument* pDoc, const tcElement* pKind)
{
    std::vector<tcNode*> apNodes;
    tcDictionary* pRoot = pDoc ? pDoc->GetDictionary() : nullptr;
    if (!pRoot || !pKind)
        return apNodes;
    if (pRoot->GetElement() == pKind)
        apNodes.push_back(pRoot);
    pRoot->FindDescendantsOfElementType(pKind->GetID(), apNodes);
    return apNodes;
}

void MarkChanged(tcDocument* pDoc, int nChanged)
{
    if (pDoc && nChanged > 0)
        pDoc->SetDirty();
}

// Values of pSource's attributes go to pTarget's attributes of the same name.
int CopyValuesByName(tcNode* pTarget, const tcNode* pSource, bool bOverwrite)
{
    int nCopied = 0;
    for (int i = 0; i < pSource->GetNumAttributes(); ++i)
    {
        const tcAttribute* pFrom = pSource->GetAttributeDescriptor(i);
        if (!pSource->HasAttributeValue(pFrom))
            continue;
        const tcAttribute* pTo = pTarget->GetElement()->FindAttributeByName(pFrom->GetName());
        if (!pTo || (!bOverwrite && pTarget->HasAttributeValue(pTo)))
            continue;
        pTarget->SetAttributeS(pTo, pSource->GetAttributeS(pFrom));
        ++nCopied;
    }
    return nCopied;
}

} // namespace

// ----- Stamps ---------------------------------------------------------------------------------------

void tSetChangedTimestampAttr(tcNode* pNode, const tcAttribute* pAttr)
{
    if (pNode && !g_bAdminNoUpdateTimestamps)
        pNode->SetAttributeS(pAttr, tDateTimeToStr(wxDateTime::Now()));
}

void tSetChangedTimestamp(tcNode* pNode)
{
    tcEntry* pEntry = tGetNodeEntry(pNode);
    for (int i = 0; pEntry && i < pEntry->GetNumAttributes(); ++i)
        if (pEntry->GetAttributeDescriptor(i)->GetDefaultType() == ATTRDEF_DATECHANGED)
            tSetChangedTimestampAttr(pEntry, pEntry->GetAttributeDescriptor(i));
}

wxString tGetChangedTimestampAttr(const tcNode* pNode, const tcAttribute* pAttr)
{
    return pNode ? pNode->GetAttributeS(pAttr) : wxString();
}

wxString tGetChangedTimestamp(const tcNode* pNode)
{
    const tcEntry* pEntry = tGetNodeEntry(pNode);
    for (int i = 0; pEntry && i < pEntry->GetNumAttributes(); ++i)
        if (pEntry->GetAttributeDescriptor(i)->GetDefaultType() == ATTRDEF_DATECHANGED)
            return pEntry->GetAttributeSByIndex(i);
    return wxString();
}

// ----- Queries --------------------------------------------------------------------------------------

bool tIsEntryNode(const tcNode* pNode)
{
    return pNode && pNode->IsKindOfClass(NODE_ENTRY);
}

bool tIsInlineNode(const tcNode* pNode)
{
    const tcNode* pParent = pNode ? pNode->GetParent() : nullptr;
    return pParent && pNode->IsElementNode() && pParent->GetElement() && pParent->GetElement()->AllowsPCDATA();
}

bool tAttributeHasValue(const tcNode* pNode, const tcAttribute* pAttr)
{
    return pNode && !pNode->GetAttributeS(pAttr).empty();
}

bool tElementIsEmpty(const tcNode* pNode)
{
    return NodeIsEmpty(pNode) && (!pNode || pNode->GetNumChildren() == 0);
}

int GetSenseNumber(const tcNode* pNode)
{
    return pNode ? pNode->FindOurIndexOfSameType() + 1 : 0;
}

bool tDeleteAttribute(tcNode* pNode, const tcAttribute* pAttr)
{
    if (!pNode || !pNode->ResetAttributeValue(pAttr))
        return false;
    tNodeModified(nullptr, pNode, true, true);
    return true;
}

int tMergeAttributes(tcNode* pTarget, const tcNode* pSource, bool bOverwrite)
{
    if (!pTarget || !pSource || !pTarget->GetElement())
        return 0;
    return CopyValuesByName(pTarget, pSource, bOverwrite);
}

bool tMayAddMoreChildren(const tcNode* pParent, const tcElement* pChild)
{
    const tcChildRelation* pRelation = RelationTo(pParent, pChild);
    if (!pRelation)
        return false;
    const bool bSingle = pRelation->eConstraint == CHILD_ONE || pRelation->eConstraint == CHILD_ZEROORONE;
    return !bSingle || !pParent->HaveChildrenOfElementType(pChild->GetID());
}

bool tMayNotDelete(const tcNode* pNode)
{
    if (!pNode)
        return false;
    const tcNode* pParent = pNode->GetParent();
    if (!pParent)
        return pNode->GetDoc() && pNode->GetDoc()->GetDictionary() == pNode;
    const tcChildRelation* pRelation = RelationTo(pParent, pNode->GetElement());
    if (!pRelation || (pRelation->eConstraint != CHILD_ONE && pRelation->eConstraint != CHILD_ONEORMORE))
        return false;
    return pParent->GetNumChildrenOfElementType(pNode->GetElementTypeID()) <= 1;
}

// ----- References -----------------------------------------------------------------------------------

tcReferences* NodeAddReference(tcDocument* pDoc, tcNode* pNode, tcEntry* pTarget, int idType)
{
    if (!pNode || !pTarget)
        return nullptr;
    if (!pDoc)
        pDoc = pNode->GetDoc();
    tcNode* pRefs = pNode->GetNthChildOfClassType(NODE_REFERENCES, 0);
    if (!pRefs)
    {
        pRefs = pDoc ? pDoc->AllocateElementByID(ELEMENTID_REFERENCES) : nullptr;
        if (!pRefs || !pRefs->IsClass(NODE_REFERENCES) || !pNode->AddChildOrdered(pRefs))
            return nullptr; // an unattached node stays with the document, which frees it
    }
    auto* pReferences = static_cast<tcReferences*>(pRefs);
    pReferences->AddRefEntry(pTarget, idType);
    return pReferences;
}

int tEntryFindReferred(const tcEntry* pEntry, std::vector<tcEntry*>& apOut)
{
    if (!pEntry)
        return 0;
    std::vector<tcNode*> apRefs;
    if (pEntry->IsClass(NODE_REFERENCES))
        apRefs.push_back(const_cast<tcEntry*>(pEntry));
    pEntry->FindDescendantsOfClassType(NODE_REFERENCES, apRefs);
    int nFound = 0;
    for (const tcNode* pRefs : apRefs)
    {
        const auto* pReferences = static_cast<const tcReferences*>(pRefs);
        for (int i = 0; i < pReferences->GetNumRefEntries(); ++i)
        {
            tcEntry* pTarget = pReferences->GetRefEntry(i);
            if (pTarget && std::find(apOut.begin(), apOut.end(), pTarget) == apOut.end())
            {
                apOut.push_back(pTarget);
                ++nFound;
            }
        }
    }
    return nFound;
}

// ----- Entries --------------------------------------------------------------------------------------

int tGetRecalculatedHomNum(const tcEntry* pEntry)
{
    const tcLanguage* pSection = tGetNodeSection(pEntry);
    if (!pSection)
        return 0;
    std::vector<tcEntry*> apSame;
    pSection->FindEntries(pEntry->GetLemmaSign(), apSame, true);
    if (apSame.size() < 2)
        return 0;
    return static_cast<int>(std::find(apSame.begin(), apSame.end(), pEntry) - apSame.begin()) + 1;
}

int tFixLangHomonymNumbers(tcLanguage* pSection)
{
    if (!pSection)
        return 0;
    std::vector<tcEntry*> apChanged;
    const int nChanged = pSection->FixHomonymNumbers(apChanged);
    for (tcEntry* pEntry : apChanged)
        Evt_LemmaHomNumChanged.Trigger(nullptr, pEntry);
    return nChanged;
}

int FindEntryInsertPosition(const tcLanguage* pSection, const tcEntry* pEntry)
{
    if (!pSection || !pEntry)
        return -1;
    int nIndex = 0;
    for (; nIndex < pSection->GetNumEntries(); ++nIndex)
        if (pSection->CmpLemmaSignsAndHomNumInsert(pEntry, pSection->GetEntry(nIndex)) < 0)
            break;
    return nIndex;
}

void tEntryHasChanged(tcEntry* pEntry)
{
    if (!pEntry)
        return;
    pEntry->SetChanged(true);
    if (pEntry->GetDoc())
        pEntry->GetDoc()->SetDirty();
    Evt_EntryChanged.Trigger(nullptr, pEntry);
}

bool tDeleteEntry(tcDocument* pDoc, tcEntry* pEntry)
{
    if (!pDoc || !pEntry || pEntry->GetDoc() != pDoc)
        return false;
    Evt_EntryPreDelete.Trigger(pDoc, pEntry);
    return pDoc->DeleteTreeFromDoc(pEntry);
}

int tCombineHomonyms(tcDocument* pDoc, tcLanguage* pSection)
{
    if (!pDoc || !pSection || pSection->GetDoc() != pDoc)
        return 0;
    std::map<wxString, tcEntry*> mapFirst;
    std::vector<tcEntry*> apLater;
    for (int i = 0; i < pSection->GetNumEntries(); ++i)
    {
        tcEntry* pEntry = pSection->GetEntry(i);
        auto [it, bNew] = mapFirst.emplace(pEntry->GetLemmaSign(), pEntry);
        if (!bNew)
            apLater.push_back(pEntry);
    }
    for (tcEntry* pEntry : apLater)
    {
        tcEntry* pFirst = mapFirst[pEntry->GetLemmaSign()];
        while (pEntry->GetNumChildren() > 0 && pFirst->AddChildLast(pEntry->GetChild(0)))
        {
        }
        pDoc->DeleteTreeFromDoc(pEntry);
    }
    return static_cast<int>(apLater.size());
}

tcElement* tCurrentElement()
{
    return gCurrentNode ? gCurrentNode->GetElement() : nullptr;
}

// ----- Restructuring --------------------------------------------------------------------------------

int tInsertParentBetweenEach(tcDocument* pDoc, tcElement* pParentKind, tcElement* pChildKind, tcElement* pNewKind)
{
    if (!pDoc || !pChildKind || !pNewKind || pNewKind->GetDTD() != pDoc->GetDTD())
        return 0;
    int nChanged = 0;
    for (tcNode* pParent : NodesOfKind(pDoc, pParentKind))
    {
        std::vector<tcNode*> apChildren;
        for (tcNode* pChild : pParent->GetChildren())
            if (pChild->GetElement() == pChildKind)
                apChildren.push_back(pChild);
        for (tcNode* pChild : apChildren)
        {
            tcNode* pWrapper = pDoc->AllocateElement(pNewKind);
            pParent->ReplaceChild(pChild, pWrapper);
            pWrapper->AddChildLast(pChild);
            ++nChanged;
        }
    }
    MarkChanged(pDoc, nChanged);
    return nChanged;
}

int tInsertParentBetweenAll(tcNode* pParent, tcElement* pChildKind, tcElement* pNewKind)
{
    tcDocument* pDoc = pParent ? pParent->GetDoc() : nullptr;
    if (!pDoc || !pChildKind || !pNewKind || pNewKind->GetDTD() != pDoc->GetDTD())
        return 0;
    std::vector<tcNode*> apChildren;
    for (tcNode* pChild : pParent->GetChildren())
        if (pChild->GetElement() == pChildKind)
            apChildren.push_back(pChild);
    if (apChildren.empty())
        return 0;
    tcNode* pWrapper = pDoc->AllocateElement(pNewKind);
    pParent->ReplaceChild(apChildren.front(), pWrapper);
    for (tcNode* pChild : apChildren)
        pWrapper->AddChildLast(pChild);
    MarkChanged(pDoc, 1);
    return 1;
}

int tInsertParentBetweenAll(tcDocument* pDoc, tcElement* pParentKind, tcElement* pChildKind, tcElement* pNewKind)
{
    int nChanged = 0;
    for (tcNode* pParent : NodesOfKind(pDoc, pParentKind))
        nChanged += tInsertParentBetweenAll(pParent, pChildKind, pNewKind);
    return nChanged;
}

int tMoveAllToGrandparent(tcDocument* pDoc, tcElement* pKind)
{
    int nChanged = 0;
    for (tcNode* pNode : NodesOfKind(pDoc, pKind))
    {
        tcNode* pParent = pNode->GetParent();
        tcNode* pGrandparent = pParent ? pParent->GetParent() : nullptr;
        if (pGrandparent && pNode->MoveNode(pGrandparent, pParent->FindOurIndex() + 1))
            ++nChanged;
    }
    MarkChanged(pDoc, nChanged);
    return nChanged;
}

bool tPullRug(tcNode* pNode)
{
    tcNode* pParent = pNode ? pNode->GetParent() : nullptr;
    tcDocument* pDoc = pNode ? pNode->GetDoc() : nullptr;
    if (!pParent || !pDoc)
        return false;
    int nIndex = pNode->FindOurIndex();
    while (pNode->GetNumChildren() > 0 && pParent->InsertChild(pNode->GetChild(0), ++nIndex))
    {
    }
    pDoc->DeleteTreeFromDoc(pNode);
    return true;
}

int tPullRugAllOfElementType(tcDocument* pDoc, tcElement* pKind)
{
    int nChanged = 0;
    for (tcNode* pNode : NodesOfKind(pDoc, pKind))
        nChanged += tPullRug(pNode) ? 1 : 0;
    return nChanged;
}

bool tSortElementsByAttribute(tcNode* pParent, tcElement* pKind, const tcAttribute* pAttr, bool bAscending)
{
    if (!pParent || !pKind)
        return false;
    std::vector<int> anPlaces;
    std::vector<tcNode*> apNodes;
    for (int i = 0; i < pParent->GetNumChildren(); ++i)
        if (pParent->GetChild(i)->GetElement() == pKind)
        {
            anPlaces.push_back(i);
            apNodes.push_back(pParent->GetChild(i));
        }
    std::vector<tcNode*> apSorted = apNodes;
    std::stable_sort(apSorted.begin(), apSorted.end(),
                     [pAttr, bAscending](const tcNode* a, const tcNode* b)
                     {
                         const int n = teStrcmp(a->GetAttributeS(pAttr), b->GetAttributeS(pAttr));
                         return bAscending ? n < 0 : n > 0;
                     });
    if (apSorted == apNodes)
        return false;
    // Out with all of them, then each sorted node back into the next of the places they held: the
    // other children keep their places.
    for (tcNode* pNode : apNodes)
        pParent->RemoveChild(pNode);
    for (size_t i = 0; i < apSorted.size(); ++i)
        pParent->InsertChild(apSorted[i], anPlaces[i]);
    MarkChanged(pParent->GetDoc(), 1);
    return true;
}

tcNode* tReplaceElementInPlace(tcDocument* pDoc, tcNode* pNode, tcElement* pNewKind)
{
    tcNode* pParent = pNode ? pNode->GetParent() : nullptr;
    if (!pDoc || !pParent || !pNewKind || pNode->GetDoc() != pDoc || pNewKind->GetDTD() != pDoc->GetDTD())
        return nullptr;
    tcNode* pNew = pDoc->AllocateElement(pNewKind);
    if (!pNew)
        return nullptr;
    CopyValuesByName(pNew, pNode, true);
    while (pNode->GetNumChildren() > 0 && pNew->AddChildLast(pNode->GetChild(0)))
    {
    }
    pParent->ReplaceChild(pNode, pNew);
    pDoc->DeleteTreeFromDoc(pNode);
    return pNew;
}
