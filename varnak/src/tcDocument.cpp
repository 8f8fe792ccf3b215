#include "varnak/include/tcDocument.h"
#include "varnak/include/tObjectLife.h"

#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcProperties.h"

#include <algorithm>
#include <unordered_set>

// ----- tcDocumentBase ---------------------------------------------------------------------------------

tcDocumentBase::tcDocumentBase() : m_pIDAssigner(std::make_unique<tcIDAssigner>()) {}

tcDocumentBase::~tcDocumentBase() = default;

void tcDocumentBase::RecreateDefaultIDAssigner()
{
    m_pIDAssigner = std::make_unique<tcIDAssigner>(GetHighestNodeID() + 1);
}

// ----- tcDocument: life -------------------------------------------------------------------------------

tcDocument::tcDocument() : m_pDTD(std::make_unique<tcDTD>()), m_pProperties(std::make_unique<tcProperties>())
{
    m_pDTD->m_pDoc = this;
}

tcDocument::~tcDocument()
{
    tNotifyDestroyed(this);
    // No application context or handler may keep a destroyed document as its current one.
    tcAppContext::ForgetDocument(this);
    tcIO::ForgetDocument(this);
    DeleteDoc();
    // Kinds go without the node and style clean-up: there is nothing left to clean.
    m_pDTD->m_pDoc = nullptr;
}

bool tcDocument::CreateDoc(const wxString& sName)
{
    m_sName = sName;
    if (m_apStyleSets.empty())
    {
        AddStyleSet("Default");
        m_nCurrentStyleSet = 0;
    }
    return true;
}

void tcDocument::DeleteDoc()
{
    delete m_pDictionary; // its destructor clears m_pDictionary
    while (!m_apOrphans.empty())
        delete m_apOrphans.back(); // each destructor leaves the list
    m_apStyleSets.clear();
    m_nCurrentStyleSet = 0;
    ClearDeleted();
    m_apBlocks.clear();
    m_bDirty = false;
}

void tcDocument::OnLoaded()
{
    ClearDirty();
    ClearDeleted();
}

// ----- Nodes ------------------------------------------------------------------------------------------

void tcDocument::AdoptOrphan(tcNode* pNode)
{
    if (pNode->m_nOrphanSlot >= 0)
        return;
    pNode->m_nOrphanSlot = static_cast<int>(m_apOrphans.size());
    m_apOrphans.push_back(pNode);
}

void tcDocument::ForgetOrphan(tcNode* pNode)
{
    const int nSlot = pNode->m_nOrphanSlot;
    if (nSlot >= 0 && nSlot < static_cast<int>(m_apOrphans.size()) && m_apOrphans[nSlot] == pNode)
    {
        m_apOrphans[nSlot] = m_apOrphans.back();
        m_apOrphans[nSlot]->m_nOrphanSlot = nSlot;
        m_apOrphans.pop_back();
    }
    pNode->m_nOrphanSlot = -1;
    if (m_pDictionary == pNode)
        m_pDictionary = nullptr;
}

void tcDocument::OnNodeDestroyed(tcNode* pNode)
{
    ForgetOrphan(pNode);
}

tcNode* tcDocument::NewNodeForElement(tcDocument* pDoc, tcElement* pElement)
{
    switch (pElement->GetClass())
    {
    case NODE_DICTIONARY:
        return new tcDictionary(pDoc, pElement);
    case NODE_SECTION:
        return new tcLanguage(pDoc, pElement);
    case NODE_ENTRY:
        return new tcEntry(pDoc, pElement);
    case NODE_SUBENTRY:
        return new tcSubentry(pDoc, pElement);
    case NODE_REFERENCES:
        return new tcReferences(pDoc, pElement);
    default:
        return new tcElementNode(pDoc, pElement);
    }
}

tcNode* tcDocument::AllocateElement(tcElement* pElement, bool bAssignID, bool bDefaults)
{
    if (!pElement || pElement->GetDTD() != m_pDTD.get())
        return nullptr;
    tcNode* pNode = NewNodeForElement(this, pElement);
    if (bAssignID && GetIDAssigner())
        pNode->m_nID = GetIDAssigner()->AssignID();
    if (bDefaults)
        for (int i = 0; i < pElement->GetNumAttributes(); ++i)
        {
            const tcAttribute* pAttr = pElement->GetAttribute(i);
            if (pAttr->GetDefaultType() == ATTRDEF_VALUE || pAttr->GetDefaultType() == ATTRDEF_FIXED)
                pNode->CreateDefaultAttrValue(pAttr);
        }
    return pNode;
}

tcNode* tcDocument::AllocateElementByID(int nElementID, bool bAssignID, bool bDefaults)
{
    return AllocateElement(m_pDTD->GetElementByID(nElementID), bAssignID, bDefaults);
}

