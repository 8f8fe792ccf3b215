// Keyboard shortcuts of COptions: the built-ins, the store and the shortcut file.
#include "Shared/Options.h"

#include "varnak/include/tPath.h"
#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"
#include "varnak/include/tcAppContext.h"

#include <wx/confbase.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace
{
constexpr uint32_t kShortcutFileMagic = 0xFAFBFCFD;
constexpr uint32_t kShortcutFileVersion = 1;
constexpr uint32_t kMaxShortcuts = 256;
// A shortcut inserts a few characters; a longer text means a damaged file.
constexpr uint32_t kMaxShortcutTextUnits = 4096;

enum
{
    FLAG_CTRL = 1,
    FLAG_ALT = 2,
    FLAG_SHIFT = 4,
};

// Reads the shortcut file's bytes front to back; every read fails, leaving the position where it
// was, when the bytes it needs are not there.
class ByteReader
{
public:
    explicit ByteReader(std::string_view sBytes) : m_sBytes(sBytes) {}

    size_t Left() const { return m_sBytes.size() - m_nPos; }

    bool ReadU32(uint32_t& nValue)
    {
        if (Left() < 4)
            return false;
        const auto* p = reinterpret_cast<const unsigned char*>(m_sBytes.data() + m_nPos);
        nValue = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
        m_nPos += 4;
        return true;
    }

    // The stream string form: a 32-bit count of UTF-16 units, then the units (little-endian).
    // A count beyond the bytes left or beyond nMaxUnits fails.
    bool ReadString(wxString& sText, uint32_t nMaxUnits)
    {
        const size_t nStart = m_nPos;
        uint32_t nUnits = 0;
        if (!ReadU32(nUnits))
            return false;
        if (nUnits > nMaxUnits || size_t(nUnits) * 2 > Left())
        {
            m_nPos = nStart;
            return false;
        }
        std::u16string sUnits(nUnits, u'\0');
        const auto* p = reinterpret_cast<const unsigned char*>(m_sBytes.data() + m_nPos);
        for (uint32_t i = 0; i < nUnits; ++i)
            sUnits[i] = char16_t(p[2 * i] | (p[2 * i + 1] << 8));
        m_nPos += size_t(nUnits) * 2;
        sText = tFromU16(sUnits);
        return true;
    }

private:
    std::string_view m_sBytes;
    size_t m_nPos = 0;
};
} // namespace

void COptions::AddShortcut(int nKeyCode, const wxString& sText, bool bCtrl, bool bAlt, bool bShift)
{
    for (CKeyboardShortcut& shortcut : m_aKeyboardShortcuts)
    {
        if (shortcut.nKeyCode == nKeyCode && shortcut.bCtrl == bCtrl && shortcut.bAlt == bAlt &&
            shortcut.bShift == bShift)
        {
            shortcut.sText = sText;
            return;
        }
    }
    m_aKeyboardShortcuts.push_back({nKeyCode, sText, bCtrl, bAlt, bShift});
}

void COptions::LoadDefaultKeyboardShortcuts()
{
    struct Builtin
    {
        int nKeyCode;
        bool bCtrl;
        bool bShift;
        const wchar_t* szText;
    };
    static const Builtin s_aBuiltins[] = {
        {348, false, false, L"\u0161"}, {348, false, true, L"\u0160"}, {79, true, false, L"\u00F4"},
        {79, true, true, L"\u00D4"},    {69, true, false, L"\u00EA"},  {69, true, true, L"\u00CA"},
        {347, false, false, L"\u1E45"}, {347, false, true, L"\u1E44"}, {68, true, false, L"\u1E13"},
        {68, true, true, L"\u1E12"},    {76, true, false, L"\u1E3D"},  {76, true, true, L"\u1E3C"},
        {78, true, false, L"\u1E4B"},   {78, true, true, L"\u1E4A"},   {84, true, false, L"\u1E71"},
        {84, true, true, L"\u1E70"},
    };
    for (const Builtin& builtin : s_aBuiltins)
        AddShortcut(builtin.nKeyCode, builtin.szText, builtin.bCtrl, false, builtin.bShift);
}

