#include "varnak/include/tcSort.h"

#include "varnak/include/VarnakConst.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcNode.h"

tcSortMethod::tcSortMethod() : m_pSort(std::make_unique<tcSort>()) {}

tcSortMethod::tcSortMethod(int nID, const wxString& sName) : tcSortMethod()
{
    Init(nID, sName);
}

tcSortMethod::~tcSortMethod() = default;

void tcSortMethod::Init(int nID, const wxString& sName)
{
    m_nID = nID;
    m_sName = sName;
    m_sCfg.clear();
    m_pSort = std::make_unique<tcSort>();
}

bool tcSortMethod::InitUsingCfgData()
{
    return m_pSort->ReadCfgBlock(m_sCfg);
}

void tcSortMethod::UpdateCfgData()
{
    m_sCfg = m_pSort->SaveCfgBlock();
}

void tcSortMethod::SetSort(std::unique_ptr<tcSort> pSort)
{
    m_pSort = pSort ? std::move(pSort) : std::make_unique<tcSort>();
}

void tcSortedEntry::SetValAttr(tcNode* pNode, tcAttribute* pAttr)
{
    pValNode = pNode;
    pValAttr = pAttr;
    idValNode = pNode ? pNode->GetID() : idNULL;
    idValAttr = pAttr ? pAttr->GetID() : -1;
    szCachedVal = pNode && pAttr ? pNode->GetAttributeS(pAttr) : wxString();
}
