#include "Shared/AppUtils_shared.h"

#include "varnak/include/VarnakConst.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tObjectLife.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcNode.h"

#include <algorithm>

tcDocument* g_pDoc = nullptr;

namespace
{
// g_pDoc becomes null when its document is destroyed.
void ForgetCurrentDocument(const void* p)
{
    if (g_pDoc == p)
        g_pDoc = nullptr;
}
const bool g_bForgetsCurrentDocument = tAddDestroyedListener(ForgetCurrentDocument);
} // namespace

namespace
{
// ----- Required children ----------------------------------------------------------------------------

// State of one AutoAddRequiredChild(ren) call: the kinds added so far stay on the list for the whole
// call, which is what ends self-requiring content models.
struct RequiredChildrenRun
{
    bool bMarkChanged;
    std::vector<const tcElement*> apAdded;
};

bool IsRequired(const tcChildRelation* pRelation)
{
    return pRelation && pRelation->pElement &&
           (pRelation->eConstraint == CHILD_ONE || pRelation->eConstraint == CHILD_ONEORMORE);
}

void ReportAddition(tcDocument* pDoc, tcNode* pParent)
{
    tNodeModified(pDoc, pParent, true, true);
    tcEntry* pEntry = tGetNodeEntry(pParent);
    if (!pEntry)
        return;
    pEntry->SetChanged(true, true);
    Evt_EntryChanged.Trigger(nullptr, pEntry);
}

void AddAllRequired(tcNode* pNode, RequiredChildrenRun& run);

void AddRequired(tcNode* pNode, const tcChildRelation* pRelation, RequiredChildrenRun& run)
{
    if (!IsRequired(pRelation))
        return;
    tcElement* pKind = pRelation->pElement;
    if (std::find(run.apAdded.begin(), run.apAdded.end(), pKind) != run.apAdded.end())
        return;
    if (pNode->GetNumChildrenOfElementType(pKind->GetID()) > 0)
        return;
    // The node's own document: the one the kind belongs to, whatever the current document is.
    tcDocument* pDoc = pNode->GetDoc();
    if (!pDoc)
        return;
    tcNode* pChild = pDoc->AllocateElement(pKind, true, false);
    if (!pChild)
        return;
    if (!pNode->AddChildOrdered(pChild))
    {
        pDoc->DeleteTreeFromMem(pChild);
        return;
    }
    run.apAdded.push_back(pKind);
    if (run.bMarkChanged)
        ReportAddition(pDoc, pNode);
    AddAllRequired(pChild, run);
}

void AddAllRequired(tcNode* pNode, RequiredChildrenRun& run)
{
    const tcElement* pElement = pNode->GetElement();
    if (!pElement)
        return;
    for (int i = 0; i < pElement->GetNumChildren(); ++i)
        AddRequired(pNode, pElement->GetChildElement(i), run);
}

// ----- Node replacement -----------------------------------------------------------------------------

void CopyAttributeValues(const tcNode* pSource, tcNode* pTarget)
{
    const tcElement* pFrom = pSource->GetElement();
    const tcElement* pTo = pTarget->GetElement();
    std::vector<const tcAttribute*> apTaken;
    std::vector<const tcAttribute*> apUnmatched;
    for (int i = 0; i < pFrom->GetNumAttributes(); ++i)
    {
        const tcAttribute* pAttr = pFrom->GetAttribute(i);
        const tcAttribute* pSame = pTo->FindAttributeByName(pAttr->GetName());
        if (!pSame)
        {
            apUnmatched.push_back(pAttr);
            continue;
        }
        const wxString sValue = pSource->GetAttributeRawAsString(pAttr, ",");
        if (!sValue.empty())
            pTarget->SetAttributeRawByString(pSame, sValue, false, ",");
        apTaken.push_back(pSame);
    }

    size_t nNext = 0;
    for (int i = 0; i < pTo->GetNumAttributes() && nNext < apUnmatched.size(); ++i)
    {
        const tcAttribute* pFree = pTo->GetAttribute(i);
        if (std::find(apTaken.begin(), apTaken.end(), pFree) != apTaken.end())
            continue;
        const wxString sValue = pSource->GetAttributeRawAsString(apUnmatched[nNext++], ",");
        if (!sValue.empty())
            pTarget->SetAttributeRawByString(pFree, sValue, false, ",");
    }
}

bool IsReferencesNode(const tcNode* pNode)
{
    return pNode->IsKindOfClass(NODE_REFERENCES);
}

// The references nodes at or below pNode, in document order.
std::vector<tcNode*> ReferencesNodesOf(tcNode* pNode)
{
    std::vector<tcNode*> apNodes;
    if (IsReferencesNode(pNode))
        apNodes.push_back(pNode);
    pNode->FindDescendantsOfClassKind(NODE_REFERENCES, apNodes);
    return apNodes;
}

template <typename T> void AppendOnce(std::vector<T*>& ap, T* p)
{
    if (p && std::find(ap.begin(), ap.end(), p) == ap.end())
        ap.push_back(p);
}

void CollectReferenced(tcNode* pNode, std::vector<tcEntry*>& apReferenced, std::set<tcNode*>* pSenses)
{
    for (tcNode* pRefsNode : ReferencesNodesOf(pNode))
    {
        const auto* pRefs = static_cast<const tcReferences*>(pRefsNode);
        for (int i = 0; i < pRefs->GetNumRefEntries(); ++i)
        {
            tcEntry* pEntry = pRefs->GetRefEntry(i);
            if (!pEntry)
                continue; // the referenced entry no longer exists
            AppendOnce(apReferenced, pEntry);
            if (!pSenses)
                continue;
            for (int n = 0; n < pRefs->GetNumRefSenses(i); ++n)
            {
                tcNode* pSense = pRefs->GetRefSense(i, n);
                if (pSense && pSense != pEntry)
                    pSenses->insert(pSense);
            }
        }
    }
}

// ----- Fan-outs -------------------------------------------------------------------------------------

// Display texts of pAttr on every descendant of pEntry of pElement's kind.
std::vector<wxString> FieldValues(const tcEntry* pEntry, const tcElement* pElement, const tcAttribute* pAttr)
{
    std::vector<tcNode*> apNodes;
    pEntry->FindDescendantsOfElementType(pElement->GetID(), apNodes);
    std::vector<wxString> asValues;
    asValues.reserve(apNodes.size());
    for (const tcNode* pNode : apNodes)
        asValues.push_back(pNode->GetAttributeDisplayAsString(pAttr));
    return asValues;
}

// How many pairs (a, b), a a non-empty text of asOwn and b one of asOther, are equal.
int CountEqualPairs(const std::vector<wxString>& asOwn, const std::vector<wxString>& asOther)
{
    int nPairs = 0;
    for (const wxString& sOwn : asOwn)
    {
        if (sOwn.empty())
            continue;
        nPairs += static_cast<int>(std::count(asOther.begin(), asOther.end(), sOwn));
    }
    return nPairs;
}

// Loads pEntry through pIO when one is given. False when the load reported an error; bLoaded tells
// whether the entry is there to be compared.
bool LoadForComparison(tcIO* pIO, tcEntry* pEntry, bool& bLoaded)
{
    bLoaded = true;
    if (!pIO)
        return true;
    bool bError = false;
    bLoaded = pIO->LoadEntry(pEntry, bError, true);
    return !bError;
}

// Walks the other entries of pSection, compares fnValues of each with asOwn and appends matches.
template <typename ValuesFn>
bool AppendFanouts(tcIO* pIO, tcLanguage* pSection, const tcEntry* pEntry, const std::vector<wxString>& asOwn,
                   ValuesFn fnValues, std::vector<tcEntry*>& apOut)
{
    for (int i = 0; i < pSection->GetNumEntries(); ++i)
    {
        tcEntry* pOther = pSection->GetEntry(i);
        if (pOther == pEntry)
            continue;
        bool bLoaded = false;
        if (!LoadForComparison(pIO, pOther, bLoaded))
            return false;
        if (!bLoaded)
            continue;
        const int nPairs = CountEqualPairs(asOwn, fnValues(pOther));
        apOut.insert(apOut.end(), static_cast<size_t>(nPairs), pOther);
    }
    return true;
}

bool FindTermFanouts(tcDocument* pDoc, tcIO* pIO, tcEntry* pEntry, tcLanguage* pSection, std::vector<tcEntry*>& apOut)
{
    tcDebugInfo debugScope("FindFanouts_Quorvel");
    const tcSpecialType* pTerms = pDoc->FindSpecial(SPECIAL_TERM_TERM);
    if (!pTerms)
        return false;
    for (const tcAttributeDesc& desc : pTerms->aDesc)
    {
        const tcElement* pElement = pDoc->GetDTD()->GetElementByID(desc.nElementID);
        const tcAttribute* pAttr = pElement ? pElement->FindAttributeByID(desc.nAttributeID) : nullptr;
        if (!pAttr)
            continue;
        const std::vector<wxString> asOwn = FieldValues(pEntry, pElement, pAttr);
        auto fnValues = [pElement, pAttr](const tcEntry* pOther) { return FieldValues(pOther, pElement, pAttr); };
        if (!AppendFanouts(pIO, pSection, pEntry, asOwn, fnValues, apOut))
            return false;
    }
    return true;
}

bool FindTEFanouts(tcDocument* pDoc, tcIO* pIO, tcEntry* pEntry, tcLanguage* pSection, std::vector<tcEntry*>& apOut)
{
    tcDebugInfo debugScope("FindFanouts_Ovra");
    std::vector<wxString> asOwn;
    FindAllTEs(pDoc, pSection, pEntry, asOwn);
    auto fnValues = [pDoc, pSection](tcEntry* pOther)
    {
        std::vector<wxString> asValues;
        FindAllTEs(pDoc, pSection, pOther, asValues);
        return asValues;
    };
    return AppendFanouts(pIO, pSection, pEntry, asOwn, fnValues, apOut);
}
} // namespace

