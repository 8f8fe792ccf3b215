#pragma once

#include <wx/confbase.h>
#include <wx/string.h>

#include <map>
#include <memory>
#include <mutex>
#include <thread>

class wxFileConfig;

// The configuration store: a per-user text file over an optional machine-wide one that is only
// read. Reads see both (a per-user value wins), listings include keys found only in the
// machine-wide file, and writes, deletions and Flush touch the per-user file alone.
//
// Safe from any thread: each operation runs under one lock, and the current group (SetPath,
// GetPath) is kept per thread, so a worker's SetPath never moves the group under another thread's
// feet. Values are text in the C locale ("1"/"0" for booleans, "." as decimal point) and are
// never subjected to environment-variable expansion. Changes reach the disk at Flush and on
// destruction.
class ConfigStore : public wxConfigBase
{
public:
    // sLocalFile is created with its folder at the first Flush that has something to write; an
    // empty sGlobalFile means no machine-wide fallback. Unreadable files are logged and treated
    // as empty.
    ConfigStore(const wxString& sLocalFile, const wxString& sGlobalFile);
    ~ConfigStore() override;

    // $XDG_CONFIG_HOME (else ~/.config) + "/Korvendel/Lintrado.conf".
    static wxString DefaultLocalFile();
    // The first folder of $XDG_CONFIG_DIRS (else /etc/xdg) + "/Korvendel/Lintrado.conf".
    static wxString DefaultGlobalFile();

    const wxString& GetLocalFile() const { return m_sLocalFile; }

    void SetPath(const wxString& strPath) override;
    const wxString& GetPath() const override;

    bool GetFirstGroup(wxString& str, long& lIndex) const override;
    bool GetNextGroup(wxString& str, long& lIndex) const override;
    bool GetFirstEntry(wxString& str, long& lIndex) const override;
    bool GetNextEntry(wxString& str, long& lIndex) const override;
    size_t GetNumberOfEntries(bool bRecursive = false) const override;
    size_t GetNumberOfGroups(bool bRecursive = false) const override;
    bool HasGroup(const wxString& strName) const override;
    bool HasEntry(const wxString& strName) const override;

    // False when the per-user file could not be written (logged).
    bool Flush(bool bCurrentOnly = false) override;

    bool RenameEntry(const wxString& oldName, const wxString& newName) override;
    bool RenameGroup(const wxString& oldName, const wxString& newName) override;
    bool DeleteEntry(const wxString& key, bool bDeleteGroupIfEmpty = true) override;
    bool DeleteGroup(const wxString& key) override;
    // Forgets every value and removes the per-user file; the machine-wide file stays.
    bool DeleteAll() override;

protected:
    bool DoReadString(const wxString& key, wxString* pStr) const override;
    bool DoReadLong(const wxString& key, long* pl) const override;
    bool DoReadDouble(const wxString& key, double* val) const override;
    bool DoReadBool(const wxString& key, bool* val) const override;
    bool DoReadBinary(const wxString& key, wxMemoryBuffer* buf) const override;

    bool DoWriteString(const wxString& key, const wxString& value) override;
    bool DoWriteLong(const wxString& key, long value) override;
    bool DoWriteDouble(const wxString& key, double value) override;
    bool DoWriteBool(const wxString& key, bool value) override;
    bool DoWriteBinary(const wxString& key, const wxMemoryBuffer& buf) override;

private:
    // Runs fn on the file store with the calling thread's group set, under the lock.
    template <typename Fn> auto WithPath(Fn&& fn) const;

    wxString m_sLocalFile;
    std::unique_ptr<wxFileConfig> m_pFile;
    mutable std::recursive_mutex m_Lock;
    mutable std::map<std::thread::id, wxString> m_mapPaths;
};
