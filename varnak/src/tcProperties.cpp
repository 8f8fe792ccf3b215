#include "varnak/include/tcProperties.h"

#include <charconv>
#include <optional>
#include <system_error>

namespace
{

std::string TrimmedUTF8(const wxString& sText)
{
    std::string s = sText.utf8_string();
    const size_t nFirst = s.find_first_not_of(" \t\r\n");
    if (nFirst == std::string::npos)
        return std::string();
    const size_t nLast = s.find_last_not_of(" \t\r\n");
    return s.substr(nFirst, nLast - nFirst + 1);
}

std::optional<long> ReadLong(const wxString& sText)
{
    std::string s = TrimmedUTF8(sText);
    // from_chars refuses a leading '+', which people do write.
    if (s.size() > 1 && s[0] == '+' && s[1] != '-')
        s.erase(0, 1);
    long n = 0;
    const auto [pEnd, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (s.empty() || ec != std::errc() || pEnd != s.data() + s.size())
        return std::nullopt;
    return n;
}

std::optional<double> ReadDouble(const wxString& sText)
{
    std::string s = TrimmedUTF8(sText);
    if (s.size() > 1 && s[0] == '+' && s[1] != '-')
        s.erase(0, 1);
    double d = 0;
    const auto [pEnd, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
    if (s.empty() || ec != std::errc() || pEnd != s.data() + s.size())
        return std::nullopt;
    return d;
}

std::optional<bool> ReadBool(const wxString& sText)
{
    const wxString s = wxString::FromUTF8(TrimmedUTF8(sText)).Lower();
    if (s == "true" || s == "yes" || s == "on")
        return true;
    if (s == "false" || s == "no" || s == "off")
        return false;
    if (const std::optional<long> n = ReadLong(s))
        return *n != 0;
    return std::nullopt;
}

wxString DoubleText(double d)
{
    char buf[64];
    const auto [pEnd, ec] = std::to_chars(buf, buf + sizeof(buf), d);
    if (ec != std::errc())
        return wxString();
    return wxString::FromUTF8(buf, pEnd - buf);
}

} // namespace

tcVar::tcVar(teVarType eType, const wxString& sPath, const wxString& sName, const wxString& sDefault,
             const wxString& sDescription, teMetatype eMetatype)
    : m_eType(eType), m_eMetatype(eMetatype), m_sPath(sPath), m_sName(sName), m_sDescription(sDescription),
      m_sDefault(sDefault)
{
}

tcProperties::~tcProperties()
{
    tNotifyDestroyed(this);
}

void tcProperties::Clear()
{
    m_apProperties.clear();
    m_mapIndex.clear();
}

int tcProperties::GetNumProperties() const
{
    return static_cast<int>(m_apProperties.size());
}

void tcProperties::OnPropertyValueChanged(int) {}

void tcProperties::OnPropertyAdded(int) {}

int tcProperties::AddProperty(const tcVar& var)
{
    return AddProperty(var, var.GetDefault());
}

int tcProperties::AddProperty(const tcVar& var, const wxString& sValue)
{
    const int nExisting = FindPropertyIndex(var.GetPath(), var.GetName());
    if (nExisting >= 0)
        return nExisting;
    auto pProperty = std::make_unique<tcProperty>(var);
    pProperty->SetValue(sValue);
    const int nIndex = GetNumProperties();
    m_apProperties.push_back(std::move(pProperty));
    m_mapIndex.emplace(std::make_pair(var.GetPath(), var.GetName()), nIndex);
    OnPropertyAdded(nIndex);
    return nIndex;
}

int tcProperties::AddProperty(teVarType eType, const wxString& sPath, const wxString& sName, const wxString& sDefault,
                              const wxString& sDescription, teMetatype eMetatype)
{
    return AddProperty(tcVar(eType, sPath, sName, sDefault, sDescription, eMetatype));
}

int tcProperties::SetProperty(const wxString& sPath, const wxString& sName, const wxString& sValue, teVarType eType)
{
    int nIndex = FindPropertyIndex(sPath, sName);
    if (nIndex < 0)
        nIndex = AddProperty(eType, sPath, sName, sValue);
    // The added-hook may have loaded another value; the caller's value wins.
    SetPropertyValue(nIndex, sValue);
    return nIndex;
}

int tcProperties::SetBool(const wxString& sPath, const wxString& sName, bool bValue)
{
    return SetProperty(sPath, sName, bValue ? "1" : "0", tTYPE_BOOL);
}

int tcProperties::SetInt(const wxString& sPath, const wxString& sName, long nValue)
{
    return SetProperty(sPath, sName, wxString::Format("%ld", nValue), tTYPE_INTEGER);
}

int tcProperties::SetDouble(const wxString& sPath, const wxString& sName, double dValue)
{
    return SetProperty(sPath, sName, DoubleText(dValue), tTYPE_DOUBLE);
}

int tcProperties::SetString(const wxString& sPath, const wxString& sName, const wxString& sValue)
{
    return SetProperty(sPath, sName, sValue, tTYPE_STRING);
}

int tcProperties::SetStringW(const wxString& sPath, const wxString& sName, const std::wstring& sValue)
{
    return SetProperty(sPath, sName, wxString(sValue), tTYPE_STRING);
}

bool tcProperties::GetBool(const wxString& sPath, const wxString& sName, bool bDefault) const
{
    const tcProperty* pProperty = Find(sPath, sName);
    if (!pProperty)
        return bDefault;
    return ReadBool(pProperty->GetValue()).value_or(bDefault);
}

long tcProperties::GetInt(const wxString& sPath, const wxString& sName, long nDefault) const
{
    const tcProperty* pProperty = Find(sPath, sName);
    if (!pProperty)
        return nDefault;
    return ReadLong(pProperty->GetValue()).value_or(nDefault);
}

double tcProperties::GetDouble(const wxString& sPath, const wxString& sName, double dDefault) const
{
    const tcProperty* pProperty = Find(sPath, sName);
    if (!pProperty)
        return dDefault;
    return ReadDouble(pProperty->GetValue()).value_or(dDefault);
}

wxString tcProperties::GetString(const wxString& sPath, const wxString& sName, const wxString& sDefault) const
{
    return GetValue(sPath, sName, sDefault);
}

std::string tcProperties::GetStringS(const wxString& sPath, const wxString& sName, const std::string& sDefault) const
{
    const tcProperty* pProperty = Find(sPath, sName);
    return pProperty ? pProperty->GetValue().utf8_string() : sDefault;
}

wxString tcProperties::GetValue(const wxString& sPath, const wxString& sName, const wxString& sDefault) const
{
    const tcProperty* pProperty = Find(sPath, sName);
    return pProperty ? pProperty->GetValue() : sDefault;
}

tcProperty* tcProperties::GetProperty(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetNumProperties())
        return nullptr;
    return m_apProperties[nIndex].get();
}

const tcProperty* tcProperties::GetProperty(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumProperties())
        return nullptr;
    return m_apProperties[nIndex].get();
}

