#include "Shared/AppUtils_sharedMenu.h"

#include "Shared/AppUtils_sharedText.h"

#include "varnak/include/tAssert.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tcAppContext.h"

#include <wx/image.h>
#include <wx/log.h>
#include <wx/menu.h>

std::deque<wxBitmap> g_aBitmaps;

namespace
{
// The PNG at sPath; an empty bitmap when it does not load. The toolkit's own complaint is kept out
// of the user's way.
wxBitmap LoadPNG(const wxString& sPath)
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    wxLogNull noLog;
    wxImage image;
    if (!tFileExists(sPath) || !image.LoadFile(sPath, wxBITMAP_TYPE_PNG))
        return wxBitmap();
    return wxBitmap(image);
}

// The folder sImage is looked up in: none when the name is a path.
wxString MenuImageFolder(const wxString& sImage)
{
    if (sImage.Contains(L"/"))
        return wxString();
    const wxString sAppFolder = tPathCombine(g_sAppDataPath, L"Images/Menu/");
    if (tFileExists(sAppFolder + sImage))
        return sAppFolder;
    return tPathCombine(g_sDataPath, L"Images/Menu/");
}
} // namespace

wxMenuItem* AppendMenuItem(wxMenu* pMenu, int nID, const wxString& sLabel, const wxString& sHelp,
                           const wxString& sImage, bool bCheckable, const wxString& /*sCheckedImage*/)
{
    if (!pMenu)
        return nullptr;
    auto* pItem = new wxMenuItem(pMenu, nID, ProcessMenuString(sLabel), sHelp,
                                 bCheckable ? wxITEM_CHECK : wxITEM_NORMAL, nullptr);
    // This toolkit has no pair of state images for check items: they show the unchecked image,
    // and the checked one is not loaded.
    if (!sImage.empty())
    {
        const wxBitmap bitmap = LoadPNG(MenuImageFolder(sImage) + sImage);
        if (bitmap.IsOk())
            pItem->SetBitmap(bitmap);
    }
    pMenu->Append(pItem);
    return pItem;
}

wxMenuItem* AppendCheckItem(wxMenu* pMenu, int nID, const wxString& sLabel, const wxString& sHelp,
                            const wxString& sImage, const wxString& sCheckedImage)
{
    return AppendMenuItem(pMenu, nID, sLabel, sHelp, sImage, true, sCheckedImage);
}

wxMenuItem* AppendMenuItem(wxMenu* pMenu, int nID, const wxString& sLabel, const wxBitmap& bitmap)
{
    if (!pMenu)
        return nullptr;
    auto* pItem = new wxMenuItem(pMenu, nID, sLabel, wxString(), wxITEM_NORMAL, nullptr);
    if (bitmap.IsOk())
        pItem->SetBitmap(bitmap);
    pMenu->Append(pItem);
    return pItem;
}

unsigned int tLoadBitmap(const wxString& sPath)
{
    if (!sPath.EndsWith(L".png"))
    {
        tSoftAssert(false, __FILE__, __LINE__, "0");
        return 0;
    }
    g_aBitmaps.push_back(LoadPNG(sPath));
    return static_cast<unsigned int>(g_aBitmaps.size());
}

const wxBitmap& tGetBitmap(unsigned int nIndex)
{
    if (nIndex == 0)
        return wxNullBitmap;
    if (nIndex > g_aBitmaps.size())
    {
        tAssert(__FILE__, __LINE__, "nIndex<g_aBitmaps.size()");
        return wxNullBitmap;
    }
    return g_aBitmaps[nIndex - 1];
}
