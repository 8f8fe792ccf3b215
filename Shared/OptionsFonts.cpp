// User-interface font items of COptions: the built-ins and the store.
#include "Shared/Options.h"

#include "varnak/include/tAssert.h"
#include "varnak/include/tNumber.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/confbase.h>

namespace
{
constexpr long kMaxFontItems = 1000;

tGUID GUIDFromText(const wchar_t* szText)
{
    tGUID id;
    tStringToGUID(szText, id);
    return id;
}
} // namespace

void COptions::AddUIItem(const tGUID& id, const wchar_t* szGroup, const wchar_t* szName, const wchar_t* szFont,
                         float fSize)
{
    if (!szName)
        tAssert(__FILE__, __LINE__, "szName");
    m_aUIItems.push_back({id, szGroup ? szGroup : L"", szName ? szName : L"", szFont ? szFont : L"", fSize});
}

void COptions::SetUIItem(const tGUID& id, const wxString& sFont, float fSize)
{
    for (CUIFontItem& item : m_aUIItems)
    {
        if (tCmpGUID(item.id, id))
        {
            item.sFont = sFont;
            item.fSize = fSize;
            return;
        }
    }
    m_aUIItems.push_back({id, L"?", L"?", sFont, fSize});
}

void COptions::ClearUIItems()
{
    m_aUIItems.clear();
}

void COptions::AddDefaultUIItems(const wxString& sDefaultFont)
{
    const wxString sSectionWindow = g_LocEngine.FindTranslation("USERINTERFACE_ITEM_SECTIONWINDOW");
    AddUIItem(GUIDFromText(L"{38176E56-80D8-4C0B-B26C-15DDD51FFE7A}"), L"",
              g_LocEngine.FindTranslation("USERINTERFACE_ITEM_DEFAULT").wc_str(), sDefaultFont.wc_str(), 9.0f);
    AddUIItem(GUIDFromText(L"{825E9258-FFF0-43A2-87C0-1A01B61D1181}"), sSectionWindow.wc_str(),
              g_LocEngine.FindTranslation("USERINTERFACE_ITEM_TREE").wc_str(), L"", 9.0f);
    AddUIItem(GUIDFromText(L"{AD417CC4-3DC0-4939-9B0A-2F59508A4F72}"), sSectionWindow.wc_str(),
              g_LocEngine.FindTranslation("USERINTERFACE_ITEM_ENTRYLIST").wc_str(), L"", 0.0f);
}

bool COptions::LoadFontSettings()
{
    if (!g_pConfig)
        return true;
    wxConfigBase& cfg = *g_pConfig;
    cfg.SetPath(L"/UserInterface/Fonts");
    long nEntries = 0;
    if (!cfg.Read(L"Entries", &nEntries) || nEntries <= 0)
        return true;
    if (nEntries > kMaxFontItems)
        nEntries = kMaxFontItems;

    const tFontExistsFn pfnFontExists = tGetFontExistsCheck();
    for (long n = 0; n < nEntries; ++n)
    {
        const wxString sPrefix = wxString::Format(L"Entry%ld", n);
        wxString sID;
        wxString sFont;
        wxString sSize;
        cfg.Read(sPrefix + L"ID", &sID, wxString());
        cfg.Read(sPrefix + L"Font", &sFont, wxString());
        cfg.Read(sPrefix + L"Size", &sSize, L"0");
        if (sID.length() != 32)
            continue;
        tGUID id;
        if (!tStringToGUID(sID, id))
            continue; // 32 characters that are not hexadecimal name no item
        if (pfnFontExists && !sFont.empty() && !pfnFontExists(sFont))
            sFont.clear();
        SetUIItem(id, sFont, tStringToFloat(sSize));
    }
    return true;
}

bool COptions::SaveFontSettings()
{
    if (!g_pConfig)
        return true;
    wxConfigBase& cfg = *g_pConfig;
    cfg.SetPath(L"/UserInterface/Fonts");
    cfg.Write(L"Entries", static_cast<long>(m_aUIItems.size()));
    long n = 0;
    for (const CUIFontItem& item : m_aUIItems)
    {
        const wxString sPrefix = wxString::Format(L"Entry%ld", n++);
        cfg.Write(sPrefix + L"ID", tGUIDToString(item.id));
        cfg.Write(sPrefix + L"Font", item.sFont);
        cfg.Write(sPrefix + L"Size", tFloatToString(item.fSize, 6));
    }
    cfg.Flush();
    return true;
}
