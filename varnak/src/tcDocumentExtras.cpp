// The dictionary set-up calls, data blocks and neutral members of tcDocument.
#include "varnak/include/tcDocument.h"

#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tNotSupported.h"
#include "varnak/include/tObjectLife.h"

#include <algorithm>

namespace
{
const wchar_t* const POS_LIST = L"POS";
const int TERM_ELEMENT_ID = ELEMENTID_LASTRESERVED + 1;
} // namespace

void tcDocument::CreateDefaultOvraDTD()
{
    CreateEmptyOvraDTD();
    CreateDefaultEntities();
    CreatePOSAndLabelLists();
    CreateDefaultPOSs();
    CreateDefaultLabelSets();
    CreateDefaultRefLabels();
}

void tcDocument::CreateEmptyTermDTD()
{
    CreateEmptyOvraDTD();
    tcElement* pConcept = m_pDTD->GetElementByID(ELEMENTID_ENTRY);
    pConcept->SetName("Concept");
    tcElement* pTerm = m_pDTD->AddElement(std::make_unique<tcElement>("Term", TERM_ELEMENT_ID, NODE_NODE));
    pTerm->AddAttribute("Term", ATTR_CDATA, ATTRDEF_IMPLIED, 1);
    pConcept->AddChildElement(pTerm, CHILD_ONEORMORE);
    m_pDTD->SetNextTypeID(TERM_ELEMENT_ID + 1);

    // Each pointer is used before the next designation is added (adding may move the list).
    AddSpecialType(SPECIAL_TERM_LANGUAGE)->aDesc.assign(1, tcAttributeDesc{ELEMENTID_SECTION, 1});
    AddSpecialType(SPECIAL_TERM_TERM)->aDesc.assign(1, tcAttributeDesc{TERM_ELEMENT_ID, 1});
}

void tcDocument::CreatePOSAndLabelLists()
{
    tEnsureListExists(m_pDTD.get(), POS_LIST);
    tEnsureListExists(m_pDTD.get(), "Labels");
}

void tcDocument::CreateNounClassList()
{
    tEnsureListExists(m_pDTD.get(), "NounClass");
}

void tcDocument::CreateDefaultEntities()
{
    CreateXMLPredefinedEntities();
    if (!m_pDTD->FindEntity("nbsp"))
        m_pDTD->AddEntity("nbsp", wxString(wchar_t(0x00A0)));
}

void tcDocument::CreateDefaultPOSs()
{
    static const wchar_t* const s_aszPOS[] = {L"noun",        L"verb",        L"adjective",   L"adverb",
                                              L"pronoun",     L"preposition", L"conjunction", L"interjection",
                                              L"determiner", L"numeral"};
    tcAttrList* pList = tEnsureListExists(m_pDTD.get(), POS_LIST);
    for (const wchar_t* szPOS : s_aszPOS)
        Helper_AddListItemIfNotAlreadyInList(m_pDTD.get(), pList, szPOS);
}

void tcDocument::CreateDefaultLabelSets()
{
    for (int i = 0; i < m_pDTD->GetNumLists(); ++i)
    {
        tcAttrList* pList = m_pDTD->GetAttrList(i);
        if (pList->GetNumLabelSets() > 0)
            continue;
        tcLabelSet* pSet = pList->AddLabelSet("Default");
        for (int j = 0; j < pList->GetNumItems(); ++j)
            pSet->AddLabel(pList->GetItemID(j), pList->GetItemText(j));
    }
}

void tcDocument::SetupDefaultAutonumbering()
{
    throw tcNotSupported("tcDocument::SetupDefaultAutonumbering");
}

int tcDocument::GetDocumentType() const
{
    return tIsTermDocument(this) ? DOCTYPE_TERM : DOCTYPE_DICTIONARY;
}

tcBlock* tcDocument::SetBlockLoad(int nID, const wxString& sName, const std::string& sData)
{
    tcBlock* pBlock = GetBlockByID(nID);
    if (!pBlock)
    {
        m_apBlocks.push_back(std::make_unique<tcBlock>(nID, static_cast<int>(m_apBlocks.size()), sName));
        pBlock = m_apBlocks.back().get();
    }
    pBlock->Create(nID, pBlock->GetBlockNum(), sName);
    pBlock->Set(sData);
    return pBlock;
}

tcBlock* tcDocument::SetBlock(int nID, const wxString& sName, const std::string& sData)
{
    tcBlock* pBlock = SetBlockLoad(nID, sName, sData);
    SetDirty();
    return pBlock;
}

tcBlock* tcDocument::GetBlock(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumBlocks())
        return nullptr;
    return m_apBlocks[static_cast<size_t>(nIndex)].get();
}

tcBlock* tcDocument::GetBlockByID(int nID) const
{
    auto it = std::find_if(m_apBlocks.begin(), m_apBlocks.end(), [nID](const auto& p) { return p->GetID() == nID; });
    return it == m_apBlocks.end() ? nullptr : it->get();
}

void tcDocument::SetFilter(tcFilter*)
{
    throw tcNotSupported("tcDocument::SetFilter");
}

// ----- Special designations -------------------------------------------------------------------------

bool tcSpecialType::IsSelected(int nElementID, int nAttributeID) const
{
    return std::find(aDesc.begin(), aDesc.end(), tcAttributeDesc{nElementID, nAttributeID}) != aDesc.end();
}

void tcSpecialType::Select(int nElementID, int nAttributeID)
{
    if (!IsSelected(nElementID, nAttributeID))
        aDesc.push_back(tcAttributeDesc{nElementID, nAttributeID});
}

void tcSpecialType::Unselect(int nElementID)
{
    std::erase_if(aDesc, [nElementID](const tcAttributeDesc& d) { return d.nElementID == nElementID; });
}

void tcSpecialType::Unselect(int nElementID, int nAttributeID)
{
    std::erase(aDesc, tcAttributeDesc{nElementID, nAttributeID});
}

int tcSpecialType::FindElement(int nElementID) const
{
    for (size_t i = 0; i < aDesc.size(); ++i)
        if (aDesc[i].nElementID == nElementID)
            return static_cast<int>(i);
    return -1;
}

tcSpecialType::~tcSpecialType()
{
    tNotifyDestroyed(this);
}

std::vector<tcSpecialType> tcDocument::GetSpecialTypes() const
{
    return m_aSpecial;
}

void tcDocument::SetSpecialTypes(const std::vector<tcSpecialType>& aSpecials)
{
    m_aSpecial = aSpecials;
}