tcNode* tcDocument::AllocateElementByName(const wxString& sName, bool bAssignID, bool bDefaults)
{
    return AllocateElement(m_pDTD->FindElementByName(sName), bAssignID, bDefaults);
}

tcText* tcDocument::AllocateTextNode(const wxString& sText)
{
    return new tcText(sText, this);
}

tcCDATA* tcDocument::AllocateCDataNode(const wxString& sText)
{
    return new tcCDATA(sText, this);
}

tcErrorNode* tcDocument::AllocateErrorNode(int eType, const wxString& sText, const wxString& sSuggestion)
{
    return new tcErrorNode(eType, sText, sSuggestion, this);
}

void tcDocument::SetDictionary(tcDictionary* pDictionary)
{
    if (pDictionary == m_pDictionary)
        return;
    if (tcDictionary* pOld = m_pDictionary)
    {
        m_pDictionary = nullptr;
        AdoptOrphan(pOld);
    }
    if (pDictionary)
    {
        tcNode::TakeOut(pDictionary);
        if (pDictionary->m_pDoc != this)
            pDictionary->SetDocRecursive(this);
        m_pDictionary = pDictionary;
    }
    m_bRootNodeChanged = true;
}

int tcDocument::GetNumSections() const
{
    return m_pDictionary ? m_pDictionary->GetNumSections() : 0;
}

tcLanguage* tcDocument::GetSection(int nIndex) const
{
    return m_pDictionary ? m_pDictionary->GetSection(nIndex) : nullptr;
}

bool tcDocument::DeleteTreeFromDoc(tcNode* pNode)
{
    if (!pNode || (pNode->GetDoc() && pNode->GetDoc() != this))
        return false;
    Evt_NodeDeleteFromDoc.Trigger(this, pNode);
    auto record = [this](const tcNode* p) {
        m_aDeletedNodes.push_back(tcDeletedNode{p->GetID(), p->GetElementTypeID(), p->GetClassType()});
        m_apDeleted.push_back(p->GetID());
    };
    record(pNode);
    std::vector<tcNode*> apEntries;
    pNode->FindDescendantsOfClassKind(NODE_ENTRY, apEntries);
    for (const tcNode* p : apEntries)
        record(p);
    SetDirty();
    delete pNode;
    return true;
}

bool tcDocument::DeleteTreeFromMem(tcNode* pNode)
{
    if (!pNode)
        return false;
    delete pNode;
    return true;
}

void tcDocument::CollectAllNodes(std::vector<tcNode*>& apOut) const
{
    auto add = [&apOut](tcNode* pRoot)
    {
        apOut.push_back(pRoot);
        pRoot->GetAllDescendants(apOut);
    };
    if (m_pDictionary)
        add(m_pDictionary);
    for (tcNode* p : m_apOrphans)
        add(p);
}

tID tcDocument::GetHighestNodeID() const
{
    std::vector<tcNode*> apNodes;
    CollectAllNodes(apNodes);
    tID nHighest = 0;
    for (const tcNode* p : apNodes)
        nHighest = std::max(nHighest, p->GetID());
    return nHighest;
}

void tcDocument::OnElementDeleting(tcElement* pElement)
{
    for (const auto& pStyles : m_apStyleSets)
        pStyles->RemoveElementCompletely(pElement);

    std::vector<tcNode*> apNodes;
    CollectAllNodes(apNodes);
    std::unordered_set<const tcNode*> setDoomed;
    for (const tcNode* p : apNodes)
        if (p->GetElement() == pElement)
            setDoomed.insert(p);
    // Delete only the topmost ones (the others go with their ancestors), and decide before freeing.
    std::vector<tcNode*> apTopmost;
    for (tcNode* p : apNodes)
    {
        if (!setDoomed.count(p))
            continue;
        bool bUnderDoomed = false;
        for (const tcNode* pUp = p->GetParent(); pUp && !bUnderDoomed; pUp = pUp->GetParent())
            bUnderDoomed = setDoomed.count(pUp) > 0;
        if (!bUnderDoomed)
            apTopmost.push_back(p);
    }
    for (tcNode* p : apTopmost)
        delete p;
}

void tcDocument::OnAttributeDeleting(tcAttribute* pAttr)
{
    for (const auto& pStyles : m_apStyleSets)
        pStyles->RemoveAttributeCompletely(pAttr);
    std::vector<tcNode*> apNodes;
    CollectAllNodes(apNodes);
    for (tcNode* p : apNodes)
        p->ResetAttributeValue(pAttr);
}

// ----- Style sets -------------------------------------------------------------------------------------

