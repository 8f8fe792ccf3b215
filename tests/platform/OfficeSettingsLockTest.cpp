// The Office settings lock on a settings tree of the test's own: the walk, the lock list, every
// key's own list back afterwards, and a lock a crash left behind undone at the next start.
#include "platform/OfficeSettingsLock.h"

#include "engine/EmbedWord.h"
#include "platform/WordAutomation.h"
#include "tests/harness/TestFiles.h"

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/utils.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace
{
const wxString kRoot = kszOfficeSettingsKey;

// Keys by full path with their own lists; every call that reads or sets a list is logged as
// "get KEY" or "set KEY" (the key relative to the root).
class CSettingsTree : public IOfficeSettingsTree
{
public:
    struct SKey
    {
        tAccessList list;
        std::vector<wxString> asSubkeys;
        bool bFailSet = false;
        // Counted subkeys beyond those that exist (the enumeration then meets the end-of-list code).
        int nExtraCount = 0;
        // Enumeration results other than success, by index.
        std::map<int, long> mapErrors;
    };

    CSettingsTree()
    {
        Add(kRoot, {1});
        Add(kRoot + "\\16.0", {2});
        Add(kRoot + "\\16.0\\Word", {3});
        Add(kRoot + "\\16.0\\Common", {4});
        Add(kRoot + "\\Outlook", {5});
    }

    void Add(const wxString& sKey, const tAccessList& list)
    {
        m_mapKeys[sKey].list = list;
        if (sKey != kRoot)
            m_mapKeys[sKey.BeforeLast('\\')].asSubkeys.push_back(sKey.AfterLast('\\'));
    }

    bool GetAccessList(const wxString& sKey, tAccessList& list) override
    {
        Log("get", sKey);
        auto it = m_mapKeys.find(sKey);
        if (it == m_mapKeys.end())
            return false;
        list = it->second.list;
        return true;
    }
    bool SetAccessList(const wxString& sKey, const tAccessList& list) override
    {
        Log("set", sKey);
        auto it = m_mapKeys.find(sKey);
        if (it == m_mapKeys.end() || it->second.bFailSet)
            return false;
        it->second.list = list;
        return true;
    }
    std::optional<int> GetNumSubkeys(const wxString& sKey) override
    {
        auto it = m_mapKeys.find(sKey);
        if (it == m_mapKeys.end())
            return std::nullopt;
        return static_cast<int>(it->second.asSubkeys.size()) + it->second.nExtraCount;
    }
    long EnumSubkey(const wxString& sKey, int nIndex, wxString& sName) override
    {
        Log("enum", sKey + wxString::Format(":%d", nIndex));
        const SKey& key = m_mapKeys.at(sKey);
        if (auto it = key.mapErrors.find(nIndex); it != key.mapErrors.end())
            return it->second;
        if (nIndex >= static_cast<int>(key.asSubkeys.size()))
            return kSettingsEnumEnd;
        sName = key.asSubkeys[nIndex];
        return 0;
    }
    std::optional<std::vector<uint8_t>> LookupAccount(const wxString& sAccount) override
    {
        auto it = m_mapAccounts.find(sAccount);
        if (it == m_mapAccounts.end())
            return std::nullopt;
        return it->second;
    }

    // The logged calls of one kind, in order.
    std::vector<std::string> Calls(const std::string& sKind) const
    {
        std::vector<std::string> asOut;
        for (const auto& [sCallKind, sKey] : m_aLog)
            if (sCallKind == sKind)
                asOut.push_back(sKey);
        return asOut;
    }
    // Each key's list.
    std::map<std::string, tAccessList> Lists() const
    {
        std::map<std::string, tAccessList> mapOut;
        for (const auto& [sKey, key] : m_mapKeys)
            mapOut[Relative(sKey)] = key.list;
        return mapOut;
    }

    std::map<wxString, SKey> m_mapKeys;
    std::map<wxString, std::vector<uint8_t>> m_mapAccounts = {
        {L"Administrators", std::vector<uint8_t>(16, 0xA1)},
        {L"Everyone", std::vector<uint8_t>(12, 0xE1)},
        {L"SYSTEM", std::vector<uint8_t>(12, 0x51)},
    };
    std::vector<std::pair<std::string, std::string>> m_aLog;

private:
    static std::string Relative(const wxString& sKey)
    {
        return sKey == kRoot ? std::string("Office") : "Office" + sKey.substr(kRoot.length()).utf8_string();
    }
    void Log(const std::string& sKind, const wxString& sKey) { m_aLog.emplace_back(sKind, Relative(sKey)); }
};

const std::map<std::string, tAccessList> kOwnLists = {
    {"Office", {1}},          {"Office\\16.0", {2}}, {"Office\\16.0\\Word", {3}}, {"Office\\16.0\\Common", {4}},
    {"Office\\Outlook", {5}},
};

// The list BuildRegistryLockAcl gives for the three groups and sUser on tree.
tAccessList LockList(CSettingsTree& tree, const wxString& sUser)
{
    return BuildRegistryLockAcl(tree, {L"Administrators", L"Everyone", L"SYSTEM", sUser}).ToBytes();
}

wxString Marker()
{
    return HomePath("data/OfficeSettingsLock.txt");
}
} // namespace

