#include "platform/ConfigStore.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tNumber.h"
#include "varnak/include/tPath.h"

#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>

#include <climits>

namespace
{
const wchar_t* const kVendorFolder = L"Korvendel";
const wchar_t* const kFileName = L"Lintrado.conf";

wxString AbsoluteEnvFolder(const wchar_t* szName)
{
    wxString sValue;
    if (!wxGetEnv(szName, &sValue))
        return wxString();
    // A list such as XDG_CONFIG_DIRS counts by its first folder; relative folders are ignored, as
    // the XDG base-directory rules ask.
    sValue = sValue.BeforeFirst(':');
    return sValue.StartsWith(L"/") ? sValue : wxString();
}
} // namespace

ConfigStore::ConfigStore(const wxString& sLocalFile, const wxString& sGlobalFile)
    : wxConfigBase(L"Lintrado", kVendorFolder, sLocalFile, sGlobalFile,
                   wxCONFIG_USE_LOCAL_FILE | (sGlobalFile.empty() ? 0 : wxCONFIG_USE_GLOBAL_FILE)),
      m_sLocalFile(sLocalFile)
{
    // Folders, layouts and catalog names may hold "$" or "%": values come back as written.
    SetExpandEnvVars(false);
    SetRecordDefaults(false);
    // wxFileConfig reports unreadable files through wxLog, which would show a box in the GUI.
    wxLogNull noLog;
    m_pFile =
        std::make_unique<wxFileConfig>(L"Lintrado", kVendorFolder, sLocalFile, sGlobalFile,
                                       wxCONFIG_USE_LOCAL_FILE | (sGlobalFile.empty() ? 0 : wxCONFIG_USE_GLOBAL_FILE));
    m_pFile->SetExpandEnvVars(false);
    m_pFile->SetRecordDefaults(false);
}

ConfigStore::~ConfigStore()
{
    Flush();
}

wxString ConfigStore::DefaultLocalFile()
{
    wxString sFolder = AbsoluteEnvFolder(L"XDG_CONFIG_HOME");
    if (sFolder.empty())
        sFolder = tPathCombine(wxGetHomeDir(), L".config");
    return tPathCombine(tPathCombine(sFolder, kVendorFolder), kFileName);
}

wxString ConfigStore::DefaultGlobalFile()
{
    wxString sFolder = AbsoluteEnvFolder(L"XDG_CONFIG_DIRS");
    if (sFolder.empty())
        sFolder = L"/etc/xdg";
    return tPathCombine(tPathCombine(sFolder, kVendorFolder), kFileName);
}

template <typename Fn> auto ConfigStore::WithPath(Fn&& fn) const
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    const wxString& sPath = m_mapPaths[std::this_thread::get_id()];
    if (m_pFile->GetPath() != sPath)
        m_pFile->SetPath(sPath.empty() ? wxString(L"/") : sPath);
    return fn(*m_pFile);
}

void ConfigStore::SetPath(const wxString& strPath)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    WithPath([&](wxFileConfig& file) { file.SetPath(strPath); });
    // wxFileConfig resolves relative paths and ".."; keep its normalised form.
    m_mapPaths[std::this_thread::get_id()] = m_pFile->GetPath();
}

const wxString& ConfigStore::GetPath() const
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    return m_mapPaths[std::this_thread::get_id()];
}

bool ConfigStore::GetFirstGroup(wxString& str, long& lIndex) const
{
    return WithPath([&](wxFileConfig& file) { return file.GetFirstGroup(str, lIndex); });
}

bool ConfigStore::GetNextGroup(wxString& str, long& lIndex) const
{
    return WithPath([&](wxFileConfig& file) { return file.GetNextGroup(str, lIndex); });
}

bool ConfigStore::GetFirstEntry(wxString& str, long& lIndex) const
{
    return WithPath([&](wxFileConfig& file) { return file.GetFirstEntry(str, lIndex); });
}

bool ConfigStore::GetNextEntry(wxString& str, long& lIndex) const
{
    return WithPath([&](wxFileConfig& file) { return file.GetNextEntry(str, lIndex); });
}

size_t ConfigStore::GetNumberOfEntries(bool bRecursive) const
{
    return WithPath([&](wxFileConfig& file) { return file.GetNumberOfEntries(bRecursive); });
}

