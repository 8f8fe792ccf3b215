#include "platform/OfficeSettingsLock.h"

#include "Shared/AppUtils_sharedText.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAtomicFile.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <sstream>
#include <utility>

namespace
{
IOfficeSettingsTree* g_pOfficeSettingsTree = nullptr;

constexpr uint32_t kDenyMask = 0x40030016;
constexpr uint32_t kAllowMask = 0x800E0019;
constexpr uint8_t kInheritFlags = 3;
constexpr char kszMarkerMagic[] = "LintradoOfficeSettingsLock 1";

void Put16(tAccessList& bytes, uint32_t n)
{
    bytes.push_back(static_cast<uint8_t>(n & 0xFF));
    bytes.push_back(static_cast<uint8_t>((n >> 8) & 0xFF));
}

void Put32(tAccessList& bytes, uint32_t n)
{
    Put16(bytes, n & 0xFFFF);
    Put16(bytes, n >> 16);
}

std::string ToHex(const void* pData, size_t nBytes)
{
    return tBinToHex(pData, nBytes).ToStdString();
}

wxString JoinKey(const wxString& sParent, const wxString& sName)
{
    return sParent + L"\\" + sName;
}
} // namespace

IOfficeSettingsTree* tGetOfficeSettingsTree()
{
    return g_pOfficeSettingsTree;
}

IOfficeSettingsTree* tSetOfficeSettingsTree(IOfficeSettingsTree* pTree)
{
    return std::exchange(g_pOfficeSettingsTree, pTree);
}

tAccessList SRegistryAcl::ToBytes() const
{
    tAccessList bytes;
    bytes.push_back(kRevision);
    bytes.push_back(0);
    Put16(bytes, m_nSize);
    Put16(bytes, static_cast<uint32_t>(m_aEntries.size()));
    Put16(bytes, 0);
    for (const SRegistryAce& ace : m_aEntries)
    {
        bytes.push_back(ace.m_bDeny ? 1 : 0);
        bytes.push_back(ace.m_nFlags);
        Put16(bytes, static_cast<uint32_t>(8 + ace.m_aSid.size()));
        Put32(bytes, ace.m_nMask);
        bytes.insert(bytes.end(), ace.m_aSid.begin(), ace.m_aSid.end());
    }
    return bytes;
}

SRegistryAcl BuildRegistryLockAcl(IOfficeSettingsTree& tree, const std::vector<wxString>& asAccounts)
{
    std::vector<std::vector<uint8_t>> aSids;
    for (const wxString& sAccount : asAccounts)
    {
        if (std::optional<std::vector<uint8_t>> sid = tree.LookupAccount(sAccount))
            aSids.push_back(std::move(*sid));
        else
            kvLog(L"Office settings lock: no account named %s", sAccount);
    }
    SRegistryAcl acl;
    acl.m_nSize = 160;
    for (const auto& aSid : aSids)
        acl.m_nSize += static_cast<uint32_t>(aSid.size() + 24);
    for (const auto& aSid : aSids)
        acl.m_aEntries.push_back({true, kInheritFlags, kDenyMask, aSid});
    for (const auto& aSid : aSids)
        acl.m_aEntries.push_back({false, kInheritFlags, kAllowMask, aSid});
    return acl;
}

namespace
{
void Walk(IOfficeSettingsTree& tree, const wxString& sKey, const wxString& sParent, bool bChildrenFirst,
          const std::function<void(const wxString&, const wxString&)>& fnVisit)
{
    if (sKey.empty())
        return;
    if (!bChildrenFirst)
        fnVisit(sKey, sParent);
    if (const std::optional<int> nSubkeys = tree.GetNumSubkeys(sKey))
    {
        for (int i = 0; i < *nSubkeys; ++i)
        {
            wxString sName;
            const long nResult = tree.EnumSubkey(sKey, i, sName);
            if (nResult == kSettingsEnumEnd)
                break;
            if (nResult == 0 && !sName.empty())
                Walk(tree, JoinKey(sKey, sName), sKey, bChildrenFirst, fnVisit);
        }
    }
    if (bChildrenFirst)
        fnVisit(sKey, sParent);
}
} // namespace

void SetKeySecurityRecursive(IOfficeSettingsTree& tree, const wxString& sKey, bool bChildrenFirst,
                             const std::function<void(const wxString& sKey, const wxString& sParent)>& fnVisit)
{
    Walk(tree, sKey, wxString(), bChildrenFirst, fnVisit);
}

std::string tcSavedAccessLists::ToMarker() const
{
    std::ostringstream out;
    out << kszMarkerMagic << '\n';
    for (const auto& [sKey, list] : m_mapLists)
    {
        const std::string sKey8 = sKey.utf8_string();
        out << ToHex(sKey8.data(), sKey8.size()) << ' ' << ToHex(list.data(), list.size()) << '\n';
    }
    return out.str();
}

std::optional<tcSavedAccessLists> tcSavedAccessLists::FromMarker(const std::string& sText)
{
    std::istringstream in(sText);
    std::string sLine;
    if (!std::getline(in, sLine) || sLine != kszMarkerMagic)
        return std::nullopt;
    tcSavedAccessLists saved;
    while (std::getline(in, sLine))
    {
        if (sLine.empty())
            continue;
        const size_t nSpace = sLine.find(' ');
        std::vector<uint8_t> aKey;
        tAccessList list;
        if (nSpace == std::string::npos || !tHexToBin(wxString(sLine.substr(0, nSpace)), aKey) ||
            !tHexToBin(wxString(sLine.substr(nSpace + 1)), list) || aKey.empty())
            return std::nullopt;
        saved.m_mapLists[wxString::FromUTF8(reinterpret_cast<const char*>(aKey.data()), aKey.size())] = std::move(list);
    }
    return saved;
}