TEST(OfficeSettingsLock, WalksChildrenOrParentsFirstAndSkipsKeysItCannotName)
{
    CSettingsTree tree;
    const auto walk = [&](bool bChildrenFirst)
    {
        std::vector<std::string> asVisited;
        SetKeySecurityRecursive(tree, kRoot, bChildrenFirst,
                                [&](const wxString& sKey, const wxString& sParent)
                                {
                                    asVisited.push_back(sKey.AfterLast('\\').utf8_string() + "<" +
                                                        (sParent.empty() ? "" : sParent.AfterLast('\\')).utf8_string());
                                });
        return asVisited;
    };
    EXPECT_EQ(walk(true),
              (std::vector<std::string>{"Word<16.0", "Common<16.0", "16.0<Office", "Outlook<Office", "Office<"}));
    EXPECT_EQ(walk(false),
              (std::vector<std::string>{"Office<", "16.0<Office", "Word<16.0", "Common<16.0", "Outlook<Office"}));

    // The end-of-list code ends an enumeration that the count promised longer; another error skips
    // only its own index.
    tree.m_mapKeys[kRoot].nExtraCount = 3;
    tree.m_mapKeys[kRoot + "\\16.0"].mapErrors[0] = 5;
    tree.m_aLog.clear();
    EXPECT_EQ(walk(false), (std::vector<std::string>{"Office<", "16.0<Office", "Common<16.0", "Outlook<Office"}));
    EXPECT_EQ(tree.Calls("enum"),
              (std::vector<std::string>{"Office:0", "Office\\16.0:0", "Office\\16.0:1", "Office:1", "Office:2"}));
}

