#include "varnak/include/tcSort.h"

#include "varnak/include/VarnakConst.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcNode.h"

#include <stdexcept>

tcSortMethod::tcSortMethod()
{
    SetSort(nullptr);
}

tcSortMethod::tcSortMethod(int nID, const wxString& sName) : tcSortMethod()
{
    Init(nID, sName);
}

tcSortMethod::~tcSortMethod()
{
    tNotifyDestroyed(this);
}

void tcSortMethod::Init(int nID, const wxString& sName)
{
    m_nID = nID;
    m_sName = sName;
    m_sCfg.clear();
    SetSort(nullptr);
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
    m_pSort->m_pOwnerMethod = this;
}

void tcSortMethod::SetSort(tcSort* pSort)
{
    if (pSort && pSort == m_pSort.get())
        return;
    if (pSort && pSort->GetOwnerMethod())
        throw std::invalid_argument("the comparator belongs to another sort method");
    if (pSort && pSort->IsSectionSort())
        throw std::invalid_argument("the comparator belongs to a section");
    SetSort(std::unique_ptr<tcSort>(pSort));
}

void tcSortedEntry::SetValAttr(tcNode* pNode, tcAttribute* pAttr)
{
    pValNode = pNode;
    pValAttr = pAttr;
    idValNode = pNode ? pNode->GetID() : idNULL;
    idValAttr = pAttr ? pAttr->GetID() : -1;
    szCachedVal = pNode && pAttr ? pNode->GetAttributeS(pAttr) : wxString();
}