namespace
{
// The lists of the marker file; nullopt when it cannot be read or is no marker.
std::optional<tcSavedAccessLists> ReadMarker(const wxString& sMarkerPath)
{
    const std::optional<std::string> sText = tReadFileBytes(sMarkerPath);
    return sText ? tcSavedAccessLists::FromMarker(*sText) : std::nullopt;
}
} // namespace

std::unique_ptr<tcSavedAccessLists> LockOfficeRegistry(IOfficeSettingsTree& tree, const wxString& sRootKey,
                                                       const wxString& sUser, const wxString& sMarkerPath)
{
    // Children first, so that the lock is set below a key before on it, and the order is kept for
    // setting it.
    auto pSaved = std::make_unique<tcSavedAccessLists>();
    std::vector<wxString> asKeys;
    SetKeySecurityRecursive(tree, sRootKey, true,
                            [&](const wxString& sKey, const wxString&)
                            {
                                tAccessList list;
                                if (tree.GetAccessList(sKey, list))
                                {
                                    pSaved->m_mapLists[sKey] = std::move(list);
                                    asKeys.push_back(sKey);
                                }
                            });
    if (!pSaved->m_mapLists.count(sRootKey))
    {
        kvLog(L"Office settings lock: the access list of %s cannot be read, not locked", sRootKey);
        return nullptr;
    }
    // Keys an earlier restore could not give back hold the lock list now; their own lists are in the
    // marker only, and it is about to be rewritten.
    if (wxFileExists(sMarkerPath))
    {
        std::optional<tcSavedAccessLists> earlier = ReadMarker(sMarkerPath);
        if (!earlier)
        {
            kvLogError(L"Office settings lock: %s cannot be read, not locked", sMarkerPath);
            return nullptr;
        }
        for (auto& [sKey, list] : earlier->m_mapLists)
            pSaved->m_mapLists[sKey] = std::move(list);
    }
    // Without the marker a crash would leave the lock for good: no marker, no lock.
    wxString sError;
    wxFileName::Mkdir(wxFileName(sMarkerPath).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    if (!tWriteFileAtomically(sMarkerPath, pSaved->ToMarker(), &sError))
    {
        kvLogError(L"Office settings lock: could not write %s (%s), not locked", sMarkerPath, sError);
        return nullptr;
    }
    const tAccessList lock = BuildRegistryLockAcl(tree, {L"Administrators", L"Everyone", L"SYSTEM", sUser}).ToBytes();
    for (const wxString& sKey : asKeys)
        if (!tree.SetAccessList(sKey, lock))
            kvLog(L"Office settings lock: could not lock %s", sKey);
    return pSaved;
}

bool RestoreOfficeRegistryAccess(IOfficeSettingsTree& tree, const wxString& sRootKey, const tcSavedAccessLists& saved,
                                 const wxString& sMarkerPath)
{
    bool bAll = true;
    std::map<wxString, tAccessList> mapRestored;
    SetKeySecurityRecursive(tree, sRootKey, false,
                            [&](const wxString& sKey, const wxString& sParent)
                            {
                                const tAccessList* pList = nullptr;
                                if (auto it = saved.m_mapLists.find(sKey); it != saved.m_mapLists.end())
                                    pList = &it->second;
                                else if (auto itParent = mapRestored.find(sParent); itParent != mapRestored.end())
                                    pList = &itParent->second;
                                if (!pList)
                                    return;
                                mapRestored[sKey] = *pList;
                                if (!tree.SetAccessList(sKey, *pList))
                                {
                                    kvLog(L"Office settings lock: could not restore %s", sKey);
                                    bAll = false;
                                }
                            });
    if (bAll)
        wxRemoveFile(sMarkerPath);
    return bAll;
}

bool RestoreOfficeSettingsFromMarker(IOfficeSettingsTree& tree, const wxString& sRootKey, const wxString& sMarkerPath)
{
    if (!wxFileExists(sMarkerPath))
        return true;
    const std::optional<tcSavedAccessLists> saved = ReadMarker(sMarkerPath);
    if (!saved)
    {
        kvLogError(L"Office settings lock: %s cannot be read, the Office settings keep their lock", sMarkerPath);
        return false;
    }
    kvLog(L"Office settings lock: undoing the lock left behind in %s", sMarkerPath);
    return RestoreOfficeRegistryAccess(tree, sRootKey, *saved, sMarkerPath);
}

wxString tOfficeSettingsMarkerPath()
{
    const wxString sFolder = tGetLocalAppDataFolder();
    if (sFolder.empty())
        return wxString();
    return tPathCombine(tPathCombine(tPathCombine(sFolder, L"Korvendel"), L"Lintrado"), L"OfficeSettingsLock.txt");
}

void tRestoreOfficeSettingsAfterCrash()
{
    if (IOfficeSettingsTree* pTree = tGetOfficeSettingsTree())
        RestoreOfficeSettingsFromMarker(*pTree, kszOfficeSettingsKey, tOfficeSettingsMarkerPath());
}

tcOfficeSettingsLock::tcOfficeSettingsLock() : m_pTree(tGetOfficeSettingsTree())
{
    if (m_pTree)
        m_pSaved = LockOfficeRegistry(*m_pTree, kszOfficeSettingsKey, wxGetUserId(), tOfficeSettingsMarkerPath());
}

tcOfficeSettingsLock::~tcOfficeSettingsLock()
{
    if (m_pTree && m_pSaved)
        RestoreOfficeRegistryAccess(*m_pTree, kszOfficeSettingsKey, *m_pSaved, tOfficeSettingsMarkerPath());
}