TEST(OfficeSettingsLock, LockListDeniesWritingThenAllowsReadingForEachResolvedAccount)
{
    CSettingsTree tree;
    tree.m_mapAccounts[L"jdoe"] = std::vector<uint8_t>(28, 0x0D);
    struct SCase
    {
        const char* szName;
        std::vector<wxString> asAccounts;
        std::vector<size_t> aSidLengths;
    };
    const SCase cases[] = {
        {"all resolve", {L"Administrators", L"Everyone", L"SYSTEM", L"jdoe"}, {16, 12, 12, 28}},
        // A display name, or a group under a localised name, is no account.
        {"some do not", {L"Administratoren", L"Everyone", L"John Doe", L"jdoe"}, {12, 28}},
        {"none does", {L"nobody"}, {}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        const SRegistryAcl acl = BuildRegistryLockAcl(tree, c.asAccounts);
        uint32_t nSize = 160;
        for (size_t n : c.aSidLengths)
            nSize += static_cast<uint32_t>(n + 24);
        EXPECT_EQ(acl.m_nSize, nSize);
        const size_t nAccounts = c.aSidLengths.size();
        ASSERT_EQ(acl.m_aEntries.size(), 2 * nAccounts);
        for (size_t i = 0; i < acl.m_aEntries.size(); ++i)
        {
            const SRegistryAce& ace = acl.m_aEntries[i];
            EXPECT_EQ(ace.m_bDeny, i < nAccounts);
            EXPECT_EQ(ace.m_nMask, i < nAccounts ? 0x40030016u : 0x800E0019u);
            EXPECT_EQ(ace.m_nFlags, 3);
            EXPECT_EQ(ace.m_aSid.size(), c.aSidLengths[i % nAccounts]);
        }
        // Binary: revision, size and count in the header, then the entries with their own sizes.
        const tAccessList bytes = acl.ToBytes();
        ASSERT_GE(bytes.size(), 8u);
        EXPECT_EQ(bytes[0], 2);
        EXPECT_EQ(bytes[2] | (bytes[3] << 8), static_cast<int>(nSize));
        EXPECT_EQ(bytes[4] | (bytes[5] << 8), static_cast<int>(2 * nAccounts));
        size_t nUsed = 8;
        for (size_t n : c.aSidLengths)
            nUsed += 2 * (8 + n);
        EXPECT_EQ(bytes.size(), nUsed);
        if (nAccounts > 0)
        {
            EXPECT_EQ(bytes[8], 1); // deny
            EXPECT_EQ(bytes[9], 3); // inherited by objects and containers
            EXPECT_EQ(bytes[8 + 8 + c.aSidLengths[0]], 1);
        }
    }
}

TEST(OfficeSettingsLock, EveryKeyGetsItsOwnListBack)
{
    CSettingsTree tree;
    std::unique_ptr<tcSavedAccessLists> pSaved = LockOfficeRegistry(tree, kRoot, L"jdoe", Marker());
    ASSERT_TRUE(pSaved);
    const tAccessList lock = LockList(tree, L"jdoe");
    for (const auto& [sKey, list] : tree.Lists())
        EXPECT_EQ(list, lock) << sKey;
    EXPECT_EQ(tree.Calls("set"), (std::vector<std::string>{"Office\\16.0\\Word", "Office\\16.0\\Common", "Office\\16.0",
                                                           "Office\\Outlook", "Office"}));
    EXPECT_TRUE(wxFileExists(Marker()));

    // Word made a key while the lock was on: it inherited the lock, and takes its parent's list.
    tree.Add(kRoot + "\\16.0\\Word\\Recent", lock);
    tree.m_aLog.clear();
    EXPECT_TRUE(RestoreOfficeRegistryAccess(tree, kRoot, *pSaved, Marker()));
    std::map<std::string, tAccessList> expected = kOwnLists;
    expected["Office\\16.0\\Word\\Recent"] = {3};
    EXPECT_EQ(tree.Lists(), expected);
    EXPECT_EQ(tree.Calls("set"),
              (std::vector<std::string>{"Office", "Office\\16.0", "Office\\16.0\\Word", "Office\\16.0\\Word\\Recent",
                                        "Office\\16.0\\Common", "Office\\Outlook"}));
    EXPECT_FALSE(wxFileExists(Marker()));
}

TEST(OfficeSettingsLock, AKeyThatFailsStaysInTheMarkerAndTheOthersAreRestored)
{
    CSettingsTree tree;
    std::unique_ptr<tcSavedAccessLists> pSaved = LockOfficeRegistry(tree, kRoot, L"jdoe", Marker());
    ASSERT_TRUE(pSaved);
    tree.m_mapKeys[kRoot + "\\16.0"].bFailSet = true;
    EXPECT_FALSE(RestoreOfficeRegistryAccess(tree, kRoot, *pSaved, Marker()));
    std::map<std::string, tAccessList> expected = kOwnLists;
    expected["Office\\16.0"] = LockList(tree, L"jdoe");
    EXPECT_EQ(tree.Lists(), expected);

    // The next start finishes the job once the key can be set again.
    const std::optional<tcSavedAccessLists> marker = tcSavedAccessLists::FromMarker(ReadBytes(Marker()));
    ASSERT_TRUE(marker);
    EXPECT_EQ(marker->m_mapLists.at(kRoot + "\\16.0"), tAccessList{2});
    tree.m_mapKeys[kRoot + "\\16.0"].bFailSet = false;
    EXPECT_TRUE(RestoreOfficeSettingsFromMarker(tree, kRoot, Marker()));
    EXPECT_EQ(tree.Lists(), kOwnLists);
    EXPECT_FALSE(wxFileExists(Marker()));
}

TEST(OfficeSettingsLock, ALockTakenWhileTheMarkerHoldsKeysKeepsTheirLists)
{
    CSettingsTree tree;
    std::unique_ptr<tcSavedAccessLists> pFirst = LockOfficeRegistry(tree, kRoot, L"jdoe", Marker());
    ASSERT_TRUE(pFirst);
    tree.m_mapKeys[kRoot + "\\16.0"].bFailSet = true;
    EXPECT_FALSE(RestoreOfficeRegistryAccess(tree, kRoot, *pFirst, Marker()));
    // The key still holds the lock list when the next lock reads it: its own list comes from the marker.
    tree.m_mapKeys[kRoot + "\\16.0"].bFailSet = false;
    std::unique_ptr<tcSavedAccessLists> pSecond = LockOfficeRegistry(tree, kRoot, L"jdoe", Marker());
    ASSERT_TRUE(pSecond);
    EXPECT_TRUE(RestoreOfficeRegistryAccess(tree, kRoot, *pSecond, Marker()));
    EXPECT_EQ(tree.Lists(), kOwnLists);
    EXPECT_FALSE(wxFileExists(Marker()));

    // A marker that cannot be read is no ground for a lock: its lists would be lost.
    WriteBytes(Marker().utf8_string(), "not a marker");
    EXPECT_FALSE(LockOfficeRegistry(tree, kRoot, L"jdoe", Marker()));
    EXPECT_EQ(tree.Lists(), kOwnLists);
    EXPECT_EQ(ReadBytes(Marker()), "not a marker");
}

TEST(OfficeSettingsLock, TheEmbeddedPreviewOpensAndClosesUnderTheLock)
{
    // The host notes the root's list at each open and close.
    class CHost : public IWordPreviewHost
    {
    public:
        explicit CHost(CSettingsTree& tree) : m_tree(tree) {}
        void Open(const wxString&) override { m_aSeen.push_back(m_tree.Lists().at("Office")); }
        void Close() override { m_aSeen.push_back(m_tree.Lists().at("Office")); }
        IWordDocument* GetActiveDocument() override { return nullptr; }
        void ApplyViewSettings() override {}
        std::vector<tAccessList> m_aSeen;

    private:
        CSettingsTree& m_tree;
    };
    CSettingsTree tree;
    IOfficeSettingsTree* pPrevious = tSetOfficeSettingsTree(&tree);
    auto pOwnedHost = std::make_unique<CHost>(tree);
    CHost* pHost = pOwnedHost.get();
    EmbedWord embed(std::move(pOwnedHost));
    embed.OpenDocument(HomePath("a.doc"), true);
    EXPECT_EQ(tree.Lists(), kOwnLists);
    embed.CloseDocument();
    EXPECT_EQ(tree.Lists(), kOwnLists);
    const tAccessList lock = LockList(tree, wxGetUserId());
    EXPECT_EQ(pHost->m_aSeen, (std::vector<tAccessList>{lock, lock}));
    tSetOfficeSettingsTree(pPrevious);
}

TEST(OfficeSettingsLock, ALockACrashLeftIsUndoneAtTheNextStart)
{
    CSettingsTree tree;
    // Locked, and the process died before restoring.
    const wxString sMarker = tOfficeSettingsMarkerPath();
    ASSERT_TRUE(LockOfficeRegistry(tree, kRoot, L"jdoe", sMarker));
    EXPECT_NE(tree.Lists(), kOwnLists);
    IOfficeSettingsTree* pPrevious = tSetOfficeSettingsTree(&tree);
    tRestoreOfficeSettingsAfterCrash();
    EXPECT_EQ(tree.Lists(), kOwnLists);
    EXPECT_FALSE(wxFileExists(sMarker));

    // A marker that cannot be read restores nothing and stays.
    WriteBytes(sMarker.utf8_string(), "not a marker");
    EXPECT_FALSE(RestoreOfficeSettingsFromMarker(tree, kRoot, sMarker));
    EXPECT_TRUE(wxFileExists(sMarker));
    tSetOfficeSettingsTree(pPrevious);
}

TEST(OfficeSettingsLock, TheScopeLocksForTheAccountNameAndRestoresOnLeaving)
{
    {
        // Without a tree nothing happens.
        const tcOfficeSettingsLock lock;
    }
    CSettingsTree tree;
    // Only the account name resolves, as on a machine where the display name differs.
    tree.m_mapAccounts[wxGetUserId()] = std::vector<uint8_t>(28, 0x0D);
    IOfficeSettingsTree* pPrevious = tSetOfficeSettingsTree(&tree);
    {
        const tcOfficeSettingsLock lock;
        EXPECT_EQ(tree.Lists().at("Office"), LockList(tree, wxGetUserId()));
        EXPECT_EQ(BuildRegistryLockAcl(tree, {wxGetUserId()}).m_aEntries.size(), 2u);
        EXPECT_TRUE(wxFileExists(tOfficeSettingsMarkerPath()));
    }
    EXPECT_EQ(tree.Lists(), kOwnLists);
    EXPECT_FALSE(wxFileExists(tOfficeSettingsMarkerPath()));
    tSetOfficeSettingsTree(pPrevious);
}