size_t ConfigStore::GetNumberOfGroups(bool bRecursive) const
{
    return WithPath([&](wxFileConfig& file) { return file.GetNumberOfGroups(bRecursive); });
}

bool ConfigStore::HasGroup(const wxString& strName) const
{
    return WithPath([&](wxFileConfig& file) { return file.HasGroup(strName); });
}

bool ConfigStore::HasEntry(const wxString& strName) const
{
    return WithPath([&](wxFileConfig& file) { return file.HasEntry(strName); });
}

bool ConfigStore::Flush(bool bCurrentOnly)
{
    return WithPath(
        [&](wxFileConfig& file)
        {
            wxLogNull noLog;
            wxFileName name(m_sLocalFile);
            if (!name.DirExists())
                name.Mkdir(wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
            const bool bOk = file.Flush(bCurrentOnly);
            if (!bOk)
                kvLogError(L"Cannot write the configuration file \"%s\"", m_sLocalFile.wc_str());
            return bOk;
        });
}

bool ConfigStore::RenameEntry(const wxString& oldName, const wxString& newName)
{
    return WithPath([&](wxFileConfig& file) { return file.RenameEntry(oldName, newName); });
}

bool ConfigStore::RenameGroup(const wxString& oldName, const wxString& newName)
{
    return WithPath([&](wxFileConfig& file) { return file.RenameGroup(oldName, newName); });
}

bool ConfigStore::DeleteEntry(const wxString& key, bool bDeleteGroupIfEmpty)
{
    return WithPath([&](wxFileConfig& file) { return file.DeleteEntry(key, bDeleteGroupIfEmpty); });
}

bool ConfigStore::DeleteGroup(const wxString& key)
{
    return WithPath([&](wxFileConfig& file) { return file.DeleteGroup(key); });
}

bool ConfigStore::DeleteAll()
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    wxLogNull noLog;
    const bool bOk = m_pFile->DeleteAll();
    // DeleteAll leaves the store at the root; so does every thread. The entries stay, because
    // GetPath hands out references to them.
    for (auto& entry : m_mapPaths)
        entry.second.clear();
    return bOk;
}

bool ConfigStore::DoReadString(const wxString& key, wxString* pStr) const
{
    return WithPath([&](wxFileConfig& file) { return file.Read(key, pStr); });
}

bool ConfigStore::DoReadLong(const wxString& key, long* pl) const
{
    wxString sText;
    if (!DoReadString(key, &sText))
        return false;
    int64_t nValue = 0;
    if (!tToNumber(sText, nValue) || nValue < LONG_MIN || nValue > LONG_MAX)
        return false;
    *pl = static_cast<long>(nValue);
    return true;
}

bool ConfigStore::DoReadDouble(const wxString& key, double* val) const
{
    wxString sText;
    if (!DoReadString(key, &sText))
        return false;
    return tToNumber(sText, *val);
}

bool ConfigStore::DoReadBool(const wxString& key, bool* val) const
{
    wxString sText;
    if (!DoReadString(key, &sText))
        return false;
    int64_t nValue = 0;
    if (tToNumber(sText, nValue))
    {
        *val = nValue != 0;
        return true;
    }
    // Hand-edited files may say "true"; anything else is not a boolean and counts as missing.
    const wxString sWord = sText.Strip(wxString::both).Lower();
    if (sWord == L"true" || sWord == L"false")
    {
        *val = sWord == L"true";
        return true;
    }
    return false;
}

bool ConfigStore::DoReadBinary(const wxString& key, wxMemoryBuffer* buf) const
{
    return WithPath([&](wxFileConfig& file) { return file.Read(key, buf); });
}

bool ConfigStore::DoWriteString(const wxString& key, const wxString& value)
{
    return WithPath([&](wxFileConfig& file) { return file.Write(key, value); });
}

bool ConfigStore::DoWriteLong(const wxString& key, long value)
{
    return DoWriteString(key, tIntToString(value));
}

bool ConfigStore::DoWriteDouble(const wxString& key, double value)
{
    return DoWriteString(key, tDoubleToString(value));
}

bool ConfigStore::DoWriteBool(const wxString& key, bool value)
{
    return DoWriteString(key, value ? wxString(L"1") : wxString(L"0"));
}

bool ConfigStore::DoWriteBinary(const wxString& key, const wxMemoryBuffer& buf)
{
    return WithPath([&](wxFileConfig& file) { return file.Write(key, buf); });
}