// ----- Element allocation ---------------------------------------------------------------------------

tcNode* AllocateElementByIDHelper(int nElementID, tcDocument* pDoc)
{
    if (!pDoc)
        return nullptr;
    tcNode* pNode = pDoc->AllocateElementByID(nElementID, true, false);
    AutoAddRequiredChildren(pNode, false);
    return pNode;
}

tcNode* AllocateElementHelper(tcElement* pElement, tcDocument* pDoc)
{
    if (!pDoc)
        return nullptr;
    tcNode* pNode = pDoc->AllocateElement(pElement, true, false);
    AutoAddRequiredChildren(pNode, false);
    return pNode;
}

void AutoAddRequiredChildren(tcNode* pNode, bool bMarkChanged)
{
    if (!pNode)
        return;
    RequiredChildrenRun run{bMarkChanged, {}};
    AddAllRequired(pNode, run);
}

void AutoAddRequiredChild(tcNode* pNode, tcElement* pChildElement, bool bMarkChanged)
{
    if (!pNode || !pChildElement || !pNode->GetElement())
        return;
    RequiredChildrenRun run{bMarkChanged, {}};
    AddRequired(pNode, pNode->GetElement()->GetChildByID(pChildElement->GetID()), run);
}

// ----- Node editing ---------------------------------------------------------------------------------

