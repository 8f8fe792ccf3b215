#include "varnak/include/tcLocalisationEngine.h"

#include <cstdio>
#include <mutex>
#include <optional>

tcLocalisationEngine g_LocEngine;

namespace
{

// Whole file as bytes; nullopt when it cannot be opened or read (a folder opens but does not read).
std::optional<std::string> ReadFileBytes(const wxString& sPath)
{
    std::FILE* pFile = std::fopen(sPath.utf8_string().c_str(), "rb");
    if (!pFile)
        return std::nullopt;
    std::string sBytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), pFile)) > 0)
        sBytes.append(buf, n);
    const bool bFailed = std::ferror(pFile) != 0;
    std::fclose(pFile);
    if (bFailed)
        return std::nullopt;
    return sBytes;
}

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
    size_t nPos = sBytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (nPos < sBytes.size())
    {
        size_t nEnd = sBytes.find('\n', nPos);
        if (nEnd == std::string::npos)
            nEnd = sBytes.size();
        std::string sLine = sBytes.substr(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        if (!sLine.empty() && sLine.back() == '\r')
            sLine.pop_back();

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
        const wxString sWide = wxString::FromUTF8(sText.data(), sText.size());
        // FromUTF8 gives an empty text for invalid input.
        if (sWide.empty() && !sText.empty())
            return std::nullopt;
        if (wxString::FromUTF8(sKey.data(), sKey.size()).empty())
            return std::nullopt;
        map[sKey] = sWide;
    }
    return map;
}

} // namespace

bool tcLocalisationEngine::LoadLocStrings(const wxString& sPath, bool bClearFirst, bool bIsBaseCatalog)
{
    const std::optional<std::string> sBytes = ReadFileBytes(sPath);
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
