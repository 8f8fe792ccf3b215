#pragma once

#include <wx/string.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// While the embedded Word of the preview opens or closes a document, the user's Office settings
// (the key "Software\Microsoft\Office" of the user's settings tree, with all its subkeys) carry an
// access list that denies writing, so the embedded Word cannot rewrite them; afterwards every key
// gets its own list back. The lock is written over a small settings-tree interface; a platform
// that has such a tree installs it, and without one (this platform) locking does nothing.
//
// Each key's own list is saved before the lock list is set, and the saved lists go to a marker
// file first, so that a lock a crash left behind is undone at the next start. Main thread only.

// A key's access list as the tree stores it (its binary form).
using tAccessList = std::vector<uint8_t>;

// The result EnumSubkey gives past the last subkey.
inline constexpr long kSettingsEnumEnd = 259;

inline constexpr wchar_t kszOfficeSettingsKey[] = L"Software\\Microsoft\\Office";

// The user's settings tree. Keys are named by their full path below the tree's root, parts joined
// by a backslash.
class IOfficeSettingsTree
{
public:
    virtual ~IOfficeSettingsTree() = default;

    // Opens the key for reading and reads its access list into list. False when either failed.
    virtual bool GetAccessList(const wxString& sKey, tAccessList& list) = 0;
    // Opens the key for writing its access list and sets list. False when either failed.
    virtual bool SetAccessList(const wxString& sKey, const tAccessList& list) = 0;
    // Opens the key for reading and reads its number of subkeys; nullopt when either failed.
    virtual std::optional<int> GetNumSubkeys(const wxString& sKey) = 0;
    // Reads the name of subkey nIndex: 0 on success, kSettingsEnumEnd past the last, another code
    // for an error with this index.
    virtual long EnumSubkey(const wxString& sKey, int nIndex, wxString& sName) = 0;
    // The security identifier of an account on the local system; nullopt when the name resolves to
    // no account.
    virtual std::optional<std::vector<uint8_t>> LookupAccount(const wxString& sAccount) = 0;
};

// The installed tree; null when none is (always, on this platform, outside tests).
IOfficeSettingsTree* tGetOfficeSettingsTree();
// Installs pTree (not owned: it must outlive its installation; null removes it); returns the one it
// replaces.
IOfficeSettingsTree* tSetOfficeSettingsTree(IOfficeSettingsTree* pTree);

// One entry of an access list.
struct SRegistryAce
{
    bool m_bDeny = false;
    uint8_t m_nFlags = 0;
    uint32_t m_nMask = 0;
    std::vector<uint8_t> m_aSid;
};

// An access list as the lock builds it.
struct SRegistryAcl
{
    static constexpr uint8_t kRevision = 2;

    // The size reserved for the list, in bytes.
    uint32_t m_nSize = 0;
    std::vector<SRegistryAce> m_aEntries;

    // The binary form: a header (revision, 0, size, entry count, 0) and the entries (type 1 for deny
    // and 0 for allow, flags, entry size, mask, identifier), little-endian.
    tAccessList ToBytes() const;
};

// The lock list for asAccounts: a deny entry (generic write, delete, read control, notify, create
// subkey, set value) for every account that resolves, in order, then an allow entry (generic read,
// write owner, write access list, read control, notify, enumerate subkeys, query value) for each;
// both inherited by subkeys. The size is 160 plus, per resolved account, its identifier's length
// plus 24. An account that does not resolve adds nothing.
SRegistryAcl BuildRegistryLockAcl(IOfficeSettingsTree& tree, const std::vector<wxString>& asAccounts);

// Visits sKey and every key below it: with bChildrenFirst each key after all its subkeys, else each
// key before them. fnVisit gets the key and its parent ("" for sKey). Subkeys are enumerated up to
// the count the key reports; the end-of-list result stops the enumeration, any other error skips
// that index. A key whose subkeys cannot be counted is visited without them.
void SetKeySecurityRecursive(IOfficeSettingsTree& tree, const wxString& sKey, bool bChildrenFirst,
                             const std::function<void(const wxString& sKey, const wxString& sParent)>& fnVisit);

// The access lists the keys had before a lock, by key, kept until they are restored.
class tcSavedAccessLists
{
public:
    std::map<wxString, tAccessList> m_mapLists;

    // The marker file's text, and the lists read back from it (nullopt for a text that is no
    // marker).
    std::string ToMarker() const;
    static std::optional<tcSavedAccessLists> FromMarker(const std::string& sText);
};

// Locks sRootKey and its subkeys: saves each key's own list (a key whose list cannot be read is
// left alone), writes them to sMarkerPath, then sets the lock list of BuildRegistryLockAcl for
// "Administrators", "Everyone", "SYSTEM" and sUser on every saved key, children first. A marker
// already at sMarkerPath holds keys still locked from before: their lists from it are kept. Returns
// the saved lists; null (and nothing locked) when the root's list cannot be read, or a marker there
// cannot be read or written.
std::unique_ptr<tcSavedAccessLists> LockOfficeRegistry(IOfficeSettingsTree& tree, const wxString& sRootKey,
                                                       const wxString& sUser, const wxString& sMarkerPath);

// Gives every key below and at sRootKey its saved list back, each parent before its children. A key
// that has no saved list (made while the lock was on) gets its parent's restored list. A key that
// fails does not stop the others. True when every key was restored; the marker file is then
// removed, otherwise it stays for the next start (or lock).
bool RestoreOfficeRegistryAccess(IOfficeSettingsTree& tree, const wxString& sRootKey, const tcSavedAccessLists& saved,
                                 const wxString& sMarkerPath);

// Undoes a lock that a crash left behind: when sMarkerPath exists, restores the lists it holds.
// True when there was nothing to undo or every key was restored.
bool RestoreOfficeSettingsFromMarker(IOfficeSettingsTree& tree, const wxString& sRootKey, const wxString& sMarkerPath);

// The marker file: "OfficeSettingsLock.txt" in the program's folder of the user's local data.
wxString tOfficeSettingsMarkerPath();

// At start-up: undoes a lock left behind, on the installed tree. Nothing without a tree.
void tRestoreOfficeSettingsAfterCrash();

// Locks the Office settings of the installed tree for the current user (the account name,
// wxGetUserId) while it lives, and restores them on every way out of its scope. Nothing without a
// tree.
class tcOfficeSettingsLock
{
public:
    tcOfficeSettingsLock();
    ~tcOfficeSettingsLock();
    tcOfficeSettingsLock(const tcOfficeSettingsLock&) = delete;
    tcOfficeSettingsLock& operator=(const tcOfficeSettingsLock&) = delete;

private:
    IOfficeSettingsTree* m_pTree = nullptr;
    std::unique_ptr<tcSavedAccessLists> m_pSaved;
};
