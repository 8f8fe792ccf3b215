#include "engine/ConvertorRegistry.h"

#include "engine/Convertor.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tString.h"


ConvertorRegistry* g_pConvertorRegistry = nullptr;

ConvertorRegistry::~ConvertorRegistry() = default;

bool ConvertorRegistry::Register(int nID, const wxString& sName, const wxString& sExtensions,
                                 const wxString& sDescription, float fWeight, tConvertorAllocateProc pAllocateProc)
{
    if (!pAllocateProc)
    {
        // A row without procedure could only ever give a null convertor: not added.
        tAssert(__FILE__, __LINE__, "pAllocateProc");
        return false;
    }
    kvLog(L"IOREGISTRY: Registering %s (%s) for extensions %s", sName, sDescription, sExtensions);
    for (const auto& pRow : m_apRows)
    {
        if (pRow->m_sName == sName)
        {
            kvLogError(L"Already registered");
            tAssert(__FILE__, __LINE__, "!\"Already registered\"");
            break;
        }
    }
    auto pRow = std::make_unique<Row>();
    pRow->m_nID = nID;
    pRow->m_fWeight = fWeight;
    pRow->m_sDescription = sDescription;
    pRow->m_sExtensions = sExtensions;
    pRow->m_sName = sName;
    pRow->m_pAllocateProc = pAllocateProc;
    m_apRows.push_back(std::move(pRow));
    return true;
}

int ConvertorRegistry::FindConvertor(const wxString& sExtension) const
{
    if (sExtension.empty())
        return -1;
    for (size_t i = 0; i < m_apRows.size(); ++i)
    {
        std::vector<wxString> asItems;
        tStrTok(m_apRows[i]->m_sExtensions, L";", wxString(), asItems);
        for (const wxString& sItem : asItems)
        {
            if (sItem.length() > 1 && sItem.Mid(1) == sExtension)
                return static_cast<int>(i);
        }
    }
    return -1;
}

std::unique_ptr<tcConvertor> ConvertorRegistry::CreateConvertor(const wxString& sExtension, tcDocument* pDoc,
                                                                const wxString& sSourceLanguage) const
{
    const int nIndex = FindConvertor(sExtension);
    if (nIndex < 0)
        return nullptr;
    return m_apRows[nIndex]->m_pAllocateProc(pDoc, sSourceLanguage);
}

const ConvertorRegistry::Row* ConvertorRegistry::GetRow(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumConvertors())
    {
        tAssert(__FILE__, __LINE__, "0");
        return nullptr;
    }
    return m_apRows[nIndex].get();
}

float ConvertorRegistry::GetWeight(int nIndex) const
{
    const Row* pRow = GetRow(nIndex);
    return pRow ? pRow->m_fWeight : 0.0f;
}

wxString ConvertorRegistry::GetName(int nIndex) const
{
    const Row* pRow = GetRow(nIndex);
    return pRow ? pRow->m_sName : wxString();
}

wxString ConvertorRegistry::GetExtensions(int nIndex) const
{
    const Row* pRow = GetRow(nIndex);
    return pRow ? pRow->m_sExtensions : wxString();
}

wxString ConvertorRegistry::GetDescription(int nIndex) const
{
    const Row* pRow = GetRow(nIndex);
    return pRow ? pRow->m_sDescription : wxString();
}

int ConvertorRegistry::GetID(int nIndex) const
{
    const Row* pRow = GetRow(nIndex);
    return pRow ? pRow->m_nID : 0;
}

wxString ConvertorRegistry::ExtensionOf(const wxString& sFileName)
{
    // Projects made on other systems separate folders with backslashes.
    const size_t nSlash = sFileName.find_last_of(L"/\\");
    const wxString sName = nSlash == wxString::npos ? sFileName : sFileName.Mid(nSlash + 1);
    const int nDot = sName.Find(L'.', true);
    return nDot == wxNOT_FOUND ? wxString() : sName.Mid(nDot);
}