bool COptions::LoadKeyboardSettings(const wxString& sPath, bool bClear)
{
    const std::optional<std::string> bytes = tReadFileBytes(sPath);
    if (!bytes)
        return false;
    ByteReader reader(*bytes);
    uint32_t nMagic = 0;
    uint32_t nVersion = 0;
    uint32_t nCount = 0;
    if (!reader.ReadU32(nMagic) || nMagic != kShortcutFileMagic)
        return false;
    if (!reader.ReadU32(nVersion) || nVersion != kShortcutFileVersion)
        return false;
    if (!reader.ReadU32(nCount))
        return false;
    if (nCount > kMaxShortcuts)
        nCount = kMaxShortcuts;

    if (bClear)
        m_aKeyboardShortcuts.clear();
    // A file shorter than its count keeps the entries read completely; a partial one is dropped.
    for (uint32_t i = 0; i < nCount; ++i)
    {
        uint32_t nKeyCode = 0;
        uint32_t nFlags = 0;
        wxString sText;
        if (!reader.ReadU32(nKeyCode) || !reader.ReadString(sText, kMaxShortcutTextUnits) || !reader.ReadU32(nFlags))
            break;
        AddShortcut(static_cast<int>(nKeyCode), sText, (nFlags & FLAG_CTRL) != 0, (nFlags & FLAG_ALT) != 0,
                    (nFlags & FLAG_SHIFT) != 0);
    }
    return true;
}

bool COptions::LoadKeyboardSettingsFromConfig()
{
    m_aKeyboardShortcuts.clear();
    long nEntries = 0;
    if (g_pConfig)
    {
        g_pConfig->SetPath(L"/Keyboard");
        if (!g_pConfig->Read(L"Entries", &nEntries))
            nEntries = 0;
    }
    if (nEntries > 0)
    {
        if (nEntries > long(kMaxShortcuts))
            nEntries = kMaxShortcuts;
        for (long n = 0; n < nEntries; ++n)
        {
            const wxString sPrefix = wxString::Format(L"Entry%ld", n);
            long nKeyCode = -1;
            long nFlags = 0;
            wxString sText;
            g_pConfig->Read(sPrefix + L"KeyCode", &nKeyCode, -1L);
            g_pConfig->Read(sPrefix + L"Text", &sText, wxString());
            g_pConfig->Read(sPrefix + L"Flags", &nFlags, 0L);
            if (nKeyCode > 0)
                AddShortcut(static_cast<int>(nKeyCode), sText, (nFlags & FLAG_CTRL) != 0, (nFlags & FLAG_ALT) != 0,
                            (nFlags & FLAG_SHIFT) != 0);
        }
        return true;
    }

    const wxString sFile = tPathCombine(g_sAppPath, L"Cfg_KeyboardShortcuts.vrkeys");
    if (tFileExists(sFile) && LoadKeyboardSettings(sFile, true))
        return true;
    LoadDefaultKeyboardShortcuts();
    return true;
}

bool COptions::SaveKeyboardSettingsToConfig()
{
    if (!g_pConfig)
        return true;
    wxConfigBase& cfg = *g_pConfig;
    cfg.SetPath(L"/Keyboard");
    cfg.Write(L"Entries", static_cast<long>(m_aKeyboardShortcuts.size()));
    long n = 0;
    for (const CKeyboardShortcut& shortcut : m_aKeyboardShortcuts)
    {
        const wxString sPrefix = wxString::Format(L"Entry%ld", n++);
        const long nFlags =
            (shortcut.bCtrl ? FLAG_CTRL : 0) | (shortcut.bAlt ? FLAG_ALT : 0) | (shortcut.bShift ? FLAG_SHIFT : 0);
        cfg.Write(sPrefix + L"KeyCode", static_cast<long>(shortcut.nKeyCode));
        cfg.Write(sPrefix + L"Text", shortcut.sText);
        cfg.Write(sPrefix + L"Flags", nFlags);
    }
    cfg.Flush();
    return true;
}