tcStyles* tcDocument::GetStyleSet(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumStyleSets())
        return nullptr;
    return m_apStyleSets[nIndex].get();
}

int tcDocument::GetStyleSetIndex(const tcStyles* pStyles) const
{
    for (size_t i = 0; i < m_apStyleSets.size(); ++i)
        if (m_apStyleSets[i].get() == pStyles)
            return static_cast<int>(i);
    return -1;
}

tcStyles* tcDocument::AddStyleSet(std::unique_ptr<tcStyles> pStyles)
{
    if (!pStyles)
        return nullptr;
    m_apStyleSets.push_back(std::move(pStyles));
    return m_apStyleSets.back().get();
}

tcStyles* tcDocument::AddStyleSet(const wxString& sName)
{
    return AddStyleSet(std::make_unique<tcStyles>(sName));
}

bool tcDocument::DeleteStyleSet(int nIndex)
{
    if (!GetStyleSet(nIndex))
        return false;
    m_apStyleSets.erase(m_apStyleSets.begin() + nIndex);
    if (nIndex < m_nCurrentStyleSet)
        --m_nCurrentStyleSet;
    else if (nIndex == m_nCurrentStyleSet)
        m_nCurrentStyleSet = 0;
    return true;
}

bool tcDocument::SwopStyleSets(int nIndex1, int nIndex2)
{
    if (!GetStyleSet(nIndex1) || !GetStyleSet(nIndex2))
        return false;
    std::swap(m_apStyleSets[nIndex1], m_apStyleSets[nIndex2]);
    if (m_nCurrentStyleSet == nIndex1)
        m_nCurrentStyleSet = nIndex2;
    else if (m_nCurrentStyleSet == nIndex2)
        m_nCurrentStyleSet = nIndex1;
    return true;
}

bool tcDocument::SetCurrentStyleSet(int nIndex)
{
    if (!GetStyleSet(nIndex))
        return false;
    m_nCurrentStyleSet = nIndex;
    return true;
}

tcOrder* tcDocument::GetCurrentOrder() const
{
    const tcStyles* pStyles = GetCurrentStyles();
    return pStyles ? pStyles->GetOrder() : nullptr;
}

tcOrder* tcDocument::GetOrderByIndex(int nIndex) const
{
    const tcStyles* pStyles = GetStyleSet(nIndex);
    return pStyles ? pStyles->GetOrder() : nullptr;
}

// ----- Changed flag -----------------------------------------------------------------------------------

void tcDocument::SetDirty()
{
    if (m_bDirty)
        return;
    m_bDirty = true;
    Evt_DirtyStateChanged.Trigger(this, nullptr);
}

void tcDocument::ClearDirty()
{
    if (!m_bDirty)
        return;
    m_bDirty = false;
    Evt_DirtyStateChanged.Trigger(this, nullptr);
}

// ----- Sorting ----------------------------------------------------------------------------------------

void tcDocument::SetupDefaultSorting()
{
    if (m_asSortMethods.empty())
        AddSortMethod("Default");
}

int tcDocument::AddSortMethod(const wxString& sName)
{
    m_asSortMethods.push_back(sName);
    m_bSortingChanged = true;
    return GetNumSortMethods() - 1;
}

wxString tcDocument::GetSortMethod(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumSortMethods())
        return wxString();
    return m_asSortMethods[nIndex];
}

bool tcDocument::DeleteSortMethod(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetNumSortMethods())
        return false;
    m_asSortMethods.erase(m_asSortMethods.begin() + nIndex);
    m_bSortingChanged = true;
    return true;
}

int tcDocument::GetSortMethodIndex(const wxString& sName) const
{
    for (size_t i = 0; i < m_asSortMethods.size(); ++i)
        if (m_asSortMethods[i] == sName)
            return static_cast<int>(i);
    return -1;
}

// ----- DTD set-ups ------------------------------------------------------------------------------------

void tcDocument::CreateEmptyOvraDTD()
{
    m_pDTD->Destroy();

    auto addKind = [this](const wchar_t* szName, int nID, teNodeClass eClass)
    { return m_pDTD->AddElement(std::make_unique<tcElement>(szName, nID, eClass)); };
    auto addText = [](tcElement* pElement, const wchar_t* szName, int nID)
    { pElement->AddAttribute(szName, ATTR_CDATA, ATTRDEF_IMPLIED, nID); };

    tcElement* pDictionary = addKind(L"Dictionary", ELEMENTID_DICTIONARY, NODE_DICTIONARY);
    addText(pDictionary, L"Name", 1);
    addText(pDictionary, L"Description", 2);
    addText(pDictionary, L"CreatedBy", 3);
    addText(pDictionary, L"Copyright", 4);
    addText(pDictionary, L"URL", 5);
    addText(pDictionary, L"SoundPath", 8);

    tcElement* pSection = addKind(L"Section", ELEMENTID_SECTION, NODE_SECTION);
    addText(pSection, L"Name", 1);
    addText(pSection, L"AlphabetQuicklinks", 4);

    tcElement* pEntry = addKind(L"Lemma", ELEMENTID_ENTRY, NODE_ENTRY);
    addText(pEntry, L"LemmaSign", 1);

    addKind(L"References", ELEMENTID_REFERENCES, NODE_REFERENCES);

    pDictionary->AddChildElement(pSection, CHILD_ZEROORMORE);
    pSection->AddChildElement(pEntry, CHILD_ZEROORMORE);
    m_pDTD->SetNextTypeID(ELEMENTID_LASTRESERVED + 1);
    m_bDTDChanged = true;
}