tcNode* tDoReplaceNode(tcDocument* pDoc, tcNode* pNode, tcElement* pNewElement)
{
    if (!pDoc || !pNode || !pNewElement)
        return nullptr;
    tcNode* pParent = pNode->GetParent();
    // Without a parent there is no place to put the new element, and a node of another document
    // could not be deleted afterwards: both would leave two nodes where one was.
    if (!pParent || !pNode->GetElement() || pNode->GetDoc() != pDoc)
        return nullptr;
    tcNode* pNew = pDoc->AllocateElement(pNewElement, true, false);
    if (!pNew)
        return nullptr;

    const bool bPlaced = (pParent->GetElement() && pParent->GetElement()->AllowsPCDATA())
                             ? pParent->InsertChild(pNew, pNode->FindOurIndex())
                             : pParent->AddChildOrdered(pNew);
    if (!bPlaced)
    {
        pDoc->DeleteTreeFromMem(pNew);
        return nullptr;
    }

    CopyAttributeValues(pNode, pNew);

    // Mixed content keeps its order: sorting text and inline elements by kind would scramble it.
    const bool bKeepOrder = pNewElement->AllowsPCDATA();
    while (pNode->GetNumChildren() > 0)
    {
        tcNode* pChild = pNode->GetChild(0);
        if (!(bKeepOrder ? pNew->AddChildLast(pChild) : pNew->AddChildOrdered(pChild)))
            pNew->AddChildLast(pChild);
        if (pChild->GetParent() != pNew)
            break; // cannot happen for a fresh element; never loop forever
    }

    pDoc->SetDirty();
    tcLanguage* pSection = tGetNodeSection(pNode);
    if (pSection && (IsSenseNode(pNode, pSection) || IsReferencesNode(pNode) || !ReferencesNodesOf(pNew).empty()))
        pSection->m_bRebuildRefCache = true;

    pDoc->DeleteTreeFromDoc(pNode);
    return pNew;
}