const tcVar* tcProperties::GetPropertyVar(int nIndex) const
{
    const tcProperty* pProperty = GetProperty(nIndex);
    return pProperty ? &pProperty->GetVar() : nullptr;
}

wxString tcProperties::GetPropertyValue(int nIndex) const
{
    const tcProperty* pProperty = GetProperty(nIndex);
    return pProperty ? pProperty->GetValue() : wxString();
}

bool tcProperties::SetPropertyValue(int nIndex, const wxString& sValue)
{
    tcProperty* pProperty = GetProperty(nIndex);
    if (!pProperty)
        return false;
    if (pProperty->GetValue() == sValue)
        return true;
    pProperty->SetValue(sValue);
    OnPropertyValueChanged(nIndex);
    return true;
}

int tcProperties::FindPropertyIndex(const wxString& sPath, const wxString& sName) const
{
    const auto it = m_mapIndex.find(std::make_pair(sPath, sName));
    return it == m_mapIndex.end() ? -1 : it->second;
}

bool tcProperties::PathExists(const wxString& sPath) const
{
    // Keys sort by path first, so the first key not below (path, "") tells.
    const auto it = m_mapIndex.lower_bound(std::make_pair(sPath, wxString()));
    return it != m_mapIndex.end() && it->first.first == sPath;
}

bool tcProperties::PropertyExists(const wxString& sPath, const wxString& sName) const
{
    return FindPropertyIndex(sPath, sName) >= 0;
}

const tcProperty* tcProperties::Find(const wxString& sPath, const wxString& sName) const
{
    return GetProperty(FindPropertyIndex(sPath, sName));
}
