#include "varnak/include/tcLocalisationEngine.h"

#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"
#include "varnak/include/tUTF8.h"

#include <mutex>
#include <optional>

tcLocalisationEngine g_LocEngine;

namespace
{

std::string Trim(const std::string& s)
{
    const size_t nFirst = s.find_first_not_of(" \t");
    if (nFirst == std::string::npos)
        return std::string();
    return s.substr(nFirst, s.find_last_not_of(" \t") - nFirst + 1);
}

std::string Unescape(const std::string& s)
{
    std::string sOut;
    sOut.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i)
    {
        if (s[i] == '\\' && i + 1 < s.size())
        {
            const char c = s[i + 1];
            if (c == 'n' || c == 't' || c == '\\')
            {
                sOut += c == 'n' ? '\n' : c == 't' ? '\t' : '\\';
                ++i;
                continue;
            }
        }
        sOut += s[i];
    }
    return sOut;
}

// Parses a whole catalog; nullopt when it is not valid UTF-8.
std::optional<std::unordered_map<std::string, wxString>> ParseCatalog(const std::string& sBytes)
{
    std::unordered_map<std::string, wxString> map;
    for (const std::string& sLine : tSplitByteLines(sBytes))
    {
        const std::string sTrimmed = Trim(sLine);
        if (sTrimmed.empty() || sTrimmed[0] == '#')
            continue;
        const size_t nEq = sLine.find('=');
        if (nEq == std::string::npos)
            continue;
        const std::string sKey = Trim(sLine.substr(0, nEq));
        if (sKey.empty())
            continue;
        const std::string sText = Unescape(sLine.substr(nEq + 1));
        if (!tIsValidUTF8(sKey) || !tIsValidUTF8(sText))
            return std::nullopt;
        map[sKey] = kvFromUTF8(sText);
    }
    return map;
}

} // namespace

bool tcLocalisationEngine::LoadLocStrings(const wxString& sPath, bool bClearFirst, bool bIsBaseCatalog)
{
    const std::optional<std::string> sBytes = tReadFileBytes(sPath);
    if (!sBytes)
        return false;
    std::optional<tMap> parsed = ParseCatalog(*sBytes);
    if (!parsed)
        return false;

    std::unique_lock lock(m_Lock);
    if (bClearFirst)
    {
        m_mapBase.clear();
        m_mapOverlay.clear();
    }
    tMap& target = bIsBaseCatalog ? m_mapBase : m_mapOverlay;
    for (auto& [sKey, sText] : *parsed)
        target[sKey] = std::move(sText);
    return true;
}

wxString tcLocalisationEngine::FindTranslation(const char* szKey) const
{
    if (!szKey)
        return wxString();
    return Lookup(szKey);
}

wxString tcLocalisationEngine::FindTranslation(const wxString& sKey) const
{
    return Lookup(sKey.utf8_string());
}

bool tcLocalisationEngine::HasTranslation(const wxString& sKey) const
{
    const std::string sUtf8 = sKey.utf8_string();
    std::shared_lock lock(m_Lock);
    return m_mapOverlay.count(sUtf8) > 0 || m_mapBase.count(sUtf8) > 0;
}

void tcLocalisationEngine::Clear()
{
    std::unique_lock lock(m_Lock);
    m_mapBase.clear();
    m_mapOverlay.clear();
}

wxString tcLocalisationEngine::Lookup(const std::string& sKey) const
{
    {
        std::shared_lock lock(m_Lock);
        auto it = m_mapOverlay.find(sKey);
        if (it != m_mapOverlay.end())
            return it->second;
        it = m_mapBase.find(sKey);
        if (it != m_mapBase.end())
            return it->second;
    }
    return wxString::FromUTF8(sKey.data(), sKey.size());
}