void tPruneEmptyNodeBranches(tcDocument* pDoc, tcNode* pNode)
{
    if (!pDoc || !pNode)
        return;
    for (int i = pNode->GetNumChildren() - 1; i >= 0; --i)
        tPruneEmptyNodeBranches(pDoc, pNode->GetChild(i));
    if (!NodeIsEmpty(pNode))
        return;
    if (tSoftAssert(pNode->GetNumChildren() == 0, __FILE__, __LINE__, "pNode->GetNumChildren()==0"))
        return;
    pDoc->DeleteTreeFromDoc(pNode);
}

void Helper_OnInsertNewLemma(tcEntry* pEntry, bool bSetDirty)
{
    if (!pEntry)
        return;
    // The entry's own document is the one that changed; the current document of scripts may be
    // another one or none.
    tcDocument* pDoc = pEntry->GetDoc();
    if (bSetDirty && pDoc)
        pDoc->SetDirty();
    std::vector<tcEntry*> apChanged;
    if (tcLanguage* pSection = tGetNodeSection(pEntry))
        pSection->FixHomonymNumbers(apChanged);
    Evt_LemmaInserted.Trigger(nullptr, pEntry);
    for (tcEntry* pChanged : apChanged)
        Evt_LemmaHomNumChanged.Trigger(nullptr, pChanged);
}

// ----- Queries --------------------------------------------------------------------------------------

bool tIsHeadword(const tcNode* pNode, const tcAttribute* pAttr)
{
    return pNode && pAttr && pNode->IsClass(NODE_ENTRY) && pAttr->GetID() == 1;
}

int GetIOFlags(const tcIO* pIO)
{
    if (!pIO)
        return 0;
    return g_pIORegistry->GetIOFlags(pIO->GetDatasourceType());
}

void FindAllTEs(tcDocument* pDoc, tcLanguage* pSection, tcEntry* pEntry, std::vector<wxString>& asOut)
{
    if (!pDoc || !pSection || !pEntry)
        return;
    for (const tcAttributeDesc& desc : pSection->m_aTEDesc)
    {
        tcElement* pElement = pDoc->GetDTD()->GetElementByID(desc.nElementID);
        if (!pElement)
            continue;
        if (desc.nAttributeID != 0)
        {
            if (const tcAttribute* pAttr = CheckAttributeExists(pElement, desc.nAttributeID, ATTR_CDATA))
            {
                const std::vector<wxString> asValues = FieldValues(pEntry, pElement, pAttr);
                asOut.insert(asOut.end(), asValues.begin(), asValues.end());
            }
        }
        else if (pElement->AllowsPCDATA())
        {
            std::vector<tcNode*> apNodes;
            pEntry->FindDescendantsOfElementType(pElement->GetID(), apNodes);
            for (const tcNode* pNode : apNodes)
                asOut.push_back(tQuery(pNode, "text()"));
        }
    }
}

bool FindFanouts(tcDocument* pDoc, tcIO* pIO, tcEntry* pEntry, std::vector<tcEntry*>& apOut)
{
    if (!pDoc || !pEntry)
        return false;
    tcLanguage* pSection = tGetNodeSection(pEntry);
    if (!pSection)
        return false;
    // The entry's own values must be there before they are compared.
    bool bLoaded = false;
    if (!LoadForComparison(pIO, pEntry, bLoaded) || !bLoaded)
        return false;
    if (tIsTermDocument(pDoc))
        return FindTermFanouts(pDoc, pIO, pEntry, pSection, apOut);
    return FindTEFanouts(pDoc, pIO, pEntry, pSection, apOut);
}

void tGetRelatedReferences(tcEntry* pEntry, std::vector<tcEntry*>& apReferenced, std::vector<tcEntry*>& apReferring,
                           std::set<tcNode*>* pSenses, std::set<tcNode*>* pReferrers)
{
    apReferenced.clear();
    apReferring.clear();
    if (!pEntry)
        return;
    CollectReferenced(pEntry, apReferenced, pSenses);

    std::vector<tcNode*> apReferrers;
    LemmaFindReferrers(pEntry, apReferrers);
    for (tcNode* pReferrer : apReferrers)
    {
        if (pReferrers)
            pReferrers->insert(pReferrer);
        AppendOnce(apReferring, tGetNodeEntry(pReferrer));
    }
}

void tGetRelatedReferencesOutgoing(tcNode* pNode, std::vector<tcEntry*>& apReferenced)
{
    apReferenced.clear();
    if (pNode)
        CollectReferenced(pNode, apReferenced, nullptr);
}