void tcDocument::CreateXMLPredefinedEntities()
{
    static const wchar_t* const s_aszEntities[][2] = {
        {L"lt", L"<"}, {L"gt", L">"}, {L"amp", L"&"}, {L"apos", L"'"}, {L"quot", L"\""}};
    for (const auto& entity : s_aszEntities)
        if (!m_pDTD->FindEntity(entity[0]))
            m_pDTD->AddEntity(entity[0], entity[1]);
}

void tcDocument::CreateDefaultRefLabels()
{
    if (m_pDTD->GetNumRefLabelSets() > 0)
        return;
    tcRefLabelSet* pSet = m_pDTD->AddRefLabelSet(std::make_unique<tcRefLabelSet>("Default"));
    for (int i = 0; i < m_pDTD->GetNumCrossRefTypes(); ++i)
    {
        const tcRefType* pType = m_pDTD->GetCrossRefTypeByIndex(i);
        pSet->AddLabel(pType->GetID(), pType->GetName(), pType->GetName());
    }
}

// ----- Specials ---------------------------------------------------------------------------------------

tcSpecialType* tcDocument::FindSpecial(int eID) const
{
    for (const tcSpecialType& special : m_aSpecial)
        if (special.eID == eID)
            return const_cast<tcSpecialType*>(&special);
    return nullptr;
}

tcSpecialType* tcDocument::AddSpecialType(int eID)
{
    if (tcSpecialType* pExisting = FindSpecial(eID))
        return pExisting;
    m_aSpecial.emplace_back().eID = eID;
    return &m_aSpecial.back();
}

bool tIsTermDocument(const tcDocument* pDoc)
{
    return pDoc && (pDoc->FindSpecial(SPECIAL_TERM_LANGUAGE) || pDoc->FindSpecial(SPECIAL_TERM_TERM));
}

// ----- Script calls on whole documents -----------------------------------------------------------

namespace
{
bool IsHeldRoot(const tcNode* pNode)
{
    const tcDocument* pDoc = pNode ? pNode->GetDoc() : nullptr;
    return pDoc && pDoc->IsHeldByProgram() && pDoc->GetDictionary() == pNode;
}
} // namespace

bool tScriptCreateDoc(tcDocument* pDoc, const wxString& sName)
{
    if (pDoc->IsHeldByProgram())
        throw tcHeldDocument();
    return pDoc->CreateDoc(sName);
}

void tScriptDeleteDoc(tcDocument* pDoc)
{
    if (pDoc->IsHeldByProgram())
        throw tcHeldDocument();
    pDoc->DeleteDoc();
}

bool tScriptDeleteTreeFromDoc(tcDocument* pDoc, tcNode* pNode)
{
    if (IsHeldRoot(pNode))
        throw tcHeldDocument();
    return pDoc->DeleteTreeFromDoc(pNode);
}

bool tScriptDeleteTreeFromMem(tcDocument* pDoc, tcNode* pNode)
{
    if (IsHeldRoot(pNode))
        throw tcHeldDocument();
    // Only nodes of this document (or of none): another document's node is that document's.
    if (pNode && pNode->GetDoc() && pNode->GetDoc() != pDoc)
        return false;
    return pDoc->DeleteTreeFromMem(pNode);
}

void tScriptDeleteNode(tcNode* pNode)
{
    if (IsHeldRoot(pNode))
        throw tcHeldDocument();
    delete pNode;
}

void tScriptDestroyDictionary(tcDictionary* pDictionary)
{
    if (IsHeldRoot(pDictionary))
        throw tcHeldDocument();
    pDictionary->Destroy();
}

void tScriptDestroyDTD(tcDTD* pDTD)
{
    const tcDocument* pDoc = pDTD->GetDocument();
    if (pDoc && pDoc->IsHeldByProgram())
        throw tcHeldDocument();
    pDTD->Destroy();
}
